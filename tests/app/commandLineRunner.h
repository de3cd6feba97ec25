// Runs ktbridge-configurator as a user would from a shell: a private settings folder,
// the simulator's link as the first port, and no display at all. Owns nothing but its
// environment; used on the test's thread.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct CommandLineRun
{
    int exitCode = -1;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    QByteArray standardOutput;
    QByteArray standardError;
    bool finished = false;
};

class CommandLineRunner
{
public:
    CommandLineRunner(const QString &settingsFolder, const QString &port)
    {
        mEnvironment = QProcessEnvironment::systemEnvironment();
        // Production machines run the autoflash mode over SSH or from scripts.
        mEnvironment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        mEnvironment.remove(QStringLiteral("DISPLAY"));
        mEnvironment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        mEnvironment.insert(QStringLiteral("XDG_CONFIG_HOME"), settingsFolder);
        mEnvironment.insert(QStringLiteral("KTBRIDGE_EXTRA_PORTS"), port);
    }

    CommandLineRun run(const QStringList &arguments, int timeoutMs = 30000) const
    {
        QProcess process;
        process.setProcessEnvironment(mEnvironment);
        process.start(QStringLiteral(KT_CONFIGURATOR_PATH), arguments);
        CommandLineRun run;
        run.finished = process.waitForFinished(timeoutMs);
        if (!run.finished) {
            process.kill();
            process.waitForFinished();
        }
        run.exitCode = process.exitCode();
        run.exitStatus = process.exitStatus();
        run.standardOutput = process.readAllStandardOutput();
        run.standardError = process.readAllStandardError();
        return run;
    }

private:
    QProcessEnvironment mEnvironment;
};
