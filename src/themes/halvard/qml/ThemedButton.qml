// Push button: light rounded box with a red border, red with white text while pressed.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Controls.Styles 1.2
import "../theme.js" as Theme

Button {
    style: ButtonStyle {
        padding { top: 0; bottom: 0; left: 4; right: 4 }

        background: Rectangle {
            implicitWidth: 75
            implicitHeight: 25
            radius: 5
            border.width: control.activeFocus ? 2 : 1
            border.color: control.enabled ? Theme.themeDark : Qt.lighter(Theme.themeDark, 1.2)
            color: control.pressed ? Theme.themeDark : Theme.themeLight
        }
        label: ThemedText {
            text: control.text
            enabled: control.enabled
            color: control.pressed ? Theme.themeWhite : (control.enabled ? Theme.themeBlack : Theme.themeGray)
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
        }
    }
}
