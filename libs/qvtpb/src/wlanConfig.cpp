#include <qvtpb/wlanConfig.h>

#include "enumerators.h"
#include "ktbridge.pb.h"

#include <QDebug>
#include <QRegularExpression>

namespace QVt {
namespace Pb {
namespace Network {

namespace {

constexpr int MIN_WPA2_PASSPHRASE = 8;
constexpr int MAX_WPA2_PASSPHRASE = 63;
constexpr int WPA2_HEX_KEY_DIGITS = 64;
constexpr quint32 MAX_TCP_PORT = 65535;

// The address as a number; false when text is no dotted decimal IPv4 address.
bool parseAddress(const QString &text, quint32 *address)
{
    static const QRegularExpression dotted(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const QRegularExpressionMatch match = dotted.match(text);
    if (!match.hasMatch())
        return false;
    quint32 value = 0;
    for (int part = 1; part <= 4; ++part) {
        const uint octet = match.captured(part).toUInt();
        if (octet > 255)
            return false;
        value = (value << 8) | octet;
    }
    *address = value;
    return true;
}

bool isPrintableAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    }
    return true;
}

bool isHexadecimal(const QString &text)
{
    static const QRegularExpression hexadecimal(QStringLiteral("^[0-9A-Fa-f]*$"));
    return hexadecimal.match(text).hasMatch();
}

} // namespace

WlanConfig::WlanConfig(QObject *parent)
    : Config(parent)
{
}

bool WlanConfig::isValidSsid(const QString &ssid) const
{
    const int bytes = ssid.toUtf8().size();
    return bytes >= 1 && bytes <= MAX_SSID_BYTES;
}

bool WlanConfig::isValidPassphrase(int security, const QString &passphrase) const
{
    switch (security) {
    case SECURITY_WPA2_PSK:
        if (passphrase.size() == WPA2_HEX_KEY_DIGITS)
            return isHexadecimal(passphrase);
        return passphrase.size() >= MIN_WPA2_PASSPHRASE && passphrase.size() <= MAX_WPA2_PASSPHRASE
            && isPrintableAscii(passphrase);
    case SECURITY_WPA3_SAE:
        return !passphrase.isEmpty();
    default:
        return true;
    }
}

bool WlanConfig::isValidAddress(const QString &address) const
{
    quint32 value = 0;
    return parseAddress(address, &value);
}

bool WlanConfig::isValidNetmask(const QString &netmask) const
{
    quint32 value = 0;
    if (!parseAddress(netmask, &value) || value == 0)
        return false;
    // Contiguous ones from the top: the inverted mask plus one is a power of two.
    const quint32 hostBits = ~value;
    return (hostBits & (hostBits + 1)) == 0;
}

bool WlanConfig::isValidGateway(const QString &gateway, const QString &address, const QString &netmask) const
{
    if (gateway.isEmpty())
        return true;
    quint32 gatewayValue = 0;
    quint32 addressValue = 0;
    quint32 netmaskValue = 0;
    return parseAddress(gateway, &gatewayValue) && parseAddress(address, &addressValue) && isValidNetmask(netmask)
        && parseAddress(netmask, &netmaskValue) && (gatewayValue & netmaskValue) == (addressValue & netmaskValue);
}

bool WlanConfig::isValidStaticAddress(const QString &address, const QString &netmask, const QString &gateway) const
{
    return isValidAddress(address) && isValidNetmask(netmask) && isValidGateway(gateway, address, netmask);
}

WlanConfig::eMode WlanConfig::mode() const { return mMode; }
QString WlanConfig::ssid() const { return mSsid; }
WlanConfig::eSecurity WlanConfig::security() const { return mSecurity; }
QString WlanConfig::passphrase() const { return mPassphrase; }
quint32 WlanConfig::channel() const { return mChannel; }
WlanConfig::eIpMode WlanConfig::ipMode() const { return mIpMode; }
QString WlanConfig::ipAddress() const { return mIpAddress; }
QString WlanConfig::netmask() const { return mNetmask; }
QString WlanConfig::gateway() const { return mGateway; }
quint32 WlanConfig::tcpPort() const { return mTcpPort; }

void WlanConfig::setMode(eMode mode)
{
    if (!isEnumerator<eMode>(mode)) {
        qWarning() << "Refused WLAN mode" << int(mode);
        return;
    }
    edit(mMode, mode, &WlanConfig::modeChanged);
}

void WlanConfig::setSsid(const QString &ssid)
{
    if (!isValidSsid(ssid)) {
        qWarning() << "Refused WLAN SSID" << ssid;
        return;
    }
    edit(mSsid, ssid, &WlanConfig::ssidChanged);
}

void WlanConfig::setSecurity(eSecurity security)
{
    setSecurityAndPassphrase(security, mPassphrase);
}

// Passphrases are secrets: refusals never log them.
void WlanConfig::setPassphrase(const QString &passphrase)
{
    if (!isValidPassphrase(mSecurity, passphrase)) {
        qWarning() << "Refused WLAN passphrase for security" << int(mSecurity);
        return;
    }
    edit(mPassphrase, passphrase, &WlanConfig::passphraseChanged);
}

bool WlanConfig::setSecurityAndPassphrase(int security, const QString &passphrase)
{
    if (!isEnumerator<eSecurity>(security)) {
        qWarning() << "Refused WLAN security" << security;
        return false;
    }
    if (!isValidPassphrase(security, passphrase)) {
        qWarning() << "Refused WLAN security" << security << "with a passphrase it does not allow";
        return false;
    }
    edit(mSecurity, eSecurity(security), &WlanConfig::securityChanged);
    edit(mPassphrase, passphrase, &WlanConfig::passphraseChanged);
    return true;
}

void WlanConfig::setChannel(quint32 channel)
{
    if (channel > MAX_CHANNEL) {
        qWarning() << "Refused WLAN channel" << channel;
        return;
    }
    edit(mChannel, channel, &WlanConfig::channelChanged);
}

void WlanConfig::setIpMode(eIpMode ipMode)
{
    if (!isEnumerator<eIpMode>(ipMode)) {
        qWarning() << "Refused IP mode" << int(ipMode);
        return;
    }
    if (ipMode == IP_MODE_STATIC && !isValidStaticAddress(mIpAddress, mNetmask, mGateway)) {
        qWarning() << "Refused static IP mode with address" << mIpAddress << "netmask" << mNetmask << "gateway"
                   << mGateway;
        return;
    }
    edit(mIpMode, ipMode, &WlanConfig::ipModeChanged);
}

void WlanConfig::setIpAddress(const QString &ipAddress)
{
    if (!isValidStaticAddress(ipAddress, mNetmask, mGateway)) {
        qWarning() << "Refused IP address" << ipAddress;
        return;
    }
    edit(mIpAddress, ipAddress, &WlanConfig::ipAddressChanged);
}

void WlanConfig::setNetmask(const QString &netmask)
{
    if (!isValidStaticAddress(mIpAddress, netmask, mGateway)) {
        qWarning() << "Refused netmask" << netmask;
        return;
    }
    edit(mNetmask, netmask, &WlanConfig::netmaskChanged);
}

void WlanConfig::setGateway(const QString &gateway)
{
    if (!isValidStaticAddress(mIpAddress, mNetmask, gateway)) {
        qWarning() << "Refused gateway" << gateway;
        return;
    }
    edit(mGateway, gateway, &WlanConfig::gatewayChanged);
}

bool WlanConfig::setStaticAddress(const QString &address, const QString &netmask, const QString &gateway)
{
    if (!isValidStaticAddress(address, netmask, gateway)) {
        qWarning() << "Refused static address" << address << "netmask" << netmask << "gateway" << gateway;
        return false;
    }
    edit(mIpAddress, address, &WlanConfig::ipAddressChanged);
    edit(mNetmask, netmask, &WlanConfig::netmaskChanged);
    edit(mGateway, gateway, &WlanConfig::gatewayChanged);
    edit(mIpMode, IP_MODE_STATIC, &WlanConfig::ipModeChanged);
    return true;
}

void WlanConfig::setTcpPort(quint32 tcpPort)
{
    if (tcpPort < 1 || tcpPort > MAX_TCP_PORT) {
        qWarning() << "Refused TCP port" << tcpPort;
        return;
    }
    edit(mTcpPort, tcpPort, &WlanConfig::tcpPortChanged);
}

void WlanConfig::read(const ktbridge::InterfaceConfig &message)
{
    // Kept as the bytes hold them, values from a newer firmware included, so that a
    // read followed by a write changes nothing. An interface of another kind, or none,
    // reads as empty settings.
    const ktbridge::WlanConfig &wlan = message.wlan();
    assign(mMode, eMode(wlan.mode()), &WlanConfig::modeChanged);
    assign(mSsid, QString::fromStdString(wlan.ssid()), &WlanConfig::ssidChanged);
    assign(mSecurity, eSecurity(wlan.security()), &WlanConfig::securityChanged);
    assign(mPassphrase, QString::fromStdString(wlan.passphrase()), &WlanConfig::passphraseChanged);
    assign(mChannel, quint32(wlan.channel()), &WlanConfig::channelChanged);
    assign(mIpMode, eIpMode(wlan.ip_mode()), &WlanConfig::ipModeChanged);
    assign(mIpAddress, QString::fromStdString(wlan.ip_address()), &WlanConfig::ipAddressChanged);
    assign(mNetmask, QString::fromStdString(wlan.netmask()), &WlanConfig::netmaskChanged);
    assign(mGateway, QString::fromStdString(wlan.gateway()), &WlanConfig::gatewayChanged);
    assign(mTcpPort, quint32(wlan.tcp_port()), &WlanConfig::tcpPortChanged);
}

void WlanConfig::write(ktbridge::InterfaceConfig *message) const
{
    ktbridge::WlanConfig *wlan = message->mutable_wlan();
    wlan->set_mode(ktbridge::WlanMode(mMode));
    wlan->set_ssid(mSsid.toStdString());
    wlan->set_security(ktbridge::WlanSecurity(mSecurity));
    wlan->set_passphrase(mPassphrase.toStdString());
    wlan->set_channel(mChannel);
    wlan->set_ip_mode(ktbridge::IpMode(mIpMode));
    wlan->set_ip_address(mIpAddress.toStdString());
    wlan->set_netmask(mNetmask.toStdString());
    wlan->set_gateway(mGateway.toStdString());
    wlan->set_tcp_port(mTcpPort);
}

} // namespace Network
} // namespace Pb
} // namespace QVt
