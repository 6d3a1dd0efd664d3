// FTP over TLS in the built-in server: AUTH TLS, PBSZ, PROT, the required mode, session reuse on
// protected data connections and the ways a handshake can fail, over 127.0.0.1 in process.
#include "engine/ftpclient.h"
#include "server/ktftpclient.h"
#include "server/kttlssettings.h"
#include "support/serverprobe.h"

#include <QSettings>
#include <QSslCertificate>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

class TestServerTls : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void wordsFollowTheCertificate_data();
    void wordsFollowTheCertificate();
    void requiredTlsRefusesLoginInTheClear_data();
    void requiredTlsRefusesLoginInTheClear();
    void requiredTlsRefusesDataInTheClear();
    void listGetAndPutOverTls_data();
    void listGetAndPutOverTls();
    void dataWithoutResumptionRefused();
    void dataResumingAnotherSessionRefused();
    void clearOrGarbageDataOnProtectedConnectionCut_data();
    void clearOrGarbageDataOnProtectedConnectionCut();
    void commandsSentBehindAuthAreDropped();
    void failedControlHandshakeEndsSession();
    void tlsSettingsKeepOldFilesPlain();
    void ourClientListsWithSessionReuseEnforced();

private:
    bool loggedInOverTls(ServerProbe& probe);
    QByteArray listOverTls(ServerProbe& probe, const QSslConfiguration& data, QString& reply);

    std::unique_ptr<ServerFixture> m_fixture;
};

void TestServerTls::init()
{
    m_fixture = std::make_unique<ServerFixture>();
    QVERIFY(m_fixture->start());
    m_fixture->server->setPassiveTimeout(3000);
}

void TestServerTls::cleanup()
{
    m_fixture.reset();
}

bool TestServerTls::loggedInOverTls(ServerProbe& probe)
{
    return probe.connectAndGreet(m_fixture->port()) && probe.startTls()
           && probe.login(QStringLiteral("test"), QStringLiteral("581247"));
}

// LIST on a protected data connection made with the given client configuration; what arrives
// on it, and the control replies after the 150.
QByteArray TestServerTls::listOverTls(ServerProbe& probe, const QSslConfiguration& data,
                                      QString& reply)
{
    const quint16 port = probe.passive();
    DataProbe probeData;
    if (port == 0 || !probeData.connectTo(port))
        return "no data connection";
    probe.send("LIST\r\n");
    reply = probe.readReply();
    probeData.startTls(data);
    const QByteArray received = probeData.readAll();
    reply += QLatin1Char('\n') + probe.readReply();
    return received;
}

void TestServerTls::wordsFollowTheCertificate_data()
{
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reply");
    const QString plainFeatures = "211-Features:\n EPSV\n MDTM\n PASV\n REST STREAM\n SIZE\n UTF8\n"
                                  "211 End";
    QTest::newRow("plain FEAT") << false << "FEAT" << plainFeatures;
    QTest::newRow("plain AUTH") << false << "AUTH TLS" << "500 Unknown command.";
    QTest::newRow("plain PBSZ") << false << "PBSZ 0" << "500 Unknown command.";
    QTest::newRow("plain PROT") << false << "PROT P" << "500 Unknown command.";
    QTest::newRow("TLS FEAT") << true << "FEAT"
                              << "211-Features:\n AUTH TLS\n EPSV\n MDTM\n PASV\n PBSZ\n PROT\n"
                                 " REST STREAM\n SIZE\n UTF8\n211 End";
    QTest::newRow("unknown AUTH") << true << "AUTH KERBEROS" << "504 Unknown AUTH type.";
    QTest::newRow("PBSZ in clear")
        << true << "PBSZ 0" << "503 PBSZ not allowed on insecure control connection.";
    QTest::newRow("PROT in clear")
        << true << "PROT P" << "503 PROT not allowed on insecure control connection.";
    QTest::newRow("plain login offered") << true << "USER test" << "331 Please specify the password.";
}

void TestServerTls::wordsFollowTheCertificate()
{
    QFETCH(bool, tls);
    QFETCH(QString, line);
    QFETCH(QString, reply);
    if (tls)
        QVERIFY(m_fixture->enableTls(false));
    ServerProbe probe;
    QVERIFY(probe.connectAndGreet(m_fixture->port()));
    QCOMPARE(probe.command(line), reply);
}

void TestServerTls::requiredTlsRefusesLoginInTheClear_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("USER") << "USER test";
    QTest::newRow("PASS") << "PASS 581247";
}

void TestServerTls::requiredTlsRefusesLoginInTheClear()
{
    QFETCH(QString, line);
    QVERIFY(m_fixture->enableTls(true));
    QSignalSpy logins(m_fixture->server.get(), &KTFtpServer::userLoggedIn);
    ServerProbe probe;
    QVERIFY(probe.connectAndGreet(m_fixture->port()));
    QCOMPARE(probe.command(line), QStringLiteral("530 Non-anonymous sessions must use encryption."));
    QCOMPARE(probe.command("PASS 581247"),
             QStringLiteral("530 Non-anonymous sessions must use encryption."));
    QVERIFY(probe.startTls(false));
    QVERIFY(probe.login("test", "581247"));
    QCOMPARE(logins.count(), 1);
}

void TestServerTls::requiredTlsRefusesDataInTheClear()
{
    QVERIFY(m_fixture->enableTls(true));
    ServerProbe probe;
    QVERIFY(probe.connectAndGreet(m_fixture->port()));
    QVERIFY(probe.startTls(false));
    QVERIFY(probe.login("test", "581247"));
    QCOMPARE(probe.command("PROT C"), QStringLiteral("200 PROT now Clear."));
    QVERIFY(probe.passive() != 0);
    QCOMPARE(probe.command("LIST"), QStringLiteral("522 Data connections must be encrypted."));
}

void TestServerTls::listGetAndPutOverTls_data()
{
    QTest::addColumn<int>("protocol");
    QTest::newRow("TLS 1.2") << int(QSsl::TlsV1_2);
    QTest::newRow("TLS 1.3") << int(QSsl::TlsV1_3);
}

void TestServerTls::listGetAndPutOverTls()
{
    QFETCH(int, protocol);
    QVERIFY(m_fixture->enableTls(true));
    QByteArray content(300 * 1024 + 7, '\0');
    for (int i = 0; i < content.size(); ++i)
        content[i] = char(i * 31 % 251);
    QFile file(m_fixture->path("data.bin"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();

    ServerProbe probe;
    QSslConfiguration client = testClientTls();
    client.setProtocol(QSsl::SslProtocol(protocol));
    QVERIFY(probe.connectAndGreet(m_fixture->port()));
    QVERIFY(probe.command("AUTH TLS").startsWith("234"));
    probe.socket.setSslConfiguration(client);
    probe.socket.startClientEncryption();
    QTRY_VERIFY_WITH_TIMEOUT(probe.socket.isEncrypted(), ServerProbe::WaitMs);
    QVERIFY(probe.login("test", "581247"));
    QCOMPARE(probe.command("PBSZ 0"), QStringLiteral("200 PBSZ=0"));
    QCOMPARE(probe.command("PROT P"), QStringLiteral("200 PROT now Private."));
    QCOMPARE(probe.command("TYPE I"), QStringLiteral("200 Switching to binary mode."));

    QString reply;
    const QByteArray listing = listOverTls(probe, probe.resumeConfiguration(), reply);
    QVERIFY2(listing.contains(" data.bin\r\n"), listing.constData());
    QCOMPARE(reply, QStringLiteral("150 Here comes the directory listing.\n226 Directory send OK."));

    DataProbe download;
    QVERIFY(download.connectTo(probe.passive()));
    probe.send("RETR data.bin\r\n");
    QVERIFY(probe.readReply().startsWith("150"));
    QVERIFY(download.startTls(probe.resumeConfiguration()));
    QCOMPARE(download.readAll(), content);
    QCOMPARE(probe.readReply(), QStringLiteral("226 File send OK."));

    DataProbe upload;
    QVERIFY(upload.connectTo(probe.passive()));
    QVERIFY(upload.startTls(probe.resumeConfiguration()));
    probe.send("STOR copy.bin\r\n");
    QCOMPARE(probe.readReply(), QStringLiteral("150 Ok to send data."));
    QVERIFY(upload.sendAndClose(content));
    QCOMPARE(probe.readReply(), QStringLiteral("226 File receive OK."));
    QFile copy(m_fixture->path("copy.bin"));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), content);
}

void TestServerTls::dataWithoutResumptionRefused()
{
    QVERIFY(m_fixture->enableTls(false));
    QSignalSpy notices(m_fixture->server.get(), &KTFtpServer::notice);
    QFile seen(m_fixture->path("seen.txt"));
    QVERIFY(seen.open(QIODevice::WriteOnly));
    seen.close();
    ServerProbe probe;
    QVERIFY(loggedInOverTls(probe));
    QString reply;
    // A fresh handshake, as from someone who raced the client to the passive port.
    const QByteArray received = listOverTls(probe, testClientTls(), reply);
    QCOMPARE(received, QByteArray());
    QCOMPARE(reply, QStringLiteral("150 Here comes the directory listing.\n"
                                   "522 SSL connection failed; session reuse required."));
    QVERIFY(notices.count() >= 1);
    QVERIFY(notices.last().at(0).toString().contains("did not resume"));
    // The session goes on, and a resumed connection is served.
    const QByteArray listing = listOverTls(probe, probe.resumeConfiguration(), reply);
    QVERIFY2(listing.contains(" seen.txt\r\n"), qPrintable(reply + listing));
}

void TestServerTls::dataResumingAnotherSessionRefused()
{
    QVERIFY(m_fixture->enableTls(false));
    ServerProbe other;
    QVERIFY(loggedInOverTls(other));
    ServerProbe probe;
    QVERIFY(loggedInOverTls(probe));
    QString reply;
    // The other connection's session is a valid one of this server, but not this session's.
    QCOMPARE(listOverTls(probe, other.resumeConfiguration(), reply), QByteArray());
    QVERIFY2(reply.endsWith("522 SSL connection failed; session reuse required."),
             qPrintable(reply));
}

void TestServerTls::clearOrGarbageDataOnProtectedConnectionCut_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("clear text") << QByteArray("plain upload data\r\n");
    QTest::newRow("TLS garbage") << QByteArray("\x16\x03\x01\x00\x10", 5) + QByteArray(16, '\xff');
}

void TestServerTls::clearOrGarbageDataOnProtectedConnectionCut()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(m_fixture->enableTls(false));
    ServerProbe probe;
    QVERIFY(loggedInOverTls(probe));
    DataProbe data;
    QVERIFY(data.connectTo(probe.passive()));
    probe.send("STOR cut.bin\r\n");
    QCOMPARE(probe.readReply(), QStringLiteral("150 Ok to send data."));
    data.socket.write(bytes);
    QVERIFY(data.waitClosed());
    QCOMPARE(probe.readReply(), QStringLiteral("522 SSL connection failed."));
    QVERIFY(!QFile::exists(m_fixture->path("cut.bin")));
    QCOMPARE(probe.command("NOOP"), QStringLiteral("200 NOOP ok."));
}

void TestServerTls::commandsSentBehindAuthAreDropped()
{
    QVERIFY(m_fixture->enableTls(false));
    ServerProbe probe;
    QVERIFY(probe.connectAndGreet(m_fixture->port()));
    // In the clear behind AUTH: must not run as if it had come through the encrypted channel.
    probe.send("AUTH TLS\r\nUSER test\r\n");
    QVERIFY(probe.readReply().startsWith("234"));
    probe.socket.setSslConfiguration(testClientTls());
    probe.socket.startClientEncryption();
    QTRY_VERIFY_WITH_TIMEOUT(probe.socket.isEncrypted(), ServerProbe::WaitMs);
    QCOMPARE(probe.command("NOOP"), QStringLiteral("200 NOOP ok."));
    QCOMPARE(probe.command("PASS 581247"), QStringLiteral("530 Login incorrect."));
}

void TestServerTls::failedControlHandshakeEndsSession()
{
    QVERIFY(m_fixture->enableTls(false));
    QSignalSpy notices(m_fixture->server.get(), &KTFtpServer::notice);
    ServerProbe probe;
    QVERIFY(probe.connectAndGreet(m_fixture->port()));
    QVERIFY(probe.command("AUTH TLS").startsWith("234"));
    probe.send("USER test\r\n");
    QVERIFY(probe.waitClosed());
    QTRY_COMPARE_WITH_TIMEOUT(m_fixture->server->clients.size(), 0, ServerProbe::WaitMs);
    QCOMPARE(notices.count(), 1);
    QVERIFY(notices.first().at(0).toString().startsWith("TLS handshake with 127.0.0.1:"));
    ServerProbe next;
    QVERIFY(loggedInOverTls(next));
}

void TestServerTls::tlsSettingsKeepOldFilesPlain()
{
    const QString ini = m_fixture->dir.filePath("config/server.ini");
    m_fixture->store->writeServerSettings("127.0.0.1", 2121, m_fixture->rootPath());
    const KTTlsSettings old = KTTlsSettings::read(ini);
    QCOMPARE(int(old.mode), int(KTTlsSettings::Off));
    QString error;
    QVERIFY(old.applyTo(m_fixture->server.get(), error));
    QVERIFY(!m_fixture->server->tlsEnabled());

    KTTlsSettings tls;
    tls.mode = KTTlsSettings::Require;
    tls.certificate = m_fixture->dir.filePath("missing.pem");
    tls.key = m_fixture->dir.filePath("missing.key");
    tls.write(ini);
    const KTTlsSettings back = KTTlsSettings::read(ini);
    QCOMPARE(int(back.mode), int(KTTlsSettings::Require));
    QCOMPARE(back.certificate, tls.certificate);
    QString address;
    quint16 port = 0;
    QString folder;
    QVERIFY(m_fixture->store->readServerSettings(address, port, folder));
    QCOMPARE(port, quint16(2121));
    // Asked for and unusable: an error, never a server without TLS.
    QVERIFY(!back.applyTo(m_fixture->server.get(), error));
    QVERIFY(error.contains("does not exist"));
    QVERIFY(!m_fixture->server->tlsEnabled());
}

void TestServerTls::ourClientListsWithSessionReuseEnforced()
{
    QVERIFY(m_fixture->enableTls(true));
    QFile seen(m_fixture->path("seen by our client.txt"));
    QVERIFY(seen.open(QIODevice::WriteOnly));
    seen.close();
    QSignalSpy notices(m_fixture->server.get(), &KTFtpServer::notice);
    const QList<QSslCertificate> certificate =
        QSslCertificate::fromPath(m_fixture->dir.filePath("server.pem"));
    QCOMPARE(certificate.size(), 1);

    FTPClient client;
    client.setEncryption(FTPClient::TlsRequired);
    client.trustOnce(certificate.first().digest(QCryptographicHash::Sha256));
    QSignalSpy login(&client, &FTPClient::login);
    QSignalSpy listings(&client, &FTPClient::currentDirData);
    client.connectServer("127.0.0.1", m_fixture->port(), "test", "581247");
    QTRY_COMPARE_WITH_TIMEOUT(login.count(), 1, 15000);
    QVERIFY(login.first().first().toBool());
    QVERIFY(client.isEncrypted());
    // A protected data connection, which the server serves only when it resumes the control
    // connection's session.
    client.listDir();
    QTRY_VERIFY_WITH_TIMEOUT(!listings.isEmpty(), 15000);
    QVERIFY(listings.last().first().toString().contains("seen by our client.txt"));
    for (const QList<QVariant>& notice : qAsConst(notices))
        QVERIFY2(!notice.first().toString().contains("did not resume"),
                 qPrintable(notice.first().toString()));
    client.disconnectServer();
}

QTEST_MAIN(TestServerTls)
#include "tst_servertls.moc"
