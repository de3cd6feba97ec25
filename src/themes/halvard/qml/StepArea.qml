// A step button of CustomSpinBox: one step per click, and while held, after 350 ms,
// one step every 60 ms until released.
import QtQuick 2.2
import QtQuick.Controls.Private 1.0

MouseArea {
    id: stepArea

    property var area
    property bool autoRepeat: false

    signal step()

    hoverEnabled: Settings.hoverEnabled
    x: area ? area.x : 0
    y: area ? area.y : 0
    width: area ? area.width : 0
    height: area ? area.height : 0

    onClicked: step()
    onReleased: autoRepeat = false
    onCanceled: autoRepeat = false

    Timer {
        interval: 350
        running: stepArea.pressed
        onTriggered: stepArea.autoRepeat = true
    }

    Timer {
        interval: 60
        repeat: true
        running: stepArea.autoRepeat && stepArea.pressed
        onTriggered: stepArea.step()
    }
}
