#pragma once

#include <QObject>
#include <QProcess>
#include <QStringList>

// ktbridge-sim as a child process for tests: reports its pseudo-terminal, collects its
// standard error (for --verbose checks), gets SIGTERM when destroyed. Owns its QProcess;
// used from the thread that created it.
class SimulatorProcess : public QObject
{
    Q_OBJECT

public:
    explicit SimulatorProcess(QObject *parent = nullptr);
    ~SimulatorProcess() override { stop(); }

    static QString executablePath() { return QStringLiteral(KT_SIMULATOR_PATH); }
    // Waits for the pseudo-terminal's path; false when the simulator did not start or ended.
    bool start(const QStringList &arguments = {}, int timeoutMs = 10000);
    // The pseudo-terminal's path (what a serial port opens); empty before start().
    QString portName() const { return mPortName; }
    bool isRunning() const { return mProcess->state() != QProcess::NotRunning; }
    qint64 processId() const { return mProcess->processId(); }
    int exitCode() const { return mProcess->exitCode(); }
    QProcess::ExitStatus exitStatus() const { return mProcess->exitStatus(); }
    // SIGTERM, then a kill if it does not end in time; true when it ended by itself.
    bool stop(int timeoutMs = 10000);
    // Waits for an exit the simulator takes by itself (e.g. after a hang-up fault).
    bool waitForFinished(int timeoutMs = 10000) { return !isRunning() || mProcess->waitForFinished(timeoutMs); }
    // Everything written to standard error so far.
    QByteArray standardError();
    // Runs the event loop until standard error contains text or timeoutMs passed.
    bool waitForStandardError(const QByteArray &text, int timeoutMs = 5000);

private:
    QProcess *mProcess; // child
    QString mPortName;
    QByteArray mStandardError;
};
