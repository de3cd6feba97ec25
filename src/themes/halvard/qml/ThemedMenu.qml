// Pop-up menu in the theme's colours.
import QtQuick 2.3
import QtQuick.Controls 1.2

Menu {
    style: Component {
        ThemedMenuStyle {}
    }
}
