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
                { tag: "wheel down with focus", wheel: -120, withFocus: true, value: 4, text: "4", selected: "4", focus: true },
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
            var start = Date.now()
            mousePress(up)
            // Nothing before the 350 ms delay and the first 60 ms tick.
            wait(300)
            compare(box.value, 5)
            tryCompare(box, "value", 6, 2000)
            verify(Date.now() - start >= 410, "first repeat after " + (Date.now() - start) + " ms")
            wait(600)
            verify(box.value >= 10, "repeated steps in 600 ms: " + (box.value - 6))
            var held = box.value
            mouseRelease(up)
            // The release over the button is the click: one more step, then no more.
            compare(box.value, held + 1)
            wait(200)
            compare(box.value, held + 1)
        }

        // values: the value after each key; typed: the field before the edit ends.
        function test_typingEndsInCanonicalText_data() {
            return [
                { tag: "hex above the maximum, Return", properties: { radix: 16, prefix: "0x", maximumValue: 255, value: 1 },
                  focusSelected: "1", keys: ["1", "F", "F"], values: [1, 31, 255], typed: "0x1FF", end: Qt.Key_Return,
                  text: "0xff", selected: "ff" },
                { tag: "upper case hex, focus lost", properties: { radix: 16, maximumValue: 255, value: 1 },
                  focusSelected: "1", keys: ["F", "F"], values: [15, 255], typed: "FF", text: "ff", selected: "" },
                { tag: "decimals, Return", properties: { decimals: 2, suffix: "%" },
                  focusSelected: "5.00", keys: [Qt.Key_4, Qt.Key_Period, Qt.Key_5], values: [4, 4, 4.5], typed: "4.5%",
                  end: Qt.Key_Return, text: "4.50%", selected: "4.50" },
            ]
        }

        function test_typingEndsInCanonicalText(data) {
            var box = createSpinBox(data.properties)
            box.forceActiveFocus()
            compare(input(box).selectedText, data.focusSelected)
            for (var i = 0; i < data.keys.length; ++i) {
                keyClick(data.keys[i])
                compare(box.value, data.values[i], "after key " + i)
            }
            compare(input(box).text, data.typed)
            if (data.end)
                keyClick(data.end)
            else
                box.focus = false
            compare(input(box).text, data.text)
            compare(input(box).selectedText, data.selected)
        }

        function test_editingFinishedIsPassedOn() {
            var box = createSpinBox()
            spy.target = box
            spy.signalName = "editingFinished"
            box.forceActiveFocus()
            keyClick(Qt.Key_Enter)
            compare(spy.count, 1)
        }

        function test_radixAreasHaveNoSizeInThisTheme() {
            var box = createSpinBox({ showHexDecControls: true })
            compare(findChild(box, "mouseDec").width, 0)
            compare(findChild(box, "mouseHex").width, 0)
            verify(findChild(box, "mouseDec").enabled)
            box.showControls = false
            compare(findChild(box, "mouseDec").enabled, false)
        }

        function test_textPadding() {
            var box = createSpinBox()
            var field = input(box)
            var contentHeight = Math.max(field.implicitHeight, 16)
            compare(field.x, Math.round(contentHeight / 2))
            compare(field.y, 1)
            compare(box.width - field.x - field.width, Math.max(39, Math.round(contentHeight)))
        }
    }
}
