// Boot protocol frames in memory: request bytes, refused frames, frames found in a stream.
#include "comms/protocol/bootProtocol.h"
#include "comms/protocol/frameReader.h"

#include <QtTest>

using QVt::Comms::Protocol::BootProtocol;
using QVt::Comms::Protocol::FrameReader;
using L = QList<QByteArray>;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

const QByteArray P_FRAME = hex("43000150120d");
const char *const BAD_START = "Read data with an invalid start byte; discarding.";
const char *const CHECKSUM = "Rejected data frame: checksum mismatch";

} // namespace

class TestFraming : public QObject
{
    Q_OBJECT

private slots:
    void check_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QString>("warning"); // empty: the check takes the frame back
        using B = BootProtocol;
        QTest::newRow("boot sequence") << B::buildBootSequence() << hex("4300065a50584d42544c0d") << "";
        QTest::newRow("read product ID") << B::buildReadProductIdCommand() << P_FRAME << "";
        QTest::newRow("read protobuf") << B::buildReadProtobufCommand() << hex("4300014c0e0d") << "";
        QTest::newRow("enter normal operation") << B::buildEnterNormalOperationCommand() << hex("43000151130d") << "";
        QTest::newRow("enter pairing mode") << B::buildEnterPairingModeCommand() << hex("430001591b0d") << "";
        QTest::newRow("factory reset") << B::buildFactoryResetCommand() << hex("4300015a180d") << "";
        QTest::newRow("write protobuf 01 02") << B::buildWriteProtobufCommand(hex("0102")) << hex("430003530102100d") << "";
        QTest::newRow("empty payload, length and checksum right") << hex("430000430d") << hex("430000430d")
                                                                  << "Rejected data frame: start/stop/minLength mismatch";
        QTest::newRow("length says 2, one byte carried") << hex("43000250110d") << hex("43000250110d")
                                                         << "Rejected data frame: frame length mismatch";
        // A checksum that fits the announced length, one byte before the end.
        QTest::newRow("length says 1, two bytes carried") << hex("4300015012120d") << hex("4300015012120d")
                                                          << "Rejected data frame: frame length mismatch";
        QTest::newRow("checksum off by one bit") << hex("43000150130d") << hex("43000150130d") << CHECKSUM;
    }

    void check()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, wire);
        QFETCH(QString, warning);
        QCOMPARE(frame.toHex(' '), wire.toHex(' '));
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
        QByteArray payload("previous");
        QCOMPARE(BootProtocol::checkAndGetPayload(frame, payload), warning.isEmpty());
        QCOMPARE(payload, warning.isEmpty() ? frame.mid(3, frame.size() - 5) : QByteArray("previous"));
    }

    // One byte over the largest payload: the 16-bit length would announce another frame.
    void oversizedPayloadRefused()
    {
        QTest::ignoreMessage(QtWarningMsg, "Refused to frame a payload longer than the protocol allows: 65536 bytes");
        QCOMPARE(BootProtocol::frame(QByteArray(65536, 'x')), QByteArray());
    }

    void reader_data()
    {
        QTest::addColumn<L>("chunks");
        QTest::addColumn<L>("payloads");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QByteArray>("discarded");
        QTest::addColumn<QByteArray>("kept");
        const auto row = [](const char *name, const L &chunks, const L &payloads, const QString &warning = {},
                            const QByteArray &discarded = {}, const QByteArray &kept = {}) {
            QTest::newRow(name) << chunks << payloads << warning << discarded << kept;
        };
        // Length 13, twelve CRs and a 'C' in the payload, checksum CR: every CR but the last is data.
        L byteByByte;
        for (char c : hex("43000d") + QByteArray(12, '\r') + hex("430d0d"))
            byteByByte.append(QByteArray(1, c));
        row("frame split in three reads", {hex("4300"), hex("0241"), hex("42420d")}, {"AB"});
        row("CR in length, payload and checksum, byte by byte", byteByByte, {QByteArray(12, '\r') + 'C'});
        row("stray bytes before a frame in one read", {hex("ff0d00") + P_FRAME}, {"P"}, BAD_START, hex("ff0d00"));
        row("bad checksum dropped whole, then a good frame", {hex("43000150130d") + P_FRAME}, {"P"}, CHECKSUM,
            hex("43000150130d"));
        row("no stop byte where the length points: start byte was noise", {hex("430002") + P_FRAME}, {"P"},
            BAD_START, hex("430002"));
        row("false start resynchronises at the intact frame behind it", {hex("43ffff"), P_FRAME}, {"P"}, BAD_START,
            hex("43ffff"));
        row("stray start byte before an incomplete frame waits for its announced length",
            {hex("43") + P_FRAME.left(5)}, {}, {}, {}, hex("43") + P_FRAME.left(5));
        row("largest payload", {BootProtocol::frame(QByteArray(65535, '\r'))}, {QByteArray(65535, '\r')});
        // Noise that never completes a frame costs at most one frame of memory.
        const QByteArray noise = hex("43ffff") + QByteArray(70000, '\0');
        row("largest length announced, no stop byte there: all noise", {noise.left(50000), noise.mid(50000)}, {},
            BAD_START, noise);
    }

    void reader()
    {
        QFETCH(L, chunks);
        QFETCH(L, payloads);
        QFETCH(QString, warning);
        QFETCH(QByteArray, discarded);
        QFETCH(QByteArray, kept);
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
        FrameReader reader;
        L received;
        QByteArray dropped;
        for (const QByteArray &chunk : chunks)
            received += reader.append(chunk, &dropped);
        QCOMPARE(received, payloads);
        QCOMPARE(dropped.toHex(' '), discarded.toHex(' '));
        QCOMPARE(reader.isEmpty(), kept.isEmpty());
        QCOMPARE(reader.clear().toHex(' '), kept.toHex(' '));
    }
};

QTEST_APPLESS_MAIN(TestFraming)
#include "tst_framing.moc"
