// Single-line text input: white with a red border; errorHighlight turns it red with
// white text, hideBorder drops the border (read-only value displays). A screen reader
// announces label, and description for why a text is refused.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Controls.Styles 1.2
import "../theme.js" as Theme

TextField {
    id: textField

    property bool errorHighlight: false
    property bool hideBorder: false
    property string label: ""
    property string description: ""

    Accessible.name: label
    // Qt withholds the name of a password field, so its description leads with the label.
    Accessible.description: echoMode === TextInput.Normal || label === "" ? description
                                                                          : label + ". " + description

    style: TextFieldStyle {
        textColor: textField.errorHighlight ? Theme.themeWhite
                                            : (control.enabled ? Theme.themeBlack : Theme.themeGray)
        selectionColor: Theme.themeDark
        selectedTextColor: Theme.themeWhite
        renderType: Text.NativeRendering

        background: Rectangle {
            objectName: "textFieldBackground"
            implicitWidth: 175
            implicitHeight: 25
            color: !control.enabled ? Theme.themeLight
                                    : (textField.errorHighlight ? "red" : Theme.themeWhite)
            border.width: textField.hideBorder ? 0 : (control.activeFocus ? 2 : 1)
            border.color: control.enabled ? Theme.themeDark : Qt.lighter(Theme.themeDark, 1.2)
        }
    }
}
