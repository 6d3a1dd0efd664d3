// Transfer jobs: records and queues, stop, resume, retry and the job's end, shared by downloads
// and uploads.
#include "engine/ftpclient.h"

#include <QFileInfo>
#include <QSslSocket>

namespace {

bool startsWith(const QString& text, const char* prefix)
{
    return text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

} // namespace

bool FTPClient::isTransferDone(const QString& line)
{
    return line.startsWith(QLatin1String("226")) || line.startsWith(QLatin1String("250"));
}

KTDUFile* FTPClient::addRecord(QList<KTDUFile*>& queue, int state, const QString& localFile,
                               const QString& remoteFile, bool isLink, qint64 offset)
{
    if (localFile.isEmpty())
        return nullptr;
    auto* record = new KTDUFile;
    record->localFile = localFile;
    record->remoteFile = remoteFile;
    record->isLink = isLink;
    record->doneSize = offset;
    record->stateCode = state;
    queue.append(record);
    emit srFile(record);
    return record;
}

KTDUFile* FTPClient::addDownloadFile(const QString& localFile, const QString& remoteFile, bool isLink, qint64 offset)
{
    KTDUFile* record = addRecord(downloadQueue, KTDUFile::Undownload, localFile, remoteFile, isLink, offset);
    if (record)
        pendingDownloads.append(record);
    return record;
}

KTDUFile* FTPClient::addUploadFile(const QString& localFile, const QString& remoteFile, bool isLink, qint64 offset)
{
    return addRecord(uploadQueue, KTDUFile::Unupload, localFile, remoteFile, isLink, offset);
}

void FTPClient::prepareTransfer(const QString& local, const QString& remote)
{
    clearTransfers();
    localBase = local;
    remoteBase = remote;
}

void FTPClient::clearTransfers()
{
    if (transferFile.isOpen())
        transferFile.close();
    qDeleteAll(downloadQueue);
    qDeleteAll(uploadQueue);
    downloadQueue.clear();
    uploadQueue.clear();
    pendingDownloads.clear();
    uploadCursor = 0;
    listingFolder.clear();
    currentFile = nullptr;
    downloadFolders.clear();
    uploadFolders.clear();
    downloadListDir.clear();
    localBase.clear();
    remoteBase.clear();
    stopState = 0;
    downloadActive = false;
    uploadActive = false;
    storSending = false;
    listedDownloadDirs.clear();
    walkedUploadDirs.clear();
}

void FTPClient::addDownloadFolder(const QString& remotePath)
{
    downloadFolders.append(remotePath);
}

void FTPClient::addUploadFolder(const QString& localPath)
{
    uploadFolders.append(localPath);
}

void FTPClient::failRecordAtStart(KTDUFile* record, int state)
{
    record->stateCode = state;
    emit srStateChange(record);
    emit srFileFinish(record);
}

void FTPClient::enterFileFolder(KTDUFile* record)
{
    const QString localFolder = QFileInfo(record->localFile).absolutePath();
    emit setLocalPath(localFolder);
    const QString remoteFolder = localToRemote(localFolder);
    if (!isInFolder(remoteFolder)) {
        changeDir(remoteFolder);
        printDir();
    }
}

// The end of a data transfer (225, 226, 425, 426) answers only a command that moves data. After
// a stop some servers send two final replies for the cut transfer; the second one must not be
// taken for the reply to the next command.
bool FTPClient::isStrayTransferReply(const QString& previous, const QString& command, const QString& line)
{
    static const char* const transferEnds[] = {"225", "226", "425", "426"};
    bool transferEnd = false;
    for (const char* code : transferEnds)
        transferEnd = transferEnd || line.startsWith(QLatin1String(code));
    if (!transferEnd)
        return false;
    static const char* const dataCommands[] = {"LIST", "NLST", "MLSD", "RETR", "STOR", "STOU", "APPE", "ABOR"};
    auto movesData = [](const QString& text) {
        for (const char* word : dataCommands) {
            if (startsWith(text, word))
                return true;
        }
        return false;
    };
    return movesData(previous) && !movesData(command);
}

// Every step of a job first closes the file of the step before; after a stop request the job
// comes to rest here instead of taking its next file.
bool FTPClient::comeToRestIfStopped(bool& jobActive)
{
    if (transferFile.isOpen())
        transferFile.close();
    if (stopState != 2)
        return false;
    stopState = 1;
    jobActive = false;
    emit srStop();
    return true;
}

// Ends a job that ran out of work: its summary line, then srFinish. A job that never started
// (or has already ended) reports nothing, so that a second call cannot add a second summary.
bool FTPClient::endTransferJob(bool uploads)
{
    bool& active = uploads ? uploadActive : downloadActive;
    if (!active)
        return false;
    active = false;
    currentFile = nullptr;
    if (uploads || compareTempBase.isEmpty())
        addSummaryRecord(uploads, transferSummary());
    emit srFinish(localBase, remoteBase);
    return true;
}

QString FTPClient::transferSummary() const
{
    auto count = [](const QList<KTDUFile*>& queue, int& total, int& success) {
        total = 0;
        success = 0;
        for (const KTDUFile* record : queue) {
            if (record->stateCode == KTDUFile::Finish)
                continue;
            ++total;
            if (record->stateCode == KTDUFile::Downloaded || record->stateCode == KTDUFile::Uploaded)
                ++success;
        }
    };
    int total = 0;
    int success = 0;
    if (!downloadQueue.isEmpty()) {
        count(downloadQueue, total, success);
        if (total >= 1)
            return tr("Dowload Finish, Total: ") + QString::number(total) + tr(" Success: ")
                + QString::number(success);
    } else if (!uploadQueue.isEmpty()) {
        count(uploadQueue, total, success);
        if (total >= 1)
            return tr("Upload Finish, Total: ") + QString::number(total) + tr(" Success: ")
                + QString::number(success);
    }
    return tr("Empty!");
}

void FTPClient::addSummaryRecord(bool toUploads, const QString& text)
{
    KTDUFile* record = toUploads ? addUploadFile(text, QString(), false, 0)
                                 : addDownloadFile(text, QString(), false, 0);
    if (!record)
        return;
    record->stateCode = KTDUFile::Finish;
    emit srFileFinish(record);
}

// Lines of the current file's transfer that have not gone out yet are taken back, so that a stop
// does not wait for a whole file to arrive first. True when the transfer command itself was dropped.
bool FTPClient::dropUnsentTransfer()
{
    int end = -1;
    for (int i = 0; i < commandQueue.size(); ++i) {
        if (startsWith(commandQueue.at(i), "RETR") || startsWith(commandQueue.at(i), "STOR")) {
            end = i;
            break;
        }
    }
    if (end < 0)
        return false;
    for (int i = end; i >= 0; --i) {
        const QString& line = commandQueue.at(i);
        if (startsWith(line, "TYPE I") || startsWith(line, "SIZE ") || startsWith(line, "MDTM ")
            || startsWith(line, "PASV") || startsWith(line, "REST ") || startsWith(line, "RETR")
            || startsWith(line, "STOR"))
            commandQueue.removeAt(i);
    }
    return true;
}

bool FTPClient::stopTransfers()
{
    if (stopState == 2)
        return true;
    if (downloadQueue.isEmpty() && uploadQueue.isEmpty() && downloadFolders.isEmpty() && uploadFolders.isEmpty())
        return false;
    stopState = 2;
    const bool uploads = uploadActive && !downloadActive;
    KTDUFile* record = currentFile;
    const bool running = record
        && (record->stateCode == KTDUFile::Downloading || record->stateCode == KTDUFile::Uploading);
    if (running && dropUnsentTransfer()) {
        // The transfer never started: no final reply will come to end it.
        if (transferFile.isOpen())
            transferFile.close();
        record->stateCode = record->stateCode == KTDUFile::Downloading ? KTDUFile::DownloadError
                                                                       : KTDUFile::UploadError;
        currentFile = nullptr;
        emit srFileFinish(record);
        QMetaObject::invokeMethod(this, uploads ? &FTPClient::startUpload : &FTPClient::startDownload,
                                  Qt::QueuedConnection);
        return true;
    }
    if (dataSocket->isOpen()) {
        if (dataMode == 2)
            drainDataSocket();  // what has arrived is kept and counted
        if (transferFile.isOpen())
            transferFile.close();
        dataSocket->disconnectFromHost();
    }
    // Nothing outstanding that would bring the job to rest: do it from the event loop.
    if (!running && downloadListDir.isEmpty() && !isBusy())
        QMetaObject::invokeMethod(this, uploads ? &FTPClient::startUpload : &FTPClient::startDownload,
                                  Qt::QueuedConnection);
    return true;
}

bool FTPClient::resumeTransfers()
{
    if (stopState != 1)
        return false;
    stopState = 0;
    for (KTDUFile* record : qAsConst(downloadQueue)) {
        if (record->stateCode == KTDUFile::DownloadError)
            record->stateCode = KTDUFile::Undownload;
    }
    for (KTDUFile* record : qAsConst(uploadQueue)) {
        if (record->stateCode == KTDUFile::UploadError)
            record->stateCode = KTDUFile::Unupload;
    }
    rebuildPendingDownloads();
    if (!downloadQueue.isEmpty() || !downloadFolders.isEmpty()) {
        startDownload();
        return true;
    }
    if (!uploadQueue.isEmpty() || !uploadFolders.isEmpty()) {
        startUpload();
        return true;
    }
    return false;
}

void FTPClient::retryErrors()
{
    if (stopState == 2)
        return;
    stopState = 0;
    int requeued = 0;
    if (downloadQueue.isEmpty()) {
        for (KTDUFile* record : qAsConst(uploadQueue)) {
            if (record->stateCode == KTDUFile::UploadError) {
                record->stateCode = KTDUFile::Unupload;
                emit srStateChange(record);
                ++requeued;
            }
        }
        uploadCursor = 0;
        if (requeued > 0)
            startUpload();
        return;
    }
    for (KTDUFile* record : qAsConst(downloadQueue)) {
        if (record->stateCode == KTDUFile::DownloadError) {
            record->stateCode = KTDUFile::Undownload;
            emit srStateChange(record);
            ++requeued;
        }
    }
    rebuildPendingDownloads();
    if (requeued > 0)
        startDownload();
}

// A folder of the job that cannot be listed, made or read: one failed record names it, so
// that it counts in the summary and shows in the queue.
void FTPClient::failFolder(const QString& remoteFolder, const QString& localFolder, bool upload)
{
    const QString local = localFolder.isEmpty() ? remoteFolder : localFolder;
    KTDUFile* record = addRecord(upload ? uploadQueue : downloadQueue, upload ? KTDUFile::Unupload : KTDUFile::Undownload,
                                 local, remoteFolder, false, 0);
    if (!record)
        return;
    (upload ? uploadActive : downloadActive) = true;
    failRecordAtStart(record, upload ? KTDUFile::UploadError : KTDUFile::DownloadError);
}

void FTPClient::abortData()
{
    if (!dataSocket->isOpen())
        return;
    if (transferFile.isOpen())
        transferFile.close();
    dataSocket->disconnectFromHost();
}

// The control connection is gone: running records fail, the job ends once with its summary and
// rests in stopFlag 1, so that a resume after reconnecting continues where it was cut.
void FTPClient::failRunningTransfers()
{
    QObject::disconnect(storStartConnection);
    storSending = false;
    if (transferFile.isOpen()) {
        transferFile.flush();
        transferFile.close();
    }
    for (KTDUFile* record : qAsConst(downloadQueue)) {
        if (record->stateCode == KTDUFile::Downloading) {
            record->stateCode = KTDUFile::DownloadError;
            emit srStateChange(record);
        }
    }
    for (KTDUFile* record : qAsConst(uploadQueue)) {
        if (record->stateCode == KTDUFile::Uploading) {
            record->stateCode = KTDUFile::UploadError;
            emit srStateChange(record);
        }
    }
    currentFile = nullptr;
    dataMode = 0;
    if (!downloadListDir.isEmpty()) {
        // The folder whose listing was cut is listed again on resume.
        listedDownloadDirs.remove(downloadListDir);
        downloadFolders.prepend(downloadListDir);
        downloadListDir.clear();
    }
    if (!downloadActive && !uploadActive) {
        if (stopState == 2)
            stopState = 1;
        return;
    }
    stopState = 1;
    endTransferJob(uploadActive);
    downloadActive = false;
    uploadActive = false;
}
