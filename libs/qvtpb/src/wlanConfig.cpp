#include <qvtpb/wlanConfig.h>

#include "enumerators.h"
#include "ktbridge.pb.h"

#include <QDebug>

namespace QVt {
namespace Pb {
namespace Network {

WlanConfig::WlanConfig(QObject *parent)
    : Config(parent)
{
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
    edit(mSsid, ssid, &WlanConfig::ssidChanged);
}

void WlanConfig::setSecurity(eSecurity security)
{
    if (!isEnumerator<eSecurity>(security)) {
        qWarning() << "Refused WLAN security" << int(security);
        return;
    }
    edit(mSecurity, security, &WlanConfig::securityChanged);
}

void WlanConfig::setPassphrase(const QString &passphrase)
{
    edit(mPassphrase, passphrase, &WlanConfig::passphraseChanged);
}

void WlanConfig::setChannel(quint32 channel)
{
    edit(mChannel, channel, &WlanConfig::channelChanged);
}

void WlanConfig::setIpMode(eIpMode ipMode)
{
    if (!isEnumerator<eIpMode>(ipMode)) {
        qWarning() << "Refused IP mode" << int(ipMode);
        return;
    }
    edit(mIpMode, ipMode, &WlanConfig::ipModeChanged);
}

void WlanConfig::setIpAddress(const QString &ipAddress)
{
    edit(mIpAddress, ipAddress, &WlanConfig::ipAddressChanged);
}

void WlanConfig::setNetmask(const QString &netmask)
{
    edit(mNetmask, netmask, &WlanConfig::netmaskChanged);
}

void WlanConfig::setGateway(const QString &gateway)
{
    edit(mGateway, gateway, &WlanConfig::gatewayChanged);
}

void WlanConfig::setTcpPort(quint32 tcpPort)
{
    edit(mTcpPort, tcpPort, &WlanConfig::tcpPortChanged);
}

void WlanConfig::read(const ktbridge::InterfaceConfig &message)
{
    // An interface of another kind, or none, reads as the defaults.
    const ktbridge::WlanConfig &wlan = message.wlan();
    assign(mMode, toEnumerator(wlan.mode(), MODE_ACCESS_POINT), &WlanConfig::modeChanged);
    assign(mSsid, QString::fromStdString(wlan.ssid()), &WlanConfig::ssidChanged);
    assign(mSecurity, toEnumerator(wlan.security(), SECURITY_OPEN), &WlanConfig::securityChanged);
    assign(mPassphrase, QString::fromStdString(wlan.passphrase()), &WlanConfig::passphraseChanged);
    assign(mChannel, quint32(wlan.channel()), &WlanConfig::channelChanged);
    assign(mIpMode, toEnumerator(wlan.ip_mode(), IP_MODE_DHCP), &WlanConfig::ipModeChanged);
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
