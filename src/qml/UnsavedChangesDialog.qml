// Asks before an action overwrites unsaved changes; the text names the action, and
// whoever asks acts on Yes.
import QtQuick 2.3
import QtQuick.Dialogs 1.2

MessageDialog {
    icon: StandardIcon.Warning
    standardButtons: StandardButton.Yes | StandardButton.No
    modality: Qt.ApplicationModal
    title: qsTr("Unsaved Changes")
}
