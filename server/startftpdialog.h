#ifndef TORVEX_SERVER_STARTFTPDIALOG_H
#define TORVEX_SERVER_STARTFTPDIALOG_H

#include <QDialog>
#include <QString>

#include "server/kttlssettings.h"

class FBData;
class KTFtpServer;
class QLineEdit;
class QTreeWidgetItem;

namespace Ui {
class StartFTPDialog;
}

// Starts and stops the built-in FTP server, chooses its port and folder, and keeps the users who
// may log in to it. Closing the dialog leaves the server as it is: the server outlives it.
class StartFTPDialog : public QDialog
{
    Q_OBJECT
public:
    explicit StartFTPDialog(FBData* store, QWidget* parent = nullptr);
    ~StartFTPDialog() override;

    // The one built-in server of the process, made by the first dialog; null before that.
    static KTFtpServer* server();
    // A control port typed by the user: a whole number from 1 to 65535, nothing else.
    static bool portFromText(const QString& text, quint16& port);
    // Asks for a local folder; a choice goes into the field with native separators.
    static void chooseFolderInto(QLineEdit* field);

    // Sets every text in the current language; the state line shows the server's state.
    void retranslate();

public slots:
    void slotUpdateList();

private slots:
    void on_StartButton_clicked();
    void on_CloseButton_clicked();
    void on_OpenButton_clicked();
    void on_StopButton_clicked();
    void on_SaveButton_clicked();
    void on_DeleteButton_clicked();
    void on_UsersList_itemClicked(QTreeWidgetItem* item, int column);

private:
    void updateServerState(const QString& failure = QString());
    void showServerState(const QString& failure);
    static KTFtpServer* sharedServer(FBData* store);
    // Gives the server the chosen encryption, making this computer's certificate on first use.
    bool prepareTls(QString& error);
    QString serverIni() const;

    Ui::StartFTPDialog* ui;
    QString path;
    QString ip;
    quint16 port = 0;
    FBData* store;
    // What the server was last started with, kept in "server.ini" beside the port and folder.
    KTTlsSettings tls;
};

#endif
