// The download engine: the next record or folder, the RETR conversation, writing the file.
#include "engine/ftpclient.h"

#include "common/helpers.h"

#include <QDir>
#include <QFileInfo>
#include <QSslSocket>

namespace {

bool startsWith(const QString& text, const char* prefix)
{
    return text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

} // namespace

void FTPClient::startDownload()
{
    if (comeToRestIfStopped(downloadActive))
        return;
    if (!downloadActive && downloadQueue.isEmpty() && downloadFolders.isEmpty())
        return;
    // A folder's listing is on its way, or a file is running: either one moves the job on.
    if (!downloadListDir.isEmpty() || (currentFile && currentFile->stateCode == KTDUFile::Downloading))
        return;

    KTDUFile* chosen = nullptr;
    while ((chosen = takePendingDownload())) {
        downloadActive = true;  // the job has begun, even if every record fails at once
        if (!recordIsSafe(chosen, true)) {
            failRecordAtStart(chosen, KTDUFile::DownloadError);
            continue;
        }
        if (chosen->isLink && !chosen->linkTarget.isEmpty()) {
            makeLinkFromListing(chosen);
            continue;
        }
        break;
    }
    currentFile = nullptr;

    if (!chosen) {
        if (nextDownloadFolder())
            downloadActive = true;
        else
            endTransferJob(false);  // reports only a job that has begun and not yet ended
        return;
    }

    enterFileFolder(chosen);
    chosen->stateCode = KTDUFile::Downloading;
    currentFile = chosen;
    linkBuffer.clear();
    linkOverflow = false;
    writeFailed = false;
    downloadAccepted = false;
    announcedSize = -1;
    transferFile.setFileName(QFileInfo(chosen->localFile).absoluteFilePath());
    if (!chosen->isLink && !canWriteDownload(transferFile.fileName())) {
        chosen->stateCode = KTDUFile::DownloadError;
        emit srStateChange(chosen);
        return;  // the job waits for startDownload, retryErrors or resumeTransfers
    }
    // A resume cannot continue past what is there; nothing of the file changes yet.
    const QFileInfo present(transferFile.fileName());
    chosen->doneSize = qBound<qint64>(0, chosen->doneSize, present.isFile() ? present.size() : 0);
    dataSocket->setReadBufferSize(DownloadReadBufferBytes);

    const QString name = QFileInfo(chosen->localFile).fileName();
    queueCommand(QStringLiteral("TYPE I"));
    queueCommand(QLatin1String("SIZE ") + name);
    queueCommand(QLatin1String("MDTM ") + name);
    queueCommand(QStringLiteral("PASV"));
    if (chosen->doneSize > 0)
        queueCommand(QLatin1String("REST ") + QString::number(chosen->doneSize));
    queueCommand(QLatin1String("RETR ") + name);
    sendNextCommand();
}

// Downloads are worked from the end of the queue: the last record waiting is taken. Records
// put back to waiting from outside are found by one walk once the stack has run dry.
KTDUFile* FTPClient::takePendingDownload()
{
    while (!pendingDownloads.isEmpty()) {
        KTDUFile* record = pendingDownloads.takeLast();
        if (record->stateCode == KTDUFile::Undownload)
            return record;
    }
    if (!downloadFolders.isEmpty())
        return nullptr;
    for (int i = downloadQueue.size() - 1; i >= 0; --i) {
        if (downloadQueue.at(i)->stateCode == KTDUFile::Undownload)
            return downloadQueue.at(i);
    }
    return nullptr;
}

void FTPClient::rebuildPendingDownloads()
{
    pendingDownloads.clear();
    for (KTDUFile* record : qAsConst(downloadQueue)) {
        if (record->stateCode == KTDUFile::Undownload)
            pendingDownloads.append(record);
    }
    uploadCursor = 0;
}

// The RETR's 1xx (or its final reply, from a server that sends none) is the first moment the
// local file may change: opened, cut to the resume offset, positioned there.
void FTPClient::acceptDownload()
{
    KTDUFile* record = currentFile;
    if (downloadAccepted || !record || record->isLink || record->stateCode != KTDUFile::Downloading)
        return;
    downloadAccepted = true;
    if (!transferFile.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        writeFailed = true;
        dataSocket->abort();
        return;
    }
    // The REST offset went out already: a file that shrank since cannot be continued there.
    const qint64 present = transferFile.size();
    if (present < record->doneSize || (present > record->doneSize && !transferFile.resize(record->doneSize))
        || !transferFile.seek(record->doneSize)) {
        writeFailed = true;
        dataSocket->abort();
        return;
    }
    drainDataSocket();
}

bool FTPClient::nextDownloadFolder()
{
    while (!downloadFolders.isEmpty()) {
        const QString folder = cleanRemote(downloadFolders.takeFirst());
        if (folder.isEmpty() || listedDownloadDirs.contains(folder))
            continue;
        const QString localFolder = remoteToLocal(folder);
        // SECURITY: a server that shows a folder inside itself must not keep us descending.
        const int depth = remoteDepth(folder);
        const bool usable = isSafeCommandText(folder) && depth >= 0 && depth <= MaxFolderDepth
            && !localFolder.isEmpty() && localPathInsideBase(localFolder, true)
            && (QFileInfo(localFolder).isDir() || (!QFileInfo::exists(localFolder) && QDir().mkdir(localFolder)))
            && QFileInfo(localFolder).isDir();
        if (!usable) {
            failFolder(folder, localFolder, false);
            continue;
        }
        listedDownloadDirs.insert(folder);
        downloadListDir = folder;
        emit setLocalPath(localFolder);
        changeDir(folder);
        printDir();
        listDir();
        return true;
    }
    return false;
}

int FTPClient::queueDownloadListing(const QString& text)
{
    // The listing was fetched in the folder being downloaded, which is where we stand now; the
    // job's name for it counts, not the one PWD gave (a link, a trailing "/").
    const QString folder = cleanRemote(listingFolder.isEmpty() ? remoteDir : listingFolder);
    listingFolder.clear();
    const QString localFolder = remoteToLocal(folder);
    if (localFolder.isEmpty() || !localPathInsideBase(localFolder, true))
        return 0;
    const int depth = remoteDepth(folder);
    Rows rows = parseList(text);
    const Rows sorted = sortRows(rows);
    int queued = 0;
    for (const Row& row : sorted) {
        const QString name = FTPClient::rowEntryName(row);
        // SECURITY: a name must stay one entry of this folder, on disk and on the command line.
        if (!isPlainEntryName(name))
            continue;
        const QString remotePath = joinRemotePath(folder, name);
        if (isDirRow(row)) {
            if (listedDownloadDirs.contains(remotePath))
                continue;
            if (depth >= MaxFolderDepth) {
                failFolder(remotePath, joinPath(localFolder, name), false);
                continue;
            }
            addDownloadFolder(remotePath);
        } else {
            const QString localFile = joinPath(localFolder, name);
            const QFileInfo present(localFile);
            const qint64 offset = resumeExisting && present.isFile() && !present.isSymLink() ? present.size() : 0;
            if (KTDUFile* record = addDownloadFile(localFile, remotePath, isLinkRow(row), offset)) {
                if (record->isLink)
                    record->linkTarget = row.at(6).mid(name.size() + 4);  // after "name -> "
            }
        }
        ++queued;
    }
    return queued;
}

void FTPClient::handleSizeReply(const QString& line)
{
    KTDUFile* record = currentFile;
    if (!record || record->stateCode != KTDUFile::Downloading || !line.startsWith(QLatin1String("213")))
        return;
    // Only a plain decimal number is a size; anything else leaves it unknown.
    const QString text = line.mid(4).trimmed();
    bool ok = !text.isEmpty();
    for (const QChar c : text)
        ok = ok && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const qint64 size = ok ? text.toLongLong(&ok) : 0;
    if (!ok)
        return;
    record->fileSize = size;
    announcedSize = size;
    emit srFileSize(record);
    if (record->isLink || record->doneSize <= size)
        return;
    // A local part longer than the remote file is not a part of it: fetch it again from 0.
    record->doneSize = 0;
    if (transferFile.isOpen()) {
        transferFile.resize(0);
        transferFile.seek(0);
    }
    for (int i = 0; i < commandQueue.size(); ++i) {
        if (startsWith(commandQueue.at(i), "RETR"))
            break;
        if (startsWith(commandQueue.at(i), "REST ")) {
            commandQueue.removeAt(i);
            break;
        }
    }
}

// Copies what the data socket holds to the file through one reused buffer: no allocation per
// read on the hot path of a download.
void FTPClient::receiveDownloadData()
{
    KTDUFile* record = currentFile;
    if (!record || record->stateCode != KTDUFile::Downloading) {
        dataSocket->readAll();
        return;
    }
    if (record->isLink) {
        const QByteArray bytes = dataSocket->readAll();
        if (linkBuffer.size() + bytes.size() > MaxLinkTargetBytes)
            linkOverflow = true;
        else
            linkBuffer.append(bytes);
        return;
    }
    if (!downloadAccepted)
        return;  // kept in the socket until the server's reply lets us touch the file
    if (!transferFile.isOpen() || writeFailed) {
        dataSocket->readAll();  // stopped or failed: the rest is not ours to keep
        return;
    }
    if (receiveBuffer.size() != DownloadChunkBytes)
        receiveBuffer.resize(DownloadChunkBytes);
    qint64 got = 0;
    bool moved = false;
    while ((got = dataSocket->read(receiveBuffer.data(), receiveBuffer.size())) > 0) {
        const qint64 written = transferFile.write(receiveBuffer.constData(), got);
        if (written > 0) {
            record->doneSize += written;
            countDataProgress(written);
            moved = true;
        }
        if (written != got || cutOversizedDownload(record)) {
            // The disk refused, or the server sends more than it said; the final reply ends
            // the record as failed.
            writeFailed = true;
            dataSocket->abort();
            break;
        }
    }
    if (moved)
        emit srProgress(record);
}

bool FTPClient::cutOversizedDownload(const KTDUFile* record)
{
    return announcedSize >= 0 && record->doneSize > 2 * announcedSize
        && record->doneSize - announcedSize >= OversizeSlackBytes;
}

// A server that names a link's target in its listing serves the target's content to RETR, not
// the target itself: the link is made here from the listing, with nothing fetched.
void FTPClient::makeLinkFromListing(KTDUFile* record)
{
    emit setLocalPath(QFileInfo(record->localFile).absolutePath());
    record->stateCode = makeLocalLink(record->localFile, record->linkTarget) ? KTDUFile::Downloaded
                                                                          : KTDUFile::DownloadError;
    emit srFileFinish(record);
}

void FTPClient::finishLinkRecord()
{
    KTDUFile* record = currentFile;
    if (!record || !record->isLink || record->stateCode != KTDUFile::Downloading)
        return;
    const QString target = QString::fromUtf8(linkBuffer);
    linkBuffer.clear();
    record->stateCode = !linkOverflow && makeLocalLink(record->localFile, target) ? KTDUFile::Downloaded
                                                                                : KTDUFile::DownloadError;
}

void FTPClient::handleRetrReply(const QString& line)
{
    KTDUFile* record = currentFile;
    // A link record may already be decided by the end of its data; it still needs finishing.
    const bool linkDecided = record && record->isLink
        && (record->stateCode == KTDUFile::Downloaded || record->stateCode == KTDUFile::DownloadError);
    if (!record || (record->stateCode != KTDUFile::Downloading && !linkDecided))
        return;  // a raw RETR, or a record that a stop already finished
    const bool done = isTransferDone(line);
    if (!done) {
        // Keep what has arrived, then cut the data connection the server gave up on.
        drainDataSocket();
        dataMode = 0;
        if (dataSocket->state() != QAbstractSocket::UnconnectedState)
            dataSocket->abort();
    }
    if (!finishDownloadFile())
        writeFailed = true;
    if (record->isLink) {
        if (done)
            finishLinkRecord();
        else
            record->stateCode = KTDUFile::DownloadError;
    } else if (quint64(record->doneSize) < quint64(record->fileSize) || writeFailed || (done && !downloadAccepted)) {
        record->stateCode = KTDUFile::DownloadError;
    } else {
        record->stateCode = done ? KTDUFile::Downloaded : KTDUFile::DownloadError;
    }
    dataMode = 0;
    emit srFileFinish(record);
    startDownload();
}

// Closes the download's file; false when the disk refused what was written, which some file
// systems only tell at the flush or close.
bool FTPClient::finishDownloadFile()
{
    if (!transferFile.isOpen())
        return true;
    const bool flushed = transferFile.flush();
    transferFile.close();
    return flushed && transferFile.error() == QFileDevice::NoError;
}
