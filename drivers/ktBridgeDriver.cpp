// The root object of one KT Bridge driver plug-in; the build picks the product.
#include "drivers/ktBridgeDevice.h"

namespace QVt {
namespace Device {

class KtBridgeDriver : public KtBridgeDevice
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QVt_Device_AbstractDevice_iid)

public:
    KtBridgeDriver()
        : KtBridgeDevice(KtBridgeProduct::model(KtBridgeProduct::KTBRIDGE_MODEL))
    {
    }
};

} // namespace Device
} // namespace QVt

#include "ktBridgeDriver.moc"
