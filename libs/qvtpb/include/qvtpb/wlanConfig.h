// Settings of the WLAN interface: access point or client, SSID, security and
// passphrase, channel, IPv4 by DHCP or static, and the TCP port of the CAN service.
// Owned by its Interface::Config; lives in its owner's thread.
#ifndef QVTPB_WLANCONFIG_H
#define QVTPB_WLANCONFIG_H

#include <qvtpb/networkConfig.h>

#include <QString>

namespace QVt {
namespace Pb {
namespace Network {

class QVTPB_EXPORT WlanConfig : public Config
{
    Q_OBJECT
    Q_PROPERTY(eMode mode READ mode WRITE setMode NOTIFY modeChanged)
    Q_PROPERTY(QString ssid READ ssid WRITE setSsid NOTIFY ssidChanged)
    Q_PROPERTY(eSecurity security READ security WRITE setSecurity NOTIFY securityChanged)
    Q_PROPERTY(QString passphrase READ passphrase WRITE setPassphrase NOTIFY passphraseChanged)
    Q_PROPERTY(quint32 channel READ channel WRITE setChannel NOTIFY channelChanged)
    Q_PROPERTY(eIpMode ipMode READ ipMode WRITE setIpMode NOTIFY ipModeChanged)
    Q_PROPERTY(QString ipAddress READ ipAddress WRITE setIpAddress NOTIFY ipAddressChanged)
    Q_PROPERTY(QString netmask READ netmask WRITE setNetmask NOTIFY netmaskChanged)
    Q_PROPERTY(QString gateway READ gateway WRITE setGateway NOTIFY gatewayChanged)
    Q_PROPERTY(quint32 tcpPort READ tcpPort WRITE setTcpPort NOTIFY tcpPortChanged)

public:
    // A fixed underlying type, so that any number QML writes is a value of the type and
    // the setters can refuse it (outside the type's range, merely holding it is undefined).
    enum eMode : int {
        MODE_ACCESS_POINT = 0,
        MODE_CLIENT = 1,
    };
    Q_ENUM(eMode)

    enum eSecurity : int {
        SECURITY_OPEN = 0,
        SECURITY_WPA2_PSK = 1,
        SECURITY_WPA3_SAE = 2,
    };
    Q_ENUM(eSecurity)

    enum eIpMode : int {
        IP_MODE_DHCP = 0,
        IP_MODE_STATIC = 1,
    };
    Q_ENUM(eIpMode)

    explicit WlanConfig(QObject *parent = nullptr);

    eMode mode() const;
    QString ssid() const;
    eSecurity security() const;
    QString passphrase() const;
    // 0 lets the module choose.
    quint32 channel() const;
    eIpMode ipMode() const;
    QString ipAddress() const;
    QString netmask() const;
    QString gateway() const;
    quint32 tcpPort() const;

    // Values that are no enumerator are refused with a warning.
    void setMode(eMode mode);
    void setSsid(const QString &ssid);
    void setSecurity(eSecurity security);
    void setPassphrase(const QString &passphrase);
    void setChannel(quint32 channel);
    void setIpMode(eIpMode ipMode);
    void setIpAddress(const QString &ipAddress);
    void setNetmask(const QString &netmask);
    void setGateway(const QString &gateway);
    void setTcpPort(quint32 tcpPort);

    void read(const ktbridge::InterfaceConfig &message) override;
    void write(ktbridge::InterfaceConfig *message) const override;

signals:
    void modeChanged();
    void ssidChanged();
    void securityChanged();
    void passphraseChanged();
    void channelChanged();
    void ipModeChanged();
    void ipAddressChanged();
    void netmaskChanged();
    void gatewayChanged();
    void tcpPortChanged();

private:
    eMode mMode = MODE_ACCESS_POINT;
    QString mSsid;
    eSecurity mSecurity = SECURITY_OPEN;
    QString mPassphrase;
    quint32 mChannel = 0;
    eIpMode mIpMode = IP_MODE_DHCP;
    QString mIpAddress;
    QString mNetmask;
    QString mGateway;
    quint32 mTcpPort = 0;
};

} // namespace Network
} // namespace Pb
} // namespace QVt

#endif // QVTPB_WLANCONFIG_H
