// Who made the program, its version and build date; any click or key closes it.
import QtQuick 2.3
import QtQuick.Window 2.1
import "qrc:///themes/halvard/qml/."
import "qrc:///themes/halvard/theme.js" as Theme

Window {
    id: aboutWindow

    title: ""
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    width: content.width + 40
    height: content.height + 40
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height
    color: Theme.themeWhite

    MouseArea {
        anchors.fill: parent
        onClicked: aboutWindow.destroy()
    }

    Column {
        id: content
        anchors.centerIn: parent
        spacing: 10
        focus: true

        Keys.onEscapePressed: aboutWindow.destroy()
        Keys.onReturnPressed: aboutWindow.destroy()
        Keys.onEnterPressed: aboutWindow.destroy()

        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            source: Theme.themeIconLogoBig
        }
        ThemedText {
            anchors.horizontalCenter: parent.horizontalCenter
            font.bold: true
            font.pixelSize: Theme.themeFontPixelSizeHuge
            text: organizationAboutName
        }
        ThemedText {
            anchors.horizontalCenter: parent.horizontalCenter
            font.bold: true
            font.pixelSize: Theme.themeFontPixelSizeLarge
            text: applicationName
        }
        ThemedText {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Version") + " " + applicationVersion
        }
        ThemedText {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Build date") + " " + applicationBuildDate
        }
    }
}
