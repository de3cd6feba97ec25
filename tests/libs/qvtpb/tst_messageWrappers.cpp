// Edits through the wrappers' properties, as QML makes them: a change signals once and is one
// edit; a value a unit would not take is refused with a warning and changes nothing.
#include <qvtpb/ktBridgeConfiguration.h>

#include <QtTest>

using QVt::Pb::KtBridge::Configuration;
using QVt::Pb::Network::WlanConfig;

namespace {

const Configuration::Interfaces ALL_INTERFACES = Configuration::INTERFACE_WLAN | Configuration::INTERFACE_BLUETOOTH;

// A valid configuration (a blank one has no SSID, address or PIN) with a standard
// filter 0 and an extended filter 1.
void prepare(Configuration *config)
{
    config->wlan()->setSsid(QStringLiteral("Workshop"));
    config->wlan()->setSecurityAndPassphrase(WlanConfig::SECURITY_WPA2_PSK, QStringLiteral("correct horse"));
    config->wlan()->setStaticAddress(QStringLiteral("192.168.4.1"), QStringLiteral("255.255.255.0"), QString());
    config->wlan()->setTcpPort(20001);
    config->bluetooth()->setDeviceName(QStringLiteral("Bridge"));
    config->bluetooth()->setPin(QStringLiteral("1234"));
    config->can()->addFilter();
    config->can()->addFilter()->setExtended(true);
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
    void limits_data();
    void limits();
    void settingsThatDependOnEachOther();
    void filterListEdits();
};

void TestMessageWrappers::limits_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("warning"); // empty: taken

    const QString a32(32, QLatin1Char('a'));
    const QString umlauts16(16, QChar(0xe4)); // two bytes each in UTF-8
    const QString hex64(64, QLatin1Char('f'));

    QTest::newRow("bit rate 1") << "can.bitRate" << QVariant(1u) << "";
    QTest::newRow("listen only") << "can.listenOnly" << QVariant(true) << "";
    QTest::newRow("termination") << "can.termination" << QVariant(true) << "";
    QTest::newRow("filter extended") << "can.filters.0.extended" << QVariant(true) << "";
    QTest::newRow("WLAN enabled") << "wlanInterface.enabled" << QVariant(true) << "";
    QTest::newRow("discoverable") << "bluetooth.discoverable" << QVariant(true) << "";
    QTest::newRow("WLAN client") << "wlan.mode" << QVariant(1) << "";
    QTest::newRow("WPA3") << "wlan.security" << QVariant(2) << "";
    QTest::newRow("DHCP") << "wlan.ipMode" << QVariant(0) << "";
    QTest::newRow("bit rate 83333") << "can.bitRate" << QVariant(83333u) << "";
    QTest::newRow("bit rate 1000000") << "can.bitRate" << QVariant(1000000u) << "";
    QTest::newRow("bit rate 0") << "can.bitRate" << QVariant(0u) << "Refused CAN bit rate 0";
    QTest::newRow("bit rate 1000001") << "can.bitRate" << QVariant(1000001u) << "Refused CAN bit rate 1000001";
    QTest::newRow("sample point 999") << "can.samplePoint" << QVariant(999u) << "";
    QTest::newRow("sample point 1000") << "can.samplePoint" << QVariant(1000u) << "Refused CAN sample point 1000";
    QTest::newRow("sample point 0") << "can.samplePoint" << QVariant(0u) << "Refused CAN sample point 0";
    QTest::newRow("standard identifier 0x7ff") << "can.filters.0.identifier" << QVariant(0x7ffu) << "";
    QTest::newRow("standard identifier 0x800") << "can.filters.0.identifier" << QVariant(0x800u)
                                               << "Refused CAN filter identifier 2048 extended false";
    QTest::newRow("extended identifier 0x1fffffff") << "can.filters.1.identifier" << QVariant(0x1fffffffu) << "";
    QTest::newRow("extended mask 0x20000000") << "can.filters.1.mask" << QVariant(0x20000000u)
                                              << "Refused CAN filter mask 536870912 extended true";
    QTest::newRow("SSID 32 bytes") << "wlan.ssid" << QVariant(a32) << "";
    QTest::newRow("SSID 33 bytes") << "wlan.ssid" << QVariant(a32 + "a")
                                   << QStringLiteral("Refused WLAN SSID \"%1a\"").arg(a32);
    QTest::newRow("SSID 33 bytes in 17 letters") << "wlan.ssid" << QVariant(umlauts16 + "a")
                                                 << QStringLiteral("Refused WLAN SSID \"%1a\"").arg(umlauts16);
    QTest::newRow("SSID empty") << "wlan.ssid" << QVariant(QString()) << "Refused WLAN SSID \"\"";
    const QString wpa2Refused = QStringLiteral("Refused WLAN passphrase for security 1");
    QTest::newRow("WPA2 8 characters") << "wlan.passphrase" << QVariant("12345678") << "";
    QTest::newRow("WPA2 7 characters") << "wlan.passphrase" << QVariant("1234567") << wpa2Refused;
    QTest::newRow("WPA2 63 characters") << "wlan.passphrase" << QVariant(QString(63, '~')) << "";
    QTest::newRow("WPA2 64 hexadecimal") << "wlan.passphrase" << QVariant(hex64) << "";
    QTest::newRow("WPA2 64 not hexadecimal") << "wlan.passphrase" << QVariant(hex64.left(63) + "g") << wpa2Refused;
    QTest::newRow("WPA2 not ASCII") << "wlan.passphrase" << QVariant(umlauts16) << wpa2Refused;
    QTest::newRow("channel 13") << "wlan.channel" << QVariant(13u) << "";
    QTest::newRow("channel 14") << "wlan.channel" << QVariant(14u) << "Refused WLAN channel 14";
    QTest::newRow("TCP port 65535") << "wlan.tcpPort" << QVariant(65535u) << "";
    QTest::newRow("TCP port 65536") << "wlan.tcpPort" << QVariant(65536u) << "Refused TCP port 65536";
    QTest::newRow("TCP port 0") << "wlan.tcpPort" << QVariant(0u) << "Refused TCP port 0";
    QTest::newRow("address") << "wlan.ipAddress" << QVariant("10.0.0.255") << "";
    QTest::newRow("address octet 256") << "wlan.ipAddress" << QVariant("10.0.0.256")
                                       << "Refused IP address \"10.0.0.256\"";
    QTest::newRow("netmask /32") << "wlan.netmask" << QVariant("255.255.255.255") << "";
    QTest::newRow("netmask with a hole") << "wlan.netmask" << QVariant("255.0.255.0")
                                         << "Refused netmask \"255.0.255.0\"";
    QTest::newRow("netmask zero") << "wlan.netmask" << QVariant("0.0.0.0") << "Refused netmask \"0.0.0.0\"";
    QTest::newRow("gateway in subnet") << "wlan.gateway" << QVariant("192.168.4.254") << "";
    QTest::newRow("gateway outside subnet") << "wlan.gateway" << QVariant("192.168.5.1")
                                            << "Refused gateway \"192.168.5.1\"";
    QTest::newRow("PIN 16 digits") << "bluetooth.pin" << QVariant("1234567890123456") << "";
    QTest::newRow("PIN 17 digits") << "bluetooth.pin" << QVariant("12345678901234567")
                                   << "Refused Bluetooth PIN of length 17";
    QTest::newRow("PIN 3 digits") << "bluetooth.pin" << QVariant("123") << "Refused Bluetooth PIN of length 3";
    QTest::newRow("PIN with a letter") << "bluetooth.pin" << QVariant("12a4") << "Refused Bluetooth PIN of length 4";
    QTest::newRow("name 32 bytes") << "bluetooth.deviceName" << QVariant(a32) << "";
    QTest::newRow("name 33 bytes") << "bluetooth.deviceName" << QVariant(a32 + "a")
                                   << QStringLiteral("Refused Bluetooth device name \"%1a\"").arg(a32);
    QTest::newRow("WLAN mode 2") << "wlan.mode" << QVariant(2) << "Refused WLAN mode 2";
    QTest::newRow("WLAN security -1") << "wlan.security" << QVariant(-1) << "Refused WLAN security -1";
    QTest::newRow("IP mode 7") << "wlan.ipMode" << QVariant(7) << "Refused IP mode 7";
}

void TestMessageWrappers::limits()
{
    QFETCH(QString, path);
    QFETCH(QVariant, value);
    QFETCH(QString, warning);

    Configuration config(ALL_INTERFACES);
    prepare(&config);
    QByteArray name;
    QObject *object = holder(&config, path, &name);
    QVERIFY(object);
    const QVariant before = object->property(name);
    QVERIFY(before != value);
    const QMetaProperty property = object->metaObject()->property(object->metaObject()->indexOfProperty(name));
    QSignalSpy changed(object, property.notifySignal());
    QSignalSpy edited(&config, &Configuration::edited);

    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    object->setProperty(name, value);

    const int edits = warning.isEmpty() ? 1 : 0;
    const auto text = [&property](const QVariant &v) {
        return property.isEnumType() ? QString::number(v.toInt()) : v.toString();
    };
    QCOMPARE(text(object->property(name)), text(edits ? value : before));
    QCOMPARE(changed.count(), edits);
    QCOMPARE(edited.count(), edits);
    if (edits) {
        // The same value again is no change.
        object->setProperty(name, value);
        QCOMPARE(edited.count(), 1);
    }
}

void TestMessageWrappers::settingsThatDependOnEachOther()
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
    QCOMPARE(wlan->security(), WlanConfig::SECURITY_WPA3_SAE);
    QCOMPARE(wlan->ipMode(), WlanConfig::IP_MODE_STATIC);
    QCOMPARE(wlan->gateway(), QStringLiteral("10.0.0.1"));
}

void TestMessageWrappers::filterListEdits()
{
    Configuration config{Configuration::Interfaces()};
    QVt::Pb::Can::Config *can = config.can();
    QPointer<QVt::Pb::Can::Filter> first(can->addFilter());
    QVt::Pb::Can::Filter *second = can->addFilter();
    second->setExtended(true);
    second->setIdentifier(0x1234567);
    second->setMask(0x1ffff0ff);

    // Back to standard keeps the low 11 bits, so the filter stays valid.
    second->setExtended(false);
    QCOMPARE(second->identifier(), 0x567u);
    QCOMPARE(second->mask(), 0x0ffu);

    QSignalSpy edited(&config, &Configuration::edited);
    QVERIFY(can->removeFilter(0));
    QVERIFY(first.isNull());
    QCOMPARE(can->filter(0), second);
    QVERIFY(!can->removeFilter(1));
    QCOMPARE(edited.count(), 1);
}

QTEST_GUILESS_MAIN(TestMessageWrappers)
#include "tst_messageWrappers.moc"
