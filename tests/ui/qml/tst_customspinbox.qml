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
        id: testCase
        name: "CustomSpinBox"
        when: windowShown

        function find(item, name) {
            if (item.objectName === name)
                return item
            for (var i = 0; i < item.children.length; ++i) {
                var found = find(item.children[i], name)
                if (found)
                    return found
            }
            return null
        }

        function createSpinBox(properties) {
            var box = createTemporaryObject(spinBoxComponent, root, properties || {})
            verify(box)
            return box
        }

        function input(box) {
            return find(box, "spinBoxInput")
        }

        function test_buttonClickSteps_data() {
            return [
                { tag: "up", area: "mouseUp", expected: 6 },
                { tag: "down", area: "mouseDown", expected: 4 },
            ]
        }

        function test_buttonClickSteps(data) {
            var box = createSpinBox()
            var area = find(box, data.area)
            mouseClick(area)
            compare(box.value, data.expected)
            compare(input(box).text, String(data.expected))
            verify(input(box).activeFocus)
        }

        function test_keysStepAndSelectTheNumber_data() {
            return [
                { tag: "up", key: Qt.Key_Up, expected: 7.5 },
                { tag: "down", key: Qt.Key_Down, expected: 2.5 },
            ]
        }

        function test_keysStepAndSelectTheNumber(data) {
            var box = createSpinBox({ stepSize: 2.5, decimals: 1, prefix: "$", suffix: " V" })
            box.forceActiveFocus()
            keyClick(data.key)
            compare(box.value, data.expected)
            compare(input(box).text, "$" + data.expected.toFixed(1) + " V")
            compare(input(box).selectedText, data.expected.toFixed(1))
        }

        function test_wheelStepsOnlyWithFocus() {
            var box = createSpinBox()
            mouseWheel(box, 20, 10, 0, 120)
            compare(box.value, 5)
            box.forceActiveFocus()
            mouseWheel(box, 20, 10, 0, 120)
            compare(box.value, 6)
            mouseWheel(box, 20, 10, 0, -120)
            mouseWheel(box, 20, 10, 0, -120)
            compare(box.value, 4)
        }

        function test_buttonsDisabledAtTheLimits() {
            var box = createSpinBox({ value: 100 })
            compare(find(box, "mouseUp").enabled, false)
            compare(find(box, "mouseDown").enabled, true)
            mouseClick(find(box, "mouseUp"))
            compare(box.value, 100)
            box.value = 0
            compare(find(box, "mouseUp").enabled, true)
            compare(find(box, "mouseDown").enabled, false)
        }

        function test_holdingAButtonRepeats() {
            var box = createSpinBox()
            var up = find(box, "mouseUp")
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

        function test_typingHexAboveTheMaximumSnapsToIt() {
            var box = createSpinBox({ radix: 16, prefix: "0x", maximumValue: 255, value: 1 })
            compare(input(box).text, "0x1")
            box.forceActiveFocus()
            compare(input(box).selectedText, "1")
            keyClick("1")
            keyClick("F")
            compare(box.value, 31)
            keyClick("F")
            compare(box.value, 255)
            // The field keeps what was typed until the edit ends.
            compare(input(box).text, "0x1FF")
            keyClick(Qt.Key_Return)
            compare(input(box).text, "0xff")
            compare(input(box).selectedText, "ff")
        }

        function test_typingUpperCaseHexEndsLowerCase() {
            var box = createSpinBox({ radix: 16, maximumValue: 255, value: 1 })
            box.forceActiveFocus()
            keyClick("F")
            keyClick("F")
            compare(box.value, 255)
            box.focus = false
            compare(input(box).text, "ff")
        }

        function test_returnRestoresCanonicalText() {
            var box = createSpinBox({ decimals: 2, suffix: "%" })
            box.forceActiveFocus()
            keyClick(Qt.Key_4)
            keyClick(Qt.Key_Period)
            keyClick(Qt.Key_5)
            compare(box.value, 4.5)
            compare(input(box).text, "4.5%")
            keyClick(Qt.Key_Return)
            compare(input(box).text, "4.50%")
            compare(input(box).selectedText, "4.50")
        }

        function test_editingFinishedIsPassedOn() {
            var box = createSpinBox()
            var spy = createTemporaryObject(signalSpyComponent, testCase, { target: box, signalName: "editingFinished" })
            box.forceActiveFocus()
            keyClick(Qt.Key_Enter)
            compare(spy.count, 1)
        }

        function test_radixAreasHaveNoSizeInThisTheme() {
            var box = createSpinBox({ showHexDecControls: true })
            compare(find(box, "mouseDec").width, 0)
            compare(find(box, "mouseHex").width, 0)
            verify(find(box, "mouseDec").enabled)
            box.showControls = false
            compare(find(box, "mouseDec").enabled, false)
        }

        function test_textPadding() {
            var box = createSpinBox()
            var field = input(box)
            var contentHeight = Math.max(field.implicitHeight, 16)
            compare(field.x, Math.round(contentHeight / 2))
            compare(field.y, 1)
            compare(box.width - field.x - field.width, Math.max(39, Math.round(contentHeight)))
        }

        Component {
            id: signalSpyComponent
            SignalSpy {}
        }
    }
}
