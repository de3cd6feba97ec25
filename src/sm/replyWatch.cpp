#include "sm/replyWatch.h"

namespace QVt {
namespace Sm {

ReplyWatch::ReplyWatch(QObject *parent)
    : QObject(parent)
    , mTimer(new QTimer(this))
{
    mTimer->setSingleShot(true);
    connect(mTimer, &QTimer::timeout, this, [this] { emit expired(mSequence); });
}

void ReplyWatch::start(int ms, quint64 sequence)
{
    mSequence = sequence;
    mTimer->start(ms);
}

void ReplyWatch::stop()
{
    mTimer->stop();
}

} // namespace Sm
} // namespace QVt
