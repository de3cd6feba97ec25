// The program as a user runs it: exit statuses, autoflash runs with their records, installed.
#include "buildDate.h"
#include "commandLineRunner.h"
#include "deviceTestSupport.h"
#include "simulatorProcess.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace DeviceTestSupport;

namespace {

const QString MISSING_PORT = QStringLiteral("/dev/ktbridge-no-such-port");

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(writeFile(path("line:1.bgc"), factoryConfiguration(PRODUCT_CWB)));
        QVERIFY(writeFile(path("garbage.bgc"), QByteArray("not a configuration\n")));
    }

    void buildDateFromDayPaddedWithBlank() { QCOMPARE(QVt::buildDate(QStringLiteral("Oct  9 2016")), QStringLiteral("2016/10/09")); }

    // Usage and a missing start-up file end the process at once, with their own statuses.
    void exitStatus_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("standardError");
        const QString missing = path("missing %s %1.bgc");
        QTest::newRow("--help and more") << QStringList{"--help", "--config", path("line:1.bgc")} << 0 << QByteArray();
        QTest::newRow("third argument not --autoflash") << QStringList{"--config", path("line:1.bgc"), "--autoFlash"}
                                                        << 255 << QByteArray();
        QTest::newRow("missing file") << QStringList{"--config", missing, "--autoflash"} << 1
                                      << "Cannot load configuration file: " + missing.toLocal8Bit() + '\n';
    }

    void exitStatus()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, standardError);
        const CommandLineRun run = CommandLineRunner(mDir.path(), MISSING_PORT).run(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.standardOutput.startsWith("Usage: "), standardError.isEmpty());
        QVERIFY2(run.standardError.contains(standardError), run.standardError.constData());
    }

    // Offscreen has no OpenGL context: without a back end chosen, the window takes the
    // software one instead of aborting.
    void windowOffscreenWithoutQuickBackend()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_QUICK_BACKEND"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.scenegraph.time.renderloop=true"));
        environment.insert(QStringLiteral("KTBRIDGE_PORT"), MISSING_PORT);
        QProcess window;
        window.setProcessEnvironment(environment);
        window.setReadChannel(QProcess::StandardError);
        window.start(KT_CONFIGURATOR_PATH, QStringList());
        QByteArray output;
        while (!output.contains("Frame rendered") && window.waitForReadyRead(30000))
            output += window.readAllStandardError();
        window.kill();
        window.waitForFinished();
        QVERIFY2(output.contains("Frame rendered"), output.constData());
    }

    void autoflash_data()
    {
        QTest::addColumn<QString>("configuration");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("productId"); // empty: the device never answered
        QTest::addColumn<QString>("reason"); // empty: success
        QTest::newRow("success, relative path with a colon") << "line:1.bgc" << "" << PRODUCT_CWB << "";
        QTest::newRow("device error") << "line:1.bgc" << "error-on-write" << PRODUCT_CWB
                                      << "The connected device has reported an error.";
        QTest::newRow("file does not load") << "garbage.bgc" << "" << PRODUCT_CWB
                                            << "The configuration data could not be parsed and may be corrupt.";
        QTest::newRow("missing port") << "line:1.bgc" << "no port" << ""
                                      << "A communication error has occurred. Attempted to open a non-existent "
                                         "device. (Error code: 1)";
    }

    // "SUCCESS" or "ERROR" once with its exit status; the file's configuration reaches the
    // device only on success; one record tells what happened. A further argument is ignored.
    void autoflash()
    {
        QFETCH(QString, configuration);
        QFETCH(QString, fault);
        QFETCH(QString, productId);
        QFETCH(QString, reason);
        const QString store = path(QStringLiteral("%1.store").arg(QTest::currentDataTag()));
        SimulatorProcess simulator;
        if (fault != "no port")
            QVERIFY(simulator.start(QStringList{"--store", store} + (fault.isEmpty() ? QStringList() : QStringList{"--fault", fault})));
        const QString port = simulator.isRunning() ? simulator.portName() : MISSING_PORT;
        const CommandLineRunner runner(mDir.path(), port);
        const int earlierRecords = readFile(runner.recordFile()).count('\n');
        const CommandLineRun run = runner.run({"--config", configuration, "--autoflash", "--verbose"});

        const bool success = reason.isEmpty();
        QCOMPARE(run.exitCode, success ? 0 : 255);
        QCOMPARE(run.standardError.count(success ? "SUCCESS\n" : "ERROR\n"), 1);
        QVERIFY2(!run.standardError.contains("QThread"), run.standardError.constData());
        QCOMPARE(readFile(store), success ? readFile(path(configuration)) : QByteArray());
        // One record appended to those of the earlier runs.
        const QList<QByteArray> lines = readFile(runner.recordFile()).split('\n');
        QCOMPARE(lines.size(), earlierRecords + 2);
        QJsonObject record = QJsonDocument::fromJson(lines.at(earlierRecords)).object();
        QVERIFY(record.take("durationMs").toDouble() > 0);
        const QDateTime time = QDateTime::fromString(record.take("time").toString(), Qt::ISODateWithMs);
        QVERIFY(time.timeSpec() == Qt::UTC && qAbs(time.secsTo(QDateTime::currentDateTimeUtc())) < 60);
        const auto known = [](const QString &value) { return value.isEmpty() ? QJsonValue() : QJsonValue(value); };
        const QJsonObject expected{
            {"port", port}, {"configurationFile", path(configuration)},
            {"configurationProductId", known(configuration == "garbage.bgc" ? "" : PRODUCT_CWB)},
            {"deviceIdString", known(productId.isEmpty() ? "" : "KT Bridge Bootloader v1.4.0")},
            {"productId", known(productId)}, {"outcome", success ? "SUCCESS" : "ERROR"}, {"reason", known(reason)}};
        QCOMPARE(record, expected);
    }

    // Installed under a fresh prefix, the program runs through the link in bin/ with its
    // libraries and driver plug-ins found beside it; the desktop entry names it and its icon.
    void installedProgramFlashes()
    {
        const QString prefix = path("prefix");
        QProcess install;
        install.start(KT_CMAKE_COMMAND, {"--install", qEnvironmentVariable("KT_BINARY_DIR"), "--prefix", prefix});
        QVERIFY(install.waitForFinished(60000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
        QSettings entry(prefix + "/share/applications/com.halvard_motion.KtBridgeConfigurator.desktop", QSettings::IniFormat);
        entry.beginGroup("Desktop Entry");
        QVERIFY(QFile::exists(prefix + "/share/icons/hicolor/48x48/apps/" + entry.value("Icon").toString() + ".png"));
        QProcess simulator;
        simulator.start(prefix + "/bin/ktbridge-sim", {"--store", path("installed.store")});
        QVERIFY(simulator.waitForReadyRead());
        const CommandLineRunner runner(mDir.path(), QString::fromLocal8Bit(simulator.readLine().trimmed()), prefix + "/bin/" + entry.value("Exec").toString());
        const CommandLineRun run = runner.run({"--config", path("line:1.bgc"), "--autoflash"});
        QVERIFY2(run.exitCode == 0, run.standardError.constData());
        QCOMPARE(readFile(path("installed.store")), readFile(path("line:1.bgc")));
        simulator.terminate();
        QVERIFY(simulator.waitForFinished());
    }

private:
    QString path(const QString &name) const { return mDir.filePath(name); }

    QTemporaryDir mDir;
};

QTEST_MAIN(TestCommandLine)
#include "tst_commandLine.moc"
