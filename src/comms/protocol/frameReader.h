#pragma once

#include <QByteArray>
#include <QList>

namespace QVt {
namespace Comms {
namespace Protocol {

// Finds boot-protocol frames in a byte stream that arrives in arbitrary pieces, for both
// ends of the link. A frame ends where its own length field says, so a 0x0D inside the
// length, payload or checksum never ends it early. Bytes before a start byte are skipped;
// a frame that fails its check is dropped and reading resumes at the next start byte.
// An incomplete frame is given up as a false start as soon as an intact frame (length,
// checksum and stop byte right) stands complete behind its start byte.
// Holds at most one incomplete frame. Plain value type, Qt Core only; use from one thread.
class FrameReader
{
public:
    // Takes received bytes and returns the payloads of the good frames they complete, in
    // order; the bytes of an incomplete frame are kept for the next call. Bytes that belong
    // to no good frame are logged and, when discarded is given, appended to it.
    QList<QByteArray> append(const QByteArray &bytes, QByteArray *discarded = nullptr);

    // Gives up on an incomplete frame (a new request starts, the client went away) and
    // returns its bytes.
    QByteArray clear();

    bool isEmpty() const;

private:
    QByteArray mBuffer;
};

} // namespace Protocol
} // namespace Comms
} // namespace QVt
