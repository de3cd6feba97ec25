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

#include <unistd.h>

using namespace DeviceTestSupport;

namespace {

// Its own name: the serial port library locks a port by its name even where no device
// exists, and a test of another program may try a missing port at the same moment.
const QString MISSING_PORT = QStringLiteral("/dev/ktbridge-configurator-no-such-port");
const QString PRODUCT_CW = QStringLiteral("0000c0de0001");
// Who every simulated unit is, as its command-line options.
const QStringList UNIT_IDENTITY = {"--serial-number", "7", "--wlan-mac", "02:00:5E:00:00:07", "--bluetooth-mac", "02:00:5E:00:00:08"};

// The serial number the configuration bytes carry; -1 for no identity.
double serialNumber(const QByteArray &configuration)
{
    const auto device = QVt::Device::DeviceFactory::instance()->createDevice(PRODUCT_CWB);
    return device->deserialize(configuration) && device->deviceInfo() ? double(device->deviceInfo()->serialNumber()) : -1;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(writeFile(path("line:1.bgc"), factoryConfiguration(PRODUCT_CWB)));
        QVERIFY(writeFile(path("garbage.bgc"), QByteArray("not a configuration\n")));
        QVERIFY(writeFile(path("unit-42.bgc"), reportedCwbConfiguration()));
        // The format version is the big-endian word at offset 4.
        QVERIFY(writeFile(path("newer.bgc"), factoryConfiguration(PRODUCT_CWB).replace(4, 2, QByteArray::fromHex("0007"))));
        QVERIFY(QDir().mkdir(path("folder.bgc")));
        QVERIFY(writeFile(path("cw.bgc"), factoryConfiguration(PRODUCT_CW)));
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
        QTest::addColumn<QStringList>("unit"); // the simulator's arguments; "no port": none runs
        QTest::addColumn<QString>("productId"); // empty: the device never answered
        QTest::addColumn<QString>("identity"); // what the record says of the unit's identity
        QTest::addColumn<QString>("reason"); // empty: success
        const QStringList healthy;
        const QString noIdentity;
        QTest::newRow("success, relative path with a colon") << "line:1.bgc" << healthy << PRODUCT_CWB << "reported" << "";
        QTest::newRow("another unit's file: the unit keeps its identity")
            << "unit-42.bgc" << healthy << PRODUCT_CWB << "reported" << "";
        QTest::newRow("unit's configuration does not load: flashed, identity unknown")
            << "line:1.bgc" << QStringList{"--config", path("garbage.bgc")} << PRODUCT_CWB << "unknown" << "";
        QTest::newRow("device error") << "line:1.bgc" << QStringList{"--fault", "error-on-write"} << PRODUCT_CWB << "reported"
                                      << "The connected device has reported an error.";
        QTest::newRow("file does not load") << "garbage.bgc" << healthy << PRODUCT_CWB << noIdentity
                                            << "The configuration data could not be parsed and may be corrupt.";
        QTest::newRow("file of a newer version") << "newer.bgc" << healthy << PRODUCT_CWB << noIdentity
                                                 << "The configuration data was created with another version of this "
                                                    "software and could not be loaded.";
        QTest::newRow("file of another product") << "cw.bgc" << healthy << PRODUCT_CWB << noIdentity
                                                 << "The configuration file is for a KT Bridge CW, not for the connected "
                                                    "device (product ID 0000c0de0003).";
        QTest::newRow("file is a folder") << "folder.bgc" << healthy << PRODUCT_CWB << noIdentity
                                          << "The configuration file could not be read: not a regular file";
        QTest::newRow("missing port") << "line:1.bgc" << QStringList{"no port"} << "" << noIdentity
                                      << "A communication error has occurred. Attempted to open a non-existent "
                                         "device. (Error code: 1)";
        QTest::newRow("port is a folder") << "line:1.bgc" << QStringList{"folder port"} << "" << noIdentity
                                          << "A communication error has occurred. Is a directory (Error code: 11)";
    }

    // "SUCCESS" or "ERROR" once with its exit status; the file's configuration reaches the
    // device only on success, with the unit's own identity; one record tells what happened
    // and who the unit is. A further argument is ignored.
    void autoflash()
    {
        QFETCH(QString, configuration);
        QFETCH(QStringList, unit);
        QFETCH(QString, productId);
        QFETCH(QString, identity);
        QFETCH(QString, reason);
        const QString store = path(QStringLiteral("%1.store").arg(QTest::currentDataTag()));
        SimulatorProcess simulator;
        const bool noUnit = unit.value(0).endsWith("port");
        if (!noUnit)
            QVERIFY(simulator.start(QStringList{"--store", store} + UNIT_IDENTITY + unit));
        const QString port = !noUnit ? simulator.portName() : unit.value(0) == "no port" ? MISSING_PORT : mDir.path();
        const CommandLineRunner runner(mDir.path(), port);
        const int earlierRecords = readFile(runner.recordFile()).count('\n');
        const CommandLineRun run = runner.run({"--config", configuration, "--autoflash", "--verbose"});

        const bool success = reason.isEmpty();
        QCOMPARE(run.exitCode, success ? 0 : 255);
        QCOMPARE(run.standardError.count(success ? "SUCCESS\n" : "ERROR\n"), 1);
        QVERIFY2(success || run.standardError.contains("Autoflash failed: \"" + reason.toUtf8()), run.standardError.constData());
        QVERIFY2(!run.standardError.contains("QThread"), run.standardError.constData());
        QVERIFY2(!run.standardError.contains("Sending frame"), "debug lines only when a rule asks");
        // The file's settings, with the identity of the unit or none.
        const QByteArray stored = readFile(store);
        const bool reported = identity == "reported";
        QCOMPARE(stored.isEmpty() ? QByteArray() : flashedConfiguration(readFile(path(configuration)), stored),
                 success ? stored : QByteArray());
        QCOMPARE(serialNumber(stored), success && reported ? UNIT_IDENTITY.at(1).toDouble() : -1.0);
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
            {"configurationProductId", known(configuration == "cw.bgc" ? PRODUCT_CW
                                             : configuration.startsWith("line:") || configuration.startsWith("unit") ? PRODUCT_CWB : "")},
            {"deviceIdString", known(productId.isEmpty() ? "" : "KT Bridge Bootloader v1.4.0")},
            {"productId", known(productId)}, {"unitIdentity", known(identity)},
            {"serialNumber", reported ? QJsonValue(UNIT_IDENTITY.at(1).toDouble()) : QJsonValue()},
            {"wlanMac", known(reported ? UNIT_IDENTITY.at(3) : "")}, {"bluetoothMac", known(reported ? UNIT_IDENTITY.at(5) : "")},
            {"outcome", success ? "SUCCESS" : "ERROR"}, {"reason", known(reason)}};
        QVERIFY2(record == expected, QJsonDocument(record).toJson().constData());
    }

    // A file name that is no valid UTF-8 still names the file: the unit gets it.
    void fileNameNotUtf8()
    {
        QVERIFY(::link(QFile::encodeName(path("line:1.bgc")), QFile::encodeName(mDir.path()) + "/latin1-\xe9.bgc") == 0);
        SimulatorProcess simulator;
        QVERIFY(simulator.start({"--store", path("latin1.store")}));
        const CommandLineRun run = CommandLineRunner(mDir.path(), simulator.portName(), "/bin/sh")
                                       .run({"-c", "exec \"$0\" --config \"$(printf 'latin1-\\351.bgc')\" --autoflash", KT_CONFIGURATOR_PATH});
        QVERIFY2(run.exitCode == 0, run.standardError.constData());
        QCOMPARE(serialNumber(readFile(path("latin1.store"))), 20250001.0);
    }

    // One area's debug lines on: every debug line of the run is the link's, the frames among them.
    void linkDebugLinesAlone()
    {
        SimulatorProcess simulator;
        QVERIFY(simulator.start({"--store", path("debug.store")}));
        const CommandLineRun run = CommandLineRunner(mDir.path(), simulator.portName(), "/bin/sh")
                                       .run({"-c",
                                             "QT_LOGGING_RULES=ktbridge.link.debug=true QT_MESSAGE_PATTERN='%{type} %{category}: "
                                             "%{message}' exec \"$0\" --config line:1.bgc --autoflash",
                                             KT_CONFIGURATOR_PATH});
        QVERIFY2(run.exitCode == 0, run.standardError.constData());
        int framesSent = 0;
        for (const QByteArray &line : run.standardError.split('\n')) {
            if (line.startsWith("debug "))
                QVERIFY2(line.startsWith("debug ktbridge.link: "), line.constData());
            framesSent += line.startsWith("debug ktbridge.link: Sending frame") ? 1 : 0;
        }
        QVERIFY2(framesSent > 0, run.standardError.constData());
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
        QCOMPARE(serialNumber(readFile(path("installed.store"))), 20250001.0);
        simulator.terminate();
        QVERIFY(simulator.waitForFinished());
    }

private:
    QString path(const QString &name) const { return mDir.filePath(name); }

    QTemporaryDir mDir;
};

QTEST_MAIN(TestCommandLine)
#include "tst_commandLine.moc"
