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
const QString FACTORY_ACCESS_POINT_ADDRESS = QStringLiteral("192.168.4.1");
const QString FACTORY_ACCESS_POINT_NETMASK = QStringLiteral("255.255.255.0");
constexpr quint32 FACTORY_ACCESS_POINT_CHANNEL = 6;
constexpr quint32 FACTORY_CAN_SERVICE_PORT = 20001;
constexpr quint32 FACTORY_BIT_RATE = 500000;
constexpr quint32 FACTORY_SAMPLE_POINT = 875;

} // namespace

const QString KtBridgeProduct::FACTORY_PASSPHRASE = QStringLiteral("ktbridge-setup");
const QString KtBridgeProduct::FACTORY_PIN = QStringLiteral("1234");

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
    can->setBitRate(FACTORY_BIT_RATE);
    can->setSamplePoint(FACTORY_SAMPLE_POINT);
    can->setListenOnly(false);
    can->setTermination(false);
    while (can->filterCount() > 0)
        can->removeFilter(can->filterCount() - 1);

    if (Pb::Network::WlanConfig *wlan = configuration->wlan()) {
        configuration->wlanInterface()->setEnabled(true);
        wlan->setMode(Pb::Network::WlanConfig::MODE_ACCESS_POINT);
        // "KT Bridge CWB" offers the network "KT-Bridge-CWB".
        wlan->setSsid(QString(mName).replace(QLatin1Char(' '), QLatin1Char('-')));
        wlan->setSecurityAndPassphrase(Pb::Network::WlanConfig::SECURITY_WPA2_PSK, FACTORY_PASSPHRASE);
        wlan->setChannel(FACTORY_ACCESS_POINT_CHANNEL);
        wlan->setStaticAddress(FACTORY_ACCESS_POINT_ADDRESS, FACTORY_ACCESS_POINT_NETMASK, QString());
        wlan->setTcpPort(FACTORY_CAN_SERVICE_PORT);
    }

    if (Pb::Network::BluetoothConfig *bluetooth = configuration->bluetooth()) {
        configuration->bluetoothInterface()->setEnabled(true);
        bluetooth->setDeviceName(mName);
        bluetooth->setPin(FACTORY_PIN);
        bluetooth->setDiscoverable(true);
    }
}

} // namespace Device
} // namespace QVt
