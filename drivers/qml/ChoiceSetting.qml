// One choice of a device page: a label and a themed combo box of choices, each an
// object { value, text }. A value the list lacks (a non-standard bit rate, an
// enumeration value of a newer firmware) is shown as an extra entry made by
// otherText(), so that what a unit reports is shown as it is and kept until the user
// picks another choice. A choice that waits for another field shows error, the
// reason it is not in the configuration yet.
import QtQuick 2.3
import "qrc:///themes/halvard/qml/."

Row {
    id: setting

    property alias label: labelText.text
    property int labelWidth: 200
    property alias reasonWidth: reason.width
    property var value
    property var choices: []
    property string help: ""
    property var otherText: function (value) { return qsTr("%1 (unknown value, kept as read)").arg(value) }
    property string error: ""
    property Item toolTipItem: parent
    readonly property alias comboBox: comboBox
    readonly property bool known: indexOf(value) >= 0
    readonly property var entries: known ? choices : [{ value: value, text: otherText(value) }].concat(choices)

    signal edited(var value)

    function indexOf(v) {
        for (var i = 0; i < choices.length; ++i) {
            if (choices[i].value === v)
                return i
        }
        return -1
    }

    function entryIndex() {
        return known ? indexOf(value) : 0
    }

    spacing: 10

    ThemedText {
        id: labelText
        width: setting.labelWidth
        height: comboBox.height
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    ThemedComboBox {
        id: comboBox
        objectName: setting.objectName + "Combo"
        width: 220
        label: setting.label
        description: setting.error !== "" ? setting.error : setting.help
        activeFocusOnTab: true
        errorHighlight: setting.error !== ""
        model: setting.entries.map(function (entry) { return entry.text })
        currentIndex: setting.entryIndex()
        onActivated: {
            var chosen = setting.entries[index].value
            // Picking re-binds the index, so that a refused or later loaded value shows.
            currentIndex = Qt.binding(setting.entryIndex)
            if (chosen !== setting.value)
                setting.edited(chosen)
        }

        ThemedToolTip {
            text: setting.error !== "" ? setting.error : setting.help
            showAboveItem: setting.toolTipItem
        }
    }

    SettingReason {
        id: reason
        objectName: setting.objectName + "Error"
        text: setting.error
    }
}
