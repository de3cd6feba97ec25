// The message wrappers of a KT Bridge configuration: an edit as QML makes it signals once, a
// value a unit would not take is refused; what a unit or a file holds is kept as it is.
#include <qvtpb/ktBridgeConfiguration.h>

#include "ktbridge.pb.h"

#include <google/protobuf/text_format.h>

#include <QtTest>

using QVt::Pb::KtBridge::Configuration;
using QVt::Pb::Network::WlanConfig;

namespace {

// A valid configuration (a blank one has no SSID, address or PIN) with a standard
// filter 0 that passes every frame (mask 0) and an extended filter 1.
void prepare(Configuration *config)
{
    config->wlan()->setSsid(QStringLiteral("Workshop"));
    config->wlan()->setSecurityAndPassphrase(WlanConfig::SECURITY_WPA2_PSK, QStringLiteral("correct horse"));
    config->wlan()->setStaticAddress(QStringLiteral("192.168.4.1"), QStringLiteral("255.255.255.0"), QString());
    config->bluetooth()->setDeviceName(QStringLiteral("Bridge"));
    config->bluetooth()->setPin(QStringLiteral("1234"));
    config->can()->addFilter()->setMask(0);
    config->can()->addFilter()->setExtended(true);
    QVt::Pb::Can::Filter *third = config->can()->addFilter();
    third->setIdentifier(1);
    third->setMask(0);
}

// The object that holds the property at a dotted path ("can.filters.1.mask", "wlan.ssid"
// for the WLAN interface's settings), and the property's name.
QObject *holder(QObject *root, QString path, QByteArray *name)
{
    path.replace(QRegularExpression("^(wlan|bluetooth)\\."), "\\1Interface.object.");
    QStringList parts = path.split(QLatin1Char('.'));
    *name = parts.takeLast().toLatin1();
    QObject *object = root;
    for (int i = 0; object && i < parts.size(); ++i) {
        if (parts.at(i) == QLatin1String("filters"))
            object = qobject_cast<QVt::Pb::Can::Config *>(object)->filter(parts.at(++i).toInt());
        else
            object = object->property(parts.at(i).toLatin1()).value<QObject *>();
    }
    return object;
}

} // namespace

class TestMessageWrappers : public QObject
{
    Q_OBJECT

private slots:
    // Each row: the last value a setter takes, and the first it refuses.
    void limits_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QVariant>("taken"); // none: only the refusal is checked
        QTest::addColumn<QVariant>("refused");
        QTest::addColumn<QString>("warning");

        const QString a32(32, QLatin1Char('a'));
        const QString umlauts16(16, QChar(0xe4)); // two bytes each in UTF-8
        const QString hex64(64, QLatin1Char('f'));
        const QString wpa2 = QStringLiteral("Refused WLAN passphrase for security 1");
        const auto row = [](const char *name, const char *path, const QVariant &taken, const QVariant &refused, const QString &warning) {
            QTest::newRow(name) << path << taken << refused << warning;
        };
        row("bit rate", "can.bitRate", 1000000u, 1000001u, "Refused CAN bit rate 1000001");
        row("bit rate 0", "can.bitRate", 83333u, 0u, "Refused CAN bit rate 0");
        row("sample point", "can.samplePoint", 999u, 1000u, "Refused CAN sample point 1000");
        row("standard identifier", "can.filters.0.identifier", 0x7ffu, 0x800u, "Refused CAN filter identifier 2048 extended false");
        row("extended identifier", "can.filters.1.identifier", 0x1fffffffu, 0x20000000u, "Refused CAN filter identifier 536870912 extended true");
        row("standard mask", "can.filters.0.mask", 0x7ffu, 0x800u, "Refused CAN filter mask 2048 extended false");
        row("extended mask", "can.filters.1.mask", 0x1fffffffu, 0x20000000u, "Refused CAN filter mask 536870912 extended true");
        row("duplicate filter", "can.filters.2.identifier", 2u, 0u, "Refused duplicate CAN filter 0 0 extended false row 0");
        row("SSID bytes, not letters", "wlan.ssid", a32, umlauts16 + "a", QStringLiteral("Refused WLAN SSID \"%1a\"").arg(umlauts16));
        row("WPA2 passphrase length", "wlan.passphrase", "12345678", "1234567", wpa2);
        row("WPA2 hexadecimal key", "wlan.passphrase", hex64, hex64.left(63) + "g", wpa2);
        row("WPA2 passphrase not ASCII", "wlan.passphrase", QString(63, '~'), umlauts16, wpa2);
        row("channel", "wlan.channel", 13u, 14u, "Refused WLAN channel 14");
        row("TCP port", "wlan.tcpPort", 65535u, 65536u, "Refused TCP port 65536");
        row("address", "wlan.ipAddress", "10.0.0.255", "10.0.0.256", "Refused IP address \"10.0.0.256\"");
        row("netmask", "wlan.netmask", "255.255.255.255", "255.0.255.0", "Refused netmask \"255.0.255.0\"");
        row("gateway", "wlan.gateway", "192.168.4.254", "192.168.5.1", "Refused gateway \"192.168.5.1\"");
        row("PIN", "bluetooth.pin", "1234567890123456", "12345678901234567", "Refused Bluetooth PIN of length 17");
        row("device name", "bluetooth.deviceName", a32, a32 + "a", QStringLiteral("Refused Bluetooth device name \"%1a\"").arg(a32));
        row("WLAN mode", "wlan.mode", 1, 2, "Refused WLAN mode 2");
        row("WLAN security", "wlan.security", 2, -1, "Refused WLAN security -1");
        row("IP mode", "wlan.ipMode", 0, 7, "Refused IP mode 7");
    }

    void limits()
    {
        QFETCH(QString, path);
        QFETCH(QVariant, taken);
        QFETCH(QVariant, refused);
        QFETCH(QString, warning);
        Configuration config(Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH);
        prepare(&config);
        QByteArray name;
        QObject *object = holder(&config, path, &name);
        QVERIFY(object);
        const QMetaProperty property = object->metaObject()->property(object->metaObject()->indexOfProperty(name));
        const auto value = [&] {
            const QVariant v = object->property(name);
            return property.isEnumType() ? QString::number(v.toInt()) : v.toString();
        };
        QSignalSpy changed(object, property.notifySignal());
        QSignalSpy edited(&config, &Configuration::edited);

        if (taken.isValid()) {
            object->setProperty(name, taken);
            object->setProperty(name, taken); // the same value again is no change
            QCOMPARE(value(), taken.toString());
            QCOMPARE(changed.count(), 1);
            QCOMPARE(edited.count(), 1);
        }
        const QString before = value();
        changed.clear();
        edited.clear();
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
        object->setProperty(name, refused);
        QCOMPARE(value(), before);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(edited.count(), 0);
    }

    void settingsThatDependOnEachOther()
    {
        Configuration config(Configuration::INTERFACE_WLAN);
        WlanConfig *wlan = config.wlan();
        QSignalSpy edited(&config, &Configuration::edited);

        // A blank configuration: open, no passphrase, no address.
        QTest::ignoreMessage(QtWarningMsg, "Refused WLAN security 1 with a passphrase it does not allow");
        wlan->setSecurity(WlanConfig::SECURITY_WPA2_PSK);
        QTest::ignoreMessage(QtWarningMsg, "Refused static IP mode with address \"\" netmask \"\" gateway \"\"");
        wlan->setIpMode(WlanConfig::IP_MODE_STATIC);
        QTest::ignoreMessage(QtWarningMsg, "Refused static address \"10.0.0.2\" netmask \"255.255.255.0\" gateway \"10.0.1.1\"");
        QVERIFY(!wlan->setStaticAddress("10.0.0.2", "255.255.255.0", "10.0.1.1"));
        QCOMPARE(edited.count(), 0);

        QVERIFY(wlan->setSecurityAndPassphrase(WlanConfig::SECURITY_WPA3_SAE, QStringLiteral("x")));
        QVERIFY(wlan->setStaticAddress("10.0.0.2", "255.255.255.0", "10.0.0.1"));
        QCOMPARE(wlan->ipMode(), WlanConfig::IP_MODE_STATIC);
        QCOMPARE(wlan->gateway(), QStringLiteral("10.0.0.1"));
    }

    // Back to standard keeps the low 11 bits, so that the filter stays valid.
    void filterBackToStandard()
    {
        Configuration config{Configuration::Interfaces()};
        QVt::Pb::Can::Filter *filter = config.can()->addFilter();
        filter->setExtended(true);
        filter->setIdentifier(0x1234567);
        filter->setMask(0x1ffff0ff);
        filter->setExtended(false);
        QCOMPARE(filter->identifier(), 0x567u);
        QCOMPARE(filter->mask(), 0x0ffu);
    }

    void keptAsLoaded_data()
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
        const QByteArray body = QByteArray::fromStdString(message.SerializeAsString());
        QTest::newRow("values of a newer firmware") << body;
        // Field 99, varint 42: a setting that a newer program added.
        QTest::newRow("field of a newer schema") << body + QByteArray("\x98\x06\x2a", 3);
    }

    void keptAsLoaded()
    {
        QFETCH(QByteArray, body);
        Configuration config(Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH);
        QSignalSpy edited(&config, &Configuration::edited);
        QVERIFY(config.parse(body));
        QCOMPARE(edited.count(), 0);
        config.can()->setListenOnly(false);

        ktbridge::Configuration expected;
        QVERIFY(expected.ParseFromString(body.toStdString()));
        expected.mutable_can()->set_listen_only(false);
        ktbridge::Configuration written;
        QVERIFY(written.ParseFromString(config.serialize().toStdString()));
        QCOMPARE(QString::fromStdString(written.DebugString()), QString::fromStdString(expected.DebugString()));
    }

    // The page binds to the filter objects: a load keeps them and forwards their edits.
    void parseReusesFilterObjects()
    {
        Configuration source{Configuration::Interfaces()};
        for (quint32 identifier : {0x100u, 0x300u})
            source.can()->addFilter()->setIdentifier(identifier);
        Configuration config{Configuration::Interfaces()};
        QVt::Pb::Can::Filter *first = config.can()->addFilter();
        QSignalSpy edited(&config, &Configuration::edited);

        QVERIFY(config.parse(source.serialize()));
        QCOMPARE(config.can()->filter(0), first);
        QCOMPARE(config.can()->filter(1)->identifier(), 0x300u);
        config.can()->filter(1)->setExtended(true);
        QCOMPARE(edited.count(), 1);
        QVERIFY(config.parse(QByteArray()));
        QCOMPARE(config.can()->filterCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestMessageWrappers)
#include "tst_messageWrappers.moc"
