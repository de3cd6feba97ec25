#include "linePacer.h"

#include <algorithm>

namespace QVt {
namespace Sim {

namespace {

constexpr qint64 NS_PER_MS = 1000000;
constexpr qint64 NS_PER_SECOND = 1000000000;
constexpr int BITS_PER_BYTE = 10; // start bit, 8 data bits, stop bit

} // namespace

LinePacer::LinePacer(int baud, QObject *parent)
    : QObject(parent)
    , mByteNs(baud > 0 ? BITS_PER_BYTE * NS_PER_SECOND / baud : 0)
{
    mClock.start();
    mTimer.setSingleShot(true);
    mTimer.setTimerType(Qt::PreciseTimer);
    connect(&mTimer, &QTimer::timeout, this, &LinePacer::onTimer);
}

void LinePacer::push(const QByteArray &bytes, int delayMs)
{
    if (bytes.isEmpty())
        return;
    const qint64 start = std::max(mClock.nsecsElapsed(), mLineFreeNs) + delayMs * NS_PER_MS;
    mLineFreeNs = start + bytes.size() * mByteNs;
    mQueue.push_back({bytes, start, 0});
    onTimer();
}

void LinePacer::clear()
{
    const bool wasBusy = !mQueue.empty();
    mQueue.clear();
    mTimer.stop();
    mLineFreeNs = 0;
    if (wasBusy)
        emit drained();
}

bool LinePacer::isIdle() const
{
    return mQueue.empty();
}

void LinePacer::onTimer()
{
    while (!mQueue.empty()) {
        Chunk &chunk = mQueue.front();
        const qint64 elapsed = mClock.nsecsElapsed() - chunk.startNs;
        if (elapsed < 0)
            break;
        const int due = mByteNs == 0 ? chunk.bytes.size()
                                     : int(std::min<qint64>(chunk.bytes.size(), elapsed / mByteNs));
        if (due == chunk.releasedCount)
            break;
        const QByteArray out = chunk.bytes.mid(chunk.releasedCount, due - chunk.releasedCount);
        chunk.releasedCount = due;
        const bool complete = due == chunk.bytes.size();
        if (complete)
            mQueue.pop_front();
        // The receiver may push or clear in turn; the queue is consistent by now.
        emit released(out);
        if (!complete)
            break;
    }
    if (mQueue.empty()) {
        mTimer.stop();
        emit drained();
        return;
    }
    schedule();
}

void LinePacer::schedule()
{
    const Chunk &chunk = mQueue.front();
    const qint64 nextDue = chunk.startNs + (chunk.releasedCount + (mByteNs == 0 ? 0 : 1)) * mByteNs;
    const qint64 waitNs = std::max<qint64>(0, nextDue - mClock.nsecsElapsed());
    mTimer.start(int((waitNs + NS_PER_MS - 1) / NS_PER_MS));
}

} // namespace Sim
} // namespace QVt
