// The outcomes the state machine reports: a dialog for every failure, in the words
// outcomeTexts gives it (which the autoflash record shares), and a notice for every success.
import QtQuick 2.3
import QtQuick.Dialogs 1.2

Item {
    // Where successes are told.
    property var notice: null
    readonly property alias errorDialog: errorDialog
    readonly property alias warningDialog: warningDialog

    function showError(title, text) {
        errorDialog.errorTitle = title
        errorDialog.errorText = text
        errorDialog.open()
    }

    function showWarning(title, text) {
        warningDialog.warningTitle = title
        warningDialog.warningText = text
        warningDialog.open()
    }

    // Names each field the page holds invalid or incomplete, with its tab and its reason.
    function showIncompleteFields(title, fields) {
        var lines = fields.map(function (field) {
            return "\u2022 " + field.label + " (" + qsTr("%1 tab").arg(field.tab) + "): " + field.reason
        })
        showWarning(title, qsTr("These fields are not valid or not complete, so nothing was done:") + "\n\n"
                    + lines.join("\n"))
    }

    // The facade's failure signal by name, with that signal's arguments.
    function showFailure(outcome, values) {
        showError(outcomeTexts.title(outcome), outcomeTexts.message(outcome, values))
    }

    Connections {
        target: stateMachine
        function onTimeout() { showFailure("timeout", []) }
        function onDeviceUnsupported(deviceIdString, productId) {
            showFailure("deviceUnsupported", [deviceIdString, productId])
        }
        function onConfigurationUnsupported(productId) { showFailure("configurationUnsupported", [productId]) }
        function onConfigurationVersionMismatch() { showFailure("configurationVersionMismatch", []) }
        function onConfigurationUnreadable(filePath, reason) {
            showFailure("configurationUnreadable", [filePath, reason])
        }
        function onConfigurationTooLarge() { showFailure("configurationTooLarge", []) }
        function onEditedConfigurationReplaced(editedDeviceName) {
            showWarning(outcomeTexts.title("editedConfigurationReplaced"),
                        outcomeTexts.message("editedConfigurationReplaced", [editedDeviceName]))
        }
        function onConfigurationVersionObsolete() { showFailure("configurationVersionObsolete", []) }
        function onConfigurationChecksumError() { showFailure("configurationChecksumError", []) }
        function onConfigurationParseError() { showFailure("configurationParseError", []) }
        function onDeviceError() { showFailure("deviceError", []) }
        function onCommsError(errorCode, errorText) { showFailure("commsError", [errorCode, errorText]) }
        function onSaveFileFailed(filePath, reason) { showFailure("saveFileFailed", [filePath, reason]) }
        function onPackSupportArchiveFailed(filePath, reason) {
            showFailure("packSupportArchiveFailed", [filePath, reason])
        }
        function onLoadFileSuccessful(filePath) { notice.text = qsTr("Loaded file") + " " + filePath }
        function onNewFileSuccessful(deviceName) { notice.text = qsTr("Created new configuration for") + " " + deviceName }
        function onSaveFileSuccessful(filePath) { notice.text = qsTr("Saved file") + " " + filePath }
        function onPackSupportArchiveSuccessful(filePath) {
            notice.text = qsTr("Created support archive") + " " + filePath
        }
        function onConnectSuccessful() { notice.text = qsTr("Connection successful") }
        function onDisconnectSuccessful() { notice.text = qsTr("Disconnection successful") }
        function onReadFromDeviceSuccessful() { notice.text = qsTr("Read data from device") }
        function onWriteToDeviceSuccessful() { notice.text = qsTr("Wrote data to device") }
        function onFactoryResetSuccessful() { notice.text = qsTr("Factory reset command sent") }
        function onPairingModeSuccessful() { notice.text = qsTr("Pairing mode command sent") }
    }

    MessageDialog {
        id: errorDialog
        objectName: "errorDialog"
        property string errorTitle: ""
        property string errorText: ""
        icon: StandardIcon.Critical
        standardButtons: StandardButton.Ok
        modality: Qt.ApplicationModal
        title: errorTitle
        text: errorText
        onVisibleChanged: {
            if (!visible) {
                errorTitle = ""
                errorText = ""
            }
        }
    }

    MessageDialog {
        id: warningDialog
        objectName: "warningDialog"
        property string warningTitle: ""
        property string warningText: ""
        icon: StandardIcon.Warning
        standardButtons: StandardButton.Ok
        modality: Qt.ApplicationModal
        title: warningTitle
        text: warningText
        onVisibleChanged: {
            if (!visible) {
                warningTitle = ""
                warningText = ""
            }
        }
    }
}
