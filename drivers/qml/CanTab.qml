// The CAN tab of the KT Bridge page: bus timing, listen-only, termination and the
// acceptance filters of can, the device's Can::Config.
import QtQuick 2.6
import QtQuick.Controls 1.2
import "qrc:///themes/halvard/qml/."

Column {
    id: canTab
    objectName: "canTab"

    property var can
    // Stands in while the device's objects are gone (the device is being replaced and this
    // page is about to go), so that every binding still finds what it reads.
    readonly property var bus: can ? can : ({ bitRate: 500000, samplePoint: 875, listenOnly: false, termination: false,
                                              filterCount: 0, filters: [], duplicateOf: function () { return -1 } })
    property Item toolTipItem: parent
    // What the page offers; the configuration itself takes any rate up to 1 Mbit/s.
    readonly property var standardBitRates: [10000, 20000, 50000, 100000, 125000, 250000, 500000, 800000, 1000000]
    readonly property var invalidRows: [samplePoint, filterIdentifier, filterMask].filter(function (row) {
        return row.error !== ""
    })

    function bitRateText(rate) {
        return rate >= 1000000 ? qsTr("%1 Mbit/s").arg(rate / 1000000)
                               : rate >= 1000 ? qsTr("%1 kbit/s").arg(rate / 1000) : qsTr("%1 bit/s").arg(rate)
    }

    // A cell of the filter table; rows being made or dropped may ask out of range.
    function filterText(row, column) {
        var filter = row >= 0 && row < bus.filterCount ? bus.filters[row] : null
        if (!filter)
            return ""
        if (column === "extended")
            return filter.extended ? qsTr("Extended") : qsTr("Standard")
        return "0x" + filter[column].toString(16)
    }

    // Why the selected filter cannot take these settings: another row has them already.
    function duplicateText(identifier, mask, extended) {
        var row = bus.duplicateOf(filterTable.currentRow, identifier, mask, extended)
        return row < 0 ? "" : qsTr("The filter in row %1 has this identifier, mask and kind already.").arg(row + 1)
    }
    padding: 10
    spacing: 10

    ThemedGroupBox {
        title: qsTr("Bus")
        width: canTab.width - 20

        Column {
            spacing: 6

            ChoiceSetting {
                objectName: "bitRate"
                label: qsTr("Bit rate")
                value: canTab.bus.bitRate
                choices: canTab.standardBitRates.map(function (rate) {
                    return { value: rate, text: canTab.bitRateText(rate) }
                })
                otherText: function (rate) { return qsTr("%1 bit/s (non-standard)").arg(rate) }
                help: qsTr("Every node on the bus must use the same bit rate.")
                toolTipItem: canTab.toolTipItem
                onEdited: canTab.bus.bitRate = value
            }
            NumberSetting {
                id: samplePoint
                objectName: "samplePoint"
                label: qsTr("Sample point")
                value: canTab.bus.samplePoint / 10
                minimumValue: 0.1
                maximumValue: 99.9
                decimals: 1
                stepSize: 0.5
                suffix: " %"
                help: qsTr("Where in each bit the bridge reads the bus level, as a share of the bit time. "
                           + "Use the value of the other nodes, usually 75 % to 87.5 %.")
                toolTipItem: canTab.toolTipItem
                onEdited: canTab.bus.samplePoint = Math.round(value * 10)
            }
            FlagSetting {
                objectName: "listenOnly"
                text: qsTr("Listen only")
                value: canTab.bus.listenOnly
                help: qsTr("The bridge receives frames but never sends, not even acknowledgements. "
                           + "Use it to watch a bus without disturbing it.")
                toolTipItem: canTab.toolTipItem
                onEdited: canTab.bus.listenOnly = value
            }
            FlagSetting {
                objectName: "termination"
                text: qsTr("Termination resistor (120 Ω)")
                value: canTab.bus.termination
                help: qsTr("Switch it on only when the bridge sits at one end of the bus; "
                           + "a bus needs exactly two terminations.")
                toolTipItem: canTab.toolTipItem
                onEdited: canTab.bus.termination = value
            }
        }
    }

    ThemedGroupBox {
        id: filterGroup
        title: qsTr("Acceptance filters")
        width: canTab.width - 20

        readonly property var filter: filterTable.currentRow >= 0
                                      && filterTable.currentRow < canTab.bus.filterCount
                                      ? canTab.bus.filters[filterTable.currentRow] : null

        // Why the last change of kind was refused; it goes with the next selection.
        property string kindRefusal: ""

        function setExtended(extended) {
            var maximum = extended ? 0x1fffffff : 0x7ff
            kindRefusal = canTab.duplicateText(filter.identifier & maximum, filter.mask & maximum, extended)
            if (kindRefusal === "")
                filter.extended = extended
        }

        onFilterChanged: kindRefusal = ""

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
                    model: canTab.bus.filterCount

                    TableViewColumn {
                        title: qsTr("Identifier")
                        width: 130
                        delegate: ThemedText {
                            x: 12
                            text: canTab.filterText(styleData.row, "identifier")
                        }
                    }
                    TableViewColumn {
                        title: qsTr("Mask")
                        width: 130
                        delegate: ThemedText {
                            x: 12
                            text: canTab.filterText(styleData.row, "mask")
                        }
                    }
                    TableViewColumn {
                        title: qsTr("Frames")
                        width: 110
                        delegate: ThemedText {
                            x: 12
                            text: canTab.filterText(styleData.row, "extended")
                        }
                    }
                }

                ThemedText {
                    width: filterTable.width
                    wrapMode: Text.Wrap
                    text: canTab.bus.filterCount === 0 ? qsTr("No filters: the bridge passes every frame.")
                                                           : qsTr("A frame passes when any filter accepts it.")
                }
            }

            Column {
                spacing: 6

                NumberSetting {
                    id: filterIdentifier
                    objectName: "filterIdentifier"
                    labelWidth: 80
                    reasonWidth: 250
                    enabled: filterGroup.filter !== null
                    label: qsTr("Identifier")
                    value: filterGroup.filter ? filterGroup.filter.identifier : 0
                    radix: 16
                    prefix: "0x"
                    maximumValue: filterGroup.filter ? filterGroup.filter.maximumIdentifier : 0x7ff
                    problem: function (identifier) {
                        return filterGroup.filter ? canTab.duplicateText(identifier, filterGroup.filter.mask,
                                                                         filterGroup.filter.extended) : ""
                    }
                    help: qsTr("The identifier the filter compares frames with.")
                    toolTipItem: canTab.toolTipItem
                    onEdited: if (filterGroup.filter) filterGroup.filter.identifier = value
                }
                NumberSetting {
                    id: filterMask
                    objectName: "filterMask"
                    labelWidth: 80
                    reasonWidth: 250
                    enabled: filterGroup.filter !== null
                    label: qsTr("Mask")
                    value: filterGroup.filter ? filterGroup.filter.mask : 0
                    radix: 16
                    prefix: "0x"
                    maximumValue: filterGroup.filter ? filterGroup.filter.maximumIdentifier : 0x7ff
                    help: qsTr("A frame passes when its identifier equals the filter's identifier in every bit "
                               + "that is set in the mask. All bits set: exactly that identifier; "
                               + "mask 0: every frame.")
                    problem: function (mask) {
                        return filterGroup.filter ? canTab.duplicateText(filterGroup.filter.identifier, mask,
                                                                         filterGroup.filter.extended) : ""
                    }
                    toolTipItem: canTab.toolTipItem
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
                            filterGroup.setExtended(false)
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
                            filterGroup.setExtended(true)
                        }
                    }
                    SettingReason {
                        objectName: "filterKindError"
                        width: 150
                        text: filterGroup.kindRefusal
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
                            canTab.bus.addFilter()
                            filterGroup.select(canTab.bus.filterCount - 1)
                        }
                    }
                    ThemedButton {
                        objectName: "removeFilter"
                        text: qsTr("Remove")
                        enabled: filterGroup.filter !== null
                        onClicked: {
                            var row = filterTable.currentRow
                            canTab.bus.removeFilter(row)
                            filterGroup.select(Math.min(row, canTab.bus.filterCount - 1))
                        }
                    }
                }
            }
        }
    }
}
