#include "app/maidialog.h"

#include <QApplication>

#include <cstdio>

namespace {

// Without a display Qt stops with a platform-plugin error nobody can act on; say what to do.
bool displayMissing()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    return false;
#endif
}

} // namespace

int main(int argc, char* argv[])
{
    if (displayMissing()) {
        std::fprintf(stderr, "torvex: no display found; run it from a desktop session, or under "
                             "Xvfb: xvfb-run -s '-screen 0 1280x800x24' %s\n",
                     argc > 0 ? argv[0] : "torvex");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("torvex"));
    MaiDialog window;
    window.show();
    return app.exec();
}
