#ifndef TORVEX_COMMON_WEBSERVICE_H
#define TORVEX_COMMON_WEBSERVICE_H

#include <QString>

class QLocale;

// Calls to the publisher's web service: the start-up language, the installation's user id and
// the update notice. None of them is needed for the program to work; every failure gives a
// neutral answer. With no service base set nothing is ever requested and nothing written.

// The base every request path is appended to ("http://host/"), empty for none. It starts as
// the build's TORVEX_SERVICE_BASE.
QString serviceBase();
void setServiceBase(const QString& base);

constexpr int ServiceTimeoutMs = 10000;
constexpr qint64 ServiceReplyLimit = 64 * 1024;

// The reply body of a GET as UTF-8 text, "GetOk" for an empty body, and empty text when the
// request fails, takes longer than timeoutMs or grows past ServiceReplyLimit. Window events
// keep running while it waits.
QString syncGet(const QString& url, int timeoutMs = ServiceTimeoutMs);

// The language index 0..8 for the country the service names; without an answer, the desktop's.
int countryCode();
// The language index 0..8 of a locale's language, English for the rest.
int languageOfLocale(const QLocale& locale);
// The language index of the desktop's language for messages.
int desktopLanguage();

// The installation's user id, kept in "uid.dat" in the program's data folder; "0" when none.
QString getUid();
QString uidFilePath();

// What the service says about a newer version.
struct VersionNotice
{
    bool found = false;     // a newer version exists
    QString downloadPage;   // where to get it
    bool optional = false;  // the user may go on with this one
};
VersionNotice fetchVersionNotice();

#endif
