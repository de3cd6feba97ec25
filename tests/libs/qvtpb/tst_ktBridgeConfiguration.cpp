// Bytes in and out of a whole configuration: loading that signals only real changes
// and never counts as an edit, device-reported information kept apart from the
// edited settings, and bytes from other schemas.
#include "messageWalker.h"

#include <qvtpb/ktBridgeConfiguration.h>

#include "ktbridge.pb.h"

#include <QtTest>

using QVt::Pb::KtBridge::Configuration;

namespace {

const Configuration::Interfaces ALL_INTERFACES = Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH;

// The paths of config whose value is not the reported one (device information) or
// else the settings one.
QStringList mixedUp(const QObject *config, const QVariantMap &settings, const QVariantMap &reported)
{
    QStringList wrong;
    const QVariantMap values = MessageWalker::snapshot(config);
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const bool isReported = it.key().contains(QLatin1String("deviceInfo."));
        if (it.value() != (isReported ? reported : settings).value(it.key()))
            wrong << it.key();
    }
    return wrong;
}

QByteArray bodyOf(const ktbridge::Configuration &message)
{
    return QByteArray::fromStdString(message.SerializeAsString());
}

} // namespace

class TestKtBridgeConfiguration : public QObject
{
    Q_OBJECT

private slots:
    void parseSignalsOnlyRealChanges();
    void parseRefusesWhatDoesNotParse();
    void parseDeviceInfoKeepsEdits();
    void fieldsOfANewerSchemaSurvive();
    void parseReusesFilterObjects();
    void loadedValuesAreKeptExactly_data();
    void loadedValuesAreKeptExactly();
};

void TestKtBridgeConfiguration::parseSignalsOnlyRealChanges()
{
    Configuration source(ALL_INTERFACES);
    source.wlan()->setSsid(QStringLiteral("Workshop"));
    source.deviceInfo()->setSerialNumber(42);

    Configuration target(ALL_INTERFACES);
    QSignalSpy ssidChanged(target.wlan(), &QVt::Pb::Network::WlanConfig::ssidChanged);
    QSignalSpy serialChanged(target.deviceInfo(), &QVt::Pb::Product::DeviceInfo::serialNumberChanged);
    QSignalSpy bitRateChanged(target.can(), &QVt::Pb::Can::Config::bitRateChanged);
    QSignalSpy nameChanged(target.bluetooth(), &QVt::Pb::Network::BluetoothConfig::deviceNameChanged);
    QSignalSpy edited(&target, &Configuration::edited);

    QVERIFY(target.parse(source.serialize()));
    QCOMPARE(target.wlan()->ssid(), QStringLiteral("Workshop"));
    QCOMPARE(ssidChanged.count(), 1);
    QCOMPARE(serialChanged.count(), 1);
    QCOMPARE(bitRateChanged.count(), 0);
    QCOMPARE(nameChanged.count(), 0);

    QVERIFY(target.parse(source.serialize()));
    QCOMPARE(ssidChanged.count(), 1);
    QCOMPARE(serialChanged.count(), 1);
    QCOMPARE(edited.count(), 0);
}

void TestKtBridgeConfiguration::parseRefusesWhatDoesNotParse()
{
    Configuration config(ALL_INTERFACES);
    MessageWalker::applyValidBaseline(&config);
    MessageWalker::editEverything(&config, config.can());
    const QVariantMap before = MessageWalker::snapshot(&config);
    QSignalSpy edited(&config, &Configuration::edited);
    QSignalSpy ssidChanged(config.wlan(), &QVt::Pb::Network::WlanConfig::ssidChanged);

    QVERIFY(!config.parse(QByteArray("\xff\xff\xff\xff", 4)));
    QVERIFY(!config.parseDeviceInfo(QByteArray("\x0a\x05\x08", 3)));
    QCOMPARE(MessageWalker::snapshot(&config), before);
    QCOMPARE(ssidChanged.count(), 0);
    QCOMPARE(edited.count(), 0);
}

void TestKtBridgeConfiguration::parseDeviceInfoKeepsEdits()
{
    Configuration device(ALL_INTERFACES);
    MessageWalker::applyValidBaseline(&device);
    MessageWalker::editEverything(&device, device.can());
    Configuration edited(ALL_INTERFACES);
    edited.wlan()->setSsid(QStringLiteral("edited"));
    const QVariantMap settings = MessageWalker::snapshot(&edited);
    QSignalSpy editedSpy(&edited, &Configuration::edited);
    QSignalSpy macChanged(edited.wlan()->deviceInfo(), &QVt::Pb::Network::DeviceInfo::macChanged);

    QVERIFY(edited.parseDeviceInfo(device.serialize()));
    QCOMPARE(mixedUp(&edited, settings, MessageWalker::snapshot(&device)), QStringList());
    QCOMPARE(macChanged.count(), 1);
    QCOMPARE(editedSpy.count(), 0);

    // serialize() carries both the edits and the reported information.
    Configuration copy(ALL_INTERFACES);
    QVERIFY(copy.parse(edited.serialize()));
    QCOMPARE(MessageWalker::snapshot(&copy), MessageWalker::snapshot(&edited));
}

void TestKtBridgeConfiguration::fieldsOfANewerSchemaSurvive()
{
    // Field 99, varint 42: a setting that a newer program added.
    const QByteArray newerField("\x98\x06\x2a", 3);
    Configuration source(Configuration::INTERFACE_WLAN);
    source.wlan()->setSsid(QStringLiteral("newer"));

    Configuration config(Configuration::INTERFACE_WLAN);
    QVERIFY(config.parse(source.serialize() + newerField));
    config.wlan()->setSsid(QStringLiteral("edited by an older program"));
    const QByteArray written = config.serialize();

    QVERIFY(written.endsWith(newerField));
    Configuration copy(Configuration::INTERFACE_WLAN);
    QVERIFY(copy.parse(written));
    QCOMPARE(copy.wlan()->ssid(), QStringLiteral("edited by an older program"));
}

void TestKtBridgeConfiguration::parseReusesFilterObjects()
{
    Configuration source{Configuration::Interfaces()};
    for (quint32 identifier : {0x100u, 0x200u, 0x300u})
        source.can()->addFilter()->setIdentifier(identifier);

    Configuration config{Configuration::Interfaces()};
    QVt::Pb::Can::Filter *first = config.can()->addFilter();
    QVt::Pb::Can::Filter *second = config.can()->addFilter();
    QSignalSpy filtersChanged(config.can(), &QVt::Pb::Can::Config::filtersChanged);
    QSignalSpy edited(&config, &Configuration::edited);

    QVERIFY(config.parse(source.serialize()));
    QCOMPARE(config.can()->filterCount(), 3);
    QCOMPARE(config.can()->filter(0), first);
    QCOMPARE(config.can()->filter(1), second);
    QCOMPARE(config.can()->filter(2)->identifier(), 0x300u);
    QCOMPARE(filtersChanged.count(), 1);

    // Loaded filters forward their edits like added ones.
    config.can()->filter(2)->setExtended(true);
    QCOMPARE(edited.count(), 1);

    QVERIFY(config.parse(source.serialize()));
    QCOMPARE(filtersChanged.count(), 1);

    QPointer<QVt::Pb::Can::Filter> dropped(config.can()->filter(2));
    QVERIFY(config.parse(Configuration(Configuration::Interfaces()).serialize()));
    QCOMPARE(config.can()->filterCount(), 0);
    QVERIFY(dropped.isNull());
    QCOMPARE(filtersChanged.count(), 2);
}

// What a unit or a file holds is kept as it is, even where no setter would take it,
// so that a read followed by a write changes nothing behind the user's back.
void TestKtBridgeConfiguration::loadedValuesAreKeptExactly_data()
{
    QTest::addColumn<QByteArray>("body");

    ktbridge::Configuration message;
    message.mutable_can()->set_bit_rate(83333);
    message.mutable_can()->set_sample_point(1200);
    message.mutable_can()->add_filters()->set_identifier(0x1fffffff); // extended width, flag missing
    ktbridge::WlanConfig *wlan = message.mutable_wlan_interface()->mutable_wlan();
    wlan->set_mode(ktbridge::WlanMode(5));
    wlan->set_security(ktbridge::WlanSecurity(9));
    wlan->set_ip_mode(ktbridge::IpMode(3));
    wlan->set_channel(40);
    wlan->set_ssid(std::string(40, 'n'));
    message.mutable_bluetooth_interface()->mutable_bluetooth()->set_pin("pin?");
    QTest::newRow("values of a newer firmware") << bodyOf(message);
    QTest::newRow("empty settings") << bodyOf(ktbridge::Configuration());
}

void TestKtBridgeConfiguration::loadedValuesAreKeptExactly()
{
    QFETCH(QByteArray, body);

    Configuration config(ALL_INTERFACES);
    QVERIFY(config.parse(body));
    QVERIFY(config.parse(config.serialize()));
    ktbridge::Configuration written;
    QVERIFY(written.ParseFromString(config.serialize().toStdString()));
    ktbridge::Configuration read;
    QVERIFY(read.ParseFromString(body.toStdString()));
    // Absent interfaces come back as empty ones; absent CAN timing as the defaults.
    read.mutable_wlan_interface()->mutable_wlan();
    read.mutable_bluetooth_interface()->mutable_bluetooth();
    read.mutable_wlan_interface()->mutable_device_info();
    read.mutable_bluetooth_interface()->mutable_device_info();
    read.mutable_device_info();
    if (read.can().bit_rate() == 0)
        read.mutable_can()->set_bit_rate(500000);
    if (read.can().sample_point() == 0)
        read.mutable_can()->set_sample_point(875);
    QCOMPARE(QString::fromStdString(written.DebugString()), QString::fromStdString(read.DebugString()));
}

QTEST_GUILESS_MAIN(TestKtBridgeConfiguration)
#include "tst_ktBridgeConfiguration.moc"
