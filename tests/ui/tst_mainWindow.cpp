#include "comms/commsHandler.h"
#include "config/saveStatusTracker.h"
#include "device/deviceFactory.h"
#include "deviceTestSupport.h"
#include "simulatorProcess.h"
#include "sm/stateMachine.h"
#include "ui/customSpinBoxValidator.h"

#include <qvtbusgate/types.h>
#include <qvtpb/utilities.h>

#include <QtQml>
#include <QtQuick>
#include <QtTest>

#include <ctime>
#include <memory>

using namespace DeviceTestSupport;
using QVt::Config::SaveStatusTracker;
using QVt::Sm::StateMachine;

// An item by name in the visual tree: items a Repeater makes are not its QObject children.
static QQuickItem *item(QQuickItem *root, const QString &name)
{
    for (QQuickItem *child : root->childItems()) {
        if (QQuickItem *found = child->objectName() == name ? child : item(child, name))
            return found;
    }
    return nullptr;
}

// The main window and its secondary windows on the real context objects, with a
// simulated KT Bridge CWB on the serial link; one window for all cases.
class TestMainWindow : public QObject
{
    Q_OBJECT

    QObject *named(const char *name) const { return mWindow->findChild<QObject *>(QLatin1String(name)); }
    QString text(const char *name) const { return named(name)->property("text").toString(); }
    QString url(const QString &name) const { return QUrl::fromLocalFile(mDir.filePath(name)).toString(); }

    void connectDevice()
    {
        mStateMachine->doConnect();
        QTRY_VERIFY(mStateMachine->connected() && !mStateMachine->busy());
    }

private slots:
    void initTestCase()
    {
        // Dates must show in UTC wherever the user lives.
        qputenv("TZ", "Asia/Kolkata");
        tzset();
        QCoreApplication::setApplicationName(QStringLiteral("KT Bridge Configurator"));
        QCoreApplication::setOrganizationName(QStringLiteral("Halvard Motion Systems"));
        QVt::Pb::Utilities::registerMetaTypes();
        SaveStatusTracker::instance();
        QVERIFY(mDir.isValid());
        QVERIFY(writeFile(mDir.filePath(QStringLiteral("device.bgc")), reportedCwbConfiguration()));
        QVERIFY(mSimulator.start({"--link", mDir.filePath("port"), "--id-string", ID_STRING, "--config", mDir.filePath("device.bgc")}));
        qputenv("KTBRIDGE_EXTRA_PORTS", mDir.filePath(QStringLiteral("port")).toLocal8Bit());

        qmlRegisterType<QVt::Global::Types>("com.vtcan.types", 1, 0, "VtTypes");
        QVt::Pb::Utilities::registerQmlTypes();
        qmlRegisterType<CustomSpinBoxValidator>("com.vtcan.types", 1, 0, "CustomSpinBoxValidator");
        mStateMachine = StateMachine::instance();
        mEngine.reset(new QQmlEngine);
        const auto object = [](QObject *o) { return QVariant::fromValue(o); };
        const QVariantMap properties{{"stateMachine", object(mStateMachine)}, {"commsHandler", object(QVt::Comms::CommsHandler::instance())}, {"deviceFactory", object(QVt::Device::DeviceFactory::instance())}, {"saveStatusTracker", object(SaveStatusTracker::instance())}, {"applicationName", "KT Bridge Configurator"}, {"PLATFORM", "linux"}};
        for (auto it = properties.cbegin(); it != properties.cend(); ++it)
            mEngine->rootContext()->setContextProperty(it.key(), it.value());
        mQuit.reset(new QSignalSpy(mEngine.get(), &QQmlEngine::quit));
        // Every case is a piece of a user's session, in which no QML warning may appear.
        connect(mEngine.get(), &QQmlEngine::warnings, this, [this](const QList<QQmlError> &warnings) {
            for (const QQmlError &warning : warnings)
                mQmlWarnings += warning.toString();
        });

        QQmlComponent component(mEngine.get(), QUrl(QStringLiteral("qrc:/qml/main.qml")));
        mWindow = qobject_cast<QQuickWindow *>(component.create());
        QVERIFY2(mWindow, qPrintable(component.errorString()));
        QVERIFY(QTest::qWaitForWindowExposed(mWindow));

        QSignalSpy loaded(mStateMachine, &StateMachine::loadFileSuccessful);
        mStateMachine->setStartupOptions(url(QStringLiteral("device.bgc")), false);
        mStateMachine->setReplyTimeout(3000);
        mStateMachine->start();
        QTRY_COMPARE(loaded.count(), 1);
    }

    void cleanup()
    {
        for (QQuickWindow *window : mWindow->findChildren<QQuickWindow *>())
            window->close();
        mWindow->property("portSetting").value<QObject *>()->setProperty("value", mDir.filePath(QStringLiteral("port")));
        // A connection under way finishes first, so that no late reply meets the next case.
        QTRY_VERIFY_WITH_TIMEOUT(!mStateMachine->busy(), 5000);
        mStateMachine->doDisconnect();
        QTRY_VERIFY(!mStateMachine->connected() && !mStateMachine->busy());
        SaveStatusTracker::instance()->setSaveNeeded(false);
        mQuit->clear();
        QVERIFY2(mQmlWarnings.isEmpty(), qPrintable(mQmlWarnings.join('\n')));
    }

    // Which device actions a user may take in each phase of a connection, and what the
    // status bar says; a click on the status text must respect the action's state.
    void deviceActions_data()
    {
        QTest::addColumn<QString>("phase");
        QTest::addColumn<QString>("enabled");   // connect, disconnect, read, write, reset, info
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("provider");
        const QString port = mDir.filePath(QStringLiteral("port"));
        QTest::newRow("disconnected") << "" << "100000" << "Not connected" << "Serial (" + port + ")";
        QTest::newRow("no port chosen") << "no port" << "000000" << "Not connected" << "Serial (not configured)";
        QTest::newRow("connecting") << "connecting" << "000000" << "Busy..." << "Serial (" + port + ")";
        QTest::newRow("connected") << "connected" << "011111" << "Connected to device: " + ID_STRING << "Serial (" + port + ")";
    }

    void deviceActions()
    {
        QFETCH(QString, phase);
        QFETCH(QString, enabled);
        if (phase == QLatin1String("no port"))
            mWindow->property("portSetting").value<QObject *>()->setProperty("value", QString());
        else if (phase == QLatin1String("connecting"))
            mStateMachine->doConnect();
        else if (phase == QLatin1String("connected"))
            connectDevice();

        const char *actions[] = {"connectAction", "disconnectAction", "readDataFromDeviceAction", "writeDataToDeviceAction", "factoryResetAction", "showDeviceInfoAction"};
        for (int i = 0; i < 6; ++i)
            QVERIFY2(named(actions[i])->property("enabled").toBool() == (enabled[i] == QLatin1Char('1')), actions[i]);
        QTEST(text("connectionStatusText"), "status");
        QTEST(text("providerStatusText"), "provider");

        auto *status = qobject_cast<QQuickItem *>(named("connectionStatusText"));
        QTest::mouseClick(mWindow, Qt::LeftButton, {}, status->mapToScene(QPointF(5, 5)).toPoint());
        bool infoShown = false;
        for (QQuickWindow *window : mWindow->findChildren<QQuickWindow *>())
            infoShown |= window->title() == QLatin1String("Device Information") && window->isVisible();
        QCOMPARE(infoShown, enabled[5] == QLatin1Char('1'));
    }

    // When Save may be chosen, whether it saves in place or asks for a file, and the caption.
    void saveAndCaption_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("caption");
        const QString saved = mDir.filePath(QStringLiteral("saved.bgc"));
        QTest::newRow("new configuration") << "new" << true << "dialog" << "KT Bridge CWB: (unsaved configuration)";
        QTest::newRow("new, edited") << "new edited" << true << "dialog" << "KT Bridge CWB: (unsaved configuration)*";
        QTest::newRow("saved to a file") << "saved" << false << "" << "KT Bridge CWB: " + saved;
        QTest::newRow("saved, then edited") << "saved edited" << true << "saved in place" << "KT Bridge CWB: " + saved + "*";
    }

    void saveAndCaption()
    {
        QFETCH(QString, state);
        mStateMachine->doNewConfiguration(PRODUCT_CWB);
        QSignalSpy saved(mStateMachine, &StateMachine::saveFileSuccessful);
        if (state.startsWith(QLatin1String("saved")))
            QMetaObject::invokeMethod(mWindow, "saveConfigurationTo", Q_ARG(QVariant, url(QStringLiteral("saved.bgc"))));
        QTRY_COMPARE(saved.count(), state.startsWith(QLatin1String("saved")) ? 1 : 0);
        if (state.endsWith(QLatin1String("edited")))
            SaveStatusTracker::instance()->setSaveNeeded(true);
        QTEST(named("saveConfigurationAction")->property("enabled").toBool(), "enabled");
        QTEST(text("deviceCaption"), "caption");

        saved.clear();
        QMetaObject::invokeMethod(named("saveConfigurationAction"), "trigger");
        QFETCH(QString, outcome);
        QCOMPARE(named("saveDialog")->property("visible").toBool(), outcome == QLatin1String("dialog"));
        QCOMPARE(saved.count(), outcome == QLatin1String("saved in place") ? 1 : 0);
        QMetaObject::invokeMethod(named("saveDialog"), "close");
    }

    // The extension is added only where the chosen name lacks it, in any letter case.
    void fileExtension_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("configuration without extension") << "saveConfigurationTo" << "a" << "a.bgc";
        QTest::newRow("configuration in upper case") << "saveConfigurationTo" << "B.BGC" << "B.BGC";
        QTest::newRow("archive without extension") << "packSupportArchiveTo" << "e" << "e.zip";
        QTest::newRow("archive in upper case") << "packSupportArchiveTo" << "F.ZIP" << "F.ZIP";
    }

    void fileExtension()
    {
        QFETCH(QString, function);
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        mStateMachine->doNewConfiguration(PRODUCT_CWB);
        QMetaObject::invokeMethod(mWindow, function.toLatin1(), Q_ARG(QVariant, url(chosen)));
        QTRY_VERIFY(QFile::exists(mDir.filePath(written)));
    }

    // What the state machine reports becomes a dialog, which starts empty once closed.
    void errorDialog()
    {
        emit mStateMachine->commsError(9, QStringLiteral("The port went away."));
        QObject *dialog = named("errorDialog");
        QCOMPARE(dialog->property("title").toString(), QStringLiteral("Communication Error"));
        QCOMPARE(dialog->property("text").toString(), QStringLiteral("A communication error has occurred. The port went away. (Error code: 9)"));
        QMetaObject::invokeMethod(dialog, "close");
        QTRY_COMPARE(dialog->property("text").toString(), QString());
    }

    // Quitting asks first about unsaved changes, and returns a connected device to normal operation.
    void quit_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("quits");
        QTest::newRow("unsaved, window closed") << "unsaved" << "close" << true << false;
        QTest::newRow("unsaved, answered yes") << "unsaved" << "yes" << true << true;
        QTest::newRow("connected, window closed") << "connected" << "close" << false << true;
    }

    void quit()
    {
        QFETCH(QString, setup);
        QFETCH(QString, how);
        if (setup == QLatin1String("unsaved"))
            SaveStatusTracker::instance()->setSaveNeeded(true);
        if (setup == QLatin1String("connected"))
            connectDevice();
        QSignalSpy disconnected(mStateMachine, &StateMachine::disconnectSuccessful);
        if (how == QLatin1String("close"))
            mWindow->close();
        else
            QMetaObject::invokeMethod(named("quitAction"), "trigger");
        QObject *dialog = named("unsavedQuitCheckDialog");
        QTEST(dialog->property("visible").toBool(), "asks");
        if (how == QLatin1String("yes"))
            QMetaObject::invokeMethod(dialog, "yes");
        QTEST(mQuit->count() == 1, "quits");
        QVERIFY(mWindow->isVisible());
        if (setup == QLatin1String("connected"))
            QTRY_COMPARE(disconnected.count(), 1);
        QMetaObject::invokeMethod(dialog, "close");
    }

    // Save, Save As and Write take only what the fields show: while one is refused or
    // incomplete, a warning names it and nothing is saved or sent; once fixed, Write finishes
    // the field being edited and the unit holds exactly what the fields show.
    void invalidFieldsRefused_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("title");
        QTest::newRow("save") << "saveConfigurationAction" << "Configuration Not Saved";
        QTest::newRow("save as") << "saveConfigurationAsAction" << "Configuration Not Saved";
        QTest::newRow("write") << "writeDataToDeviceAction" << "Configuration Not Written";
    }

    void invalidFieldsRefused()
    {
        QFETCH(QString, action);
        connectDevice();
        const auto field = [this](const char *name) { return item(mWindow->contentItem(), name); };
        field("ipAddressField")->setProperty("text", "192.168.4.300");
        field("passphraseField")->setProperty("text", "");
        QSignalSpy saved(mStateMachine, &StateMachine::saveFileSuccessful);
        QSignalSpy written(mStateMachine, &StateMachine::writeToDeviceSuccessful);
        QMetaObject::invokeMethod(named(action.toLatin1()), "trigger");
        QObject *warning = named("warningDialog");
        QTEST(warning->property("title").toString(), "title");
        const QString text = warning->property("text").toString();
        QVERIFY2(text.contains("Address (WLAN tab)") && text.contains("Passphrase (WLAN tab)"), qPrintable(text));
        QVERIFY(!named("saveDialog")->property("visible").toBool() && !mStateMachine->busy());
        QMetaObject::invokeMethod(warning, "close");

        field("ipAddressField")->setProperty("text", "192.168.4.30");
        field("passphraseField")->setProperty("text", "a new passphrase");
        field("passphraseField")->forceActiveFocus();
        QMetaObject::invokeMethod(named("writeDataToDeviceAction"), "trigger");
        QTRY_COMPARE(written.count(), 1);
        QCOMPARE(saved.count(), 0);
        mStateMachine->doReadDeviceConfiguration();
        QTRY_VERIFY(!mStateMachine->busy());
        QCOMPARE(field("ipAddressField")->property("text").toString(), QStringLiteral("192.168.4.30"));
        QCOMPARE(field("passphraseField")->property("text").toString(), QStringLiteral("a new passphrase"));
    }

    // A factory reset asks first; No sends nothing.
    void factoryResetAsks_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("resets");
        QTest::newRow("no") << "no" << 0;
        QTest::newRow("yes") << "yes" << 1;
    }

    void factoryResetAsks()
    {
        QFETCH(QString, answer);
        connectDevice();
        QSignalSpy reset(mStateMachine, &StateMachine::factoryResetSuccessful);
        QMetaObject::invokeMethod(named("factoryResetAction"), "trigger");
        QObject *question = named("genericAreYouSureDialog");
        QVERIFY(question->property("visible").toBool());
        QCOMPARE(question->property("text").toString(), QStringLiteral("The unit's configuration is replaced by its factory settings. Do you want to proceed?"));
        QMetaObject::invokeMethod(question, answer.toLatin1());
        QMetaObject::invokeMethod(question, "close");
        QFETCH(int, resets);
        if (resets == 0) {
            // A reset sent after all would be answered before this read.
            QSignalSpy read(mStateMachine, &StateMachine::readFromDeviceSuccessful);
            mStateMachine->doReadDeviceConfiguration();
            QTRY_COMPARE(read.count(), 1);
        }
        QTRY_COMPARE(reset.count(), resets);
    }

    // A serial number shows as it is, every other number in lower-case hexadecimal, the date
    // in UTC; a radio's row leaves when it reports no MAC.
    void deviceInfoWindow()
    {
        connectDevice();
        QVariant shownWindow;
        QMetaObject::invokeMethod(mWindow, "showWindow", Q_RETURN_ARG(QVariant, shownWindow), Q_ARG(QVariant, "deviceInfo.qml"));
        QPointer<QQuickWindow> window = qobject_cast<QQuickWindow *>(shownWindow.value<QObject *>());
        QVERIFY(window && QTest::qWaitForWindowExposed(window));
        QQmlExpression(qmlContext(window), window, "info.serialNumber = 4660; info.unixTimeOfManufacture = 1476140645; "
                                                   "device.bluetoothInterface.object.deviceInfo.mac = ''").evaluate();
        const auto shown = [&window](const char *name) { return item(window->contentItem(), name)->property("text").toString(); };
        QCOMPARE(shown("vendorId"), QStringLiteral("c0de"));
        QCOMPARE(shown("serialNumber"), QStringLiteral("4660"));
        QCOMPARE(shown("manufactured"), QStringLiteral("2016/10/10 23:04:05 UTC"));
        QVERIFY(!item(window->contentItem(), "bluetoothMac")->isVisible() && item(window->contentItem(), "wlanMac")->isVisible());
        QTest::keyPress(window, Qt::Key_Return);
        QTRY_VERIFY(!window);
    }

private:
    QTemporaryDir mDir;
    SimulatorProcess mSimulator;
    StateMachine *mStateMachine = nullptr;
    std::unique_ptr<QQmlEngine> mEngine;
    QQuickWindow *mWindow = nullptr;
    std::unique_ptr<QSignalSpy> mQuit;
    QStringList mQmlWarnings;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainWindow.moc"
