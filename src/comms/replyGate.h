#pragma once

namespace QVt {
namespace Comms {

// Decides which received frames a provider passes on, so that what crosses threads
// towards the state machine stays bounded whatever a unit streams: a frame goes on only
// while a reply is awaited and no frame passed on before is still waiting to be handled.
// A reply thus follows the request it answers: a frame received before the request went
// out, or in one burst with the frame already passed on, is never taken for its answer.
// Dropped frames are counted and warned about once per exchange. Plain value type,
// owns nothing; used from the provider's thread only.
class ReplyGate
{
public:
    // A request has gone out: a reply is awaited from now on.
    void onRequestSent();
    // A good frame has come in: true when it is to be passed on, else it is counted.
    bool admit();
    // The frame passed on last has been handled; the exchange goes on if replyAwaited (a
    // repeated identification text left the reply still to come).
    void onReplyHandled(bool replyAwaited);
    // The link was opened or closed: nothing is awaited.
    void reset();

private:
    // Warns about the frames the ending exchange dropped, if any.
    void endExchange();

    bool mReplyAwaited = false;
    bool mReplyPending = false;
    int mDropped = 0;
};

} // namespace Comms
} // namespace QVt
