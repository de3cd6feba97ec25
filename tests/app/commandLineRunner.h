// Runs ktbridge-configurator as a production script would: a private settings folder,
// the port named by KTBRIDGE_PORT, a record file, the folder as working directory, and no
// display at all; reads and checks the records it writes. Owns nothing but its
// environment; used on the test's thread.
#pragma once

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

struct CommandLineRun
{
    int exitCode = -1; // -1 also when the process crashed or did not end
    QByteArray standardOutput;
    QByteArray standardError;
    qint64 elapsedMs = 0;
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
        mEnvironment.insert(QStringLiteral("XDG_CONFIG_HOME"), settingsFolder());
        mEnvironment.insert(QStringLiteral("KTBRIDGE_PORT"), port);
        mEnvironment.insert(QStringLiteral("KTBRIDGE_AUTOFLASH_LOG"), recordFile());
    }

    QString settingsFolder() const { return mFolder + QStringLiteral("/settings"); }
    QString recordFile() const { return mFolder + QStringLiteral("/records.jsonl"); }

    void start(QProcess &process, const QStringList &arguments) const
    {
        process.setProcessEnvironment(mEnvironment);
        process.setWorkingDirectory(mFolder);
        process.start(mProgram, arguments);
    }

    CommandLineRun run(const QStringList &arguments) const
    {
        QProcess process;
        QElapsedTimer timer;
        timer.start();
        start(process, arguments);
        CommandLineRun run;
        if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit)
            run.exitCode = process.exitCode();
        run.elapsedMs = timer.elapsed();
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

inline QList<QJsonObject> readRecords(const QString &path)
{
    QFile file(path);
    QList<QJsonObject> records;
    for (const QByteArray &line : file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>())
        if (!line.isEmpty())
            records.append(QJsonDocument::fromJson(line).object());
    return records;
}

// Checks a run's record field by field; expected holds port, configurationFile,
// configurationProductId, deviceIdString, productId and reason, empty ones written as null.
inline void compareRecord(const QJsonObject &record, const QStringList &expected, const CommandLineRun &run)
{
    const char *const names[] = {"port", "configurationFile", "configurationProductId", "deviceIdString",
                                 "productId", "reason"};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(record.value(QLatin1String(names[i])), expected.at(i).isEmpty() ? QJsonValue() : QJsonValue(expected.at(i)));
    const QDateTime time = QDateTime::fromString(record.value("time").toString(), Qt::ISODateWithMs);
    QCOMPARE(time.timeSpec(), Qt::UTC);
    QVERIFY(qAbs(time.secsTo(QDateTime::currentDateTimeUtc())) < 60);
    QCOMPARE(record.value("outcome").toString(), QString::fromLatin1(run.exitCode == 0 ? "SUCCESS" : "ERROR"));
    const double durationMs = record.value("durationMs").toDouble();
    QVERIFY(durationMs > 0 && durationMs <= run.elapsedMs);
    if (!expected.at(5).isEmpty())
        QVERIFY(run.standardError.contains("Autoflash failed: \"" + expected.at(5).toUtf8() + "\"\n"));
}
