// The upload engine: the next record or local folder, the STOR conversation, one block in flight.
#include "engine/ftpclient.h"

#include "common/helpers.h"

#include <QDir>
#include <QFileInfo>
#include <QSslSocket>
#include <QTimer>

void FTPClient::startUpload()
{
    if (comeToRestIfStopped(uploadActive))
        return;
    if (uploadQueue.isEmpty() && uploadFolders.isEmpty())
        return;

    if (currentFile && currentFile->stateCode == KTDUFile::Uploading)
        return;
    // Uploads go in queue order.
    KTDUFile* chosen = nullptr;
    while ((chosen = takePendingUpload()) && !recordIsSafe(chosen, false)) {
        uploadActive = true;
        failRecordAtStart(chosen, KTDUFile::UploadError);
    }
    currentFile = nullptr;

    if (!chosen) {
        if (!uploadFolders.isEmpty()) {
            uploadActive = true;
            if (nextUploadFolder())
                return;
        }
        endTransferJob(true);
        return;
    }

    uploadActive = true;
    enterFileFolder(chosen);
    chosen->stateCode = KTDUFile::Uploading;
    currentFile = chosen;
    storSending = false;
    transferFile.setFileName(QFileInfo(chosen->localFile).absoluteFilePath());
    if (!transferFile.open(QIODevice::ReadOnly)) {
        chosen->stateCode = KTDUFile::UploadError;
        emit srStateChange(chosen);
        return;  // the job waits, as a download does
    }
    chosen->fileSize = transferFile.size();
    if (chosen->doneSize < 0 || chosen->doneSize > chosen->fileSize)
        chosen->doneSize = 0;
    transferFile.seek(chosen->doneSize);
    emit srFileSize(chosen);

    queueCommand(QStringLiteral("TYPE I"));
    queueCommand(QStringLiteral("PASV"));
    if (chosen->doneSize > 0)
        queueCommand(QLatin1String("REST ") + QString::number(chosen->doneSize));
    queueCommand(QLatin1String("STOR ") + QFileInfo(chosen->localFile).fileName());
    sendNextCommand();
}

// The first record waiting, from the cursor on; records before it were taken already.
KTDUFile* FTPClient::takePendingUpload()
{
    for (int pass = 0; pass < 2; ++pass) {
        for (; uploadCursor < uploadQueue.size(); ++uploadCursor) {
            if (uploadQueue.at(uploadCursor)->stateCode == KTDUFile::Unupload)
                return uploadQueue.at(uploadCursor);
        }
        if (!uploadFolders.isEmpty())
            return nullptr;
        uploadCursor = 0;  // once more from the start for records put back from outside
    }
    return nullptr;
}

bool FTPClient::nextUploadFolder()
{
    while (!uploadFolders.isEmpty()) {
        const QString folder = uploadFolders.takeFirst();
        // A folder reached twice (through a link) is walked once; a loop of links ends here.
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (!canonical.isEmpty() && walkedUploadDirs.contains(canonical))
            continue;
        walkedUploadDirs.insert(canonical);
        const QString rest = folder.startsWith(localBase) ? folder.mid(localBase.size())
                                                           : cleanLocal(folder).mid(cleanLocal(localBase).size());
        const QStringList parts = rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (canonical.isEmpty() || parts.size() > MaxFolderDepth || !QFileInfo(folder).isReadable()
            || !QFileInfo(folder).isExecutable()) {
            failFolder(localToRemote(folder), folder, true);
            continue;
        }
        const QFileInfoList entries = QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot,
                                                                 QDir::Name | QDir::IgnoreCase);
        if (entries.isEmpty())
            continue;  // an empty folder creates nothing on the server
        for (const QFileInfo& entry : entries) {
            if (entry.isDir())
                uploadFolders.append(entry.absoluteFilePath());
            else
                addUploadFile(entry.absoluteFilePath(), localToRemote(entry.absoluteFilePath()), false, 0);
        }
        emit setLocalPath(folder);
        if (parts.isEmpty()) {
            // The root itself: its files go straight into the remote root.
            startUpload();
            return true;
        }
        QString parent = remoteBase;
        for (int i = 0; i + 1 < parts.size(); ++i)
            parent = joinRemotePath(parent, parts.at(i));
        const QString name = parts.last();
        if (isSafeCommandText(parent) && isPlainEntryName(name)) {
            changeDir(parent);
            sendCommand(QLatin1String("MKD ") + name);
            changeDir(joinRemotePath(parent, name));
            sendCommand(QStringLiteral("PWD"));
            listDir();
        }
        // Otherwise nothing is created; the folder's records fail on their own unsafe paths.
        startUpload();
        return true;
    }
    return false;
}

void FTPClient::handleStorReply(const QString& line)
{
    KTDUFile* record = currentFile;
    if (!record || record->stateCode != KTDUFile::Uploading)
        return;
    if (line.startsWith(QLatin1Char('1'))) {
        // 125 or 150: the server waits for the data. A second preliminary line changes nothing.
        if (storSending)
            return;
        storSending = true;
        startStoreData();
        return;
    }
    QObject::disconnect(storStartConnection);
    if (dataSocket->state() != QAbstractSocket::UnconnectedState)
        dataSocket->abort();  // refused or cut short: nothing more goes out
    if (transferFile.isOpen())
        transferFile.close();
    storSending = false;
    dataMode = 0;
    record->stateCode = isTransferDone(line) && record->doneSize == record->fileSize ? KTDUFile::Uploaded
                                                                                      : KTDUFile::UploadError;
    emit srFileFinish(record);
    startUpload();
}

// The first block goes out once the data connection stands; a 150 can overtake our connect.
void FTPClient::startStoreData()
{
    QObject::disconnect(storStartConnection);
    if (dataReady()) {
        sendNextChunk();
        return;
    }
    const auto sendFirstBlock = [this] {
        QObject::disconnect(storStartConnection);
        if (storSending && currentFile && currentFile->stateCode == KTDUFile::Uploading)
            sendNextChunk();
    };
    // An encrypted data connection takes data only once its handshake is through.
    if (dataSocket->mode() == QSslSocket::UnencryptedMode)
        storStartConnection = connect(dataSocket, &QTcpSocket::connected, this, sendFirstBlock);
    else
        storStartConnection = connect(dataSocket, &QSslSocket::encrypted, this, sendFirstBlock);
}

bool FTPClient::sendNextChunk()
{
    if (!transferFile.isOpen()) {
        dataSocket->disconnectFromHost();
        return false;
    }
    const QByteArray block = transferFile.read(UploadBlockBytes);
    if (!block.isEmpty()) {
        dataSocket->write(block);
        return true;
    }
    dataSocket->disconnectFromHost();
    return false;
}

void FTPClient::slotBytesWritten(qint64 bytes)
{
    touchReplyTimer();
    KTDUFile* record = currentFile;
    if (dataMode != 3 || !record || record->stateCode != KTDUFile::Uploading || !dataSocket->isWritable())
        return;
    countDataProgress(bytes);
    record->doneSize += bytes;
    if (record->doneSize < record->fileSize) {
        // One block in flight: the next is read only when this one is written out.
        if (stopState != 2 && transferFile.isOpen() && record->doneSize == transferFile.pos()) {
            emit srProgress(record);
            if (!encryptedBacklog())
                sendNextChunk();
        }
        return;
    }
    if (record->doneSize == record->fileSize)
        emit srProgress(record);
    closeUploadWhenSent();
}

// Encryption takes the blocks at once; only the encrypted bytes leaving tell the pace.
void FTPClient::slotEncryptedBytesWritten(qint64)
{
    touchReplyTimer();
    const KTDUFile* record = currentFile;
    if (dataMode != 3 || !record || record->stateCode != KTDUFile::Uploading || !dataSocket->isWritable())
        return;
    if (record->doneSize >= record->fileSize)
        closeUploadWhenSent();
    else if (stopState != 2 && transferFile.isOpen() && record->doneSize == transferFile.pos() && !encryptedBacklog())
        sendNextChunk();
}

bool FTPClient::encryptedBacklog() const
{
    return dataSocket->mode() != QSslSocket::UnencryptedMode && dataSocket->encryptedBytesToWrite() > TlsUploadBacklogBytes;
}

// A TLS 1.3 server sends its session ticket on the data connection too, and may send it only
// after it has told us to go ahead; closing while it sits unread makes the system reset the
// connection, and the server loses the file's tail. So an encrypted upload ends once the ticket
// is in, or after a short wait for servers that send none.
void FTPClient::closeUploadWhenSent()
{
    if (dataSocket->state() != QAbstractSocket::ConnectedState)
        return;
    if (dataSocket->mode() != QSslSocket::UnencryptedMode) {
        if (dataSocket->encryptedBytesToWrite() > 0)
            return;  // the next encryptedBytesWritten comes back here
        if (dataSocket->sessionProtocol() == QSsl::TlsV1_3 && !dataTicketSeen && !dataTicketWaitOver) {
            if (!dataTicketTimer->isActive())
                dataTicketTimer->start();
            return;  // the ticket or the timer comes back here
        }
        dataSocket->readAll();
    }
    dataTicketTimer->stop();
    dataSocket->disconnectFromHost();
}
