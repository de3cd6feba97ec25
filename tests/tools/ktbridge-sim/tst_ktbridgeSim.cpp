// The simulator as a program: its replies and its faults on the wire.
#include "comms/protocol/bootProtocol.h"
#include "ptyLine.h"
#include "simulatorProcess.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>


using QVt::Comms::Protocol::BootProtocol;

namespace {

const QByteArray BOOT = BootProtocol::buildBootSequence();
const QByteArray READ_ID = BootProtocol::buildReadProductIdCommand();
const QByteArray READ_CONFIG = BootProtocol::buildReadProtobufCommand();
const QByteArray RESET = BootProtocol::buildFactoryResetCommand();
const QByteArray WRITE_ABC = BootProtocol::buildWriteProtobufCommand("ABC");
const QByteArray ID_REPLY = BootProtocol::frame("KTB");
const QByteArray PRODUCT_ID_REPLY = QByteArray::fromHex("43000750 0000c0de0003 090d");
const QByteArray ERROR_REPLY = BootProtocol::frame("E");
const QByteArray FACTORY_REPLY = BootProtocol::frame(QByteArray::fromHex("4c010d4302"));

} // namespace

class TestKtBridgeSim : public QObject
{
    Q_OBJECT

private slots:
    void requests_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QList<QByteArray>>("writes");
        QTest::addColumn<QList<QByteArray>>("pieces"); // what arrives, in order
        QTest::addColumn<bool>("eachInOwnRead");
        using L = QList<QByteArray>;
        const auto row = [](const char *name, const QStringList &arguments, const L &writes, const L &pieces,
                            bool eachInOwnRead = false) {
            QTest::newRow(name) << arguments << writes << pieces << eachInOwnRead;
        };
        QFile file(mDir.filePath("factory.bin"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray::fromHex("010d4302")) == 4);
        const QStringList factory{"--config", file.fileName()};

        row("boot sequence and P: identification text, product ID given in capitals", {"--product-id", "0000C0DE0001"},
            {BOOT, READ_ID}, {ID_REPLY, QByteArray::fromHex("43000750 0000c0de0001 0b0d")});
        row("Q, Y and Z: no answer; unknown command: error", {}, {BootProtocol::buildEnterNormalOperationCommand(),
            BootProtocol::buildEnterPairingModeCommand(), RESET, BootProtocol::frame("X")}, {ERROR_REPLY});
        row("--config gives the factory bytes, S keeps its bytes, Z restores the factory's", factory,
            {READ_CONFIG, WRITE_ABC, READ_CONFIG, RESET, READ_CONFIG},
            {FACTORY_REPLY, BootProtocol::frame("S"), BootProtocol::frame("LABC"), FACTORY_REPLY});
        row("silent", {"--fault", "silent"}, {BOOT, READ_ID}, {});
        row("silent-for=2: the third request is answered", {"--fault", "silent-for=2"}, {BOOT, BOOT, BOOT}, {ID_REPLY});
        row("hang-up-after=1: the line goes dead after the first reply", {"--fault", "hang-up-after=1"}, {BOOT, BOOT}, {ID_REPLY});
        row("error-on-read", {"--fault", "error-on-read"}, {READ_CONFIG}, {ERROR_REPLY});
        row("error-on-write keeps the configuration", QStringList{"--fault", "error-on-write"} + factory,
            {WRITE_ABC, READ_CONFIG}, {ERROR_REPLY, FACTORY_REPLY});
        row("bad-checksum", {"--fault", "bad-checksum"}, {READ_ID}, {QByteArray::fromHex("43000750 0000c0de0003 080d")});
        row("repeat-id", {"--fault", "repeat-id"}, {READ_ID}, {ID_REPLY, PRODUCT_ID_REPLY});
        row("noise before the reply", {"--fault", "noise"}, {READ_ID}, {QByteArray::fromHex("ff0055aa0d"), PRODUCT_ID_REPLY},
            true);
        row("false-start before the reply", {"--fault", "false-start"}, {READ_ID},
            {QByteArray::fromHex("43ffff"), PRODUCT_ID_REPLY}, true);
        row("stale-reply: an acknowledgement with the product ID, none for the write", {"--fault", "stale-reply"},
            {READ_ID, WRITE_ABC}, {PRODUCT_ID_REPLY + BootProtocol::frame("S")});
        row("split: cut after the length's high byte and after an inner CR", {"--fault", "split", "--id-string", "K\rB"},
            {BOOT}, {QByteArray::fromHex("4300"), QByteArray::fromHex("034b0d"), QByteArray::fromHex("42440d")}, true);
    }

    void requests()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QList<QByteArray>, writes);
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(bool, eachInOwnRead);
        SimulatorProcess simulator;
        QVERIFY(simulator.start(QStringList{"--id-string", "KTB"} + arguments));
        PtyLine client(simulator.portName());
        for (const QByteArray &request : writes) {
            QVERIFY(client.write(request));
            QThread::msleep(20);
        }
        const QByteArray replies = pieces.join();
        QCOMPARE(client.read(replies.size()).toHex(' '), replies.toHex(' '));
        if (eachInOwnRead)
            QCOMPARE(client.chunks(), pieces);
        QCOMPARE(client.read(-1, 100), QByteArray());
        if (QByteArray(QTest::currentDataTag()).startsWith("hang-up"))
            QTRY_VERIFY(!client.write(BOOT));
    }

private:
    QTemporaryDir mDir;
};

QTEST_GUILESS_MAIN(TestKtBridgeSim)
#include "tst_ktbridgeSim.moc"
