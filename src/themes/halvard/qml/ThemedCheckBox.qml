// Check box with a square red-bordered box and the theme's tick; boxVisible false leaves only the tick.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Controls.Styles 1.2
import "../theme.js" as Theme

CheckBox {
    id: checkBox

    property bool boxVisible: true

    style: CheckBoxStyle {
        indicator: Rectangle {
            objectName: "checkBoxIndicator"
            implicitWidth: 16
            implicitHeight: 16
            color: !checkBox.boxVisible ? "transparent"
                                        : (control.enabled ? Theme.themeWhite : Theme.themeLight)
            border.width: checkBox.boxVisible ? 1 : 0
            border.color: control.enabled ? Theme.themeDark : Qt.lighter(Theme.themeDark, 1.2)

            Image {
                objectName: "checkBoxTick"
                source: Theme.themeIconCheck
                anchors.centerIn: parent
                anchors.verticalCenterOffset: 1
                opacity: control.checked ? (control.enabled ? 1 : 0.5) : 0
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
