#include <qvtpb/networkDeviceInfo.h>

#include "ktbridge.pb.h"

namespace QVt {
namespace Pb {
namespace Network {

DeviceInfo::DeviceInfo(QObject *parent)
    : AbstractMessage(parent)
{
}

QString DeviceInfo::moduleVersion() const { return mModuleVersion; }
QString DeviceInfo::mac() const { return mMac; }

void DeviceInfo::setModuleVersion(const QString &moduleVersion)
{
    edit(mModuleVersion, moduleVersion, &DeviceInfo::moduleVersionChanged);
}

void DeviceInfo::setMac(const QString &mac)
{
    edit(mMac, mac, &DeviceInfo::macChanged);
}

void DeviceInfo::read(const ktbridge::NetworkDeviceInfo &message)
{
    assign(mModuleVersion, QString::fromStdString(message.module_version()),
           &DeviceInfo::moduleVersionChanged);
    assign(mMac, QString::fromStdString(message.mac()), &DeviceInfo::macChanged);
}

void DeviceInfo::write(ktbridge::NetworkDeviceInfo *message) const
{
    message->set_module_version(mModuleVersion.toStdString());
    message->set_mac(mMac.toStdString());
}

} // namespace Network
} // namespace Pb
} // namespace QVt
