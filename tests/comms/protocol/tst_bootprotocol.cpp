#include "comms/protocol/bootProtocol.h"

#include <QtTest>

using QVt::Comms::Protocol::BootProtocol;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

} // namespace

class TestBootProtocol : public QObject
{
    Q_OBJECT

private slots:
    void builders_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("expected");

        using B = BootProtocol;
        QTest::newRow("boot sequence") << B::buildBootSequence() << hex("4300065a50584d42544c0d");
        QTest::newRow("read product ID") << B::buildReadProductIdCommand() << hex("43000150120d");
        QTest::newRow("read protobuf") << B::buildReadProtobufCommand() << hex("4300014c0e0d");
        QTest::newRow("enter normal operation") << B::buildEnterNormalOperationCommand() << hex("43000151130d");
        QTest::newRow("enter pairing mode") << B::buildEnterPairingModeCommand() << hex("430001591b0d");
        QTest::newRow("factory reset") << B::buildFactoryResetCommand() << hex("4300015a180d");
        QTest::newRow("write protobuf 01 02") << B::buildWriteProtobufCommand(hex("0102")) << hex("430003530102100d");
        // The length's high byte is read unsigned; 256 equal bytes cancel out in the checksum.
        const QByteArray equal(256, '\xA5');
        QTest::newRow("length 0x0100") << B::frame(equal) << hex("430100") + equal + hex("420d");
    }

    // Every frame built is one that the check takes back.
    void builders()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, expected);
        QCOMPARE(frame.toHex(' '), expected.toHex(' '));
        QByteArray payload;
        QVERIFY(BootProtocol::checkAndGetPayload(frame, payload));
        QCOMPARE(payload, frame.mid(3, frame.size() - 5));
    }

    void rejectedFrames_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("warning");

        const QString minLength("Rejected data frame: start/stop/minLength mismatch");
        QTest::newRow("empty payload, length and checksum right") << hex("430000430d") << minLength;
        QTest::newRow("wrong start byte") << hex("44000150120d") << minLength;
        QTest::newRow("wrong stop byte") << hex("43000150120a") << minLength;
        QTest::newRow("length says 2, one byte carried") << hex("43000250110d") << "Rejected data frame: frame length mismatch";
        QTest::newRow("checksum off by one bit") << hex("43000150130d") << "Rejected data frame: checksum mismatch";
        QTest::newRow("payload bit flipped") << hex("43000151120d") << "Rejected data frame: checksum mismatch";
    }

    void rejectedFrames()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QString, warning);
        QByteArray out("previous");
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
        QVERIFY(!BootProtocol::checkAndGetPayload(frame, out));
        QCOMPARE(out, QByteArray("previous"));
    }

    // The largest payload is framed (the frame reader's test reads one back); one byte more
    // is refused, as the 16-bit length would announce a different frame.
    void oversizedPayloads_data()
    {
        QTest::addColumn<bool>("writeCommand");
        QTest::addColumn<int>("size");
        QTest::newRow("payload one byte over") << false << 65536;
        QTest::newRow("write command, data one byte over") << true << 65535;
    }

    void oversizedPayloads()
    {
        QFETCH(bool, writeCommand);
        QFETCH(int, size);
        const QByteArray data(size, 'x');
        QTest::ignoreMessage(QtWarningMsg, "Refused to frame a payload longer than the protocol allows: 65536 bytes");
        QCOMPARE(writeCommand ? BootProtocol::buildWriteProtobufCommand(data) : BootProtocol::frame(data), QByteArray());
    }
};

QTEST_APPLESS_MAIN(TestBootProtocol)
#include "tst_bootprotocol.moc"
