// FTP over TLS in a session: AUTH TLS on the control connection, PBSZ and PROT, and the
// handshake of protected data connections.
#include "server/ktftpclient.h"

#include "server/ktftpreplies.h"
#include "server/ktssllistener.h"
#include "server/kttlssupport.h"

#include <QSslSocket>

namespace {

bool movesData(int code)
{
    return code == KTFtpCommand::List || code == KTFtpCommand::Nlst || code == KTFtpCommand::Retr
           || code == KTFtpCommand::Stor || code == KTFtpCommand::Appe;
}

} // namespace

void KTFtpClient::setTls(const QSslConfiguration& configuration, bool required)
{
    auto* ssl = qobject_cast<QSslSocket*>(controlSocket);
    if (!ssl)
        return;
    tlsEnabled = true;
    tlsRequired = required;
    tlsConfiguration = configuration;
    tlsSessions = std::make_unique<KTTlsSessionGroup>();
    static_cast<KTSslListener*>(dataListener)->setTlsCapable(true);
    connect(ssl, &QSslSocket::encrypted, this, &KTFtpClient::slotControlEncrypted);
    connect(ssl, &QSslSocket::encryptedBytesWritten, this, [this] { processCommand(); });
    connect(ssl, &QSslSocket::errorOccurred, this, &KTFtpClient::slotControlError);
}

bool KTFtpClient::refusedForTls(int code)
{
    if (!tlsRequired)
        return false;
    // SECURITY: no name or password crosses the network in the clear.
    if (!tlsActive && (code == KTFtpCommand::User || code == KTFtpCommand::Pass)) {
        sendReply(QLatin1String(KTFtpReply::TlsRequired));
        command.code = KTFtpCommand::Unkn;
        return true;
    }
    if (loggedIn && !protectData && movesData(code) && !transferRunning()) {
        sendReply(QLatin1String(KTFtpReply::DataMustBeEncrypted));
        command.code = KTFtpCommand::Unkn;
        return true;
    }
    return false;
}

void KTFtpClient::handleAuth()
{
    if (!tlsEnabled) {
        handleUnknown();
        return;
    }
    if (tlsStarted) {
        sendReply(QLatin1String(KTFtpReply::AuthAgain));
        return;
    }
    const QString kind = command.argument.trimmed().toUpper();
    if (kind != QLatin1String("TLS") && kind != QLatin1String("TLS-C")
        && kind != QLatin1String("SSL")) {
        sendReply(QLatin1String(KTFtpReply::AuthUnknown));
        return;
    }
    sendReply(QLatin1String(KTFtpReply::AuthProceed));
    // SECURITY: whatever the peer sent behind AUTH came in the clear; it must not run as if it
    // had come through the encrypted channel.
    inputBuffer.clear();
    controlSocket->readAll();
    tlsStarted = true;
    auto* ssl = static_cast<QSslSocket*>(controlSocket);
    ssl->setSslConfiguration(tlsConfiguration);
    tlsSessions->startServerHandshake(ssl);
}

void KTFtpClient::slotControlEncrypted()
{
    tlsActive = true;
    processCommand();
}

void KTFtpClient::slotControlError()
{
    if (closing || !tlsStarted || tlsActive)
        return;
    emit notice(QStringLiteral("TLS handshake with %1 failed: %2")
                    .arg(peerText(), controlSocket->errorString()));
    closeControl();
}

void KTFtpClient::handlePbsz()
{
    if (!tlsEnabled) {
        handleUnknown();
        return;
    }
    sendReply(QLatin1String(tlsActive ? KTFtpReply::PbszOk : KTFtpReply::PbszInsecure));
}

void KTFtpClient::handleProt()
{
    if (!tlsEnabled) {
        handleUnknown();
        return;
    }
    if (!tlsActive) {
        sendReply(QLatin1String(KTFtpReply::ProtInsecure));
        return;
    }
    const QString level = command.argument.trimmed().toUpper();
    if (level == QLatin1String("P") || level == QLatin1String("C")) {
        protectData = level == QLatin1String("P");
        sendReply(QLatin1String(protectData ? KTFtpReply::ProtPrivate : KTFtpReply::ProtClear));
    } else if (level == QLatin1String("S") || level == QLatin1String("E")) {
        sendReply(QLatin1String(KTFtpReply::ProtUnsupported));
    } else {
        sendReply(QLatin1String(KTFtpReply::ProtUnknown));
    }
}

void KTFtpClient::startDataHandshake(QSslSocket* socket)
{
    dataHandshaking = true;
    connect(socket, &QSslSocket::encrypted, this, &KTFtpClient::slotDataEncrypted);
    connect(socket, &QSslSocket::encryptedBytesWritten, this,
            &KTFtpClient::slotDataEncryptedWritten);
    socket->setSslConfiguration(tlsConfiguration);
    // The passive time-out, still running, bounds a handshake that never ends.
    tlsSessions->startServerHandshake(socket, KTTlsSessionGroup::NoTickets);
}

void KTFtpClient::slotDataEncrypted()
{
    auto* ssl = qobject_cast<QSslSocket*>(dataSocket);
    if (!dataHandshaking || !ssl)
        return;
    // SECURITY: a data connection that does not continue this control connection's session
    // may come from someone else who raced for the passive port. Nothing written for the
    // transfer has left yet: it goes only after this signal.
    if (!KTTlsSupport::sessionResumed(ssl)) {
        failDataHandshake(QString());
        return;
    }
    dataHandshaking = false;
    if (closeAfterHandshake) {
        closeAfterHandshake = false;
        slotCloseDataSocket();
    }
}

void KTFtpClient::failDataHandshake(const QString& reason)
{
    if (!dataHandshaking)
        return;
    const bool notResumed = reason.isEmpty();
    emit notice(notResumed
                    ? QStringLiteral("data connection from %1 refused: it did not resume the "
                                     "control connection's TLS session").arg(peerText())
                    : QStringLiteral("TLS handshake on a data connection from %1 failed: %2")
                          .arg(peerText(), reason));
    const bool running = transferState != KTFtpCommand::Unkn;
    dropDataConnection();
    if (!running)
        return;
    restOffset = 0;
    touch();
    sendReply(QLatin1String(notResumed ? KTFtpReply::DataReuseRequired
                                       : KTFtpReply::DataTlsFailed));
}

void KTFtpClient::slotDataEncryptedWritten()
{
    stallTimer.start();
    if (transferState == KTFtpCommand::Retr && !sendComplete)
        sendNextChunk();
}
