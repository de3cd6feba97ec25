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

// Every item under root in the visual tree: items a Repeater makes are not its QObject children.
static QList<QQuickItem *> items(QQuickItem *root)
{
    QList<QQuickItem *> all;
    for (QQuickItem *child : root->childItems())
        all << child << items(child);
    return all;
}

static QQuickItem *item(QQuickWindow *window, const QString &name)
{
    for (QQuickItem *candidate : items(window->contentItem())) {
        if (candidate->objectName() == name)
            return candidate;
    }
    return nullptr;
}

// The main window and its secondary windows on the real context objects, with a
// simulated KT Bridge CWB on the serial link. Also renders the pictures of
// build/screenshots/ for a look by eye.
class TestMainWindow : public QObject
{
    Q_OBJECT

    QObject *named(const char *name) const { return mWindow->findChild<QObject *>(QLatin1String(name)); }
    QString text(const char *name) const { return named(name)->property("text").toString(); }
    QString url(const QString &name) const { return QUrl::fromLocalFile(mDir.filePath(name)).toString(); }

    QQuickWindow *secondaryWindow(const QString &title) const
    {
        for (QQuickWindow *window : mWindow->findChildren<QQuickWindow *>()) {
            if (window->title() == title && window->isVisible())
                return window;
        }
        return nullptr;
    }

    QQuickWindow *open(const char *file)
    {
        QVariant window;
        QMetaObject::invokeMethod(mWindow, "showWindow", Q_RETURN_ARG(QVariant, window),
                                  Q_ARG(QVariant, QString::fromLatin1(file)));
        auto *quickWindow = qobject_cast<QQuickWindow *>(window.value<QObject *>());
        return quickWindow && QTest::qWaitForWindowExposed(quickWindow) ? quickWindow : nullptr;
    }

    bool startSimulator(const QStringList &arguments = {})
    {
        mSimulator.reset(new SimulatorProcess);
        return mSimulator->start(QStringList{QStringLiteral("--link"), mDir.filePath(QStringLiteral("port")),
                                             QStringLiteral("--id-string"), ID_STRING,
                                             QStringLiteral("--config"), mDir.filePath(QStringLiteral("device.bgc"))}
                                 + arguments);
    }

    void connectDevice()
    {
        mStateMachine->doConnect();
        QTRY_VERIFY(mStateMachine->connected() && !mStateMachine->busy());
    }

    void grab(QQuickWindow *window, const QString &name)
    {
        QTest::qWait(1200);
        const QString folder = QStringLiteral(KT_BINARY_DIR "/screenshots");
        QDir().mkpath(folder);
        QVERIFY(window->screen()->grabWindow(window->winId()).save(folder + QLatin1Char('/') + name));
    }

private slots:
    void initTestCase()
    {
        // Dates must show in UTC wherever the user lives.
        qputenv("TZ", "Asia/Kolkata");
        tzset();
        QCoreApplication::setApplicationName(QStringLiteral("KT Bridge Configurator"));
        QVt::Pb::Utilities::registerMetaTypes();
        SaveStatusTracker::instance();
        QVERIFY(mDir.isValid());
        QVERIFY(writeFile(mDir.filePath(QStringLiteral("device.bgc")), reportedCwbConfiguration()));
        QVERIFY(startSimulator());
        qputenv("KTBRIDGE_EXTRA_PORTS", mDir.filePath(QStringLiteral("port")).toLocal8Bit());

        qmlRegisterType<QVt::Global::Types>("com.vtcan.types", 1, 0, "VtTypes");
        QVt::Pb::Utilities::registerQmlTypes();
        qmlRegisterType<CustomSpinBoxValidator>("com.vtcan.types", 1, 0, "CustomSpinBoxValidator");
        mStateMachine = StateMachine::instance();
        mEngine.reset(new QQmlEngine);
        QQmlContext *context = mEngine->rootContext();
        context->setContextProperty(QStringLiteral("stateMachine"), mStateMachine);
        context->setContextProperty(QStringLiteral("commsHandler"), QVt::Comms::CommsHandler::instance());
        context->setContextProperty(QStringLiteral("deviceFactory"), QVt::Device::DeviceFactory::instance());
        context->setContextProperty(QStringLiteral("saveStatusTracker"), SaveStatusTracker::instance());
        const QVariantMap strings{{"organizationName", "Halvard Motion Systems"}, {"organizationAboutName", "Halvard Connected Systems"}, {"applicationName", "KT Bridge Configurator"}, {"applicationVersion", "2.1.0"}, {"applicationBuildDate", "2026/12/05"}, {"PLATFORM", "linux"}};
        for (auto it = strings.cbegin(); it != strings.cend(); ++it)
            context->setContextProperty(it.key(), it.value());
        mQuit.reset(new QSignalSpy(mEngine.get(), &QQmlEngine::quit));

        QQmlComponent component(mEngine.get(), QUrl(QStringLiteral("qrc:/qml/main.qml")));
        mWindow = qobject_cast<QQuickWindow *>(component.create());
        QVERIFY2(mWindow, qPrintable(component.errorString()));
        QVERIFY(QTest::qWaitForWindowExposed(mWindow));

        QSignalSpy loaded(mStateMachine, &StateMachine::loadFileSuccessful);
        mStateMachine->setStartupOptions(url(QStringLiteral("device.bgc")), false);
        mStateMachine->start();
        QTRY_COMPARE(loaded.count(), 1);
    }

    void cleanup()
    {
        for (QQuickWindow *window : mWindow->findChildren<QQuickWindow *>())
            window->close();
        mEngine->rootContext()->setContextProperty(QStringLiteral("deviceFactory"), QVt::Device::DeviceFactory::instance());
        mWindow->property("portSetting").value<QObject *>()->setProperty("value", mDir.filePath(QStringLiteral("port")));
        // A connection under way finishes first, so that no late reply meets the next case.
        QTRY_VERIFY_WITH_TIMEOUT(!mStateMachine->busy(), 12000);
        mStateMachine->doDisconnect();
        QTRY_VERIFY(!mStateMachine->connected() && !mStateMachine->busy());
        SaveStatusTracker::instance()->setSaveNeeded(false);
        mQuit->clear();
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
        QCOMPARE(!!secondaryWindow(QStringLiteral("Device Information")), enabled[5] == QLatin1Char('1'));
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
        // A read keeps the file of the configuration it replaced.
        QTest::newRow("saved, then read from device") << "saved read" << false << "" << "KT Bridge CWB: (read from device)";
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
        if (state.endsWith(QLatin1String("read"))) {
            connectDevice();
            QSignalSpy read(mStateMachine, &StateMachine::readFromDeviceSuccessful);
            mStateMachine->doReadDeviceConfiguration();
            QTRY_COMPARE(read.count(), 1);
        }
        QTEST(named("saveConfigurationAction")->property("enabled").toBool(), "enabled");
        QTEST(text("deviceCaption"), "caption");

        saved.clear();
        QMetaObject::invokeMethod(named("saveConfigurationAction"), "trigger");
        QFETCH(QString, outcome);
        QCOMPARE(named("saveDialog")->property("visible").toBool(), outcome == QLatin1String("dialog"));
        QCOMPARE(saved.count(), outcome == QLatin1String("saved in place") ? 1 : 0);
        QMetaObject::invokeMethod(named("saveDialog"), "close");
    }

    // The extension is added only where the chosen name holds it nowhere, in any letter case.
    void fileExtension_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("configuration without extension") << "saveConfigurationTo" << "a" << "a.bgc";
        QTest::newRow("configuration in upper case") << "saveConfigurationTo" << "B.BGC" << "B.BGC";
        QTest::newRow("configuration extension mid-name") << "saveConfigurationTo" << "c.bgc.old" << "c.bgc.old";
        QTest::newRow("configuration folder with extension") << "saveConfigurationTo" << "x.Bgc/d" << "x.Bgc/d";
        QTest::newRow("archive without extension") << "packSupportArchiveTo" << "e" << "e.zip";
        QTest::newRow("archive in upper case") << "packSupportArchiveTo" << "F.ZIP" << "F.ZIP";
        QTest::newRow("archive folder with extension") << "packSupportArchiveTo" << "y.zip/g" << "y.zip/g";
    }

    void fileExtension()
    {
        QFETCH(QString, function);
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QDir(mDir.path()).mkpath(QFileInfo(chosen).path());
        mStateMachine->doNewConfiguration(PRODUCT_CWB);
        QSignalSpy saved(mStateMachine, &StateMachine::saveFileSuccessful);
        QSignalSpy packed(mStateMachine, &StateMachine::packSupportArchiveSuccessful);
        QMetaObject::invokeMethod(mWindow, function.toLatin1(), Q_ARG(QVariant, url(chosen)));
        QTRY_COMPARE(saved.count() + packed.count(), 1);
        QVERIFY(QFile::exists(mDir.filePath(written)));
    }

    // Each outcome the state machine reports becomes the right dialog or notice.
    void messages_data()
    {
        QTest::addColumn<QString>("signal");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("shownIn");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        auto error = [](const char *signal, const QStringList &arguments, const char *title, const QString &text) {
            QTest::newRow(signal) << signal << arguments << "errorDialog" << title << text;
        };
        error("timeout", {}, "Communication Timeout", "A communication timeout has occurred.");
        error("deviceUnsupported", {"KT 9", "0000c0de0009"}, "Device Unsupported", "The connected device is not supported by this application:\n\nDevice ID: KT 9\nProduct ID: 0000c0de0009");
        error("configurationUnsupported", {"0000c0de0009"}, "Configuration Unsupported", "The configuration data cannot be loaded, as its product ID is unsupported.\n\nProduct ID: 0000c0de0009");
        error("commsError", {"9", "The port went away."}, "Communication Error", "A communication error has occurred. The port went away. (Error code: 9)");
        error("saveFileFailed", {"/ro/a.bgc", "Permission denied"}, "Save Failed", "The file could not be saved.\n\nFile: /ro/a.bgc\nReason: Permission denied");
        error("packSupportArchiveFailed", {"/ro/a.zip", "Disk full"}, "Save Failed", "The file could not be saved.\n\nFile: /ro/a.zip\nReason: Disk full");
        QTest::newRow("configurationVersionMismatch") << "configurationVersionMismatch" << QStringList() << "warningDialog" << "Configuration Data Version Mismatch" << "The configuration data was created with another version of this software. Though the data from the file has been loaded as carefully as possible, this could lead to unexpected behavior.";
        auto notice = [](const char *signal, const QStringList &arguments, const char *text) {
            QTest::newRow(signal) << signal << arguments << "successToast" << QString() << text;
        };
        notice("loadFileSuccessful", {"/c/a.bgc"}, "Loaded file /c/a.bgc");
        notice("newFileSuccessful", {"KT Bridge CW"}, "Created new configuration for KT Bridge CW");
        notice("saveFileSuccessful", {"/c/b.bgc"}, "Saved file /c/b.bgc");
        notice("packSupportArchiveSuccessful", {"/c/s.zip"}, "Created support archive /c/s.zip");
        notice("connectSuccessful", {}, "Connection successful");
    }

    void messages()
    {
        QFETCH(QString, signal);
        QFETCH(QStringList, arguments);
        QFETCH(QString, shownIn);
        const QByteArray name = signal.toLatin1();
        if (signal == QLatin1String("commsError"))
            QMetaObject::invokeMethod(mStateMachine, name, Q_ARG(quint16, quint16(arguments[0].toUInt())),
                                      Q_ARG(QString, arguments[1]));
        else if (arguments.size() == 2)
            QMetaObject::invokeMethod(mStateMachine, name, Q_ARG(QString, arguments[0]), Q_ARG(QString, arguments[1]));
        else if (arguments.size() == 1)
            QMetaObject::invokeMethod(mStateMachine, name, Q_ARG(QString, arguments[0]));
        else
            QMetaObject::invokeMethod(mStateMachine, name);

        QObject *shown = named(shownIn.toLatin1());
        QTEST(shown->property("text").toString(), "text");
        if (shownIn == QLatin1String("successToast"))
            return;
        QTEST(shown->property("title").toString(), "title");
        QVERIFY(shown->property("visible").toBool());
        // Closed any way, the dialog starts empty for the next message.
        QMetaObject::invokeMethod(shown, "close");
        QTRY_COMPARE(shown->property("text").toString(), QString());
        QCOMPARE(shown->property("title").toString(), QString());
    }

    void noticeSameTextDoesNotRestart()
    {
        QObject *toast = named("successToast");
        QElapsedTimer clock;
        clock.start();
        emit mStateMachine->connectSuccessful();
        QTest::qWait(1500);
        emit mStateMachine->connectSuccessful();
        QTRY_COMPARE_WITH_TIMEOUT(toast->property("text").toString(), QString(), 5000);
        QVERIFY2(clock.elapsed() < 3900, "the repeated notice must not restart the two seconds");
        emit mStateMachine->connectSuccessful();
        QCOMPARE(toast->property("text").toString(), QStringLiteral("Connection successful"));
    }

    // With one product, New creates at once; with several, it asks which.
    void newConfiguration_data()
    {
        QTest::addColumn<QStringList>("productIds");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("asks");
        QTest::newRow("one product") << QStringList{PRODUCT_CWB} << "&New configuration" << false;
        QTest::newRow("several products") << QStringList{PRODUCT_CWB, PRODUCT_CB} << "&New configuration..." << true;
    }

    void newConfiguration()
    {
        QFETCH(QStringList, productIds);
        QQmlPropertyMap factory;
        factory.insert(QStringLiteral("supportedDeviceProductIds"), productIds);
        factory.insert(QStringLiteral("supportedDeviceNames"), productIds);
        mEngine->rootContext()->setContextProperty(QStringLiteral("deviceFactory"), &factory);
        QSignalSpy created(mStateMachine, &StateMachine::newFileSuccessful);
        QTEST(named("newConfigurationAction")->property("text").toString(), "text");
        QMetaObject::invokeMethod(named("newConfigurationAction"), "trigger");
        QFETCH(bool, asks);
        QCOMPARE(!!secondaryWindow(QStringLiteral("New Configuration")), asks);
        QCOMPARE(created.count(), asks ? 0 : 1);
        cleanup();
    }

    // Quitting asks first about unsaved changes, and returns a connected device to normal operation.
    void quit_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("quits");
        QTest::newRow("unsaved, exit") << "unsaved" << "action" << true << false;
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

    // The serial provider's one setting, the port, shows as a choice of the ports offered.
    void connectionSettings()
    {
        QObject *setting = mWindow->property("portSetting").value<QObject *>();
        QPointer<QQuickWindow> window = open("connectionSettings.qml");
        QVERIFY(window);
        QVERIFY(!item(window, QStringLiteral("providerTypeBox"))->isVisible());
        QQuickItem *editor = item(window, QStringLiteral("comboSettingEditor"));
        QCOMPARE(editor->property("currentText").toString(), mDir.filePath(QStringLiteral("port")));
        setting->setProperty("value", QString());
        QMetaObject::invokeMethod(editor, "activated", Q_ARG(int, 0));
        QCOMPARE(setting->property("value").toString(), mDir.filePath(QStringLiteral("port")));
        QTest::keyPress(window, Qt::Key_Escape);
        QTRY_VERIFY(!window);
    }

    void newConfigWindow_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("created");
        QTest::newRow("return without a choice") << -1 << int(Qt::Key_Return) << "";
        QTest::newRow("escape after a choice") << 1 << int(Qt::Key_Escape) << "";
        QTest::newRow("enter after a choice") << 1 << int(Qt::Key_Enter) << QVt::Device::DeviceFactory::instance()->supportedDeviceNames().value(1);
    }

    void newConfigWindow()
    {
        QFETCH(int, line);
        QFETCH(int, key);
        QFETCH(QString, created);
        QPointer<QQuickWindow> window = open("newConfig.qml");
        const QStringList names = QVt::Device::DeviceFactory::instance()->supportedDeviceNames();
        for (QQuickItem *text : items(window->contentItem()))
            if (line >= 0 && text->property("text").toString() == names.value(line))
                QTest::mouseClick(window, Qt::LeftButton, {}, text->mapToScene(QPointF(3, 3)).toPoint());
        QSignalSpy newFile(mStateMachine, &StateMachine::newFileSuccessful);
        QTest::keyPress(window, Qt::Key(key));
        QTRY_COMPARE(newFile.count() ? newFile.at(0).at(0).toString() : QString(), created);
        QTRY_COMPARE(window.isNull(), key != Qt::Key_Return);
    }

    // A serial number shows as it is, every other number in lower-case hexadecimal, the date
    // in UTC; the radio rows leave when their texts are empty.
    void deviceInfoWindow_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("shown");
        QTest::newRow("vendor ID") << "" << "vendorId" << "c0de";
        QTest::newRow("serial number") << "info.serialNumber = 4660" << "serialNumber" << "4660";
        QTest::newRow("epoch") << "" << "manufactured" << "1970/01/01 00:00:00 UTC";
        QTest::newRow("late evening UTC") << "info.unixTimeOfManufacture = 1476140645" << "manufactured" << "2016/10/10 23:04:05 UTC";
        QTest::newRow("no Bluetooth MAC") << "device.bluetoothInterface.object.deviceInfo.mac = ''" << "bluetoothMac" << "";
    }

    void deviceInfoWindow()
    {
        QFETCH(QString, change);
        QFETCH(QString, field);
        connectDevice();
        QPointer<QQuickWindow> window = open("deviceInfo.qml");
        QVERIFY(window);
        if (!change.isEmpty())
            QQmlExpression(qmlContext(window), window, change).evaluate();
        QQuickItem *shown = item(window, field);
        QTEST(shown->property("text").toString(), "shown");
        QCOMPARE(shown->isVisible(), !shown->property("text").toString().isEmpty());
        QTest::keyPress(window, Qt::Key_Return);
        QTRY_VERIFY(!window);
    }

    void screenshots()
    {
        grab(mWindow, QStringLiteral("main-disconnected.png"));
        for (const char *file : {"connectionSettings.qml", "newConfig.qml", "aboutWindow.qml"}) {
            QQuickWindow *window = open(file);
            grab(window, QString::fromLatin1(file).replace(QStringLiteral(".qml"), QStringLiteral(".png")));
            window->close();
        }
        connectDevice();
        grab(mWindow, QStringLiteral("main-connected.png"));
        grab(open("deviceInfo.qml"), QStringLiteral("deviceInfo.png"));
        emit mStateMachine->deviceUnsupported(ID_STRING, QStringLiteral("0000c0de0009"));
        QTRY_VERIFY(secondaryWindow(QStringLiteral("Device Unsupported")));
        grab(secondaryWindow(QStringLiteral("Device Unsupported")), QStringLiteral("error-dialog.png"));
        cleanup();
        QVERIFY(startSimulator({QStringLiteral("--fault"), QStringLiteral("silent")}));
        mStateMachine->doConnect();
        grab(mWindow, QStringLiteral("main-busy.png"));
    }

private:
    QTemporaryDir mDir;
    std::unique_ptr<SimulatorProcess> mSimulator;
    StateMachine *mStateMachine = nullptr;
    std::unique_ptr<QQmlEngine> mEngine;
    QQuickWindow *mWindow = nullptr;
    std::unique_ptr<QSignalSpy> mQuit;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainWindow.moc"
