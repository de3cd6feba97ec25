// Settings of the Bluetooth interface: device name, PIN and whether it is
// discoverable. Owned by its Interface::Config; lives in its owner's thread.
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
    explicit BluetoothConfig(QObject *parent = nullptr);

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
