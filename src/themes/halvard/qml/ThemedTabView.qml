// Tab view filling its parent: a red tab bar, the selected tab light with black title.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Controls.Styles 1.2
import "../theme.js" as Theme

TabView {
    anchors.fill: parent

    style: TabViewStyle {
        frameOverlap: 0
        tabOverlap: 0

        tabBar: Rectangle {
            objectName: "tabBar"
            color: Theme.themeDark
        }

        tab: Rectangle {
            objectName: "tab-" + styleData.title
            implicitWidth: Math.max(titleText.implicitWidth + 50, 80)
            implicitHeight: 50
            color: styleData.selected ? Theme.themeLight : Theme.themeDark

            // The tab bar has the keyboard focus: the current tab says so.
            Rectangle {
                anchors.fill: parent
                anchors.margins: 4
                radius: 3
                color: "transparent"
                border.width: 2
                border.color: styleData.selected ? Theme.themeDark : Theme.themeWhite
                visible: styleData.activeFocus
            }

            ThemedText {
                id: titleText
                anchors.centerIn: parent
                text: styleData.title
                font.bold: true
                font.pixelSize: Theme.themeFontPixelSizeLarge
                color: styleData.selected ? Theme.themeBlack : Theme.themeWhite
            }
        }

        frame: Rectangle {
            color: Theme.themeWhite
        }
    }
}
