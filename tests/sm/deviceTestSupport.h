// Helpers for the tests with real drivers beside them: factory configurations, one with what
// a unit reports about itself, whole-file reads and writes. Header-only; GUI thread.
#pragma once

#include "device/deviceFactory.h"

#include <qvtpb/configurationFile.h>
#include <qvtpb/interfaceConfig.h>
#include <qvtpb/ktBridgeConfiguration.h>
#include <qvtpb/networkConfig.h>
#include <qvtpb/networkDeviceInfo.h>
#include <qvtpb/productDeviceInfo.h>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace DeviceTestSupport {

const QString PRODUCT_CWB = QStringLiteral("0000c0de0003");
const QString PRODUCT_CB = QStringLiteral("0000c0de0002");
const QString ID_STRING = QStringLiteral("KT Bridge boot loader 1.4");
constexpr int CONFIGURATION_HEADER_SIZE = 22; // the body of a configuration follows it
const QString WLAN_FIRMWARE = QStringLiteral("wlan-fw 2.7.1");
const QString WLAN_MAC = QStringLiteral("02:00:5e:10:00:01");
const QString BLUETOOTH_MAC = QStringLiteral("02:00:5e:20:00:02");

inline QByteArray factoryConfiguration(const QString &productId)
{
    const auto device = QVt::Device::DeviceFactory::instance()->createDevice(productId);
    return device ? device->serialize() : QByteArray();
}

inline QVt::Pb::Network::DeviceInfo *networkInfo(QVt::Pb::Interface::Config *interfaceConfig)
{
    auto *network = qobject_cast<QVt::Pb::Network::Config *>(interfaceConfig->object());
    return network ? network->deviceInfo() : nullptr;
}

// The factory configuration of a KT Bridge CWB as the unit itself holds it: serial
// number 42, product code 0xabc, vendor 0xc0de, group 3, made at 0 s, radio modules.
inline QByteArray reportedCwbConfiguration()
{
    using QVt::Pb::KtBridge::Configuration;
    Configuration configuration(Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH);
    if (!configuration.parse(factoryConfiguration(PRODUCT_CWB).mid(CONFIGURATION_HEADER_SIZE)))
        return QByteArray();
    configuration.deviceInfo()->setSerialNumber(42);
    configuration.deviceInfo()->setProductCode(0xABC);
    configuration.deviceInfo()->setVendorId(0xC0DE);
    configuration.deviceInfo()->setProductGroup(0x3);
    configuration.deviceInfo()->setUnixTimeOfManufacture(0);
    QVt::Pb::Network::DeviceInfo *wlan = networkInfo(configuration.wlanInterface());
    QVt::Pb::Network::DeviceInfo *bluetooth = networkInfo(configuration.bluetoothInterface());
    if (!wlan || !bluetooth)
        return QByteArray();
    wlan->setModuleVersion(WLAN_FIRMWARE);
    wlan->setMac(WLAN_MAC);
    bluetooth->setMac(BLUETOOTH_MAC);
    return QVt::Pb::Configuration::File::compose(PRODUCT_CWB, configuration.serialize());
}

// What an autoflash run writes: the file's settings carrying what the unit reported about
// itself in unit (nothing, when those bytes do not load); empty when file does not load.
inline QByteArray flashedConfiguration(const QByteArray &file, const QByteArray &unit)
{
    const auto device = QVt::Device::DeviceFactory::instance()->createDevice(PRODUCT_CWB);
    if (!device || !device->deserialize(file))
        return QByteArray();
    device->updateDeviceInfo(unit);
    return device->serialize();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace DeviceTestSupport
