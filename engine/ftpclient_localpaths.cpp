// Local paths of a transfer job: mapping to remote paths and keeping every write, and every
// link made, inside the job's local folder.
#include "engine/ftpclient.h"

#include "common/helpers.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace {

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

QString FTPClient::cleanRemote(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

QString FTPClient::cleanLocal(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// True when path lies below base in the "/"-separated sense ("/a" is not below "/ab").
bool FTPClient::isBelow(const QString& path, const QString& base)
{
    if (!path.startsWith(base))
        return false;
    if (path.size() == base.size() || base.endsWith(QLatin1Char('/')))
        return true;
    return path.at(base.size()) == QLatin1Char('/');
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

// The local file is not touched before the server accepts the RETR; this only tells early
// that it could not be written.
bool FTPClient::canWriteDownload(const QString& path) const
{
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink())
        return target.isFile() && target.isWritable();
    return QFileInfo(target.absolutePath()).isDir();
}
