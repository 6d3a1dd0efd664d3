#include "settings/fbdata.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void sitesRoundTrip();
    void sitesWithMissingKeys();
    void countLargerThanRecords();
    void clientPathGetsNativeSeparators();
    void authorizedPathsRoundTrip();
    void defaultUserAndUsersRoundTrip();
    void emptiedUserListRefillsFromFile();
    void saveUserReplacesFirstMatchOnly();
    void removeUserRemovesAllAndSignals();
    void onlineFlags();
    void serverSettings();
    void siteHelpers();
    void filesWithPasswordsAreOwnerOnly();
    void defaultStoreKeepsItsFilesInItsOwnFolder();
};

void TestSettings::sitesRoundTrip()
{
    QTemporaryDir dir;
    {
        FBData store(dir.path(), nullptr);
        auto* site = new ServerInfo(&store);
        site->serverName = QStringLiteral("Home \u00fc");
        site->connected = true;
        site->ip = QStringLiteral("127.0.0.1");
        site->port = 2121;
        site->userName = QStringLiteral("test");
        site->password = QStringLiteral("p=a;s s");
        site->codec = QStringLiteral("GB2312");
        site->clientPath = QStringLiteral("/home/me");
        site->serverPath = QStringLiteral("/pub");
        site->select = true;
        site->encryption = ServerInfo::TlsRequired;
        store.sites.insert(site->id, site);
        auto* second = new ServerInfo(&store);
        second->serverName = QStringLiteral("Second");
        store.sites.insert(second->id, second);
    }
    QSettings raw(dir.filePath(QStringLiteral("servers.ini")), QSettings::IniFormat);
    QCOMPARE(raw.value(QStringLiteral("Server/Count")).toInt(), 2);
    QCOMPARE(raw.value(QStringLiteral("Node0/Port")).toInt(), 2121);
    QCOMPARE(raw.value(QStringLiteral("Node1/ServerName")).toString(), QStringLiteral("Second"));

    FBData again(dir.path(), nullptr);
    QCOMPARE(again.sites.size(), 2);
    const ServerInfo* site = again.sites.first();
    QCOMPARE(site->serverName, QStringLiteral("Home \u00fc"));
    QVERIFY(site->connected);
    QCOMPARE(site->ip, QStringLiteral("127.0.0.1"));
    QCOMPARE(site->port, quint16(2121));
    QCOMPARE(site->userName, QStringLiteral("test"));
    QCOMPARE(site->password, QStringLiteral("p=a;s s"));
    QCOMPARE(site->codec, QStringLiteral("GB2312"));
    QCOMPARE(site->clientPath, QDir::toNativeSeparators(QStringLiteral("/home/me")));
    QCOMPARE(site->serverPath, QStringLiteral("/pub"));
    QVERIFY(site->select);
    QCOMPARE(site->encryption, int(ServerInfo::TlsRequired));
    QCOMPARE(raw.value(QStringLiteral("Node1/Encryption")).toInt(), int(ServerInfo::PlainOnly));
    QCOMPARE(again.sites.last()->serverName, QStringLiteral("Second"));
    QVERIFY(again.sites.firstKey() < again.sites.lastKey());
}

void TestSettings::sitesWithMissingKeys()
{
    QTemporaryDir dir;
    {
        QSettings raw(dir.filePath(QStringLiteral("servers.ini")), QSettings::IniFormat);
        raw.setValue(QStringLiteral("Server/Count"), 1);
        raw.setValue(QStringLiteral("Node0/ServerName"), QStringLiteral("NoPort"));
    }
    FBData store(dir.path(), nullptr);
    QCOMPARE(store.sites.size(), 1);
    QCOMPARE(store.sites.first()->serverName, QStringLiteral("NoPort"));
    QCOMPARE(store.sites.first()->port, quint16(0));
    // Files written before sites could be encrypted keep working as they did.
    QCOMPARE(store.sites.first()->encryption, int(ServerInfo::PlainOnly));
}

void TestSettings::countLargerThanRecords()
{
    QTemporaryDir dir;
    {
        QSettings raw(dir.filePath(QStringLiteral("users.ini")), QSettings::IniFormat);
        raw.setValue(QStringLiteral("Users/Count"), 3);
        raw.setValue(QStringLiteral("Node0/Name"), QStringLiteral("only"));
        raw.setValue(QStringLiteral("Node0/Password"), QStringLiteral("pw"));
    }
    FBData store(dir.path(), nullptr);
    const QList<UserInfo*>& users = store.users();
    QCOMPARE(users.size(), 3);
    QCOMPARE(users.at(0)->name, QStringLiteral("only"));
    QVERIFY(users.at(1)->name.isEmpty());
    QVERIFY(users.at(2)->paths.isEmpty());
}

void TestSettings::clientPathGetsNativeSeparators()
{
    QTemporaryDir dir;
    {
        QSettings raw(dir.filePath(QStringLiteral("servers.ini")), QSettings::IniFormat);
        raw.setValue(QStringLiteral("Server/Count"), 2);
        raw.setValue(QStringLiteral("Node0/ClientPath"), QStringLiteral("C:/data/in"));
        raw.setValue(QStringLiteral("Node1/ClientPath"), QStringLiteral("C:\\data\\out"));
    }
    FBData store(dir.path(), nullptr);
    QCOMPARE(store.sites.first()->clientPath, QDir::toNativeSeparators(QStringLiteral("C:/data/in")));
    const QChar sep = QDir::separator();
    QCOMPARE(store.sites.last()->clientPath, QStringLiteral("C:") + sep + "data" + sep + "out");
}

void TestSettings::authorizedPathsRoundTrip()
{
    QTemporaryDir dir;
    {
        FBData store(dir.path(), nullptr);
        store.authorizedPaths = QStringList{QStringLiteral("/a"), QStringLiteral("/b c")};
    }
    {
        FBData store(dir.path(), nullptr);
        QCOMPARE(store.authorizedPaths, QStringList({"/a", "/b c"}));
        store.authorizedPaths.clear();
    }
    QSettings raw(dir.filePath(QStringLiteral("apaths.ini")), QSettings::IniFormat);
    QVERIFY(raw.allKeys().isEmpty());
    FBData store(dir.path(), nullptr);
    QVERIFY(store.authorizedPaths.isEmpty());
}

void TestSettings::defaultUserAndUsersRoundTrip()
{
    QTemporaryDir dir;
    {
        FBData store(dir.path(), nullptr);
        const QList<UserInfo*>& users = store.users();
        QCOMPARE(users.size(), 1);
        QCOMPARE(users.first()->name, QStringLiteral("test"));
        QCOMPARE(users.first()->password, QStringLiteral("581247"));
        QVERIFY(!users.first()->online);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("users.ini"))));
        UserInfo extra;
        extra.name = QStringLiteral("anna");
        extra.password = QStringLiteral("secret");
        extra.paths = QStringList{QStringLiteral("/x"), QStringLiteral("/y")};
        store.saveUser(extra);
    }
    QSettings raw(dir.filePath(QStringLiteral("users.ini")), QSettings::IniFormat);
    QCOMPARE(raw.value(QStringLiteral("Users/Count")).toInt(), 2);
    QCOMPARE(raw.value(QStringLiteral("Node0/Name")).toString(), QStringLiteral("test"));

    FBData store(dir.path(), nullptr);
    QVERIFY(store.userList.isEmpty());  // loaded on first use only
    QCOMPARE(store.users().size(), 2);
    QCOMPARE(store.users().at(1)->paths, QStringList({"/x", "/y"}));
    QVERIFY(store.checkUser(QStringLiteral("anna"), QStringLiteral("secret")));
    QVERIFY(!store.checkUser(QStringLiteral("anna"), QStringLiteral("Secret")));
    QVERIFY(!store.checkUser(QStringLiteral("Anna"), QStringLiteral("secret")));
    QVERIFY(!store.checkUser(QStringLiteral("test"), QStringLiteral("secret")));
}

void TestSettings::emptiedUserListRefillsFromFile()
{
    QTemporaryDir dir;
    {
        FBData store(dir.path(), nullptr);
        UserInfo user;
        user.name = QStringLiteral("kept");
        store.users();
        store.removeUser(QStringLiteral("test"));
        store.saveUser(user);
    }
    FBData store(dir.path(), nullptr);
    store.users();
    store.removeUser(QStringLiteral("kept"));
    QVERIFY(store.userList.isEmpty());
    QCOMPARE(store.users().size(), 1);
    QCOMPARE(store.users().first()->name, QStringLiteral("kept"));
}

void TestSettings::saveUserReplacesFirstMatchOnly()
{
    QTemporaryDir dir;
    FBData store(dir.path(), nullptr);
    store.users();
    UserInfo twin;
    twin.name = QStringLiteral("twin");
    twin.password = QStringLiteral("1");
    store.saveUser(twin);
    twin.password = QStringLiteral("2");
    store.userList.append(new UserInfo);
    store.userList.last()->name = QStringLiteral("twin");
    store.userList.last()->password = QStringLiteral("2");
    store.userList.first()->online = true;
    store.setUserOnline(QStringLiteral("twin"), true);

    QSignalSpy changes(&store, &FBData::userChange);
    twin.password = QStringLiteral("3");
    store.saveUser(twin);
    QCOMPARE(changes.count(), 1);
    QStringList seen;
    for (const UserInfo* user : store.userList)
        seen << user->name + ":" + user->password + (user->online ? "+" : "");
    QCOMPARE(seen, QStringList({"test:581247+", "twin:2", "twin:3"}));
}

void TestSettings::removeUserRemovesAllAndSignals()
{
    QTemporaryDir dir;
    FBData store(dir.path(), nullptr);
    store.users();
    UserInfo user;
    user.name = QStringLiteral("dup");
    store.saveUser(user);
    store.userList.append(new UserInfo);
    store.userList.last()->name = QStringLiteral("dup");
    QSignalSpy changes(&store, &FBData::userChange);
    store.removeUser(QStringLiteral("dup"));
    QCOMPARE(store.userList.size(), 1);
    store.removeUser(QStringLiteral("nobody"));
    QCOMPARE(changes.count(), 2);
}

void TestSettings::onlineFlags()
{
    QTemporaryDir dir;
    FBData store(dir.path(), nullptr);
    store.users();
    auto* site = new ServerInfo(&store);
    site->connected = true;
    store.sites.insert(site->id, site);
    QSignalSpy changes(&store, &FBData::userChange);
    QVERIFY(!store.setUserOnline(QStringLiteral("nobody"), true));
    QCOMPARE(changes.count(), 0);
    QVERIFY(store.setUserOnline(QStringLiteral("test"), true));
    QVERIFY(store.userList.first()->online);
    store.resetStates();
    QVERIFY(!store.userList.first()->online);
    QVERIFY(!site->connected);
    QCOMPARE(changes.count(), 2);
}

void TestSettings::serverSettings()
{
    QTemporaryDir dir;
    FBData store(dir.path(), nullptr);
    QString address;
    quint16 port = 1;
    QString path = QStringLiteral("x");
    QVERIFY(!store.readServerSettings(address, port, path));
    QVERIFY(address.isEmpty());
    QCOMPARE(port, quint16(0));
    QVERIFY(path.isEmpty());

    store.writeServerSettings(QStringLiteral("127.0.0.1"), 2121, QString());
    QVERIFY(!store.readServerSettings(address, port, path));
    QCOMPARE(address, QStringLiteral("127.0.0.1"));
    QCOMPARE(port, quint16(2121));

    store.writeServerSettings(QStringLiteral("127.0.0.1"), 2122, QStringLiteral("/srv/ftp"));
    QVERIFY(store.readServerSettings(address, port, path));
    QCOMPARE(port, quint16(2122));
    QCOMPARE(path, QStringLiteral("/srv/ftp"));
}

void TestSettings::siteHelpers()
{
    QTemporaryDir dir;
    FBData store(dir.path(), nullptr);
    auto* a = new ServerInfo(&store);
    a->ip = QStringLiteral("127.0.0.1");
    a->userName = QStringLiteral("u1");
    auto* b = new ServerInfo(&store);
    b->ip = QStringLiteral("127.0.0.2");
    store.sites.insert(a->id, a);
    store.sites.insert(b->id, b);
    QVERIFY(b->id == a->id + 1);

    store.updateConnectState(QStringLiteral("127.0.0.2"), true);
    QVERIFY(!a->connected);
    QVERIFY(b->connected);
    store.updateConnectState(QStringLiteral("127.0.0.2"), false);
    QVERIFY(!b->connected);

    store.selectServer(b->id);
    QVERIFY(!a->select);
    QVERIFY(b->select);
    store.clearSelection();
    QVERIFY(!b->select);

    ServerInfo probe;
    probe.ip = QStringLiteral("127.0.0.1");
    probe.userName = QStringLiteral("someone else");
    QVERIFY(store.containsServer(&probe));  // the user name is not compared
    probe.port = 2121;
    QVERIFY(!store.containsServer(&probe));
}

void TestSettings::filesWithPasswordsAreOwnerOnly()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    {
        FBData store(dir.path(), nullptr);
        store.users();
        auto* site = new ServerInfo(&store);
        site->password = QStringLiteral("secret");
        store.sites.insert(site->id, site);
    }
    for (const char* name : {"servers.ini", "users.ini"}) {
        const QFileInfo info(dir.filePath(QLatin1String(name)));
        QVERIFY2(info.exists(), name);
        const auto others = QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup
                            | QFileDevice::WriteOther;
        QVERIFY2(!(info.permissions() & others), name);
    }
    // A file that was readable by others before is tightened at the next save.
    QFile::setPermissions(dir.filePath(QStringLiteral("users.ini")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    {
        FBData store(dir.path(), nullptr);
        store.users();
    }
    QVERIFY(!(QFileInfo(dir.filePath(QStringLiteral("users.ini"))).permissions() & QFileDevice::ReadOther));
#else
    QSKIP("owner-only files are a Unix matter");
#endif
}

void TestSettings::defaultStoreKeepsItsFilesInItsOwnFolder()
{
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    {
        FBData store;
        QCOMPARE(store.configDir, dir.filePath(QStringLiteral("torvex")));
        QCOMPARE(store.filePath(QStringLiteral("users.ini")),
                 store.configDir + QDir::separator() + QStringLiteral("users.ini"));
    }
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("torvex/servers.ini"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("servers.ini"))));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
