// The window's three file dialogs, and the rule that a chosen name gets its extension
// only where it holds it nowhere.
import QtQuick 2.3
import QtQuick.Dialogs 1.2

Item {
    readonly property alias saveDialog: saveDialog
    readonly property alias loadDialog: loadDialog
    readonly property alias saveSupportArchiveDialog: saveSupportArchiveDialog

    function withExtension(url, extension) {
        var text = String(url)
        return text.toLowerCase().indexOf(extension) === -1 ? text + extension : text
    }

    function saveConfigurationTo(url) {
        stateMachine.doSaveConfiguration(withExtension(url, ".bgc"))
    }

    function packSupportArchiveTo(url) {
        stateMachine.doPackSupportArchive(withExtension(url, ".zip"))
    }

    FileDialog {
        id: saveDialog
        objectName: "saveDialog"
        title: qsTr("Save configuration to a file")
        modality: Qt.ApplicationModal
        selectExisting: false
        nameFilters: [qsTr("KT configuration files") + " (*.bgc)", qsTr("All files") + " (*)"]
        onAccepted: saveConfigurationTo(fileUrl)
    }

    FileDialog {
        id: loadDialog
        objectName: "loadDialog"
        title: qsTr("Load configuration from a file")
        modality: Qt.ApplicationModal
        selectExisting: true
        nameFilters: [qsTr("KT configuration files") + " (*.bgc)", qsTr("All files") + " (*)"]
        onAccepted: stateMachine.doLoadConfiguration(String(fileUrl))
    }

    FileDialog {
        id: saveSupportArchiveDialog
        objectName: "saveSupportArchiveDialog"
        title: qsTr("Save support archive")
        modality: Qt.ApplicationModal
        selectExisting: false
        nameFilters: [qsTr("ZIP archives") + " (*.zip)", qsTr("All files") + " (*)"]
        onAccepted: packSupportArchiveTo(fileUrl)
    }
}
