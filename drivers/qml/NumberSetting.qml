// One number of a device page: a label and a themed spin box whose limits are those
// the configuration accepts. A step (button, key, wheel) reaches the configuration at
// once; a typed number only when the user finishes it (Enter, or leaving the field)
// and it lies within the limits. A number outside them is never clamped: it stays as
// typed, marked, and the configuration keeps its value. A value a unit reported
// outside the limits stays as it is, with a note, until the user changes it.
import QtQuick 2.3
import "qrc:///themes/halvard/qml/."

Row {
    id: setting

    property alias label: labelText.text
    property int labelWidth: 200
    property alias reasonWidth: reason.width
    property real value: 0
    property alias minimumValue: spinBox.minimumValue
    property alias maximumValue: spinBox.maximumValue
    property alias decimals: spinBox.decimals
    property alias stepSize: spinBox.stepSize
    property alias suffix: spinBox.suffix
    property alias prefix: spinBox.prefix
    property alias radix: spinBox.radix
    property string help: ""
    property Item toolTipItem: parent
    readonly property alias spinBox: spinBox
    readonly property bool outside: value < minimumValue || value > maximumValue
    // Returns why a number within the limits cannot be taken, or "" when it can.
    property var problem: function (value) { return "" }
    // The number the box shows, typed or not; NaN while it shows none.
    readonly property real shown: spinBox.valueFromText(spinBox.__text)
    readonly property string error: !enabled ? ""
                                    : !spinBox.acceptableInput ? qsTr("Enter a number from %1 to %2.")
                                                                 .arg(limitText(minimumValue)).arg(limitText(maximumValue))
                                    : shown !== value ? problem(shown) : ""
    // The text when the user came to the field: leaving it unchanged is no edit, even
    // where the box shows a reported value clamped to its limits.
    property string textBefore: ""

    signal edited(real value)

    function limitText(limit) {
        return prefix + (radix === 10 ? limit.toFixed(decimals) : limit.toString(radix)) + suffix
    }

    function finish() {
        if (shown === value)
            spinBox.showValue()
        else if (spinBox.__text !== textBefore && problem(shown) === "")
            edited(shown)
        textBefore = spinBox.__text
    }

    // Gives up the typed number: the box shows the configuration's value again.
    function revert() {
        spinBox.value = value
        spinBox.value = Qt.binding(function () { return setting.value })
        spinBox.showValue()
    }

    onEnabledChanged: if (!enabled) revert()

    spacing: 10

    ThemedText {
        id: labelText
        width: setting.labelWidth
        height: spinBox.height
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    ThemedSpinBox {
        id: spinBox
        width: 220
        objectName: setting.objectName + "SpinBox"
        label: setting.label
        description: reason.text !== "" ? reason.text : setting.help
        strictRange: true
        value: setting.value
        onActiveFocusChanged: if (activeFocus) setting.textBefore = __text
        onEditingFinished: setting.finish()
        onStepped: {
            setting.textBefore = __text
            if (value !== setting.value && setting.problem(value) === "")
                setting.edited(value)
        }

        ThemedToolTip {
            text: setting.error !== "" ? setting.error : setting.help
            showAboveItem: setting.toolTipItem
        }
    }

    SettingReason {
        id: reason
        objectName: setting.objectName + "Error"
        text: setting.error !== "" ? setting.error
              : setting.outside ? qsTr("The device reported %1, outside %2 to %3; kept until you change it.")
                                      .arg(setting.limitText(setting.value)).arg(setting.limitText(setting.minimumValue))
                                      .arg(setting.limitText(setting.maximumValue))
              : ""
    }
}
