#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// Runs the device simulator ktbridge-sim as a child process for tests: starts it with the
// given arguments, reports the pseudo-terminal it serves, collects its standard error (for
// --verbose checks) and stops it with SIGTERM when destroyed. Owns its QProcess; lives in
// and must be used from the thread that created it.
class SimulatorProcess : public QObject
{
    Q_OBJECT

public:
    explicit SimulatorProcess(QObject *parent = nullptr);
    ~SimulatorProcess() override;

    // The simulator built alongside the tests.
    static QString executablePath() { return QStringLiteral(KT_SIMULATOR_PATH); }

    // Starts the simulator and waits until it has printed the path of its pseudo-terminal.
    // Returns false when it did not start or ended first; exitCode() and standardError()
    // then tell why.
    bool start(const QStringList &arguments = {}, int timeoutMs = 10000);

    // The pseudo-terminal's path (what a serial port opens); empty before start().
    QString portName() const { return mPortName; }
    bool isRunning() const { return mProcess->state() != QProcess::NotRunning; }
    qint64 processId() const { return mProcess->processId(); }
    int exitCode() const { return mProcess->exitCode(); }
    QProcess::ExitStatus exitStatus() const { return mProcess->exitStatus(); }

    // Sends SIGTERM and waits for the exit; kills the process if it does not end in time.
    // Returns true when it ended by itself within timeoutMs.
    bool stop(int timeoutMs = 10000);
    // Waits for an exit the simulator takes by itself (e.g. after a hang-up fault).
    bool waitForFinished(int timeoutMs = 10000);

    // Everything written to standard error so far.
    QByteArray standardError();
    // Runs the event loop until standard error contains text or timeoutMs passed.
    bool waitForStandardError(const QByteArray &text, int timeoutMs = 5000);

private:
    QProcess *mProcess;  // child
    QString mPortName;
    QByteArray mStandardError;
};
