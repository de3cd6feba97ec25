#include <qvtpb/utilities.h>

#include <qvtpb/bluetoothConfig.h>
#include <qvtpb/canConfig.h>
#include <qvtpb/configurationFile.h>
#include <qvtpb/interfaceConfig.h>
#include <qvtpb/ktBridgeConfiguration.h>
#include <qvtpb/networkDeviceInfo.h>
#include <qvtpb/productDeviceInfo.h>
#include <qvtpb/wlanConfig.h>

#include <QMetaType>
#include <QtQml>

namespace QVt {
namespace Pb {

namespace {

const char *const MODULE = "com.vtcan.qvt.pb";
constexpr int MAJOR_VERSION = 1;
constexpr int MINOR_VERSION = 0;

template<typename T>
void registerUncreatable(const char *name)
{
    qmlRegisterUncreatableType<T>(MODULE, MAJOR_VERSION, MINOR_VERSION, name,
                                  QStringLiteral("%1 objects come from a device").arg(QLatin1String(name)));
}

} // namespace

void Utilities::registerQmlTypes()
{
    registerUncreatable<AbstractMessage>("AbstractMessage");
    registerUncreatable<Product::DeviceInfo>("ProductDeviceInfo");
    registerUncreatable<Network::DeviceInfo>("NetworkDeviceInfo");
    registerUncreatable<Network::Config>("NetworkConfig");
    registerUncreatable<Network::WlanConfig>("WlanConfig");
    registerUncreatable<Network::BluetoothConfig>("BluetoothConfig");
    registerUncreatable<Interface::Config>("InterfaceConfig");
    registerUncreatable<Can::Filter>("CanFilter");
    registerUncreatable<Can::Config>("CanConfig");
    registerUncreatable<KtBridge::Configuration>("KtBridgeConfiguration");
    registerUncreatable<Configuration::File>("ConfigurationFile");
}

void Utilities::registerMetaTypes()
{
    qRegisterMetaType<Configuration::File::LOAD_ERROR>("QVt::Pb::Configuration::File::LOAD_ERROR");
    qRegisterMetaType<AbstractMessage *>("QVt::Pb::AbstractMessage *");
    qRegisterMetaType<Product::DeviceInfo *>("QVt::Pb::Product::DeviceInfo *");
    qRegisterMetaType<Network::DeviceInfo *>("QVt::Pb::Network::DeviceInfo *");
    qRegisterMetaType<Interface::Config *>("QVt::Pb::Interface::Config *");
    qRegisterMetaType<Can::Config *>("QVt::Pb::Can::Config *");
    qRegisterMetaType<Can::Filter *>("QVt::Pb::Can::Filter *");
}

} // namespace Pb
} // namespace QVt
