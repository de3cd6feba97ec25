#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonValue>
#include <QObject>
#include <QString>
#include <QVariantList>

namespace QVt {
namespace Sm {

class OutcomeTexts;
class StateMachine;

// Follows one unattended autoflash run through the facade's signals: logs why a run
// fails, in the main window's words (OutcomeTexts) on one line, and when
// KTBRIDGE_AUTOFLASH_LOG names a file, appends one JSON line per run to it (time, port,
// file, identities, the unit's serial number and MAC addresses as it reported them before
// the write, outcome, reason, duration) through appendRecordLine(), so that parallel
// processes may share the file.
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
    // The outcome is the facade's signal by name, with its arguments (see OutcomeTexts).
    void fail(const QString &outcome, const QVariantList &values = {});
    // Taken as soon as the unit's own configuration was read, before the write and before
    // a failure resets it.
    void takeUnitIdentity();
    QString portName() const;

    const QString mConfigurationPath;
    StateMachine *const mStateMachine;
    const QDateTime mStarted;
    OutcomeTexts *const mTexts;
    QElapsedTimer mDuration;
    QString mConfigurationProductId;
    QString mDeviceIdString;
    QString mProductId;
    QString mPort;
    QString mReason;
    // "reported", "unknown" (the unit's configuration was empty or did not load), or
    // empty while it was not read.
    QString mUnitIdentity;
    QJsonValue mSerialNumber;
    QJsonValue mWlanMac;
    QJsonValue mBluetoothMac;
};

} // namespace Sm
} // namespace QVt
