#include <qvtpb/networkConfig.h>

#include <qvtpb/networkDeviceInfo.h>

namespace QVt {
namespace Pb {
namespace Network {

Config::Config(QObject *parent)
    : AbstractMessage(parent)
    , mDeviceInfo(new DeviceInfo)
{
    adopt(mDeviceInfo);
}

DeviceInfo *Config::deviceInfo() const
{
    return mDeviceInfo;
}

} // namespace Network
} // namespace Pb
} // namespace QVt
