// The look of the theme's pop-up menus, shared by ThemedMenu and the menus of ThemedMenuBar.
import QtQuick 2.3
import QtQuick.Controls.Styles 1.2
import "../theme.js" as Theme

MenuStyle {
    padding { top: 5; bottom: 5; left: 0; right: 0 }
    submenuOverlap: 5

    __backgroundColor: Theme.themeLight
    __labelColor: Theme.themeBlack
    __selectedBackgroundColor: Qt.darker(Theme.themeDark, 1.15)
    __selectedLabelColor: Theme.themeWhite
    __disabledLabelColor: Theme.themeGray
    __leftLabelMargin: 5
    __rightLabelMargin: 5

    frame: Rectangle {
        color: Theme.themeLight
    }

    separator: Item {
        implicitHeight: 5
        Rectangle {
            width: parent.width - 15
            height: 1
            anchors.centerIn: parent
            color: Theme.themeDark
        }
    }

    scrollIndicator: Image {
        anchors.centerIn: parent
        source: Theme.themeIconArrowDown
        rotation: styleData.scrollerDirection === Qt.UpArrow ? 180 : 0
    }
}
