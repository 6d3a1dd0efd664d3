#ifndef TORVEX_SERVER_KTTLSSUPPORT_H
#define TORVEX_SERVER_KTTLSSUPPORT_H

#include <QByteArray>
#include <QSslConfiguration>
#include <QString>

class QSslSocket;
class QTcpSocket;

// The server's side of FTP over TLS that Qt does not offer by itself: reading and checking the
// certificate and key, and telling whether a data connection resumed its control connection's
// session.
namespace KTTlsSupport {

// Reads a PEM certificate and its PEM private key into a server configuration. False, with a
// message naming the file, when a file is missing or unreadable, holds no certificate or key,
// or the key does not belong to the certificate.
bool loadServerFiles(const QString& certPath, const QString& keyPath,
                     QSslConfiguration& configuration, QString& error);

// A new self-signed certificate for this computer and its key, made by the openssl command and
// readable by the owner only; files already there are replaced. False, with a message, when
// openssl is missing or fails.
bool makeSelfSignedCertificate(const QString& certPath, const QString& keyPath,
                               const QString& hostName, QString& error);

// The certificate's SHA-256 fingerprint as colon-separated hex pairs, or empty text.
QString fingerprint(const QString& certPath);

// Whether the socket's finished handshake resumed an earlier session.
bool sessionResumed(QSslSocket* socket);

// Bytes still waiting to leave, encrypted ones included.
qint64 pendingBytes(const QTcpSocket* socket);

} // namespace KTTlsSupport

// The TLS sessions of one control connection and its data connections: the session tickets it
// hands out and the sessions it remembers serve only its own connections, so a data connection
// resumes its control connection's session or none. Sessions live as long as the group.
class KTTlsSessionGroup
{
public:
    KTTlsSessionGroup();
    ~KTTlsSessionGroup();
    KTTlsSessionGroup(const KTTlsSessionGroup&) = delete;
    KTTlsSessionGroup& operator=(const KTTlsSessionGroup&) = delete;

    // Starts the server handshake with this group's tickets and session cache in force.
    // A data connection gets no tickets of its own: its client resumes the control
    // connection's session and, while uploading, never reads what the server sends.
    enum Tickets { IssueTickets, NoTickets };
    void startServerHandshake(QSslSocket* socket, Tickets tickets = IssueTickets);

private:
    quint64 m_id;
};

#endif
