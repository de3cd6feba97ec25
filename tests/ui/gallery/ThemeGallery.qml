// Every themed control in its states, for looking at the theme as a whole. The gallery
// test gives the "focused…" items focus one after another and presses "pressedButton".
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Layouts 1.1
import "qrc:///themes/halvard/qml/."
import "qrc:///themes/halvard/theme.js" as Theme

ThemedApplicationWindow {
    id: gallery
    objectName: "gallery"
    width: 1100
    height: 860
    visible: true
    title: "Theme gallery"

    menuBar: ThemedMenuBar {
        ThemedMenu {
            title: "&File"
            MenuItem { text: "&New configuration" }
            MenuSeparator {}
            MenuItem { text: "&Exit" }
        }
        ThemedMenu { title: "&Device" }
        ThemedMenu { title: "&Options" }
        ThemedMenu { title: "&Help" }
    }

    toolBar: ThemedToolBar {
        RowLayout {
            ToolButton { iconSource: Theme.themeIconNew }
            ToolButton { iconSource: Theme.themeIconOpen }
            ToolButton { iconSource: Theme.themeIconSave }
            ToolButton { iconSource: Theme.themeIconConnect }
            ToolButton { iconSource: Theme.themeIconDisconnect }
            ToolButton { iconSource: Theme.themeIconRead }
            ToolButton { iconSource: Theme.themeIconWrite }
            ToolButton { iconSource: Theme.themeIconWrite; enabled: false }
        }
    }

    statusBar: ThemedStatusBar {
        RowLayout {
            anchors.fill: parent
            ThemedText { text: "Connected to device: KT-Bridge CWB 1.4"; Layout.fillWidth: true }
            ThemedText { text: "Serial (/dev/ttyUSB0)"; font.bold: true }
        }
    }

    ThemedPage {
        Row {
            x: 10
            y: 10
            spacing: 20

            GridLayout {
                columns: 6
                columnSpacing: 12
                rowSpacing: 10

                ThemedText { text: "" }
                ThemedText { text: "enabled"; font.bold: true }
                ThemedText { text: "disabled"; font.bold: true }
                ThemedText { text: "focused"; font.bold: true }
                ThemedText { text: "variant"; font.bold: true }
                ThemedText { text: "variant"; font.bold: true }

                ThemedText { text: "Button" }
                ThemedButton { text: "OK" }
                ThemedButton { text: "OK"; enabled: false }
                ThemedButton { objectName: "focusedButton"; text: "OK" }
                ThemedButton { objectName: "pressedButton"; text: "pressed" }
                Item { width: 1; height: 1 }

                ThemedText { text: "CheckBox" }
                ThemedCheckBox { text: "checked"; checked: true }
                ThemedCheckBox { text: "checked"; checked: true; enabled: false }
                ThemedCheckBox { objectName: "focusedCheckBox"; text: "focus" }
                ThemedCheckBox { text: "no box"; checked: true; boxVisible: false }
                ThemedCheckBox { text: "unchecked" }

                ThemedText { text: "RadioButton" }
                ThemedRadioButton { text: "checked"; checked: true }
                ThemedRadioButton { text: "checked"; checked: true; enabled: false }
                ThemedRadioButton { objectName: "focusedRadioButton"; text: "focus" }
                ThemedRadioButton { text: "unchecked" }
                Item { width: 1; height: 1 }

                ThemedText { text: "ComboBox" }
                ThemedComboBox { model: ["/dev/ttyUSB0", "/dev/ttyS0"] }
                ThemedComboBox { model: ["/dev/ttyUSB0"]; enabled: false }
                ThemedComboBox { objectName: "focusedComboBox"; model: ["Serial"] }
                ThemedComboBox { model: ["errorHighlight"]; errorHighlight: true }
                ThemedComboBox { model: ["A very long entry that does not fit the box"] }

                ThemedText { text: "TextField" }
                ThemedTextField { text: "KT Bridge" }
                ThemedTextField { text: "KT Bridge"; enabled: false }
                ThemedTextField { objectName: "focusedTextField"; text: "selected text" }
                ThemedTextField { text: "errorHighlight"; errorHighlight: true }
                ThemedTextField { text: "hideBorder"; hideBorder: true; readOnly: true }

                ThemedText { text: "SpinBox" }
                ThemedSpinBox { value: 42; maximumValue: 1000 }
                ThemedSpinBox { value: 42; enabled: false }
                ThemedSpinBox { objectName: "focusedSpinBox"; value: 2.5; decimals: 2; suffix: " V" }
                ThemedSpinBox { value: 7; showControls: false }
                ThemedSpinBox { value: 255; maximumValue: 255; radix: 16; prefix: "0x"; borderWidth: 2 }
            }
        }

        Row {
            x: 10
            y: 290
            spacing: 16

            Column {
                spacing: 10

                ThemedGroupBox {
                    title: "Group box"
                    width: 220
                    Column {
                        spacing: 6
                        ThemedCheckBox { text: "WLAN enabled"; checked: true }
                        ThemedRadioButton { text: "Access point"; checked: true }
                    }
                }

                ThemedGroupBox {
                    title: "Checkable, disabled"
                    checkable: true
                    checked: true
                    enabled: false
                    width: 220
                    ThemedText { text: "Disabled content" }
                }

                ThemedTextArea {
                    width: 220
                    wrapMode: TextEdit.Wrap
                    text: "A text area grows with its wrapped text and keeps twenty pixels spare."
                }
            }

            Column {
                spacing: 10

                ThemedTableView {
                    id: table
                    objectName: "table"
                    width: 330
                    height: 130
                    model: ListModel {
                        ListElement { name: "Port"; value: "/dev/ttyUSB0" }
                        ListElement { name: "Baud rate"; value: "115200" }
                        ListElement { name: "Product code"; value: "4a2f" }
                        ListElement { name: "Serial number"; value: "K2011-0042" }
                    }
                    TableViewColumn { role: "name"; title: "Name"; width: 140 }
                    TableViewColumn { role: "value"; title: "Value"; width: 180 }
                    Component.onCompleted: selection.select(1)
                }

                ThemedTableView {
                    width: 330
                    height: 70
                    enabled: false
                    model: ListModel {
                        ListElement { name: "disabled"; value: "table" }
                    }
                    TableViewColumn { role: "name"; title: "Name"; width: 140 }
                    TableViewColumn { role: "value"; title: "Value"; width: 180 }
                }

                Row {
                    spacing: 16
                    ThemedBusyIndicator { running: true }

                    Rectangle {
                        objectName: "toolTipTarget"
                        width: 200
                        height: 64
                        color: Theme.themeLight
                        ThemedText {
                            anchors.centerIn: parent
                            text: "hover for a tool tip"
                        }
                        ThemedToolTip {
                            text: "Tool tip text, wrapped at the window width"
                            showAboveItem: parent
                        }
                    }
                }
            }

            Column {
                spacing: 10

                Item {
                    width: 440
                    height: 200
                    ThemedTabView {
                        Tab { title: "WLAN"; ThemedPage { ThemedText { x: 10; y: 10; text: "Selected tab" } } }
                        Tab { title: "Bluetooth" }
                        Tab { title: "CAN" }
                    }
                }

                Image { source: Theme.themeIconLogoBig }

                Row {
                    spacing: 8
                    Repeater {
                        model: [Theme.themeIconNew, Theme.themeIconOpen, Theme.themeIconSave,
                                Theme.themeIconConnect, Theme.themeIconDisconnect,
                                Theme.themeIconRead, Theme.themeIconWrite,
                                "qrc:///themes/halvard/icons/device.png", Theme.themeIconCheck]
                        Image { source: modelData }
                    }
                    Rectangle {
                        width: 24
                        height: 24
                        color: Theme.themeMedium
                        Image { anchors.centerIn: parent; source: Theme.themeIconArrowDown }
                    }
                    Image { source: "qrc:///themes/halvard/icons/icon.ico" }
                }

                ThemedText {
                    text: "Large text " + Theme.themeFontPixelSizeLarge + " px"
                    font.pixelSize: Theme.themeFontPixelSizeLarge
                }
                ThemedText {
                    text: "Halvard Connected Systems"
                    font.pixelSize: Theme.themeFontPixelSizeHuge
                    font.bold: true
                }
                ThemedText { text: "Disabled text"; enabled: false }
            }
        }
    }
}
