#include "comms/replyGate.h"

#include "global/logging.h"

#include <QDebug>

namespace QVt {
namespace Comms {

void ReplyGate::onRequestSent()
{
    endExchange();
    mReplyAwaited = true;
    mReplyPending = false;
}

bool ReplyGate::admit()
{
    if (!mReplyAwaited || mReplyPending) {
        ++mDropped;
        return false;
    }
    mReplyPending = true;
    return true;
}

void ReplyGate::onReplyHandled(bool replyAwaited)
{
    mReplyPending = false;
    mReplyAwaited = mReplyAwaited && replyAwaited;
}

void ReplyGate::reset()
{
    endExchange();
    mReplyAwaited = false;
    mReplyPending = false;
}

void ReplyGate::endExchange()
{
    if (mDropped > 0)
        qCWarning(Global::logLink) << "Dropped received frames that no request was waiting for:" << mDropped;
    mDropped = 0;
}

} // namespace Comms
} // namespace QVt
