#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel notice(QStringLiteral("FTP Torvex\n\nThe main window is not built yet.\n"
                                 "The engine, the built-in server and the command-line tools are."));
    notice.setWindowTitle(QStringLiteral("FTP Torvex"));
    notice.setMargin(24);
    notice.show();
    return app.exec();
}
