<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>AuthorizeDirectory</name>
    <message>
        <source>Authorize Directory</source>
        <translation>Authorize Directory</translation>
    </message>
    <message>
        <source>Not authorized directory:</source>
        <translation>Not authorized directory:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Authorize</source>
        <translation>Authorize</translation>
    </message>
    <message>
        <source>Please select the authorized directory!</source>
        <translation>Please select the authorized directory!</translation>
    </message>
    <message>
        <source>Authorization directory failed!</source>
        <translation>Authorization directory failed!</translation>
    </message>
</context>
<context>
    <name>BackupToFTPDialog</name>
    <message>
        <source>FTP Servers</source>
        <translation>FTP Servers</translation>
    </message>
    <message>
        <source>Sever Name</source>
        <translation>Sever Name</translation>
    </message>
    <message>
        <source>State</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Working Folder</source>
        <translation>Working Folder</translation>
    </message>
    <message>
        <source>Server Folder </source>
        <translation>Server Folder </translation>
    </message>
    <message>
        <source>Server Name:</source>
        <translation>Server Name:</translation>
    </message>
    <message>
        <source>Encode:</source>
        <translation>Encode:</translation>
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
        <translation>Name:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>FTP Path:</source>
        <translation>FTP Path:</translation>
    </message>
    <message>
        <source>Connect server successfully, Please select a server folder!</source>
        <translation>Connect server successfully, Please select a server folder!</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Local Path:</source>
        <translation>Local Path:</translation>
    </message>
    <message>
        <source>Please select a working folder!</source>
        <translation>Please select a working folder!</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>Ftp Server</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Local ftp server has started!</source>
        <translation>Local ftp server has started!</translation>
    </message>
    <message>
        <source>Local ftp server is not started!</source>
        <translation>Local ftp server is not started!</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Disconnected</translation>
    </message>
    <message>
        <source>Connection success!</source>
        <translation>Connection success!</translation>
    </message>
    <message>
        <source>Disconnect from the server!</source>
        <translation>Disconnect from the server!</translation>
    </message>
    <message>
        <source>Please fill in the server information, click the connect button!</source>
        <translation>Please fill in the server information, click the connect button!</translation>
    </message>
    <message>
        <source>Incomplete information!</source>
        <translation>Incomplete information!</translation>
    </message>
    <message>
        <source>Please enter the IP address or host name of the server!</source>
        <translation>Please enter the IP address or host name of the server!</translation>
    </message>
    <message>
        <source>Please enter the port of the server!</source>
        <translation>Please enter the port of the server!</translation>
    </message>
    <message>
        <source>Please enter the user name!</source>
        <translation>Please enter the user name!</translation>
    </message>
    <message>
        <source>Please enter the password!</source>
        <translation>Please enter the password!</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>The port must be a number from 1 to 65535!</translation>
    </message>
    <message>
        <source>Encryption:</source>
        <translation>Encryption:</translation>
    </message>
    <message>
        <source>Only plain FTP</source>
        <translation>Only plain FTP</translation>
    </message>
    <message>
        <source>Use explicit FTP over TLS if available</source>
        <translation>Use explicit FTP over TLS if available</translation>
    </message>
    <message>
        <source>Require explicit FTP over TLS</source>
        <translation>Require explicit FTP over TLS</translation>
    </message>
</context>
<context>
    <name>FTPClient</name>
    <message>
        <source>Reply line too long; connection closed.</source>
        <translation>Reply line too long; connection closed.</translation>
    </message>
    <message>
        <source>No reply from the server in time; connection closed.</source>
        <translation>No reply from the server in time; connection closed.</translation>
    </message>
    <message>
        <source>The server did not greet in time.</source>
        <translation>The server did not greet in time.</translation>
    </message>
    <message>
        <source>Compare finish, Total:</source>
        <translation>Compare finish, Total:</translation>
    </message>
    <message>
        <source>, Same:</source>
        <translation>, Same:</translation>
    </message>
    <message>
        <source>501 Rename not sent: the new name holds a line break or NUL character.</source>
        <translation>501 Rename not sent: the new name holds a line break or NUL character.</translation>
    </message>
    <message>
        <source>Delete Finish, Total: </source>
        <translation>Delete Finish, Total: </translation>
    </message>
    <message>
        <source> Success: </source>
        <translation> Success: </translation>
    </message>
    <message>
        <source>Dowload Finish, Total: </source>
        <translation>Dowload Finish, Total: </translation>
    </message>
    <message>
        <source>Upload Finish, Total: </source>
        <translation>Upload Finish, Total: </translation>
    </message>
    <message>
        <source>Empty!</source>
        <translation>Empty!</translation>
    </message>
    <message>
        <source>Data connection cut: less than 1 KiB moved in %1 s.</source>
        <translation>Data connection cut: less than 1 KiB moved in %1 s.</translation>
    </message>
    <message>
        <source>Listing cut: it passed %1 bytes.</source>
        <translation>Listing cut: it passed %1 bytes.</translation>
    </message>
    <message>
        <source>The folder could not be entered.</source>
        <translation>The folder could not be entered.</translation>
    </message>
    <message>
        <source>TLS on the data connection failed: %1</source>
        <translation>TLS on the data connection failed: %1</translation>
    </message>
    <message>
        <source>The server refused AUTH TLS (%1); encryption is required, so the password was not sent.</source>
        <translation>The server refused AUTH TLS (%1); encryption is required, so the password was not sent.</translation>
    </message>
    <message>
        <source>The server offers no FTP over TLS; logging in without encryption.</source>
        <translation>The server offers no FTP over TLS; logging in without encryption.</translation>
    </message>
    <message>
        <source>TLS connection established: %1, %2.</source>
        <translation>TLS connection established: %1, %2.</translation>
    </message>
    <message>
        <source>WARNING: the certificate of %1 port %2 is not the one you trusted; connection refused. New SHA-256 fingerprint: %3</source>
        <translation>WARNING: the certificate of %1 port %2 is not the one you trusted; connection refused. New SHA-256 fingerprint: %3</translation>
    </message>
    <message>
        <source>The certificate of %1 port %2 is not trusted (%3); connection refused. SHA-256 fingerprint: %4</source>
        <translation>The certificate of %1 port %2 is not trusted (%3); connection refused. SHA-256 fingerprint: %4</translation>
    </message>
    <message>
        <source>The TLS handshake failed: %1</source>
        <translation>The TLS handshake failed: %1</translation>
    </message>
    <message>
        <source>The server refused to encrypt data connections (%1); connection closed.</source>
        <translation>The server refused to encrypt data connections (%1); connection closed.</translation>
    </message>
    <message>
        <source>The data connection presented another certificate; it was refused.</source>
        <translation>The data connection presented another certificate; it was refused.</translation>
    </message>
</context>
<context>
    <name>FTPCommandDlg</name>
    <message>
        <source>Ftp Command</source>
        <translation>Ftp Command</translation>
    </message>
    <message>
        <source>Command:</source>
        <translation>Command:</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>Run</translation>
    </message>
</context>
<context>
    <name>KChmodDlg</name>
    <message>
        <source>Set Attribute</source>
        <translation>Set Attribute</translation>
    </message>
    <message>
        <source>Change sub-files and sub-folders</source>
        <translation>Change sub-files and sub-folders</translation>
    </message>
    <message>
        <source>Change sub-files</source>
        <translation>Change sub-files</translation>
    </message>
    <message>
        <source>Change sub-folders</source>
        <translation>Change sub-folders</translation>
    </message>
    <message>
        <source>Owner</source>
        <translation>Owner</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>Execute</source>
        <translation>Execute</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>Public</source>
        <translation>Public</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>KLanguageDialog</name>
    <message>
        <source>Choose a language</source>
        <translation>Choose a language</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <source>French</source>
        <translation>French</translation>
    </message>
    <message>
        <source>German</source>
        <translation>German</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>Italian</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Japanese</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>Korean</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Russian</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Spanish</translation>
    </message>
</context>
<context>
    <name>KTCertificateDialog</name>
    <message>
        <source>Server certificate</source>
        <translation>Server certificate</translation>
    </message>
    <message>
        <source>WARNING: %1 port %2 presents a different certificate from the one you trusted. Someone may be intercepting the connection. Trust the new one only if you know why it changed.</source>
        <translation>WARNING: %1 port %2 presents a different certificate from the one you trusted. Someone may be intercepting the connection. Trust the new one only if you know why it changed.</translation>
    </message>
    <message>
        <source>No known authority vouches for the certificate of %1 port %2.</source>
        <translation>No known authority vouches for the certificate of %1 port %2.</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>Subject:</translation>
    </message>
    <message>
        <source>Issuer:</source>
        <translation>Issuer:</translation>
    </message>
    <message>
        <source>Valid from:</source>
        <translation>Valid from:</translation>
    </message>
    <message>
        <source>Valid until:</source>
        <translation>Valid until:</translation>
    </message>
    <message>
        <source>SHA-256 fingerprint:</source>
        <translation>SHA-256 fingerprint:</translation>
    </message>
    <message>
        <source>Problem:</source>
        <translation>Problem:</translation>
    </message>
    <message>
        <source>Trust this certificate always</source>
        <translation>Trust this certificate always</translation>
    </message>
    <message>
        <source>Only this time</source>
        <translation>Only this time</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>KTDUFile</name>
    <message>
        <source>undowload</source>
        <translation>undowload</translation>
    </message>
    <message>
        <source>dowloading</source>
        <translation>dowloading</translation>
    </message>
    <message>
        <source>dowloaded</source>
        <translation>dowloaded</translation>
    </message>
    <message>
        <source>dowloadError</source>
        <translation>dowloadError</translation>
    </message>
    <message>
        <source>unupload</source>
        <translation>unupload</translation>
    </message>
    <message>
        <source>uploading</source>
        <translation>uploading</translation>
    </message>
    <message>
        <source>uploaded</source>
        <translation>uploaded</translation>
    </message>
    <message>
        <source>uploadError</source>
        <translation>uploadError</translation>
    </message>
    <message>
        <source>Same</source>
        <translation>Same</translation>
    </message>
    <message>
        <source>Different</source>
        <translation>Different</translation>
    </message>
    <message>
        <source>finish</source>
        <translation>finish</translation>
    </message>
</context>
<context>
    <name>KTDelInfo</name>
    <message>
        <source>undelete</source>
        <translation>undelete</translation>
    </message>
    <message>
        <source>deteting</source>
        <translation>deteting</translation>
    </message>
    <message>
        <source>delallfile</source>
        <translation>delallfile</translation>
    </message>
    <message>
        <source>delfolder</source>
        <translation>delfolder</translation>
    </message>
    <message>
        <source>deteted</source>
        <translation>deteted</translation>
    </message>
    <message>
        <source>unknow</source>
        <translation>unknow</translation>
    </message>
    <message>
        <source>error</source>
        <translation>error</translation>
    </message>
</context>
<context>
    <name>KTNewFolder</name>
    <message>
        <source>New Folder</source>
        <translation>New Folder</translation>
    </message>
    <message>
        <source>Please enter the folder name!</source>
        <translation>Please enter the folder name!</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Create</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
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
        <translation>Connect</translation>
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
        <translation>Stop</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>Ftp Server</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Date Time</source>
        <translation>Date Time</translation>
    </message>
    <message>
        <source>Attrib</source>
        <translation>Attrib</translation>
    </message>
    <message>
        <source>Local Path</source>
        <translation>Local Path</translation>
    </message>
    <message>
        <source>Server Path</source>
        <translation>Server Path</translation>
    </message>
    <message>
        <source>State</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>Downloading file from server!</source>
        <translation>Downloading file from server!</translation>
    </message>
    <message>
        <source>Uploading files to server!</source>
        <translation>Uploading files to server!</translation>
    </message>
    <message>
        <source>Deleting file!</source>
        <translation>Deleting file!</translation>
    </message>
    <message>
        <source>Changing file name!</source>
        <translation>Changing file name!</translation>
    </message>
    <message>
        <source>Creating new folder!</source>
        <translation>Creating new folder!</translation>
    </message>
    <message>
        <source>Changing file attributes!</source>
        <translation>Changing file attributes!</translation>
    </message>
    <message>
        <source>Comparing files!</source>
        <translation>Comparing files!</translation>
    </message>
    <message>
        <source>Download file is completed!</source>
        <translation>Download file is completed!</translation>
    </message>
    <message>
        <source>Upload file is completed!</source>
        <translation>Upload file is completed!</translation>
    </message>
    <message>
        <source>Delete files completed!</source>
        <translation>Delete files completed!</translation>
    </message>
    <message>
        <source>Modify the file is completed!</source>
        <translation>Modify the file is completed!</translation>
    </message>
    <message>
        <source>Change the file attributes completed!</source>
        <translation>Change the file attributes completed!</translation>
    </message>
    <message>
        <source>Compare files completed!</source>
        <translation>Compare files completed!</translation>
    </message>
    <message>
        <source>Last operation not completed!</source>
        <translation>Last operation not completed!</translation>
    </message>
    <message>
        <source>Not connected to the server!</source>
        <translation>Not connected to the server!</translation>
    </message>
    <message>
        <source>Connected to the server!</source>
        <translation>Connected to the server!</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Stopping!</source>
        <translation>Stopping!</translation>
    </message>
    <message>
        <source>No command to run!</source>
        <translation>No command to run!</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>Restart</translation>
    </message>
    <message>
        <source>Download has stopped!</source>
        <translation>Download has stopped!</translation>
    </message>
    <message>
        <source>Upload has stopped!</source>
        <translation>Upload has stopped!</translation>
    </message>
    <message>
        <source>Comparison has stopped!</source>
        <translation>Comparison has stopped!</translation>
    </message>
    <message>
        <source>T</source>
        <translation>T</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>New Folder</translation>
    </message>
    <message>
        <source>In folder</source>
        <translation>In folder</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Dowload</source>
        <translation>Dowload</translation>
    </message>
    <message>
        <source>Move to ...</source>
        <translation>Move to ...</translation>
    </message>
    <message>
        <source>Attributes</source>
        <translation>Attributes</translation>
    </message>
    <message>
        <source>Retry Errors</source>
        <translation>Retry Errors</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>You did not choose any files or directories!</source>
        <translation>You did not choose any files or directories!</translation>
    </message>
    <message>
        <source>Delete the selected files and folders from the server?</source>
        <translation>Delete the selected files and folders from the server?</translation>
    </message>
    <message>
        <source>You at least choose a file or folder!</source>
        <translation>You at least choose a file or folder!</translation>
    </message>
    <message>
        <source>Please select the file or directory with the same name!</source>
        <translation>Please select the file or directory with the same name!</translation>
    </message>
    <message>
        <source>Wrong choice, Please choose the same name file or folder!</source>
        <translation>Wrong choice, Please choose the same name file or folder!</translation>
    </message>
    <message>
        <source>Failed to create a temporary directory!</source>
        <translation>Failed to create a temporary directory!</translation>
    </message>
    <message>
        <source>Delete permanently?</source>
        <translation>Delete permanently?</translation>
    </message>
    <message>
        <source>Elapsed:</source>
        <translation>Elapsed:</translation>
    </message>
    <message>
        <source>Remaining:</source>
        <translation>Remaining:</translation>
    </message>
    <message>
        <source>The connection is encrypted (FTP over TLS).</source>
        <translation>The connection is encrypted (FTP over TLS).</translation>
    </message>
</context>
<context>
    <name>RenameDialog</name>
    <message>
        <source>Rename Dialog</source>
        <translation>Rename Dialog</translation>
    </message>
    <message>
        <source>Please enter a new name:</source>
        <translation>Please enter a new name:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ServerDirTree</name>
    <message>
        <source>Choose the path</source>
        <translation>Choose the path</translation>
    </message>
    <message>
        <source>Please choose the file path!</source>
        <translation>Please choose the file path!</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>New Folder</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>Please select the folder!</source>
        <translation>Please select the folder!</translation>
    </message>
</context>
<context>
    <name>StartFTPDialog</name>
    <message>
        <source>Start the ftp server</source>
        <translation>Start the ftp server</translation>
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
        <translation>Path:</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Stop the ftp server</source>
        <translation>Stop the ftp server</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>State</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Onine</source>
        <translation>Onine</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>&lt;br&gt;Please select the working folder!</source>
        <translation>&lt;br&gt;Please select the working folder!</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>The port must be a number from 1 to 65535!</translation>
    </message>
    <message>
        <source>You did not choose user information!</source>
        <translation>You did not choose user information!</translation>
    </message>
    <message>
        <source>FTP server has started.</source>
        <translation>FTP server has started.</translation>
    </message>
    <message>
        <source>FTP server did not start.</source>
        <translation>FTP server did not start.</translation>
    </message>
</context>
</TS>
