// The device page as the main window loads it, for devices of the real plug-ins; typed and
// clicked as a user would, with outcomes read from the configuration bytes.
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
        property var currentDevice: testDevice; property bool connected; property bool busy
        signal readFromDeviceSuccessful()
    }
    Loader { anchors.fill: parent; Component.onCompleted: setSource("qrc:/ktbridge/DevicePage.qml", { device: testDevice }) }
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
    T *find(const QString &name, QObject *root = nullptr) const
    {
        QList<QObject *> queue{root ? root : window->contentItem()};
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

    // Brings the tab holding item to the front, as a user would, then clicks at x in it.
    void click(QQuickItem *item, qreal x = -1) const
    {
        auto *view = find(QStringLiteral("deviceTabs"));
        for (int i = 0; i < view->property("count").toInt(); ++i) {
            QVariant tab;
            QMetaObject::invokeMethod(view, "getTab", Q_RETURN_ARG(QVariant, tab), Q_ARG(QVariant, i));
            for (QQuickItem *parent = item; parent; parent = parent->parentItem()) {
                if (parent == tab.value<QObject *>())
                    view->setProperty("currentIndex", i);
            }
        }
        const QPointF point(x < 0 ? item->width() / 2 : x, item->height() / 2);
        QTest::mouseClick(window, Qt::LeftButton, {}, item->mapToScene(point).toPoint());
    }

    // Empties the field and types text into it key by key, as a user does; the click must
    // reach the field through its tool tip. The edit is not finished.
    void type(QQuickItem *field, const QString &text) const
    {
        click(field, 20);
        QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(window, Qt::Key_Delete);
        for (const QChar key : text)
            QTest::keyClick(window, key.toLatin1());
    }

    // What the page counts as not in the configuration: the labels of its invalid fields.
    QString invalidFields() const
    {
        QStringList labels;
        for (const QVariant &field : find<QObject>(QStringLiteral("devicePage"))->property("invalidFields").toList())
            labels += field.toMap().value(QStringLiteral("label")).toString();
        return labels.join(',');
    }
};

// A device page for a fresh device of one product, or for configuration bytes.
std::unique_ptr<Host> open(const QString &model, const QByteArray &bytes = {})
{
    QPluginLoader loader(QStringLiteral(KT_DEVICES_DIR "/libqvtbusgate-ktbridge-%1.so").arg(model));
    auto *driver = qobject_cast<AbstractDevice *>(loader.instance());
    if (!driver)
        return nullptr;
    auto host = std::make_unique<Host>();
    host->device = driver->newInstance();
    if (!bytes.isEmpty() && !host->device->deserialize(bytes))
        return nullptr;
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
    void initTestCase()
    {
        QVt::Pb::Utilities::registerMetaTypes();
        QVt::Pb::Utilities::registerQmlTypes();
        qmlRegisterType<CustomSpinBoxValidator>("com.vtcan.types", 1, 0, "CustomSpinBoxValidator");
    }

    // User actions on a fresh page (";" between them), their trace in the configuration's
    // bytes ("!" for text that must be gone, nothing for no edit at all), one property of one
    // item ("item property value") and the fields the page then counts as invalid. A typed
    // text reaches the configuration only when finished ("enter", "leave") and valid, whole;
    // a read in place ("read") of the same configuration gives up what was not taken.
    void edits_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("actions"); // "verb item argument"
        QTest::addColumn<QString>("bytes");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("invalid");
        QTest::newRow("bit rate") << "cwb" << "choose bitRateCombo 1" << "bit_rate: 20000" << "" << "";
        QTest::newRow("sample point, Enter") << "cwb" << "type samplePointSpinBox 80; enter" << "sample_point: 800" << "" << "";
        QTest::newRow("sample point down key") << "cwb" << "key samplePointSpinBox" << "sample_point: 870" << "" << "";
        QTest::newRow("TCP port up button") << "cwb" << "step tcpPortSpinBox mouseUp" << "tcp_port: 20002" << "" << "";
        QTest::newRow("termination") << "cwb" << "click terminationCheckBox" << "termination: true" << "" << "";
        QTest::newRow("WLAN off keeps its settings") << "cwb" << "click wlanEnabledCheckBox"
                                                     << "wlan_interface {\n  device_info" << "ssidField enabled false" << "";
        QTest::newRow("open network") << "cwb" << "choose securityCombo 0" << "!security:" << "passphraseField enabled false" << "";
        QTest::newRow("device name, field left") << "cwb" << "type deviceNameField Line 3; leave" << "device_name: \"Line 3\"" << "" << "";
        QTest::newRow("DHCP") << "cw" << "choose ipModeCombo 0" << "!ip_mode:" << "ipAddressField enabled false" << "";
        QTest::newRow("own passphrase") << "cw" << "type passphraseField 90817263; enter" << "passphrase: \"90817263\""
                                        << "wlanNotice text " << "";
        QTest::newRow("own PIN") << "cb" << "type pinField 90817263; leave" << "pin: \"90817263\"" << "bluetoothNotice text " << "";
        QTest::newRow("address not finished") << "cw" << "type ipAddressField 192.168.4.7" << "" << "ipAddressField text 192.168.4.7" << "";
        QTest::newRow("address with a valid prefix") << "cw" << "type ipAddressField 192.168.4.300; enter" << ""
                                                     << "ipAddressField text 192.168.4.300" << "Address";
        QTest::newRow("passphrase emptied key by key") << "cw" << "erase passphraseField 14; enter" << ""
                                                       << "passphraseField text " << "Passphrase";
        QTest::newRow("WPA3 waits for a passphrase") << "cw" << "type passphraseField; choose securityCombo 2" << ""
                                                     << "securityCombo errorHighlight true" << "Security,Passphrase";
        QTest::newRow("read after a refused address") << "cw" << "type ipAddressField 192.168.4.300; enter; read" << "" << "" << "";
        QTest::newRow("read while WPA3 waits") << "cw" << "type passphraseField; choose securityCombo 2; read" << "" << "" << "";
        QTest::newRow("SSID of 40") << "cwb" << "type ssidField " + QString(40, 'S') + "; enter" << ""
                                    << "ssidField text " + QString(40, 'S') << "Network name (SSID)";
        QTest::newRow("channel 99") << "cw" << "type channelSpinBox 99; leave" << "" << "channelSpinBox __text 99" << "Channel";
        QTest::newRow("TCP port 70000") << "cw" << "type tcpPortSpinBox 70000; enter" << "" << "tcpPortError text Enter a number from 1 to 65535." << "TCP port";
        QTest::newRow("gateway outside subnet") << "cw" << "type gatewayField 192.168.5.1; enter" << "" << "gatewayField errorHighlight true" << "Gateway";
        QTest::newRow("PIN of 3 digits") << "cb" << "type pinField 123; leave" << "" << "pinField errorHighlight true" << "PIN";
        QTest::newRow("filter identifier 0x900") << "cwb" << "click addFilter; type filterIdentifierSpinBox 900; enter"
                                                 << "mask: 2047" << "filterIdentifierSpinBox __text 0x900" << "Identifier";
        QTest::newRow("duplicate filter") << "cwb" << "click addFilter; click addFilter; type filterIdentifierSpinBox 0; enter"
                                          << "identifier: 1" << "filterIdentifierError text The filter in row 1 has this identifier, mask and kind already."
                                          << "Identifier";
    }

    void edits()
    {
        QFETCH(QString, model);
        QFETCH(QString, actions);
        QFETCH(QString, bytes);
        QFETCH(QString, page);
        const auto host = open(model);
        QVERIFY(host);
        QCOMPARE(host->warnings.size(), 0);
        // CAN, then one tab per radio.
        QCOMPARE(host->find("deviceTabs")->property("count").toInt(), model == "cwb" ? 3 : 2);
        const QByteArray before = host->device->serialize();
        const bool gone = bytes.startsWith('!');
        bytes.remove(0, gone ? 1 : 0);
        QVERIFY(bytes.isEmpty() || host->text().contains(bytes) == gone);
        const QStringList check = page.split(' ');
        const QString expected = check.mid(2).join(' ');
        const auto shown = [&host, &check] {
            return host->find<QObject>(check.at(0))->property(qPrintable(check.at(1))).toString();
        };
        if (check.size() >= 3)
            QVERIFY(shown() != expected);
        QSignalSpy saveNeeded(host->device.data(), &AbstractDevice::saveNeeded);

        for (const QString &action : actions.split(QStringLiteral("; "))) {
            const QStringList words = action.split(' ');
            const QString argument = words.mid(2).join(' ');
            QQuickItem *item = words.size() > 1 ? host->find(words.at(1)) : nullptr;
            if (words.at(0) == "choose") {
                item->setProperty("currentIndex", argument.toInt());
                QMetaObject::invokeMethod(item, "activated", Q_ARG(int, argument.toInt()));
            } else if (words.at(0) == "type") {
                host->type(item, argument);
            } else if (words.at(0) == "erase") {
                host->click(item, 20);
                QTest::keyClick(host->window, Qt::Key_End);
                for (int key = 0; key < argument.toInt(); ++key)
                    QTest::keyClick(host->window, Qt::Key_Backspace);
            } else if (words.at(0) == "enter") {
                QTest::keyClick(host->window, Qt::Key_Return);
            } else if (words.at(0) == "read") {
                QVERIFY(host->device->deserialize(host->device->serialize()));
                QMetaObject::invokeMethod(host->window->findChild<QObject *>("stateMachine"), "readFromDeviceSuccessful");
            } else if (words.at(0) == "leave") {
                QTest::keyClick(host->window, Qt::Key_Tab);
            } else if (words.at(0) == "key") {
                host->click(item, 20);
                QTest::keyClick(host->window, Qt::Key_Down);
            } else {
                host->click(words.at(0) == "step" ? host->find(argument, item) : item);
            }
        }

        if (bytes.isEmpty())
            QCOMPARE(host->device->serialize(), before);
        else
            QVERIFY2(host->text().contains(bytes) != gone, qPrintable(host->text()));
        QCOMPARE(saveNeeded.isEmpty(), bytes.isEmpty());
        if (check.size() >= 3)
            QCOMPARE(shown(), expected);
        QTEST(host->invalidFields(), "invalid");
    }

    // A bit rate off the page's list, as a unit or file reports it, is shown as it is and
    // written back unchanged when the user edits something else.
    void reportedValueKept()
    {
        auto fresh = open(QStringLiteral("cwb"));
        QVERIFY(fresh);
        File file;
        QVERIFY(file.load(fresh->device->serialize()));
        ktbridge::Configuration message;
        QVERIFY(message.ParseFromString(file.body().toStdString()));
        message.mutable_can()->set_bit_rate(83333);
        const auto host = open(QStringLiteral("cwb"),
                               File::compose(file.productId(), QByteArray::fromStdString(message.SerializeAsString())));
        QVERIFY(host);
        QCOMPARE(host->find("bitRateCombo")->property("currentText").toString(), QStringLiteral("83333 bit/s (non-standard)"));
        host->click(host->find("terminationCheckBox"));
        QVERIFY2(host->text().contains("bit_rate: 83333") && host->text().contains("termination: true"),
                 qPrintable(host->text()));
    }
};

QTEST_MAIN(TestDevicePage)
#include "tst_devicePage.moc"
