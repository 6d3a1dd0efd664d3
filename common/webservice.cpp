#include "common/webservice.h"

#include "common/helpers.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStandardPaths>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#ifndef TORVEX_SERVICE_BASE
#define TORVEX_SERVICE_BASE ""
#endif

namespace {

QString& baseAddress()
{
    static QString base = QStringLiteral(TORVEX_SERVICE_BASE);
    return base;
}

// The reply body so far, or nothing once it has grown past the limit.
bool readWithinLimit(QNetworkReply* reply, QByteArray& body)
{
    body += reply->read(ServiceReplyLimit + 1 - body.size());
    if (body.size() <= ServiceReplyLimit)
        return true;
    reply->abort();
    return false;
}

} // namespace

QString serviceBase()
{
    return baseAddress();
}

void setServiceBase(const QString& base)
{
    baseAddress() = base;
}

QString syncGet(const QString& url, int timeoutMs)
{
    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(QNetworkRequest(QUrl(url)));
    QByteArray body;
    bool tooLong = false;
    bool timedOut = false;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    // An unreachable or silent service must not hold the start-up, nor an endless one fill
    // memory: both end the request as failed.
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        if (!tooLong && !readWithinLimit(reply, body))
            tooLong = true;
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(timeoutMs);
    if (!reply->isFinished())
        loop.exec();
    timer.stop();
    QString text;
    if (!tooLong && !timedOut && reply->error() == QNetworkReply::NoError
        && readWithinLimit(reply, body)) {
        text = QString::fromUtf8(body);
        if (text.isEmpty())
            text = QStringLiteral("GetOk");
    }
    reply->disconnect();
    delete reply;
    return text;
}

int languageOfLocale(const QLocale& locale)
{
    switch (locale.language()) {
    case QLocale::Chinese: return 1;
    case QLocale::French: return 2;
    case QLocale::German: return 3;
    case QLocale::Italian: return 4;
    case QLocale::Japanese: return 5;
    case QLocale::Korean: return 6;
    case QLocale::Russian: return 7;
    case QLocale::Spanish: return 8;
    default: return 0;
    }
}

int desktopLanguage()
{
    // The desktop's language for messages (LANGUAGE, LC_MESSAGES), not its number format.
    const QStringList languages = QLocale::system().uiLanguages();
    return languageOfLocale(languages.isEmpty() ? QLocale::system() : QLocale(languages.first()));
}

int countryCode()
{
    if (serviceBase().isEmpty())
        return desktopLanguage();
    const QString reply = syncGet(serviceBase() + QStringLiteral("country.php?ip=127.0.0.1"));
    if (reply.isEmpty())
        return desktopLanguage();
    // China, France, Germany, Italy, Japan, Korea, Russia, Spain, as the service writes them;
    // the first of this list found anywhere in the reply wins.
    const char* const countries[] = {"\xd6\xd0\xb9\xfa", "\xb7\xa8\xb9\xfa", "\xb5\xc2\xb9\xfa",
                                     "\xd2\xe2\xb4\xf3\xc0\xfb", "\xc8\xd5\xb1\xbe",
                                     "\xba\xab\xb9\xfa", "\xb6\xed\xb9\xfa",
                                     "\xce\xf7\xb0\xe0\xd1\xc0"};
    int code = 1;
    for (const char* country : countries) {
        if (reply.contains(fromGB2312(country)))
            return code;
        ++code;
    }
    return 0;
}

QString uidFilePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(folder).filePath(QStringLiteral("uid.dat"));
}

QString getUid()
{
    if (serviceBase().isEmpty())
        return QStringLiteral("0");
    QDir().mkpath(QFileInfo(uidFilePath()).absolutePath());
    QFile file(uidFilePath());
    if (!file.open(QIODevice::ReadWrite))
        return QStringLiteral("0");
    const QString stored = QString::fromUtf8(file.readAll());
    if (!stored.isEmpty() && stored != QLatin1String("0"))
        return stored;
    const QString reply =
        syncGet(serviceBase() + QStringLiteral("v1/backserver/make_uid.php?make_uid=QZRMDTV"));
    const QStringList parts = reply.split(QStringLiteral("||"));
    if (reply.isEmpty() || parts.size() != 3)
        return QStringLiteral("0");
    // Replaces an old "0" instead of writing behind it.
    file.resize(0);
    file.seek(0);
    file.write(parts.at(1).toUtf8());
    return parts.at(1);
}

VersionNotice fetchVersionNotice()
{
    VersionNotice notice;
    if (serviceBase().isEmpty())
        return notice;
    const QString reply = syncGet(serviceBase()
                                  + QStringLiteral("v1/backserver/version.php?PID=24&Version=1.7"
                                                   "&Type=web&UID=")
                                  + getUid());
    const QStringList parts = reply.split(QLatin1Char('|'));
    if (parts.size() != 4)
        return notice;
    notice.found = true;
    notice.downloadPage = parts.at(1);
    notice.optional = parts.at(2) == QLatin1String("ok");
    return notice;
}
