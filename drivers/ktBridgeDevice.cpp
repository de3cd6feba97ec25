#include "drivers/ktBridgeDevice.h"

#include <qvtpb/bluetoothConfig.h>
#include <qvtpb/configurationFile.h>
#include <qvtpb/interfaceConfig.h>
#include <qvtpb/productDeviceInfo.h>
#include <qvtpb/wlanConfig.h>

#include <QDebug>

namespace QVt {
namespace Device {

using QVt::Pb::Configuration::File;

KtBridgeDevice::KtBridgeDevice(const KtBridgeProduct &product, QObject *parent)
    : AbstractDevice(parent)
    , mProduct(product)
    , mConfiguration(new Pb::KtBridge::Configuration(product.interfaces(), this))
    , mProductId(product.productIds().value(0))
{
    mProduct.applyFactorySettings(mConfiguration);
    connect(mConfiguration, &Pb::AbstractMessage::edited, this, &AbstractDevice::saveNeeded);
    connect(mConfiguration->deviceInfo(), &Pb::Product::DeviceInfo::productCodeChanged, this,
            &KtBridgeDevice::onProductCodeChanged);
    if (Pb::Network::WlanConfig *wlan = mConfiguration->wlan()) {
        connect(wlan, &Pb::Network::WlanConfig::passphraseChanged, this, &KtBridgeDevice::factorySecretsChanged);
        connect(wlan, &Pb::Network::WlanConfig::securityChanged, this, &KtBridgeDevice::factorySecretsChanged);
    }
    if (Pb::Network::BluetoothConfig *bluetooth = mConfiguration->bluetooth())
        connect(bluetooth, &Pb::Network::BluetoothConfig::pinChanged, this, &KtBridgeDevice::factorySecretsChanged);
}

QSharedPointer<AbstractDevice> KtBridgeDevice::newInstance() const
{
    return QSharedPointer<KtBridgeDevice>::create(mProduct);
}

// A unit always reports a product code; a configuration made on the PC has none.
Pb::Product::DeviceInfo *KtBridgeDevice::deviceInfo() const
{
    return mHasDeviceInfo ? mConfiguration->deviceInfo() : nullptr;
}

QString KtBridgeDevice::name() const
{
    return mProduct.name();
}

QStringList KtBridgeDevice::productIds() const
{
    return mProduct.productIds();
}

QUrl KtBridgeDevice::qmlPath() const
{
    return QUrl(QStringLiteral("qrc:/ktbridge/DevicePage.qml"));
}

void KtBridgeDevice::updateDeviceInfo(const QByteArray &configuration)
{
    if (!configuration.isEmpty()) {
        File file;
        if (!file.load(configuration)) {
            qWarning() << "Device information not taken; the configuration does not load:" << file.loadError();
        } else if (!mProduct.productIds().contains(file.productId())) {
            qWarning() << "Device information not taken; the configuration is for product ID" << file.productId();
        } else if (mConfiguration->parseDeviceInfo(file.body())) {
            return;
        }
    }
    mConfiguration->resetDeviceInfo();
}

QByteArray KtBridgeDevice::serialize() const
{
    return File::compose(mProductId, mConfiguration->serialize());
}

bool KtBridgeDevice::deserialize(const QByteArray &data)
{
    File file;
    if (!file.load(data)) {
        emit loadError(file.loadError());
        return false;
    }
    if (!mProduct.productIds().contains(file.productId())) {
        qWarning() << "Configuration not loaded; it is for product ID" << file.productId() << "not for" << name();
        emit loadError(File::LOAD_ERROR_PARSE);
        return false;
    }
    if (!mConfiguration->parse(file.body())) {
        emit loadError(File::LOAD_ERROR_PARSE);
        return false;
    }
    mProductId = file.productId();
    return true;
}

Pb::Can::Config *KtBridgeDevice::can() const
{
    return mConfiguration->can();
}

Pb::AbstractMessage *KtBridgeDevice::wlanInterface() const
{
    return mConfiguration->wlanInterface();
}

Pb::AbstractMessage *KtBridgeDevice::bluetoothInterface() const
{
    return mConfiguration->bluetoothInterface();
}

QString KtBridgeDevice::productId() const
{
    return mProductId;
}

bool KtBridgeDevice::factoryPassphraseInUse() const
{
    const Pb::Network::WlanConfig *wlan = mConfiguration->wlan();
    return wlan && wlan->security() != Pb::Network::WlanConfig::SECURITY_OPEN
        && wlan->passphrase() == KtBridgeProduct::FACTORY_PASSPHRASE;
}

bool KtBridgeDevice::factoryPinInUse() const
{
    const Pb::Network::BluetoothConfig *bluetooth = mConfiguration->bluetooth();
    return bluetooth && bluetooth->pin() == KtBridgeProduct::FACTORY_PIN;
}

void KtBridgeDevice::onProductCodeChanged()
{
    const bool hasDeviceInfo = mConfiguration->deviceInfo()->productCode() != 0;
    if (hasDeviceInfo == mHasDeviceInfo)
        return;
    mHasDeviceInfo = hasDeviceInfo;
    emit deviceInfoChanged();
}

} // namespace Device
} // namespace QVt
