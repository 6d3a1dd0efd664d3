// Passive data connections of a session: opening, accepting, aborting and ending them.
#include "server/ktftpclient.h"

#include "server/ktftpformat.h"
#include "server/ktftplimits.h"
#include "server/ktftpreplies.h"

#include <QHostAddress>
#include <QSaveFile>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

bool sameHost(const QHostAddress& a, const QHostAddress& b)
{
    return a.isEqual(b, QHostAddress::TolerantConversion);
}

bool isReceiving(int state)
{
    return state == KTFtpCommand::Stor || state == KTFtpCommand::Appe;
}

} // namespace

bool KTFtpClient::transferRunning() const
{
    return waitingForData || (dataSocket && transferState != KTFtpCommand::Unkn);
}

bool KTFtpClient::openPassive(bool extended)
{
    // A connection or listener left unused by the last PASV gives way to the new one.
    dropDataConnection();
    dataListener->close();
    // Bind the address the client reached us at, the one the reply names; nothing on other
    // interfaces needs the port. PASV can only name an IPv4 address, so a client that came over
    // IPv6 is told an interface's address and every address must do.
    const QHostAddress local = controlSocket->localAddress();
    bool isIPv4 = false;
    const quint32 ipv4 = local.toIPv4Address(&isIPv4);
    QHostAddress address(QHostAddress::Any);
    if (isIPv4)
        address = QHostAddress(ipv4);
    else if (extended)
        address = local;
    for (quint32 port = firstDataPort; port <= lastDataPort; ++port) {
        if (dataListener->listen(address, quint16(port))) {
            dataPort = quint16(port);
            passiveTimer.start();
            return true;
        }
    }
    sendReply(QLatin1String(KTFtpReply::NoPassivePort));
    return false;
}

void KTFtpClient::handlePasv()
{
    if (!openPassive(false))
        return;
    // Announce the address this client reached us at; a NAT or multi-homed machine's first
    // interface may not be reachable for it.
    QString address = KTFtpFormat::passiveText(controlSocket->localAddress(), dataPort);
    for (int i = 0; address.isEmpty() && i < localAddresses.size(); ++i)
        address = KTFtpFormat::passiveText(QHostAddress(localAddresses.at(i)), dataPort);
    if (address.isEmpty())
        address = KTFtpFormat::passiveText(QHostAddress(QHostAddress::LocalHost), dataPort);
    sendReply(QString::fromLatin1(KTFtpReply::PassiveMode).arg(address));
}

void KTFtpClient::handleEpsv()
{
    const QString protocol = command.argument.trimmed();
    if (protocol.compare(QLatin1String("ALL"), Qt::CaseInsensitive) == 0) {
        sendReply(QLatin1String(KTFtpReply::EpsvAll));
        return;
    }
    if (!protocol.isEmpty() && protocol != QLatin1String("1") && protocol != QLatin1String("2")) {
        sendReply(QLatin1String(KTFtpReply::BadProtocol));
        return;
    }
    if (openPassive(true))
        sendReply(QString::fromLatin1(KTFtpReply::ExtendedPassiveMode).arg(dataPort));
}

void KTFtpClient::slotPassiveTimeout()
{
    if (closing || transferState != KTFtpCommand::Unkn)
        return;
    const bool held = waitingForData;
    waitingForData = false;
    dataListener->close();
    dropDataConnection();
    // Only a command that waits for the connection is answered: nothing else may be written.
    if (held) {
        sendCode(KTFtpReply::CannotOpenData);
        processCommand();
    }
}

void KTFtpClient::slotNewConnection()
{
    // Bounded by the listener's backlog.
    while (QTcpSocket* socket = dataListener->nextPendingConnection()) {
        // SECURITY: one connection per PASV, from the control connection's own peer; anyone
        // else is turned away without a word, here or on the control connection.
        if (closing || dataSocket || !sameHost(socket->peerAddress(), controlSocket->peerAddress())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        acceptDataConnection(socket);
        return;
    }
}

void KTFtpClient::acceptDataConnection(QTcpSocket* socket)
{
    dataListener->close();
    dataSocket = socket;
    dataSocket->setParent(this);
    // SECURITY: data nobody asked for (no STOR running) stays in the peer's send queue, not here.
    dataSocket->setReadBufferSize(KTFtpLimits::DataReadBufferBytes);
    connect(dataSocket, &QTcpSocket::readyRead, this, &KTFtpClient::slotReadyRead_Da);
    connect(dataSocket, &QTcpSocket::bytesWritten, this, &KTFtpClient::slotBytesWritten_Da);
    connect(dataSocket, &QTcpSocket::disconnected, this, &KTFtpClient::slotDisconnected_Da);
    connect(dataSocket, &QTcpSocket::errorOccurred, this, &KTFtpClient::slotDataError);
    resetWatch.watch(dataSocket->socketDescriptor());
    if (protectData) {
        auto* ssl = qobject_cast<QSslSocket*>(dataSocket);
        if (!ssl) {
            dropDataConnection();
            return;
        }
        // The transfer may start at once: its 150 goes out, and what it writes waits in the
        // socket until the handshake is through, as clients that shake hands only after the
        // 150 need.
        startDataHandshake(ssl);
    }
    dataConnectionReady();
}

void KTFtpClient::dataConnectionReady()
{
    if (waitingForData) {
        // The transfer command that came first runs now.
        waitingForData = false;
        passiveTimer.stop();
        command.code = heldCode;
        command.argument = heldArgument;
        lineIsUtf8 = heldIsUtf8;
        dispatch();
    }
    processCommand();
}

bool KTFtpClient::needDataConnection()
{
    if (dataSocket && dataSocket->state() == QAbstractSocket::ConnectedState) {
        passiveTimer.stop();
        return true;
    }
    if (!dataSocket && dataListener->isListening()) {
        // The client may connect after sending the command; the passive time-out bounds the wait.
        waitingForData = true;
        heldCode = command.code;
        heldArgument = command.argument;
        heldIsUtf8 = lineIsUtf8;
        return false;
    }
    dropDataConnection();
    sendReply(QLatin1String(KTFtpReply::UsePasvFirst));
    command.code = KTFtpCommand::Unkn;
    return false;
}

void KTFtpClient::beginTransfer(int state)
{
    transferState = state;
    transferBytes = 0;
    sendComplete = false;
    dataFailed = false;
    chunkWritten = 0;
    stallTimer.start();
}

void KTFtpClient::dropDataConnection()
{
    stallTimer.stop();
    transferState = KTFtpCommand::Unkn;
    sendComplete = false;
    if (file.isOpen())
        file.close();
    // An upload that did not complete never takes the name it was meant for.
    saveFile.reset();
    chunkWritten = 0;
    dataBuffer.clear();
    dataHandshaking = false;
    closeAfterHandshake = false;
    if (dataSocket) {
        dataSocket->disconnect(this);
        dataSocket->abort();
        dataSocket->deleteLater();
        dataSocket = nullptr;
    }
    resetWatch.release();
}

void KTFtpClient::abortTransfer()
{
    waitingForData = false;
    passiveTimer.stop();
    dataListener->close();
    dropDataConnection();
    restOffset = 0;
    sendReply(QLatin1String(KTFtpReply::TransferAborted));
}

void KTFtpClient::handleAbor()
{
    if (!transferRunning()) {
        dataListener->close();
        dropDataConnection();
        sendReply(QLatin1String(KTFtpReply::NothingToAbort));
        return;
    }
    abortTransfer();
    sendReply(QLatin1String(KTFtpReply::AbortDone));
}

void KTFtpClient::handleStat()
{
    if (!command.argument.trimmed().isEmpty()) {
        sendReply(QLatin1String(KTFtpReply::StatusPathRefused));
        return;
    }
    if (!transferRunning()) {
        sendReply(QString::fromLatin1(KTFtpReply::StatusIdle).arg(loginUser));
        return;
    }
    const QString word = KTFtpCommand::words().value(transferState);
    sendReply(QString::fromLatin1(KTFtpReply::StatusTransfer)
                  .arg(word.isEmpty() ? QStringLiteral("waiting") : word, transferPath)
                  .arg(transferBytes));
}

void KTFtpClient::slotDataStalled()
{
    if (closing || !dataSocket || transferState == KTFtpCommand::Unkn)
        return;
    abortTransfer();
    // The session's own idle time-out takes over from here.
    touch();
    processCommand();
}

void KTFtpClient::slotDataError()
{
    if (dataHandshaking) {
        failDataHandshake(dataSocket->errorString());
        return;
    }
    // The peer's close is how an upload ends; anything else spoils the transfer.
    if (dataSocket && dataSocket->error() == QAbstractSocket::RemoteHostClosedError
        && isReceiving(transferState))
        return;
    dataFailed = true;
}

void KTFtpClient::finishSending()
{
    sendComplete = true;
    // Last: with nothing left to write the socket closes, and reports it, right here.
    slotCloseDataSocket();
}

void KTFtpClient::slotCloseDataSocket()
{
    if (!dataSocket)
        return;
    // A close in the middle of the handshake would break it; it waits for the handshake's end.
    if (dataHandshaking) {
        closeAfterHandshake = true;
        return;
    }
    // Writes what is still queued first; the close then brings the final reply.
    dataSocket->disconnectFromHost();
}

void KTFtpClient::slotDisconnected_Da()
{
    if (!dataSocket)
        return;
    if (dataHandshaking) {
        failDataHandshake(QStringLiteral("closed during the handshake"));
        return;
    }
    const bool receiving = isReceiving(transferState);
    if (receiving)
        storeReceived();
    const bool reset = resetWatch.wasReset();
    endTransfer(!reset && !dataFailed && (receiving || sendComplete));
}

void KTFtpClient::endTransfer(bool complete)
{
    const int state = transferState;
    const bool stored = !(complete && isReceiving(state)) || finishUpload();
    dropDataConnection();
    restOffset = 0;
    touch();
    if (state == KTFtpCommand::Unkn)
        return;
    if (!complete) {
        sendReply(QLatin1String(KTFtpReply::TransferAborted));
        return;
    }
    if (!stored) {
        sendReply(QLatin1String(KTFtpReply::WriteFailed));
        return;
    }
    switch (state) {
    case KTFtpCommand::List:
    case KTFtpCommand::Nlst:
        sendReply(QLatin1String(KTFtpReply::ListingSent));
        break;
    case KTFtpCommand::Retr:
        sendReply(QLatin1String(KTFtpReply::FileSent));
        finishTransfer("RETR");
        break;
    default:
        sendReply(QLatin1String(KTFtpReply::FileReceived));
        finishTransfer(state == KTFtpCommand::Appe ? "APPE" : "STOR");
        break;
    }
}

void KTFtpClient::slotBytesWritten_Da(qint64 bytes)
{
    chunkWritten += bytes;
    transferBytes += bytes;
    stallTimer.start();
    if (transferState == KTFtpCommand::Retr && !sendComplete)
        sendNextChunk();
}

void KTFtpClient::slotReadyRead_Da()
{
    if (isReceiving(transferState))
        storeReceived();
}

void KTFtpClient::finishTransfer(const char* name)
{
    emit transferFinished(loginUser, QLatin1String(name), transferPath, transferBytes);
}
