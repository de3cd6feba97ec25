#include "ptyClient.h"

#include <QDeadlineTimer>
#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PtyClient::~PtyClient()
{
    close();
}

bool PtyClient::open(const QString &path)
{
    close();
    mFd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (mFd < 0)
        return false;
    termios settings = {};
    ::tcgetattr(mFd, &settings);
    ::cfmakeraw(&settings);
    return ::tcsetattr(mFd, TCSANOW, &settings) == 0;
}

void PtyClient::close()
{
    if (mFd >= 0)
        ::close(mFd);
    mFd = -1;
    mUnclaimed.clear();
}

bool PtyClient::write(const QByteArray &bytes)
{
    return ::write(mFd, bytes.constData(), size_t(bytes.size())) == bytes.size();
}

QByteArray PtyClient::readFrame()
{
    const QByteArray header = read(3);
    if (header.size() < 3)
        return QByteArray();
    const int rest = ((quint8(header.at(1)) << 8) | quint8(header.at(2))) + 2;
    const QByteArray frame = header + read(rest);
    return frame.size() == rest + 3 ? frame : QByteArray();
}

bool PtyClient::waitForHangUp(int timeoutMs)
{
    read(-1, timeoutMs);
    return mHungUp;
}

QByteArray PtyClient::read(int size, int timeoutMs)
{
    mChunks.clear();
    mHungUp = false;
    QByteArray received;
    received.swap(mUnclaimed);
    const QDeadlineTimer deadline(timeoutMs);
    while ((size < 0 || received.size() < size) && !deadline.hasExpired()) {
        pollfd entry = {mFd, POLLIN, 0};
        if (::poll(&entry, 1, int(deadline.remainingTime())) <= 0)
            continue;
        char buffer[4096];
        const ssize_t count = (entry.revents & POLLIN) ? ::read(mFd, buffer, sizeof buffer) : 0;
        if (count <= 0) {
            mHungUp = true;
            break;
        }
        mChunks.append(QByteArray(buffer, int(count)));
        received += mChunks.constLast();
    }
    // Bytes beyond what was asked for belong to the next read.
    if (size >= 0 && received.size() > size) {
        mUnclaimed = received.mid(size);
        received.truncate(size);
    }
    return received;
}
