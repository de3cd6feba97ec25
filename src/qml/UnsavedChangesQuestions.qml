// The four questions before unsaved changes are lost: before quitting, reading from the
// device, making a new configuration and loading a file. Each takes its step at once when
// nothing is unsaved, or on Yes; the window's own steps are its signals.
import QtQuick 2.3

Item {
    readonly property alias unsavedQuitCheckDialog: unsavedQuitCheckDialog
    readonly property alias unsavedDeviceReadCheckDialog: unsavedDeviceReadCheckDialog
    readonly property alias unsavedNewConfigCheckDialog: unsavedNewConfigCheckDialog
    readonly property alias unsavedLoadConfigCheckDialog: unsavedLoadConfigCheckDialog

    signal quitConfirmed()
    signal newConfigurationConfirmed()
    signal loadConfirmed()

    UnsavedChangesDialog {
        id: unsavedQuitCheckDialog
        objectName: "unsavedQuitCheckDialog"
        text: qsTr("Changes to the current configuration are unsaved. Are you sure you want to quit?")
        onProceed: quitConfirmed()
    }

    UnsavedChangesDialog {
        id: unsavedDeviceReadCheckDialog
        objectName: "unsavedDeviceReadCheckDialog"
        text: qsTr("Changes to the current configuration are unsaved, and reading from the device would overwrite these changes. Do you want to proceed?")
        onProceed: stateMachine.doReadDeviceConfiguration()
    }

    UnsavedChangesDialog {
        id: unsavedNewConfigCheckDialog
        objectName: "unsavedNewConfigCheckDialog"
        text: qsTr("Changes to the current configuration are unsaved, and creating a new device would overwrite these changes. Do you want to proceed?")
        onProceed: newConfigurationConfirmed()
    }

    UnsavedChangesDialog {
        id: unsavedLoadConfigCheckDialog
        objectName: "unsavedLoadConfigCheckDialog"
        text: qsTr("Changes to the current configuration are unsaved, and loading a configuration file would overwrite these changes. Do you want to proceed?")
        onProceed: loadConfirmed()
    }
}
