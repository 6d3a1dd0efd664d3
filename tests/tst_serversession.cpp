// The control connection of the built-in server: greeting, login, line handling, time-outs and
// the connection limit, driven over 127.0.0.1 inside the test's own event loop.
#include "server/ktftpclient.h"
#include "support/serverprobe.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <memory>
#include <vector>

class TestServerSession : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void greetsWithCrLf();
    void commandsBeforeLogin_data();
    void commandsBeforeLogin();
    void quitBeforeLoginCloses();
    void loginTimesOut();
    void wrongPasswordsAfterLoginAreDelayedAndCounted();
    void wholeCommandWords_data();
    void wholeCommandWords();
    void loginMarksUserOnline();
    void usersLoadedWithoutTheDialog();
    void wrongPasswordAfterLoginKeepsSession();
    void thirdFailedPasswordCloses();
    void linesDuringLoginDelayWaitTheirTurn();
    void sessionEndWithoutQuitMarksOffline();
    void otherSessionKeepsUserOnline();
    void quitSaysGoodbye();
    void typeReplies_data();
    void typeReplies();
    void informationReplies_data();
    void informationReplies();
    void pipelinedCommandsAnsweredInOrder();
    void commandSplitAcrossReads();
    void characterSplitAcrossReads();
    void emptyLinesAreSkipped();
    void lineAtTheLimitIsAccepted();
    void overlongLineIsRefusedAndDropped();
    void endlessLineDisconnects();
    void idleSessionTimesOut();
    void eleventhConnectionRefused();
    void stopAllClosesEverySession();
    void restartServesNewFolder();
    void startRefusesMissingFolder();

private:
    std::unique_ptr<ServerFixture> m_fixture;
    std::unique_ptr<ServerProbe> m_probe;

    ServerProbe& probe() { return *m_probe; }
    bool loggedInProbe() { return probe().connectAndGreet(m_fixture->port())
                                  && probe().login("test", "581247"); }
};

void TestServerSession::init()
{
    m_fixture = std::make_unique<ServerFixture>();
    m_fixture->server->setLoginFailDelay(20);
    QVERIFY(m_fixture->start());
    m_probe = std::make_unique<ServerProbe>();
}

void TestServerSession::cleanup()
{
    m_probe.reset();
    m_fixture.reset();
}

void TestServerSession::greetsWithCrLf()
{
    QVERIFY(probe().connectTo(m_fixture->port()));
    QCOMPARE(probe().readLine(), QStringLiteral("220 Welcome to FTP Torvex service."));
    // FTP clients such as lftp take a bare line feed for part of a line.
    QCOMPARE(probe().lastRaw, QByteArray("220 Welcome to FTP Torvex service.\r\n"));
}

void TestServerSession::commandsBeforeLogin_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reply");
    const QString login = QStringLiteral("530 Please login with USER and PASS.");
    QTest::newRow("PWD") << "PWD" << login;
    QTest::newRow("LIST") << "LIST" << login;
    QTest::newRow("RETR") << "RETR x" << login;
    QTest::newRow("PASV") << "PASV" << login;
    QTest::newRow("EPSV") << "EPSV" << login;
    QTest::newRow("unknown") << "XYZZY" << "500 Unknown command.";
    QTest::newRow("SYST") << "SYST" << "215 UNIX Type:L8";
    QTest::newRow("NOOP") << "NOOP" << "200 NOOP ok.";
    QTest::newRow("OPTS") << "OPTS UTF8 ON" << "200 Always in UTF8 mode.";
    QTest::newRow("FEAT") << "FEAT"
                          << "211-Features:\n EPSV\n MDTM\n PASV\n REST STREAM\n SIZE\n UTF8\n"
                             "211 End";
}

void TestServerSession::commandsBeforeLogin()
{
    QFETCH(QString, line);
    QFETCH(QString, reply);
    QVERIFY(probe().connectAndGreet(m_fixture->port()));
    QCOMPARE(probe().command(line), reply);
    // A refused PASV left nothing waiting.
    QVERIFY(probe().login("test", "581247"));
    QCOMPARE(probe().command("PWD"), QStringLiteral("257 \"/\""));
}

void TestServerSession::quitBeforeLoginCloses()
{
    QVERIFY(probe().connectAndGreet(m_fixture->port()));
    QCOMPARE(probe().command("QUIT"), QStringLiteral("221 Goodbyg."));
    QVERIFY(probe().waitClosed());
    QTRY_VERIFY(m_fixture->server->clients.isEmpty());
}

void TestServerSession::loginTimesOut()
{
    // Connections that trickle a byte now and then without logging in lose their slot.
    m_fixture->server->setLoginTimeout(300);
    QVERIFY(probe().connectAndGreet(m_fixture->port()));
    ServerProbe loggedIn;
    QVERIFY(loggedIn.connectAndGreet(m_fixture->port()));
    QVERIFY(loggedIn.login("test", "581247"));
    probe().send("N");
    QCOMPARE(probe().readLine(2000), QStringLiteral("421 Login timeout."));
    QVERIFY(probe().waitClosed());
    // The session that logged in in time stays.
    QCOMPARE(loggedIn.command("NOOP"), QStringLiteral("200 NOOP ok."));
    QTRY_COMPARE(m_fixture->server->clients.size(), 1);
}

void TestServerSession::wrongPasswordsAfterLoginAreDelayedAndCounted()
{
    m_fixture->addUser("other", "secret");
    QVERIFY(loggedInProbe());
    m_fixture->server->clients.first()->setLoginFailDelay(200);
    QElapsedTimer timer;
    timer.start();
    probe().command("USER other");
    QCOMPARE(probe().command("PASS guess1"), QStringLiteral("530 Login incorrect."));
    QVERIFY(timer.elapsed() >= 150);
    QCOMPARE(probe().command("PASS guess2"), QStringLiteral("530 Login incorrect."));
    QCOMPARE(probe().command("PASS guess3"), QStringLiteral("530 Login incorrect."));
    QVERIFY(probe().waitClosed());
}

void TestServerSession::wholeCommandWords_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("reply");
    QTest::newRow("longer word") << QByteArray("QUITE") << "500 Unknown command.";
    QTest::newRow("glued argument") << QByteArray("SIZEXa.txt") << "500 Unknown command.";
    QTest::newRow("lower case") << QByteArray("noop") << "200 NOOP ok.";
    QTest::newRow("NUL in line") << QByteArray("SIZE a\0b", 8) << "501 Error parameter.";
}

void TestServerSession::wholeCommandWords()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, reply);
    QVERIFY(loggedInProbe());
    probe().send(line + "\r\n");
    QCOMPARE(probe().readReply(), reply);
    QVERIFY(probe().isOpen());
}

void TestServerSession::loginMarksUserOnline()
{
    QSignalSpy loggedIn(m_fixture->server.get(), &KTFtpServer::userLoggedIn);
    QVERIFY(loggedInProbe());
    QVERIFY(m_fixture->user("test"));
    QVERIFY(m_fixture->user("test")->online);
    QCOMPARE(loggedIn.count(), 1);
    QCOMPARE(loggedIn.at(0).at(0).toString(), QStringLiteral("test"));
}

void TestServerSession::usersLoadedWithoutTheDialog()
{
    // A store nobody has asked for its users yet: the server loads them when it starts.
    FBData store(m_fixture->dir.filePath("fresh"), nullptr);
    QVERIFY(store.userList.isEmpty());
    KTFtpServer server(&store);
    QVERIFY(server.start(0, m_fixture->rootPath(), QHostAddress(QHostAddress::LocalHost)));
    QVERIFY(probe().connectAndGreet(server.serverPort()));
    QVERIFY(probe().login("test", "581247"));
}

void TestServerSession::wrongPasswordAfterLoginKeepsSession()
{
    QVERIFY(loggedInProbe());
    QCOMPARE(probe().command("PASS wrong"), QStringLiteral("530 Login incorrect."));
    QCOMPARE(probe().command("PWD"), QStringLiteral("257 \"/\""));
    QVERIFY(m_fixture->user("test")->online);
}

void TestServerSession::thirdFailedPasswordCloses()
{
    QVERIFY(probe().connectAndGreet(m_fixture->port()));
    QCOMPARE(probe().command("USER test"), QStringLiteral("331 Please specify the password."));
    QCOMPARE(probe().command("PASS one"), QStringLiteral("530 Login incorrect."));
    QCOMPARE(probe().command("PASS two"), QStringLiteral("530 Login incorrect."));
    QVERIFY(probe().isOpen());
    QCOMPARE(probe().command("PASS 581247x"), QStringLiteral("530 Login incorrect."));
    QVERIFY(probe().waitClosed());
    QTRY_VERIFY(m_fixture->server->clients.isEmpty());
}

void TestServerSession::linesDuringLoginDelayWaitTheirTurn()
{
    QVERIFY(probe().connectAndGreet(m_fixture->port()));
    m_fixture->server->clients.first()->setLoginFailDelay(300);
    probe().send("USER test\r\nPASS bad\r\nPASS 581247\r\nPWD\r\n");
    QCOMPARE(probe().readLine(), QStringLiteral("331 Please specify the password."));
    QCOMPARE(probe().readLine(), QStringLiteral("530 Login incorrect."));
    QCOMPARE(probe().readLine(), QStringLiteral("230 Login successful."));
    QCOMPARE(probe().readLine(), QStringLiteral("257 \"/\""));
}

void TestServerSession::sessionEndWithoutQuitMarksOffline()
{
    QVERIFY(loggedInProbe());
    QVERIFY(m_fixture->user("test")->online);
    QSignalSpy loggedOut(m_fixture->server.get(), &KTFtpServer::userLoggedOut);
    probe().socket.abort();
    QTRY_COMPARE(loggedOut.count(), 1);
    QVERIFY(!m_fixture->user("test")->online);
    QTRY_VERIFY(m_fixture->server->clients.isEmpty());
}

void TestServerSession::otherSessionKeepsUserOnline()
{
    QVERIFY(loggedInProbe());
    ServerProbe second;
    QVERIFY(second.connectAndGreet(m_fixture->port()));
    QVERIFY(second.login("test", "581247"));
    QSignalSpy loggedOut(m_fixture->server.get(), &KTFtpServer::userLoggedOut);
    second.socket.abort();
    QTRY_COMPARE(loggedOut.count(), 1);
    QVERIFY(m_fixture->user("test")->online);
    // A wrong password from a stranger does not mark a user offline who is still logged in.
    ServerProbe stranger;
    QVERIFY(stranger.connectAndGreet(m_fixture->port()));
    stranger.command("USER test");
    QCOMPARE(stranger.command("PASS guess"), QStringLiteral("530 Login incorrect."));
    QVERIFY(m_fixture->user("test")->online);
    QCOMPARE(probe().command("QUIT"), QStringLiteral("221 Goodbyg."));
    QTRY_VERIFY(!m_fixture->user("test")->online);
}

void TestServerSession::quitSaysGoodbye()
{
    QVERIFY(loggedInProbe());
    QCOMPARE(probe().command("QUIT"), QStringLiteral("221 Goodbyg."));
    QVERIFY(probe().waitClosed());
    QVERIFY(!m_fixture->user("test")->online);
    QTRY_VERIFY(m_fixture->server->clients.isEmpty());
}

void TestServerSession::typeReplies_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reply");
    QTest::newRow("A") << "TYPE A" << "200 Switching to ASCII mode.";
    QTest::newRow("lower a") << "TYPE a" << "200 Switching to ASCII mode.";
    QTest::newRow("I") << "TYPE I" << "200 Switching to binary mode.";
    QTest::newRow("L 8") << "TYPE L 8" << "501 Error parameter.";
    QTest::newRow("none") << "TYPE" << "501 Error parameter.";
}

void TestServerSession::typeReplies()
{
    QFETCH(QString, line);
    QFETCH(QString, reply);
    QVERIFY(loggedInProbe());
    QCOMPARE(probe().command(line), reply);
}

void TestServerSession::informationReplies_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reply");
    QTest::newRow("SYST") << "SYST" << "215 UNIX Type:L8";
    QTest::newRow("NOOP") << "NOOP" << "200 NOOP ok.";
    QTest::newRow("unknown") << "MLSD" << "500 Unknown command.";
    QTest::newRow("MODE S") << "MODE S" << "200 Mode set to S.";
    QTest::newRow("MODE B") << "MODE B" << "504 Bad MODE command.";
    QTest::newRow("STRU F") << "STRU F" << "200 Structure set to F.";
    QTest::newRow("STRU R") << "STRU R" << "504 Bad STRU command.";
    QTest::newRow("ALLO") << "ALLO 1000" << "202 ALLO command ignored.";
    QTest::newRow("OPTS other") << "OPTS MLST type;" << "501 Option not understood.";
    QTest::newRow("ABOR idle") << "ABOR" << "225 No transfer to ABOR.";
    QTest::newRow("STAT idle") << "STAT" << "211 FTP Torvex status: logged in as test, no transfer "
                                            "running.";
    QTest::newRow("HELP") << "HELP"
                          << "214-The following commands are recognized.\n"
                             " USER PASS SYST FEAT PWD CWD CDUP TYPE PASV LIST\n"
                             " MDTM SIZE REST RETR STOR MKD DELE RMD RNFR RNTO\n"
                             " SITE NOOP HELP QUIT NLST APPE ABOR EPSV OPTS MODE\n"
                             " STRU ALLO STAT\n"
                             "214 Help OK.";
}

void TestServerSession::informationReplies()
{
    QFETCH(QString, line);
    QFETCH(QString, reply);
    QVERIFY(loggedInProbe());
    QCOMPARE(probe().command(line), reply);
}

void TestServerSession::pipelinedCommandsAnsweredInOrder()
{
    QVERIFY(probe().connectAndGreet(m_fixture->port()));
    probe().send("USER test\r\nPASS 581247\r\nPWD\r\nNOOP\r\nSYST\r\n");
    QCOMPARE(probe().readLine(), QStringLiteral("331 Please specify the password."));
    QCOMPARE(probe().readLine(), QStringLiteral("230 Login successful."));
    QCOMPARE(probe().readLine(), QStringLiteral("257 \"/\""));
    QCOMPARE(probe().readLine(), QStringLiteral("200 NOOP ok."));
    QCOMPARE(probe().readLine(), QStringLiteral("215 UNIX Type:L8"));
}

void TestServerSession::commandSplitAcrossReads()
{
    QVERIFY(loggedInProbe());
    KTFtpClient* session = m_fixture->server->clients.first();
    probe().send("NO");
    QTRY_COMPARE(session->inputBuffer, QByteArray("NO"));
    QVERIFY(!probe().hasLine());
    probe().send("OP\r");
    QTRY_COMPARE(session->inputBuffer, QByteArray("NOOP\r"));
    probe().send("\nPW");
    QCOMPARE(probe().readLine(), QStringLiteral("200 NOOP ok."));
    probe().send("D\r\n");
    QCOMPARE(probe().readLine(), QStringLiteral("257 \"/\""));
}

void TestServerSession::characterSplitAcrossReads()
{
    QVERIFY(loggedInProbe());
    KTFtpClient* session = m_fixture->server->clients.first();
    const QByteArray name = QStringLiteral("Grüße").toUtf8();
    const int cut = name.indexOf('\xc3') + 1; // inside the two bytes of "ü"
    probe().send("MKD " + name.left(cut));
    QTRY_COMPARE(session->inputBuffer.size(), 4 + cut);
    probe().send(name.mid(cut) + "\r\n");
    QCOMPARE(probe().readLine(), QStringLiteral("257 \"/Grüße\" created."));
    QVERIFY(QFileInfo(m_fixture->path("Grüße")).isDir());
}

void TestServerSession::emptyLinesAreSkipped()
{
    QVERIFY(loggedInProbe());
    probe().send("\r\n\n\r\nNOOP\r\n");
    QCOMPARE(probe().readLine(), QStringLiteral("200 NOOP ok."));
    QCOMPARE(probe().command("PWD"), QStringLiteral("257 \"/\""));
}

void TestServerSession::lineAtTheLimitIsAccepted()
{
    QVERIFY(loggedInProbe());
    // 4096 bytes before CR LF: "NOOP" and its blank, then padding.
    const QByteArray line = "NOOP " + QByteArray(4096 - 5, 'x');
    probe().send(line + "\r\n");
    QCOMPARE(probe().readLine(), QStringLiteral("200 NOOP ok."));
}

void TestServerSession::overlongLineIsRefusedAndDropped()
{
    QVERIFY(loggedInProbe());
    probe().send("NOOP " + QByteArray(4096 - 4, 'x') + "\r\n");
    QCOMPARE(probe().readLine(), QStringLiteral("500 Input line too long."));
    // Longer than the input buffer, and arriving in pieces: still one reply, then back to normal.
    probe().send("RETR " + QByteArray(20000, 'y'));
    probe().send(QByteArray(20000, 'y') + "\r\nPWD\r\n");
    QCOMPARE(probe().readLine(), QStringLiteral("500 Input line too long."));
    QCOMPARE(probe().readLine(), QStringLiteral("257 \"/\""));
    QVERIFY(m_fixture->server->clients.first()->inputBuffer.size() <= 2 * 4096);
}

void TestServerSession::endlessLineDisconnects()
{
    QVERIFY(loggedInProbe());
    KTFtpClient* session = m_fixture->server->clients.first();
    const QByteArray block(8192, 'z');
    // Bounded: 40 blocks are well past the limit; the session must be gone before.
    for (int i = 0; i < 40 && probe().isOpen(); ++i) {
        probe().send(block);
        QVERIFY(session->inputBuffer.size() <= 2 * 4096);
        QTest::qWait(1);
    }
    QVERIFY(probe().waitClosed());
    QVERIFY(probe().pending.startsWith("500 Input line too long.\r\n"));
    QTRY_VERIFY(m_fixture->server->clients.isEmpty());
}

void TestServerSession::idleSessionTimesOut()
{
    m_fixture->server->setIdleTimeout(100);
    QVERIFY(loggedInProbe());
    QCOMPARE(probe().readLine(), QStringLiteral("421 Timeout."));
    QVERIFY(probe().waitClosed());
    QTRY_VERIFY(!m_fixture->user("test")->online);
}

void TestServerSession::eleventhConnectionRefused()
{
    std::vector<std::unique_ptr<ServerProbe>> probes;
    for (int i = 0; i < 10; ++i) {
        probes.push_back(std::make_unique<ServerProbe>());
        QVERIFY(probes.back()->connectAndGreet(m_fixture->port()));
    }
    QCOMPARE(m_fixture->server->clients.size(), 10);
    ServerProbe eleventh;
    QVERIFY(eleventh.connectTo(m_fixture->port()));
    QVERIFY(eleventh.waitClosed());
    QVERIFY(eleventh.pending.isEmpty());
    for (auto& earlier : probes)
        QCOMPARE(earlier->command("NOOP"), QStringLiteral("200 NOOP ok."));
    // A place freed is a place to take.
    probes.front()->socket.abort();
    QTRY_COMPARE(m_fixture->server->clients.size(), 9);
    ServerProbe next;
    QVERIFY(next.connectAndGreet(m_fixture->port()));
}

void TestServerSession::stopAllClosesEverySession()
{
    QVERIFY(loggedInProbe());
    ServerProbe second;
    QVERIFY(second.connectAndGreet(m_fixture->port()));
    const quint16 port = m_fixture->port();
    QVERIFY(m_fixture->server->stopAll());
    QVERIFY(m_fixture->server->clients.isEmpty());
    QVERIFY(!m_fixture->server->isListening());
    QVERIFY(probe().waitClosed());
    QVERIFY(second.waitClosed());
    QVERIFY(!m_fixture->user("test")->online);
    ServerProbe late;
    late.socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    QVERIFY(late.waitClosed());
}

void TestServerSession::restartServesNewFolder()
{
    QVERIFY(loggedInProbe());
    const QString other = m_fixture->dir.filePath("other");
    QVERIFY(QDir().mkpath(other + "/only-here"));
    QVERIFY(m_fixture->server->start(0, other, QHostAddress(QHostAddress::LocalHost)));
    QVERIFY(probe().waitClosed());
    ServerProbe again;
    QVERIFY(again.connectAndGreet(m_fixture->port()));
    QVERIFY(again.login("test", "581247"));
    QCOMPARE(again.command("CWD only-here"), QStringLiteral("250 Directory changed successfully!"));
}

void TestServerSession::startRefusesMissingFolder()
{
    QVERIFY(!m_fixture->server->start(0, m_fixture->dir.filePath("missing"),
                                      QHostAddress(QHostAddress::LocalHost)));
    QVERIFY(!m_fixture->server->isListening());
    QVERIFY(!m_fixture->server->errorString().isEmpty());
}

QTEST_GUILESS_MAIN(TestServerSession)
#include "tst_serversession.moc"
