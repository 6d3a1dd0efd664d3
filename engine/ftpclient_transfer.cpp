// Download and upload jobs.
#include "engine/ftpclient.h"

#include "common/helpers.h"

#include <QDir>
#include <QFileInfo>
#include <QTcpSocket>

#include <unistd.h>

namespace {

bool startsWith(const QString& text, const char* prefix)
{
    return text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

bool isTransferDone(const QString& line)
{
    return line.startsWith(QLatin1String("226")) || line.startsWith(QLatin1String("250"));
}

QString cleanRemote(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

QString cleanLocal(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// True when path lies below base in the "/"-separated sense ("/a" is not below "/ab").
bool isBelow(const QString& path, const QString& base)
{
    if (!path.startsWith(base))
        return false;
    if (path.size() == base.size() || base.endsWith(QLatin1Char('/')))
        return true;
    return path.at(base.size()) == QLatin1Char('/');
}

QString readLinkText(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    QByteArray target(4096, Qt::Uninitialized);
    const ssize_t length = ::readlink(encoded.constData(), target.data(), size_t(target.size()));
    if (length < 0 || length >= target.size())
        return QString();
    return QFile::decodeName(target.left(int(length)));
}

// Follows path part by part as the file system would, through existing links (at most 40 of
// them). A part that does not exist is taken as written, but nothing climbs out of one with
// "..": a link made there later could change where it leads.
bool resolveOnDisk(const QString& path, QString& resolved)
{
    QStringList todo = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = QStringLiteral("/");
    bool missing = false;
    int hops = 0;
    while (!todo.isEmpty()) {
        const QString part = todo.takeFirst();
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (missing)
                return false;
            current = QFileInfo(current).path();
            continue;
        }
        const QString next = current == QLatin1String("/") ? current + part : current + QLatin1Char('/') + part;
        if (!missing && QFileInfo(next).isSymLink()) {
            const QString target = readLinkText(next);
            if (target.isEmpty() || ++hops > 40)
                return false;
            todo = target.split(QLatin1Char('/'), Qt::SkipEmptyParts) + todo;
            if (target.startsWith(QLatin1Char('/')))
                current = QStringLiteral("/");
            continue;
        }
        missing = missing || !QFileInfo::exists(next);
        current = next;
    }
    resolved = current;
    return true;
}

} // namespace

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

QString FTPClient::localToRemote(const QString& localPath) const
{
    QString rest = localPath.mid(localBase.size());
    if (!localPath.startsWith(localBase)) {
        // The caller may hand us the cleaned absolute form of a path below a relative root.
        const QString base = cleanLocal(localBase);
        const QString path = cleanLocal(localPath);
        rest = isBelow(path, base) ? path.mid(base.size()) : QString();
    }
    QString remote = remoteBase;
    const QStringList parts = rest.split(QDir::separator(), Qt::SkipEmptyParts);
    for (const QString& part : parts)
        remote = joinRemotePath(remote, part);
    return remote;
}

QString FTPClient::remoteToLocal(const QString& remotePath) const
{
    if (!isBelow(remotePath, remoteBase))
        return QString();
    QString local = localBase;
    const QStringList parts = remotePath.mid(remoteBase.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (part == QLatin1String("."))
            continue;
        if (!isPlainEntryName(part))
            return QString();  // SECURITY: ".." and the like would climb out of the local root
        local = joinPath(local, part);
    }
    return local;
}

// Number of folder levels of remotePath below the job's remote root; -1 when it is not below it.
int FTPClient::remoteDepth(const QString& remotePath) const
{
    if (!isBelow(remotePath, remoteBase))
        return -1;
    return remotePath.mid(remoteBase.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts).size();
}

// SECURITY: a path the job writes must stay inside the local root, and no existing part of it
// below the root may be a symbolic link that would carry the write elsewhere.
bool FTPClient::localPathInsideBase(const QString& path, bool allowBase) const
{
    const QString base = cleanLocal(localBase);
    const QString target = cleanLocal(path);
    if (target == base)
        return allowBase;
    if (!isBelow(target, base))
        return false;
    const QStringList parts = target.mid(base.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString walk = base;
    for (const QString& part : parts) {
        walk += QLatin1Char('/') + part;
        if (QFileInfo(walk).isSymLink())
            return false;
    }
    return true;
}

// SECURITY: judged by where the link would really lead on disk, through the links that exist
// there now (made earlier in this job included), never by the text alone: "a/../x" leaves the
// folder when a is a link.
bool FTPClient::linkTargetInsideBase(const QString& linkPath, const QString& target) const
{
    if (target.isEmpty() || !isSafeCommandText(target))
        return false;
    const QString folder = QFileInfo(cleanLocal(linkPath)).path();
    const QString base = QFileInfo(localBase).canonicalFilePath();
    QString resolved;
    if (base.isEmpty()
        || !resolveOnDisk(QDir::isAbsolutePath(target) ? target : folder + QLatin1Char('/') + target, resolved))
        return false;
    return resolved != base && isBelow(resolved, base);
}

// Makes the link of a link record. A link already there with the same target is the same link:
// fetching a tree again succeeds.
bool FTPClient::makeLocalLink(const QString& linkPath, const QString& target) const
{
    if (!linkTargetInsideBase(linkPath, target) || !localPathInsideBase(QFileInfo(linkPath).absolutePath(), true))
        return false;
    const QFileInfo present(linkPath);
    if (present.isSymLink())
        return readLinkText(linkPath) == target;
    return !present.exists() && QFile::link(target, linkPath);
}

// Names and folders that would break a command line, or paths that leave the local root, fail
// their record before anything reaches the wire.
bool FTPClient::recordIsSafe(const KTDUFile* record, bool download) const
{
    const QFileInfo info(record->localFile);
    const QString name = info.fileName();
    if (!isPlainEntryName(name) || !isSafeCommandText(localToRemote(info.absolutePath())))
        return false;
    // A link record replaces nothing: its own name may already be the same link.
    if (download && record->isLink)
        return localPathInsideBase(info.absolutePath(), true);
    if (download && !localPathInsideBase(record->localFile, false))
        return false;
    return true;
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

// The local file is not touched before the server accepts the RETR; this only tells early
// that it could not be written.
bool FTPClient::canWriteDownload(const QString& path) const
{
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink())
        return target.isFile() && target.isWritable();
    return QFileInfo(target.absolutePath()).isDir();
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
    if (dataSocket->state() == QAbstractSocket::ConnectedState) {
        sendNextChunk();
        return;
    }
    storStartConnection = connect(dataSocket, &QTcpSocket::connected, this, [this] {
        QObject::disconnect(storStartConnection);
        if (storSending && currentFile && currentFile->stateCode == KTDUFile::Uploading)
            sendNextChunk();
    });
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
            sendNextChunk();
        }
        return;
    }
    if (record->doneSize == record->fileSize)
        emit srProgress(record);
    dataSocket->disconnectFromHost();
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
