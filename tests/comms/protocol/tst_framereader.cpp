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
        using W = QStringList;
        const auto row = [](const char *name, const L &chunks, const L &payloads, const W &warnings = {},
                            const QByteArray &discarded = {}, const QByteArray &kept = {}) {
            QTest::newRow(name) << chunks << payloads << warnings << discarded << kept;
        };
        L byteByByte;
        for (char c : CR_FRAME)
            byteByByte.append(QByteArray(1, c));
        const QByteArray badChecksum = hex("43000150130d");
        const QByteArray largestStart = hex("43ffff") + QByteArray(1000, '\r');

        row("one frame", {P_FRAME}, {"P"});
        row("frame split in three reads", {hex("4300"), hex("0241"), hex("42420d")}, {"AB"});
        row("CR in length, payload and checksum, byte by byte", byteByByte, {CR_PAYLOAD});
        row("stray bytes before a frame in one read", {hex("ff0d00") + P_FRAME}, {"P"}, {BAD_START}, hex("ff0d00"));
        row("two frames in one read", {P_FRAME + L_FRAME}, {"P", "L"});
        row("frame and the start of the next", {P_FRAME + hex("43000141")}, {"P"}, {}, {}, hex("43000141"));
        row("bad checksum dropped whole, then a good frame", {badChecksum + P_FRAME}, {"P"}, {CHECKSUM}, badChecksum);
        row("empty payload dropped whole", {hex("430000430d"), L_FRAME}, {"L"}, {MIN_LENGTH}, hex("430000430d"));
        row("no stop byte where the length points: start byte was noise", {hex("430002") + P_FRAME}, {"P"},
            {BAD_START}, hex("430002"));
        row("largest length kept until complete", {largestStart}, {}, {}, {}, largestStart);
        row("stray start byte before a frame waits for its announced length", {hex("43") + P_FRAME}, {}, {}, {},
            hex("43") + P_FRAME);
        row("largest payload", {BootProtocol::frame(QByteArray(65535, '\r'))}, {QByteArray(65535, '\r')});
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
