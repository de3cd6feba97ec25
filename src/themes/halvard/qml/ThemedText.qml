// Every text of the theme: black, grey while disabled, natively rendered.
import QtQuick 2.3
import "../theme.js" as Theme

Text {
    color: enabled ? Theme.themeBlack : Theme.themeGray
    renderType: Text.NativeRendering
}
