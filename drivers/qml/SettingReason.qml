// Why a setting's field is not in the configuration (or what is unusual about its
// value), beside the field. It keeps the field's height whatever it says, shrinking
// long texts instead of growing, so that no row below moves while the user types.
import QtQuick 2.3
import "qrc:///themes/halvard/qml/."
import "qrc:///themes/halvard/theme.js" as Theme

ThemedText {
    width: 360
    height: 25
    verticalAlignment: Text.AlignVCenter
    color: Theme.themeWarning
    wrapMode: Text.Wrap
    maximumLineCount: 2
    fontSizeMode: Text.Fit
    minimumPixelSize: 8
    elide: Text.ElideRight
}
