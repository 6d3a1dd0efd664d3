<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>AuthorizeDirectory</name>
    <message>
        <source>Authorize Directory</source>
        <translation>Autorizar carpeta</translation>
    </message>
    <message>
        <source>Not authorized directory:</source>
        <translation>Carpeta no autorizada:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Authorize</source>
        <translation>Autorizar</translation>
    </message>
    <message>
        <source>Please select the authorized directory!</source>
        <translation>¡Seleccione la carpeta que desea autorizar!</translation>
    </message>
    <message>
        <source>Authorization directory failed!</source>
        <translation>¡No se pudo autorizar la carpeta!</translation>
    </message>
</context>
<context>
    <name>BackupToFTPDialog</name>
    <message>
        <source>FTP Servers</source>
        <translation>Servidores FTP</translation>
    </message>
    <message>
        <source>Sever Name</source>
        <translation>Nombre del servidor</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>Working Folder</source>
        <translation>Carpeta de trabajo</translation>
    </message>
    <message>
        <source>Server Folder </source>
        <translation>Carpeta del servidor </translation>
    </message>
    <message>
        <source>Server Name:</source>
        <translation>Nombre del servidor:</translation>
    </message>
    <message>
        <source>Encode:</source>
        <translation>Codificación:</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Puerto:</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Usuario:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Contraseña:</translation>
    </message>
    <message>
        <source>FTP Path:</source>
        <translation>Ruta FTP:</translation>
    </message>
    <message>
        <source>Connect server successfully, Please select a server folder!</source>
        <translation>Tras conectar, ¡seleccione una carpeta del servidor!</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Examinar</translation>
    </message>
    <message>
        <source>Local Path:</source>
        <translation>Ruta local:</translation>
    </message>
    <message>
        <source>Please select a working folder!</source>
        <translation>¡Seleccione una carpeta de trabajo!</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>Servidor FTP</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Conectar</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Desconectar</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Añadir</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Editar</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Quitar</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Local ftp server has started!</source>
        <translation>¡El servidor FTP local está iniciado!</translation>
    </message>
    <message>
        <source>Local ftp server is not started!</source>
        <translation>¡El servidor FTP local no está iniciado!</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Conectado</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Desconectado</translation>
    </message>
    <message>
        <source>Connection success!</source>
        <translation>¡Conexión correcta!</translation>
    </message>
    <message>
        <source>Disconnect from the server!</source>
        <translation>¡Desconectado del servidor!</translation>
    </message>
    <message>
        <source>Please fill in the server information, click the connect button!</source>
        <translation>¡Rellene los datos del servidor y pulse Conectar!</translation>
    </message>
    <message>
        <source>Incomplete information!</source>
        <translation>¡Información incompleta!</translation>
    </message>
    <message>
        <source>Please enter the IP address or host name of the server!</source>
        <translation>¡Introduzca la dirección IP o el nombre de host del servidor!</translation>
    </message>
    <message>
        <source>Please enter the port of the server!</source>
        <translation>¡Introduzca el puerto del servidor!</translation>
    </message>
    <message>
        <source>Please enter the user name!</source>
        <translation>¡Introduzca el nombre de usuario!</translation>
    </message>
    <message>
        <source>Please enter the password!</source>
        <translation>¡Introduzca la contraseña!</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>¡El puerto debe ser un número del 1 al 65535!</translation>
    </message>
    <message>
        <source>Encryption:</source>
        <translation>Cifrado:</translation>
    </message>
    <message>
        <source>Only plain FTP</source>
        <translation>Solo FTP sin cifrar</translation>
    </message>
    <message>
        <source>Use explicit FTP over TLS if available</source>
        <translation>Usar FTP explícito sobre TLS si está disponible</translation>
    </message>
    <message>
        <source>Require explicit FTP over TLS</source>
        <translation>Exigir FTP explícito sobre TLS</translation>
    </message>
</context>
<context>
    <name>FTPClient</name>
    <message>
        <source>Reply line too long; connection closed.</source>
        <translation>Línea de respuesta demasiado larga; conexión cerrada.</translation>
    </message>
    <message>
        <source>No reply from the server in time; connection closed.</source>
        <translation>El servidor no respondió a tiempo; conexión cerrada.</translation>
    </message>
    <message>
        <source>The server did not greet in time.</source>
        <translation>El servidor no envió el saludo a tiempo.</translation>
    </message>
    <message>
        <source>Compare finish, Total:</source>
        <translation>Comparación terminada, total:</translation>
    </message>
    <message>
        <source>, Same:</source>
        <translation>, iguales:</translation>
    </message>
    <message>
        <source>501 Rename not sent: the new name holds a line break or NUL character.</source>
        <translation>501 Cambio de nombre no enviado: el nombre nuevo contiene un salto de línea o un carácter NUL.</translation>
    </message>
    <message>
        <source>Delete Finish, Total: </source>
        <translation>Eliminación terminada, total: </translation>
    </message>
    <message>
        <source> Success: </source>
        <translation> correctos: </translation>
    </message>
    <message>
        <source>Dowload Finish, Total: </source>
        <translation>Descarga terminada, total: </translation>
    </message>
    <message>
        <source>Upload Finish, Total: </source>
        <translation>Subida terminada, total: </translation>
    </message>
    <message>
        <source>Empty!</source>
        <translation>¡Vacío!</translation>
    </message>
    <message>
        <source>Data connection cut: less than 1 KiB moved in %1 s.</source>
        <translation>Conexión de datos cortada: menos de 1 KiB transferido en %1 s.</translation>
    </message>
    <message>
        <source>Listing cut: it passed %1 bytes.</source>
        <translation>Listado cortado: superó los %1 bytes.</translation>
    </message>
    <message>
        <source>The folder could not be entered.</source>
        <translation>No se pudo entrar en la carpeta.</translation>
    </message>
    <message>
        <source>TLS on the data connection failed: %1</source>
        <translation>Falló TLS en la conexión de datos: %1</translation>
    </message>
    <message>
        <source>The server refused AUTH TLS (%1); encryption is required, so the password was not sent.</source>
        <translation>El servidor rechazó AUTH TLS (%1); el cifrado es obligatorio, así que no se envió la contraseña.</translation>
    </message>
    <message>
        <source>The server offers no FTP over TLS; logging in without encryption.</source>
        <translation>El servidor no ofrece FTP sobre TLS; se inicia sesión sin cifrado.</translation>
    </message>
    <message>
        <source>TLS connection established: %1, %2.</source>
        <translation>Conexión TLS establecida: %1, %2.</translation>
    </message>
    <message>
        <source>WARNING: the certificate of %1 port %2 is not the one you trusted; connection refused. New SHA-256 fingerprint: %3</source>
        <translation>ADVERTENCIA: el certificado de %1 puerto %2 no es el que usted aceptó; conexión rechazada. Nueva huella SHA-256: %3</translation>
    </message>
    <message>
        <source>The certificate of %1 port %2 is not trusted (%3); connection refused. SHA-256 fingerprint: %4</source>
        <translation>El certificado de %1 puerto %2 no es de confianza (%3); conexión rechazada. Huella SHA-256: %4</translation>
    </message>
    <message>
        <source>The TLS handshake failed: %1</source>
        <translation>Falló la negociación TLS: %1</translation>
    </message>
    <message>
        <source>The server refused to encrypt data connections (%1); connection closed.</source>
        <translation>El servidor rechazó cifrar las conexiones de datos (%1); conexión cerrada.</translation>
    </message>
    <message>
        <source>The data connection presented another certificate; it was refused.</source>
        <translation>La conexión de datos presentó otro certificado; fue rechazada.</translation>
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
        <translation>Ejecutar</translation>
    </message>
</context>
<context>
    <name>KChmodDlg</name>
    <message>
        <source>Set Attribute</source>
        <translation>Establecer atributos</translation>
    </message>
    <message>
        <source>Change sub-files and sub-folders</source>
        <translation>Cambiar subarchivos y subcarpetas</translation>
    </message>
    <message>
        <source>Change sub-files</source>
        <translation>Cambiar subarchivos</translation>
    </message>
    <message>
        <source>Change sub-folders</source>
        <translation>Cambiar subcarpetas</translation>
    </message>
    <message>
        <source>Owner</source>
        <translation>Propietario</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Lectura</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Escritura</translation>
    </message>
    <message>
        <source>Execute</source>
        <translation>Ejecución</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Grupo</translation>
    </message>
    <message>
        <source>Public</source>
        <translation>Público</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Cambiar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>KLanguageDialog</name>
    <message>
        <source>Choose a language</source>
        <translation>Elegir un idioma</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Inglés</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>Chino</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Francés</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Alemán</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>Italiano</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Japonés</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>Coreano</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Ruso</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Español</translation>
    </message>
</context>
<context>
    <name>KTCertificateDialog</name>
    <message>
        <source>Server certificate</source>
        <translation>Certificado del servidor</translation>
    </message>
    <message>
        <source>WARNING: %1 port %2 presents a different certificate from the one you trusted. Someone may be intercepting the connection. Trust the new one only if you know why it changed.</source>
        <translation>ADVERTENCIA: %1 puerto %2 presenta un certificado distinto del que usted aceptó. Alguien podría estar interceptando la conexión. Confíe en el nuevo solo si sabe por qué cambió.</translation>
    </message>
    <message>
        <source>No known authority vouches for the certificate of %1 port %2.</source>
        <translation>Ninguna autoridad conocida respalda el certificado de %1 puerto %2.</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>Sujeto:</translation>
    </message>
    <message>
        <source>Issuer:</source>
        <translation>Emisor:</translation>
    </message>
    <message>
        <source>Valid from:</source>
        <translation>Válido desde:</translation>
    </message>
    <message>
        <source>Valid until:</source>
        <translation>Válido hasta:</translation>
    </message>
    <message>
        <source>SHA-256 fingerprint:</source>
        <translation>Huella SHA-256:</translation>
    </message>
    <message>
        <source>Problem:</source>
        <translation>Problema:</translation>
    </message>
    <message>
        <source>Trust this certificate always</source>
        <translation>Confiar siempre en este certificado</translation>
    </message>
    <message>
        <source>Only this time</source>
        <translation>Solo esta vez</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>KTDUFile</name>
    <message>
        <source>undowload</source>
        <translation>En espera</translation>
    </message>
    <message>
        <source>dowloading</source>
        <translation>Descargando</translation>
    </message>
    <message>
        <source>dowloaded</source>
        <translation>Descargado</translation>
    </message>
    <message>
        <source>dowloadError</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>unupload</source>
        <translation>En espera</translation>
    </message>
    <message>
        <source>uploading</source>
        <translation>Subiendo</translation>
    </message>
    <message>
        <source>uploaded</source>
        <translation>Subido</translation>
    </message>
    <message>
        <source>uploadError</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Same</source>
        <translation>Igual</translation>
    </message>
    <message>
        <source>Different</source>
        <translation>Distinto</translation>
    </message>
    <message>
        <source>finish</source>
        <translation>Terminado</translation>
    </message>
</context>
<context>
    <name>KTDelInfo</name>
    <message>
        <source>undelete</source>
        <translation>En espera</translation>
    </message>
    <message>
        <source>deteting</source>
        <translation>Eliminando</translation>
    </message>
    <message>
        <source>delallfile</source>
        <translation>Archivos eliminados</translation>
    </message>
    <message>
        <source>delfolder</source>
        <translation>Eliminando carpeta</translation>
    </message>
    <message>
        <source>deteted</source>
        <translation>Eliminado</translation>
    </message>
    <message>
        <source>unknow</source>
        <translation>Desconocido</translation>
    </message>
    <message>
        <source>error</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>KTNewFolder</name>
    <message>
        <source>New Folder</source>
        <translation>Nueva carpeta</translation>
    </message>
    <message>
        <source>Please enter the folder name!</source>
        <translation>¡Introduzca el nombre de la carpeta!</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Crear</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
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
        <translation>Sitios</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Conectar</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Descargar</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Subir</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Detener</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Comando</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>Servidor FTP</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Ayuda</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Tamaño</translation>
    </message>
    <message>
        <source>Date Time</source>
        <translation>Fecha y hora</translation>
    </message>
    <message>
        <source>Attrib</source>
        <translation>Atributos</translation>
    </message>
    <message>
        <source>Local Path</source>
        <translation>Ruta local</translation>
    </message>
    <message>
        <source>Server Path</source>
        <translation>Ruta del servidor</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Progreso</translation>
    </message>
    <message>
        <source>Downloading file from server!</source>
        <translation>¡Descargando archivos del servidor!</translation>
    </message>
    <message>
        <source>Uploading files to server!</source>
        <translation>¡Subiendo archivos al servidor!</translation>
    </message>
    <message>
        <source>Deleting file!</source>
        <translation>¡Eliminando archivos!</translation>
    </message>
    <message>
        <source>Changing file name!</source>
        <translation>¡Cambiando el nombre del archivo!</translation>
    </message>
    <message>
        <source>Creating new folder!</source>
        <translation>¡Creando una carpeta nueva!</translation>
    </message>
    <message>
        <source>Changing file attributes!</source>
        <translation>¡Cambiando los atributos de los archivos!</translation>
    </message>
    <message>
        <source>Comparing files!</source>
        <translation>¡Comparando archivos!</translation>
    </message>
    <message>
        <source>Download file is completed!</source>
        <translation>¡Descarga completada!</translation>
    </message>
    <message>
        <source>Upload file is completed!</source>
        <translation>¡Subida completada!</translation>
    </message>
    <message>
        <source>Delete files completed!</source>
        <translation>¡Eliminación completada!</translation>
    </message>
    <message>
        <source>Modify the file is completed!</source>
        <translation>¡Modificación completada!</translation>
    </message>
    <message>
        <source>Change the file attributes completed!</source>
        <translation>¡Cambio de atributos completado!</translation>
    </message>
    <message>
        <source>Compare files completed!</source>
        <translation>¡Comparación completada!</translation>
    </message>
    <message>
        <source>Last operation not completed!</source>
        <translation>¡La operación anterior no ha terminado!</translation>
    </message>
    <message>
        <source>Not connected to the server!</source>
        <translation>¡No hay conexión con el servidor!</translation>
    </message>
    <message>
        <source>Connected to the server!</source>
        <translation>¡Conectado al servidor!</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Desconectar</translation>
    </message>
    <message>
        <source>Stopping!</source>
        <translation>¡Deteniendo!</translation>
    </message>
    <message>
        <source>No command to run!</source>
        <translation>¡No hay ningún comando que ejecutar!</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>Reanudar</translation>
    </message>
    <message>
        <source>Download has stopped!</source>
        <translation>¡Descarga detenida!</translation>
    </message>
    <message>
        <source>Upload has stopped!</source>
        <translation>¡Subida detenida!</translation>
    </message>
    <message>
        <source>Comparison has stopped!</source>
        <translation>¡Comparación detenida!</translation>
    </message>
    <message>
        <source>T</source>
        <translation>T</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Nueva carpeta</translation>
    </message>
    <message>
        <source>In folder</source>
        <translation>Abrir carpeta</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Renombrar</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Comparar</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <source>Dowload</source>
        <translation>Descargar</translation>
    </message>
    <message>
        <source>Move to ...</source>
        <translation>Mover a…</translation>
    </message>
    <message>
        <source>Attributes</source>
        <translation>Atributos</translation>
    </message>
    <message>
        <source>Retry Errors</source>
        <translation>Reintentar errores</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Vaciar</translation>
    </message>
    <message>
        <source>You did not choose any files or directories!</source>
        <translation>¡No ha elegido ningún archivo ni carpeta!</translation>
    </message>
    <message>
        <source>Delete the selected files and folders from the server?</source>
        <translation>¿Eliminar del servidor los archivos y carpetas seleccionados?</translation>
    </message>
    <message>
        <source>You at least choose a file or folder!</source>
        <translation>¡Elija al menos un archivo o una carpeta!</translation>
    </message>
    <message>
        <source>Please select the file or directory with the same name!</source>
        <translation>¡Seleccione el archivo o la carpeta con el mismo nombre!</translation>
    </message>
    <message>
        <source>Wrong choice, Please choose the same name file or folder!</source>
        <translation>Selección incorrecta, ¡elija el archivo o la carpeta con el mismo nombre!</translation>
    </message>
    <message>
        <source>Failed to create a temporary directory!</source>
        <translation>¡No se pudo crear una carpeta temporal!</translation>
    </message>
    <message>
        <source>Delete permanently?</source>
        <translation>¿Eliminar definitivamente?</translation>
    </message>
    <message>
        <source>Elapsed:</source>
        <translation>Transcurrido:</translation>
    </message>
    <message>
        <source>Remaining:</source>
        <translation>Restante:</translation>
    </message>
    <message>
        <source>The connection is encrypted (FTP over TLS).</source>
        <translation>La conexión está cifrada (FTP sobre TLS).</translation>
    </message>
</context>
<context>
    <name>RenameDialog</name>
    <message>
        <source>Rename Dialog</source>
        <translation>Renombrar</translation>
    </message>
    <message>
        <source>Please enter a new name:</source>
        <translation>Introduzca el nombre nuevo:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>ServerDirTree</name>
    <message>
        <source>Choose the path</source>
        <translation>Elegir la ruta</translation>
    </message>
    <message>
        <source>Please choose the file path!</source>
        <translation>¡Elija la ruta!</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Nueva carpeta</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Seleccionar</translation>
    </message>
    <message>
        <source>Please select the folder!</source>
        <translation>¡Seleccione la carpeta!</translation>
    </message>
</context>
<context>
    <name>StartFTPDialog</name>
    <message>
        <source>Start the ftp server</source>
        <translation>Iniciar el servidor FTP</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Puerto:</translation>
    </message>
    <message>
        <source>Path:</source>
        <translation>Ruta:</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Examinar</translation>
    </message>
    <message>
        <source>Stop the ftp server</source>
        <translation>Detener el servidor FTP</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Usuario</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Contraseña</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Usuario:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Contraseña:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Guardar</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Onine</source>
        <translation>En línea</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Desconectado</translation>
    </message>
    <message>
        <source>&lt;br&gt;Please select the working folder!</source>
        <translation>&lt;br&gt;¡Seleccione la carpeta de trabajo!</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>¡El puerto debe ser un número del 1 al 65535!</translation>
    </message>
    <message>
        <source>You did not choose user information!</source>
        <translation>¡No ha elegido ningún usuario!</translation>
    </message>
    <message>
        <source>FTP server has started.</source>
        <translation>El servidor FTP está iniciado.</translation>
    </message>
    <message>
        <source>FTP server did not start.</source>
        <translation>No se pudo iniciar el servidor FTP.</translation>
    </message>
</context>
</TS>
