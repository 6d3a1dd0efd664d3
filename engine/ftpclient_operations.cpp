// Remote file operations: folders, rename and move, delete and permissions jobs.
#include "engine/ftpclient.h"

#include "common/helpers.h"

namespace {

bool isSafeEntry(const QString& folder, const QString& name)
{
    return isSafeCommandText(folder) && isSafeCommandText(name) && !name.isEmpty();
}

} // namespace

void FTPClient::makeDir(const QString& name, const QString& folder)
{
    if (!folder.isEmpty())
        changeDir(folder);
    sendCommand(QLatin1String("MKD ") + name);
    listDir();
}

void FTPClient::removeRemoteDir(const QString& name, const QString& folder)
{
    if (!folder.isEmpty())
        changeDir(folder);
    sendCommand(QLatin1String("RMD ") + name);
    listDir();
}

void FTPClient::renameFile(const QString& from, const QString& to)
{
    // One new name per RNFR, in order: a second rename asked for before the first RNFR is
    // answered must not take the first one's name, nor leave its own behind.
    renameTargets.append(to);
    sendCommand(QLatin1String("RNFR ") + from);
}

void FTPClient::addMoves(const QList<PathPair>& moves)
{
    moveQueue.append(moves);
    nextMove();
}

void FTPClient::nextMove()
{
    if (moveQueue.isEmpty()) {
        listDir();
        return;
    }
    const PathPair move = moveQueue.takeFirst();
    if (move.second.isEmpty()) {
        changeDir(move.first);
        printDir();
        listDir();
        return;
    }
    renameFile(move.first, move.second);
}

void FTPClient::handleRnfrReply(const QString& line)
{
    if (renameTargets.isEmpty())
        return;
    const QString target = renameTargets.takeFirst();
    if (!line.startsWith(QLatin1String("350"))) {
        // A refused RNFR ends this rename; the moves after it still run and the folder is
        // listed again, as after a finished rename.
        nextMove();
        return;
    }
    if (!isSafeCommandText(target)) {
        // SECURITY: the new name would break the command line; the rename is refused here.
        emit commandResult(QLatin1String("RNTO"), tr("501 Rename not sent: the new name holds a line break or NUL character."));
        nextMove();
        return;
    }
    // RNTO must follow its RNFR at once, ahead of anything queued meanwhile.
    commandQueue.prepend(QLatin1String("RNTO ") + target);
}

void FTPClient::prepareDelete(const QString& folder)
{
    qDeleteAll(deleteFiles);
    qDeleteAll(deleteFolders);
    deleteFiles.clear();
    deleteFolders.clear();
    deleteStartDir = folder;
    deleteDepths.clear();
    listedDeleteDirs.clear();
    deleteMode = 1;
    deleteTotal = 0;
    deleteSuccess = 0;
}

void FTPClient::addDeleteFile(const QString& folder, const QString& name)
{
    deleteFiles.append(new KTDelInfo(folder, name));
}

void FTPClient::addDeleteFolder(const QString& folder, const QString& name)
{
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return;
    deleteFolders.prepend(new KTDelInfo(folder, name));
}

QString FTPClient::deleteSummary() const
{
    return tr("Delete Finish, Total: ") + QString::number(deleteTotal) + tr(" Success: ")
        + QString::number(deleteSuccess);
}

void FTPClient::deleteNext(int result)
{
    KTDelInfo* chosen =
        takeNextDeleteRecord(deleteFiles, KTDelInfo::Undelete, KTDelInfo::Deleting, result);
    if (!chosen) {
        removeNext(KTDelInfo::Unknown);
        return;
    }
    changeDir(chosen->dirPath);
    queueCommand(QLatin1String("DELE ") + chosen->fileName);
    sendNextCommand();
    deletePath = joinRemotePath(chosen->dirPath, chosen->fileName);
}

// Settles the record whose step the reply ends, fails unsafe names on the way, and marks the
// next waiting record as running; null when none is left.
KTDelInfo* FTPClient::takeNextDeleteRecord(const QList<KTDelInfo*>& records, int waiting,
                                           int running, int& result)
{
    for (KTDelInfo* record : records) {
        if (record->stateCode == running) {
            settleDeleteRecord(record, result);
            continue;
        }
        if (record->stateCode != waiting)
            continue;
        if (!isSafeEntry(record->dirPath, record->fileName)) {
            failUnsentDeleteRecord(record);
            continue;
        }
        record->stateCode = running;
        return record;
    }
    return nullptr;
}

// The reply that ends a record's step hands its result on: the first record waiting for one
// takes it, the result is then used up.
void FTPClient::settleDeleteRecord(KTDelInfo* record, int& result)
{
    if (result == KTDelInfo::Unknown)
        return;
    record->stateCode = result;
    result = KTDelInfo::Unknown;
    deletePath = joinRemotePath(record->dirPath, record->fileName);
    emit deleteFile(deletePath, record->stateText());
}

// A record never sent (an unsafe name, a folder past the depth limit) fails without a command,
// counted like a refusal.
void FTPClient::failUnsentDeleteRecord(KTDelInfo* record)
{
    record->stateCode = KTDelInfo::Error;
    ++deleteTotal;
    emit deleteFile(joinRemotePath(record->dirPath, record->fileName), record->stateText());
}

int FTPClient::countDeleteReply(const QString& line)
{
    const int result = line.startsWith(QLatin1String("250")) ? KTDelInfo::Deleted : KTDelInfo::Error;
    ++deleteTotal;
    if (result == KTDelInfo::Deleted)
        ++deleteSuccess;
    return result;
}

void FTPClient::handleDeleteReply(const QString& line)
{
    if (deleteMode == 1)
        deleteNext(countDeleteReply(line));
}

void FTPClient::removeNext(int result)
{
    if (deleteMode == 1) {
        // Expanding: from the end of the list, where the selected folders are.
        for (int i = deleteFolders.size() - 1; i >= 0; --i) {
            KTDelInfo* record = deleteFolders.at(i);
            if (record->stateCode == KTDelInfo::Deleting) {
                if (result != KTDelInfo::Unknown) {
                    record->stateCode = result;
                    result = KTDelInfo::Unknown;
                }
                continue;
            }
            if (record->stateCode != KTDelInfo::Undelete)
                continue;
            record->stateCode = KTDelInfo::Deleting;
            const QString path = joinRemotePath(record->dirPath, record->fileName);
            // Not listed (unsafe, or listed once already); an unsafe one fails at its removal.
            if (!isSafeEntry(record->dirPath, record->fileName) || listedDeleteDirs.contains(path))
                continue;
            listedDeleteDirs.insert(path);
            deletePath = path;
            changeDir(deletePath);
            listDir();
            return;
        }
        deleteMode = 2;
        for (KTDelInfo* record : qAsConst(deleteFolders))
            record->stateCode = KTDelInfo::DeletedAllFiles;
        removeNext(KTDelInfo::Unknown);
        return;
    }
    if (deleteMode != 2)
        return;
    // Removing: from the front, where the deepest folders found last are.
    if (KTDelInfo* record = takeNextDeleteRecord(deleteFolders, KTDelInfo::DeletedAllFiles,
                                                 KTDelInfo::DeletingFolder, result)) {
        removeRemoteDir(record->fileName, record->dirPath);
        return;
    }
    emit deleteFile(deleteSummary(), QString());
    deleteMode = 0;
    deleteTotal = 0;
    deleteSuccess = 0;
    if (!deleteStartDir.isEmpty()) {
        changeDir(deleteStartDir);
        printDir();
        listDir();
    }
}

void FTPClient::handleRmdReply(const QString& line)
{
    if (deleteMode == 2)
        removeNext(countDeleteReply(line));
}

void FTPClient::deleteListing(const QString& text)
{
    if (deletePath == remoteDir) {
        Rows rows = parseList(text);
        const Rows sorted = sortRows(rows);
        for (const Row& row : sorted) {
            const QString name = FTPClient::rowEntryName(row);
            // SECURITY: "..", "a/b" and the like would delete something outside this folder.
            if (!isPlainEntryName(name))
                continue;
            if (!isDirRow(row)) {
                addDeleteFile(remoteDir, name);  // files and links: a link goes, never what it leads to
            } else if (tooDeepToExpand(deleteDepths, remoteDir, name)) {
                KTDelInfo refused(remoteDir, name);
                failUnsentDeleteRecord(&refused);
            } else {
                addDeleteFolder(remoteDir, name);
            }
        }
    }
    deleteNext(KTDelInfo::Unknown);
}

void FTPClient::setChmod(const QString& returnFolder, int recursion, const QString& mode)
{
    chmodReturnDir = returnFolder;
    chmodRecursion = recursion;
    chmodMode = mode;
    chmodTotal = 0;
    chmodSuccess = 0;
    chmodFiles.clear();
    chmodFolders.clear();
    chmodPath.clear();
    chmodDepths.clear();
    listedChmodDirs.clear();
}

// SECURITY: a server that shows a folder inside itself for ever must not keep a recursive job
// descending; below the depth limit a folder is refused instead of listed.
bool FTPClient::tooDeepToExpand(QHash<QString, int>& depths, const QString& folder, const QString& child)
{
    const int depth = depths.value(folder, 0) + 1;
    if (depth > MaxFolderDepth)
        return true;
    depths.insert(joinRemotePath(folder, child), depth);
    return false;
}

void FTPClient::addChmodFile(const QString& folder, const QString& name)
{
    chmodFiles.append(PathPair(folder, name));
}

void FTPClient::addChmodFolder(const QString& folder, const QString& name)
{
    chmodFolders.append(PathPair(folder, name));
}

void FTPClient::chmodNext()
{
    while (!chmodFiles.isEmpty()) {
        const PathPair entry = chmodFiles.takeFirst();
        chmodPath = joinRemotePath(entry.first, entry.second);
        if (!isSafeEntry(entry.first, entry.second) || !isSafeCommandText(chmodMode)) {
            // Never sent: counted and reported as a refusal.
            ++chmodTotal;
            emit srChmod(chmodPath, false);
            continue;
        }
        changeDir(entry.first);
        sendCommand(QLatin1String("SITE CHMOD ") + chmodMode + QLatin1Char(' ') + entry.second);
        return;
    }
    while (!chmodFolders.isEmpty()) {
        const PathPair entry = chmodFolders.takeFirst();
        const QString path = joinRemotePath(entry.first, entry.second);
        if (!isSafeEntry(entry.first, entry.second) || listedChmodDirs.contains(path))
            continue;
        listedChmodDirs.insert(path);
        chmodPath = path;
        changeDir(chmodPath);
        listDir();
        return;
    }
    chmodRecursion = 0;
    changeDir(chmodReturnDir);
    listDir();
    emit srChmodFinish(chmodTotal, chmodSuccess);
}

void FTPClient::handleSiteReply(const QString& line)
{
    const bool changed = line.startsWith(QLatin1String("200"));
    ++chmodTotal;
    if (changed)
        ++chmodSuccess;
    emit srChmod(chmodPath, changed);
    chmodNext();
}

void FTPClient::chmodListing(const QString& text)
{
    if (remoteDir == chmodPath) {
        Rows rows = parseList(text);
        const Rows sorted = sortRows(rows);
        for (const Row& row : sorted) {
            const QString name = FTPClient::rowEntryName(row);
            if (!isPlainEntryName(name))
                continue;
            if (isDirRow(row)) {
                if (tooDeepToExpand(chmodDepths, remoteDir, name)) {
                    ++chmodTotal;
                    emit srChmod(joinRemotePath(remoteDir, name), false);
                    continue;
                }
                addChmodFolder(remoteDir, name);
                if (chmodRecursion == 1 || chmodRecursion == 3)
                    addChmodFile(remoteDir, name);
            } else if (chmodRecursion == 1 || chmodRecursion == 2) {
                addChmodFile(remoteDir, name);
            }
        }
    }
    chmodNext();
}
