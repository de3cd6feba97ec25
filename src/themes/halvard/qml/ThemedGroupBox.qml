// Flat group box: a red title band with white title text and a thin red border round the box.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Controls.Private 1.0
import "../theme.js" as Theme

GroupBox {
    flat: true

    style: GroupBoxStyle {
        padding { top: 20 + 6; left: 6; right: 6; bottom: 6 }

        checkbox: Rectangle {
            implicitWidth: 14
            implicitHeight: 14
            color: control.enabled ? Theme.themeWhite : Theme.themeLight
            border.width: 1
            border.color: Theme.themeDark

            Image {
                anchors.centerIn: parent
                anchors.verticalCenterOffset: 1
                source: Theme.themeIconCheck
                visible: control.checked
                opacity: control.enabled ? 1 : 0.5
            }
        }

        panel: Item {
            anchors.fill: parent

            Rectangle {
                objectName: "groupBoxBorder"
                anchors.fill: parent
                color: "transparent"
                border.width: 1
                border.color: Theme.themeDark
            }

            Rectangle {
                id: band
                objectName: "groupBoxTitleBand"
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.top: parent.top
                height: 20
                color: control.enabled ? Theme.themeDark : Theme.themeLight
            }

            Loader {
                id: checkboxLoader
                anchors.left: parent.left
                anchors.leftMargin: control.checkable ? 4 : 0
                anchors.verticalCenter: band.verticalCenter
                sourceComponent: control.checkable ? checkbox : null
                width: item ? item.implicitWidth : 0
            }

            ThemedText {
                anchors.left: checkboxLoader.right
                anchors.leftMargin: 4
                anchors.verticalCenter: band.verticalCenter
                text: control.title
                color: Theme.themeWhite
            }
        }
    }
}
