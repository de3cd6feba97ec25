#include "unixSignalWatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace QVt {
namespace Sim {

namespace {

int sSocketPair[2] = {-1, -1};

extern "C" void forwardSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // Nothing useful can be done in a handler when the pipe is full: the loop is busy anyway.
    [[maybe_unused]] const ssize_t written = ::write(sSocketPair[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

UnixSignalWatcher::UnixSignalWatcher(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sSocketPair) != 0)
        return;
    ::fcntl(sSocketPair[0], F_SETFL, O_NONBLOCK);
    ::fcntl(sSocketPair[1], F_SETFL, O_NONBLOCK);
    mNotifier = new QSocketNotifier(sSocketPair[1], QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, &UnixSignalWatcher::onReadable);
}

UnixSignalWatcher::~UnixSignalWatcher()
{
    delete mNotifier;
    for (int &fd : sSocketPair) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

bool UnixSignalWatcher::watch(int signalNumber)
{
    if (!mNotifier)
        return false;
    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(signalNumber, &action, nullptr) == 0;
}

void UnixSignalWatcher::onReadable()
{
    unsigned char byte = 0;
    while (::read(sSocketPair[1], &byte, 1) == 1)
        emit signalReceived(byte);
}

} // namespace Sim
} // namespace QVt
