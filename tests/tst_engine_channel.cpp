// The control channel against the scripted server: login, replies, folders, listings, time-outs.
#include "engine/ftpclient.h"
#include "settings/fbdata.h"
#include "support/ftppeers.h"
#include "support/scriptedftpserver.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const int Wait = 5000;

QStringList commandWords(const QStringList& commands)
{
    QStringList words;
    for (const QString& line : commands)
        words << line.section(QLatin1Char(' '), 0, 0);
    return words;
}

// Listing rows in script form, "\\n" for each line end.
QString listingLines(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("-rw-r--r-- 1 user group %1 Jan 01 12:00 file number %1\\n").arg(i);
    return text;
}

} // namespace

class TestEngineChannel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void loginConversation_data();
    void loginConversation();
    void writesNothingBeforeTheGreeting();
    void unsolicitedLineDoesNotRepeatLoginOnResolvedHost();
    void folderChangesAndCurrentFolder();
    void listingThenFolder_data();
    void listingThenFolder();
    void lineBreakInCommandNeverReachesWire();
    void loginFailureCloses_data();
    void loginFailureCloses();
    void misbehavingServerLogsOut_data();
    void misbehavingServerLogsOut();
    void quitLogsOutAndResetsStore();

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

// Each row scripts the server's side of a login, then asks for the current folder when logged
// in. wire lists the command words the server received; replies the command each reported reply
// line was taken for ("-": none, the greeting).
void TestEngineChannel::loginConversation_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("chunk");
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<QString>("wire");
    QTest::addColumn<QString>("replies");
    QTest::newRow("logsInWithUserAndPass") << "" << 0 << true << "USER PASS PWD" << "- USER PASS PWD";
    // Every line is still reported, and the look-alike inside does not end the reply.
    QTest::newRow("multiLineRepliesGiveOneLogin")
        << "GREETING => 220-Welcome to a chatty server\\n220-Second line\\n220 Ready"
           " | PASS => 230-Welcome back\\n 230 lookalike text\\n230 Logged in"
        << 0 << true << "USER PASS PWD" << "- - - USER PASS PASS PASS PWD";
    QTest::newRow("repliesSplitIntoSmallReads") << "GREETING => 220-multi\\n220 line greeting" << 2 << true
        << "USER PASS PWD" << "- - USER PASS PWD";
    QTest::newRow("userAnsweredWith230SkipsPassword") << "USER => 230 No password needed." << 0 << true
        << "USER PWD" << "- USER PWD";
    QTest::newRow("refusedUserSendsNoPassword") << "USER => 530 Not allowed." << 0 << false << "USER" << "- USER";
}

void TestEngineChannel::loginConversation()
{
    QFETCH(QString, script);
    QFETCH(int, chunk);
    QFETCH(bool, loggedIn);
    QFETCH(QString, wire);
    QFETCH(QString, replies);
    QVERIFY(server->addScript(script));
    server->setChunkSize(chunk);
    QSignalSpy logins(client, &FTPClient::login);
    QSignalSpy results(client, &FTPClient::commandResult);
    QSignalSpy dirs(client, &FTPClient::currentDir);
    QCOMPARE(login(), loggedIn);
    if (loggedIn) {
        client->printDir();
        QVERIFY(dirs.wait(Wait));
        QCOMPARE(dirs.first().first().toString(), QStringLiteral("/"));
    }
    QTRY_VERIFY_WITH_TIMEOUT(!client->isBusy(), Wait);
    QCOMPARE(logins.count(), 1);
    QCOMPARE(client->isLoggedIn(), loggedIn);
    QCOMPARE(commandWords(server->commands()).join(QLatin1Char(' ')), wire);
    QStringList takenFor;
    for (const QList<QVariant>& result : results)
        takenFor << (result.first().toString().isEmpty() ? QStringLiteral("-") : result.first().toString().section(QLatin1Char(' '), 0, 0));
    QCOMPARE(takenFor.join(QLatin1Char(' ')), replies);
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

void TestEngineChannel::unsolicitedLineDoesNotRepeatLoginOnResolvedHost()
{
    QVERIFY(login(QStringLiteral("localhost")));
    QCOMPARE(client->host(), QStringLiteral("localhost"));
    QSignalSpy logins(client, &FTPClient::login);
    QSignalSpy results(client, &FTPClient::commandResult);
    server->sendRaw("230 Stray line\r\n");
    QVERIFY(results.wait(Wait));
    QCOMPARE(results.first().at(0).toString(), QStringLiteral("PASS secret"));
    QCOMPARE(logins.count(), 0);
}

void TestEngineChannel::folderChangesAndCurrentFolder()
{
    QVERIFY(server->addScript(QStringLiteral("CWD /missing => 550 No such folder. | PWD => 257 \"/pub/my \"\"quoted\"\" dir\" is current.")));
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

// A listing, then the current folder: the queue always moves on to PWD, the listing arrives
// whole or not at all, and the data connection only ever goes to the control connection's peer.
void TestEngineChannel::listingThenFolder_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<int>("entries");  // -1: no listing arrives
    QTest::addColumn<QString>("firstName");
    // On loopback the 226 often arrives before the last data bytes; nothing may be cut.
    QTest::newRow("listingWith125AndReplyBeforeData")
        << "LIST => [pre=125 Data connection already open.][before][datadelay=150][data=" + listingLines(3000) + "]"
        << "" << 3000 << "file number 0";
    QTest::newRow("refusedListingLetsQueueMoveOn") << "LIST => 550 Permission denied." << "" << -1 << "";
    // SECURITY: the data listener is bound to 127.0.0.1 only: the listing arrives only if the
    // engine went to the control connection's peer instead of the announced 127.0.0.2.
    QTest::newRow("passiveAddressIsIgnored")
        << "PASV => 227 Entering Passive Mode (127,0,0,2,{p1},{p2}). | LIST => [data=" + listingLines(2) + "]"
        << "" << 2 << "file number 0";
    QTest::newRow("malformedPassiveOpensNothing")
        << "PASV => 227 Entering Passive Mode (127,0,0,1,300,1). | LIST => 425 Use PASV first." << "" << -1 << "";
    // A 425 also ends cut transfers, but as the answer to PASV it is that command's own reply.
    QTest::newRow("refusedPassiveIsAnAnswer")
        << "PASV => 425 Can't open passive connection. | LIST => 425 Use PASV first." << "" << -1 << "";
    QTest::newRow("unknownCodecFallsBackToUtf8")
        << QStringLiteral("LIST => [data=-rw-r--r-- 1 u g 1 Jan 01 12:00 \u00fcber.txt\\n]") << "NoSuchCodec-42" << 1
        << QStringLiteral("\u00fcber.txt");
}

void TestEngineChannel::listingThenFolder()
{
    QFETCH(QString, script);
    QFETCH(QString, codec);
    QFETCH(int, entries);
    QFETCH(QString, firstName);
    QVERIFY(server->addScript(script));
    QVERIFY(login());
    if (!codec.isEmpty())
        client->setCodecName(codec);
    QSignalSpy listings(client, &FTPClient::currentDirData);
    QSignalSpy dirs(client, &FTPClient::currentDir);
    client->listDir();
    client->printDir();
    QVERIFY(dirs.wait(Wait));
    QTRY_VERIFY_WITH_TIMEOUT(!client->isBusy(), Wait);
    QCOMPARE(commandWords(server->commands()).mid(2), QStringList({"TYPE", "PASV", "LIST", "PWD"}));
    QCOMPARE(listings.count(), entries < 0 ? 0 : 1);
    QCOMPARE(client->dataSocket->state(), QAbstractSocket::UnconnectedState);
    if (entries < 0)
        return;
    QVERIFY(!listings.first().at(1).toBool());
    const FTPClient::Rows rows = FTPClient::parseList(listings.first().first().toString());
    QCOMPARE(rows.size(), entries);
    QCOMPARE(rows.first().at(6), firstName);
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

void TestEngineChannel::loginFailureCloses_data()
{
    QTest::addColumn<bool>("listening");
    QTest::newRow("refusedConnectionReportsLoginFailure") << false;
    QTest::newRow("silentGreetingTimesOut") << true;
}

// Either way the login fails once, with a reason, and a greeting that comes too late starts nothing.
void TestEngineChannel::loginFailureCloses()
{
    QFETCH(bool, listening);
    server->setGreeting(QByteArray());
    client->setGreetingTimeout(300);
    QSignalSpy logins(client, &FTPClient::login);
    QSignalSpy results(client, &FTPClient::commandResult);
    client->connectServer(QStringLiteral("127.0.0.1"), listening ? server->port() : freeLoopbackPort(),
                          QStringLiteral("u"), QStringLiteral("p"));
    QVERIFY(logins.wait(Wait));
    QVERIFY(!logins.first().first().toBool());
    QVERIFY(client->isClosed());
    QVERIFY(!client->isBusy());
    QVERIFY(!results.isEmpty());
    if (listening) {
        server->sendRaw("220 too late\r\n");
        QTest::qWait(100);
        QVERIFY(server->commands().isEmpty());
    }
    QCOMPARE(logins.count(), 1);
}

void TestEngineChannel::misbehavingServerLogsOut_data()
{
    QTest::addColumn<bool>("endlessLine");  // else: the server goes silent
    QTest::newRow("silentServerTimesOutAndLogsOut") << false;
    QTest::newRow("endlessLineIsCutOff") << true;
}

void TestEngineChannel::misbehavingServerLogsOut()
{
    QFETCH(bool, endlessLine);
    QVERIFY(server->addScript(QStringLiteral("PWD => [silent]")));
    QVERIFY(login());
    client->setReplyTimeout(300);
    QSignalSpy logouts(client, &FTPClient::logout);
    if (endlessLine) {
        for (int i = 0; i < 8 && logouts.isEmpty(); ++i) {
            server->sendRaw(QByteArray(16 * 1024, 'x'));
            QTest::qWait(20);
        }
    } else {
        client->printDir();
    }
    QTRY_COMPARE_WITH_TIMEOUT(logouts.count(), 1, Wait);
    QVERIFY(client->isClosed());
    QVERIFY(!client->isBusy());
    if (!endlessLine)
        QTest::qWait(50);  // a late time-out would log out twice
    QCOMPARE(logouts.count(), 1);
}

void TestEngineChannel::quitLogsOutAndResetsStore()
{
    QSignalSpy logouts(client, &FTPClient::logout);
    QSignalSpy logins(client, &FTPClient::login);
    client->disconnectServer();  // while closed: nothing to say, now or later
    QVERIFY(client->isClosed());
    QTemporaryDir dir;
    FBData store(dir.path(), nullptr);
    store.users();
    store.setUserOnline(QStringLiteral("test"), true);
    client->setDataStore(&store);
    QVERIFY(login());
    client->disconnectServer();
    QVERIFY(logouts.wait(Wait));
    QCOMPARE(logouts.count(), 1);
    QCOMPARE(logins.count(), 1);
    QCOMPARE(server->commands().last(), QStringLiteral("QUIT"));
    QVERIFY(!store.userList.first()->online);
    QVERIFY(!client->isLoggedIn());
    client->setDataStore(nullptr);
}

QTEST_GUILESS_MAIN(TestEngineChannel)
#include "tst_engine_channel.moc"
