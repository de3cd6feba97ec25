// Asks before an action overwrites unsaved changes; the text names the action. The action
// goes on through proceed: at once when nothing is unsaved, or on Yes.
import QtQuick 2.3
import QtQuick.Dialogs 1.2

MessageDialog {
    signal proceed()

    function proceedOrAsk() {
        if (saveStatusTracker.saveNeeded)
            open()
        else
            proceed()
    }

    icon: StandardIcon.Warning
    standardButtons: StandardButton.Yes | StandardButton.No
    modality: Qt.ApplicationModal
    title: qsTr("Unsaved Changes")
    onYes: proceed()
}
