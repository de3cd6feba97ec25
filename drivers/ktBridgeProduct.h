// What tells the KT Bridge products apart: name, product IDs, wireless interfaces
// and factory configuration. Immutable descriptions with static lifetime, shared by
// the driver plug-ins and the device simulator; usable from any thread.
#pragma once

#include <qvtpb/ktBridgeConfiguration.h>

#include <QString>
#include <QStringList>

namespace QVt {
namespace Device {

class KtBridgeProduct
{
public:
    enum eModel {
        MODEL_CW,  // CAN and WLAN
        MODEL_CB,  // CAN and Bluetooth
        MODEL_CWB, // CAN, WLAN and Bluetooth
    };

    // What every unit leaves the factory with; anyone who has the manual knows them.
    static const QString FACTORY_PASSPHRASE;
    static const QString FACTORY_PIN;

    static const KtBridgeProduct &model(eModel model);
    // The product serving productId (lower-case hexadecimal), or null.
    static const KtBridgeProduct *find(const QString &productId);

    QString name() const;
    // Primary first; later ones are older hardware revisions.
    QStringList productIds() const;
    QVt::Pb::KtBridge::Configuration::Interfaces interfaces() const;

    // Sets every setting of a configuration made for this product to its factory
    // value; leaves the device-reported information alone.
    void applyFactorySettings(QVt::Pb::KtBridge::Configuration *configuration) const;

private:
    KtBridgeProduct(const QString &name, const QStringList &productIds,
                    QVt::Pb::KtBridge::Configuration::Interfaces interfaces);

    QString mName;
    QStringList mProductIds;
    QVt::Pb::KtBridge::Configuration::Interfaces mInterfaces;
};

} // namespace Device
} // namespace QVt
