// One arrow box of ThemedSpinBox: dark-red fill, red edge lines, the theme's arrow.
import QtQuick 2.3
import "../theme.js" as Theme

Rectangle {
    property alias arrowRotation: arrow.rotation
    property alias arrowOpacity: arrow.opacity
    property color edgeColor: Theme.themeDark

    color: Theme.themeMedium

    Rectangle {
        anchors.fill: parent
        color: "transparent"
        border.width: 1
        border.color: parent.edgeColor
    }

    Image {
        id: arrow
        anchors.centerIn: parent
        source: Theme.themeIconArrowDown
    }
}
