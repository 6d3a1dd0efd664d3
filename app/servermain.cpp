// torvex-server: the built-in FTP server without the desktop, for scripts and headless machines.
#include "server/ktserverrunner.h"
#include "server/ktsignalwatcher.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("torvex-server"));
    // Watching before listening: a script may signal as soon as it reads the port.
    KTSignalWatcher watcher;
    QObject::connect(&watcher, &KTSignalWatcher::stopRequested, &app, &QCoreApplication::quit);
    KTServerRunner runner;
    int exitCode = 0;
    if (!runner.start(QCoreApplication::arguments().mid(1), exitCode))
        return exitCode;
    return app.exec();
}
