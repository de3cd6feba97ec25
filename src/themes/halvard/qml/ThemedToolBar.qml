// Tool bar on a plain white background.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Controls.Styles 1.2
import "../theme.js" as Theme

ToolBar {
    style: ToolBarStyle {
        background: Rectangle {
            color: Theme.themeWhite
        }
    }
}
