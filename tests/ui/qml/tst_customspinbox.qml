import QtQuick 2.3
import QtTest 1.0
import "qrc:///themes/halvard/qml/."

// Stepping, typing and focus behaviour of the theme's spin box, with simulated input.
Item {
    id: root
    width: 400
    height: 300

    Component {
        id: spinBoxComponent
        ThemedSpinBox {
            minimumValue: 0
            maximumValue: 100
            value: 5
        }
    }

    TestCase {
        name: "CustomSpinBox"
        when: windowShown

        SignalSpy { id: spy }

        function createSpinBox(properties) {
            var box = createTemporaryObject(spinBoxComponent, root, properties || {})
            verify(box)
            return box
        }

        function input(box) {
            return findChild(box, "spinBoxInput")
        }

        function test_stepping_data() {
            var volts = { stepSize: 2.5, decimals: 1, prefix: "$", suffix: " V" }
            return [
                { tag: "up button", area: "mouseUp", value: 6, text: "6", selected: "6", focus: true },
                { tag: "down button", area: "mouseDown", value: 4, text: "4", selected: "4", focus: true },
                { tag: "up key", properties: volts, key: Qt.Key_Up, value: 7.5, text: "$7.5 V", selected: "7.5", focus: true },
                { tag: "down key", properties: volts, key: Qt.Key_Down, value: 2.5, text: "$2.5 V", selected: "2.5", focus: true },
                { tag: "wheel without focus", wheel: 120, value: 5, text: "5", selected: "", focus: false },
                { tag: "wheel up with focus", wheel: 120, withFocus: true, value: 6, text: "6", selected: "6", focus: true },
            ]
        }

        function test_stepping(data) {
            var box = createSpinBox(data.properties)
            if (data.area) {
                mouseClick(findChild(box, data.area))
            } else if (data.key) {
                box.forceActiveFocus()
                keyClick(data.key)
            } else {
                if (data.withFocus)
                    box.forceActiveFocus()
                mouseWheel(box, 20, 10, 0, data.wheel)
            }
            compare(box.value, data.value)
            compare(input(box).text, data.text)
            compare(input(box).selectedText, data.selected)
            compare(input(box).activeFocus, data.focus)
        }

        function test_buttonsDisabledAtTheLimits() {
            var box = createSpinBox({ value: 100 })
            compare(findChild(box, "mouseUp").enabled, false)
            compare(findChild(box, "mouseDown").enabled, true)
            mouseClick(findChild(box, "mouseUp"))
            compare(box.value, 100)
            box.value = 0
            compare(findChild(box, "mouseUp").enabled, true)
            compare(findChild(box, "mouseDown").enabled, false)
        }

        function test_holdingAButtonRepeats() {
            var box = createSpinBox()
            var up = findChild(box, "mouseUp")
            mousePress(up)
            tryCompare(box, "value", 8, 2000)
            mouseRelease(up)
            // The release over the button is the click: one more step, then no more.
            var released = box.value
            wait(200)
            compare(box.value, released)
        }

        function test_editingFinishedIsPassedOn() {
            var box = createSpinBox()
            spy.target = box
            spy.signalName = "editingFinished"
            box.forceActiveFocus()
            keyClick(Qt.Key_Enter)
            compare(spy.count, 1)
        }
    }
}
