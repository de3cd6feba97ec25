// What the radio module of a wireless interface reports about itself: firmware
// version and MAC address; empty for a configuration made on the PC.
// Owned by its Network::Config; lives in its owner's thread.
#ifndef QVTPB_NETWORKDEVICEINFO_H
#define QVTPB_NETWORKDEVICEINFO_H

#include <qvtpb/abstractMessage.h>

#include <QString>

namespace ktbridge {
class NetworkDeviceInfo;
}

namespace QVt {
namespace Pb {
namespace Network {

class QVTPB_EXPORT DeviceInfo : public AbstractMessage
{
    Q_OBJECT
    Q_PROPERTY(QString moduleVersion READ moduleVersion WRITE setModuleVersion NOTIFY moduleVersionChanged)
    Q_PROPERTY(QString mac READ mac WRITE setMac NOTIFY macChanged)

public:
    explicit DeviceInfo(QObject *parent = nullptr);

    QString moduleVersion() const;
    QString mac() const;

    void setModuleVersion(const QString &moduleVersion);
    void setMac(const QString &mac);

    // Loading (no edited()) and storing, used by the enclosing message.
    void read(const ktbridge::NetworkDeviceInfo &message);
    void write(ktbridge::NetworkDeviceInfo *message) const;

signals:
    void moduleVersionChanged();
    void macChanged();

private:
    QString mModuleVersion;
    QString mMac;
};

} // namespace Network
} // namespace Pb
} // namespace QVt

#endif // QVTPB_NETWORKDEVICEINFO_H
