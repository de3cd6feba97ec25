// Bytes from a serial line, valid frames among noise, arriving in arbitrary pieces. Each
// chunk of the input starts with a control byte: the low six bits count the bytes that
// follow; with the top bit set the harness frames them itself (so that the fuzzer gets
// past the checksum), else they go into the stream raw; with bit 6 set, what has gathered
// so far is handed to the reader as one read.
#include "fuzzSupport.h"

#include "comms/protocol/bootProtocol.h"
#include "comms/protocol/frameReader.h"

using QVt::Comms::Protocol::BootProtocol;
using QVt::Comms::Protocol::FrameReader;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    FrameReader reader;
    QByteArray stream, pending, discarded;
    QList<QByteArray> framedPayloads, payloads;
    bool onlyFrames = true;
    while (!input.atEnd()) {
        const quint8 control = input.byte();
        const QByteArray bytes = input.bytes(control & 0x3F);
        // The protocol has no empty payload: every frame carries at least a command letter.
        const bool framed = (control & 0x80) && !bytes.isEmpty();
        if (framed)
            framedPayloads.append(bytes);
        onlyFrames = onlyFrames && (framed || bytes.isEmpty());
        pending += framed ? BootProtocol::frame(bytes) : bytes;
        if (control & 0x40 || input.atEnd()) {
            payloads += reader.append(pending, &discarded);
            stream += pending;
            pending.clear();
        }
    }
    const QByteArray rest = reader.clear();

    // Every byte is accounted for exactly once: in a frame taken, discarded, or still held.
    int framedBytes = 0;
    for (const QByteArray &payload : payloads)
        framedBytes += payload.size() + BootProtocol::FRAME_OVERHEAD;
    FUZZ_CHECK(framedBytes + discarded.size() + rest.size() == stream.size());
    FUZZ_CHECK(rest.size() < BootProtocol::MAX_PAYLOAD_SIZE + BootProtocol::FRAME_OVERHEAD);
    // How the bytes were split into reads changes nothing.
    FrameReader whole;
    QByteArray wholeDiscarded;
    FUZZ_CHECK(whole.append(stream, &wholeDiscarded) == payloads);
    FUZZ_CHECK(wholeDiscarded == discarded && whole.clear() == rest);
    // A line that carries nothing but frames loses none of them.
    FUZZ_CHECK(!onlyFrames || (payloads == framedPayloads && discarded.isEmpty() && rest.isEmpty()));
    return 0;
}
