// What the connected unit reported about itself, one copyable line per item; the lines
// follow the device live. Numbers show in lower-case hexadecimal, except the serial number.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Layouts 1.1
import QtQuick.Window 2.1
import "qrc:///themes/halvard/qml/."
import "qrc:///themes/halvard/theme.js" as Theme

Window {
    id: deviceInfoWindow

    readonly property var device: stateMachine.currentDevice
    readonly property var info: device ? device.deviceInfo : null
    property real labelWidth: 0

    function pad(number) {
        return number < 10 ? "0" + number : String(number)
    }

    function hex(number) {
        return Number(number).toString(16)
    }

    function utcDateTime(seconds) {
        var date = new Date(seconds * 1000)
        return date.getUTCFullYear() + "/" + pad(date.getUTCMonth() + 1) + "/" + pad(date.getUTCDate())
                + " " + pad(date.getUTCHours()) + ":" + pad(date.getUTCMinutes()) + ":"
                + pad(date.getUTCSeconds()) + " UTC"
    }

    // The network module's information of an interface, or null where the product lacks it.
    function networkInfo(interfaceConfig) {
        return interfaceConfig && interfaceConfig.object ? interfaceConfig.object.deviceInfo : null
    }

    function value(key) {
        var wlan = device ? networkInfo(device.wlanInterface) : null
        var bluetooth = device ? networkInfo(device.bluetoothInterface) : null
        switch (key) {
        case "deviceId": return stateMachine.deviceIdString
        case "vendorId": return info ? hex(info.vendorId) : ""
        case "productCode": return info ? hex(info.productCode) : ""
        case "revisionNumber": return info ? hex(info.revisionNumber) : ""
        case "serialNumber": return info ? String(info.serialNumber) : ""
        case "productGroup": return info ? hex(info.productGroup) : ""
        case "manufactured": return info ? utcDateTime(info.unixTimeOfManufacture) : ""
        case "wlanVersion": return wlan ? wlan.moduleVersion : ""
        case "wlanMac": return wlan ? wlan.mac : ""
        case "bluetoothMac": return bluetooth ? bluetooth.mac : ""
        }
        return ""
    }

    title: qsTr("Device Information")
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    width: 700
    height: content.height + 40
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height
    color: Theme.themeWhite

    Column {
        id: content
        x: 20
        y: 20
        width: deviceInfoWindow.width - 40
        spacing: 10
        focus: true

        Keys.onEscapePressed: deviceInfoWindow.destroy()
        Keys.onReturnPressed: deviceInfoWindow.destroy()
        Keys.onEnterPressed: deviceInfoWindow.destroy()

        Repeater {
            model: [
                { key: "deviceId", label: qsTr("Device ID"), always: true },
                { key: "vendorId", label: qsTr("Vendor ID"), always: true },
                { key: "productCode", label: qsTr("Product code"), always: true },
                { key: "revisionNumber", label: qsTr("Revision number"), always: true },
                { key: "serialNumber", label: qsTr("Serial number"), always: true },
                { key: "productGroup", label: qsTr("Product group"), always: true },
                { key: "manufactured", label: qsTr("Date of manufacture"), always: true },
                { key: "wlanVersion", label: qsTr("Wireless FW version"), always: false },
                { key: "wlanMac", label: qsTr("WLAN MAC address"), always: false },
                { key: "bluetoothMac", label: qsTr("Bluetooth MAC address"), always: false }
            ]

            RowLayout {
                width: content.width
                spacing: 10
                visible: modelData.always || field.text !== ""

                ThemedText {
                    id: label
                    Layout.preferredWidth: deviceInfoWindow.labelWidth
                    font.bold: true
                    text: modelData.label + ":"
                    Component.onCompleted: deviceInfoWindow.labelWidth = Math.max(deviceInfoWindow.labelWidth,
                                                                                  implicitWidth)
                }
                ThemedTextField {
                    id: field
                    objectName: modelData.key
                    Layout.fillWidth: true
                    readOnly: true
                    hideBorder: true
                    label: modelData.label
                    text: deviceInfoWindow.value(modelData.key)
                }
                ThemedButton {
                    text: qsTr("Copy")
                    Accessible.name: qsTr("Copy %1").arg(modelData.label)
                    onClicked: {
                        field.selectAll()
                        field.copy()
                        field.deselect()
                    }
                }
            }
        }

        ThemedButton {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Close")
            onClicked: deviceInfoWindow.destroy()
        }
    }
}
