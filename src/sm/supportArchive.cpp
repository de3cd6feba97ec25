#include "sm/supportArchive.h"

#include "sm/networkDeviceInfo.h"

#include <qvtpb/configurationFile.h>
#include <qvtpb/productDeviceInfo.h>

#include "ktbridge.pb.h"

#include <KZip>

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>

namespace QVt {
namespace Sm {

using QVt::Device::AbstractDevice;

namespace {

// Archive entries are regular files, rw-r--r--, owned by "vt".
constexpr mode_t ENTRY_PERMISSIONS = 0100644;
const QString ENTRY_OWNER = QStringLiteral("vt");

bool writeEntry(KZip &zip, const QString &name, const QByteArray &data)
{
    const QDateTime now = QDateTime::currentDateTime();
    return zip.writeFile(name, data, ENTRY_PERMISSIONS, ENTRY_OWNER, ENTRY_OWNER, now, now, now);
}

void appendLine(QByteArray &text, const QString &pattern, const QString &value)
{
    text += pattern.arg(value).toLocal8Bit();
}

} // namespace

QByteArray SupportArchive::build(AbstractDevice *device, const QString &deviceIdString, QString *reason)
{
    const QString notBuilt = QStringLiteral("the archive could not be built");
    const QByteArray configuration = withoutSecrets(device->serialize());
    if (configuration.isEmpty()) {
        *reason = notBuilt;
        return QByteArray();
    }
    QBuffer buffer;
    {
        KZip zip(&buffer);
        if (!zip.open(QIODevice::WriteOnly) || !writeEntry(zip, QStringLiteral("config.bgc"), configuration)
            || !writeEntry(zip, QStringLiteral("details.txt"), details(device, deviceIdString)) || !zip.close()) {
            // The archive library's own words say what failed.
            *reason = notBuilt + QStringLiteral(": ") + zip.errorString();
            return QByteArray();
        }
    }
    return buffer.data();
}

QByteArray SupportArchive::withoutSecrets(const QByteArray &configuration)
{
    // Users mail these archives: whatever cannot be searched for secrets stays out.
    QVt::Pb::Configuration::File file;
    ktbridge::Configuration message;
    if (!file.load(configuration) || !message.ParseFromArray(file.body().constData(), file.body().size()))
        return QByteArray();
    if (message.wlan_interface().has_wlan())
        message.mutable_wlan_interface()->mutable_wlan()->clear_passphrase();
    if (message.bluetooth_interface().has_bluetooth())
        message.mutable_bluetooth_interface()->mutable_bluetooth()->clear_pin();
    const std::string body = message.SerializeAsString();
    return QVt::Pb::Configuration::File::compose(file.productId(), QByteArray(body.data(), int(body.size())));
}

QByteArray SupportArchive::details(AbstractDevice *device, const QString &deviceIdString)
{
    QByteArray text;
    appendLine(text, QStringLiteral("Date and time: %1\r\n"),
               QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")));
    text += "config.bgc: passphrase and PIN removed\r\n";
    text += "\r\n";
    text += "APPLICATION\r\n-----------\r\n";
    appendLine(text, QStringLiteral("Name: %1\r\n"), QCoreApplication::applicationName());
    appendLine(text, QStringLiteral("Version: %1\r\n"), QCoreApplication::applicationVersion());
    text += "\r\n";
    text += "DEVICE\r\n------\r\n";
    appendLine(text, QStringLiteral("ID string: %1\r\n"), deviceIdString);

    const QVt::Pb::Product::DeviceInfo *info = device->deviceInfo();
    if (!info) {
        text += "Device info: [NONE]\r\n";
        return text;
    }
    appendLine(text, QStringLiteral("Serial number: %1\r\n"), QString::number(info->serialNumber()));
    appendLine(text, QStringLiteral("Product code: %1\r\n"), QString::number(info->productCode(), 16));
    appendLine(text, QStringLiteral("Vendor ID: %1\r\n"), QString::number(info->vendorId(), 16));
    appendLine(text, QStringLiteral("Product group: %1\r\n"), QString::number(info->productGroup(), 16));
    const QDateTime manufactured =
        QDateTime::fromMSecsSinceEpoch(qint64(info->unixTimeOfManufacture()) * 1000, Qt::UTC);
    appendLine(text, QStringLiteral("UNIX time of manufacture: %1\r\n"),
               manufactured.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss 'UTC'")));

    if (const auto *wlan = networkDeviceInfo(device, "wlanInterface")) {
        appendLine(text, QStringLiteral("WLAN FW version: %1\r\n"), wlan->moduleVersion());
        appendLine(text, QStringLiteral("WLAN MAC address: %1\r\n"), wlan->mac());
    }
    if (const auto *bluetooth = networkDeviceInfo(device, "bluetoothInterface"))
        appendLine(text, QStringLiteral("Bluetooth MAC address: %1\r\n"), bluetooth->mac());
    return text;
}

} // namespace Sm
} // namespace QVt
