// Table without a frame (but while focused): red header, 20-pixel rows with thin red lines, light selected row.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Controls.Styles 1.2
import "../theme.js" as Theme

TableView {
    frameVisible: activeFocus

    style: TableViewStyle {
        activateItemOnSingleClick: true
        backgroundColor: Theme.themeWhite
        textColor: control.enabled ? Theme.themeBlack : Theme.themeGray
        highlightedTextColor: textColor

        // No frame, except while the table has the keyboard focus.
        frame: Rectangle {
            color: "transparent"
            border.width: 2
            border.color: Theme.themeDark
        }

        headerDelegate: Rectangle {
            implicitWidth: headerText.implicitWidth + 10
            implicitHeight: headerText.implicitHeight + 10
            color: Theme.themeDark

            ThemedText {
                id: headerText
                anchors.left: parent.left
                anchors.leftMargin: 4
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                text: styleData.value !== undefined ? styleData.value : ""
                color: Theme.themeWhite
                elide: Text.ElideRight
            }
        }

        rowDelegate: Rectangle {
            height: 20
            color: styleData.selected ? Theme.themeLight
                                      : (control.enabled ? Qt.lighter(Theme.themeLight, 1.2) : Theme.themeWhite)

            Rectangle {
                anchors.top: parent.top
                width: parent.width
                height: 0.5
                color: Theme.themeDark
            }
            Rectangle {
                anchors.bottom: parent.bottom
                width: parent.width
                height: 0.5
                color: Theme.themeDark
            }
        }

        itemDelegate: Item {
            height: Math.max(16, cellText.implicitHeight)
            implicitWidth: cellText.implicitWidth + 20

            ThemedText {
                id: cellText
                x: 12
                width: parent.width - x
                anchors.verticalCenter: parent.verticalCenter
                anchors.verticalCenterOffset: 1
                horizontalAlignment: styleData.textAlignment
                elide: styleData.elideMode
                text: styleData.value !== undefined ? styleData.value.toString() : ""
                color: control.enabled ? Theme.themeBlack : Theme.themeGray
            }
        }
    }
}
