// Bytes from a serial line, valid frames among garbage: a frame must be taken exactly
// when it is one, and its payload framed again must give the same bytes. Each chunk
// starts with a control byte: with its top bit set, the harness frames the next bytes
// itself (so that the fuzzer gets past the checksum); otherwise they go in raw.
#include "fuzzSupport.h"

#include "comms/protocol/bootProtocol.h"

using QVt::Comms::Protocol::BootProtocol;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    while (!input.atEnd()) {
        const quint8 control = input.byte();
        const QByteArray bytes = input.bytes(control & 0x3F);
        // The protocol has no empty payload: every frame carries at least a command letter.
        const bool framed = (control & 0x80) && !bytes.isEmpty();
        const QByteArray chunk = framed ? BootProtocol::frame(bytes) : bytes;

        QByteArray payload = QByteArrayLiteral("untouched");
        const bool taken = BootProtocol::checkAndGetPayload(chunk, payload);
        FUZZ_CHECK(!framed || (taken && payload == bytes));
        FUZZ_CHECK(taken ? BootProtocol::frame(payload) == chunk : payload == "untouched");
    }
    return 0;
}
