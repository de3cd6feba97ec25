// ktbridge-configurator as a user runs it: exit statuses, a missing start-up file, the
// window, and unattended autoflash runs against ktbridge-sim with their records, one
// station and eight at once, without a display.
#include "commandLineRunner.h"
#include "deviceTestSupport.h"
#include "simulatorProcess.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>


using namespace DeviceTestSupport;

namespace {

const QString PRODUCT_CW = QStringLiteral("0000c0de0001");
const QString SIMULATOR_ID = QStringLiteral("KT Bridge Bootloader v1.4.0");
const QString MISSING_PORT = QStringLiteral("/dev/ktbridge-no-such-port");
constexpr int STATIONS = 8;

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void exitStatus_data();
    void exitStatus();
    void interactiveWindowOpens_data();
    void interactiveWindowOpens();

    void autoflash_data();
    void autoflash();
    void eightStationsAtOnce();

private:
    QString path(const QString &name) const { return mDir.filePath(name); }

    QTemporaryDir mDir;
};

void TestCommandLine::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(mDir.isValid());
    QVERIFY(writeFile(path(QStringLiteral("cwb.bgc")), factoryConfiguration(PRODUCT_CWB)));
    QVERIFY(writeFile(path(QStringLiteral("line:1.bgc")), factoryConfiguration(PRODUCT_CWB)));
    QVERIFY(writeFile(path(QStringLiteral("cw.bgc")), factoryConfiguration(PRODUCT_CW)));
    QVERIFY(writeFile(path(QStringLiteral("garbage.bgc")), QByteArray("not a configuration\n")));
}

void TestCommandLine::exitStatus_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("standardError");
    const QString existing = path(QStringLiteral("cwb.bgc"));
    const QString missing = path(QStringLiteral("missing %s %1.bgc"));
    QTest::newRow("--help and more") << QStringList{"--help", "--config", existing, "--autoflash"} << 0 << QByteArray();
    QTest::newRow("--config alone") << QStringList{"--config"} << 255 << QByteArray();
    QTest::newRow("other letter case") << QStringList{"--Config", existing} << 255 << QByteArray();
    QTest::newRow("third argument not --autoflash") << QStringList{"--config", existing, "--autoFlash"} << 255
                                                    << QByteArray();
    QTest::newRow("missing file") << QStringList{"--config", missing, "--autoflash"} << 1
                                  << "Cannot load configuration file: " + missing.toLocal8Bit() + '\n';
}

// Usage and a missing start-up file end the process at once, with their own statuses.
void TestCommandLine::exitStatus()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, standardError);
    const CommandLineRunner runner(mDir.path(), MISSING_PORT);

    const CommandLineRun run = runner.run(arguments);

    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.standardOutput.startsWith("Usage: "), standardError.isEmpty());
    QVERIFY2(run.standardError.contains(standardError), run.standardError.constData());
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
}

void TestCommandLine::autoflash_data()
{
    QTest::addColumn<QString>("configuration");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("portExists");
    QTest::addColumn<QString>("configurationProductId");
    QTest::addColumn<QString>("productId"); // empty: the device never answered
    QTest::addColumn<QString>("reason"); // empty: success

    // Every run carries a further argument, which must be ignored.
    const QString cwb = PRODUCT_CWB;
    QTest::newRow("success") << "cwb.bgc" << QString() << true << cwb << cwb << QString();
    QTest::newRow("relative path with a colon") << "line:1.bgc" << QString() << true << cwb << cwb << QString();
    QTest::newRow("device error") << "cwb.bgc" << "error-on-write" << true << cwb << cwb
                                  << "The connected device has reported an error.";
    QTest::newRow("unsupported device") << "cw.bgc" << QString() << true << PRODUCT_CW << cwb
                                        << "The connected device is not supported by this application: Device ID: "
                                               + SIMULATOR_ID + ", Product ID: " + cwb;
    QTest::newRow("file does not load") << "garbage.bgc" << QString() << true << QString() << cwb
                                        << "The configuration data could not be parsed and may be corrupt.";
    QTest::newRow("hang-up") << "cwb.bgc" << "hang-up-after=2" << true << cwb << cwb
                             << "A communication error has occurred. Device or resource has become unavailable "
                                "(perhaps removed or disconnected). (Error code: 9)";
    QTest::newRow("missing port") << "cwb.bgc" << QString() << false << cwb << QString()
                                  << "A communication error has occurred. Attempted to open a non-existent device. "
                                     "(Error code: 1)";
    // Waits out the real 10 s watch: only in the run labelled slow.
    if (qEnvironmentVariableIsSet("KT_SLOW_TESTS"))
        QTest::newRow("time-out") << "cwb.bgc" << "silent" << true << cwb << QString()
                                  << "A communication timeout has occurred.";
}

// "SUCCESS" or "ERROR" once; the file's configuration reaches the device only on
// success; one record tells what happened; the port is never stored.
void TestCommandLine::autoflash()
{
    QFETCH(QString, configuration);
    QFETCH(QString, fault);
    QFETCH(bool, portExists);
    QFETCH(QString, configurationProductId);
    QFETCH(QString, productId);
    QFETCH(QString, reason);
    QTemporaryDir station(path(QStringLiteral("station-XXXXXX")));
    const QString store = station.filePath(QStringLiteral("store.bgc"));
    SimulatorProcess simulator;
    QVERIFY(simulator.start(QStringList{"--store", store}
                            + (fault.isEmpty() ? QStringList() : QStringList{"--fault", fault})));
    const QString port = portExists ? simulator.portName() : MISSING_PORT;
    const CommandLineRunner runner(mDir.path(), port);
    QFile::remove(runner.recordFile());

    const CommandLineRun run = runner.run({"--config", configuration, "--autoflash", "--verbose"});
    const int exitCode = reason.isEmpty() ? 0 : 255;

    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.standardError.count(exitCode == 0 ? "SUCCESS\n" : "ERROR\n"), 1);
    QVERIFY(!run.standardError.contains(exitCode == 0 ? "ERROR" : "SUCCESS"));
    QVERIFY2(!run.standardError.contains("QThread"), run.standardError.constData());
    if (!portExists)
        QVERIFY(run.standardError.contains("The serial port named by KTBRIDGE_PORT does not exist: \"" + port.toUtf8()));
    QCOMPARE(readFile(store), exitCode == 0 ? readFile(path(configuration)) : QByteArray());
    const QList<QJsonObject> records = readRecords(runner.recordFile());
    QCOMPARE(records.size(), 1);
    compareRecord(records.first(),
                  {port, path(configuration), configurationProductId, productId.isEmpty() ? QString() : SIMULATOR_ID,
                   productId, reason},
                  run);
    QVERIFY(!readFile(runner.settingsFolder() + "/Halvard Motion Systems/KT Bridge Configurator.conf")
                 .contains(port.toUtf8()));
}

// A production line: one simulator and one process per station, all started at once,
// sharing one record file.
void TestCommandLine::eightStationsAtOnce()
{
    const QString configuration = path(QStringLiteral("cwb.bgc"));
    QTemporaryDir line(path(QStringLiteral("line-XXXXXX")));
    SimulatorProcess simulators[STATIONS];
    QProcess stations[STATIONS];
    QStringList ports;
    for (int i = 0; i < STATIONS; ++i) {
        QVERIFY(simulators[i].start({"--store", line.filePath(QString::number(i))}));
        ports << simulators[i].portName();
    }
    for (int i = 0; i < STATIONS; ++i)
        CommandLineRunner(line.path(), ports.at(i)).start(stations[i], {"--config", configuration, "--autoflash"});

    for (QProcess &station : stations) {
        QVERIFY(station.waitForFinished(60000));
        QCOMPARE(station.readAllStandardError().count("SUCCESS\n"), 1);
    }
    QStringList records;
    for (const QJsonObject &record : readRecords(CommandLineRunner(line.path(), QString()).recordFile()))
        records << record.value("port").toString() + ' ' + record.value("outcome").toString();
    records.sort();
    ports.sort();
    QCOMPARE(records, ports.replaceInStrings(QRegularExpression("$"), " SUCCESS"));
    for (int i = 0; i < STATIONS; ++i)
        QCOMPARE(readFile(line.filePath(QString::number(i))), readFile(configuration));
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandLine.moc"
