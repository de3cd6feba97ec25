// The connection settings: the provider type, when there is a choice, and one editor per
// setting of the current provider. Every change takes effect at once; there is no OK.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Window 2.1
import "qrc:///themes/halvard/qml/."
import "qrc:///themes/halvard/theme.js" as Theme

Window {
    id: connectionSettingsWindow

    title: qsTr("Connection Settings")
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    width: content.width + 20
    height: content.height + 20
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height
    color: Theme.themeWhite

    // A changed setting takes the line away from a connection, which ends first.
    function apply(setting, value) {
        if (setting.value === value)
            return
        mainApplication.endConnection()
        setting.value = value
    }

    Column {
        id: content
        anchors.centerIn: parent
        spacing: 10
        focus: true

        Keys.onEscapePressed: connectionSettingsWindow.destroy()
        Keys.onReturnPressed: connectionSettingsWindow.destroy()
        Keys.onEnterPressed: connectionSettingsWindow.destroy()

        Row {
            visible: commsHandler.providerTypes.length > 1
            spacing: 10
            ThemedText {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Interface") + ":"
            }
            ThemedComboBox {
                objectName: "providerTypeBox"
                label: qsTr("Interface")
                model: commsHandler.providerTypes
                currentIndex: commsHandler.providerTypes.indexOf(commsHandler.currentProviderType)
                onActivated: commsHandler.currentProviderType = commsHandler.providerTypes[index]
            }
        }

        ThemedText {
            visible: settingsRepeater.count > 0
            font.bold: true
            text: qsTr("Settings") + ":"
        }

        Repeater {
            id: settingsRepeater
            model: commsHandler.currentProvider ? commsHandler.currentProvider.settings : []

            Row {
                id: settingRow
                readonly property var setting: modelData
                visible: !!setting
                spacing: 10

                Loader {
                    sourceComponent: !settingRow.setting ? null
                                     : settingRow.setting.type === 0 ? boolEditor
                                     : settingRow.setting.type === 1 ? textEditor
                                     : settingRow.setting.type === 2 ? comboEditor : null
                }
                Component {
                    id: boolEditor
                    ThemedCheckBox {
                        objectName: "boolSettingEditor"
                        Accessible.name: settingRow.setting.name
                        checked: settingRow.setting.value === true
                        onCheckedChanged: connectionSettingsWindow.apply(settingRow.setting, checked)
                    }
                }

                Component {
                    id: textEditor
                    TextEdit {
                        objectName: "textSettingEditor"
                        Accessible.name: settingRow.setting.name
                        width: 175
                        selectByMouse: true
                        text: settingRow.setting.value === undefined ? "" : String(settingRow.setting.value)
                        onTextChanged: connectionSettingsWindow.apply(settingRow.setting, text)
                    }
                }

                Component {
                    id: comboEditor
                    ThemedComboBox {
                        objectName: "comboSettingEditor"
                        label: settingRow.setting.name
                        function selectValue() {
                            currentIndex = settingRow.setting.comboValues.indexOf(settingRow.setting.value)
                        }
                        model: settingRow.setting.comboValues
                        onModelChanged: selectValue()
                        Component.onCompleted: selectValue()
                        onActivated: connectionSettingsWindow.apply(settingRow.setting, settingRow.setting.comboValues[index])
                    }
                }
                ThemedText {
                    anchors.verticalCenter: parent.verticalCenter
                    horizontalAlignment: Text.AlignRight
                    text: settingRow.setting ? settingRow.setting.name : ""
                }
            }
        }

        ThemedButton {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Close")
            onClicked: connectionSettingsWindow.destroy()
        }
    }
}
