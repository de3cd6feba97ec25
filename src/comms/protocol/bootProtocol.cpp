#include "comms/protocol/bootProtocol.h"

#include "global/logging.h"

#include <QDebug>

#include <utility>

namespace QVt {
namespace Comms {
namespace Protocol {

namespace {

char xorOf(const char *begin, const char *end)
{
    char sum = 0;
    for (const char *p = begin; p != end; ++p)
        sum ^= *p;
    return sum;
}

// Turns the payload held in data into a frame, in place.
void packToProtocol(QByteArray &data)
{
    const quint16 length = static_cast<quint16>(data.size());
    QByteArray framed;
    framed.reserve(data.size() + BootProtocol::FRAME_OVERHEAD);
    framed.append(BootProtocol::START_BYTE);
    framed.append(static_cast<char>(length >> 8));
    framed.append(static_cast<char>(length & 0xFF));
    framed.append(data);
    framed.append(xorOf(framed.constBegin(), framed.constEnd()));
    framed.append(BootProtocol::STOP_BYTE);
    data = std::move(framed);
}

} // namespace

QByteArray BootProtocol::frame(const QByteArray &payload)
{
    // A truncated length field would make the device read a different frame.
    if (payload.size() > MAX_PAYLOAD_SIZE) {
        qCWarning(Global::logLink) << "Refused to frame a payload longer than the protocol allows:"
                                   << payload.size() << "bytes";
        return QByteArray();
    }
    QByteArray data = payload;
    packToProtocol(data);
    return data;
}

QByteArray BootProtocol::buildBootSequence()
{
    return frame(BOOT_SEQUENCE_PAYLOAD);
}

QByteArray BootProtocol::buildReadProductIdCommand()
{
    return frame(QByteArrayLiteral("P"));
}

QByteArray BootProtocol::buildReadProtobufCommand()
{
    return frame(QByteArrayLiteral("L"));
}

QByteArray BootProtocol::buildWriteProtobufCommand(const QByteArray &data)
{
    return frame(QByteArrayLiteral("S") + data);
}

QByteArray BootProtocol::buildEnterNormalOperationCommand()
{
    return frame(QByteArrayLiteral("Q"));
}

QByteArray BootProtocol::buildEnterPairingModeCommand()
{
    return frame(QByteArrayLiteral("Y"));
}

QByteArray BootProtocol::buildFactoryResetCommand()
{
    return frame(QByteArrayLiteral("Z"));
}

int BootProtocol::announcedLength(const char *header)
{
    return static_cast<quint8>(header[1]) * 256 + static_cast<quint8>(header[2]);
}

bool BootProtocol::checkAndGetPayload(const QByteArray &frame, QByteArray &payload)
{
    if (frame.size() <= FRAME_OVERHEAD || frame.front() != START_BYTE || frame.back() != STOP_BYTE) {
        qCWarning(Global::logLink) << "Rejected data frame: start/stop/minLength mismatch";
        return false;
    }
    const int length = announcedLength(frame.constData());
    if (length + FRAME_OVERHEAD != frame.size()) {
        qCWarning(Global::logLink) << "Rejected data frame: frame length mismatch";
        return false;
    }
    const char *checksumByte = frame.constData() + HEADER_SIZE + length;
    if (xorOf(frame.constData(), checksumByte) != *checksumByte) {
        qCWarning(Global::logLink) << "Rejected data frame: checksum mismatch";
        return false;
    }
    payload = frame.mid(HEADER_SIZE, length);
    return true;
}

} // namespace Protocol
} // namespace Comms
} // namespace QVt
