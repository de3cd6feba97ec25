// Settings of the Bluetooth interface: device name, PIN and whether it is
// discoverable. Setters refuse what a unit does not accept with a warning and keep
// the old value; loading keeps what the bytes hold. Owned by its Interface::Config;
// lives in its owner's thread.
#ifndef QVTPB_BLUETOOTHCONFIG_H
#define QVTPB_BLUETOOTHCONFIG_H

#include <qvtpb/networkConfig.h>

#include <QString>

namespace QVt {
namespace Pb {
namespace Network {

class QVTPB_EXPORT BluetoothConfig : public Config
{
    Q_OBJECT
    Q_PROPERTY(QString deviceName READ deviceName WRITE setDeviceName NOTIFY deviceNameChanged)
    Q_PROPERTY(QString pin READ pin WRITE setPin NOTIFY pinChanged)
    Q_PROPERTY(bool discoverable READ discoverable WRITE setDiscoverable NOTIFY discoverableChanged)

public:
    static constexpr int MAX_DEVICE_NAME_BYTES = 32;
    static constexpr int MIN_PIN_DIGITS = 4;
    static constexpr int MAX_PIN_DIGITS = 16;

    explicit BluetoothConfig(QObject *parent = nullptr);

    // 1 to MAX_DEVICE_NAME_BYTES bytes in UTF-8.
    Q_INVOKABLE bool isValidDeviceName(const QString &deviceName) const;
    // MIN_PIN_DIGITS to MAX_PIN_DIGITS decimal digits.
    Q_INVOKABLE bool isValidPin(const QString &pin) const;

    QString deviceName() const;
    QString pin() const;
    bool discoverable() const;

    void setDeviceName(const QString &deviceName);
    void setPin(const QString &pin);
    void setDiscoverable(bool discoverable);

    void read(const ktbridge::InterfaceConfig &message) override;
    void write(ktbridge::InterfaceConfig *message) const override;

signals:
    void deviceNameChanged();
    void pinChanged();
    void discoverableChanged();

private:
    QString mDeviceName;
    QString mPin;
    bool mDiscoverable = false;
};

} // namespace Network
} // namespace Pb
} // namespace QVt

#endif // QVTPB_BLUETOOTHCONFIG_H
