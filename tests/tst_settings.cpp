// The settings store (its files as people and older versions wrote them) and the web service.
#include "common/webservice.h"
#include "settings/fbdata.h"
#include "support/httpstub.h"
#include "support/testfiles.h"

#include <QtTest>

namespace {

// Sites as "name|ip|port|user|password|codec|clientPath|serverPath|connected|select|encryption",
// then "paths ..." and users as "name:password:paths".
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
    for (const UserInfo* user : store.users())
        texts << user->name + ':' + user->password + ':' + user->paths.join(',');
    return texts;
}

// The desktop's language is read once per process: this one's is Russian from the start.
const bool russianDesktop = qputenv("LANGUAGE", "ru_RU:en");

const auto OwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
    HttpStub stub;

    // What `call` makes of the service answering `body`.
    template <typename Call>
    auto withAnswer(const QByteArray& body, Call call)
    {
        stub.body = body;
        return call();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(stub.start());
        setServiceBase(stub.base());
    }

    // One row per file as people or older versions wrote it: its keys (a value with commas is a
    // list) and what the store reads, before and after saving it.
    void storedFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("loaded");
        const QString user = QStringLiteral("test:581247:");  // the default user
        QTest::newRow("every site field, in order") << "servers.ini"
            << QStringList{"Server/Count=2", "Node0/ServerName=Home \u00fc", "Node0/Start=true",
                           "Node0/IP=127.0.0.1", "Node0/Port=2121", "Node0/UserName=me",
                           "Node0/Password=p=a;s s", "Node0/Codec=GB2312", "Node0/ServerPath=/pub",
                           "Node0/ClientPath=/home/me", "Node0/Select=true", "Node0/Encryption=2",
                           "Node1/ServerName=Second"}
            << QStringList{"Home \u00fc|127.0.0.1|2121|me|p=a;s s|GB2312|/home/me|/pub|1|1|2",
                           "Second||0||||||0|0|0", user};
        QTest::newRow("client path separators, encryption out of range") << "servers.ini"
            << QStringList{"Server/Count=2", "Node0/ClientPath=C:/in", "Node0/Encryption=7",
                           "Node1/ClientPath=C:\\out"}
            << QStringList{"||0||||C:/in||0|0|2", "||0||||C:/out||0|0|0", user};
        QTest::newRow("authorised paths")
            << "apaths.ini" << QStringList{"Paths/Count=2", "Path_0=/a", "Path_1=/b c"}
            << QStringList{"paths /a,/b c", user};
        QTest::newRow("user count larger than the records") << "users.ini"
            << QStringList{"Users/Count=3", "Node0/Name=a", "Node0/Password=p", "Node0/Paths=/x,/y"}
            << QStringList{"a:p:/x,/y", "::", "::"};
    }

    void storedFiles()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, loaded);
        QTemporaryDir dir;
        QSettings raw(dir.filePath(file), QSettings::IniFormat);
        for (const QString& key : keys) {
            const QString value = key.section('=', 1);
            raw.setValue(key.section('=', 0, 0),
                         value.contains(',') ? QVariant(value.split(',')) : QVariant(value));
        }
        raw.sync();
        QVERIFY(QFile::setPermissions(dir.filePath(file), OwnerOnly | QFile::ReadOther));
        {
            FBData store(dir.path(), nullptr);
            QVERIFY(store.userList.isEmpty());  // users are read on first use only
            QCOMPARE(storeTexts(store), loaded);
        }
        // They hold passwords in plain text: only their owner may read them, from the next save on.
        for (const char* name : {"servers.ini", "users.ini"})
            QCOMPARE(int(QFile::permissions(dir.filePath(name))), int(OwnerOnly));
        FBData store(dir.path(), nullptr);
        QCOMPARE(storeTexts(store), loaded);
        // Emptied, the paths leave no keys behind.
        store.authorizedPaths.clear();
        store.saveAuthorizedPaths();
        QVERIFY(QSettings(dir.filePath("apaths.ini"), QSettings::IniFormat).allKeys().isEmpty());
    }

    // Saving a twice-stored user replaces the first only, removing takes both, and an emptied
    // list is read again from the file.
    void storeInUse()
    {
        QTemporaryDir dir;
        FBData store(dir.path(), nullptr);
        const auto twin = [this](const char* password) {
            auto* user = new UserInfo(this);
            user->name = QStringLiteral("twin");
            user->password = QLatin1String(password);
            return user;
        };
        store.users() << twin("a") << twin("b");
        QSignalSpy changes(&store, &FBData::userChange);
        store.saveUser(*twin("c"));
        QCOMPARE(storeTexts(store), QStringList({"test:581247:", "twin:b:", "twin:c:"}));
        // Name and password must both match, case included, and belong to one user.
        QVERIFY(store.checkUser(QStringLiteral("twin"), QStringLiteral("b")));
        QVERIFY(!store.checkUser(QStringLiteral("Twin"), QStringLiteral("b")));
        QVERIFY(!store.checkUser(QStringLiteral("test"), QStringLiteral("b")));
        store.saveUsers();
        store.removeUser(QStringLiteral("twin"));
        store.removeUser(QStringLiteral("nobody"));
        QCOMPARE(storeTexts(store), QStringList({"test:581247:"}));
        QCOMPARE(changes.count(), 3);  // removing an unknown user is a change too
        store.removeUser(QStringLiteral("test"));
        QCOMPARE(storeTexts(store), QStringList({"test:581247:", "twin:b:", "twin:c:"}));
    }

    // The first country of the service's table (China, France, Germany, Italy, Japan, Korea,
    // Russia, Spain) named in its answer, with more text or not; elsewhere is 0.
    void countryNames()
    {
        const QList<QByteArray> names{"中国", "法国", "德国", "意大利", "日本", "韩国", "俄国", "西班牙"};
        stub.requests.clear();
        for (int code = 1; code <= 8; ++code)
            QCOMPARE(withAnswer(names.at(code - 1) + " x", countryCode), code);
        QCOMPARE(withAnswer("西班牙 中国", countryCode), 1);  // the table's order decides
        QCOMPARE(withAnswer("巴西", countryCode), 0);
        QCOMPARE(stub.requests.count(QStringLiteral("/country.php?ip=127.0.0.1")), 10);
    }

    // The user id is fetched once, kept in the data folder and sent with the update check.
    void uidAndUpdateNotice()
    {
        QCOMPARE(QFileInfo(uidFilePath()).absolutePath(),
                 QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        QVERIFY(writeTestFile(uidFilePath(), "0"));
        stub.requests.clear();
        for (const char* wrong : {"a||123", "a||1||2||3", ""})  // not three fields: no id
            QCOMPARE(withAnswer(wrong, getUid), QStringLiteral("0"));
        QCOMPARE(readTestFile(uidFilePath()), QByteArray("0"));
        QCOMPARE(withAnswer("new||7b3f9||ok", getUid), QStringLiteral("7b3f9"));
        QCOMPARE(readTestFile(uidFilePath()), QByteArray("7b3f9"));  // replaced, not appended to
        const auto notice = withAnswer("1.8|http://127.0.0.1/get|ok|notes", fetchVersionNotice);
        QVERIFY(notice.found && notice.optional);
        QCOMPARE(notice.downloadPage, QStringLiteral("http://127.0.0.1/get"));
        QVERIFY(!withAnswer("1.8|http://127.0.0.1/get|ok", fetchVersionNotice).found);
        const QString make("/v1/backserver/make_uid.php?make_uid=QZRMDTV");
        const QString version("/v1/backserver/version.php?PID=24&Version=1.7&Type=web&UID=7b3f9");
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

    // An empty body is "GetOk"; failures give nothing and none may hold the start-up. Without an
    // answer the desktop's message language counts, not its formats nor country; else English.
    void failedRequestsGiveNothingSoon()
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
        const QDeadlineTimer soon(5000);
        QCOMPARE(syncGet(stub.base(), 300), QString());
        QVERIFY2(!soon.hasExpired(), "a silent service held the caller");
        stub.mode = HttpStub::Answer;
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
