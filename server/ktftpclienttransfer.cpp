// Listings and file transfers of a session, over the data connection it has opened.
#include "server/ktftpclient.h"

#include "server/ktftpformat.h"
#include "server/ktftplimits.h"
#include "server/ktftpreplies.h"
#include "server/kttlssupport.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTcpSocket>

#include <algorithm>

namespace {

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

// A name holding CR, LF or another control character could forge a listing line.
bool holdsControlCharacter(const QString& name)
{
    return std::any_of(name.cbegin(), name.cend(), isControl);
}

QString withoutOptions(const QString& argument)
{
    // Options such as "-al" are the only arguments our engine sends; a path names another
    // folder (or a single file) to list, as lftp's "ls dir" asks.
    QString rest = argument.trimmed();
    while (rest.startsWith(QLatin1Char('-'))) {
        const int blank = rest.indexOf(QLatin1Char(' '));
        rest = blank < 0 ? QString() : rest.mid(blank + 1).trimmed();
    }
    return rest;
}

} // namespace

QString KTFtpClient::listingLine(const QFileInfo& entry, bool namesOnly, int year)
{
    const QString name = entry.fileName();
    if (holdsControlCharacter(name)) {
        QString shown = name;
        std::replace_if(shown.begin(), shown.end(), isControl, QLatin1Char('?'));
        emit notice(QStringLiteral("listing leaves out \"%1\": its name holds a control character")
                        .arg(shown));
        return QString();
    }
    if (namesOnly)
        return name + QLatin1String("\r\n");
    const QString target =
        entry.isSymLink() ? KTFtpPath::linkTarget(canonicalRoot, entry) : QString();
    return KTFtpFormat::listLine(entry, year, target);
}

QString KTFtpClient::listingText(const QString& localPath, bool namesOnly)
{
    const QFileInfo target(localPath);
    const int year = QDate::currentDate().year();
    if (!target.isDir())
        return listingLine(target, namesOnly, year);
    QDir::Filters filters = QDir::AllEntries;
    if (namesOnly)
        filters |= QDir::NoDotAndDotDot;
    QFileInfoList entries = QDir(localPath).entryInfoList(filters, QDir::Name | QDir::IgnoreCase);
    // An empty folder lists as empty: ncftp cannot walk a folder whose listing holds nothing
    // but "." and "..".
    if (!namesOnly && entries.size() <= 2)
        entries.clear();
    QString text;
    for (const QFileInfo& entry : entries)
        text += listingLine(entry, namesOnly, year);
    return text;
}

void KTFtpClient::handleList()
{
    sendListing(false);
}

void KTFtpClient::handleNlst()
{
    sendListing(true);
}

void KTFtpClient::sendListing(bool namesOnly)
{
    if (!needDataConnection())
        return;
    const QStringList parts = KTFtpPath::resolve(currentPath, withoutOptions(command.argument));
    const QString path = KTFtpPath::confine(canonicalRoot, parts, KTFtpPath::Follow::Target);
    const QFileInfo target(path);
    if (path.isEmpty() || !target.exists() || (target.isDir() && !QDir(path).isReadable())) {
        dropDataConnection();
        command.code = KTFtpCommand::Unkn;
        sendCode(KTFtpReply::NotAvailable);
        return;
    }
    transferPath = KTFtpPath::virtualText(parts);
    beginTransfer(namesOnly ? KTFtpCommand::Nlst : KTFtpCommand::List);
    sendReply(QLatin1String(KTFtpReply::ListingStarts));
    dataBuffer = listingText(path, namesOnly).toUtf8();
    if (!dataBuffer.isEmpty())
        dataSocket->write(dataBuffer);
    finishSending();
}

void KTFtpClient::handleRest()
{
    qint64 offset = 0;
    if (!KTFtpFormat::parseRestOffset(command.argument, offset)) {
        restOffset = 0;
        sendCode(KTFtpReply::BadParameter);
        return;
    }
    restOffset = offset;
    sendReply(QString::fromLatin1(KTFtpReply::RestAccepted).arg(quint64(restOffset)));
}

void KTFtpClient::refuseTransfer(const QString& reply)
{
    restOffset = 0;
    dropDataConnection();
    command.code = KTFtpCommand::Unkn;
    sendReply(reply);
}

void KTFtpClient::handleRetr()
{
    if (!needDataConnection())
        return;
    QStringList parts;
    const QString path = resolvePath(KTFtpPath::Follow::Target, parts);
    const QFileInfo entry(path);
    transferPath = KTFtpPath::virtualText(parts);
    file.setFileName(path);
    // Regular files only (a link inside the root counts as its target): reading a pipe or a
    // device could block the whole server.
    if (path.isEmpty() || !entry.isFile() || !file.open(QIODevice::ReadOnly)) {
        refuseTransfer(KTFtpReply::standardLine(KTFtpReply::NotAvailable));
        return;
    }
    if (restOffset > file.size() || !file.seek(restOffset)) {
        refuseTransfer(QLatin1String(KTFtpReply::RestBeyondEnd));
        return;
    }
    restOffset = 0;
    beginTransfer(KTFtpCommand::Retr);
    sendReply(QString::fromLatin1(KTFtpReply::SendStarts).arg(command.argument));
    sendNextChunk();
}

void KTFtpClient::sendNextChunk()
{
    // Bounded by the send queue's size: each pass adds a chunk or ends.
    while (dataSocket && KTTlsSupport::pendingBytes(dataSocket) < KTFtpLimits::SendQueueBytes) {
        dataBuffer = file.read(KTFtpLimits::FileChunkBytes);
        if (dataBuffer.isEmpty()) {
            if (!file.atEnd()) {
                // The file could not be read to its end: never report it as sent.
                dataFailed = true;
                slotCloseDataSocket();
                return;
            }
            finishSending();
            return;
        }
        dataSocket->write(dataBuffer);
    }
}

void KTFtpClient::handleStor()
{
    receiveFile(false);
}

void KTFtpClient::handleAppe()
{
    receiveFile(true);
}

void KTFtpClient::receiveFile(bool append)
{
    if (!needDataConnection())
        return;
    if (!lineIsUtf8) {
        refuseTransfer(KTFtpReply::standardLine(KTFtpReply::NameNotAllowed));
        return;
    }
    QStringList parts;
    const QString path = resolvePath(KTFtpPath::Follow::Target, parts);
    const QFileInfo entry(path);
    transferPath = KTFtpPath::virtualText(parts);
    // Never onto a folder, a pipe or a device, nor onto the root itself.
    if (path.isEmpty() || parts.isEmpty() || (entry.exists() && !entry.isFile())) {
        refuseTransfer(KTFtpReply::standardLine(KTFtpReply::NotAvailable));
        return;
    }
    const qint64 offset = append ? 0 : restOffset;
    restOffset = 0;
    if (offset > (entry.exists() ? entry.size() : 0)) {
        refuseTransfer(QLatin1String(KTFtpReply::RestBeyondEnd));
        return;
    }
    if (!openUpload(path, append, offset)) {
        refuseTransfer(KTFtpReply::standardLine(KTFtpReply::NotAvailable));
        return;
    }
    beginTransfer(append ? KTFtpCommand::Appe : KTFtpCommand::Stor);
    dataBuffer.clear();
    sendReply(QLatin1String(KTFtpReply::ReceiveStarts));
    // Bytes may have arrived while the command was on its way.
    storeReceived();
}

bool KTFtpClient::openUpload(const QString& path, bool append, qint64 offset)
{
    if (!append && offset == 0) {
        // The old file stays whole until the new one is complete, and of two uploads to one
        // name the last to complete wins, whole.
        // Unbuffered: a full disk shows at the write that hits it. QSaveFile's commit misses an
        // error that only its final flush meets.
        saveFile = std::make_unique<QSaveFile>(path);
        return saveFile->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    // Resumed and appended uploads continue the file that is there.
    file.setFileName(path);
    const QIODevice::OpenMode mode =
        append ? QIODevice::WriteOnly | QIODevice::Append : QIODevice::ReadWrite;
    return file.open(mode | QIODevice::Unbuffered) && (append || file.seek(offset));
}

bool KTFtpClient::finishUpload()
{
    if (saveFile) {
        const bool committed = saveFile->flush() && saveFile->commit();
        saveFile.reset();
        return committed;
    }
    const bool flushed = file.flush();
    file.close();
    return flushed && file.error() == QFileDevice::NoError;
}

void KTFtpClient::storeReceived()
{
    QFileDevice* device = saveFile ? static_cast<QFileDevice*>(saveFile.get()) : &file;
    if (!dataSocket || !device->isOpen())
        return;
    dataBuffer = dataSocket->readAll();
    if (dataBuffer.isEmpty())
        return;
    stallTimer.start();
    if (device->write(dataBuffer) != dataBuffer.size()) {
        // A full disk must not end in "226 File receive OK.", nor leave a short file behind.
        refuseTransfer(QLatin1String(KTFtpReply::WriteFailed));
        return;
    }
    transferBytes += dataBuffer.size();
    touch();
}
