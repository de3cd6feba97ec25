// Constants of the Halvard theme: font, colours and icon paths.
// Windows import this script as "qrc:///themes/halvard/theme.js" under the name Theme;
// the themed controls import it as "../theme.js".
.pragma library

var themeFontFamily = "Frutiger LT Std"
var themeFontPixelSizeNormal = 12
var themeFontPixelSizeLarge = 16
var themeFontPixelSizeHuge = 20

var themeDark = "#e2000f"
var themeMedium = "#b6000f"
var themeLight = "#f1f3f5"
var themeWhite = "#ffffff"
var themeBlack = "#000000"
var themeGray = "#ccd3d8"
var themeWarning = themeDark

var themeIconArrowDown = "qrc:///themes/halvard/icons/arrowDown.png"
var themeIconBusy = "qrc:///themes/halvard/icons/busy.png"
var themeIconCheck = "qrc:///themes/halvard/icons/check.png"
var themeIconConnect = "qrc:///themes/halvard/icons/connect.png"
var themeIconDisconnect = "qrc:///themes/halvard/icons/disconnect.png"
var themeIconLogoBig = "qrc:///themes/halvard/icons/logoBig.png"
var themeIconNew = "qrc:///themes/halvard/icons/new.png"
var themeIconOpen = "qrc:///themes/halvard/icons/open.png"
var themeIconRead = "qrc:///themes/halvard/icons/read.png"
var themeIconSave = "qrc:///themes/halvard/icons/save.png"
var themeIconWrite = "qrc:///themes/halvard/icons/write.png"
