// The web-service calls against a small web server on 127.0.0.1.
#include "common/webservice.h"
#include "support/httpstub.h"
#include "support/testfiles.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

class TestWebService : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void countryNames_data();
    void countryNames();
    void uidAndUpdateNotice();
    void failedRequestsGiveNothingSoon();
    void desktopLanguageWithoutAnAnswer();

private:
    HttpStub stub;
};

void TestWebService::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(stub.start());
    setServiceBase(stub.base());
}

void TestWebService::countryNames_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("code");
    // China, France, Germany, Italy, Japan, Korea, Russia, Spain, with more text around them.
    const char* const names[] = {"中国", "法国", "德国", "意大利", "日本", "韩国", "俄国", "西班牙"};
    for (int code = 1; code <= 8; ++code)
        QTest::addRow("%d", code) << names[code - 1] + QByteArray(" x") << code;
    QTest::newRow("the table's order decides") << QByteArray("西班牙 中国") << 1;
    QTest::newRow("elsewhere") << QByteArray("巴西") << 0;
}

void TestWebService::countryNames()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, code);
    stub.body = reply;
    stub.requests.clear();
    QCOMPARE(countryCode(), code);
    QCOMPARE(stub.requests, QStringList(QStringLiteral("/country.php?ip=127.0.0.1")));
}

// The user id is fetched once, kept in the data folder and sent with the update check.
void TestWebService::uidAndUpdateNotice()
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
    setServiceBase(stub.base());
    QVERIFY(!QFile::exists(uidFilePath()));
    QCOMPARE(stub.requests.size(), 6);
}

// An empty body is "GetOk"; failures give nothing, and none may hold the start-up.
void TestWebService::failedRequestsGiveNothingSoon()
{
    stub.body.clear();
    QCOMPARE(syncGet(stub.base()), QStringLiteral("GetOk"));
    stub.body = QByteArray(ServiceReplyLimit + 1, 'x');
    QCOMPARE(syncGet(stub.base()), QString());
    stub.mode = HttpStub::NotFound;
    QCOMPARE(syncGet(stub.base()), QString());
    stub.mode = HttpStub::Silent;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(syncGet(stub.base(), 300), QString());
    QVERIFY2(clock.elapsed() < 5000, QByteArray::number(clock.elapsed()).constData());
    stub.mode = HttpStub::Answer;
}

// Without an answer the desktop's language for messages counts, not its number format; it is
// read once per process, so a fresh copy of this test checks it.
void TestWebService::desktopLanguageWithoutAnAnswer()
{
    // The language counts, not the country; languages without a translation are English.
    QCOMPARE(languageOfLocale(QLocale(QStringLiteral("zh_TW"))), 1);
    QCOMPARE(languageOfLocale(QLocale(QStringLiteral("es_MX"))), 8);
    QCOMPARE(languageOfLocale(QLocale(QStringLiteral("pt_BR"))), 0);
    if (qEnvironmentVariableIsSet("TORVEX_CHILD")) {
        stub.mode = HttpStub::NotFound;
        QCOMPARE(countryCode(), 7);
        setServiceBase(QString());
        QCOMPARE(countryCode(), 7);
        QCOMPARE(stub.requests.size(), 1);  // none without a service
        return;
    }
    qputenv("LANGUAGE", "ru_RU:en");
    qputenv("TORVEX_CHILD", "1");
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QTest::currentTestFunction()});
    qunsetenv("TORVEX_CHILD");
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestWebService)
#include "tst_webservice.moc"
