#include <qvtpb/ktBridgeConfiguration.h>

#include <qvtpb/bluetoothConfig.h>
#include <qvtpb/canConfig.h>
#include <qvtpb/interfaceConfig.h>
#include <qvtpb/productDeviceInfo.h>
#include <qvtpb/wlanConfig.h>

#include "ktbridge.pb.h"

namespace QVt {
namespace Pb {
namespace KtBridge {

Configuration::Configuration(Interfaces interfaces, QObject *parent)
    : AbstractMessage(parent)
    , mDeviceInfo(new Product::DeviceInfo)
    , mCan(new Can::Config)
    , mParsed(std::make_unique<ktbridge::Configuration>())
{
    adopt(mDeviceInfo);
    adopt(mCan);
    if (interfaces.testFlag(INTERFACE_WLAN)) {
        mWlan = new Network::WlanConfig;
        mWlanInterface = new Interface::Config(mWlan);
        adopt(mWlanInterface);
    }
    if (interfaces.testFlag(INTERFACE_BLUETOOTH)) {
        mBluetooth = new Network::BluetoothConfig;
        mBluetoothInterface = new Interface::Config(mBluetooth);
        adopt(mBluetoothInterface);
    }
}

Configuration::~Configuration() = default;

Product::DeviceInfo *Configuration::deviceInfo() const { return mDeviceInfo; }
Can::Config *Configuration::can() const { return mCan; }
Interface::Config *Configuration::wlanInterface() const { return mWlanInterface; }
Interface::Config *Configuration::bluetoothInterface() const { return mBluetoothInterface; }
Network::WlanConfig *Configuration::wlan() const { return mWlan; }
Network::BluetoothConfig *Configuration::bluetooth() const { return mBluetooth; }

QByteArray Configuration::serialize() const
{
    ktbridge::Configuration message(*mParsed);
    mDeviceInfo->write(message.mutable_device_info());
    mCan->write(message.mutable_can());
    if (mWlanInterface)
        mWlanInterface->write(message.mutable_wlan_interface());
    else
        message.clear_wlan_interface();
    if (mBluetoothInterface)
        mBluetoothInterface->write(message.mutable_bluetooth_interface());
    else
        message.clear_bluetooth_interface();

    QByteArray bytes(int(message.ByteSizeLong()), Qt::Uninitialized);
    message.SerializeToArray(bytes.data(), bytes.size());
    return bytes;
}

bool Configuration::parse(const QByteArray &body)
{
    auto message = std::make_unique<ktbridge::Configuration>();
    if (!message->ParseFromArray(body.constData(), body.size()))
        return false;
    mDeviceInfo->read(message->device_info());
    mCan->read(message->can());
    if (mWlanInterface)
        mWlanInterface->read(message->wlan_interface());
    if (mBluetoothInterface)
        mBluetoothInterface->read(message->bluetooth_interface());
    mParsed = std::move(message);
    return true;
}

bool Configuration::parseDeviceInfo(const QByteArray &body)
{
    ktbridge::Configuration message;
    if (!message.ParseFromArray(body.constData(), body.size()))
        return false;
    readDeviceInfo(message);
    return true;
}

void Configuration::resetDeviceInfo()
{
    readDeviceInfo(ktbridge::Configuration());
}

void Configuration::readDeviceInfo(const ktbridge::Configuration &message)
{
    mDeviceInfo->read(message.device_info());
    if (mWlanInterface)
        mWlanInterface->readDeviceInfo(message.wlan_interface());
    if (mBluetoothInterface)
        mBluetoothInterface->readDeviceInfo(message.bluetooth_interface());
}

} // namespace KtBridge
} // namespace Pb
} // namespace QVt
