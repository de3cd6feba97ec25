// The simulator as a program: its replies and faults on the wire, its store, its verbose
// log, its command line and how it ends.

#include "comms/protocol/bootProtocol.h"
#include "ptyLine.h"
#include "simulatorProcess.h"

#include <QElapsedTimer>
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
        mSim = std::make_unique<SimulatorProcess>();
    }

    void cleanup()
    {
        mClient.reset();
        mSim.reset();
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
        row("CR inside a request cut after it", {}, {bytes("43 00 02 53 0D"), bytes("1F 0D"), READ_CONFIG},
            {WRITE_REPLY, bytes("43 00 02 4C 0D 00 0D")});
        row("bad checksum dropped, next request answered", {}, {bytes("43 00 01 50 13 0D") + READ_ID},
            {PRODUCT_ID_REPLY});
        row("silent", {"--fault", "silent"}, {BOOT, READ_ID}, {});
        row("silent-for=2: the third request is answered", {"--fault", "silent-for=2"}, {BOOT, BOOT, BOOT},
            {ID_REPLY});
        row("error-on-read", {"--fault", "error-on-read"}, {READ_CONFIG, READ_ID}, {ERROR_REPLY, PRODUCT_ID_REPLY});
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
        QCOMPARE(mClient->readFrame(), BootProtocol::frame("LABC"));
    }

    void verboseLogsFramesAndDiscards()
    {
        QVERIFY(start({"--verbose"}));
        QVERIFY(mClient->write(bytes("00 FF") + READ_ID));
        QCOMPARE(mClient->read(PRODUCT_ID_REPLY.size()), PRODUCT_ID_REPLY);
        QVERIFY(mSim->waitForStandardError("tx 43 00 07 50 00 00 C0 DE 00 03 09 0D\n"));
        QCOMPARE(mSim->standardError(), QByteArray("client opened\n"
                                                   "Read data with an invalid start byte; discarding.\n"
                                                   "rx discarded 00 FF\n"
                                                   "rx 43 00 01 50 12 0D\n"
                                                   "tx 43 00 07 50 00 00 C0 DE 00 03 09 0D\n"));
        // A request cut short (a client that died mid-write) must not swallow the next one.
        QVERIFY(mClient->write(bytes("43 00 05 4C")));
        QVERIFY(mSim->waitForStandardError("rx discarded 43 00 05 4C\n", 3000));
        QVERIFY(mClient->write(READ_ID));
        QCOMPARE(mClient->read(PRODUCT_ID_REPLY.size()), PRODUCT_ID_REPLY);
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

    // A lower bound only: a loaded machine may always be slower.
    void pacedLine()
    {
        QVERIFY(start({"--baud", "9600", "--reply-delay", "300", "--id-string", QString(1024, 'K')}));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(mClient->write(BOOT));
        QCOMPARE(mClient->read(1029, 10000).size(), 1029);
        // 10 bits a byte, both ways, after the reply delay.
        QVERIFY2(clock.elapsed() >= (300 + (11 + 1029) * 10 * 1000 / 9600) * 9 / 10,
                 qPrintable(QString::number(clock.elapsed())));
    }

    void endsCleanlyOnSignal_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM;
    }

    void endsCleanlyOnSignal()
    {
        QFETCH(int, signalNumber);
        const QString link = mDir.filePath("ttyKTB0");
        QVERIFY(mSim->start({"--link", link}));
        QCOMPARE(QFileInfo(link).symLinkTarget(), mSim->portName());
        QCOMPARE(::kill(pid_t(mSim->processId()), signalNumber), 0);
        QVERIFY(mSim->waitForFinished());
        QCOMPARE(mSim->exitStatus(), QProcess::NormalExit);
        QCOMPARE(mSim->exitCode(), 0);
        QVERIFY(!QFile::exists(mSim->portName()));
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void badArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message");

        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << 2
                                        << QByteArray("ktbridge-sim: Unknown option 'frobnicate'.\n");
        QTest::newRow("silent for no requests")
            << QStringList{"--fault", "silent-for=0"} << 2
            << QByteArray("ktbridge-sim: --fault silent-for=N needs a whole number N of at least 1, not \"0\"\n");
        QTest::newRow("unknown product")
            << QStringList{"--product-id", "0000c0de0009"} << 2
            << QByteArray("ktbridge-sim: unknown product ID \"0000c0de0009\" (known: 0000c0de0001, "
                          "0000c0de0011, 0000c0de0002, 0000c0de0003)\n");
        QTest::newRow("configuration file missing")
            << QStringList{"--config", "/nonexistent/factory.bgc"} << 1
            << QByteArray("ktbridge-sim: cannot read \"/nonexistent/factory.bgc\": No such file or directory\n");
    }

    void badArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
        QVERIFY(!mSim->start(arguments));
        QVERIFY(mSim->waitForFinished());
        QCOMPARE(mSim->exitCode(), exitCode);
        if (exitCode == 2)
            message += "Try 'ktbridge-sim --help' for more information.\n";
        QCOMPARE(mSim->standardError(), message);
    }

private:
    // Starts a fresh simulator and opens its line.
    bool start(const QStringList &arguments)
    {
        mClient.reset();
        if (!mSim->start(arguments))
            return false;
        mClient = std::make_unique<PtyLine>(mSim->portName());
        return mClient->isOpen();
    }

    QTemporaryDir mDir;
    std::unique_ptr<SimulatorProcess> mSim;
    std::unique_ptr<PtyLine> mClient;
};

QTEST_GUILESS_MAIN(TestKtBridgeSim)
#include "tst_ktbridgesim.moc"
