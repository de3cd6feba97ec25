// Multi-line text on a light background; grows with its wrapped text (plus 20 pixels)
// and draws a thin red frame while its frame is enabled.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Controls.Styles 1.2
import "../theme.js" as Theme

TextArea {
    id: textArea

    implicitHeight: heightProbe.paintedHeight + 20

    // Lays the text out like the area does, to learn the height it needs.
    Text {
        id: heightProbe
        visible: false
        width: textArea.width
        text: textArea.text
        font: textArea.font
        textFormat: textArea.textFormat
        wrapMode: textArea.wrapMode
    }

    style: TextAreaStyle {
        textColor: control.enabled ? Theme.themeBlack : Theme.themeGray
        selectionColor: Theme.themeDark
        selectedTextColor: Theme.themeWhite
        backgroundColor: Theme.themeLight
        renderType: Text.NativeRendering

        frame: Rectangle {
            objectName: "textAreaFrame"
            color: "transparent"
            radius: 1
            border.width: 1
            border.color: control.enabled ? Theme.themeDark : Qt.lighter(Theme.themeDark, 1.2)
            visible: control.frameVisible
        }
    }
}
