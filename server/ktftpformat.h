#ifndef TORVEX_SERVER_KTFTPFORMAT_H
#define TORVEX_SERVER_KTFTPFORMAT_H

#include <QDateTime>
#include <QFileDevice>
#include <QString>

class QFileInfo;
class QHostAddress;

// Texts the server puts on the wire and reads from it, apart from any socket.
namespace KTFtpFormat {

// "drwxr-x---": the entry's type ('l', 'd' or '-') and the owner, group and others bits.
QString permissionText(QChar type, QFileDevice::Permissions permissions);

// "Mar 05 14:07" within the current year, "Mar 05  2019" (two blanks) before or after it.
QString listDate(const QDateTime& modified, int currentYear);

// One "ls -l" style line of a listing, ended by CR LF; a link's line ends in " -> target" when
// a target is given.
QString listLine(const QFileInfo& entry, int currentYear, const QString& linkTarget = QString());

// "h1,h2,h3,h4,p1,p2" of a PASV reply; empty when the address is not IPv4.
QString passiveText(const QHostAddress& address, quint16 port);

// A SITE CHMOD mode: three or four octal digits. The leading fourth digit (set-uid, set-gid,
// sticky) is accepted but not granted.
bool parseOctalMode(const QString& text, QFileDevice::Permissions& permissions);

// REST's offset: a decimal number of bytes, digits only; false for anything else.
bool parseRestOffset(const QString& text, qint64& offset);

// A path inside a 257 reply, with its quotation marks doubled.
QString quotedPath(const QString& path);

} // namespace KTFtpFormat

#endif
