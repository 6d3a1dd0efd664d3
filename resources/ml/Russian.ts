<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="en">
<context>
    <name>AuthorizeDirectory</name>
    <message>
        <source>Authorize Directory</source>
        <translation>Разрешить доступ к папке</translation>
    </message>
    <message>
        <source>Not authorized directory:</source>
        <translation>Папка без доступа:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Authorize</source>
        <translation>Разрешить</translation>
    </message>
    <message>
        <source>Please select the authorized directory!</source>
        <translation>Выберите папку для доступа!</translation>
    </message>
    <message>
        <source>Authorization directory failed!</source>
        <translation>Не удалось получить доступ к папке!</translation>
    </message>
</context>
<context>
    <name>BackupToFTPDialog</name>
    <message>
        <source>FTP Servers</source>
        <translation>FTP-серверы</translation>
    </message>
    <message>
        <source>Sever Name</source>
        <translation>Имя сервера</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Working Folder</source>
        <translation>Рабочая папка</translation>
    </message>
    <message>
        <source>Server Folder </source>
        <translation>Папка на сервере </translation>
    </message>
    <message>
        <source>Server Name:</source>
        <translation>Имя сервера:</translation>
    </message>
    <message>
        <source>Encode:</source>
        <translation>Кодировка:</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Порт:</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Пользователь:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Пароль:</translation>
    </message>
    <message>
        <source>FTP Path:</source>
        <translation>Путь FTP:</translation>
    </message>
    <message>
        <source>Connect server successfully, Please select a server folder!</source>
        <translation>После подключения выберите папку на сервере!</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Обзор</translation>
    </message>
    <message>
        <source>Local Path:</source>
        <translation>Локальный путь:</translation>
    </message>
    <message>
        <source>Please select a working folder!</source>
        <translation>Выберите рабочую папку!</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>FTP-сервер</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Подключить</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Отключить</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Добавить</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Изменить</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Local ftp server has started!</source>
        <translation>Локальный FTP-сервер запущен!</translation>
    </message>
    <message>
        <source>Local ftp server is not started!</source>
        <translation>Локальный FTP-сервер не запущен!</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Подключено</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Отключено</translation>
    </message>
    <message>
        <source>Connection success!</source>
        <translation>Подключение выполнено!</translation>
    </message>
    <message>
        <source>Disconnect from the server!</source>
        <translation>Отключено от сервера!</translation>
    </message>
    <message>
        <source>Please fill in the server information, click the connect button!</source>
        <translation>Заполните данные сервера и нажмите «Подключить»!</translation>
    </message>
    <message>
        <source>Incomplete information!</source>
        <translation>Данные заполнены не полностью!</translation>
    </message>
    <message>
        <source>Please enter the IP address or host name of the server!</source>
        <translation>Введите IP-адрес или имя узла сервера!</translation>
    </message>
    <message>
        <source>Please enter the port of the server!</source>
        <translation>Введите порт сервера!</translation>
    </message>
    <message>
        <source>Please enter the user name!</source>
        <translation>Введите имя пользователя!</translation>
    </message>
    <message>
        <source>Please enter the password!</source>
        <translation>Введите пароль!</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>Порт должен быть числом от 1 до 65535!</translation>
    </message>
    <message>
        <source>Encryption:</source>
        <translation>Шифрование:</translation>
    </message>
    <message>
        <source>Only plain FTP</source>
        <translation>Только обычный FTP</translation>
    </message>
    <message>
        <source>Use explicit FTP over TLS if available</source>
        <translation>Использовать явный FTP через TLS, если доступен</translation>
    </message>
    <message>
        <source>Require explicit FTP over TLS</source>
        <translation>Требовать явный FTP через TLS</translation>
    </message>
</context>
<context>
    <name>FTPClient</name>
    <message>
        <source>Reply line too long; connection closed.</source>
        <translation>Слишком длинная строка ответа; соединение закрыто.</translation>
    </message>
    <message>
        <source>No reply from the server in time; connection closed.</source>
        <translation>Сервер не ответил вовремя; соединение закрыто.</translation>
    </message>
    <message>
        <source>The server did not greet in time.</source>
        <translation>Сервер не прислал приветствие вовремя.</translation>
    </message>
    <message>
        <source>Compare finish, Total:</source>
        <translation>Сравнение завершено, всего:</translation>
    </message>
    <message>
        <source>, Same:</source>
        <translation>, совпадает:</translation>
    </message>
    <message>
        <source>501 Rename not sent: the new name holds a line break or NUL character.</source>
        <translation>501 Переименование не отправлено: новое имя содержит перевод строки или символ NUL.</translation>
    </message>
    <message>
        <source>Delete Finish, Total: </source>
        <translation>Удаление завершено, всего: </translation>
    </message>
    <message>
        <source> Success: </source>
        <translation> успешно: </translation>
    </message>
    <message>
        <source>Dowload Finish, Total: </source>
        <translation>Скачивание завершено, всего: </translation>
    </message>
    <message>
        <source>Upload Finish, Total: </source>
        <translation>Закачка завершена, всего: </translation>
    </message>
    <message>
        <source>Empty!</source>
        <translation>Пусто!</translation>
    </message>
    <message>
        <source>Data connection cut: less than 1 KiB moved in %1 s.</source>
        <translation>Соединение для данных разорвано: за %1 с передано меньше 1 КиБ.</translation>
    </message>
    <message>
        <source>Listing cut: it passed %1 bytes.</source>
        <translation>Список обрезан: превышено %1 байт.</translation>
    </message>
    <message>
        <source>The folder could not be entered.</source>
        <translation>Не удалось открыть папку.</translation>
    </message>
    <message>
        <source>TLS on the data connection failed: %1</source>
        <translation>Сбой TLS на соединении для данных: %1</translation>
    </message>
    <message>
        <source>The server refused AUTH TLS (%1); encryption is required, so the password was not sent.</source>
        <translation>Сервер отклонил AUTH TLS (%1); шифрование обязательно, поэтому пароль не отправлен.</translation>
    </message>
    <message>
        <source>The server offers no FTP over TLS; logging in without encryption.</source>
        <translation>Сервер не поддерживает FTP через TLS; вход без шифрования.</translation>
    </message>
    <message>
        <source>TLS connection established: %1, %2.</source>
        <translation>TLS-соединение установлено: %1, %2.</translation>
    </message>
    <message>
        <source>WARNING: the certificate of %1 port %2 is not the one you trusted; connection refused. New SHA-256 fingerprint: %3</source>
        <translation>ВНИМАНИЕ: сертификат %1 порт %2 не тот, которому вы доверяли; соединение отклонено. Новый отпечаток SHA-256: %3</translation>
    </message>
    <message>
        <source>The certificate of %1 port %2 is not trusted (%3); connection refused. SHA-256 fingerprint: %4</source>
        <translation>Сертификат %1 порт %2 не является доверенным (%3); соединение отклонено. Отпечаток SHA-256: %4</translation>
    </message>
    <message>
        <source>The TLS handshake failed: %1</source>
        <translation>Сбой согласования TLS: %1</translation>
    </message>
    <message>
        <source>The server refused to encrypt data connections (%1); connection closed.</source>
        <translation>Сервер отказался шифровать соединения для данных (%1); соединение закрыто.</translation>
    </message>
    <message>
        <source>The data connection presented another certificate; it was refused.</source>
        <translation>Соединение для данных предъявило другой сертификат; оно отклонено.</translation>
    </message>
</context>
<context>
    <name>FTPCommandDlg</name>
    <message>
        <source>Ftp Command</source>
        <translation>Команда FTP</translation>
    </message>
    <message>
        <source>Command:</source>
        <translation>Команда:</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>Выполнить</translation>
    </message>
</context>
<context>
    <name>KChmodDlg</name>
    <message>
        <source>Set Attribute</source>
        <translation>Атрибуты</translation>
    </message>
    <message>
        <source>Change sub-files and sub-folders</source>
        <translation>Изменить вложенные файлы и папки</translation>
    </message>
    <message>
        <source>Change sub-files</source>
        <translation>Изменить вложенные файлы</translation>
    </message>
    <message>
        <source>Change sub-folders</source>
        <translation>Изменить вложенные папки</translation>
    </message>
    <message>
        <source>Owner</source>
        <translation>Владелец</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Чтение</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Запись</translation>
    </message>
    <message>
        <source>Execute</source>
        <translation>Выполнение</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Группа</translation>
    </message>
    <message>
        <source>Public</source>
        <translation>Остальные</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Изменить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>KLanguageDialog</name>
    <message>
        <source>Choose a language</source>
        <translation>Выбор языка</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Английский</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>Китайский</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Французский</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Немецкий</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>Итальянский</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Японский</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>Корейский</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Русский</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Испанский</translation>
    </message>
</context>
<context>
    <name>KTCertificateDialog</name>
    <message>
        <source>Server certificate</source>
        <translation>Сертификат сервера</translation>
    </message>
    <message>
        <source>WARNING: %1 port %2 presents a different certificate from the one you trusted. Someone may be intercepting the connection. Trust the new one only if you know why it changed.</source>
        <translation>ВНИМАНИЕ: %1 порт %2 предъявляет не тот сертификат, которому вы доверяли. Возможно, соединение перехватывают. Доверяйте новому, только если знаете, почему он изменился.</translation>
    </message>
    <message>
        <source>No known authority vouches for the certificate of %1 port %2.</source>
        <translation>Ни один известный центр сертификации не подтверждает сертификат %1 порт %2.</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>Субъект:</translation>
    </message>
    <message>
        <source>Issuer:</source>
        <translation>Издатель:</translation>
    </message>
    <message>
        <source>Valid from:</source>
        <translation>Действителен с:</translation>
    </message>
    <message>
        <source>Valid until:</source>
        <translation>Действителен до:</translation>
    </message>
    <message>
        <source>SHA-256 fingerprint:</source>
        <translation>Отпечаток SHA-256:</translation>
    </message>
    <message>
        <source>Problem:</source>
        <translation>Проблема:</translation>
    </message>
    <message>
        <source>Trust this certificate always</source>
        <translation>Всегда доверять этому сертификату</translation>
    </message>
    <message>
        <source>Only this time</source>
        <translation>Только в этот раз</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>KTDUFile</name>
    <message>
        <source>undowload</source>
        <translation>Ожидает</translation>
    </message>
    <message>
        <source>dowloading</source>
        <translation>Скачивается</translation>
    </message>
    <message>
        <source>dowloaded</source>
        <translation>Скачан</translation>
    </message>
    <message>
        <source>dowloadError</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>unupload</source>
        <translation>Ожидает</translation>
    </message>
    <message>
        <source>uploading</source>
        <translation>Закачивается</translation>
    </message>
    <message>
        <source>uploaded</source>
        <translation>Закачан</translation>
    </message>
    <message>
        <source>uploadError</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Same</source>
        <translation>Совпадает</translation>
    </message>
    <message>
        <source>Different</source>
        <translation>Отличается</translation>
    </message>
    <message>
        <source>finish</source>
        <translation>Готово</translation>
    </message>
</context>
<context>
    <name>KTDelInfo</name>
    <message>
        <source>undelete</source>
        <translation>Ожидает</translation>
    </message>
    <message>
        <source>deteting</source>
        <translation>Удаляется</translation>
    </message>
    <message>
        <source>delallfile</source>
        <translation>Файлы удалены</translation>
    </message>
    <message>
        <source>delfolder</source>
        <translation>Удаляется папка</translation>
    </message>
    <message>
        <source>deteted</source>
        <translation>Удалён</translation>
    </message>
    <message>
        <source>unknow</source>
        <translation>Неизвестно</translation>
    </message>
    <message>
        <source>error</source>
        <translation>Ошибка</translation>
    </message>
</context>
<context>
    <name>KTNewFolder</name>
    <message>
        <source>New Folder</source>
        <translation>Новая папка</translation>
    </message>
    <message>
        <source>Please enter the folder name!</source>
        <translation>Введите имя папки!</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Создать</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
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
        <translation>Сайты</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Подключить</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Скачать</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Закачать</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Стоп</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Команда</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>FTP-сервер</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Язык</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Размер</translation>
    </message>
    <message>
        <source>Date Time</source>
        <translation>Дата и время</translation>
    </message>
    <message>
        <source>Attrib</source>
        <translation>Атрибуты</translation>
    </message>
    <message>
        <source>Local Path</source>
        <translation>Локальный путь</translation>
    </message>
    <message>
        <source>Server Path</source>
        <translation>Путь на сервере</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Прогресс</translation>
    </message>
    <message>
        <source>Downloading file from server!</source>
        <translation>Скачивание файлов с сервера!</translation>
    </message>
    <message>
        <source>Uploading files to server!</source>
        <translation>Закачка файлов на сервер!</translation>
    </message>
    <message>
        <source>Deleting file!</source>
        <translation>Удаление файлов!</translation>
    </message>
    <message>
        <source>Changing file name!</source>
        <translation>Изменение имени файла!</translation>
    </message>
    <message>
        <source>Creating new folder!</source>
        <translation>Создание новой папки!</translation>
    </message>
    <message>
        <source>Changing file attributes!</source>
        <translation>Изменение атрибутов файлов!</translation>
    </message>
    <message>
        <source>Comparing files!</source>
        <translation>Сравнение файлов!</translation>
    </message>
    <message>
        <source>Download file is completed!</source>
        <translation>Скачивание завершено!</translation>
    </message>
    <message>
        <source>Upload file is completed!</source>
        <translation>Закачка завершена!</translation>
    </message>
    <message>
        <source>Delete files completed!</source>
        <translation>Удаление завершено!</translation>
    </message>
    <message>
        <source>Modify the file is completed!</source>
        <translation>Изменение завершено!</translation>
    </message>
    <message>
        <source>Change the file attributes completed!</source>
        <translation>Изменение атрибутов завершено!</translation>
    </message>
    <message>
        <source>Compare files completed!</source>
        <translation>Сравнение завершено!</translation>
    </message>
    <message>
        <source>Last operation not completed!</source>
        <translation>Предыдущая операция ещё не завершена!</translation>
    </message>
    <message>
        <source>Not connected to the server!</source>
        <translation>Нет подключения к серверу!</translation>
    </message>
    <message>
        <source>Connected to the server!</source>
        <translation>Подключено к серверу!</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Отключить</translation>
    </message>
    <message>
        <source>Stopping!</source>
        <translation>Остановка!</translation>
    </message>
    <message>
        <source>No command to run!</source>
        <translation>Нет команд для выполнения!</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>Продолжить</translation>
    </message>
    <message>
        <source>Download has stopped!</source>
        <translation>Скачивание остановлено!</translation>
    </message>
    <message>
        <source>Upload has stopped!</source>
        <translation>Закачка остановлена!</translation>
    </message>
    <message>
        <source>Comparison has stopped!</source>
        <translation>Сравнение остановлено!</translation>
    </message>
    <message>
        <source>T</source>
        <translation>T</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Новая папка</translation>
    </message>
    <message>
        <source>In folder</source>
        <translation>Открыть папку</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Переименовать</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Сравнить</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Dowload</source>
        <translation>Скачать</translation>
    </message>
    <message>
        <source>Move to ...</source>
        <translation>Переместить в…</translation>
    </message>
    <message>
        <source>Attributes</source>
        <translation>Атрибуты</translation>
    </message>
    <message>
        <source>Retry Errors</source>
        <translation>Повторить ошибки</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>You did not choose any files or directories!</source>
        <translation>Не выбраны файлы или папки!</translation>
    </message>
    <message>
        <source>Delete the selected files and folders from the server?</source>
        <translation>Удалить выбранные файлы и папки с сервера?</translation>
    </message>
    <message>
        <source>You at least choose a file or folder!</source>
        <translation>Выберите хотя бы один файл или папку!</translation>
    </message>
    <message>
        <source>Please select the file or directory with the same name!</source>
        <translation>Выберите файл или папку с тем же именем!</translation>
    </message>
    <message>
        <source>Wrong choice, Please choose the same name file or folder!</source>
        <translation>Неверный выбор, выберите файл или папку с тем же именем!</translation>
    </message>
    <message>
        <source>Failed to create a temporary directory!</source>
        <translation>Не удалось создать временную папку!</translation>
    </message>
    <message>
        <source>Delete permanently?</source>
        <translation>Удалить безвозвратно?</translation>
    </message>
    <message>
        <source>Elapsed:</source>
        <translation>Прошло:</translation>
    </message>
    <message>
        <source>Remaining:</source>
        <translation>Осталось:</translation>
    </message>
    <message>
        <source>The connection is encrypted (FTP over TLS).</source>
        <translation>Соединение зашифровано (FTP через TLS).</translation>
    </message>
</context>
<context>
    <name>RenameDialog</name>
    <message>
        <source>Rename Dialog</source>
        <translation>Переименование</translation>
    </message>
    <message>
        <source>Please enter a new name:</source>
        <translation>Введите новое имя:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>ServerDirTree</name>
    <message>
        <source>Choose the path</source>
        <translation>Выбор пути</translation>
    </message>
    <message>
        <source>Please choose the file path!</source>
        <translation>Выберите путь!</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Новая папка</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Выбрать</translation>
    </message>
    <message>
        <source>Please select the folder!</source>
        <translation>Выберите папку!</translation>
    </message>
</context>
<context>
    <name>StartFTPDialog</name>
    <message>
        <source>Start the ftp server</source>
        <translation>Запустить FTP-сервер</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Порт:</translation>
    </message>
    <message>
        <source>Path:</source>
        <translation>Путь:</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Обзор</translation>
    </message>
    <message>
        <source>Stop the ftp server</source>
        <translation>Остановить FTP-сервер</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Пользователь</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Пароль</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Пользователь:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Пароль:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Onine</source>
        <translation>В сети</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Не в сети</translation>
    </message>
    <message>
        <source>&lt;br&gt;Please select the working folder!</source>
        <translation>&lt;br&gt;Выберите рабочую папку!</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>Порт должен быть числом от 1 до 65535!</translation>
    </message>
    <message>
        <source>You did not choose user information!</source>
        <translation>Пользователь не выбран!</translation>
    </message>
    <message>
        <source>FTP server has started.</source>
        <translation>FTP-сервер запущен.</translation>
    </message>
    <message>
        <source>FTP server did not start.</source>
        <translation>Не удалось запустить FTP-сервер.</translation>
    </message>
</context>
</TS>
