import QtQuick 2.3
import QtTest 1.0
import "qrc:///themes/halvard/qml/."

// The tool tip's delay, its hiding and its placement above the item it explains.
Item {
    id: root
    width: 600
    height: 400

    Rectangle {
        id: host
        x: 100
        y: 100
        width: 200
        height: 100

        MouseArea {
            id: underneath
            anchors.fill: parent
            property int clicks: 0
            onClicked: ++clicks
        }

        ThemedToolTip {
            id: toolTip
            text: "Explains the item"
            showAboveItem: host
        }
    }

    TestCase {
        name: "ThemedToolTip"
        when: windowShown

        function cleanup() {
            mouseMove(root, 5, 5)
            tryCompare(toolTip, "shown", false)
        }

        function test_passingOverDoesNotShow() {
            mouseMove(host, 50, 50)
            wait(600)
            mouseMove(root, 5, 5)
            wait(1000)
            compare(toolTip.shown, false)
        }

        function test_showsAfterOneSecondShrinksToItsTextAndHidesAfterLeaving() {
            var start = Date.now()
            mouseMove(host, 50, 50)
            tryCompare(toolTip, "shown", true, 3000)
            verify(Date.now() - start >= 1000, "shown after " + (Date.now() - start) + " ms")

            var box = findChild(host, "toolTipBox")
            var text = findChild(box, "toolTipText")
            compare(box.parent, host)
            compare(box.x, (host.width - box.width) / 2)
            compare(box.y, host.height - 25 - box.height)
            compare(box.width, text.paintedWidth + 10)
            verify(text.paintedWidth < root.width - 50)

            start = Date.now()
            mouseMove(root, 5, 5)
            compare(toolTip.shown, true)
            tryCompare(toolTip, "shown", false, 1000)
            verify(Date.now() - start >= 100, "hidden after " + (Date.now() - start) + " ms")
        }

        function test_clicksPassThrough() {
            mouseClick(host)
            compare(underneath.clicks, 1)
        }
    }
}
