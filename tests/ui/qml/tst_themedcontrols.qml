import QtQuick 2.3
import QtQuick.Controls 1.2
import QtTest 1.0
import "qrc:///themes/halvard/qml/."

// The themed table activates a row with a single click, as device pages expect.
Item {
    id: root
    width: 800
    height: 600

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

    TestCase {
        name: "ThemedControls"
        when: windowShown

        SignalSpy { id: spy; target: table; signalName: "activated" }

        function test_tableActivatesOnSingleClick() {
            var y = 0
            while (y < table.height && table.rowAt(50, y) !== 1)
                ++y
            verify(y < table.height, "second row found")
            mouseClick(table, 50, y + 5)
            compare(spy.count, 1)
            compare(spy.signalArguments[0][0], 1)
        }
    }
}
