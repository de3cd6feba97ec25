// An autoflash run against a unit that never answers ends after the 10 s watch with
// "ERROR" and status 255, having written nothing. Slow by nature.
#include "commandLineRunner.h"
#include "deviceTestSupport.h"
#include "simulatorProcess.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace DeviceTestSupport;

class TestAutoflashSilence : public QObject
{
    Q_OBJECT

private slots:
    void silentDevice();
};

void TestAutoflashSilence::silentDevice()
{
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("settings")));
    const QString configuration = dir.filePath(QStringLiteral("cwb.bgc"));
    QVERIFY(writeFile(configuration, factoryConfiguration(PRODUCT_CWB)));
    const QString store = dir.filePath(QStringLiteral("store.bgc"));
    SimulatorProcess simulator;
    QVERIFY(simulator.start({QStringLiteral("--fault"), QStringLiteral("silent"), QStringLiteral("--store"), store}));

    const CommandLineRun run = CommandLineRunner(dir.filePath(QStringLiteral("settings")), simulator.portName())
                                   .run({QStringLiteral("--config"), configuration, QStringLiteral("--autoflash")});

    QVERIFY(run.finished);
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QCOMPARE(run.exitCode, 255);
    QCOMPARE(run.standardError.count("ERROR\n"), 1);
    QVERIFY2(!run.standardError.contains("QThread"), run.standardError.constData());
    QVERIFY2(!run.standardError.contains("Timers cannot"), run.standardError.constData());
    QVERIFY(!QFile::exists(store));
}

QTEST_MAIN(TestAutoflashSilence)
#include "tst_autoflashSilence.moc"
