// One wireless interface of a device: whether it is enabled, and its settings
// object (a Network::Config such as WlanConfig or BluetoothConfig), which it owns
// as a QObject child. Owned by its KtBridge::Configuration; lives in its owner's thread.
#ifndef QVTPB_INTERFACECONFIG_H
#define QVTPB_INTERFACECONFIG_H

#include <qvtpb/abstractMessage.h>
#include <qvtpb/networkConfig.h>

namespace ktbridge {
class InterfaceConfig;
}

namespace QVt {
namespace Pb {
namespace Interface {

class QVTPB_EXPORT Config : public AbstractMessage
{
    Q_OBJECT
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(QVt::Pb::AbstractMessage *object READ object CONSTANT)

public:
    // Takes ownership of object, which must not be null.
    explicit Config(Network::Config *object, QObject *parent = nullptr);

    bool enabled() const;
    void setEnabled(bool enabled);

    // The interface's settings, a Network::Config.
    AbstractMessage *object() const;

    // Loading (no edited()) and storing, used by the enclosing message;
    // readDeviceInfo() takes only what the radio module reported.
    void read(const ktbridge::InterfaceConfig &message);
    void readDeviceInfo(const ktbridge::InterfaceConfig &message);
    void write(ktbridge::InterfaceConfig *message) const;

signals:
    void enabledChanged();

private:
    Network::Config *mObject;
    bool mEnabled = false;
};

} // namespace Interface
} // namespace Pb
} // namespace QVt

#endif // QVTPB_INTERFACECONFIG_H
