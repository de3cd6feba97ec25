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
    // A line that carries nothing but frames loses none of them when read whole, and
    // however it is split when their start bytes are the only ones (else a split may show
    // up an intact frame inside a longer one, which is then taken for a false start).
    FrameReader whole;
    QByteArray wholeDiscarded;
    const QList<QByteArray> wholePayloads = whole.append(stream, &wholeDiscarded);
    FUZZ_CHECK(!onlyFrames || (wholePayloads == framedPayloads && wholeDiscarded.isEmpty() && whole.isEmpty()));
    const bool onlyFrameStarts = stream.count(BootProtocol::START_BYTE) == framedPayloads.size();
    FUZZ_CHECK(!onlyFrames || !onlyFrameStarts
               || (payloads == framedPayloads && discarded.isEmpty() && rest.isEmpty()));
    // A false start before an intact frame never hides it, however the line is split.
    FrameReader afterFalseStart;
    if (!framedPayloads.isEmpty()) {
        const QByteArray last = BootProtocol::frame(framedPayloads.constLast());
        const QByteArray falseStart = QByteArrayLiteral("C\xFF\xFF");
        FUZZ_CHECK(afterFalseStart.append(falseStart).isEmpty());
        FUZZ_CHECK(afterFalseStart.append(last) == QList<QByteArray>{framedPayloads.constLast()});
    }
    return 0;
}
