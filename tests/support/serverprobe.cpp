#include "support/serverprobe.h"

#include "server/kttlssupport.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <sys/socket.h>

bool waitConnected(QTcpSocket& socket, int timeoutMs)
{
    // A refused connection ends the wait at once.
    QTest::qWaitFor(
        [&socket] {
            const QAbstractSocket::SocketState state = socket.state();
            return state == QAbstractSocket::ConnectedState
                   || state == QAbstractSocket::UnconnectedState;
        },
        timeoutMs);
    return socket.state() == QAbstractSocket::ConnectedState;
}

ServerProbe::ServerProbe() = default;

bool ServerProbe::connectTo(quint16 port, const QHostAddress& bindAddress)
{
    if (!bindAddress.isNull() && !socket.bind(bindAddress))
        return false;
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    return waitConnected(socket, WaitMs);
}

bool ServerProbe::connectAndGreet(quint16 port)
{
    return connectTo(port) && readLine() == QLatin1String("220 Welcome to FTP Torvex service.");
}

void ServerProbe::send(const QByteArray& bytes)
{
    socket.write(bytes);
    socket.flush();
}

bool ServerProbe::hasLine() const
{
    return pending.contains('\n') || socket.canReadLine();
}

QString ServerProbe::readLine(int timeoutMs)
{
    const bool complete = QTest::qWaitFor(
        [this] {
            pending += socket.readAll();
            return pending.contains('\n');
        },
        timeoutMs);
    if (!complete)
        return QString();
    const int lf = pending.indexOf('\n');
    lastRaw = pending.left(lf + 1);
    pending.remove(0, lf + 1);
    QByteArray line = lastRaw;
    line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

QString ServerProbe::readReply(int timeoutMs)
{
    QString reply = readLine(timeoutMs);
    static const QRegularExpression opening(QStringLiteral("^(\\d{3})-"));
    const QRegularExpressionMatch match = opening.match(reply);
    if (!match.hasMatch())
        return reply;
    const QString closing = match.captured(1) + QLatin1Char(' ');
    // Bounded: each pass takes a line or gives up.
    for (int i = 0; i < 1000; ++i) {
        const QString line = readLine(timeoutMs);
        if (line.isNull())
            break;
        reply += QLatin1Char('\n') + line;
        if (line.startsWith(closing))
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
    return command(QStringLiteral("USER ") + user).startsWith(QLatin1String("331"))
           && command(QStringLiteral("PASS ") + password)
                  == QLatin1String("230 Login successful.");
}

quint16 ServerProbe::passive(QString* reply)
{
    const QString text = command(QStringLiteral("PASV"));
    if (reply)
        *reply = text;
    static const QRegularExpression numbers(
        QStringLiteral("^227 Entering Passive Mode \\((\\d+),(\\d+),(\\d+),(\\d+),(\\d+),(\\d+)\\)$"));
    const QRegularExpressionMatch match = numbers.match(text);
    if (!match.hasMatch())
        return 0;
    return quint16(match.captured(5).toUInt() * 256 + match.captured(6).toUInt());
}

bool ServerProbe::waitClosed(int timeoutMs)
{
    return QTest::qWaitFor(
        [this] {
            pending += socket.readAll();
            return socket.state() == QAbstractSocket::UnconnectedState;
        },
        timeoutMs);
}

bool ServerProbe::isOpen() const
{
    return socket.state() == QAbstractSocket::ConnectedState;
}

bool ServerProbe::startTls(bool protect)
{
    if (!command(QStringLiteral("AUTH TLS")).startsWith(QLatin1String("234")))
        return false;
    socket.setSslConfiguration(testClientTls());
    socket.startClientEncryption();
    if (!QTest::qWaitFor([this] { return socket.isEncrypted() || !isOpen(); }, WaitMs)
        || !socket.isEncrypted())
        return false;
    return !protect
           || (command(QStringLiteral("PBSZ 0")) == QLatin1String("200 PBSZ=0")
               && command(QStringLiteral("PROT P")) == QLatin1String("200 PROT now Private."));
}

QSslConfiguration ServerProbe::resumeConfiguration() const
{
    // Carries the session (or, in TLS 1.3, the ticket that came after the handshake).
    return socket.sslConfiguration();
}

QSslConfiguration testClientTls()
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    configuration.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    configuration.setSslOption(QSsl::SslOptionDisableSessionTickets, false);
    return configuration;
}

bool makeTestCertificate(const QString& folder, const QString& name, QString& cert, QString& key)
{
    cert = QDir(folder).filePath(name + QLatin1String(".pem"));
    key = QDir(folder).filePath(name + QLatin1String(".key"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                   QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                   QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                   QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert});
    return openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit
           && openssl.exitCode() == 0;
}

bool DataProbe::connectTo(quint16 port, const QHostAddress& bindAddress)
{
    if (!bindAddress.isNull() && !socket.bind(bindAddress))
        return false;
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    return waitConnected(socket, ServerProbe::WaitMs);
}

QByteArray DataProbe::readAll(int timeoutMs)
{
    waitClosed(timeoutMs);
    return received;
}

bool DataProbe::sendAndClose(const QByteArray& bytes, int timeoutMs)
{
    socket.write(bytes);
    const bool written = QTest::qWaitFor([this] { return socket.bytesToWrite() == 0; }, timeoutMs);
    socket.disconnectFromHost();
    return written && waitClosed(timeoutMs);
}

bool DataProbe::waitClosed(int timeoutMs)
{
    return QTest::qWaitFor(
        [this] {
            received += socket.readAll();
            return socket.state() == QAbstractSocket::UnconnectedState;
        },
        timeoutMs);
}

bool DataProbe::startTls(const QSslConfiguration& configuration)
{
    socket.setSslConfiguration(configuration);
    socket.startClientEncryption();
    QTest::qWaitFor(
        [this] {
            // A short answer may come, and the connection close, with the handshake's end.
            received += socket.readAll();
            return socket.isEncrypted() || socket.state() == QAbstractSocket::UnconnectedState;
        },
        ServerProbe::WaitMs);
    return socket.isEncrypted();
}

void DataProbe::reset()
{
    const linger immediately = {1, 0};
    ::setsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &immediately,
                 sizeof(immediately));
    socket.abort();
}

ServerFixture::ServerFixture()
{
    root = dir.filePath(QStringLiteral("root"));
    QDir().mkpath(root);
    QDir().mkpath(dir.filePath(QStringLiteral("config")));
    store = std::make_unique<FBData>(dir.filePath(QStringLiteral("config")), nullptr);
    server = std::make_unique<KTFtpServer>(store.get());
}

ServerFixture::~ServerFixture()
{
    server.reset();
    store.reset();
}

bool ServerFixture::start()
{
    return server->start(0, root, QHostAddress(QHostAddress::LocalHost));
}

bool ServerFixture::enableTls(bool required)
{
    QString cert;
    QString key;
    QSslConfiguration configuration;
    QString error;
    if (!makeTestCertificate(dir.path(), QStringLiteral("server"), cert, key)
        || !KTTlsSupport::loadServerFiles(cert, key, configuration, error))
        return false;
    server->setTls(configuration, required);
    return true;
}

QString ServerFixture::path(const QString& relative) const
{
    return QDir(root).filePath(relative);
}

UserInfo* ServerFixture::user(const QString& name) const
{
    for (UserInfo* record : store->userList) {
        if (record->name == name)
            return record;
    }
    return nullptr;
}

void ServerFixture::addUser(const QString& name, const QString& password)
{
    store->users();
    auto* record = new UserInfo;
    record->name = name;
    record->password = password;
    store->userList.append(record);
}
