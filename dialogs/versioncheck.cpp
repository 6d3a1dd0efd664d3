#include "dialogs/versioncheck.h"

#include "common/webservice.h"
#include "settings/fbdata.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include <cstdlib>

extern FBData* dataStore;

namespace {

bool askUser(const QString& text)
{
    return QMessageBox::question(nullptr, QStringLiteral("New version!"), text,
                                 QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

void openPage(const QString& page)
{
    QDesktopServices::openUrl(QUrl(page));
}

// Ends at once, as a forced update must: no window may run on half torn down.
void endProgram()
{
    std::_Exit(0);
}

// What the user changed in this run must not be lost with the program.
void saveSettings()
{
    if (!dataStore)
        return;
    dataStore->saveSites();
    dataStore->saveAuthorizedPaths();
    dataStore->saveUsers();
}

} // namespace

VersionCheckHooks& versionCheckHooks()
{
    static VersionCheckHooks hooks{askUser, openPage, endProgram};
    return hooks;
}

void checkVersion()
{
    const VersionNotice notice = fetchVersionNotice();
    if (!notice.found)
        return;
    VersionCheckHooks& hooks = versionCheckHooks();
    if (hooks.ask(QStringLiteral("<br>Found a new version!<br>Go to the official website to download?"))) {
        hooks.openPage(notice.downloadPage);
        saveSettings();
        hooks.endProgram();
    } else if (!notice.optional) {
        saveSettings();
        hooks.endProgram();
    }
}
