#include <qvtbusgate/abstractDevice.h>

namespace QVt {
namespace Device {

AbstractDevice::AbstractDevice(QObject *parent)
    : QObject(parent)
{
}

AbstractDevice::~AbstractDevice() = default;

QString AbstractDevice::primaryProductId() const
{
    const QStringList ids = productIds();
    return ids.isEmpty() ? QString() : ids.first();
}

void AbstractDevice::resetDeviceInfo()
{
    updateDeviceInfo(QByteArray());
}

} // namespace Device
} // namespace QVt
