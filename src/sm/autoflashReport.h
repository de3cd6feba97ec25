#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

namespace QVt {
namespace Sm {

class StateMachine;

// Follows one unattended autoflash run through the facade's signals: logs why a run
// fails, in the words the main window would show, and when KTBRIDGE_AUTOFLASH_LOG names
// a file, appends one JSON line per run to it (time, port, file, identities, outcome,
// reason, duration). Parallel processes may share the file: each record is one write()
// of a whole line to a file opened for appending.
// Owned by start-up (no parent needed); lives in the GUI thread, where the facade emits.
class AutoflashReport : public QObject
{
    Q_OBJECT

public:
    AutoflashReport(const QString &configurationPath, StateMachine *stateMachine, QObject *parent);

    // Ends the run with the event loop's result (0 for "SUCCESS") and writes its record.
    void finish(int exitStatus);

private:
    // The first reason is the cause; later ones (the unsupported device that follows a
    // file that did not load) are its consequences and are neither logged nor recorded.
    void fail(const QString &reason);
    void takeConfigurationProductId(const QString &filePath);
    QString portName() const;

    const QString mConfigurationPath;
    StateMachine *const mStateMachine;
    const QDateTime mStarted;
    QElapsedTimer mDuration;
    QString mConfigurationProductId;
    QString mDeviceIdString;
    QString mProductId;
    QString mPort;
    QString mReason;
};

} // namespace Sm
} // namespace QVt
