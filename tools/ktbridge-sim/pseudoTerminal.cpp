#include "pseudoTerminal.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace QVt {
namespace Sim {

namespace {

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(errno)));
}

void closeDescriptor(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

PseudoTerminal::PseudoTerminal(QObject *parent)
    : QObject(parent)
{
    mHangUpTimer.setInterval(10);
    connect(&mHangUpTimer, &QTimer::timeout, this, &PseudoTerminal::onHangUpTimer);
}

PseudoTerminal::~PseudoTerminal()
{
    closeAll();
}

bool PseudoTerminal::open(QString *errorText)
{
    mMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (mMaster < 0 || ::grantpt(mMaster) != 0 || ::unlockpt(mMaster) != 0) {
        *errorText = systemError("cannot create a pseudo-terminal");
        closeDescriptor(mMaster);
        return false;
    }
    ::fcntl(mMaster, F_SETFL, ::fcntl(mMaster, F_GETFL) | O_NONBLOCK);
    mPath = QString::fromLocal8Bit(::ptsname(mMaster));

    // Raw from the start: a cooked line would echo requests back and mangle CR bytes.
    mSlave = ::open(::ptsname(mMaster), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios settings = {};
    if (mSlave < 0 || ::tcgetattr(mSlave, &settings) != 0) {
        *errorText = systemError("cannot open the pseudo-terminal's slave side");
        closeAll();
        return false;
    }
    ::cfmakeraw(&settings);
    ::cfsetspeed(&settings, B115200);
    ::tcsetattr(mSlave, TCSANOW, &settings);

    mWatch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (mWatch < 0 || ::inotify_add_watch(mWatch, ::ptsname(mMaster), IN_OPEN | IN_CLOSE) < 0) {
        *errorText = systemError("cannot watch the pseudo-terminal");
        closeAll();
        return false;
    }

    mReadNotifier = new QSocketNotifier(mMaster, QSocketNotifier::Read, this);
    connect(mReadNotifier, &QSocketNotifier::activated, this, &PseudoTerminal::onMasterReadable);
    mWriteNotifier = new QSocketNotifier(mMaster, QSocketNotifier::Write, this);
    mWriteNotifier->setEnabled(false);
    connect(mWriteNotifier, &QSocketNotifier::activated, this, &PseudoTerminal::onMasterWritable);
    mWatchNotifier = new QSocketNotifier(mWatch, QSocketNotifier::Read, this);
    connect(mWatchNotifier, &QSocketNotifier::activated, this, &PseudoTerminal::onWatchReadable);
    return true;
}

QString PseudoTerminal::path() const
{
    return mPath;
}

void PseudoTerminal::write(const QByteArray &bytes)
{
    // Bytes sent while nobody has the port open would greet the next client as stale
    // replies; like a line with nothing plugged in, drop them.
    onWatchReadable();
    if (mMaster < 0 || mClients == 0)
        return;
    mPending += bytes;
    flushPending();
}

void PseudoTerminal::hangUp()
{
    if (mMaster < 0)
        return;
    closeAll();
    emit hungUp();
}

void PseudoTerminal::hangUpWhenRead(int maxWaitMs)
{
    if (mMaster < 0 || mHangUpTimer.isActive())
        return;
    mHangUpDeadline = QDeadlineTimer(maxWaitMs);
    mHangUpTimer.start();
}

void PseudoTerminal::onHangUpTimer()
{
    if ((mPending.isEmpty() && unreadByClient() == 0) || mHangUpDeadline.hasExpired())
        hangUp();
}

void PseudoTerminal::closeAll()
{
    mHangUpTimer.stop();
    delete mReadNotifier;
    delete mWriteNotifier;
    delete mWatchNotifier;
    mReadNotifier = mWriteNotifier = mWatchNotifier = nullptr;
    closeDescriptor(mWatch);
    closeDescriptor(mSlave);
    closeDescriptor(mMaster);
    mPending.clear();
}

void PseudoTerminal::onMasterReadable()
{
    // A client's open, and its predecessor's close, always precede its first request: see
    // them first, so that flushing what the old client left can never hit a new reply.
    onWatchReadable();
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(mMaster, buffer, sizeof buffer);
        if (count > 0) {
            emit bytesReceived(QByteArray(buffer, int(count)));
            continue;
        }
        // EAGAIN: all read. EIO cannot happen while our own slave descriptor is open.
        return;
    }
}

void PseudoTerminal::onMasterWritable()
{
    flushPending();
}

void PseudoTerminal::onWatchReadable()
{
    if (mWatch < 0)
        return;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(mWatch, buffer, sizeof buffer);
        if (count <= 0)
            return;
        for (ssize_t offset = 0; offset < count;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + offset);
            offset += ssize_t(sizeof(inotify_event) + event->len);
            if (event->mask & IN_OPEN) {
                if (mClients++ == 0)
                    emit clientOpened();
            } else if ((event->mask & IN_CLOSE) && mClients > 0) {
                if (--mClients == 0) {
                    // What the client left unread must not reach the next one.
                    ::tcflush(mSlave, TCIFLUSH);
                    mPending.clear();
                    // A client that claimed the line exclusively and ended without giving it
                    // back would lock out every later one, as our own descriptor keeps the
                    // terminal alive.
                    ::ioctl(mSlave, TIOCNXCL);
                    emit clientClosed();
                }
            }
        }
    }
}

void PseudoTerminal::flushPending()
{
    while (!mPending.isEmpty()) {
        const ssize_t count = ::write(mMaster, mPending.constData(), size_t(mPending.size()));
        if (count <= 0)
            break;
        mPending.remove(0, int(count));
    }
    if (mWriteNotifier)
        mWriteNotifier->setEnabled(!mPending.isEmpty());
}

int PseudoTerminal::unreadByClient() const
{
    int count = 0;
    return ::ioctl(mSlave, FIONREAD, &count) == 0 ? count : 0;
}

} // namespace Sim
} // namespace QVt
