#ifndef TORVEX_TESTS_SERVERPROBE_H
#define TORVEX_TESTS_SERVERPROBE_H

#include "server/ktftpserver.h"
#include "server/kttlssupport.h"
#include "settings/fbdata.h"

#include <QHostAddress>
#include <QSslSocket>
#include <QtTest>

#include <sys/socket.h>

#include <functional>
#include <memory>

// Trusts any certificate: the tests check the server's protocol, not its certificate.
inline QSslConfiguration testClientTls()
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    configuration.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    configuration.setSslOption(QSsl::SslOptionDisableSessionTickets, false);
    return configuration;
}

// A hand-driven FTP client from 127.0.0.1 (or bindAddress): it sends exact bytes and reads
// replies line by line; received holds what came and was not read yet. Plain until a handshake.
class ServerProbe
{
public:
    static constexpr int WaitMs = 5000;

    bool connectTo(quint16 port, const QHostAddress& bindAddress = QHostAddress())
    {
        if (!bindAddress.isNull() && !socket.bind(bindAddress))
            return false;
        socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
        // A refused connection ends the wait at once.
        readUntil([this] { return isOpen() || isClosed(); });
        return isOpen();
    }
    bool readUntil(const std::function<bool()>& done, int timeoutMs = WaitMs)
    {
        return QTest::qWaitFor([&] {
            received += socket.readAll();
            return done();
        }, timeoutMs);
    }
    bool waitClosed(int timeoutMs = WaitMs)
    {
        return readUntil([this] { return isClosed(); }, timeoutMs);
    }
    bool isOpen() const { return socket.state() == QAbstractSocket::ConnectedState; }
    bool isClosed() const { return socket.state() == QAbstractSocket::UnconnectedState; }
    // False when the handshake fails or the server cuts the connection.
    bool handshake(const QSslConfiguration& configuration = testClientTls())
    {
        socket.setSslConfiguration(configuration);
        socket.startClientEncryption();
        // A short answer may come, and the connection close, with the handshake's end.
        readUntil([this] { return socket.isEncrypted() || !isOpen(); });
        return socket.isEncrypted();
    }
    bool sendAndClose(const QByteArray& bytes, int timeoutMs = WaitMs)
    {
        socket.write(bytes);
        const bool written = readUntil([this] { return socket.bytesToWrite() == 0; }, timeoutMs);
        socket.disconnectFromHost();
        return written && waitClosed(timeoutMs);
    }
    // Ends the connection with a reset instead of an orderly close.
    void reset()
    {
        const linger immediately = {1, 0};
        ::setsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &immediately,
                     sizeof(immediately));
        socket.abort();
    }
    bool connectAndGreet(quint16 port)
    {
        return connectTo(port) && readLine() == "220 Welcome to FTP Torvex service.";
    }
    bool connectAndLogIn(quint16 port, bool tls = false)
    {
        return connectAndGreet(port) && (!tls || startTls()) && login("test", "581247");
    }
    void send(const QByteArray& bytes)
    {
        socket.write(bytes);
        socket.flush();
    }
    QString readLine(int timeoutMs = WaitMs)
    {
        if (!readUntil([this] { return received.contains('\n'); }, timeoutMs))
            return QString();
        lastRaw = received.left(received.indexOf('\n') + 1);
        received.remove(0, lastRaw.size());
        return QString::fromUtf8(lastRaw.chopped(lastRaw.endsWith("\r\n") ? 2 : 1));
    }
    QString readReply(int timeoutMs = WaitMs)
    {
        QString reply = readLine(timeoutMs);
        // A "123-" line opens a reply that its "123 " line ends; bounded, each pass takes a line.
        const bool multiline = reply.size() > 3 && reply.at(3) == QLatin1Char('-');
        for (int i = 0; multiline && i < 1000; ++i) {
            const QString line = readLine(timeoutMs);
            reply += QLatin1Char('\n') + line;
            if (line.isNull() || line.startsWith(reply.left(3) + QLatin1Char(' ')))
                break;
        }
        return reply;
    }
    QString command(const QString& line)
    {
        send(line.toUtf8() + "\r\n");
        return readReply();
    }
    bool login(const QString& user, const QString& password)
    {
        return command("USER " + user).startsWith("331")
               && command("PASS " + password) == "230 Login successful.";
    }
    // Sends PASV and returns the announced port, or 0.
    quint16 passive(QString* reply = nullptr)
    {
        const QString text = command("PASV");
        if (reply)
            *reply = text;
        const QStringList numbers = text.section('(', 1).section(')', 0, 0).split(',');
        if (!text.startsWith("227 ") || numbers.size() != 6)
            return 0;
        return quint16(numbers.at(4).toUInt() * 256 + numbers.at(5).toUInt());
    }
    bool hasLine() const { return received.contains('\n') || socket.canReadLine(); }
    bool startTls()
    {
        return play({"AUTH TLS => 234...", "handshake", "PBSZ 0 => 200 PBSZ=0",
                     "PROT P => 200 PROT now Private."}).isEmpty();
    }
    // Plays steps; empty when all went as expected, else the step and what came. "CMD => reply"
    // sends CMD, expects the whole reply ("..." at its end: a prefix); "=> reply" only expects,
    // "CMD" only sends; "closed" waits for the server to close, "handshake" for a TLS handshake.
    QString play(const QStringList& steps, int timeoutMs = WaitMs)
    {
        for (const QString& step : steps) {
            if (step == "closed" || step == "handshake") {
                if (!(step == "closed" ? waitClosed(timeoutMs) : handshake()))
                    return step + " failed";
                continue;
            }
            const int arrow = step.startsWith("=> ") ? 0 : step.indexOf(" => ");
            if (arrow != 0)
                send(step.left(arrow).toUtf8() + "\r\n");
            if (arrow < 0)
                continue;
            const QString expected = step.mid(arrow + (arrow == 0 ? 3 : 4));
            const QString reply = readReply(timeoutMs);
            if (expected.endsWith("...") ? !reply.startsWith(expected.chopped(3))
                                         : reply != expected)
                return step + " -> " + reply;
        }
        return QString();
    }
    // PASV, the data connection, then line: what came over it. The replies go to replies.
    QByteArray fetch(const QString& line, QString* replies = nullptr)
    {
        QString text;
        ServerProbe data;
        if (openData(data, &text)) {
            text = command(line);
            data.waitClosed();
            if (text.startsWith("150"))
                text += QLatin1Char('\n') + readReply();
        }
        if (replies)
            *replies = text;
        return data.received;
    }
    // PASV, the data connection (its handshake first with tls), line, then bytes: the replies.
    QString put(const QString& line, const QByteArray& bytes,
                const QSslConfiguration* tls = nullptr)
    {
        QString reply;
        ServerProbe data;
        if (!openData(data, &reply) || (tls && !data.handshake(*tls)))
            return reply;
        const QString opening = command(line);
        if (!opening.startsWith("150"))
            return opening;
        if (!data.sendAndClose(bytes))
            return opening + "\nthe data connection stalled";
        return opening + QLatin1Char('\n') + readReply();
    }

    QSslSocket socket;
    QByteArray received;
    // The last readLine's text, line ending included.
    QByteArray lastRaw;

private:
    bool openData(ServerProbe& data, QString* failure)
    {
        const quint16 port = passive(failure);
        failure->prepend("no data connection after: ");
        return port != 0 && data.connectTo(port);
    }
};

// A data connection to the server's passive port.
using DataProbe = ServerProbe;

// A server on 127.0.0.1 serving a fresh temporary folder, its store in another one.
class ServerFixture
{
public:
    ServerFixture() { QDir().mkpath(root); }

    bool start() { return server->start(0, root, QHostAddress(QHostAddress::LocalHost)); }
    // Offers or requires TLS with a new self-signed certificate, server.pem.
    bool enableTls(bool required)
    {
        const QString cert = dir.filePath("server.pem");
        const QString key = dir.filePath("server.key");
        QSslConfiguration configuration;
        QString error;
        const bool loaded = KTTlsSupport::makeSelfSignedCertificate(cert, key, "127.0.0.1", error)
                            && KTTlsSupport::loadServerFiles(cert, key, configuration, error);
        server->setTls(configuration, required);
        return loaded;
    }
    QString rootPath() const { return root; }
    QString path(const QString& relative) const { return root + QLatin1Char('/') + relative; }
    quint16 port() const { return server->serverPort(); }

    QTemporaryDir dir;
    QString root = dir.filePath("root");
    std::unique_ptr<FBData> store = std::make_unique<FBData>(dir.filePath("config"), nullptr);
    // Declared after the store, so it goes first: its sessions refer to the store's users.
    std::unique_ptr<KTFtpServer> server = std::make_unique<KTFtpServer>(store.get());
};

#endif
