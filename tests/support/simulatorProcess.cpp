#include "simulatorProcess.h"

#include <QDeadlineTimer>
#include <QTest>

SimulatorProcess::SimulatorProcess(QObject *parent)
    : QObject(parent)
    , mProcess(new QProcess(this))
{
    connect(mProcess, &QProcess::readyReadStandardError, this,
            [this] { mStandardError += mProcess->readAllStandardError(); });
}

bool SimulatorProcess::start(const QStringList &arguments, int timeoutMs)
{
    mPortName.clear();
    mStandardError.clear();
    mProcess->start(executablePath(), arguments);
    const QDeadlineTimer deadline(timeoutMs);
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

QByteArray SimulatorProcess::standardError()
{
    // What the pipe holds, also when no event loop has run since it arrived.
    mProcess->setReadChannel(QProcess::StandardError);
    while (isRunning() && mProcess->waitForReadyRead(0)) {
    }
    mProcess->setReadChannel(QProcess::StandardOutput);
    mStandardError += mProcess->readAllStandardError();
    return mStandardError;
}

bool SimulatorProcess::waitForStandardError(const QByteArray &text, int timeoutMs)
{
    // The event loop runs meanwhile, so that a client in this thread keeps going.
    const QDeadlineTimer deadline(timeoutMs);
    while (!standardError().contains(text) && isRunning() && !deadline.hasExpired())
        QTest::qWait(10);
    return standardError().contains(text);
}
