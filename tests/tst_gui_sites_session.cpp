// A new user's first session through the window and its dialogs alone: no site yet, the built-in
// server started from its dialog on 127.0.0.1, a file up and back down, the site kept at exit.
#include "app/maidialog.h"
#include "dialogs/authorizedirectory.h"
#include "dialogs/ftpcommanddlg.h"
#include "engine/ftpclient.h"
#include "server/ktftpserver.h"
#include "server/startftpdialog.h"
#include "settings/fbdata.h"
#include "sites/backuptoftpdialog.h"
#include "sites/serverdirtree.h"
#include "support/modalanswerer.h"
#include "support/testfiles.h"
#include "support/widgetdriver.h"

#include <QDir>
#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int JobWaitMs = 20000;

} // namespace

class TestFirstSession : public QObject
{
    Q_OBJECT
private slots:
    void fromEmptyConfigurationToTransfer();

private:
    void startServerAndConnect(QDialog* dialog);
    void openTheOtherDialogs(MaiDialog& window);
    bool runJob(MaiDialog& window, const char* list, const char* button, const QString& name);

    QTemporaryDir home;
    QString local;
    QString served;
    quint16 port = 0;
    ModalAnswerer answerer;
    FTPClient* ftp = nullptr;
};

// What the user does in the Sites dialog: the test site is offered, the server is started from
// the dialog's own button, then Connect and Ok.
void TestFirstSession::startServerAndConnect(QDialog* dialog)
{
    auto* sites = qobject_cast<BackupToFTPDialog*>(dialog);
    QVERIFY(sites);
    QCOMPARE(text(sites, "ServerName"), QStringLiteral("TestFtp"));
    QCOMPARE(text(sites, "IP"), QStringLiteral("127.0.0.1"));
    answerer.expect("StartFTPDialog", [this](QDialog* server) {
        setText(server, "Path", served);
        setText(server, "Port", QString::number(port));
        click(server, "StartButton");
        click(server, "CloseButton");
    });
    click(sites, "FtpServer");
    QCOMPARE(text(sites, "ftpInfo"), QStringLiteral("Local ftp server has started!"));
    // Another program may hold 2121 on this machine; the test site is otherwise as offered.
    setText(sites, "Port", QString::number(port));
    setText(sites, "WorkFolderEdit", QDir::toNativeSeparators(local));
    click(sites, "ConnectButton");
    QTRY_VERIFY_WITH_TIMEOUT(ftp->isLoggedIn(), JobWaitMs);
    click(sites, "Ok");
}

bool TestFirstSession::runJob(MaiDialog& window, const char* list, const char* button,
                              const QString& name)
{
    auto* view = child<QTreeWidget>(&window, list);
    if (!QTest::qWaitFor([&] { return rowNamed(view, name); }, JobWaitMs))
        return false;
    view->clearSelection();
    rowNamed(view, name)->setSelected(true);
    view->setCurrentItem(rowNamed(view, name));
    click(&window, button);
    return QTest::qWaitFor([&] { return !ftp->isBusy() && window.operation == 0; }, JobWaitMs);
}

void TestFirstSession::fromEmptyConfigurationToTransfer()
{
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    local = home.filePath(QStringLiteral("local"));
    served = home.filePath(QStringLiteral("served"));
    QVERIFY(QDir().mkpath(local) && QDir().mkpath(served));
    const QByteArray bytes = patternBytes(300 * 1024 + 7, 3);
    QVERIFY(writeTestFile(QDir(local).filePath(QStringLiteral("hello.bin")), bytes));
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    QStringList windowMessages;
    MaiDialog::messageRunner = [&](QWidget*, const QString& message, bool) {
        windowMessages.append(message);
        return int(QMessageBox::Yes);
    };
    MaiDialog::dialogRunner = [this](QDialog* dialog) { startServerAndConnect(dialog); };

    auto window = std::make_unique<MaiDialog>();
    ftp = window->findChild<FTPClient*>();
    const QString sitesFile = window->findChild<FBData*>()->filePath(QStringLiteral("servers.ini"));
    QVERIFY(window->findChild<FBData*>()->sites.isEmpty());
    window->show();
    click(window.get(), "Connect");
    QVERIFY(!QTest::currentTestFailed());
    QVERIFY(ftp->isLoggedIn());
    QCOMPARE(answerer.texts, QStringList({QStringLiteral("Connection success!")}));

    QVERIFY(runJob(*window, "LeftFiles", "UploadButton", QStringLiteral("hello.bin")));
    QCOMPARE(readTestFile(QDir(served).filePath(QStringLiteral("hello.bin"))), bytes);
    QVERIFY(QFile::remove(QDir(local).filePath(QStringLiteral("hello.bin"))));
    QVERIFY(runJob(*window, "RightFiles", "DowloadButton", QStringLiteral("hello.bin")));
    QCOMPARE(readTestFile(QDir(local).filePath(QStringLiteral("hello.bin"))), bytes);
    QVERIFY2(windowMessages.isEmpty(), qPrintable(windowMessages.join(QLatin1Char('|'))));
    openTheOtherDialogs(*window);
    QVERIFY(!QTest::currentTestFailed());

    window.reset();
    MaiDialog::messageRunner = nullptr;
    MaiDialog::dialogRunner = nullptr;
    QVERIFY(!StartFTPDialog::server());
    QSettings sites(sitesFile, QSettings::IniFormat);
    QCOMPARE(sites.value(QStringLiteral("Server/Count")).toInt(), 1);
    QCOMPARE(sites.value(QStringLiteral("Node0/ServerName")).toString(), QStringLiteral("TestFtp"));
    QCOMPARE(sites.value(QStringLiteral("Node0/Port")).toUInt(), uint(port));
    QCOMPARE(sites.value(QStringLiteral("Node0/Select")).toBool(), true);
}

// "Move to ..." through the folder chooser, the server button, the hidden command button and a
// local folder that shows nothing.
void TestFirstSession::openTheOtherDialogs(MaiDialog& window)
{
    QVERIFY(QDir(served).mkdir(QStringLiteral("dest")));
    auto* remote = child<QTreeWidget>(&window, "RightFiles");
    remote->clearSelection();
    rowNamed(remote, QStringLiteral("hello.bin"))->setSelected(true);
    MaiDialog::dialogRunner = [](QDialog* dialog) {
        auto* chooser = qobject_cast<ServerDirTree*>(dialog);
        QVERIFY(chooser);
        QTreeWidgetItem* root = child<QTreeWidget>(chooser, "DirTree")->topLevelItem(0);
        QTRY_COMPARE(root->childCount(), 1);
        chooser->findChild<QTreeWidget*>()->setCurrentItem(root->child(0));
        click(chooser, "pushButton");
    };
    window.onMoveFtpFileClicked();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QDir(served).filePath(QStringLiteral("dest/hello.bin"))),
                             JobWaitMs);

    for (int i = 0; i < 2; ++i)
        click(&window, "StarFTP");
    QCOMPARE(window.findChildren<StartFTPDialog*>().size(), 1);
    auto* server = window.findChild<StartFTPDialog*>();
    QVERIFY(server->isVisible());
    QCOMPARE(text(server, "StartInfo"), QStringLiteral("FTP server has started."));
    server->close();
    QVERIFY(StartFTPDialog::server()->isListening());

    QStringList exchange;
    MaiDialog::dialogRunner = [&exchange](QDialog* dialog) {
        auto* command = qobject_cast<FTPCommandDlg*>(dialog);
        QVERIFY(command);
        setText(command, "CommandEdit", QStringLiteral("NOOP"));
        click(command, "RunButton");
        QTRY_VERIFY(command->pendingCommand.isEmpty());
        exchange = column(child<QTreeWidget>(command, "ResultListView"), 0);
    };
    window.on_CommandButton_clicked();
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
    window.showLocalFiles(gone);
    QCOMPARE(named, gone);
}

QTEST_MAIN(TestFirstSession)
#include "tst_gui_sites_session.moc"
