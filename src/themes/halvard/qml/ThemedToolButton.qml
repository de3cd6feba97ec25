// An icon-only tool bar button. A screen reader announces its action's tool tip, which
// unlike the action's text carries no mnemonic marker.
import QtQuick 2.3
import QtQuick.Controls 1.2

ToolButton {
    Accessible.name: action ? action.tooltip : ""
}
