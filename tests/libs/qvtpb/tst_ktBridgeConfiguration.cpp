// What a unit or a file holds is kept as it is, even where no setter would take it or the
// field is unknown here, so that a read and a write change only what the user edited.
#include <qvtpb/ktBridgeConfiguration.h>

#include "ktbridge.pb.h"

#include <google/protobuf/text_format.h>

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
    QVERIFY(google::protobuf::TextFormat::ParseFromString(R"(
        device_info { vendor_id: 3235774464 product_code: 3 revision_number: 4 serial_number: 5
                      product_group: 6 unix_time_of_manufacture: 1764547200 }
        can { bit_rate: 83333 sample_point: 1200 listen_only: true termination: true
              filters { identifier: 536870911 } filters { mask: 2032 extended: true } }
        wlan_interface {
            enabled: true
            device_info { module_version: "2.4.1" mac: "02:4B:54:00:00:01" }
            wlan { mode: 5 ssid: "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn" security: 9 passphrase: "short"
                   channel: 40 ip_mode: 3 ip_address: "10.0.0.300" netmask: "255.0.255.0"
                   gateway: "10.1.0.1" tcp_port: 70000 }
        }
        bluetooth_interface {
            enabled: true
            device_info { mac: "02:4B:54:00:00:02" }
            bluetooth { device_name: "Bridge" pin: "pin?" discoverable: true }
        })", &message));
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
