// The main window for now: the link and the connected device at a glance, with the device
// operations as buttons and the last outcome in the status bar.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Layouts 1.1
import "qrc:///themes/halvard/qml"
import "qrc:///themes/halvard/theme.js" as Theme

ThemedApplicationWindow {
    id: mainApplication

    readonly property bool canConnect: commsHandler.currentProviderType !== ""
                                       && !stateMachine.connected && !stateMachine.busy
    readonly property bool canOperate: stateMachine.connected && !stateMachine.busy
    readonly property var device: stateMachine.currentDevice
    readonly property var deviceInfo: device ? device.deviceInfo : null
    property string outcome: ""

    function portName() {
        var provider = commsHandler.currentProvider
        if (!provider)
            return ""
        for (var i = 0; i < provider.settings.length; ++i) {
            if (provider.settings[i].name === "Port")
                return provider.settings[i].value
        }
        return ""
    }

    visible: true
    width: 1024
    height: 720
    title: applicationName

    Connections {
        target: stateMachine
        function onConnectSuccessful() { outcome = qsTr("Connected.") }
        function onDisconnectSuccessful() { outcome = qsTr("Disconnected.") }
        function onReadFromDeviceSuccessful() { outcome = qsTr("Configuration read from the device.") }
        function onWriteToDeviceSuccessful() { outcome = qsTr("Configuration written to the device.") }
        function onFactoryResetSuccessful() { outcome = qsTr("The device was reset to its factory settings.") }
        function onDeviceError() { outcome = qsTr("The device reported an error.") }
        function onTimeout() { outcome = qsTr("The device did not answer in time.") }
        function onCommsError(errorCode, errorText) { outcome = errorText }
        function onDeviceUnsupported(deviceIdString, productId) {
            outcome = qsTr("This device is not supported (product ID %1).").arg(productId)
        }
    }

    toolBar: ThemedToolBar {
        RowLayout {
            spacing: 8
            ThemedButton {
                text: qsTr("Connect")
                enabled: canConnect
                onClicked: stateMachine.doConnect()
            }
            ThemedButton {
                text: qsTr("Disconnect")
                enabled: canOperate
                onClicked: stateMachine.doEnterNormalOperation()
            }
            ThemedButton {
                text: qsTr("Read")
                enabled: canOperate
                onClicked: stateMachine.doReadDeviceConfiguration()
            }
            ThemedButton {
                text: qsTr("Write")
                enabled: canOperate
                onClicked: stateMachine.doWriteDeviceConfiguration()
            }
            ThemedBusyIndicator {
                running: stateMachine.busy
            }
        }
    }

    GridLayout {
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.margins: 20
        columns: 2
        columnSpacing: 20
        rowSpacing: 8

        ThemedText { text: qsTr("Port") }
        ThemedText { text: commsHandler.currentProviderType + " " + portName() }
        ThemedText { text: qsTr("Device") }
        ThemedText { text: stateMachine.deviceIdString }
        ThemedText { text: qsTr("Product") }
        ThemedText { text: device ? device.name() : "" }
        ThemedText { text: qsTr("Serial number") }
        ThemedText { text: deviceInfo ? deviceInfo.serialNumber : "" }
    }

    statusBar: ThemedStatusBar {
        ThemedText {
            text: outcome
        }
    }
}
