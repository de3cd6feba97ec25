// The current device's page, with the device's name and origin beneath it; while the
// machine talks to the device, the page takes no input. The page is loaded here, so it
// reaches the window's objects by their ids as before.
import QtQuick 2.3
import com.vtcan.types 1.0
import "qrc:///themes/halvard/qml/."
import "qrc:///themes/halvard/theme.js" as Theme

Item {
    readonly property var device: stateMachine.currentDevice
    // Named in the hint of the empty page.
    property string serialPort: ""
    readonly property alias page: deviceConfigurationLoader.item

    // A fresh page for every device, even one of the same kind: the page binds to its object,
    // which it receives as its property device. A driver may come without a page; its device
    // then gets the empty themed page.
    function loadPage() {
        deviceConfigurationLoader.sourceComponent = undefined
        if (!device)
            return
        var component = Qt.createComponent(device.qmlPath)
        if (component.status !== Component.Ready) {
            console.warn("No device page for", device.name())
            deviceConfigurationLoader.sourceComponent = emptyPage
            return
        }
        deviceConfigurationLoader.setSource(device.qmlPath, { device: device })
    }

    // Finishes the field being edited, so that the page's list of invalid fields is current,
    // and gives that list.
    function finishEditing() {
        forceActiveFocus()
        return page && page.invalidFields ? page.invalidFields : []
    }

    Connections {
        target: stateMachine
        function onCurrentDeviceChanged() { loadPage() }
    }

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
                visible: !device
                horizontalAlignment: Text.AlignHCenter
                lineHeight: 1.5
                // Softer than the page's texts, yet readable: gray is the disabled look.
                opacity: 0.7
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
            if (!device)
                return ""
            var type = saveStatusTracker.configurationType
            var origin = type === VtTypes.CONFIGURATION_TYPE_NEW ? "(" + qsTr("unsaved configuration") + ")"
                       : type === VtTypes.CONFIGURATION_TYPE_FILE ? saveStatusTracker.currentFilePath
                       : "(" + qsTr("read from device") + ")"
            return device.name() + ": " + origin + (saveStatusTracker.saveNeeded ? "*" : "")
        }
    }

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
