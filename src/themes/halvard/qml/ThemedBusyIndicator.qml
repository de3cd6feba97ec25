// Busy indicator: the theme's busy image turning clockwise, fading in and out with running.
import QtQuick 2.3
import QtQuick.Controls 1.2
import QtQuick.Controls.Styles 1.2
import "../theme.js" as Theme

BusyIndicator {
    style: BusyIndicatorStyle {
        indicator: Item {
            implicitWidth: 64
            implicitHeight: 64

            Image {
                id: busyImage
                objectName: "busyImage"
                width: Math.min(parent.width, parent.height)
                height: width
                anchors.centerIn: parent
                source: Theme.themeIconBusy
                sourceSize.width: width
                sourceSize.height: height
                visible: control.running || opacity > 0
                opacity: control.running ? 1 : 0
                Behavior on opacity { NumberAnimation { duration: 250 } }

                RotationAnimation on rotation {
                    running: busyImage.visible
                    from: 0
                    to: 360
                    duration: 800
                    loops: Animation.Infinite
                }
            }
        }
    }
}
