// The main window against our own server on 127.0.0.1, driven through its real slots.
#include "app/maidialog.h"
#include "common/helpers.h"
#include "dialogs/authorizedirectory.h"
#include "dialogs/ftpcommanddlg.h"
#include "dialogs/kchmoddlg.h"
#include "engine/ftpclient.h"
#include "server/ktftpserver.h"
#include "server/startftpdialog.h"
#include "settings/fbdata.h"
#include "sites/backuptoftpdialog.h"
#include "sites/serverdirtree.h"
#include "support/ftppeers.h"
#include "support/modalanswerer.h"
#include "support/serverprobe.h"
#include "support/testfiles.h"
#include "support/widgetdriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QSplitter>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

constexpr int JobWaitMs = 20000;

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

    void guardWithoutLogin_data();
    void guardWithoutLogin();
    void keysPanesAndLocalDelete();
    void contextMenus_data();
    void contextMenus();
    void helpOpensTheShippedPage();
    void connectBrowseAndDisconnect();
    void downloadAndUploadTrees();
    void remoteFileCommands();
    void remoteDeleteAsksFirst_data();
    void remoteDeleteAsksFirst();
    void compareNeverReusesAnExistingFolder();
    void speedLineOncePerSecondAndTenThousandRows();
    void stopAndRestart();
    void droppedConnectionInTheMiddle();
    void programWithoutDisplaySaysSoInOneLine();
    void firstSessionFromEmptyConfiguration();
    void padlockShowsOnlyWhileEncrypted();

private:
    MaiDialog* openWindow(bool withSite = true);
    bool login();
    QTreeWidget* list(const char* name) const { return child<QTreeWidget>(window, name); }
    QString shown(const char* label) const { return text(window, label); }
    QComboBox* combo(const char* name) const { return child<QComboBox>(window, name); }
    void select(const char* name, const QStringList& rows) { QVERIFY(selectRows(list(name), rows)); }
    bool waitIdle();
    void answerDialogs(const QString& name, const QString& mode = QString());
    void pressKey(const char* name, Qt::Key key);
    void loginAndDownload(const QString& name);

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
    local = home.filePath(QStringLiteral("local"));
    removeDir(local);
    QDir().mkpath(local);
    server = std::make_unique<ServerFixture>();
    server->addUser(QStringLiteral("tester"), QStringLiteral("secret"));
    QVERIFY(server->start());
}

void TestWindow::cleanup()
{
    MaiDialog::dialogRunner = nullptr;
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

// Waits with the event loop running all along: the server in this process has to keep serving.
// (QTest::qWaitFor sleeps between its rounds, which slows every transfer down.)
static bool waitUntil(const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < JobWaitMs)
        QTest::qWait(20);
    return done();
}

bool TestWindow::waitIdle()
{
    return waitUntil([this] { return !ftp->isBusy() && window->operation == MaiDialog::NoOperation; });
}

bool TestWindow::login()
{
    window->on_Connect_clicked();
    return waitUntil([this] { return ftp->isLoggedIn() && !ftp->isBusy(); });
}

// Logs in and starts downloading the named file of the server's root.
void TestWindow::loginAndDownload(const QString& name)
{
    openWindow();
    QVERIFY(login());
    QTRY_VERIFY(rowNamed(list("RightFiles"), name));
    select("RightFiles", {name});
    window->on_DowloadButton_clicked();
}

// The next modal dialog gets this name (or permission mode) and is confirmed.
void TestWindow::answerDialogs(const QString& name, const QString& mode)
{
    MaiDialog::dialogRunner = [name, mode](QDialog* dialog) {
        if (auto* chmod = qobject_cast<KChmodDlg*>(dialog)) {
            if (mode.isEmpty())
                return;
            child<QCheckBox>(chmod, "GroupWrite")->setChecked(mode.at(2) == QLatin1Char('6'));
            click(chmod, "Change");
            return;
        }
        if (auto* edit = dialog->findChild<QLineEdit*>())
            edit->setText(name);
        click(dialog, "Ok");
    };
}

// A key pressed in a list of the active window, as the user would.
void TestWindow::pressKey(const char* name, Qt::Key key)
{
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    list(name)->setFocus();
    QTest::keyClick(list(name), key);
}

void TestWindow::guardWithoutLogin_data()
{
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QString>("message");
    const QString notConnected = QStringLiteral("Not connected to the server!");
    const QString noChoice = QStringLiteral("You did not choose any files or directories!");
    QTest::newRow("stop") << "on_Stop_clicked" << notConnected;
    QTest::newRow("download without selection") << "on_DowloadButton_clicked" << noChoice;
    QTest::newRow("upload without selection") << "on_UploadButton_clicked" << noChoice;
    QTest::newRow("refresh") << "on_NetIcon_clicked" << notConnected;
    QTest::newRow("new folder") << "onNewFolderFtpClicked" << notConnected;
    QTest::newRow("attributes") << "onAttributesFtpClicked" << notConnected;
    QTest::newRow("delete") << "onDeleteFtpFileClicked" << notConnected;
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

void TestWindow::keysPanesAndLocalDelete()
{
    QDir(local).mkpath(QStringLiteral("sub/inner"));
    QDir(home.path()).mkpath(QStringLiteral("data"));
    QVERIFY(writeTestFile(QDir(local).filePath(QStringLiteral("sub/precious.txt")), "keep me"));
    openWindow();
    // The columns follow the window's width.
    const int nameWidth = list("LeftFiles")->columnWidth(0);
    window->resize(window->width() + 400, window->height());
    QTRY_VERIFY(list("LeftFiles")->columnWidth(0) > nameWidth);

    window->showLocalFiles(QDir(local).filePath(QStringLiteral("sub")));
    QCOMPARE(column(list("LeftFiles"), 0), (QStringList{"..", "inner", "precious.txt"}));
    // Delete sends a local file to the trash without asking.
    select("LeftFiles", {QStringLiteral("precious.txt")});
    answer = QMessageBox::No;
    pressKey("LeftFiles", Qt::Key_Delete);
    QVERIFY(!rowNamed(list("LeftFiles"), QStringLiteral("precious.txt")));
    QVERIFY(messages.isEmpty());
    QCOMPARE(readTestFile(home.filePath(QStringLiteral("data/Trash/files/precious.txt"))), QByteArray("keep me"));
    // Escape leaves the window open; Backspace in the list opens the parent folder.
    pressKey("LeftFiles", Qt::Key_Escape);
    QVERIFY(window->isVisible());
    pressKey("LeftFiles", Qt::Key_Backspace);
    QCOMPARE(combo("LeftPath")->currentText(), QDir::toNativeSeparators(local));
    QVERIFY(column(list("LeftFiles"), 0).contains(QStringLiteral("sub")));
    // Return in the path combo lists the folder typed there.
    combo("LeftPath")->setFocus();
    combo("LeftPath")->setEditText(QDir(local).filePath(QStringLiteral("sub/inner")));
    QTest::keyClick(combo("LeftPath")->lineEdit(), Qt::Key_Return);
    QCOMPARE(column(list("LeftFiles"), 0), QStringList{".."});
    QVERIFY(window->isVisible());
    // F5 lists the folder again, F2 renames the current row.
    QVERIFY(writeTestFile(QDir(local).filePath(QStringLiteral("sub/inner/late.txt")), "x"));
    pressKey("LeftFiles", Qt::Key_F5);
    QCOMPARE(column(list("LeftFiles"), 0), (QStringList{"..", "late.txt"}));
    select("LeftFiles", {QStringLiteral("late.txt")});
    answerDialogs(QStringLiteral("renamed.txt"));
    pressKey("LeftFiles", Qt::Key_F2);
    QCOMPARE(column(list("LeftFiles"), 0), (QStringList{"..", "renamed.txt"}));
    // The root is listed as it is, and is never remembered as the last folder.
    window->showLocalFiles(QStringLiteral("/"));
    QVERIFY(column(list("LeftFiles"), 0).contains(QStringLiteral("usr")));
    QCOMPARE(window->lastLocalPath, QDir::toNativeSeparators(QDir(local).filePath(QStringLiteral("sub/inner"))));

    // One pane always stays; the buttons act on places, so after a swap on the other pane.
    auto* panes = child<QSplitter>(window, "Left_Right_Splitter");
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
    auto* view = child<QTreeWidget>(window, qPrintable(listName))->viewport();
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
    // What the user sees at start: trees, the result list and the command button hidden.
    QCOMPARE(window->windowTitle(), QStringLiteral("FTP Torvex"));
    for (const char* hidden : {"LeftTree", "RightTree", "DeleteLog", "CommandButton", "CommandText"})
        QVERIFY2(!child<QWidget>(window, hidden)->isVisible(), hidden);
    QCOMPARE(shown("OPInfo"), QStringLiteral("Not connected to the server!"));
    QCOMPARE(shown("ConnectLable"), QStringLiteral("Connect"));
    QVERIFY(list("RightFiles")->styleSheet().contains(QLatin1String("rgb(255, 200, 200)")));

    QVERIFY(login());
    QCOMPARE(shown("ConnectLable"), QStringLiteral("Disconnect"));
    QCOMPARE(shown("OPInfo"), QStringLiteral("Connected to the server!"));
    QVERIFY(list("RightFiles")->styleSheet().contains(QLatin1String("rgb(255, 255, 255)")));
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("pub")));
    QTreeWidgetItem* file = rowNamed(list("RightFiles"), QStringLiteral("readme.txt"));
    QVERIFY(file);
    QCOMPARE(file->text(1), QStringLiteral("5"));
    QCOMPARE(file->data(0, Qt::UserRole).toUInt(), uint(MaiDialog::FileItem));

    // An empty listing is asked for once again, never more. The login's own listing above was
    // not empty, or it would have used up the one repeat.
    window->slotCurrentDirData_Ftp(QString(), false);
    QVERIFY(ftp->isBusy());
    const int asked = ftp->commandQueue.size();
    window->slotCurrentDirData_Ftp(QString(), false);
    QCOMPARE(ftp->commandQueue.size(), asked);
    QCOMPARE(list("RightFiles")->topLevelItemCount(), 0);
    QVERIFY(waitIdle());

    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("pub")));
    window->on_RightFiles_itemDoubleClicked(rowNamed(list("RightFiles"), QStringLiteral("pub")), 0);
    QTRY_COMPARE(combo("RightPath")->currentText(), QStringLiteral("/pub"));
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("deep")));
    window->on_RightFiles_itemDoubleClicked(rowNamed(list("RightFiles"), QStringLiteral("..")), 0);
    QTRY_COMPARE(combo("RightPath")->currentText(), QStringLiteral("/"));
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("readme.txt")));
    QVERIFY(waitIdle());

    // Stop with nothing to stop, then disconnect.
    window->on_Stop_clicked();
    QCOMPARE(shown("OPInfo"), QStringLiteral("No command to run!"));
    QCOMPARE(shown("StopLabel"), QStringLiteral("Stop"));
    window->on_Connect_clicked();
    QTRY_COMPARE(shown("ConnectLable"), QStringLiteral("Connect"));
    QCOMPARE(shown("OPInfo"), QStringLiteral("Not connected to the server!"));
    QVERIFY(rowNamed(list("RightFiles"), QStringLiteral("readme.txt")));
    // A double-click on a folder while disconnected logs in again and opens that folder.
    QTRY_VERIFY(ftp->isClosed());
    window->on_RightFiles_itemDoubleClicked(rowNamed(list("RightFiles"), QStringLiteral("pub")), 0);
    QTRY_COMPARE(shown("ConnectLable"), QStringLiteral("Disconnect"));
    QTRY_COMPARE(combo("RightPath")->currentText(), QStringLiteral("/pub"));
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("deep")));
    QVERIFY(messages.isEmpty());
}

void TestWindow::downloadAndUploadTrees()
{
    const QByteArray big = patternBytes(3 * 1024 * 1024 + 17, 7);
    QDir(server->rootPath()).mkpath(QStringLiteral("tree/a/b"));
    QVERIFY(writeTestFile(server->path(QStringLiteral("tree/one.bin")), big));
    QVERIFY(writeTestFile(server->path(QStringLiteral("tree/a/two.txt")), "two"));
    QVERIFY(writeTestFile(server->path(QStringLiteral("tree/a/b/empty")), QByteArray()));
    loginAndDownload(QStringLiteral("tree"));
    QCOMPARE(shown("OPInfo"), QStringLiteral("Downloading file from server!"));
    QVERIFY(waitIdle());
    QCOMPARE(shown("OPInfo"), QStringLiteral("Download file is completed!"));
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
    QCOMPARE(rowNamed(queue, QDir::toNativeSeparators(QDir(local).filePath(QStringLiteral("tree/one.bin"))))->text(2),
             QString::number(big.size()));
    QTRY_VERIFY(rowNamed(list("LeftFiles"), QStringLiteral("tree")));

    // The same tree back up under another name. The new job deletes the old records, and their
    // rows go with them.
    QPointer<KTDUFile> record = ftp->downloads().first();
    QVERIFY(QDir(local).rename(QStringLiteral("tree"), QStringLiteral("back")));
    window->showLocalFiles(QString());
    select("LeftFiles", {QStringLiteral("back")});
    window->on_UploadButton_clicked();
    QVERIFY(!record);
    QCOMPARE(shown("OPInfo"), QStringLiteral("Uploading files to server!"));
    QVERIFY(waitIdle());
    QCOMPARE(shown("OPInfo"), QStringLiteral("Upload file is completed!"));
    QCOMPARE(readTestFile(server->path(QStringLiteral("back/one.bin"))), big);
    QCOMPARE(readTestFile(server->path(QStringLiteral("back/a/two.txt"))), QByteArray("two"));
    QVERIFY(QFileInfo::exists(server->path(QStringLiteral("back/a/b/empty"))));
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("back")));
    QCOMPARE(queue->topLevelItemCount(), 4);
    QCOMPARE(column(queue, 3).count(QStringLiteral("uploaded")), 3);
    QVERIFY(messages.isEmpty());

    // Clear drops the rows with their records; Retry on an empty list changes nothing.
    record = ftp->uploads().first();
    window->onClearQueueClicked();
    QCOMPARE(queue->topLevelItemCount(), 0);
    QVERIFY(!record);
    QVERIFY(ftp->uploads().isEmpty());
    window->onRetryErrorsClicked();
    QCOMPARE(queue->topLevelItemCount(), 0);
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

    select("RightFiles", {QStringLiteral("old.txt")});
    answerDialogs(QStringLiteral("new.txt"));
    window->slotFtpRename();
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("new.txt")));
    QVERIFY(!rowNamed(list("RightFiles"), QStringLiteral("old.txt")));
    QVERIFY(waitIdle());
    QCOMPARE(shown("OPInfo"), QStringLiteral("Modify the file is completed!"));

    select("RightFiles", {QStringLiteral("new.txt")});
    answerDialogs(QString(), QStringLiteral("0664"));
    window->onAttributesFtpClicked();
    QVERIFY(list("DeleteLog")->isVisible());
    QTRY_VERIFY(column(list("DeleteLog"), 0).contains(QStringLiteral("Total: 1, Success: 1")));
    QCOMPARE(shown("OPInfo"), QStringLiteral("Change the file attributes completed!"));
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
    select("RightFiles", {QStringLiteral("doomed")});
    answer = reply;
    pressKey("RightFiles", Qt::Key_Delete);
    QCOMPARE(messages, QStringList{QStringLiteral("Delete the selected files and folders from the server?")});
    QVERIFY(waitIdle());
    QCOMPARE(!QFileInfo::exists(server->path(QStringLiteral("doomed"))), gone);
    QCOMPARE(list("DeleteLog")->isVisible(), gone);
    if (gone) {
        QTRY_VERIFY(!rowNamed(list("RightFiles"), QStringLiteral("doomed")));
        QVERIFY(list("DeleteLog")->topLevelItemCount() >= 2);
        QCOMPARE(shown("OPInfo"), QStringLiteral("Delete files completed!"));
    }
}

void TestWindow::compareNeverReusesAnExistingFolder()
{
    QVERIFY(writeTestFile(server->path(QStringLiteral("same.txt")), "equal"));
    QVERIFY(writeTestFile(server->path(QStringLiteral("diff.txt")), "remote"));
    QVERIFY(writeTestFile(QDir(local).filePath(QStringLiteral("same.txt")), "equal"));
    QVERIFY(writeTestFile(QDir(local).filePath(QStringLiteral("diff.txt")), "local!"));
    QVERIFY(writeTestFile(QDir(local).filePath(QStringLiteral("Cmp_0/keep.txt")), "mine"));
    openWindow();
    QVERIFY(login());
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("diff.txt")));
    QTRY_VERIFY(rowNamed(list("LeftFiles"), QStringLiteral("diff.txt")));
    select("RightFiles", {QStringLiteral("same.txt"), QStringLiteral("diff.txt")});
    select("LeftFiles", {QStringLiteral("diff.txt")});
    window->onCompareFtpFileClicked();
    QCOMPARE(messages, QStringList{QStringLiteral("Wrong choice, Please choose the same name file or folder!")});
    select("LeftFiles", {QStringLiteral("diff.txt"), QStringLiteral("same.txt")});
    window->onCompareFtpFileClicked();
    QCOMPARE(shown("OPInfo"), QStringLiteral("Comparing files!"));
    // A folder of the user's that happens to have the first temporary name is left alone.
    QCOMPARE(window->compareTempFolder, QDir::toNativeSeparators(QDir(local).filePath(QStringLiteral("Cmp_1"))));
    QVERIFY(waitIdle());
    QCOMPARE(shown("OPInfo"), QStringLiteral("Compare files completed!"));
    const QStringList states = column(list("DUQueue"), 3);
    QCOMPARE(states.count(QStringLiteral("Same")), 1);
    QCOMPARE(states.count(QStringLiteral("Different")), 1);
    QVERIFY(column(list("DUQueue"), 0).contains(QDir::toNativeSeparators(QDir(local).filePath(QStringLiteral("same.txt")))));
    QCOMPARE(readTestFile(QDir(local).filePath(QStringLiteral("Cmp_0/keep.txt"))), QByteArray("mine"));
    QVERIFY(!QFileInfo::exists(QDir(local).filePath(QStringLiteral("Cmp_1"))));
    QCOMPARE(readTestFile(QDir(local).filePath(QStringLiteral("diff.txt"))), QByteArray("local!"));
}

void TestWindow::speedLineOncePerSecondAndTenThousandRows()
{
    openWindow(false);
    {
        KTDUFile record;
        record.localFile = QStringLiteral("/tmp/x");
        record.fileSize = 4 * 1024 * 1024;
        record.doneSize = 1024 * 1024;
        record.stateCode = KTDUFile::Downloading;
        window->slotSRFile_Ftp(&record);
        window->slotSRFileSize_Ftp(&record);
        window->slotSRProgress_Ftp(&record);
        QCOMPARE(shown("Speed"), QString());
        QTRY_VERIFY((window->slotSRProgress_Ftp(&record), !shown("Speed").isEmpty()));
        QVERIFY2(shown("Speed").startsWith(QLatin1String("Elapsed:1s  Remaining:")), qPrintable(shown("Speed")));
        QVERIFY(shown("Speed").endsWith(QLatin1String("/s")));
        // A second signal within the same second leaves the line alone.
        const QString line = shown("Speed");
        record.doneSize = 2 * 1024 * 1024;
        window->slotSRProgress_Ftp(&record);
        QCOMPARE(shown("Speed"), line);
        QCOMPARE(list("DUQueue")->topLevelItemCount(), 1);
    }
    QCOMPARE(list("DUQueue")->topLevelItemCount(), 0);

    // Ten thousand rows follow their records.
    constexpr int Count = 10000;
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
    loginAndDownload(QStringLiteral("big.bin"));
    window->on_Stop_clicked();
    QCOMPARE(shown("OPInfo"), QStringLiteral("Stopping!"));
    QTRY_COMPARE_WITH_TIMEOUT(shown("StopLabel"), QStringLiteral("Restart"), JobWaitMs);
    QCOMPARE(shown("OPInfo"), QStringLiteral("Download has stopped!"));
    QCOMPARE(window->operation, int(MaiDialog::DownloadOperation));
    window->on_Stop_clicked();
    QCOMPARE(shown("OPInfo"), QStringLiteral("Downloading file from server!"));
    QVERIFY(waitIdle());
    QCOMPARE(shown("StopLabel"), QStringLiteral("Stop"));
    QCOMPARE(readTestFile(QDir(local).filePath(QStringLiteral("big.bin"))), big);
}

void TestWindow::droppedConnectionInTheMiddle()
{
    QVERIFY(writeTestFile(server->path(QStringLiteral("big.bin")), patternBytes(32 * 1024 * 1024, 5)));
    loginAndDownload(QStringLiteral("big.bin"));
    QTRY_VERIFY_WITH_TIMEOUT(list("DUQueue")->topLevelItemCount() > 0, JobWaitMs);
    server->server->stopAll();
    QTRY_COMPARE_WITH_TIMEOUT(shown("ConnectLable"), QStringLiteral("Connect"), JobWaitMs);
    QCOMPARE(shown("OPInfo"), QStringLiteral("Not connected to the server!"));
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

// A new user's first session through the window and its dialogs alone, from an empty
// configuration: the test site offered, the built-in server started from the Sites dialog, a file
// up and back down, moved through the folder chooser, the site kept at exit.
void TestWindow::firstSessionFromEmptyConfiguration()
{
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("fresh")).toLocal8Bit());
    const QString served = home.filePath(QStringLiteral("served"));
    QVERIFY(QDir().mkpath(served));
    const QByteArray bytes = patternBytes(300 * 1024 + 7, 3);
    QVERIFY(writeTestFile(QDir(local).filePath(QStringLiteral("hello.bin")), bytes));
    const quint16 port = freeLoopbackPort();
    ModalAnswerer answerer;
    // What the user does in the Sites dialog: the test site is offered, the server is started
    // from the dialog's own button, then Connect and Ok.
    MaiDialog::dialogRunner = [&](QDialog* dialog) {
        auto* sites = qobject_cast<BackupToFTPDialog*>(dialog);
        QVERIFY(sites);
        QCOMPARE(text(sites, "ServerName"), QStringLiteral("TestFtp"));
        QCOMPARE(text(sites, "IP"), QStringLiteral("127.0.0.1"));
        answerer.expect("StartFTPDialog", [&](QDialog* starter) {
            setText(starter, "Path", served);
            setText(starter, "Port", QString::number(port));
            click(starter, "StartButton");
            click(starter, "CloseButton");
        });
        click(sites, "FtpServer");
        QCOMPARE(text(sites, "ftpInfo"), QStringLiteral("Local ftp server has started!"));
        // Another program may hold 2121 on this machine; the test site is otherwise as offered.
        setText(sites, "Port", QString::number(port));
        setText(sites, "WorkFolderEdit", QDir::toNativeSeparators(local));
        click(sites, "ConnectButton");
        QTRY_VERIFY_WITH_TIMEOUT(ftp->isLoggedIn(), JobWaitMs);
        click(sites, "Ok");
    };
    window = new MaiDialog;
    ftp = window->findChild<FTPClient*>();
    const QString sitesFile = window->findChild<FBData*>()->filePath(QStringLiteral("servers.ini"));
    QVERIFY(window->findChild<FBData*>()->sites.isEmpty());
    window->show();
    click(window, "Connect");
    QVERIFY(!QTest::currentTestFailed());
    QVERIFY(ftp->isLoggedIn());
    QCOMPARE(answerer.texts, QStringList({QStringLiteral("Connection success!")}));

    QTRY_VERIFY(rowNamed(list("LeftFiles"), QStringLiteral("hello.bin")));
    select("LeftFiles", {QStringLiteral("hello.bin")});
    click(window, "UploadButton");
    QVERIFY(waitIdle());
    QCOMPARE(readTestFile(QDir(served).filePath(QStringLiteral("hello.bin"))), bytes);
    QVERIFY(QFile::remove(QDir(local).filePath(QStringLiteral("hello.bin"))));
    QTRY_VERIFY(rowNamed(list("RightFiles"), QStringLiteral("hello.bin")));
    select("RightFiles", {QStringLiteral("hello.bin")});
    click(window, "DowloadButton");
    QVERIFY(waitIdle());
    QCOMPARE(readTestFile(QDir(local).filePath(QStringLiteral("hello.bin"))), bytes);
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QLatin1Char('|'))));

    // "Move to ..." through the folder chooser.
    QVERIFY(QDir(served).mkdir(QStringLiteral("dest")));
    select("RightFiles", {QStringLiteral("hello.bin")});
    MaiDialog::dialogRunner = [](QDialog* dialog) {
        auto* chooser = qobject_cast<ServerDirTree*>(dialog);
        QVERIFY(chooser);
        auto* tree = child<QTreeWidget>(chooser, "DirTree");
        QTRY_COMPARE(tree->topLevelItem(0)->childCount(), 1);
        tree->setCurrentItem(tree->topLevelItem(0)->child(0));
        click(chooser, "pushButton");
    };
    window->onMoveFtpFileClicked();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QDir(served).filePath(QStringLiteral("dest/hello.bin"))), JobWaitMs);

    // The server button twice opens one dialog, which finds the server running.
    for (int i = 0; i < 2; ++i)
        click(window, "StarFTP");
    QCOMPARE(window->findChildren<StartFTPDialog*>().size(), 1);
    auto* starter = window->findChild<StartFTPDialog*>();
    QVERIFY(starter->isVisible());
    QCOMPARE(text(starter, "StartInfo"), QStringLiteral("FTP server has started."));
    starter->close();
    QVERIFY(StartFTPDialog::server()->isListening());

    // The hidden command button's dialog runs a command on the window's connection.
    QStringList exchange;
    MaiDialog::dialogRunner = [&exchange](QDialog* dialog) {
        auto* command = qobject_cast<FTPCommandDlg*>(dialog);
        QVERIFY(command);
        setText(command, "CommandEdit", QStringLiteral("NOOP"));
        click(command, "RunButton");
        QTRY_VERIFY(command->pendingCommand.isEmpty());
        exchange = column(child<QTreeWidget>(command, "ResultListView"), 0);
    };
    window->on_CommandButton_clicked();
    QCOMPARE(exchange, QStringList({"NOOP", "200 NOOP ok."}));

    // A folder that yields not even "." (unreadable, or gone) is named in the dialog.
    const QString gone = home.filePath(QStringLiteral("gone"));
    QString named;
    MaiDialog::dialogRunner = [&named](QDialog* dialog) {
        auto* authorize = qobject_cast<AuthorizeDirectory*>(dialog);
        QVERIFY(authorize);
        named = authorize->directory;
        click(authorize, "Cancel");
    };
    window->showLocalFiles(gone);
    QCOMPARE(named, gone);

    // Closing the window stops the built-in server and keeps the site.
    delete window;
    window = nullptr;
    QVERIFY(!StartFTPDialog::server());
    QSettings sites(sitesFile, QSettings::IniFormat);
    QCOMPARE(sites.value(QStringLiteral("Server/Count")).toInt(), 1);
    QCOMPARE(sites.value(QStringLiteral("Node0/ServerName")).toString(), QStringLiteral("TestFtp"));
    QCOMPARE(sites.value(QStringLiteral("Node0/Port")).toUInt(), uint(port));
    QCOMPARE(sites.value(QStringLiteral("Node0/Select")).toBool(), true);
}

void TestWindow::padlockShowsOnlyWhileEncrypted()
{
    openWindow(false);
    window->show();
    auto* padlock = window->findChild<QLabel*>(QStringLiteral("EncryptedIcon"));
    QVERIFY(padlock);
    QVERIFY(!padlock->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(!padlock->isVisible());
    emit ftp->encryptionChanged(true);
    QVERIFY(padlock->isVisible());
    emit ftp->encryptionChanged(false);
    QVERIFY(!padlock->isVisible());
}

QTEST_MAIN(TestWindow)
#include "tst_gui_window.moc"
