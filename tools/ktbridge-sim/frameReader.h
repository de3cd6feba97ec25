#pragma once

#include <QByteArray>
#include <QList>

namespace QVt::Sim {

// Cuts the byte stream a client sends into boot-protocol frames, the way a device does: it
// trusts the length field and keeps an incomplete frame until the rest arrives; a frame that
// fails its check is dropped whole, and a start byte without a stop byte where its length
// points is taken for noise and skipped. Plain value type.
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
