// One text setting of a device page: a label, a themed text field and, while the
// typed text is refused, the reason beside it. The field shows the configuration's
// value; a typed text reaches the configuration (through edited) only when the user
// finishes it (Enter, or leaving the field) and problem() finds nothing wrong with
// it. Until then the configuration keeps the value it had, and error says why.
import QtQuick 2.3
import "qrc:///themes/halvard/qml/."

Row {
    id: setting

    property alias label: labelText.text
    property int labelWidth: 200
    property alias reasonWidth: reason.width
    // The configuration's value.
    property string value: ""
    // Explains the field; shown as its tool tip while the text is acceptable.
    property string help: ""
    // Passwords are hidden until the user asks to see them.
    property bool secret: false
    // Returns why text cannot be taken, or "" when it can.
    property var problem: function (text) { return "" }
    property Item toolTipItem: parent
    readonly property alias field: textField
    // Why the field's text is not what the configuration holds; "" when it is or may be.
    readonly property string error: enabled ? problem(textField.text) : ""

    signal edited(string text)

    // Gives up the typed text: the field shows the configuration's value again.
    function revert() {
        textField.text = Qt.binding(function () { return setting.value })
    }

    // A greyed-out field keeps no text of its own, so that it shows what is kept.
    onEnabledChanged: if (!enabled) revert()

    spacing: 10

    ThemedText {
        id: labelText
        width: setting.labelWidth
        height: textField.height
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    ThemedTextField {
        id: textField
        width: 220
        objectName: setting.objectName + "Field"
        label: setting.label
        description: setting.error !== "" ? setting.error : setting.help
        activeFocusOnTab: true
        text: setting.value
        errorHighlight: setting.error !== ""
        echoMode: setting.secret && !showSecret.checked ? TextInput.Password : TextInput.Normal
        onEditingFinished: {
            if (text !== setting.value && setting.problem(text) === "")
                setting.edited(text)
        }

        ThemedToolTip {
            objectName: setting.objectName + "ToolTip"
            text: setting.error !== "" ? setting.error : setting.help
            showAboveItem: setting.toolTipItem
        }
    }

    ThemedCheckBox {
        id: showSecret
        objectName: setting.objectName + "Show"
        visible: setting.secret
        anchors.verticalCenter: textField.verticalCenter
        text: qsTr("Show")
        Accessible.name: qsTr("Show %1").arg(setting.label)
    }

    SettingReason {
        id: reason
        objectName: setting.objectName + "Error"
        text: setting.error
    }
}
