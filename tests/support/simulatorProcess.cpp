#include "simulatorProcess.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

SimulatorProcess::SimulatorProcess(QObject *parent)
    : QObject(parent)
    , mProcess(new QProcess(this))
{
    connect(mProcess, &QProcess::readyReadStandardError, this,
            [this] { mStandardError += mProcess->readAllStandardError(); });
}

SimulatorProcess::~SimulatorProcess()
{
    stop();
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

QByteArray SimulatorProcess::standardError()
{
    // Picks up what the pipe holds even when no event loop has run since it arrived.
    mProcess->setReadChannel(QProcess::StandardError);
    while (isRunning() && mProcess->waitForReadyRead(0)) {
    }
    mProcess->setReadChannel(QProcess::StandardOutput);
    mStandardError += mProcess->readAllStandardError();
    return mStandardError;
}

bool SimulatorProcess::waitForStandardError(const QByteArray &text, int timeoutMs)
{
    // An event loop rather than a blocking wait, so that a client in this thread keeps running.
    QEventLoop loop;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    connect(mProcess, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop, &QEventLoop::quit);
    // Connected after the collecting one, so it sees what has just arrived.
    connect(mProcess, &QProcess::readyReadStandardError, &loop, [&] {
        if (mStandardError.contains(text))
            loop.quit();
    });
    if (!standardError().contains(text))
        loop.exec();
    return standardError().contains(text);
}
