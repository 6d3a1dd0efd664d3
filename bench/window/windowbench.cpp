// Downloads one entry of a server's root folder through the main window, driven by its slots
// offscreen, the way a user would: connect through a stored site, select the row, Download.
//   torvex-window-bench PORT USER PASSWORD NAME LOCALDIR
// Exit status 0 when every file of the job arrived, 1 when some did not, 2 on a bad start or
// when the job took longer than the limit.
#include "app/maidialog.h"
#include "engine/ftpclient.h"
#include "settings/fbdata.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

namespace {

constexpr int LimitMs = 600 * 1000;

QTreeWidgetItem* rowNamed(QTreeWidget* list, const QString& name)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0) == name)
            return list->topLevelItem(i);
    }
    return nullptr;
}

int countDone(const FTPClient* ftp, int& total)
{
    int done = 0;
    total = 0;
    for (const KTDUFile* record : ftp->downloads()) {
        if (record->stateCode == KTDUFile::Finish)
            continue;
        ++total;
        done += record->stateCode == KTDUFile::Downloaded ? 1 : 0;
    }
    return done;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s PORT USER PASSWORD NAME LOCALDIR\n", argv[0]);
        return 2;
    }
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    const QString name = QString::fromLocal8Bit(argv[4]);
    MaiDialog window;
    auto* ftp = window.findChild<FTPClient*>();
    auto* store = window.findChild<FBData*>();
    auto* site = new ServerInfo(store);
    site->ip = QStringLiteral("127.0.0.1");
    site->port = quint16(QString::fromLatin1(argv[1]).toUInt());
    site->userName = QString::fromLocal8Bit(argv[2]);
    site->password = QString::fromLocal8Bit(argv[3]);
    site->clientPath = QString::fromLocal8Bit(argv[5]);
    site->serverPath = QStringLiteral("/");
    site->select = true;
    store->sites.insert(site->id, site);
    window.fillPathCombos();
    window.show();

    auto* remote = window.findChild<QTreeWidget*>(QStringLiteral("RightFiles"));
    QElapsedTimer clock;
    bool started = false;
    int status = 2;
    // Waits for the listing that shows the entry, then starts the job once.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QTreeWidgetItem* row = rowNamed(remote, name);
        if (started || !row || ftp->isBusy())
            return;
        started = true;
        poll.stop();
        row->setSelected(true);
        clock.start();
        window.on_DowloadButton_clicked();
    });
    QObject::connect(ftp, &FTPClient::srFinish, [&] {
        const qint64 ms = clock.elapsed();
        int total = 0;
        const int done = countDone(ftp, total);
        std::printf("window %s: %d of %d files in %.3f s\n", qPrintable(name), done, total, ms / 1000.0);
        status = done == total && total > 0 ? 0 : 1;
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    });
    QTimer::singleShot(LimitMs, &app, [&] {
        std::fprintf(stderr, "window %s: no end after %d s\n", qPrintable(name), LimitMs / 1000);
        app.quit();
    });
    poll.start();
    window.on_Connect_clicked();
    app.exec();
    return status;
}
