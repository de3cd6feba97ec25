// One arrow box of ThemedSpinBox: dark-red fill, red edge lines, the theme's arrow.
import QtQuick 2.3
import "../theme.js" as Theme

Rectangle {
    property alias arrowRotation: arrow.rotation
    property alias arrowOpacity: arrow.opacity
    property alias edgeColor: edge.border.color

    color: Theme.themeMedium

    Rectangle {
        id: edge
        anchors.fill: parent
        color: "transparent"
        border.width: 1
    }

    Image {
        id: arrow
        anchors.centerIn: parent
        source: Theme.themeIconArrowDown
    }
}
