// The whole configuration of a KT Bridge: the product's device information, the
// CAN side and, as the product has them, a WLAN and a Bluetooth interface. Creates
// and owns every nested wrapper as a QObject child; lives in its owner's thread.
//
// Use from a driver:
//     auto *config = new KtBridge::Configuration(KtBridge::Configuration::INTERFACE_WLAN, this);
//     connect(config, &AbstractMessage::edited, this, &Device::saveNeeded);
//     QByteArray file = Configuration::File::compose(productId, config->serialize());
//     Configuration::File reader;
//     if (reader.load(file)) config->parse(reader.body()); // or parseDeviceInfo()
// serialize() keeps the fields a newer schema added to the last parsed bytes.
#ifndef QVTPB_KTBRIDGECONFIGURATION_H
#define QVTPB_KTBRIDGECONFIGURATION_H

#include <qvtpb/abstractMessage.h>
#include <qvtpb/bluetoothConfig.h>
#include <qvtpb/canConfig.h>
#include <qvtpb/interfaceConfig.h>
#include <qvtpb/productDeviceInfo.h>
#include <qvtpb/wlanConfig.h>

#include <QByteArray>
#include <QFlags>

#include <memory>

namespace ktbridge {
class Configuration;
}

namespace QVt {
namespace Pb {
namespace KtBridge {

class QVTPB_EXPORT Configuration : public AbstractMessage
{
    Q_OBJECT
    Q_PROPERTY(QVt::Pb::Product::DeviceInfo *deviceInfo READ deviceInfo CONSTANT)
    Q_PROPERTY(QVt::Pb::Can::Config *can READ can CONSTANT)
    Q_PROPERTY(QVt::Pb::Interface::Config *wlanInterface READ wlanInterface CONSTANT)
    Q_PROPERTY(QVt::Pb::Interface::Config *bluetoothInterface READ bluetoothInterface CONSTANT)

public:
    enum eInterface {
        INTERFACE_WLAN = 0x1,
        INTERFACE_BLUETOOTH = 0x2,
    };
    Q_DECLARE_FLAGS(Interfaces, eInterface)
    Q_FLAG(Interfaces)

    // interfaces: the wireless interfaces the product has; the others stay null.
    explicit Configuration(Interfaces interfaces, QObject *parent = nullptr);
    ~Configuration() override;

    Product::DeviceInfo *deviceInfo() const;
    Can::Config *can() const;
    // Null when the product has no such interface.
    Interface::Config *wlanInterface() const;
    Interface::Config *bluetoothInterface() const;
    // The settings objects of those interfaces, typed; null likewise.
    Network::WlanConfig *wlan() const;
    Network::BluetoothConfig *bluetooth() const;

    // The configuration as protobuf bytes (the body of a configuration file).
    QByteArray serialize() const;
    // Replaces the whole configuration from protobuf bytes. Returns false, and
    // changes nothing, when they do not parse.
    bool parse(const QByteArray &body);
    // Takes from protobuf bytes only what the device reported about itself (product
    // and radio module information); the edited settings stay. False, and no
    // change, when they do not parse.
    bool parseDeviceInfo(const QByteArray &body);
    // Forgets what the device reported: zeros and empty texts.
    void resetDeviceInfo();

private:
    void readDeviceInfo(const ktbridge::Configuration &message);

    Product::DeviceInfo *mDeviceInfo;
    Can::Config *mCan;
    Interface::Config *mWlanInterface = nullptr;
    Interface::Config *mBluetoothInterface = nullptr;
    Network::WlanConfig *mWlan = nullptr;
    Network::BluetoothConfig *mBluetooth = nullptr;
    // The last parsed message; serialize() writes over a copy of it so that fields
    // unknown to this build survive a round trip.
    std::unique_ptr<ktbridge::Configuration> mParsed;
};

} // namespace KtBridge
} // namespace Pb
} // namespace QVt

Q_DECLARE_OPERATORS_FOR_FLAGS(QVt::Pb::KtBridge::Configuration::Interfaces)

#endif // QVTPB_KTBRIDGECONFIGURATION_H
