#pragma once

#include <QObject>

class QSocketNotifier;

namespace QVt {
namespace Sim {

// Turns the Unix signals it watches into a Qt signal on the event loop (through a socket
// pair, the only thing a signal handler may safely touch). One instance per process; owns
// the socket pair and its notifier; lives in the main thread.
class UnixSignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit UnixSignalWatcher(QObject *parent = nullptr);
    ~UnixSignalWatcher() override;

    bool watch(int signalNumber);

signals:
    void signalReceived(int signalNumber);

private:
    void onReadable();

    QSocketNotifier *mNotifier = nullptr;
};

} // namespace Sim
} // namespace QVt
