// Tool tip for the item it is placed in: after the pointer has rested on that item
// for a second, shows text in a dark rounded box above showAboveItem; hides it
// 100 ms after the pointer has left. Takes no clicks. Wraps its text at the width
// of the window it is shown in (the main window, where device pages live) minus 50 pixels.
import QtQuick 2.3
import QtQuick.Window 2.2
import "../theme.js" as Theme

MouseArea {
    id: toolTip

    property string text: ""
    property var showAboveItem: parent
    readonly property bool shown: tip.visible

    anchors.fill: parent
    z: 10000
    hoverEnabled: true
    acceptedButtons: Qt.NoButton

    Timer {
        id: showTimer
        objectName: "toolTipShowTimer"
        interval: 1000
        running: toolTip.containsMouse && !tip.visible
        onTriggered: tip.visible = true
    }

    Timer {
        id: hideTimer
        objectName: "toolTipHideTimer"
        interval: 100
        running: !toolTip.containsMouse && tip.visible
        onTriggered: tip.visible = false
    }

    Rectangle {
        id: tip
        objectName: "toolTipBox"
        parent: toolTip.showAboveItem
        visible: false
        z: 10000
        radius: 5
        color: Theme.themeBlack
        opacity: 0.9
        width: tipText.paintedWidth + 10
        height: tipText.paintedHeight + 10
        x: parent ? (parent.width - width) / 2 : 0
        y: parent ? parent.height - 25 - height : 0

        ThemedText {
            id: tipText
            objectName: "toolTipText"
            anchors.centerIn: parent
            width: Math.min(implicitWidth, Math.max(0, toolTip.Window.width - 50))
            wrapMode: Text.Wrap
            text: toolTip.text
            color: Theme.themeWhite
        }
    }
}
