#include "ptyLine.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

PtyLine::PtyLine()
    : mFd(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
    , mMaster(true)
{
    if (mFd >= 0 && grantpt(mFd) == 0 && unlockpt(mFd) == 0)
        mPath = QString::fromLocal8Bit(ptsname(mFd));
    else
        close();
}

PtyLine::PtyLine(const QString &path)
    : mFd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
    , mPath(path)
{
    termios settings = {};
    const bool raw = mFd >= 0 && ::tcgetattr(mFd, &settings) == 0
                     && (::cfmakeraw(&settings), ::tcsetattr(mFd, TCSANOW, &settings) == 0);
    if (!raw)
        close();
}

bool PtyLine::write(const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(mFd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        done += qMax<ssize_t>(n, 0);
    }
    return true;
}

QByteArray PtyLine::read(int count, int timeoutMs)
{
    mChunks.clear();
    QByteArray received;
    received.swap(mUnclaimed);
    const QDeadlineTimer deadline(timeoutMs);
    while ((count < 0 || received.size() < count) && !deadline.hasExpired()) {
        // A serial port in this thread writes from its event loop.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        pollfd entry{mFd, POLLIN, 0};
        if (::poll(&entry, 1, 5) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = (entry.revents & POLLIN) ? ::read(mFd, buffer, sizeof buffer) : 0;
        if (n > 0) {
            mChunks.append(QByteArray(buffer, int(n)));
            received += mChunks.constLast();
        } else if (mMaster) {
            ::usleep(5000); // no port open on the other side (yet)
        } else {
            break; // hung up
        }
    }
    if (count >= 0 && received.size() > count) {
        mUnclaimed = received.mid(count);
        received.truncate(count);
    }
    return received;
}

void PtyLine::close()
{
    if (mFd >= 0)
        ::close(mFd);
    mFd = -1;
}

void expectModemLineWarning(const QString &port)
{
    QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("Could not drive DTR and RTS inactive on port \"%1\"").arg(port)));
}

QStringList errorsIn(const QSignalSpy &errors)
{
    QStringList list;
    for (const QList<QVariant> &error : errors)
        list.append(QString::number(error.at(0).value<quint16>()) + QStringLiteral(": ") + error.at(1).toString());
    return list;
}

QList<QByteArray> bytesIn(const QSignalSpy &spy)
{
    QList<QByteArray> list;
    for (const QList<QVariant> &signal : spy)
        list.append(signal.at(0).toByteArray());
    return list;
}
