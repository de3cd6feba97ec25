// Choice of the product for a new configuration, for when more than one is supported.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Window 2.1
import "qrc:///themes/halvard/qml/."
import "qrc:///themes/halvard/theme.js" as Theme

Window {
    id: newConfigWindow

    property int selectedIndex: -1

    function create() {
        if (selectedIndex < 0)
            return
        stateMachine.doNewConfiguration(deviceFactory.supportedDeviceProductIds[selectedIndex])
        newConfigWindow.destroy()
    }

    title: qsTr("New Configuration")
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    width: content.width + 20
    height: content.height + 20
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height
    color: Theme.themeWhite

    Column {
        id: content
        anchors.centerIn: parent
        spacing: 10
        focus: true

        Keys.onEscapePressed: newConfigWindow.destroy()
        Keys.onReturnPressed: create()
        Keys.onEnterPressed: create()

        ThemedText {
            anchors.horizontalCenter: parent.horizontalCenter
            font.bold: true
            text: qsTr("Select a Device")
        }

        Repeater {
            model: deviceFactory.supportedDeviceNames
            ThemedText {
                text: modelData
                color: index === newConfigWindow.selectedIndex ? Theme.themeBlack : Theme.themeGray
                MouseArea {
                    anchors.fill: parent
                    onClicked: newConfigWindow.selectedIndex = index
                }
            }
        }

        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 10
            ThemedButton {
                text: qsTr("Create")
                enabled: newConfigWindow.selectedIndex >= 0
                onClicked: create()
            }
            ThemedButton {
                text: qsTr("Cancel")
                onClicked: newConfigWindow.destroy()
            }
        }
    }
}
