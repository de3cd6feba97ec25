import QtQuick 2.3
import QtQuick.Controls 1.2
import QtTest 1.0
import "qrc:///themes/halvard/qml/."
import "qrc:///themes/halvard/theme.js" as Theme

// The documented look of the themed input controls, read back from their style items.
Item {
    id: root
    width: 800
    height: 600

    Column {
        ThemedComboBox { id: comboEnabled; model: ["one", "two"] }
        ThemedComboBox { id: comboDisabled; model: ["one"]; enabled: false }
        ThemedComboBox { id: comboError; model: ["one"]; errorHighlight: true }
        ThemedTextField { id: fieldEnabled; text: "text" }
        ThemedTextField { id: fieldDisabled; text: "text"; enabled: false }
        ThemedTextField { id: fieldError; text: "text"; errorHighlight: true }
        ThemedTextField { id: fieldBorderless; text: "text"; hideBorder: true }
        ThemedSpinBox { id: spinEnabled; value: 3 }
        ThemedSpinBox { id: spinDisabled; value: 3; enabled: false }
        ThemedSpinBox { id: spinBare; value: 3; showControls: false }
        ThemedCheckBox { id: checkEnabled; text: "on"; checked: true }
        ThemedCheckBox { id: checkDisabled; text: "on"; checked: true; enabled: false }
        ThemedCheckBox { id: checkBoxless; text: "on"; checked: true; boxVisible: false }
        ThemedButton { id: button; text: "OK" }
        ThemedBusyIndicator { id: busy; running: false }
        ThemedGroupBox { id: group; title: "Group"; ThemedText { text: "content" } }
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
        Item {
            width: 400
            height: 120
            ThemedTabView {
                id: tabs
                Tab { title: "A" }
                Tab { title: "Bluetooth" }
            }
        }
        ThemedTextArea { id: area; width: 200; wrapMode: TextEdit.Wrap; text: "one\ntwo\nthree" }
    }

    TestCase {
        name: "ThemedControls"
        when: windowShown

        readonly property string disabledBorder: String(Qt.lighter(Theme.themeDark, 1.2))

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

        function findStyled(item, name) {
            var found = find(item, name)
            verify(found, name + " exists")
            return found
        }

        function test_backgrounds_data() {
            return [
                { tag: "combo box enabled", control: comboEnabled, name: "comboBoxBackground",
                  fill: Theme.themeWhite, border: Theme.themeDark },
                { tag: "combo box disabled", control: comboDisabled, name: "comboBoxBackground",
                  fill: Theme.themeLight, border: disabledBorder },
                { tag: "combo box errorHighlight", control: comboError, name: "comboBoxBackground",
                  fill: "#ff0000", border: Theme.themeDark },
                { tag: "text field enabled", control: fieldEnabled, name: "textFieldBackground",
                  fill: Theme.themeWhite, border: Theme.themeDark },
                { tag: "text field disabled", control: fieldDisabled, name: "textFieldBackground",
                  fill: Theme.themeLight, border: disabledBorder },
                { tag: "text field errorHighlight", control: fieldError, name: "textFieldBackground",
                  fill: "#ff0000", border: Theme.themeDark },
                { tag: "spin box enabled", control: spinEnabled, name: "spinBoxBackground",
                  fill: Theme.themeWhite, border: Theme.themeDark },
                { tag: "spin box disabled", control: spinDisabled, name: "spinBoxBackground",
                  fill: Theme.themeLight, border: disabledBorder },
                { tag: "check box enabled", control: checkEnabled, name: "checkBoxIndicator",
                  fill: Theme.themeWhite, border: Theme.themeDark },
                { tag: "check box disabled", control: checkDisabled, name: "checkBoxIndicator",
                  fill: Theme.themeLight, border: disabledBorder },
            ]
        }

        function test_backgrounds(data) {
            var background = findStyled(data.control, data.name)
            compare(String(background.color), data.fill)
            compare(String(background.border.color), data.border)
            compare(background.border.width, 1)
        }

        function test_textColours_data() {
            return [
                { tag: "text field enabled", colour: function() { return fieldEnabled.textColor }, expected: Theme.themeBlack },
                { tag: "text field disabled", colour: function() { return fieldDisabled.textColor }, expected: Theme.themeGray },
                { tag: "text field errorHighlight", colour: function() { return fieldError.textColor }, expected: Theme.themeWhite },
                { tag: "combo box enabled", colour: function() { return find(comboEnabled, "comboBoxText").color }, expected: Theme.themeBlack },
                { tag: "combo box disabled", colour: function() { return find(comboDisabled, "comboBoxText").color }, expected: Theme.themeGray },
                { tag: "combo box errorHighlight", colour: function() { return find(comboError, "comboBoxText").color }, expected: Theme.themeWhite },
                { tag: "spin box enabled", colour: function() { return find(spinEnabled, "spinBoxInput").color }, expected: Theme.themeBlack },
                { tag: "spin box disabled", colour: function() { return find(spinDisabled, "spinBoxInput").color }, expected: Theme.themeGray },
            ]
        }

        function test_textColours(data) {
            compare(String(data.colour()), data.expected)
        }

        function test_disabledSpinBoxTextIsHalfTransparent() {
            compare(findStyled(spinDisabled, "spinBoxInput").opacity, 0.5)
            compare(findStyled(spinEnabled, "spinBoxInput").opacity, 1)
        }

        function test_hiddenBorder() {
            compare(findStyled(fieldBorderless, "textFieldBackground").border.width, 0)
        }

        function test_stepBoxes() {
            var up = findStyled(spinEnabled, "spinBoxUpBox")
            var down = findStyled(spinEnabled, "spinBoxDownBox")
            verify(up.visible)
            verify(down.visible)
            compare(up.width, 24)
            compare(String(up.color), Theme.themeMedium)
            compare(findStyled(spinBare, "spinBoxUpBox").visible, false)
            compare(findStyled(spinBare, "spinBoxDownBox").visible, false)
            compare(findStyled(spinBare, "mouseUp").width, 0)
        }

        function test_checkBoxTick() {
            tryCompare(findStyled(checkEnabled, "checkBoxTick"), "opacity", 1)
            tryCompare(findStyled(checkDisabled, "checkBoxTick"), "opacity", 0.5)
            var boxless = findStyled(checkBoxless, "checkBoxIndicator")
            compare(boxless.border.width, 0)
            compare(boxless.color.a, 0)
            checkEnabled.checked = false
            tryCompare(findStyled(checkEnabled, "checkBoxTick"), "opacity", 0)
            checkEnabled.checked = true
        }

        function test_implicitSizes_data() {
            return [
                { tag: "button", control: button, width: 75, height: 25 },
                { tag: "combo box", control: comboEnabled, width: 175, height: 24 },
                { tag: "text field", control: fieldEnabled, width: 175, height: 25 },
                { tag: "spin box", control: spinEnabled, width: 175, height: 25 },
            ]
        }

        function test_implicitSizes(data) {
            compare(data.control.implicitWidth, data.width)
            compare(data.control.implicitHeight, data.height)
        }

        function test_busyIndicatorTurnsAndFades() {
            compare(busy.implicitWidth, 64)
            compare(busy.implicitHeight, 64)
            var image = findStyled(busy, "busyImage")
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

        function test_groupBoxTitleBand() {
            var band = findStyled(group, "groupBoxTitleBand")
            compare(band.height, 20)
            compare(String(band.color), Theme.themeDark)
            group.enabled = false
            compare(String(band.color), Theme.themeLight)
            group.enabled = true
            compare(String(findStyled(group, "groupBoxBorder").border.color), Theme.themeDark)
        }

        function test_tableActivatesOnSingleClick() {
            var spy = createTemporaryObject(signalSpyComponent, table, { target: table, signalName: "activated" })
            var y = 0
            while (y < table.height && table.rowAt(50, y) !== 1)
                ++y
            verify(y < table.height, "second row found")
            mouseClick(table, 50, y + 5)
            compare(spy.count, 1)
            compare(spy.signalArguments[0][0], 1)
        }

        function test_tabSizes() {
            var tabBar = findStyled(tabs, "tabBar")
            compare(String(tabBar.color), Theme.themeDark)
            var first = tabs.getTab(0)
            verify(first)
            compare(tabs.anchors.fill, tabs.parent)
            var narrow = find(tabs, "tab-A")
            var wide = find(tabs, "tab-Bluetooth")
            compare(narrow.implicitWidth, 80)
            verify(wide.implicitWidth > 80)
            compare(narrow.implicitHeight, 50)
            compare(String(narrow.color), Theme.themeLight)
            compare(String(wide.color), Theme.themeDark)
        }

        Component {
            id: signalSpyComponent
            SignalSpy {}
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
