// The device object of every KT Bridge product: the configuration being edited
// for one product, plus what the connected unit reported about itself (which
// travels inside the same configuration). Owns its configuration messages as
// QObject children; refers to its product description, which outlives it.
// Lives on the GUI thread.
#pragma once

#include "drivers/ktBridgeProduct.h"

#include <qvtbusgate/abstractDevice.h>

#include <qvtpb/canConfig.h>
#include <qvtpb/ktBridgeConfiguration.h>

namespace QVt {
namespace Device {

class KtBridgeDevice : public AbstractDevice
{
    Q_OBJECT
    Q_PROPERTY(QVt::Pb::Can::Config *can READ can CONSTANT)
    Q_PROPERTY(QVt::Pb::AbstractMessage *wlanInterface READ wlanInterface CONSTANT)
    Q_PROPERTY(QVt::Pb::AbstractMessage *bluetoothInterface READ bluetoothInterface CONSTANT)
    // True while the WLAN, secured, or the Bluetooth interface still uses the secret
    // every unit leaves the factory with: anyone nearby may know it.
    Q_PROPERTY(bool factoryPassphraseInUse READ factoryPassphraseInUse NOTIFY factorySecretsChanged)
    Q_PROPERTY(bool factoryPinInUse READ factoryPinInUse NOTIFY factorySecretsChanged)

public:
    // Starts with the product's factory configuration and no reported information.
    explicit KtBridgeDevice(const KtBridgeProduct &product, QObject *parent = nullptr);

    QSharedPointer<AbstractDevice> newInstance() const override;
    QVt::Pb::Product::DeviceInfo *deviceInfo() const override;
    QString name() const override;
    QStringList productIds() const override;
    QUrl qmlPath() const override;
    void updateDeviceInfo(const QByteArray &configuration) override;

    QByteArray serialize() const override;
    bool deserialize(const QByteArray &data) override;

    QVt::Pb::Can::Config *can() const;
    // Interface::Config objects, or null for an interface the product lacks.
    Q_INVOKABLE QVt::Pb::AbstractMessage *wlanInterface() const;
    Q_INVOKABLE QVt::Pb::AbstractMessage *bluetoothInterface() const;

    // The product ID the configuration is for: the primary one until a
    // configuration for another of this product's IDs is loaded.
    QString productId() const;

    bool factoryPassphraseInUse() const;
    bool factoryPinInUse() const;

signals:
    void factorySecretsChanged();

private:
    void onProductCodeChanged();

    const KtBridgeProduct &mProduct;
    QVt::Pb::KtBridge::Configuration *mConfiguration;
    QString mProductId;
    bool mHasDeviceInfo = false;
};

} // namespace Device
} // namespace QVt
