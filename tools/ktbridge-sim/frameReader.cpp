#include "frameReader.h"

#include "comms/protocol/bootProtocol.h"

namespace QVt::Sim {

using Comms::Protocol::BootProtocol;

QList<QByteArray> FrameReader::take(const QByteArray &bytes, QByteArray *discarded)
{
    QList<QByteArray> payloads;
    mBuffer += bytes;
    for (;;) {
        const int start = mBuffer.indexOf(BootProtocol::START_BYTE);
        if (start != 0) {
            const int junk = start < 0 ? mBuffer.size() : start;
            discarded->append(mBuffer.left(junk));
            mBuffer.remove(0, junk);
        }
        if (mBuffer.size() < 3)
            break;
        const int size = ((quint8(mBuffer.at(1)) << 8) | quint8(mBuffer.at(2))) + BootProtocol::FRAME_OVERHEAD;
        if (mBuffer.size() < size)
            break;
        // Without a stop byte where the length says, the start byte was noise: look for the
        // next one. With it, this was a frame, if a broken one: it goes whole.
        const int taken = mBuffer.at(size - 1) == BootProtocol::STOP_BYTE ? size : 1;
        QByteArray payload;
        if (taken == size && BootProtocol::checkAndGetPayload(mBuffer.left(size), payload))
            payloads.append(payload);
        else
            discarded->append(mBuffer.left(taken));
        mBuffer.remove(0, taken);
    }
    return payloads;
}

QByteArray FrameReader::clear()
{
    QByteArray rest;
    rest.swap(mBuffer);
    return rest;
}

bool FrameReader::isEmpty() const
{
    return mBuffer.isEmpty();
}

} // namespace QVt::Sim
