// Follows the current serial provider's "Port" setting: the provider can change, and so
// can the setting's value.
import QtQuick 2.3

Item {
    // The setting's value; empty while no provider or no such setting exists.
    property string port: ""
    property var setting: null

    function update() {
        var provider = commsHandler.currentProvider
        var found = null
        if (provider) {
            var settings = provider.settings
            for (var i = 0; i < settings.length; ++i) {
                if (settings[i] && settings[i].name === "Port") {
                    found = settings[i]
                    break
                }
            }
        }
        setting = found
        port = found && found.value ? String(found.value) : ""
    }

    Component.onCompleted: update()

    Connections {
        target: commsHandler
        function onCurrentProviderChanged() { update() }
    }

    Connections {
        target: setting
        ignoreUnknownSignals: true
        function onValueChanged() { update() }
    }
}
