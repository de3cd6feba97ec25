#pragma once

#include <QByteArray>
#include <QList>

namespace QVt::Sim {

// Cuts the byte stream a client sends into boot-protocol frames, the way a device does: it
// trusts the length field, resynchronises on the next start byte after anything that is not
// a good frame, and keeps an incomplete frame until the rest arrives. Plain value type.
class FrameReader
{
public:
    // Takes received bytes; returns the payloads of the frames they complete and appends the
    // bytes that belong to no good frame to discarded.
    QList<QByteArray> take(const QByteArray &bytes, QByteArray *discarded);

    // Gives up on an incomplete frame (the client went away or stopped half-way); returns it.
    QByteArray clear();

    bool isEmpty() const;

private:
    QByteArray mBuffer;
};

} // namespace QVt::Sim
