#ifndef TORVEX_SERVER_KTFTPPATH_H
#define TORVEX_SERVER_KTFTPPATH_H

#include <QFileInfo>
#include <QString>
#include <QStringList>

// How a path a client names becomes a local path that stays inside the session's root.
//
// The client's view is a list of folder names below the root. A path beginning with "/" (or
// "\") starts at the root, any other at the current folder; "." pieces are skipped and ".."
// never climbs above the root. The local result is then checked against the real, link-free
// path of the root, so a symbolic link cannot lead a client out either.
namespace KTFtpPath {

QStringList resolve(const QStringList& current, const QString& argument);

// "/" for the root, otherwise "/a/b".
QString virtualText(const QStringList& parts);

// Whether a real path lies in the real root (or is it). Compared with a trailing separator,
// so "/srv/rootbar" is not inside "/srv/root".
bool isWithin(const QString& canonicalRoot, const QString& canonicalPath);

enum class Follow {
    Target, // the command reads, writes or changes what a link points at
    Entry,  // the command removes or renames the entry itself, a link as a link
};

// The local path of the entry named by parts below the real root, or empty text when it lies
// outside the root, its folder does not exist, or a link on the way cannot be followed.
QString confine(const QString& canonicalRoot, const QStringList& parts, Follow follow);

// Where a link inside the root points, relative to the link's folder, as a listing shows it;
// empty when the target lies outside the root or does not exist.
QString linkTarget(const QString& canonicalRoot, const QFileInfo& link);

} // namespace KTFtpPath

#endif
