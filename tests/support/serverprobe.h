#ifndef TORVEX_TESTS_SERVERPROBE_H
#define TORVEX_TESTS_SERVERPROBE_H

#include "server/ktftpserver.h"
#include "settings/fbdata.h"

#include <QByteArray>
#include <QHostAddress>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QString>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>

// Waits until the socket's connection attempt has succeeded or failed.
bool waitConnected(QTcpSocket& socket, int timeoutMs);

// A hand-driven FTP client for testing the built-in server: it sends exact bytes and reads
// replies line by line, so tests see what went over the wire.
class ServerProbe
{
public:
    static constexpr int WaitMs = 5000;

    ServerProbe();

    // Connects to 127.0.0.1:port from bindAddress (any loopback address) and waits for the link.
    bool connectTo(quint16 port, const QHostAddress& bindAddress = QHostAddress());
    bool connectAndGreet(quint16 port);
    void send(const QByteArray& bytes);
    // The next reply line without its CR LF; empty when none came in time.
    QString readLine(int timeoutMs = WaitMs);
    // A whole reply: a "123-" line and everything up to its "123 " line, joined by "\n".
    QString readReply(int timeoutMs = WaitMs);
    QString command(const QString& line);
    bool login(const QString& user, const QString& password);
    // Sends PASV and returns the announced port, or 0.
    quint16 passive(QString* reply = nullptr);
    bool waitClosed(int timeoutMs = WaitMs);
    bool isOpen() const;
    // Whether a line arrived without waiting for one.
    bool hasLine() const;
    // AUTH TLS and the client handshake; then PBSZ 0 and PROT P when protect is set.
    bool startTls(bool protect = true);
    // What a data connection needs to resume this connection's session.
    QSslConfiguration resumeConfiguration() const;

    // Plain until startTls, like any FTP client's.
    QSslSocket socket;
    QByteArray pending;
    // The raw text of the last readLine, line ending included.
    QByteArray lastRaw;
};

// A data connection opened to the server's passive port.
class DataProbe
{
public:
    bool connectTo(quint16 port, const QHostAddress& bindAddress = QHostAddress());
    // Everything the server sends until it closes the connection.
    QByteArray readAll(int timeoutMs = ServerProbe::WaitMs);
    bool sendAndClose(const QByteArray& bytes, int timeoutMs = ServerProbe::WaitMs);
    bool waitClosed(int timeoutMs = ServerProbe::WaitMs);
    // Ends the connection with a reset instead of an orderly close.
    void reset();
    // The client handshake on the open connection; false when it fails or the server cuts it.
    bool startTls(const QSslConfiguration& configuration);

    QSslSocket socket;
    QByteArray received;
};

// A client-side TLS configuration that trusts anything: the tests check the server's protocol,
// not its certificate.
QSslConfiguration testClientTls();

// A self-signed certificate for 127.0.0.1 and its EC key in folder, made by Debian's openssl.
bool makeTestCertificate(const QString& folder, const QString& name, QString& cert, QString& key);

// A server on 127.0.0.1 serving a fresh temporary folder, its store in another one.
class ServerFixture
{
public:
    ServerFixture();
    ~ServerFixture();

    bool start();
    // Makes a certificate and key for 127.0.0.1 and offers or requires TLS with them.
    bool enableTls(bool required);
    QString rootPath() const { return root; }
    QString path(const QString& relative) const;
    quint16 port() const { return server->serverPort(); }
    UserInfo* user(const QString& name) const;
    void addUser(const QString& name, const QString& password);

    QTemporaryDir dir;
    QString root;
    std::unique_ptr<FBData> store;
    std::unique_ptr<KTFtpServer> server;
};

#endif
