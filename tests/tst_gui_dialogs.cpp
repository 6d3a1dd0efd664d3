// The dialogs (against our own server on 127.0.0.1), file-type icons, queue bar and help pages.
#include "app/qpenstyledelegate.h"
#include "common/helpers.h"
#include "dialogs/ftpcommanddlg.h"
#include "dialogs/kchmoddlg.h"
#include "dialogs/ktcertificatedialog.h"
#include "dialogs/ktfileicon.h"
#include "engine/ftpclient.h"
#include "server/kttlssupport.h"
#include "server/startftpdialog.h"
#include "sites/backuptoftpdialog.h"
#include "sites/serverdirtree.h"
#include "support/ftppeers.h"
#include "support/scriptedftpserver.h"
#include "support/serverprobe.h"
#include "support/testcertificates.h"
#include "support/testfiles.h"
#include "support/widgetdriver.h"

#include <QtTest>

const char testPassword[] = "581247";
const char portMessage[] = "The port must be a number from 1 to 65535!";

// A folder of a chooser's tree by its name (the test's folder names are unique), or its root.
static QTreeWidgetItem* folder(QTreeWidget* tree, const QString& name)
{
    return name.isEmpty() ? tree->topLevelItem(0)
                          : tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive).value(0);
}

// Answers modal windows as they come up: notes and OKs message boxes, hands other dialogs to next.
struct ModalAnswerer
{
    QStringList texts;
    std::function<void(QDialog*)> next;  // once
    QTimer timer;

    ModalAnswerer()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                texts.append(box->text());
                box->accept();
            } else if (modal && next) {
                std::exchange(next, nullptr)(modal);
            }
        });
        timer.start(10);
    }
};

class TestDialogs : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServerFixture> fixture;
    std::unique_ptr<FTPClient> client;
    std::unique_ptr<ModalAnswerer> answerer;
    QTemporaryDir serverConfigDir;
    FBData serverStore{serverConfigDir.path(), nullptr};  // the built-in server keeps it all run
    QTemporaryDir certificateDir;  // made once for the run: openssl takes its time
    TestCertificates certificates;
    bool haveCertificates = QSslSocket::supportsSsl() && certificates.make(certificateDir.path());
    QString fingerprint;  // of the server dialog's certificate, once it has made one

    FBData* store() const { return fixture->store.get(); }  // the client's sites beside the users

    void logIn()
    {
        client->connectServer("127.0.0.1", fixture->port(), "test", testPassword);
        QTRY_VERIFY(client->isLoggedIn());
    }

private slots:
    void init()
    {
        fixture = std::make_unique<ServerFixture>();
        QVERIFY(fixture->start());
        QVERIFY(makeTestFiles(fixture->rootPath(), "a/b/deep/,a/c/,z/"));
        client = std::make_unique<FTPClient>();
        client->setDataStore(store());
        answerer = std::make_unique<ModalAnswerer>();
    }

    void cleanup()
    {
        answerer.reset();
        client.reset();
        fixture.reset();
        if (KTFtpServer* server = StartFTPDialog::server())
            server->stopAll();
    }

    void sitesAddEditRemove()
    {
        client->setCodecName(QStringLiteral("GBK"));
        BackupToFTPDialog dialog(client.get(), store());
        // Opening chooses nothing: the engine keeps its codec; a choice reaches it at once.
        QCOMPARE(client->codecName, QStringLiteral("GBK"));
        child<QComboBox>(&dialog, "CodeComboBox")->setCurrentText(QStringLiteral("GB2312"));
        QCOMPARE(client->codecName, QStringLiteral("GB2312"));
        auto* list = child<QTreeWidget>(&dialog, "BackupItems");
        submit(&dialog, {{"ServerName", "Home"}, {"Port", QString::number(fixture->port())}},
               "AddButton");
        QCOMPARE(column(list, 1), QStringList{"Disconnected"});
        QCOMPARE(store()->sites.first()->codec, QStringLiteral("GB2312"));
        submit(&dialog, {{"Name", "other"}}, "AddButton");  // only the user differs: the same site
        submit(&dialog, {{"ServerName", ""}}, "AddButton");
        QCOMPARE(answerer->texts, QStringList{"Incomplete information!"});
        QCOMPARE(column(list, 0), QStringList{"Home"});

        list->setCurrentItem(list->topLevelItem(0));
        submit(&dialog, {{"ServerName", "Renamed"}, {"Port", "2200"}}, "EditButton");
        QCOMPARE(column(list, 0), QStringList{"Renamed"});
        QCOMPARE(store()->sites.first()->port, quint16(2200));

        // Removing logs the engine out, whichever site it was on, and offers the test site again.
        logIn();
        QSignalSpy logout(client.get(), &FTPClient::logout);
        list->topLevelItem(0)->setSelected(true);
        click(&dialog, "RemoveButton");
        QCOMPARE(list->topLevelItemCount(), 0);
        QVERIFY(store()->sites.isEmpty());
        QTRY_COMPARE(logout.count(), 1);
        QStringList offered;  // the built-in server on this computer
        for (const char* field : {"ServerName", "IP", "Port", "Name"})
            offered << text(&dialog, field);
        QCOMPARE(offered, (QStringList{"TestFtp", "127.0.0.1", "2121", "test"}));
    }

    void sitesConnect_data()
    {
        QTest::addColumn<QString>("password");  // of the stored site
        // Typed; "site": the site's; none: every field empty; "hang-up": a server that hangs up.
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("message");
        QTest::newRow("stored site, fields empty") << testPassword << "" << "Connection success!";
        QTest::newRow("typed fields") << testPassword << "site" << "Connection success!";
        QTest::newRow("refused login") << "wrong" << "site" << "Disconnect from the server!";
        QTest::newRow("one box for a hang-up") << testPassword << "hang-up" << "Disconnect from the server!";
        for (const char* port : {"21x", "0", "65557"})  // not a number, zero, past 16 bits
            QTest::addRow("port %s", port) << testPassword << port << portMessage;
        QTest::newRow("missing password") << "" << "" << "Please enter the password!";
    }

    void sitesConnect()
    {
        QFETCH(QString, password);
        QFETCH(QString, port);
        QFETCH(QString, message);
        fixture->server->setLoginFailDelay(0);
        ScriptedFtpServer scripted;
        const bool hangUp = port == QLatin1String("hang-up");
        QVERIFY(!hangUp || (scripted.listen() && scripted.addScript(QStringLiteral("PASS => [close]"))));
        auto* site = addLoopbackSite(store(), hangUp ? scripted.port() : fixture->port(), password);
        BackupToFTPDialog dialog(client.get(), store());
        auto* list = child<QTreeWidget>(&dialog, "BackupItems");
        list->setCurrentItem(list->topLevelItem(0));
        if (port.isEmpty()) {
            for (const char* field : {"IP", "Port", "Name", "Password"})
                setText(&dialog, field, QString());
        } else {
            emit list->itemClicked(list->topLevelItem(0), 0);
            if (port != QLatin1String("site") && !hangUp)
                setText(&dialog, "Port", port);
        }
        QSignalSpy logout(client.get(), &FTPClient::logout);
        click(&dialog, "ConnectButton");
        if (hangUp)  // a failed login and a logout, yet one box
            QTRY_COMPARE(logout.count(), 1);
        QTRY_COMPARE(answerer->texts, QStringList{message});
        const bool loggedIn = message == QLatin1String("Connection success!");
        emit client->login(loggedIn);  // the engine saying it again shows no second box
        QCOMPARE(answerer->texts.size(), 1);
        QCOMPARE(client->isLoggedIn(), loggedIn);
        // Only an attempt that starts marks the site chosen.
        QCOMPARE(site->select, message != QLatin1String(portMessage) && !password.isEmpty());
        QCOMPARE(column(list, 1), QStringList{loggedIn ? "Connected" : "Disconnected"});
        QVERIFY(!loggedIn || child<QPushButton>(&dialog, "ConnectButton")->isHidden());
        QCOMPARE(dialog.currentServerId, site->id);
    }

    // Ok connects to the current row's site; Connect to the same host sends nothing, to another
    // it ends the old session without a box of its own.
    void sitesOkThenConnectWhileLoggedIn()
    {
        ServerInfo* first = addLoopbackSite(store(), freeLoopbackPort(), testPassword);
        ServerInfo* second = addLoopbackSite(store(), fixture->port(), testPassword);
        first->select = true;
        auto dialog = std::make_unique<BackupToFTPDialog>(client.get(), store());
        QCOMPARE(dialog->currentServerId, first->id);
        auto* list = child<QTreeWidget>(dialog.get(), "BackupItems");
        list->setCurrentItem(list->topLevelItem(1));
        click(dialog.get(), "Ok");
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QTRY_VERIFY(client->isLoggedIn());
        dialog.reset();  // before the next one opens
        QCOMPARE(client->port(), fixture->port());
        QVERIFY(second->select && !first->select);
        answerer->texts.clear();
        dialog = std::make_unique<BackupToFTPDialog>(client.get(), store());
        QSignalSpy replies(client.get(), &FTPClient::commandResult);
        click(dialog.get(), "ConnectButton");
        QVERIFY(!client->isBusy() && client->isLoggedIn());
        QCOMPARE(replies.count(), 0);
        QVERIFY(answerer->texts.isEmpty());
        submit(dialog.get(), {{"IP", "localhost"}}, "ConnectButton");  // a host name is looked up
        QTRY_COMPARE(answerer->texts, QStringList{"Connection success!"});
        const ServerInfo* reached = store()->sites.last();  // a new site, and the chosen one
        QVERIFY(reached->ip == QLatin1String("localhost") && reached->select && !second->select);
        click(dialog.get(), "Disconnect");
        QTRY_COMPARE(answerer->texts, (QStringList{"Connection success!", "Disconnect from the server!"}));
    }

    // The command dialog runs nothing logged out or without a command, then shows each whole reply
    // after its command; the folder chooser then lists lazily and makes folders.
    void commandDialogThenFolderChooser()
    {
        FTPCommandDlg dialog(client.get());
        auto* list = child<QTreeWidget>(&dialog, "ResultListView");
        for (const QString& command : {"NOOP", "", "HELP", "NOOP"}) {
            if (command.isEmpty())
                logIn();
            submit(&dialog, {{"CommandEdit", command}}, "RunButton");
            QTRY_VERIFY(dialog.pendingCommand.isEmpty());
        }
        const QStringList lines = column(list, 0);
        QVERIFY2(lines.size() >= 6 && lines.at(1).startsWith("214-"), qPrintable(lines.join('|')));
        QCOMPARE(lines.first(), QStringLiteral("HELP"));
        const int helpEnd = lines.indexOf(QStringLiteral("214 Help OK."));
        QCOMPARE(lines.mid(helpEnd + 1), (QStringList{"NOOP", "200 NOOP ok."}));
        emit list->itemClicked(list->topLevelItem(0), 0);
        QCOMPARE(text(&dialog, "CommandEdit"), QStringLiteral("HELP"));
        // Replies to commands sent elsewhere, or differing in case, never reach the list.
        list->clear();
        dialog.pendingCommand = QStringLiteral("noop");
        emit client->commandResult(QStringLiteral("NOOP"), QStringLiteral("200 NOOP ok."));
        QCOMPARE(list->topLevelItemCount(), 0);
        auto chooser = std::make_unique<ServerDirTree>(client.get(), "/a/b");
        auto* tree = child<QTreeWidget>(chooser.get(), "DirTree");
        // The start path builds its chain of folders and only its own folder is listed.
        QTRY_COMPARE(childNames(folder(tree, "b")), QStringList{"deep"});
        QCOMPARE(childNames(folder(tree, "")), QStringList{"a"});
        QCOMPARE(folder(tree, "a")->data(0, Qt::UserRole).toInt(), 0);
        for (const QString& selected : {"", "none", "b"}) {  // the root or nothing: no folder
            tree->clearSelection();
            tree->setCurrentItem(folder(tree, selected));
            click(chooser.get(), "pushButton");
            QCOMPARE(chooser->chosenPath, QString(selected == QLatin1String("b") ? "/a/b" : ""));
        }
        chooser.reset();  // before the next one lists
        chooser = std::make_unique<ServerDirTree>(client.get(), QString());
        tree = child<QTreeWidget>(chooser.get(), "DirTree");
        QTRY_COMPARE(folder(tree, "")->data(0, Qt::UserRole).toInt(), 1);
        // Folders only, no "." or "..", and nothing below a until it is opened, once.
        QCOMPARE(childNames(folder(tree, "")), (QStringList{"a", "z"}));
        QTreeWidgetItem* a = folder(tree, "a");
        QCOMPARE(a->childCount(), 0);
        emit tree->itemDoubleClicked(a, 0);
        QTRY_COMPARE(childNames(a), (QStringList{"b", "c"}));
        QTRY_VERIFY(!client->isBusy());
        emit tree->itemDoubleClicked(a, 0);
        QVERIFY(!client->isBusy());

        tree->setCurrentItem(folder(tree, ""));  // New Folder wants a folder below the root
        click(chooser.get(), "pushButton_3");
        QCOMPARE(answerer->texts, QStringList{"Please select the folder!"});
        // z is not the folder listed last; the new listing still lands under it.
        tree->setCurrentItem(folder(tree, "z"));
        answerer->next = [](QDialog* dialog) { submit(dialog, {{"FolderName", "made"}}, "Ok"); };
        click(chooser.get(), "pushButton_3");
        QTRY_COMPARE(childNames(folder(tree, "z")), QStringList{"made"});
        QVERIFY(QFileInfo(fixture->path(QStringLiteral("z/made"))).isDir());
        QCOMPARE(childNames(a), (QStringList{"b", "c"}));
    }

    void serverDialogStart_data()
    {
        QTest::addColumn<int>("tls");
        QTest::addColumn<bool>("started");
        QTest::addColumn<QString>("reason");  // a part of the state line
        QTest::newRow("plain") << int(KTTlsSettings::Off) << true << "";
        // The first start with TLS makes this computer's certificate, the next one keeps it.
        QTest::newRow("offer TLS") << int(KTTlsSettings::Offer) << true << "Certificate SHA-256: ";
        QTest::newRow("require TLS") << int(KTTlsSettings::Require) << true << "SHA-256: ";
        QTest::newRow("port in use") << int(KTTlsSettings::Off) << false << "in use";
        QTest::newRow("missing folder") << int(KTTlsSettings::Off) << false << "does not exist";
        QTest::newRow("no folder") << int(KTTlsSettings::Off) << false << "";
        QTest::newRow("port 0") << int(KTTlsSettings::Off) << false << "";
    }

    void serverDialogStart()
    {
        QFETCH(int, tls);
        QFETCH(bool, started);
        QFETCH(QString, reason);
        const QString setUp = QTest::currentDataTag();
        // Shows where other machines reach this computer; the stored port stays without an address.
        serverStore.writeServerSettings(QString(), 2200, QStringLiteral("/srv"));
        QTemporaryDir root;
        QTcpServer occupant;
        if (setUp == "port in use")
            QVERIFY(occupant.listen(QHostAddress::Any, 0));
        const quint16 port = occupant.isListening() ? occupant.serverPort() : freeLoopbackPort();
        StartFTPDialog dialog(&serverStore);
        QCOMPARE(text(&dialog, "IP"), localIpList().value(0, QStringLiteral("127.0.0.1")));
        QCOMPARE(text(&dialog, "Port"), QStringLiteral("2200"));
        child<QComboBox>(&dialog, "TlsMode")->setCurrentIndex(tls);
        const QString path = setUp == "missing folder" ? root.filePath("gone") : root.path();
        submit(&dialog, {{"IP", "127.0.0.1"}, {"Path", setUp == "no folder" ? QString() : path},
                         {"Port", setUp == "port 0" ? "0" : QString::number(port)}},
               "StartButton");

        const QString info = text(&dialog, "StartInfo");
        const QString state = started ? "FTP server has started." : "FTP server did not start.";
        QVERIFY2(info.startsWith(state) && info.contains(reason), qPrintable(info));
        const QMap<QString, QString> boxes{{"no folder", "<br>Please select the working folder!"},
                                           {"port 0", portMessage}};
        QCOMPARE(answerer->texts, boxes.contains(setUp) ? QStringList{boxes[setUp]} : QStringList());
        QCOMPARE(child<QPushButton>(&dialog, "StopButton")->isHidden(), !started);
        if (!started) {
            QVERIFY(!StartFTPDialog::server() || !StartFTPDialog::server()->isListening());
            return;
        }
        QCOMPARE(int(KTTlsSettings::read(serverStore.filePath("server.ini")).mode), tls);
        QCOMPARE(StartFTPDialog::server()->tlsEnabled(), tls != KTTlsSettings::Off);
        QCOMPARE(StartFTPDialog::server()->tlsRequired(), tls == KTTlsSettings::Require);
        if (tls != KTTlsSettings::Off) {
            for (const char* name : {"server-cert.pem", "server-key.pem"}) {  // owner-only
                const QFile::Permissions mode = QFileInfo(serverStore.filePath(name)).permissions();
                QCOMPARE(mode & ~(QFile::ReadUser | QFile::WriteUser), QFile::ReadOwner | QFile::WriteOwner);
            }
            if (fingerprint.isEmpty())
                fingerprint = KTTlsSupport::fingerprint(serverStore.filePath("server-cert.pem"));
            QCOMPARE(fingerprint.size(), 32 * 3 - 1);
            QVERIFY(info.endsWith("Certificate SHA-256: " + fingerprint));
        }

        auto* users = child<QTreeWidget>(&dialog, "UsersList");  // who is online, after a drop too
        ServerProbe probe;
        QVERIFY(probe.connectAndGreet(port));
        QVERIFY(tls == KTTlsSettings::Off || probe.startTls());
        QVERIFY(probe.login(QStringLiteral("test"), QLatin1String(testPassword)));
        QTRY_COMPARE(users->topLevelItem(0)->text(2), QStringLiteral("Onine"));
        probe.socket.abort();
        QTRY_COMPARE(users->topLevelItem(0)->text(2), QStringLiteral("Offline"));

        // Closing the dialog leaves the server running; a new dialog finds it so, in any language.
        dialog.close();
        StartFTPDialog again(&serverStore);
        QCOMPARE(text(&again, "Port"), QString::number(port));
        QCOMPARE(child<QComboBox>(&again, "TlsMode")->currentIndex(), tls);
        again.retranslate();
        QVERIFY(text(&again, "StartInfo").startsWith(state));
        click(&again, "StopButton");
        QVERIFY(!StartFTPDialog::server()->isListening());
        QCOMPARE(text(&again, "StartInfo"), QStringLiteral("FTP server did not start."));
    }

    // 9 or 11 characters tick nothing; odd letters leave their boxes alone; Cancel sets no mode.
    void chmodDialog()
    {
        const struct { const char *permissions, *tick; int scope; const char* outcome; } rows[] = {
            {"-rw-r--r--", "", 0, "0644 1"},
            {"rwxrwxrwx", "", 0, "0000 1"},
            {"drwxrwxrwx+", "", 0, "0000 1"},
            {"drwxr-xr-x", "Owner", 0, "4755 1"},  // the owner box is set-user-id
            {"-r-Sr-Tr-x", "", 1, "0445 2"},
            {"d---------", "PublicExecute", 2, "0001 3"},
            {"-rwxrwxrwx", "", 0, " 0"},
        };
        for (const auto& row : rows) {
            KChmodDlg dialog;
            dialog.setPermissions(row.permissions);
            if (*row.tick)
                child<QCheckBox>(&dialog, row.tick)->setChecked(true);
            child<QComboBox>(&dialog, "ChildOption")->setCurrentIndex(row.scope);
            click(&dialog, row.outcome[0] == ' ' ? "Cancel" : "Change");
            // The input on both sides names the row that fails.
            QCOMPARE(QString("%1 %2 %3").arg(row.permissions, dialog.mode).arg(dialog.applyTo),
                     QString("%1 %2").arg(row.permissions, row.outcome));
        }
    }

    // Icons are cached per extension, case and all; their placeholder file stays in its own folder.
    void fileIconPlaceholderStaysInItsOwnFolder()
    {
        const QString nul = QString("a") + QChar(0) + "b";
        auto icons = std::make_unique<KTFileIcon>();
        const QString placeholder = icons->placeholderPath();
        QVERIFY(QFileInfo(placeholder).absolutePath() != QDir::currentPath());
        QIcon* txt = icons->iconFor("txt");
        QVERIFY(icons->iconFor("TXT") != txt);
        QCOMPARE(icons->iconFor("txt"), txt);
        for (const QString& extension : {QString("x/../../escaped"), QString("a\\b"), nul})
            icons->iconFor(extension);
        QCOMPARE(icons->icons.keys(), (QStringList{"", "TXT", "txt"}));
        QCOMPARE(QFileInfo(placeholder).size(), 1024);
        QCOMPARE(QFileInfo(placeholder).dir().entryList(QDir::Files), QStringList{"kt_temp_icon.tmp"});
        QVERIFY(!QFileInfo::exists("kt_temp_icon.tmp"));
        icons.reset();
        QVERIFY(!QFileInfo::exists(placeholder));
    }

    // The filled width of the 190 pixel bar in a 200 pixel cell; an empty file is done at once.
    void progressBar()
    {
        const struct { int done, total, state, filledWidth; } rows[] = {
            {512, 1024, KTDUFile::Downloading, 95},
            {0, 0, KTDUFile::Downloading, 190},
            {0, 0, KTDUFile::Undownload, 0},  // not known to be done: empty
            {0, 0, KTDUFile::DownloadError, 0},
            {1024, 1024, KTDUFile::Finish, 0},  // no bar at all
        };
        for (const auto& row : rows) {
            KTDUFile record;
            record.doneSize = row.done;
            record.fileSize = row.total;
            record.stateCode = row.state;
            QStandardItemModel model(1, 5);
            model.setData(model.index(0, 4), QVariant::fromValue(static_cast<void*>(&record)), Qt::UserRole);
            QImage image(200, 40, QImage::Format_RGB32);
            image.fill(Qt::white);
            QStyleOptionViewItem option;
            option.rect = image.rect();
            QPainter painter(&image);
            QPenStyleDelegate().paint(&painter, option, model.index(0, 4));
            painter.end();
            int filled = 0;
            for (int x = 0; x < image.width(); ++x)
                filled += QColor(image.pixel(x, 20)) == QColor(0, 124, 249) ? 1 : 0;
            const QString bar = QString("%1 of %2, state %3: ").arg(row.done).arg(row.total).arg(row.state);
            QCOMPARE(bar + QString::number(filled), bar + QString::number(row.filledWidth));
            QVERIFY(row.state != KTDUFile::Finish || QColor(image.pixel(100, 20)) == Qt::white);
        }
    }

    // Each button gives its answer, and the answer does to the engine's trust what it says.
    void certificateDialogAnswers()
    {
        if (!haveCertificates)
            QSKIP("no TLS or openssl here");
        const QSslCertificate& certificate = certificates.selfSigned;
        const QByteArray fingerprint = certificate.digest(QCryptographicHash::Sha256);
        client->setTrustFolder(fixture->dir.filePath("trust"));
        client->hostName = QStringLiteral("127.0.0.1");
        client->portNumber = 2121;
        for (const auto answer : {KTCertificateDialog::Cancel, KTCertificateDialog::OnlyThisTime,
                                  KTCertificateDialog::TrustAlways}) {
            KTCertificateDialog dialog(certificate, "127.0.0.1", 2121, "self-signed", false);
            QStringList labels;
            for (const QLabel* label : dialog.findChildren<QLabel*>())
                labels.append(label->text());
            QVERIFY(labels.contains(CertificateTrust::toText(fingerprint)));
            QVERIFY(dialog.cancelButton()->isDefault());
            QPushButton* const buttons[] = {dialog.cancelButton(), dialog.onceButton(),
                                            dialog.alwaysButton()};
            buttons[answer]->click();
            QCOMPARE(dialog.answer(), answer);
            QCOMPARE(dialog.result() == QDialog::Accepted, answer != KTCertificateDialog::Cancel);
            // Only the two trusting answers reconnect; only "always" is stored (it comes last).
            const bool trusted = answer != KTCertificateDialog::Cancel;
            QCOMPARE(KTCertificateDialog::apply(client.get(), certificate, answer), trusted);
            QCOMPARE(client->certificateTrust().fingerprint(client->hostName, 2121) == fingerprint,
                     answer == KTCertificateDialog::TrustAlways);
        }
    }

    // The help pages' pictures, sheets and links point into the shipped folder and all exist.
    void helpPagesAreSelfContained()
    {
        const QDir help(qEnvironmentVariable("TORVEX_BINARY_DIR") + "/share/torvex/help");
        const QRegularExpression reference("(?:src|href)=\"([^\"#]*)[^\"]*\"");
        for (const QString& language : {"en", "zh"}) {
            const QString page = help.filePath(language == "en" ? "index.html" : "index_zh.html");
            const QString html = QString::fromUtf8(readTestFile(page));
            QVERIFY2(html.contains(QString("<html lang=\"%1").arg(language)), qPrintable(page));
            QVERIFY(!html.contains("<script", Qt::CaseInsensitive));
            int references = 0;
            for (auto match = reference.globalMatch(html); match.hasNext();) {
                const QString target = match.next().captured(1);
                references += target.isEmpty() ? 0 : 1;
                QVERIFY2(!target.contains(':') && !target.startsWith('/'), qPrintable(target));
                QVERIFY2(target.isEmpty() || QFile::exists(help.filePath(target)), qPrintable(target));
            }
            QVERIFY(references > 20);
        }
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_gui_dialogs.moc"
