#include "comms/protocol/bootProtocol.h"

#include <QtTest>

using QVt::Comms::Protocol::BootProtocol;

static QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

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
        QTest::newRow("enter normal operation")
            << B::buildEnterNormalOperationCommand() << hex("43000151130d");
        QTest::newRow("enter pairing mode")
            << B::buildEnterPairingModeCommand() << hex("430001591b0d");
        QTest::newRow("factory reset") << B::buildFactoryResetCommand() << hex("4300015a180d");
        QTest::newRow("write protobuf 01 02")
            << B::buildWriteProtobufCommand(hex("0102")) << hex("430003530102100d");
        QTest::newRow("write protobuf of an empty blob")
            << B::buildWriteProtobufCommand(QByteArray()) << hex("43000153110d");
    }

    void builders()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, expected);
        QCOMPARE(frame.toHex(' '), expected.toHex(' '));
    }

    // The largest payload is framed (see acceptedFrames); one byte more is refused.
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
        QTest::ignoreMessage(QtWarningMsg,
                             "Refused to frame a payload longer than the protocol allows: 65536 bytes");
        QCOMPARE(writeCommand ? BootProtocol::buildWriteProtobufCommand(data) : BootProtocol::frame(data),
                 QByteArray());
    }

    void acceptedFrames_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("payload");

        QTest::newRow("shortest frame") << hex("43000150120d") << QByteArray("P");
        QTest::newRow("checksum is a stop byte") << hex("4300014f0d0d") << QByteArray("O");
        QTest::newRow("stop and start bytes inside the payload")
            << hex("4300040d430d43470d") << hex("0d430d43");
        // The length's high byte 01 is read unsigned; 256 equal bytes cancel out in the checksum.
        const QByteArray payload(256, '\xA5');
        QTest::newRow("length 0x0100") << hex("430100") + payload + hex("420d") << payload;

        // Frames built by frame() itself.
        const QByteArray id("KT Bridge CWB v1.0\0", 19);
        QTest::newRow("framed identification text") << BootProtocol::frame(id) << id;
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all.append(char(i));
        QTest::newRow("framed every byte value") << BootProtocol::frame(all) << all;
        const QByteArray largest(65535, '\x0D');
        QTest::newRow("framed largest payload") << BootProtocol::frame(largest) << largest;
    }

    void acceptedFrames()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, payload);

        QCOMPARE(frame.size(), payload.size() + 5);
        QCOMPARE(frame.front(), 'C');
        QCOMPARE(frame.back(), '\x0D');
        char sum = 0;
        for (int i = 0; i < frame.size() - 1; ++i)
            sum ^= frame.at(i);
        QCOMPARE(int(sum), 0);

        QByteArray out("previous");
        QVERIFY(BootProtocol::checkAndGetPayload(frame, out));
        QCOMPARE(out.toHex(), payload.toHex());
    }

    void rejectedFrames_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("warning");

        const QString minLength("Rejected data frame: start/stop/minLength mismatch");
        const QString length("Rejected data frame: frame length mismatch");
        const QString checksum("Rejected data frame: checksum mismatch");

        QTest::newRow("empty") << QByteArray() << minLength;
        QTest::newRow("empty payload, length and checksum right") << hex("430000430d") << minLength;
        QTest::newRow("wrong start byte") << hex("44000150120d") << minLength;
        QTest::newRow("wrong stop byte") << hex("43000150120a") << minLength;
        QTest::newRow("length says 2, one byte carried") << hex("43000250110d") << length;
        QTest::newRow("length says 1, two bytes carried") << hex("4300014142400d") << length;
        QTest::newRow("checksum off by one bit") << hex("43000150130d") << checksum;
        QTest::newRow("payload bit flipped") << hex("43000151120d") << checksum;
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
};

QTEST_APPLESS_MAIN(TestBootProtocol)
#include "tst_bootprotocol.moc"
