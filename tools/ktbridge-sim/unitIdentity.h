#pragma once

#include <QByteArray>
#include <QString>

namespace QVt {
namespace Device {
class KtBridgeProduct;
} // namespace Device
} // namespace QVt

namespace QVt {
namespace Pb {
namespace KtBridge {
class Configuration;
} // namespace KtBridge
} // namespace Pb
} // namespace QVt

namespace QVt {
namespace Sim {

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

} // namespace Sim
} // namespace QVt
