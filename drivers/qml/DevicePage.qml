// The configuration page of every KT Bridge product: one tab per interface the
// product has (CAN always, WLAN and Bluetooth as fitted). Every field edits the
// current device's configuration through its message wrappers, which take only
// valid values; a field whose input they would refuse shows why and leaves the
// configuration at its last valid value. Loaded by the main window, whose named
// objects (stateMachine, genericAreYouSureDialog) it uses.
import QtQuick 2.6
import QtQuick.Controls 1.2
import com.vtcan.qvt.pb 1.0
import "qrc:///themes/halvard/qml/."
import "qrc:///themes/halvard/theme.js" as Theme

ThemedPage {
    id: devicePage
    objectName: "devicePage"

    readonly property var device: stateMachine.currentDevice
    readonly property var can: device ? device.can : null
    readonly property var wlanInterface: device ? device.wlanInterface : null
    readonly property var wlan: wlanInterface ? wlanInterface.object : null
    readonly property var bluetoothInterface: device ? device.bluetoothInterface : null
    readonly property var bluetooth: bluetoothInterface ? bluetoothInterface.object : null
    // What the page offers; the configuration itself takes any rate up to 1 Mbit/s.
    readonly property var standardBitRates: [10000, 20000, 50000, 100000, 125000, 250000, 500000, 800000, 1000000]
    property bool pairingConfirmationOpen: false

    function bitRateText(rate) {
        return rate >= 1000000 ? qsTr("%1 Mbit/s").arg(rate / 1000000)
                               : rate >= 1000 ? qsTr("%1 kbit/s").arg(rate / 1000) : qsTr("%1 bit/s").arg(rate)
    }

    function utf8Length(text) {
        var bytes = 0
        for (var i = 0; i < text.length; ++i) {
            var code = text.charCodeAt(i)
            if (code >= 0xd800 && code <= 0xdbff) {
                bytes += 4
                ++i
            } else {
                bytes += code < 0x80 ? 1 : code < 0x800 ? 2 : 3
            }
        }
        return bytes
    }

    // A cell of the filter table; rows being made or dropped may ask out of range.
    function filterText(row, column) {
        var filter = row >= 0 && row < can.filterCount ? can.filters[row] : null
        if (!filter)
            return ""
        if (column === "extended")
            return filter.extended ? qsTr("Extended") : qsTr("Standard")
        return "0x" + filter[column].toString(16)
    }

    ThemedTabView {
        id: tabs
        objectName: "deviceTabs"
    }

    Component.onCompleted: {
        tabs.addTab(qsTr("CAN"), canTab).active = true
        if (wlan)
            tabs.addTab(qsTr("WLAN"), wlanTab).active = true
        if (bluetooth)
            tabs.addTab(qsTr("Bluetooth"), bluetoothTab).active = true
    }

    Connections {
        target: typeof genericAreYouSureDialog !== "undefined" ? genericAreYouSureDialog : null
        // The dialog serves other questions too; only answers to this page's count.
        function onYes() {
            if (devicePage.pairingConfirmationOpen)
                stateMachine.doEnterPairingMode()
            devicePage.pairingConfirmationOpen = false
        }
        function onNo() { devicePage.pairingConfirmationOpen = false }
        function onRejected() { devicePage.pairingConfirmationOpen = false }
    }

    Component {
        id: canTab

        Column {
            objectName: "canTab"
            padding: 10
            spacing: 10

            ThemedGroupBox {
                title: qsTr("Bus")
                width: devicePage.width - 20

                Column {
                    spacing: 6

                    ChoiceSetting {
                        objectName: "bitRate"
                        label: qsTr("Bit rate")
                        value: devicePage.can.bitRate
                        choices: devicePage.standardBitRates.map(function (rate) {
                            return { value: rate, text: devicePage.bitRateText(rate) }
                        })
                        otherText: function (rate) { return qsTr("%1 bit/s (non-standard)").arg(rate) }
                        help: qsTr("Every node on the bus must use the same bit rate.")
                        toolTipItem: devicePage
                        onEdited: devicePage.can.bitRate = value
                    }
                    NumberSetting {
                        objectName: "samplePoint"
                        label: qsTr("Sample point")
                        value: devicePage.can.samplePoint / 10
                        minimumValue: 0.1
                        maximumValue: 99.9
                        decimals: 1
                        stepSize: 0.5
                        suffix: " %"
                        help: qsTr("Where in each bit the bridge reads the bus level, as a share of the bit time. "
                                   + "Use the value of the other nodes, usually 75 % to 87.5 %.")
                        toolTipItem: devicePage
                        onEdited: devicePage.can.samplePoint = Math.round(value * 10)
                    }
                    FlagSetting {
                        objectName: "listenOnly"
                        text: qsTr("Listen only")
                        value: devicePage.can.listenOnly
                        help: qsTr("The bridge receives frames but never sends, not even acknowledgements. "
                                   + "Use it to watch a bus without disturbing it.")
                        toolTipItem: devicePage
                        onEdited: devicePage.can.listenOnly = value
                    }
                    FlagSetting {
                        objectName: "termination"
                        text: qsTr("Termination resistor (120 Ω)")
                        value: devicePage.can.termination
                        help: qsTr("Switch it on only when the bridge sits at one end of the bus; "
                                   + "a bus needs exactly two terminations.")
                        toolTipItem: devicePage
                        onEdited: devicePage.can.termination = value
                    }
                }
            }

            ThemedGroupBox {
                id: filterGroup
                title: qsTr("Acceptance filters")
                width: devicePage.width - 20

                readonly property var filter: filterTable.currentRow >= 0
                                              && filterTable.currentRow < devicePage.can.filterCount
                                              ? devicePage.can.filters[filterTable.currentRow] : null

                function select(row) {
                    filterTable.selection.clear()
                    if (row >= 0) {
                        filterTable.currentRow = row
                        filterTable.selection.select(row)
                    } else {
                        filterTable.currentRow = -1
                    }
                }

                Row {
                    spacing: 20

                    Column {
                        spacing: 6

                        ThemedTableView {
                            id: filterTable
                            objectName: "filterTable"
                            Accessible.name: qsTr("Acceptance filters")
                            width: 380
                            height: 190
                            model: devicePage.can.filterCount

                            TableViewColumn {
                                title: qsTr("Identifier")
                                width: 130
                                delegate: ThemedText {
                                    x: 12
                                    text: devicePage.filterText(styleData.row, "identifier")
                                }
                            }
                            TableViewColumn {
                                title: qsTr("Mask")
                                width: 130
                                delegate: ThemedText {
                                    x: 12
                                    text: devicePage.filterText(styleData.row, "mask")
                                }
                            }
                            TableViewColumn {
                                title: qsTr("Frames")
                                width: 110
                                delegate: ThemedText {
                                    x: 12
                                    text: devicePage.filterText(styleData.row, "extended")
                                }
                            }
                        }

                        ThemedText {
                            width: filterTable.width
                            wrapMode: Text.Wrap
                            text: devicePage.can.filterCount === 0 ? qsTr("No filters: the bridge passes every frame.")
                                                                   : qsTr("A frame passes when any filter accepts it.")
                        }
                    }

                    Column {
                        spacing: 6

                        NumberSetting {
                            objectName: "filterIdentifier"
                            labelWidth: 80
                            enabled: filterGroup.filter !== null
                            label: qsTr("Identifier")
                            value: filterGroup.filter ? filterGroup.filter.identifier : 0
                            radix: 16
                            prefix: "0x"
                            maximumValue: filterGroup.filter ? filterGroup.filter.maximumIdentifier : 0x7ff
                            help: qsTr("The identifier the filter compares frames with.")
                            toolTipItem: devicePage
                            onEdited: if (filterGroup.filter) filterGroup.filter.identifier = value
                        }
                        NumberSetting {
                            objectName: "filterMask"
                            labelWidth: 80
                            enabled: filterGroup.filter !== null
                            label: qsTr("Mask")
                            value: filterGroup.filter ? filterGroup.filter.mask : 0
                            radix: 16
                            prefix: "0x"
                            maximumValue: filterGroup.filter ? filterGroup.filter.maximumIdentifier : 0x7ff
                            help: qsTr("A frame passes when its identifier equals the filter's identifier in every bit "
                                       + "that is set in the mask. All bits set: exactly that identifier; "
                                       + "mask 0: every frame.")
                            toolTipItem: devicePage
                            onEdited: if (filterGroup.filter) filterGroup.filter.mask = value
                        }
                        Row {
                            spacing: 10
                            enabled: filterGroup.filter !== null

                            Item {
                                width: 80
                                height: 20
                            }
                            ThemedRadioButton {
                                objectName: "filterStandard"
                                text: qsTr("Standard (11 bits)")
                                checked: filterGroup.filter !== null && !filterGroup.filter.extended
                                onClicked: {
                                    checked = Qt.binding(function () {
                                        return filterGroup.filter !== null && !filterGroup.filter.extended
                                    })
                                    filterGroup.filter.extended = false
                                }
                            }
                            ThemedRadioButton {
                                objectName: "filterExtended"
                                text: qsTr("Extended (29 bits)")
                                checked: filterGroup.filter !== null && filterGroup.filter.extended
                                onClicked: {
                                    checked = Qt.binding(function () {
                                        return filterGroup.filter !== null && filterGroup.filter.extended
                                    })
                                    filterGroup.filter.extended = true
                                }
                            }
                        }
                        Row {
                            spacing: 10

                            Item {
                                width: 80
                                height: 25
                            }
                            ThemedButton {
                                objectName: "addFilter"
                                text: qsTr("Add")
                                onClicked: {
                                    devicePage.can.addFilter()
                                    filterGroup.select(devicePage.can.filterCount - 1)
                                }
                            }
                            ThemedButton {
                                objectName: "removeFilter"
                                text: qsTr("Remove")
                                enabled: filterGroup.filter !== null
                                onClicked: {
                                    var row = filterTable.currentRow
                                    devicePage.can.removeFilter(row)
                                    filterGroup.select(Math.min(row, devicePage.can.filterCount - 1))
                                }
                            }
                        }
                    }
                }
            }
        }
    }

    Component {
        id: wlanTab

        Column {
            id: wlanColumn
            objectName: "wlanTab"
            padding: 10
            spacing: 10

            readonly property var wlan: devicePage.wlan
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
                target: wlanColumn.wlan
                function onSecurityChanged() { wlanColumn.pendingSecurity = -1 }
                function onIpModeChanged() { wlanColumn.pendingStatic = false }
            }

            ThemedText {
                objectName: "wlanNotice"
                height: 20
                verticalAlignment: Text.AlignVCenter
                color: Theme.themeWarning
                font.bold: true
                text: !devicePage.wlanInterface.enabled ? ""
                      : wlanColumn.wlan.security === WlanConfig.SECURITY_OPEN
                        ? qsTr("This network is open: anyone nearby can join it and reach the CAN bus.")
                        : devicePage.device.factoryPassphraseInUse
                          ? qsTr("The factory passphrase is still in use: anyone nearby who knows it can reach the CAN bus.")
                          : ""
            }

            ThemedGroupBox {
                title: qsTr("Network")
                width: devicePage.width - 20

                Column {
                    spacing: 6

                    FlagSetting {
                        objectName: "wlanEnabled"
                        text: qsTr("WLAN enabled")
                        value: devicePage.wlanInterface.enabled
                        help: qsTr("Switched off, the radio stays silent; its settings are kept.")
                        toolTipItem: devicePage
                        onEdited: devicePage.wlanInterface.enabled = value
                    }

                    Column {
                        spacing: 6
                        enabled: devicePage.wlanInterface.enabled

                        ChoiceSetting {
                            objectName: "wlanMode"
                            label: qsTr("Mode")
                            value: wlanColumn.wlan.mode
                            choices: [{ value: WlanConfig.MODE_ACCESS_POINT, text: qsTr("Access point") },
                                      { value: WlanConfig.MODE_CLIENT, text: qsTr("Client") }]
                            help: qsTr("Access point: the bridge opens a network of its own. "
                                       + "Client: it joins an existing network.")
                            toolTipItem: devicePage
                            onEdited: wlanColumn.wlan.mode = value
                        }
                        TextSetting {
                            objectName: "ssid"
                            label: qsTr("Network name (SSID)")
                            value: wlanColumn.wlan.ssid
                            problem: function (text) {
                                return wlanColumn.wlan.isValidSsid(text) ? ""
                                    : qsTr("The network name needs 1 to 32 bytes; this one has %1.")
                                          .arg(devicePage.utf8Length(text))
                            }
                            help: qsTr("1 to 32 bytes; letters outside ASCII take more than one byte.")
                            toolTipItem: devicePage
                            onEdited: wlanColumn.wlan.ssid = text
                        }
                        ChoiceSetting {
                            objectName: "security"
                            label: qsTr("Security")
                            value: wlanColumn.security
                            choices: [{ value: WlanConfig.SECURITY_OPEN, text: qsTr("Open (no password)") },
                                      { value: WlanConfig.SECURITY_WPA2_PSK, text: qsTr("WPA2 personal") },
                                      { value: WlanConfig.SECURITY_WPA3_SAE, text: qsTr("WPA3 personal") }]
                            toolTipItem: devicePage
                            onEdited: {
                                if (wlanColumn.wlan.isValidPassphrase(value, passphrase.field.text)) {
                                    wlanColumn.wlan.setSecurityAndPassphrase(value, passphrase.field.text)
                                    wlanColumn.pendingSecurity = -1
                                } else {
                                    wlanColumn.pendingSecurity = value
                                }
                            }
                        }
                        TextSetting {
                            id: passphrase
                            objectName: "passphrase"
                            label: qsTr("Passphrase")
                            secret: true
                            enabled: wlanColumn.security !== WlanConfig.SECURITY_OPEN
                            value: wlanColumn.wlan.passphrase
                            problem: function (text) {
                                if (wlanColumn.wlan.isValidPassphrase(wlanColumn.security, text))
                                    return ""
                                return wlanColumn.security === WlanConfig.SECURITY_WPA2_PSK
                                    ? qsTr("WPA2 needs 8 to 63 printable ASCII characters or 64 hexadecimal digits.")
                                    : qsTr("WPA3 needs a password.")
                            }
                            help: qsTr("Everyone who joins the network needs it.")
                            toolTipItem: devicePage
                            onEdited: {
                                // A security of a newer firmware stays as it is.
                                if (wlanColumn.pendingSecurity >= 0)
                                    wlanColumn.wlan.setSecurityAndPassphrase(wlanColumn.pendingSecurity, text)
                                else
                                    wlanColumn.wlan.passphrase = text
                                wlanColumn.pendingSecurity = -1
                            }
                        }
                        NumberSetting {
                            objectName: "channel"
                            label: qsTr("Channel")
                            value: wlanColumn.wlan.channel
                            minimumValue: 0
                            maximumValue: 13
                            help: qsTr("0 lets the module pick the least busy channel at start; "
                                       + "as a client the bridge follows the network's channel.")
                            toolTipItem: devicePage
                            onEdited: wlanColumn.wlan.channel = value
                        }
                    }
                }
            }

            ThemedGroupBox {
                title: qsTr("Address")
                width: devicePage.width - 20
                enabled: devicePage.wlanInterface.enabled

                Column {
                    spacing: 6

                    ChoiceSetting {
                        objectName: "ipMode"
                        label: qsTr("IPv4 address")
                        value: wlanColumn.staticAddress ? WlanConfig.IP_MODE_STATIC : wlanColumn.wlan.ipMode
                        choices: [{ value: WlanConfig.IP_MODE_DHCP, text: qsTr("Automatic (DHCP)") },
                                  { value: WlanConfig.IP_MODE_STATIC, text: qsTr("Static") }]
                        toolTipItem: devicePage
                        onEdited: {
                            if (value === WlanConfig.IP_MODE_STATIC) {
                                wlanColumn.pendingStatic = true
                                wlanColumn.commitStaticAddress()
                            } else {
                                wlanColumn.pendingStatic = false
                                wlanColumn.wlan.ipMode = value
                            }
                        }
                    }
                    TextSetting {
                        id: ipAddress
                        objectName: "ipAddress"
                        label: qsTr("Address")
                        enabled: wlanColumn.staticAddress
                        value: wlanColumn.wlan.ipAddress
                        problem: function (text) {
                            return wlanColumn.wlan.isValidAddress(text) ? ""
                                : qsTr("Enter an IPv4 address such as 192.168.4.1.")
                        }
                        help: qsTr("The bridge's own address in the network.")
                        toolTipItem: devicePage
                        onEdited: wlanColumn.commitStaticAddress()
                    }
                    TextSetting {
                        id: netmaskSetting
                        objectName: "netmask"
                        label: qsTr("Netmask")
                        enabled: wlanColumn.staticAddress
                        value: wlanColumn.wlan.netmask
                        problem: function (text) {
                            return wlanColumn.wlan.isValidNetmask(text) ? ""
                                : qsTr("Enter a netmask such as 255.255.255.0: ones from the left, then zeros.")
                        }
                        help: qsTr("Which addresses belong to the bridge's own subnet.")
                        toolTipItem: devicePage
                        onEdited: wlanColumn.commitStaticAddress()
                    }
                    TextSetting {
                        id: gatewaySetting
                        objectName: "gateway"
                        label: qsTr("Gateway")
                        enabled: wlanColumn.staticAddress
                        value: wlanColumn.wlan.gateway
                        problem: function (text) {
                            if (text === "" || !wlanColumn.wlan.isValidAddress(text))
                                return text === "" ? "" : qsTr("Enter an IPv4 address, or leave it empty for none.")
                            if (!wlanColumn.wlan.isValidAddress(ipAddress.field.text)
                                    || !wlanColumn.wlan.isValidNetmask(netmaskSetting.field.text))
                                return ""
                            return wlanColumn.wlan.isValidGateway(text, ipAddress.field.text, netmaskSetting.field.text)
                                ? "" : qsTr("The gateway must lie in the address's subnet, or be empty.")
                        }
                        help: qsTr("Empty: the bridge reaches only its own subnet.")
                        toolTipItem: devicePage
                        onEdited: wlanColumn.commitStaticAddress()
                    }
                    NumberSetting {
                        objectName: "tcpPort"
                        label: qsTr("TCP port")
                        value: wlanColumn.wlan.tcpPort
                        minimumValue: 1
                        maximumValue: 65535
                        help: qsTr("The port on which the bridge serves the CAN bus to network clients; "
                                   + "they must use the same port.")
                        toolTipItem: devicePage
                        onEdited: wlanColumn.wlan.tcpPort = value
                    }
                }
            }
        }
    }

    Component {
        id: bluetoothTab

        Column {
            id: bluetoothColumn
            objectName: "bluetoothTab"
            padding: 10
            spacing: 10

            readonly property var bluetooth: devicePage.bluetooth

            ThemedText {
                objectName: "bluetoothNotice"
                height: 20
                verticalAlignment: Text.AlignVCenter
                color: Theme.themeWarning
                font.bold: true
                text: devicePage.bluetoothInterface.enabled && devicePage.device.factoryPinInUse
                      ? qsTr("The factory PIN is still in use: anyone nearby who knows it can pair with the bridge.")
                      : ""
            }

            ThemedGroupBox {
                title: qsTr("Bluetooth")
                width: devicePage.width - 20

                Column {
                    spacing: 6

                    FlagSetting {
                        objectName: "bluetoothEnabled"
                        text: qsTr("Bluetooth enabled")
                        value: devicePage.bluetoothInterface.enabled
                        help: qsTr("Switched off, the radio stays silent; its settings are kept.")
                        toolTipItem: devicePage
                        onEdited: devicePage.bluetoothInterface.enabled = value
                    }

                    Column {
                        spacing: 6
                        enabled: devicePage.bluetoothInterface.enabled

                        TextSetting {
                            objectName: "deviceName"
                            label: qsTr("Device name")
                            value: bluetoothColumn.bluetooth.deviceName
                            problem: function (text) {
                                return bluetoothColumn.bluetooth.isValidDeviceName(text) ? ""
                                    : qsTr("The name needs 1 to 32 bytes; this one has %1.")
                                          .arg(devicePage.utf8Length(text))
                            }
                            help: qsTr("The name other devices see when they search; 1 to 32 bytes.")
                            toolTipItem: devicePage
                            onEdited: bluetoothColumn.bluetooth.deviceName = text
                        }
                        TextSetting {
                            objectName: "pin"
                            label: qsTr("PIN")
                            secret: true
                            value: bluetoothColumn.bluetooth.pin
                            problem: function (text) {
                                return bluetoothColumn.bluetooth.isValidPin(text) ? ""
                                    : qsTr("The PIN needs 4 to 16 digits, nothing else.")
                            }
                            help: qsTr("Asked for when a device pairs with the bridge; 4 to 16 digits.")
                            toolTipItem: devicePage
                            onEdited: bluetoothColumn.bluetooth.pin = text
                        }
                        FlagSetting {
                            objectName: "discoverable"
                            text: qsTr("Discoverable")
                            value: bluetoothColumn.bluetooth.discoverable
                            help: qsTr("Other devices find the bridge when they search. Devices already paired "
                                       + "connect either way.")
                            toolTipItem: devicePage
                            onEdited: bluetoothColumn.bluetooth.discoverable = value
                        }
                        Row {
                            spacing: 10

                            Item {
                                width: 200
                                height: 25
                            }
                            ThemedButton {
                                objectName: "pairingMode"
                                width: 170
                                text: qsTr("Enter pairing mode...")
                                enabled: stateMachine.connected && !stateMachine.busy
                                onClicked: {
                                    genericAreYouSureDialog.title = qsTr("Pairing Mode")
                                    genericAreYouSureDialog.text = qsTr("The device leaves the configuration mode and "
                                                                        + "waits for a Bluetooth device to pair. "
                                                                        + "Do you want to proceed?")
                                    devicePage.pairingConfirmationOpen = true
                                    genericAreYouSureDialog.open()
                                }

                                ThemedToolTip {
                                    text: qsTr("Available while a device is connected.")
                                    showAboveItem: devicePage
                                }
                            }
                        }
                    }
                }
            }
        }
    }
}
