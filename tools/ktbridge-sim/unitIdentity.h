#pragma once

#include <QByteArray>
#include <QString>

namespace QVt::Device {
class KtBridgeProduct;
}

namespace QVt::Pb::KtBridge {
class Configuration;
}

namespace QVt::Sim {

// Who the simulated unit is: its product and what it reports about itself (serial number,
// product code, manufacture time, radio module versions and MAC addresses). Builds the
// configuration bytes such a unit leaves the factory with. Plain value type; refers to a
// product description of static lifetime.
class UnitIdentity
{
public:
    UnitIdentity(const Device::KtBridgeProduct &product, const QString &productId, quint32 serialNumber,
                 const QString &wlanMac, const QString &bluetoothMac);

    // The product's factory settings with this unit's information.
    QByteArray factoryConfiguration() const;

private:
    void fillIn(Pb::KtBridge::Configuration *configuration) const;

    const Device::KtBridgeProduct &mProduct;
    QString mProductId;
    quint32 mSerialNumber;
    QString mWlanMac;
    QString mBluetoothMac;
};

} // namespace QVt::Sim
