// The main window against our own server on 127.0.0.1, driven through its real slots.
#include "app/maidialog.h"
#include "common/helpers.h"
#include "common/webservice.h"
#include "dialogs/authorizedirectory.h"
#include "dialogs/klanguagedialog.h"
#include "dialogs/versioncheck.h"
#include "engine/ftpclient.h"
#include "server/startftpdialog.h"
#include "support/ftppeers.h"
#include "support/httpstub.h"
#include "support/serverprobe.h"
#include "support/testfiles.h"
#include "support/widgetdriver.h"

#include <QtTest>

// Keeps the event loop running (qWaitFor sleeps between rounds): the in-process server must serve.
static bool waitUntil(const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 20000)
        QTest::qWait(20);
    return done();
}

static KTDUFile* recordOf(QTreeWidgetItem* row)
{
    return static_cast<KTDUFile*>(row->data(4, Qt::UserRole).value<void*>());
}

class TestWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    const QString local = home.filePath("run/local");
    std::unique_ptr<ServerFixture> server;
    std::unique_ptr<MaiDialog> window;
    FTPClient* ftp = nullptr;
    QStringList messages;
    int answer = QMessageBox::Yes;
    QList<QUrl> opened;  // pages the window asked the desktop to open

    QString localPath(const QString& name) const { return QDir(local).filePath(name); }
    QTreeWidget* list(const char* name) const { return child<QTreeWidget>(window.get(), name); }
    QString shown(const char* label) const { return text(window.get(), label); }
    bool waitIdle()
    {
        return waitUntil([this] { return !ftp->isBusy() && window->operation == MaiDialog::NoOperation; });
    }
    QString infoWhenIdle() { return waitIdle() ? shown("OPInfo") : QStringLiteral("(still busy)"); }
    // Selects exactly the named rows, the last one current.
    void select(const char* name, const QStringList& rows)
    {
        list(name)->clearSelection();
        for (const QString& row : rows)
            list(name)->setCurrentItem(rowNamed(list(name), row), 0, QItemSelectionModel::Select);
        QCOMPARE(list(name)->selectedItems().size(), rows.size());
    }

    void openWindow()
    {
        window = std::make_unique<MaiDialog>();
        ftp = window->findChild<FTPClient*>();
        addLoopbackSite(window->findChild<FBData*>(), server->port(), "581247", local)->select = true;
        window->fillPathCombos();
        window->show();
    }

    bool openAndLogIn()
    {
        openWindow();
        window->on_Connect_clicked();
        return waitUntil([this] { return ftp->isLoggedIn() && !ftp->isBusy(); });
    }

    void pressKey(const char* name, Qt::Key key)
    {
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        list(name)->setFocus();
        QTest::keyClick(list(name), key);
    }

public slots:
    void open(const QUrl& page) { opened.append(page); }

private slots:
    void initTestCase()
    {
        for (const char* scheme : {"file", "http", "https"})  // nothing starts a browser
            QDesktopServices::setUrlHandler(scheme, this, "open");
        qputenv("XDG_CONFIG_HOME", home.filePath("run/config").toLocal8Bit());  // each test's own
        qputenv("XDG_DATA_HOME", home.filePath("data").toLocal8Bit());
        QDir::setCurrent(home.path());
        MaiDialog::messageRunner = [this](QWidget*, const QString& message, bool) {
            messages.append(message);
            return answer;
        };
    }

    void init()
    {
        messages.clear();
        opened.clear();
        answer = QMessageBox::Yes;
        removeDir(home.filePath("run"));  // no settings or files from an earlier test
        QDir().mkpath(local);
        server = std::make_unique<ServerFixture>();
        QVERIFY(server->start());
    }

    void cleanup()
    {
        MaiDialog::dialogRunner = nullptr;
        window.reset();
        server.reset();
        setServiceBase(QString());
    }

    void switchingRetranslatesWindowAndMenus_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("texts");  // the Language and Help labels, a menu entry
        QTest::newRow("English") << 0 << QStringList{"Language", "Help", "Rename"};
        QTest::newRow("Chinese") << 1 << QStringList{"语言", "帮助", "重命名"};
        QTest::newRow("French") << 2 << QStringList{"Langue", "Aide", "Renommer"};
        QTest::newRow("German") << 3 << QStringList{"Sprache", "Hilfe", "Umbenennen"};
        QTest::newRow("Italian") << 4 << QStringList{"Lingua", "Aiuto", "Rinomina"};
        QTest::newRow("Japanese") << 5 << QStringList{"言語", "ヘルプ", "名前の変更"};
        QTest::newRow("Korean") << 6 << QStringList{"언어", "도움말", "이름 바꾸기"};
        QTest::newRow("Russian") << 7 << QStringList{"Язык", "Справка", "Переименовать"};
        QTest::newRow("Spanish") << 8 << QStringList{"Idioma", "Ayuda", "Renombrar"};
    }

    void switchingRetranslatesWindowAndMenus()
    {
        QFETCH(int, index);
        QFETCH(QStringList, texts);
        openWindow();
        window->setLanguage(index == 7 ? 5 : 7);  // another one first, so that each row switches
        window->setLanguage(index);
        QCOMPARE(languageIndex, index);
        QCOMPARE(QStringList({shown("LanguageLabel"), shown("HelpLabel")}), texts.mid(0, 2));
        const QList<QAction*> actions = window->findChildren<QAction*>();
        const auto named = [&](const QAction* action) { return action->text() == texts.at(2); };
        QVERIFY(std::any_of(actions.begin(), actions.end(), named));
        KLanguageDialog dialog;  // opened afterwards: the same language
        QCOMPARE(text(&dialog, "CancelButton"), KLanguageDialog::tr("Cancel"));
        click(window.get(), "HelpButton");  // the shipped page in this language
        const QString help = qEnvironmentVariable("TORVEX_BINARY_DIR") + "/share/torvex/help/";
        const char* page = index == 1 ? "index_zh.html" : "index.html";
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(help + page)});
        for (const int wrong : {-1, 9, 1000})  // outside the table: no change
            window->setLanguage(wrong);
        QCOMPARE(languageIndex, index);
        QCOMPARE(shown("LanguageLabel"), texts.first());
    }

    // Fails when the code holds a text that the translation files lack, or they one it dropped.
    void everyTextOfTheCodeIsTranslated()
    {
        const QString source = qEnvironmentVariable("TORVEX_SOURCE_DIR");
        if (source.isEmpty() || QStandardPaths::findExecutable("lupdate").isEmpty())
            QSKIP("needs TORVEX_SOURCE_DIR and lupdate");
        QProcess check;
        check.setProcessChannelMode(QProcess::MergedChannels);
        check.start("bash", {source + "/scripts/update-translations.sh", "--check"});
        QVERIFY(check.waitForFinished(120000));
        QVERIFY2(check.exitCode() == 0, check.readAll().constData());
    }

    void forcedUpdateSavesTheSettingsFirst_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("events");  // what the check did, in order
        const QByteArray optional("2|http://127.0.0.1/get|ok|x");
        const QString ended("ended with the sites saved");
        QTest::newRow("optional, No") << optional << false << QStringList{"asked"};
        QTest::newRow("optional, Yes") << optional << true << QStringList{"asked", "opened", ended};
        const QByteArray forced("2|http://127.0.0.1/get|OK|x");
        QTest::newRow("forced, No") << forced << false << QStringList{"asked", ended};
        QTest::newRow("no notice") << QByteArray("nothing new") << true << QStringList();
    }

    void forcedUpdateSavesTheSettingsFirst()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, yes);
        QFETCH(QStringList, events);
        HttpStub stub;
        QVERIFY(stub.start());
        stub.body = reply;
        setServiceBase(stub.base());
        openWindow();
        const QString sites = window->findChild<FBData*>()->filePath("servers.ini");
        QFile::remove(sites);
        QStringList done;
        const VersionCheckHooks saved = versionCheckHooks();
        versionCheckHooks().ask = [&](const QString&) {
            done.append("asked");
            return yes;
        };
        versionCheckHooks().openPage = [&](const QString&) { done.append("opened"); };
        versionCheckHooks().endProgram = [&] {
            const bool kept = !QSettings(sites, QSettings::IniFormat).allKeys().isEmpty();
            done.append(kept ? "ended with the sites saved" : "ended, the sites lost");
        };
        checkVersion();
        versionCheckHooks() = saved;
        QCOMPARE(done, events);
    }

    // One session: commands, a tree down and up, compare, a login by double-click, a cut download.
    void remoteSession()
    {
        QVERIFY(makeTestFiles(server->rootPath(), "doomed/inner/f=f,same.txt=same,diff.txt=theirs,"
                                                  "tree/one.bin#3145745,tree/a/two.txt=two,"
                                                  "tree/a/b/empty=,pub/big.bin#33554432"));
        QVERIFY(makeTestFiles(local, "same.txt=same,diff.txt=local!,Cmp_0/keep.txt=mine"));
        QVERIFY(openAndLogIn());
        QVERIFY(waitUntil([this] { return rowNamed(list("RightFiles"), "doomed"); }));
        // A switch of language while logged in keeps the Connect button saying Disconnect.
        window->setLanguage(6);
        QCOMPARE(shown("ConnectLable"), QStringLiteral("연결 끊기"));
        QCOMPARE(shown("OPInfo"), QString());
        window->setLanguage(0);
        QCOMPARE(shown("ConnectLable"), QStringLiteral("Disconnect"));
        auto* padlock = child<QLabel>(window.get(), "EncryptedIcon");  // only while encrypted
        emit ftp->encryptionChanged(true);
        QVERIFY(padlock->isVisible() && !padlock->pixmap(Qt::ReturnByValue).isNull());
        emit ftp->encryptionChanged(false);
        QVERIFY(!padlock->isVisible());

        // An empty listing is asked for once more, never again (the login's listing was not empty).
        window->slotCurrentDirData_Ftp(QString(), false);
        QVERIFY(ftp->isBusy());
        const int asked = ftp->commandQueue.size();
        window->slotCurrentDirData_Ftp(QString(), false);
        QCOMPARE(ftp->commandQueue.size(), asked);
        QVERIFY(waitIdle());

        // Delete asks first: No keeps the tree, Yes deletes it all and shows the log.
        for (const int reply : {QMessageBox::No, QMessageBox::Yes}) {
            select("RightFiles", {"doomed"});
            answer = reply;
            pressKey("RightFiles", Qt::Key_Delete);
            QCOMPARE(messages.takeFirst(),
                     QStringLiteral("Delete the selected files and folders from the server?"));
            QVERIFY(waitIdle());
            QCOMPARE(QFileInfo::exists(server->path("doomed")), reply == QMessageBox::No);
            QCOMPARE(list("DeleteLog")->isVisible(), reply == QMessageBox::Yes);
        }
        QVERIFY(list("DeleteLog")->topLevelItemCount() >= 2);
        QVERIFY(waitUntil([this] { return !rowNamed(list("RightFiles"), "doomed"); }));

        // A tree down with its empty file: file rows with full bars under a summary without size.
        const QStringList files = {"one.bin", "a/two.txt", "a/b/empty"};
        const QString tree = server->path("tree/");
        select("RightFiles", {"tree"});
        window->on_DowloadButton_clicked();
        QCOMPARE(infoWhenIdle(), QStringLiteral("Download file is completed!"));
        for (const QString& file : files)
            QCOMPARE(readTestFile(localPath("tree/" + file)), readTestFile(tree + file));
        QVERIFY(QFileInfo::exists(localPath("tree/a/b/empty")));
        QTreeWidget* queue = list("DUQueue");
        QCOMPARE(column(queue, 3), (QStringList{"", "dowloaded", "dowloaded", "dowloaded"}));
        QCOMPARE(queue->topLevelItem(0)->text(2), QString());
        for (int i = 1; i < 4; ++i) {
            QCOMPARE(recordOf(queue->topLevelItem(i))->viewItem, queue->topLevelItem(i));
            QCOMPARE(recordOf(queue->topLevelItem(i))->doneSize, recordOf(queue->topLevelItem(i))->fileSize);
        }
        // The same tree back up under another name: the new job deletes the old records and rows.
        QPointer<KTDUFile> record = ftp->downloads().first();
        QVERIFY(QDir(local).rename("tree", "back"));
        window->showLocalFiles(QString());
        select("LeftFiles", {"back"});
        window->on_UploadButton_clicked();
        QVERIFY(!record);
        QCOMPARE(infoWhenIdle(), QStringLiteral("Upload file is completed!"));
        for (const QString& file : files)
            QCOMPARE(readTestFile(server->path("back/" + file)), readTestFile(tree + file));
        QVERIFY(QFileInfo::exists(server->path("back/a/b/empty")));
        QCOMPARE(column(queue, 3).count("uploaded"), 3);
        // Clear drops the rows with their records; Retry on an empty list changes nothing.
        record = ftp->uploads().first();
        window->onClearQueueClicked();
        QVERIFY(!record && ftp->uploads().isEmpty());
        window->onRetryErrorsClicked();
        QCOMPARE(queue->topLevelItemCount(), 0);

        // Compare needs the same names on both sides; it leaves a user's folder named like its own.
        select("RightFiles", {"same.txt", "diff.txt"});
        select("LeftFiles", {"diff.txt"});
        window->onCompareFtpFileClicked();
        QCOMPARE(messages, QStringList{"Wrong choice, Please choose the same name file or folder!"});
        messages.clear();
        select("LeftFiles", {"diff.txt", "same.txt"});
        window->onCompareFtpFileClicked();
        QCOMPARE(window->compareTempFolder, localPath("Cmp_1"));
        QCOMPARE(infoWhenIdle(), QStringLiteral("Compare files completed!"));
        const QStringList states = column(queue, 3);
        QVERIFY(states.count("Same") == 1 && states.count("Different") == 1);
        QCOMPARE(readTestFile(localPath("Cmp_0/keep.txt")), QByteArray("mine"));
        QVERIFY(!QFileInfo::exists(localPath("Cmp_1")));

        window->on_Connect_clicked();  // disconnects; the listing stays
        QVERIFY(waitUntil([this] { return ftp->isClosed(); }));
        QCOMPARE(shown("ConnectLable"), QStringLiteral("Connect"));
        QCOMPARE(shown("OPInfo"), QStringLiteral("Not connected to the server!"));
        // A double-click on a folder while disconnected logs in again and opens that folder.
        window->on_RightFiles_itemDoubleClicked(rowNamed(list("RightFiles"), "pub"), 0);
        auto* remotePath = child<QComboBox>(window.get(), "RightPath");
        QVERIFY(waitUntil([=] { return remotePath->currentText() == QLatin1String("/pub"); }));
        QVERIFY(waitIdle());
        QCOMPARE(shown("ConnectLable"), QStringLiteral("Disconnect"));
        QVERIFY(!rowNamed(list("RightFiles"), "same.txt"));
        QVERIFY(messages.isEmpty());

        // Stop and Restart of a running download, then the connection dropped in the middle of it.
        select("RightFiles", {"big.bin"});
        window->on_DowloadButton_clicked();
        window->on_Stop_clicked();
        QCOMPARE(shown("OPInfo"), QStringLiteral("Stopping!"));
        QVERIFY(waitUntil([this] { return shown("StopLabel") == QLatin1String("Restart"); }));
        QCOMPARE(shown("OPInfo"), QStringLiteral("Download has stopped!"));
        window->setLanguage(0);  // a switch while stopped keeps the button saying Restart
        QCOMPARE(shown("StopLabel"), QStringLiteral("Restart"));
        window->on_Stop_clicked();
        QCOMPARE(shown("OPInfo"), QStringLiteral("Downloading file from server!"));
        QCOMPARE(shown("StopLabel"), QStringLiteral("Stop"));
        server->server->stopAll();
        QVERIFY(waitUntil([this] { return shown("ConnectLable") == QLatin1String("Connect"); }));
        QCOMPARE(shown("OPInfo"), QStringLiteral("Not connected to the server!"));
        QVERIFY(list("RightFiles")->styleSheet().contains(QLatin1String("rgb(255, 200, 200)")));
        QVERIFY(queue->topLevelItemCount() > 0);  // rows at live records; a Clear empties both
        for (int i = 0; i < queue->topLevelItemCount(); ++i)
            QCOMPARE(recordOf(queue->topLevelItem(i))->viewItem, queue->topLevelItem(i));
        window->onClearQueueClicked();
        QCOMPARE(queue->topLevelItemCount(), 0);
        window->on_DowloadButton_clicked();
        QCOMPARE(messages.last(), QStringLiteral("Not connected to the server!"));
    }

    void programWithoutDisplaySaysSoInOneLine()
    {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            qunsetenv(name);  // for the program below; this test's display is set up already
        QProcess run;
        run.start(qEnvironmentVariable("TORVEX_BINARY_DIR") + "/app/torvex", QStringList());
        if (!run.waitForStarted())
            QSKIP("the torvex program is not built");
        QVERIFY(run.waitForFinished(10000));
        QCOMPARE(run.exitCode(), 1);
        const QString said = QString::fromLocal8Bit(run.readAllStandardError());
        QCOMPARE(said.count('\n'), 1);
        QVERIFY(said.contains("no display") && said.contains("xvfb-run"));
    }

    // Without a login: the local pane's keys, the dialogs the window opens, the queue at scale.
    void localPaneDialogsAndQueue()
    {
        QVERIFY(makeTestFiles(local, "sub/inner/,sub/precious.txt=keep me"));
        openWindow();
        // The guard: nothing starts without a login, or without a choice of files.
        const QString offline = QStringLiteral("Not connected to the server!");
        const QList<QPair<QString, QString>> guarded = {
            {"on_Stop_clicked", offline}, {"on_NetIcon_clicked", offline},
            {"onAttributesFtpClicked", offline}, {"onDeleteFtpFileClicked", offline},
            {"on_DowloadButton_clicked", "You did not choose any files or directories!"},
            {"onCompareFtpFileClicked", "Please select the file or directory with the same name!"}};
        for (const auto& slot : guarded) {
            QVERIFY(QMetaObject::invokeMethod(window.get(), slot.first.toLatin1()));
            QCOMPARE(slot.first + ": " + messages.join('|'), slot.first + ": " + slot.second);
            QVERIFY(window->operation == MaiDialog::NoOperation && !ftp->isBusy());
            messages.clear();
        }
        window->showLocalFiles(localPath("sub"));
        QCOMPARE(column(list("LeftFiles"), 0), (QStringList{"..", "inner", "precious.txt"}));
        select("LeftFiles", {"precious.txt"});
        answer = QMessageBox::No;  // Delete sends a local file to the trash without asking
        QDir(home.filePath("data")).removeRecursively();  // as on a fresh account
        pressKey("LeftFiles", Qt::Key_Delete);
        QVERIFY(!rowNamed(list("LeftFiles"), "precious.txt"));
        QVERIFY(messages.isEmpty());
        QCOMPARE(readTestFile(home.filePath("data/Trash/files/precious.txt")), QByteArray("keep me"));
        // Where the trash cannot take an entry, Delete asks first, and No keeps it.
        QDir(home.filePath("data/Trash")).removeRecursively();
        QVERIFY(writeTestFile(home.filePath("data/Trash"), ""));
        select("LeftFiles", {"inner"});
        pressKey("LeftFiles", Qt::Key_Delete);
        QCOMPARE(messages, QStringList{"Delete permanently?"});
        QVERIFY(rowNamed(list("LeftFiles"), "inner"));
        QVERIFY(!QFileInfo::exists("files"));  // nor did it go to the working folder
        pressKey("LeftFiles", Qt::Key_Escape);
        QVERIFY(window->isVisible());
        // A local folder that yields not even "." is named in a dialog.
        const QString gone = home.filePath("gone");
        QString named;
        int asked = 0;
        MaiDialog::dialogRunner = [&named, &asked](QDialog* dialog) {
            named = qobject_cast<AuthorizeDirectory*>(dialog)->directory;
            // Escape ends it as Cancel does; a second round would never end but for Cancel.
            if (++asked == 1)
                dialog->reject();
            else
                click(dialog, "Cancel");
        };
        // The root is listed as it is, and is never remembered as the last folder.
        window->showLocalFiles("/");
        QVERIFY(rowNamed(list("LeftFiles"), "usr"));
        QCOMPARE(window->lastLocalPath, localPath("sub"));
        window->showLocalFiles(gone);
        QCOMPARE(named, gone);
        QCOMPARE(asked, 1);
        // F5 lists the focused pane again, F2 renames its current row, Backspace opens the parent.
        QVERIFY(writeTestFile(localPath("sub/new.txt"), "n"));
        pressKey("LeftFiles", Qt::Key_F5);
        select("LeftFiles", {"new.txt"});
        MaiDialog::dialogRunner = [](QDialog* dialog) { submit(dialog, {{"Name", "f2.txt"}}, "Ok"); };
        pressKey("LeftFiles", Qt::Key_F2);
        QVERIFY(rowNamed(list("LeftFiles"), "f2.txt"));
        pressKey("LeftFiles", Qt::Key_Backspace);
        QVERIFY(rowNamed(list("LeftFiles"), "sub"));

        // 10,000 rows follow their records, the last started on top, and go with them at once.
        std::vector<std::unique_ptr<KTDUFile>> records;
        for (int i = 0; i < 10000; ++i) {
            KTDUFile* record = records.emplace_back(new KTDUFile).get();
            record->localFile = QStringLiteral("/l/%1").arg(i);
            window->slotSRFile_Ftp(record);
            record->stateCode = KTDUFile::Downloading;
            record->fileSize = 10;
            window->slotSRFileSize_Ftp(record);
            record->stateCode = KTDUFile::Downloaded;
            window->soltSRFileFinish_Ftp(record);
        }
        QTreeWidget* queue = list("DUQueue");
        QCOMPARE(queue->topLevelItemCount(), 10000);
        QTRY_COMPARE(queue->topLevelItem(0)->text(3), QStringLiteral("dowloaded"));
        QCOMPARE(queue->topLevelItem(0)->text(0), QStringLiteral("/l/9999"));
        QCOMPARE(records.front()->doneSize, qint64(10));
        records.erase(records.begin(), records.begin() + 5000);
        QCOMPARE(queue->topLevelItem(4999)->text(0), QStringLiteral("/l/5000"));
        records.clear();
        QCOMPARE(queue->topLevelItemCount(), 0);

        // The server button twice opens one dialog, and the server goes with the window.
        click(window.get(), "StarFTP");
        click(window.get(), "StarFTP");
        QCOMPARE(window->findChildren<StartFTPDialog*>().size(), 1);
        auto* starter = window->findChild<StartFTPDialog*>();
        QVERIFY(starter->isVisible());
        submit(starter, {{"Path", local}, {"Port", QString::number(freeLoopbackPort())}},
               "StartButton");
        QVERIFY(StartFTPDialog::server()->isListening());
        window.reset();
        QVERIFY(!StartFTPDialog::server());
    }
};

QTEST_MAIN(TestWindow)
#include "tst_gui_window.moc"
