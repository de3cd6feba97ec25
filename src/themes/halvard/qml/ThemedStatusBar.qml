// Status bar on white with a thin red line along its top edge.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Controls.Styles 1.2
import "../theme.js" as Theme

StatusBar {
    style: StatusBarStyle {
        background: Rectangle {
            implicitHeight: 16
            implicitWidth: 200
            color: Theme.themeWhite

            Rectangle {
                anchors.top: parent.top
                width: parent.width
                height: 1
                color: Theme.themeDark
            }
        }
    }
}
