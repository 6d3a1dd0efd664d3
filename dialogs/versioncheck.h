#ifndef TORVEX_DIALOGS_VERSIONCHECK_H
#define TORVEX_DIALOGS_VERSIONCHECK_H

#include <QString>

#include <functional>

// Asks the web service whether a newer version exists and, if so, offers its download page.
// When the user goes to the page, or the update is not optional, the program ends here; the
// settings are saved first.
void checkVersion();

// How checkVersion asks, opens the page and ends the program; tests replace them.
struct VersionCheckHooks
{
    std::function<bool(const QString& text)> ask;  // true for Yes
    std::function<void(const QString& page)> openPage;
    std::function<void()> endProgram;
};
VersionCheckHooks& versionCheckHooks();

#endif
