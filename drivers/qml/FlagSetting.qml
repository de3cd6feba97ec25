// One on/off setting of a device page: a themed check box in the field column.
import QtQuick 2.3
import "qrc:///themes/halvard/qml/."

Row {
    id: setting

    property alias text: checkBox.text
    property int labelWidth: 200
    property bool value: false
    property string help: ""
    property Item toolTipItem: parent
    readonly property alias checkBox: checkBox

    signal edited(bool value)

    spacing: 10

    Item {
        width: setting.labelWidth
        height: 20
    }

    ThemedCheckBox {
        id: checkBox
        objectName: setting.objectName + "CheckBox"
        checked: setting.value
        onClicked: {
            // A click breaks the binding; the configuration decides what shows.
            checked = Qt.binding(function () { return setting.value })
            setting.edited(!setting.value)
        }

        ThemedToolTip {
            text: setting.help
            showAboveItem: setting.toolTipItem
        }
    }
}
