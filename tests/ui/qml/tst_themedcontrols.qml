import QtQuick 2.3
import QtQuick.Controls 1.2
import QtTest 1.0
import "qrc:///themes/halvard/qml/."

// What the themed controls do beyond their stock controls: step boxes, the busy
// indicator's turn and fade, single-click tables, a text area that grows with its text.
Item {
    id: root
    width: 800
    height: 600

    Column {
        ThemedSpinBox { id: spinEnabled; value: 3 }
        ThemedSpinBox { id: spinBare; value: 3; showControls: false }
        ThemedBusyIndicator { id: busy; running: false }
    }

    Column {
        x: 400
        ThemedTableView {
            id: table
            width: 300
            height: 100
            model: ListModel {
                ListElement { name: "first" }
                ListElement { name: "second" }
            }
            TableViewColumn { role: "name"; title: "Name"; width: 200 }
        }
        ThemedTextArea { id: area; width: 200; wrapMode: TextEdit.Wrap; text: "one\ntwo\nthree" }
    }

    TestCase {
        name: "ThemedControls"
        when: windowShown

        SignalSpy { id: spy; target: table; signalName: "activated" }

        function styled(item, name) {
            var found = findChild(item, name)
            verify(found, name + " exists")
            return found
        }

        function test_stepBoxes() {
            var up = styled(spinEnabled, "spinBoxUpBox")
            verify(up.visible)
            verify(styled(spinEnabled, "spinBoxDownBox").visible)
            compare(styled(spinBare, "spinBoxUpBox").visible, false)
            compare(styled(spinBare, "spinBoxDownBox").visible, false)
            compare(styled(spinBare, "mouseUp").width, 0)
        }

        function test_busyIndicatorTurnsAndFades() {
            var image = styled(busy, "busyImage")
            compare(image.visible, false)
            busy.running = true
            verify(image.visible)
            tryCompare(image, "opacity", 1, 1000)
            var angle = image.rotation
            wait(100)
            verify(image.rotation !== angle, "turning")
            busy.running = false
            verify(image.visible, "still fading out")
            tryCompare(image, "visible", false, 1000)
        }

        function test_tableActivatesOnSingleClick() {
            var y = 0
            while (y < table.height && table.rowAt(50, y) !== 1)
                ++y
            verify(y < table.height, "second row found")
            mouseClick(table, 50, y + 5)
            compare(spy.count, 1)
            compare(spy.signalArguments[0][0], 1)
        }

        function test_textAreaGrowsWithItsText() {
            var oneLine = area.implicitHeight
            area.text = "one\ntwo\nthree\nfour\nfive\nsix"
            verify(area.implicitHeight > oneLine)
            area.text = ""
            verify(area.implicitHeight >= 20)
        }
    }
}
