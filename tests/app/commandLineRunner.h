// Runs ktbridge-configurator as a production script would: private settings, the port in
// KTBRIDGE_PORT, a record file, the folder as working directory, no display. One thread.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>

struct CommandLineRun
{
    int exitCode = -1; // -1 also when the process crashed or did not end
    QByteArray standardOutput;
    QByteArray standardError;
};

class CommandLineRunner
{
public:
    CommandLineRunner(const QString &folder, const QString &port, const QString &program = KT_CONFIGURATOR_PATH)
        : mFolder(folder)
        , mProgram(program)
        , mEnvironment(QProcessEnvironment::systemEnvironment())
    {
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            mEnvironment.remove(QString::fromLatin1(name));
        mEnvironment.insert(QStringLiteral("XDG_CONFIG_HOME"), mFolder + QStringLiteral("/settings"));
        mEnvironment.insert(QStringLiteral("KTBRIDGE_PORT"), port);
        mEnvironment.insert(QStringLiteral("KTBRIDGE_AUTOFLASH_LOG"), recordFile());
    }

    QString recordFile() const { return mFolder + QStringLiteral("/records.jsonl"); }

    CommandLineRun run(const QStringList &arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(mEnvironment);
        process.setWorkingDirectory(mFolder);
        process.start(mProgram, arguments);
        CommandLineRun run;
        if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit)
            run.exitCode = process.exitCode();
        process.kill();
        process.waitForFinished();
        run.standardOutput = process.readAllStandardOutput();
        run.standardError = process.readAllStandardError();
        return run;
    }

private:
    QString mFolder;
    QString mProgram;
    QProcessEnvironment mEnvironment;
};
