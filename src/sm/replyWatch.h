// The single-shot watch on the device's reply. Every start carries a sequence number
// that the expiry hands back, so that the facade can drop an expiry posted just before
// the watch was stopped or started again. Owns its timer (a child). Created, used and
// released on the state machine thread; started and stopped from the GUI thread
// through queued calls.
#pragma once

#include <QObject>
#include <QTimer>

namespace QVt {
namespace Sm {

class ReplyWatch : public QObject
{
    Q_OBJECT

public:
    explicit ReplyWatch(QObject *parent);

    void start(int ms, quint64 sequence);
    void stop();

signals:
    void expired(quint64 sequence);

private:
    QTimer *mTimer;
    quint64 mSequence = 0;
};

} // namespace Sm
} // namespace QVt
