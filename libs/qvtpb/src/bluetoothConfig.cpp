#include <qvtpb/bluetoothConfig.h>

#include "ktbridge.pb.h"

namespace QVt {
namespace Pb {
namespace Network {

BluetoothConfig::BluetoothConfig(QObject *parent)
    : Config(parent)
{
}

QString BluetoothConfig::deviceName() const { return mDeviceName; }
QString BluetoothConfig::pin() const { return mPin; }
bool BluetoothConfig::discoverable() const { return mDiscoverable; }

void BluetoothConfig::setDeviceName(const QString &deviceName)
{
    edit(mDeviceName, deviceName, &BluetoothConfig::deviceNameChanged);
}

void BluetoothConfig::setPin(const QString &pin)
{
    edit(mPin, pin, &BluetoothConfig::pinChanged);
}

void BluetoothConfig::setDiscoverable(bool discoverable)
{
    edit(mDiscoverable, discoverable, &BluetoothConfig::discoverableChanged);
}

void BluetoothConfig::read(const ktbridge::InterfaceConfig &message)
{
    // An interface of another kind, or none, reads as the defaults.
    const ktbridge::BluetoothConfig &bluetooth = message.bluetooth();
    assign(mDeviceName, QString::fromStdString(bluetooth.device_name()),
           &BluetoothConfig::deviceNameChanged);
    assign(mPin, QString::fromStdString(bluetooth.pin()), &BluetoothConfig::pinChanged);
    assign(mDiscoverable, bluetooth.discoverable(), &BluetoothConfig::discoverableChanged);
}

void BluetoothConfig::write(ktbridge::InterfaceConfig *message) const
{
    ktbridge::BluetoothConfig *bluetooth = message->mutable_bluetooth();
    bluetooth->set_device_name(mDeviceName.toStdString());
    bluetooth->set_pin(mPin.toStdString());
    bluetooth->set_discoverable(mDiscoverable);
}

} // namespace Network
} // namespace Pb
} // namespace QVt
