#include "engine/ftpclient.h"

#include "common/helpers.h"
#include "settings/fbdata.h"

#include <QPointer>
#include <QSslSocket>
#include <QTimer>

namespace {

bool startsWith(const QString& text, const char* prefix)
{
    return text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

// Every 1xx reply is preliminary: the command stays outstanding until its final reply.
bool isPreliminary(const QString& line)
{
    return line.startsWith(QLatin1Char('1'));
}

int dataModeFor(const QString& line)
{
    if (startsWith(line, "LIST"))
        return 1;
    if (startsWith(line, "RETR"))
        return 2;
    if (startsWith(line, "STOR"))
        return 3;
    return 0;
}

// Shows a refused command line without the control characters that made it unsafe.
QString visibleLine(QString line)
{
    line.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    line.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    line.replace(QChar(0), QLatin1String("\\0"));
    return line;
}

const char unsafeLineReply[] = "501 Command not sent: it holds a line break or NUL character.";
const char wrongFolderReply[] = "550 Command not sent: the folder change before it failed.";

// Commands that change or fetch an entry named relative to the current folder; a full path
// names its entry wherever we stand.
bool actsInCurrentFolder(const QString& line)
{
    for (const char* word : {"RETR", "STOR", "APPE", "DELE", "RMD", "MKD", "SITE", "RNFR", "RNTO"}) {
        if (!startsWith(line, word))
            continue;
        QString argument = line.section(QLatin1Char(' '), 1);
        if (startsWith(line, "SITE"))
            argument = argument.section(QLatin1Char(' '), 2);  // "CHMOD mode name"
        return !argument.startsWith(QLatin1Char('/'));
    }
    return false;
}

} // namespace

FTPClient::FTPClient(QObject* parent)
    : QObject(parent)
    , codecName(QStringLiteral("UTF-8"))
{
    controlSocket = new QSslSocket(this);
    dataSocket = new QSslSocket(this);

    connect(controlSocket, &QTcpSocket::hostFound, this, &FTPClient::slotHostFound_co);
    connect(controlSocket, &QTcpSocket::connected, this, &FTPClient::slotConnected_co);
    connect(controlSocket, &QTcpSocket::disconnected, this, &FTPClient::slotDisconnected_co);
    connect(controlSocket, &QAbstractSocket::errorOccurred, this, &FTPClient::slotError_co);
    connect(controlSocket, &QTcpSocket::readyRead, this, &FTPClient::slotReadyRead_co);

    connect(dataSocket, &QTcpSocket::hostFound, this, &FTPClient::slotHostFound_da);
    connect(dataSocket, &QTcpSocket::connected, this, &FTPClient::slotConnected_da);
    connect(dataSocket, &QTcpSocket::disconnected, this, &FTPClient::slotDisconnected_da);
    connect(dataSocket, &QAbstractSocket::errorOccurred, this, &FTPClient::slotError_da);
    connect(dataSocket, &QTcpSocket::readyRead, this, &FTPClient::slotReadyRead_da);
    connect(dataSocket, &QTcpSocket::bytesWritten, this, &FTPClient::slotBytesWritten);
    connectTlsSignals();

    replyTimer = new QTimer(this);
    replyTimer->setSingleShot(true);
    replyTimer->setInterval(DefaultReplyTimeoutMs);
    connect(replyTimer, &QTimer::timeout, this, &FTPClient::slotReplyTimeout);

    greetingTimer = new QTimer(this);
    greetingTimer->setSingleShot(true);
    greetingTimer->setInterval(DefaultGreetingTimeoutMs);
    connect(greetingTimer, &QTimer::timeout, this, &FTPClient::slotGreetingTimeout);

    stallTimer = new QTimer(this);
    stallTimer->setSingleShot(true);
    connect(stallTimer, &QTimer::timeout, this, &FTPClient::slotStallCheck);
}

FTPClient::~FTPClient()
{
    // The sockets are children and go with us; their signals must not reach a half-destroyed engine.
    controlSocket->disconnect(this);
    dataSocket->disconnect(this);
    resetConnection();
    stopCompareThreads();
    qDeleteAll(downloadQueue);
    qDeleteAll(uploadQueue);
    qDeleteAll(deleteFiles);
    qDeleteAll(deleteFolders);
}

void FTPClient::setDataStore(FBData* dataStore)
{
    store = dataStore;
}

void FTPClient::setReplyTimeout(int milliseconds)
{
    replyTimeoutMs = milliseconds;
    replyTimer->setInterval(milliseconds);
}

void FTPClient::setGreetingTimeout(int milliseconds)
{
    greetingTimer->setInterval(milliseconds);
}

void FTPClient::setStallTimeout(int milliseconds)
{
    stallTimeoutMs = milliseconds;
}

void FTPClient::connectServer(const QString& host, quint16 port, const QString& user, const QString& pass)
{
    hostName = host;
    portNumber = port;
    userName = user;
    password = pass;
    greeted = false;
    loginPending = false;
    resetConnection();
    replyReader.clear();
    if (encryptionMode == PlainOnly)
        queueLogin();
    else
        queueCommand(QStringLiteral("AUTH TLS"));
    sendNextCommand();
    loginPending = true;
    greetingTimer->start();
    // Takes a numeric address as it is and looks a host name up.
    controlSocket->connectToHost(host, port, QIODevice::ReadWrite);
}

void FTPClient::disconnectServer()
{
    if (controlSocket->state() == QAbstractSocket::ConnectedState) {
        queueCommand(QStringLiteral("QUIT"));
        sendNextCommand();
    } else {
        greetingTimer->stop();
        loginPending = false;
        resetConnection();
    }
}

void FTPClient::sendCommand(const QString& line)
{
    // A listing typed as a raw command belongs to no job, whatever job is running.
    if (startsWith(line, "LIST"))
        listingsForJobs.append(false);
    commandQueue.append(line);
    sendNextCommand();
}

void FTPClient::queueCommand(const QString& line)
{
    commandQueue.append(line);
}

void FTPClient::setCodecName(const QString& name)
{
    codecName = name;
}

bool FTPClient::isConnected() const
{
    return controlSocket->state() == QAbstractSocket::ConnectedState;
}

bool FTPClient::isClosed() const
{
    return !controlSocket->isOpen();
}

void FTPClient::sendNextCommand()
{
    if (!currentCommand.isEmpty() || commandQueue.isEmpty() || !greeted || tlsHandshaking)
        return;
    if (!controlSocket->isOpen()) {
        currentCommand.clear();
        commandQueue.clear();
        listingsForJobs.clear();
        lastCommand.clear();
        return;
    }
    currentCommand = commandQueue.takeFirst();
    if (startsWith(currentCommand, "LIST"))
        listingForJob = listingsForJobs.isEmpty() || listingsForJobs.takeFirst();
    dataMode = dataModeFor(currentCommand);
    if (!isSafeCommandText(currentCommand)) {
        refuseLocally(currentCommand, QLatin1String(unsafeLineReply));
        return;
    }
    if (folderChangeFailed && actsInCurrentFolder(currentCommand)) {
        refuseLocally(currentCommand, QLatin1String(wrongFolderReply));
        return;
    }
    controlSocket->write(currentCommand.toUtf8() + "\r\n");
    touchReplyTimer();
    if (dataMode != 0) {
        // Replies alone (a 150 every few seconds) must not keep a transfer that moves nothing alive.
        stallWindowBytes = 0;
        stallTimer->start(stallTimeoutMs);
    }
}

// SECURITY: a line that would end early and smuggle a second command behind it never reaches
// the wire; the job sees it refused as if the server had said no.
void FTPClient::refuseLocally(const QString& line, const QString& reason)
{
    currentCommand = visibleLine(line);
    emit commandResult(currentCommand, reason);
    dispatchReply(reason);
}

void FTPClient::slotReadyRead_co()
{
    if (!replyReader.append(controlSocket->readAll())) {
        emit commandResult(currentCommand, tr("Reply line too long; connection closed."));
        dropConnection();
        return;
    }
    FtpReplyReader::Line line;
    while (controlSocket->isOpen() && replyReader.next(line))
        handleReply(line.text, line.final);
    if (replyReader.overflowed()) {
        emit commandResult(currentCommand, tr("Reply line too long; connection closed."));
        dropConnection();
    }
}

void FTPClient::handleReply(const QString& line, bool final)
{
    emit commandResult(currentCommand.isEmpty() ? lastCommand : currentCommand, line);
    if (final)
        dispatchReply(line);
}

void FTPClient::dispatchReply(const QString& line)
{
    // 421 closes the service (RFC 959), greeting or not; waiting on would wait for nothing.
    if (line.startsWith(QLatin1String("421"))) {
        endServiceClosing();
        return;
    }
    if (currentCommand.isEmpty()) {
        // Nothing outstanding: the greeting, or a line the server sent unasked, which must not
        // act on the command answered before.
        if (line.startsWith(QLatin1String("220"))) {
            greeted = true;
            greetingTimer->stop();
        }
        sendNextCommand();
        return;
    }
    // The server accepted the download: only now may the local file change.
    if (startsWith(currentCommand, "RETR") && (isPreliminary(line) || line.startsWith(QLatin1Char('2'))))
        acceptDownload();
    if (isPreliminary(line)) {
        if (startsWith(currentCommand, "STOR"))
            handleStorReply(line);
        finishReply(line);
        return;
    }
    // A late reply to a cut transfer arrives while the next command is outstanding; it must not
    // be taken as that command's answer (a 425 to PASV, say, is a real answer).
    if (isStrayTransferReply(lastCommand, currentCommand, line))
        return;
    if (holdUntilDataEnds(line))
        return;

    const QString& command = currentCommand;
    if (startsWith(command, "USER")) {
        handleUserReply(line);
    } else if (startsWith(command, "AUTH")) {
        handleAuthReply(line);
    } else if (startsWith(command, "PROT")) {
        handleProtReply(line);
    } else if (startsWith(command, "PASS")) {
        loggedIn = line.startsWith(QLatin1String("230"));
        loginPending = false;
        if (loggedIn)
            queueDataProtection();
        emit login(loggedIn);
    } else if (startsWith(command, "QUIT")) {
        if (controlSocket->isOpen())
            controlSocket->close();
    } else if (startsWith(command, "CWD")) {
        handleCwdReply(line);
    } else if (startsWith(command, "PWD")) {
        handlePwdReply(line);
    } else if (startsWith(command, "PASV")) {
        handlePasvReply(line);
    } else if (startsWith(command, "LIST")) {
        handleListReply(line);
    } else if (startsWith(command, "SIZE")) {
        handleSizeReply(line);
    } else if (startsWith(command, "REST")) {
        // the offset is only confirmed; RETR or STOR decide
    } else if (startsWith(command, "RETR")) {
        handleRetrReply(line);
    } else if (startsWith(command, "STOR")) {
        handleStorReply(line);
    } else if (startsWith(command, "DELE")) {
        handleDeleteReply(line);
    } else if (startsWith(command, "RMD")) {
        handleRmdReply(line);
    } else if (startsWith(command, "RNFR")) {
        handleRnfrReply(line);
    } else if (startsWith(command, "RNTO")) {
        nextMove();
    } else if (startsWith(command, "SITE")) {
        handleSiteReply(line);
    }
    finishReply(line);
}

void FTPClient::handleUserReply(const QString& line)
{
    if (line.startsWith(QLatin1String("331")))
        return;  // PASS follows from the queue
    // Logged in without a password, or refused: either way the password must not follow.
    if (!commandQueue.isEmpty() && startsWith(commandQueue.first(), "PASS "))
        commandQueue.removeFirst();
    loggedIn = line.startsWith(QLatin1String("230"));
    loginPending = false;
    if (loggedIn)
        queueDataProtection();
    emit login(loggedIn);
}

// The tail of every reply: a final reply frees the channel for the next command.
void FTPClient::finishReply(const QString& line)
{
    if (currentCommand.isEmpty())
        return;  // the reply's handling already reset the connection
    lastCommand = currentCommand;
    if (isPreliminary(line)) {
        // Only a transfer may take its time (the stall check bounds it); a 1xx to any other
        // command does not hold off the reply time-out.
        if (dataMode != 0)
            touchReplyTimer();
        return;
    }
    currentCommand.clear();
    touchReplyTimer();
    sendNextCommand();
}

// A listing or download is complete only when both its final reply and the end of its data
// stream have been seen; on loopback the reply often comes first.
bool FTPClient::holdUntilDataEnds(const QString& line)
{
    if (dataMode != 1 && dataMode != 2)
        return false;
    if (!line.startsWith(QLatin1Char('2')) || dataConnectionDone())
        return false;
    heldReply = line;
    return true;
}

bool FTPClient::dataConnectionDone() const
{
    return dataSocket->state() == QAbstractSocket::UnconnectedState;
}

void FTPClient::releaseHeldReply()
{
    if (heldReply.isEmpty())
        return;
    // Queued: the data socket is still inside its own signal.
    QMetaObject::invokeMethod(this, "handleHeldReply", Qt::QueuedConnection);
}

void FTPClient::handleHeldReply()
{
    if (heldReply.isEmpty() || !dataConnectionDone())
        return;
    const QString line = heldReply;
    heldReply.clear();
    if (!currentCommand.isEmpty())
        dispatchReply(line);
}

// Called for every block a transfer moves, so it only notes the time; the timer itself is
// re-armed for the rest of the interval when it fires early.
void FTPClient::touchReplyTimer()
{
    if (currentCommand.isEmpty()) {
        replyTimer->stop();
        return;
    }
    lastActivity.start();
    if (!replyTimer->isActive())
        replyTimer->start(replyTimeoutMs);
}

void FTPClient::slotReplyTimeout()
{
    if (currentCommand.isEmpty())
        return;
    const qint64 quiet = lastActivity.isValid() ? lastActivity.elapsed() : replyTimeoutMs;
    if (quiet < replyTimeoutMs) {
        replyTimer->start(int(replyTimeoutMs - quiet));
        return;
    }
    emit commandResult(currentCommand, tr("No reply from the server in time; connection closed."));
    dropConnection();
}

void FTPClient::endServiceClosing()
{
    if (!greeted && loginPending)
        failLoginAttempt();
    else
        dropConnection();
}

void FTPClient::countDataProgress(qint64 bytes)
{
    stallWindowBytes += bytes;
}

// Runs once per stall period while a data command is outstanding.
void FTPClient::slotStallCheck()
{
    if (dataMode == 0 || currentCommand.isEmpty())
        return;
    if (stallWindowBytes >= StallBytes) {
        stallWindowBytes = 0;
        stallTimer->start(stallTimeoutMs);
        return;
    }
    // The code is ours, not a translation's: the reply's handling reads it.
    const QString reason = QLatin1String("426 ") + tr("Data connection cut: less than 1 KiB moved in %1 s.").arg(stallTimeoutMs / 1000.0);
    emit commandResult(currentCommand, reason);
    heldReply.clear();
    if (dataMode == 2)
        drainDataSocket();
    dataSocket->abort();
    // Ends the command as if the server had given up on it; its late replies are strays.
    dispatchReply(reason);
}

void FTPClient::slotGreetingTimeout()
{
    if (greeted || !loginPending)
        return;
    emit commandResult(QString(), tr("The server did not greet in time."));
    failLoginAttempt();
}

// Closes the control connection on our side and makes sure the window hears logout() once.
void FTPClient::dropConnection()
{
    if (controlSocket->state() == QAbstractSocket::ConnectedState) {
        connectionLost = false;
        controlSocket->abort();
        if (connectionLost)
            return;  // slotDisconnected_co ran and reported
    }
    slotDisconnected_co();
}

void FTPClient::failLoginAttempt()
{
    const bool owed = loginPending;
    loginPending = false;
    greetingTimer->stop();
    resetConnection();
    if (owed)
        emit login(false);
}

void FTPClient::resetConnection()
{
    if (controlSocket->isOpen()) {
        controlSocket->abort();
        // abort() leaves a socket that never connected open as a device
        if (controlSocket->isOpen())
            controlSocket->close();
    }
    if (dataSocket->isOpen())
        dataSocket->disconnectFromHost();
    currentCommand.clear();
    commandQueue.clear();
    listingsForJobs.clear();
    renameTargets.clear();
    lastCommand.clear();
    remoteDir.clear();
    requestedDir.clear();
    heldReply.clear();
    folderChangeFailed = false;
    enteredDir.clear();
    loggedIn = false;
    replyTimer->stop();
    stallTimer->stop();
    resetEncryption();
    if (store)
        store->resetStates();
}

void FTPClient::slotHostFound_co()
{
}

void FTPClient::slotConnected_co()
{
    connectionLost = false;
}

void FTPClient::slotDisconnected_co()
{
    if (controlSocket->isOpen())
        controlSocket->close();
    connectionLost = true;
    greeted = false;
    loggedIn = false;
    greetingTimer->stop();
    const bool owedLogin = loginPending;
    loginPending = false;
    resetConnection();
    if (dataConnectionDone())
        failRunningTransfers();
    if (owedLogin)
        emit login(false);
    emit logout();
}

void FTPClient::slotError_co(QAbstractSocket::SocketError)
{
    if (failHandshake())
        return;
    // Only a failed attempt is ours to report here; a lost connection reports through disconnected().
    if (controlSocket->state() != QAbstractSocket::UnconnectedState || !loginPending || greeted)
        return;
    emit commandResult(QString(), controlSocket->errorString());
    failLoginAttempt();
}

void FTPClient::slotHostFound_da()
{
}

void FTPClient::slotConnected_da()
{
    touchReplyTimer();
}

void FTPClient::slotError_da(QAbstractSocket::SocketError error)
{
    if (error == QAbstractSocket::SslHandshakeFailedError || error == QAbstractSocket::SslInternalError)
        emit commandResult(currentCommand, tr("TLS on the data connection failed: %1").arg(dataSocket->errorString()));
    if (error == QAbstractSocket::RemoteHostClosedError && dataSocket->mode() != QSslSocket::UnencryptedMode)
        closeTlsDataAfterPeer();
    if (dataConnectionDone())
        releaseHeldReply();
}

void FTPClient::slotReadyRead_da()
{
    touchReplyTimer();
    drainDataSocket();
}

// True when the server has confirmed that we stand in path: by the last successful CWD to it,
// or by PWD naming it.
bool FTPClient::isInFolder(const QString& path) const
{
    return !folderChangeFailed && (path == remoteDir || path == enteredDir);
}

void FTPClient::slotDisconnected_da()
{
    drainDataSocket();
    if (controlSocket->isOpen()) {
        if (currentFile && currentFile->isLink && dataMode == 2)
            finishLinkRecord();
    } else {
        failRunningTransfers();
    }
    releaseHeldReply();
}
