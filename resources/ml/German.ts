<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>AuthorizeDirectory</name>
    <message>
        <source>Authorize Directory</source>
        <translation>Ordner freigeben</translation>
    </message>
    <message>
        <source>Not authorized directory:</source>
        <translation>Nicht freigegebener Ordner:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Authorize</source>
        <translation>Freigeben</translation>
    </message>
    <message>
        <source>Please select the authorized directory!</source>
        <translation>Bitte wählen Sie den freizugebenden Ordner!</translation>
    </message>
    <message>
        <source>Authorization directory failed!</source>
        <translation>Freigabe des Ordners fehlgeschlagen!</translation>
    </message>
</context>
<context>
    <name>BackupToFTPDialog</name>
    <message>
        <source>FTP Servers</source>
        <translation>FTP-Server</translation>
    </message>
    <message>
        <source>Sever Name</source>
        <translation>Servername</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Working Folder</source>
        <translation>Arbeitsordner</translation>
    </message>
    <message>
        <source>Server Folder </source>
        <translation>Serverordner </translation>
    </message>
    <message>
        <source>Server Name:</source>
        <translation>Servername:</translation>
    </message>
    <message>
        <source>Encode:</source>
        <translation>Kodierung:</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Benutzer:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>FTP Path:</source>
        <translation>FTP-Pfad:</translation>
    </message>
    <message>
        <source>Connect server successfully, Please select a server folder!</source>
        <translation>Nach dem Verbinden bitte einen Serverordner wählen!</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Durchsuchen</translation>
    </message>
    <message>
        <source>Local Path:</source>
        <translation>Lokaler Pfad:</translation>
    </message>
    <message>
        <source>Please select a working folder!</source>
        <translation>Bitte wählen Sie einen Arbeitsordner!</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>FTP-Server</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Trennen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Local ftp server has started!</source>
        <translation>Der lokale FTP-Server läuft!</translation>
    </message>
    <message>
        <source>Local ftp server is not started!</source>
        <translation>Der lokale FTP-Server läuft nicht!</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Verbunden</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Getrennt</translation>
    </message>
    <message>
        <source>Connection success!</source>
        <translation>Verbindung hergestellt!</translation>
    </message>
    <message>
        <source>Disconnect from the server!</source>
        <translation>Vom Server getrennt!</translation>
    </message>
    <message>
        <source>Please fill in the server information, click the connect button!</source>
        <translation>Bitte Serverdaten eingeben und auf „Verbinden“ klicken!</translation>
    </message>
    <message>
        <source>Incomplete information!</source>
        <translation>Angaben unvollständig!</translation>
    </message>
    <message>
        <source>Please enter the IP address or host name of the server!</source>
        <translation>Bitte IP-Adresse oder Hostnamen des Servers eingeben!</translation>
    </message>
    <message>
        <source>Please enter the port of the server!</source>
        <translation>Bitte den Port des Servers eingeben!</translation>
    </message>
    <message>
        <source>Please enter the user name!</source>
        <translation>Bitte den Benutzernamen eingeben!</translation>
    </message>
    <message>
        <source>Please enter the password!</source>
        <translation>Bitte das Passwort eingeben!</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>Der Port muss eine Zahl von 1 bis 65535 sein!</translation>
    </message>
    <message>
        <source>Encryption:</source>
        <translation>Verschlüsselung:</translation>
    </message>
    <message>
        <source>Only plain FTP</source>
        <translation>Nur unverschlüsseltes FTP</translation>
    </message>
    <message>
        <source>Use explicit FTP over TLS if available</source>
        <translation>Explizites FTP über TLS verwenden, wenn verfügbar</translation>
    </message>
    <message>
        <source>Require explicit FTP over TLS</source>
        <translation>Explizites FTP über TLS verlangen</translation>
    </message>
</context>
<context>
    <name>FTPClient</name>
    <message>
        <source>Reply line too long; connection closed.</source>
        <translation>Antwortzeile zu lang; Verbindung geschlossen.</translation>
    </message>
    <message>
        <source>No reply from the server in time; connection closed.</source>
        <translation>Keine rechtzeitige Antwort vom Server; Verbindung geschlossen.</translation>
    </message>
    <message>
        <source>The server did not greet in time.</source>
        <translation>Der Server hat sich nicht rechtzeitig gemeldet.</translation>
    </message>
    <message>
        <source>Compare finish, Total:</source>
        <translation>Vergleich beendet, gesamt:</translation>
    </message>
    <message>
        <source>, Same:</source>
        <translation>, gleich:</translation>
    </message>
    <message>
        <source>501 Rename not sent: the new name holds a line break or NUL character.</source>
        <translation>501 Umbenennen nicht gesendet: Der neue Name enthält einen Zeilenumbruch oder ein NUL-Zeichen.</translation>
    </message>
    <message>
        <source>Delete Finish, Total: </source>
        <translation>Löschen beendet, gesamt: </translation>
    </message>
    <message>
        <source> Success: </source>
        <translation> erfolgreich: </translation>
    </message>
    <message>
        <source>Dowload Finish, Total: </source>
        <translation>Download beendet, gesamt: </translation>
    </message>
    <message>
        <source>Upload Finish, Total: </source>
        <translation>Upload beendet, gesamt: </translation>
    </message>
    <message>
        <source>Empty!</source>
        <translation>Leer!</translation>
    </message>
    <message>
        <source>Data connection cut: less than 1 KiB moved in %1 s.</source>
        <translation>Datenverbindung getrennt: weniger als 1 KiB in %1 s übertragen.</translation>
    </message>
    <message>
        <source>Listing cut: it passed %1 bytes.</source>
        <translation>Auflistung abgeschnitten: mehr als %1 Byte.</translation>
    </message>
    <message>
        <source>The folder could not be entered.</source>
        <translation>Der Ordner konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>TLS on the data connection failed: %1</source>
        <translation>TLS auf der Datenverbindung fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>The server refused AUTH TLS (%1); encryption is required, so the password was not sent.</source>
        <translation>Der Server hat AUTH TLS abgelehnt (%1); Verschlüsselung ist verlangt, daher wurde das Passwort nicht gesendet.</translation>
    </message>
    <message>
        <source>The server offers no FTP over TLS; logging in without encryption.</source>
        <translation>Der Server bietet kein FTP über TLS an; Anmeldung ohne Verschlüsselung.</translation>
    </message>
    <message>
        <source>TLS connection established: %1, %2.</source>
        <translation>TLS-Verbindung hergestellt: %1, %2.</translation>
    </message>
    <message>
        <source>WARNING: the certificate of %1 port %2 is not the one you trusted; connection refused. New SHA-256 fingerprint: %3</source>
        <translation>WARNUNG: Das Zertifikat von %1 Port %2 ist nicht das, dem Sie vertraut haben; Verbindung abgelehnt. Neuer SHA-256-Fingerabdruck: %3</translation>
    </message>
    <message>
        <source>The certificate of %1 port %2 is not trusted (%3); connection refused. SHA-256 fingerprint: %4</source>
        <translation>Dem Zertifikat von %1 Port %2 wird nicht vertraut (%3); Verbindung abgelehnt. SHA-256-Fingerabdruck: %4</translation>
    </message>
    <message>
        <source>The TLS handshake failed: %1</source>
        <translation>Der TLS-Handshake ist fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>The server refused to encrypt data connections (%1); connection closed.</source>
        <translation>Der Server lehnt verschlüsselte Datenverbindungen ab (%1); Verbindung geschlossen.</translation>
    </message>
    <message>
        <source>The data connection presented another certificate; it was refused.</source>
        <translation>Die Datenverbindung zeigte ein anderes Zertifikat; sie wurde abgelehnt.</translation>
    </message>
</context>
<context>
    <name>FTPCommandDlg</name>
    <message>
        <source>Ftp Command</source>
        <translation>FTP-Befehl</translation>
    </message>
    <message>
        <source>Command:</source>
        <translation>Befehl:</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>Ausführen</translation>
    </message>
</context>
<context>
    <name>KChmodDlg</name>
    <message>
        <source>Set Attribute</source>
        <translation>Attribute setzen</translation>
    </message>
    <message>
        <source>Change sub-files and sub-folders</source>
        <translation>Unterdateien und Unterordner ändern</translation>
    </message>
    <message>
        <source>Change sub-files</source>
        <translation>Unterdateien ändern</translation>
    </message>
    <message>
        <source>Change sub-folders</source>
        <translation>Unterordner ändern</translation>
    </message>
    <message>
        <source>Owner</source>
        <translation>Besitzer</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Lesen</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Schreiben</translation>
    </message>
    <message>
        <source>Execute</source>
        <translation>Ausführen</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>Public</source>
        <translation>Öffentlich</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Ändern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>KLanguageDialog</name>
    <message>
        <source>Choose a language</source>
        <translation>Sprache wählen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Englisch</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>Chinesisch</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Französisch</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Deutsch</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>Italienisch</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Japanisch</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>Koreanisch</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Russisch</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Spanisch</translation>
    </message>
</context>
<context>
    <name>KTCertificateDialog</name>
    <message>
        <source>Server certificate</source>
        <translation>Serverzertifikat</translation>
    </message>
    <message>
        <source>WARNING: %1 port %2 presents a different certificate from the one you trusted. Someone may be intercepting the connection. Trust the new one only if you know why it changed.</source>
        <translation>WARNUNG: %1 Port %2 zeigt ein anderes Zertifikat als das, dem Sie vertraut haben. Möglicherweise fängt jemand die Verbindung ab. Vertrauen Sie dem neuen nur, wenn Sie wissen, warum es sich geändert hat.</translation>
    </message>
    <message>
        <source>No known authority vouches for the certificate of %1 port %2.</source>
        <translation>Keine bekannte Zertifizierungsstelle bürgt für das Zertifikat von %1 Port %2.</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>Inhaber:</translation>
    </message>
    <message>
        <source>Issuer:</source>
        <translation>Aussteller:</translation>
    </message>
    <message>
        <source>Valid from:</source>
        <translation>Gültig ab:</translation>
    </message>
    <message>
        <source>Valid until:</source>
        <translation>Gültig bis:</translation>
    </message>
    <message>
        <source>SHA-256 fingerprint:</source>
        <translation>SHA-256-Fingerabdruck:</translation>
    </message>
    <message>
        <source>Problem:</source>
        <translation>Problem:</translation>
    </message>
    <message>
        <source>Trust this certificate always</source>
        <translation>Diesem Zertifikat immer vertrauen</translation>
    </message>
    <message>
        <source>Only this time</source>
        <translation>Nur dieses Mal</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>KTDUFile</name>
    <message>
        <source>undowload</source>
        <translation>Wartet</translation>
    </message>
    <message>
        <source>dowloading</source>
        <translation>Lädt herunter</translation>
    </message>
    <message>
        <source>dowloaded</source>
        <translation>Heruntergeladen</translation>
    </message>
    <message>
        <source>dowloadError</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>unupload</source>
        <translation>Wartet</translation>
    </message>
    <message>
        <source>uploading</source>
        <translation>Lädt hoch</translation>
    </message>
    <message>
        <source>uploaded</source>
        <translation>Hochgeladen</translation>
    </message>
    <message>
        <source>uploadError</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Same</source>
        <translation>Gleich</translation>
    </message>
    <message>
        <source>Different</source>
        <translation>Verschieden</translation>
    </message>
    <message>
        <source>finish</source>
        <translation>Fertig</translation>
    </message>
</context>
<context>
    <name>KTDelInfo</name>
    <message>
        <source>undelete</source>
        <translation>Wartet</translation>
    </message>
    <message>
        <source>deteting</source>
        <translation>Wird gelöscht</translation>
    </message>
    <message>
        <source>delallfile</source>
        <translation>Dateien gelöscht</translation>
    </message>
    <message>
        <source>delfolder</source>
        <translation>Ordner wird gelöscht</translation>
    </message>
    <message>
        <source>deteted</source>
        <translation>Gelöscht</translation>
    </message>
    <message>
        <source>unknow</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>error</source>
        <translation>Fehler</translation>
    </message>
</context>
<context>
    <name>KTNewFolder</name>
    <message>
        <source>New Folder</source>
        <translation>Neuer Ordner</translation>
    </message>
    <message>
        <source>Please enter the folder name!</source>
        <translation>Bitte den Ordnernamen eingeben!</translation>
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
<context>
    <name>MaiDialog</name>
    <message>
        <source>FTP Torvex</source>
        <translation>FTP Torvex</translation>
    </message>
    <message>
        <source>Sites</source>
        <translation>Sites</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Upload</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>FTP-Server</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Date Time</source>
        <translation>Datum/Uhrzeit</translation>
    </message>
    <message>
        <source>Attrib</source>
        <translation>Attribute</translation>
    </message>
    <message>
        <source>Local Path</source>
        <translation>Lokaler Pfad</translation>
    </message>
    <message>
        <source>Server Path</source>
        <translation>Serverpfad</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Downloading file from server!</source>
        <translation>Dateien werden vom Server heruntergeladen!</translation>
    </message>
    <message>
        <source>Uploading files to server!</source>
        <translation>Dateien werden auf den Server hochgeladen!</translation>
    </message>
    <message>
        <source>Deleting file!</source>
        <translation>Dateien werden gelöscht!</translation>
    </message>
    <message>
        <source>Changing file name!</source>
        <translation>Dateiname wird geändert!</translation>
    </message>
    <message>
        <source>Creating new folder!</source>
        <translation>Neuer Ordner wird erstellt!</translation>
    </message>
    <message>
        <source>Changing file attributes!</source>
        <translation>Dateiattribute werden geändert!</translation>
    </message>
    <message>
        <source>Comparing files!</source>
        <translation>Dateien werden verglichen!</translation>
    </message>
    <message>
        <source>Download file is completed!</source>
        <translation>Download abgeschlossen!</translation>
    </message>
    <message>
        <source>Upload file is completed!</source>
        <translation>Upload abgeschlossen!</translation>
    </message>
    <message>
        <source>Delete files completed!</source>
        <translation>Löschen abgeschlossen!</translation>
    </message>
    <message>
        <source>Modify the file is completed!</source>
        <translation>Änderung abgeschlossen!</translation>
    </message>
    <message>
        <source>Change the file attributes completed!</source>
        <translation>Attribute geändert!</translation>
    </message>
    <message>
        <source>Compare files completed!</source>
        <translation>Vergleich abgeschlossen!</translation>
    </message>
    <message>
        <source>Last operation not completed!</source>
        <translation>Der letzte Vorgang ist noch nicht abgeschlossen!</translation>
    </message>
    <message>
        <source>Not connected to the server!</source>
        <translation>Nicht mit dem Server verbunden!</translation>
    </message>
    <message>
        <source>Connected to the server!</source>
        <translation>Mit dem Server verbunden!</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Trennen</translation>
    </message>
    <message>
        <source>Stopping!</source>
        <translation>Wird angehalten!</translation>
    </message>
    <message>
        <source>No command to run!</source>
        <translation>Kein Befehl auszuführen!</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>Fortsetzen</translation>
    </message>
    <message>
        <source>Download has stopped!</source>
        <translation>Download angehalten!</translation>
    </message>
    <message>
        <source>Upload has stopped!</source>
        <translation>Upload angehalten!</translation>
    </message>
    <message>
        <source>Comparison has stopped!</source>
        <translation>Vergleich angehalten!</translation>
    </message>
    <message>
        <source>T</source>
        <translation>T</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Neuer Ordner</translation>
    </message>
    <message>
        <source>In folder</source>
        <translation>Im Ordner zeigen</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Vergleichen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Dowload</source>
        <translation>Herunterladen</translation>
    </message>
    <message>
        <source>Move to ...</source>
        <translation>Verschieben nach …</translation>
    </message>
    <message>
        <source>Attributes</source>
        <translation>Attribute</translation>
    </message>
    <message>
        <source>Retry Errors</source>
        <translation>Fehler wiederholen</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>You did not choose any files or directories!</source>
        <translation>Sie haben keine Dateien oder Ordner ausgewählt!</translation>
    </message>
    <message>
        <source>Delete the selected files and folders from the server?</source>
        <translation>Die ausgewählten Dateien und Ordner vom Server löschen?</translation>
    </message>
    <message>
        <source>You at least choose a file or folder!</source>
        <translation>Wählen Sie mindestens eine Datei oder einen Ordner!</translation>
    </message>
    <message>
        <source>Please select the file or directory with the same name!</source>
        <translation>Bitte wählen Sie die gleichnamige Datei bzw. den gleichnamigen Ordner!</translation>
    </message>
    <message>
        <source>Wrong choice, Please choose the same name file or folder!</source>
        <translation>Falsche Auswahl, bitte wählen Sie gleichnamige Dateien oder Ordner!</translation>
    </message>
    <message>
        <source>Failed to create a temporary directory!</source>
        <translation>Temporärer Ordner konnte nicht erstellt werden!</translation>
    </message>
    <message>
        <source>Delete permanently?</source>
        <translation>Endgültig löschen?</translation>
    </message>
    <message>
        <source>Elapsed:</source>
        <translation>Vergangen:</translation>
    </message>
    <message>
        <source>Remaining:</source>
        <translation>Verbleibend:</translation>
    </message>
    <message>
        <source>The connection is encrypted (FTP over TLS).</source>
        <translation>Die Verbindung ist verschlüsselt (FTP über TLS).</translation>
    </message>
</context>
<context>
    <name>RenameDialog</name>
    <message>
        <source>Rename Dialog</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Please enter a new name:</source>
        <translation>Bitte neuen Namen eingeben:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>ServerDirTree</name>
    <message>
        <source>Choose the path</source>
        <translation>Pfad wählen</translation>
    </message>
    <message>
        <source>Please choose the file path!</source>
        <translation>Bitte den Pfad wählen!</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Neuer Ordner</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Please select the folder!</source>
        <translation>Bitte einen Ordner wählen!</translation>
    </message>
</context>
<context>
    <name>StartFTPDialog</name>
    <message>
        <source>Start the ftp server</source>
        <translation>FTP-Server starten</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Path:</source>
        <translation>Pfad:</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Durchsuchen</translation>
    </message>
    <message>
        <source>Stop the ftp server</source>
        <translation>FTP-Server anhalten</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Benutzer:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Onine</source>
        <translation>Online</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>&lt;br&gt;Please select the working folder!</source>
        <translation>&lt;br&gt;Bitte den Arbeitsordner wählen!</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>Der Port muss eine Zahl von 1 bis 65535 sein!</translation>
    </message>
    <message>
        <source>You did not choose user information!</source>
        <translation>Sie haben keinen Benutzer ausgewählt!</translation>
    </message>
    <message>
        <source>FTP server has started.</source>
        <translation>Der FTP-Server läuft.</translation>
    </message>
    <message>
        <source>FTP server did not start.</source>
        <translation>Der FTP-Server konnte nicht starten.</translation>
    </message>
</context>
</TS>
