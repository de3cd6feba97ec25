// The KT Bridge device page as the main window loads it: a device object from the
// real plug-ins, the theme, and stand-ins for the window's named objects. Input is
// typed and clicked as a user would; outcomes are read from the configuration bytes.
#include "simulatorProcess.h"

#include "comms/protocol/bootProtocol.h"
#include "ui/customSpinBoxValidator.h"

#include <qvtbusgate/abstractDevice.h>
#include <qvtpb/configurationFile.h>
#include <qvtpb/utilities.h>

#include "ktbridge.pb.h"

#include <QPluginLoader>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using QVt::Device::AbstractDevice;
using QVt::Pb::Configuration::File;

namespace {

// The main window as far as a device page sees it.
const QByteArray HOST = R"(
import QtQuick 2.3
import QtQuick.Window 2.2
Window {
    id: mainApplication
    width: 1024; height: 768; visible: true
    QtObject {
        id: stateMachine
        objectName: "stateMachine"
        property var currentDevice: testDevice
        property bool connected: false
        property bool busy: false
        property int pairingRequests: 0
        function doEnterPairingMode() { ++pairingRequests }
    }
    QtObject {
        id: genericAreYouSureDialog
        objectName: "genericAreYouSureDialog"
        property string title
        property string text
        property bool visible: false
        signal yes()
        signal no()
        signal rejected()
        function open() { visible = true }
    }
    Loader { anchors.fill: parent; source: "qrc:/ktbridge/DevicePage.qml" }
})";

// A device page loaded for a fresh device of one product.
struct Host
{
    QSharedPointer<AbstractDevice> device;
    std::unique_ptr<QQmlApplicationEngine> engine;
    QQuickWindow *window = nullptr;
    QList<QQmlError> warnings;

    // Tab contents hang only in the visual tree, so that is searched too.
    template<typename T = QQuickItem>
    T *find(const QString &name) const
    {
        QList<QObject *> queue{window, window->contentItem()};
        while (!queue.isEmpty()) {
            QObject *object = queue.takeFirst();
            if (object->objectName() == name && qobject_cast<T *>(object))
                return qobject_cast<T *>(object);
            queue += object->children();
            if (auto *item = qobject_cast<QQuickItem *>(object)) {
                for (QQuickItem *child : item->childItems())
                    queue += child;
            }
        }
        qWarning() << "No item named" << name;
        return nullptr;
    }

    // The configuration as the protobuf text of its bytes.
    QString text() const
    {
        File file;
        ktbridge::Configuration message;
        file.load(device->serialize());
        message.ParseFromString(file.body().toStdString());
        return QString::fromStdString(message.DebugString());
    }

    // Brings the tab holding item to the front, as a user would before using it.
    void show(QQuickItem *item) const
    {
        auto *tabs = find(QStringLiteral("deviceTabs"));
        for (; item; item = item->parentItem()) {
            for (int i = 0; i < tabs->property("count").toInt(); ++i) {
                QVariant tab;
                QMetaObject::invokeMethod(tabs, "getTab", Q_RETURN_ARG(QVariant, tab), Q_ARG(QVariant, i));
                if (tab.value<QObject *>() == item)
                    tabs->setProperty("currentIndex", i);
            }
        }
    }

    // Replaces the field's text in one go, as pasting does.
    void type(const QString &name, const QString &text) const
    {
        QQuickItem *field = find(name);
        show(field);
        field->forceActiveFocus();
        QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(window, Qt::Key_Delete);
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QCoreApplication::sendEvent(window, &press);
    }

    void click(const QString &name) const
    {
        QQuickItem *item = find(name);
        show(item);
        QTest::mouseClick(window, Qt::LeftButton, {},
                          item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint());
    }

    void choose(const QString &setting, int index) const
    {
        auto *combo = find(setting + QStringLiteral("Combo"));
        combo->setProperty("currentIndex", index);
        QMetaObject::invokeMethod(combo, "activated", Q_ARG(int, index));
    }
};

QSharedPointer<AbstractDevice> driver(const QString &model)
{
    QPluginLoader loader(QStringLiteral(KT_DEVICES_DIR "/libqvtbusgate-ktbridge-%1.so").arg(model));
    auto *device = qobject_cast<AbstractDevice *>(loader.instance());
    if (!device)
        qWarning() << loader.errorString();
    return device ? device->newInstance() : nullptr;
}

std::unique_ptr<Host> open(const QString &model, const QByteArray &configuration = {})
{
    auto host = std::make_unique<Host>();
    host->device = driver(model);
    if (!host->device)
        return nullptr;
    if (!configuration.isEmpty())
        host->device->deserialize(configuration);
    host->engine = std::make_unique<QQmlApplicationEngine>();
    Host *raw = host.get();
    QObject::connect(host->engine.get(), &QQmlEngine::warnings,
                     [raw](const QList<QQmlError> &warnings) { raw->warnings += warnings; });
    host->engine->rootContext()->setContextProperty(QStringLiteral("testDevice"), host->device.data());
    host->engine->loadData(HOST);
    host->window = qobject_cast<QQuickWindow *>(host->engine->rootObjects().value(0));
    if (!host->window || !QTest::qWaitForWindowExposed(host->window))
        return nullptr;
    return host;
}

} // namespace

// What a unit with a newer firmware might report: a bit rate the page does not offer,
// an unknown security, a channel beyond the page's range.
QByteArray unusualUnit(const AbstractDevice &device)
{
    File file;
    file.load(device.serialize());
    ktbridge::Configuration message;
    message.ParseFromString(file.body().toStdString());
    message.mutable_can()->set_bit_rate(83333);
    message.mutable_wlan_interface()->mutable_wlan()->set_security(ktbridge::WlanSecurity(9));
    message.mutable_wlan_interface()->mutable_wlan()->set_channel(20);
    return File::compose(file.productId(), QByteArray::fromStdString(message.SerializeAsString()));
}

class TestDevicePage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void tabsPerProduct_data();
    void tabsPerProduct();
    void typedText_data();
    void typedText();
    void editsReachTheBytes_data();
    void editsReachTheBytes();
    void unusualValuesSurvive();
    void filters();
    void staticAddressFollowsTheChoice();
    void factorySecretNotice_data();
    void factorySecretNotice();
    void pairingModeAfterConfirmation();
    void writtenToTheSimulator();
};

void TestDevicePage::initTestCase()
{
    QVt::Pb::Utilities::registerMetaTypes();
    QVt::Pb::Utilities::registerQmlTypes();
    qmlRegisterType<CustomSpinBoxValidator>("com.vtcan.types", 1, 0, "CustomSpinBoxValidator");
}

void TestDevicePage::tabsPerProduct_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("tabs");
    QTest::newRow("CW") << "cw" << QStringList{"CAN", "WLAN"};
    QTest::newRow("CB") << "cb" << QStringList{"CAN", "Bluetooth"};
    QTest::newRow("CWB") << "cwb" << QStringList{"CAN", "WLAN", "Bluetooth"};
}

void TestDevicePage::tabsPerProduct()
{
    QFETCH(QString, model);
    QFETCH(QStringList, tabs);

    const auto host = open(model);
    QVERIFY(host);
    auto *tabView = host->find(QStringLiteral("deviceTabs"));
    QVERIFY(tabView);
    QStringList titles;
    for (int i = 0; i < tabView->property("count").toInt(); ++i) {
        QVariant tab;
        QMetaObject::invokeMethod(tabView, "getTab", Q_RETURN_ARG(QVariant, tab), Q_ARG(QVariant, i));
        titles << tab.value<QObject *>()->property("title").toString();
    }
    QCOMPARE(titles, tabs);
    QCOMPARE(host->warnings.size(), 0);
}

// The rules themselves are the library's; the page shows them and keeps the last valid value.
void TestDevicePage::typedText_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("taken");

    QTest::newRow("SSID 32 bytes") << "ssid" << QString(32, 'a') << true;
    QTest::newRow("SSID 33 bytes") << "ssid" << QString(16, QChar(0xe4)) + "a" << false;
    QTest::newRow("SSID empty") << "ssid" << "" << false;
    QTest::newRow("WPA2 passphrase of 8") << "passphrase" << "12345678" << true;
    QTest::newRow("WPA2 passphrase of 7") << "passphrase" << "1234567" << false;
    QTest::newRow("WPA2 key of 64 digits") << "passphrase" << QString(64, 'F') << true;
    QTest::newRow("address") << "ipAddress" << "192.168.4.99" << true;
    QTest::newRow("address octet 256") << "ipAddress" << "192.168.4.256" << false;
    QTest::newRow("netmask with a hole") << "netmask" << "255.0.255.0" << false;
    QTest::newRow("gateway in subnet") << "gateway" << "192.168.4.254" << true;
    QTest::newRow("gateway outside subnet") << "gateway" << "192.168.5.1" << false;
    QTest::newRow("PIN of 16 digits") << "pin" << "1234567890123456" << true;
    QTest::newRow("PIN of 3 digits") << "pin" << "123" << false;
    QTest::newRow("name of 33 bytes") << "deviceName" << QString(33, 'b') << false;
}

void TestDevicePage::typedText()
{
    QFETCH(QString, setting);
    QFETCH(QString, typed);
    QFETCH(bool, taken);

    const auto host = open(QStringLiteral("cwb"));
    QVERIFY(host);
    QObject *row = host->find(setting);
    const QString before = row->property("value").toString();
    QSignalSpy saveNeeded(host->device.data(), &AbstractDevice::saveNeeded);

    host->type(setting + "Field", typed);

    QCOMPARE(row->property("value").toString(), taken ? typed : before);
    QCOMPARE(host->find(setting + "Field")->property("errorHighlight").toBool(), !taken);
    const QString error = host->find<QObject>(setting + "Error")->property("text").toString();
    QCOMPARE(error.isEmpty(), taken);
    if (!taken)
        QCOMPARE(host->find<QObject>(setting + "ToolTip")->property("text").toString(), error);
    QCOMPARE(saveNeeded.isEmpty(), !taken);
}

void TestDevicePage::editsReachTheBytes_data()
{
    QTest::addColumn<QString>("action"); // "verb setting argument"
    QTest::addColumn<QString>("bytes");  // what the configuration's text then holds

    QTest::newRow("bit rate") << "choose bitRate 1" << "bit_rate: 20000";
    QTest::newRow("sample point") << "type samplePointSpinBox 80" << "sample_point: 800";
    QTest::newRow("termination") << "click terminationCheckBox" << "termination: true";
    QTest::newRow("WLAN off") << "click wlanEnabledCheckBox" << "wlan_interface {\n  device_info";
    QTest::newRow("client") << "choose wlanMode 1" << "mode: WLAN_MODE_CLIENT";
    QTest::newRow("open") << "choose security 0" << "ssid: \"KT-Bridge-CWB\"\n    passphrase";
    QTest::newRow("channel") << "type channelSpinBox 13" << "channel: 13";
    QTest::newRow("TCP port") << "type tcpPortSpinBox 502" << "tcp_port: 502";
    QTest::newRow("device name") << "type deviceNameField Line 3" << "device_name: \"Line 3\"";
    QTest::newRow("not discoverable") << "click discoverableCheckBox" << "pin: \"1234\"\n  }";
}

void TestDevicePage::editsReachTheBytes()
{
    QFETCH(QString, action);
    QFETCH(QString, bytes);

    const auto host = open(QStringLiteral("cwb"));
    QVERIFY(host);
    QVERIFY(!host->text().contains(bytes));
    QSignalSpy saveNeeded(host->device.data(), &AbstractDevice::saveNeeded);

    const QStringList words = action.split(' ');
    const QString argument = words.mid(2).join(' ');
    if (words.at(0) == "choose")
        host->choose(words.at(1), argument.toInt());
    else if (words.at(0) == "type")
        host->type(words.at(1), argument);
    else
        host->click(words.at(1));

    QVERIFY2(host->text().contains(bytes), qPrintable(host->text()));
    QVERIFY(!saveNeeded.isEmpty());
}

void TestDevicePage::unusualValuesSurvive()
{
    const auto host = open(QStringLiteral("cw"));
    QVERIFY(host);
    QSignalSpy saveNeeded(host->device.data(), &AbstractDevice::saveNeeded);

    const QByteArray unit = unusualUnit(*host->device);
    QVERIFY(host->device->deserialize(unit));

    QCOMPARE(host->find(QStringLiteral("bitRateCombo"))->property("currentText").toString(),
             QStringLiteral("83333 bit/s (non-standard)"));
    QVERIFY(host->find(QStringLiteral("securityCombo"))->property("currentText").toString().startsWith("9 "));
    QCOMPARE(host->device->serialize(), unit);
    QVERIFY(saveNeeded.isEmpty());

    // An edit elsewhere leaves them as they are.
    host->type(QStringLiteral("ssidField"), QStringLiteral("Hall"));
    QVERIFY(host->text().contains("bit_rate: 83333"));
    QVERIFY(host->text().contains("security: 9"));
    QVERIFY(host->text().contains("channel: 20"));
}

void TestDevicePage::filters()
{
    const auto host = open(QStringLiteral("cb"));
    QVERIFY(host);
    for (int i = 0; i < 3; ++i)
        host->click(QStringLiteral("addFilter"));
    host->type(QStringLiteral("filterIdentifierSpinBox"), QStringLiteral("7ff"));
    host->click(QStringLiteral("filterExtended"));
    host->type(QStringLiteral("filterIdentifierSpinBox"), QStringLiteral("1abcdef0"));
    host->type(QStringLiteral("filterMaskSpinBox"), QStringLiteral("3fffffff")); // one bit too many
    QCOMPARE(host->find(QStringLiteral("filterTable"))->property("rowCount").toInt(), 3);

    const QString extended = "filters {\n    identifier: 448585456\n    mask: 536870911\n    extended: true\n  }";
    QVERIFY2(host->text().contains(extended), qPrintable(host->text()));
    host->click(QStringLiteral("removeFilter"));
    QVERIFY(!host->text().contains(extended));
    QCOMPARE(host->text().count("mask: 2047"), 2);
}

void TestDevicePage::staticAddressFollowsTheChoice()
{
    const auto host = open(QStringLiteral("cw"));
    QVERIFY(host);
    QQuickItem *address = host->find(QStringLiteral("ipAddressField"));
    QVERIFY(address->isEnabled());

    host->choose(QStringLiteral("ipMode"), 0);
    QVERIFY(!address->isEnabled());
    QVERIFY(!host->text().contains("ip_mode:")); // DHCP is the protobuf default
    QVERIFY(host->text().contains("ip_address: \"192.168.4.1\""));

    host->choose(QStringLiteral("ipMode"), 1);
    QVERIFY(address->isEnabled());
    QVERIFY(host->text().contains("ip_mode: IP_MODE_STATIC"));
}

void TestDevicePage::factorySecretNotice_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("field");
    QTest::newRow("factory passphrase") << "cw" << "wlanNotice" << "passphraseField";
    QTest::newRow("factory PIN") << "cb" << "bluetoothNotice" << "pinField";
}

void TestDevicePage::factorySecretNotice()
{
    QFETCH(QString, model);
    QFETCH(QString, notice);
    QFETCH(QString, field);

    const auto host = open(model);
    QVERIFY(host);
    QVERIFY(host->find<QObject>(notice)->property("text").toString().contains("factory"));
    host->type(field, QStringLiteral("90817263"));
    QCOMPARE(host->find<QObject>(notice)->property("text").toString(), QString());
}

void TestDevicePage::pairingModeAfterConfirmation()
{
    const auto host = open(QStringLiteral("cb"));
    QVERIFY(host);
    QObject *stateMachine = host->find<QObject>(QStringLiteral("stateMachine"));
    QObject *dialog = host->find<QObject>(QStringLiteral("genericAreYouSureDialog"));
    QQuickItem *button = host->find(QStringLiteral("pairingMode"));
    QVERIFY(!button->isEnabled());
    stateMachine->setProperty("connected", true);
    QVERIFY(button->isEnabled());

    host->click(QStringLiteral("pairingMode"));
    QVERIFY(dialog->property("visible").toBool());
    QMetaObject::invokeMethod(dialog, "no");
    QMetaObject::invokeMethod(dialog, "yes"); // an answer to another question
    QCOMPARE(stateMachine->property("pairingRequests").toInt(), 0);
    host->click(QStringLiteral("pairingMode"));
    QMetaObject::invokeMethod(dialog, "yes");
    QCOMPARE(stateMachine->property("pairingRequests").toInt(), 1);
}

// Edited on the page, written as the state machine writes it, stored by the unit.
void TestDevicePage::writtenToTheSimulator()
{
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("unit.bgc"));
    SimulatorProcess simulator;
    QVERIFY(simulator.start({QStringLiteral("--product-id"), QStringLiteral("0000c0de0001"),
                             QStringLiteral("--store"), store}));
    const auto host = open(QStringLiteral("cw"));
    QVERIFY(host);
    host->type(QStringLiteral("ssidField"), QStringLiteral("Line 7"));
    host->choose(QStringLiteral("bitRate"), 4);

    QSerialPort port(simulator.portName());
    QVERIFY(port.open(QIODevice::ReadWrite));
    port.write(QVt::Comms::Protocol::BootProtocol::buildWriteProtobufCommand(host->device->serialize()));
    QVERIFY(port.waitForBytesWritten(5000));
    QTRY_VERIFY(QFile::exists(store));
    QFile file(store);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), host->device->serialize());
}

QTEST_MAIN(TestDevicePage)
#include "tst_devicePage.moc"
