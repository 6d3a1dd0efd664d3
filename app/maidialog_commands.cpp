// File commands: the context menus, Download and Upload, the remote commands, the compare, and
// dragging rows between the panes.
#include "app/maidialog.h"

#include "common/helpers.h"
#include "dialogs/kchmoddlg.h"
#include "dialogs/ktnewfolder.h"
#include "dialogs/renamedialog.h"
#include "dialogs/versioncheck.h"
#include "engine/ftpclient.h"
#include "ui_maidialog.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QDropEvent>
#include <QMenu>

namespace {

constexpr int MaxCompareFolders = 1000;

bool isParentRow(const QTreeWidgetItem* row)
{
    return row->text(0) == QLatin1String("..");
}

uint kindOf(const QTreeWidgetItem* row)
{
    return row->data(0, Qt::UserRole).toUInt();
}

} // namespace

QAction* MaiDialog::addMenuAction(QMenu* menu, const char* text, void (MaiDialog::*slot)())
{
    auto* action = new QAction(tr(text), this);
    // The source text, so that each language change translates from it anew.
    actionTexts.insert(action, QString::fromUtf8(text));
    connect(action, &QAction::triggered, this, slot);
    menu->addAction(action);
    return action;
}

void MaiDialog::buildMenus()
{
    localMenu = new QMenu(this);
    addMenuAction(localMenu, QT_TR_NOOP("Upload"), &MaiDialog::on_UploadButton_clicked);
    addMenuAction(localMenu, QT_TR_NOOP("New Folder"), &MaiDialog::onNewFolderClicked);
    addMenuAction(localMenu, QT_TR_NOOP("In folder"), &MaiDialog::slotInfolderLeftFiles);
    addMenuAction(localMenu, QT_TR_NOOP("Rename"), &MaiDialog::slotLocalRename);
    addMenuAction(localMenu, QT_TR_NOOP("Compare"), &MaiDialog::onCompareFtpFileClicked);
    addMenuAction(localMenu, QT_TR_NOOP("Delete"), &MaiDialog::slotDeleteLeftFiles);
    remoteMenu = new QMenu(this);
    addMenuAction(remoteMenu, QT_TR_NOOP("Dowload"), &MaiDialog::on_DowloadButton_clicked);
    addMenuAction(remoteMenu, QT_TR_NOOP("New Folder"), &MaiDialog::onNewFolderFtpClicked);
    addMenuAction(remoteMenu, QT_TR_NOOP("Rename"), &MaiDialog::slotFtpRename);
    addMenuAction(remoteMenu, QT_TR_NOOP("Move to ..."), &MaiDialog::onMoveFtpFileClicked);
    addMenuAction(remoteMenu, QT_TR_NOOP("Compare"), &MaiDialog::onCompareFtpFileClicked);
    addMenuAction(remoteMenu, QT_TR_NOOP("Attributes"), &MaiDialog::onAttributesFtpClicked);
    addMenuAction(remoteMenu, QT_TR_NOOP("Delete"), &MaiDialog::onDeleteFtpFileClicked);
    queueMenu = new QMenu(this);
    addMenuAction(queueMenu, QT_TR_NOOP("Stop"), &MaiDialog::on_Stop_clicked);
    addMenuAction(queueMenu, QT_TR_NOOP("Retry Errors"), &MaiDialog::onRetryErrorsClicked);
    addMenuAction(queueMenu, QT_TR_NOOP("Clear"), &MaiDialog::onClearQueueClicked);
}

void MaiDialog::contextMenuEvent(QContextMenuEvent* event)
{
    const QPoint at = event->globalPos();
    const auto inside = [at](QWidget* list) {
        return list->isVisible() && QRect(list->mapToGlobal(QPoint(0, 0)), list->size()).contains(at);
    };
    if (inside(ui->LeftFiles))
        localMenu->popup(at);
    else if (inside(ui->RightFiles))
        remoteMenu->popup(at);
    else if (inside(ui->DUQueue))
        queueMenu->popup(at);
}

QList<QTreeWidgetItem*> MaiDialog::chosenRows(QTreeWidget* list) const
{
    QList<QTreeWidgetItem*> rows;
    for (QTreeWidgetItem* row : list->selectedItems()) {
        if (!isParentRow(row))
            rows.append(row);
    }
    return rows;
}

void MaiDialog::startDownload(const QString& target)
{
    showQueue(true);
    const QString local = target.isEmpty() ? localFolder() : target;
    ftp->prepareTransfer(local, ui->RightPath->currentText());
    int added = 0;
    for (QTreeWidgetItem* row : chosenRows(ui->RightFiles)) {
        const QString localPath = joinPath(local, row->text(0));
        const QString remotePath = ftp->localToRemote(localPath);
        if (kindOf(row) == FolderItem) {
            ftp->addDownloadFolder(remotePath);
            ++added;
        } else if (ftp->addDownloadFile(localPath, remotePath, kindOf(row) == LinkItem, 0)) {
            ++added;
        }
    }
    if (added > 0)
        ftp->startDownload();
    else
        showFinishInfo();
}

void MaiDialog::on_DowloadButton_clicked()
{
    if (ui->RightFiles->selectedItems().isEmpty()) {
        tell(tr("You did not choose any files or directories!"));
        return;
    }
    if (checkOperation(DownloadOperation))
        startDownload(QString());
}

void MaiDialog::on_UploadButton_clicked()
{
    checkVersion();
    if (ui->LeftFiles->selectedItems().isEmpty()) {
        tell(tr("You did not choose any files or directories!"));
        return;
    }
    if (!checkOperation(UploadOperation))
        return;
    showQueue(true);
    ftp->prepareTransfer(localFolder(), ui->RightPath->currentText());
    int added = 0;
    for (QTreeWidgetItem* row : chosenRows(ui->LeftFiles)) {
        const QString localPath = joinPath(localFolder(), row->text(0));
        if (kindOf(row) == FolderItem) {
            ftp->addUploadFolder(localPath);
            ++added;
        } else if (ftp->addUploadFile(localPath, ftp->localToRemote(localPath), false, 0)) {
            ++added;
        }
    }
    if (added > 0)
        ftp->startUpload();
    else
        showFinishInfo();
}

void MaiDialog::onDeleteFtpFileClicked()
{
    if (!ftp->isLoggedIn()) {
        checkOperation(DeleteOperation);
        return;
    }
    const QList<QTreeWidgetItem*> rows = chosenRows(ui->RightFiles);
    // A misclick in a menu must not wipe a folder tree on a server.
    if (rows.isEmpty() || !ask(tr("Delete the selected files and folders from the server?")))
        return;
    if (!checkOperation(DeleteOperation))
        return;
    showQueue(false);
    const QString folder = ui->RightPath->currentText();
    ftp->prepareDelete(folder);
    for (QTreeWidgetItem* row : rows) {
        if (kindOf(row) == FolderItem)
            ftp->addDeleteFolder(folder, row->text(0));
        else
            ftp->addDeleteFile(folder, row->text(0));
    }
    ftp->deleteNext(26);
}

void MaiDialog::onNewFolderFtpClicked()
{
    if (!checkOperation(NewFolderOperation))
        return;
    showFinishInfo();
    KTNewFolder dialog(this);
    runModal(&dialog);
    if (!dialog.name.isEmpty() && checkOperation(NewFolderOperation)) {
        ftp->makeDir(dialog.name, ui->RightPath->currentText());
        changeFtpDir(QString(), false);
    }
}

void MaiDialog::slotFtpRename()
{
    if (!checkOperation(RenameOperation))
        return;
    showFinishInfo();
    QTreeWidgetItem* row = ui->RightFiles->currentItem();
    if (!row)
        return;
    RenameDialog dialog(this);
    dialog.setName(row->text(0));
    runModal(&dialog);
    if (!dialog.name.isEmpty() && checkOperation(RenameOperation)) {
        const QString folder = ui->RightPath->currentText();
        ftp->renameFile(FTPClient::joinRemotePath(folder, row->text(0)),
                        FTPClient::joinRemotePath(folder, dialog.name));
    }
}

void MaiDialog::onMoveFtpFileClicked()
{
    moveInProgress = true;
    const QString destination = runFolderChooser(ui->RightPath->currentText());
    moveInProgress = false;
    if (destination.isEmpty() || !checkOperation(RenameOperation))
        return;
    const QList<QTreeWidgetItem*> rows = chosenRows(ui->RightFiles);
    if (ui->RightFiles->selectedItems().isEmpty())
        return;
    QList<FTPClient::PathPair> moves;
    const QString folder = ui->RightPath->currentText();
    for (QTreeWidgetItem* row : rows)
        moves.append({FTPClient::joinRemotePath(folder, row->text(0)),
                      FTPClient::joinRemotePath(destination, row->text(0))});
    moves.append({destination, QString()});
    ftp->addMoves(moves);
}

void MaiDialog::onAttributesFtpClicked()
{
    if (!checkOperation(AttributesOperation))
        return;
    const QList<QTreeWidgetItem*> selected = ui->RightFiles->selectedItems();
    if (selected.isEmpty()) {
        tell(tr("You at least choose a file or folder!"));
        showFinishInfo();
        return;
    }
    KChmodDlg dialog(this);
    dialog.setPermissions(selected.first()->text(2));
    runModal(&dialog);
    if (dialog.mode.isEmpty()) {
        showFinishInfo();
        return;
    }
    const QString folder = ui->RightPath->currentText();
    ftp->setChmod(folder, dialog.applyTo, dialog.mode);
    for (QTreeWidgetItem* row : chosenRows(ui->RightFiles)) {
        ftp->addChmodFile(folder, row->text(0));
        if (kindOf(row) == FolderItem)
            ftp->addChmodFolder(folder, row->text(0));
    }
    showQueue(false);
    ftp->chmodNext();
}

QString MaiDialog::makeCompareFolder(const QString& base) const
{
    // Always a folder made just now: the compare removes it at the end, so it must never be
    // one that held anything of the user's.
    QDir dir(base);
    for (int n = 0; n < MaxCompareFolders; ++n) {
        const QString name = QStringLiteral("Cmp_") + QString::number(n);
        if (dir.exists(name))
            continue;
        if (dir.mkdir(name))
            return QDir::toNativeSeparators(dir.absoluteFilePath(name));
    }
    return QString();
}

void MaiDialog::onCompareFtpFileClicked()
{
    const QList<QTreeWidgetItem*> remote = ui->RightFiles->selectedItems();
    const QList<QTreeWidgetItem*> local = ui->LeftFiles->selectedItems();
    if (remote.isEmpty() || local.isEmpty()) {
        tell(tr("Please select the file or directory with the same name!"));
        return;
    }
    bool matching = remote.size() == local.size();
    for (int i = 0; matching && i < remote.size(); ++i) {
        const QString name = remote.at(i)->text(0);
        matching = std::any_of(local.cbegin(), local.cend(),
                               [&name](const QTreeWidgetItem* row) { return row->text(0) == name; });
    }
    if (!matching) {
        tell(tr("Wrong choice, Please choose the same name file or folder!"));
        return;
    }
    // The guard comes before the folder is made, so a refused compare leaves nothing behind.
    if (!ftp->isLoggedIn() || (operation != NoOperation && engineBusy() && ftp->stopFlag() != 1)) {
        checkOperation(CompareOperation);
        return;
    }
    const QString base = localFolder();
    const QString temp = makeCompareFolder(base);
    if (temp.isEmpty()) {
        tell(tr("Failed to create a temporary directory!"));
        return;
    }
    if (!checkOperation(CompareOperation)) {
        QDir().rmdir(temp);
        return;
    }
    compareLocalFolder = base;
    compareTempFolder = temp;
    ftp->setCompareBase(base, temp);
    startDownload(temp);
}

bool MaiDialog::eventFilter(QObject* watched, QEvent* event)
{
    const bool left = watched == ui->LeftFiles->viewport();
    const bool right = watched == ui->RightFiles->viewport();
    if (!left && !right)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDropEvent*>(event);
        QWidget* source = qobject_cast<QWidget*>(drag->source());
        const bool across = (left && source == ui->RightFiles) || (right && source == ui->LeftFiles);
        if (across)
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    if (event->type() == QEvent::Drop)
        return dropBetweenPanes(watched, event);
    return QDialog::eventFilter(watched, event);
}

bool MaiDialog::dropBetweenPanes(QObject* target, QEvent* event)
{
    auto* drop = static_cast<QDropEvent*>(event);
    QWidget* source = qobject_cast<QWidget*>(drop->source());
    // Rows themselves never move inside the lists: a drop only starts a transfer.
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (target == ui->RightFiles->viewport() && source == ui->LeftFiles)
        on_UploadButton_clicked();
    else if (target == ui->LeftFiles->viewport() && source == ui->RightFiles)
        on_DowloadButton_clicked();
    return true;
}
