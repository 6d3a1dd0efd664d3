#ifndef TORVEX_TESTS_SERVERPROBE_H
#define TORVEX_TESTS_SERVERPROBE_H

#include "server/ktftpserver.h"
#include "settings/fbdata.h"

#include <QHostAddress>
#include <QSslSocket>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// Trusts any certificate: the tests check the server's protocol, not its certificate.
QSslConfiguration testClientTls();

// A connection from 127.0.0.1 (or bindAddress) to the built-in server, and what came over it
// not read yet. Plain until a handshake, like any FTP client's.
class ProbeConnection
{
public:
    static constexpr int WaitMs = 5000;

    bool connectTo(quint16 port, const QHostAddress& bindAddress = QHostAddress());
    // Reads whatever comes until done, or false after timeoutMs.
    bool readUntil(const std::function<bool()>& done, int timeoutMs = WaitMs);
    bool waitClosed(int timeoutMs = WaitMs);
    bool isOpen() const { return socket.state() == QAbstractSocket::ConnectedState; }
    // False when the handshake fails or the server cuts the connection.
    bool handshake(const QSslConfiguration& configuration = testClientTls());
    bool sendAndClose(const QByteArray& bytes, int timeoutMs = WaitMs);
    // Ends the connection with a reset instead of an orderly close.
    void reset();

    QSslSocket socket;
    QByteArray received;
};

// A data connection to the server's passive port.
using DataProbe = ProbeConnection;

// A hand-driven FTP client: it sends exact bytes and reads replies line by line.
class ServerProbe : public ProbeConnection
{
public:
    bool connectAndGreet(quint16 port);
    // Logged in as the default user, over TLS with tls.
    bool connectAndLogIn(quint16 port, bool tls = false);
    void send(const QByteArray& bytes);
    // The next reply line without its CR LF; empty when none came in time.
    QString readLine(int timeoutMs = WaitMs);
    // A whole reply, a multi-line one joined by "\n".
    QString readReply(int timeoutMs = WaitMs);
    QString command(const QString& line);
    bool login(const QString& user, const QString& password);
    // Sends PASV and returns the announced port, or 0.
    quint16 passive(QString* reply = nullptr);
    // Whether a line arrived, without waiting for one.
    bool hasLine() const { return received.contains('\n') || socket.canReadLine(); }
    // AUTH TLS, the client handshake, PBSZ 0 and PROT P.
    bool startTls();

    // Plays a conversation; empty when all went as expected, else the step and what came:
    //   "CMD => reply"  sends CMD and expects the whole reply ("..." at the end: a prefix of it)
    //   "=> reply"      expects the next reply without sending anything
    //   "CMD"           only sends CMD
    //   "closed"        expects the server to close the connection
    //   "handshake"     the client's TLS handshake, which must succeed
    QString play(const QStringList& steps, int timeoutMs = WaitMs);
    // PASV, the data connection, then line: what came over it. The replies go to replies.
    QByteArray fetch(const QString& line, QString* replies = nullptr);
    // PASV, the data connection (its handshake first with tls), line, then bytes: the replies.
    QString put(const QString& line, const QByteArray& bytes,
                const QSslConfiguration* tls = nullptr);

    // The raw text of the last readLine, line ending included.
    QByteArray lastRaw;

private:
    // PASV and the data connection; else why not in failure.
    bool openData(DataProbe& data, QString* failure);
};

// A server on 127.0.0.1 serving a fresh temporary folder, its store in another one.
class ServerFixture
{
public:
    ServerFixture();

    bool start();
    // Offers or requires TLS with a new self-signed certificate, server.pem.
    bool enableTls(bool required);
    QString rootPath() const { return root; }
    QString path(const QString& relative) const { return root + QLatin1Char('/') + relative; }
    quint16 port() const { return server->serverPort(); }

    QTemporaryDir dir;
    QString root;
    std::unique_ptr<FBData> store;
    // Declared after the store, so it goes first: its sessions refer to the store's users.
    std::unique_ptr<KTFtpServer> server;
};

#endif
