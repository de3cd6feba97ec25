#include "comms/protocol/bootProtocol.h"

#include <QDebug>

namespace QVt::Comms::Protocol {

namespace {

constexpr char StartByte = 0x43;
constexpr char StopByte = 0x0D;
constexpr int HeaderSize = 3;
constexpr int OverheadSize = 5;

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
    framed.reserve(data.size() + OverheadSize);
    framed.append(StartByte);
    framed.append(static_cast<char>(length >> 8));
    framed.append(static_cast<char>(length & 0xFF));
    framed.append(data);
    framed.append(xorOf(framed.constBegin(), framed.constEnd()));
    framed.append(StopByte);
    data = framed;
}

QByteArray packed(QByteArray payload)
{
    packToProtocol(payload);
    return payload;
}

} // namespace

QByteArray BootProtocol::frame(const QByteArray &payload)
{
    return packed(payload);
}

QByteArray BootProtocol::buildBootSequence()
{
    return packed(QByteArrayLiteral("ZPXMBT"));
}

QByteArray BootProtocol::buildReadProductIdCommand()
{
    return packed(QByteArrayLiteral("P"));
}

QByteArray BootProtocol::buildReadProtobufCommand()
{
    return packed(QByteArrayLiteral("L"));
}

QByteArray BootProtocol::buildWriteProtobufCommand(const QByteArray &data)
{
    return packed(QByteArrayLiteral("S") + data);
}

QByteArray BootProtocol::buildEnterNormalOperationCommand()
{
    return packed(QByteArrayLiteral("Q"));
}

QByteArray BootProtocol::buildEnterPairingModeCommand()
{
    return packed(QByteArrayLiteral("Y"));
}

QByteArray BootProtocol::buildFactoryResetCommand()
{
    return packed(QByteArrayLiteral("Z"));
}

bool BootProtocol::checkAndGetPayload(const QByteArray &frame, QByteArray &payload)
{
    if (frame.size() <= OverheadSize || frame.front() != StartByte || frame.back() != StopByte) {
        qWarning() << "Rejected data frame: start/stop/minLength mismatch";
        return false;
    }
    const int length = static_cast<quint8>(frame.at(1)) * 256 + static_cast<quint8>(frame.at(2));
    if (length + OverheadSize != frame.size()) {
        qWarning() << "Rejected data frame: frame length mismatch";
        return false;
    }
    const char *checksumByte = frame.constData() + HeaderSize + length;
    if (xorOf(frame.constData(), checksumByte) != *checksumByte) {
        qWarning() << "Rejected data frame: checksum mismatch";
        return false;
    }
    payload = frame.mid(HeaderSize, length);
    return true;
}

} // namespace QVt::Comms::Protocol
