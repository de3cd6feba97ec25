// One text setting of a device page: a label, a themed text field and, while the
// typed text is refused, the reason beside it. The field shows the configuration's
// value; a typed text reaches the configuration (through edited) only when problem()
// finds nothing wrong with it, so the configuration keeps its last valid value.
import QtQuick 2.3
import "qrc:///themes/halvard/qml/."
import "qrc:///themes/halvard/theme.js" as Theme

Row {
    id: setting

    property alias label: labelText.text
    property int labelWidth: 200
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
    readonly property string error: enabled ? problem(textField.text) : ""

    signal edited(string text)

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
        text: setting.value
        errorHighlight: setting.error !== ""
        echoMode: setting.secret && !showSecret.checked ? TextInput.Password : TextInput.Normal
        onTextChanged: {
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

    ThemedText {
        objectName: setting.objectName + "Error"
        width: 360
        anchors.verticalCenter: textField.verticalCenter
        text: setting.error
        color: Theme.themeWarning
        wrapMode: Text.Wrap
        maximumLineCount: 2
        elide: Text.ElideRight
    }
}
