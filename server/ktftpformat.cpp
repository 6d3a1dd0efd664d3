#include "server/ktftpformat.h"

#include <QFileInfo>
#include <QHostAddress>
#include <QLocale>

QString KTFtpFormat::permissionText(QChar type, QFileDevice::Permissions permissions)
{
    struct Bit {
        QFileDevice::Permission permission;
        char letter;
    };
    static const Bit bits[] = {
        {QFileDevice::ReadOwner, 'r'}, {QFileDevice::WriteOwner, 'w'}, {QFileDevice::ExeOwner, 'x'},
        {QFileDevice::ReadGroup, 'r'}, {QFileDevice::WriteGroup, 'w'}, {QFileDevice::ExeGroup, 'x'},
        {QFileDevice::ReadOther, 'r'}, {QFileDevice::WriteOther, 'w'}, {QFileDevice::ExeOther, 'x'},
    };
    QString text(type);
    for (const Bit& bit : bits)
        text += (permissions & bit.permission) ? QLatin1Char(bit.letter) : QLatin1Char('-');
    return text;
}

QString KTFtpFormat::listDate(const QDateTime& modified, int currentYear)
{
    // English month names whatever the desktop's language: clients parse them.
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QDateTime local = modified.toLocalTime();
    if (local.date().year() == currentYear)
        return english.toString(local, QStringLiteral("MMM dd hh:mm"));
    return english.toString(local, QStringLiteral("MMM dd  yyyy"));
}

QString KTFtpFormat::listLine(const QFileInfo& entry, int currentYear, const QString& linkTarget)
{
    QChar type = QLatin1Char('-');
    if (entry.isSymLink())
        type = QLatin1Char('l');
    else if (entry.isDir())
        type = QLatin1Char('d');
    return QString::asprintf("%s %5d %4d %4d %8lld ",
                             qPrintable(permissionText(type, entry.permissions())), 0,
                             int(entry.ownerId()), int(entry.groupId()),
                             static_cast<long long>(entry.size()))
           + listDate(entry.lastModified(), currentYear) + QLatin1Char(' ') + entry.fileName()
           + (linkTarget.isEmpty() ? QString() : QLatin1String(" -> ") + linkTarget)
           + QLatin1String("\r\n");
}

QString KTFtpFormat::passiveText(const QHostAddress& address, quint16 port)
{
    bool isIPv4 = false;
    const quint32 ip = address.toIPv4Address(&isIPv4);
    if (!isIPv4)
        return QString();
    return QStringLiteral("%1,%2,%3,%4,%5,%6")
        .arg(ip >> 24)
        .arg((ip >> 16) & 0xff)
        .arg((ip >> 8) & 0xff)
        .arg(ip & 0xff)
        .arg(port / 256)
        .arg(port % 256);
}

bool KTFtpFormat::parseOctalMode(const QString& text, QFileDevice::Permissions& permissions)
{
    if (text.size() < 3 || text.size() > 4)
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('7'))
            return false;
    }
    const uint mode = text.toUInt(nullptr, 8);
    struct Bit {
        uint mode;
        QFileDevice::Permissions permission;
    };
    // The owner's bits stand for the current user as well; Qt sets both from one mode bit.
    static const Bit bits[] = {
        {0400, QFileDevice::ReadOwner | QFileDevice::ReadUser},
        {0200, QFileDevice::WriteOwner | QFileDevice::WriteUser},
        {0100, QFileDevice::ExeOwner | QFileDevice::ExeUser},
        {0040, QFileDevice::ReadGroup}, {0020, QFileDevice::WriteGroup},
        {0010, QFileDevice::ExeGroup},  {0004, QFileDevice::ReadOther},
        {0002, QFileDevice::WriteOther}, {0001, QFileDevice::ExeOther},
    };
    // SECURITY: the set-uid, set-gid and sticky digit is read but never applied; a remote user
    // must not be able to leave set-uid programs of the server's account behind.
    permissions = {};
    for (const Bit& bit : bits) {
        if (mode & bit.mode)
            permissions |= bit.permission;
    }
    return true;
}

bool KTFtpFormat::parseRestOffset(const QString& text, qint64& offset)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty())
        return false;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    bool ok = false;
    offset = digits.toLongLong(&ok);
    return ok;
}

QString KTFtpFormat::quotedPath(const QString& path)
{
    QString quoted = path;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return quoted;
}
