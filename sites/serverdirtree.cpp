#include "sites/serverdirtree.h"
#include "ui_serverdirtree.h"

#include "dialogs/ktnewfolder.h"
#include "engine/ftpclient.h"

#include <QMessageBox>

namespace {

// Column 0's user role: whether the folder's contents have been listed.
const int notListed = 0;
const int listed = 1;

} // namespace

ServerDirTree::ServerDirTree(FTPClient* client, const QString& startPath, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::ServerDirTree)
    , client(client)
{
    ui->setupUi(this);
    connect(client, &FTPClient::changDir, this, &ServerDirTree::slotChangDir);
    connect(client, &FTPClient::currentDir, this, &ServerDirTree::slotCurrentDir);
    connect(client, &FTPClient::currentDirData, this, &ServerDirTree::slotCurrentDirData);
    rootItem = addFolderItem(nullptr, QStringLiteral("/"));
    if (client->isConnected())
        listFolder(startPath.isEmpty() ? QStringLiteral("/") : startPath);
}

ServerDirTree::~ServerDirTree()
{
    delete ui;
}

void ServerDirTree::slotChangDir(bool)
{
}

// Places the listing that follows, building the chain of folders down to the path on the way.
void ServerDirTree::slotCurrentDir(const QString& path)
{
    const QStringList parts = path.split(QLatin1Char('/'));
    QTreeWidgetItem* item = rootItem;
    for (int i = 1; i < parts.size(); ++i) {
        const QString& part = parts.at(i);
        if (part.isEmpty())
            continue;
        QTreeWidgetItem* child = nullptr;
        for (int c = 0; c < item->childCount() && !child; ++c) {
            if (item->child(c)->text(0) == part)
                child = item->child(c);
        }
        item = child ? child : addFolderItem(item, part);
    }
    currentItem = item;
}

void ServerDirTree::slotCurrentDirData(const QString& data, bool)
{
    if (!currentItem)
        return;
    qDeleteAll(currentItem->takeChildren());
    for (const FTPClient::Row& row : FTPClient::parseList(data)) {
        const QString name = FTPClient::rowEntryName(row);
        // SECURITY: a name that is not one plain folder name (".", "..", one holding "/")
        // would make the tree point somewhere the listing did not name.
        if (!FTPClient::isDirRow(row) || !FTPClient::isPlainEntryName(name))
            continue;
        addFolderItem(currentItem, name);
    }
    currentItem->setData(0, Qt::UserRole, listed);
}

void ServerDirTree::on_pushButton_clicked()
{
    chosenPath = itemPath(ui->DirTree->currentItem());
    close();
}

void ServerDirTree::on_pushButton_2_clicked()
{
    close();
}

void ServerDirTree::on_DirTree_itemDoubleClicked(QTreeWidgetItem* item, int)
{
    if (item->data(0, Qt::UserRole).toInt() == notListed && client->isConnected())
        listFolder(itemPath(item));
}

void ServerDirTree::on_pushButton_3_clicked()
{
    QTreeWidgetItem* selected = ui->DirTree->currentItem();
    const QString folder = itemPath(selected);
    if (folder.isEmpty()) {
        QMessageBox::information(this, QString(), tr("Please select the folder!"), QMessageBox::Ok);
        return;
    }
    const QString name = askFolderName();
    if (name.isEmpty())
        return;
    // The engine lists the folder again after making the new one; that listing fills this item.
    currentItem = selected;
    client->makeDir(name, folder);
}

QTreeWidgetItem* ServerDirTree::addFolderItem(QTreeWidgetItem* parent, const QString& name)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(ui->DirTree);
    item->setData(0, Qt::UserRole, notListed);
    item->setText(0, name);
    item->setIcon(0, QIcon(QStringLiteral("://image/folder_icon.png")));
    item->setExpanded(true);
    return item;
}

// "/a/b" for the item b below a below the root; empty text for the root itself.
QString ServerDirTree::itemPath(QTreeWidgetItem* item) const
{
    if (!item)
        return chosenPath;
    QString path;
    for (; item && item != rootItem; item = item->parent())
        path.prepend(QLatin1Char('/') + item->text(0));
    return path;
}

void ServerDirTree::listFolder(const QString& path)
{
    client->changeDir(path);
    client->printDir();
    client->listDir();
}

QString ServerDirTree::askFolderName()
{
    KTNewFolder dialog(this);
    dialog.exec();
    return dialog.name;
}
