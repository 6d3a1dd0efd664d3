// The Sites dialog, the remote folder chooser, the server dialog, the raw command dialog and the
// authorised-directory dialog, driven through their widgets against our own server on 127.0.0.1.

#include "common/helpers.h"
#include "dialogs/authorizedirectory.h"
#include "dialogs/ftpcommanddlg.h"
#include "engine/ftpclient.h"
#include "server/ktftpserver.h"
#include "server/startftpdialog.h"
#include "settings/fbdata.h"
#include "sites/backuptoftpdialog.h"
#include "sites/serverdirtree.h"
#include "support/ftppeers.h"
#include "support/modalanswerer.h"
#include "support/scriptedftpserver.h"
#include "support/serverprobe.h"
#include "support/widgetdriver.h"

#include <QComboBox>
#include <QDir>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

namespace {

const char testPassword[] = "581247";

QStringList childNames(QTreeWidgetItem* item)
{
    QStringList names;
    for (int i = 0; item && i < item->childCount(); ++i)
        names.append(item->child(i)->text(0));
    return names;
}

QTreeWidgetItem* findItem(QTreeWidget* tree, const QString& path)
{
    QTreeWidgetItem* item = tree->topLevelItem(0);
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; item && i < item->childCount(); ++i) {
            if (item->child(i)->text(0) == part)
                next = item->child(i);
        }
        item = next;
    }
    return item;
}

ServerInfo* addSite(FBData& store, const QString& name, quint16 port, const QString& password)
{
    auto* site = new ServerInfo(&store);
    site->serverName = name;
    site->ip = QStringLiteral("127.0.0.1");
    site->port = port;
    site->userName = QStringLiteral("test");
    site->password = password;
    site->codec = QStringLiteral("UTF-8");
    site->clientPath = QDir::tempPath();
    site->serverPath = QStringLiteral("/");
    store.sites.insert(site->id, site);
    return site;
}

} // namespace

class TestDialogsSites : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void sitesOfferTestSiteThenAddEditRemove();
    void sitesConnect_data();
    void sitesConnect();
    void sitesConnectToLoggedInHostSendsNothing();
    void sitesOneMessagePerAttempt();
    void sitesOkSelectsRowSite();
    void sitesCodecReachesListings();

    void chooserListsLazilyAndMakesFolders();
    void chooserSelect_data();
    void chooserSelect();

    void serverDialogStart_data();
    void serverDialogStart();
    void serverDialogDefaultsAndUsers();

    void commandDialogShowsWholeReplies();

    void authorizeAlwaysFails();

private:
    void logIn();
    std::unique_ptr<ServerFixture> fixture;
    std::unique_ptr<QTemporaryDir> configDir;
    std::unique_ptr<FBData> store;
    std::unique_ptr<FTPClient> client;
    std::unique_ptr<ModalAnswerer> answerer;
    // The built-in server of the process keeps the store it was made with for the whole run.
    QTemporaryDir serverConfigDir;
    std::unique_ptr<FBData> serverStore;
};

void TestDialogsSites::initTestCase()
{
    serverStore = std::make_unique<FBData>(serverConfigDir.path(), nullptr);
}

void TestDialogsSites::init()
{
    fixture = std::make_unique<ServerFixture>();
    QVERIFY(fixture->start());
    QDir(fixture->rootPath()).mkpath(QStringLiteral("a/b/deep"));
    QDir(fixture->rootPath()).mkpath(QStringLiteral("a/c"));
    QDir(fixture->rootPath()).mkpath(QStringLiteral("z"));
    QFile(fixture->path(QStringLiteral("file.txt"))).open(QIODevice::WriteOnly);
    configDir = std::make_unique<QTemporaryDir>();
    store = std::make_unique<FBData>(configDir->path(), nullptr);
    client = std::make_unique<FTPClient>();
    client->setDataStore(store.get());
    answerer = std::make_unique<ModalAnswerer>();
}

void TestDialogsSites::cleanup()
{
    answerer.reset();
    client.reset();
    store.reset();
    fixture.reset();
}

void TestDialogsSites::cleanupTestCase()
{
    if (KTFtpServer* server = StartFTPDialog::server())
        server->stopAll();
    serverStore.reset();
    QVERIFY(!StartFTPDialog::server());
}

void TestDialogsSites::logIn()
{
    client->connectServer(QStringLiteral("127.0.0.1"), fixture->port(), QStringLiteral("test"),
                          QLatin1String(testPassword));
    QTRY_VERIFY(client->isLoggedIn());
}

void TestDialogsSites::sitesOfferTestSiteThenAddEditRemove()
{
    client->setCodecName(QStringLiteral("GBK"));
    BackupToFTPDialog dialog(client.get(), store.get());
    // Opening the dialog chooses nothing: the engine keeps its codec.
    QCOMPARE(client->codecName, QStringLiteral("GBK"));
    QCOMPARE(child<QTreeWidget>(&dialog, "BackupItems")->topLevelItemCount(), 0);
    const QStringList fields = {"TestFtp", "127.0.0.1", "2121", "test", testPassword, "/"};
    QCOMPARE(QStringList({text(&dialog, "ServerName"), text(&dialog, "IP"), text(&dialog, "Port"),
                          text(&dialog, "Name"), text(&dialog, "Password"),
                          text(&dialog, "SeverFolderEdit")}),
             fields);
    QCOMPARE(child<QComboBox>(&dialog, "CodeComboBox")->currentText(), QStringLiteral("UTF-8"));
    QCOMPARE(text(&dialog, "ftpInfo"), StartFTPDialog::server() && StartFTPDialog::server()->isListening()
                                           ? QStringLiteral("Local ftp server has started!")
                                           : QStringLiteral("Local ftp server is not started!"));
    QVERIFY(!child<QPushButton>(&dialog, "ConnectButton")->isHidden());
    QVERIFY(child<QPushButton>(&dialog, "Disconnect")->isHidden());

    auto* list = child<QTreeWidget>(&dialog, "BackupItems");
    setText(&dialog, "ServerName", QStringLiteral("Home"));
    setText(&dialog, "Port", QString::number(fixture->port()));
    click(&dialog, "AddButton");
    QCOMPARE(column(list, 0), QStringList({QStringLiteral("Home")}));
    QCOMPARE(column(list, 1), QStringList({QStringLiteral("Disconnected")}));

    // Differs only in the user name: the same site for the store, added silently as nothing.
    setText(&dialog, "Name", QStringLiteral("other"));
    click(&dialog, "AddButton");
    QCOMPARE(list->topLevelItemCount(), 1);
    QVERIFY(answerer->texts.isEmpty());

    setText(&dialog, "ServerName", QString());
    click(&dialog, "AddButton");
    QCOMPARE(answerer->texts, QStringList({QStringLiteral("Incomplete information!")}));

    setText(&dialog, "ServerName", QStringLiteral("Second"));
    setText(&dialog, "Port", QStringLiteral("70000"));
    click(&dialog, "AddButton");
    QCOMPARE(answerer->texts.last(), QStringLiteral("The port must be a number from 1 to 65535!"));
    QCOMPARE(list->topLevelItemCount(), 1);

    list->setCurrentItem(list->topLevelItem(0));
    setText(&dialog, "ServerName", QStringLiteral("Renamed"));
    setText(&dialog, "Port", QStringLiteral("2200"));
    click(&dialog, "EditButton");
    QCOMPARE(column(list, 0), QStringList({QStringLiteral("Renamed")}));
    QCOMPARE(store->sites.first()->port, quint16(2200));
    QCOMPARE(store->sites.first()->userName, QStringLiteral("other"));

    logIn();
    QSignalSpy logout(client.get(), &FTPClient::logout);
    list->topLevelItem(0)->setSelected(true);
    click(&dialog, "RemoveButton");
    QCOMPARE(list->topLevelItemCount(), 0);
    QVERIFY(store->sites.isEmpty());
    // Removing logs the engine out, whichever site it was on.
    QTRY_COMPARE(logout.count(), 1);
    QCOMPARE(text(&dialog, "ServerName"), QStringLiteral("TestFtp"));
}

void TestDialogsSites::sitesConnect_data()
{
    QTest::addColumn<QString>("password");  // of the stored site
    QTest::addColumn<QString>("port");      // typed; "site" keeps the site's
    QTest::addColumn<bool>("clearFields");  // connect with empty fields: the current row is loaded
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<QStringList>("messages");

    const QString password = QLatin1String(testPassword);
    const QString portMessage = QStringLiteral("The port must be a number from 1 to 65535!");
    QTest::newRow("stored site from empty fields") << password << "" << true << true
        << QStringList({QStringLiteral("Connection success!")});
    QTest::newRow("typed fields") << password << "site" << false << true
        << QStringList({QStringLiteral("Connection success!")});
    QTest::newRow("refused login") << "wrong" << "site" << false << false
        << QStringList({QStringLiteral("Disconnect from the server!")});
    QTest::newRow("port not a number") << password << "21x" << false << false
        << QStringList({portMessage});
    QTest::newRow("port zero") << password << "0" << false << false
        << QStringList({portMessage});
    QTest::newRow("port past 16 bits") << password << "65557" << false << false
        << QStringList({portMessage});
}

void TestDialogsSites::sitesConnect()
{
    QFETCH(QString, password);
    QFETCH(QString, port);
    QFETCH(bool, clearFields);
    QFETCH(bool, loggedIn);
    QFETCH(QStringList, messages);

    fixture->server->setLoginFailDelay(0);
    ServerInfo* site = addSite(*store, QStringLiteral("Local"), fixture->port(), password);
    BackupToFTPDialog dialog(client.get(), store.get());
    auto* list = child<QTreeWidget>(&dialog, "BackupItems");
    list->setCurrentItem(list->topLevelItem(0));
    list->topLevelItem(0)->setSelected(true);
    if (clearFields) {
        for (const char* field : {"IP", "Port", "Name", "Password"})
            setText(&dialog, field, QString());
    } else {
        emit list->itemClicked(list->topLevelItem(0), 0);
        if (port != QLatin1String("site"))
            setText(&dialog, "Port", port);
    }
    click(&dialog, "ConnectButton");
    QTRY_COMPARE(answerer->texts, messages);
    QCOMPARE(client->isLoggedIn(), loggedIn);
    // Only an attempt that starts marks the site chosen.
    QCOMPARE(site->select, !messages.first().startsWith(QLatin1String("The port")));
    if (loggedIn) {
        QCOMPARE(column(list, 1), QStringList({QStringLiteral("Connected")}));
        QVERIFY(child<QPushButton>(&dialog, "ConnectButton")->isHidden());
        QVERIFY(!child<QPushButton>(&dialog, "Disconnect")->isHidden());
    }
    QCOMPARE(dialog.currentServerId, site->id);
}

void TestDialogsSites::sitesConnectToLoggedInHostSendsNothing()
{
    addSite(*store, QStringLiteral("Local"), fixture->port(), QLatin1String(testPassword))->select = true;
    logIn();
    BackupToFTPDialog dialog(client.get(), store.get());
    QVERIFY(child<QPushButton>(&dialog, "ConnectButton")->isHidden());
    QSignalSpy replies(client.get(), &FTPClient::commandResult);
    click(&dialog, "ConnectButton");
    QVERIFY(!client->isBusy());
    QVERIFY(client->isLoggedIn());
    QCOMPARE(replies.count(), 0);
    QVERIFY(answerer->texts.isEmpty());

    // Empty fields with an empty list: the box says what is missing.
    store->sites.clear();
    BackupToFTPDialog empty(client.get(), store.get());
    setText(&empty, "Password", QString());
    click(&empty, "ConnectButton");
    QCOMPARE(answerer->texts, QStringList({QStringLiteral("Please enter the password!")}));
}

void TestDialogsSites::sitesOneMessagePerAttempt()
{
    // A server that hangs up on the password: a failed login and a logout, one box.
    ScriptedFtpServer scripted;
    QVERIFY(scripted.listen());
    ScriptedFtpServer::Answer hangUp;
    hangUp.closeControl = true;
    scripted.addAnswer(QStringLiteral("PASS"), hangUp);
    {
        BackupToFTPDialog dialog(client.get(), store.get());
        setText(&dialog, "Port", QString::number(scripted.port()));
        QSignalSpy logout(client.get(), &FTPClient::logout);
        click(&dialog, "ConnectButton");
        QTRY_COMPARE(logout.count(), 1);
        QCOMPARE(answerer->texts, QStringList({QStringLiteral("Disconnect from the server!")}));
        // The attempt still adds the typed site, as a successful one would.
        QCOMPARE(store->sites.size(), 1);
    }

    // A new attempt while logged in: the old session ends without a box of its own.
    answerer->texts.clear();
    logIn();
    BackupToFTPDialog second(client.get(), store.get());
    setText(&second, "IP", QStringLiteral("localhost"));  // a host name is looked up
    setText(&second, "Port", QString::number(fixture->port()));
    setText(&second, "Name", QStringLiteral("test"));
    setText(&second, "Password", QLatin1String(testPassword));
    click(&second, "ConnectButton");
    QTRY_COMPARE(answerer->texts, QStringList({QStringLiteral("Connection success!")}));
    QVERIFY(client->isLoggedIn());
    click(&second, "Disconnect");
    QTRY_COMPARE(answerer->texts.size(), 2);
    QCOMPARE(answerer->texts.last(), QStringLiteral("Disconnect from the server!"));
}

void TestDialogsSites::sitesOkSelectsRowSite()
{
    ServerInfo* first = addSite(*store, QStringLiteral("First"), freeLoopbackPort(), QLatin1String(testPassword));
    ServerInfo* second = addSite(*store, QStringLiteral("Second"), fixture->port(), QLatin1String(testPassword));
    first->select = true;
    BackupToFTPDialog dialog(client.get(), store.get());
    QCOMPARE(dialog.currentServerId, first->id);
    // The current row moves without a click: Ok connects to that row's site, not the fields'.
    auto* list = child<QTreeWidget>(&dialog, "BackupItems");
    list->setCurrentItem(list->topLevelItem(1));
    list->topLevelItem(1)->setSelected(true);
    click(&dialog, "Ok");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QTRY_VERIFY(client->isLoggedIn());
    QCOMPARE(client->port(), fixture->port());
    QVERIFY(second->select);
    QVERIFY(!first->select);
}

void TestDialogsSites::sitesCodecReachesListings()
{
    ScriptedFtpServer scripted;
    QVERIFY(scripted.listen());
    const QString name = QStringLiteral("\u6587\u4ef6.txt");
    ScriptedFtpServer::Answer listing;
    listing.reply = "226 Done.\r\n";
    listing.data = "-rw-r--r-- 1 ftp ftp 5 Jan 01 2024 "
        + QTextCodec::codecForName("GB2312")->fromUnicode(name) + "\r\n";
    scripted.addAnswer(QStringLiteral("LIST"), listing);
    BackupToFTPDialog dialog(client.get(), store.get());
    setText(&dialog, "Port", QString::number(scripted.port()));
    setText(&dialog, "Name", QStringLiteral("u"));
    setText(&dialog, "Password", QStringLiteral("p"));
    auto* codecs = child<QComboBox>(&dialog, "CodeComboBox");
    codecs->setCurrentIndex(codecs->findText(QStringLiteral("GB2312")));
    QCOMPARE(client->codecName, QStringLiteral("GB2312"));
    click(&dialog, "ConnectButton");
    QTRY_VERIFY(client->isLoggedIn());
    QSignalSpy data(client.get(), &FTPClient::currentDirData);
    client->listDir();
    QTRY_COMPARE(data.count(), 1);
    const FTPClient::Rows rows = FTPClient::parseList(data.first().first().toString());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(FTPClient::rowEntryName(rows.first()), name);
    QCOMPARE(store->sites.first()->codec, QStringLiteral("GB2312"));
}

void TestDialogsSites::chooserListsLazilyAndMakesFolders()
{
    logIn();
    ServerDirTree chooser(client.get(), QString());
    auto* tree = child<QTreeWidget>(&chooser, "DirTree");
    QVERIFY(tree->isHeaderHidden());
    QTRY_COMPARE(findItem(tree, "/")->data(0, Qt::UserRole).toInt(), 1);
    // Folders only, no "." or "..", and nothing below a until it is opened.
    QCOMPARE(childNames(findItem(tree, "/")), QStringList({"a", "z"}));
    QTreeWidgetItem* a = findItem(tree, "/a");
    QCOMPARE(a->childCount(), 0);
    emit tree->itemDoubleClicked(a, 0);
    QTRY_COMPARE(childNames(a), QStringList({"b", "c"}));
    QTRY_VERIFY(!client->isBusy());
    emit tree->itemDoubleClicked(a, 0);
    QVERIFY(!client->isBusy());

    // New Folder wants a folder below the root.
    tree->setCurrentItem(findItem(tree, "/"));
    click(&chooser, "pushButton_3");
    QCOMPARE(answerer->texts, QStringList({QStringLiteral("Please select the folder!")}));
    // z is not the folder listed last; the new listing still lands under it.
    tree->setCurrentItem(findItem(tree, "/z"));
    answerer->expect("KTNewFolder", ModalAnswerer::typeName(QStringLiteral("made")));
    click(&chooser, "pushButton_3");
    QTRY_COMPARE(childNames(findItem(tree, "/z")), QStringList({"made"}));
    QVERIFY(QFileInfo(fixture->path(QStringLiteral("z/made"))).isDir());
    QCOMPARE(childNames(a), QStringList({"b", "c"}));
}

void TestDialogsSites::chooserSelect_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("root gives nothing") << "/" << "";
    QTest::newRow("nested folder") << "/a/b" << "/a/b";
    QTest::newRow("nothing selected") << "" << "";
}

void TestDialogsSites::chooserSelect()
{
    QFETCH(QString, selected);
    QFETCH(QString, chosen);
    logIn();
    ServerDirTree chooser(client.get(), QStringLiteral("/a/b"));
    auto* tree = child<QTreeWidget>(&chooser, "DirTree");
    // The start path builds its chain of folders and only its own folder is listed.
    QTRY_COMPARE(childNames(findItem(tree, "/a/b")), QStringList({"deep"}));
    QCOMPARE(childNames(findItem(tree, "/")), QStringList({"a"}));
    QCOMPARE(findItem(tree, "/a")->data(0, Qt::UserRole).toInt(), 0);
    if (!selected.isEmpty())
        tree->setCurrentItem(findItem(tree, selected));
    click(&chooser, "pushButton");
    QCOMPARE(chooser.chosenPath, chosen);
}

void TestDialogsSites::serverDialogStart_data()
{
    QTest::addColumn<QString>("folder");  // "root" is an existing folder
    QTest::addColumn<bool>("portInUse");
    QTest::addColumn<QString>("port");    // "free" picks a free port
    QTest::addColumn<QString>("state");   // start of the state line
    QTest::addColumn<QString>("reason");  // part of the state line after it
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("free port") << "root" << false << "free" << "FTP server has started." << ""
                               << QStringList();
    QTest::newRow("port in use") << "root" << true << "free" << "FTP server did not start."
                                 << "in use" << QStringList();
    QTest::newRow("missing folder") << "gone" << false << "free" << "FTP server did not start."
                                    << "does not exist" << QStringList();
    QTest::newRow("no folder") << "" << false << "free" << "FTP server did not start." << ""
                               << QStringList({"<br>Please select the working folder!"});
    QTest::newRow("port past 16 bits") << "root" << false << "65557" << "FTP server did not start."
                                       << "" << QStringList({"The port must be a number from 1 to 65535!"});
}

void TestDialogsSites::serverDialogStart()
{
    QFETCH(QString, folder);
    QFETCH(bool, portInUse);
    QFETCH(QString, port);
    QFETCH(QString, state);
    QFETCH(QString, reason);
    QFETCH(QStringList, messages);

    const QString iniFile = serverStore->filePath(QStringLiteral("server.ini"));
    QFile::remove(iniFile);
    QTcpServer occupant;
    if (portInUse)
        QVERIFY(occupant.listen(QHostAddress::Any, 0));
    const quint16 number = portInUse ? occupant.serverPort() : freeLoopbackPort();
    QTemporaryDir root;
    StartFTPDialog dialog(serverStore.get());
    setText(&dialog, "IP", QStringLiteral("127.0.0.1"));
    setText(&dialog, "Path", folder == QLatin1String("root") ? root.path()
                             : folder.isEmpty() ? QString() : root.filePath(folder));
    setText(&dialog, "Port", port == QLatin1String("free") ? QString::number(number) : port);
    click(&dialog, "StartButton");

    QCOMPARE(answerer->texts, messages);
    QVERIFY(text(&dialog, "StartInfo").startsWith(state));
    QVERIFY2(text(&dialog, "StartInfo").contains(reason), qPrintable(text(&dialog, "StartInfo")));
    const bool started = state == QLatin1String("FTP server has started.");
    QCOMPARE(child<QPushButton>(&dialog, "StopButton")->isHidden(), !started);
    QCOMPARE(QFile::exists(iniFile), started);
    if (!started)
        return;
    QString address;
    quint16 savedPort = 0;
    QString savedPath;
    QVERIFY(serverStore->readServerSettings(address, savedPort, savedPath));
    QCOMPARE(savedPort, number);
    QCOMPARE(savedPath, root.path());

    // The users list shows who is online: one client leaves with QUIT, the next just drops.
    auto* users = child<QTreeWidget>(&dialog, "UsersList");
    for (const bool sayQuit : {true, false}) {
        ServerProbe probe;
        QVERIFY(probe.connectAndGreet(number));
        QVERIFY(probe.login(QStringLiteral("test"), QLatin1String(testPassword)));
        QTRY_COMPARE(users->topLevelItem(0)->text(2), QStringLiteral("Onine"));
        if (sayQuit)
            probe.command(QStringLiteral("QUIT"));
        else
            probe.socket.abort();
        QTRY_COMPARE(users->topLevelItem(0)->text(2), QStringLiteral("Offline"));
    }

    // Closing the dialog leaves the server running; a new dialog finds it so.
    dialog.close();
    StartFTPDialog again(serverStore.get());
    QVERIFY(StartFTPDialog::server()->isListening());
    QCOMPARE(text(&again, "StartInfo"), QStringLiteral("FTP server has started."));
    QCOMPARE(text(&again, "Port"), QString::number(number));
    again.retranslate();
    QCOMPARE(text(&again, "StartInfo"), QStringLiteral("FTP server has started."));
    click(&again, "StopButton");
    QVERIFY(!StartFTPDialog::server()->isListening());
    QCOMPARE(text(&again, "StartInfo"), QStringLiteral("FTP server did not start."));
}

void TestDialogsSites::serverDialogDefaultsAndUsers()
{
    QFile::remove(serverStore->filePath(QStringLiteral("server.ini")));
    StartFTPDialog dialog(serverStore.get());
    QCOMPARE(text(&dialog, "Port"), QStringLiteral("2121"));
    QCOMPARE(text(&dialog, "Path"), QString());
    // Unlike the Sites dialog's test site, this shows where other machines reach the server.
    QCOMPARE(text(&dialog, "IP"), localIpList().value(0));
    QCOMPARE(text(&dialog, "StartInfo"), QStringLiteral("FTP server did not start."));
    QVERIFY(child<QPushButton>(&dialog, "StopButton")->isHidden());

    auto* users = child<QTreeWidget>(&dialog, "UsersList");
    setText(&dialog, "Name", QStringLiteral("bob"));
    setText(&dialog, "Password", QStringLiteral("one"));
    click(&dialog, "SaveButton");
    setText(&dialog, "Name", QStringLiteral("ann"));
    click(&dialog, "SaveButton");
    QCOMPARE(column(users, 0), QStringList({"test", "bob", "ann"}));

    // Saving a listed name replaces it and moves it to the end.
    emit users->itemClicked(users->topLevelItem(1), 2);
    QCOMPARE(text(&dialog, "Name"), QStringLiteral("bob"));
    setText(&dialog, "Password", QStringLiteral("two"));
    click(&dialog, "SaveButton");
    QCOMPARE(column(users, 0), QStringList({"test", "ann", "bob"}));
    QCOMPARE(column(users, 1), QStringList({testPassword, "one", "two"}));
    QCOMPARE(column(users, 2), QStringList({"Offline", "Offline", "Offline"}));

    users->setCurrentItem(nullptr);
    click(&dialog, "DeleteButton");
    QCOMPARE(answerer->texts, QStringList({"You did not choose user information!"}));
    users->setCurrentItem(users->topLevelItem(1));
    click(&dialog, "DeleteButton");
    QCOMPARE(column(users, 0), QStringList({"test", "bob"}));
    serverStore->removeUser(QStringLiteral("bob"));
}

void TestDialogsSites::commandDialogShowsWholeReplies()
{
    FTPCommandDlg dialog(client.get());
    auto* list = child<QTreeWidget>(&dialog, "ResultListView");
    setText(&dialog, "CommandEdit", QStringLiteral("NOOP"));
    click(&dialog, "RunButton");
    QCOMPARE(list->topLevelItemCount(), 0);  // not logged in

    logIn();
    setText(&dialog, "CommandEdit", QString());
    click(&dialog, "RunButton");
    QCOMPARE(list->topLevelItemCount(), 0);

    setText(&dialog, "CommandEdit", QStringLiteral("HELP"));
    click(&dialog, "RunButton");
    QTRY_VERIFY(dialog.pendingCommand.isEmpty());
    setText(&dialog, "CommandEdit", QStringLiteral("NOOP"));
    click(&dialog, "RunButton");
    QTRY_VERIFY(dialog.pendingCommand.isEmpty());

    const QStringList lines = column(list, 0);
    QCOMPARE(lines.first(), QStringLiteral("HELP"));
    QVERIFY(lines.at(1).startsWith(QLatin1String("214-")));
    QVERIFY2(lines.contains(QStringLiteral("214 Help OK.")), qPrintable(lines.join('|')));
    QCOMPARE(lines.mid(lines.indexOf(QStringLiteral("214 Help OK.")) + 1),
             QStringList({"NOOP", "200 NOOP ok."}));
    QVERIFY(lines.size() >= 6);

    emit list->itemClicked(list->topLevelItem(0), 0);
    QCOMPARE(text(&dialog, "CommandEdit"), QStringLiteral("HELP"));

    // Replies to commands sent elsewhere, or differing in case, never reach the list.
    list->clear();
    dialog.pendingCommand = QStringLiteral("noop");
    emit client->commandResult(QStringLiteral("NOOP"), QStringLiteral("200 NOOP ok."));
    QCOMPARE(list->topLevelItemCount(), 0);
}

void TestDialogsSites::authorizeAlwaysFails()
{
    QTemporaryDir folder;
    AuthorizeDirectory dialog(folder.path());
    dialog.show();

    // The chooser closed without a choice leaves the dialog open with the folder named.
    answerer->expect("QFileDialog", [](QDialog* chooser) { chooser->reject(); });
    click(&dialog, "Authorize");
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.directory, folder.path());

    // Choosing the very folder that was named still fails.
    answerer->expect("QFileDialog", [](QDialog* chooser) { chooser->accept(); });
    click(&dialog, "Authorize");
    QCOMPARE(answerer->texts, QStringList({"Authorization directory failed!"}));
    QVERIFY(dialog.directory.isEmpty());
    QVERIFY(!dialog.isVisible());

    AuthorizeDirectory cancelled(folder.path());
    click(&cancelled, "Cancel");
    QVERIFY(cancelled.directory.isEmpty());
}

QTEST_MAIN(TestDialogsSites)
#include "tst_gui_dialogs_sites.moc"
