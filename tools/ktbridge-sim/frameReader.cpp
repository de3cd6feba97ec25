#include "frameReader.h"

#include "comms/protocol/bootProtocol.h"

namespace QVt::Sim {

namespace {

constexpr char kStartByte = 0x43;
constexpr char kStopByte = 0x0D;
constexpr int kOverhead = 5; // start byte, two length bytes, checksum, stop byte

} // namespace

QList<QByteArray> FrameReader::take(const QByteArray &bytes, QByteArray *discarded)
{
    QList<QByteArray> payloads;
    mBuffer += bytes;
    for (;;) {
        const int start = mBuffer.indexOf(kStartByte);
        if (start != 0) {
            const int junk = start < 0 ? mBuffer.size() : start;
            discarded->append(mBuffer.left(junk));
            mBuffer.remove(0, junk);
        }
        if (mBuffer.size() < 3)
            break;
        const int length = (quint8(mBuffer.at(1)) << 8) | quint8(mBuffer.at(2));
        if (mBuffer.size() < length + kOverhead)
            break;
        const QByteArray candidate = mBuffer.left(length + kOverhead);
        QByteArray payload;
        if (candidate.endsWith(kStopByte)
            && Comms::Protocol::BootProtocol::checkAndGetPayload(candidate, payload)) {
            payloads.append(payload);
            mBuffer.remove(0, candidate.size());
        } else {
            // Not a frame after all: this start byte was noise; look for the next one.
            discarded->append(mBuffer.left(1));
            mBuffer.remove(0, 1);
        }
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
