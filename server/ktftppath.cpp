#include "server/ktftppath.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QString childPath(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

bool holdsNul(const QStringList& parts)
{
    for (const QString& part : parts) {
        if (part.contains(QChar(0)))
            return true;
    }
    return false;
}

} // namespace

QStringList KTFtpPath::resolve(const QStringList& current, const QString& argument)
{
    // Backslashes separate too: Windows clients send them, and a name holding one would be a
    // path on a Windows machine anyway.
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    const bool fromRoot = argument.startsWith(QLatin1Char('/'))
                          || argument.startsWith(QLatin1Char('\\'));
    QStringList parts = fromRoot ? QStringList() : current;
    const QStringList pieces = argument.split(separators);
    for (const QString& piece : pieces) {
        if (piece.isEmpty() || piece == QLatin1String("."))
            continue;
        if (piece == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(piece);
    }
    return parts;
}

QString KTFtpPath::virtualText(const QStringList& parts)
{
    return QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

bool KTFtpPath::isWithin(const QString& canonicalRoot, const QString& canonicalPath)
{
    if (canonicalRoot.isEmpty() || canonicalPath.isEmpty())
        return false;
    if (canonicalPath == canonicalRoot)
        return true;
    const QString prefix = canonicalRoot.endsWith(QLatin1Char('/'))
                               ? canonicalRoot
                               : canonicalRoot + QLatin1Char('/');
    return canonicalPath.startsWith(prefix);
}

QString KTFtpPath::confine(const QString& canonicalRoot, const QStringList& parts, Follow follow)
{
    if (canonicalRoot.isEmpty() || holdsNul(parts))
        return QString();
    if (parts.isEmpty())
        return canonicalRoot;

    // The folder that holds the entry must exist and really be inside.
    QString folder = canonicalRoot;
    if (parts.size() > 1) {
        folder = QFileInfo(childPath(canonicalRoot, parts.mid(0, parts.size() - 1).join(
                               QLatin1Char('/'))))
                     .canonicalFilePath();
        if (!isWithin(canonicalRoot, folder) || !QFileInfo(folder).isDir())
            return QString();
    }
    const QString path = childPath(folder, parts.last());
    if (follow == Follow::Entry)
        return path;

    const QFileInfo entry(path);
    if (entry.isSymLink()) {
        // A dangling link would be created outside by a write through it: refuse it as well.
        const QString target = entry.canonicalFilePath();
        if (!isWithin(canonicalRoot, target))
            return QString();
    }
    return path;
}

QString KTFtpPath::linkTarget(const QString& canonicalRoot, const QFileInfo& link)
{
    const QString target = link.canonicalFilePath();
    if (!isWithin(canonicalRoot, target))
        return QString();
    const QString folder = QFileInfo(link.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        return QString();
    return QDir(folder).relativeFilePath(target);
}
