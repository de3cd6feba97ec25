// Non-editable combo box: white field with a red border and a dark-red arrow box;
// errorHighlight turns the field red with white text. A screen reader announces label
// as the name; the chosen entry leads the description, as Qt gives a combo box no value.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Controls.Styles 1.2
import "../theme.js" as Theme

ComboBox {
    id: comboBox

    property bool errorHighlight: false
    property string label: ""
    property string description: ""

    Accessible.name: label
    Accessible.description: description !== "" ? currentText + ". " + description : currentText

    editable: false

    style: ComboBoxStyle {
        padding { top: 0; left: 0; right: 0; bottom: 0 }
        dropDownButtonWidth: control.height
        textColor: comboBox.errorHighlight ? Theme.themeWhite
                                           : (control.enabled ? Theme.themeBlack : Theme.themeGray)
        selectionColor: Qt.darker(Theme.themeDark, 1.15)
        selectedTextColor: Theme.themeWhite

        background: Rectangle {
            objectName: "comboBoxBackground"
            implicitWidth: 175
            implicitHeight: 24
            color: !control.enabled ? Theme.themeLight
                                    : (comboBox.errorHighlight ? "red" : Theme.themeWhite)
            border.width: control.activeFocus ? 2 : 1
            border.color: control.enabled ? Theme.themeDark : Qt.lighter(Theme.themeDark, 1.2)

            Rectangle {
                objectName: "comboBoxArrowBox"
                anchors.top: parent.top
                anchors.bottom: parent.bottom
                anchors.right: parent.right
                width: height
                color: Theme.themeMedium
                border.width: 1
                border.color: control.enabled ? Theme.themeDark : Qt.lighter(Theme.themeDark, 1.2)

                Image {
                    objectName: "comboBoxArrow"
                    anchors.centerIn: parent
                    source: Theme.themeIconArrowDown
                    opacity: control.enabled ? 1 : 0.5
                    rotation: control.pressed ? 180 : 0
                    Behavior on rotation {
                        RotationAnimation { duration: 200; direction: RotationAnimation.Clockwise }
                    }
                }
            }
        }

        label: Item {
            implicitWidth: labelText.implicitWidth + 24
            baselineOffset: labelText.y + labelText.baselineOffset

            ThemedText {
                id: labelText
                objectName: "comboBoxText"
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.leftMargin: 4
                anchors.rightMargin: control.height + 24
                anchors.verticalCenter: parent.verticalCenter
                anchors.verticalCenterOffset: (typeof PLATFORM !== "undefined" && PLATFORM === "linux") ? 3 : 0
                text: control.currentText
                enabled: control.enabled
                color: comboBox.errorHighlight ? Theme.themeWhite
                                               : (control.enabled ? Theme.themeBlack : Theme.themeGray)
                elide: Text.ElideRight
            }
        }

        __dropDownStyle: MenuStyle {
            __maxPopupHeight: 600
            __menuItemType: "comboboxitem"
            __backgroundColor: Theme.themeLight
            __labelColor: Theme.themeBlack
            __selectedBackgroundColor: Qt.darker(Theme.themeDark, 1.15)
            __selectedLabelColor: Theme.themeWhite
            __disabledLabelColor: Theme.themeGray

            frame: Rectangle {
                color: Theme.themeLight
            }
            separator: Item {
                implicitHeight: 5
                Rectangle {
                    width: parent.width
                    height: 1
                    anchors.verticalCenter: parent.verticalCenter
                    color: Theme.themeDark
                }
            }
            scrollIndicator: Image {
                anchors.centerIn: parent
                source: Theme.themeIconArrowDown
                rotation: styleData.scrollerDirection === Qt.UpArrow ? 180 : 0
            }
        }
    }
}
