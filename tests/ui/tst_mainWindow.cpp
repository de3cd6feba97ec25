#include "config/saveStatusTracker.h"
#include "deviceTestSupport.h"
#include "qmlApi.h"
#include "simulatorProcess.h"
#include "sm/stateMachine.h"
#include "ui/translation.h"

#include <qvtpb/utilities.h>

#include <QAccessible>
#include <QtQml>
#include <QtQuick>
#include <QtTest>

#include <ctime>
#include <memory>

using namespace DeviceTestSupport;
using QVt::Config::SaveStatusTracker;
using QVt::Sm::StateMachine;

// An item by name or by the text it shows, in the visual tree: items a Repeater makes
// are not its QObject children.
static QQuickItem *item(QQuickItem *root, const QString &name)
{
    for (QQuickItem *child : root->childItems()) {
        const bool match = child->objectName() == name || child->property("text").toString() == name;
        if (QQuickItem *found = match ? child : item(child, name))
            return found;
    }
    return nullptr;
}

// The focusable controls among an accessible's visible descendants that a screen reader
// could announce only by their role or with a mnemonic marker read aloud, each named by
// its type and object name. Qt withholds every text of a password field, its name too,
// so such a field must describe itself.
static QStringList unnamedControls(QAccessibleInterface *node)
{
    QStringList unnamed;
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface *child = node->child(i);
        if (!child || child->state().invisible)
            continue;
        const QAccessible::Text told = child->state().passwordEdit ? QAccessible::Description : QAccessible::Name;
        const QString name = child->text(told).trimmed();
        if (child->state().focusable && (name.isEmpty() || name.contains(QLatin1Char('&'))))
            unnamed << QStringLiteral("%1 \"%2\"").arg(child->object()->metaObject()->className(), child->object()->objectName());
        unnamed << unnamedControls(child);
    }
    return unnamed;
}

// The main window and its secondary windows on the real context objects, with a
// simulated KT Bridge CWB on the serial link; one window for all cases.
class TestMainWindow : public QObject
{
    Q_OBJECT

    QObject *named(const char *name) const { return mWindow->findChild<QObject *>(QLatin1String(name)); }
    QString text(const char *name) const { return named(name)->property("text").toString(); }
    QString url(const QString &name) const { return QUrl::fromLocalFile(mDir.filePath(name)).toString(); }
    QObject *portSetting() const { return named("portWatch")->property("setting").value<QObject *>(); }

    // A secondary window as the window opens it, once shown.
    QQuickWindow *showWindow(const char *file) const
    {
        QVariant shown;
        QMetaObject::invokeMethod(mWindow, "showWindow", Q_RETURN_ARG(QVariant, shown), Q_ARG(QVariant, file));
        auto *window = qobject_cast<QQuickWindow *>(shown.value<QObject *>());
        return window && QTest::qWaitForWindowExposed(window) ? window : nullptr;
    }

    void connectDevice()
    {
        mStateMachine->doConnect();
        QTRY_VERIFY(mStateMachine->connected() && !mStateMachine->busy());
        // The machine's state is read at once, its signals arrive queued: let those posted
        // before it went idle arrive, so that none lands in the next step.
        QCoreApplication::sendPostedEvents();
    }

    void readDevice()
    {
        QSignalSpy read(mStateMachine, &StateMachine::readFromDeviceSuccessful);
        mStateMachine->doReadDeviceConfiguration();
        QTRY_COMPARE(read.count(), 1);
    }

    QQuickWindow *shownWindow(const QString &title) const
    {
        for (QQuickWindow *window : mWindow->findChildren<QQuickWindow *>()) {
            if (window->title() == title && window->isVisible())
                return window;
        }
        return nullptr;
    }

    // Whether the step that an unsaved-change question guards was taken.
    bool stepTaken(const QString &action) const
    {
        if (action == QLatin1String("newConfigurationAction"))
            return shownWindow(QStringLiteral("New Configuration"));
        if (action == QLatin1String("loadConfigurationAction"))
            return named("loadDialog")->property("visible").toBool();
        if (action == QLatin1String("readDataFromDeviceAction"))
            return mStateMachine->busy();
        return mQuit->count() == 1;
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
        QVERIFY(mSimulator.start({"--link", mDir.filePath("port"), "--id-string", ID_STRING, "--config", mDir.filePath("device.bgc"), "--verbose"}));
        QVERIFY(writeFile(mDir.filePath(QStringLiteral("other port")), QByteArray()));
        qputenv("KTBRIDGE_EXTRA_PORTS", (mDir.filePath(QStringLiteral("port")) + ':' + mDir.filePath(QStringLiteral("other port"))).toLocal8Bit());

        mStateMachine = StateMachine::instance();
        mEngine.reset(new QQmlEngine);
        QVt::registerQmlApi(*mEngine);
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
        portSetting()->setProperty("value", mDir.filePath(QStringLiteral("port")));
        // A connection under way finishes first, so that no late reply meets the next case.
        QTRY_VERIFY_WITH_TIMEOUT(!mStateMachine->busy(), 5000);
        mStateMachine->doDisconnect();
        QTRY_VERIFY(!mStateMachine->connected() && !mStateMachine->busy());
        SaveStatusTracker::instance()->setSaveNeeded(false);
        mQuit->clear();
        QVERIFY2(mQmlWarnings.isEmpty(), qPrintable(mQmlWarnings.join('\n')));
    }

    // Which device actions a user may take in each phase of a connection, whether the Help
    // menu offers the support archive (only once a device's product is known), and what
    // the status bar says; a click on the status text must respect the action's state.
    void deviceActions_data()
    {
        QTest::addColumn<QString>("phase");
        QTest::addColumn<QString>("enabled");   // connect, disconnect, read, write, reset, info, archive
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("provider");
        const QString port = mDir.filePath(QStringLiteral("port"));
        QTest::newRow("disconnected") << "" << "1000001" << "Not connected" << "Serial (" + port + ")";
        QTest::newRow("no port chosen") << "no port" << "0000001" << "Not connected" << "Serial (not configured)";
        QTest::newRow("connecting") << "connecting" << "0000001" << "Busy..." << "Serial (" + port + ")";
        QTest::newRow("connected") << "connected" << "0111111" << "Connected to device: " + ID_STRING << "Serial (" + port + ")";
        QTest::newRow("connected, busy reading") << "reading" << "0000011" << "Busy..." << "Serial (" + port + ")";
        QTest::newRow("new configuration, no product known") << "new" << "1000000" << "Not connected" << "Serial (" + port + ")";
    }

    void deviceActions()
    {
        QFETCH(QString, phase);
        QFETCH(QString, enabled);
        if (phase == QLatin1String("no port"))
            portSetting()->setProperty("value", QString());
        else if (phase == QLatin1String("connecting"))
            mStateMachine->doConnect();
        else if (phase == QLatin1String("connected") || phase == QLatin1String("reading"))
            connectDevice();
        if (phase == QLatin1String("reading"))
            mStateMachine->doReadDeviceConfiguration();
        else if (phase == QLatin1String("new"))
            mStateMachine->doNewConfiguration(PRODUCT_CWB);

        const char *actions[] = {"connectAction", "disconnectAction", "readDataFromDeviceAction", "writeDataToDeviceAction", "factoryResetAction", "showDeviceInfoAction"};
        for (int i = 0; i < 6; ++i)
            QVERIFY2(named(actions[i])->property("enabled").toBool() == (enabled[i] == QLatin1Char('1')), actions[i]);
        int archiveEntries = 0;
        for (QObject *entry : mWindow->findChildren<QObject *>()) {
            if (entry->property("action").value<QObject *>() == named("createSupportArchiveAction"))
                archiveEntries += entry->property("visible").toBool() ? 1 : 0;
        }
        QCOMPARE(archiveEntries, enabled[6] == QLatin1Char('1') ? 1 : 0);
        QTEST(text("connectionStatusText"), "status");
        QTEST(text("providerStatusText"), "provider");

        auto *status = qobject_cast<QQuickItem *>(named("connectionStatusText"));
        QTest::mouseClick(mWindow, Qt::LeftButton, {}, status->mapToScene(QPointF(5, 5)).toPoint());
        QCOMPARE(shownWindow(QStringLiteral("Device Information")) != nullptr, enabled[5] == QLatin1Char('1'));
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
            QMetaObject::invokeMethod(named("fileDialogs"), "saveConfigurationTo", Q_ARG(QVariant, url(QStringLiteral("saved.bgc"))));
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
        QTest::newRow("configuration, .bgc in the middle") << "saveConfigurationTo" << "c.bgc.old" << "c.bgc.old";
        QTest::newRow("configuration in a folder named .bgc") << "saveConfigurationTo" << "d.bgc/d" << "d.bgc/d";
        QTest::newRow("archive in a folder named .zip") << "packSupportArchiveTo" << "h.zip/h" << "h.zip/h";
    }

    void fileExtension()
    {
        QFETCH(QString, function);
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QVERIFY(QDir().mkpath(QFileInfo(mDir.filePath(chosen)).path()));
        mStateMachine->doNewConfiguration(PRODUCT_CWB);
        QMetaObject::invokeMethod(named("fileDialogs"), function.toLatin1(), Q_ARG(QVariant, url(chosen)));
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

    // A device page reaches each of the window's named objects by its name, wherever in the
    // window's files it lives.
    void pageReachesNamedObjects()
    {
        QObject *page = named("deviceConfigurationLoader")->property("item").value<QObject *>();
        for (const char *name : {"errorDialog", "warningDialog", "unsavedQuitCheckDialog", "unsavedDeviceReadCheckDialog",
                                 "unsavedNewConfigCheckDialog", "unsavedLoadConfigCheckDialog", "genericAreYouSureDialog",
                                 "saveDialog", "loadDialog", "saveSupportArchiveDialog", "successToast",
                                 "deviceConfigurationLoader", "newConfigurationAction", "writeDataToDeviceAction"}) {
            QQmlExpression reached(qmlContext(page), page, QString::fromLatin1(name) + QStringLiteral(".objectName"));
            QCOMPARE(reached.evaluate().toString(), QString::fromLatin1(name));
        }
    }

    // Unsaved edits are asked about before New, Load, Read and Quit (also by closing the
    // window); without them, or once the user says Yes, the step is taken. Quitting
    // returns a connected device to normal operation.
    void unsavedQuestion_data()
    {
        QTest::addColumn<QString>("action"); // empty: the window's close button
        QTest::addColumn<QString>("question");
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<bool>("yes");
        const struct { const char *name, *action, *question; } steps[] = {
            {"new", "newConfigurationAction", "unsavedNewConfigCheckDialog"},
            {"load", "loadConfigurationAction", "unsavedLoadConfigCheckDialog"},
            {"read", "readDataFromDeviceAction", "unsavedDeviceReadCheckDialog"},
            {"quit", "quitAction", "unsavedQuitCheckDialog"},
            {"window closed", "", "unsavedQuitCheckDialog"}};
        for (const auto &step : steps) {
            QTest::addRow("%s, saved", step.name) << step.action << step.question << false << false;
            QTest::addRow("%s, unsaved", step.name) << step.action << step.question << true << false;
            QTest::addRow("%s, unsaved, answered yes", step.name) << step.action << step.question << true << true;
        }
    }

    void unsavedQuestion()
    {
        QFETCH(QString, action);
        QFETCH(QString, question);
        QFETCH(bool, unsaved);
        QFETCH(bool, yes);
        const bool quitting = action.isEmpty() || action == QLatin1String("quitAction");
        if (quitting || action == QLatin1String("readDataFromDeviceAction"))
            connectDevice();
        SaveStatusTracker::instance()->setSaveNeeded(unsaved);
        QSignalSpy disconnected(mStateMachine, &StateMachine::disconnectSuccessful);
        if (action.isEmpty())
            mWindow->close();
        else
            QMetaObject::invokeMethod(named(qPrintable(action)), "trigger");
        QObject *dialog = named(qPrintable(question));
        QCOMPARE(dialog->property("visible").toBool(), unsaved);
        if (yes)
            QMetaObject::invokeMethod(dialog, "yes");
        QCOMPARE(stepTaken(action), !unsaved || yes);
        QVERIFY(mWindow->isVisible());
        if (quitting)
            QTRY_COMPARE(disconnected.count(), mQuit->count());
        QMetaObject::invokeMethod(dialog, "close");
        QMetaObject::invokeMethod(named("loadDialog"), "close");
    }

    // The line chosen in the New Configuration window is the product created; Return
    // without a choice does nothing.
    void newConfigurationWindow_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("nothing chosen") << "";
        for (const char *name : {"KT Bridge CW", "KT Bridge CB", "KT Bridge CWB"})
            QTest::newRow(name) << name;
    }

    void newConfigurationWindow()
    {
        QFETCH(QString, line);
        QSignalSpy created(mStateMachine, &StateMachine::newFileSuccessful);
        QMetaObject::invokeMethod(named("newConfigurationAction"), "trigger");
        QQuickWindow *window = shownWindow(QStringLiteral("New Configuration"));
        QVERIFY(window && QTest::qWaitForWindowExposed(window));
        if (!line.isEmpty()) {
            QQuickItem *chosen = item(window->contentItem(), line);
            QVERIFY(chosen);
            QTest::mouseClick(window, Qt::LeftButton, {}, chosen->mapToScene(QPointF(5, 5)).toPoint());
        }
        QTest::keyPress(window, Qt::Key_Return);
        QCOMPARE(created.count(), line.isEmpty() ? 0 : 1);
        if (!line.isEmpty())
            QCOMPARE(created.at(0).at(0).toString(), line);
        QCOMPARE(shownWindow(QStringLiteral("New Configuration")) != nullptr, line.isEmpty());
    }

    // A connection whose product or line changes sends the unit back to normal operation
    // before the port is closed, and the status bar tells that it ended.
    void endOfConnection_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("new configuration for another product") << "new";
        QTest::newRow("port changed in the connection settings") << "port";
    }

    void endOfConnection()
    {
        QFETCH(QString, how);
        connectDevice();
        const QByteArray normalOperation = "rx 43 00 01 51 13 0D";
        const int sent = mSimulator.standardError().count(normalOperation);
        if (how == QLatin1String("new")) {
            mStateMachine->doNewConfiguration(QStringLiteral("0000c0de0001"));
        } else {
            QQuickWindow *window = showWindow("connectionSettings.qml");
            QVERIFY(window);
            QQuickItem *ports = item(window->contentItem(), QStringLiteral("comboSettingEditor"));
            const int other = ports->property("model").toStringList().indexOf(mDir.filePath(QStringLiteral("other port")));
            QVERIFY(other >= 0);
            QMetaObject::invokeMethod(ports, "activated", Q_ARG(int, other));
        }
        QCOMPARE(text("connectionStatusText"), QStringLiteral("Not connected"));
        QTRY_COMPARE(mSimulator.standardError().count(normalOperation), sent + 1);
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
        readDevice();
        // An earlier edit, so that Save is offered whatever the configuration's origin.
        SaveStatusTracker::instance()->setSaveNeeded(true);
        // As a user types: into one field, then the next, which finishes the one before.
        const auto type = [this](const char *name, const QString &text) {
            QQuickItem *field = item(mWindow->contentItem(), name);
            field->forceActiveFocus();
            field->setProperty("text", text);
        };
        const auto shown = [this](const char *name) { return item(mWindow->contentItem(), name)->property("text").toString(); };
        type("ipAddressField", "192.168.4.300");
        type("passphraseField", "");
        QSignalSpy saved(mStateMachine, &StateMachine::saveFileSuccessful);
        QSignalSpy written(mStateMachine, &StateMachine::writeToDeviceSuccessful);
        QMetaObject::invokeMethod(named(action.toLatin1()), "trigger");
        QObject *warning = named("warningDialog");
        QTEST(warning->property("title").toString(), "title");
        const QString text = warning->property("text").toString();
        QVERIFY2(text.contains("Address (WLAN tab)") && text.contains("Passphrase (WLAN tab)"), qPrintable(text));
        QVERIFY(!named("saveDialog")->property("visible").toBool() && !mStateMachine->busy());
        QMetaObject::invokeMethod(warning, "close");

        type("ipAddressField", "192.168.4.30");
        type("passphraseField", "a new passphrase");
        QMetaObject::invokeMethod(named("writeDataToDeviceAction"), "trigger");
        QTRY_COMPARE(written.count(), 1);
        QCOMPARE(saved.count(), 0);
        readDevice();
        QCOMPARE(shown("ipAddressField"), QStringLiteral("192.168.4.30"));
        QCOMPARE(shown("passphraseField"), QStringLiteral("a new passphrase"));
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
        // A reset sent after all would be answered before this read.
        if (resets == 0)
            readDevice();
        QTRY_COMPARE(reset.count(), resets);
    }

    // A serial number shows as it is, every other number in lower-case hexadecimal, the date
    // in UTC; a radio's row leaves when it reports no MAC.
    void deviceInfoWindow()
    {
        connectDevice();
        QPointer<QQuickWindow> window = showWindow("deviceInfo.qml");
        QVERIFY(window);
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

    // Every focusable control of every window and device page tab carries a name.
    void accessibleNames_data()
    {
        QTest::addColumn<QString>("window"); // empty: the main window
        QTest::addColumn<int>("tab");
        for (int tab = 0; tab < 3; ++tab)
            QTest::addRow("main window, device tab %d", tab) << "" << tab;
        for (const char *window : {"connectionSettings.qml", "deviceInfo.qml", "newConfig.qml"})
            QTest::newRow(window) << window << -1;
    }

    void accessibleNames()
    {
        QFETCH(QString, window);
        QFETCH(int, tab);
        connectDevice();
        QQuickWindow *shown = mWindow;
        if (window.isEmpty()) {
            named("deviceTabs")->setProperty("currentIndex", tab);
        } else {
            shown = showWindow(qPrintable(window));
            QVERIFY(shown);
        }
        const QStringList unnamed = unnamedControls(QAccessible::queryAccessibleInterface(shown));
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    }

    // The window speaks the locale's language where a translation exists, English
    // otherwise, and Qt's standard buttons follow only where the window does.
    void languages_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("menus");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("connect");
        QTest::addColumn<QString>("yes");
        QTest::newRow("German") << "de_DE" << "&Datei,&Gerät,&Optionen,&Hilfe" << "Nicht verbunden" << "Verbinden" << "&Ja";
        QTest::newRow("French, which the program lacks") << "fr_FR" << "&File,&Device,&Options,&Help" << "Not connected" << "Connect" << "&Yes";
        QTest::newRow("English") << "en_US" << "&File,&Device,&Options,&Help" << "Not connected" << "Connect" << "&Yes";
    }

    void languages()
    {
        QFETCH(QString, locale);
        const QLocale system;
        QLocale::setDefault(QLocale(locale));
        Translation translation{QLocale()};
        QLocale::setDefault(system);
        mEngine->retranslate();
        const QString menus = QStringLiteral("Array.prototype.map.call(menuBar.menus, function (menu) { return menu.title }).join()");
        QTEST(QQmlExpression(qmlContext(mWindow), mWindow, menus).evaluate().toString(), "menus");
        QTEST(text("connectionStatusText"), "status");
        QTEST(named("connectAction")->property("tooltip").toString(), "connect");
        QTEST(QCoreApplication::translate("QPlatformTheme", "&Yes"), "yes");
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
