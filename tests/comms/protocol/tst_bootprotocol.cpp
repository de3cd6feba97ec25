#include "comms/protocol/bootProtocol.h"

#include <QtTest>

using QVt::Comms::Protocol::BootProtocol;

class TestBootProtocol : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void builders_data();
    void builders();
    void acceptedFrames_data();
    void acceptedFrames();
    void rejectedFrames_data();
    void rejectedFrames();
    void framingRoundTrip_data();
    void framingRoundTrip();
};

void TestBootProtocol::builders_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("boot sequence") << BootProtocol::buildBootSequence()
                                   << QByteArray::fromHex("4300065a50584d42544c0d");
    QTest::newRow("read product ID") << BootProtocol::buildReadProductIdCommand()
                                     << QByteArray::fromHex("43000150120d");
    QTest::newRow("read protobuf") << BootProtocol::buildReadProtobufCommand()
                                   << QByteArray::fromHex("4300014c0e0d");
    QTest::newRow("enter normal operation") << BootProtocol::buildEnterNormalOperationCommand()
                                            << QByteArray::fromHex("43000151130d");
    QTest::newRow("enter pairing mode") << BootProtocol::buildEnterPairingModeCommand()
                                        << QByteArray::fromHex("430001591b0d");
    QTest::newRow("factory reset") << BootProtocol::buildFactoryResetCommand()
                                   << QByteArray::fromHex("4300015a180d");
    QTest::newRow("write protobuf 01 02")
        << BootProtocol::buildWriteProtobufCommand(QByteArray::fromHex("0102"))
        << QByteArray::fromHex("430003530102100d");
    QTest::newRow("write protobuf of an empty blob")
        << BootProtocol::buildWriteProtobufCommand(QByteArray())
        << QByteArray::fromHex("43000153110d");
}

void TestBootProtocol::builders()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, expected);
    QCOMPARE(frame.toHex(' '), expected.toHex(' '));
}

void TestBootProtocol::acceptedFrames_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("payload");

    QTest::newRow("shortest frame") << QByteArray::fromHex("43000150120d") << QByteArray("P");
    QTest::newRow("checksum is a stop byte")
        << QByteArray::fromHex("4300014f0d0d") << QByteArray("O");
    QTest::newRow("stop and start bytes inside the payload")
        << QByteArray::fromHex("4300040d430d43470d") << QByteArray::fromHex("0d430d43");

    // 256 payload bytes: the length's high byte is 01, read unsigned.
    QByteArray payload(256, '\xA5');
    QByteArray frame = QByteArray::fromHex("430100") + payload;
    frame.append(char(0x43 ^ 0x01 ^ 0x00));  // 256 equal bytes cancel out
    frame.append('\x0D');
    QTest::newRow("length 0x0100") << frame << payload;

    // High bytes in both length bytes and payload: no signed arithmetic anywhere.
    payload = QByteArray(0x80FF, '\xFF');
    frame = QByteArray::fromHex("4380ff") + payload;
    frame.append(char(0x43 ^ 0x80 ^ 0xFF ^ 0xFF));
    frame.append('\x0D');
    QTest::newRow("length 0x80ff of 0xff bytes") << frame << payload;
}

void TestBootProtocol::acceptedFrames()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, payload);

    QByteArray out("previous");
    QVERIFY(BootProtocol::checkAndGetPayload(frame, out));
    QCOMPARE(out.toHex(), payload.toHex());
}

void TestBootProtocol::rejectedFrames_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("warning");

    const QString minLength = QStringLiteral("Rejected data frame: start/stop/minLength mismatch");
    const QString length = QStringLiteral("Rejected data frame: frame length mismatch");
    const QString checksum = QStringLiteral("Rejected data frame: checksum mismatch");

    QTest::newRow("empty") << QByteArray() << minLength;
    QTest::newRow("empty payload, length and checksum right")
        << QByteArray::fromHex("430000430d") << minLength;
    QTest::newRow("wrong start byte") << QByteArray::fromHex("44000150120d") << minLength;
    QTest::newRow("wrong stop byte") << QByteArray::fromHex("43000150120a") << minLength;
    QTest::newRow("length says 2, one byte carried")
        << QByteArray::fromHex("43000250110d") << length;
    QTest::newRow("length says 1, two bytes carried")
        << QByteArray::fromHex("4300014142400d") << length;
    QTest::newRow("two frames in one buffer")
        << QByteArray::fromHex("43000150120d4300014c0e0d") << length;
    QTest::newRow("checksum off by one bit") << QByteArray::fromHex("43000150130d") << checksum;
    QTest::newRow("payload bit flipped") << QByteArray::fromHex("43000151120d") << checksum;
}

void TestBootProtocol::rejectedFrames()
{
    QFETCH(QByteArray, frame);
    QFETCH(QString, warning);

    QByteArray out("previous");
    QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    QVERIFY(!BootProtocol::checkAndGetPayload(frame, out));
    QCOMPARE(out, QByteArray("previous"));
}

void TestBootProtocol::framingRoundTrip_data()
{
    QTest::addColumn<QByteArray>("payload");

    QTest::newRow("one byte") << QByteArray("L");
    QTest::newRow("identification text") << QByteArray("KT Bridge CWB v1.0\0", 19);
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    QTest::newRow("every byte value") << all;
    QTest::newRow("largest payload") << QByteArray(65535, '\x0D');
}

void TestBootProtocol::framingRoundTrip()
{
    QFETCH(QByteArray, payload);

    const QByteArray frame = BootProtocol::frame(payload);
    QCOMPARE(frame.size(), payload.size() + 5);
    QCOMPARE(frame.front(), 'C');
    QCOMPARE(frame.back(), '\x0D');
    char sum = 0;
    for (int i = 0; i < frame.size() - 1; ++i)
        sum ^= frame.at(i);
    QCOMPARE(int(sum), 0);

    QByteArray out;
    QVERIFY(BootProtocol::checkAndGetPayload(frame, out));
    QCOMPARE(out, payload);
}

QTEST_APPLESS_MAIN(TestBootProtocol)
#include "tst_bootprotocol.moc"
