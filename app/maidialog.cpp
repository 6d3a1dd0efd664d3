// The window frame: construction, the engine wiring, the operation guard, the connection and
// stop displays, the tool and pane buttons and the keys.
#include "app/maidialog.h"

#include "app/qpenstyledelegate.h"
#include "common/helpers.h"
#include "common/webservice.h"
#include "dialogs/authorizedirectory.h"
#include "dialogs/ftpcommanddlg.h"
#include "dialogs/klanguagedialog.h"
#include "dialogs/ktcertificatedialog.h"
#include "dialogs/versioncheck.h"
#include "engine/ftpclient.h"
#include "server/startftpdialog.h"
#include "settings/fbdata.h"
#include "sites/backuptoftpdialog.h"
#include "sites/serverdirtree.h"
#include "ui_maidialog.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTranslator>
#include <QUrl>

FTPClient* ftpEngine = nullptr;
FBData* dataStore = nullptr;
int languageIndex = 0;
const char connectedStyle[] = "QTreeWidget::item{height:28px;} QTreeWidget{background-color: "
                              "rgb(255, 255, 255);} QTreeWidget::branch {image:none;}";
const char disconnectedStyle[] = "QTreeWidget::item{height:28px;} QTreeWidget{background-color: "
                                 "rgb(255, 200, 200);} QTreeWidget::branch {image:none;}";

MaiDialog::MessageRunner MaiDialog::messageRunner;
MaiDialog::DialogRunner MaiDialog::dialogRunner;

namespace {

QString operationText(int code)
{
    switch (code) {
    case MaiDialog::DownloadOperation: return MaiDialog::tr("Downloading file from server!");
    case MaiDialog::UploadOperation: return MaiDialog::tr("Uploading files to server!");
    case MaiDialog::DeleteOperation: return MaiDialog::tr("Deleting file!");
    case MaiDialog::RenameOperation: return MaiDialog::tr("Changing file name!");
    case MaiDialog::NewFolderOperation: return MaiDialog::tr("Creating new folder!");
    case MaiDialog::AttributesOperation: return MaiDialog::tr("Changing file attributes!");
    case MaiDialog::CompareOperation: return MaiDialog::tr("Comparing files!");
    default: return QString();
    }
}

QString finishText(int code)
{
    switch (code) {
    case MaiDialog::DownloadOperation: return MaiDialog::tr("Download file is completed!");
    case MaiDialog::UploadOperation: return MaiDialog::tr("Upload file is completed!");
    case MaiDialog::DeleteOperation: return MaiDialog::tr("Delete files completed!");
    case MaiDialog::RenameOperation: return MaiDialog::tr("Modify the file is completed!");
    case MaiDialog::AttributesOperation: return MaiDialog::tr("Change the file attributes completed!");
    case MaiDialog::CompareOperation: return MaiDialog::tr("Compare files completed!");
    default: return QString();
    }
}

QString toolStyle(const QString& object, const QString& stem)
{
    return QStringLiteral("QPushButton#%1 { border-radius:0; outline: none;background:rgba(0,0,0,0);"
                          "color: rgb(69, 69, 69);background-image: url(://image/%2_normal.png);}"
                          "QPushButton#%1:hover {background-image: url(://image/%2_up.png);} "
                          "QPushButton#%1:pressed {background-image: url(://image/%2_down.png);}")
        .arg(object, stem);
}

} // namespace

MaiDialog::MaiDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::MaiDialog)
{
    ftp = new FTPClient(this);
    ftpEngine = ftp;
    store = new FBData(this);
    dataStore = store;
    ftp->setDataStore(store);
    ftp->setTrustFolder(store->configDir);
    translator = new QTranslator(this);

    ui->setupUi(this);
    addPadlock();
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    for (QWidget* widget : {static_cast<QWidget*>(ui->LeftPath), static_cast<QWidget*>(ui->LeftTree),
                            static_cast<QWidget*>(ui->LeftFiles), static_cast<QWidget*>(ui->RightPath),
                            static_cast<QWidget*>(ui->RightTree), static_cast<QWidget*>(ui->RightFiles),
                            static_cast<QWidget*>(ui->DUQueue), static_cast<QWidget*>(ui->DeleteLog)})
        widget->setAttribute(Qt::WA_MacShowFocusRect, false);
    ui->LeftTree->hide();
    ui->RightTree->hide();
    ui->DUQueue->setItemDelegate(new QPenStyleDelegate(ui->DUQueue));
    ui->CommandButton->hide();
    ui->CommandText->hide();
    auto* root = new QTreeWidgetItem(ui->RightTree, QStringList(QStringLiteral("/")));
    root->setIcon(0, QIcon(QStringLiteral("://image/folder_icon.png")));
    elapsed.start();

    // Bursts of per-file refreshes collapse into one; a transfer never waits for the window.
    localRefreshTimer.setSingleShot(true);
    localRefreshTimer.setInterval(LocalRefreshMs);
    connect(&localRefreshTimer, &QTimer::timeout, this, &MaiDialog::runLocalRefresh);
    queueRepaintTimer.setSingleShot(true);
    queueRepaintTimer.setInterval(QueueRepaintMs);
    connect(&queueRepaintTimer, &QTimer::timeout, this, &MaiDialog::repaintQueue);
    for (QTreeWidget* pane : {ui->LeftFiles, ui->RightFiles}) {
        pane->setDragEnabled(true);
        pane->setDragDropMode(QAbstractItemView::DragDrop);
        // A drop starts a transfer; a move would take the rows out of the source list.
        pane->setDefaultDropAction(Qt::CopyAction);
        pane->viewport()->setAcceptDrops(true);
        pane->viewport()->installEventFilter(this);
    }

    loadLanguages();
    setColumnWidths();
    buildMenus();
    fillPathCombos();
    showStartFolder();
    connectFtp(true);
    updateConnectButton();
    updateStopButton(false);
    ui->DeleteLog->clear();
    clearQueueRows();
    ui->DeleteLog->hide();
    ui->DUQueue->show();
    showFinishInfo();
    setLanguage(countryCode());
    // The switch empties the status row; the window opens telling its connection state, in
    // the language it starts in.
    showConnectState(false);
}

// Without a chosen site the local pane would start empty; a user expects their own folder.
void MaiDialog::showStartFolder()
{
    showLocalFiles(ui->LeftPath->currentText().isEmpty() ? QDir::homePath() : QString());
}

MaiDialog::~MaiDialog()
{
    // The engine goes first while the rows it points at still exist, and without reaching a
    // window that is half gone.
    connectFtp(false);
    localRefreshTimer.stop();
    queueRepaintTimer.stop();
    delete ftp;
    ftpEngine = nullptr;
    delete store;
    dataStore = nullptr;
    queueRows.clear();
    delete ui;
}

void MaiDialog::connectFtp(bool attach)
{
    if (!attach) {
        ftp->disconnect(this);
        return;
    }
    connect(ftp, &FTPClient::login, this, &MaiDialog::slotLogin_Ftp);
    connect(ftp, &FTPClient::logout, this, &MaiDialog::slotLogout_Ftp);
    connect(ftp, &FTPClient::changDir, this, &MaiDialog::slotChangDir_Ftp);
    connect(ftp, &FTPClient::currentDir, this, &MaiDialog::slotCurrentDir_Ftp);
    connect(ftp, &FTPClient::setLocalPath, this, &MaiDialog::slotSetLocalPath_Ftp);
    connect(ftp, &FTPClient::currentDirData, this, &MaiDialog::slotCurrentDirData_Ftp);
    connect(ftp, &FTPClient::deleteFile, this, &MaiDialog::slotDeleteFile_Ftp);
    connect(ftp, &FTPClient::srFile, this, &MaiDialog::slotSRFile_Ftp);
    connect(ftp, &FTPClient::srFileSize, this, &MaiDialog::slotSRFileSize_Ftp);
    connect(ftp, &FTPClient::srProgress, this, &MaiDialog::slotSRProgress_Ftp);
    connect(ftp, &FTPClient::srFileFinish, this, &MaiDialog::soltSRFileFinish_Ftp);
    connect(ftp, &FTPClient::srFinish, this, &MaiDialog::slotSRFinish_Ftp);
    connect(ftp, &FTPClient::srStateChange, this, &MaiDialog::soltSRStateChange_Ftp);
    connect(ftp, &FTPClient::srCmpResult, this, &MaiDialog::soltSRCmpResult_Ftp);
    connect(ftp, &FTPClient::srCmpFinish, this, &MaiDialog::soltSRCmpFinish_Ftp);
    connect(ftp, &FTPClient::srStop, this, &MaiDialog::soltSRStop_Ftp);
    connect(ftp, &FTPClient::srChmod, this, &MaiDialog::soltSRChmod_Ftp);
    connect(ftp, &FTPClient::srChmodFinish, this, &MaiDialog::soltSRChmodFinish_Ftp);
}

void MaiDialog::addPadlock()
{
    padlock = new QLabel(this);
    padlock->setObjectName(QStringLiteral("EncryptedIcon"));
    padlock->setPixmap(QPixmap(QStringLiteral(":/image/padlock_closed.png")));
    padlock->setToolTip(tr("The connection is encrypted (FTP over TLS)."));
    padlock->hide();
    ui->horizontalLayout_15->insertWidget(1, padlock);
    connect(ftp, &FTPClient::encryptionChanged, padlock, &QLabel::setVisible);
    KTCertificateDialog::watch(ftp, this);
}

void MaiDialog::tell(const QString& text)
{
    if (messageRunner) {
        messageRunner(this, text, false);
        return;
    }
    QMessageBox::information(this, QString(), text, QMessageBox::Ok);
}

bool MaiDialog::ask(const QString& text)
{
    const int answer = messageRunner
        ? messageRunner(this, text, true)
        : QMessageBox::question(this, QString(), text, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No);
    return answer == QMessageBox::Yes;
}

void MaiDialog::runModal(QDialog* dialog)
{
    if (dialogRunner)
        dialogRunner(dialog);
    else
        dialog->exec();
}

// The compare's worker thread holds no command, yet it is as busy as a transfer.
bool MaiDialog::engineBusy() const
{
    return ftp->isBusy() || compareRunning;
}

// A job that a folder change or a Clear would break under its feet.
bool MaiDialog::jobRunning()
{
    if (operation == NoOperation || ftp->stopFlag() == 1)
        return false;
    if (!engineBusy()) {
        showFinishInfo();
        return false;
    }
    tell(tr("Last operation not completed!"));
    return true;
}

bool MaiDialog::checkOperation(int code)
{
    if (!ftp->isLoggedIn()) {
        tell(tr("Not connected to the server!"));
        return false;
    }
    if (!engineBusy())
        showFinishInfo();
    if (operation != NoOperation && code != ResumeOperation) {
        if (ftp->stopFlag() != 1 || compareRunning) {
            tell(tr("Last operation not completed!"));
            return false;
        }
    }
    if (code == ResumeOperation)
        code = operation;
    const QString text = operationText(code);
    if (!text.isEmpty())
        ui->OPInfo->setText(text);
    operation = code;
    return true;
}

void MaiDialog::showFinishInfo()
{
    const QString text = finishText(operation);
    if (!text.isEmpty())
        ui->OPInfo->setText(text);
    operation = NoOperation;
}

void MaiDialog::showConnectState(bool withMessage)
{
    const bool in = ftp->isLoggedIn();
    const QString text = in ? tr("Connected to the server!") : tr("Not connected to the server!");
    ui->RightFiles->setStyleSheet(QLatin1String(in ? connectedStyle : disconnectedStyle));
    ui->OPInfo->setText(text);
    if (withMessage)
        tell(text);
}

void MaiDialog::styleToolButton(QWidget* button, const QString& stem)
{
    button->setStyleSheet(toolStyle(button->objectName(), stem));
}

void MaiDialog::updateConnectButton()
{
    const bool in = ftp->isLoggedIn();
    styleToolButton(ui->Connect, in ? QStringLiteral("diconnect") : QStringLiteral("connect"));
    ui->ConnectLable->setText(in ? tr("Disconnect") : tr("Connect"));
}

void MaiDialog::updateStopButton(bool act)
{
    if (ftp->isLoggedIn() && act) {
        if (ftp->stopFlag() != 1) {
            if (engineBusy()) {
                ftp->stopTransfers();
                ui->OPInfo->setText(tr("Stopping!"));
            } else {
                ui->OPInfo->setText(tr("No command to run!"));
            }
        } else {
            ftp->resumeTransfers();
            checkOperation(ResumeOperation);
        }
    }
    const bool stopped = ftp->stopFlag() == 1;
    styleToolButton(ui->Stop, stopped ? QStringLiteral("restart") : QStringLiteral("stopall"));
    ui->StopLabel->setText(stopped ? tr("Restart") : tr("Stop"));
}

void MaiDialog::slotLogin_Ftp(bool successful)
{
    if (successful) {
        store->updateConnectState(ftp->host(), true);
        fillPathCombos();
        showLocalFiles(QString());
        if (pendingRemotePath.isEmpty()) {
            changeFtpDir(QString(), false);
        } else {
            changeFtpDir(pendingRemotePath, pendingToParent);
            pendingRemotePath.clear();
        }
        ui->RightFiles->setStyleSheet(QLatin1String(connectedStyle));
        ui->OPInfo->setText(tr("Connected to the server!"));
    } else {
        ui->RightFiles->setStyleSheet(QLatin1String(disconnectedStyle));
        ui->OPInfo->setText(tr("Not connected to the server!"));
    }
    updateConnectButton();
}

void MaiDialog::slotLogout_Ftp()
{
    flushQueueRows();
    ui->RightFiles->setStyleSheet(QLatin1String(disconnectedStyle));
    ui->OPInfo->setText(tr("Not connected to the server!"));
    updateConnectButton();
    // A compare cut off by the drop never reaches its end; nothing of it still runs here.
    if (!ftp->isBusy())
        updateStopButton(false);
}

void MaiDialog::slotChangDir_Ftp(bool)
{
}

void MaiDialog::connectSelectedSite()
{
    for (ServerInfo* site : qAsConst(store->sites)) {
        if (!site->select)
            continue;
        ftp->setEncryption(site->encryption);
        ftp->connectServer(site->ip, site->port, site->userName, site->password);
        ftp->setCodecName(site->codec);
    }
}

void MaiDialog::on_Connect_clicked()
{
    if (store->sites.isEmpty()) {
        on_BackupToFTPButton_clicked();
        return;
    }
    if (!ftp->isConnected() && !ftp->isClosed())
        return;
    if (ftp->isClosed()) {
        connectSelectedSite();
        return;
    }
    if (checkOperation(NoOperation))
        ftp->disconnectServer();
}

void MaiDialog::on_BackupToFTPButton_clicked()
{
    connectFtp(false);
    runSitesDialog();
    connectFtp(true);
    fillPathCombos();
    changeFtpDir(QString(), false);
    showLocalFiles(QString());
    slotLogin_Ftp(ftp->isLoggedIn());
}

void MaiDialog::on_Stop_clicked()
{
    if (ftp->isLoggedIn())
        updateStopButton(true);
    else
        showConnectState(true);
}

void MaiDialog::soltSRStop_Ftp()
{
    flushQueueRows();
    QString text;
    if (operation == DownloadOperation)
        text = tr("Download has stopped!");
    else if (operation == UploadOperation)
        text = tr("Upload has stopped!");
    else if (operation == CompareOperation)
        text = tr("Comparison has stopped!");
    updateStopButton(false);
    ui->OPInfo->setText(text);
}

void MaiDialog::on_StarFTP_clicked()
{
    checkVersion();
    runServerDialog();
}

void MaiDialog::on_CommandButton_clicked()
{
    runCommandDialog();
}

void MaiDialog::on_LanguageButton_clicked()
{
    KLanguageDialog dialog(this);
    runModal(&dialog);
    if (dialog.chosenIndex != -1)
        setLanguage(dialog.chosenIndex);
}

void MaiDialog::on_HelpButton_clicked()
{
    const QString page = languageIndex == 1 ? QStringLiteral("index_zh.html")
                                            : QStringLiteral("index.html");
    const QString path = QDir::cleanPath(QCoreApplication::applicationDirPath()
                                         + QStringLiteral("/../share/torvex/help/") + page);
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void MaiDialog::runSitesDialog()
{
    BackupToFTPDialog dialog(ftp, store, this);
    runModal(&dialog);
}

void MaiDialog::runServerDialog()
{
    // One dialog for the whole run, shown without blocking the window.
    if (!serverDialog)
        serverDialog = new StartFTPDialog(store, this);
    serverDialog->retranslate();
    serverDialog->show();
    serverDialog->raise();
    serverDialog->activateWindow();
}

void MaiDialog::runCommandDialog()
{
    FTPCommandDlg dialog(ftp, this);
    runModal(&dialog);
}

QString MaiDialog::runFolderChooser(const QString& start)
{
    ServerDirTree chooser(ftp, start, this);
    runModal(&chooser);
    return chooser.chosenPath;
}

QString MaiDialog::runAuthorizeDirectory(const QString& path)
{
    AuthorizeDirectory dialog(path, this);
    runModal(&dialog);
    return dialog.directory;
}

void MaiDialog::loadLanguages()
{
    const char* const names[] = {"English", "Chinese", "French",  "German", "Italian",
                                 "Japanese", "Korean", "Russian", "Spanish"};
    int index = 0;
    for (const char* name : names)
        languageFiles.insert(index++, QStringLiteral("://ml/%1.qm").arg(QLatin1String(name)));
    QCoreApplication::installTranslator(translator);
}

void MaiDialog::setLanguage(int index)
{
    if (!languageFiles.contains(index))
        return;
    languageIndex = index;
    // A file that does not load leaves the translator empty: the English source texts show.
    translator->load(languageFiles.value(index), QString(), QString(), QString());
    retranslate();
}

void MaiDialog::retranslate()
{
    ui->retranslateUi(this);
    ui->RightTreeShow->setText(tr("T"));
    for (auto it = actionTexts.cbegin(); it != actionTexts.cend(); ++it)
        it.key()->setText(tr(it.value().toUtf8().constData()));
    // The two state buttons keep telling what a click does now, also right after the switch.
    const QString connectText = ftp->isLoggedIn() ? tr("Disconnect") : tr("Connect");
    ui->ConnectLable->setText(connectText);
    ui->StopLabel->setText(ftp->stopFlag() == 1 ? tr("Restart") : tr("Stop"));
}

void MaiDialog::on_ShowLocalFile_clicked()
{
    if (ui->Left_Right_Splitter->widget(1)->isVisible()) {
        QWidget* pane = ui->Left_Right_Splitter->widget(0);
        pane->setVisible(!pane->isVisible());
    }
}

void MaiDialog::on_ShowServerFile_clicked()
{
    if (ui->Left_Right_Splitter->widget(0)->isVisible()) {
        QWidget* pane = ui->Left_Right_Splitter->widget(1);
        pane->setVisible(!pane->isVisible());
    }
}

void MaiDialog::on_QueueButton_clicked()
{
    ui->DUQueue->setVisible(!ui->DUQueue->isVisible());
}

void MaiDialog::on_SwapButton_clicked()
{
    ui->Left_Right_Splitter->insertWidget(1, ui->Left_Right_Splitter->widget(0));
}

void MaiDialog::setColumnWidths()
{
    const int h = width() / 2 - 20;
    const auto part = [](int base, double share) { return static_cast<int>(base * share); };
    ui->LeftFiles->setColumnWidth(0, part(h, 0.46));
    ui->LeftFiles->setColumnWidth(1, part(h, 0.27));
    ui->LeftFiles->setColumnWidth(2, part(h, 0.27));
    ui->RightFiles->setColumnWidth(0, part(h, 0.4));
    ui->RightFiles->setColumnWidth(1, part(h, 0.19));
    ui->RightFiles->setColumnWidth(2, part(h, 0.19));
    ui->RightFiles->setColumnWidth(3, part(h, 0.22));
    ui->DUQueue->setColumnWidth(0, part(2 * h, 0.33));
    ui->DUQueue->setColumnWidth(1, part(2 * h, 0.33));
    ui->DUQueue->setColumnWidth(2, part(2 * h, 0.1));
    ui->DUQueue->setColumnWidth(3, part(2 * h, 0.09));
    ui->DUQueue->setColumnWidth(4, part(2 * h, 0.15));
    ui->DeleteLog->setColumnWidth(0, part(2 * h, 0.7));
    ui->DeleteLog->setColumnWidth(1, part(2 * h, 0.3));
}

void MaiDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    setColumnWidths();
}

void MaiDialog::keyPressEvent(QKeyEvent* event)
{
    // Nothing reaches the base class: Escape must not close the window, nor Return press a
    // button.
    const bool leftFocus = ui->LeftFiles->hasFocus() || ui->LeftTree->hasFocus();
    const bool rightFocus = ui->RightFiles->hasFocus() || ui->RightTree->hasFocus();
    switch (event->key()) {
    case Qt::Key_Return:
        if (ui->LeftPath->hasFocus())
            showLocalFiles(QString());
        else if (ui->RightPath->hasFocus())
            changeFtpDir(QString(), false);
        break;
    case Qt::Key_F5:
        if (leftFocus || ui->LeftPath->hasFocus())
            showLocalFiles(QString());
        else if (rightFocus || ui->RightPath->hasFocus())
            on_NetIcon_clicked();
        break;
    case Qt::Key_F2:
        if (ui->LeftFiles->hasFocus())
            slotLocalRename();
        else if (ui->RightFiles->hasFocus())
            slotFtpRename();
        break;
    case Qt::Key_Delete:
        if (ui->LeftFiles->hasFocus())
            slotDeleteLeftFiles();
        else if (ui->RightFiles->hasFocus())
            onDeleteFtpFileClicked();
        break;
    case Qt::Key_Backspace:
        if (leftFocus)
            goLocalParent();
        else if (rightFocus)
            goRemoteParent();
        break;
    default:
        break;
    }
}
