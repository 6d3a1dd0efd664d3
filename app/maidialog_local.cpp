// The local pane: listing a folder, the folder tree, the path combos and the local file commands.
#include "app/maidialog.h"

#include "common/helpers.h"
#include "dialogs/ktfileicon.h"
#include "dialogs/ktnewfolder.h"
#include "dialogs/renamedialog.h"
#include "engine/ftpclient.h"
#include "settings/fbdata.h"
#include "ui_maidialog.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace {

const char folderIcon[] = "://image/folder_icon.png";
const char dateFormat[] = "yyyy-MM-dd hh:mm";

QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const QString& name, Qt::CaseSensitivity cs)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0).compare(name, cs) == 0)
            return parent->child(i);
    }
    return nullptr;
}

// Qt's desktop trash puts entries into "files" and "info" of the working folder when it cannot
// make its folders below the user's data folder (a fresh account has no ~/.local/share). Make
// them first; where that fails the trash is no place to send anything.
bool homeTrashReady()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString trash = data + QLatin1String("/Trash/");
    return !data.isEmpty() && QDir().mkpath(trash + QLatin1String("files"))
        && QDir().mkpath(trash + QLatin1String("info"));
#else
    return true;
#endif
}

} // namespace

QString MaiDialog::localFolder() const
{
    return ui->LeftPath->currentText();
}

void MaiDialog::showLocalFiles(QString path)
{
#ifdef Q_OS_MACOS
    if (path == QLatin1String("/"))
        path = QStringLiteral("/Volumes");
#endif
    // A refresh asked for now makes any merged one still waiting pointless.
    localRefreshTimer.stop();
    pendingLocalPath.clear();
    ui->LeftFiles->clear();
    if (!path.isEmpty()) {
        nativePath(path);
        ui->LeftPath->setEditText(path);
    } else {
        path = localFolder();
    }
    if (path.isEmpty())
        return;
    QTreeWidgetItem* treeItem = localTreeItem(path);
    for (QTreeWidgetItem* up = treeItem; up; up = up->parent())
        up->setExpanded(true);
    ui->LeftTree->setCurrentItem(treeItem);

    const QFileInfoList entries = QDir(path).entryInfoList(QDir::NoFilter, QDir::Name | QDir::DirsFirst);
    if (entries.isEmpty()) {
        if (isVisible()) {
            const QString granted = runAuthorizeDirectory(path);
            if (!granted.isEmpty() && granted != path)
                showLocalFiles(granted);
            else if (!lastLocalPath.isEmpty() && lastLocalPath != path)
                showLocalFiles(lastLocalPath);
        }
        return;
    }
    const QIcon folder{QString(QLatin1String(folderIcon))};
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name == QLatin1String("."))
            continue;
        auto* row = new QTreeWidgetItem(ui->LeftFiles);
        row->setText(0, name);
        row->setText(1, QString::number(entry.size()));
        row->setText(2, entry.birthTime().isValid() ? entry.birthTime().toString(QLatin1String(dateFormat))
                                                     : entry.lastModified().toString(QLatin1String(dateFormat)));
        if (entry.isSymLink()) {
            row->setData(0, Qt::UserRole, uint(LinkItem));
            row->setIcon(0, fileIcon(entry.suffix()));
        } else if (entry.isDir()) {
            row->setData(0, Qt::UserRole, uint(FolderItem));
            row->setIcon(0, folder);
            if (name != QLatin1String("..") && treeItem && !childNamed(treeItem, name, Qt::CaseInsensitive)) {
                auto* child = new QTreeWidgetItem(treeItem, QStringList(name));
                child->setIcon(0, folder);
            }
        } else {
            row->setData(0, Qt::UserRole, uint(FileItem));
            row->setIcon(0, fileIcon(entry.suffix()));
        }
    }
    if (ui->LeftFiles->topLevelItemCount() == 0) {
        auto* row = new QTreeWidgetItem(ui->LeftFiles);
        row->setText(0, QStringLiteral(".."));
        row->setText(1, QStringLiteral("4096"));
        row->setText(2, QDateTime::currentDateTime().toString(QLatin1String(dateFormat)));
        row->setData(0, Qt::UserRole, uint(FolderItem));
    } else if (path != QLatin1String("/")) {
        lastLocalPath = path;
    }
}

QTreeWidgetItem* MaiDialog::localTreeItem(const QString& path)
{
    QStringList chain;
    QDir dir(QDir::fromNativeSeparators(path));
    chain.prepend(dir.absolutePath());
    // Bounded: a path has only so many levels, and a folder that does not exist stops the climb.
    for (int level = 0; level < 4096 && !dir.isRoot() && dir.cdUp(); ++level)
        chain.prepend(dir.absolutePath());
    if (ui->LeftTree->topLevelItemCount() == 0) {
        QString root = QDir::toNativeSeparators(chain.first());
        if (!root.endsWith(QDir::separator()))
            root += QDir::separator();
        auto* top = new QTreeWidgetItem(ui->LeftTree, QStringList(root));
        top->setIcon(0, QIcon(QLatin1String(folderIcon)));
    }
    QTreeWidgetItem* item = ui->LeftTree->topLevelItem(0);
    for (int i = 1; i < chain.size(); ++i) {
        const QString name = QFileInfo(chain.at(i)).fileName();
        if (name.isEmpty() || name == QLatin1String(".."))
            continue;
        QTreeWidgetItem* child = childNamed(item, name, Qt::CaseInsensitive);
        if (!child) {
            child = new QTreeWidgetItem(item, QStringList(name));
            child->setIcon(0, QIcon(QLatin1String(folderIcon)));
        }
        item = child;
    }
    return item;
}

QString MaiDialog::localTreePath(QTreeWidgetItem* item) const
{
    QStringList parts;
    while (item->parent()) {
        parts.prepend(item->text(0));
        item = item->parent();
    }
    return item->text(0) + parts.join(QDir::separator());
}

void MaiDialog::requestLocalRefresh(const QString& path)
{
    if (!path.isEmpty())
        pendingLocalPath = path;
    if (!localRefreshTimer.isActive())
        localRefreshTimer.start();
}

void MaiDialog::runLocalRefresh()
{
    showLocalFiles(pendingLocalPath);
}

void MaiDialog::slotSetLocalPath_Ftp(const QString& path)
{
    // The engine names a folder for every file it writes; listing it each time would slow the
    // transfer down to the speed of the list.
    requestLocalRefresh(path);
}

void MaiDialog::on_LocalIcon_clicked()
{
    showLocalFiles(QString());
}

void MaiDialog::on_LeftTreeShow_clicked()
{
    ui->LeftTree->setVisible(!ui->LeftTree->isVisible());
}

void MaiDialog::on_LeftTree_itemDoubleClicked(QTreeWidgetItem* item, int)
{
    showLocalFiles(localTreePath(item));
    QTimer::singleShot(50, Qt::CoarseTimer, this, &MaiDialog::expandLeftCurrent);
}

void MaiDialog::expandLeftCurrent()
{
    if (QTreeWidgetItem* item = ui->LeftTree->currentItem())
        item->setExpanded(true);
}

void MaiDialog::on_LeftFiles_itemDoubleClicked(QTreeWidgetItem* item, int)
{
    const QString name = item->text(0);
    if (item->data(0, Qt::UserRole).toUInt() == FolderItem) {
        QDir dir(localFolder());
        const QString next = name == QLatin1String("..")
            ? QFileInfo(dir.absolutePath()).absolutePath()
            : dir.absoluteFilePath(name);
        showLocalFiles(next);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(joinPath(localFolder(), name)));
}

void MaiDialog::goLocalParent()
{
    const QString folder = localFolder();
    if (!folder.isEmpty())
        showLocalFiles(QFileInfo(QDir(folder).absolutePath()).absolutePath());
}

void MaiDialog::on_LeftPath_activated(int index)
{
    const QVariant id = ui->LeftPath->itemData(index);
    if (id.isValid() && store->sites.contains(id.toInt()))
        ui->RightPath->setEditText(store->sites.value(id.toInt())->serverPath);
    changeFtpDir(QString(), false);
    showLocalFiles(QString());
}

void MaiDialog::fillPathCombos()
{
    ui->LeftPath->clear();
    ui->RightPath->clear();
    const ServerInfo* chosen = nullptr;
    for (const ServerInfo* site : qAsConst(store->sites)) {
        ui->LeftPath->addItem(site->clientPath, site->id);
        ui->RightPath->addItem(site->serverPath, site->id);
        if (site->select)
            chosen = site;
    }
    if (chosen) {
        ui->LeftPath->setEditText(chosen->clientPath);
        ui->RightPath->setEditText(chosen->serverPath);
    }
}

void MaiDialog::onNewFolderClicked()
{
    KTNewFolder dialog(this);
    runModal(&dialog);
    if (!dialog.name.isEmpty())
        QDir(localFolder()).mkdir(dialog.name);
    showLocalFiles(QString());
}

void MaiDialog::slotLocalRename()
{
    QTreeWidgetItem* row = ui->LeftFiles->currentItem();
    if (!row)
        return;
    RenameDialog dialog(this);
    dialog.setName(row->text(0));
    runModal(&dialog);
    if (!dialog.name.isEmpty()) {
        const QString from = joinPath(localFolder(), row->text(0));
        const QString to = joinPath(localFolder(), dialog.name);
        if (row->data(0, Qt::UserRole).toUInt() == FolderItem)
            QDir().rename(from, to);
        else
            QFile::rename(from, to);
    }
    showLocalFiles(QString());
}

bool MaiDialog::removeLocalEntry(const QString& path, bool folder)
{
    return folder ? removeDir(path, true) : QFile::remove(path);
}

void MaiDialog::slotDeleteLeftFiles()
{
    // One misclick must not destroy data: entries go to the desktop's trash, and only what
    // cannot go there is deleted for good, after a question.
    QList<QPair<QString, bool>> refused;
    const bool trashReady = homeTrashReady();
    for (QTreeWidgetItem* row : ui->LeftFiles->selectedItems()) {
        if (row->text(0) == QLatin1String(".."))
            continue;
        const QString path = joinPath(localFolder(), row->text(0));
        if (!trashReady || !QFile::moveToTrash(path))
            refused.append({path, row->data(0, Qt::UserRole).toUInt() == FolderItem});
    }
    if (!refused.isEmpty() && ask(tr("Delete permanently?"))) {
        for (const auto& entry : qAsConst(refused))
            removeLocalEntry(entry.first, entry.second);
    }
    showLocalFiles(QString());
}

void MaiDialog::slotInfolderLeftFiles()
{
    const QList<QTreeWidgetItem*> rows = ui->LeftFiles->selectedItems();
    if (rows.isEmpty())
        return;
    const QString folder = rows.first()->data(0, Qt::UserRole).toUInt() == FolderItem
        ? joinPath(localFolder(), rows.first()->text(0))
        : localFolder();
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}
