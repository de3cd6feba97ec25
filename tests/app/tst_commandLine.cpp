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

    void autoflashSuccess_data();
    void autoflashSuccess();
    void autoflashFailure_data();
    void autoflashFailure();

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

void TestCommandLine::autoflashSuccess_data()
{
    QTest::addColumn<QStringList>("extraArguments");
    QTest::newRow("plain") << QStringList();
    QTest::newRow("further argument ignored") << QStringList{QStringLiteral("--verbose")};
}

// The file's configuration, and only it, reaches the device, once.
void TestCommandLine::autoflashSuccess()
{
    QFETCH(QStringList, extraArguments);
    const QString store = path(QStringLiteral("success-store.bgc"));
    QFile::remove(store);
    SimulatorProcess simulator;
    QVERIFY(simulator.start({QStringLiteral("--product-id"), PRODUCT_CWB, QStringLiteral("--store"), store,
                             QStringLiteral("--verbose")}));

    const CommandLineRun run =
        CommandLineRunner(path(QStringLiteral("settings")), simulator.portName())
            .run(QStringList{QStringLiteral("--config"), path(QStringLiteral("cwb.bgc")), QStringLiteral("--autoflash")}
                 + extraArguments);

    QVERIFY(run.finished);
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.standardError.count("SUCCESS\n"), 1);
    QVERIFY(!run.standardError.contains("ERROR"));
    QVERIFY2(!run.standardError.contains("QThread"), run.standardError.constData());
    QVERIFY2(!run.standardError.contains("Timers cannot"), run.standardError.constData());
    QCOMPARE(readFile(store), readFile(path(QStringLiteral("cwb.bgc"))));
    QTest::qWait(300);
    QCOMPARE(receivedWrites(simulator.standardError()), 1);
}

void TestCommandLine::autoflashFailure_data()
{
    QTest::addColumn<QString>("configuration");
    QTest::addColumn<QStringList>("simulatorArguments");
    QTest::addColumn<bool>("writeSent");
    QTest::newRow("error reply") << QStringLiteral("cwb.bgc")
                                 << QStringList{QStringLiteral("--product-id"), PRODUCT_CWB, QStringLiteral("--fault"),
                                                QStringLiteral("error-on-write")}
                                 << true;
    QTest::newRow("wrong product") << QStringLiteral("cw.bgc")
                                   << QStringList{QStringLiteral("--product-id"), PRODUCT_CWB} << false;
    QTest::newRow("file does not load") << QStringLiteral("garbage.bgc")
                                        << QStringList{QStringLiteral("--product-id"), PRODUCT_CWB} << false;
    QTest::newRow("hang-up") << QStringLiteral("cwb.bgc")
                             << QStringList{QStringLiteral("--product-id"), PRODUCT_CWB, QStringLiteral("--fault"),
                                            QStringLiteral("hang-up-after=2")}
                             << false;
}

void TestCommandLine::autoflashFailure()
{
    QFETCH(QString, configuration);
    QFETCH(QStringList, simulatorArguments);
    QFETCH(bool, writeSent);
    const QString store = path(QStringLiteral("failure-store.bgc"));
    QFile::remove(store);
    SimulatorProcess simulator;
    QVERIFY(simulator.start(simulatorArguments
                            + QStringList{QStringLiteral("--store"), store, QStringLiteral("--verbose")}));

    const CommandLineRun run = CommandLineRunner(path(QStringLiteral("settings")), simulator.portName())
                                   .run({QStringLiteral("--config"), path(configuration), QStringLiteral("--autoflash")});

    QVERIFY(run.finished);
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QCOMPARE(run.exitCode, 255);
    QCOMPARE(run.standardError.count("ERROR\n"), 1);
    QVERIFY(!run.standardError.contains("SUCCESS"));
    QVERIFY2(!run.standardError.contains("QThread"), run.standardError.constData());
    QVERIFY2(!run.standardError.contains("Timers cannot"), run.standardError.constData());
    QVERIFY(!QFile::exists(store));
    QTest::qWait(300);
    QCOMPARE(receivedWrites(simulator.standardError()), writeSent ? 1 : 0);
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandLine.moc"
