// A short notice over the device page: it fades in, stays a second and fades out. The same
// text arriving again while shown changes nothing; a different one restarts the time.
import QtQuick 2.3
import "qrc:///themes/halvard/qml/."
import "qrc:///themes/halvard/theme.js" as Theme

Rectangle {
    id: notice
    property alias text: noticeText.text

    z: 10000
    anchors.horizontalCenter: parent ? parent.horizontalCenter : undefined
    anchors.bottom: parent ? parent.bottom : undefined
    anchors.bottomMargin: 25
    width: noticeText.width + 10
    height: noticeText.height + 10
    radius: 5
    color: Theme.themeBlack
    opacity: 0

    onTextChanged: {
        if (text !== "") {
            opacity = 0.9
            noticeTimer.restart()
        }
    }
    onOpacityChanged: {
        if (opacity === 0)
            text = ""
    }

    Behavior on opacity {
        NumberAnimation { duration: 1000 }
    }

    ThemedText {
        id: noticeText
        anchors.centerIn: parent
        color: Theme.themeWhite
        wrapMode: Text.NoWrap
    }

    Timer {
        id: noticeTimer
        interval: 2000
        onTriggered: notice.opacity = 0
    }
}
