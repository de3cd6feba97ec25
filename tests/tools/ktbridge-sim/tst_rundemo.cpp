// run-demo.sh, what "./dev.sh run" executes: the application on the simulator, or the
// simulator alone while there is no application yet.

#include "simulatorProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestRunDemo : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void applicationRunsOnSimulator();
    void simulatorAloneUntilStopped();

private:
    QTemporaryDir mBuildDir;
};

void TestRunDemo::init()
{
    QVERIFY(mBuildDir.isValid());
    QVERIFY(QDir(mBuildDir.path()).mkpath(QStringLiteral("bin")));
    QFile::remove(mBuildDir.filePath(QStringLiteral("bin/ktbridge-configurator")));
    const QString sim = mBuildDir.filePath(QStringLiteral("bin/ktbridge-sim"));
    QVERIFY(QFileInfo(sim).isSymLink() || QFile::link(SimulatorProcess::executablePath(), sim));
}

void TestRunDemo::applicationRunsOnSimulator()
{
    // The stand-in application notes what it was given and whether the simulator answers
    // there, and ends with a status of its own.
    const QString notes = mBuildDir.filePath(QStringLiteral("notes"));
    QFile application(mBuildDir.filePath(QStringLiteral("bin/ktbridge-configurator")));
    QVERIFY(application.open(QIODevice::WriteOnly));
    application.write(QStringLiteral("#!/bin/sh\n{ echo \"$KTBRIDGE_EXTRA_PORTS\"; echo \"$*\"; "
                                     "[ -c \"$KTBRIDGE_EXTRA_PORTS\" ] && echo terminal; } > '%1'\nexit 3\n")
                          .arg(notes)
                          .toUtf8());
    application.close();
    QVERIFY(application.setPermissions(application.permissions() | QFileDevice::ExeOwner));
    QProcess demo;
    demo.start(QStringLiteral(KT_RUN_DEMO), {mBuildDir.path(), QStringLiteral("--config"), QStringLiteral("a.bgc")});
    QVERIFY(demo.waitForFinished(20000));
    QCOMPARE(demo.exitStatus(), QProcess::NormalExit);
    QCOMPARE(demo.exitCode(), 3);

    QFile file(notes);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), 4);
    const QString port = QString::fromLocal8Bit(lines.at(0));
    QVERIFY2(port.startsWith(QLatin1String("/dev/pts/")), qPrintable(port));
    QCOMPARE(lines.at(1), QByteArray("--config a.bgc"));
    QCOMPARE(lines.at(2), QByteArray("terminal"));
    QCOMPARE(demo.readAllStandardOutput(), "Simulated KT Bridge on " + port.toLocal8Bit() + "\n");
    // The simulator ended with the application: its terminal is gone.
    QTRY_VERIFY(!QFile::exists(port));
}

void TestRunDemo::simulatorAloneUntilStopped()
{
    QProcess demo;
    demo.start(QStringLiteral(KT_RUN_DEMO), {mBuildDir.path()});
    QVERIFY(demo.waitForStarted());
    QByteArray output;
    QTRY_VERIFY((output += demo.readAllStandardOutput()).contains("Press Ctrl+C to stop."));
    const int start = output.indexOf("listening on ") + int(qstrlen("listening on "));
    const QString port = QString::fromLocal8Bit(output.mid(start, output.indexOf('\n', start) - start));
    QVERIFY2(QFile::exists(port), qPrintable(port));

    demo.terminate();
    QVERIFY(demo.waitForFinished(10000));
    QCOMPARE(demo.exitStatus(), QProcess::NormalExit);
    QCOMPARE(demo.exitCode(), 0);
    QTRY_VERIFY(!QFile::exists(port));
}

QTEST_GUILESS_MAIN(TestRunDemo)
#include "tst_rundemo.moc"
