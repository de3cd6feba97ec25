// One number of a device page: a label and a themed spin box whose limits are those
// the configuration accepts. Only the user's own changes reach the configuration:
// a value a unit reported outside the limits stays as it is, with a note beside the
// box, until the user changes it.
import QtQuick 2.3
import "qrc:///themes/halvard/qml/."
import "qrc:///themes/halvard/theme.js" as Theme

Row {
    id: setting

    property alias label: labelText.text
    property int labelWidth: 200
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

    signal edited(real value)

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
        description: setting.outside ? outsideNote.text : setting.help
        value: setting.value
        // Typing, keys, the step buttons and the wheel all need focus or the pointer;
        // a loaded value arrives without either. A value the box merely clamped to new
        // limits (another filter selected, a reported value out of range) is no edit.
        onValueChanged: {
            var clamped = Math.max(minimumValue, Math.min(maximumValue, setting.value))
            if ((activeFocus || hovered) && value !== setting.value && value !== clamped)
                setting.edited(value)
        }

        ThemedToolTip {
            text: setting.help
            showAboveItem: setting.toolTipItem
        }
    }

    ThemedText {
        id: outsideNote
        width: 360
        anchors.verticalCenter: spinBox.verticalCenter
        visible: setting.outside
        text: qsTr("The device reported %1, outside %2 to %3; kept until you change it.")
                  .arg(setting.value).arg(setting.minimumValue).arg(setting.maximumValue)
        color: Theme.themeWarning
        wrapMode: Text.Wrap
    }
}
