// The root object of the test driver plug-in: one device kind serving two product IDs.
#include "testDevice.h"

class TestDriver : public TestDevice
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QVt_Device_AbstractDevice_iid)

public:
    TestDriver()
        : TestDevice(QStringLiteral("Test A"), {QStringLiteral("0000000000a1"), QStringLiteral("0000000000a2")})
    {
    }
};

#include "testDriver.moc"
