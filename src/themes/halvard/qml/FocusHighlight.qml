// Label of a check box or radio button, framed by a soft highlight while its control has focus.
import QtQuick 2.3
import "../theme.js" as Theme

Item {
    property alias text: label.text
    property bool highlighted: false

    implicitWidth: label.implicitWidth + 6
    implicitHeight: label.implicitHeight + 2

    Rectangle {
        objectName: "focusHighlight"
        anchors.fill: label
        anchors.topMargin: -1
        anchors.bottomMargin: -1
        anchors.leftMargin: -3
        anchors.rightMargin: -3
        radius: 3
        color: Theme.themeLight
        border.color: Theme.themeDark
        opacity: 0.6
        visible: parent.highlighted
    }

    ThemedText {
        id: label
        anchors.centerIn: parent
    }
}
