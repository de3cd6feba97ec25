#include "comms/protocol/frameReader.h"

#include "comms/protocol/bootProtocol.h"

#include <QDebug>

namespace QVt {
namespace Comms {
namespace Protocol {

QList<QByteArray> FrameReader::append(const QByteArray &bytes, QByteArray *discarded)
{
    mBuffer += bytes;
    QList<QByteArray> payloads;
    // Frames are taken from a read position and the buffer is compacted once at the end,
    // so that a long stream of noise costs linear time.
    int position = 0;
    const auto drop = [&](int count) {
        if (discarded)
            discarded->append(mBuffer.constData() + position, count);
        position += count;
    };
    while (position < mBuffer.size()) {
        const int start = mBuffer.indexOf(BootProtocol::START_BYTE, position);
        if (start != position) {
            qWarning() << "Read data with an invalid start byte; discarding.";
            drop((start < 0 ? mBuffer.size() : start) - position);
            continue;
        }
        if (mBuffer.size() - position < BootProtocol::HEADER_SIZE)
            break;
        const int size = BootProtocol::announcedLength(mBuffer.constData() + position)
                         + BootProtocol::FRAME_OVERHEAD;
        if (mBuffer.size() - position < size)
            break;
        // A view, not a copy: a start byte that turns out to be noise costs no more than
        // one byte of noise.
        const QByteArray candidate = QByteArray::fromRawData(mBuffer.constData() + position, size);
        QByteArray payload;
        if (BootProtocol::checkAndGetPayload(candidate, payload)) {
            payloads.append(payload);
            position += size;
        } else if (candidate.back() == BootProtocol::STOP_BYTE) {
            // A frame, if a broken one: it goes whole.
            drop(size);
        } else {
            // No stop byte where the length points: the start byte was noise.
            drop(1);
        }
    }
    mBuffer.remove(0, position);
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

} // namespace Protocol
} // namespace Comms
} // namespace QVt
