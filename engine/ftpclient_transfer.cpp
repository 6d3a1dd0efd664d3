// Download and upload jobs.
#include "engine/ftpclient.h"

#include "common/helpers.h"

#include <QDir>
#include <QFileInfo>
#include <QTcpSocket>

KTDUFile* FTPClient::addDownloadFile(const QString& localFile, const QString& remoteFile, bool isLink, qint64 offset)
{
    if (localFile.isEmpty())
        return nullptr;
    auto* record = new KTDUFile;
    record->localFile = localFile;
    record->remoteFile = remoteFile;
    record->isLink = isLink;
    record->doneSize = offset;
    record->stateCode = KTDUFile::Undownload;
    downloadQueue.append(record);
    emit srFile(record);
    return record;
}

KTDUFile* FTPClient::addUploadFile(const QString& localFile, const QString& remoteFile, bool isLink, qint64 offset)
{
    if (localFile.isEmpty())
        return nullptr;
    auto* record = new KTDUFile;
    record->localFile = localFile;
    record->remoteFile = remoteFile;
    record->isLink = isLink;
    record->doneSize = offset;
    record->stateCode = KTDUFile::Unupload;
    uploadQueue.append(record);
    emit srFile(record);
    return record;
}

void FTPClient::prepareTransfer(const QString& local, const QString& remote)
{
    clearTransfers();
    localBase = local;
    remoteBase = remote;
}

void FTPClient::clearTransfers()
{
    qDeleteAll(downloadQueue);
    qDeleteAll(uploadQueue);
    downloadQueue.clear();
    uploadQueue.clear();
    currentFile = nullptr;
    downloadFolders.clear();
    uploadFolders.clear();
    downloadListDir.clear();
    localBase.clear();
    remoteBase.clear();
    stopState = 0;
}

void FTPClient::addDownloadFolder(const QString& remotePath) { downloadFolders.append(remotePath); }
void FTPClient::addUploadFolder(const QString& localPath) { uploadFolders.append(localPath); }
void FTPClient::startDownload() {}
void FTPClient::startUpload() {}
bool FTPClient::sendNextChunk() { return false; }
QString FTPClient::localToRemote(const QString&) const { return QString(); }
QString FTPClient::remoteToLocal(const QString&) const { return QString(); }
bool FTPClient::stopTransfers() { return false; }
bool FTPClient::resumeTransfers() { return false; }
void FTPClient::retryErrors() {}
void FTPClient::abortData() {}
QString FTPClient::transferSummary() const { return QString(); }
void FTPClient::enterFileFolder(KTDUFile*) {}
bool FTPClient::nextDownloadFolder() { return false; }
bool FTPClient::nextUploadFolder() { return false; }
void FTPClient::handleSizeReply(const QString&) {}
void FTPClient::handleRetrReply(const QString&) {}
void FTPClient::handleStorReply(const QString&) {}
void FTPClient::receiveDownloadData(const QByteArray&) {}
void FTPClient::finishLinkRecord() {}
void FTPClient::failRunningTransfers() {}
void FTPClient::addSummaryRecord(bool, const QString&) {}
void FTPClient::slotBytesWritten(qint64) {}
