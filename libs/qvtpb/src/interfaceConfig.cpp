#include <qvtpb/interfaceConfig.h>

#include <qvtpb/networkConfig.h>
#include <qvtpb/networkDeviceInfo.h>

#include "ktbridge.pb.h"

namespace QVt {
namespace Pb {
namespace Interface {

Config::Config(Network::Config *object, QObject *parent)
    : AbstractMessage(parent)
    , mObject(object)
{
    adopt(mObject);
}

bool Config::enabled() const
{
    return mEnabled;
}

void Config::setEnabled(bool enabled)
{
    edit(mEnabled, enabled, &Config::enabledChanged);
}

AbstractMessage *Config::object() const
{
    return mObject;
}

void Config::read(const ktbridge::InterfaceConfig &message)
{
    assign(mEnabled, message.enabled(), &Config::enabledChanged);
    readDeviceInfo(message);
    mObject->read(message);
}

void Config::readDeviceInfo(const ktbridge::InterfaceConfig &message)
{
    mObject->deviceInfo()->read(message.device_info());
}

void Config::write(ktbridge::InterfaceConfig *message) const
{
    message->set_enabled(mEnabled);
    mObject->deviceInfo()->write(message->mutable_device_info());
    mObject->write(message);
}

} // namespace Interface
} // namespace Pb
} // namespace QVt
