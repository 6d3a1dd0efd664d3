// The main window against our own server on 127.0.0.1, driven through its real slots.
#include "app/maidialog.h"
#include "common/helpers.h"
#include "dialogs/kchmoddlg.h"
#include "dialogs/ktnewfolder.h"
#include "dialogs/renamedialog.h"
#include "engine/ftpclient.h"
#include "settings/fbdata.h"
#include "support/serverprobe.h"
#include "support/testfiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {

constexpr int JobWaitMs = 20000;

QStringList names(const QTreeWidget* list, int column = 0)
{
    QStringList result;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        result.append(list->topLevelItem(i)->text(column));
    return result;
}

QTreeWidgetItem* rowNamed(const QTreeWidget* list, const QString& name)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0) == name)
            return list->topLevelItem(i);
    }
    return nullptr;
}

} // namespace

// Opens the Help page's address instead of a browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

class TestWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void frameHasEveryWidget_data();
    void frameHasEveryWidget();
    void columnWidthsFollowTheWindow();
    void guardWithoutLogin_data();
    void guardWithoutLogin();
    void keysAndPaneButtons();
    void contextMenus_data();
    void contextMenus();
    void helpOpensTheShippedPage();
    void connectBrowseAndDisconnect();
    void emptyListingIsAskedForOnlyOnceAgain();
    void downloadAndUploadTrees();
    void clearAndNewJobDropRowsWithTheirRecords();
    void remoteFileCommands();
    void remoteDeleteAsksFirst_data();
    void remoteDeleteAsksFirst();
    void compareOneSameOneDifferent();
    void compareFolderNeverReusesAnExistingOne();
    void speedLineOncePerSecond();
    void tenThousandRowsFollowTheirRecords();
    void stopAndRestart();
    void droppedConnectionInTheMiddle();
    void localDeleteGoesToTrash();
    void programWithoutDisplaySaysSoInOneLine();

private:
    MaiDialog* openWindow(bool withSite = true);
    bool login();
    QTreeWidget* list(const char* name) const { return window->findChild<QTreeWidget*>(QLatin1String(name)); }
    QString text(const char* label) const { return window->findChild<QLabel*>(QLatin1String(label))->text(); }
    QComboBox* combo(const char* name) const { return window->findChild<QComboBox*>(QLatin1String(name)); }
    void select(QTreeWidget* list, const QStringList& rows);
    bool waitIdle();
    void answerDialogs(const QString& name, const QString& mode = QString());

    QTemporaryDir home;
    QString local;
    std::unique_ptr<ServerFixture> server;
    MaiDialog* window = nullptr;
    FTPClient* ftp = nullptr;
    QStringList messages;
    int answer = QMessageBox::Yes;
};

void TestWindow::initTestCase()
{
    // Settings and the trash go to a folder of the test's own.
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    MaiDialog::messageRunner = [this](QWidget*, const QString& message, bool) {
        messages.append(message);
        return answer;
    };
}

void TestWindow::init()
{
    messages.clear();
    answer = QMessageBox::Yes;
    MaiDialog::dialogRunner = nullptr;
    local = home.filePath(QStringLiteral("local"));
    removeDir(local);
    QDir().mkpath(local);
    server = std::make_unique<ServerFixture>();
    server->addUser(QStringLiteral("tester"), QStringLiteral("secret"));
    QVERIFY(server->start());
}

void TestWindow::cleanup()
{
    delete window;
    window = nullptr;
    ftp = nullptr;
    server.reset();
}

MaiDialog* TestWindow::openWindow(bool withSite)
{
    window = new MaiDialog;
    ftp = window->findChild<FTPClient*>();
    auto* store = window->findChild<FBData*>();
    qDeleteAll(store->sites);
    store->sites.clear();
    if (withSite) {
        auto* site = new ServerInfo(store);
        site->serverName = QStringLiteral("loopback");
        site->ip = QStringLiteral("127.0.0.1");
        site->port = server->port();
        site->userName = QStringLiteral("tester");
        site->password = QStringLiteral("secret");
        site->clientPath = QDir::toNativeSeparators(local);
        site->serverPath = QStringLiteral("/");
        site->select = true;
        store->sites.insert(site->id, site);
    }
    window->fillPathCombos();
    window->show();
    return window;
}

bool TestWindow::waitIdle()
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < JobWaitMs) {
        if (!ftp->isBusy() && window->operation == MaiDialog::NoOperation)
            return true;
        QTest::qWait(20);
    }
    return false;
}

bool TestWindow::login()
{
    window->on_Connect_clicked();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < JobWaitMs && (!ftp->isLoggedIn() || ftp->isBusy()))
        QTest::qWait(20);
    return ftp->isLoggedIn() && !ftp->isBusy();
}

void TestWindow::select(QTreeWidget* view, const QStringList& rows)
{
    view->clearSelection();
    for (const QString& name : rows) {
        QTreeWidgetItem* row = rowNamed(view, name);
        QVERIFY2(row, qPrintable(name));
        row->setSelected(true);
        view->setCurrentItem(row, 0, QItemSelectionModel::Select);
    }
}

// The next modal dialog gets this name (or permission mode) and is confirmed.
void TestWindow::answerDialogs(const QString& name, const QString& mode)
{
    MaiDialog::dialogRunner = [name, mode](QDialog* dialog) {
        if (auto* chmod = qobject_cast<KChmodDlg*>(dialog)) {
            if (mode.isEmpty())
                return;
            chmod->findChild<QCheckBox*>(QStringLiteral("GroupWrite"))->setChecked(mode.at(2) == QLatin1Char('6'));
            chmod->findChild<QPushButton*>(QStringLiteral("Change"))->click();
            return;
        }
        if (auto* edit = dialog->findChild<QLineEdit*>())
            edit->setText(name);
        dialog->findChild<QPushButton*>(QStringLiteral("Ok"))->click();
    };
}

void TestWindow::frameHasEveryWidget_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("className");
    const char* rows[][2] = {
        {"Tool", "QWidget"}, {"BackupToFTPButton", "QPushButton"}, {"Connect", "QPushButton"},
        {"ConnectLable", "QLabel"}, {"DowloadButton", "QPushButton"}, {"UploadButton", "QPushButton"},
        {"Stop", "QPushButton"}, {"StopLabel", "QLabel"}, {"ShowLocalFile", "QPushButton"},
        {"ShowServerFile", "QPushButton"}, {"QueueButton", "QPushButton"}, {"SwapButton", "QPushButton"},
        {"CommandButton", "QPushButton"}, {"CommandText", "QLabel"}, {"StarFTP", "QPushButton"},
        {"LanguageButton", "QPushButton"}, {"HelpButton", "QPushButton"}, {"splitter", "QSplitter"},
        {"Left_Right_Splitter", "QSplitter"}, {"LeftFrame", "QFrame"}, {"Left_Path", "QWidget"},
        {"LocalIcon", "QPushButton"}, {"LeftTreeShow", "QPushButton"}, {"LeftPath", "QComboBox"},
        {"Left_Splitter", "QSplitter"}, {"LeftTree", "QTreeWidget"}, {"LeftFiles", "QTreeWidget"},
        {"RightFrame", "QFrame"}, {"Righ_Path", "QWidget"}, {"NetIcon", "QPushButton"},
        {"RightTreeShow", "QPushButton"}, {"RightPath", "QComboBox"}, {"Right_Splitter", "QSplitter"},
        {"RightTree", "QTreeWidget"}, {"RightFiles", "QTreeWidget"}, {"DUQueue", "QTreeWidget"},
        {"DeleteLog", "QTreeWidget"}, {"label_7", "QLabel"}, {"OPInfo", "QLabel"}, {"Speed", "QLabel"},
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]);
}

void TestWindow::frameHasEveryWidget()
{
    QFETCH(QString, object);
    QFETCH(QString, className);
    openWindow(false);
    QWidget* widget = window->findChild<QWidget*>(object);
    QVERIFY(widget);
    QVERIFY(widget->inherits(className.toLatin1()));
    QCOMPARE(window->size(), QSize(1202, 739));
    QCOMPARE(window->windowTitle(), QStringLiteral("FTP Torvex"));
    QVERIFY(window->findChild<FBData*>());
    // What the user sees at start: trees and the result list hidden, the command button too.
    for (const char* hidden : {"LeftTree", "RightTree", "DeleteLog", "CommandButton", "CommandText"})
        QVERIFY2(!window->findChild<QWidget*>(QLatin1String(hidden))->isVisible(), hidden);
    QCOMPARE(text("OPInfo"), QStringLiteral("Not connected to the server!"));
    QCOMPARE(text("ConnectLable"), QStringLiteral("Connect"));
    QVERIFY(list("RightFiles")->styleSheet().contains(QLatin1String("rgb(255, 200, 200)")));
}

void TestWindow::columnWidthsFollowTheWindow()
{
    openWindow(false);
    QCOMPARE(window->width(), 1202);
    QCOMPARE(list("LeftFiles")->columnWidth(0), 267);
    QCOMPARE(list("LeftFiles")->columnWidth(1), 156);
    QCOMPARE(list("RightFiles")->columnWidth(0), 232);
    QCOMPARE(list("DUQueue")->columnWidth(2), 116);
    QCOMPARE(list("DeleteLog")->columnWidth(0), 813);
    window->resize(1602, 739);
    QTRY_COMPARE(window->width(), 1602);
    QCOMPARE(list("LeftFiles")->columnWidth(0), int(781 * 0.46));
}

void TestWindow::guardWithoutLogin_data()
{
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QString>("message");
    QTest::newRow("stop") << "on_Stop_clicked" << "Not connected to the server!";
    QTest::newRow("download without selection") << "on_DowloadButton_clicked"
                                                << "You did not choose any files or directories!";
    QTest::newRow("upload without selection") << "on_UploadButton_clicked"
                                              << "You did not choose any files or directories!";
    QTest::newRow("refresh") << "on_NetIcon_clicked" << "Not connected to the server!";
    QTest::newRow("new folder") << "onNewFolderFtpClicked" << "Not connected to the server!";
    QTest::newRow("attributes") << "onAttributesFtpClicked" << "Not connected to the server!";
    QTest::newRow("delete") << "onDeleteFtpFileClicked" << "Not connected to the server!";
    QTest::newRow("compare without selection") << "onCompareFtpFileClicked"
                                               << "Please select the file or directory with the same name!";
}

void TestWindow::guardWithoutLogin()
{
    QFETCH(QString, slot);
    QFETCH(QString, message);
    openWindow();
    QVERIFY(QMetaObject::invokeMethod(window, slot.toLatin1()));
    QCOMPARE(messages, QStringList{message});
    QCOMPARE(window->operation, int(MaiDialog::NoOperation));
    QVERIFY(!ftp->isBusy());
}

void TestWindow::keysAndPaneButtons()
{
    QDir(local).mkpath(QStringLiteral("sub/inner"));
    openWindow();
    window->showLocalFiles(QDir(local).filePath(QStringLiteral("sub")));
    QCOMPARE(names(list("LeftFiles")), (QStringList{"..", "inner"}));
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    // Escape leaves the window open; Backspace in the list opens the parent folder.
    QTest::keyClick(list("LeftFiles"), Qt::Key_Escape);
    QVERIFY(window->isVisible());
    list("LeftFiles")->setFocus();
    QTest::keyClick(list("LeftFiles"), Qt::Key_Backspace);
    QCOMPARE(combo("LeftPath")->currentText(), QDir::toNativeSeparators(local));
    QVERIFY(names(list("LeftFiles")).contains(QStringLiteral("sub")));
    // Return in the path combo lists the folder typed there.
    combo("LeftPath")->setFocus();
    combo("LeftPath")->setEditText(QDir(local).filePath(QStringLiteral("sub/inner")));
    QTest::keyClick(combo("LeftPath")->lineEdit(), Qt::Key_Return);
    QCOMPARE(names(list("LeftFiles")), QStringList{".."});
    QVERIFY(window->isVisible());
    // F5 lists the folder again, F2 renames the current row.
    QVERIFY(writeTestFile(QDir(local).filePath(QStringLiteral("sub/inner/late.txt")), "x"));
    list("LeftFiles")->setFocus();
    QTest::keyClick(list("LeftFiles"), Qt::Key_F5);
    QCOMPARE(names(list("LeftFiles")), (QStringList{"..", "late.txt"}));
    select(list("LeftFiles"), {QStringLiteral("late.txt")});
    answerDialogs(QStringLiteral("renamed.txt"));
    QTest::keyClick(list("LeftFiles"), Qt::Key_F2);
    QCOMPARE(names(list("LeftFiles")), (QStringList{"..", "renamed.txt"}));
    // The root is listed as it is, and is never remembered as the last folder.
    window->showLocalFiles(QStringLiteral("/"));
    QVERIFY(names(list("LeftFiles")).contains(QStringLiteral("usr")));
    QCOMPARE(window->lastLocalPath, QDir::toNativeSeparators(QDir(local).filePath(QStringLiteral("sub/inner"))));

    // One pane always stays; the buttons act on places, so after a swap on the other pane.
    auto* panes = window->findChild<QSplitter*>(QStringLiteral("Left_Right_Splitter"));
    QWidget* leftPane = panes->widget(0);
    window->on_ShowLocalFile_clicked();
    QVERIFY(!leftPane->isVisible());
    window->on_ShowServerFile_clicked();
    QVERIFY(panes->widget(1)->isVisible());
    window->on_ShowLocalFile_clicked();
    window->on_SwapButton_clicked();
    QCOMPARE(panes->widget(1), leftPane);
    window->on_ShowLocalFile_clicked();
    QVERIFY(leftPane->isVisible());
    QVERIFY(!panes->widget(0)->isVisible());
    window->on_QueueButton_clicked();
    QVERIFY(!list("DUQueue")->isVisible());
}

void TestWindow::contextMenus_data()
{
    QTest::addColumn<QString>("listName");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("local") << "LeftFiles"
                           << QStringList{"Upload", "New Folder", "In folder", "Rename", "Compare", "Delete"};
    QTest::newRow("remote") << "RightFiles"
                            << QStringList{"Dowload", "New Folder", "Rename", "Move to ...", "Compare", "Attributes", "Delete"};
    QTest::newRow("queue") << "DUQueue" << QStringList{"Stop", "Retry Errors", "Clear"};
}

void TestWindow::contextMenus()
{
    QFETCH(QString, listName);
    QFETCH(QStringList, entries);
    openWindow(false);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // An empty area of the list opens its menu too.
    auto* view = window->findChild<QTreeWidget*>(listName)->viewport();
    const QPoint at(view->width() / 2, view->height() - 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->mapToGlobal(at));
    QApplication::sendEvent(view, &event);
    QMenu* shown = nullptr;
    for (QMenu* menu : window->findChildren<QMenu*>())
        shown = menu->isVisible() ? menu : shown;
    QVERIFY(shown);
    QStringList texts;
    for (const QAction* action : shown->actions())
        texts.append(action->text());
    QCOMPARE(texts, entries);
    shown->hide();
}

void TestWindow::helpOpensTheShippedPage()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    openWindow(false);
    window->on_HelpButton_clicked();
    window->setLanguage(1);
    window->on_HelpButton_clicked();
    window->setLanguage(0);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(catcher.opened.size(), 2);
    QVERIFY(catcher.opened.at(0).toLocalFile().endsWith(QLatin1String("/share/torvex/help/index.html")));
    QVERIFY(catcher.opened.at(1).toLocalFile().endsWith(QLatin1String("/share/torvex/help/index_zh.html")));
}

void TestWindow::connectBrowseAndDisconnect()
{
    QDir(server->rootPath()).mkpath(QStringLiteral("pub/deep"));
    QVERIFY(writeTestFile(server->path(QStringLiteral("readme.txt")), "hello"));
    openWindow();
    QVERIFY(login());
    QCOMPARE(text("ConnectLable"), QStringLiteral("Disconnect"));
    QCOMPARE(text("OPInfo"), QStringLiteral("Connected to the server!"));
    QVERIFY(list("RightFiles")->styleSheet().contains(QLatin1String("rgb(255, 255, 255)")));
    QTRY_VERIFY(names(list("RightFiles")).contains(QStringLiteral("pub")));
    QTreeWidgetItem* file = rowNamed(list("RightFiles"), QStringLiteral("readme.txt"));
    QVERIFY(file);
    QCOMPARE(file->text(1), QStringLiteral("5"));
    QCOMPARE(file->data(0, Qt::UserRole).toUInt(), uint(MaiDialog::FileItem));

    window->on_RightFiles_itemDoubleClicked(rowNamed(list("RightFiles"), QStringLiteral("pub")), 0);
    QTRY_COMPARE(combo("RightPath")->currentText(), QStringLiteral("/pub"));
    QTRY_VERIFY(names(list("RightFiles")).contains(QStringLiteral("deep")));
    window->on_RightFiles_itemDoubleClicked(rowNamed(list("RightFiles"), QStringLiteral("..")), 0);
    QTRY_COMPARE(combo("RightPath")->currentText(), QStringLiteral("/"));
    QTRY_VERIFY(names(list("RightFiles")).contains(QStringLiteral("readme.txt")));
    QVERIFY(waitIdle());

    // Stop with nothing to stop, then disconnect.
    window->on_Stop_clicked();
    QCOMPARE(text("OPInfo"), QStringLiteral("No command to run!"));
    QCOMPARE(text("StopLabel"), QStringLiteral("Stop"));
    window->on_Connect_clicked();
    QTRY_COMPARE(text("ConnectLable"), QStringLiteral("Connect"));
    QCOMPARE(text("OPInfo"), QStringLiteral("Not connected to the server!"));
    QVERIFY(names(list("RightFiles")).contains(QStringLiteral("readme.txt")));
    // A double-click on a folder while disconnected logs in again and opens that folder.
    QTRY_VERIFY(ftp->isClosed());
    window->on_RightFiles_itemDoubleClicked(rowNamed(list("RightFiles"), QStringLiteral("pub")), 0);
    QTRY_COMPARE(text("ConnectLable"), QStringLiteral("Disconnect"));
    QTRY_COMPARE(combo("RightPath")->currentText(), QStringLiteral("/pub"));
    QTRY_VERIFY(names(list("RightFiles")).contains(QStringLiteral("deep")));
    QVERIFY(messages.isEmpty());
}

void TestWindow::emptyListingIsAskedForOnlyOnceAgain()
{
    // The login's own listing must not be empty, or it would use up the one repeat.
    QVERIFY(writeTestFile(server->path(QStringLiteral("x.txt")), "x"));
    openWindow();
    QVERIFY(login());
    QVERIFY(waitIdle());
    window->slotCurrentDirData_Ftp(QString(), false);
    QVERIFY(ftp->isBusy());
    const int asked = ftp->commandQueue.size();
    window->slotCurrentDirData_Ftp(QString(), false);
    QCOMPARE(ftp->commandQueue.size(), asked);
    QVERIFY(list("RightFiles")->topLevelItemCount() == 0);
    QVERIFY(waitIdle());
}

void TestWindow::downloadAndUploadTrees()
{
    const QByteArray big = patternBytes(3 * 1024 * 1024 + 17, 7);
    QDir(server->rootPath()).mkpath(QStringLiteral("tree/a/b"));
    QVERIFY(writeTestFile(server->path(QStringLiteral("tree/one.bin")), big));
    QVERIFY(writeTestFile(server->path(QStringLiteral("tree/a/two.txt")), "two"));
    QVERIFY(writeTestFile(server->path(QStringLiteral("tree/a/b/empty")), QByteArray()));
    openWindow();
    QVERIFY(login());
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("tree")));

    select(list("RightFiles"), {QStringLiteral("tree")});
    window->on_DowloadButton_clicked();
    QCOMPARE(text("OPInfo"), QStringLiteral("Downloading file from server!"));
    QVERIFY(waitIdle());
    QCOMPARE(text("OPInfo"), QStringLiteral("Download file is completed!"));
    QCOMPARE(readTestFile(QDir(local).filePath(QStringLiteral("tree/one.bin"))), big);
    QCOMPARE(readTestFile(QDir(local).filePath(QStringLiteral("tree/a/two.txt"))), QByteArray("two"));
    QVERIFY(QFileInfo::exists(QDir(local).filePath(QStringLiteral("tree/a/b/empty"))));
    // Three file rows with their bars full, and the job's summary on top without size or state.
    QTreeWidget* queue = list("DUQueue");
    QCOMPARE(queue->topLevelItemCount(), 4);
    QCOMPARE(queue->topLevelItem(0)->text(2), QString());
    for (int i = 1; i < 4; ++i) {
        QTreeWidgetItem* row = queue->topLevelItem(i);
        QCOMPARE(row->text(3), QStringLiteral("dowloaded"));
        auto* record = static_cast<KTDUFile*>(row->data(4, Qt::UserRole).value<void*>());
        QCOMPARE(record->viewItem, row);
        QCOMPARE(record->doneSize, record->fileSize);
    }
    QVERIFY(rowNamed(queue, QDir::toNativeSeparators(QDir(local).filePath(QStringLiteral("tree/one.bin"))))
                ->text(2) == QString::number(big.size()));
    QTRY_VERIFY(names(list("LeftFiles")).contains(QStringLiteral("tree")));

    // The same tree back up under another name.
    QVERIFY(QDir(local).rename(QStringLiteral("tree"), QStringLiteral("back")));
    window->showLocalFiles(QString());
    select(list("LeftFiles"), {QStringLiteral("back")});
    window->on_UploadButton_clicked();
    QCOMPARE(text("OPInfo"), QStringLiteral("Uploading files to server!"));
    QVERIFY(waitIdle());
    QCOMPARE(text("OPInfo"), QStringLiteral("Upload file is completed!"));
    QCOMPARE(readTestFile(server->path(QStringLiteral("back/one.bin"))), big);
    QCOMPARE(readTestFile(server->path(QStringLiteral("back/a/two.txt"))), QByteArray("two"));
    QVERIFY(QFileInfo::exists(server->path(QStringLiteral("back/a/b/empty"))));
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("back")));
    QCOMPARE(names(queue, 3).count(QStringLiteral("uploaded")), 3);
    QVERIFY(messages.isEmpty());
}

void TestWindow::clearAndNewJobDropRowsWithTheirRecords()
{
    QVERIFY(writeTestFile(server->path(QStringLiteral("x.txt")), "x"));
    openWindow();
    QVERIFY(login());
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("x.txt")));
    select(list("RightFiles"), {QStringLiteral("x.txt")});
    window->on_DowloadButton_clicked();
    QVERIFY(waitIdle());
    QCOMPARE(list("DUQueue")->topLevelItemCount(), 2);
    QPointer<KTDUFile> record = ftp->downloads().first();
    QVERIFY(record->viewItem);
    // A new job deletes the old records; their rows go with them.
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("x.txt")));
    select(list("RightFiles"), {QStringLiteral("x.txt")});
    window->on_DowloadButton_clicked();
    QVERIFY(!record);
    QVERIFY(waitIdle());
    QCOMPARE(list("DUQueue")->topLevelItemCount(), 2);
    record = ftp->downloads().first();
    window->onClearQueueClicked();
    QCOMPARE(list("DUQueue")->topLevelItemCount(), 0);
    QVERIFY(!record);
    QVERIFY(ftp->downloads().isEmpty());
    // Retry on an empty list changes nothing.
    window->onRetryErrorsClicked();
    QCOMPARE(list("DUQueue")->topLevelItemCount(), 0);
}

void TestWindow::remoteFileCommands()
{
    QVERIFY(writeTestFile(server->path(QStringLiteral("old.txt")), "content"));
    openWindow();
    QVERIFY(login());
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("old.txt")));

    answerDialogs(QStringLiteral("made"));
    window->onNewFolderFtpClicked();
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("made")));
    QVERIFY(QFileInfo(server->path(QStringLiteral("made"))).isDir());
    QVERIFY(waitIdle());

    select(list("RightFiles"), {QStringLiteral("old.txt")});
    answerDialogs(QStringLiteral("new.txt"));
    window->slotFtpRename();
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("new.txt")));
    QVERIFY(!rowNamed(list("RightFiles"), QStringLiteral("old.txt")));
    QVERIFY(waitIdle());
    QCOMPARE(text("OPInfo"), QStringLiteral("Modify the file is completed!"));

    select(list("RightFiles"), {QStringLiteral("new.txt")});
    answerDialogs(QString(), QStringLiteral("0664"));
    window->onAttributesFtpClicked();
    QVERIFY(list("DeleteLog")->isVisible());
    QTRY_VERIFY(names(list("DeleteLog")).contains(QStringLiteral("Total: 1, Success: 1")));
    QCOMPARE(text("OPInfo"), QStringLiteral("Change the file attributes completed!"));
    QVERIFY(waitIdle());
    QVERIFY(QFileInfo(server->path(QStringLiteral("new.txt"))).permissions() & QFileDevice::WriteGroup);
    QVERIFY(messages.isEmpty());
}

void TestWindow::remoteDeleteAsksFirst_data()
{
    QTest::addColumn<int>("reply");
    QTest::addColumn<bool>("gone");
    QTest::newRow("no keeps the tree") << int(QMessageBox::No) << false;
    QTest::newRow("yes deletes it") << int(QMessageBox::Yes) << true;
}

void TestWindow::remoteDeleteAsksFirst()
{
    QFETCH(int, reply);
    QFETCH(bool, gone);
    QDir(server->rootPath()).mkpath(QStringLiteral("doomed/inner"));
    QVERIFY(writeTestFile(server->path(QStringLiteral("doomed/inner/f")), "f"));
    openWindow();
    QVERIFY(login());
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("doomed")));
    select(list("RightFiles"), {QStringLiteral("doomed")});
    answer = reply;
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    list("RightFiles")->setFocus();
    QTest::keyClick(list("RightFiles"), Qt::Key_Delete);
    QCOMPARE(messages, QStringList{QStringLiteral("Delete the selected files and folders from the server?")});
    QVERIFY(waitIdle());
    QCOMPARE(!QFileInfo::exists(server->path(QStringLiteral("doomed"))), gone);
    if (gone) {
        QTRY_VERIFY(!rowNamed(list("RightFiles"), QStringLiteral("doomed")));
        QVERIFY(list("DeleteLog")->isVisible());
        QVERIFY(list("DeleteLog")->topLevelItemCount() >= 2);
        QCOMPARE(text("OPInfo"), QStringLiteral("Delete files completed!"));
    } else {
        QCOMPARE(window->operation, int(MaiDialog::NoOperation));
        QVERIFY(!list("DeleteLog")->isVisible());
    }
}

void TestWindow::compareOneSameOneDifferent()
{
    QVERIFY(writeTestFile(server->path(QStringLiteral("same.txt")), "equal"));
    QVERIFY(writeTestFile(server->path(QStringLiteral("diff.txt")), "remote"));
    QVERIFY(writeTestFile(QDir(local).filePath(QStringLiteral("same.txt")), "equal"));
    QVERIFY(writeTestFile(QDir(local).filePath(QStringLiteral("diff.txt")), "local!"));
    openWindow();
    QVERIFY(login());
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("diff.txt")));
    QTRY_VERIFY(rowNamed(list("LeftFiles"), QStringLiteral("diff.txt")));
    select(list("RightFiles"), {QStringLiteral("same.txt"), QStringLiteral("diff.txt")});
    select(list("LeftFiles"), {QStringLiteral("diff.txt")});
    window->onCompareFtpFileClicked();
    QCOMPARE(messages, QStringList{QStringLiteral("Wrong choice, Please choose the same name file or folder!")});
    select(list("LeftFiles"), {QStringLiteral("diff.txt"), QStringLiteral("same.txt")});
    window->onCompareFtpFileClicked();
    QCOMPARE(text("OPInfo"), QStringLiteral("Comparing files!"));
    QVERIFY(waitIdle());
    QCOMPARE(text("OPInfo"), QStringLiteral("Compare files completed!"));
    const QStringList states = names(list("DUQueue"), 3);
    QCOMPARE(states.count(QStringLiteral("Same")), 1);
    QCOMPARE(states.count(QStringLiteral("Different")), 1);
    QVERIFY(names(list("DUQueue")).contains(QDir::toNativeSeparators(QDir(local).filePath(QStringLiteral("same.txt")))));
    QVERIFY(!QFileInfo::exists(QDir(local).filePath(QStringLiteral("Cmp_0"))));
    QCOMPARE(readTestFile(QDir(local).filePath(QStringLiteral("diff.txt"))), QByteArray("local!"));
}

void TestWindow::compareFolderNeverReusesAnExistingOne()
{
    QVERIFY(writeTestFile(server->path(QStringLiteral("a.txt")), "a"));
    QVERIFY(writeTestFile(QDir(local).filePath(QStringLiteral("a.txt")), "a"));
    QVERIFY(writeTestFile(QDir(local).filePath(QStringLiteral("Cmp_0/keep.txt")), "mine"));
    openWindow();
    QVERIFY(login());
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("a.txt")));
    select(list("RightFiles"), {QStringLiteral("a.txt")});
    select(list("LeftFiles"), {QStringLiteral("a.txt")});
    window->onCompareFtpFileClicked();
    QCOMPARE(window->compareTempFolder, QDir::toNativeSeparators(QDir(local).filePath(QStringLiteral("Cmp_1"))));
    QVERIFY(waitIdle());
    QCOMPARE(names(list("DUQueue"), 3).count(QStringLiteral("Same")), 1);
    QCOMPARE(readTestFile(QDir(local).filePath(QStringLiteral("Cmp_0/keep.txt"))), QByteArray("mine"));
    QVERIFY(!QFileInfo::exists(QDir(local).filePath(QStringLiteral("Cmp_1"))));
}

void TestWindow::speedLineOncePerSecond()
{
    openWindow(false);
    KTDUFile record;
    record.localFile = QStringLiteral("/tmp/x");
    record.fileSize = 4 * 1024 * 1024;
    record.doneSize = 1024 * 1024;
    record.stateCode = KTDUFile::Downloading;
    window->slotSRFile_Ftp(&record);
    window->slotSRFileSize_Ftp(&record);
    window->slotSRProgress_Ftp(&record);
    QCOMPARE(text("Speed"), QString());
    QTRY_VERIFY((window->slotSRProgress_Ftp(&record), !text("Speed").isEmpty()));
    QVERIFY2(text("Speed").startsWith(QLatin1String("Elapsed:1s  Remaining:")), qPrintable(text("Speed")));
    QVERIFY(text("Speed").endsWith(QLatin1String("/s")));
    // A second signal within the same second leaves the line alone.
    const QString shown = text("Speed");
    record.doneSize = 2 * 1024 * 1024;
    window->slotSRProgress_Ftp(&record);
    QCOMPARE(text("Speed"), shown);
    QCOMPARE(list("DUQueue")->topLevelItemCount(), 1);
}

void TestWindow::tenThousandRowsFollowTheirRecords()
{
    constexpr int Count = 10000;
    openWindow(false);
    std::vector<std::unique_ptr<KTDUFile>> records;
    for (int i = 0; i < Count; ++i) {
        records.push_back(std::make_unique<KTDUFile>());
        records.back()->localFile = QStringLiteral("/l/%1").arg(i);
        window->slotSRFile_Ftp(records.back().get());
    }
    for (const auto& record : records) {
        record->stateCode = KTDUFile::Downloading;
        record->fileSize = 10;
        window->slotSRFileSize_Ftp(record.get());
        record->stateCode = KTDUFile::Downloaded;
        window->soltSRFileFinish_Ftp(record.get());
    }
    QTreeWidget* queue = list("DUQueue");
    QCOMPARE(queue->topLevelItemCount(), Count);
    // The rows catch up within a moment, the last file started on top.
    QTRY_COMPARE(queue->topLevelItem(0)->text(3), QStringLiteral("dowloaded"));
    QCOMPARE(queue->topLevelItem(0)->text(0), QStringLiteral("/l/9999"));
    QCOMPARE(queue->topLevelItem(Count - 1)->text(2), QStringLiteral("10"));
    QCOMPARE(records.front()->doneSize, qint64(10));
    // Records that go take their rows with them, at once.
    records.erase(records.begin(), records.begin() + Count / 2);
    QCOMPARE(queue->topLevelItemCount(), Count / 2);
    QCOMPARE(queue->topLevelItem(Count / 2 - 1)->text(0), QStringLiteral("/l/5000"));
    records.clear();
    QCOMPARE(queue->topLevelItemCount(), 0);
}

void TestWindow::stopAndRestart()
{
    const QByteArray big = patternBytes(8 * 1024 * 1024, 3);
    QVERIFY(writeTestFile(server->path(QStringLiteral("big.bin")), big));
    openWindow();
    QVERIFY(login());
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("big.bin")));
    select(list("RightFiles"), {QStringLiteral("big.bin")});
    window->on_DowloadButton_clicked();
    window->on_Stop_clicked();
    QCOMPARE(text("OPInfo"), QStringLiteral("Stopping!"));
    QTRY_COMPARE_WITH_TIMEOUT(text("StopLabel"), QStringLiteral("Restart"), JobWaitMs);
    QCOMPARE(text("OPInfo"), QStringLiteral("Download has stopped!"));
    QCOMPARE(window->operation, int(MaiDialog::DownloadOperation));
    window->on_Stop_clicked();
    QCOMPARE(text("OPInfo"), QStringLiteral("Downloading file from server!"));
    QVERIFY(waitIdle());
    QCOMPARE(text("StopLabel"), QStringLiteral("Stop"));
    QCOMPARE(readTestFile(QDir(local).filePath(QStringLiteral("big.bin"))), big);
}

void TestWindow::droppedConnectionInTheMiddle()
{
    QVERIFY(writeTestFile(server->path(QStringLiteral("big.bin")), patternBytes(32 * 1024 * 1024, 5)));
    openWindow();
    QVERIFY(login());
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("big.bin")));
    select(list("RightFiles"), {QStringLiteral("big.bin")});
    window->on_DowloadButton_clicked();
    QTRY_VERIFY_WITH_TIMEOUT(list("DUQueue")->topLevelItemCount() > 0, JobWaitMs);
    server->server->stopAll();
    QTRY_COMPARE_WITH_TIMEOUT(text("ConnectLable"), QStringLiteral("Connect"), JobWaitMs);
    QCOMPARE(text("OPInfo"), QStringLiteral("Not connected to the server!"));
    QVERIFY(list("RightFiles")->styleSheet().contains(QLatin1String("rgb(255, 200, 200)")));
    // The rows still point at live records; a Clear then empties both.
    for (int i = 0; i < list("DUQueue")->topLevelItemCount(); ++i) {
        auto* record = static_cast<KTDUFile*>(list("DUQueue")->topLevelItem(i)->data(2, Qt::UserRole).value<void*>());
        QCOMPARE(record->viewItem, list("DUQueue")->topLevelItem(i));
    }
    window->onClearQueueClicked();
    QCOMPARE(list("DUQueue")->topLevelItemCount(), 0);
    window->on_DowloadButton_clicked();
    QCOMPARE(messages.last(), QStringLiteral("Not connected to the server!"));
}

void TestWindow::localDeleteGoesToTrash()
{
    QVERIFY(writeTestFile(QDir(local).filePath(QStringLiteral("precious.txt")), "keep me"));
    QDir(home.path()).mkpath(QStringLiteral("data"));
    openWindow(false);
    window->showLocalFiles(QDir::toNativeSeparators(local));
    select(list("LeftFiles"), {QStringLiteral("precious.txt")});
    answer = QMessageBox::No;
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    list("LeftFiles")->setFocus();
    QTest::keyClick(list("LeftFiles"), Qt::Key_Delete);
    QVERIFY(!rowNamed(list("LeftFiles"), QStringLiteral("precious.txt")));
    QVERIFY(messages.isEmpty());
    QCOMPARE(readTestFile(home.filePath(QStringLiteral("data/Trash/files/precious.txt"))), QByteArray("keep me"));
}

void TestWindow::programWithoutDisplaySaysSoInOneLine()
{
    const QString program = qEnvironmentVariable("TORVEX_BINARY_DIR") + QStringLiteral("/app/torvex");
    if (!QFileInfo(program).isExecutable())
        QSKIP("the torvex program is not built");
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    run.setProcessEnvironment(env);
    run.start(program, QStringList());
    QVERIFY(run.waitForFinished(10000));
    QCOMPARE(run.exitCode(), 1);
    const QString said = QString::fromLocal8Bit(run.readAllStandardError());
    QCOMPARE(said.count(QLatin1Char('\n')), 1);
    QVERIFY(said.contains(QLatin1String("no display")));
    QVERIFY(said.contains(QLatin1String("xvfb-run")));
}

QTEST_MAIN(TestWindow)
#include "tst_gui_window.moc"
