// Bytes in and out of a whole configuration: what a unit or a file holds is kept as it
// is, even where no setter would take it or this build does not know the field, so
// that a read followed by a write changes only what the user edited.
#include <qvtpb/ktBridgeConfiguration.h>

#include "ktbridge.pb.h"

#include <QtTest>

using QVt::Pb::KtBridge::Configuration;

namespace {

QByteArray bodyOf(const ktbridge::Configuration &message)
{
    return QByteArray::fromStdString(message.SerializeAsString());
}

} // namespace

class TestKtBridgeConfiguration : public QObject
{
    Q_OBJECT

private slots:
    void keptAsLoaded_data();
    void keptAsLoaded();
    void parseReusesFilterObjects();
};

void TestKtBridgeConfiguration::keptAsLoaded_data()
{
    QTest::addColumn<QByteArray>("body");

    // Every field set, several beyond what a setter takes.
    ktbridge::Configuration message;
    ktbridge::ProductDeviceInfo *info = message.mutable_device_info();
    info->set_vendor_id(0xc0de0000);
    info->set_product_code(3);
    info->set_revision_number(4);
    info->set_serial_number(5);
    info->set_product_group(6);
    info->set_unix_time_of_manufacture(1764547200);
    ktbridge::CanConfig *can = message.mutable_can();
    can->set_bit_rate(83333);
    can->set_sample_point(1200);
    can->set_listen_only(true);
    can->set_termination(true);
    can->add_filters()->set_identifier(0x1fffffff); // wider than its flag allows
    ktbridge::CanFilter *filter = can->add_filters();
    filter->set_mask(0x7f0);
    filter->set_extended(true);
    ktbridge::InterfaceConfig *wlanInterface = message.mutable_wlan_interface();
    wlanInterface->set_enabled(true);
    wlanInterface->mutable_device_info()->set_module_version("2.4.1");
    wlanInterface->mutable_device_info()->set_mac("02:4B:54:00:00:01");
    ktbridge::WlanConfig *wlan = wlanInterface->mutable_wlan();
    wlan->set_mode(ktbridge::WlanMode(5));
    wlan->set_ssid(std::string(40, 'n'));
    wlan->set_security(ktbridge::WlanSecurity(9));
    wlan->set_passphrase("short");
    wlan->set_channel(40);
    wlan->set_ip_mode(ktbridge::IpMode(3));
    wlan->set_ip_address("10.0.0.300");
    wlan->set_netmask("255.0.255.0");
    wlan->set_gateway("10.1.0.1");
    wlan->set_tcp_port(70000);
    ktbridge::InterfaceConfig *bluetoothInterface = message.mutable_bluetooth_interface();
    bluetoothInterface->set_enabled(true);
    bluetoothInterface->mutable_device_info()->set_mac("02:4B:54:00:00:02");
    ktbridge::BluetoothConfig *bluetooth = bluetoothInterface->mutable_bluetooth();
    bluetooth->set_device_name("Bridge");
    bluetooth->set_pin("pin?");
    bluetooth->set_discoverable(true);
    QTest::newRow("values of a newer firmware") << bodyOf(message);
    QTest::newRow("nothing set") << QByteArray();
    // Field 99, varint 42: a setting that a newer program added.
    QTest::newRow("field of a newer schema") << bodyOf(message) + QByteArray("\x98\x06\x2a", 3);
}

void TestKtBridgeConfiguration::keptAsLoaded()
{
    QFETCH(QByteArray, body);

    Configuration config(Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH);
    QSignalSpy edited(&config, &Configuration::edited);
    QVERIFY(config.parse(body));
    QCOMPARE(edited.count(), 0);
    config.can()->setListenOnly(!config.can()->listenOnly());

    ktbridge::Configuration expected;
    QVERIFY(expected.ParseFromString(body.toStdString()));
    expected.mutable_can()->set_listen_only(!expected.can().listen_only());
    // Absent CAN timing loads as 500 kbit/s at 87.5 %; absent parts come back empty.
    if (expected.can().bit_rate() == 0)
        expected.mutable_can()->set_bit_rate(500000);
    if (expected.can().sample_point() == 0)
        expected.mutable_can()->set_sample_point(875);
    expected.mutable_device_info();
    for (ktbridge::InterfaceConfig *interface : {expected.mutable_wlan_interface(), expected.mutable_bluetooth_interface()})
        interface->mutable_device_info();
    expected.mutable_wlan_interface()->mutable_wlan();
    expected.mutable_bluetooth_interface()->mutable_bluetooth();
    ktbridge::Configuration written;
    QVERIFY(written.ParseFromString(config.serialize().toStdString()));
    QCOMPARE(QString::fromStdString(written.DebugString()), QString::fromStdString(expected.DebugString()));
}

void TestKtBridgeConfiguration::parseReusesFilterObjects()
{
    Configuration source{Configuration::Interfaces()};
    for (quint32 identifier : {0x100u, 0x200u, 0x300u})
        source.can()->addFilter()->setIdentifier(identifier);

    Configuration config{Configuration::Interfaces()};
    QVt::Pb::Can::Filter *first = config.can()->addFilter();
    QSignalSpy filtersChanged(config.can(), &QVt::Pb::Can::Config::filtersChanged);
    QSignalSpy edited(&config, &Configuration::edited);

    QVERIFY(config.parse(source.serialize()));
    QCOMPARE(config.can()->filterCount(), 3);
    QCOMPARE(config.can()->filter(0), first);
    QCOMPARE(config.can()->filter(2)->identifier(), 0x300u);
    QCOMPARE(filtersChanged.count(), 1);
    // Loaded filters forward their edits like added ones.
    config.can()->filter(2)->setExtended(true);
    QCOMPARE(edited.count(), 1);

    QPointer<QVt::Pb::Can::Filter> dropped(config.can()->filter(2));
    QVERIFY(config.parse(QByteArray()));
    QCOMPARE(config.can()->filterCount(), 0);
    QVERIFY(dropped.isNull());
    QCOMPARE(filtersChanged.count(), 2);
}

QTEST_GUILESS_MAIN(TestKtBridgeConfiguration)
#include "tst_ktBridgeConfiguration.moc"
