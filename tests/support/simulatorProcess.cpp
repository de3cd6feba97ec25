#include "simulatorProcess.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

SimulatorProcess::SimulatorProcess(QObject *parent)
    : QObject(parent)
    , mProcess(new QProcess(this))
{
    connect(mProcess, &QProcess::readyReadStandardError, this, &SimulatorProcess::collectStandardError);
}

SimulatorProcess::~SimulatorProcess()
{
    stop();
}

QString SimulatorProcess::executablePath()
{
    return QStringLiteral(KT_SIMULATOR_PATH);
}

bool SimulatorProcess::start(const QStringList &arguments, int timeoutMs)
{
    mPortName.clear();
    mStandardError.clear();
    mProcess->start(executablePath(), arguments);
    const QDeadlineTimer deadline(timeoutMs);
    if (!mProcess->waitForStarted(timeoutMs))
        return false;
    while (!mProcess->canReadLine()) {
        if (deadline.hasExpired() || !mProcess->waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    mPortName = QString::fromLocal8Bit(mProcess->readLine().trimmed());
    return !mPortName.isEmpty();
}

QString SimulatorProcess::portName() const
{
    return mPortName;
}

bool SimulatorProcess::isRunning() const
{
    return mProcess->state() != QProcess::NotRunning;
}

qint64 SimulatorProcess::processId() const
{
    return mProcess->processId();
}

bool SimulatorProcess::stop(int timeoutMs)
{
    if (!isRunning())
        return true;
    mProcess->terminate();
    if (mProcess->waitForFinished(timeoutMs))
        return true;
    mProcess->kill();
    mProcess->waitForFinished();
    return false;
}

bool SimulatorProcess::waitForFinished(int timeoutMs)
{
    return !isRunning() || mProcess->waitForFinished(timeoutMs);
}

int SimulatorProcess::exitCode() const
{
    return mProcess->exitCode();
}

QProcess::ExitStatus SimulatorProcess::exitStatus() const
{
    return mProcess->exitStatus();
}

QByteArray SimulatorProcess::standardError()
{
    // The wait delivers through collectStandardError().
    drainPipe(QProcess::StandardError);
    collectStandardError();
    return mStandardError;
}

void SimulatorProcess::drainPipe(QProcess::ProcessChannel channel)
{
    // Picks up what the pipe holds even when no event loop has run since it arrived.
    const QProcess::ProcessChannel previous = mProcess->readChannel();
    mProcess->setReadChannel(channel);
    while (isRunning() && mProcess->waitForReadyRead(0)) {
    }
    mProcess->setReadChannel(previous);
}

bool SimulatorProcess::waitForStandardError(const QByteArray &text, int timeoutMs)
{
    if (standardError().contains(text))
        return true;
    // An event loop rather than a blocking wait, so that a client in this thread keeps running.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(mProcess, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop, &QEventLoop::quit);
    // Connected after collectStandardError(), so it sees what has just arrived.
    connect(mProcess, &QProcess::readyReadStandardError, &loop, [&] {
        if (mStandardError.contains(text))
            loop.quit();
    });
    timer.start(timeoutMs);
    loop.exec();
    return standardError().contains(text);
}

void SimulatorProcess::collectStandardError()
{
    mStandardError += mProcess->readAllStandardError();
}
