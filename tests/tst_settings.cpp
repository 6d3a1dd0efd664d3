// The settings store (its files as people and older versions wrote them, and its use) and the
// web-service calls against a small web server on 127.0.0.1.
#include "common/webservice.h"
#include "settings/fbdata.h"
#include "support/httpstub.h"
#include "support/testfiles.h"

#include <QtTest>

namespace {

// Users as "name:password:paths".
QStringList userTexts(const QList<UserInfo*>& users)
{
    QStringList texts;
    for (const UserInfo* user : users)
        texts << user->name + ':' + user->password + ':' + user->paths.join(',');
    return texts;
}

// Sites as "name|ip|port|user|password|codec|clientPath|serverPath|connected|select|encryption",
// then the authorised paths, then the users.
QStringList storeTexts(FBData& store)
{
    QStringList texts;
    for (const ServerInfo* s : qAsConst(store.sites))
        texts << QStringList{s->serverName, s->ip, QString::number(s->port), s->userName,
                             s->password, s->codec, QDir::fromNativeSeparators(s->clientPath),
                             s->serverPath, QString::number(s->connected),
                             QString::number(s->select), QString::number(s->encryption)}
                     .join('|');
    if (!store.authorizedPaths.isEmpty())
        texts << "paths " + store.authorizedPaths.join(',');
    return texts + userTexts(store.users());
}

// The desktop's language is read once per process: this one's is Russian from the start.
const bool russianDesktop = qputenv("LANGUAGE", "ru_RU:en");

const auto OthersMayUse = QFileDevice::ReadGroup | QFileDevice::ReadOther
                         | QFileDevice::WriteGroup | QFileDevice::WriteOther;

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void storedFiles_data();
    void storedFiles();
    void storeInUse();
    void initTestCase();
    void countryNames();
    void uidAndUpdateNotice();
    void failedRequestsGiveNothingSoon();

private:
    HttpStub stub;
};

// One row per file as people or older versions wrote it: its keys (a value with commas is a
// list) and what the store reads, before and after saving it.
void TestSettings::storedFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("loaded");
    const QString user = QStringLiteral("test:581247:");  // the default user
    QTest::newRow("every site field, in order") << "servers.ini"
        << QStringList{"Server/Count=2", QStringLiteral("Node0/ServerName=Home \u00fc"),
                       "Node0/Start=true", "Node0/IP=127.0.0.1", "Node0/Port=2121",
                       "Node0/UserName=me", "Node0/Password=p=a;s s", "Node0/Codec=GB2312",
                       "Node0/ClientPath=/home/me", "Node0/ServerPath=/pub", "Node0/Select=true",
                       "Node0/Encryption=2", "Node1/ServerName=Second"}
        << QStringList{QStringLiteral("Home \u00fc|127.0.0.1|2121|me|p=a;s s|GB2312|")
                           + "/home/me|/pub|1|1|2",
                       "Second||0||||||0|0|0", user};
    QTest::newRow("client paths with either separator, encryption out of range")
        << "servers.ini"
        << QStringList{"Server/Count=2", "Node0/ClientPath=C:/in", "Node0/Encryption=7",
                       "Node1/ClientPath=C:\\out"}
        << QStringList{"||0||||C:/in||0|0|2", "||0||||C:/out||0|0|0", user};
    QTest::newRow("authorised paths") << "apaths.ini"
                                      << QStringList{"Paths/Count=2", "Path_0=/a", "Path_1=/b c"}
                                      << QStringList{"paths /a,/b c", user};
    QTest::newRow("user count larger than the records") << "users.ini"
        << QStringList{"Users/Count=3", "Node0/Name=only", "Node0/Password=pw", "Node0/Paths=/x,/y"}
        << QStringList{"only:pw:/x,/y", "::", "::"};
}

void TestSettings::storedFiles()
{
    QFETCH(QString, file);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, loaded);
    QTemporaryDir dir;
    {
        QSettings raw(dir.filePath(file), QSettings::IniFormat);
        for (const QString& key : keys) {
            const QString value = key.section('=', 1);
            raw.setValue(key.section('=', 0, 0),
                         value.contains(',') ? QVariant(value.split(',')) : QVariant(value));
        }
    }
    const auto readableByOthers = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther;
    QVERIFY(QFile::setPermissions(dir.filePath(file), readableByOthers));
    {
        FBData store(dir.path(), nullptr);
        QVERIFY(store.userList.isEmpty());  // users are read on first use only
        QCOMPARE(storeTexts(store), loaded);
    }
    // They hold passwords in plain text: only their owner may read them, from the next save on.
    for (const char* name : {"servers.ini", "users.ini"}) {
        const QFileInfo info(dir.filePath(QLatin1String(name)));
        QVERIFY2(info.exists() && !(info.permissions() & OthersMayUse), name);
    }
    FBData store(dir.path(), nullptr);
    QCOMPARE(storeTexts(store), loaded);
    // Emptied, the paths leave no keys behind.
    store.authorizedPaths.clear();
    store.saveAuthorizedPaths();
    QSettings paths(dir.filePath(QStringLiteral("apaths.ini")), QSettings::IniFormat);
    QVERIFY(paths.allKeys().isEmpty());
}

// Saving a twice-stored user replaces the first only, removing takes both, and an emptied list
// is read again from the file.
void TestSettings::storeInUse()
{
    QTemporaryDir dir;
    FBData store(dir.path(), nullptr);
    for (const char* password : {"a", "b"}) {
        store.users() << new UserInfo;
        store.userList.last()->name = QStringLiteral("twin");
        store.userList.last()->password = QLatin1String(password);
    }
    QSignalSpy changes(&store, &FBData::userChange);
    UserInfo twin;
    twin.name = QStringLiteral("twin");
    twin.password = QStringLiteral("c");
    store.saveUser(twin);
    QCOMPARE(userTexts(store.userList), QStringList({"test:581247:", "twin:b:", "twin:c:"}));
    // Name and password must both match, case included, and belong to one user.
    QVERIFY(store.checkUser(QStringLiteral("twin"), QStringLiteral("b")));
    QVERIFY(!store.checkUser(QStringLiteral("Twin"), QStringLiteral("b")));
    QVERIFY(!store.checkUser(QStringLiteral("test"), QStringLiteral("b")));
    store.saveUsers();
    store.removeUser(QStringLiteral("twin"));
    store.removeUser(QStringLiteral("nobody"));
    QCOMPARE(userTexts(store.userList), QStringList({"test:581247:"}));
    QCOMPARE(changes.count(), 3);  // removing an unknown user is a change too
    store.removeUser(QStringLiteral("test"));
    QCOMPARE(userTexts(store.users()), QStringList({"test:581247:", "twin:b:", "twin:c:"}));
}

void TestSettings::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(stub.start());
    setServiceBase(stub.base());
}

// The first country of the service's table named in its answer; elsewhere is 0.
void TestSettings::countryNames()
{
    // China, France, Germany, Italy, Japan, Korea, Russia, Spain, with more text around them.
    const QList<QByteArray> names{"中国", "法国", "德国", "意大利", "日本", "韩国", "俄国", "西班牙"};
    stub.requests.clear();
    for (int code = 1; code <= 8; ++code) {
        stub.body = names.at(code - 1) + " x";
        QCOMPARE(countryCode(), code);
    }
    stub.body = "西班牙 中国";  // the table's order decides
    QCOMPARE(countryCode(), 1);
    stub.body = "巴西";
    QCOMPARE(countryCode(), 0);
    QCOMPARE(stub.requests.count(QStringLiteral("/country.php?ip=127.0.0.1")), 10);
}

// The user id is fetched once, kept in the data folder and sent with the update check.
void TestSettings::uidAndUpdateNotice()
{
    QCOMPARE(QFileInfo(uidFilePath()).absolutePath(),
             QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QVERIFY(writeTestFile(uidFilePath(), "0"));
    stub.requests.clear();
    for (const char* wrong : {"a||123", "a||1||2||3", ""}) {  // not three fields: no id
        stub.body = wrong;
        QCOMPARE(getUid(), QStringLiteral("0"));
    }
    QCOMPARE(readTestFile(uidFilePath()), QByteArray("0"));
    stub.body = "new||7b3f9||ok";
    QCOMPARE(getUid(), QStringLiteral("7b3f9"));
    QCOMPARE(readTestFile(uidFilePath()), QByteArray("7b3f9"));  // replaced, not appended to
    stub.body = "1.8|http://127.0.0.1/get|ok|notes";
    const VersionNotice notice = fetchVersionNotice();
    QVERIFY(notice.found && notice.optional);
    QCOMPARE(notice.downloadPage, QStringLiteral("http://127.0.0.1/get"));
    stub.body = "1.8|http://127.0.0.1/get|ok";
    QVERIFY(!fetchVersionNotice().found);
    const QString make = QStringLiteral("/v1/backserver/make_uid.php?make_uid=QZRMDTV");
    const QString version =
        QStringLiteral("/v1/backserver/version.php?PID=24&Version=1.7&Type=web&UID=7b3f9");
    QCOMPARE(stub.requests, QStringList({make, make, make, make, version, version}));
    setServiceBase(QString());
    QFile::remove(uidFilePath());
    QCOMPARE(getUid(), QStringLiteral("0"));
    QVERIFY(!fetchVersionNotice().found);
    QCOMPARE(countryCode(), 7);  // the desktop's language, as below
    setServiceBase(stub.base());
    QVERIFY(!QFile::exists(uidFilePath()));
    QCOMPARE(stub.requests.size(), 6);
}

// An empty body is "GetOk"; failures give nothing, and none may hold the start-up. Without an
// answer the desktop's language for messages counts, not its number format nor its country;
// languages without a translation are English.
void TestSettings::failedRequestsGiveNothingSoon()
{
    stub.body.clear();
    QCOMPARE(syncGet(stub.base()), QStringLiteral("GetOk"));
    stub.body = QByteArray(ServiceReplyLimit + 1, 'x');
    QCOMPARE(syncGet(stub.base()), QString());
    stub.mode = HttpStub::NotFound;
    QCOMPARE(syncGet(stub.base()), QString());
    QVERIFY(russianDesktop);
    QCOMPARE(countryCode(), 7);
    QCOMPARE(languageOfLocale(QLocale(QStringLiteral("zh_TW"))), 1);
    QCOMPARE(languageOfLocale(QLocale(QStringLiteral("es_MX"))), 8);
    QCOMPARE(languageOfLocale(QLocale(QStringLiteral("pt_BR"))), 0);
    stub.mode = HttpStub::Silent;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(syncGet(stub.base(), 300), QString());
    QVERIFY2(clock.elapsed() < 5000, QByteArray::number(clock.elapsed()).constData());
    stub.mode = HttpStub::Answer;
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
