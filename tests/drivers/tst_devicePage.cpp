// The KT Bridge device page as the main window loads it: a device object from the
// real plug-ins, the theme, and stand-ins for the window's named objects. Input is
// typed and clicked as a user would; outcomes are read from the configuration bytes.
#include "simulatorProcess.h"

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

#include "comms/protocol/bootProtocol.h"

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

    template<typename T = QQuickItem>
    T *find(const QString &name) const
    {
        T *item = window->findChild<T *>(name);
        if (!item)
            qWarning() << "No item named" << name;
        return item;
    }

    QObject *message(const char *name) const
    {
        const QVariant value = device->property(name);
        QObject *object = value.value<QObject *>();
        if (object && qstrcmp(name, "can") != 0)
            object = object->property("object").value<QObject *>();
        return object;
    }

    QObject *stateMachine() const { return find<QObject>(QStringLiteral("stateMachine")); }

    void type(QQuickItem *field, const QString &text) const
    {
        field->forceActiveFocus();
        if (field->metaObject()->indexOfMethod("selectAll()") >= 0)
            QMetaObject::invokeMethod(field, "selectAll");
        QTest::keyClick(window, Qt::Key_Delete);
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(window, &press);
            QCoreApplication::sendEvent(window, &release);
        }
    }

    void click(QQuickItem *item) const
    {
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

class TestDevicePage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void tabsPerProduct_data();
    void tabsPerProduct();
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
    for (int i = 0; i < tabs.size(); ++i) {
        tabView->setProperty("currentIndex", i);
        QTest::qWait(300);
        host->window->screen()->grabWindow(host->window->winId()).save(QStringLiteral("/tmp/page-%1-%2.png").arg(model).arg(i));
    }
}

QTEST_MAIN(TestDevicePage)
#include "tst_devicePage.moc"
