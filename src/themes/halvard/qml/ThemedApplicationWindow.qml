// Top-level window of the theme: a plain white background behind menu, tool and status bars.
import QtQuick 2.3
import QtQuick.Controls 1.2
// The window's style type first appeared in version 1.3 of the styles module.
import QtQuick.Controls.Styles 1.3
import "../theme.js" as Theme

ApplicationWindow {
    style: ApplicationWindowStyle {
        background: Rectangle {
            color: Theme.themeWhite
        }
    }
}
