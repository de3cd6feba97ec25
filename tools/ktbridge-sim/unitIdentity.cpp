#include "unitIdentity.h"

#include "drivers/ktBridgeProduct.h"

#include <qvtpb/configurationFile.h>
#include <qvtpb/ktBridgeConfiguration.h>
#include <qvtpb/networkDeviceInfo.h>
#include <qvtpb/productDeviceInfo.h>

namespace QVt {
namespace Sim {

namespace {

using Pb::Configuration::File;
using Pb::KtBridge::Configuration;

// Every unit of the family left the factory on 2025-12-01 with these module firmwares.
constexpr qint64 UNIX_TIME_OF_MANUFACTURE = 1764547200;
constexpr quint32 PRODUCT_GROUP = 1;
const QString WLAN_MODULE_VERSION = QStringLiteral("2.4.1");
const QString BLUETOOTH_MODULE_VERSION = QStringLiteral("1.9.3");

// A MAC address derived from the serial number, distinct for each of the unit's radios:
// locally administered (02), then "KT", then the serial number's low bytes.
QString defaultMac(quint32 serialNumber, int radio)
{
    const quint32 device = (serialNumber * 2 + quint32(radio)) & 0xFFFFFF;
    return QStringLiteral("02:4B:54:%1:%2:%3")
        .arg(device >> 16, 2, 16, QLatin1Char('0'))
        .arg((device >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg(device & 0xFF, 2, 16, QLatin1Char('0'))
        .toUpper();
}

} // namespace

UnitIdentity::UnitIdentity(const Device::KtBridgeProduct &product, const QString &productId, quint32 serialNumber,
                           const QString &wlanMac, const QString &bluetoothMac)
    : mProduct(product)
    , mProductId(productId)
    , mSerialNumber(serialNumber)
    , mWlanMac(wlanMac.isEmpty() ? defaultMac(serialNumber, 0) : wlanMac.toUpper())
    , mBluetoothMac(bluetoothMac.isEmpty() ? defaultMac(serialNumber, 1) : bluetoothMac.toUpper())
{
}

QByteArray UnitIdentity::factoryConfiguration() const
{
    Configuration configuration(mProduct.interfaces());
    mProduct.applyFactorySettings(&configuration);
    fillIn(&configuration);
    return File::compose(mProductId, configuration.serialize());
}

void UnitIdentity::fillIn(Configuration *configuration) const
{
    const QStringList ids = mProduct.productIds();
    Pb::Product::DeviceInfo *info = configuration->deviceInfo();
    // The product ID is vendor (upper half) and product code (lower 16 bits).
    const quint64 productId = mProductId.toULongLong(nullptr, 16);
    info->setVendorId(quint32(productId >> 16));
    info->setProductCode(quint32(productId & 0xFFFF));
    // Later IDs in the product's list are older hardware revisions.
    info->setRevisionNumber(quint32(ids.size() - ids.indexOf(mProductId)));
    info->setSerialNumber(mSerialNumber);
    info->setProductGroup(PRODUCT_GROUP);
    info->setUnixTimeOfManufacture(UNIX_TIME_OF_MANUFACTURE);
    if (Pb::Network::WlanConfig *wlan = configuration->wlan()) {
        wlan->deviceInfo()->setModuleVersion(WLAN_MODULE_VERSION);
        wlan->deviceInfo()->setMac(mWlanMac);
    }
    if (Pb::Network::BluetoothConfig *bluetooth = configuration->bluetooth()) {
        bluetooth->deviceInfo()->setModuleVersion(BLUETOOTH_MODULE_VERSION);
        bluetooth->deviceInfo()->setMac(mBluetoothMac);
    }
}

} // namespace Sim
} // namespace QVt
