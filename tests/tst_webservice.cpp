// The web-service calls against a small web server on 127.0.0.1.
#include "common/webservice.h"
#include "support/httpstub.h"
#include "support/testfiles.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {

const int NoService = -1;
const QString Country = QStringLiteral("/country.php?ip=127.0.0.1");
const QString MakeUid = QStringLiteral("/v1/backserver/make_uid.php?make_uid=QZRMDTV");
const QString Version =
    QStringLiteral("/v1/backserver/version.php?PID=24&Version=1.7&Type=web&UID=u77");

QString result(const QString& call, const QByteArray& input)
{
    if (call == QLatin1String("locale"))
        return QString::number(languageOfLocale(QLocale(QString::fromLatin1(input))));
    if (call == QLatin1String("country"))
        return QString::number(countryCode());
    if (call == QLatin1String("uid"))
        return getUid();
    if (call == QLatin1String("get"))
        return syncGet(serviceBase());
    if (call == QLatin1String("get within 300 ms"))
        return syncGet(serviceBase(), 300);
    const VersionNotice notice = fetchVersionNotice();
    return notice.found ? notice.downloadPage + (notice.optional ? " optional" : "") : "none";
}

QByteArray uidFileText()
{
    return QFile::exists(uidFilePath()) ? readTestFile(uidFilePath()) : QByteArray("-");
}

} // namespace

class TestWebService : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void calls_data();
    void calls();
    void desktopLanguageWithoutAnAnswer();

private:
    HttpStub stub;
};

void TestWebService::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(stub.start());
    // In the program's data folder, wherever the program was started from.
    QCOMPARE(QFileInfo(uidFilePath()).absolutePath(),
             QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

// One row per call: how the stub answers, the uid file before ("-": none), what the call gives,
// the request the stub saw, and the uid file after. A "locale" call asks about the input.
void TestWebService::calls_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("uidBefore");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QByteArray>("uidAfter");
    const auto row = [](const char* tag, const char* call, int mode, const QByteArray& input,
                        const char* before, const QString& answer, const QString& request,
                        const char* after) {
        QTest::newRow(tag) << call << mode << input << QByteArray(before) << answer << request
                           << QByteArray(after);
    };
    // China, France, Germany, Italy, Japan, Korea, Russia, Spain, with more text around them.
    const char* const countries[] = {"中国", "法国", "德国", "意大利",
                                     "日本", "韩国", "俄国", "西班牙"};
    for (int code = 1; code <= 8; ++code)
        row(countries[code - 1], "country", HttpStub::Answer, countries[code - 1] + QByteArray(" x"),
            "-", QString::number(code), Country, "-");
    // The table's order decides, not the place in the text.
    row("Spain before China", "country", HttpStub::Answer, "西班牙 中国", "-", "1", Country, "-");
    row("elsewhere", "country", HttpStub::Answer, "巴西", "-", "0", Country, "-");
    const char* const locales[] = {"en_US", "zh_CN", "fr_FR", "de_DE", "it_IT",
                                   "ja_JP", "ko_KR", "ru_RU", "es_ES"};
    for (int code = 0; code <= 8; ++code)
        row(locales[code], "locale", NoService, locales[code], "-", QString::number(code), "", "-");
    row("zh_TW", "locale", NoService, "zh_TW", "-", "1", "", "-");
    row("es_MX", "locale", NoService, "es_MX", "-", "8", "", "-");
    row("pt_BR", "locale", NoService, "pt_BR", "-", "0", "", "-");
    row("uid fetched", "uid", HttpStub::Answer, "new||7b3f9||ok", "-", "7b3f9", MakeUid, "7b3f9");
    row("uid kept", "uid", HttpStub::Answer, "new||other||ok", "7b3f9", "7b3f9", "", "7b3f9");
    row("uid 0 replaced, not appended to", "uid", HttpStub::Answer, "a||123||b", "0", "123",
        MakeUid, "123");
    row("uid reply of two fields", "uid", HttpStub::Answer, "a||123", "0", "0", MakeUid, "0");
    row("uid reply of four fields", "uid", HttpStub::Answer, "a||1||2||3", "0", "0", MakeUid, "0");
    row("uid without service", "uid", NoService, "x||42||y", "-", "0", "", "-");
    row("update optional", "version", HttpStub::Answer, "1.8|http://127.0.0.1/get|ok|notes",
        "u77", "http://127.0.0.1/get optional", Version, "u77");
    row("update with upper-case OK is forced", "version", HttpStub::Answer,
        "1.8|http://127.0.0.1/get|OK|notes", "u77", "http://127.0.0.1/get", Version, "u77");
    row("update reply of three fields", "version", HttpStub::Answer, "1.8|http://x|ok", "u77",
        "none", Version, "u77");
    row("update without service", "version", NoService, "1.8|x|ok|y", "u77", "none", "", "u77");
    row("empty body", "get", HttpStub::Answer, "", "-", "GetOk", "/", "-");
    row("not found", "get", HttpStub::NotFound, "x", "-", "", "/", "-");
    // Neither a silent service nor an overlong body may hold the start-up or fill memory.
    row("silent", "get within 300 ms", HttpStub::Silent, "", "-", "", "/", "-");
    row("body past the bound", "get", HttpStub::Answer, QByteArray(ServiceReplyLimit + 1, 'x'), "-",
        "", "/", "-");
}

void TestWebService::calls()
{
    QFETCH(QString, call);
    QFETCH(int, mode);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, uidBefore);
    QFETCH(QString, answer);
    QFETCH(QString, request);
    QFETCH(QByteArray, uidAfter);
    QFile::remove(uidFilePath());
    if (uidBefore != "-")
        QVERIFY(writeTestFile(uidFilePath(), uidBefore));
    setServiceBase(mode == NoService ? QString() : stub.base());
    stub.mode = HttpStub::Mode(qMax(mode, 0));
    stub.body = input;
    stub.requests.clear();
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(result(call, input), answer);
    QVERIFY2(clock.elapsed() < 5000, QByteArray::number(clock.elapsed()).constData());
    QCOMPARE(stub.requests, request.isEmpty() ? QStringList() : QStringList(request));
    QCOMPARE(uidFileText(), uidAfter);
}

// The desktop's language for messages (not its number format) when the service does not answer
// or there is none. It is read once per process, so a fresh copy of this test checks it.
void TestWebService::desktopLanguageWithoutAnAnswer()
{
    if (qEnvironmentVariableIsSet("TORVEX_CHILD")) {
        stub.mode = HttpStub::NotFound;
        setServiceBase(stub.base());
        QCOMPARE(countryCode(), 7);
        setServiceBase(QString());
        QCOMPARE(countryCode(), 7);
        return;
    }
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("ru_RU:en"));
    environment.insert(QStringLiteral("TORVEX_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("desktopLanguageWithoutAnAnswer")});
    QVERIFY(child.waitForFinished(60000));
    QVERIFY2(child.exitCode() == 0, child.readAllStandardOutput().constData());
}

QTEST_GUILESS_MAIN(TestWebService)
#include "tst_webservice.moc"
