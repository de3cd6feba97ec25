// The theme's number field: white with a red border of borderWidth pixels and dark-red
// up/down boxes at the right (hidden with showControls false). This style offers no
// base selection areas, so showHexDecControls shows nothing here.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Controls.Styles 1.2
import "../theme.js" as Theme

CustomSpinBox {
    id: spinBox

    property int borderWidth: 1

    horizontalAlignment: Qt.AlignLeft

    style: SpinBoxStyle {
        padding {
            top: 1
            left: Math.round(styleData.contentHeight / 2)
            right: Math.max(39, Math.round(styleData.contentHeight))
            bottom: 0
        }
        horizontalAlignment: Qt.AlignLeft
        textColor: spinBox.enabled ? Theme.themeBlack : Theme.themeGray
        selectionColor: Theme.themeDark
        selectedTextColor: Theme.themeWhite
        renderType: Text.NativeRendering

        background: Rectangle {
            objectName: "spinBoxBackground"
            implicitWidth: 175
            implicitHeight: 25
            color: spinBox.enabled ? Theme.themeWhite : Theme.themeLight
            border.width: spinBox.borderWidth
            border.color: spinBox.enabled ? Theme.themeDark : Qt.lighter(Theme.themeDark, 1.2)
        }

        incrementControl: StepBox {
            objectName: "spinBoxUpBox"
            visible: spinBox.showControls
            implicitWidth: spinBox.showControls ? 24 : 0
            arrowRotation: 180
            arrowOpacity: spinBox.enabled ? 1 : 0.5
            edgeColor: spinBox.enabled ? Theme.themeDark : Qt.lighter(Theme.themeDark, 1.2)
        }

        decrementControl: StepBox {
            objectName: "spinBoxDownBox"
            visible: spinBox.showControls
            implicitWidth: spinBox.showControls ? 24 : 0
            arrowOpacity: spinBox.enabled ? 1 : 0.5
            edgeColor: spinBox.enabled ? Theme.themeDark : Qt.lighter(Theme.themeDark, 1.2)
        }
    }
}
