<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>DeviceArea</name>
    <message>
        <source>Connect to the unit on %1 (Ctrl+Shift+C)</source>
        <translation>Mit dem Gerät an %1 verbinden (Strg+Umschalt+C)</translation>
    </message>
    <message>
        <source>the port chosen in Options</source>
        <translation>der unter Optionen gewählten Schnittstelle</translation>
    </message>
    <message>
        <source>make a new configuration (Ctrl+N)</source>
        <translation>eine neue Konfiguration anlegen (Strg+N)</translation>
    </message>
    <message>
        <source>or load a file (Ctrl+O)</source>
        <translation>oder eine Datei laden (Strg+O)</translation>
    </message>
    <message>
        <source>unsaved configuration</source>
        <translation>ungespeicherte Konfiguration</translation>
    </message>
    <message>
        <source>read from device</source>
        <translation>vom Gerät gelesen</translation>
    </message>
</context>
<context>
    <name>FileDialogs</name>
    <message>
        <source>Save configuration to a file</source>
        <translation>Konfiguration in eine Datei speichern</translation>
    </message>
    <message>
        <source>KT configuration files</source>
        <translation>KT-Konfigurationsdateien</translation>
    </message>
    <message>
        <source>All files</source>
        <translation>Alle Dateien</translation>
    </message>
    <message>
        <source>Load configuration from a file</source>
        <translation>Konfiguration aus einer Datei laden</translation>
    </message>
    <message>
        <source>Save support archive</source>
        <translation>Supportarchiv speichern</translation>
    </message>
    <message>
        <source>ZIP archives</source>
        <translation>ZIP-Archive</translation>
    </message>
</context>
<context>
    <name>Outcomes</name>
    <message>
        <source>Loaded file</source>
        <translation>Datei geladen:</translation>
    </message>
    <message>
        <source>Created new configuration for</source>
        <translation>Neue Konfiguration erstellt für</translation>
    </message>
    <message>
        <source>Saved file</source>
        <translation>Datei gespeichert:</translation>
    </message>
    <message>
        <source>Created support archive</source>
        <translation>Supportarchiv erstellt:</translation>
    </message>
    <message>
        <source>Connection successful</source>
        <translation>Verbindung hergestellt</translation>
    </message>
    <message>
        <source>Disconnection successful</source>
        <translation>Verbindung getrennt</translation>
    </message>
    <message>
        <source>Read data from device</source>
        <translation>Daten vom Gerät gelesen</translation>
    </message>
    <message>
        <source>Wrote data to device</source>
        <translation>Daten auf das Gerät geschrieben</translation>
    </message>
    <message>
        <source>Factory reset command sent</source>
        <translation>Befehl zum Zurücksetzen auf Werkseinstellungen gesendet</translation>
    </message>
    <message>
        <source>Pairing mode command sent</source>
        <translation>Befehl für den Kopplungsmodus gesendet</translation>
    </message>
    <message>
        <source>%1 tab</source>
        <translation>Reiter %1</translation>
    </message>
    <message>
        <source>These fields are not valid or not complete, so nothing was done:</source>
        <translation>Diese Felder sind ungültig oder unvollständig, daher ist nichts geschehen:</translation>
    </message>
</context>
<context>
    <name>QVt::Comms::SerialProvider</name>
    <message>
        <source>The serial port is not yet configured.</source>
        <translation>Die serielle Schnittstelle ist noch nicht eingestellt.</translation>
    </message>
</context>
<context>
    <name>QVt::Sm::OutcomeTexts</name>
    <message>
        <source>Communication Timeout</source>
        <translation>Zeitüberschreitung der Kommunikation</translation>
    </message>
    <message>
        <source>A communication timeout has occurred.</source>
        <translation>Bei der Kommunikation ist eine Zeitüberschreitung aufgetreten.</translation>
    </message>
    <message>
        <source>Device Unsupported</source>
        <translation>Gerät nicht unterstützt</translation>
    </message>
    <message>
        <source>The connected device is not supported by this application:</source>
        <translation>Das angeschlossene Gerät wird von diesem Programm nicht unterstützt:</translation>
    </message>
    <message>
        <source>Configuration Unsupported</source>
        <translation>Konfiguration nicht unterstützt</translation>
    </message>
    <message>
        <source>The configuration data cannot be loaded, as its product ID is unsupported.</source>
        <translation>Die Konfigurationsdaten können nicht geladen werden, da ihre Produkt-ID nicht unterstützt wird.</translation>
    </message>
    <message>
        <source>Configuration Data Version Mismatch</source>
        <translation>Abweichende Version der Konfigurationsdaten</translation>
    </message>
    <message>
        <source>The configuration data was created with another version of this software and could not be loaded.</source>
        <translation>Die Konfigurationsdaten wurden mit einer anderen Version dieses Programms erstellt und konnten nicht geladen werden.</translation>
    </message>
    <message>
        <source>Configuration File Unreadable</source>
        <translation>Konfigurationsdatei nicht lesbar</translation>
    </message>
    <message>
        <source>The configuration file could not be read.</source>
        <translation>Die Konfigurationsdatei konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Configuration Too Large</source>
        <translation>Konfiguration zu groß</translation>
    </message>
    <message>
        <source>The configuration is too large to be written to the device; nothing was sent.</source>
        <translation>Die Konfiguration ist zu groß, um auf das Gerät geschrieben zu werden; es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>Configuration of Another Product</source>
        <translation>Konfiguration eines anderen Produkts</translation>
    </message>
    <message>
        <source>The configuration being edited was for a %1, not for the connected device. The connected device&apos;s own configuration has been read and is shown instead.</source>
        <translation>Die bearbeitete Konfiguration war für %1 bestimmt, nicht für das angeschlossene Gerät. Stattdessen wurde die eigene Konfiguration des angeschlossenen Geräts gelesen und wird angezeigt.</translation>
    </message>
    <message>
        <source>The configuration file is for a %1, not for the connected device (product ID %2).</source>
        <translation>Die Konfigurationsdatei ist für %1 bestimmt, nicht für das angeschlossene Gerät (Produkt-ID %2).</translation>
    </message>
    <message>
        <source>Configuration Data Obsolete</source>
        <translation>Konfigurationsdaten veraltet</translation>
    </message>
    <message>
        <source>The configuration data is obsolete and could not be loaded.</source>
        <translation>Die Konfigurationsdaten sind veraltet und konnten nicht geladen werden.</translation>
    </message>
    <message>
        <source>Configuration Data Checksum Error</source>
        <translation>Prüfsummenfehler in den Konfigurationsdaten</translation>
    </message>
    <message>
        <source>The configuration data could not be loaded due to a checksum error.</source>
        <translation>Die Konfigurationsdaten konnten wegen eines Prüfsummenfehlers nicht geladen werden.</translation>
    </message>
    <message>
        <source>Configuration Data Parse Error</source>
        <translation>Konfigurationsdaten nicht lesbar</translation>
    </message>
    <message>
        <source>The configuration data could not be parsed and may be corrupt.</source>
        <translation>Die Konfigurationsdaten konnten nicht gelesen werden und sind möglicherweise beschädigt.</translation>
    </message>
    <message>
        <source>Device Error</source>
        <translation>Gerätefehler</translation>
    </message>
    <message>
        <source>The connected device has reported an error.</source>
        <translation>Das angeschlossene Gerät hat einen Fehler gemeldet.</translation>
    </message>
    <message>
        <source>Communication Error</source>
        <translation>Kommunikationsfehler</translation>
    </message>
    <message>
        <source>A communication error has occurred.</source>
        <translation>Ein Kommunikationsfehler ist aufgetreten.</translation>
    </message>
    <message>
        <source>Save Failed</source>
        <translation>Speichern fehlgeschlagen</translation>
    </message>
    <message>
        <source>The file could not be saved.</source>
        <translation>Die Datei konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>The configuration file could not be read: %1</source>
        <translation>Die Konfigurationsdatei konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Device ID</source>
        <translation>Geräte-ID</translation>
    </message>
    <message>
        <source>Product ID</source>
        <translation>Produkt-ID</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Grund</translation>
    </message>
    <message>
        <source>Error code</source>
        <translation>Fehlercode</translation>
    </message>
</context>
<context>
    <name>UnsavedChangesDialog</name>
    <message>
        <source>Unsaved Changes</source>
        <translation>Ungespeicherte Änderungen</translation>
    </message>
</context>
<context>
    <name>UnsavedChangesQuestions</name>
    <message>
        <source>Changes to the current configuration are unsaved. Are you sure you want to quit?</source>
        <translation>Änderungen an der aktuellen Konfiguration sind nicht gespeichert. Wollen Sie das Programm wirklich beenden?</translation>
    </message>
    <message>
        <source>Changes to the current configuration are unsaved, and reading from the device would overwrite these changes. Do you want to proceed?</source>
        <translation>Änderungen an der aktuellen Konfiguration sind nicht gespeichert, und das Lesen vom Gerät würde sie überschreiben. Wollen Sie fortfahren?</translation>
    </message>
    <message>
        <source>Changes to the current configuration are unsaved, and creating a new device would overwrite these changes. Do you want to proceed?</source>
        <translation>Änderungen an der aktuellen Konfiguration sind nicht gespeichert, und das Anlegen eines neuen Geräts würde sie überschreiben. Wollen Sie fortfahren?</translation>
    </message>
    <message>
        <source>Changes to the current configuration are unsaved, and loading a configuration file would overwrite these changes. Do you want to proceed?</source>
        <translation>Änderungen an der aktuellen Konfiguration sind nicht gespeichert, und das Laden einer Konfigurationsdatei würde sie überschreiben. Wollen Sie fortfahren?</translation>
    </message>
</context>
<context>
    <name>aboutWindow</name>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Build date</source>
        <translation>Erstellungsdatum</translation>
    </message>
</context>
<context>
    <name>connectionSettings</name>
    <message>
        <source>Connection Settings</source>
        <translation>Verbindungseinstellungen</translation>
    </message>
    <message>
        <source>Interface</source>
        <translation>Schnittstelle</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>deviceInfo</name>
    <message>
        <source>Device Information</source>
        <translation>Geräteinformationen</translation>
    </message>
    <message>
        <source>Device ID</source>
        <translation>Geräte-ID</translation>
    </message>
    <message>
        <source>Vendor ID</source>
        <translation>Hersteller-ID</translation>
    </message>
    <message>
        <source>Product code</source>
        <translation>Produktcode</translation>
    </message>
    <message>
        <source>Revision number</source>
        <translation>Revisionsnummer</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>Product group</source>
        <translation>Produktgruppe</translation>
    </message>
    <message>
        <source>Date of manufacture</source>
        <translation>Herstellungsdatum</translation>
    </message>
    <message>
        <source>Wireless FW version</source>
        <translation>Funk-Firmwareversion</translation>
    </message>
    <message>
        <source>WLAN MAC address</source>
        <translation>WLAN-MAC-Adresse</translation>
    </message>
    <message>
        <source>Bluetooth MAC address</source>
        <translation>Bluetooth-MAC-Adresse</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Copy %1</source>
        <translation>%1 kopieren</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>&amp;New configuration</source>
        <translation>&amp;Neue Konfiguration</translation>
    </message>
    <message>
        <source>New configuration...</source>
        <translation>Neue Konfiguration...</translation>
    </message>
    <message>
        <source>&amp;Load configuration...</source>
        <translation>Konfiguration &amp;laden...</translation>
    </message>
    <message>
        <source>Load configuration...</source>
        <translation>Konfiguration laden...</translation>
    </message>
    <message>
        <source>&amp;Save configuration</source>
        <translation>Konfiguration &amp;speichern</translation>
    </message>
    <message>
        <source>Save configuration</source>
        <translation>Konfiguration speichern</translation>
    </message>
    <message>
        <source>Save configuration &amp;as...</source>
        <translation>Konfiguration speichern &amp;unter...</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Device &amp;information...</source>
        <translation>Geräte&amp;informationen...</translation>
    </message>
    <message>
        <source>&amp;Reset device to factory settings</source>
        <translation>Gerät auf &amp;Werkseinstellungen zurücksetzen</translation>
    </message>
    <message>
        <source>&amp;Connection settings...</source>
        <translation>&amp;Verbindungseinstellungen...</translation>
    </message>
    <message>
        <source>&amp;Create support archive</source>
        <translation>&amp;Supportarchiv erstellen</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Verbinden</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>&amp;Trennen</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Trennen</translation>
    </message>
    <message>
        <source>&amp;Read data from the device</source>
        <translation>Daten vom Gerät &amp;lesen</translation>
    </message>
    <message>
        <source>Read data from the device</source>
        <translation>Daten vom Gerät lesen</translation>
    </message>
    <message>
        <source>&amp;Write data to the device</source>
        <translation>Daten auf das Gerät &amp;schreiben</translation>
    </message>
    <message>
        <source>Write data to the device</source>
        <translation>Daten auf das Gerät schreiben</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Device</source>
        <translation>&amp;Gerät</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Busy</source>
        <translation>Beschäftigt</translation>
    </message>
    <message>
        <source>Connected to device</source>
        <translation>Verbunden mit Gerät</translation>
    </message>
    <message>
        <source>Not connected</source>
        <translation>Nicht verbunden</translation>
    </message>
    <message>
        <source>not configured</source>
        <translation>nicht eingestellt</translation>
    </message>
    <message>
        <source>Configuration Not Saved</source>
        <translation>Konfiguration nicht gespeichert</translation>
    </message>
    <message>
        <source>Factory Reset</source>
        <translation>Werkseinstellungen</translation>
    </message>
    <message>
        <source>The unit&apos;s configuration is replaced by its factory settings. Do you want to proceed?</source>
        <translation>Die Konfiguration des Geräts wird durch die Werkseinstellungen ersetzt. Wollen Sie fortfahren?</translation>
    </message>
    <message>
        <source>Configuration Not Written</source>
        <translation>Konfiguration nicht geschrieben</translation>
    </message>
</context>
<context>
    <name>newConfig</name>
    <message>
        <source>New Configuration</source>
        <translation>Neue Konfiguration</translation>
    </message>
    <message>
        <source>Select a Device</source>
        <translation>Gerät auswählen</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Erstellen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
</TS>
