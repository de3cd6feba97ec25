// Single-line text input: white with a red border; errorHighlight turns it red with
// white text, hideBorder drops the border (read-only value displays).
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Controls.Styles 1.2
import "../theme.js" as Theme

TextField {
    id: textField

    property bool errorHighlight: false
    property bool hideBorder: false

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
