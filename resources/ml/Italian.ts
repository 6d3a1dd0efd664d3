<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it" sourcelanguage="en">
<context>
    <name>AuthorizeDirectory</name>
    <message>
        <source>Authorize Directory</source>
        <translation>Autorizza cartella</translation>
    </message>
    <message>
        <source>Not authorized directory:</source>
        <translation>Cartella non autorizzata:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Authorize</source>
        <translation>Autorizza</translation>
    </message>
    <message>
        <source>Please select the authorized directory!</source>
        <translation>Seleziona la cartella da autorizzare!</translation>
    </message>
    <message>
        <source>Authorization directory failed!</source>
        <translation>Autorizzazione della cartella non riuscita!</translation>
    </message>
</context>
<context>
    <name>BackupToFTPDialog</name>
    <message>
        <source>FTP Servers</source>
        <translation>Server FTP</translation>
    </message>
    <message>
        <source>Sever Name</source>
        <translation>Nome server</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Stato</translation>
    </message>
    <message>
        <source>Working Folder</source>
        <translation>Cartella di lavoro</translation>
    </message>
    <message>
        <source>Server Folder </source>
        <translation>Cartella server </translation>
    </message>
    <message>
        <source>Server Name:</source>
        <translation>Nome server:</translation>
    </message>
    <message>
        <source>Encode:</source>
        <translation>Codifica:</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Porta:</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Utente:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>FTP Path:</source>
        <translation>Percorso FTP:</translation>
    </message>
    <message>
        <source>Connect server successfully, Please select a server folder!</source>
        <translation>Dopo la connessione, scegli una cartella del server!</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Sfoglia</translation>
    </message>
    <message>
        <source>Local Path:</source>
        <translation>Percorso locale:</translation>
    </message>
    <message>
        <source>Please select a working folder!</source>
        <translation>Scegli una cartella di lavoro!</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>Server FTP</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connetti</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnetti</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Aggiungi</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Modifica</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Rimuovi</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Local ftp server has started!</source>
        <translation>Il server FTP locale è avviato!</translation>
    </message>
    <message>
        <source>Local ftp server is not started!</source>
        <translation>Il server FTP locale non è avviato!</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Connesso</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Disconnesso</translation>
    </message>
    <message>
        <source>Connection success!</source>
        <translation>Connessione riuscita!</translation>
    </message>
    <message>
        <source>Disconnect from the server!</source>
        <translation>Disconnesso dal server!</translation>
    </message>
    <message>
        <source>Please fill in the server information, click the connect button!</source>
        <translation>Compila i dati del server, poi fai clic su Connetti!</translation>
    </message>
    <message>
        <source>Incomplete information!</source>
        <translation>Informazioni incomplete!</translation>
    </message>
    <message>
        <source>Please enter the IP address or host name of the server!</source>
        <translation>Inserisci l&apos;indirizzo IP o il nome host del server!</translation>
    </message>
    <message>
        <source>Please enter the port of the server!</source>
        <translation>Inserisci la porta del server!</translation>
    </message>
    <message>
        <source>Please enter the user name!</source>
        <translation>Inserisci il nome utente!</translation>
    </message>
    <message>
        <source>Please enter the password!</source>
        <translation>Inserisci la password!</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>La porta deve essere un numero da 1 a 65535!</translation>
    </message>
    <message>
        <source>Encryption:</source>
        <translation>Cifratura:</translation>
    </message>
    <message>
        <source>Only plain FTP</source>
        <translation>Solo FTP semplice</translation>
    </message>
    <message>
        <source>Use explicit FTP over TLS if available</source>
        <translation>Usa FTP esplicito su TLS se disponibile</translation>
    </message>
    <message>
        <source>Require explicit FTP over TLS</source>
        <translation>Richiedi FTP esplicito su TLS</translation>
    </message>
</context>
<context>
    <name>FTPClient</name>
    <message>
        <source>Reply line too long; connection closed.</source>
        <translation>Riga di risposta troppo lunga; connessione chiusa.</translation>
    </message>
    <message>
        <source>No reply from the server in time; connection closed.</source>
        <translation>Il server non ha risposto in tempo; connessione chiusa.</translation>
    </message>
    <message>
        <source>The server did not greet in time.</source>
        <translation>Il server non ha inviato il saluto in tempo.</translation>
    </message>
    <message>
        <source>Compare finish, Total:</source>
        <translation>Confronto terminato, totale:</translation>
    </message>
    <message>
        <source>, Same:</source>
        <translation>, uguali:</translation>
    </message>
    <message>
        <source>501 Rename not sent: the new name holds a line break or NUL character.</source>
        <translation>501 Rinomina non inviata: il nuovo nome contiene un a capo o un carattere NUL.</translation>
    </message>
    <message>
        <source>Delete Finish, Total: </source>
        <translation>Eliminazione terminata, totale: </translation>
    </message>
    <message>
        <source> Success: </source>
        <translation> riusciti: </translation>
    </message>
    <message>
        <source>Dowload Finish, Total: </source>
        <translation>Download terminato, totale: </translation>
    </message>
    <message>
        <source>Upload Finish, Total: </source>
        <translation>Caricamento terminato, totale: </translation>
    </message>
    <message>
        <source>Empty!</source>
        <translation>Vuoto!</translation>
    </message>
    <message>
        <source>Data connection cut: less than 1 KiB moved in %1 s.</source>
        <translation>Connessione dati interrotta: meno di 1 KiB trasferito in %1 s.</translation>
    </message>
    <message>
        <source>Listing cut: it passed %1 bytes.</source>
        <translation>Elenco troncato: ha superato %1 byte.</translation>
    </message>
    <message>
        <source>The folder could not be entered.</source>
        <translation>Impossibile accedere alla cartella.</translation>
    </message>
    <message>
        <source>TLS on the data connection failed: %1</source>
        <translation>TLS sulla connessione dati non riuscito: %1</translation>
    </message>
    <message>
        <source>The server refused AUTH TLS (%1); encryption is required, so the password was not sent.</source>
        <translation>Il server ha rifiutato AUTH TLS (%1); la cifratura è obbligatoria, quindi la password non è stata inviata.</translation>
    </message>
    <message>
        <source>The server offers no FTP over TLS; logging in without encryption.</source>
        <translation>Il server non offre FTP su TLS; accesso senza cifratura.</translation>
    </message>
    <message>
        <source>TLS connection established: %1, %2.</source>
        <translation>Connessione TLS stabilita: %1, %2.</translation>
    </message>
    <message>
        <source>WARNING: the certificate of %1 port %2 is not the one you trusted; connection refused. New SHA-256 fingerprint: %3</source>
        <translation>ATTENZIONE: il certificato di %1 porta %2 non è quello di cui ti sei fidato; connessione rifiutata. Nuova impronta SHA-256: %3</translation>
    </message>
    <message>
        <source>The certificate of %1 port %2 is not trusted (%3); connection refused. SHA-256 fingerprint: %4</source>
        <translation>Il certificato di %1 porta %2 non è attendibile (%3); connessione rifiutata. Impronta SHA-256: %4</translation>
    </message>
    <message>
        <source>The TLS handshake failed: %1</source>
        <translation>Handshake TLS non riuscito: %1</translation>
    </message>
    <message>
        <source>The server refused to encrypt data connections (%1); connection closed.</source>
        <translation>Il server ha rifiutato di cifrare le connessioni dati (%1); connessione chiusa.</translation>
    </message>
    <message>
        <source>The data connection presented another certificate; it was refused.</source>
        <translation>La connessione dati ha presentato un altro certificato; è stata rifiutata.</translation>
    </message>
</context>
<context>
    <name>FTPCommandDlg</name>
    <message>
        <source>Ftp Command</source>
        <translation>Comando FTP</translation>
    </message>
    <message>
        <source>Command:</source>
        <translation>Comando:</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>Esegui</translation>
    </message>
</context>
<context>
    <name>KChmodDlg</name>
    <message>
        <source>Set Attribute</source>
        <translation>Imposta attributi</translation>
    </message>
    <message>
        <source>Change sub-files and sub-folders</source>
        <translation>Modifica file e sottocartelle</translation>
    </message>
    <message>
        <source>Change sub-files</source>
        <translation>Modifica i file contenuti</translation>
    </message>
    <message>
        <source>Change sub-folders</source>
        <translation>Modifica le sottocartelle</translation>
    </message>
    <message>
        <source>Owner</source>
        <translation>Proprietario</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Lettura</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Scrittura</translation>
    </message>
    <message>
        <source>Execute</source>
        <translation>Esecuzione</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppo</translation>
    </message>
    <message>
        <source>Public</source>
        <translation>Pubblico</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Modifica</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
</context>
<context>
    <name>KLanguageDialog</name>
    <message>
        <source>Choose a language</source>
        <translation>Scegli una lingua</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Inglese</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>Cinese</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Francese</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Tedesco</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>Italiano</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Giapponese</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>Coreano</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Russo</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Spagnolo</translation>
    </message>
</context>
<context>
    <name>KTCertificateDialog</name>
    <message>
        <source>Server certificate</source>
        <translation>Certificato del server</translation>
    </message>
    <message>
        <source>WARNING: %1 port %2 presents a different certificate from the one you trusted. Someone may be intercepting the connection. Trust the new one only if you know why it changed.</source>
        <translation>ATTENZIONE: %1 porta %2 presenta un certificato diverso da quello di cui ti sei fidato. Qualcuno potrebbe intercettare la connessione. Fidati del nuovo solo se sai perché è cambiato.</translation>
    </message>
    <message>
        <source>No known authority vouches for the certificate of %1 port %2.</source>
        <translation>Nessuna autorità nota garantisce il certificato di %1 porta %2.</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>Soggetto:</translation>
    </message>
    <message>
        <source>Issuer:</source>
        <translation>Emittente:</translation>
    </message>
    <message>
        <source>Valid from:</source>
        <translation>Valido dal:</translation>
    </message>
    <message>
        <source>Valid until:</source>
        <translation>Valido fino al:</translation>
    </message>
    <message>
        <source>SHA-256 fingerprint:</source>
        <translation>Impronta SHA-256:</translation>
    </message>
    <message>
        <source>Problem:</source>
        <translation>Problema:</translation>
    </message>
    <message>
        <source>Trust this certificate always</source>
        <translation>Considera sempre attendibile questo certificato</translation>
    </message>
    <message>
        <source>Only this time</source>
        <translation>Solo questa volta</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
</context>
<context>
    <name>KTDUFile</name>
    <message>
        <source>undowload</source>
        <translation>In attesa</translation>
    </message>
    <message>
        <source>dowloading</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>dowloaded</source>
        <translation>Scaricato</translation>
    </message>
    <message>
        <source>dowloadError</source>
        <translation>Errore</translation>
    </message>
    <message>
        <source>unupload</source>
        <translation>In attesa</translation>
    </message>
    <message>
        <source>uploading</source>
        <translation>Caricamento</translation>
    </message>
    <message>
        <source>uploaded</source>
        <translation>Caricato</translation>
    </message>
    <message>
        <source>uploadError</source>
        <translation>Errore</translation>
    </message>
    <message>
        <source>Same</source>
        <translation>Uguale</translation>
    </message>
    <message>
        <source>Different</source>
        <translation>Diverso</translation>
    </message>
    <message>
        <source>finish</source>
        <translation>Finito</translation>
    </message>
</context>
<context>
    <name>KTDelInfo</name>
    <message>
        <source>undelete</source>
        <translation>In attesa</translation>
    </message>
    <message>
        <source>deteting</source>
        <translation>Eliminazione</translation>
    </message>
    <message>
        <source>delallfile</source>
        <translation>File eliminati</translation>
    </message>
    <message>
        <source>delfolder</source>
        <translation>Eliminazione cartella</translation>
    </message>
    <message>
        <source>deteted</source>
        <translation>Eliminato</translation>
    </message>
    <message>
        <source>unknow</source>
        <translation>Sconosciuto</translation>
    </message>
    <message>
        <source>error</source>
        <translation>Errore</translation>
    </message>
</context>
<context>
    <name>KTNewFolder</name>
    <message>
        <source>New Folder</source>
        <translation>Nuova cartella</translation>
    </message>
    <message>
        <source>Please enter the folder name!</source>
        <translation>Inserisci il nome della cartella!</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Crea</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
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
        <translation>Siti</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connetti</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Scarica</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Carica</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Ferma</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Comando</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>Server FTP</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Lingua</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aiuto</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nome</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Dimensione</translation>
    </message>
    <message>
        <source>Date Time</source>
        <translation>Data e ora</translation>
    </message>
    <message>
        <source>Attrib</source>
        <translation>Attributi</translation>
    </message>
    <message>
        <source>Local Path</source>
        <translation>Percorso locale</translation>
    </message>
    <message>
        <source>Server Path</source>
        <translation>Percorso server</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Stato</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Avanzamento</translation>
    </message>
    <message>
        <source>Downloading file from server!</source>
        <translation>Download dei file dal server in corso!</translation>
    </message>
    <message>
        <source>Uploading files to server!</source>
        <translation>Caricamento dei file sul server in corso!</translation>
    </message>
    <message>
        <source>Deleting file!</source>
        <translation>Eliminazione dei file in corso!</translation>
    </message>
    <message>
        <source>Changing file name!</source>
        <translation>Modifica del nome del file in corso!</translation>
    </message>
    <message>
        <source>Creating new folder!</source>
        <translation>Creazione della nuova cartella in corso!</translation>
    </message>
    <message>
        <source>Changing file attributes!</source>
        <translation>Modifica degli attributi in corso!</translation>
    </message>
    <message>
        <source>Comparing files!</source>
        <translation>Confronto dei file in corso!</translation>
    </message>
    <message>
        <source>Download file is completed!</source>
        <translation>Download completato!</translation>
    </message>
    <message>
        <source>Upload file is completed!</source>
        <translation>Caricamento completato!</translation>
    </message>
    <message>
        <source>Delete files completed!</source>
        <translation>Eliminazione completata!</translation>
    </message>
    <message>
        <source>Modify the file is completed!</source>
        <translation>Modifica completata!</translation>
    </message>
    <message>
        <source>Change the file attributes completed!</source>
        <translation>Modifica degli attributi completata!</translation>
    </message>
    <message>
        <source>Compare files completed!</source>
        <translation>Confronto completato!</translation>
    </message>
    <message>
        <source>Last operation not completed!</source>
        <translation>L&apos;operazione precedente non è ancora terminata!</translation>
    </message>
    <message>
        <source>Not connected to the server!</source>
        <translation>Non connesso al server!</translation>
    </message>
    <message>
        <source>Connected to the server!</source>
        <translation>Connesso al server!</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnetti</translation>
    </message>
    <message>
        <source>Stopping!</source>
        <translation>Arresto in corso!</translation>
    </message>
    <message>
        <source>No command to run!</source>
        <translation>Nessun comando da eseguire!</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>Riprendi</translation>
    </message>
    <message>
        <source>Download has stopped!</source>
        <translation>Download interrotto!</translation>
    </message>
    <message>
        <source>Upload has stopped!</source>
        <translation>Caricamento interrotto!</translation>
    </message>
    <message>
        <source>Comparison has stopped!</source>
        <translation>Confronto interrotto!</translation>
    </message>
    <message>
        <source>T</source>
        <translation>T</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Nuova cartella</translation>
    </message>
    <message>
        <source>In folder</source>
        <translation>Apri cartella</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Rinomina</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Confronta</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Elimina</translation>
    </message>
    <message>
        <source>Dowload</source>
        <translation>Scarica</translation>
    </message>
    <message>
        <source>Move to ...</source>
        <translation>Sposta in…</translation>
    </message>
    <message>
        <source>Attributes</source>
        <translation>Attributi</translation>
    </message>
    <message>
        <source>Retry Errors</source>
        <translation>Riprova errori</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Svuota</translation>
    </message>
    <message>
        <source>You did not choose any files or directories!</source>
        <translation>Non hai scelto alcun file o cartella!</translation>
    </message>
    <message>
        <source>Delete the selected files and folders from the server?</source>
        <translation>Eliminare dal server i file e le cartelle selezionati?</translation>
    </message>
    <message>
        <source>You at least choose a file or folder!</source>
        <translation>Scegli almeno un file o una cartella!</translation>
    </message>
    <message>
        <source>Please select the file or directory with the same name!</source>
        <translation>Seleziona il file o la cartella con lo stesso nome!</translation>
    </message>
    <message>
        <source>Wrong choice, Please choose the same name file or folder!</source>
        <translation>Scelta errata, scegli il file o la cartella con lo stesso nome!</translation>
    </message>
    <message>
        <source>Failed to create a temporary directory!</source>
        <translation>Impossibile creare una cartella temporanea!</translation>
    </message>
    <message>
        <source>Delete permanently?</source>
        <translation>Eliminare definitivamente?</translation>
    </message>
    <message>
        <source>Elapsed:</source>
        <translation>Trascorso:</translation>
    </message>
    <message>
        <source>Remaining:</source>
        <translation>Rimanente:</translation>
    </message>
    <message>
        <source>The connection is encrypted (FTP over TLS).</source>
        <translation>La connessione è cifrata (FTP su TLS).</translation>
    </message>
</context>
<context>
    <name>RenameDialog</name>
    <message>
        <source>Rename Dialog</source>
        <translation>Rinomina</translation>
    </message>
    <message>
        <source>Please enter a new name:</source>
        <translation>Inserisci il nuovo nome:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
</context>
<context>
    <name>ServerDirTree</name>
    <message>
        <source>Choose the path</source>
        <translation>Scegli il percorso</translation>
    </message>
    <message>
        <source>Please choose the file path!</source>
        <translation>Scegli il percorso!</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Nuova cartella</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Seleziona</translation>
    </message>
    <message>
        <source>Please select the folder!</source>
        <translation>Seleziona la cartella!</translation>
    </message>
</context>
<context>
    <name>StartFTPDialog</name>
    <message>
        <source>Start the ftp server</source>
        <translation>Avvia il server FTP</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Porta:</translation>
    </message>
    <message>
        <source>Path:</source>
        <translation>Percorso:</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Sfoglia</translation>
    </message>
    <message>
        <source>Stop the ftp server</source>
        <translation>Ferma il server FTP</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Utente</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Stato</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Utente:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Salva</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Elimina</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Onine</source>
        <translation>In linea</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Non in linea</translation>
    </message>
    <message>
        <source>&lt;br&gt;Please select the working folder!</source>
        <translation>&lt;br&gt;Scegli la cartella di lavoro!</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>La porta deve essere un numero da 1 a 65535!</translation>
    </message>
    <message>
        <source>You did not choose user information!</source>
        <translation>Non hai scelto alcun utente!</translation>
    </message>
    <message>
        <source>FTP server has started.</source>
        <translation>Il server FTP è avviato.</translation>
    </message>
    <message>
        <source>FTP server did not start.</source>
        <translation>Il server FTP non si è avviato.</translation>
    </message>
</context>
</TS>
