// One command's conversation with a unit through the window's own facade
// (QVt::Sm::StateMachine): starts it, then runs its operations one at a time and waits
// for the signal that ends each, as the window's dialogs would. Says on standard error
// what it waits for when a wait lasts longer than a second. Uses the facade singleton and
// the hub; lives in the GUI thread.
#pragma once

#include "cli/exitStatus.h"

#include <QObject>
#include <QString>

#include <functional>

namespace QVt {
namespace Sm {
class StateMachine;
}
namespace Cli {

class DeviceSession : public QObject
{
    Q_OBJECT

public:
    // port: the port to use (empty: KTBRIDGE_PORT, else the window's); replyTimeoutMs: 0
    // keeps the facade's own.
    DeviceSession(const QString &port, int replyTimeoutMs, QObject *parent = nullptr);
    ~DeviceSession() override;

    // Starts the facade's thread and returns once the machine takes operations.
    void start();

    // Each returns EXIT_STATUS_SUCCESS or why it failed, with error() saying it in words.
    eExitStatus loadConfiguration(const QString &path);
    // Connects with the automatic read; with waitForever, a unit that does not answer
    // is asked again until one does (or stopRequested() is set while nobody answers).
    eExitStatus connectUnit(bool waitForever);
    eExitStatus readConfiguration();
    eExitStatus writeConfiguration();
    eExitStatus saveConfiguration(const QString &path);
    eExitStatus factoryReset();
    // Returns the unit to normal operation (the command's last step).
    void enterNormalOperation();

    // The current device's configuration bytes, empty without a device.
    QByteArray configuration() const;
    // The facade's current device object (replaced when a unit of another product answers).
    QObject *currentDevice() const;
    QString productId() const;
    QString deviceIdString() const;
    QString portName() const;
    QString error() const { return mError; }

    // Ends a wait for a unit at once; any other operation ends first (Ctrl+C).
    void requestStop();
    bool stopRequested() const { return mStopRequested; }

private:
    // Runs operation and waits until the facade emits success (hooked up by the caller on
    // the given context) or a failure; waitingFor is said after a second.
    eExitStatus perform(const QString &waitingFor, const std::function<void()> &operation,
                        const std::function<void(QObject *, const std::function<void()> &)> &success);
    // The same, for an operation that ends with a success signal of the facade.
    template<typename Signal>
    eExitStatus performUntil(const QString &waitingFor, const std::function<void()> &operation, Signal success);

    Sm::StateMachine *const mStateMachine;
    QString mError;
    bool mStopRequested = false;
    bool mWaitingForUnit = false;
    // The current wait has been announced.
    bool mAnnounced = false;
    // Ends the operation under way; set only while one is.
    std::function<void()> mInterrupt;
};

} // namespace Cli
} // namespace QVt
