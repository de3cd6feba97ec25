// Something whose whole state travels as one byte string (a configuration file,
// the payload written to and read from a device). Owns nothing; any thread.
#pragma once

#include <qvtbusgate/qvtbusgateGlobal.h>

#include <QByteArray>

namespace QVt {
namespace Global {

class QVTBUSGATE_EXPORT Serializable
{
public:
    virtual ~Serializable();

    virtual QByteArray serialize() const = 0;
    // Replaces the state from bytes that serialize() produced; false when they are
    // rejected, and then the state is unchanged.
    virtual bool deserialize(const QByteArray &data) = 0;
};

} // namespace Global
} // namespace QVt
