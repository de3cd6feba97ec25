import QtQuick 2.3
import QtQuick.Window 2.1

Window {
    visible: true
    width: 1024
    height: 720
    title: applicationName
}
