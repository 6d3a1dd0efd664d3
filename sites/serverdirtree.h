#ifndef TORVEX_SITES_SERVERDIRTREE_H
#define TORVEX_SITES_SERVERDIRTREE_H

#include <QDialog>
#include <QString>

class FTPClient;
class QTreeWidgetItem;

namespace Ui {
class ServerDirTree;
}

// Shows the server's folders as a tree, listed one folder at a time as the user opens them, and
// hands back the folder the user selects in `chosenPath` (empty when nothing was chosen).
class ServerDirTree : public QDialog
{
    Q_OBJECT
public:
    ServerDirTree(FTPClient* client, const QString& startPath, QWidget* parent = nullptr);
    ~ServerDirTree() override;

    QString chosenPath;

private slots:
    void slotChangDir(bool success);
    void slotCurrentDir(const QString& path);
    void slotCurrentDirData(const QString& data, bool dowload);
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_DirTree_itemDoubleClicked(QTreeWidgetItem* item, int column);
    void on_pushButton_3_clicked();

private:
    QTreeWidgetItem* addFolderItem(QTreeWidgetItem* parent, const QString& name);
    QString itemPath(QTreeWidgetItem* item) const;
    void listFolder(const QString& path);
    QString askFolderName();

    Ui::ServerDirTree* ui;
    FTPClient* client;
    QTreeWidgetItem* rootItem = nullptr;
    QTreeWidgetItem* currentItem = nullptr;
};

#endif
