// The device page as the main window loads it, for devices of the real plug-ins; typed and
// clicked as a user would, with outcomes read from the configuration bytes.
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
#include <QSerialPort>
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
        id: stateMachine; objectName: "stateMachine"
        property var currentDevice: testDevice
        property bool connected: false; property bool busy: false
        property int pairingRequests: 0
        function doEnterPairingMode() { ++pairingRequests }
    }
    QtObject {
        id: genericAreYouSureDialog; objectName: "genericAreYouSureDialog"
        property string title; property string text; property bool visible: false
        signal yes(); signal no(); signal rejected()
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

    QObjectList tabs() const
    {
        QObjectList list;
        auto *view = find(QStringLiteral("deviceTabs"));
        for (int i = 0; i < view->property("count").toInt(); ++i) {
            QVariant tab;
            QMetaObject::invokeMethod(view, "getTab", Q_RETURN_ARG(QVariant, tab), Q_ARG(QVariant, i));
            list << tab.value<QObject *>();
        }
        return list;
    }

    // Brings the tab holding item to the front, as a user would before using it.
    void show(QQuickItem *item) const
    {
        const QObjectList all = tabs();
        for (; item; item = item->parentItem()) {
            if (all.contains(item))
                find(QStringLiteral("deviceTabs"))->setProperty("currentIndex", all.indexOf(item));
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

std::unique_ptr<Host> open(const QString &model)
{
    QPluginLoader loader(QStringLiteral(KT_DEVICES_DIR "/libqvtbusgate-ktbridge-%1.so").arg(model));
    auto *driver = qobject_cast<AbstractDevice *>(loader.instance());
    if (!driver)
        return nullptr;
    auto host = std::make_unique<Host>();
    host->device = driver->newInstance();
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
    QStringList titles;
    for (const QObject *tab : host->tabs())
        titles << tab->property("title").toString();
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
    QTest::newRow("WPA2 passphrase of 8") << "passphrase" << "12345678" << true;
    QTest::newRow("WPA2 passphrase of 7") << "passphrase" << "1234567" << false;
    QTest::newRow("address") << "ipAddress" << "192.168.4.99" << true;
    QTest::newRow("address octet 256") << "ipAddress" << "192.168.4.256" << false;
    QTest::newRow("gateway in subnet") << "gateway" << "192.168.4.254" << true;
    QTest::newRow("gateway outside subnet") << "gateway" << "192.168.5.1" << false;
    QTest::newRow("PIN of 3 digits") << "pin" << "123" << false;
}

void TestDevicePage::typedText()
{
    QFETCH(QString, setting);
    QFETCH(QString, typed);
    QFETCH(bool, taken);

    const auto host = open("cwb");
    QVERIFY(host);
    QObject *row = host->find(setting);
    const QString before = row->property("value").toString();
    QSignalSpy saveNeeded(host->device.data(), &AbstractDevice::saveNeeded);

    host->type(setting + "Field", typed);

    QCOMPARE(row->property("value").toString(), taken ? typed : before);
    QCOMPARE(host->find(setting + "Field")->property("errorHighlight").toBool(), !taken);
    const QString error = host->find<QObject>(setting + "Error")->property("text").toString();
    QCOMPARE(error.isEmpty(), taken);
    QCOMPARE(host->find<QObject>(setting + "ToolTip")->property("text").toString() == error, !taken);
    QCOMPARE(saveNeeded.isEmpty(), !taken);
}

// One user action on a fresh page, its trace in the configuration's bytes ("!" for text
// that must be gone) and, where the page itself changes, one property of one item.
void TestDevicePage::editsReachTheBytes_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("action"); // "verb item argument"
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("page"); // "item property value"

    QTest::newRow("bit rate") << "cwb" << "choose bitRate 1" << "bit_rate: 20000" << "";
    QTest::newRow("sample point") << "cwb" << "type samplePointSpinBox 80" << "sample_point: 800" << "";
    QTest::newRow("termination") << "cwb" << "click terminationCheckBox" << "termination: true" << "";
    QTest::newRow("WLAN off keeps its settings") << "cwb" << "click wlanEnabledCheckBox"
                                                 << "wlan_interface {\n  device_info" << "ssidField enabled false";
    QTest::newRow("open network") << "cwb" << "choose security 0" << "!security:" << "passphraseField enabled false";
    QTest::newRow("TCP port") << "cwb" << "type tcpPortSpinBox 502" << "tcp_port: 502" << "";
    QTest::newRow("device name") << "cwb" << "type deviceNameField Line 3" << "device_name: \"Line 3\"" << "";
    QTest::newRow("DHCP") << "cw" << "choose ipMode 0" << "!ip_mode:" << "ipAddressField enabled false";
    QTest::newRow("own passphrase") << "cw" << "type passphraseField 90817263" << "passphrase: \"90817263\""
                                    << "wlanNotice text ";
    QTest::newRow("own PIN") << "cb" << "type pinField 90817263" << "pin: \"90817263\"" << "bluetoothNotice text ";
}

void TestDevicePage::editsReachTheBytes()
{
    QFETCH(QString, model);
    QFETCH(QString, action);
    QFETCH(QString, bytes);
    QFETCH(QString, page);

    const auto host = open(model);
    QVERIFY(host);
    const bool gone = bytes.startsWith('!');
    bytes.remove(0, gone ? 1 : 0);
    QCOMPARE(host->text().contains(bytes), gone);
    const QStringList check = page.split(' ');
    const auto shown = [&host, &check] {
        return host->find<QObject>(check.at(0))->property(qPrintable(check.at(1))).toString();
    };
    if (check.size() == 3)
        QVERIFY(shown() != check.at(2));
    QSignalSpy saveNeeded(host->device.data(), &AbstractDevice::saveNeeded);

    const QStringList words = action.split(' ');
    const QString argument = words.mid(2).join(' ');
    if (words.at(0) == "choose")
        host->choose(words.at(1), argument.toInt());
    else if (words.at(0) == "type")
        host->type(words.at(1), argument);
    else
        host->click(words.at(1));

    QVERIFY2(host->text().contains(bytes) != gone, qPrintable(host->text()));
    QVERIFY(!saveNeeded.isEmpty());
    if (check.size() == 3)
        QCOMPARE(shown(), check.at(2));
}

void TestDevicePage::unusualValuesSurvive()
{
    const auto host = open("cw");
    QVERIFY(host);
    QSignalSpy saveNeeded(host->device.data(), &AbstractDevice::saveNeeded);

    // What a unit of a newer firmware might report: a bit rate the page does not offer,
    // an unknown security, a channel beyond the page's range.
    File file;
    file.load(host->device->serialize());
    ktbridge::Configuration message;
    message.ParseFromString(file.body().toStdString());
    message.mutable_can()->set_bit_rate(83333);
    message.mutable_wlan_interface()->mutable_wlan()->set_security(ktbridge::WlanSecurity(9));
    message.mutable_wlan_interface()->mutable_wlan()->set_channel(20);
    const QByteArray unit = File::compose(file.productId(), QByteArray::fromStdString(message.SerializeAsString()));
    QVERIFY(host->device->deserialize(unit));

    QCOMPARE(host->find("bitRateCombo")->property("currentText").toString(),
             "83333 bit/s (non-standard)");
    QVERIFY(host->find("securityCombo")->property("currentText").toString().startsWith("9 "));
    QCOMPARE(host->device->serialize(), unit);
    QVERIFY(saveNeeded.isEmpty());
}

void TestDevicePage::filters()
{
    const auto host = open("cb");
    QVERIFY(host);
    for (int i = 0; i < 3; ++i)
        host->click("addFilter");
    host->type("filterIdentifierSpinBox", "7ff");
    host->click("filterExtended");
    host->type("filterIdentifierSpinBox", "1abcdef0");
    host->type("filterMaskSpinBox", "3fffffff"); // one bit too many
    QCOMPARE(host->find("filterTable")->property("rowCount").toInt(), 3);

    const QString extended = "filters {\n    identifier: 448585456\n    mask: 536870911\n    extended: true\n  }";
    QVERIFY2(host->text().contains(extended), qPrintable(host->text()));
    host->click("removeFilter");
    QVERIFY(!host->text().contains(extended));
    QCOMPARE(host->text().count("mask: 2047"), 2);
}

void TestDevicePage::pairingModeAfterConfirmation()
{
    const auto host = open("cb");
    QVERIFY(host);
    QObject *stateMachine = host->find<QObject>("stateMachine");
    QObject *dialog = host->find<QObject>("genericAreYouSureDialog");
    QQuickItem *button = host->find("pairingMode");
    QVERIFY(!button->isEnabled());
    stateMachine->setProperty("connected", true);
    QVERIFY(button->isEnabled());

    host->click("pairingMode");
    QVERIFY(dialog->property("visible").toBool());
    QMetaObject::invokeMethod(dialog, "no");
    QMetaObject::invokeMethod(dialog, "yes"); // an answer to another question
    QCOMPARE(stateMachine->property("pairingRequests").toInt(), 0);
    host->click("pairingMode");
    QMetaObject::invokeMethod(dialog, "yes");
    QCOMPARE(stateMachine->property("pairingRequests").toInt(), 1);
}

// Edited on the page, written as the state machine writes it, stored by the unit.
void TestDevicePage::writtenToTheSimulator()
{
    QTemporaryDir dir;
    const QString store = dir.filePath("unit.bgc");
    SimulatorProcess simulator;
    QVERIFY(simulator.start({"--store", store})); // a CWB unit
    const auto host = open("cwb");
    QVERIFY(host);
    host->type("ssidField", "Line 7");
    host->choose("bitRate", 4);

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
