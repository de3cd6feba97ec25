// The device object around the configuration library: what deserialize takes and refuses,
// and which parts of a unit's reply updateDeviceInfo adopts.
#include "drivers/ktBridgeDevice.h"

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

namespace {

const KtBridgeProduct &CWB = KtBridgeProduct::model(KtBridgeProduct::MODEL_CWB);

Pb::Network::WlanConfig *wlanOf(const KtBridgeDevice &device)
{
    return qobject_cast<Pb::Network::WlanConfig *>(qobject_cast<Pb::Interface::Config *>(device.wlanInterface())->object());
}

// What a unit of the product answers to "L": its stored configuration with the
// information it reports about itself.
QByteArray unitReply(const KtBridgeProduct &product, const QString &productId, quint32 serialNumber)
{
    Pb::KtBridge::Configuration configuration(product.interfaces());
    product.applyFactorySettings(&configuration);
    configuration.can()->setBitRate(125000);
    configuration.deviceInfo()->setProductCode(0xc0de);
    configuration.deviceInfo()->setSerialNumber(serialNumber);
    if (configuration.wlanInterface())
        configuration.wlan()->deviceInfo()->setMac(QStringLiteral("02:4b:54:00:00:01"));
    return File::compose(productId, configuration.serialize());
}

} // namespace

class TestKtBridgeDevice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<File::LOAD_ERROR>(); }

    void rejectedBytesLeaveConfiguration_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("warning");
        QByteArray corrupt = unitReply(CWB, CWB.productIds().first(), 99);
        corrupt[corrupt.size() - 1] = char(corrupt.at(corrupt.size() - 1) ^ 0x01);
        QTest::newRow("body changed") << corrupt << int(File::LOAD_ERROR_CHECKSUM) << QString();
        QTest::newRow("another product")
            << unitReply(KtBridgeProduct::model(KtBridgeProduct::MODEL_CB), "0000c0de0002", 1) << int(File::LOAD_ERROR_PARSE)
            << "Configuration not loaded; it is for product ID \"0000c0de0002\" not for \"KT Bridge CWB\"";
    }

    void rejectedBytesLeaveConfiguration()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, warning);
        KtBridgeDevice device(CWB);
        wlanOf(device)->setSsid(QStringLiteral("edited"));
        const QByteArray before = device.serialize();
        QSignalSpy loadError(&device, &AbstractDevice::loadError);
        QSignalSpy saveNeeded(&device, &AbstractDevice::saveNeeded);

        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
        QVERIFY(!device.deserialize(bytes));
        QCOMPARE(loadError.count(), 1);
        QTEST(int(loadError.at(0).at(0).value<File::LOAD_ERROR>()), "error");
        QCOMPARE(device.serialize(), before);
        QCOMPARE(device.deviceInfo(), nullptr);
        QCOMPARE(saveNeeded.count(), 0);
    }

    // A unit of an older revision keeps its own product ID through a load and a save.
    void takenBytesKeepTheProductId()
    {
        KtBridgeDevice device(KtBridgeProduct::model(KtBridgeProduct::MODEL_CW));
        QSignalSpy saveNeeded(&device, &AbstractDevice::saveNeeded);
        const QByteArray unit = unitReply(KtBridgeProduct::model(KtBridgeProduct::MODEL_CW), "0000c0de0011", 4711);
        QVERIFY(device.deserialize(unit));
        QCOMPARE(device.serialize(), unit);
        QCOMPARE(device.deviceInfo()->serialNumber(), 4711u);
        QCOMPARE(saveNeeded.count(), 0);
    }

    void updateAndResetDeviceInfoKeepEdits()
    {
        KtBridgeDevice device(CWB);
        wlanOf(device)->setSsid(QStringLiteral("edited"));
        const QByteArray edited = device.serialize();
        QSignalSpy saveNeeded(&device, &AbstractDevice::saveNeeded);
        QSignalSpy deviceInfoChanged(&device, &AbstractDevice::deviceInfoChanged);

        device.updateDeviceInfo(unitReply(CWB, CWB.productIds().first(), 1234));
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
        device.updateDeviceInfo(unitReply(CWB, CWB.productIds().first(), 1234));
        QTest::ignoreMessage(QtWarningMsg, "Device information not taken; the configuration is for product ID \"0000c0de0002\"");
        device.updateDeviceInfo(unitReply(KtBridgeProduct::model(KtBridgeProduct::MODEL_CB), "0000c0de0002", 5));
        QCOMPARE(device.deviceInfo(), nullptr);
    }
};

QTEST_MAIN(TestKtBridgeDevice)
#include "tst_ktBridgeDevice.moc"
