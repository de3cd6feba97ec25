// The main window: actions, menus, tool bar and status bar over the current device's page.
// Its parts live beside it: the outcomes the state machine reports (Outcomes), the notice
// (Notice), the questions before unsaved changes are lost (UnsavedChangesQuestions) and the
// file dialogs (FileDialogs). The device page is created below this document, so it reaches
// every object here by its id, and the parts' named objects by the aliases below.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Layouts 1.1
import QtQuick.Window 2.1
import QtQuick.Dialogs 1.2
import "qrc:///themes/halvard/qml/."
import "qrc:///themes/halvard/theme.js" as Theme

ThemedApplicationWindow {
    id: mainApplication

    // The serial provider's "Port" value; empty while no provider or no such setting exists.
    readonly property alias serialPort: portWatch.port
    readonly property var currentDevice: stateMachine.currentDevice
    readonly property bool knownProduct: !!currentDevice && !!currentDevice.deviceInfo
                                         && currentDevice.deviceInfo.productCode > 0
    readonly property bool canTalkToDevice: stateMachine.connected && !stateMachine.busy
    // The parts' named objects, which device pages reach by these names.
    readonly property alias errorDialog: outcomes.errorDialog
    readonly property alias warningDialog: outcomes.warningDialog
    readonly property alias saveDialog: fileDialogs.saveDialog
    readonly property alias loadDialog: fileDialogs.loadDialog
    readonly property alias saveSupportArchiveDialog: fileDialogs.saveSupportArchiveDialog
    readonly property alias unsavedQuitCheckDialog: unsavedChanges.unsavedQuitCheckDialog
    readonly property alias unsavedDeviceReadCheckDialog: unsavedChanges.unsavedDeviceReadCheckDialog
    readonly property alias unsavedNewConfigCheckDialog: unsavedChanges.unsavedNewConfigCheckDialog
    readonly property alias unsavedLoadConfigCheckDialog: unsavedChanges.unsavedLoadConfigCheckDialog

    // Opens a secondary window: a fresh instance each time, resolved next to this file.
    function showWindow(file) {
        var component = Qt.createComponent(file)
        if (component.status !== Component.Ready) {
            console.warn("Cannot open window", file, component.errorString())
            return null
        }
        var window = component.createObject(mainApplication)
        window.show()
        return window
    }

    function newConfigurationStep() {
        var productIds = deviceFactory.supportedDeviceProductIds
        if (productIds.length === 1)
            stateMachine.doNewConfiguration(productIds[0])
        else
            showWindow("newConfig.qml")
    }

    // Save, Save As and Write take only what the fields show. Leaving the field being edited
    // finishes its text first; whatever is still refused or waiting is named, and nothing
    // happens. True when the action may go on.
    function fieldsComplete(title) {
        var fields = deviceArea.finishEditing()
        if (fields.length > 0)
            outcomes.showIncompleteFields(title, fields)
        return fields.length === 0
    }

    function performQuit(force) {
        if (saveStatusTracker.saveNeeded && !force) {
            unsavedQuitCheckDialog.open()
            return
        }
        endConnection()
        Qt.quit()
    }

    // Ends the connection before its line changes or goes: a connected unit is sent back
    // to normal operation first, one being reached is let go; either way the port is closed.
    function endConnection() {
        if (canTalkToDevice)
            stateMachine.doEnterNormalOperation()
        else if (stateMachine.connected || stateMachine.busy)
            stateMachine.doDisconnect()
    }

    visible: true
    width: 1024
    height: 768
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height
    title: applicationName

    onClosing: {
        close.accepted = false
        performQuit(false)
    }

    PortWatch {
        id: portWatch
        objectName: "portWatch"
    }

    Outcomes {
        id: outcomes
        notice: successToast
    }

    Action {
        id: newConfigurationAction
        objectName: "newConfigurationAction"
        text: qsTr("&New configuration") + (deviceFactory.supportedDeviceProductIds.length > 1 ? "..." : "")
        tooltip: qsTr("New configuration...")
        iconSource: Theme.themeIconNew
        shortcut: StandardKey.New
        onTriggered: unsavedNewConfigCheckDialog.proceedOrAsk()
    }
    Action {
        id: loadConfigurationAction
        objectName: "loadConfigurationAction"
        text: qsTr("&Load configuration...")
        tooltip: qsTr("Load configuration...")
        iconSource: Theme.themeIconOpen
        shortcut: StandardKey.Open
        onTriggered: unsavedLoadConfigCheckDialog.proceedOrAsk()
    }
    Action {
        id: saveConfigurationAction
        objectName: "saveConfigurationAction"
        text: qsTr("&Save configuration")
        tooltip: qsTr("Save configuration")
        iconSource: Theme.themeIconSave
        shortcut: StandardKey.Save
        enabled: !!currentDevice && (saveStatusTracker.currentFilePath === "" || saveStatusTracker.saveNeeded)
        onTriggered: {
            if (!fieldsComplete(qsTr("Configuration Not Saved")))
                return
            if (saveStatusTracker.currentFilePath !== "" && saveStatusTracker.saveNeeded)
                stateMachine.doSaveConfiguration(saveStatusTracker.currentFileUrl)
            else
                saveConfigurationAsAction.trigger()
        }
    }
    Action {
        id: saveConfigurationAsAction
        objectName: "saveConfigurationAsAction"
        text: qsTr("Save configuration &as...")
        shortcut: StandardKey.SaveAs
        enabled: !!currentDevice
        onTriggered: {
            if (fieldsComplete(qsTr("Configuration Not Saved")))
                saveDialog.open()
        }
    }
    Action {
        id: quitAction
        objectName: "quitAction"
        text: qsTr("&Exit")
        shortcut: StandardKey.Quit
        onTriggered: performQuit(false)
    }
    Action {
        id: showDeviceInfoAction
        objectName: "showDeviceInfoAction"
        text: qsTr("Device &information...")
        shortcut: "Ctrl+Shift+I"
        enabled: stateMachine.connected && knownProduct
        onTriggered: showWindow("deviceInfo.qml")
    }
    Action {
        id: factoryResetAction
        objectName: "factoryResetAction"
        text: qsTr("&Reset device to factory settings")
        enabled: canTalkToDevice
        onTriggered: genericAreYouSureDialog.ask(qsTr("Factory Reset"),
                                                 qsTr("The unit's configuration is replaced by its factory settings. "
                                                      + "Do you want to proceed?"),
                                                 stateMachine.doFactoryReset)
    }
    Action {
        id: showConnectionSettingsAction
        objectName: "showConnectionSettingsAction"
        text: qsTr("&Connection settings...")
        onTriggered: showWindow("connectionSettings.qml")
    }
    Action {
        id: createSupportArchiveAction
        objectName: "createSupportArchiveAction"
        text: qsTr("&Create support archive") + "..."
        onTriggered: saveSupportArchiveDialog.open()
    }
    Action {
        id: showAboutAction
        objectName: "showAboutAction"
        text: qsTr("&About") + " " + applicationName + "..."
        onTriggered: showWindow("aboutWindow.qml")
    }
    Action {
        id: connectAction
        objectName: "connectAction"
        text: qsTr("&Connect")
        tooltip: qsTr("Connect")
        iconSource: Theme.themeIconConnect
        shortcut: "Ctrl+Shift+C"
        enabled: !stateMachine.connected && !stateMachine.busy && serialPort !== ""
        onTriggered: stateMachine.doConnect()
    }
    Action {
        id: disconnectAction
        objectName: "disconnectAction"
        text: qsTr("&Disconnect")
        tooltip: qsTr("Disconnect")
        iconSource: Theme.themeIconDisconnect
        shortcut: "Ctrl+Shift+D"
        enabled: canTalkToDevice
        onTriggered: stateMachine.doEnterNormalOperation()
    }
    Action {
        id: readDataFromDeviceAction
        objectName: "readDataFromDeviceAction"
        text: qsTr("&Read data from the device")
        tooltip: qsTr("Read data from the device")
        iconSource: Theme.themeIconRead
        shortcut: "Ctrl+Shift+R"
        enabled: canTalkToDevice
        onTriggered: unsavedDeviceReadCheckDialog.proceedOrAsk()
    }
    Action {
        id: writeDataToDeviceAction
        objectName: "writeDataToDeviceAction"
        text: qsTr("&Write data to the device")
        tooltip: qsTr("Write data to the device")
        iconSource: Theme.themeIconWrite
        shortcut: "Ctrl+Shift+W"
        enabled: canTalkToDevice
        onTriggered: {
            if (fieldsComplete(qsTr("Configuration Not Written")))
                stateMachine.doWriteDeviceConfiguration()
        }
    }

    menuBar: ThemedMenuBar {
        ThemedMenu {
            title: qsTr("&File")
            MenuItem { action: newConfigurationAction }
            MenuItem { action: loadConfigurationAction }
            MenuItem { action: saveConfigurationAction }
            MenuItem { action: saveConfigurationAsAction }
            MenuSeparator {}
            MenuItem { action: quitAction }
        }
        ThemedMenu {
            title: qsTr("&Device")
            MenuItem { action: connectAction }
            MenuItem { action: disconnectAction }
            MenuItem { action: readDataFromDeviceAction }
            MenuItem { action: writeDataToDeviceAction }
            MenuItem { action: showDeviceInfoAction }
            MenuSeparator {}
            MenuItem { action: factoryResetAction }
        }
        ThemedMenu {
            title: qsTr("&Options")
            MenuItem { action: showConnectionSettingsAction }
        }
        ThemedMenu {
            title: qsTr("&Help")
            MenuItem {
                action: createSupportArchiveAction
                visible: knownProduct
            }
            MenuSeparator { visible: knownProduct }
            MenuItem { action: showAboutAction }
        }
    }

    toolBar: ThemedToolBar {
        RowLayout {
            spacing: 0
            ThemedToolButton { action: newConfigurationAction }
            ThemedToolButton { action: loadConfigurationAction }
            ThemedToolButton { action: saveConfigurationAction }
            ThemedToolButton {
                action: connectAction
                visible: commsHandler.currentProviderType !== "" && !stateMachine.connected
            }
            ThemedToolButton { action: disconnectAction; visible: stateMachine.connected }
            ThemedToolButton { action: readDataFromDeviceAction; visible: stateMachine.connected }
            ThemedToolButton { action: writeDataToDeviceAction; visible: stateMachine.connected }
        }
    }

    statusBar: ThemedStatusBar {
        GridLayout {
            anchors.fill: parent
            columns: 2
            ThemedText {
                objectName: "connectionStatusText"
                Layout.fillWidth: true
                horizontalAlignment: Text.AlignLeft
                text: stateMachine.busy ? qsTr("Busy") + "..."
                      : stateMachine.connected ? qsTr("Connected to device") + ": " + stateMachine.deviceIdString
                      : qsTr("Not connected")
                MouseArea {
                    anchors.fill: parent
                    onClicked: showDeviceInfoAction.trigger()
                }
            }
            ThemedText {
                objectName: "providerStatusText"
                Layout.alignment: Qt.AlignRight
                horizontalAlignment: Text.AlignRight
                font.bold: true
                text: commsHandler.currentProviderType + " ("
                      + (serialPort !== "" ? serialPort : qsTr("not configured")) + ")"
                MouseArea {
                    anchors.fill: parent
                    onClicked: showConnectionSettingsAction.trigger()
                }
            }
        }
    }

    DeviceArea {
        id: deviceArea
        anchors.fill: parent
        serialPort: mainApplication.serialPort
    }

    Notice {
        id: successToast
        objectName: "successToast"
        parent: deviceArea.page
    }

    UnsavedChangesQuestions {
        id: unsavedChanges
        onQuitConfirmed: performQuit(true)
        onNewConfigurationConfirmed: newConfigurationStep()
        onLoadConfirmed: loadDialog.open()
    }

    // Offered to device pages for their own questions; the window asks before a factory reset.
    Question {
        id: genericAreYouSureDialog
        objectName: "genericAreYouSureDialog"
    }

    FileDialogs {
        id: fileDialogs
        objectName: "fileDialogs"
    }
}
