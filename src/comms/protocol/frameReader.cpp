#include "comms/protocol/frameReader.h"

#include "comms/protocol/bootProtocol.h"
#include "global/logging.h"

#include <QDebug>

namespace QVt {
namespace Comms {
namespace Protocol {

namespace {

// True when a frame that passes every check starts at start and is complete, checked
// without a word in the log: most start bytes met this way are none.
bool isIntactFrame(const QByteArray &buffer, int start)
{
    if (buffer.size() - start < BootProtocol::HEADER_SIZE)
        return false;
    const int length = BootProtocol::announcedLength(buffer.constData() + start);
    const int end = start + length + BootProtocol::FRAME_OVERHEAD;
    if (length == 0 || end > buffer.size() || buffer.at(end - 1) != BootProtocol::STOP_BYTE)
        return false;
    char sum = 0;
    for (int i = start; i < end - 1; ++i)
        sum = char(sum ^ buffer.at(i));
    return sum == 0;
}

// Where the first intact frame after from starts, or -1.
int nextIntactFrame(const QByteArray &buffer, int from)
{
    for (int start = buffer.indexOf(BootProtocol::START_BYTE, from); start >= 0;
         start = buffer.indexOf(BootProtocol::START_BYTE, start + 1)) {
        if (isIntactFrame(buffer, start))
            return start;
    }
    return -1;
}

} // namespace

QList<QByteArray> FrameReader::append(const QByteArray &bytes, QByteArray *discarded)
{
    mBuffer += bytes;
    QList<QByteArray> payloads;
    // Frames are taken from a read position and the buffer is compacted once at the end,
    // so that a long stream of noise costs linear time.
    int position = 0;
    // Noise is reported once per call, however many bytes of it there are.
    bool noiseReported = false;
    const auto drop = [&](int count, bool noise) {
        if (noise && !noiseReported)
            qCWarning(Global::logLink) << "Read data with an invalid start byte; discarding.";
        noiseReported = noiseReported || noise;
        if (discarded)
            discarded->append(mBuffer.constData() + position, count);
        position += count;
    };
    while (position < mBuffer.size()) {
        const int start = mBuffer.indexOf(BootProtocol::START_BYTE, position);
        if (start != position) {
            drop((start < 0 ? mBuffer.size() : start) - position, true);
            continue;
        }
        if (mBuffer.size() - position < BootProtocol::HEADER_SIZE)
            break;
        const int size = BootProtocol::announcedLength(mBuffer.constData() + position)
                         + BootProtocol::FRAME_OVERHEAD;
        if (mBuffer.size() - position < size) {
            // A stray start byte announces a frame that never comes; an intact frame
            // behind it shows it up as a false start.
            const int next = nextIntactFrame(mBuffer, position + 1);
            if (next < 0)
                break;
            drop(next - position, true);
            continue;
        }
        // Without a stop byte where the length points, the start byte was noise.
        if (mBuffer.at(position + size - 1) != BootProtocol::STOP_BYTE) {
            drop(1, true);
            continue;
        }
        // A frame, if maybe a broken one, which then goes whole. Checked as a view, not a copy.
        const QByteArray candidate = QByteArray::fromRawData(mBuffer.constData() + position, size);
        QByteArray payload;
        if (BootProtocol::checkAndGetPayload(candidate, payload)) {
            payloads.append(payload);
            position += size;
        } else {
            drop(size, false);
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
