// Passive data connections, listings and file transfers of a session.
#include "server/ktftpclient.h"

#include "server/ktftpformat.h"
#include "server/ktftplimits.h"
#include "server/ktftpreplies.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

bool sameHost(const QHostAddress& a, const QHostAddress& b)
{
    return a.isEqual(b, QHostAddress::TolerantConversion);
}

} // namespace

bool KTFtpClient::transferRunning() const
{
    return dataSocket && transferState != KTFtpCommand::Unkn;
}

void KTFtpClient::handlePasv()
{
    if (!dataListener->isListening()) {
        sendReply(QLatin1String(KTFtpReply::PassiveUnavailable));
        command.code = KTFtpCommand::Unkn;
        return;
    }
    if (transferRunning()) {
        command.code = KTFtpCommand::Unkn;
        sendCode(KTFtpReply::BadSequence);
        return;
    }
    // A data connection left unused by the last PASV gives way to the new one.
    dropDataConnection();
    // Announce the address this client reached us at; a NAT or multi-homed machine's first
    // interface may not be reachable for it.
    QString address = KTFtpFormat::passiveText(controlSocket->localAddress(), dataPort);
    for (int i = 0; address.isEmpty() && i < localAddresses.size(); ++i)
        address = KTFtpFormat::passiveText(QHostAddress(localAddresses.at(i)), dataPort);
    if (address.isEmpty())
        address = KTFtpFormat::passiveText(QHostAddress(QHostAddress::LocalHost), dataPort);
    sendReply(QString::fromLatin1(KTFtpReply::PassiveMode).arg(address));
    // The session now holds further lines until the data connection arrives (or time runs out).
    passiveTimer.start();
}

void KTFtpClient::slotPassiveTimeout()
{
    if (closing || command.code != KTFtpCommand::Pasv)
        return;
    command.code = KTFtpCommand::Unkn;
    sendCode(KTFtpReply::CannotOpenData);
    processCommand();
}

void KTFtpClient::slotNewConnection()
{
    // Bounded by the listener's backlog.
    while (QTcpSocket* socket = dataListener->nextPendingConnection()) {
        // SECURITY: only the control connection's own peer may open a data connection;
        // anyone else is turned away while we keep waiting for the right one.
        if (!sameHost(socket->peerAddress(), controlSocket->peerAddress())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        if (dataSocket || command.code != KTFtpCommand::Pasv || closing) {
            socket->abort();
            socket->deleteLater();
            if (!closing)
                sendCode(KTFtpReply::BadSequence);
            continue;
        }
        acceptDataConnection(socket);
    }
}

void KTFtpClient::acceptDataConnection(QTcpSocket* socket)
{
    passiveTimer.stop();
    dataSocket = socket;
    dataSocket->setParent(this);
    // SECURITY: data nobody asked for (no STOR running) stays in the peer's send queue, not here.
    dataSocket->setReadBufferSize(KTFtpLimits::DataReadBufferBytes);
    connect(dataSocket, &QTcpSocket::readyRead, this, &KTFtpClient::slotReadyRead_Da);
    connect(dataSocket, &QTcpSocket::bytesWritten, this, &KTFtpClient::slotBytesWritten_Da);
    connect(dataSocket, &QTcpSocket::disconnected, this, &KTFtpClient::slotDisconnected_Da);
    command.reset();
    processCommand();
}

void KTFtpClient::dropDataConnection()
{
    dataCloseTimer.stop();
    transferState = KTFtpCommand::Unkn;
    if (file.isOpen())
        file.close();
    chunkWritten = 0;
    dataBuffer.clear();
    if (!dataSocket)
        return;
    // Quietly: no 226 for a connection that carried nothing or failed.
    dataSocket->disconnect(this);
    dataSocket->abort();
    dataSocket->deleteLater();
    dataSocket = nullptr;
}

bool KTFtpClient::needDataConnection()
{
    if (dataSocket && dataSocket->state() == QAbstractSocket::ConnectedState)
        return true;
    dropDataConnection();
    sendReply(QLatin1String(KTFtpReply::UsePasvFirst));
    command.code = KTFtpCommand::Unkn;
    return false;
}

QString KTFtpClient::listingText(const QString& localPath) const
{
    const QFileInfo target(localPath);
    const int year = QDate::currentDate().year();
    if (!target.isDir())
        return target.exists() ? KTFtpFormat::listLine(target, year) : QString();
    QDir dir(localPath);
    if (!dir.isReadable())
        return QString();
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries, QDir::Name | QDir::IgnoreCase);
    QString text;
    for (const QFileInfo& entry : entries)
        text += KTFtpFormat::listLine(entry, year);
    return text;
}

void KTFtpClient::handleList()
{
    if (!needDataConnection())
        return;
    // Options such as "-al" are the only arguments our engine sends; a path names another
    // folder (or a single file) to list, as lftp's "ls dir" asks.
    QString argument = command.argument.trimmed();
    while (argument.startsWith(QLatin1Char('-'))) {
        const int blank = argument.indexOf(QLatin1Char(' '));
        argument = blank < 0 ? QString() : argument.mid(blank + 1).trimmed();
    }
    const QStringList parts = KTFtpPath::resolve(currentPath, argument);
    const QString path = KTFtpPath::confine(canonicalRoot, parts, KTFtpPath::Follow::Target);
    const QString text = path.isEmpty() ? QString() : listingText(path);
    if (text.isEmpty()) {
        dropDataConnection();
        command.code = KTFtpCommand::Unkn;
        sendCode(KTFtpReply::FileUnavailable);
        return;
    }
    chunkWritten = 0;
    transferState = KTFtpCommand::List;
    sendReply(QLatin1String(KTFtpReply::ListingStarts));
    dataBuffer = text.toUtf8();
    dataSocket->write(dataBuffer);
}

void KTFtpClient::handleRest()
{
    restOffset = KTFtpFormat::parseRestOffset(command.argument);
    sendReply(QString::fromLatin1(KTFtpReply::RestAccepted).arg(quint64(restOffset)));
}

void KTFtpClient::handleRetr()
{
    if (!needDataConnection())
        return;
    const QString path = resolvePath(KTFtpPath::Follow::Target);
    const QFileInfo entry(path);
    transferPath = KTFtpPath::virtualText(resolveParts());
    transferBytes = 0;
    file.setFileName(path);
    if (path.isEmpty() || entry.isDir() || (!entry.isSymLink() && !file.open(QIODevice::ReadOnly))) {
        restOffset = 0;
        dropDataConnection();
        command.code = KTFtpCommand::Unkn;
        sendCode(KTFtpReply::NotAvailable);
        return;
    }
    const QString reply = QString::fromLatin1(KTFtpReply::SendStarts).arg(command.argument);
    transferState = KTFtpCommand::Retr;
    if (entry.isSymLink()) {
        // A link is sent as the path it points at, as the client sees that path; the link is
        // inside the root, or resolving it would have failed.
        sendingLink = true;
        const QString target = entry.canonicalFilePath();
        dataBuffer = (QLatin1Char('/')
                      + target.mid(canonicalRoot.size()).section(QLatin1Char('/'), 1))
                         .toUtf8();
        chunkWritten = 0;
        sendReply(reply);
        dataSocket->write(dataBuffer);
        return;
    }
    sendingLink = false;
    if (restOffset > 0)
        file.seek(restOffset);
    sendReply(reply);
    sendNextChunk();
}

void KTFtpClient::sendNextChunk()
{
    chunkWritten = 0;
    dataBuffer = file.read(KTFtpLimits::FileChunkBytes);
    if (dataBuffer.isEmpty()) {
        scheduleDataClose();
        return;
    }
    dataSocket->write(dataBuffer);
}

void KTFtpClient::scheduleDataClose()
{
    dataCloseTimer.start();
}

void KTFtpClient::slotBytesWritten_Da(qint64 bytes)
{
    chunkWritten += bytes;
    transferBytes += bytes;
    if (chunkWritten != dataBuffer.size())
        return;
    if (transferState == KTFtpCommand::List)
        scheduleDataClose();
    else if (transferState == KTFtpCommand::Retr)
        sendingLink ? scheduleDataClose() : sendNextChunk();
}

void KTFtpClient::handleStor()
{
    if (!needDataConnection())
        return;
    const QString path = resolvePath(KTFtpPath::Follow::Target);
    transferPath = KTFtpPath::virtualText(resolveParts());
    transferBytes = 0;
    file.setFileName(path);
    const QIODevice::OpenMode mode = restOffset > 0 ? QIODevice::ReadWrite
                                                    : QIODevice::WriteOnly | QIODevice::Truncate;
    if (path.isEmpty() || QFileInfo(path).isDir() || !file.open(mode)
        || (restOffset > 0 && !file.seek(restOffset))) {
        file.close();
        restOffset = 0;
        dropDataConnection();
        command.code = KTFtpCommand::Unkn;
        sendCode(path.isEmpty() ? KTFtpReply::NotAvailable : KTFtpReply::FileUnavailable);
        return;
    }
    restOffset = 0;
    chunkWritten = 0;
    dataBuffer.clear();
    transferState = KTFtpCommand::Stor;
    sendReply(QLatin1String(KTFtpReply::ReceiveStarts));
    // Bytes may have arrived while the command was on its way.
    storeReceived();
}

void KTFtpClient::slotReadyRead_Da()
{
    if (transferState == KTFtpCommand::Stor)
        storeReceived();
}

void KTFtpClient::storeReceived()
{
    if (!dataSocket || !file.isOpen())
        return;
    dataBuffer = dataSocket->readAll();
    if (dataBuffer.isEmpty())
        return;
    if (file.write(dataBuffer) != dataBuffer.size()) {
        // A full disk must not end in "226 File receive OK.".
        dropDataConnection();
        command.code = KTFtpCommand::Unkn;
        sendCode(KTFtpReply::LocalError);
        return;
    }
    transferBytes += dataBuffer.size();
    touch();
}

void KTFtpClient::slotCloseDataSocket()
{
    if (!dataSocket)
        return;
    dataSocket->flush();
    dataSocket->disconnectFromHost();
}

void KTFtpClient::slotDisconnected_Da()
{
    if (transferState == KTFtpCommand::Stor)
        storeReceived();
    const int code = transferState;
    if (dataSocket) {
        dataSocket->disconnect(this);
        dataSocket->deleteLater();
        dataSocket = nullptr;
    }
    dropDataConnection();
    restOffset = 0;
    touch();
    if (code == KTFtpCommand::List) {
        sendReply(QLatin1String(KTFtpReply::ListingSent));
    } else if (code == KTFtpCommand::Retr) {
        sendReply(QLatin1String(KTFtpReply::FileSent));
        finishTransfer("RETR");
    } else if (code == KTFtpCommand::Stor) {
        sendReply(QLatin1String(KTFtpReply::FileReceived));
        finishTransfer("STOR");
    }
}

void KTFtpClient::finishTransfer(const char* name)
{
    emit transferFinished(loginUser, QLatin1String(name), transferPath, transferBytes);
}
