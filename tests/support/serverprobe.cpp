#include "support/serverprobe.h"

#include "server/kttlssupport.h"

#include <QDir>
#include <QtTest>

#include <sys/socket.h>

bool ProbeConnection::connectTo(quint16 port, const QHostAddress& bindAddress)
{
    if (!bindAddress.isNull() && !socket.bind(bindAddress))
        return false;
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    // A refused connection ends the wait at once.
    readUntil([this] { return isOpen() || socket.state() == QAbstractSocket::UnconnectedState; });
    return isOpen();
}

bool ProbeConnection::readUntil(const std::function<bool()>& done, int timeoutMs)
{
    return QTest::qWaitFor([&] {
        received += socket.readAll();
        return done();
    }, timeoutMs);
}

bool ProbeConnection::waitClosed(int timeoutMs)
{
    return readUntil([this] { return socket.state() == QAbstractSocket::UnconnectedState; },
                     timeoutMs);
}

bool ProbeConnection::handshake(const QSslConfiguration& configuration)
{
    socket.setSslConfiguration(configuration);
    socket.startClientEncryption();
    // A short answer may come, and the connection close, with the handshake's end.
    readUntil([this] { return socket.isEncrypted() || !isOpen(); });
    return socket.isEncrypted();
}

bool ServerProbe::connectAndGreet(quint16 port)
{
    return connectTo(port) && readLine() == QLatin1String("220 Welcome to FTP Torvex service.");
}

bool ServerProbe::connectAndLogIn(quint16 port, bool tls)
{
    return connectAndGreet(port) && (!tls || startTls()) && login("test", "581247");
}

void ServerProbe::send(const QByteArray& bytes)
{
    socket.write(bytes);
    socket.flush();
}

QString ServerProbe::readLine(int timeoutMs)
{
    if (!readUntil([this] { return received.contains('\n'); }, timeoutMs))
        return QString();
    lastRaw = received.left(received.indexOf('\n') + 1);
    received.remove(0, lastRaw.size());
    QByteArray line = lastRaw;
    line.chop(line.endsWith("\r\n") ? 2 : 1);
    return QString::fromUtf8(line);
}

QString ServerProbe::readReply(int timeoutMs)
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

QString ServerProbe::command(const QString& line)
{
    send(line.toUtf8() + "\r\n");
    return readReply();
}

bool ServerProbe::login(const QString& user, const QString& password)
{
    return command("USER " + user).startsWith("331")
           && command("PASS " + password) == "230 Login successful.";
}

quint16 ServerProbe::passive(QString* reply)
{
    const QString text = command("PASV");
    if (reply)
        *reply = text;
    const QStringList numbers = text.section('(', 1).section(')', 0, 0).split(',');
    if (!text.startsWith("227 ") || numbers.size() != 6)
        return 0;
    return quint16(numbers.at(4).toUInt() * 256 + numbers.at(5).toUInt());
}

bool ServerProbe::startTls()
{
    return play({"AUTH TLS => 234...", "handshake", "PBSZ 0 => 200 PBSZ=0",
                 "PROT P => 200 PROT now Private."}).isEmpty();
}

QString ServerProbe::play(const QStringList& steps, int timeoutMs)
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
        if (expected.endsWith("...") ? !reply.startsWith(expected.chopped(3)) : reply != expected)
            return step + " -> " + reply;
    }
    return QString();
}

bool ServerProbe::openData(DataProbe& data, QString* failure)
{
    const quint16 port = passive(failure);
    failure->prepend("no data connection after: ");
    return port != 0 && data.connectTo(port);
}

QByteArray ServerProbe::fetch(const QString& line, QString* replies)
{
    QString text;
    DataProbe data;
    if (openData(data, &text)) {
        text = command(line);
        data.waitClosed();
        if (text.startsWith(QLatin1String("150")))
            text += QLatin1Char('\n') + readReply();
    }
    if (replies)
        *replies = text;
    return data.received;
}

QString ServerProbe::put(const QString& line, const QByteArray& bytes,
                         const QSslConfiguration* tls)
{
    QString reply;
    DataProbe data;
    if (!openData(data, &reply) || (tls && !data.handshake(*tls)))
        return reply;
    const QString opening = command(line);
    if (!opening.startsWith(QLatin1String("150")))
        return opening;
    if (!data.sendAndClose(bytes))
        return opening + QLatin1String("\nthe data connection stalled");
    return opening + QLatin1Char('\n') + readReply();
}

bool ProbeConnection::sendAndClose(const QByteArray& bytes, int timeoutMs)
{
    socket.write(bytes);
    const bool written = QTest::qWaitFor([this] { return socket.bytesToWrite() == 0; }, timeoutMs);
    socket.disconnectFromHost();
    return written && waitClosed(timeoutMs);
}

void ProbeConnection::reset()
{
    const linger immediately = {1, 0};
    ::setsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &immediately,
                 sizeof(immediately));
    socket.abort();
}

QSslConfiguration testClientTls()
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    configuration.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    configuration.setSslOption(QSsl::SslOptionDisableSessionTickets, false);
    return configuration;
}

ServerFixture::ServerFixture()
{
    root = dir.filePath(QStringLiteral("root"));
    QDir().mkpath(root);
    QDir().mkpath(dir.filePath(QStringLiteral("config")));
    store = std::make_unique<FBData>(dir.filePath(QStringLiteral("config")), nullptr);
    server = std::make_unique<KTFtpServer>(store.get());
}

bool ServerFixture::start()
{
    return server->start(0, root, QHostAddress(QHostAddress::LocalHost));
}

bool ServerFixture::enableTls(bool required)
{
    const QString cert = dir.filePath(QStringLiteral("server.pem"));
    const QString key = dir.filePath(QStringLiteral("server.key"));
    QSslConfiguration configuration;
    QString error;
    if (!KTTlsSupport::makeSelfSignedCertificate(cert, key, QStringLiteral("127.0.0.1"), error)
        || !KTTlsSupport::loadServerFiles(cert, key, configuration, error))
        return false;
    server->setTls(configuration, required);
    return true;
}

