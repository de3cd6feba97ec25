// The Bluetooth tab of the KT Bridge page: the radio, its name, PIN and visibility in
// bluetoothInterface, the device's Interface::Config for Bluetooth, and the way into
// pairing mode, which asks first.
import QtQuick 2.6
import QtQuick.Controls 1.2
import "qrc:///themes/halvard/qml/."
import "qrc:///themes/halvard/theme.js" as Theme
import "textBytes.js" as TextBytes

Column {
    id: bluetoothTab
    objectName: "bluetoothTab"
    padding: 10
    spacing: 10

    property var bluetoothInterface
    property bool factoryPinInUse: false
    // Pairing mode needs a connected unit that is not busy.
    property bool pairingAvailable: false
    property Item toolTipItem: parent
    // Stands in while the device's objects are gone (the device is being replaced and this
    // page is about to go), so that every binding still finds what it reads.
    readonly property var shownInterface: bluetoothInterface ? bluetoothInterface : ({ enabled: false, object: null })
    readonly property var bluetooth: shownInterface.object ? shownInterface.object : ({
        deviceName: "", pin: "", discoverable: false, isValidDeviceName: accept, isValidPin: accept })

    function accept() { return true }
    readonly property var invalidRows: [deviceName, pin].filter(function (row) { return row.error !== "" })

    // The user asked for pairing mode.
    signal pairingRequested()

    ThemedText {
        objectName: "bluetoothNotice"
        height: 20
        verticalAlignment: Text.AlignVCenter
        color: Theme.themeWarning
        font.bold: true
        text: bluetoothTab.shownInterface.enabled && bluetoothTab.factoryPinInUse
              ? qsTr("The factory PIN is still in use: anyone nearby who knows it can pair with the bridge.")
              : ""
    }

    ThemedGroupBox {
        title: qsTr("Bluetooth")
        width: bluetoothTab.width - 20

        Column {
            spacing: 6

            FlagSetting {
                objectName: "bluetoothEnabled"
                text: qsTr("Bluetooth enabled")
                value: bluetoothTab.shownInterface.enabled
                help: qsTr("Switched off, the radio stays silent; its settings are kept.")
                toolTipItem: bluetoothTab.toolTipItem
                onEdited: bluetoothTab.shownInterface.enabled = value
            }

            Column {
                spacing: 6
                enabled: bluetoothTab.shownInterface.enabled

                TextSetting {
                    id: deviceName
                    objectName: "deviceName"
                    label: qsTr("Device name")
                    value: bluetoothTab.bluetooth.deviceName
                    problem: function (text) {
                        return bluetoothTab.bluetooth.isValidDeviceName(text) ? ""
                            : qsTr("The name needs 1 to 32 bytes; this one has %1.")
                                  .arg(TextBytes.utf8Length(text))
                    }
                    help: qsTr("The name other devices see when they search; 1 to 32 bytes.")
                    toolTipItem: bluetoothTab.toolTipItem
                    onEdited: bluetoothTab.bluetooth.deviceName = text
                }
                TextSetting {
                    id: pin
                    objectName: "pin"
                    label: qsTr("PIN")
                    secret: true
                    value: bluetoothTab.bluetooth.pin
                    problem: function (text) {
                        return bluetoothTab.bluetooth.isValidPin(text) ? ""
                            : qsTr("The PIN needs 4 to 16 digits, nothing else.")
                    }
                    help: qsTr("Asked for when a device pairs with the bridge; 4 to 16 digits.")
                    toolTipItem: bluetoothTab.toolTipItem
                    onEdited: bluetoothTab.bluetooth.pin = text
                }
                FlagSetting {
                    objectName: "discoverable"
                    text: qsTr("Discoverable")
                    value: bluetoothTab.bluetooth.discoverable
                    help: qsTr("Other devices find the bridge when they search. Devices already paired "
                               + "connect either way.")
                    toolTipItem: bluetoothTab.toolTipItem
                    onEdited: bluetoothTab.bluetooth.discoverable = value
                }
                Row {
                    spacing: 10

                    Item {
                        width: 200
                        height: 25
                    }
                    ThemedButton {
                        objectName: "pairingMode"
                        width: 170
                        text: qsTr("Enter pairing mode...")
                        enabled: bluetoothTab.pairingAvailable
                        onClicked: bluetoothTab.pairingRequested()

                        ThemedToolTip {
                            text: qsTr("Available while a device is connected.")
                            showAboveItem: bluetoothTab.toolTipItem
                        }
                    }
                }
            }
        }
    }
}
