#include "drivers/ktBridgeProduct.h"

#include <qvtpb/bluetoothConfig.h>
#include <qvtpb/canConfig.h>
#include <qvtpb/interfaceConfig.h>
#include <qvtpb/wlanConfig.h>

#include <array>

namespace QVt {
namespace Device {

using QVt::Pb::KtBridge::Configuration;

namespace {

// The access point of a unit fresh from the factory; the user joins it to reach
// the CAN service before choosing a network of their own.
const QString FactoryPassphrase = QStringLiteral("ktbridge-setup");
const QString FactoryAccessPointAddress = QStringLiteral("192.168.4.1");
const QString FactoryAccessPointNetmask = QStringLiteral("255.255.255.0");
constexpr quint32 FactoryAccessPointChannel = 6;
constexpr quint32 FactoryCanServicePort = 20001;
const QString FactoryBluetoothPin = QStringLiteral("1234");

} // namespace

KtBridgeProduct::KtBridgeProduct(const QString &name, const QStringList &productIds,
                                 Configuration::Interfaces interfaces)
    : mName(name)
    , mProductIds(productIds)
    , mInterfaces(interfaces)
{
}

const KtBridgeProduct &KtBridgeProduct::model(eModel model)
{
    static const std::array<KtBridgeProduct, 3> products = {
        KtBridgeProduct(QStringLiteral("KT Bridge CW"), {QStringLiteral("0000c0de0001"), QStringLiteral("0000c0de0011")},
                        Configuration::INTERFACE_WLAN),
        KtBridgeProduct(QStringLiteral("KT Bridge CB"), {QStringLiteral("0000c0de0002")},
                        Configuration::INTERFACE_BLUETOOTH),
        KtBridgeProduct(QStringLiteral("KT Bridge CWB"), {QStringLiteral("0000c0de0003")},
                        Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH),
    };
    return products.at(model);
}

const KtBridgeProduct *KtBridgeProduct::find(const QString &productId)
{
    for (eModel m : {MODEL_CW, MODEL_CB, MODEL_CWB}) {
        if (model(m).productIds().contains(productId))
            return &model(m);
    }
    return nullptr;
}

QString KtBridgeProduct::name() const
{
    return mName;
}

QStringList KtBridgeProduct::productIds() const
{
    return mProductIds;
}

Configuration::Interfaces KtBridgeProduct::interfaces() const
{
    return mInterfaces;
}

void KtBridgeProduct::applyFactorySettings(Configuration *configuration) const
{
    Pb::Can::Config *can = configuration->can();
    can->setBitRate(Pb::Can::Config::BIT_RATE_500K);
    can->setSamplePoint(875);
    can->setListenOnly(false);
    can->setTermination(false);
    while (can->filterCount() > 0)
        can->removeFilter(can->filterCount() - 1);

    if (Pb::Network::WlanConfig *wlan = configuration->wlan()) {
        configuration->wlanInterface()->setEnabled(true);
        wlan->setMode(Pb::Network::WlanConfig::MODE_ACCESS_POINT);
        // "KT Bridge CWB" offers the network "KT-Bridge-CWB".
        wlan->setSsid(QString(mName).replace(QLatin1Char(' '), QLatin1Char('-')));
        wlan->setSecurity(Pb::Network::WlanConfig::SECURITY_WPA2_PSK);
        wlan->setPassphrase(FactoryPassphrase);
        wlan->setChannel(FactoryAccessPointChannel);
        wlan->setIpMode(Pb::Network::WlanConfig::IP_MODE_STATIC);
        wlan->setIpAddress(FactoryAccessPointAddress);
        wlan->setNetmask(FactoryAccessPointNetmask);
        wlan->setGateway(QString());
        wlan->setTcpPort(FactoryCanServicePort);
    }

    if (Pb::Network::BluetoothConfig *bluetooth = configuration->bluetooth()) {
        configuration->bluetoothInterface()->setEnabled(true);
        bluetooth->setDeviceName(mName);
        bluetooth->setPin(FactoryBluetoothPin);
        bluetooth->setDiscoverable(true);
    }
}

} // namespace Device
} // namespace QVt
