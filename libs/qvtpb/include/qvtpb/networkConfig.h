// Base of the settings of a wireless interface (WLAN, Bluetooth): holds the radio
// module's reported DeviceInfo (owned, a QObject child) and reads and writes the
// settings of its kind. Owned by its Interface::Config; lives in its owner's thread.
#ifndef QVTPB_NETWORKCONFIG_H
#define QVTPB_NETWORKCONFIG_H

#include <qvtpb/abstractMessage.h>
#include <qvtpb/networkDeviceInfo.h>

namespace ktbridge {
class InterfaceConfig;
}

namespace QVt {
namespace Pb {
namespace Network {

class QVTPB_EXPORT Config : public AbstractMessage
{
    Q_OBJECT
    Q_PROPERTY(QVt::Pb::Network::DeviceInfo *deviceInfo READ deviceInfo CONSTANT)

public:
    DeviceInfo *deviceInfo() const;

    // Loading (no edited()) and storing of the settings of this kind, used by the
    // enclosing Interface::Config; the device information is read and written there.
    virtual void read(const ktbridge::InterfaceConfig &message) = 0;
    virtual void write(ktbridge::InterfaceConfig *message) const = 0;

protected:
    explicit Config(QObject *parent = nullptr);

private:
    DeviceInfo *mDeviceInfo;
};

} // namespace Network
} // namespace Pb
} // namespace QVt

#endif // QVTPB_NETWORKCONFIG_H
