// Red menu bar with white titles; the open title turns light with black text.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Controls.Styles 1.2
import "../theme.js" as Theme

MenuBar {
    style: MenuBarStyle {
        // Always drawn by this style, also where the platform offers a native menu bar.
        __isNative: false

        background: Rectangle {
            color: Theme.themeDark
        }

        itemDelegate: Rectangle {
            implicitWidth: titleText.width + 12
            implicitHeight: titleText.height + 10
            color: styleData.open ? Theme.themeLight : Theme.themeDark

            Rectangle {
                anchors.top: parent.top
                width: parent.width
                height: 1
                color: Theme.themeDark
            }

            ThemedText {
                id: titleText
                anchors.centerIn: parent
                text: formatMnemonic(styleData.text, styleData.underlineMnemonic)
                font.bold: false
                color: styleData.open ? Theme.themeBlack : Theme.themeWhite
            }
        }

        menuStyle: ThemedMenuStyle {}
    }
}
