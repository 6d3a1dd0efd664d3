#include "engine/ftpclient.h"
#include "settings/fbdata.h"
#include "support/scriptedftpserver.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

using Answer = ScriptedFtpServer::Answer;

namespace {

const int Wait = 5000;

QStringList commandWords(const QStringList& commands)
{
    QStringList words;
    for (const QString& line : commands)
        words << line.section(QLatin1Char(' '), 0, 0);
    return words;
}

QByteArray listingLines(int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += "-rw-r--r-- 1 user group " + QByteArray::number(i) + " Jan 01 12:00 file number "
                + QByteArray::number(i) + "\r\n";
    return text;
}

} // namespace

class TestEngineChannel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void logsInWithUserAndPass();
    void writesNothingBeforeTheGreeting();
    void multiLineRepliesGiveOneLogin();
    void repliesSplitIntoSmallReads();
    void userAnsweredWith230SkipsPassword();
    void refusedUserSendsNoPassword();
    void unsolicitedLineDoesNotRepeatLogin();
    void folderChangesAndCurrentFolder();
    void listingWith125AndReplyBeforeData();
    void refusedListingLetsQueueMoveOn();
    void passiveAddressIsIgnored();
    void malformedPassiveOpensNothing();
    void refusedPassiveIsAnAnswer();
    void unknownCodecFallsBackToUtf8();
    void lineBreakInCommandNeverReachesWire();
    void refusedConnectionReportsLoginFailure();
    void hostNameIsResolved();
    void silentGreetingTimesOut();
    void silentServerTimesOutAndLogsOut();
    void endlessLineIsCutOff();
    void quitLogsOutAndResetsStore();
    void disconnectWhileClosedEmitsNothing();

private:
    bool login(const QString& host = QStringLiteral("127.0.0.1"));

    ScriptedFtpServer* server = nullptr;
    FTPClient* client = nullptr;
};

void TestEngineChannel::init()
{
    server = new ScriptedFtpServer(this);
    QVERIFY(server->listen());
    client = new FTPClient(this);
}

void TestEngineChannel::cleanup()
{
    delete client;
    delete server;
    client = nullptr;
    server = nullptr;
}

bool TestEngineChannel::login(const QString& host)
{
    QSignalSpy logins(client, &FTPClient::login);
    client->connectServer(host, server->port(), QStringLiteral("test"), QStringLiteral("secret"));
    if (!logins.wait(Wait) && logins.isEmpty())
        return false;
    return logins.first().first().toBool();
}

void TestEngineChannel::logsInWithUserAndPass()
{
    QSignalSpy results(client, &FTPClient::commandResult);
    QVERIFY(login());
    QVERIFY(client->isLoggedIn());
    QVERIFY(client->isConnected());
    QCOMPARE(server->commands(), QStringList({"USER test", "PASS secret"}));
    QCOMPARE(results.count(), 3);  // greeting, 331, 230
    QCOMPARE(results.at(1).at(0).toString(), QStringLiteral("USER test"));
    QTRY_VERIFY(!client->isBusy());
}

void TestEngineChannel::writesNothingBeforeTheGreeting()
{
    server->setGreeting(QByteArray());
    QSignalSpy logins(client, &FTPClient::login);
    client->connectServer(QStringLiteral("127.0.0.1"), server->port(), QStringLiteral("u"), QStringLiteral("p"));
    client->sendCommand(QStringLiteral("SYST"));
    QTRY_COMPARE_WITH_TIMEOUT(server->connectionCount(), 1, Wait);
    QTest::qWait(100);  // give a wrongly eager client the chance to write
    QVERIFY(server->commands().isEmpty());
    server->sendRaw("220 late hello\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(server->commands().size(), 3, Wait);
    QCOMPARE(commandWords(server->commands()), QStringList({"USER", "PASS", "SYST"}));
    QCOMPARE(logins.count(), 1);
}

void TestEngineChannel::multiLineRepliesGiveOneLogin()
{
    server->setGreeting("220-Welcome to a chatty server\r\n220-Second line\r\n220 Ready\r\n");
    server->setReply(QStringLiteral("PASS"), "230-Welcome back\r\n 230 lookalike text\r\n230 Logged in\r\n");
    QSignalSpy logins(client, &FTPClient::login);
    QSignalSpy results(client, &FTPClient::commandResult);
    client->connectServer(QStringLiteral("127.0.0.1"), server->port(), QStringLiteral("u"), QStringLiteral("p"));
    QVERIFY(logins.wait(Wait));
    client->sendCommand(QStringLiteral("NOOP"));
    QTRY_VERIFY_WITH_TIMEOUT(!client->isBusy(), Wait);
    QCOMPARE(logins.count(), 1);
    QVERIFY(logins.first().first().toBool());
    QCOMPARE(commandWords(server->commands()), QStringList({"USER", "PASS", "NOOP"}));
    QCOMPARE(results.count(), 3 + 1 + 3 + 1);  // every line is still reported
    QCOMPARE(results.at(5).at(0).toString(), QStringLiteral("PASS p"));
}

void TestEngineChannel::repliesSplitIntoSmallReads()
{
    server->setChunkSize(2);
    server->setGreeting("220-multi\r\n220 line greeting\r\n");
    QVERIFY(login());
    QSignalSpy dirs(client, &FTPClient::currentDir);
    client->printDir();
    QVERIFY(dirs.wait(Wait));
    QCOMPARE(dirs.first().first().toString(), QStringLiteral("/"));
}

void TestEngineChannel::userAnsweredWith230SkipsPassword()
{
    server->setReply(QStringLiteral("USER"), "230 No password needed.\r\n");
    QSignalSpy logins(client, &FTPClient::login);
    client->connectServer(QStringLiteral("127.0.0.1"), server->port(), QStringLiteral("u"), QStringLiteral("p"));
    QVERIFY(logins.wait(Wait));
    client->sendCommand(QStringLiteral("NOOP"));
    QTRY_VERIFY_WITH_TIMEOUT(!client->isBusy(), Wait);
    QCOMPARE(logins.count(), 1);
    QVERIFY(logins.first().first().toBool());
    QCOMPARE(server->commands(), QStringList({"USER u", "NOOP"}));
}

void TestEngineChannel::refusedUserSendsNoPassword()
{
    server->setReply(QStringLiteral("USER"), "530 Not allowed.\r\n");
    QSignalSpy logins(client, &FTPClient::login);
    client->connectServer(QStringLiteral("127.0.0.1"), server->port(), QStringLiteral("u"), QStringLiteral("p"));
    QVERIFY(logins.wait(Wait));
    QVERIFY(!logins.first().first().toBool());
    QTRY_VERIFY_WITH_TIMEOUT(!client->isBusy(), Wait);
    QCOMPARE(server->commands(), QStringList({"USER u"}));
    QCOMPARE(logins.count(), 1);
}

void TestEngineChannel::unsolicitedLineDoesNotRepeatLogin()
{
    QVERIFY(login());
    QSignalSpy logins(client, &FTPClient::login);
    QSignalSpy results(client, &FTPClient::commandResult);
    server->sendRaw("230 Stray line\r\n");
    QVERIFY(results.wait(Wait));
    QCOMPARE(results.first().at(0).toString(), QStringLiteral("PASS secret"));
    QCOMPARE(logins.count(), 0);
}

void TestEngineChannel::folderChangesAndCurrentFolder()
{
    Answer refused;
    refused.reply = "550 No such folder.\r\n";
    server->addAnswer(QStringLiteral("CWD /missing"), refused);
    server->setReply(QStringLiteral("PWD"), "257 \"/pub/my \"\"quoted\"\" dir\" is current.\r\n");
    QVERIFY(login());
    QSignalSpy changes(client, &FTPClient::changDir);
    QSignalSpy dirs(client, &FTPClient::currentDir);

    client->changeDir(QStringLiteral("/pub"));
    QVERIFY(changes.wait(Wait));
    QVERIFY(changes.last().first().toBool());
    QCOMPARE(client->currentRemoteDir(), QStringLiteral("/pub"));

    const int before = server->commands().size();
    client->changeDir(QStringLiteral("/pub"));  // already there: nothing is sent
    client->changeDir(QStringLiteral("/missing"));
    QVERIFY(changes.wait(Wait));
    QVERIFY(!changes.last().first().toBool());
    QCOMPARE(server->commands().mid(before), QStringList({"CWD /missing"}));
    QCOMPARE(client->currentRemoteDir(), QStringLiteral("/pub"));

    client->printDir();
    QVERIFY(dirs.wait(Wait));
    QCOMPARE(dirs.first().first().toString(), QStringLiteral("/pub/my \"quoted\" dir"));
}

// On loopback the 226 often arrives before the last data bytes; nothing may be cut.
void TestEngineChannel::listingWith125AndReplyBeforeData()
{
    Answer list;
    list.preliminary = "125 Data connection already open.\r\n";
    list.data = listingLines(3000);
    list.replyBeforeData = true;
    list.dataDelayMs = 150;
    server->addAnswer(QStringLiteral("LIST"), list);
    QVERIFY(login());
    QSignalSpy listings(client, &FTPClient::currentDirData);
    client->listDir();
    client->printDir();
    QVERIFY(listings.wait(Wait));
    const QString text = listings.first().first().toString();
    QCOMPARE(text.toUtf8(), list.data);
    QVERIFY(!listings.first().at(1).toBool());
    QCOMPARE(FTPClient::parseList(text).size(), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!client->isBusy(), Wait);
    QCOMPARE(commandWords(server->commands()).mid(2), QStringList({"TYPE", "PASV", "LIST", "PWD"}));
    QCOMPARE(listings.count(), 1);
}

void TestEngineChannel::refusedListingLetsQueueMoveOn()
{
    server->setReply(QStringLiteral("LIST"), "550 Permission denied.\r\n");
    QVERIFY(login());
    QSignalSpy listings(client, &FTPClient::currentDirData);
    QSignalSpy dirs(client, &FTPClient::currentDir);
    client->listDir();
    client->printDir();
    QVERIFY(dirs.wait(Wait));
    QCOMPARE(listings.count(), 0);
    QVERIFY(!client->isBusy());
}

// SECURITY: a server must not be able to send our data connection to another host.
void TestEngineChannel::passiveAddressIsIgnored()
{
    server->setReply(QStringLiteral("PASV"), "227 Entering Passive Mode (127,0,0,2,{p1},{p2}).\r\n");
    Answer list;
    list.data = listingLines(2);
    server->addAnswer(QStringLiteral("LIST"), list);
    QVERIFY(login());
    QSignalSpy listings(client, &FTPClient::currentDirData);
    client->listDir();
    // The data listener is bound to 127.0.0.1 only: the listing arrives only if the engine
    // went to the control connection's peer instead of the announced 127.0.0.2.
    QVERIFY(listings.wait(Wait));
    QCOMPARE(listings.first().first().toString().toUtf8(), list.data);
}

void TestEngineChannel::malformedPassiveOpensNothing()
{
    server->setReply(QStringLiteral("PASV"), "227 Entering Passive Mode (127,0,0,1,300,1).\r\n");
    server->setReply(QStringLiteral("LIST"), "425 Use PASV first.\r\n");
    QVERIFY(login());
    QSignalSpy dirs(client, &FTPClient::currentDir);
    client->listDir();
    client->printDir();
    QVERIFY(dirs.wait(Wait));
    QCOMPARE(client->dataSocket->state(), QAbstractSocket::UnconnectedState);
}

// A 425 also ends cut transfers, but as the answer to PASV it is that command's own reply.
void TestEngineChannel::refusedPassiveIsAnAnswer()
{
    server->setReply(QStringLiteral("PASV"), "425 Can't open passive connection.\r\n");
    server->setReply(QStringLiteral("LIST"), "425 Use PASV first.\r\n");
    QVERIFY(login());
    QSignalSpy dirs(client, &FTPClient::currentDir);
    client->listDir();
    client->printDir();
    QVERIFY(dirs.wait(Wait));
    QCOMPARE(commandWords(server->commands()).mid(2), QStringList({"TYPE", "PASV", "LIST", "PWD"}));
}

void TestEngineChannel::unknownCodecFallsBackToUtf8()
{
    Answer list;
    list.data = QStringLiteral("-rw-r--r-- 1 u g 1 Jan 01 12:00 \u00fcber.txt\r\n").toUtf8();
    server->addAnswer(QStringLiteral("LIST"), list);
    QVERIFY(login());
    client->setCodecName(QStringLiteral("NoSuchCodec-42"));
    QSignalSpy listings(client, &FTPClient::currentDirData);
    client->listDir();
    QVERIFY(listings.wait(Wait));
    const FTPClient::Rows rows = FTPClient::parseList(listings.first().first().toString());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().at(6), QStringLiteral("\u00fcber.txt"));
}

// SECURITY: a name holding a line break must not smuggle a second command to the server.
void TestEngineChannel::lineBreakInCommandNeverReachesWire()
{
    QVERIFY(login());
    QSignalSpy results(client, &FTPClient::commandResult);
    QSignalSpy dirs(client, &FTPClient::currentDir);
    client->sendCommand(QStringLiteral("DELE a\r\nDELE precious"));
    client->sendCommand(QString("DELE b") + QChar(0) + "x");
    client->printDir();
    QVERIFY(dirs.wait(Wait));
    QCOMPARE(commandWords(server->commands()).mid(2), QStringList({"PWD"}));
    QVERIFY(results.count() >= 3);
    QVERIFY(results.at(0).at(1).toString().startsWith(QLatin1String("501")));
    QVERIFY(!results.at(0).at(0).toString().contains(QLatin1Char('\n')));
}

void TestEngineChannel::refusedConnectionReportsLoginFailure()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    const quint16 closedPort = probe.serverPort();
    probe.close();
    QSignalSpy logins(client, &FTPClient::login);
    QSignalSpy results(client, &FTPClient::commandResult);
    client->connectServer(QStringLiteral("127.0.0.1"), closedPort, QStringLiteral("u"), QStringLiteral("p"));
    QVERIFY(logins.wait(Wait));
    QVERIFY(!logins.first().first().toBool());
    QVERIFY(client->isClosed());
    QVERIFY(!client->isBusy());
    QVERIFY(!results.isEmpty());
    QCOMPARE(logins.count(), 1);
}

void TestEngineChannel::hostNameIsResolved()
{
    QVERIFY(login(QStringLiteral("localhost")));
    QCOMPARE(client->host(), QStringLiteral("localhost"));
}

void TestEngineChannel::silentGreetingTimesOut()
{
    server->setGreeting(QByteArray());
    client->setGreetingTimeout(300);
    QSignalSpy logins(client, &FTPClient::login);
    client->connectServer(QStringLiteral("127.0.0.1"), server->port(), QStringLiteral("u"), QStringLiteral("p"));
    QVERIFY(logins.wait(Wait));
    QVERIFY(!logins.first().first().toBool());
    QVERIFY(client->isClosed());
    QVERIFY(!client->isBusy());
    server->sendRaw("220 too late\r\n");
    QTest::qWait(100);
    QVERIFY(server->commands().isEmpty());
    QCOMPARE(logins.count(), 1);
}

void TestEngineChannel::silentServerTimesOutAndLogsOut()
{
    Answer silent;
    silent.silent = true;
    server->addAnswer(QStringLiteral("PWD"), silent);
    QVERIFY(login());
    client->setReplyTimeout(300);
    QSignalSpy logouts(client, &FTPClient::logout);
    client->printDir();
    QVERIFY(logouts.wait(Wait));
    QVERIFY(client->isClosed());
    QVERIFY(!client->isBusy());
    QTest::qWait(50);
    QCOMPARE(logouts.count(), 1);
}

void TestEngineChannel::endlessLineIsCutOff()
{
    QVERIFY(login());
    QSignalSpy logouts(client, &FTPClient::logout);
    const QByteArray junk(16 * 1024, 'x');
    for (int i = 0; i < 8 && logouts.isEmpty(); ++i) {
        server->sendRaw(junk);
        QTest::qWait(20);
    }
    QTRY_COMPARE_WITH_TIMEOUT(logouts.count(), 1, Wait);
    QVERIFY(client->isClosed());
}

void TestEngineChannel::quitLogsOutAndResetsStore()
{
    QTemporaryDir dir;
    FBData store(dir.path(), nullptr);
    store.users();
    store.setUserOnline(QStringLiteral("test"), true);
    client->setDataStore(&store);
    QVERIFY(login());
    QSignalSpy logouts(client, &FTPClient::logout);
    client->disconnectServer();
    QVERIFY(logouts.wait(Wait));
    QCOMPARE(server->commands().last(), QStringLiteral("QUIT"));
    QVERIFY(!store.userList.first()->online);
    QVERIFY(!client->isLoggedIn());
    client->setDataStore(nullptr);
}

void TestEngineChannel::disconnectWhileClosedEmitsNothing()
{
    QSignalSpy logouts(client, &FTPClient::logout);
    QSignalSpy logins(client, &FTPClient::login);
    client->disconnectServer();
    QTest::qWait(50);
    QCOMPARE(logouts.count(), 0);
    QCOMPARE(logins.count(), 0);
    QVERIFY(client->isClosed());
}

QTEST_GUILESS_MAIN(TestEngineChannel)
#include "tst_engine_channel.moc"
