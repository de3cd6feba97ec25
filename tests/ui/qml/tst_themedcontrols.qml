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

        SignalSpy { id: spy; target: table; signalName: "activated" }

        function styled(item, name) {
            var found = findChild(item, name)
            verify(found, name + " exists")
            return found
        }

        // text: the text colour, read from the item named textItem or else from the
        // control's own textColor; check boxes have no text colour to read.
        function test_looks_data() {
            var white = Theme.themeWhite, light = Theme.themeLight, dark = Theme.themeDark, red = "#ff0000"
            var black = Theme.themeBlack, gray = Theme.themeGray
            return [
                { tag: "combo box enabled", control: comboEnabled, name: "comboBoxBackground", textItem: "comboBoxText", fill: white, border: dark, borderWidth: 1, text: black },
                { tag: "combo box disabled", control: comboDisabled, name: "comboBoxBackground", textItem: "comboBoxText", fill: light, border: disabledBorder, borderWidth: 1, text: gray },
                { tag: "combo box errorHighlight", control: comboError, name: "comboBoxBackground", textItem: "comboBoxText", fill: red, border: dark, borderWidth: 1, text: white },
                { tag: "text field enabled", control: fieldEnabled, name: "textFieldBackground", fill: white, border: dark, borderWidth: 1, text: black },
                { tag: "text field disabled", control: fieldDisabled, name: "textFieldBackground", fill: light, border: disabledBorder, borderWidth: 1, text: gray },
                { tag: "text field errorHighlight", control: fieldError, name: "textFieldBackground", fill: red, border: dark, borderWidth: 1, text: white },
                { tag: "text field hideBorder", control: fieldBorderless, name: "textFieldBackground", fill: white, border: dark, borderWidth: 0, text: black },
                { tag: "spin box enabled", control: spinEnabled, name: "spinBoxBackground", textItem: "spinBoxInput", fill: white, border: dark, borderWidth: 1, text: black },
                { tag: "spin box disabled", control: spinDisabled, name: "spinBoxBackground", textItem: "spinBoxInput", fill: light, border: disabledBorder, borderWidth: 1, text: gray },
                { tag: "check box enabled", control: checkEnabled, name: "checkBoxIndicator", fill: white, border: dark, borderWidth: 1 },
                { tag: "check box disabled", control: checkDisabled, name: "checkBoxIndicator", fill: light, border: disabledBorder, borderWidth: 1 },
            ]
        }

        function test_looks(data) {
            var background = styled(data.control, data.name)
            compare(String(background.color), data.fill)
            compare(String(background.border.color), data.border)
            compare(background.border.width, data.borderWidth)
            if (data.text) {
                var colour = data.textItem ? styled(data.control, data.textItem).color : data.control.textColor
                compare(String(colour), data.text)
            }
        }

        function test_disabledSpinBoxTextIsHalfTransparent() {
            compare(styled(spinDisabled, "spinBoxInput").opacity, 0.5)
            compare(styled(spinEnabled, "spinBoxInput").opacity, 1)
        }

        function test_stepBoxes() {
            var up = styled(spinEnabled, "spinBoxUpBox")
            verify(up.visible)
            verify(styled(spinEnabled, "spinBoxDownBox").visible)
            compare(up.width, 24)
            compare(String(up.color), Theme.themeMedium)
            compare(styled(spinBare, "spinBoxUpBox").visible, false)
            compare(styled(spinBare, "spinBoxDownBox").visible, false)
            compare(styled(spinBare, "mouseUp").width, 0)
        }

        function test_checkBoxTick() {
            tryCompare(styled(checkEnabled, "checkBoxTick"), "opacity", 1)
            tryCompare(styled(checkDisabled, "checkBoxTick"), "opacity", 0.5)
            var boxless = styled(checkBoxless, "checkBoxIndicator")
            compare(boxless.border.width, 0)
            compare(boxless.color.a, 0)
            checkEnabled.checked = false
            tryCompare(styled(checkEnabled, "checkBoxTick"), "opacity", 0)
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

        function test_groupBoxTitleBand() {
            var band = styled(group, "groupBoxTitleBand")
            compare(band.height, 20)
            compare(String(band.color), Theme.themeDark)
            group.enabled = false
            compare(String(band.color), Theme.themeLight)
            group.enabled = true
            compare(String(styled(group, "groupBoxBorder").border.color), Theme.themeDark)
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

        function test_tabSizes() {
            compare(String(styled(tabs, "tabBar").color), Theme.themeDark)
            verify(tabs.getTab(0))
            compare(tabs.anchors.fill, tabs.parent)
            var narrow = findChild(tabs, "tab-A")
            var wide = findChild(tabs, "tab-Bluetooth")
            compare(narrow.implicitWidth, 80)
            verify(wide.implicitWidth > 80)
            compare(narrow.implicitHeight, 50)
            compare(String(narrow.color), Theme.themeLight)
            compare(String(wide.color), Theme.themeDark)
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
