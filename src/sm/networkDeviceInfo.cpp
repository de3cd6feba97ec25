#include "sm/networkDeviceInfo.h"

#include <qvtpb/abstractMessage.h>
#include <qvtpb/interfaceConfig.h>
#include <qvtpb/networkConfig.h>

namespace QVt {
namespace Sm {

const QVt::Pb::Network::DeviceInfo *networkDeviceInfo(QVt::Device::AbstractDevice *device,
                                                      const char *interfaceMethod)
{
    const QByteArray signature = QByteArray(interfaceMethod) + "()";
    if (device->metaObject()->indexOfMethod(signature.constData()) < 0)
        return nullptr;
    QVt::Pb::AbstractMessage *message = nullptr;
    if (!QMetaObject::invokeMethod(device, interfaceMethod, Qt::AutoConnection,
                                   Q_RETURN_ARG(QVt::Pb::AbstractMessage *, message)))
        return nullptr;
    const auto *interfaceConfig = qobject_cast<const QVt::Pb::Interface::Config *>(message);
    if (!interfaceConfig)
        return nullptr;
    const auto *networkConfig = qobject_cast<const QVt::Pb::Network::Config *>(interfaceConfig->object());
    if (!networkConfig)
        return nullptr;
    return networkConfig->deviceInfo();
}

} // namespace Sm
} // namespace QVt
