// The ktbridge program's subcommands: reads the command line, runs one subcommand and
// gives its exit status. Device work goes through a DeviceSession (the window's facade),
// files through ConfigurationText, settings through SettingList. Data goes to standard
// output, messages to standard error. Owns its session; lives in the main thread.
#pragma once

#include "cli/exitStatus.h"

#include <QCommandLineParser>
#include <QObject>
#include <QStringList>
#include <QTemporaryFile>

#include <memory>

namespace QVt {
namespace Cli {

class DeviceSession;

class KtbridgeCli : public QObject
{
    Q_OBJECT

public:
    explicit KtbridgeCli(QObject *parent = nullptr);
    ~KtbridgeCli() override;

    // arguments: the program name first. Returns the exit status.
    int run(const QStringList &arguments);

    // The subcommands, on the parsed command line; each returns its exit status.
    int info();
    int read();
    int write();
    int reset();
    int show();
    int diff();
    int convert();
    int flash();

private:
    // What one unit's write left behind, for the record and the summary line.
    struct UnitResult
    {
        QString deviceIdString;
        QByteArray reported; // the unit's configuration as connected (what it reports)
        QByteArray readBack; // after the write, when verified
        QString verify;      // "passed", "failed", "skipped", empty when not reached
    };

    // Loads FILE, connects, optionally backs up, writes, verifies and returns the unit to
    // normal operation.
    eExitStatus writeUnit(const QString &file, bool waitForever, UnitResult *result);
    eExitStatus backUp(const QString &folder);
    eExitStatus verify(const QByteArray &written, UnitResult *result);
    // A configuration file as the facade can load it: the file itself, or a .bgc copy of
    // a JSON one (checked on the way).
    bool loadablePath(const QString &file, QString *path);
    // Bytes of a file, or of the connected unit for "device".
    bool configurationOf(const QString &side, QByteArray *bytes, int *status);
    DeviceSession &session();
    // Connects to the unit for a one-off command; on failure says why.
    eExitStatus connectOnce();
    int fail(eExitStatus status, const QString &message) const;

    QCommandLineParser mParser;
    QString mCommand;
    QStringList mPositional;
    std::unique_ptr<DeviceSession> mSession;
    std::unique_ptr<QTemporaryFile> mConverted;
};

} // namespace Cli
} // namespace QVt
