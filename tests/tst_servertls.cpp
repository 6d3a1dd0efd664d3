// FTP over TLS in the built-in server: AUTH TLS, PBSZ, PROT, the required mode, session reuse on
// protected data connections and the ways a handshake can fail, over 127.0.0.1 in process.
#include "engine/ftpclient.h"
#include "support/serverprobe.h"
#include "support/testfiles.h"

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

    void clearControlConnection_data();
    void clearControlConnection();
    void foreignDataConnectionsRefused_data();
    void foreignDataConnectionsRefused();
    void clearTextBehindAuth();
    void ourClientListsWithSessionReuseEnforced();

private:
    bool loggedInOverTls(ServerProbe& probe)
    {
        return probe.connectAndGreet(m_fixture->port()) && probe.startTls()
               && probe.login(QStringLiteral("test"), QStringLiteral("581247"));
    }

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

void TestServerTls::clearControlConnection_data()
{
    // 0 without a certificate, 1 with TLS offered, 2 with TLS required.
    QTest::addColumn<int>("tls");
    QTest::addColumn<QStringList>("steps");
    // After AUTH TLS and a login, without PBSZ and PROT.
    QTest::addColumn<QStringList>("stepsOverTls");
    const QString unknown = " => 500 Unknown command.";
    const QString mustEncrypt = " => 530 Non-anonymous sessions must use encryption.";
    QTest::newRow("no certificate") << 0 << QStringList{
        "FEAT => 211-Features:\n EPSV\n MDTM\n PASV\n REST STREAM\n SIZE\n UTF8\n211 End",
        "AUTH TLS" + unknown, "PBSZ 0" + unknown, "PROT P" + unknown} << QStringList();
    QTest::newRow("offered") << 1 << QStringList{
        "FEAT => 211-Features:\n AUTH TLS\n EPSV\n MDTM\n PASV\n PBSZ\n PROT\n REST STREAM\n SIZE\n"
        " UTF8\n211 End",
        "AUTH KERBEROS => 504 Unknown AUTH type.",
        "PBSZ 0 => 503 PBSZ not allowed on insecure control connection.",
        "PROT P => 503 PROT not allowed on insecure control connection.",
        "USER test => 331 Please specify the password."} << QStringList();
    QTest::newRow("required") << 2 << QStringList{"USER test" + mustEncrypt,
                                                  "PASS 581247" + mustEncrypt}
                              << QStringList{"PROT C => 200 PROT now Clear.", "PASV => 227 ...",
                                             "LIST => 522 Data connections must be encrypted."};
}

void TestServerTls::clearControlConnection()
{
    QFETCH(int, tls);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, stepsOverTls);
    if (tls > 0)
        QVERIFY(m_fixture->enableTls(tls == 2));
    QSignalSpy logins(m_fixture->server.get(), &KTFtpServer::userLoggedIn);
    ServerProbe probe;
    QVERIFY(probe.connectAndGreet(m_fixture->port()));
    QCOMPARE(probe.play(steps), QString());
    if (tls > 0) {
        QVERIFY(probe.startTls(false));
        QVERIFY(probe.login("test", "581247"));
        QCOMPARE(logins.count(), 1);
        QCOMPARE(probe.play(stepsOverTls), QString());
    }
}

void TestServerTls::foreignDataConnectionsRefused_data()
{
    // A handshake resuming no session, as from someone who raced the client to the passive
    // port, or another connection's; or bytes in the clear or garbage instead of a handshake.
    QTest::addColumn<QString>("how");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("fresh handshake") << "fresh" << QByteArray();
    QTest::newRow("another connection's session") << "other" << QByteArray();
    QTest::newRow("clear text") << "bytes" << QByteArray("plain upload data\r\n");
    QTest::newRow("TLS garbage") << "bytes"
                                 << QByteArray("\x16\x03\x01\x00\x10", 5) + QByteArray(16, '\xff');
}

void TestServerTls::foreignDataConnectionsRefused()
{
    QFETCH(QString, how);
    QFETCH(QByteArray, bytes);
    QVERIFY(m_fixture->enableTls(false));
    QSignalSpy notices(m_fixture->server.get(), &KTFtpServer::notice);
    ServerProbe other;
    ServerProbe probe;
    QVERIFY(loggedInOverTls(other));
    QVERIFY(loggedInOverTls(probe));
    DataProbe data;
    QVERIFY(data.connectTo(probe.passive()));
    // A download must not leak a byte to it, an upload must not be stored.
    QVERIFY(probe.command(how == "bytes" ? "STOR cut.bin" : "LIST").startsWith("150 "));
    if (how == "bytes")
        data.socket.write(bytes);
    else
        data.startTls(how == "other" ? other.socket.sslConfiguration() : testClientTls());
    QVERIFY(data.waitClosed());
    QCOMPARE(data.received, QByteArray());
    const bool handshake = how != "bytes";
    QCOMPARE(probe.readReply(), handshake ? "522 SSL connection failed; session reuse required."
                                          : "522 SSL connection failed.");
    QVERIFY(!handshake || notices.last().at(0).toString().contains("did not resume"));
    QVERIFY(!QFile::exists(m_fixture->path("cut.bin")));
    // The session goes on, and a connection resuming its own session is served.
    const QSslConfiguration own = probe.socket.sslConfiguration();
    QCOMPARE(probe.put("STOR cut.bin", "whole", &own),
             QStringLiteral("150 Ok to send data.\n226 File receive OK."));
}

void TestServerTls::clearTextBehindAuth()
{
    QVERIFY(m_fixture->enableTls(false));
    QSignalSpy notices(m_fixture->server.get(), &KTFtpServer::notice);
    // Clear text where the handshake belongs ends the session, with a notice.
    ServerProbe clear;
    QVERIFY(clear.connectAndGreet(m_fixture->port()));
    QCOMPARE(clear.play({"AUTH TLS => 234...", "USER test", "closed"}), QString());
    QTRY_COMPARE_WITH_TIMEOUT(m_fixture->server->clients.size(), 0, ServerProbe::WaitMs);
    QCOMPARE(notices.count(), 1);
    QVERIFY(notices.first().at(0).toString().startsWith("TLS handshake with 127.0.0.1:"));
    // A command sent in the clear in the same packet as AUTH must not run as if it had come
    // through the encrypted channel.
    ServerProbe probe;
    QVERIFY(probe.connectAndGreet(m_fixture->port()));
    probe.send("AUTH TLS\r\nUSER test\r\n");
    QVERIFY(probe.readReply().startsWith("234"));
    probe.socket.setSslConfiguration(testClientTls());
    probe.socket.startClientEncryption();
    QTRY_VERIFY_WITH_TIMEOUT(probe.socket.isEncrypted(), ServerProbe::WaitMs);
    QCOMPARE(probe.play({"NOOP => 200 NOOP ok.", "PASS 581247 => 530 Login incorrect."}),
             QString());
}

void TestServerTls::ourClientListsWithSessionReuseEnforced()
{
    QVERIFY(m_fixture->enableTls(true));
    QVERIFY(writeTestFile(m_fixture->path("seen by our client.txt"), ""));
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
    // A protected data connection, served only when it resumes the control connection's session.
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
