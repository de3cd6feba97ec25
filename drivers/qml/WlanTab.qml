// The WLAN tab of the KT Bridge page: the radio, the network and the IPv4 address of
// wlanInterface, the device's Interface::Config for WLAN. Settings that depend on each
// other reach the configuration together: a choice that waits for another field is
// pending, shown as such, and counts as invalid until that field fits.
import QtQuick 2.6
import QtQuick.Controls 1.2
import com.vtcan.qvt.pb 1.0
import "qrc:///themes/halvard/qml/."
import "qrc:///themes/halvard/theme.js" as Theme
import "textBytes.js" as TextBytes

Column {
    id: wlanTab
    objectName: "wlanTab"
    padding: 10
    spacing: 10

    property var wlanInterface
    property bool factoryPassphraseInUse: false
    property Item toolTipItem: parent
    // Stands in while the device's objects are gone (the device is being replaced and this
    // page is about to go), so that every binding still finds what it reads.
    readonly property var shownInterface: wlanInterface ? wlanInterface : ({ enabled: false, object: null })
    readonly property var wlan: shownInterface.object ? shownInterface.object : ({
        mode: 0, ssid: "", security: 0, passphrase: "", channel: 0, ipMode: 0, ipAddress: "", netmask: "",
        gateway: "", tcpPort: 1, isValidSsid: accept, isValidPassphrase: accept, isValidAddress: accept,
        isValidNetmask: accept, isValidGateway: accept })
    readonly property var invalidRows: [security, ssid, passphrase, channel, ipMode, ipAddress, netmaskSetting,
                                        gatewaySetting, tcpPort].filter(function (row) { return row.error !== "" })
    // A choice that needs another field first: the configuration keeps its old
    // value until the other field is valid too (-1: nothing pending).
    property int pendingSecurity: -1
    property bool pendingStatic: false
    readonly property int security: pendingSecurity >= 0 ? pendingSecurity : wlan.security
    readonly property bool staticAddress: pendingStatic || wlan.ipMode === WlanConfig.IP_MODE_STATIC

    function commitStaticAddress() {
        var address = ipAddress.field.text
        var netmask = netmaskSetting.field.text
        var gateway = gatewaySetting.field.text
        if (wlan.isValidAddress(address) && wlan.isValidNetmask(netmask)
                && wlan.isValidGateway(gateway, address, netmask)) {
            wlan.setStaticAddress(address, netmask, gateway)
            pendingStatic = false
        }
    }

    Connections {
        target: wlanTab.wlanInterface ? wlanTab.wlan : null
        function onSecurityChanged() { wlanTab.pendingSecurity = -1 }
        function onIpModeChanged() { wlanTab.pendingStatic = false }
    }

    function accept() { return true }

    // Gives up every choice that waits for another field.
    function revert() {
        pendingSecurity = -1
        pendingStatic = false
    }

    // A switched-off radio keeps its configuration as it is, nothing half-chosen.
    readonly property bool radioOn: shownInterface.enabled
    onRadioOnChanged: revert()

    ThemedText {
        objectName: "wlanNotice"
        height: 20
        verticalAlignment: Text.AlignVCenter
        color: Theme.themeWarning
        font.bold: true
        text: !wlanTab.shownInterface.enabled ? ""
              : wlanTab.wlan.security === WlanConfig.SECURITY_OPEN
                ? qsTr("This network is open: anyone nearby can join it and reach the CAN bus.")
                : wlanTab.factoryPassphraseInUse
                  ? qsTr("The factory passphrase is still in use: anyone nearby who knows it can reach the CAN bus.")
                  : ""
    }

    ThemedGroupBox {
        title: qsTr("Network")
        width: wlanTab.width - 20

        Column {
            spacing: 6

            FlagSetting {
                objectName: "wlanEnabled"
                text: qsTr("WLAN enabled")
                value: wlanTab.shownInterface.enabled
                help: qsTr("Switched off, the radio stays silent; its settings are kept.")
                toolTipItem: wlanTab.toolTipItem
                onEdited: wlanTab.shownInterface.enabled = value
            }

            Column {
                spacing: 6
                enabled: wlanTab.shownInterface.enabled

                ChoiceSetting {
                    objectName: "wlanMode"
                    label: qsTr("Mode")
                    value: wlanTab.wlan.mode
                    choices: [{ value: WlanConfig.MODE_ACCESS_POINT, text: qsTr("Access point") },
                              { value: WlanConfig.MODE_CLIENT, text: qsTr("Client") }]
                    help: qsTr("Access point: the bridge opens a network of its own. "
                               + "Client: it joins an existing network.")
                    toolTipItem: wlanTab.toolTipItem
                    onEdited: wlanTab.wlan.mode = value
                }
                TextSetting {
                    id: ssid
                    objectName: "ssid"
                    label: qsTr("Network name (SSID)")
                    value: wlanTab.wlan.ssid
                    problem: function (text) {
                        return wlanTab.wlan.isValidSsid(text) ? ""
                            : qsTr("The network name needs 1 to 32 bytes; this one has %1.")
                                  .arg(TextBytes.utf8Length(text))
                    }
                    help: qsTr("1 to 32 bytes; letters outside ASCII take more than one byte.")
                    toolTipItem: wlanTab.toolTipItem
                    onEdited: wlanTab.wlan.ssid = text
                }
                ChoiceSetting {
                    id: security
                    objectName: "security"
                    label: qsTr("Security")
                    value: wlanTab.security
                    error: wlanTab.pendingSecurity >= 0
                           ? qsTr("Not taken yet: it needs a passphrase that fits it.") : ""
                    choices: [{ value: WlanConfig.SECURITY_OPEN, text: qsTr("Open (no password)") },
                              { value: WlanConfig.SECURITY_WPA2_PSK, text: qsTr("WPA2 personal") },
                              { value: WlanConfig.SECURITY_WPA3_SAE, text: qsTr("WPA3 personal") }]
                    toolTipItem: wlanTab.toolTipItem
                    onEdited: {
                        // An open network takes no passphrase, so none typed reaches it.
                        if (value === WlanConfig.SECURITY_OPEN) {
                            wlanTab.wlan.security = value
                            wlanTab.pendingSecurity = -1
                        } else if (wlanTab.wlan.isValidPassphrase(value, passphrase.field.text)) {
                            wlanTab.wlan.setSecurityAndPassphrase(value, passphrase.field.text)
                            wlanTab.pendingSecurity = -1
                        } else {
                            wlanTab.pendingSecurity = value
                        }
                    }
                }
                TextSetting {
                    id: passphrase
                    objectName: "passphrase"
                    label: qsTr("Passphrase")
                    secret: true
                    enabled: wlanTab.security !== WlanConfig.SECURITY_OPEN
                    value: wlanTab.wlan.passphrase
                    problem: function (text) {
                        if (wlanTab.wlan.isValidPassphrase(wlanTab.security, text))
                            return ""
                        return wlanTab.security === WlanConfig.SECURITY_WPA2_PSK
                            ? qsTr("WPA2 needs 8 to 63 printable ASCII characters or 64 hexadecimal digits.")
                            : qsTr("WPA3 needs a password.")
                    }
                    help: qsTr("Everyone who joins the network needs it.")
                    toolTipItem: wlanTab.toolTipItem
                    onEdited: {
                        // A security of a newer firmware stays as it is.
                        if (wlanTab.pendingSecurity >= 0)
                            wlanTab.wlan.setSecurityAndPassphrase(wlanTab.pendingSecurity, text)
                        else
                            wlanTab.wlan.passphrase = text
                        wlanTab.pendingSecurity = -1
                    }
                }
                NumberSetting {
                    id: channel
                    objectName: "channel"
                    label: qsTr("Channel")
                    value: wlanTab.wlan.channel
                    minimumValue: 0
                    maximumValue: 13
                    help: qsTr("0 lets the module pick the least busy channel at start; "
                               + "as a client the bridge follows the network's channel.")
                    toolTipItem: wlanTab.toolTipItem
                    onEdited: wlanTab.wlan.channel = value
                }
            }
        }
    }

    ThemedGroupBox {
        title: qsTr("Address")
        width: wlanTab.width - 20
        enabled: wlanTab.shownInterface.enabled

        Column {
            spacing: 6

            ChoiceSetting {
                id: ipMode
                objectName: "ipMode"
                label: qsTr("IPv4 address")
                error: wlanTab.pendingStatic
                       ? qsTr("Not taken yet: it needs a valid address, netmask and gateway.") : ""
                value: wlanTab.staticAddress ? WlanConfig.IP_MODE_STATIC : wlanTab.wlan.ipMode
                choices: [{ value: WlanConfig.IP_MODE_DHCP, text: qsTr("Automatic (DHCP)") },
                          { value: WlanConfig.IP_MODE_STATIC, text: qsTr("Static") }]
                toolTipItem: wlanTab.toolTipItem
                onEdited: {
                    if (value === WlanConfig.IP_MODE_STATIC) {
                        wlanTab.pendingStatic = true
                        wlanTab.commitStaticAddress()
                    } else {
                        wlanTab.pendingStatic = false
                        wlanTab.wlan.ipMode = value
                    }
                }
            }
            TextSetting {
                id: ipAddress
                objectName: "ipAddress"
                label: qsTr("Address")
                enabled: wlanTab.staticAddress
                value: wlanTab.wlan.ipAddress
                problem: function (text) {
                    return wlanTab.wlan.isValidAddress(text) ? ""
                        : qsTr("Enter an IPv4 address such as 192.168.4.1.")
                }
                help: qsTr("The bridge's own address in the network.")
                toolTipItem: wlanTab.toolTipItem
                onEdited: wlanTab.commitStaticAddress()
            }
            TextSetting {
                id: netmaskSetting
                objectName: "netmask"
                label: qsTr("Netmask")
                enabled: wlanTab.staticAddress
                value: wlanTab.wlan.netmask
                problem: function (text) {
                    return wlanTab.wlan.isValidNetmask(text) ? ""
                        : qsTr("Enter a netmask such as 255.255.255.0: ones from the left, then zeros.")
                }
                help: qsTr("Which addresses belong to the bridge's own subnet.")
                toolTipItem: wlanTab.toolTipItem
                onEdited: wlanTab.commitStaticAddress()
            }
            TextSetting {
                id: gatewaySetting
                objectName: "gateway"
                label: qsTr("Gateway")
                enabled: wlanTab.staticAddress
                value: wlanTab.wlan.gateway
                problem: function (text) {
                    if (text === "" || !wlanTab.wlan.isValidAddress(text))
                        return text === "" ? "" : qsTr("Enter an IPv4 address, or leave it empty for none.")
                    if (!wlanTab.wlan.isValidAddress(ipAddress.field.text)
                            || !wlanTab.wlan.isValidNetmask(netmaskSetting.field.text))
                        return ""
                    return wlanTab.wlan.isValidGateway(text, ipAddress.field.text, netmaskSetting.field.text)
                        ? "" : qsTr("The gateway must lie in the address's subnet, or be empty.")
                }
                help: qsTr("Empty: the bridge reaches only its own subnet.")
                toolTipItem: wlanTab.toolTipItem
                onEdited: wlanTab.commitStaticAddress()
            }
            NumberSetting {
                id: tcpPort
                objectName: "tcpPort"
                label: qsTr("TCP port")
                value: wlanTab.wlan.tcpPort
                minimumValue: 1
                maximumValue: 65535
                help: qsTr("The port on which the bridge serves the CAN bus to network clients; "
                           + "they must use the same port.")
                toolTipItem: wlanTab.toolTipItem
                onEdited: wlanTab.wlan.tcpPort = value
            }
        }
    }
}
