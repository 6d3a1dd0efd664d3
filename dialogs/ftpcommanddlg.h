#ifndef TORVEX_DIALOGS_FTPCOMMANDDLG_H
#define TORVEX_DIALOGS_FTPCOMMANDDLG_H

#include <QDialog>
#include <QString>

class FTPClient;
class QTreeWidgetItem;

namespace Ui {
class FTPCommandDlg;
}

// Sends one typed command on the engine's control connection and keeps a running log of the
// commands and the replies to them.
class FTPCommandDlg : public QDialog
{
    Q_OBJECT
public:
    explicit FTPCommandDlg(FTPClient* client, QWidget* parent = nullptr);
    ~FTPCommandDlg() override;

    // The command sent last whose reply is still awaited; empty when none is.
    QString pendingCommand;

private slots:
    void on_RunButton_clicked();
    void slotCommandResult_Ftp(const QString& command, const QString& result);
    void on_ResultListView_itemClicked(QTreeWidgetItem* item, int column);

private:
    void addLine(const QString& text);
    bool replyGoesOn(const QString& line);

    Ui::FTPCommandDlg* ui;
    FTPClient* client;
    QString openReplyCode;  // code of the multi-line reply being shown
};

#endif
