<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>About Printdeck</source>
        <translation>Über Printdeck</translation>
    </message>
</context>
<context>
    <name>CFirmwareDlg</name>
    <message>
        <source>Firmware Download Manager</source>
        <translation>Firmware-Download-Manager</translation>
    </message>
    <message>
        <source>Download progress</source>
        <translation>Download-Fortschritt</translation>
    </message>
    <message>
        <source>Status : </source>
        <translation>Status : </translation>
    </message>
    <message>
        <source>&amp;Start Download</source>
        <translation>Download &amp;starten</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
</context>
<context>
    <name>CMainDlg</name>
    <message>
        <source>&amp;Virtual Memory
Switch Manager</source>
        <translation>&amp;Virtueller Speicher-
schalter-Manager</translation>
    </message>
    <message>
        <source>&amp;NV Image Manager</source>
        <translation>&amp;NV-Bild-Manager</translation>
    </message>
    <message>
        <source>Fir&amp;mware Manager</source>
        <translation>Fir&amp;mware-Manager</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Communication Setting</source>
        <translation>Kommunikationseinstellung</translation>
    </message>
    <message>
        <source>&amp;Interface :</source>
        <translation>&amp;Schnittstelle :</translation>
    </message>
    <message>
        <source>&amp;Baud Rate :</source>
        <translation>Baud&amp;rate :</translation>
    </message>
    <message>
        <source>&amp;Data Bits :</source>
        <translation>&amp;Datenbits :</translation>
    </message>
    <message>
        <source>&amp;Stop Bits :</source>
        <translation>S&amp;topbits :</translation>
    </message>
    <message>
        <source>Parit&amp;y :</source>
        <translation>Parit&amp;ät :</translation>
    </message>
    <message>
        <source>&amp;Flow Control :</source>
        <translation>&amp;Flusssteuerung :</translation>
    </message>
</context>
<context>
    <name>CMsrSentinelDlg</name>
    <message>
        <source>Advanced MSR Settings</source>
        <translation>Erweiterte MSR-Einstellungen</translation>
    </message>
    <message>
        <source>Sentinal Option</source>
        <translation>Sentinel-Option</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>Static Sentinal</source>
        <translation>Statischer Sentinel</translation>
    </message>
    <message>
        <source>Dynamic Sentinal</source>
        <translation>Dynamischer Sentinel</translation>
    </message>
    <message>
        <source>Track1 Start Code</source>
        <translation>Spur 1 Startcode</translation>
    </message>
    <message>
        <source>Track1 End Code</source>
        <translation>Spur 1 Endcode</translation>
    </message>
    <message>
        <source>Track2 Start Code</source>
        <translation>Spur 2 Startcode</translation>
    </message>
    <message>
        <source>Track2 End Code</source>
        <translation>Spur 2 Endcode</translation>
    </message>
    <message>
        <source>Track3 Start Code</source>
        <translation>Spur 3 Startcode</translation>
    </message>
    <message>
        <source>Track3 End Code</source>
        <translation>Spur 3 Endcode</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>CNvAddressDlg</name>
    <message>
        <source>NV Image Manager</source>
        <translation>NV-Bild-Manager</translation>
    </message>
    <message>
        <source>Address Code : </source>
        <translation>Adresscode : </translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>CNvImageDlg</name>
    <message>
        <source>NV Image Manager</source>
        <translation>NV-Bild-Manager</translation>
    </message>
    <message>
        <source>Show printed dots</source>
        <translation>Gedruckte Punkte zeigen</translation>
    </message>
    <message>
        <source>Shows the black and white dots the printer will print instead of the colour image</source>
        <translation>Zeigt statt des Farbbilds die schwarzen und weißen Punkte, die der Drucker druckt</translation>
    </message>
    <message>
        <source>Change Color Range</source>
        <translation>Farbbereich ändern</translation>
    </message>
    <message>
        <source>Brightness </source>
        <translation>Helligkeit </translation>
    </message>
    <message>
        <source>Image List</source>
        <translation>Bildliste</translation>
    </message>
    <message>
        <source>Add Image</source>
        <translation>Bild hinzufügen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>Auto Addressing</source>
        <translation>Automatische Adressierung</translation>
    </message>
    <message>
        <source>NV Image List</source>
        <translation>NV-Bildliste</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Print All</source>
        <translation>Alle drucken</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Remove All</source>
        <translation>Alle entfernen</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>CNvProgressDlg</name>
    <message>
        <source>NV Image Manager</source>
        <translation>NV-Bild-Manager</translation>
    </message>
    <message>
        <source>Progressing...</source>
        <translation>Wird bearbeitet...</translation>
    </message>
</context>
<context>
    <name>CSettingsDlg</name>
    <message>
        <source>Virtual Memory Switch Manager</source>
        <translation>Virtueller Speicherschalter-Manager</translation>
    </message>
    <message>
        <source>General Configuration</source>
        <translation>Allgemeine Konfiguration</translation>
    </message>
    <message>
        <source>Printer Configuration</source>
        <translation>Druckerkonfiguration</translation>
    </message>
    <message>
        <source>Printing Density :</source>
        <translation>Druckdichte :</translation>
    </message>
    <message>
        <source>Printing Speed :</source>
        <translation>Druckgeschwindigkeit :</translation>
    </message>
    <message>
        <source>Two-Dimensional Barcode</source>
        <translation>Zweidimensionaler Barcode</translation>
    </message>
    <message>
        <source>PDF417</source>
        <translation>PDF417</translation>
    </message>
    <message>
        <source>Datamatrix</source>
        <translation>Datamatrix</translation>
    </message>
    <message>
        <source>Maxi Code</source>
        <translation>Maxi Code</translation>
    </message>
    <message>
        <source>QR Code</source>
        <translation>QR-Code</translation>
    </message>
    <message>
        <source>Default Code Page :</source>
        <translation>Standard-Codepage :</translation>
    </message>
    <message>
        <source>Printer Service :</source>
        <translation>Druckerbetrieb :</translation>
    </message>
    <message>
        <source>Receipt</source>
        <translation>Beleg</translation>
    </message>
    <message>
        <source>Label</source>
        <translation>Etikett</translation>
    </message>
    <message>
        <source>Default Font Type :</source>
        <translation>Standardschriftart :</translation>
    </message>
    <message>
        <source>A font(12x24)</source>
        <translation>Schrift A(12x24)</translation>
    </message>
    <message>
        <source>B font(9x17)</source>
        <translation>Schrift B(9x17)</translation>
    </message>
    <message>
        <source>C font(9x24)</source>
        <translation>Schrift C(9x24)</translation>
    </message>
    <message>
        <source>Beep For Roll Paper End :</source>
        <translation>Signalton bei Rollenende :</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Ein</translation>
    </message>
    <message>
        <source>Beep Mode For Low Battery Status :</source>
        <translation>Signalton bei schwachem Akku :</translation>
    </message>
    <message>
        <source>Double Byte Character Mode :</source>
        <translation>Doppelbyte-Zeichenmodus :</translation>
    </message>
    <message>
        <source>Black Mark Sensor :</source>
        <translation>Schwarzmarkensensor :</translation>
    </message>
    <message>
        <source>Front</source>
        <translation>Vorne</translation>
    </message>
    <message>
        <source>Rear</source>
        <translation>Hinten</translation>
    </message>
    <message>
        <source>Auto Power Off Time : 
(Not Connected) </source>
        <translation>Automatische Abschaltzeit : 
(Nicht verbunden) </translation>
    </message>
    <message>
        <source>min
(1~90 ex&gt; 30)</source>
        <translation>Min.
(1~90 z. B. 30)</translation>
    </message>
    <message>
        <source>Auto Power Saving Time :
(Connected) </source>
        <translation>Automatische Energiesparzeit :
(Verbunden) </translation>
    </message>
    <message>
        <source>sec
(10~255 ex&gt; 100)</source>
        <translation>Sek.
(10~255 z. B. 100)</translation>
    </message>
    <message>
        <source>MSR Configuration</source>
        <translation>MSR-Konfiguration</translation>
    </message>
    <message>
        <source>MSR Trigger :</source>
        <translation>MSR-Auslöser :</translation>
    </message>
    <message>
        <source>Advance</source>
        <translation>Erweitert</translation>
    </message>
    <message>
        <source>Serial Interface Configuration</source>
        <translation>Konfiguration der seriellen Schnittstelle</translation>
    </message>
    <message>
        <source>Baud Rate :</source>
        <translation>Baudrate :</translation>
    </message>
    <message>
        <source>Data Bits :</source>
        <translation>Datenbits :</translation>
    </message>
    <message>
        <source>Parity :</source>
        <translation>Parität :</translation>
    </message>
    <message>
        <source>Flow Control :</source>
        <translation>Flusssteuerung :</translation>
    </message>
    <message>
        <source>RF Interface Configuration</source>
        <translation>Konfiguration der Funkschnittstelle</translation>
    </message>
    <message>
        <source>Select RF Interface Type</source>
        <translation>Typ der Funkschnittstelle wählen</translation>
    </message>
    <message>
        <source>Enable Bluetooth Setting</source>
        <translation>Bluetooth-Einstellung aktivieren</translation>
    </message>
    <message>
        <source>Bluetooth Interface Configuration</source>
        <translation>Konfiguration der Bluetooth-Schnittstelle</translation>
    </message>
    <message>
        <source>Authentication &amp;&amp; Encryption :</source>
        <translation>Authentifizierung &amp;&amp; Verschlüsselung :</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>Deaktivieren</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Aktivieren</translation>
    </message>
    <message>
        <source>Connection Mode :</source>
        <translation>Verbindungsmodus :</translation>
    </message>
    <message>
        <source>Mode 1</source>
        <translation>Modus 1</translation>
    </message>
    <message>
        <source>Mode 2</source>
        <translation>Modus 2</translation>
    </message>
    <message>
        <source>Mode 3</source>
        <translation>Modus 3</translation>
    </message>
    <message>
        <source>PIN Code :</source>
        <translation>PIN-Code :</translation>
    </message>
    <message>
        <source>Printer Name :</source>
        <translation>Druckername :</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>CStatusDlg</name>
    <message>
        <source>Get Status</source>
        <translation>Status lesen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>StringTable</name>
    <message>
        <source>&amp;About Printdeck</source>
        <translation>&amp;Über Printdeck</translation>
    </message>
    <message>
        <source> * Select Menu <byte value="xd"/>
 This application is Printdeck. You can change communication setting, code page and download NV image, etc.</source>
        <translation> * Menü wählen <byte value="xd"/>
 Dies ist Printdeck. Sie können die Kommunikationseinstellung und die Codepage ändern, NV-Bilder herunterladen usw.</translation>
    </message>
    <message>
        <source>Printdeck for PC V2.2.3</source>
        <translation>Printdeck für PC V2.2.3</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Anschluss</translation>
    </message>
    <message>
        <source>print density</source>
        <translation>Druckdichte</translation>
    </message>
    <message>
        <source>PC437 - USA, Standard Europe</source>
        <translation>PC437 - USA, Standard Europa</translation>
    </message>
    <message>
        <source>Katakana</source>
        <translation>Katakana</translation>
    </message>
    <message>
        <source>PC850 - Multilingual</source>
        <translation>PC850 - Mehrsprachig</translation>
    </message>
    <message>
        <source>PC860 - Portuguese</source>
        <translation>PC860 - Portugiesisch</translation>
    </message>
    <message>
        <source>PC863 - Canadian-French</source>
        <translation>PC863 - Kanadisch-Französisch</translation>
    </message>
    <message>
        <source>PC865 - Nordic</source>
        <translation>PC865 - Nordisch</translation>
    </message>
    <message>
        <source>WPC1252 - Latin I</source>
        <translation>WPC1252 - Latein I</translation>
    </message>
    <message>
        <source>PC866 - Cyrillic #2</source>
        <translation>PC866 - Kyrillisch #2</translation>
    </message>
    <message>
        <source>PC852 - Latin 2</source>
        <translation>PC852 - Latein 2</translation>
    </message>
    <message>
        <source>PC858 - Euro</source>
        <translation>PC858 - Euro</translation>
    </message>
    <message>
        <source>PC862 - Hebrew DOS code</source>
        <translation>PC862 - Hebräisch (DOS-Code)</translation>
    </message>
    <message>
        <source>PC864 - Arabic</source>
        <translation>PC864 - Arabisch</translation>
    </message>
    <message>
        <source>Thai character code 42</source>
        <translation>Thai-Zeichencode 42</translation>
    </message>
    <message>
        <source>WPC1253 - Greek</source>
        <translation>WPC1253 - Griechisch</translation>
    </message>
    <message>
        <source>WPC1254 - Turkish</source>
        <translation>WPC1254 - Türkisch</translation>
    </message>
    <message>
        <source>WPC1257 - Baltic</source>
        <translation>WPC1257 - Baltisch</translation>
    </message>
    <message>
        <source>Farsi</source>
        <translation>Farsi</translation>
    </message>
    <message>
        <source>WPC1251 - Cyrillic</source>
        <translation>WPC1251 - Kyrillisch</translation>
    </message>
    <message>
        <source>PC737 - Greek</source>
        <translation>PC737 - Griechisch</translation>
    </message>
    <message>
        <source>PC775 - Baltic</source>
        <translation>PC775 - Baltisch</translation>
    </message>
    <message>
        <source>Thai character code 14</source>
        <translation>Thai-Zeichencode 14</translation>
    </message>
    <message>
        <source>Reserved</source>
        <translation>Reserviert</translation>
    </message>
    <message>
        <source>WPC1255 - Hebrew new code</source>
        <translation>WPC1255 - Hebräisch (neuer Code)</translation>
    </message>
    <message>
        <source>Thai character code 11</source>
        <translation>Thai-Zeichencode 11</translation>
    </message>
    <message>
        <source>Thai character code 18</source>
        <translation>Thai-Zeichencode 18</translation>
    </message>
    <message>
        <source>PC855 - Cyrillic</source>
        <translation>PC855 - Kyrillisch</translation>
    </message>
    <message>
        <source>PC857 - Turkish</source>
        <translation>PC857 - Türkisch</translation>
    </message>
    <message>
        <source>PC928 - Greek</source>
        <translation>PC928 - Griechisch</translation>
    </message>
    <message>
        <source>Thai character code 16</source>
        <translation>Thai-Zeichencode 16</translation>
    </message>
    <message>
        <source>WPC1256 - Arabic</source>
        <translation>WPC1256 - Arabisch</translation>
    </message>
    <message>
        <source>WPC1258 - Vietnamese</source>
        <translation>WPC1258 - Vietnamesisch</translation>
    </message>
    <message>
        <source>KHMER</source>
        <translation>KHMER</translation>
    </message>
    <message>
        <source>WPC1250 - Latin 2</source>
        <translation>WPC1250 - Latein 2</translation>
    </message>
    <message>
        <source>Track 1/2 read mode command</source>
        <translation>Spur 1/2 lesen, per Befehl</translation>
    </message>
    <message>
        <source>Track 2/3 read mode command</source>
        <translation>Spur 2/3 lesen, per Befehl</translation>
    </message>
    <message>
        <source>Track 1 read mode AUTO trigger</source>
        <translation>Spur 1 lesen, AUTO-Auslösung</translation>
    </message>
    <message>
        <source>Track 2 read mode AUTO trigger</source>
        <translation>Spur 2 lesen, AUTO-Auslösung</translation>
    </message>
    <message>
        <source>Track 1/2 read mode AUTO trigger</source>
        <translation>Spur 1/2 lesen, AUTO-Auslösung</translation>
    </message>
    <message>
        <source>Track 3 read mode AUTO trigger</source>
        <translation>Spur 3 lesen, AUTO-Auslösung</translation>
    </message>
    <message>
        <source>Track 2/3 read mode AUTO trigger</source>
        <translation>Spur 2/3 lesen, AUTO-Auslösung</translation>
    </message>
    <message>
        <source>Not used MSR trigger</source>
        <translation>MSR-Auslösung nicht verwendet</translation>
    </message>
    <message>
        <source>Track 1/2/3 read mode command</source>
        <translation>Spur 1/2/3 lesen, per Befehl</translation>
    </message>
    <message>
        <source>Track 1/2/3 read mode AUTO trigger</source>
        <translation>Spur 1/2/3 lesen, AUTO-Auslösung</translation>
    </message>
    <message>
        <source>font</source>
        <translation>Schrift</translation>
    </message>
    <message>
        <source>Disable All</source>
        <translation>Alle deaktivieren</translation>
    </message>
    <message>
        <source>Bluetooth</source>
        <translation>Bluetooth</translation>
    </message>
    <message>
        <source>WLAN</source>
        <translation>WLAN</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>Nr.</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Invalid value!</source>
        <translation>Ungültiger Wert!</translation>
    </message>
    <message>
        <source>Exists address!</source>
        <translation>Adresse existiert bereits!</translation>
    </message>
    <message>
        <source>NV image area too small!</source>
        <translation>NV-Bildbereich zu klein!</translation>
    </message>
    <message>
        <source>Failed to load image file!</source>
        <translation>Bilddatei konnte nicht geladen werden!</translation>
    </message>
    <message>
        <source>Without a BMP file being selected.</source>
        <translation>Es ist keine BMP-Datei ausgewählt.</translation>
    </message>
    <message>
        <source>Do you want to remove all of selection?</source>
        <translation>Möchten Sie alle ausgewählten Einträge entfernen?</translation>
    </message>
    <message>
        <source>Please select address!</source>
        <translation>Bitte eine Adresse wählen!</translation>
    </message>
    <message>
        <source>Cancel to download image.</source>
        <translation>Bild-Download abgebrochen.</translation>
    </message>
    <message>
        <source>Saving print files are finished.</source>
        <translation>Die Druckdateien wurden gespeichert.</translation>
    </message>
    <message>
        <source>Printdeck</source>
        <translation>Printdeck</translation>
    </message>
    <message>
        <source>Failed to save VMSM configuration!<byte value="xd"/>
Please check your printer state.</source>
        <translation>VMSM-Konfiguration konnte nicht gespeichert werden!<byte value="xd"/>
Bitte prüfen Sie den Zustand des Druckers.</translation>
    </message>
    <message>
        <source>Success to set VMSM configuration! <byte value="xd"/>
Please reset printer power.</source>
        <translation>VMSM-Konfiguration erfolgreich gesetzt! <byte value="xd"/>
Bitte den Drucker aus- und wieder einschalten.</translation>
    </message>
    <message>
        <source>Not connected USB printer!</source>
        <translation>Kein USB-Drucker angeschlossen!</translation>
    </message>
    <message>
        <source>If you choose more than 2 types of 2D barcodes,<byte value="xd"/>
 it may take longer to boot the printer.</source>
        <translation>Wenn Sie mehr als 2 Arten von 2D-Barcodes wählen,<byte value="xd"/>
 kann der Drucker länger zum Starten brauchen.</translation>
    </message>
    <message>
        <source>Download process is stoped...</source>
        <translation>Download wurde angehalten...</translation>
    </message>
    <message>
        <source>Print selected NV image...</source>
        <translation>Ausgewähltes NV-Bild drucken...</translation>
    </message>
    <message>
        <source>Print all NV image...</source>
        <translation>Alle NV-Bilder drucken...</translation>
    </message>
    <message>
        <source>Port open error!</source>
        <translation>Fehler beim Öffnen des Anschlusses!</translation>
    </message>
    <message>
        <source>Open port...</source>
        <translation>Anschluss öffnen...</translation>
    </message>
    <message>
        <source>Printer model is not matched!</source>
        <translation>Druckermodell passt nicht!</translation>
    </message>
    <message>
        <source>Check printer...</source>
        <translation>Drucker prüfen...</translation>
    </message>
    <message>
        <source>Failed to get printer version!</source>
        <translation>Druckerversion konnte nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read NV image address!</source>
        <translation>NV-Bildadressen konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Get NV image address...</source>
        <translation>NV-Bildadressen lesen...</translation>
    </message>
    <message>
        <source>Delete selected NV image...</source>
        <translation>Ausgewähltes NV-Bild löschen...</translation>
    </message>
    <message>
        <source> Failed to write data!<byte value="xd"/>
Please check your printer.</source>
        <translation> Daten konnten nicht geschrieben werden!<byte value="xd"/>
Bitte prüfen Sie Ihren Drucker.</translation>
    </message>
    <message>
        <source> Not supported operation!</source>
        <translation> Vorgang wird nicht unterstützt!</translation>
    </message>
    <message>
        <source>Delete all NV image...</source>
        <translation>Alle NV-Bilder löschen...</translation>
    </message>
    <message>
        <source>Start download...</source>
        <translation>Download beginnt...</translation>
    </message>
    <message>
        <source> Downloading...</source>
        <translation> Download läuft...</translation>
    </message>
    <message>
        <source>Finish download...</source>
        <translation>Download wird beendet...</translation>
    </message>
    <message>
        <source>Get status</source>
        <translation>Status lesen</translation>
    </message>
    <message>
        <source>Set status</source>
        <translation>Status setzen</translation>
    </message>
    <message>
        <source>Failed to set factory default!</source>
        <translation>Werkseinstellungen konnten nicht gesetzt werden!</translation>
    </message>
    <message>
        <source>Failed to get code page!</source>
        <translation>Codepage konnte nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to get MSR mode!</source>
        <translation>MSR-Modus konnte nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read SW1 data!</source>
        <translation>SW1-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read SW2 data!</source>
        <translation>SW2-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read SW3 data!</source>
        <translation>SW3-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read SW5 data!</source>
        <translation>SW5-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read SW6 data!</source>
        <translation>SW6-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read SW7 data!</source>
        <translation>SW7-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read SW51 data!</source>
        <translation>SW51-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read IFSW1 data!</source>
        <translation>IFSW1-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read IFSW2 data!</source>
        <translation>IFSW2-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read IFSW3 data!</source>
        <translation>IFSW3-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read IFSW4 data!</source>
        <translation>IFSW4-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read track1 sentinal code!</source>
        <translation>Sentinel-Code von Spur 1 konnte nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read track2 sentinal code!</source>
        <translation>Sentinel-Code von Spur 2 konnte nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read track3 sentinal code!</source>
        <translation>Sentinel-Code von Spur 3 konnte nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to set sentinal character of track1!</source>
        <translation>Sentinel-Zeichen von Spur 1 konnte nicht gesetzt werden!</translation>
    </message>
    <message>
        <source>Failed to set sentinal character of track2!</source>
        <translation>Sentinel-Zeichen von Spur 2 konnte nicht gesetzt werden!</translation>
    </message>
    <message>
        <source>Failed to set sentinal character of track3!</source>
        <translation>Sentinel-Zeichen von Spur 3 konnte nicht gesetzt werden!</translation>
    </message>
    <message>
        <source>Failed to read Bluetooth connection mode!</source>
        <translation>Bluetooth-Verbindungsmodus konnte nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read Bluetooth device name!</source>
        <translation>Bluetooth-Gerätename konnte nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read Bluetooth PIN code!</source>
        <translation>Bluetooth-PIN konnte nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read Bluetooth encryption infomation!</source>
        <translation>Bluetooth-Verschlüsselungsangaben konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read MSW1 data!</source>
        <translation>MSW1-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read MSW2 data!</source>
        <translation>MSW2-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read MSW3 data!</source>
        <translation>MSW3-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read MSW5 data!</source>
        <translation>MSW5-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read MSW6 data!</source>
        <translation>MSW6-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read MSW7 data!</source>
        <translation>MSW7-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to read MSW8 data!</source>
        <translation>MSW8-Daten konnten nicht gelesen werden!</translation>
    </message>
    <message>
        <source>Failed to set initial command!</source>
        <translation>Startbefehl konnte nicht gesetzt werden!</translation>
    </message>
    <message>
        <source>Failed to set Bluetooth infomation!</source>
        <translation>Bluetooth-Angaben konnten nicht gesetzt werden!</translation>
    </message>
    <message>
        <source>Failed to set RF Interface!</source>
        <translation>Funkschnittstelle konnte nicht gesetzt werden!</translation>
    </message>
    <message>
        <source>Failed to write setting end command!</source>
        <translation>Befehl zum Beenden der Einstellung konnte nicht geschrieben werden!</translation>
    </message>
    <message>
        <source>Failed to set serial infomation!</source>
        <translation>Serielle Angaben konnten nicht gesetzt werden!</translation>
    </message>
    <message>
        <source>Completed.</source>
        <translation>Abgeschlossen.</translation>
    </message>
    <message>
        <source>NONE</source>
        <translation>KEINE</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>ASCII (ex: \&quot;START(1)\&quot;)</source>
        <translation>ASCII (z. B.: \&quot;START(1)\&quot;)</translation>
    </message>
    <message>
        <source>HEXA (ex: \&quot;0A 1F 10 4C\&quot;)</source>
        <translation>HEXA (z. B.: \&quot;0A 1F 10 4C\&quot;)</translation>
    </message>
    <message>
        <source>Virtual Memory Switch Manager</source>
        <translation>Virtueller Speicherschalter-Manager</translation>
    </message>
    <message>
        <source>NV Image Manager</source>
        <translation>NV-Bild-Manager</translation>
    </message>
</context>
<context>
    <name>printdeck::CMainDlg</name>
    <message>
        <source>I&amp;P : </source>
        <translation>I&amp;P : </translation>
    </message>
    <message>
        <source>The connection settings could not be stored in %1.</source>
        <translation>Die Verbindungseinstellungen konnten nicht in %1 gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>printdeck::CNvImageDlg</name>
    <message>
        <source>%1 Bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <source>&lt;Images: %1/%2 - Memory: %3/%4 (Byte)&gt;</source>
        <translation>&lt;Bilder: %1/%2 - Speicher: %3/%4 (Byte)&gt;</translation>
    </message>
</context>
<context>
    <name>printdeck::CNvProgressDlg</name>
    <message>
        <source>Progressing...</source>
        <translation>Wird bearbeitet...</translation>
    </message>
</context>
<context>
    <name>printdeck::CSettingsDlg</name>
    <message>
        <source>Please enter an integer.</source>
        <translation>Bitte geben Sie eine ganze Zahl ein.</translation>
    </message>
    <message>
        <source>Please enter an integer between 0 and %1.</source>
        <translation>Bitte geben Sie eine ganze Zahl zwischen 0 und %1 ein.</translation>
    </message>
    <message>
        <source>Enter no more than %1 characters.</source>
        <translation>Geben Sie höchstens %1 Zeichen ein.</translation>
    </message>
</context>
</TS>
