#include "drivers/ktBridgeDevice.h"

#include <qvtpb/bluetoothConfig.h>
#include <qvtpb/configurationFile.h>
#include <qvtpb/interfaceConfig.h>
#include <qvtpb/networkDeviceInfo.h>
#include <qvtpb/productDeviceInfo.h>
#include <qvtpb/wlanConfig.h>

#include <QSignalSpy>
#include <QtEndian>
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
    void olderRevisionKeepsItsProductId();
    void rejectedBytesLeaveConfiguration_data();
    void rejectedBytesLeaveConfiguration();
    void updateAndResetDeviceInfoKeepEdits();
    void unusableReportForgetsReport_data();
    void unusableReportForgetsReport();
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

static Pb::Network::BluetoothConfig *bluetoothOf(const KtBridgeDevice &device)
{
    auto *interface = qobject_cast<Pb::Interface::Config *>(device.bluetoothInterface());
    return interface ? qobject_cast<Pb::Network::BluetoothConfig *>(interface->object()) : nullptr;
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
    info->setRevisionNumber(3);
    info->setSerialNumber(serialNumber);
    info->setUnixTimeOfManufacture(1700000000);
    if (configuration.wlanInterface()) {
        configuration.wlan()->deviceInfo()->setModuleVersion(QStringLiteral("2.4.1"));
        configuration.wlan()->deviceInfo()->setMac(QStringLiteral("02:4b:54:00:00:01"));
    }
    if (configuration.bluetoothInterface())
        configuration.bluetooth()->deviceInfo()->setMac(QStringLiteral("02:4b:54:00:00:02"));
    return File::compose(productId, configuration.serialize());
}

void TestKtBridgeDevice::roundTripKeepsEdits_data()
{
    QTest::addColumn<KtBridgeProduct::eModel>("model");
    QTest::newRow("CW") << KtBridgeProduct::MODEL_CW;
    QTest::newRow("CB") << KtBridgeProduct::MODEL_CB;
    QTest::newRow("CWB") << KtBridgeProduct::MODEL_CWB;
}

// Every field's way through the bytes is the library's; here the device wraps them.
void TestKtBridgeDevice::roundTripKeepsEdits()
{
    QFETCH(KtBridgeProduct::eModel, model);
    const KtBridgeProduct &product = KtBridgeProduct::model(model);

    KtBridgeDevice edited(product);
    edited.updateDeviceInfo(unitReply(product, product.productIds().first(), 4711));
    edited.can()->addFilter()->setIdentifier(0x123);
    if (wlanOf(edited))
        wlanOf(edited)->setSsid(QStringLiteral("edited"));
    if (bluetoothOf(edited))
        bluetoothOf(edited)->setPin(QStringLiteral("98765"));
    const QByteArray bytes = edited.serialize();

    KtBridgeDevice loaded(product);
    QSignalSpy saveNeeded(&loaded, &AbstractDevice::saveNeeded);
    QSignalSpy loadError(&loaded, &AbstractDevice::loadError);
    QVERIFY(loaded.deserialize(bytes));

    QCOMPARE(loaded.serialize(), bytes);
    QCOMPARE(loaded.deviceInfo()->serialNumber(), 4711u);
    QCOMPARE(saveNeeded.count(), 0);
    QCOMPARE(loadError.count(), 0);
}

void TestKtBridgeDevice::olderRevisionKeepsItsProductId()
{
    const KtBridgeProduct &cw = KtBridgeProduct::model(KtBridgeProduct::MODEL_CW);
    KtBridgeDevice device(cw);
    QVERIFY(device.deserialize(unitReply(cw, QStringLiteral("0000c0de0011"), 1)));

    File file;
    QVERIFY(file.load(device.serialize()));
    QCOMPARE(file.productId(), QStringLiteral("0000c0de0011"));
    QCOMPARE(device.primaryProductId(), QStringLiteral("0000c0de0001"));
}

// The header starts with the magic and a big-endian 16-bit format version.
static QByteArray withVersion(QByteArray bytes, quint16 version)
{
    qToBigEndian(version, bytes.data() + 4);
    return bytes;
}

void TestKtBridgeDevice::rejectedBytesLeaveConfiguration_data()
{
    const KtBridgeProduct &cwb = KtBridgeProduct::model(KtBridgeProduct::MODEL_CWB);
    const QByteArray good = unitReply(cwb, cwb.productIds().first(), 99);

    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<File::LOAD_ERROR>("error");
    QTest::addColumn<QString>("warning");

    QTest::newRow("newer version") << withVersion(good, 2) << File::LOAD_ERROR_VERSION_MISMATCH << QString();
    QByteArray corrupt = good;
    corrupt[corrupt.size() - 1] = char(corrupt.at(corrupt.size() - 1) ^ 0x01);
    QTest::newRow("body changed") << corrupt << File::LOAD_ERROR_CHECKSUM << QString();
    QTest::newRow("body not a message") << File::compose(cwb.productIds().first(), QByteArray("\xff\xff", 2))
                                        << File::LOAD_ERROR_PARSE << QString();
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
    QVERIFY(device.deviceInfo());
    QCOMPARE(device.deviceInfo()->serialNumber(), 1234u);
    QCOMPARE(device.deviceInfo()->productCode(), 0xc0deu);
    QCOMPARE(wlanOf(device)->deviceInfo()->mac(), QStringLiteral("02:4b:54:00:00:01"));
    QCOMPARE(bluetoothOf(device)->deviceInfo()->mac(), QStringLiteral("02:4b:54:00:00:02"));
    QCOMPARE(wlanOf(device)->ssid(), QStringLiteral("edited"));
    QCOMPARE(device.can()->bitRate(), 500000u);

    // The report travels with the configuration.
    KtBridgeDevice copy(cwb);
    QVERIFY(copy.deserialize(device.serialize()));
    QCOMPARE(copy.deviceInfo()->serialNumber(), 1234u);
    QCOMPARE(wlanOf(copy)->ssid(), QStringLiteral("edited"));

    device.resetDeviceInfo();

    QCOMPARE(device.deviceInfo(), nullptr);
    QCOMPARE(deviceInfoChanged.count(), 2);
    QCOMPARE(wlanOf(device)->deviceInfo()->mac(), QString());
    QCOMPARE(device.serialize(), edited);
    QCOMPARE(saveNeeded.count(), 0);
}

void TestKtBridgeDevice::unusableReportForgetsReport_data()
{
    const KtBridgeProduct &cb = KtBridgeProduct::model(KtBridgeProduct::MODEL_CB);
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("warning");
    QTest::newRow("not a configuration")
        << QByteArray("garbage") << "Device information not taken; the configuration does not load: QVt::Pb::Configuration::File::LOAD_ERROR_PARSE";
    QTest::newRow("another product") << unitReply(cb, QStringLiteral("0000c0de0002"), 5)
                                     << "Device information not taken; the configuration is for product ID \"0000c0de0002\"";
}

void TestKtBridgeDevice::unusableReportForgetsReport()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, warning);

    const KtBridgeProduct &cw = KtBridgeProduct::model(KtBridgeProduct::MODEL_CW);
    KtBridgeDevice device(cw);
    device.updateDeviceInfo(unitReply(cw, QStringLiteral("0000c0de0011"), 1234));
    QVERIFY(device.deviceInfo());

    QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    device.updateDeviceInfo(bytes);

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

    QVERIFY(device);
    QVERIFY(device.data() != &driver);
    QCOMPARE(device->serialize(), factory);
    QCOMPARE(device->deviceInfo(), nullptr);
}

QTEST_MAIN(TestKtBridgeDevice)
#include "tst_ktBridgeDevice.moc"
