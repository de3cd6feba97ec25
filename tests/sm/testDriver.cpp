// The root object of a test driver plug-in: one device kind whose name and product IDs
// (comma-separated) come from the build.
#include "testDevice.h"

class TestDriver : public TestDevice
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QVt_Device_AbstractDevice_iid)

public:
    TestDriver()
        : TestDevice(QStringLiteral(TEST_DRIVER_NAME), QStringLiteral(TEST_DRIVER_IDS).split(QLatin1Char(',')))
    {
    }
};

#include "testDriver.moc"
