// Explicit FTP over TLS: AUTH TLS before the login, PBSZ 0 and PROT P after it, and data
// connections that resume the control connection's session.
#include "engine/ftpclient.h"

#include <QHostAddress>
#include <QSslCipher>
#include <QSslSocket>
#include <QTimer>

void FTPClient::connectTlsSignals()
{
    connect(controlSocket, &QSslSocket::encrypted, this, &FTPClient::slotEncrypted_co);
    connect(controlSocket, QOverload<const QList<QSslError>&>::of(&QSslSocket::sslErrors), this,
            &FTPClient::slotSslErrors_co);
    // TLS 1.3 hands the session over only after the handshake.
    connect(controlSocket, &QSslSocket::newSessionTicketReceived, this, &FTPClient::slotSessionTicket_co);
    connect(dataSocket, QOverload<const QList<QSslError>&>::of(&QSslSocket::sslErrors), this,
            &FTPClient::slotSslErrors_da);
    connect(dataSocket, &QSslSocket::encryptedBytesWritten, this, &FTPClient::slotEncryptedBytesWritten);
    // Queued: the signal comes from inside OpenSSL's read, where the socket must not close.
    connect(dataSocket, &QSslSocket::newSessionTicketReceived, this, [this] {
        dataTicketSeen = true;
        if (dataTicketTimer->isActive())
            closeUploadWhenSent();
    }, Qt::QueuedConnection);
    dataTicketTimer = new QTimer(this);
    dataTicketTimer->setSingleShot(true);
    dataTicketTimer->setInterval(DataTicketWaitMs);
    connect(dataTicketTimer, &QTimer::timeout, this, [this] {
        dataTicketWaitOver = true;
        closeUploadWhenSent();
    });
}

QSslConfiguration FTPClient::tlsConfiguration() const
{
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setProtocol(QSsl::SecureProtocols);
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    // Servers that guard against stolen data connections accept only resumed sessions.
    config.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    if (!extraCaCertificates.isEmpty())
        config.setCaCertificates(config.caCertificates() + extraCaCertificates);
    return config;
}

void FTPClient::queueLogin()
{
    queueCommand(QLatin1String("USER ") + userName);
    queueCommand(QLatin1String("PASS ") + password);
}

void FTPClient::handleAuthReply(const QString& line)
{
    if (line.startsWith(QLatin1String("234"))) {
        tlsHandshaking = true;
        certificateWasRefused = false;
        controlSocket->setSslConfiguration(tlsConfiguration());
        controlSocket->setPeerVerifyName(hostName);
        controlSocket->startClientEncryption();
        return;
    }
    if (encryptionMode == TlsRequired) {
        // SECURITY: whoever refused, the server or someone in between, hears no password.
        refuseEncryption(tr("The server refused AUTH TLS (%1); encryption is required, so the password was not sent.")
                             .arg(line));
        return;
    }
    emit commandResult(QString(), tr("The server offers no FTP over TLS; logging in without encryption."));
    queueLogin();
}

void FTPClient::slotEncrypted_co()
{
    tlsHandshaking = false;
    tlsActive = true;
    controlSession = controlSocket->sslConfiguration().sessionTicket();
    const QSslCipher cipher = controlSocket->sessionCipher();
    emit commandResult(QString(), tr("TLS connection established: %1, %2.").arg(cipher.protocolString(), cipher.name()));
    emit encryptionChanged(true);
    queueLogin();
    sendNextCommand();
}

void FTPClient::slotSessionTicket_co()
{
    const QByteArray session = controlSocket->sslConfiguration().sessionTicket();
    if (!session.isEmpty())
        controlSession = session;
}

void FTPClient::slotSslErrors_co(const QList<QSslError>& errors)
{
    const QSslCertificate certificate = controlSocket->peerCertificate();
    const QByteArray fingerprint = certificate.isNull() ? QByteArray() : certificate.digest(QCryptographicHash::Sha256);
    const QByteArray trusted = trustStore.fingerprint(hostName, portNumber);
    if (!fingerprint.isEmpty() && (onceTrusted.contains(fingerprint) || fingerprint == trusted)) {
        controlSocket->ignoreSslErrors();
        return;
    }
    QStringList reasons;
    for (const QSslError& error : errors)
        reasons.append(error.errorString());
    reasons.removeDuplicates();
    const QString reason = reasons.join(QLatin1String("; "));
    const bool changed = !trusted.isEmpty();
    const QString shown = CertificateTrust::toText(fingerprint);
    certificateWasRefused = true;
    if (changed)
        emit commandResult(QString(), tr("WARNING: the certificate of %1 port %2 is not the one you trusted; "
                                         "connection refused. New SHA-256 fingerprint: %3")
                                          .arg(hostName).arg(portNumber).arg(shown));
    else
        emit commandResult(QString(), tr("The certificate of %1 port %2 is not trusted (%3); connection refused. "
                                         "SHA-256 fingerprint: %4")
                                          .arg(hostName).arg(portNumber).arg(reason, shown));
    emit certificateRefused(certificate, reason, changed);
}

// The handshake of the control connection failed or was refused: the login ends here, once.
bool FTPClient::failHandshake()
{
    if (!tlsHandshaking)
        return false;
    tlsHandshaking = false;
    if (certificateWasRefused)
        failLoginAttempt();
    else
        refuseEncryption(tr("The TLS handshake failed: %1").arg(controlSocket->errorString()));
    return true;
}

void FTPClient::refuseEncryption(const QString& reason)
{
    emit commandResult(QString(), reason);
    emit encryptionRefused(reason);
    failLoginAttempt();
}

void FTPClient::queueDataProtection()
{
    if (!tlsActive)
        return;
    // Before anything the window asks for once it hears of the login.
    commandQueue.prepend(QStringLiteral("PROT P"));
    commandQueue.prepend(QStringLiteral("PBSZ 0"));
}

void FTPClient::handleProtReply(const QString& line)
{
    dataProtected = line.startsWith(QLatin1Char('2'));
    if (dataProtected || encryptionMode != TlsRequired)
        return;
    emit commandResult(QString(), tr("The server refused to encrypt data connections (%1); connection closed.").arg(line));
    emit encryptionRefused(line);
    dropConnection();
}

void FTPClient::resetEncryption()
{
    const bool wasActive = tlsActive;
    tlsHandshaking = false;
    tlsActive = false;
    dataProtected = false;
    controlSession.clear();
    if (wasActive)
        emit encryptionChanged(false);
}

void FTPClient::connectDataSocket(quint16 dataPort)
{
    const QHostAddress address = controlSocket->peerAddress();
    if (!dataProtected) {
        dataSocket->connectToHost(address, dataPort, QIODevice::ReadWrite);
        return;
    }
    dataTicketSeen = false;
    dataTicketWaitOver = false;
    dataTicketTimer->stop();
    QSslConfiguration config = tlsConfiguration();
    if (!controlSession.isEmpty())
        config.setSessionTicket(controlSession);
    dataSocket->setSslConfiguration(config);
    dataSocket->connectToHostEncrypted(address.toString(), dataPort, hostName, QIODevice::ReadWrite);
}

// The data connection must come from the server the user accepted: its certificate is the
// control connection's.
void FTPClient::slotSslErrors_da(const QList<QSslError>&)
{
    const QSslCertificate certificate = dataSocket->peerCertificate();
    if (!certificate.isNull() && certificate == controlSocket->peerCertificate()) {
        dataSocket->ignoreSslErrors();
        return;
    }
    emit commandResult(currentCommand, tr("The data connection presented another certificate; it was refused."));
}

bool FTPClient::dataReady() const
{
    if (dataSocket->state() != QAbstractSocket::ConnectedState)
        return false;
    return dataSocket->mode() == QSslSocket::UnencryptedMode || dataSocket->isEncrypted();
}

// The server ended the encrypted stream (close_notify) and some servers wait for ours before
// they send the final reply: keep what arrived, then answer in kind.
void FTPClient::closeTlsDataAfterPeer()
{
    QMetaObject::invokeMethod(this, [this] {
        drainDataSocket();
        if (dataSocket->state() == QAbstractSocket::ConnectedState)
            dataSocket->disconnectFromHost();
    }, Qt::QueuedConnection);
}
