// The control connection of the built-in server: greeting, login, line handling, time-outs and
// the connection limit, driven over 127.0.0.1 inside the test's own event loop.
#include "server/ktftpclient.h"
#include "support/serverprobe.h"

#include <QElapsedTimer>
#include <QSignalSpy>
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
    void onlineFollowsSessions();
    void timeouts();
    void restartServesNewFolder();
    void eleventhConnectionRefused();

private:
    bool userOnline() const { return m_fixture->user("test")->online; }

    std::unique_ptr<ServerFixture> m_fixture;
};

void TestServerSession::init()
{
    m_fixture = std::make_unique<ServerFixture>();
    m_fixture->server->setLoginFailDelay(20);
    m_fixture->addUser("other", "secret");
    QVERIFY(m_fixture->start());
}

void TestServerSession::cleanup()
{
    m_fixture.reset();
}

void TestServerSession::conversations_data()
{
    QTest::addColumn<bool>("logIn");
    QTest::addColumn<QStringList>("steps");
    const QString login = " => 530 Please login with USER and PASS.";
    const QString wrong = " => 530 Login incorrect.";
    const QString unknown = " => 500 Unknown command.";
    const QString bad = " => 501 Error parameter.";
    const QString user = "USER test => 331 Please specify the password.";
    // A refused PASV leaves nothing waiting behind the login.
    QTest::newRow("before login") << false << QStringList{
        "PWD" + login, "LIST" + login, "RETR x" + login, "PASV" + login, "EPSV" + login,
        "XYZZY" + unknown, "SYST => 215 UNIX Type:L8", "OPTS UTF8 ON => 200 Always in UTF8 mode.",
        "FEAT => 211-Features:\n EPSV\n MDTM\n PASV\n REST STREAM\n SIZE\n UTF8\n211 End", user,
        "PASS 581247 => 230 Login successful.", "PWD => 257 \"/\""};
    QTest::newRow("quit before login") << false << QStringList{"QUIT => 221 Goodbyg.", "closed"};
    QTest::newRow("third failed password closes") << false << QStringList{
        user, "PASS one" + wrong, "PASS two" + wrong, "NOOP => 200...", "PASS 581247x" + wrong,
        "closed"};
    // Another user's password guessed from a logged-in session counts all the same.
    QTest::newRow("guesses after login counted") << true << QStringList{
        "USER other => 331...", "PASS guess1" + wrong, "PASS guess2" + wrong, "PASS guess3" + wrong,
        "closed"};
    // Lines sent together, some during the delay after a failed login, answered in turn.
    QTest::newRow("pipelined") << false << QStringList{
        "USER test", "PASS bad", "PASS 581247", "PWD", "=> 331...", "=> 530 Login incorrect.",
        "=> 230 Login successful.", "=> 257 \"/\""};
    // Whole command words only; a NUL inside a line is refused, not cut there; 4096 bytes
    // before CR LF are a line, one more is refused.
    QTest::newRow("logged in") << true << QStringList{
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
    QTest::newRow("quit") << true << QStringList{"QUIT => 221 Goodbyg.", "closed"};
}

void TestServerSession::conversations()
{
    QFETCH(bool, logIn);
    QFETCH(QStringList, steps);
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
    QVERIFY(probe.connectAndGreet(m_fixture->port()));
    // FTP clients such as lftp take a bare line feed for part of a line.
    QCOMPARE(probe.lastRaw, QByteArray("220 Welcome to FTP Torvex service.\r\n"));
    QVERIFY(probe.login("test", "581247"));
    KTFtpClient* session = m_fixture->server->clients.first();
    probe.send("NO");
    QTRY_COMPARE(session->inputBuffer, QByteArray("NO"));
    probe.send("OP\r");
    QTRY_COMPARE(session->inputBuffer, QByteArray("NOOP\r"));
    QVERIFY(!probe.hasLine());
    probe.send("\nPW");
    QCOMPARE(probe.readLine(), QStringLiteral("200 NOOP ok."));
    probe.send("D\r\n");
    QCOMPARE(probe.readLine(), QStringLiteral("257 \"/\""));
    // A character cut between two reads.
    const QByteArray name = QStringLiteral("Grüße").toUtf8();
    const int cut = name.indexOf('\xc3') + 1;
    probe.send("MKD " + name.left(cut));
    QTRY_COMPARE(session->inputBuffer.size(), 4 + cut);
    probe.send(name.mid(cut) + "\r\n");
    QCOMPARE(probe.readLine(), QStringLiteral("257 \"/Grüße\" created."));
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

void TestServerSession::onlineFollowsSessions()
{
    QSignalSpy loggedOut(m_fixture->server.get(), &KTFtpServer::userLoggedOut);
    ServerProbe first;
    ServerProbe second;
    QVERIFY(first.connectAndLogIn(m_fixture->port()));
    QVERIFY(second.connectAndLogIn(m_fixture->port()));
    // One session gone without QUIT: the other keeps the user online.
    second.socket.abort();
    QTRY_COMPARE(loggedOut.count(), 1);
    QVERIFY(userOnline());
    // Nor does a stranger's wrong password, which is answered late.
    m_fixture->server->setLoginFailDelay(200);
    ServerProbe stranger;
    QVERIFY(stranger.connectAndGreet(m_fixture->port()));
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(stranger.play({"USER test => 331...", "PASS guess => 530 Login incorrect."}),
             QString());
    QVERIFY(timer.elapsed() >= 150);
    QVERIFY(userOnline());
    first.socket.abort();
    QTRY_VERIFY(!userOnline());
}

void TestServerSession::timeouts()
{
    // Connections that trickle a byte now and then without logging in lose their slot; those
    // logged in stay until they idle. Short time-outs only once both sessions stand, so a slow
    // machine cannot run into them early.
    ServerProbe idler;
    ServerProbe trickler;
    QVERIFY(idler.connectAndLogIn(m_fixture->port()));
    QVERIFY(trickler.connectAndGreet(m_fixture->port()));
    for (KTFtpClient* session : qAsConst(m_fixture->server->clients))
        session->setLoginTimeout(200);
    trickler.send("N");
    QCOMPARE(trickler.play({"=> 421 Login timeout.", "closed"}), QString());
    QTRY_COMPARE(m_fixture->server->clients.size(), 1);
    m_fixture->server->clients.first()->setIdleTimeout(500);
    QCOMPARE(idler.play({"NOOP => 200 NOOP ok.", "=> 421 Timeout.", "closed"}), QString());
    QTRY_VERIFY(!userOnline());
}

void TestServerSession::restartServesNewFolder()
{
    // A restart on another folder ends the sessions and serves the new folder.
    KTFtpServer* server = m_fixture->server.get();
    ServerProbe before;
    QVERIFY(before.connectAndLogIn(server->serverPort()));
    const QString other = m_fixture->dir.filePath("other");
    QVERIFY(QDir().mkpath(other + "/only-here"));
    QVERIFY(server->start(0, other, QHostAddress(QHostAddress::LocalHost)));
    QVERIFY(before.waitClosed());
    QVERIFY(!userOnline());
    ServerProbe again;
    QVERIFY(again.connectAndLogIn(server->serverPort()));
    QCOMPARE(again.command("CWD only-here"), QStringLiteral("250 Directory changed successfully!"));
}

void TestServerSession::eleventhConnectionRefused()
{
    std::vector<std::unique_ptr<ServerProbe>> probes;
    for (int i = 0; i < 10; ++i) {
        probes.push_back(std::make_unique<ServerProbe>());
        QVERIFY(probes.back()->connectAndGreet(m_fixture->port()));
    }
    // The eleventh is closed without a word; the ten keep working.
    ServerProbe eleventh;
    QVERIFY(eleventh.connectTo(m_fixture->port()));
    QVERIFY(eleventh.waitClosed());
    QVERIFY(eleventh.received.isEmpty());
    for (auto& earlier : probes)
        QCOMPARE(earlier->command("NOOP"), QStringLiteral("200 NOOP ok."));
    // A place freed is a place to take.
    probes.front()->socket.abort();
    QTRY_COMPARE(m_fixture->server->clients.size(), 9);
    ServerProbe next;
    QVERIFY(next.connectAndGreet(m_fixture->port()));
}


QTEST_GUILESS_MAIN(TestServerSession)
#include "tst_serversession.moc"
