// ktbridge-configurator as a user runs it: usage and exit statuses, a missing
// start-up file, and unattended autoflash runs against ktbridge-sim, without a display.
#include "commandLineRunner.h"
#include "deviceTestSupport.h"
#include "simulatorProcess.h"

#include "comms/protocol/bootProtocol.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace DeviceTestSupport;
using QVt::Comms::Protocol::BootProtocol;

namespace {

const QString PRODUCT_CW = QStringLiteral("0000c0de0001");
const QByteArray USAGE_TAIL = " [--config filePath [--autoflash]]\n";

// Frames the simulator received whose payload starts with the write command 'S'.
int receivedWrites(const QByteArray &verboseLog)
{
    int writes = 0;
    for (const QByteArray &line : verboseLog.split('\n')) {
        const QList<QByteArray> tokens = line.split(' ');
        if (tokens.size() > 4 && tokens.at(0) == "rx" && tokens.at(4) == "53")
            ++writes;
    }
    return writes;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void usage_data();
    void usage();
    void missingConfigurationFile();
    void interactiveWindowOpens_data();
    void interactiveWindowOpens();

    void autoflash_data();
    void autoflash();

private:
    QString path(const QString &name) const { return mDir.filePath(name); }

    QTemporaryDir mDir;
};

void TestCommandLine::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(mDir.isValid());
    QVERIFY(QDir(mDir.path()).mkpath(QStringLiteral("settings")));
    QVERIFY(writeFile(path(QStringLiteral("cwb.bgc")), factoryConfiguration(PRODUCT_CWB)));
    QVERIFY(writeFile(path(QStringLiteral("cw.bgc")), factoryConfiguration(PRODUCT_CW)));
    QVERIFY(writeFile(path(QStringLiteral("garbage.bgc")), QByteArray("not a configuration\n")));
}

void TestCommandLine::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    const QString existing = path(QStringLiteral("cwb.bgc"));
    QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << 0;
    QTest::newRow("--help and more") << QStringList{QStringLiteral("--help"), QStringLiteral("--config"), existing,
                                                    QStringLiteral("--autoflash")}
                                     << 0;
    QTest::newRow("--config alone") << QStringList{QStringLiteral("--config")} << 255;
    QTest::newRow("other letter case") << QStringList{QStringLiteral("--Config"), existing} << 255;
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--autoflash")} << 255;
    QTest::newRow("third argument not --autoflash")
        << QStringList{QStringLiteral("--config"), existing, QStringLiteral("--autoFlash")} << 255;
}

void TestCommandLine::usage()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);

    const CommandLineRun run =
        CommandLineRunner(path(QStringLiteral("settings")), path(QStringLiteral("no-port"))).run(arguments);

    QVERIFY(run.finished);
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.standardOutput, "Usage: " + QByteArray(KT_CONFIGURATOR_PATH) + USAGE_TAIL);
}

void TestCommandLine::missingConfigurationFile()
{
    const QString missing = path(QStringLiteral("missing %s %1.bgc"));
    const CommandLineRun run = CommandLineRunner(path(QStringLiteral("settings")), path(QStringLiteral("no-port")))
                                   .run({QStringLiteral("--config"), missing, QStringLiteral("--autoflash")});

    QVERIFY(run.finished);
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QVERIFY(run.exitCode != 0);
    QVERIFY2(run.standardError.contains("Cannot load configuration file: " + missing.toLocal8Bit() + '\n'),
             run.standardError.constData());
    QCOMPARE(run.standardOutput, QByteArray());
}

void TestCommandLine::interactiveWindowOpens_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no arguments") << QStringList();
    QTest::newRow("start-up file") << QStringList{QStringLiteral("--config"), path(QStringLiteral("cwb.bgc"))};
}

// The interactive mode keeps running with its window until the user quits; here it
// runs on the offscreen platform and is stopped from outside after a while.
void TestCommandLine::interactiveWindowOpens()
{
    QFETCH(QStringList, arguments);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
    // A settings folder of its own: the port it stores must not steer the other runs.
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("interactive-settings")));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KT_CONFIGURATOR_PATH), arguments);
    QVERIFY(process.waitForStarted());

    QVERIFY(!process.waitForFinished(1500));

    process.terminate();
    QVERIFY(process.waitForFinished());
    const QByteArray errors = process.readAllStandardError();
    QVERIFY2(!errors.contains("qrc:"), errors.constData());
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
}

void TestCommandLine::autoflash_data()
{
    QTest::addColumn<QString>("configuration");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("writesSent");

    const QStringList plain;
    QTest::newRow("success") << "cwb.bgc" << plain << QString() << 0 << 1;
    QTest::newRow("success, further argument ignored") << "cwb.bgc" << QStringList{"--verbose"} << QString() << 0 << 1;
    QTest::newRow("error reply") << "cwb.bgc" << plain << "error-on-write" << 255 << 1;
    QTest::newRow("wrong product") << "cw.bgc" << plain << QString() << 255 << 0;
    QTest::newRow("file does not load") << "garbage.bgc" << plain << QString() << 255 << 0;
    QTest::newRow("hang-up") << "cwb.bgc" << plain << "hang-up-after=2" << 255 << 0;
}

// "SUCCESS" or "ERROR" once, and the file's configuration, only it and only once,
// reaches the device when the run succeeds.
void TestCommandLine::autoflash()
{
    QFETCH(QString, configuration);
    QFETCH(QStringList, arguments);
    QFETCH(QString, fault);
    QFETCH(int, exitCode);
    QFETCH(int, writesSent);
    const QString store = path(QStringLiteral("store.bgc"));
    QFile::remove(store);
    QStringList simulatorArguments{QStringLiteral("--product-id"), PRODUCT_CWB, QStringLiteral("--store"), store,
                                   QStringLiteral("--verbose")};
    if (!fault.isEmpty())
        simulatorArguments << QStringLiteral("--fault") << fault;
    SimulatorProcess simulator;
    QVERIFY(simulator.start(simulatorArguments));

    const CommandLineRun run =
        CommandLineRunner(path(QStringLiteral("settings")), simulator.portName())
            .run(QStringList{QStringLiteral("--config"), path(configuration), QStringLiteral("--autoflash")} + arguments);

    QVERIFY(run.finished);
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QCOMPARE(run.exitCode, exitCode);
    const QByteArray verdict = exitCode == 0 ? "SUCCESS" : "ERROR";
    QCOMPARE(run.standardError.count(verdict + '\n'), 1);
    QVERIFY(!run.standardError.contains(exitCode == 0 ? "ERROR" : "SUCCESS"));
    QVERIFY2(!run.standardError.contains("QThread"), run.standardError.constData());
    QVERIFY2(!run.standardError.contains("Timers cannot"), run.standardError.constData());
    if (exitCode == 0)
        QCOMPARE(readFile(store), readFile(path(configuration)));
    else
        QVERIFY(!QFile::exists(store));
    QTest::qWait(300);
    QCOMPARE(receivedWrites(simulator.standardError()), writesSent);
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandLine.moc"
