// White page that fills its parent; device pages build on it and report their own
// errors through its message dialog (set errorTitle and errorText, then open it).
import QtQuick 2.3
import QtQuick.Dialogs 1.2
import "../theme.js" as Theme

Rectangle {
    id: page

    property string errorTitle: ""
    property string errorText: ""
    property alias errorMessageDialog: messageDialog

    anchors.fill: parent
    color: Theme.themeWhite

    MessageDialog {
        id: messageDialog
        icon: StandardIcon.Critical
        standardButtons: StandardButton.Ok
        modality: Qt.ApplicationModal
        title: page.errorTitle
        text: page.errorText
        onAccepted: close()
    }
}
