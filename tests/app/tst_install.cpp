// The program installed under a fresh prefix runs from there through the link in bin/,
// with its libraries and driver plug-ins found beside it; the desktop entry names an
// installed program and icon.
#include "commandLineRunner.h"
#include "deviceTestSupport.h"
#include "simulatorProcess.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace DeviceTestSupport;

class TestInstall : public QObject
{
    Q_OBJECT

private slots:
    void installedProgramFlashes();
};

void TestInstall::installedProgramFlashes()
{
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("prefix"));
    QProcess install;
    install.start(QStringLiteral(KT_CMAKE_COMMAND), {"--install", qEnvironmentVariable("KT_BINARY_DIR"), "--prefix", prefix});
    QVERIFY(install.waitForFinished(60000));
    QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    QSettings entry(prefix + "/share/applications/com.halvard_motion.KtBridgeConfigurator.desktop", QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    const QString program = prefix + "/bin/" + entry.value(QStringLiteral("Exec")).toString();
    QVERIFY(QFile::exists(prefix + "/share/icons/hicolor/48x48/apps/" + entry.value("Icon").toString() + ".png"));

    const CommandLineRun help = CommandLineRunner(dir.path(), QString(), program).run({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.standardOutput.startsWith("Usage: "));

    const QString configuration = dir.filePath(QStringLiteral("cwb.bgc"));
    const QString store = dir.filePath(QStringLiteral("store.bgc"));
    QVERIFY(writeFile(configuration, factoryConfiguration(PRODUCT_CWB)));
    QProcess simulator;
    simulator.start(prefix + "/bin/ktbridge-sim", {QStringLiteral("--store"), store});
    QVERIFY(simulator.waitForReadyRead());
    const QString port = QString::fromLocal8Bit(simulator.readLine().trimmed());
    const CommandLineRun run = CommandLineRunner(dir.path(), port, program).run({"--config", configuration, "--autoflash"});
    QVERIFY2(run.exitCode == 0, run.standardError.constData());
    QCOMPARE(readFile(store), readFile(configuration));
    simulator.terminate();
    QVERIFY(simulator.waitForFinished());
}

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
