#ifndef TORVEX_SITES_BACKUPTOFTPDIALOG_H
#define TORVEX_SITES_BACKUPTOFTPDIALOG_H

#include <QDialog>
#include <QString>

class FBData;
class FTPClient;
class ServerInfo;
class QTreeWidgetItem;

namespace Ui {
class BackupToFTPDialog;
}

// The Sites dialog: keeps the site table of the store, connects the one engine to a site or
// disconnects it, and marks the site the main window then works with.
class BackupToFTPDialog : public QDialog
{
    Q_OBJECT
public:
    BackupToFTPDialog(FTPClient* client, FBData* store, QWidget* parent = nullptr);
    ~BackupToFTPDialog() override;

    // The site last loaded into the edit fields; 0 until one is.
    int currentServerId = 0;

private slots:
    void slotLogin(bool successful);
    void slotLogout();
    void on_Ok_clicked();
    void on_AddButton_clicked();
    void on_ConnectButton_clicked();
    void on_OpenWorkFolderButton_clicked();
    void on_SeverFolderButton_clicked();
    void on_CodeComboBox_currentIndexChanged(const QString& arg1);
    void on_BackupItems_itemClicked(QTreeWidgetItem* item, int column);
    void on_Disconnect_clicked();
    void on_RemoveButton_clicked();
    void on_EditButton_clicked();
    void on_FtpServer_clicked();

private:
    void setColumnWidths();
    void fillCodecList();
    void fillEncryptionList();
    void fillDefaultPaths();
    void showConnectButton(bool connected);
    void updateLocalServerState();
    void refreshServerList(bool connected);
    void fillTestSite();
    void showServerInfo(QTreeWidgetItem* item);
    void connectToFields();
    QString missingCredential() const;
    bool fieldsComplete() const;
    bool readPort(quint16& port, bool showMessage);
    void copyFieldsTo(ServerInfo* site, quint16 port) const;
    int addServer(bool showMessage);
    void inform(const QString& text);

    Ui::BackupToFTPDialog* ui;
    FTPClient* client;
    FBData* store;
    // One connection attempt gets one message box, however many login and logout signals the
    // engine sends for it.
    bool outcomeShown = true;
    bool sessionUp = false;  // the last outcome shown was a successful login
};

#endif
