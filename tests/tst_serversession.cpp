// The control connection of the built-in server: greeting, login, line handling, time-outs, the
// connection limit and FTP over TLS (AUTH TLS, PBSZ, PROT, the required mode, session reuse on
// protected data connections), over 127.0.0.1 inside the test's own event loop.
#include "engine/ftpclient.h"
#include "server/ktftpclient.h"
#include "support/serverprobe.h"
#include "support/testfiles.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QtTest>

#include <memory>

class TestServerSession : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void conversations_data();
    void conversations();
    void linesInPieces();
    void timeoutsAndOnline();
    void eleventhConnectionRefused();
    void foreignDataConnectionsRefused_data();
    void foreignDataConnectionsRefused();
    void ourClientListsWithSessionReuseEnforced();

private:
    bool userOnline() const { return m_fixture->user("test")->online; }

    std::unique_ptr<ServerFixture> m_fixture;
};

void TestServerSession::init()
{
    m_fixture = std::make_unique<ServerFixture>();
    m_fixture->server->setLoginFailDelay(20);
    m_fixture->server->setPassiveTimeout(3000);
    QVERIFY(m_fixture->start());
}

void TestServerSession::cleanup()
{
    m_fixture.reset();
}

void TestServerSession::conversations_data()
{
    // 0 without a certificate, 1 with TLS offered, 2 with TLS required.
    QTest::addColumn<int>("tls");
    QTest::addColumn<bool>("logIn");
    QTest::addColumn<QStringList>("steps");
    const QString login = " => 530 Please login with USER and PASS.";
    const QString wrong = " => 530 Login incorrect.";
    const QString unknown = " => 500 Unknown command.";
    const QString bad = " => 501 Error parameter.";
    const QString user = "USER test => 331 Please specify the password.";
    const QString pass = "PASS 581247 => 230 Login successful.";
    // A refused PASV leaves nothing waiting behind the login.
    QTest::newRow("before login") << 0 << false << QStringList{
        "PWD" + login, "LIST" + login, "RETR x" + login, "PASV" + login, "EPSV" + login,
        "XYZZY" + unknown, "SYST => 215 UNIX Type:L8", "OPTS UTF8 ON => 200 Always in UTF8 mode.",
        "FEAT => 211-Features:\n EPSV\n MDTM\n PASV\n REST STREAM\n SIZE\n UTF8\n211 End",
        "AUTH TLS" + unknown, "PBSZ 0" + unknown, "PROT P" + unknown, user, pass,
        "PWD => 257 \"/\""};
    const QStringList quit{"QUIT => 221 Goodbyg.", "closed"};
    QTest::newRow("quit before login") << 0 << false << quit;
    QTest::newRow("third failed password closes") << 0 << false << QStringList{
        user, "PASS one" + wrong, "PASS two" + wrong, "NOOP => 200...", "PASS 581247x" + wrong,
        "closed"};
    // Passwords guessed from a logged-in session count all the same.
    QTest::newRow("guesses after login counted") << 0 << true << QStringList{
        "USER test => 331...", "PASS guess1" + wrong, "PASS guess2" + wrong, "PASS guess3" + wrong,
        "closed"};
    // Lines sent together, some during the delay after a failed login, answered in turn.
    QTest::newRow("pipelined") << 0 << false << QStringList{
        "USER test", "PASS bad", "PASS 581247", "PWD", "=> 331...", "=> 530 Login incorrect.",
        "=> 230 Login successful.", "=> 257 \"/\""};
    // Whole command words only; a NUL inside a line is refused, not cut there; 4096 bytes
    // before CR LF are a line, one more is refused.
    QTest::newRow("logged in") << 0 << true << QStringList{
        "PASS wrong" + wrong, "PWD => 257 \"/\"", "QUITE" + unknown, "SIZEXa.txt" + unknown,
        "MLSD" + unknown, "noop => 200 NOOP ok.", QStringLiteral("SIZE a\0b") + bad,
        "\r\n\n\r\nNOOP => 200 NOOP ok.", "TYPE A => 200 Switching to ASCII mode.",
        "TYPE a => 200 Switching to ASCII mode.", "TYPE I => 200 Switching to binary mode.",
        "TYPE L 8" + bad, "TYPE" + bad, "MODE S => 200...", "MODE B => 504...", "STRU F => 200...",
        "STRU R => 504...", "ALLO 1000 => 202...", "OPTS MLST type; => 501...",
        "ABOR => 225 No transfer to ABOR.",
        "STAT => 211 FTP Torvex status: logged in as test, no transfer running.",
        "HELP => 214-The following commands are recognized.\n USER PASS SYST FEAT PWD...",
        "NOOP " + QString(4096 - 5, 'x') + " => 200 NOOP ok.",
        "NOOP " + QString(4096 - 4, 'x') + " => 500 Input line too long.", "PWD => 257 \"/\""};
    QTest::newRow("quit") << 0 << true << quit;
    const QString mustEncrypt = " => 530 Non-anonymous sessions must use encryption.";
    const QString tls = "AUTH TLS => 234...";
    QTest::newRow("TLS offered") << 1 << false << QStringList{
        "FEAT => 211-Features:\n AUTH TLS\n EPSV\n MDTM\n PASV\n PBSZ\n PROT\n REST STREAM\n SIZE\n"
        " UTF8\n211 End",
        "AUTH KERBEROS => 504 Unknown AUTH type.",
        "PBSZ 0 => 503 PBSZ not allowed on insecure control connection.",
        "PROT P => 503 PROT not allowed on insecure control connection.", user, tls, "handshake",
        user, pass};
    QTest::newRow("TLS required") << 2 << false << QStringList{
        "USER test" + mustEncrypt, "PASS 581247" + mustEncrypt, tls, "handshake", user, pass,
        "PROT C => 200 PROT now Clear.", "PASV => 227 ...",
        "LIST => 522 Data connections must be encrypted."};
    // Clear text where the handshake belongs ends the session. A command sent in the clear with
    // AUTH must not run as if it had come through the encrypted channel.
    QTest::newRow("clear text behind AUTH") << 1 << false << QStringList{tls, "USER", "closed"};
    QTest::newRow("command in AUTH's packet") << 1 << false << QStringList{
        "AUTH TLS\r\nUSER test => 234...", "handshake", "NOOP => 200 NOOP ok.",
        "PASS 581247 => 530 Login incorrect."};
}

void TestServerSession::conversations()
{
    QFETCH(int, tls);
    QFETCH(bool, logIn);
    QFETCH(QStringList, steps);
    if (tls > 0)
        QVERIFY(m_fixture->enableTls(tls == 2));
    ServerProbe probe;
    QVERIFY(logIn ? probe.connectAndLogIn(m_fixture->port())
                  : probe.connectAndGreet(m_fixture->port()));
    QCOMPARE(probe.play(steps), QString());
    if (steps.last() == QLatin1String("closed")) {
        QTRY_VERIFY(m_fixture->server->clients.isEmpty());
        QVERIFY(!userOnline());
    }
}

void TestServerSession::linesInPieces()
{
    ServerProbe probe;
    QVERIFY(probe.connectAndLogIn(m_fixture->port()));
    KTFtpClient* session = m_fixture->server->clients.first();
    // A line waits in the session until it is whole, cut in CR LF or in a UTF-8 character. Replies
    // end in CR LF: FTP clients such as lftp take a bare line feed for part of a line.
    const QList<QPair<QByteArray, QByteArray>> pieces{
        {"NO", ""}, {"OP\r", ""}, {"\nPW", "200 NOOP ok.\r\n"}, {"D\r\n", "257 \"/\"\r\n"},
        {"MKD Gr\xc3", ""}, {"\xbc\xc3\x9f" "e\r\n", "257 \"/Grüße\" created.\r\n"}};
    for (const auto& piece : pieces) {
        probe.send(piece.first);
        if (piece.second.isEmpty()) {
            QTRY_VERIFY(session->inputBuffer.endsWith(piece.first));
            QVERIFY(!probe.hasLine());
        } else {
            probe.readLine();
            QCOMPARE(probe.lastRaw, piece.second);
        }
    }
    QVERIFY(QFileInfo(m_fixture->path("Grüße")).isDir());
    // Longer than the input buffer and in pieces: one reply, the buffer stays bounded.
    probe.send("RETR " + QByteArray(20000, 'y'));
    probe.send(QByteArray(20000, 'y') + "\r\nPWD\r\n");
    QCOMPARE(probe.readLine(), QStringLiteral("500 Input line too long."));
    QCOMPARE(probe.readLine(), QStringLiteral("257 \"/\""));
    QVERIFY(session->inputBuffer.size() <= 2 * 4096);
    // A line that never ends: bounded, 40 blocks are well past the limit.
    for (int i = 0; i < 40 && probe.isOpen(); ++i) {
        probe.send(QByteArray(8192, 'z'));
        QVERIFY(session->inputBuffer.size() <= 2 * 4096);
        QTest::qWait(1);
    }
    QVERIFY(probe.waitClosed());
    QVERIFY(probe.received.startsWith("500 Input line too long.\r\n"));
}

void TestServerSession::timeoutsAndOnline()
{
    QSignalSpy loggedOut(m_fixture->server.get(), &KTFtpServer::userLoggedOut);
    ServerProbe idler;
    ServerProbe dropped;
    ServerProbe trickler;
    QVERIFY(idler.connectAndLogIn(m_fixture->port()));
    QVERIFY(dropped.connectAndLogIn(m_fixture->port()));
    // One session gone without QUIT: the other keeps the user online.
    dropped.socket.abort();
    QTRY_COMPARE(loggedOut.count(), 1);
    QVERIFY(userOnline());
    // Nor does a stranger's wrong password, which is answered late.
    m_fixture->server->setLoginFailDelay(200);
    QVERIFY(trickler.connectAndGreet(m_fixture->port()));
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(trickler.play({"USER test => 331...", "PASS guess => 530 Login incorrect."}),
             QString());
    QVERIFY(timer.elapsed() >= 150);
    QVERIFY(userOnline());
    // A connection trickling bytes without logging in loses its slot; one logged in stays until
    // it idles. Short time-outs only now, so a slow machine cannot run into them early.
    for (KTFtpClient* session : qAsConst(m_fixture->server->clients))
        session->setLoginTimeout(200);
    trickler.send("N");
    QCOMPARE(trickler.play({"=> 421 Login timeout.", "closed"}), QString());
    QTRY_COMPARE(m_fixture->server->clients.size(), 1);
    m_fixture->server->clients.first()->setIdleTimeout(500);
    QCOMPARE(idler.play({"NOOP => 200 NOOP ok.", "=> 421 Timeout.", "closed"}), QString());
    QTRY_VERIFY(!userOnline());
}

void TestServerSession::eleventhConnectionRefused()
{
    ServerProbe probes[10];
    for (ServerProbe& probe : probes)
        QVERIFY(probe.connectAndGreet(m_fixture->port()));
    // The eleventh is closed without a word; the ten keep working.
    ServerProbe eleventh;
    QVERIFY(eleventh.connectTo(m_fixture->port()));
    QVERIFY(eleventh.waitClosed());
    QVERIFY(eleventh.received.isEmpty());
    for (ServerProbe& earlier : probes)
        QCOMPARE(earlier.command("NOOP"), QStringLiteral("200 NOOP ok."));
    // A place freed is a place to take.
    probes[0].socket.abort();
    QTRY_COMPARE(m_fixture->server->clients.size(), 9);
    ServerProbe next;
    QVERIFY(next.connectAndLogIn(m_fixture->port()));
    // A restart on another folder ends every session and serves the new folder.
    const QString other = m_fixture->dir.filePath("other");
    QVERIFY(QDir().mkpath(other + "/only-here"));
    QVERIFY(m_fixture->server->start(0, other, QHostAddress(QHostAddress::LocalHost)));
    QVERIFY(next.waitClosed() && probes[9].waitClosed());
    QVERIFY(!userOnline());
    ServerProbe again;
    QVERIFY(again.connectAndLogIn(m_fixture->port()));
    QCOMPARE(again.command("CWD only-here"), QStringLiteral("250 Directory changed successfully!"));
}

void TestServerSession::foreignDataConnectionsRefused_data()
{
    // What reaches the passive port: a handshake resuming no session ("fresh"), as from someone
    // who raced the client there, or another connection's ("other"); or these bytes instead.
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("fresh handshake") << QByteArray("fresh");
    QTest::newRow("another connection's session") << QByteArray("other");
    QTest::newRow("clear text") << QByteArray("plain upload data\r\n");
    QTest::newRow("TLS garbage") << QByteArray("\x16\x03\x01\x00\x10", 5) + QByteArray(16, '\xff');
}

void TestServerSession::foreignDataConnectionsRefused()
{
    QFETCH(QByteArray, bytes);
    const bool handshake = bytes == "fresh" || bytes == "other";
    QVERIFY(m_fixture->enableTls(false));
    QSignalSpy notices(m_fixture->server.get(), &KTFtpServer::notice);
    ServerProbe other;
    ServerProbe probe;
    QVERIFY(other.connectAndLogIn(m_fixture->port(), true));
    QVERIFY(probe.connectAndLogIn(m_fixture->port(), true));
    DataProbe data;
    QVERIFY(data.connectTo(probe.passive()));
    // A download must not leak a byte to it, an upload must not be stored.
    QVERIFY(probe.command(handshake ? "LIST" : "STOR cut.bin").startsWith("150 "));
    if (handshake)
        data.handshake(bytes == "other" ? other.socket.sslConfiguration() : testClientTls());
    else
        data.socket.write(bytes);
    QVERIFY(data.waitClosed());
    QCOMPARE(data.received, QByteArray());
    QCOMPARE(probe.readReply(), handshake ? "522 SSL connection failed; session reuse required."
                                          : "522 SSL connection failed.");
    QVERIFY(!handshake || notices.last().at(0).toString().contains("did not resume"));
    QVERIFY(!QFile::exists(m_fixture->path("cut.bin")));
    // The session goes on, and a connection resuming its own session is served.
    const QSslConfiguration own = probe.socket.sslConfiguration();
    QCOMPARE(probe.put("STOR cut.bin", "whole", &own),
             QStringLiteral("150 Ok to send data.\n226 File receive OK."));
}

void TestServerSession::ourClientListsWithSessionReuseEnforced()
{
    QVERIFY(m_fixture->enableTls(true));
    QVERIFY(writeTestFile(m_fixture->path("seen by our client.txt"), ""));
    QSignalSpy notices(m_fixture->server.get(), &KTFtpServer::notice);
    FTPClient client;
    client.setEncryption(FTPClient::TlsRequired);
    client.trustOnce(QSslCertificate::fromPath(m_fixture->dir.filePath("server.pem"))
                         .value(0).digest(QCryptographicHash::Sha256));
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
    // No data connection was refused on the way.
    QCOMPARE(notices.count(), 0);
    client.disconnectServer();
}

QTEST_GUILESS_MAIN(TestServerSession)
#include "tst_serversession.moc"
