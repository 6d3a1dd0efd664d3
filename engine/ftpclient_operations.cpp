// Remote file operations: folders, rename and move, delete and permissions jobs.
#include "engine/ftpclient.h"

void FTPClient::makeDir(const QString&, const QString&) {}
void FTPClient::removeRemoteDir(const QString&, const QString&) {}
void FTPClient::renameFile(const QString&, const QString&) {}
void FTPClient::addMoves(const QList<PathPair>&) {}
void FTPClient::prepareDelete(const QString&) {}
void FTPClient::addDeleteFile(const QString&, const QString&) {}
void FTPClient::addDeleteFolder(const QString&, const QString&) {}
void FTPClient::deleteNext(int) {}
QString FTPClient::deleteSummary() const { return QString(); }
void FTPClient::setChmod(const QString&, int, const QString&) {}
void FTPClient::addChmodFile(const QString&, const QString&) {}
void FTPClient::addChmodFolder(const QString&, const QString&) {}
void FTPClient::chmodNext() {}
void FTPClient::handleDeleteReply(const QString&) {}
void FTPClient::handleRmdReply(const QString&) {}
void FTPClient::handleRnfrReply(const QString&) {}
void FTPClient::handleSiteReply(const QString&) {}
void FTPClient::nextMove() {}
void FTPClient::removeNext(int) {}
void FTPClient::deleteListing(const QString&) {}
void FTPClient::chmodListing(const QString&) {}
