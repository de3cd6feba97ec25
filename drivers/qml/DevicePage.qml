// The configuration page of every KT Bridge product: one tab per interface the
// product has (CAN always, WLAN and Bluetooth as fitted), each in a file of its own.
// The window hands the page its device; every field edits that device's
// configuration through its message wrappers, and a field whose text they would
// refuse, or a choice that waits for another field, is listed in invalidFields so
// that the window saves and writes nothing while one exists. Uses the window's
// stateMachine for pairing mode and for configurations read in place, and its
// genericAreYouSureDialog for pairing mode.
import QtQuick 2.6
import QtQuick.Controls 1.2
import "qrc:///themes/halvard/qml/."

ThemedPage {
    id: devicePage
    objectName: "devicePage"

    property var device: null

    // A property of the device, or fallback while it is gone (it is being replaced and this
    // page is about to go), so that every binding still finds what it reads.
    function part(name, fallback) {
        return device ? device[name] : fallback
    }
    // The fields whose text or choice is not in the configuration: { label, tab, reason }.
    readonly property var invalidFields: {
        var fields = []
        for (var i = 0; i < tabs.count; ++i) {
            var tab = tabs.getTab(i)
            var rows = tab && tab.item ? tab.item.invalidRows : []
            for (var j = 0; j < rows.length; ++j)
                fields.push({ label: rows[j].label, tab: tab.title, reason: rows[j].error })
        }
        return fields
    }
    property bool pairingConfirmationOpen: false

    ThemedTabView {
        id: tabs
        objectName: "deviceTabs"
    }

    Component {
        id: canTab
        CanTab {
            can: devicePage.part("can", null)
            toolTipItem: devicePage
        }
    }

    Component {
        id: wlanTab
        WlanTab {
            wlanInterface: devicePage.part("wlanInterface", null)
            factoryPassphraseInUse: devicePage.part("factoryPassphraseInUse", false)
            toolTipItem: devicePage
        }
    }

    Component {
        id: bluetoothTab
        BluetoothTab {
            bluetoothInterface: devicePage.part("bluetoothInterface", null)
            factoryPinInUse: devicePage.part("factoryPinInUse", false)
            pairingAvailable: stateMachine.connected && !stateMachine.busy
            toolTipItem: devicePage
            onPairingRequested: {
                genericAreYouSureDialog.title = qsTr("Pairing Mode")
                genericAreYouSureDialog.text = qsTr("The device leaves the configuration mode and "
                                                    + "waits for a Bluetooth device to pair. "
                                                    + "Do you want to proceed?")
                devicePage.pairingConfirmationOpen = true
                genericAreYouSureDialog.open()
            }
        }
    }

    Component.onCompleted: {
        if (!device)
            return
        tabs.addTab(qsTr("CAN"), canTab).active = true
        if (device.wlanInterface)
            tabs.addTab(qsTr("WLAN"), wlanTab).active = true
        if (device.bluetoothInterface)
            tabs.addTab(qsTr("Bluetooth"), bluetoothTab).active = true
    }

    // Everything under item that holds a text or choice of its own gives it up.
    function revertAll(item) {
        if (typeof item.revert === "function")
            item.revert()
        for (var i = 0; i < item.children.length; ++i)
            revertAll(item.children[i])
    }

    // A configuration read in place replaces what the fields held but had not taken, also
    // where the unit holds the value a field had before.
    Connections {
        target: stateMachine
        function onReadFromDeviceSuccessful() { devicePage.revertAll(tabs) }
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
}
