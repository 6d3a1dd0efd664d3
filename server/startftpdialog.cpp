#include "server/startftpdialog.h"
#include "ui_startftpdialog.h"

#include "common/helpers.h"
#include "server/ktftpclient.h"
#include "server/ktftpserver.h"
#include "server/kttlssupport.h"
#include "settings/fbdata.h"

#include <QDir>
#include <QFileDialog>
#include <QHostInfo>
#include <QMessageBox>

namespace {

const quint16 defaultPort = 2121;
const char certificateFile[] = "server-cert.pem";
const char keyFile[] = "server-key.pem";

KTFtpServer* builtInServer = nullptr;

// Sessions still open when the store goes must not report their logout to it.
void dropBuiltInServer()
{
    KTFtpServer* server = builtInServer;
    builtInServer = nullptr;
    for (KTFtpClient* client : qAsConst(server->clients))
        QObject::disconnect(client, nullptr, server, nullptr);
    delete server;
}

} // namespace

StartFTPDialog::StartFTPDialog(FBData* store, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::StartFTPDialog)
    , store(store)
{
    sharedServer(store);
    ui->setupUi(this);

    QString address;
    quint16 storedPort = 0;
    QString folder;
    // A record with one field missing keeps the fields it has: the user's port stays theirs.
    store->readServerSettings(address, storedPort, folder);
    if (storedPort == 0)
        storedPort = defaultPort;
    if (address.isEmpty())
        address = QStringLiteral("127.0.0.1");
    // Other machines reach this computer at its network address, not at the loopback one.
    const QStringList addresses = localIpList();
    if (!addresses.isEmpty())
        address = addresses.first();
    ui->IP->setText(address);
    ui->Port->setText(QString::number(storedPort));
    ui->Path->setText(folder);
    tls = KTTlsSettings::read(serverIni());
    ui->TlsMode->setCurrentIndex(int(tls.mode));

    connect(store, &FBData::userChange, this, &StartFTPDialog::slotUpdateList);
    updateServerState();
    slotUpdateList();
}

StartFTPDialog::~StartFTPDialog()
{
    delete ui;
}

KTFtpServer* StartFTPDialog::server()
{
    return builtInServer;
}

// The server logs users in against the store, so it goes when the store goes (at program exit,
// with the main window); until then every dialog shares it.
KTFtpServer* StartFTPDialog::sharedServer(FBData* store)
{
    if (!builtInServer) {
        builtInServer = new KTFtpServer(store);
        QObject::connect(store, &QObject::destroyed, builtInServer, dropBuiltInServer);
    }
    return builtInServer;
}

bool StartFTPDialog::portFromText(const QString& text, quint16& port)
{
    bool ok = false;
    const uint value = text.trimmed().toUInt(&ok, 10);
    if (!ok || value < 1 || value > 65535)
        return false;
    port = quint16(value);
    return true;
}

void StartFTPDialog::retranslate()
{
    ui->retranslateUi(this);
    ui->line->clear();
    // The state line is never left empty: whoever opens the dialog sees where the server stands.
    showServerState(QString());
}

void StartFTPDialog::slotUpdateList()
{
    ui->UsersList->clear();
    for (const UserInfo* user : store->users()) {
        auto* item = new QTreeWidgetItem(ui->UsersList);
        item->setText(0, user->name);
        item->setText(1, user->password);
        item->setText(2, user->online ? tr("Onine") : tr("Offline"));
    }
}

void StartFTPDialog::on_StartButton_clicked()
{
    path = ui->Path->text();
    if (path.isEmpty()) {
        QMessageBox::information(this, QString(), tr("<br>Please select the working folder!"),
                                 QMessageBox::Ok);
        return;
    }
    quint16 chosenPort = 0;
    if (!portFromText(ui->Port->text(), chosenPort)) {
        QMessageBox::information(this, QString(), tr("The port must be a number from 1 to 65535!"),
                                 QMessageBox::Ok);
        return;
    }
    ip = ui->IP->text();
    port = chosenPort;
    KTFtpServer* ftpServer = sharedServer(store);
    QString error;
    if (!prepareTls(error)) {
        // Never a server without the encryption that was asked for.
        updateServerState(error);
        return;
    }
    const bool started = ftpServer->start(port, path);
    updateServerState(started ? QString() : ftpServer->errorString());
}

void StartFTPDialog::on_CloseButton_clicked()
{
    close();
}

void StartFTPDialog::on_OpenButton_clicked()
{
    chooseFolderInto(ui->Path);
}

void StartFTPDialog::chooseFolderInto(QLineEdit* field)
{
    QString folder = QFileDialog::getExistingDirectory(field->window(), QString(), QString(),
                                                       QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty())
        field->setText(nativePath(folder));
}

void StartFTPDialog::on_StopButton_clicked()
{
    sharedServer(store)->stopAll();
    updateServerState();
}

void StartFTPDialog::on_SaveButton_clicked()
{
    UserInfo user;
    user.name = ui->Name->text();
    user.password = ui->Password->text();
    store->saveUser(user);
}

void StartFTPDialog::on_DeleteButton_clicked()
{
    QTreeWidgetItem* item = ui->UsersList->currentItem();
    if (!item) {
        QMessageBox::information(this, QString(), tr("You did not choose user information!"),
                                 QMessageBox::Ok);
        return;
    }
    store->removeUser(item->text(0));
}

void StartFTPDialog::on_UsersList_itemClicked(QTreeWidgetItem* item, int)
{
    ui->Name->setText(item->text(0));
    ui->Password->setText(item->text(1));
}

// Whenever the dialog finds the server listening it keeps "server.ini" in step with the fields.
void StartFTPDialog::updateServerState(const QString& failure)
{
    showServerState(failure);
    KTFtpServer* ftpServer = sharedServer(store);
    if (!ftpServer->isListening())
        return;
    quint16 savedPort = 0;
    if (!portFromText(ui->Port->text(), savedPort))
        savedPort = ftpServer->serverPort();
    store->writeServerSettings(ui->IP->text(), savedPort, ui->Path->text());
    tls.write(serverIni());
}

QString StartFTPDialog::serverIni() const
{
    return store->filePath(QStringLiteral("server.ini"));
}

bool StartFTPDialog::prepareTls(QString& error)
{
    KTTlsSettings chosen = tls;
    chosen.mode = KTTlsSettings::Mode(qBound(0, ui->TlsMode->currentIndex(), 2));
    if (chosen.mode != KTTlsSettings::Off && chosen.certificate.isEmpty()) {
        chosen.certificate = store->filePath(QLatin1String(certificateFile));
        chosen.key = store->filePath(QLatin1String(keyFile));
        if (!QFile::exists(chosen.certificate) && !QFile::exists(chosen.key)
            && !KTTlsSupport::makeSelfSignedCertificate(chosen.certificate, chosen.key,
                                                        QHostInfo::localHostName(), error))
            return false;
    }
    if (!chosen.applyTo(sharedServer(store), error))
        return false;
    tls = chosen;
    return true;
}

void StartFTPDialog::showServerState(const QString& failure)
{
    const bool listening = sharedServer(store)->isListening();
    ui->StartButton->setVisible(!listening);
    ui->StopButton->setVisible(listening);
    if (listening) {
        QString text = tr("FTP server has started.");
        const QString fingerprint = sharedServer(store)->tlsEnabled()
                                        ? KTTlsSupport::fingerprint(tls.certificate)
                                        : QString();
        if (!fingerprint.isEmpty())
            text += QLatin1Char(' ') + tr("Certificate SHA-256: %1").arg(fingerprint);
        ui->StartInfo->setText(text);
        return;
    }
    QString text = tr("FTP server did not start.");
    if (!failure.isEmpty())
        text += QLatin1Char(' ') + failure;
    ui->StartInfo->setText(text);
}
