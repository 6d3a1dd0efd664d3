#include "sites/backuptoftpdialog.h"
#include "ui_backuptoftpdialog.h"

#include "common/helpers.h"
#include "engine/ftpclient.h"
#include "server/ktftpserver.h"
#include "server/startftpdialog.h"
#include "settings/fbdata.h"
#include "sites/serverdirtree.h"

#include <QMessageBox>
#include <QStandardPaths>
#include <QTextCodec>

namespace {

// The test site offered while the table is empty: the built-in server on this computer, with
// its default user and port, reachable without any network.
const char testSiteName[] = "TestFtp";
const char testSiteCodec[] = "UTF-8";
const char testSiteUser[] = "test";
const char testSitePassword[] = "581247";
const char testSiteAddress[] = "127.0.0.1";
const char testSitePort[] = "2121";

int siteId(const QTreeWidgetItem* item)
{
    return item->data(0, Qt::UserRole).toInt();
}

} // namespace

BackupToFTPDialog::BackupToFTPDialog(FTPClient* client, FBData* store, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::BackupToFTPDialog)
    , client(client)
    , store(store)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
    connect(client, &FTPClient::login, this, &BackupToFTPDialog::slotLogin);
    connect(client, &FTPClient::logout, this, &BackupToFTPDialog::slotLogout);
    // An attempt the window started before we opened is still owed its message.
    outcomeShown = client->isLoggedIn() || client->isClosed();
    sessionUp = client->isLoggedIn();

    setColumnWidths();
    fillCodecList();
    fillEncryptionList();
    fillDefaultPaths();
    showConnectButton(client->isConnected());
    updateLocalServerState();
    refreshServerList(client->isConnected());
}

BackupToFTPDialog::~BackupToFTPDialog()
{
    delete ui;
}

void BackupToFTPDialog::setColumnWidths()
{
    const int w = width() - 50;
    ui->BackupItems->setColumnWidth(0, int(w * 0.25));
    ui->BackupItems->setColumnWidth(1, int(w * 0.15));
    ui->BackupItems->setColumnWidth(2, int(w * 0.3));
    ui->BackupItems->setColumnWidth(3, int(w * 0.3));
}

// In the order of ServerInfo::Encryption.
void BackupToFTPDialog::fillEncryptionList()
{
    ui->EncryptionComboBox->addItem(tr("Only plain FTP"));
    ui->EncryptionComboBox->addItem(tr("Use explicit FTP over TLS if available"));
    ui->EncryptionComboBox->addItem(tr("Require explicit FTP over TLS"));
    ui->EncryptionComboBox->setCurrentIndex(ServerInfo::PlainOnly);
}

void BackupToFTPDialog::fillCodecList()
{
    QStringList names;
    for (const QByteArray& name : QTextCodec::availableCodecs())
        names.append(QString::fromLatin1(name));
    names.removeDuplicates();
    sortNoCase(names);
    // Filling the list is not a choice of the user: the engine keeps its codec.
    const QSignalBlocker blocker(ui->CodeComboBox);
    ui->CodeComboBox->addItems(names);
    ui->CodeComboBox->setCurrentIndex(ui->CodeComboBox->findText(QLatin1String(testSiteCodec)));
}

void BackupToFTPDialog::fillDefaultPaths()
{
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::DownloadLocation);
    if (folders.isEmpty())
        folders = QStandardPaths::standardLocations(QStandardPaths::DesktopLocation);
    QString folder = folders.value(0);
    ui->WorkFolderEdit->setText(nativePath(folder));
    ui->SeverFolderEdit->setText(QStringLiteral("/"));
}

void BackupToFTPDialog::showConnectButton(bool connected)
{
    ui->Disconnect->setVisible(connected);
    ui->ConnectButton->setVisible(!connected);
}

void BackupToFTPDialog::updateLocalServerState()
{
    const KTFtpServer* server = StartFTPDialog::server();
    ui->ftpInfo->setText(server && server->isListening() ? tr("Local ftp server has started!")
                                                         : tr("Local ftp server is not started!"));
}

void BackupToFTPDialog::refreshServerList(bool connected)
{
    store->updateConnectState(client->host(), connected);
    ui->BackupItems->clear();
    for (const ServerInfo* site : qAsConst(store->sites)) {
        auto* item = new QTreeWidgetItem(ui->BackupItems);
        item->setText(0, site->serverName);
        item->setText(1, site->connected ? tr("Connected") : tr("Disconnected"));
        item->setText(2, site->clientPath);
        item->setText(3, site->serverPath);
        item->setData(0, Qt::UserRole, site->id);
        if (site->select) {
            ui->BackupItems->setCurrentItem(item);
            showServerInfo(item);
        }
    }
    if (store->sites.isEmpty())
        fillTestSite();
}

void BackupToFTPDialog::fillTestSite()
{
    ui->ServerName->setText(QLatin1String(testSiteName));
    const int codec = ui->CodeComboBox->findText(QLatin1String(testSiteCodec));
    if (codec >= 0)
        ui->CodeComboBox->setCurrentIndex(codec);
    ui->Name->setText(QLatin1String(testSiteUser));
    ui->Password->setText(QLatin1String(testSitePassword));
    ui->IP->setText(QLatin1String(testSiteAddress));
    ui->Port->setText(QLatin1String(testSitePort));
}

void BackupToFTPDialog::showServerInfo(QTreeWidgetItem* item)
{
    currentServerId = siteId(item);
    const ServerInfo* site = store->sites.value(currentServerId);
    if (!site)
        return;
    ui->ServerName->setText(site->serverName);
    ui->IP->setText(site->ip);
    ui->Port->setText(QString::number(site->port));
    ui->Name->setText(site->userName);
    ui->Password->setText(site->password);
    const int codec = ui->CodeComboBox->findText(site->codec);
    if (codec >= 0)
        ui->CodeComboBox->setCurrentIndex(codec);
    ui->EncryptionComboBox->setCurrentIndex(site->encryption);
    ui->WorkFolderEdit->setText(site->clientPath);
    ui->SeverFolderEdit->setText(site->serverPath);
    showConnectButton(site->ip == client->host() && client->isConnected());
}

void BackupToFTPDialog::slotLogin(bool successful)
{
    // A site first reached through the fields becomes the chosen one: Ok then hands it to the
    // window, and the next Connect goes there.
    const int added = addServer(false);
    if (successful && added)
        store->selectServer(added);
    showConnectButton(successful);
    refreshServerList(successful);
    const bool report = !outcomeShown;
    outcomeShown = true;
    sessionUp = successful;
    if (report)
        inform(successful ? tr("Connection success!") : tr("Disconnect from the server!"));
}

void BackupToFTPDialog::slotLogout()
{
    showConnectButton(false);
    refreshServerList(false);
    // The end of a session that was reported up is news. While an attempt is open its login
    // signal reports it (the engine sends one for every attempt), and the session the attempt
    // replaces ends without a word.
    const bool report = outcomeShown && sessionUp;
    sessionUp = false;
    if (report)
        inform(tr("Disconnect from the server!"));
}

void BackupToFTPDialog::on_Ok_clicked()
{
    if (QTreeWidgetItem* item = ui->BackupItems->currentItem()) {
        const int id = siteId(item);
        if (id != currentServerId || !client->isLoggedIn()) {
            // Connect to the site of the row, not to whatever the fields last showed.
            if (id != currentServerId)
                showServerInfo(item);
            connectToFields();
        }
        if (client->isLoggedIn())
            store->selectServer(id);
    }
    accept();
}

void BackupToFTPDialog::on_AddButton_clicked()
{
    addServer(true);
}

void BackupToFTPDialog::on_ConnectButton_clicked()
{
    connectToFields();
}

void BackupToFTPDialog::on_OpenWorkFolderButton_clicked()
{
    StartFTPDialog::chooseFolderInto(ui->WorkFolderEdit);
}

void BackupToFTPDialog::on_SeverFolderButton_clicked()
{
    if (!client->isConnected()) {
        inform(tr("Please fill in the server information, click the connect button!"));
        return;
    }
    ServerDirTree chooser(client, QString(), this);
    chooser.exec();
    if (!chooser.chosenPath.isEmpty())
        ui->SeverFolderEdit->setText(chooser.chosenPath);
}

void BackupToFTPDialog::on_CodeComboBox_currentIndexChanged(const QString& arg1)
{
    client->setCodecName(arg1);
}

void BackupToFTPDialog::on_BackupItems_itemClicked(QTreeWidgetItem* item, int)
{
    showServerInfo(item);
}

void BackupToFTPDialog::on_Disconnect_clicked()
{
    client->disconnectServer();
}

void BackupToFTPDialog::on_RemoveButton_clicked()
{
    client->disconnectServer();
    for (const QTreeWidgetItem* item : ui->BackupItems->selectedItems())
        delete store->sites.take(siteId(item));
    refreshServerList(false);
}

void BackupToFTPDialog::on_EditButton_clicked()
{
    if (!fieldsComplete()) {
        inform(tr("Incomplete information!"));
        return;
    }
    QTreeWidgetItem* item = ui->BackupItems->currentItem();
    if (!item) {
        addServer(true);
        return;
    }
    quint16 port = 0;
    ServerInfo* site = store->sites.value(siteId(item));
    if (!site || !readPort(port, true))
        return;
    copyFieldsTo(site, port);
    refreshServerList(client->isConnected());
}

void BackupToFTPDialog::on_FtpServer_clicked()
{
    StartFTPDialog dialog(store, this);
    dialog.exec();
    updateLocalServerState();
}

void BackupToFTPDialog::connectToFields()
{
    if (!missingCredential().isEmpty()) {
        QTreeWidgetItem* item = ui->BackupItems->currentItem();
        if (!item)
            item = ui->BackupItems->topLevelItem(0);
        if (item)
            showServerInfo(item);
    }
    const QString missing = missingCredential();
    if (!missing.isEmpty()) {
        inform(missing);
        return;
    }
    quint16 port = 0;
    if (!readPort(port, true))
        return;
    const QString ip = ui->IP->text();
    if (client->isLoggedIn() && client->host() == ip && client->port() == port)
        return;

    store->clearSelection();
    outcomeShown = false;
    client->setEncryption(ui->EncryptionComboBox->currentIndex());
    client->connectServer(ip, port, ui->Name->text(), ui->Password->text());
    client->setCodecName(ui->CodeComboBox->currentText());
    for (const QTreeWidgetItem* item : ui->BackupItems->selectedItems()) {
        if (ServerInfo* site = store->sites.value(siteId(item)))
            site->select = true;
    }
}

// Names the first of IP, port, user and password that is still empty; empty when none is.
QString BackupToFTPDialog::missingCredential() const
{
    if (ui->IP->text().isEmpty())
        return tr("Please enter the IP address or host name of the server!");
    if (ui->Port->text().isEmpty())
        return tr("Please enter the port of the server!");
    if (ui->Name->text().isEmpty())
        return tr("Please enter the user name!");
    if (ui->Password->text().isEmpty())
        return tr("Please enter the password!");
    return QString();
}

bool BackupToFTPDialog::fieldsComplete() const
{
    return !ui->SeverFolderEdit->text().isEmpty() && !ui->WorkFolderEdit->text().isEmpty()
        && !ui->ServerName->text().isEmpty();
}

bool BackupToFTPDialog::readPort(quint16& port, bool showMessage)
{
    if (StartFTPDialog::portFromText(ui->Port->text(), port))
        return true;
    if (showMessage)
        inform(tr("The port must be a number from 1 to 65535!"));
    return false;
}

void BackupToFTPDialog::copyFieldsTo(ServerInfo* site, quint16 port) const
{
    site->serverName = ui->ServerName->text();
    site->ip = ui->IP->text();
    site->port = port;
    site->userName = ui->Name->text();
    site->password = ui->Password->text();
    site->codec = ui->CodeComboBox->currentText();
    site->encryption = ui->EncryptionComboBox->currentIndex();
    site->clientPath = ui->WorkFolderEdit->text();
    site->serverPath = ui->SeverFolderEdit->text();
}

// Adds the fields as a new site when they are complete and no equal site exists; returns the
// new site's id, or 0 when nothing was added.
int BackupToFTPDialog::addServer(bool showMessage)
{
    if (!fieldsComplete()) {
        if (showMessage)
            inform(tr("Incomplete information!"));
        return 0;
    }
    quint16 port = 0;
    if (!readPort(port, showMessage))
        return 0;
    auto* site = new ServerInfo(store);
    copyFieldsTo(site, port);
    if (store->containsServer(site)) {
        delete site;
        return 0;
    }
    store->sites.insert(site->id, site);
    refreshServerList(client->isConnected());
    return site->id;
}

void BackupToFTPDialog::inform(const QString& text)
{
    QMessageBox::information(this, QString(), text, QMessageBox::Ok);
}
