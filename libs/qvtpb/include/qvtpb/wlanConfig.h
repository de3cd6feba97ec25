// Settings of the WLAN interface: access point or client, SSID, security and
// passphrase, channel, IPv4 by DHCP or static, and the TCP port of the CAN service.
// Setters take only values a unit accepts and refuse others with a warning, keeping
// the old value; the is...() checks let a page tell the user before it sets. Loading
// keeps what the bytes hold, an enumeration value of a newer firmware included.
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

    static constexpr int MAX_SSID_BYTES = 32;
    static constexpr quint32 MAX_CHANNEL = 13;

    explicit WlanConfig(QObject *parent = nullptr);

    // 1 to MAX_SSID_BYTES bytes in UTF-8.
    Q_INVOKABLE bool isValidSsid(const QString &ssid) const;
    // WPA2: 8 to 63 printable ASCII characters or 64 hexadecimal digits; WPA3: not
    // empty; open, or a security this build does not know: anything.
    Q_INVOKABLE bool isValidPassphrase(int security, const QString &passphrase) const;
    // Dotted decimal IPv4 text.
    Q_INVOKABLE bool isValidAddress(const QString &address) const;
    // An IPv4 address whose one bits are contiguous from the top (prefix 1 to 32).
    Q_INVOKABLE bool isValidNetmask(const QString &netmask) const;
    // Empty, or an address inside the subnet of address and netmask (both valid).
    Q_INVOKABLE bool isValidGateway(const QString &gateway, const QString &address, const QString &netmask) const;

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

    // Enumerations take only their enumerators. A security whose rules the current
    // passphrase breaks is refused, as is a passphrase its security refuses; change
    // both at once with setSecurityAndPassphrase(). Static IPv4 needs a valid address,
    // netmask and gateway together: setIpMode() refuses static without them, and
    // setStaticAddress() sets all of them at once. Channel 0 to MAX_CHANNEL (0 lets
    // the module choose), TCP port 1 to 65535.
    void setMode(eMode mode);
    void setSsid(const QString &ssid);
    void setSecurity(eSecurity security);
    void setPassphrase(const QString &passphrase);
    Q_INVOKABLE bool setSecurityAndPassphrase(int security, const QString &passphrase);
    void setChannel(quint32 channel);
    void setIpMode(eIpMode ipMode);
    void setIpAddress(const QString &ipAddress);
    void setNetmask(const QString &netmask);
    void setGateway(const QString &gateway);
    // Switches to static IPv4 with these values; false, and no change, when they do not
    // fit together.
    Q_INVOKABLE bool setStaticAddress(const QString &address, const QString &netmask, const QString &gateway);
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
    bool isValidStaticAddress(const QString &address, const QString &netmask, const QString &gateway) const;

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
