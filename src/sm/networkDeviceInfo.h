// What a device object's radio interfaces report about themselves (module version, MAC
// address), found through the interface methods a driver's device offers by name
// ("wlanInterface", "bluetoothInterface"), as not every driver has them. Free function
// only; owns nothing; GUI thread, where device objects live.
#pragma once

#include <qvtbusgate/abstractDevice.h>
#include <qvtpb/networkDeviceInfo.h>

namespace QVt {
namespace Sm {

// The network device information behind interfaceMethod of device, or null when the
// device has no such method or any link is missing.
const QVt::Pb::Network::DeviceInfo *networkDeviceInfo(QVt::Device::AbstractDevice *device,
                                                      const char *interfaceMethod);

} // namespace Sm
} // namespace QVt
