#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>

namespace QVt {
namespace Sim {

// One direction of a serial line: bytes pushed in come out no faster than a real 8N1 line at
// the given baud rate would carry them (10 bits a byte), each chunk optionally after a pause.
// With baud 0 the line is infinitely fast and only the pauses remain. Owns its queue and
// timer; lives in the main thread.
class LinePacer : public QObject
{
    Q_OBJECT

public:
    explicit LinePacer(int baud, QObject *parent = nullptr);

    // Queues bytes to start delayMs after everything queued before has gone out (or now).
    void push(const QByteArray &bytes, int delayMs = 0);
    // Forgets everything not yet released.
    void clear();
    bool isIdle() const;

signals:
    // Bytes whose last bit has now crossed the line.
    void released(const QByteArray &bytes);
    // The queue has run empty, or was cleared.
    void drained();

private:
    struct Chunk
    {
        QByteArray bytes;
        qint64 startNs;
        int releasedCount;
    };

    void onTimer();
    void schedule();

    const qint64 mByteNs;
    QElapsedTimer mClock;
    qint64 mLineFreeNs = 0;
    std::deque<Chunk> mQueue;
    QTimer mTimer;
};

} // namespace Sim
} // namespace QVt
