// A driver whose name and product IDs come from the build, for the scan cases that
// no real driver shows (an empty product ID, a name that another driver uses).
#include <qvtbusgate/abstractDevice.h>

class TestDriver : public QVt::Device::AbstractDevice
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QVt_Device_AbstractDevice_iid)

public:
    explicit TestDriver(QObject *parent = nullptr)
        : AbstractDevice(parent)
    {
    }

    QSharedPointer<AbstractDevice> newInstance() const override { return QSharedPointer<TestDriver>::create(); }
    QVt::Pb::Product::DeviceInfo *deviceInfo() const override { return nullptr; }
    QString name() const override { return QStringLiteral(TEST_DRIVER_NAME); }
    QStringList productIds() const override { return QStringLiteral(TEST_DRIVER_IDS).split(QLatin1Char(',')); }
    QUrl qmlPath() const override { return {}; }
    void updateDeviceInfo(const QByteArray &) override {}
    QByteArray serialize() const override { return {}; }
    bool deserialize(const QByteArray &) override { return false; }
};

#include "testDriver.moc"
