#include <qvtbusgate/abstractDevice.h>

#include <QtTest>

using QVt::Device::AbstractDevice;

// Records what the base class asks of a driver.
class RecordingDevice : public AbstractDevice
{
    Q_OBJECT

public:
    explicit RecordingDevice(const QStringList &productIds)
        : mProductIds(productIds)
    {
    }

    QSharedPointer<AbstractDevice> newInstance() const override { return {}; }
    QVt::Pb::Product::DeviceInfo *deviceInfo() const override { return nullptr; }
    QString name() const override { return QStringLiteral("Recording"); }
    QStringList productIds() const override { return mProductIds; }
    QUrl qmlPath() const override { return {}; }
    void updateDeviceInfo(const QByteArray &configuration) override { updates << configuration; }
    QByteArray serialize() const override { return {}; }
    bool deserialize(const QByteArray &) override { return false; }

    QList<QByteArray> updates;

private:
    QStringList mProductIds;
};

class TestAbstractDevice : public QObject
{
    Q_OBJECT

private slots:
    void primaryProductId_data();
    void primaryProductId();
    void resetHandsDriverNoReport();
    void pluginInterfaceIdentifier();
};

void TestAbstractDevice::primaryProductId_data()
{
    QTest::addColumn<QStringList>("productIds");
    QTest::addColumn<QString>("primary");
    QTest::newRow("none") << QStringList() << QString();
    QTest::newRow("one") << QStringList({"0000c0de0002"}) << "0000c0de0002";
    QTest::newRow("revisions") << QStringList({"0000c0de0001", "0000c0de0011"}) << "0000c0de0001";
    QTest::newRow("empty first") << QStringList({"", "0000c0de0001"}) << QString();
}

void TestAbstractDevice::primaryProductId()
{
    QFETCH(QStringList, productIds);
    QFETCH(QString, primary);
    QCOMPARE(RecordingDevice(productIds).primaryProductId(), primary);
}

// A driver forgets the report when it is handed bytes that carry none.
void TestAbstractDevice::resetHandsDriverNoReport()
{
    RecordingDevice device({});
    device.resetDeviceInfo();
    QCOMPARE(device.updates, QList<QByteArray>({QByteArray()}));
}

// Plug-ins built against another copy of the interface must match this identifier.
void TestAbstractDevice::pluginInterfaceIdentifier()
{
    QCOMPARE(qobject_interface_iid<AbstractDevice *>(), "QVt.Device.AbstractDevice");
}

QTEST_GUILESS_MAIN(TestAbstractDevice)
#include "tst_abstractDevice.moc"
