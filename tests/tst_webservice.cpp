// The web-service calls against a small web server on 127.0.0.1.
#include "common/webservice.h"
#include "support/httpstub.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class TestWebService : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void countryNames_data();
    void countryNames();
    void noServiceAsksNobodyAndWritesNothing();
    void noAnswerFallsBackToTheDesktopLanguage();
    void localeLanguages_data();
    void localeLanguages();
    void desktopLanguageAtStartWithoutNetwork_data();
    void desktopLanguageAtStartWithoutNetwork();
    void uidRoundTrip();
    void uidZeroFileIsReplacedNotAppended();
    void uidReplyWithWrongFieldsKeepsTheFile_data();
    void uidReplyWithWrongFieldsKeepsTheFile();
    void versionReplies_data();
    void versionReplies();
    void silentServiceHitsTheTimeOut();
    void endlessBodyIsCutAtTheSizeBound();

private:
    HttpStub stub;
};

void TestWebService::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(stub.start());
}

void TestWebService::init()
{
    QFile::remove(uidFilePath());
    stub.mode = HttpStub::Answer;
    stub.body.clear();
    stub.requests.clear();
    setServiceBase(stub.base());
}

void TestWebService::cleanup()
{
    setServiceBase(QString());
    QFile::remove(uidFilePath());
}

void TestWebService::countryNames_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("code");
    QTest::newRow("China") << QStringLiteral("中国 北京") << 1;
    QTest::newRow("France") << QStringLiteral("法国") << 2;
    QTest::newRow("Germany") << QStringLiteral("德国") << 3;
    QTest::newRow("Italy") << QStringLiteral("意大利") << 4;
    QTest::newRow("Japan") << QStringLiteral("日本 东京") << 5;
    QTest::newRow("Korea") << QStringLiteral("韩国") << 6;
    QTest::newRow("Russia") << QStringLiteral("俄国") << 7;
    QTest::newRow("Spain") << QStringLiteral("西班牙") << 8;
    // The table's order decides, not the position in the text.
    QTest::newRow("Spain before China") << QStringLiteral("西班牙 中国") << 1;
    QTest::newRow("empty body") << QString() << 0;
    QTest::newRow("elsewhere") << QStringLiteral("巴西") << 0;
}

void TestWebService::countryNames()
{
    QFETCH(QString, reply);
    QFETCH(int, code);
    stub.body = reply.toUtf8();
    QCOMPARE(countryCode(), code);
    QCOMPARE(stub.requests, QStringList(QStringLiteral("/country.php?ip=127.0.0.1")));
    if (reply.isEmpty())
        QCOMPARE(syncGet(stub.base()), QStringLiteral("GetOk"));
}

void TestWebService::noServiceAsksNobodyAndWritesNothing()
{
    setServiceBase(QString());
    stub.body = "x||42||y";
    QCOMPARE(countryCode(), desktopLanguage());
    QCOMPARE(getUid(), QStringLiteral("0"));
    QVERIFY(!fetchVersionNotice().found);
    QVERIFY(stub.requests.isEmpty());
    QVERIFY(!QFile::exists(uidFilePath()));
}

void TestWebService::noAnswerFallsBackToTheDesktopLanguage()
{
    stub.mode = HttpStub::NotFound;
    QCOMPARE(syncGet(stub.base()), QString());
    QCOMPARE(countryCode(), desktopLanguage());
    QCOMPARE(getUid(), QStringLiteral("0"));
    QCOMPARE(readFile(uidFilePath()), QByteArray());
}

void TestWebService::localeLanguages_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("code");
    const char* const names[] = {"en_US", "zh_CN", "fr_FR", "de_DE", "it_IT",
                                 "ja_JP", "ko_KR", "ru_RU", "es_ES"};
    int code = 0;
    for (const char* name : names)
        QTest::newRow(name) << QString::fromLatin1(name) << code++;
    QTest::newRow("Taiwan") << QStringLiteral("zh_TW") << 1;
    QTest::newRow("Austria") << QStringLiteral("de_AT") << 3;
    QTest::newRow("Mexico") << QStringLiteral("es_MX") << 8;
    QTest::newRow("Portuguese") << QStringLiteral("pt_BR") << 0;
    QTest::newRow("C") << QStringLiteral("C") << 0;
}

void TestWebService::localeLanguages()
{
    QFETCH(QString, locale);
    QFETCH(int, code);
    QCOMPARE(languageOfLocale(QLocale(locale)), code);
}

void TestWebService::desktopLanguageAtStartWithoutNetwork_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<int>("code");
    QTest::newRow("Japanese") << QByteArray("ja_JP") << 5;
    QTest::newRow("Russian") << QByteArray("ru_RU:en") << 7;
    QTest::newRow("Portuguese") << QByteArray("pt_BR") << 0;
}

// The desktop's language is read once per process: each row asks a fresh copy of this test.
void TestWebService::desktopLanguageAtStartWithoutNetwork()
{
    QFETCH(QByteArray, language);
    QFETCH(int, code);
    const QByteArray expected = qgetenv("TORVEX_EXPECT_LANGUAGE");
    if (!expected.isEmpty()) {
        setServiceBase(QString());
        QCOMPARE(countryCode(), expected.toInt());
        return;
    }
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LANGUAGE"), QString::fromLatin1(language));
    environment.insert(QStringLiteral("TORVEX_EXPECT_LANGUAGE"), QString::number(code));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("desktopLanguageAtStartWithoutNetwork:")
                 + QString::fromLatin1(QTest::currentDataTag())});
    QVERIFY(child.waitForFinished(60000));
    QVERIFY2(child.exitCode() == 0, child.readAllStandardOutput().constData());
}

void TestWebService::uidRoundTrip()
{
    stub.body = "new||7b3f9||ok";
    QCOMPARE(getUid(), QStringLiteral("7b3f9"));
    QCOMPARE(stub.requests, QStringList(QStringLiteral("/v1/backserver/make_uid.php?make_uid=QZRMDTV")));
    QCOMPARE(readFile(uidFilePath()), QByteArray("7b3f9"));
    // Kept in the program's data folder, wherever the program was started from.
    QCOMPARE(QFileInfo(uidFilePath()).absolutePath(),
             QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    stub.body = "new||other||ok";
    QCOMPARE(getUid(), QStringLiteral("7b3f9"));
    QCOMPARE(stub.requests.size(), 1);
}

void TestWebService::uidZeroFileIsReplacedNotAppended()
{
    writeFile(uidFilePath(), "0");
    stub.body = "a||123||b";
    QCOMPARE(getUid(), QStringLiteral("123"));
    QCOMPARE(readFile(uidFilePath()), QByteArray("123"));
}

void TestWebService::uidReplyWithWrongFieldsKeepsTheFile_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("two fields") << QByteArray("a||123");
    QTest::newRow("four fields") << QByteArray("a||1||2||3");
    QTest::newRow("empty body") << QByteArray();
}

void TestWebService::uidReplyWithWrongFieldsKeepsTheFile()
{
    QFETCH(QByteArray, reply);
    writeFile(uidFilePath(), "0");
    stub.body = reply;
    QCOMPARE(getUid(), QStringLiteral("0"));
    QCOMPARE(readFile(uidFilePath()), QByteArray("0"));
}

void TestWebService::versionReplies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("found");
    QTest::addColumn<bool>("optional");
    QTest::newRow("optional") << QByteArray("1.8|http://127.0.0.1/get|ok|notes") << true << true;
    QTest::newRow("upper-case OK is not optional")
        << QByteArray("1.8|http://127.0.0.1/get|OK|notes") << true << false;
    QTest::newRow("three fields") << QByteArray("1.8|http://127.0.0.1/get|ok") << false << false;
    QTest::newRow("empty body") << QByteArray() << false << false;
}

void TestWebService::versionReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, found);
    QFETCH(bool, optional);
    writeFile(uidFilePath(), "u77");
    stub.body = reply;
    const VersionNotice notice = fetchVersionNotice();
    QCOMPARE(notice.found, found);
    QCOMPARE(notice.optional, optional);
    if (found)
        QCOMPARE(notice.downloadPage, QStringLiteral("http://127.0.0.1/get"));
    QCOMPARE(stub.requests, QStringList(QStringLiteral(
                                "/v1/backserver/version.php?PID=24&Version=1.7&Type=web&UID=u77")));
}

void TestWebService::silentServiceHitsTheTimeOut()
{
    stub.mode = HttpStub::Silent;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(syncGet(stub.base(), 300), QString());
    QVERIFY2(clock.elapsed() < 5000, QByteArray::number(clock.elapsed()).constData());
    QCOMPARE(stub.requests.size(), 1);
}

void TestWebService::endlessBodyIsCutAtTheSizeBound()
{
    stub.mode = HttpStub::Endless;
    stub.endlessSent = 0;
    QCOMPARE(syncGet(stub.base()), QString());
    // The client hung up long before the stub's own bound.
    QVERIFY2(stub.endlessSent < HttpStub::EndlessLimit,
             QByteArray::number(stub.endlessSent).constData());
}

QTEST_GUILESS_MAIN(TestWebService)
#include "tst_webservice.moc"
