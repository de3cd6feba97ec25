<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BluetoothTab</name>
    <message>
        <source>The factory PIN is still in use: anyone nearby who knows it can pair with the bridge.</source>
        <translation>Die werkseitige PIN ist noch in Gebrauch: Jeder in der Nähe, der sie kennt, kann sich mit der Bridge koppeln.</translation>
    </message>
    <message>
        <source>Bluetooth</source>
        <translation>Bluetooth</translation>
    </message>
    <message>
        <source>Bluetooth enabled</source>
        <translation>Bluetooth eingeschaltet</translation>
    </message>
    <message>
        <source>Switched off, the radio stays silent; its settings are kept.</source>
        <translation>Ausgeschaltet bleibt das Funkmodul stumm; seine Einstellungen bleiben erhalten.</translation>
    </message>
    <message>
        <source>Device name</source>
        <translation>Gerätename</translation>
    </message>
    <message>
        <source>The name needs 1 to 32 bytes; this one has %1.</source>
        <translation>Der Name braucht 1 bis 32 Bytes; dieser hat %1.</translation>
    </message>
    <message>
        <source>The name other devices see when they search; 1 to 32 bytes.</source>
        <translation>Der Name, den andere Geräte bei der Suche sehen; 1 bis 32 Bytes.</translation>
    </message>
    <message>
        <source>PIN</source>
        <translation>PIN</translation>
    </message>
    <message>
        <source>The PIN needs 4 to 16 digits, nothing else.</source>
        <translation>Die PIN braucht 4 bis 16 Ziffern und nichts anderes.</translation>
    </message>
    <message>
        <source>Asked for when a device pairs with the bridge; 4 to 16 digits.</source>
        <translation>Wird abgefragt, wenn sich ein Gerät mit der Bridge koppelt; 4 bis 16 Ziffern.</translation>
    </message>
    <message>
        <source>Discoverable</source>
        <translation>Sichtbar</translation>
    </message>
    <message>
        <source>Other devices find the bridge when they search. Devices already paired connect either way.</source>
        <translation>Andere Geräte finden die Bridge bei der Suche. Bereits gekoppelte Geräte verbinden sich in jedem Fall.</translation>
    </message>
    <message>
        <source>Enter pairing mode...</source>
        <translation>Kopplungsmodus starten...</translation>
    </message>
    <message>
        <source>Available while a device is connected.</source>
        <translation>Verfügbar, solange ein Gerät verbunden ist.</translation>
    </message>
</context>
<context>
    <name>CanTab</name>
    <message>
        <source>%1 Mbit/s</source>
        <translation>%1 Mbit/s</translation>
    </message>
    <message>
        <source>%1 kbit/s</source>
        <translation>%1 kbit/s</translation>
    </message>
    <message>
        <source>%1 bit/s</source>
        <translation>%1 bit/s</translation>
    </message>
    <message>
        <source>Extended</source>
        <translation>Erweitert</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>The filter in row %1 has this identifier, mask and kind already.</source>
        <translation>Der Filter in Zeile %1 hat bereits diesen Identifier, diese Maske und diese Art.</translation>
    </message>
    <message>
        <source>Bus</source>
        <translation>Bus</translation>
    </message>
    <message>
        <source>Bit rate</source>
        <translation>Bitrate</translation>
    </message>
    <message>
        <source>%1 bit/s (non-standard)</source>
        <translation>%1 bit/s (nicht standardisiert)</translation>
    </message>
    <message>
        <source>Every node on the bus must use the same bit rate.</source>
        <translation>Alle Teilnehmer am Bus müssen dieselbe Bitrate verwenden.</translation>
    </message>
    <message>
        <source>Sample point</source>
        <translation>Abtastpunkt</translation>
    </message>
    <message>
        <source>Where in each bit the bridge reads the bus level, as a share of the bit time. Use the value of the other nodes, usually 75 % to 87.5 %.</source>
        <translation>Wo innerhalb jedes Bits die Bridge den Buspegel liest, als Anteil der Bitzeit. Verwenden Sie den Wert der anderen Teilnehmer, meist 75 % bis 87,5 %.</translation>
    </message>
    <message>
        <source>Listen only</source>
        <translation>Nur mithören</translation>
    </message>
    <message>
        <source>The bridge receives frames but never sends, not even acknowledgements. Use it to watch a bus without disturbing it.</source>
        <translation>Die Bridge empfängt Frames, sendet aber nie, auch keine Bestätigungen. So lässt sich ein Bus beobachten, ohne ihn zu stören.</translation>
    </message>
    <message>
        <source>Termination resistor (120 Ω)</source>
        <translation>Abschlusswiderstand (120 Ω)</translation>
    </message>
    <message>
        <source>Switch it on only when the bridge sits at one end of the bus; a bus needs exactly two terminations.</source>
        <translation>Nur einschalten, wenn die Bridge an einem Ende des Busses sitzt; ein Bus braucht genau zwei Abschlüsse.</translation>
    </message>
    <message>
        <source>Acceptance filters</source>
        <translation>Akzeptanzfilter</translation>
    </message>
    <message>
        <source>Identifier</source>
        <translation>Identifier</translation>
    </message>
    <message>
        <source>Mask</source>
        <translation>Maske</translation>
    </message>
    <message>
        <source>Frames</source>
        <translation>Frames</translation>
    </message>
    <message>
        <source>No filters: the bridge passes every frame.</source>
        <translation>Keine Filter: Die Bridge lässt jeden Frame durch.</translation>
    </message>
    <message>
        <source>A frame passes when any filter accepts it.</source>
        <translation>Ein Frame wird durchgelassen, wenn ein beliebiger Filter ihn akzeptiert.</translation>
    </message>
    <message>
        <source>The identifier the filter compares frames with.</source>
        <translation>Der Identifier, mit dem der Filter Frames vergleicht.</translation>
    </message>
    <message>
        <source>A frame passes when its identifier equals the filter&apos;s identifier in every bit that is set in the mask. All bits set: exactly that identifier; mask 0: every frame.</source>
        <translation>Ein Frame wird durchgelassen, wenn sein Identifier in jedem Bit, das in der Maske gesetzt ist, mit dem Identifier des Filters übereinstimmt. Alle Bits gesetzt: genau dieser Identifier; Maske 0: jeder Frame.</translation>
    </message>
    <message>
        <source>Standard (11 bits)</source>
        <translation>Standard (11 Bit)</translation>
    </message>
    <message>
        <source>Extended (29 bits)</source>
        <translation>Erweitert (29 Bit)</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
</context>
<context>
    <name>ChoiceSetting</name>
    <message>
        <source>%1 (unknown value, kept as read)</source>
        <translation>%1 (unbekannter Wert, wie gelesen beibehalten)</translation>
    </message>
</context>
<context>
    <name>DevicePage</name>
    <message>
        <source>CAN</source>
        <translation>CAN</translation>
    </message>
    <message>
        <source>WLAN</source>
        <translation>WLAN</translation>
    </message>
    <message>
        <source>Bluetooth</source>
        <translation>Bluetooth</translation>
    </message>
    <message>
        <source>Pairing Mode</source>
        <translation>Kopplungsmodus</translation>
    </message>
    <message>
        <source>The device leaves the configuration mode and waits for a Bluetooth device to pair. Do you want to proceed?</source>
        <translation>Das Gerät verlässt den Konfigurationsmodus und wartet auf die Kopplung mit einem Bluetooth-Gerät. Wollen Sie fortfahren?</translation>
    </message>
</context>
<context>
    <name>NumberSetting</name>
    <message>
        <source>The device reported %1, outside %2 to %3; kept until you change it.</source>
        <translation>Das Gerät meldete %1, außerhalb von %2 bis %3; bleibt erhalten, bis Sie ihn ändern.</translation>
    </message>
    <message>
        <source>Enter a number from %1 to %2.</source>
        <translation>Geben Sie eine Zahl von %1 bis %2 ein.</translation>
    </message>
</context>
<context>
    <name>TextSetting</name>
    <message>
        <source>Show</source>
        <translation>Anzeigen</translation>
    </message>
    <message>
        <source>Show %1</source>
        <translation>%1 anzeigen</translation>
    </message>
</context>
<context>
    <name>WlanTab</name>
    <message>
        <source>This network is open: anyone nearby can join it and reach the CAN bus.</source>
        <translation>Dieses Netzwerk ist offen: Jeder in der Nähe kann sich verbinden und den CAN-Bus erreichen.</translation>
    </message>
    <message>
        <source>The factory passphrase is still in use: anyone nearby who knows it can reach the CAN bus.</source>
        <translation>Die werkseitige Passphrase ist noch in Gebrauch: Jeder in der Nähe, der sie kennt, kann den CAN-Bus erreichen.</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>Netzwerk</translation>
    </message>
    <message>
        <source>WLAN enabled</source>
        <translation>WLAN eingeschaltet</translation>
    </message>
    <message>
        <source>Switched off, the radio stays silent; its settings are kept.</source>
        <translation>Ausgeschaltet bleibt das Funkmodul stumm; seine Einstellungen bleiben erhalten.</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Betriebsart</translation>
    </message>
    <message>
        <source>Access point</source>
        <translation>Zugangspunkt</translation>
    </message>
    <message>
        <source>Client</source>
        <translation>Client</translation>
    </message>
    <message>
        <source>Access point: the bridge opens a network of its own. Client: it joins an existing network.</source>
        <translation>Zugangspunkt: Die Bridge öffnet ein eigenes Netzwerk. Client: Sie tritt einem bestehenden Netzwerk bei.</translation>
    </message>
    <message>
        <source>Network name (SSID)</source>
        <translation>Netzwerkname (SSID)</translation>
    </message>
    <message>
        <source>The network name needs 1 to 32 bytes; this one has %1.</source>
        <translation>Der Netzwerkname braucht 1 bis 32 Bytes; dieser hat %1.</translation>
    </message>
    <message>
        <source>1 to 32 bytes; letters outside ASCII take more than one byte.</source>
        <translation>1 bis 32 Bytes; Buchstaben außerhalb von ASCII belegen mehr als ein Byte.</translation>
    </message>
    <message>
        <source>Security</source>
        <translation>Sicherheit</translation>
    </message>
    <message>
        <source>Not taken yet: it needs a passphrase that fits it.</source>
        <translation>Noch nicht übernommen: Dazu ist eine passende Passphrase nötig.</translation>
    </message>
    <message>
        <source>Open (no password)</source>
        <translation>Offen (kein Kennwort)</translation>
    </message>
    <message>
        <source>WPA2 personal</source>
        <translation>WPA2 Personal</translation>
    </message>
    <message>
        <source>WPA3 personal</source>
        <translation>WPA3 Personal</translation>
    </message>
    <message>
        <source>Passphrase</source>
        <translation>Passphrase</translation>
    </message>
    <message>
        <source>WPA2 needs 8 to 63 printable ASCII characters or 64 hexadecimal digits.</source>
        <translation>WPA2 braucht 8 bis 63 druckbare ASCII-Zeichen oder 64 Hexadezimalziffern.</translation>
    </message>
    <message>
        <source>WPA3 needs a password.</source>
        <translation>WPA3 braucht ein Kennwort.</translation>
    </message>
    <message>
        <source>Everyone who joins the network needs it.</source>
        <translation>Jeder, der dem Netzwerk beitritt, braucht sie.</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Kanal</translation>
    </message>
    <message>
        <source>0 lets the module pick the least busy channel at start; as a client the bridge follows the network&apos;s channel.</source>
        <translation>0 lässt das Modul beim Start den am wenigsten belegten Kanal wählen; als Client folgt die Bridge dem Kanal des Netzwerks.</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>IPv4 address</source>
        <translation>IPv4-Adresse</translation>
    </message>
    <message>
        <source>Not taken yet: it needs a valid address, netmask and gateway.</source>
        <translation>Noch nicht übernommen: Dazu sind eine gültige Adresse, Netzmaske und ein gültiges Gateway nötig.</translation>
    </message>
    <message>
        <source>Automatic (DHCP)</source>
        <translation>Automatisch (DHCP)</translation>
    </message>
    <message>
        <source>Static</source>
        <translation>Statisch</translation>
    </message>
    <message>
        <source>Enter an IPv4 address such as 192.168.4.1.</source>
        <translation>Geben Sie eine IPv4-Adresse wie 192.168.4.1 ein.</translation>
    </message>
    <message>
        <source>The bridge&apos;s own address in the network.</source>
        <translation>Die eigene Adresse der Bridge im Netzwerk.</translation>
    </message>
    <message>
        <source>Netmask</source>
        <translation>Netzmaske</translation>
    </message>
    <message>
        <source>Enter a netmask such as 255.255.255.0: ones from the left, then zeros.</source>
        <translation>Geben Sie eine Netzmaske wie 255.255.255.0 ein: von links Einsen, dann Nullen.</translation>
    </message>
    <message>
        <source>Which addresses belong to the bridge&apos;s own subnet.</source>
        <translation>Welche Adressen zum eigenen Subnetz der Bridge gehören.</translation>
    </message>
    <message>
        <source>Gateway</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>Enter an IPv4 address, or leave it empty for none.</source>
        <translation>Geben Sie eine IPv4-Adresse ein, oder lassen Sie das Feld für keines leer.</translation>
    </message>
    <message>
        <source>The gateway must lie in the address&apos;s subnet, or be empty.</source>
        <translation>Das Gateway muss im Subnetz der Adresse liegen oder leer sein.</translation>
    </message>
    <message>
        <source>Empty: the bridge reaches only its own subnet.</source>
        <translation>Leer: Die Bridge erreicht nur ihr eigenes Subnetz.</translation>
    </message>
    <message>
        <source>TCP port</source>
        <translation>TCP-Port</translation>
    </message>
    <message>
        <source>The port on which the bridge serves the CAN bus to network clients; they must use the same port.</source>
        <translation>Der Port, an dem die Bridge den CAN-Bus für Netzwerk-Clients bereitstellt; diese müssen denselben Port verwenden.</translation>
    </message>
</context>
</TS>
