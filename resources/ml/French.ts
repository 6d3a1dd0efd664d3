<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>AuthorizeDirectory</name>
    <message>
        <source>Authorize Directory</source>
        <translation>Autoriser le dossier</translation>
    </message>
    <message>
        <source>Not authorized directory:</source>
        <translation>Dossier non autorisé&#xa0;:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Authorize</source>
        <translation>Autoriser</translation>
    </message>
    <message>
        <source>Please select the authorized directory!</source>
        <translation>Veuillez sélectionner le dossier à autoriser&#xa0;!</translation>
    </message>
    <message>
        <source>Authorization directory failed!</source>
        <translation>Échec de l&apos;autorisation du dossier&#xa0;!</translation>
    </message>
</context>
<context>
    <name>BackupToFTPDialog</name>
    <message>
        <source>FTP Servers</source>
        <translation>Serveurs FTP</translation>
    </message>
    <message>
        <source>Sever Name</source>
        <translation>Nom du serveur</translation>
    </message>
    <message>
        <source>State</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Working Folder</source>
        <translation>Dossier de travail</translation>
    </message>
    <message>
        <source>Server Folder </source>
        <translation>Dossier du serveur </translation>
    </message>
    <message>
        <source>Server Name:</source>
        <translation>Nom du serveur&#xa0;:</translation>
    </message>
    <message>
        <source>Encode:</source>
        <translation>Encodage&#xa0;:</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP&#xa0;:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port&#xa0;:</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Utilisateur&#xa0;:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Mot de passe&#xa0;:</translation>
    </message>
    <message>
        <source>FTP Path:</source>
        <translation>Chemin FTP&#xa0;:</translation>
    </message>
    <message>
        <source>Connect server successfully, Please select a server folder!</source>
        <translation>Une fois connecté, veuillez choisir un dossier du serveur&#xa0;!</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Parcourir</translation>
    </message>
    <message>
        <source>Local Path:</source>
        <translation>Chemin local&#xa0;:</translation>
    </message>
    <message>
        <source>Please select a working folder!</source>
        <translation>Veuillez choisir un dossier de travail&#xa0;!</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>Serveur FTP</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connecter</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Déconnecter</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Modifier</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Local ftp server has started!</source>
        <translation>Le serveur FTP local est démarré&#xa0;!</translation>
    </message>
    <message>
        <source>Local ftp server is not started!</source>
        <translation>Le serveur FTP local n&apos;est pas démarré&#xa0;!</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Connecté</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Déconnecté</translation>
    </message>
    <message>
        <source>Connection success!</source>
        <translation>Connexion réussie&#xa0;!</translation>
    </message>
    <message>
        <source>Disconnect from the server!</source>
        <translation>Déconnecté du serveur&#xa0;!</translation>
    </message>
    <message>
        <source>Please fill in the server information, click the connect button!</source>
        <translation>Veuillez remplir les informations du serveur, puis cliquer sur Connecter&#xa0;!</translation>
    </message>
    <message>
        <source>Incomplete information!</source>
        <translation>Informations incomplètes&#xa0;!</translation>
    </message>
    <message>
        <source>Please enter the IP address or host name of the server!</source>
        <translation>Veuillez saisir l&apos;adresse IP ou le nom d&apos;hôte du serveur&#xa0;!</translation>
    </message>
    <message>
        <source>Please enter the port of the server!</source>
        <translation>Veuillez saisir le port du serveur&#xa0;!</translation>
    </message>
    <message>
        <source>Please enter the user name!</source>
        <translation>Veuillez saisir le nom d&apos;utilisateur&#xa0;!</translation>
    </message>
    <message>
        <source>Please enter the password!</source>
        <translation>Veuillez saisir le mot de passe&#xa0;!</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>Le port doit être un nombre de 1 à 65535&#xa0;!</translation>
    </message>
    <message>
        <source>Encryption:</source>
        <translation>Chiffrement :</translation>
    </message>
    <message>
        <source>Only plain FTP</source>
        <translation>FTP simple uniquement</translation>
    </message>
    <message>
        <source>Use explicit FTP over TLS if available</source>
        <translation>Utiliser FTP explicite sur TLS si disponible</translation>
    </message>
    <message>
        <source>Require explicit FTP over TLS</source>
        <translation>Exiger FTP explicite sur TLS</translation>
    </message>
</context>
<context>
    <name>FTPClient</name>
    <message>
        <source>Reply line too long; connection closed.</source>
        <translation>Ligne de réponse trop longue&#xa0;; connexion fermée.</translation>
    </message>
    <message>
        <source>No reply from the server in time; connection closed.</source>
        <translation>Le serveur n&apos;a pas répondu à temps&#xa0;; connexion fermée.</translation>
    </message>
    <message>
        <source>The server did not greet in time.</source>
        <translation>Le serveur n&apos;a pas envoyé son accueil à temps.</translation>
    </message>
    <message>
        <source>Compare finish, Total:</source>
        <translation>Comparaison terminée, total&#xa0;:</translation>
    </message>
    <message>
        <source>, Same:</source>
        <translation>, identiques&#xa0;:</translation>
    </message>
    <message>
        <source>501 Rename not sent: the new name holds a line break or NUL character.</source>
        <translation>501 Renommage non envoyé&#xa0;: le nouveau nom contient un saut de ligne ou un caractère NUL.</translation>
    </message>
    <message>
        <source>Delete Finish, Total: </source>
        <translation>Suppression terminée, total&#xa0;: </translation>
    </message>
    <message>
        <source> Success: </source>
        <translation> réussis&#xa0;: </translation>
    </message>
    <message>
        <source>Dowload Finish, Total: </source>
        <translation>Téléchargement terminé, total&#xa0;: </translation>
    </message>
    <message>
        <source>Upload Finish, Total: </source>
        <translation>Envoi terminé, total&#xa0;: </translation>
    </message>
    <message>
        <source>Empty!</source>
        <translation>Vide&#xa0;!</translation>
    </message>
    <message>
        <source>Data connection cut: less than 1 KiB moved in %1 s.</source>
        <translation>Connexion de données coupée&#xa0;: moins de 1 Kio transféré en %1 s.</translation>
    </message>
    <message>
        <source>Listing cut: it passed %1 bytes.</source>
        <translation>Liste coupée&#xa0;: elle dépassait %1 octets.</translation>
    </message>
    <message>
        <source>The folder could not be entered.</source>
        <translation>Impossible d’ouvrir le dossier.</translation>
    </message>
    <message>
        <source>TLS on the data connection failed: %1</source>
        <translation>Échec de TLS sur la connexion de données : %1</translation>
    </message>
    <message>
        <source>The server refused AUTH TLS (%1); encryption is required, so the password was not sent.</source>
        <translation>Le serveur a refusé AUTH TLS (%1) ; le chiffrement est exigé, le mot de passe n'a donc pas été envoyé.</translation>
    </message>
    <message>
        <source>The server offers no FTP over TLS; logging in without encryption.</source>
        <translation>Le serveur ne propose pas FTP sur TLS ; connexion sans chiffrement.</translation>
    </message>
    <message>
        <source>TLS connection established: %1, %2.</source>
        <translation>Connexion TLS établie : %1, %2.</translation>
    </message>
    <message>
        <source>WARNING: the certificate of %1 port %2 is not the one you trusted; connection refused. New SHA-256 fingerprint: %3</source>
        <translation>ATTENTION : le certificat de %1 port %2 n'est pas celui auquel vous avez fait confiance ; connexion refusée. Nouvelle empreinte SHA-256 : %3</translation>
    </message>
    <message>
        <source>The certificate of %1 port %2 is not trusted (%3); connection refused. SHA-256 fingerprint: %4</source>
        <translation>Le certificat de %1 port %2 n'est pas approuvé (%3) ; connexion refusée. Empreinte SHA-256 : %4</translation>
    </message>
    <message>
        <source>The TLS handshake failed: %1</source>
        <translation>La négociation TLS a échoué : %1</translation>
    </message>
    <message>
        <source>The server refused to encrypt data connections (%1); connection closed.</source>
        <translation>Le serveur a refusé de chiffrer les connexions de données (%1) ; connexion fermée.</translation>
    </message>
    <message>
        <source>The data connection presented another certificate; it was refused.</source>
        <translation>La connexion de données a présenté un autre certificat ; elle a été refusée.</translation>
    </message>
</context>
<context>
    <name>FTPCommandDlg</name>
    <message>
        <source>Ftp Command</source>
        <translation>Commande FTP</translation>
    </message>
    <message>
        <source>Command:</source>
        <translation>Commande&#xa0;:</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>Exécuter</translation>
    </message>
</context>
<context>
    <name>KChmodDlg</name>
    <message>
        <source>Set Attribute</source>
        <translation>Définir les attributs</translation>
    </message>
    <message>
        <source>Change sub-files and sub-folders</source>
        <translation>Modifier les sous-fichiers et sous-dossiers</translation>
    </message>
    <message>
        <source>Change sub-files</source>
        <translation>Modifier les sous-fichiers</translation>
    </message>
    <message>
        <source>Change sub-folders</source>
        <translation>Modifier les sous-dossiers</translation>
    </message>
    <message>
        <source>Owner</source>
        <translation>Propriétaire</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Lecture</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Écriture</translation>
    </message>
    <message>
        <source>Execute</source>
        <translation>Exécution</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Groupe</translation>
    </message>
    <message>
        <source>Public</source>
        <translation>Public</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Modifier</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>KLanguageDialog</name>
    <message>
        <source>Choose a language</source>
        <translation>Choisir une langue</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Anglais</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>Chinois</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Français</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Allemand</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>Italien</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Japonais</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>Coréen</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Russe</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Espagnol</translation>
    </message>
</context>
<context>
    <name>KTCertificateDialog</name>
    <message>
        <source>Server certificate</source>
        <translation>Certificat du serveur</translation>
    </message>
    <message>
        <source>WARNING: %1 port %2 presents a different certificate from the one you trusted. Someone may be intercepting the connection. Trust the new one only if you know why it changed.</source>
        <translation>ATTENTION : %1 port %2 présente un certificat différent de celui auquel vous avez fait confiance. Quelqu'un intercepte peut-être la connexion. Ne faites confiance au nouveau que si vous savez pourquoi il a changé.</translation>
    </message>
    <message>
        <source>No known authority vouches for the certificate of %1 port %2.</source>
        <translation>Aucune autorité connue ne garantit le certificat de %1 port %2.</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>Sujet :</translation>
    </message>
    <message>
        <source>Issuer:</source>
        <translation>Émetteur :</translation>
    </message>
    <message>
        <source>Valid from:</source>
        <translation>Valide à partir du :</translation>
    </message>
    <message>
        <source>Valid until:</source>
        <translation>Valide jusqu'au :</translation>
    </message>
    <message>
        <source>SHA-256 fingerprint:</source>
        <translation>Empreinte SHA-256 :</translation>
    </message>
    <message>
        <source>Problem:</source>
        <translation>Problème :</translation>
    </message>
    <message>
        <source>Trust this certificate always</source>
        <translation>Toujours faire confiance à ce certificat</translation>
    </message>
    <message>
        <source>Only this time</source>
        <translation>Seulement cette fois</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>KTDUFile</name>
    <message>
        <source>undowload</source>
        <translation>En attente</translation>
    </message>
    <message>
        <source>dowloading</source>
        <translation>Téléchargement</translation>
    </message>
    <message>
        <source>dowloaded</source>
        <translation>Téléchargé</translation>
    </message>
    <message>
        <source>dowloadError</source>
        <translation>Échec</translation>
    </message>
    <message>
        <source>unupload</source>
        <translation>En attente</translation>
    </message>
    <message>
        <source>uploading</source>
        <translation>Envoi</translation>
    </message>
    <message>
        <source>uploaded</source>
        <translation>Envoyé</translation>
    </message>
    <message>
        <source>uploadError</source>
        <translation>Échec</translation>
    </message>
    <message>
        <source>Same</source>
        <translation>Identique</translation>
    </message>
    <message>
        <source>Different</source>
        <translation>Différent</translation>
    </message>
    <message>
        <source>finish</source>
        <translation>Terminé</translation>
    </message>
</context>
<context>
    <name>KTDelInfo</name>
    <message>
        <source>undelete</source>
        <translation>En attente</translation>
    </message>
    <message>
        <source>deteting</source>
        <translation>Suppression</translation>
    </message>
    <message>
        <source>delallfile</source>
        <translation>Fichiers supprimés</translation>
    </message>
    <message>
        <source>delfolder</source>
        <translation>Suppression du dossier</translation>
    </message>
    <message>
        <source>deteted</source>
        <translation>Supprimé</translation>
    </message>
    <message>
        <source>unknow</source>
        <translation>Inconnu</translation>
    </message>
    <message>
        <source>error</source>
        <translation>Erreur</translation>
    </message>
</context>
<context>
    <name>KTNewFolder</name>
    <message>
        <source>New Folder</source>
        <translation>Nouveau dossier</translation>
    </message>
    <message>
        <source>Please enter the folder name!</source>
        <translation>Veuillez saisir le nom du dossier&#xa0;!</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Créer</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
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
        <translation>Connecter</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Télécharger</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Envoyer</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Commande</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>Serveur FTP</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Langue</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
    <message>
        <source>Date Time</source>
        <translation>Date et heure</translation>
    </message>
    <message>
        <source>Attrib</source>
        <translation>Attributs</translation>
    </message>
    <message>
        <source>Local Path</source>
        <translation>Chemin local</translation>
    </message>
    <message>
        <source>Server Path</source>
        <translation>Chemin serveur</translation>
    </message>
    <message>
        <source>State</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Progression</translation>
    </message>
    <message>
        <source>Downloading file from server!</source>
        <translation>Téléchargement des fichiers depuis le serveur&#xa0;!</translation>
    </message>
    <message>
        <source>Uploading files to server!</source>
        <translation>Envoi des fichiers vers le serveur&#xa0;!</translation>
    </message>
    <message>
        <source>Deleting file!</source>
        <translation>Suppression des fichiers&#xa0;!</translation>
    </message>
    <message>
        <source>Changing file name!</source>
        <translation>Renommage du fichier&#xa0;!</translation>
    </message>
    <message>
        <source>Creating new folder!</source>
        <translation>Création du dossier&#xa0;!</translation>
    </message>
    <message>
        <source>Changing file attributes!</source>
        <translation>Modification des attributs&#xa0;!</translation>
    </message>
    <message>
        <source>Comparing files!</source>
        <translation>Comparaison des fichiers&#xa0;!</translation>
    </message>
    <message>
        <source>Download file is completed!</source>
        <translation>Téléchargement terminé&#xa0;!</translation>
    </message>
    <message>
        <source>Upload file is completed!</source>
        <translation>Envoi terminé&#xa0;!</translation>
    </message>
    <message>
        <source>Delete files completed!</source>
        <translation>Suppression terminée&#xa0;!</translation>
    </message>
    <message>
        <source>Modify the file is completed!</source>
        <translation>Modification terminée&#xa0;!</translation>
    </message>
    <message>
        <source>Change the file attributes completed!</source>
        <translation>Modification des attributs terminée&#xa0;!</translation>
    </message>
    <message>
        <source>Compare files completed!</source>
        <translation>Comparaison terminée&#xa0;!</translation>
    </message>
    <message>
        <source>Last operation not completed!</source>
        <translation>L&apos;opération précédente n&apos;est pas terminée&#xa0;!</translation>
    </message>
    <message>
        <source>Not connected to the server!</source>
        <translation>Non connecté au serveur&#xa0;!</translation>
    </message>
    <message>
        <source>Connected to the server!</source>
        <translation>Connecté au serveur&#xa0;!</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Déconnecter</translation>
    </message>
    <message>
        <source>Stopping!</source>
        <translation>Arrêt en cours&#xa0;!</translation>
    </message>
    <message>
        <source>No command to run!</source>
        <translation>Aucune commande à exécuter&#xa0;!</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>Reprendre</translation>
    </message>
    <message>
        <source>Download has stopped!</source>
        <translation>Téléchargement arrêté&#xa0;!</translation>
    </message>
    <message>
        <source>Upload has stopped!</source>
        <translation>Envoi arrêté&#xa0;!</translation>
    </message>
    <message>
        <source>Comparison has stopped!</source>
        <translation>Comparaison arrêtée&#xa0;!</translation>
    </message>
    <message>
        <source>T</source>
        <translation>T</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Nouveau dossier</translation>
    </message>
    <message>
        <source>In folder</source>
        <translation>Ouvrir le dossier</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Comparer</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Dowload</source>
        <translation>Télécharger</translation>
    </message>
    <message>
        <source>Move to ...</source>
        <translation>Déplacer vers…</translation>
    </message>
    <message>
        <source>Attributes</source>
        <translation>Attributs</translation>
    </message>
    <message>
        <source>Retry Errors</source>
        <translation>Réessayer les erreurs</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Vider</translation>
    </message>
    <message>
        <source>You did not choose any files or directories!</source>
        <translation>Vous n&apos;avez choisi aucun fichier ni dossier&#xa0;!</translation>
    </message>
    <message>
        <source>Delete the selected files and folders from the server?</source>
        <translation>Supprimer du serveur les fichiers et dossiers sélectionnés&#xa0;?</translation>
    </message>
    <message>
        <source>You at least choose a file or folder!</source>
        <translation>Choisissez au moins un fichier ou un dossier&#xa0;!</translation>
    </message>
    <message>
        <source>Please select the file or directory with the same name!</source>
        <translation>Veuillez sélectionner le fichier ou dossier du même nom&#xa0;!</translation>
    </message>
    <message>
        <source>Wrong choice, Please choose the same name file or folder!</source>
        <translation>Mauvais choix, veuillez choisir le fichier ou dossier du même nom&#xa0;!</translation>
    </message>
    <message>
        <source>Failed to create a temporary directory!</source>
        <translation>Impossible de créer un dossier temporaire&#xa0;!</translation>
    </message>
    <message>
        <source>Delete permanently?</source>
        <translation>Supprimer définitivement&#xa0;?</translation>
    </message>
    <message>
        <source>Elapsed:</source>
        <translation>Écoulé&#xa0;:</translation>
    </message>
    <message>
        <source>Remaining:</source>
        <translation>Restant&#xa0;:</translation>
    </message>
    <message>
        <source>The connection is encrypted (FTP over TLS).</source>
        <translation>La connexion est chiffrée (FTP sur TLS).</translation>
    </message>
</context>
<context>
    <name>RenameDialog</name>
    <message>
        <source>Rename Dialog</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <source>Please enter a new name:</source>
        <translation>Veuillez saisir le nouveau nom&#xa0;:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>ServerDirTree</name>
    <message>
        <source>Choose the path</source>
        <translation>Choisir le chemin</translation>
    </message>
    <message>
        <source>Please choose the file path!</source>
        <translation>Veuillez choisir le chemin&#xa0;!</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Nouveau dossier</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Sélectionner</translation>
    </message>
    <message>
        <source>Please select the folder!</source>
        <translation>Veuillez sélectionner le dossier&#xa0;!</translation>
    </message>
</context>
<context>
    <name>StartFTPDialog</name>
    <message>
        <source>Start the ftp server</source>
        <translation>Démarrer le serveur FTP</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP&#xa0;:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port&#xa0;:</translation>
    </message>
    <message>
        <source>Path:</source>
        <translation>Chemin&#xa0;:</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Parcourir</translation>
    </message>
    <message>
        <source>Stop the ftp server</source>
        <translation>Arrêter le serveur FTP</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Utilisateur</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <source>State</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Utilisateur&#xa0;:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Mot de passe&#xa0;:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Onine</source>
        <translation>En ligne</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Hors ligne</translation>
    </message>
    <message>
        <source>&lt;br&gt;Please select the working folder!</source>
        <translation>&lt;br&gt;Veuillez choisir le dossier de travail&#xa0;!</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>Le port doit être un nombre de 1 à 65535&#xa0;!</translation>
    </message>
    <message>
        <source>You did not choose user information!</source>
        <translation>Vous n&apos;avez choisi aucun utilisateur&#xa0;!</translation>
    </message>
    <message>
        <source>FTP server has started.</source>
        <translation>Le serveur FTP est démarré.</translation>
    </message>
    <message>
        <source>FTP server did not start.</source>
        <translation>Le serveur FTP n&apos;a pas pu démarrer.</translation>
    </message>
</context>
</TS>
