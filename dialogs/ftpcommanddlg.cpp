#include "dialogs/ftpcommanddlg.h"
#include "ui_ftpcommanddlg.h"

#include "engine/ftpclient.h"

namespace {

bool startsWithReplyCode(const QString& line)
{
    if (line.size() < 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        if (!line.at(i).isDigit())
            return false;
    }
    return line.size() == 3 || line.at(3) == QLatin1Char(' ') || line.at(3) == QLatin1Char('-');
}

} // namespace

FTPCommandDlg::FTPCommandDlg(FTPClient* client, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::FTPCommandDlg)
    , client(client)
{
    ui->setupUi(this);
    connect(client, &FTPClient::commandResult, this, &FTPCommandDlg::slotCommandResult_Ftp);
}

FTPCommandDlg::~FTPCommandDlg()
{
    delete ui;
}

void FTPCommandDlg::on_RunButton_clicked()
{
    if (!client->isLoggedIn())
        return;
    pendingCommand = ui->CommandEdit->text();
    openReplyCode.clear();
    if (pendingCommand.isEmpty())
        return;
    client->sendCommand(pendingCommand);
    addLine(pendingCommand);
}

void FTPCommandDlg::slotCommandResult_Ftp(const QString& command, const QString& result)
{
    if (pendingCommand.isEmpty() || command != pendingCommand)
        return;
    addLine(result);
    if (!replyGoesOn(result))
        pendingCommand.clear();
}

void FTPCommandDlg::on_ResultListView_itemClicked(QTreeWidgetItem* item, int column)
{
    if (item)
        ui->CommandEdit->setText(item->text(column));
}

void FTPCommandDlg::addLine(const QString& text)
{
    auto* item = new QTreeWidgetItem(ui->ResultListView);
    item->setText(0, text);
    ui->ResultListView->scrollToItem(item);
}

// Whether more lines of the same reply are still to come: a "123-" line opens a reply that only
// a "123 " line ends (HELP, FEAT, STAT), and a 1xx line announces a final reply behind it.
bool FTPCommandDlg::replyGoesOn(const QString& line)
{
    if (!openReplyCode.isEmpty()) {
        if (!line.startsWith(openReplyCode + QLatin1Char(' ')))
            return true;
        openReplyCode.clear();
        return false;
    }
    if (!startsWithReplyCode(line))
        return false;
    if (line.size() > 3 && line.at(3) == QLatin1Char('-')) {
        openReplyCode = line.left(3);
        return true;
    }
    return line.startsWith(QLatin1Char('1'));
}
