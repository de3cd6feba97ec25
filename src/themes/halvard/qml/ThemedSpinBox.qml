// The theme's number field: white with a red border of borderWidth pixels and dark-red
// up/down boxes at the right (hidden with showControls false). This style offers no
// base selection areas, so showHexDecControls shows nothing here. A screen reader
// announces label and description.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Controls.Private 1.0
import "../theme.js" as Theme

CustomSpinBox {
    id: spinBox

    property int borderWidth: 1
    property string label: ""
    property string description: ""

    Accessible.name: label
    Accessible.description: description

    horizontalAlignment: Qt.AlignLeft

    // The stock spin box style only attaches to the stock SpinBox type, so this
    // style provides the same panel interface for CustomSpinBox itself.
    style: Style {
        id: spinBoxStyle

        padding {
            top: 1
            left: Math.round(styleData.contentHeight / 2)
            right: Math.max(39, Math.round(styleData.contentHeight))
            bottom: 0
        }

        property int renderType: Text.NativeRendering

        property Component panel: Item {
            id: panel

            property font font
            property color foregroundColor: spinBox.enabled ? Theme.themeBlack : Theme.themeGray
            property color selectionColor: Theme.themeDark
            property color selectedTextColor: Theme.themeWhite
            property int horizontalAlignment: Qt.AlignLeft
            property int verticalAlignment: Qt.AlignVCenter
            readonly property int stepWidth: spinBox.showControls ? 24 : 0
            property rect upRect: Qt.rect(width - stepWidth, 0, stepWidth, Math.round(height / 2))
            property rect downRect: Qt.rect(width - stepWidth, Math.round(height / 2),
                                            stepWidth, height - Math.round(height / 2))
            readonly property color edgeColor: spinBox.enabled ? Theme.themeDark
                                                               : Qt.lighter(Theme.themeDark, 1.2)

            implicitWidth: 175
            implicitHeight: 25

            Rectangle {
                objectName: "spinBoxBackground"
                anchors.fill: parent
                color: spinBox.enabled ? Theme.themeWhite : Theme.themeLight
                border.width: spinBox.activeFocus ? spinBox.borderWidth + 1 : spinBox.borderWidth
                border.color: panel.edgeColor
            }

            StepBox {
                objectName: "spinBoxUpBox"
                visible: spinBox.showControls
                x: panel.upRect.x
                y: panel.upRect.y
                width: panel.upRect.width
                height: panel.upRect.height
                arrowRotation: 180
                arrowOpacity: spinBox.enabled ? 1 : 0.5
                edgeColor: panel.edgeColor
            }

            StepBox {
                objectName: "spinBoxDownBox"
                visible: spinBox.showControls
                x: panel.downRect.x
                y: panel.downRect.y
                width: panel.downRect.width
                height: panel.downRect.height
                arrowOpacity: spinBox.enabled ? 1 : 0.5
                edgeColor: panel.edgeColor
            }
        }
    }
}
