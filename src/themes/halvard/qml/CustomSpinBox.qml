// Number field with step buttons, built on CustomSpinBoxValidator: the validator holds
// the number, its limits and its text; this item edits the text and steps the value.
// The style's panel supplies the rectangles (upRect, downRect and, where a theme
// offers base selection, decRect and hexRect) and the text colours.
import QtQuick 2.2
import QtQuick.Controls 1.2
import QtQuick.Controls.Private 1.0
import com.vtcan.types 1.0

Control {
    id: spinbox

    property alias value: validator.value
    property alias minimumValue: validator.minimumValue
    property alias maximumValue: validator.maximumValue
    property alias stepSize: validator.stepSize
    property alias suffix: validator.suffix
    property alias prefix: validator.prefix
    property alias decimals: validator.decimals
    property alias radix: validator.radix
    property alias font: input.font
    property alias strictRange: validator.strictRange
    readonly property alias acceptableInput: input.acceptableInput

    property bool activeFocusOnPress: true
    property int horizontalAlignment: __panel ? __panel.horizontalAlignment : Qt.AlignLeft
    readonly property bool hovered: mouseArea.containsMouse || upArea.containsMouse
                                    || downArea.containsMouse
                                    || decArea.containsMouse || hexArea.containsMouse

    // Step buttons, and the base selection areas where the style offers them.
    property bool showControls: true
    property bool showHexDecControls: false

    signal editingFinished()
    // The value moved by a step button, a key or the wheel, never by typing.
    signal stepped()

    function __increment() {
        validator.increment()
        if (activeFocus)
            input.selectValue()
        stepped()
    }

    function __decrement() {
        validator.decrement()
        if (activeFocus)
            input.selectValue()
        stepped()
    }

    // The number a text of this box shows; NaN when it shows none.
    function valueFromText(text) {
        return validator.valueFromText(text)
    }

    // Replaces whatever was typed with the text of the current value.
    function showValue() {
        input.text = validator.text
    }

    // Pressing any of the button areas moves the focus into the text, except on touch
    // screens where that would pop up the on-screen keyboard.
    function __focusFromButton() {
        if (!Settings.hasTouchScreen && activeFocusOnPress)
            input.forceActiveFocus()
    }

    property alias __text: input.text

    __styleData: QtObject {
        readonly property bool upEnabled: value != maximumValue
        readonly property bool upHovered: upArea.containsMouse
        readonly property bool upPressed: upArea.pressed
        readonly property bool downEnabled: value != minimumValue
        readonly property bool downHovered: downArea.containsMouse
        readonly property bool downPressed: downArea.pressed
        readonly property int contentHeight: Math.max(input.implicitHeight, 16)
        readonly property int contentWidth: Math.max(maxSizeHint.implicitWidth, minSizeHint.implicitWidth)
    }

    Text {
        id: maxSizeHint
        visible: false
        font: input.font
        text: prefix + maximumValue.toFixed(decimals) + suffix
    }

    Text {
        id: minSizeHint
        visible: false
        font: input.font
        text: prefix + minimumValue.toFixed(decimals) + suffix
    }

    activeFocusOnTab: true
    onActiveFocusChanged: if (activeFocus) input.selectValue()

    Accessible.name: input.text
    Accessible.role: Accessible.SpinBox
    Accessible.editable: true

    Keys.onUpPressed: __increment()
    Keys.onDownPressed: __decrement()

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        hoverEnabled: Settings.hoverEnabled
        onPressed: if (activeFocusOnPress) input.forceActiveFocus()
        onWheel: {
            if (!spinbox.activeFocus) {
                wheel.accepted = false
                return
            }
            if (wheel.angleDelta.y > 0)
                __increment()
            else
                __decrement()
        }
    }

    TextInput {
        id: input
        objectName: "spinBoxInput"
        anchors.fill: parent
        anchors.leftMargin: __style ? __style.padding.left : 0
        anchors.topMargin: __style ? __style.padding.top : 0
        anchors.rightMargin: __style ? __style.padding.right : 0
        anchors.bottomMargin: __style ? __style.padding.bottom : 0
        clip: contentWidth > width

        focus: true
        activeFocusOnPress: spinbox.activeFocusOnPress
        selectByMouse: true

        horizontalAlignment: spinbox.horizontalAlignment
        verticalAlignment: __panel ? __panel.verticalAlignment : Qt.AlignVCenter
        inputMethodHints: Qt.ImhFormattedNumbersOnly

        font: __panel ? __panel.font : TextSingleton.font
        color: __panel ? __panel.foregroundColor : "black"
        selectionColor: __panel ? __panel.selectionColor : "black"
        selectedTextColor: __panel ? __panel.selectedTextColor : "black"
        renderType: __style && __style.renderType !== undefined ? __style.renderType : Text.NativeRendering
        opacity: spinbox.enabled ? 1 : 0.5

        validator: CustomSpinBoxValidator {
            id: validator
            // QML sets the validator's properties in any order; its text is only
            // trusted once all of them are in.
            property bool ready: false
            onTextChanged: if (ready) input.text = validator.text
            Component.onCompleted: {
                input.text = validator.text
                ready = true
            }
        }

        // Under strictRange the typed number is the form's to take, so it stays as typed.
        onAccepted: {
            if (!validator.strictRange)
                input.text = validator.text
            selectValue()
        }
        onEditingFinished: spinbox.editingFinished()

        Keys.forwardTo: spinbox

        function selectValue() {
            select(prefix.length, text.length - suffix.length)
        }
    }

    StepArea {
        id: upArea
        objectName: "mouseUp"
        area: __panel ? __panel.upRect : undefined
        enabled: spinbox.__styleData.upEnabled
        onPressed: __focusFromButton()
        onStep: __increment()
    }

    StepArea {
        id: downArea
        objectName: "mouseDown"
        area: __panel ? __panel.downRect : undefined
        enabled: spinbox.__styleData.downEnabled
        onPressed: __focusFromButton()
        onStep: __decrement()
    }

    MouseArea {
        id: decArea
        objectName: "mouseDec"
        property var area: __panel ? __panel.decRect : undefined
        enabled: showControls && showHexDecControls
        hoverEnabled: Settings.hoverEnabled
        x: area ? area.x : 0
        y: area ? area.y : 0
        width: area ? area.width : 0
        height: area ? area.height : 0
        onPressed: __focusFromButton()
        onClicked: radix = 10
    }

    MouseArea {
        id: hexArea
        objectName: "mouseHex"
        property var area: __panel ? __panel.hexRect : undefined
        enabled: showControls && showHexDecControls
        hoverEnabled: Settings.hoverEnabled
        x: area ? area.x : 0
        y: area ? area.y : 0
        width: area ? area.width : 0
        height: area ? area.height : 0
        onPressed: __focusFromButton()
        onClicked: radix = 16
    }
}
