#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

namespace QVt {
namespace Sim {

// The simulator's end of the serial line: a pseudo-terminal whose slave path a client opens
// as its serial port. Owns the master, a slave descriptor of its own (so the line survives a
// client closing and reopening the port) and an inotify watch that tells when a client opens
// or closes the port; bytes a client left unread are flushed when it closes, and nothing is
// sent while no client has the port open. Lives in the main thread; all I/O is non-blocking
// and driven by socket notifiers.
class PseudoTerminal : public QObject
{
    Q_OBJECT

public:
    explicit PseudoTerminal(QObject *parent = nullptr);
    ~PseudoTerminal() override;

    bool open(QString *errorText);
    QString path() const;

    // Queues bytes for the client (dropped if none is there); what the line does not take at
    // once is sent when it can.
    void write(const QByteArray &bytes);

    // Closes the line for good, as a pulled cable would: the client's reads fail from now on.
    void hangUp();

    // Hangs up once the client has read everything sent so far, or after maxWaitMs.
    void hangUpWhenRead(int maxWaitMs);

signals:
    void bytesReceived(const QByteArray &bytes);
    void clientOpened();
    void clientClosed();
    void hungUp();

private:
    void onMasterReadable();
    void onMasterWritable();
    void onWatchReadable();
    void onHangUpTimer();
    void closeAll();
    void flushPending();
    int unreadByClient() const;

    int mMaster = -1;
    int mSlave = -1;
    int mWatch = -1;
    int mClients = 0;
    QString mPath;
    QByteArray mPending;
    QSocketNotifier *mReadNotifier = nullptr;
    QSocketNotifier *mWriteNotifier = nullptr;
    QSocketNotifier *mWatchNotifier = nullptr;
    QTimer mHangUpTimer;
    QDeadlineTimer mHangUpDeadline;
};

} // namespace Sim
} // namespace QVt
