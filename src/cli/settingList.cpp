#include "cli/settingList.h"

#include <qvtpb/configurationFile.h>

#include "ktbridge.pb.h"

#include <QMap>
#include <QStringList>

namespace QVt {
namespace Cli {

namespace {

const QString NONE = QStringLiteral("(none)");

QString onOff(bool value)
{
    return value ? QStringLiteral("on") : QStringLiteral("off");
}

QString bitRateText(quint32 rate)
{
    if (rate >= 1000000)
        return QStringLiteral("%1 Mbit/s").arg(rate / 1000000.0);
    if (rate >= 1000)
        return QStringLiteral("%1 kbit/s").arg(rate / 1000.0);
    return QStringLiteral("%1 bit/s").arg(rate);
}

QString hexText(quint32 value)
{
    return QStringLiteral("0x") + QString::number(value, 16);
}

// Texts of an enumeration as the page's choices name them; a value of a newer firmware
// shows as its number.
QString choice(int value, const QStringList &texts)
{
    return value >= 0 && value < texts.size() ? texts.at(value) : QString::number(value);
}

QString orNone(const std::string &value)
{
    return value.empty() ? NONE : QString::fromStdString(value);
}

} // namespace

SettingList SettingList::fromBytes(const QByteArray &bytes)
{
    SettingList list;
    QVt::Pb::Configuration::File file;
    ktbridge::Configuration message;
    if (file.load(bytes) && message.ParseFromArray(file.body().constData(), file.body().size()))
        list.addConfiguration(message);
    return list;
}

void SettingList::add(const QString &group, const QString &label, const QString &text, const QString &value)
{
    mSettings.append(Setting{group, label, text, value.isNull() ? text : value});
}

void SettingList::addSecret(const QString &group, const QString &label, const std::string &value)
{
    const QString secret = QString::fromStdString(value);
    add(group, label, secret.isEmpty() ? NONE : QStringLiteral("(set, %1 characters)").arg(secret.size()),
        QStringLiteral("secret:") + secret);
}

void SettingList::addConfiguration(const ktbridge::Configuration &message)
{
    const ktbridge::CanConfig &can = message.can();
    const QString bus = QStringLiteral("CAN / Bus");
    // Bytes without a bit rate or sample point load the library's defaults.
    add(bus, QStringLiteral("Bit rate"), bitRateText(can.bit_rate() ? can.bit_rate() : 500000));
    add(bus, QStringLiteral("Sample point"),
        QStringLiteral("%1 %").arg((can.sample_point() ? can.sample_point() : 875) / 10.0));
    add(bus, QStringLiteral("Listen only"), onOff(can.listen_only()));
    add(bus, QStringLiteral("Termination resistor (120 Ω)"), onOff(can.termination()));
    const QString filters = QStringLiteral("CAN / Acceptance filters");
    if (can.filters_size() == 0)
        add(filters, QStringLiteral("Filters"), NONE);
    for (int i = 0; i < can.filters_size(); ++i) {
        const ktbridge::CanFilter &filter = can.filters(i);
        add(filters, QStringLiteral("Filter %1").arg(i + 1),
            QStringLiteral("Identifier %1, Mask %2, %3")
                .arg(hexText(filter.identifier()), hexText(filter.mask()),
                     filter.extended() ? QStringLiteral("Extended") : QStringLiteral("Standard")));
    }

    if (message.has_wlan_interface()) {
        const ktbridge::InterfaceConfig &interface = message.wlan_interface();
        const ktbridge::WlanConfig &wlan = interface.wlan();
        const QString network = QStringLiteral("WLAN / Network");
        add(network, QStringLiteral("WLAN enabled"), onOff(interface.enabled()));
        add(network, QStringLiteral("Mode"),
            choice(wlan.mode(), {QStringLiteral("Access point"), QStringLiteral("Client")}));
        add(network, QStringLiteral("Network name (SSID)"), orNone(wlan.ssid()));
        add(network, QStringLiteral("Security"),
            choice(wlan.security(), {QStringLiteral("Open (no password)"), QStringLiteral("WPA2 personal"),
                                     QStringLiteral("WPA3 personal")}));
        addSecret(network, QStringLiteral("Passphrase"), wlan.passphrase());
        add(network, QStringLiteral("Channel"), QString::number(wlan.channel()));
        const QString address = QStringLiteral("WLAN / Address");
        add(address, QStringLiteral("IPv4 address"),
            choice(wlan.ip_mode(), {QStringLiteral("Automatic (DHCP)"), QStringLiteral("Static")}));
        add(address, QStringLiteral("Address"), orNone(wlan.ip_address()));
        add(address, QStringLiteral("Netmask"), orNone(wlan.netmask()));
        add(address, QStringLiteral("Gateway"), orNone(wlan.gateway()));
        add(address, QStringLiteral("TCP port"), QString::number(wlan.tcp_port()));
    }
    if (message.has_bluetooth_interface()) {
        const ktbridge::InterfaceConfig &interface = message.bluetooth_interface();
        const ktbridge::BluetoothConfig &bluetooth = interface.bluetooth();
        const QString group = QStringLiteral("Bluetooth / Bluetooth");
        add(group, QStringLiteral("Bluetooth enabled"), onOff(interface.enabled()));
        add(group, QStringLiteral("Device name"), orNone(bluetooth.device_name()));
        addSecret(group, QStringLiteral("PIN"), bluetooth.pin());
        add(group, QStringLiteral("Discoverable"), onOff(bluetooth.discoverable()));
    }
}

QString SettingList::text() const
{
    QString result;
    QString group;
    for (const Setting &setting : mSettings) {
        if (setting.group != group) {
            result += (group.isEmpty() ? QString() : QStringLiteral("\n")) + setting.group + QLatin1Char('\n');
            group = setting.group;
        }
        result += QStringLiteral("  %1: %2\n").arg(setting.label, setting.text);
    }
    return result;
}

QStringList SettingList::differences(const SettingList &other) const
{
    const auto key = [](const Setting &setting) { return setting.group + QStringLiteral(" / ") + setting.label; };
    QMap<QString, Setting> others;
    for (const Setting &setting : other.mSettings)
        others.insert(key(setting), setting);
    QStringList lines;
    for (const Setting &setting : mSettings) {
        const bool present = others.contains(key(setting));
        const Setting otherSetting = others.take(key(setting));
        if (!present)
            lines.append(QStringLiteral("%1: %2 -> %3").arg(key(setting), setting.text, NONE));
        else if (otherSetting.value != setting.value)
            lines.append(QStringLiteral("%1: %2 -> %3").arg(key(setting), setting.text, otherSetting.text));
    }
    // Settings only the other side has (more filters, an interface).
    for (const Setting &setting : other.mSettings) {
        if (others.contains(key(setting)))
            lines.append(QStringLiteral("%1: %2 -> %3").arg(key(setting), NONE, setting.text));
    }
    return lines;
}

} // namespace Cli
} // namespace QVt
