#include "server/ktftpclient.h"

#include "common/helpers.h"
#include "server/ktftplimits.h"
#include "server/ktftpreplies.h"
#include "server/ktftpserver.h"
#include "server/ktssllistener.h"
#include "server/kttlssupport.h"
#include "settings/fbdata.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

using Handler = void (KTFtpClient::*)();

// Replies are written with bare line feeds; on the wire every line ends in CR LF, as FTP
// demands: lftp takes a bare line feed for part of the line and waits for the end of it.
QByteArray wireText(const QString& text)
{
    QString wire = text;
    wire.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    wire.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return wire.toUtf8();
}

// The Telnet "interrupt process" and "data mark" that precede an urgent ABOR (Qt reads urgent
// data inline, so they arrive as part of the line).
void dropTelnetCommands(QByteArray& line)
{
    while (line.size() >= 2 && uchar(line.at(0)) == 0xff)
        line.remove(0, 2);
}

} // namespace

KTFtpClient::KTFtpClient(QTcpSocket* socket, KTFtpServer* server)
    : QObject(server)
    , controlSocket(socket)
    , dataListener(new KTSslListener(this))
    , store(server ? server->store() : nullptr)
    , firstDataPort(KTFtpLimits::FirstDataPort)
    , lastDataPort(KTFtpLimits::LastDataPort)
{
    // The session owns its control socket, so it goes when the session goes.
    controlSocket->setParent(this);
    controlSocket->setReadBufferSize(KTFtpLimits::ControlReadBufferBytes);
    // Replies are small and often two in a row (150, then 226): without this, Nagle's rule and
    // the peer's delayed acknowledgement hold the second one back some 40 ms per file.
    controlSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);

    for (QTimer* timer : {&passiveTimer, &idleTimer, &loginTimer, &loginTimeoutTimer, &stallTimer})
        timer->setSingleShot(true);
    passiveTimer.setInterval(KTFtpLimits::PassiveTimeoutMs);
    idleTimer.setInterval(KTFtpLimits::IdleTimeoutMs);
    loginTimer.setInterval(KTFtpLimits::LoginFailDelayMs);
    loginTimeoutTimer.setInterval(KTFtpLimits::LoginTimeoutMs);
    stallTimer.setInterval(KTFtpLimits::DataStallTimeoutMs);
    connect(&passiveTimer, &QTimer::timeout, this, &KTFtpClient::slotPassiveTimeout);
    connect(&idleTimer, &QTimer::timeout, this, &KTFtpClient::slotIdleTimeout);
    connect(&loginTimer, &QTimer::timeout, this, &KTFtpClient::slotLoginDelayOver);
    connect(&loginTimeoutTimer, &QTimer::timeout, this, &KTFtpClient::slotLoginTimeout);
    connect(&stallTimer, &QTimer::timeout, this, &KTFtpClient::slotDataStalled);

    connect(dataListener, &QTcpServer::newConnection, this, &KTFtpClient::slotNewConnection);
    connect(controlSocket, &QTcpSocket::readyRead, this, &KTFtpClient::slotReadyRead_Co);
    connect(controlSocket, &QTcpSocket::bytesWritten, this, &KTFtpClient::slotBytesWritten_Co);
    connect(controlSocket, &QTcpSocket::disconnected, this, &KTFtpClient::slotDisconnected_Co);
}

KTFtpClient::~KTFtpClient()
{
    endSession();
    if (controlSocket->state() != QAbstractSocket::UnconnectedState)
        controlSocket->abort();
}

bool KTFtpClient::start()
{
    canonicalRoot = QFileInfo(rootPath).canonicalFilePath();
    // The passive listener opens only at PASV: before that nobody may reach this session's data
    // side, and a session does not hold a port it is not using.
    localAddresses = localIpList();
    idleTimer.start();
    loginTimeoutTimer.start();
    sendReply(QLatin1String(KTFtpReply::Greeting));
    return true;
}

void KTFtpClient::endSession()
{
    closing = true;
    for (QTimer* timer : {&passiveTimer, &idleTimer, &loginTimer, &loginTimeoutTimer, &stallTimer})
        timer->stop();
    controlSocket->disconnect(this);
    dataListener->disconnect(this);
    dataListener->close();
    dropDataConnection();
    logOut();
}

QString KTFtpClient::peerText() const
{
    QHostAddress address = controlSocket->peerAddress();
    bool isIPv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIPv4);
    if (isIPv4)
        address = QHostAddress(ipv4);
    return address.toString() + QLatin1Char(':') + QString::number(controlSocket->peerPort());
}

void KTFtpClient::sendReply(const QString& text)
{
    const QByteArray bytes = wireText(text);
    command.replyWritten = 0;
    command.replyLength = bytes.size();
    controlSocket->write(bytes);
}

void KTFtpClient::sendCode(int code)
{
    const QString line = KTFtpReply::standardLine(code);
    if (!line.isEmpty())
        sendReply(line);
}

void KTFtpClient::slotReadyRead_Co()
{
    touch();
    processCommand();
}

void KTFtpClient::slotBytesWritten_Co(qint64 bytes)
{
    command.replyWritten += int(bytes);
    processCommand();
}

void KTFtpClient::slotDisconnected_Co()
{
    emit stop(controlSocket);
}

bool KTFtpClient::readyForLine() const
{
    // One line at a time: the next is taken once the reply to the last has left, so a peer that
    // pipelines without reading its replies cannot make us queue them without end.
    return !closing && !loginTimer.isActive()
           && KTTlsSupport::pendingBytes(controlSocket) == 0;
}

void KTFtpClient::fillInput()
{
    const qint64 room = KTFtpLimits::MaxInputBytes - inputBuffer.size();
    if (room > 0 && controlSocket->bytesAvailable() > 0)
        inputBuffer.append(controlSocket->read(room));
}

KTFtpClient::LineResult KTFtpClient::takeCommandLine(QString& line)
{
    const int lf = inputBuffer.indexOf('\n');
    if (discardingLine) {
        if (lf < 0) {
            discardedBytes += inputBuffer.size();
            inputBuffer.clear();
            if (discardedBytes > KTFtpLimits::MaxUnterminatedBytes) {
                sendReply(QLatin1String(KTFtpReply::LineTooLong));
                closeControl();
            }
            return LineResult::None;
        }
        inputBuffer.remove(0, lf + 1);
        discardingLine = false;
        discardedBytes = 0;
        sendReply(QLatin1String(KTFtpReply::LineTooLong));
        return LineResult::Answered;
    }
    if (lf < 0) {
        // Room for the longest line and its CR; beyond that the line is dropped as it streams in.
        if (inputBuffer.size() > KTFtpLimits::MaxLineBytes + 1) {
            discardingLine = true;
            discardedBytes = inputBuffer.size();
            inputBuffer.clear();
        }
        return LineResult::None;
    }
    QByteArray bytes = inputBuffer.left(lf);
    inputBuffer.remove(0, lf + 1);
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    dropTelnetCommands(bytes);
    if (bytes.size() > KTFtpLimits::MaxLineBytes) {
        sendReply(QLatin1String(KTFtpReply::LineTooLong));
        return LineResult::Answered;
    }
    // SECURITY: a NUL would cut a name short in the file system's calls.
    if (bytes.contains('\0')) {
        sendCode(KTFtpReply::BadParameter);
        return LineResult::Answered;
    }
    line = QString::fromUtf8(bytes);
    lineIsUtf8 = line.toUtf8() == bytes;
    line.remove(QLatin1Char('\r'));
    return LineResult::Line;
}

void KTFtpClient::processCommand()
{
    // Bounded by the buffer: every pass consumes a line or returns.
    while (readyForLine()) {
        fillInput();
        QString line;
        const LineResult result = takeCommandLine(line);
        if (result == LineResult::None) {
            if (discardingLine && controlSocket->bytesAvailable() > 0)
                continue;
            return;
        }
        if (result == LineResult::Answered || line.isEmpty())
            continue;
        command.parse(line);
        dispatch();
    }
}

void KTFtpClient::dispatch()
{
    static const Handler handlers[KTFtpCommand::WordCount] = {
        &KTFtpClient::handleUnknown, &KTFtpClient::handleUser, &KTFtpClient::handlePass,
        &KTFtpClient::handleSyst,    &KTFtpClient::handleFeat, &KTFtpClient::handlePwd,
        &KTFtpClient::handleCwd,     &KTFtpClient::handleCdup, &KTFtpClient::handleType,
        &KTFtpClient::handlePasv,    &KTFtpClient::handleList, &KTFtpClient::handleMdtm,
        &KTFtpClient::handleSize,    &KTFtpClient::handleRest, &KTFtpClient::handleRetr,
        &KTFtpClient::handleStor,    &KTFtpClient::handleMkd,  &KTFtpClient::handleDele,
        &KTFtpClient::handleRmd,     &KTFtpClient::handleRnfr, &KTFtpClient::handleRnto,
        &KTFtpClient::handleSite,    &KTFtpClient::handleNoop, &KTFtpClient::handleHelp,
        &KTFtpClient::handleQuit,    &KTFtpClient::handleNlst, &KTFtpClient::handleAppe,
        &KTFtpClient::handleAbor,    &KTFtpClient::handleEpsv, &KTFtpClient::handleOpts,
        &KTFtpClient::handleMode,    &KTFtpClient::handleStru, &KTFtpClient::handleAllo,
        &KTFtpClient::handleStat,    &KTFtpClient::handleAuth, &KTFtpClient::handlePbsz,
        &KTFtpClient::handleProt,
    };
    const int code = command.code;
    if (refusedForTls(code))
        return;
    if (!loggedIn && !allowedBeforeLogin(code)) {
        sendReply(QLatin1String(KTFtpReply::NotLoggedIn));
        command.code = KTFtpCommand::Unkn;
        return;
    }
    if (transferRunning() && !allowedDuringTransfer(code)) {
        // The running transfer keeps its data connection, its file and its final reply.
        sendReply(QLatin1String(KTFtpReply::TransferBusy));
        return;
    }
    (this->*handlers[code])();
}

bool KTFtpClient::allowedBeforeLogin(int code) const
{
    switch (code) {
    case KTFtpCommand::Unkn:
    case KTFtpCommand::User:
    case KTFtpCommand::Pass:
    case KTFtpCommand::Syst:
    case KTFtpCommand::Feat:
    case KTFtpCommand::Help:
    case KTFtpCommand::Noop:
    case KTFtpCommand::Opts:
    case KTFtpCommand::Quit:
    case KTFtpCommand::Auth:
    case KTFtpCommand::Pbsz:
    case KTFtpCommand::Prot:
        return true;
    default:
        return false;
    }
}

bool KTFtpClient::allowedDuringTransfer(int code) const
{
    return code == KTFtpCommand::Abor || code == KTFtpCommand::Stat
           || code == KTFtpCommand::Noop || code == KTFtpCommand::Quit;
}

void KTFtpClient::closeControl()
{
    closing = true;
    passiveTimer.stop();
    idleTimer.stop();
    loginTimeoutTimer.stop();
    // What is still queued (the last reply) is written before the connection closes.
    controlSocket->disconnectFromHost();
    QTimer::singleShot(KTFtpLimits::CloseGraceMs, this, [this] {
        if (controlSocket->state() != QAbstractSocket::UnconnectedState)
            controlSocket->abort();
    });
}

void KTFtpClient::logOut()
{
    if (!loggedIn)
        return;
    loggedIn = false;
    emit userLoggedOut(loginUser, peerText());
}

void KTFtpClient::touch()
{
    if (!closing)
        idleTimer.start();
}

void KTFtpClient::slotIdleTimeout()
{
    // A transfer keeps the session alive while the control connection is quiet.
    if (transferRunning()) {
        idleTimer.start();
        return;
    }
    sendReply(QLatin1String(KTFtpReply::IdleTimeout));
    closeControl();
}

void KTFtpClient::slotLoginTimeout()
{
    if (closing || loggedIn)
        return;
    // Sent between commands: the peer has had a minute and is about to lose the connection.
    sendReply(QLatin1String(KTFtpReply::LoginTimeout));
    closeControl();
}

void KTFtpClient::handleUnknown()
{
    sendReply(QLatin1String(KTFtpReply::UnknownCommand));
}

void KTFtpClient::handleUser()
{
    userName = command.argument;
    sendReply(QLatin1String(KTFtpReply::NeedPassword));
}

void KTFtpClient::handlePass()
{
    password = command.argument;
    const bool ok = store && store->checkUser(userName, password);
    if (ok) {
        const QString previous = loginUser;
        const bool wasLoggedIn = loggedIn;
        loginUser = userName;
        loggedIn = true;
        failedLogins = 0;
        loginTimeoutTimer.stop();
        if (wasLoggedIn && previous != loginUser)
            emit userLoggedOut(previous, peerText());
        emit userLoggedIn(loginUser, peerText());
        sendReply(QLatin1String(KTFtpReply::LoginOk));
        return;
    }
    emit loginFailed(userName, peerText());
    // SECURITY: the answer to a wrong password waits, and the third one ends the connection,
    // logged in or not: a session must not become a fast way to guess another user's password.
    ++failedLogins;
    loginTimer.start();
}

void KTFtpClient::slotLoginDelayOver()
{
    if (closing)
        return;
    sendReply(QLatin1String(KTFtpReply::LoginIncorrect));
    if (failedLogins >= KTFtpLimits::MaxLoginFailures) {
        closeControl();
        return;
    }
    processCommand();
}

void KTFtpClient::handleQuit()
{
    if (transferRunning())
        abortTransfer();
    sendReply(QLatin1String(KTFtpReply::Goodbye));
    logOut();
    closeControl();
}

void KTFtpClient::handleType()
{
    const QString& type = command.argument;
    if (type.endsWith(QLatin1Char('A'), Qt::CaseInsensitive)) {
        transferType = QLatin1Char('A');
        sendReply(QLatin1String(KTFtpReply::TypeAscii));
    } else if (type.endsWith(QLatin1Char('I'), Qt::CaseInsensitive)) {
        transferType = QLatin1Char('I');
        sendReply(QLatin1String(KTFtpReply::TypeBinary));
    } else {
        sendCode(KTFtpReply::BadParameter);
    }
}

QString KTFtpClient::currentVirtualDir() const
{
    return KTFtpPath::virtualText(currentPath);
}

QString KTFtpClient::currentLocalDir() const
{
    return currentPath.isEmpty() ? rootPath : appendPath(rootPath, currentVirtualDir());
}

QString KTFtpClient::appendPath(const QString& base, const QString& name)
{
    QString path = base;
    if (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    if (!name.startsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + name;
}

QStringList KTFtpClient::resolveParts() const
{
    return KTFtpPath::resolve(currentPath, command.argument);
}

QString KTFtpClient::resolvePath(KTFtpPath::Follow follow) const
{
    QStringList parts;
    return resolvePath(follow, parts);
}

QString KTFtpClient::resolvePath(KTFtpPath::Follow follow, QStringList& parts) const
{
    parts = resolveParts();
    return KTFtpPath::confine(canonicalRoot, parts, follow);
}
