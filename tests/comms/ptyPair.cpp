#include "ptyPair.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

PtyPair::PtyPair()
    : mMaster(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK))
{
    if (mMaster < 0)
        return;
    if (grantpt(mMaster) != 0 || unlockpt(mMaster) != 0) {
        hangUp();
        return;
    }
    mPortPath = QString::fromLocal8Bit(ptsname(mMaster));
}

PtyPair::~PtyPair()
{
    hangUp();
}

bool PtyPair::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(mMaster, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (n > 0)
            done += n;
    }
    return true;
}

QByteArray PtyPair::readAll()
{
    QByteArray bytes;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(mMaster, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, int(n));
    return bytes;
}

QByteArray PtyPair::read(int count, int timeoutMs)
{
    QByteArray bytes;
    QElapsedTimer timer;
    timer.start();
    while (bytes.size() < count && !timer.hasExpired(timeoutMs)) {
        // The port writes from its thread's event loop, which may be this one.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        pollfd fd{mMaster, POLLIN, 0};
        const int ready = ::poll(&fd, 1, 5);
        if (ready > 0 && (fd.revents & POLLIN))
            bytes.append(readAll());
        else if (ready > 0)
            ::usleep(5000);  // no port open on the other end yet: poll reports a hang-up
    }
    return bytes;
}

void PtyPair::hangUp()
{
    if (mMaster >= 0)
        ::close(mMaster);
    mMaster = -1;
}

void expectModemLineWarning(const QString &port)
{
    QTest::ignoreMessage(
        QtWarningMsg,
        qPrintable(QStringLiteral("Could not drive DTR and RTS inactive on port \"%1\"").arg(port)));
}

QStringList errorsIn(const QSignalSpy &errors)
{
    QStringList list;
    for (const QList<QVariant> &error : errors)
        list.append(QString::number(error.at(0).value<quint16>()) + QStringLiteral(": ")
                    + error.at(1).toString());
    return list;
}

QList<QByteArray> bytesIn(const QSignalSpy &spy)
{
    QList<QByteArray> list;
    for (const QList<QVariant> &signal : spy)
        list.append(signal.at(0).toByteArray());
    return list;
}
