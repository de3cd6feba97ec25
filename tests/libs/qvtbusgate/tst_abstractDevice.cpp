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
    void castThroughPluginInterface();
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

// The factory casts a plug-in's root object through the interface identifier.
void TestAbstractDevice::castThroughPluginInterface()
{
    QCOMPARE(qobject_interface_iid<AbstractDevice *>(), "QVt.Device.AbstractDevice");

    RecordingDevice device({});
    QObject *root = &device;
    QCOMPARE(qobject_cast<AbstractDevice *>(root), static_cast<AbstractDevice *>(&device));
    QCOMPARE(root->qt_metacast("QVt.Device.AbstractDevice"), static_cast<void *>(static_cast<AbstractDevice *>(&device)));

    QObject other;
    QCOMPARE(qobject_cast<AbstractDevice *>(&other), nullptr);
}

QTEST_GUILESS_MAIN(TestAbstractDevice)
#include "tst_abstractDevice.moc"
