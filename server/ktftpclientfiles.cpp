// Paths and the file and information commands of a session.
#include "server/ktftpclient.h"

#include "server/ktftpformat.h"
#include "server/ktftpreplies.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

void KTFtpClient::handleSyst()
{
    sendReply(QLatin1String(KTFtpReply::SystemType));
}

void KTFtpClient::handleFeat()
{
    sendReply(QLatin1String(tlsEnabled ? KTFtpReply::FeaturesTls : KTFtpReply::Features));
}

void KTFtpClient::handleNoop()
{
    sendReply(QLatin1String(KTFtpReply::NoopOk));
}

void KTFtpClient::handleHelp()
{
    QString text = QLatin1String(KTFtpReply::HelpHead);
    const QStringList& words = KTFtpCommand::words();
    // The TLS words close the table and are offered only with a certificate.
    const int count = tlsEnabled ? int(words.size()) : int(KTFtpCommand::Auth);
    for (int i = 1; i < count; ++i) {
        text += QLatin1Char(' ') + words.at(i);
        if (i % 10 == 0 && i + 1 < count)
            text += QLatin1Char('\n');
    }
    text += QLatin1Char('\n');
    text += QLatin1String(KTFtpReply::HelpTail);
    sendReply(text);
}

void KTFtpClient::handlePwd()
{
    sendReply(QString::fromLatin1(KTFtpReply::CurrentDir)
                  .arg(KTFtpFormat::quotedPath(currentVirtualDir())));
}

void KTFtpClient::handleCwd()
{
    QStringList parts;
    const QString path = resolvePath(KTFtpPath::Follow::Target, parts);
    if (path.isEmpty()) {
        sendCode(KTFtpReply::NotAvailable);
        return;
    }
    if (!QFileInfo(path).isDir()) {
        sendCode(KTFtpReply::NotAvailable);
        return;
    }
    currentPath = parts;
    sendReply(QLatin1String(KTFtpReply::DirChanged));
}

void KTFtpClient::handleCdup()
{
    if (!currentPath.isEmpty())
        currentPath.removeLast();
    sendReply(QLatin1String(KTFtpReply::CdupOk));
}

bool KTFtpClient::nameAllowed()
{
    if (lineIsUtf8)
        return true;
    // Two different byte strings would end up as one name.
    sendCode(KTFtpReply::NameNotAllowed);
    return false;
}

void KTFtpClient::handleMkd()
{
    if (!nameAllowed())
        return;
    QStringList parts;
    const QString path = resolvePath(KTFtpPath::Follow::Entry, parts);
    if (path.isEmpty()) {
        sendCode(KTFtpReply::NotAvailable);
        return;
    }
    // One level only, and never the root itself.
    const QFileInfo entry(path);
    if (parts.isEmpty() || !QDir(entry.absolutePath()).mkdir(entry.fileName())) {
        sendCode(KTFtpReply::NotAvailable);
        return;
    }
    sendReply(QString::fromLatin1(KTFtpReply::DirCreated)
                  .arg(KTFtpFormat::quotedPath(KTFtpPath::virtualText(parts))));
}

void KTFtpClient::handleDele()
{
    QStringList parts;
    const QString path = resolvePath(KTFtpPath::Follow::Entry, parts);
    const QFileInfo entry(path);
    if (path.isEmpty() || parts.isEmpty() || (entry.isDir() && !entry.isSymLink())
        || !QFile::remove(path)) {
        sendCode(KTFtpReply::NotAvailable);
        return;
    }
    sendReply(QLatin1String(KTFtpReply::DeleteOk));
}

void KTFtpClient::handleRmd()
{
    QStringList parts;
    const QString path = resolvePath(KTFtpPath::Follow::Entry, parts);
    if (path.isEmpty()) {
        sendCode(KTFtpReply::NotAvailable);
        return;
    }
    // Only the named empty folder: its parents stay, and so does the root.
    const QFileInfo entry(path);
    if (parts.isEmpty() || entry.isSymLink() || !QDir(entry.absolutePath()).rmdir(entry.fileName())) {
        sendCode(KTFtpReply::NotAvailable);
        return;
    }
    sendReply(QLatin1String(KTFtpReply::DeleteOk));
}

void KTFtpClient::handleRnfr()
{
    QStringList parts;
    renameFrom = resolvePath(KTFtpPath::Follow::Entry, parts);
    const QFileInfo entry(renameFrom);
    if (renameFrom.isEmpty() || parts.isEmpty() || !(entry.exists() || entry.isSymLink())) {
        renameFrom.clear();
        sendCode(KTFtpReply::NotAvailable);
        return;
    }
    sendReply(QLatin1String(KTFtpReply::ReadyForRnto));
}

void KTFtpClient::handleRnto()
{
    const QString source = renameFrom;
    renameFrom.clear();
    if (!nameAllowed())
        return;
    QStringList parts;
    const QString target = resolvePath(KTFtpPath::Follow::Entry, parts);
    if (target.isEmpty() || parts.isEmpty()) {
        sendCode(KTFtpReply::NotAvailable);
        return;
    }
    const QFileInfo from(source);
    bool renamed = false;
    // An existing target is never replaced, a link among them.
    if (!source.isEmpty() && (from.exists() || from.isSymLink())
        && !QFileInfo(target).exists() && !QFileInfo(target).isSymLink()) {
        if (from.isDir() && !from.isSymLink())
            renamed = QDir().rename(source, target);
        else
            renamed = QFile::rename(source, target);
    }
    sendReply(QLatin1String(renamed ? KTFtpReply::RenameOk : KTFtpReply::RenameRefused));
}

void KTFtpClient::handleSite()
{
    const QString& request = command.argument;
    if (request.startsWith(QLatin1String("chmod "), Qt::CaseInsensitive) && request.size() > 8
        && siteChmod(request.mid(6)))
        return;
    sendCode(KTFtpReply::BadParameter);
}

bool KTFtpClient::siteChmod(const QString& request)
{
    const int blank = request.indexOf(QLatin1Char(' '));
    if (blank <= 0)
        return false;
    QFileDevice::Permissions permissions;
    if (!KTFtpFormat::parseOctalMode(request.left(blank), permissions))
        return false;
    const QStringList parts = KTFtpPath::resolve(currentPath, request.mid(blank + 1));
    const QString path = KTFtpPath::confine(canonicalRoot, parts, KTFtpPath::Follow::Target);
    // The root's own permissions are not the client's to change.
    if (path.isEmpty() || parts.isEmpty()) {
        sendCode(KTFtpReply::NotAvailable);
        return true;
    }
    if (!QFileInfo::exists(path))
        return false;
    if (!QFile::setPermissions(path, permissions)) {
        sendCode(KTFtpReply::NotAvailable);
        return true;
    }
    sendReply(QLatin1String(KTFtpReply::ChmodOk));
    return true;
}

void KTFtpClient::handleSize()
{
    if (command.argument.isEmpty()) {
        sendCode(KTFtpReply::BadParameter);
        return;
    }
    const QString path = resolvePath();
    const QFileInfo entry(path);
    // Pipes and devices have no size worth telling, and a client would go on to RETR them.
    if (path.isEmpty() || !(entry.isFile() || entry.isDir())) {
        sendCode(KTFtpReply::NotAvailable);
        return;
    }
    sendReply(QString::fromLatin1(KTFtpReply::FileStatus).arg(entry.size()));
}

void KTFtpClient::handleMdtm()
{
    const QString path = resolvePath();
    const QFileInfo entry(path);
    if (command.argument.isEmpty() || path.isEmpty() || !entry.exists()) {
        sendCode(KTFtpReply::NotAvailable);
        return;
    }
    sendReply(QString::fromLatin1(KTFtpReply::FileStatus)
                  .arg(entry.lastModified().toUTC().toString(QStringLiteral("yyyyMMddHHmmss"))));
}

void KTFtpClient::handleOpts()
{
    const QString option = command.argument.simplified().toUpper();
    if (option == QLatin1String("UTF8 ON") || option == QLatin1String("UTF8"))
        sendReply(QLatin1String(KTFtpReply::Utf8Always));
    else
        sendReply(QLatin1String(KTFtpReply::OptionUnknown));
}

void KTFtpClient::handleMode()
{
    const bool stream = command.argument.trimmed().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0;
    sendReply(QLatin1String(stream ? KTFtpReply::ModeStream : KTFtpReply::ModeRefused));
}

void KTFtpClient::handleStru()
{
    const bool file = command.argument.trimmed().compare(QLatin1String("F"), Qt::CaseInsensitive) == 0;
    sendReply(QLatin1String(file ? KTFtpReply::StructureFile : KTFtpReply::StructureRefused));
}

void KTFtpClient::handleAllo()
{
    sendReply(QLatin1String(KTFtpReply::AlloIgnored));
}
