#include "comms/protocol/bootProtocol.h"
#include "comms/protocol/frameReader.h"

#include <QtTest>

using QVt::Comms::Protocol::BootProtocol;
using QVt::Comms::Protocol::FrameReader;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

const QByteArray P_FRAME = hex("43000150120d");
const QByteArray L_FRAME = hex("4300014c0e0d");
// Length 13, twelve CRs and a 'C' in the payload, checksum CR: every CR but the last is data.
const QByteArray CR_FRAME = hex("43000d") + QByteArray(12, '\r') + hex("430d0d");
const QByteArray CR_PAYLOAD = QByteArray(12, '\r') + 'C';
constexpr int MAX_FRAME_SIZE = 65535 + 5;

const char *const BAD_START = "Read data with an invalid start byte; discarding.";
const char *const MIN_LENGTH = "Rejected data frame: start/stop/minLength mismatch";
const char *const CHECKSUM = "Rejected data frame: checksum mismatch";

} // namespace

class TestFrameReader : public QObject
{
    Q_OBJECT

private slots:
    void append_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QList<QByteArray>>("payloads");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<QByteArray>("discarded");
        QTest::addColumn<QByteArray>("kept");

        using L = QList<QByteArray>;
        QList<QByteArray> byteByByte;
        for (char c : CR_FRAME)
            byteByByte.append(QByteArray(1, c));

        QTest::newRow("one frame") << L{P_FRAME} << L{"P"} << QStringList() << QByteArray()
                                   << QByteArray();
        QTest::newRow("frame split in three reads")
            << L{hex("4300"), hex("0241"), hex("42420d")} << L{"AB"} << QStringList()
            << QByteArray() << QByteArray();
        QTest::newRow("CR in length, payload and checksum, byte by byte")
            << byteByByte << L{CR_PAYLOAD} << QStringList() << QByteArray() << QByteArray();
        QTest::newRow("stray bytes before a frame in one read")
            << L{hex("ff0d00") + P_FRAME} << L{"P"} << QStringList{BAD_START} << hex("ff0d00")
            << QByteArray();
        QTest::newRow("two frames in one read")
            << L{P_FRAME + L_FRAME} << L{"P", "L"} << QStringList() << QByteArray() << QByteArray();
        QTest::newRow("frame and the start of the next")
            << L{P_FRAME + hex("43000141")} << L{"P"} << QStringList() << QByteArray()
            << hex("43000141");
        QTest::newRow("bad checksum dropped whole, then a good frame")
            << L{hex("43000150130d") + P_FRAME} << L{"P"} << QStringList{CHECKSUM}
            << hex("43000150130d") << QByteArray();
        QTest::newRow("empty payload dropped whole")
            << L{hex("430000430d"), L_FRAME} << L{"L"} << QStringList{MIN_LENGTH}
            << hex("430000430d") << QByteArray();
        QTest::newRow("no stop byte where the length points: start byte was noise")
            << L{hex("43000150120a") + P_FRAME} << L{"P"} << QStringList{MIN_LENGTH, BAD_START}
            << hex("43000150120a") << QByteArray();
        QTest::newRow("largest length kept until complete")
            << L{hex("43ffff") + QByteArray(1000, '\r')} << L() << QStringList() << QByteArray()
            << hex("43ffff") + QByteArray(1000, '\r');
        QTest::newRow("stray start byte before a frame waits for its announced length")
            << L{hex("43") + P_FRAME} << L() << QStringList() << QByteArray()
            << hex("43") + P_FRAME;
        QTest::newRow("largest payload")
            << L{BootProtocol::frame(QByteArray(65535, '\r'))} << L{QByteArray(65535, '\r')}
            << QStringList() << QByteArray() << QByteArray();
    }

    void append()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QList<QByteArray>, payloads);
        QFETCH(QStringList, warnings);
        QFETCH(QByteArray, discarded);
        QFETCH(QByteArray, kept);

        for (const QString &warning : warnings)
            QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
        FrameReader reader;
        QList<QByteArray> received;
        QByteArray dropped;
        for (const QByteArray &chunk : chunks)
            received += reader.append(chunk, &dropped);

        QCOMPARE(received, payloads);
        QCOMPARE(dropped.toHex(' '), discarded.toHex(' '));
        QCOMPARE(reader.isEmpty(), kept.isEmpty());
        QCOMPARE(reader.clear().toHex(' '), kept.toHex(' '));
        QVERIFY(reader.isEmpty());
    }

    // A line that streams bytes which never complete a frame costs at most one frame of
    // memory, however long it goes on.
    void bufferHoldsAtMostOneFrame()
    {
        QTest::ignoreMessage(QtWarningMsg, MIN_LENGTH);
        for (int i = 0; i < 4; ++i)
            QTest::ignoreMessage(QtWarningMsg, BAD_START);
        FrameReader reader;
        QVERIFY(reader.append(hex("43ffff")).isEmpty());
        for (int i = 0; i < 5; ++i) {
            QVERIFY(reader.append(QByteArray(50000, '\0')).isEmpty());
            const QByteArray kept = reader.clear();
            QVERIFY2(kept.size() < MAX_FRAME_SIZE, qPrintable(QString::number(kept.size())));
            reader.append(kept);
        }
        QVERIFY(reader.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestFrameReader)
#include "tst_framereader.moc"
