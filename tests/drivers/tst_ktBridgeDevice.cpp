#include "drivers/ktBridgeDevice.h"

#include <qvtpb/bluetoothConfig.h>
#include <qvtpb/configurationFile.h>
#include <qvtpb/interfaceConfig.h>
#include <qvtpb/networkDeviceInfo.h>
#include <qvtpb/productDeviceInfo.h>
#include <qvtpb/wlanConfig.h>

#include <QSignalSpy>
#include <QtTest>

using QVt::Device::AbstractDevice;
using QVt::Device::KtBridgeDevice;
using QVt::Device::KtBridgeProduct;
using QVt::Pb::Configuration::File;
namespace Pb = QVt::Pb;

Q_DECLARE_METATYPE(KtBridgeProduct::eModel)

class TestKtBridgeDevice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void roundTripKeepsEdits_data();
    void roundTripKeepsEdits();
    void rejectedBytesLeaveConfiguration_data();
    void rejectedBytesLeaveConfiguration();
    void updateAndResetDeviceInfoKeepEdits();
    void interfacesByName();
    void newInstanceStartsFromFactory();
};

void TestKtBridgeDevice::initTestCase()
{
    qRegisterMetaType<File::LOAD_ERROR>();
}

static Pb::Network::WlanConfig *wlanOf(const KtBridgeDevice &device)
{
    auto *interface = qobject_cast<Pb::Interface::Config *>(device.wlanInterface());
    return interface ? qobject_cast<Pb::Network::WlanConfig *>(interface->object()) : nullptr;
}

// What a unit of the product answers to "L": its stored configuration with the
// information it reports about itself.
static QByteArray unitReply(const KtBridgeProduct &product, const QString &productId, quint32 serialNumber)
{
    Pb::KtBridge::Configuration configuration(product.interfaces());
    product.applyFactorySettings(&configuration);
    configuration.can()->setBitRate(125000);
    Pb::Product::DeviceInfo *info = configuration.deviceInfo();
    info->setVendorId(0x4b54);
    info->setProductCode(0xc0de);
    info->setSerialNumber(serialNumber);
    if (configuration.wlanInterface())
        configuration.wlan()->deviceInfo()->setMac(QStringLiteral("02:4b:54:00:00:01"));
    return File::compose(productId, configuration.serialize());
}

void TestKtBridgeDevice::roundTripKeepsEdits_data()
{
    QTest::addColumn<KtBridgeProduct::eModel>("model");
    QTest::addColumn<QString>("productId");
    QTest::newRow("CW") << KtBridgeProduct::MODEL_CW << "0000c0de0001";
    QTest::newRow("CW of an older revision") << KtBridgeProduct::MODEL_CW << "0000c0de0011";
    QTest::newRow("CB") << KtBridgeProduct::MODEL_CB << "0000c0de0002";
    QTest::newRow("CWB") << KtBridgeProduct::MODEL_CWB << "0000c0de0003";
}

// Every field's way through the bytes is the library's; here the device wraps them.
void TestKtBridgeDevice::roundTripKeepsEdits()
{
    QFETCH(KtBridgeProduct::eModel, model);
    QFETCH(QString, productId);
    const KtBridgeProduct &product = KtBridgeProduct::model(model);

    KtBridgeDevice edited(product);
    QVERIFY(edited.deserialize(unitReply(product, productId, 4711)));
    edited.can()->addFilter()->setIdentifier(0x123);
    const QByteArray bytes = edited.serialize();

    KtBridgeDevice loaded(product);
    QSignalSpy saveNeeded(&loaded, &AbstractDevice::saveNeeded);
    QVERIFY(loaded.deserialize(bytes));

    QCOMPARE(loaded.serialize(), bytes);
    QCOMPARE(loaded.deviceInfo()->serialNumber(), 4711u);
    File file;
    QVERIFY(file.load(bytes));
    QCOMPARE(file.productId(), productId);
    QCOMPARE(saveNeeded.count(), 0);
}

void TestKtBridgeDevice::rejectedBytesLeaveConfiguration_data()
{
    const KtBridgeProduct &cwb = KtBridgeProduct::model(KtBridgeProduct::MODEL_CWB);
    const QByteArray good = unitReply(cwb, cwb.productIds().first(), 99);

    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<File::LOAD_ERROR>("error");
    QTest::addColumn<QString>("warning");

    QByteArray corrupt = good;
    corrupt[corrupt.size() - 1] = char(corrupt.at(corrupt.size() - 1) ^ 0x01);
    QTest::newRow("body changed") << corrupt << File::LOAD_ERROR_CHECKSUM << QString();
    QTest::newRow("another product")
        << unitReply(KtBridgeProduct::model(KtBridgeProduct::MODEL_CB), "0000c0de0002", 1) << File::LOAD_ERROR_PARSE
        << "Configuration not loaded; it is for product ID \"0000c0de0002\" not for \"KT Bridge CWB\"";
}

void TestKtBridgeDevice::rejectedBytesLeaveConfiguration()
{
    QFETCH(QByteArray, bytes);
    QFETCH(File::LOAD_ERROR, error);
    QFETCH(QString, warning);

    KtBridgeDevice device(KtBridgeProduct::model(KtBridgeProduct::MODEL_CWB));
    wlanOf(device)->setSsid(QStringLiteral("edited"));
    const QByteArray before = device.serialize();
    QSignalSpy loadError(&device, &AbstractDevice::loadError);
    QSignalSpy saveNeeded(&device, &AbstractDevice::saveNeeded);

    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    QVERIFY(!device.deserialize(bytes));

    QCOMPARE(loadError.count(), 1);
    QCOMPARE(loadError.at(0).at(0).value<File::LOAD_ERROR>(), error);
    QCOMPARE(device.serialize(), before);
    QCOMPARE(device.deviceInfo(), nullptr);
    QCOMPARE(saveNeeded.count(), 0);
}

void TestKtBridgeDevice::updateAndResetDeviceInfoKeepEdits()
{
    const KtBridgeProduct &cwb = KtBridgeProduct::model(KtBridgeProduct::MODEL_CWB);
    KtBridgeDevice device(cwb);
    wlanOf(device)->setSsid(QStringLiteral("edited"));
    const QByteArray edited = device.serialize();
    QSignalSpy saveNeeded(&device, &AbstractDevice::saveNeeded);
    QSignalSpy deviceInfoChanged(&device, &AbstractDevice::deviceInfoChanged);

    device.updateDeviceInfo(unitReply(cwb, cwb.productIds().first(), 1234));

    QCOMPARE(deviceInfoChanged.count(), 1);
    QCOMPARE(device.deviceInfo()->serialNumber(), 1234u);
    QCOMPARE(wlanOf(device)->deviceInfo()->mac(), QStringLiteral("02:4b:54:00:00:01"));
    QCOMPARE(wlanOf(device)->ssid(), QStringLiteral("edited"));
    QCOMPARE(device.can()->bitRate(), 500000u); // the unit's 125 kbit/s are no edit of ours

    device.resetDeviceInfo();

    QCOMPARE(device.deviceInfo(), nullptr);
    QCOMPARE(deviceInfoChanged.count(), 2);
    QCOMPARE(wlanOf(device)->deviceInfo()->mac(), QString());
    QCOMPARE(device.serialize(), edited);
    QCOMPARE(saveNeeded.count(), 0);

    // Bytes that carry no usable report leave none behind.
    device.updateDeviceInfo(unitReply(cwb, cwb.productIds().first(), 1234));
    QTest::ignoreMessage(QtWarningMsg, "Device information not taken; the configuration is for product ID "
                                       "\"0000c0de0002\"");
    device.updateDeviceInfo(unitReply(KtBridgeProduct::model(KtBridgeProduct::MODEL_CB), "0000c0de0002", 5));
    QCOMPARE(device.deviceInfo(), nullptr);
}

// The support archive asks for the interfaces by name.
void TestKtBridgeDevice::interfacesByName()
{
    KtBridgeDevice device(KtBridgeProduct::model(KtBridgeProduct::MODEL_CB));
    const auto invoke = [&device](const char *method) {
        Pb::AbstractMessage *result = nullptr;
        const bool ok = QMetaObject::invokeMethod(&device, method, Qt::AutoConnection,
                                                  Q_RETURN_ARG(QVt::Pb::AbstractMessage *, result));
        return ok ? qobject_cast<Pb::Interface::Config *>(result) : nullptr;
    };
    QCOMPARE(invoke("wlanInterface"), nullptr);
    QVERIFY(invoke("bluetoothInterface"));
    QVERIFY(qobject_cast<Pb::Network::BluetoothConfig *>(invoke("bluetoothInterface")->object()));
}

void TestKtBridgeDevice::newInstanceStartsFromFactory()
{
    const KtBridgeProduct &cwb = KtBridgeProduct::model(KtBridgeProduct::MODEL_CWB);
    KtBridgeDevice driver(cwb);
    const QByteArray factory = driver.serialize();
    wlanOf(driver)->setSsid(QStringLiteral("edited"));
    driver.updateDeviceInfo(unitReply(cwb, cwb.productIds().first(), 8));

    const QSharedPointer<AbstractDevice> device = driver.newInstance();

    QCOMPARE(device->serialize(), factory);
    QCOMPARE(device->deviceInfo(), nullptr);
}

QTEST_MAIN(TestKtBridgeDevice)
#include "tst_ktBridgeDevice.moc"
