#pragma once

#include <QByteArray>

namespace QVt {
namespace Comms {
namespace Protocol {

// The boot loader's framing: 'C', 16-bit big-endian payload length, payload, XOR
// checksum, CR. Static operations only, no state: usable from any thread, and by both
// ends of the link (the simulator frames its replies with frame()).
class BootProtocol
{
public:
    BootProtocol() = delete;

    // The bytes that open and close every frame, and how many bytes a frame adds to its
    // payload (start byte, two length bytes, checksum, stop byte).
    static constexpr char START_BYTE = 0x43;
    static constexpr char STOP_BYTE = 0x0D;
    static constexpr int FRAME_OVERHEAD = 5;
    // The start byte and the two length bytes.
    static constexpr int HEADER_SIZE = 3;
    // The most a 16-bit length field can announce.
    static constexpr int MAX_PAYLOAD_SIZE = 65535;
    // What the boot sequence frame carries: a fixed text, no command letter.
    static inline const QByteArray BOOT_SEQUENCE_PAYLOAD = QByteArrayLiteral("ZPXMBT");

    // The frame carrying payload. A payload longer than MAX_PAYLOAD_SIZE cannot be
    // framed: it is refused with a warning and the result is empty, as is every builder's.
    static QByteArray frame(const QByteArray &payload);

    static QByteArray buildBootSequence();
    static QByteArray buildReadProductIdCommand();
    static QByteArray buildReadProtobufCommand();
    static QByteArray buildWriteProtobufCommand(const QByteArray &data);
    static QByteArray buildEnterNormalOperationCommand();
    static QByteArray buildEnterPairingModeCommand();
    static QByteArray buildFactoryResetCommand();

    // The payload length that a frame's header (HEADER_SIZE bytes at header) announces.
    static int announcedLength(const char *header);

    // Checks one complete received frame. On success stores its payload and returns
    // true; otherwise logs why, leaves payload untouched and returns false.
    static bool checkAndGetPayload(const QByteArray &frame, QByteArray &payload);
};

} // namespace Protocol
} // namespace Comms
} // namespace QVt
