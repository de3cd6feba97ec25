// Helpers for the tests that talk to ktbridge-sim: factory configurations from the
// drivers beside the test, a configuration with what a unit reports about itself, the
// simulator's verbose frame lines, and whole-file reads and writes. Header-only; used
// on the test's GUI thread.
#pragma once

#include "comms/protocol/bootProtocol.h"
#include "device/deviceFactory.h"

#include <qvtbusgate/abstractDevice.h>
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

// Header size of the configuration byte format: the body follows it.
constexpr int CONFIGURATION_HEADER_SIZE = 22;

// What the simulated unit reports about itself.
constexpr quint32 SERIAL_NUMBER = 42;
constexpr quint32 PRODUCT_CODE = 0xABC;
constexpr quint32 VENDOR_ID = 0xC0DE;
constexpr quint32 PRODUCT_GROUP = 0x3;
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

// The factory configuration of a KT Bridge CWB as the unit itself holds it: with
// product and radio module information.
inline QByteArray reportedCwbConfiguration()
{
    using QVt::Pb::KtBridge::Configuration;
    Configuration configuration(Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH);
    if (!configuration.parse(factoryConfiguration(PRODUCT_CWB).mid(CONFIGURATION_HEADER_SIZE)))
        return QByteArray();
    configuration.deviceInfo()->setSerialNumber(SERIAL_NUMBER);
    configuration.deviceInfo()->setProductCode(PRODUCT_CODE);
    configuration.deviceInfo()->setVendorId(VENDOR_ID);
    configuration.deviceInfo()->setProductGroup(PRODUCT_GROUP);
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

// The line the simulator's --verbose log shows for a frame it received.
inline QByteArray receivedLine(const QByteArray &frame)
{
    return "rx " + frame.toHex(' ').toUpper() + '\n';
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
