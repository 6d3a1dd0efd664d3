#include "app/maidialog.h"
#include "engine/ftpclient.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

// The window of the widgets library opens inside another program, with its images.
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    MaiDialog window;
    const bool images = QFile::exists(QStringLiteral(":/image/logo_64x64.png"));
    return images && window.findChild<FTPClient*>() && window.width() == 1202 ? 0 : 1;
}
