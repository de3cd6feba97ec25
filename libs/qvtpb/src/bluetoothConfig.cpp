#include <qvtpb/bluetoothConfig.h>

#include "ktbridge.pb.h"

#include <QDebug>
#include <QRegularExpression>

namespace QVt {
namespace Pb {
namespace Network {

BluetoothConfig::BluetoothConfig(QObject *parent)
    : Config(parent)
{
}

bool BluetoothConfig::isValidDeviceName(const QString &deviceName) const
{
    const int bytes = deviceName.toUtf8().size();
    return bytes >= 1 && bytes <= MAX_DEVICE_NAME_BYTES;
}

bool BluetoothConfig::isValidPin(const QString &pin) const
{
    static const QRegularExpression digits(
        QStringLiteral("^[0-9]{%1,%2}$").arg(MIN_PIN_DIGITS).arg(MAX_PIN_DIGITS));
    return digits.match(pin).hasMatch();
}

QString BluetoothConfig::deviceName() const { return mDeviceName; }
QString BluetoothConfig::pin() const { return mPin; }
bool BluetoothConfig::discoverable() const { return mDiscoverable; }

void BluetoothConfig::setDeviceName(const QString &deviceName)
{
    if (!isValidDeviceName(deviceName)) {
        qWarning() << "Refused Bluetooth device name" << deviceName;
        return;
    }
    edit(mDeviceName, deviceName, &BluetoothConfig::deviceNameChanged);
}

void BluetoothConfig::setPin(const QString &pin)
{
    // The PIN is a secret: a refusal never logs it.
    if (!isValidPin(pin)) {
        qWarning() << "Refused Bluetooth PIN of length" << pin.size();
        return;
    }
    edit(mPin, pin, &BluetoothConfig::pinChanged);
}

void BluetoothConfig::setDiscoverable(bool discoverable)
{
    edit(mDiscoverable, discoverable, &BluetoothConfig::discoverableChanged);
}

void BluetoothConfig::read(const ktbridge::InterfaceConfig &message)
{
    // Kept as the bytes hold it; an interface of another kind, or none, reads as empty.
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
