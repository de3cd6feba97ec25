// The main window: menus, tool bar and status bar over the current device's page, the
// file dialogs, the confirmations before unsaved changes are lost, and a dialog or a
// short notice for every outcome the state machine reports. The device page is created
// in this document's context, so it reaches every object below by its id.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Layouts 1.1
import QtQuick.Window 2.1
import QtQuick.Dialogs 1.2
import com.vtcan.types 1.0
import com.vtcan.qvt.pb 1.0
import "qrc:///themes/halvard/qml/."
import "qrc:///themes/halvard/theme.js" as Theme

ThemedApplicationWindow {
    id: mainApplication

    // The serial provider's "Port" value; empty while no provider or no such setting exists.
    property string serialPort: ""
    property var portSetting: null
    readonly property var currentDevice: stateMachine.currentDevice
    readonly property bool knownProduct: !!currentDevice && !!currentDevice.deviceInfo
                                         && currentDevice.deviceInfo.productCode > 0
    readonly property bool canTalkToDevice: stateMachine.connected && !stateMachine.busy
    // genericAreYouSureDialog asks this window's question, not a device page's.
    property bool factoryResetQuestionOpen: false

    function updateSerialPort() {
        var provider = commsHandler.currentProvider
        var found = null
        if (provider) {
            var settings = provider.settings
            for (var i = 0; i < settings.length; ++i) {
                if (settings[i] && settings[i].name === "Port") {
                    found = settings[i]
                    break
                }
            }
        }
        portSetting = found
        serialPort = found && found.value ? String(found.value) : ""
    }

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

    // The file dialogs add the extension only where the chosen name holds it nowhere.
    function withExtension(url, extension) {
        var text = String(url)
        return text.toLowerCase().indexOf(extension) === -1 ? text + extension : text
    }

    function saveConfigurationTo(url) {
        stateMachine.doSaveConfiguration(withExtension(url, ".bgc"))
    }

    function packSupportArchiveTo(url) {
        stateMachine.doPackSupportArchive(withExtension(url, ".zip"))
    }

    function showError(title, text) {
        errorDialog.errorTitle = title
        errorDialog.errorText = text
        errorDialog.open()
    }

    function showWarning(title, text) {
        warningDialog.warningTitle = title
        warningDialog.warningText = text
        warningDialog.open()
    }

    function saveFailedText(filePath, reason) {
        return qsTr("The file could not be saved.") + "\n\n" + qsTr("File") + ": " + filePath
                + "\n" + qsTr("Reason") + ": " + reason
    }

    // A fresh page for every device, even one of the same kind: the page binds to its object,
    // which it receives as its property device. A driver may come without a page; its device
    // then gets the empty themed page.
    function loadDevicePage() {
        deviceConfigurationLoader.sourceComponent = undefined
        if (!currentDevice)
            return
        var page = Qt.createComponent(currentDevice.qmlPath)
        if (page.status !== Component.Ready) {
            console.warn("No device page for", currentDevice.name())
            deviceConfigurationLoader.sourceComponent = emptyPage
            return
        }
        deviceConfigurationLoader.setSource(currentDevice.qmlPath, { device: currentDevice })
    }

    // Save, Save As and Write take only what the fields show. Leaving the field being edited
    // finishes its text first; whatever is still refused or waiting is named, and nothing
    // happens. True when the action may go on.
    function fieldsComplete(title) {
        deviceArea.forceActiveFocus()
        var page = deviceConfigurationLoader.item
        var fields = page && page.invalidFields ? page.invalidFields : []
        if (fields.length === 0)
            return true
        var lines = fields.map(function (field) {
            return "\u2022 " + field.label + " (" + qsTr("%1 tab").arg(field.tab) + "): " + field.reason
        })
        showWarning(title, qsTr("These fields are not valid or not complete, so nothing was done:") + "\n\n"
                    + lines.join("\n"))
        return false
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

    Component.onCompleted: updateSerialPort()

    Connections {
        target: commsHandler
        function onCurrentProviderChanged() { updateSerialPort() }
    }

    Connections {
        target: portSetting
        ignoreUnknownSignals: true
        function onValueChanged() { updateSerialPort() }
    }

    Connections {
        target: stateMachine
        function onCurrentDeviceChanged() { loadDevicePage() }
        function onTimeout() {
            showError(qsTr("Communication Timeout"), qsTr("A communication timeout has occurred."))
        }
        function onDeviceUnsupported(deviceIdString, productId) {
            showError(qsTr("Device Unsupported"),
                      qsTr("The connected device is not supported by this application:") + "\n\n"
                      + qsTr("Device ID") + ": " + deviceIdString + "\n"
                      + qsTr("Product ID") + ": " + productId)
        }
        function onConfigurationUnsupported(productId) {
            showError(qsTr("Configuration Unsupported"),
                      qsTr("The configuration data cannot be loaded, as its product ID is unsupported.")
                      + "\n\n" + qsTr("Product ID") + ": " + productId)
        }
        function onConfigurationVersionMismatch() {
            showError(qsTr("Configuration Data Version Mismatch"),
                      qsTr("The configuration data was created with another version of this software and could not be loaded."))
        }
        function onConfigurationUnreadable(filePath, reason) {
            showError(qsTr("Configuration File Unreadable"),
                      qsTr("The configuration file could not be read.") + "\n\n" + qsTr("File") + ": " + filePath
                      + "\n" + qsTr("Reason") + ": " + reason)
        }
        function onConfigurationTooLarge() {
            showError(qsTr("Configuration Too Large"),
                      qsTr("The configuration is too large to be written to the device; nothing was sent."))
        }
        function onEditedConfigurationReplaced(editedDeviceName) {
            showWarning(qsTr("Configuration of Another Product"),
                        qsTr("The configuration being edited was for a %1, not for the connected device. The connected device's own configuration has been read and is shown instead.").arg(editedDeviceName))
        }
        function onConfigurationVersionObsolete() {
            showError(qsTr("Configuration Data Obsolete"),
                      qsTr("The configuration data is obsolete and could not be loaded."))
        }
        function onConfigurationChecksumError() {
            showError(qsTr("Configuration Data Checksum Error"),
                      qsTr("The configuration data could not be loaded due to a checksum error."))
        }
        function onConfigurationParseError() {
            showError(qsTr("Configuration Data Parse Error"),
                      qsTr("The configuration data could not be parsed and may be corrupt."))
        }
        function onDeviceError() {
            showError(qsTr("Device Error"), qsTr("The connected device has reported an error."))
        }
        function onCommsError(errorCode, errorText) {
            showError(qsTr("Communication Error"),
                      qsTr("A communication error has occurred.") + " " + errorText
                      + " (" + qsTr("Error code") + ": " + errorCode + ")")
        }
        function onSaveFileFailed(filePath, reason) {
            showError(qsTr("Save Failed"), saveFailedText(filePath, reason))
        }
        function onPackSupportArchiveFailed(filePath, reason) {
            showError(qsTr("Save Failed"), saveFailedText(filePath, reason))
        }
        function onLoadFileSuccessful(filePath) { successToast.text = qsTr("Loaded file") + " " + filePath }
        function onNewFileSuccessful(deviceName) {
            successToast.text = qsTr("Created new configuration for") + " " + deviceName
        }
        function onSaveFileSuccessful(filePath) { successToast.text = qsTr("Saved file") + " " + filePath }
        function onPackSupportArchiveSuccessful(filePath) {
            successToast.text = qsTr("Created support archive") + " " + filePath
        }
        function onConnectSuccessful() { successToast.text = qsTr("Connection successful") }
        function onDisconnectSuccessful() { successToast.text = qsTr("Disconnection successful") }
        function onReadFromDeviceSuccessful() { successToast.text = qsTr("Read data from device") }
        function onWriteToDeviceSuccessful() { successToast.text = qsTr("Wrote data to device") }
        function onFactoryResetSuccessful() { successToast.text = qsTr("Factory reset command sent") }
        function onPairingModeSuccessful() { successToast.text = qsTr("Pairing mode command sent") }
    }

    Action {
        id: newConfigurationAction
        objectName: "newConfigurationAction"
        text: qsTr("&New configuration") + (deviceFactory.supportedDeviceProductIds.length > 1 ? "..." : "")
        tooltip: qsTr("New configuration...")
        iconSource: Theme.themeIconNew
        shortcut: StandardKey.New
        onTriggered: {
            if (saveStatusTracker.saveNeeded)
                unsavedNewConfigCheckDialog.open()
            else
                newConfigurationStep()
        }
    }
    Action {
        id: loadConfigurationAction
        objectName: "loadConfigurationAction"
        text: qsTr("&Load configuration...")
        tooltip: qsTr("Load configuration...")
        iconSource: Theme.themeIconOpen
        shortcut: StandardKey.Open
        onTriggered: {
            if (saveStatusTracker.saveNeeded)
                unsavedLoadConfigCheckDialog.open()
            else
                loadDialog.open()
        }
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
        onTriggered: {
            genericAreYouSureDialog.title = qsTr("Factory Reset")
            genericAreYouSureDialog.text = qsTr("The unit's configuration is replaced by its factory settings. "
                                                + "Do you want to proceed?")
            factoryResetQuestionOpen = true
            genericAreYouSureDialog.open()
        }
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
        onTriggered: {
            if (saveStatusTracker.saveNeeded)
                unsavedDeviceReadCheckDialog.open()
            else
                stateMachine.doReadDeviceConfiguration()
        }
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

    // The buttons show only icons; a screen reader announces the tool tip, which unlike
    // the action's text carries no mnemonic marker.
    toolBar: ThemedToolBar {
        RowLayout {
            spacing: 0
            ToolButton { action: newConfigurationAction; Accessible.name: action.tooltip }
            ToolButton { action: loadConfigurationAction; Accessible.name: action.tooltip }
            ToolButton { action: saveConfigurationAction; Accessible.name: action.tooltip }
            ToolButton {
                action: connectAction
                Accessible.name: action.tooltip
                visible: commsHandler.currentProviderType !== "" && !stateMachine.connected
            }
            ToolButton {
                action: disconnectAction
                Accessible.name: action.tooltip
                visible: stateMachine.connected
            }
            ToolButton {
                action: readDataFromDeviceAction
                Accessible.name: action.tooltip
                visible: stateMachine.connected
            }
            ToolButton {
                action: writeDataToDeviceAction
                Accessible.name: action.tooltip
                visible: stateMachine.connected
            }
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

    Item {
        id: deviceArea
        anchors.fill: parent

        Loader {
            id: deviceConfigurationLoader
            objectName: "deviceConfigurationLoader"
            anchors.fill: parent
            sourceComponent: emptyPage
        }

        // Before any configuration exists, the page says how to get one.
        Component {
            id: emptyPage
            ThemedPage {
                ThemedText {
                    objectName: "emptyPageHint"
                    anchors.centerIn: parent
                    visible: !currentDevice
                    horizontalAlignment: Text.AlignHCenter
                    lineHeight: 1.5
                    color: Theme.themeGray
                    font.pixelSize: Theme.themeFontPixelSizeLarge
                    text: qsTr("Connect to the unit on %1 (Ctrl+Shift+C)")
                              .arg(serialPort !== "" ? serialPort : qsTr("the port chosen in Options"))
                          + "\n" + qsTr("make a new configuration (Ctrl+N)")
                          + "\n" + qsTr("or load a file (Ctrl+O)")
                }
            }
        }

        ThemedText {
            objectName: "deviceCaption"
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 4
            visible: text !== ""
            text: {
                if (!currentDevice)
                    return ""
                var type = saveStatusTracker.configurationType
                var origin = type === VtTypes.CONFIGURATION_TYPE_NEW ? "(" + qsTr("unsaved configuration") + ")"
                           : type === VtTypes.CONFIGURATION_TYPE_FILE ? saveStatusTracker.currentFilePath
                           : "(" + qsTr("read from device") + ")"
                return currentDevice.name() + ": " + origin + (saveStatusTracker.saveNeeded ? "*" : "")
            }
        }

        // While the machine talks to the device, the page takes no input.
        ThemedBusyIndicator {
            anchors.centerIn: parent
            visible: stateMachine.busy
            running: stateMachine.busy
        }
        Rectangle {
            anchors.fill: parent
            visible: stateMachine.busy
            color: "lightgray"
            opacity: 0.3
        }
        MouseArea {
            objectName: "busyOverlay"
            anchors.fill: parent
            visible: stateMachine.busy
            acceptedButtons: Qt.AllButtons
            hoverEnabled: true
        }
    }

    // Shown over the device page; it fades in, stays a second and fades out. The same text
    // arriving again while shown changes nothing; a different one restarts the time.
    Rectangle {
        id: successToast
        objectName: "successToast"
        property alias text: toastText.text

        parent: deviceConfigurationLoader.item
        z: 10000
        anchors.horizontalCenter: parent ? parent.horizontalCenter : undefined
        anchors.bottom: parent ? parent.bottom : undefined
        anchors.bottomMargin: 25
        width: toastText.width + 10
        height: toastText.height + 10
        radius: 5
        color: Theme.themeBlack
        opacity: 0

        onTextChanged: {
            if (text !== "") {
                opacity = 0.9
                toastTimer.restart()
            }
        }
        onOpacityChanged: {
            if (opacity === 0)
                text = ""
        }

        Behavior on opacity {
            NumberAnimation { duration: 1000 }
        }

        ThemedText {
            id: toastText
            anchors.centerIn: parent
            color: Theme.themeWhite
            wrapMode: Text.NoWrap
        }

        Timer {
            id: toastTimer
            interval: 2000
            onTriggered: successToast.opacity = 0
        }
    }

    MessageDialog {
        id: errorDialog
        objectName: "errorDialog"
        property string errorTitle: ""
        property string errorText: ""
        icon: StandardIcon.Critical
        standardButtons: StandardButton.Ok
        modality: Qt.ApplicationModal
        title: errorTitle
        text: errorText
        onVisibleChanged: {
            if (!visible) {
                errorTitle = ""
                errorText = ""
            }
        }
    }

    MessageDialog {
        id: warningDialog
        objectName: "warningDialog"
        property string warningTitle: ""
        property string warningText: ""
        icon: StandardIcon.Warning
        standardButtons: StandardButton.Ok
        modality: Qt.ApplicationModal
        title: warningTitle
        text: warningText
        onVisibleChanged: {
            if (!visible) {
                warningTitle = ""
                warningText = ""
            }
        }
    }

    MessageDialog {
        id: unsavedQuitCheckDialog
        objectName: "unsavedQuitCheckDialog"
        icon: StandardIcon.Warning
        standardButtons: StandardButton.Yes | StandardButton.No
        modality: Qt.ApplicationModal
        title: qsTr("Unsaved Changes")
        text: qsTr("Changes to the current configuration are unsaved. Are you sure you want to quit?")
        onYes: performQuit(true)
    }

    MessageDialog {
        id: unsavedDeviceReadCheckDialog
        objectName: "unsavedDeviceReadCheckDialog"
        icon: StandardIcon.Warning
        standardButtons: StandardButton.Yes | StandardButton.No
        modality: Qt.ApplicationModal
        title: qsTr("Unsaved Changes")
        text: qsTr("Changes to the current configuration are unsaved, and reading from the device would overwrite these changes. Do you want to proceed?")
        onYes: stateMachine.doReadDeviceConfiguration()
    }

    MessageDialog {
        id: unsavedNewConfigCheckDialog
        objectName: "unsavedNewConfigCheckDialog"
        icon: StandardIcon.Warning
        standardButtons: StandardButton.Yes | StandardButton.No
        modality: Qt.ApplicationModal
        title: qsTr("Unsaved Changes")
        text: qsTr("Changes to the current configuration are unsaved, and creating a new device would overwrite these changes. Do you want to proceed?")
        onYes: newConfigurationStep()
    }

    MessageDialog {
        id: unsavedLoadConfigCheckDialog
        objectName: "unsavedLoadConfigCheckDialog"
        icon: StandardIcon.Warning
        standardButtons: StandardButton.Yes | StandardButton.No
        modality: Qt.ApplicationModal
        title: qsTr("Unsaved Changes")
        text: qsTr("Changes to the current configuration are unsaved, and loading a configuration file would overwrite these changes. Do you want to proceed?")
        onYes: loadDialog.open()
    }

    // Asks before a factory reset, and is offered to device pages for their own questions;
    // whoever asked acts on the answer.
    MessageDialog {
        id: genericAreYouSureDialog
        objectName: "genericAreYouSureDialog"
        icon: StandardIcon.Warning
        standardButtons: StandardButton.Yes | StandardButton.No
        modality: Qt.ApplicationModal
        onYes: {
            if (factoryResetQuestionOpen)
                stateMachine.doFactoryReset()
            factoryResetQuestionOpen = false
        }
        onNo: factoryResetQuestionOpen = false
        onRejected: factoryResetQuestionOpen = false
    }

    FileDialog {
        id: saveDialog
        objectName: "saveDialog"
        title: qsTr("Save configuration to a file")
        modality: Qt.ApplicationModal
        selectExisting: false
        selectMultiple: false
        nameFilters: [qsTr("KT configuration files") + " (*.bgc)", qsTr("All files") + " (*)"]
        onAccepted: saveConfigurationTo(fileUrl)
    }

    FileDialog {
        id: loadDialog
        objectName: "loadDialog"
        title: qsTr("Load configuration from a file")
        modality: Qt.ApplicationModal
        selectExisting: true
        selectMultiple: false
        nameFilters: [qsTr("KT configuration files") + " (*.bgc)", qsTr("All files") + " (*)"]
        onAccepted: stateMachine.doLoadConfiguration(String(fileUrl))
    }

    FileDialog {
        id: saveSupportArchiveDialog
        objectName: "saveSupportArchiveDialog"
        title: qsTr("Save support archive")
        modality: Qt.ApplicationModal
        selectExisting: false
        selectMultiple: false
        nameFilters: [qsTr("ZIP archives") + " (*.zip)", qsTr("All files") + " (*)"]
        onAccepted: packSupportArchiveTo(fileUrl)
    }
}
