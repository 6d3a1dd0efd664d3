// The remote pane: asking the engine for folders, showing its listings, the remote folder tree.
#include "app/maidialog.h"

#include "dialogs/ktfileicon.h"
#include "engine/ftpclient.h"
#include "settings/fbdata.h"
#include "ui_maidialog.h"

#include <QFileInfo>

namespace {

const char folderIcon[] = "://image/folder_icon.png";

QTreeWidgetItem* remoteChild(QTreeWidgetItem* parent, const QString& name)
{
    for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (int i = 0; i < parent->childCount(); ++i) {
            if (parent->child(i)->text(0).compare(name, cs) == 0)
                return parent->child(i);
        }
    }
    return nullptr;
}

} // namespace

void MaiDialog::changeFtpDir(QString path, bool toParent)
{
    if (path.isEmpty())
        path = ui->RightPath->currentText();
    if (!ftp->isLoggedIn() || path.isEmpty())
        return;
    ftp->changeDir(path);
    if (toParent)
        ftp->changeDir(QStringLiteral(".."));
    ftp->printDir();
    ftp->listDir();
}

QTreeWidgetItem* MaiDialog::remoteTreeItem(const QString& path)
{
    QTreeWidgetItem* item = ui->RightTree->topLevelItem(0);
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        QTreeWidgetItem* child = remoteChild(item, part);
        if (!child) {
            child = new QTreeWidgetItem(item, QStringList(part));
            child->setIcon(0, QIcon(QLatin1String(folderIcon)));
        }
        item = child;
    }
    return item;
}

QString MaiDialog::remoteTreePath(QTreeWidgetItem* item) const
{
    QString path;
    for (; item && item->parent(); item = item->parent())
        path.prepend(QLatin1Char('/') + item->text(0));
    return path.isEmpty() ? QStringLiteral("/") : path;
}

void MaiDialog::slotCurrentDir_Ftp(const QString& path)
{
    ui->RightPath->setEditText(path);
    remoteTreeItem(path);
}

void MaiDialog::slotCurrentDirData_Ftp(const QString& data, bool dowload)
{
    if (moveInProgress)
        return;
    const QString folder = ui->RightPath->currentText();
    if (data.isEmpty() && !dowload) {
        // Asked again once: a server that answers an empty folder with nothing would otherwise
        // keep us asking for ever.
        if (emptyListingRetried != folder) {
            emptyListingRetried = folder;
            changeFtpDir(QString(), false);
            return;
        }
    } else {
        emptyListingRetried.clear();
    }
    showRemoteRows(data, dowload);
    if (dowload) {
        // The engine makes the records itself and skips names that lead out of the job's folder.
        ftp->queueDownloadListing(data);
        ftp->startDownload();
    }
    if (operation == DeleteOperation || operation == RenameOperation || operation == 5
        || operation == NewFolderOperation)
        showFinishInfo();
}

void MaiDialog::showRemoteRows(const QString& data, bool dowload)
{
    Q_UNUSED(dowload)
    ui->RightFiles->clear();
    QTreeWidgetItem* treeItem = remoteTreeItem(ui->RightPath->currentText());
    qDeleteAll(treeItem->takeChildren());
    FTPClient::Rows rows = FTPClient::parseList(data);
    const FTPClient::Rows sorted = FTPClient::sortRows(rows);
    const QIcon folder{QString(QLatin1String(folderIcon))};
    for (const FTPClient::Row& row : sorted) {
        const QString name = FTPClient::rowEntryName(row);
        const bool parent = name == QLatin1String("..");
        // A name that is not one entry of this folder cannot be acted on safely: not shown.
        if (!parent && !FTPClient::isPlainEntryName(name))
            continue;
        auto* item = new QTreeWidgetItem(ui->RightFiles);
        item->setText(0, name);
        item->setText(1, QString::number(quint64(FTPClient::rowSize(row))));
        item->setText(2, row.value(0));
        item->setText(3, row.value(5));
        if (FTPClient::isDirRow(row)) {
            item->setData(0, Qt::UserRole, uint(FolderItem));
            item->setIcon(0, folder);
            if (!parent) {
                auto* child = new QTreeWidgetItem(treeItem, QStringList(name));
                child->setIcon(0, folder);
            }
        } else {
            const bool link = FTPClient::isLinkRow(row);
            item->setData(0, Qt::UserRole, uint(link ? LinkItem : FileItem));
            item->setIcon(0, fileIcon(QFileInfo(name).suffix()));
        }
    }
    ui->RightTree->setCurrentItem(treeItem);
    for (QTreeWidgetItem* up = treeItem; up; up = up->parent())
        up->setExpanded(true);
}

void MaiDialog::on_RightFiles_itemDoubleClicked(QTreeWidgetItem* item, int)
{
    if (item->data(0, Qt::UserRole).toUInt() != FolderItem)
        return;
    const QString name = item->text(0);
    const QString folder = ui->RightPath->currentText();
    pendingToParent = name == QLatin1String("..");
    const QString target = pendingToParent ? folder : FTPClient::joinRemotePath(folder, name);
    if (ftp->isConnected()) {
        // A folder change in the middle of a job would move the job's own working folder.
        if (!jobRunning())
            changeFtpDir(target, pendingToParent);
        return;
    }
    pendingRemotePath = target;
    connectSelectedSite();
}

void MaiDialog::goRemoteParent()
{
    if (ftp->isLoggedIn() && !jobRunning())
        changeFtpDir(ui->RightPath->currentText(), true);
}

void MaiDialog::on_RightTree_itemDoubleClicked(QTreeWidgetItem* item, int)
{
    if (checkOperation(NoOperation))
        changeFtpDir(remoteTreePath(item), false);
}

void MaiDialog::on_RightFiles_itemClicked(QTreeWidgetItem*, int)
{
}

void MaiDialog::on_NetIcon_clicked()
{
    if (checkOperation(NoOperation))
        changeFtpDir(QString(), false);
}

void MaiDialog::on_RightTreeShow_clicked()
{
    ui->RightTree->setVisible(!ui->RightTree->isVisible());
}

void MaiDialog::on_RightPath_activated(int index)
{
    const QVariant id = ui->RightPath->itemData(index);
    if (id.isValid() && store->sites.contains(id.toInt()))
        ui->LeftPath->setEditText(store->sites.value(id.toInt())->clientPath);
    changeFtpDir(QString(), false);
    showLocalFiles(QString());
}
