// The simulator as a program: its replies and faults on the wire, its store, its verbose
// log, its command line and how it ends.

#include "comms/protocol/bootProtocol.h"
#include "ptyLine.h"
#include "simulatorProcess.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <memory>

using QVt::Comms::Protocol::BootProtocol;

namespace {

QByteArray bytes(const char *hexText)
{
    return QByteArray::fromHex(hexText);
}

const QByteArray BOOT = BootProtocol::buildBootSequence();
const QByteArray READ_ID = BootProtocol::buildReadProductIdCommand();
const QByteArray READ_CONFIG = BootProtocol::buildReadProtobufCommand();
const QByteArray RESET = BootProtocol::buildFactoryResetCommand();
const QByteArray WRITE_ABC = BootProtocol::buildWriteProtobufCommand("ABC");
const QByteArray ID_REPLY = BootProtocol::frame("KTB");
const QByteArray PRODUCT_ID_REPLY = bytes("43 00 07 50 00 00 C0 DE 00 03 09 0D");
const QByteArray WRITE_REPLY = BootProtocol::frame("S");
const QByteArray ERROR_REPLY = BootProtocol::frame("E");
const QByteArray NOISE = bytes("FF 00 55 AA 0D");

} // namespace

class TestKtBridgeSim : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        mClient.reset();
        mSim = std::make_unique<SimulatorProcess>();
    }

    void requests_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QList<QByteArray>>("writes");
        QTest::addColumn<QList<QByteArray>>("pieces");  // what arrives, in order
        QTest::addColumn<bool>("eachInOwnRead");

        using L = QList<QByteArray>;
        const auto row = [](const char *name, const QStringList &arguments, const L &writes, const L &pieces,
                            bool eachInOwnRead = false) {
            QTest::newRow(name) << arguments << writes << pieces << eachInOwnRead;
        };
        const QString factory = mDir.filePath("factory.bin");
        QFile file(factory);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes("01 0D 43 02")) == 4);
        file.close();

        row("boot sequence: identification text", {}, {BOOT}, {ID_REPLY});
        row("P: product ID given in capitals", {"--product-id", "0000C0DE0001"}, {READ_ID},
            {bytes("43 00 07 50 00 00 C0 DE 00 01 0B 0D")});
        row("unknown command: error", {}, {BootProtocol::frame("X")}, {ERROR_REPLY});
        row("Q, Y and Z: no answer", {}, {BootProtocol::buildEnterNormalOperationCommand(),
                                          BootProtocol::buildEnterPairingModeCommand(), RESET}, {});
        row("S: bytes read back unchanged", {}, {WRITE_ABC, READ_CONFIG}, {WRITE_REPLY, BootProtocol::frame("LABC")});
        row("--config gives the factory bytes, Z restores them", {"--config", factory},
            {READ_CONFIG, WRITE_ABC, RESET, READ_CONFIG},
            {bytes("43 00 05 4C 01 0D 43 02 47 0D"), WRITE_REPLY, bytes("43 00 05 4C 01 0D 43 02 47 0D")});
        row("silent", {"--fault", "silent"}, {BOOT, READ_ID}, {});
        row("silent-for=2: the third request is answered", {"--fault", "silent-for=2"}, {BOOT, BOOT, BOOT},
            {ID_REPLY});
        row("error-on-read", {"--fault", "error-on-read"}, {READ_CONFIG}, {ERROR_REPLY});
        row("error-on-write keeps the configuration", {"--fault", "error-on-write", "--config", factory},
            {WRITE_ABC, READ_CONFIG}, {ERROR_REPLY, bytes("43 00 05 4C 01 0D 43 02 47 0D")});
        row("bad-checksum", {"--fault", "bad-checksum"}, {READ_ID}, {bytes("43 00 07 50 00 00 C0 DE 00 03 08 0D")});
        row("repeat-id", {"--fault", "repeat-id"}, {READ_ID}, {ID_REPLY, PRODUCT_ID_REPLY});
        row("noise before the reply", {"--fault", "noise"}, {READ_ID}, {NOISE, PRODUCT_ID_REPLY}, true);
        row("split: cut after the length's high byte and after an inner CR",
            {"--fault", "split", "--id-string", "K\rB"}, {BOOT},
            {bytes("43 00"), bytes("03 4B 0D"), bytes("42 44 0D")}, true);
    }

    void requests()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QList<QByteArray>, writes);
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(bool, eachInOwnRead);

        QVERIFY(start(QStringList{"--id-string", "KTB"} + arguments));
        for (const QByteArray &piece : writes) {
            QVERIFY(mClient->write(piece));
            QThread::msleep(50);
        }
        const QByteArray replies = pieces.join();
        QCOMPARE(mClient->read(replies.size()).toHex(' '), replies.toHex(' '));
        if (eachInOwnRead)
            QCOMPARE(mClient->chunks(), pieces);
        QCOMPARE(mClient->read(-1, 300), QByteArray());
    }

    void storeKeepsConfigurationAcrossRuns()
    {
        const QString store = mDir.filePath("unit.store");
        QFile::remove(store);
        QVERIFY(start({"--store", store}));
        QVERIFY(mClient->write(WRITE_ABC));
        QCOMPARE(mClient->read(WRITE_REPLY.size()), WRITE_REPLY);
        QVERIFY(mSim->stop());

        QVERIFY(start({"--store", store}));
        QVERIFY(mClient->write(READ_CONFIG));
        QCOMPARE(mClient->read(9), BootProtocol::frame("LABC"));
    }

    // The program closes the port, maybe before the reply, and opens it again later.
    void reopenedPortGetsNoStaleReply_data()
    {
        QTest::addColumn<int>("replyDelayMs");
        QTest::addColumn<int>("openMs");
        QTest::newRow("reply left unread") << 0 << 100;
        QTest::newRow("reply still on its way") << 200 << 0;
    }

    void reopenedPortGetsNoStaleReply()
    {
        QFETCH(int, replyDelayMs);
        QFETCH(int, openMs);
        QVERIFY(start({"--reply-delay", QString::number(replyDelayMs)}));
        QVERIFY(mClient->write(READ_ID));
        QThread::msleep(openMs);
        mClient->close();
        QThread::msleep(400);
        mClient = std::make_unique<PtyLine>(mSim->portName());
        QCOMPARE(mClient->read(-1, 300), QByteArray());
        QVERIFY(mClient->write(READ_ID));
        QCOMPARE(mClient->read(PRODUCT_ID_REPLY.size()), PRODUCT_ID_REPLY);
    }

    void endsCleanlyOnSignal()
    {
        const QString link = mDir.filePath("ttyKTB0");
        QVERIFY(mSim->start({"--link", link}));
        QCOMPARE(QFileInfo(link).symLinkTarget(), mSim->portName());
        QCOMPARE(::kill(pid_t(mSim->processId()), SIGINT), 0);
        QVERIFY(mSim->waitForFinished());
        QCOMPARE(mSim->exitStatus(), QProcess::NormalExit);
        QCOMPARE(mSim->exitCode(), 0);
        QVERIFY(!QFile::exists(mSim->portName()));
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void badFaultCount()
    {
        QVERIFY(!mSim->start({"--fault", "silent-for=0"}));
        QVERIFY(mSim->waitForFinished());
        QCOMPARE(mSim->exitCode(), 2);
        QCOMPARE(mSim->standardError(), "ktbridge-sim: --fault silent-for=N needs a whole number N of at least 1, not "
                                        "\"0\"\nTry 'ktbridge-sim --help' for more information.\n");
    }

private:
    // Starts a fresh simulator and opens its line.
    bool start(const QStringList &arguments)
    {
        mClient.reset();
        mClient = std::make_unique<PtyLine>(mSim->start(arguments) ? mSim->portName() : QString());
        return mClient->isOpen();
    }

    QTemporaryDir mDir;
    std::unique_ptr<SimulatorProcess> mSim;
    std::unique_ptr<PtyLine> mClient;
};

QTEST_GUILESS_MAIN(TestKtBridgeSim)
#include "tst_ktbridgesim.moc"
