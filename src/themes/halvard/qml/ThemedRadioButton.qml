// Radio button with a round red-bordered indicator and a red dot when checked.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Controls.Styles 1.2
import "../theme.js" as Theme

RadioButton {
    style: RadioButtonStyle {
        indicator: Rectangle {
            implicitWidth: 16
            implicitHeight: 16
            radius: 8
            color: control.enabled ? Theme.themeWhite : Theme.themeLight
            border.width: 1
            border.color: control.enabled ? Theme.themeDark : Qt.lighter(Theme.themeDark, 1.2)

            Rectangle {
                objectName: "radioButtonDot"
                anchors.fill: parent
                anchors.margins: 4
                radius: width / 2
                color: control.enabled ? Theme.themeDark : Qt.lighter(Theme.themeDark, 1.2)
                opacity: control.checked ? 1 : 0
                Behavior on opacity { NumberAnimation { duration: 80 } }
            }
        }
        label: FocusHighlight {
            text: control.text
            enabled: control.enabled
            highlighted: control.activeFocus
        }
    }
}
