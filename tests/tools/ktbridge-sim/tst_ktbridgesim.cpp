// The simulator as a program: its replies on the wire, its store and link files, its
// command line and how it ends. Fault modes and timing are in tst_ktbridgesimfaults.

#include "ptyClient.h"
#include "simulatorProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <unistd.h>

namespace {

QByteArray bytes(const char *hexText)
{
    return QByteArray::fromHex(hexText);
}

const QByteArray kBootSequence = bytes("43 00 06 5A 50 58 4D 42 54 4C 0D");
const QByteArray kReadProductId = bytes("43 00 01 50 12 0D");
const QByteArray kReadConfiguration = bytes("43 00 01 4C 0E 0D");
const QByteArray kEnterNormalOperation = bytes("43 00 01 51 13 0D");
const QByteArray kEnterPairingMode = bytes("43 00 01 59 1B 0D");
const QByteArray kFactoryReset = bytes("43 00 01 5A 18 0D");
const QByteArray kWriteAbc = bytes("43 00 04 53 41 42 43 54 0D"); // "S" + "ABC"

const QByteArray kProductIdReply = bytes("43 00 07 50 00 00 C0 DE 00 03 09 0D");
const QByteArray kWriteReply = bytes("43 00 01 53 11 0D");
const QByteArray kErrorReply = bytes("43 00 01 45 07 0D");
// The factory configuration of these tests, 01 0D 43 02: a CR and a start byte inside.
const QByteArray kFactoryConfiguration = bytes("01 0D 43 02");
const QByteArray kFactoryConfigurationReply = bytes("43 00 05 4C 01 0D 43 02 47 0D");
const QByteArray kAbcConfigurationReply = bytes("43 00 04 4C 41 42 43 4B 0D");

} // namespace

class TestKtBridgeSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void replies_data();
    void replies();
    void writtenConfigurationIsReadBack();
    void commandsWithoutReply_data();
    void commandsWithoutReply();
    void factoryResetRestoresFactoryConfiguration();
    void requestReassembly_data();
    void requestReassembly();
    void reopenedPortGetsNoStaleReply_data();
    void reopenedPortGetsNoStaleReply();

    void storeKeepsConfigurationAcrossRuns();
    void storeIsReplacedNotRewritten();
    void unwritableStoreAnswersError();

    void verboseLogsFramesInHex();
    void linkPointsAtTerminalWhileRunning();
    void linkRefusesToReplaceRegularFile();
    void endsCleanlyOnSignal_data();
    void endsCleanlyOnSignal();
    void badArguments_data();
    void badArguments();
    void helpListsRequestsAndFaults();

private:
    QStringList withConfig(QStringList arguments = {}) const;
    bool startAndOpen(SimulatorProcess &sim, PtyClient &client, const QStringList &arguments);

    QTemporaryDir mDir;
    QString mConfigPath;
};

void TestKtBridgeSim::initTestCase()
{
    QVERIFY(mDir.isValid());
    mConfigPath = mDir.filePath(QStringLiteral("factory.bgc"));
    QFile config(mConfigPath);
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(kFactoryConfiguration);
}

QStringList TestKtBridgeSim::withConfig(QStringList arguments) const
{
    return arguments << QStringLiteral("--config") << mConfigPath;
}

bool TestKtBridgeSim::startAndOpen(SimulatorProcess &sim, PtyClient &client, const QStringList &arguments)
{
    return sim.start(arguments) && client.open(sim.portName());
}

void TestKtBridgeSim::replies_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("boot sequence: identification text")
        << QStringList{QStringLiteral("--id-string"), QStringLiteral("Test Unit 7")} << kBootSequence
        << bytes("43 00 0B 54 65 73 74 20 55 6E 69 74 20 37 6F 0D");
    QTest::newRow("P: product ID of the default product") << QStringList() << kReadProductId << kProductIdReply;
    QTest::newRow("P: product ID given in capitals")
        << QStringList{QStringLiteral("--product-id"), QStringLiteral("0000C0DE0001")} << kReadProductId
        << bytes("43 00 07 50 00 00 C0 DE 00 01 0B 0D");
    QTest::newRow("L: factory configuration") << QStringList() << kReadConfiguration << kFactoryConfigurationReply;
    QTest::newRow("S: stored") << QStringList() << kWriteAbc << kWriteReply;
    QTest::newRow("S without data: stored") << QStringList() << bytes("43 00 01 53 11 0D") << kWriteReply;
    QTest::newRow("unknown command: error") << QStringList() << bytes("43 00 01 58 1A 0D") << kErrorReply;
}

void TestKtBridgeSim::replies()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);

    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, withConfig(arguments)));
    QVERIFY(client.write(request));
    QCOMPARE(client.read(reply.size()).toHex(' '), reply.toHex(' '));
    QCOMPARE(client.readFor(100), QByteArray());
}

void TestKtBridgeSim::writtenConfigurationIsReadBack()
{
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, withConfig()));
    QVERIFY(client.write(kWriteAbc));
    QCOMPARE(client.read(kWriteReply.size()), kWriteReply);
    QVERIFY(client.write(kReadConfiguration));
    QCOMPARE(client.read(kAbcConfigurationReply.size()), kAbcConfigurationReply);
}

void TestKtBridgeSim::commandsWithoutReply_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("Q: enter normal operation") << kEnterNormalOperation;
    QTest::newRow("Y: enter pairing mode") << kEnterPairingMode;
    QTest::newRow("Z: factory reset") << kFactoryReset;
}

void TestKtBridgeSim::commandsWithoutReply()
{
    QFETCH(QByteArray, request);

    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, withConfig()));
    QVERIFY(client.write(request));
    QCOMPARE(client.readFor(300), QByteArray());
    // Taken, not choked on: the next request is answered.
    QVERIFY(client.write(kReadProductId));
    QCOMPARE(client.read(kProductIdReply.size()), kProductIdReply);
}

void TestKtBridgeSim::factoryResetRestoresFactoryConfiguration()
{
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, withConfig()));
    QVERIFY(client.write(kWriteAbc));
    QCOMPARE(client.read(kWriteReply.size()), kWriteReply);
    QVERIFY(client.write(kFactoryReset));
    QVERIFY(client.write(kReadConfiguration));
    QCOMPARE(client.read(kFactoryConfigurationReply.size()), kFactoryConfigurationReply);
}

void TestKtBridgeSim::requestReassembly_data()
{
    QTest::addColumn<QList<QByteArray>>("writes");
    QTest::addColumn<QByteArray>("replies");

    QTest::newRow("request in three writes")
        << QList<QByteArray>{bytes("43 00"), bytes("01 50"), bytes("12 0D")} << kProductIdReply;
    QTest::newRow("CR inside the request ends no frame")
        << QList<QByteArray>{bytes("43 00 02 53 0D"), bytes("1F 0D")} << kWriteReply;
    QTest::newRow("stray bytes before the request")
        << QList<QByteArray>{bytes("FF 00 0D") + kReadProductId} << kProductIdReply;
    QTest::newRow("two requests in one write")
        << QList<QByteArray>{kReadProductId + kReadConfiguration} << kProductIdReply + kFactoryConfigurationReply;
    QTest::newRow("frame with a bad checksum is dropped")
        << QList<QByteArray>{bytes("43 00 01 50 13 0D") + kReadProductId} << kProductIdReply;
    QTest::newRow("empty frame is dropped")
        << QList<QByteArray>{bytes("43 00 00 43 0D") + kReadProductId} << kProductIdReply;
}

void TestKtBridgeSim::requestReassembly()
{
    QFETCH(QList<QByteArray>, writes);
    QFETCH(QByteArray, replies);

    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, withConfig()));
    for (const QByteArray &piece : writes) {
        QVERIFY(client.write(piece));
        QThread::msleep(50);
    }
    QCOMPARE(client.read(replies.size()).toHex(' '), replies.toHex(' '));
    QCOMPARE(client.readFor(100), QByteArray());
}

void TestKtBridgeSim::reopenedPortGetsNoStaleReply_data()
{
    QTest::addColumn<int>("replyDelayMs");
    QTest::addColumn<int>("openMs");
    QTest::newRow("reply left unread") << 0 << 100;
    QTest::newRow("reply still on its way") << 200 << 0;
}

void TestKtBridgeSim::reopenedPortGetsNoStaleReply()
{
    QFETCH(int, replyDelayMs);
    QFETCH(int, openMs);

    // The program may close the port before a reply has come, and opens it again for the
    // next connection: the old reply must not greet the new connection.
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, withConfig({QStringLiteral("--reply-delay"), QString::number(replyDelayMs)})));
    QVERIFY(client.write(kReadProductId));
    QThread::msleep(openMs);
    client.close();
    QThread::msleep(400);
    QVERIFY(client.open(sim.portName()));
    QCOMPARE(client.readFor(300), QByteArray());
    QVERIFY(client.write(kReadProductId));
    QCOMPARE(client.read(kProductIdReply.size()), kProductIdReply);
}

void TestKtBridgeSim::storeKeepsConfigurationAcrossRuns()
{
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("unit.store"));
    {
        SimulatorProcess sim;
        PtyClient client;
        QVERIFY(startAndOpen(sim, client, withConfig({QStringLiteral("--store"), store})));
        QVERIFY(!QFile::exists(store));
        QVERIFY(client.write(kWriteAbc));
        QCOMPARE(client.read(kWriteReply.size()), kWriteReply);
        QVERIFY(sim.stop());
    }
    QFile file(store);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("ABC"));

    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, withConfig({QStringLiteral("--store"), store})));
    QVERIFY(client.write(kReadConfiguration));
    QCOMPARE(client.read(kAbcConfigurationReply.size()), kAbcConfigurationReply);

    // A factory reset is a change like any other: it is kept as well.
    QVERIFY(client.write(kFactoryReset));
    QVERIFY(client.write(kReadConfiguration));
    QCOMPARE(client.read(kFactoryConfigurationReply.size()), kFactoryConfigurationReply);
    file.close();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), kFactoryConfiguration);
}

void TestKtBridgeSim::storeIsReplacedNotRewritten()
{
    // A second name for the old file still shows the old bytes: the new ones went into a
    // new file that took the name in one step, so no reader ever sees half a store.
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("unit.store"));
    const QString oldName = dir.filePath(QStringLiteral("old.store"));
    QFile file(store);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("OLD");
    file.close();
    QCOMPARE(::link(QFile::encodeName(store).constData(), QFile::encodeName(oldName).constData()), 0);

    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, withConfig({QStringLiteral("--store"), store})));
    QVERIFY(client.write(kReadConfiguration));
    QCOMPARE(client.read(9), bytes("43 00 04 4C 4F 4C 44 4C 0D"));
    QVERIFY(client.write(kWriteAbc));
    QCOMPARE(client.read(kWriteReply.size()), kWriteReply);

    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("ABC"));
    QFile old(oldName);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("OLD"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{QStringLiteral("old.store"), QStringLiteral("unit.store")}));
}

void TestKtBridgeSim::unwritableStoreAnswersError()
{
    const QString store = mDir.filePath(QStringLiteral("missing-folder/unit.store"));
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, withConfig({QStringLiteral("--store"), store})));
    QVERIFY(client.write(kWriteAbc));
    QCOMPARE(client.read(kErrorReply.size()), kErrorReply);
    QVERIFY(sim.waitForStandardError("ktbridge-sim: cannot write \"" + store.toUtf8() + "\""));
    // The device keeps what it had.
    QVERIFY(client.write(kReadConfiguration));
    QCOMPARE(client.read(kFactoryConfigurationReply.size()), kFactoryConfigurationReply);
}

void TestKtBridgeSim::verboseLogsFramesInHex()
{
    SimulatorProcess sim;
    PtyClient client;
    QVERIFY(startAndOpen(sim, client, withConfig({QStringLiteral("--verbose")})));
    QVERIFY(client.write(bytes("00 FF") + kReadProductId));
    QCOMPARE(client.read(kProductIdReply.size()), kProductIdReply);
    QVERIFY(sim.waitForStandardError("tx 43 00 07 50 00 00 C0 DE 00 03 09 0D\n"));
    QCOMPARE(sim.standardError(),
             QByteArray("client opened\n"
                        "rx discarded 00 FF\n"
                        "rx 43 00 01 50 12 0D\n"
                        "tx 43 00 07 50 00 00 C0 DE 00 03 09 0D\n"));
    client.close();
    QVERIFY(sim.waitForStandardError("client closed\n"));
}

void TestKtBridgeSim::linkPointsAtTerminalWhileRunning()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyKTB0"));
    SimulatorProcess sim;
    QVERIFY(sim.start(withConfig({QStringLiteral("--link"), link})));
    QCOMPARE(QFileInfo(link).symLinkTarget(), sim.portName());

    PtyClient client;
    QVERIFY(client.open(link));
    QVERIFY(client.write(kReadProductId));
    QCOMPARE(client.read(kProductIdReply.size()), kProductIdReply);

    QVERIFY(sim.stop());
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestKtBridgeSim::linkRefusesToReplaceRegularFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();

    SimulatorProcess sim;
    QVERIFY(!sim.start(withConfig({QStringLiteral("--link"), path})));
    QVERIFY(sim.waitForFinished());
    QCOMPARE(sim.exitCode(), 1);
    QCOMPARE(sim.standardError(),
             "ktbridge-sim: --link: \"" + path.toUtf8() + "\" exists and is not a symbolic link\n");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me"));
}

void TestKtBridgeSim::endsCleanlyOnSignal_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
}

void TestKtBridgeSim::endsCleanlyOnSignal()
{
    QFETCH(int, signalNumber);

    SimulatorProcess sim;
    QVERIFY(sim.start(withConfig()));
    QVERIFY(QFile::exists(sim.portName()));
    QCOMPARE(::kill(pid_t(sim.processId()), signalNumber), 0);
    QVERIFY(sim.waitForFinished());
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!QFile::exists(sim.portName()));
}

void TestKtBridgeSim::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message");

    const auto row = [](const char *name, const QStringList &arguments, int exitCode, const QByteArray &message) {
        QTest::newRow(name) << arguments << exitCode << message;
    };
    row("unknown option", {"--frobnicate"}, 2, "ktbridge-sim: Unknown option 'frobnicate'.\n");
    row("missing value", {"--baud"}, 2, "ktbridge-sim: Missing value after '--baud'.\n");
    row("positional argument", {"extra"}, 2, "ktbridge-sim: unexpected argument \"extra\"\n");
    row("unknown fault", {"--fault", "bogus"}, 2,
        "ktbridge-sim: unknown fault \"bogus\" (see --help for the fault names)\n");
    row("hang-up after no frames", {"--fault", "hang-up-after=0"}, 2,
        "ktbridge-sim: --fault hang-up-after=N needs a whole number N of at least 1, not \"0\"\n");
    row("hang-up after words", {"--fault", "hang-up-after=some"}, 2,
        "ktbridge-sim: --fault hang-up-after=N needs a whole number N of at least 1, not \"some\"\n");
    row("zero baud", {"--baud", "0"}, 2, "ktbridge-sim: --baud needs a whole number of at least 1, not \"0\"\n");
    row("baud in words", {"--baud", "fast"}, 2,
        "ktbridge-sim: --baud needs a whole number of at least 1, not \"fast\"\n");
    row("negative reply delay", {"--reply-delay=-5"}, 2,
        "ktbridge-sim: --reply-delay needs a whole number of at least 0, not \"-5\"\n");
    row("product ID not hexadecimal", {"--product-id", "c0dex1"}, 2,
        "ktbridge-sim: --product-id needs hexadecimal text with an even number of digits, not \"c0dex1\"\n");
    row("product ID with an odd digit count", {"--product-id", "c0de1"}, 2,
        "ktbridge-sim: --product-id needs hexadecimal text with an even number of digits, not \"c0de1\"\n");
    row("configuration file missing", {"--config", "/nonexistent/factory.bgc"}, 1,
        "ktbridge-sim: cannot read \"/nonexistent/factory.bgc\": No such file or directory\n");
}

void TestKtBridgeSim::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);

    SimulatorProcess sim;
    QVERIFY(!sim.start(arguments));
    QVERIFY(sim.waitForFinished());
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), exitCode);
    QByteArray expected = message;
    if (exitCode == 2)
        expected += "Try 'ktbridge-sim --help' for more information.\n";
    QCOMPARE(sim.standardError(), expected);
}

void TestKtBridgeSim::helpListsRequestsAndFaults()
{
    QProcess process;
    process.start(SimulatorProcess::executablePath(), {QStringLiteral("--help")});
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 0);
    const QByteArray help = process.readAllStandardOutput();
    QVERIFY(help.startsWith("Usage: "));
    for (const char *text : {"--id-string", "--product-id", "--config", "--store", "--link", "--baud",
                             "--reply-delay", "--fault", "--verbose", "silent", "error-on-read",
                             "error-on-write", "bad-checksum", "split", "noise", "repeat-id",
                             "hang-up-after=N", "\"ZPXMBT\""})
        QVERIFY2(help.contains(text), text);
    QCOMPARE(process.readAllStandardError(), QByteArray());
}

QTEST_GUILESS_MAIN(TestKtBridgeSim)
#include "tst_ktbridgesim.moc"
