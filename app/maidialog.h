#ifndef TORVEX_APP_MAIDIALOG_H
#define TORVEX_APP_MAIDIALOG_H

#include <QDialog>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QString>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

class FBData;
class FTPClient;
class KTDUFile;
class QAction;
class QLabel;
class QMenu;
class QTranslator;
class QTreeWidget;
class QTreeWidgetItem;
class StartFTPDialog;

namespace Ui {
class MaiDialog;
}

// The engine and the store of the running window, for the dialogs that drive the same engine.
extern FTPClient* ftpEngine;
extern FBData* dataStore;
// The language in use, 0 English .. 8 Spanish.
extern int languageIndex;
// RightFiles is white while a user is logged in and pink otherwise.
extern const char connectedStyle[];
extern const char disconnectedStyle[];

// The main window: tool buttons, the local and the remote pane, the transfer queue and the
// status row. Every remote action passes checkOperation first.
class MaiDialog : public QDialog
{
    Q_OBJECT
public:
    // Item kinds in the user role of column 0 of every file row.
    enum ItemKind { FolderItem = 1, FileItem = 2, LinkItem = 3 };
    // Operation codes held in operation.
    enum Operation {
        NoOperation = 0,
        DownloadOperation = 1,
        UploadOperation = 2,
        DeleteOperation = 3,
        RenameOperation = 4,
        NewFolderOperation = 6,
        AttributesOperation = 7,
        ResumeOperation = 99,
        CompareOperation = 100
    };
    // How long the local pane and the queue's bars wait to merge refreshes that come in a burst.
    static constexpr int LocalRefreshMs = 300;
    static constexpr int QueueRepaintMs = 250;

    explicit MaiDialog(QWidget* parent = nullptr);
    ~MaiDialog() override;

    // How the window tells and asks the user and runs its modal dialogs. Tests put their own
    // functions here so that nothing waits for a click. A message runner returns
    // QMessageBox::Yes or QMessageBox::No for a question.
    using MessageRunner = std::function<int(QWidget* parent, const QString& text, bool question)>;
    using DialogRunner = std::function<void(QDialog* dialog)>;
    static MessageRunner messageRunner;
    static DialogRunner dialogRunner;

    bool checkOperation(int code);
    void showFinishInfo();
    void showConnectState(bool withMessage);
    void updateConnectButton();
    void updateStopButton(bool act);
    void setColumnWidths();
    void fillPathCombos();
    void changeFtpDir(QString path, bool toParent);
    void showLocalFiles(QString path);
    void connectFtp(bool attach);
    void loadLanguages();
    void setLanguage(int index);

    int operation = NoOperation;
    QString lastLocalPath;
    QString compareLocalFolder;
    QString compareTempFolder;

public slots:
    // Engine signals.
    void slotLogin_Ftp(bool successful);
    void slotLogout_Ftp();
    void slotChangDir_Ftp(bool success);
    void slotCurrentDir_Ftp(const QString& path);
    void slotSetLocalPath_Ftp(const QString& path);
    void slotCurrentDirData_Ftp(const QString& data, bool dowload);
    void slotDeleteFile_Ftp(const QString& filePath, const QString& state);
    void slotSRFile_Ftp(KTDUFile* udfile);
    void slotSRFileSize_Ftp(KTDUFile* udfile);
    void slotSRProgress_Ftp(KTDUFile* udfile);
    void soltSRFileFinish_Ftp(KTDUFile* udfile);
    void slotSRFinish_Ftp(const QString& localPath, const QString& ftpPath);
    void soltSRStateChange_Ftp(KTDUFile* udfile);
    void soltSRCmpResult_Ftp(KTDUFile* udfile);
    void soltSRCmpFinish_Ftp();
    void soltSRStop_Ftp();
    void soltSRChmod_Ftp(const QString& filePath, bool success);
    void soltSRChmodFinish_Ftp(int total, int success);

    // Tool buttons.
    void on_BackupToFTPButton_clicked();
    void on_Connect_clicked();
    void on_DowloadButton_clicked();
    void on_UploadButton_clicked();
    void on_Stop_clicked();
    void on_ShowLocalFile_clicked();
    void on_ShowServerFile_clicked();
    void on_QueueButton_clicked();
    void on_SwapButton_clicked();
    void on_CommandButton_clicked();
    void on_StarFTP_clicked();
    void on_LanguageButton_clicked();
    void on_HelpButton_clicked();

    // Local pane.
    void on_LocalIcon_clicked();
    void on_LeftTreeShow_clicked();
    void on_LeftFiles_itemDoubleClicked(QTreeWidgetItem* item, int column);
    void on_LeftTree_itemDoubleClicked(QTreeWidgetItem* item, int column);
    void on_LeftPath_activated(int index);
    void expandLeftCurrent();
    void onNewFolderClicked();
    void slotLocalRename();
    void slotDeleteLeftFiles();
    void slotInfolderLeftFiles();

    // Remote pane.
    void on_RightFiles_itemDoubleClicked(QTreeWidgetItem* item, int column);
    void on_RightTree_itemDoubleClicked(QTreeWidgetItem* item, int column);
    void on_RightFiles_itemClicked(QTreeWidgetItem* item, int column);
    void on_NetIcon_clicked();
    void on_RightTreeShow_clicked();
    void on_RightPath_activated(int index);

    // Remote file commands.
    void onNewFolderFtpClicked();
    void slotFtpRename();
    void onMoveFtpFileClicked();
    void onAttributesFtpClicked();
    void onDeleteFtpFileClicked();
    void onCompareFtpFileClicked();

    // Queue.
    void on_DUQueue_itemClicked(QTreeWidgetItem* item, int column);
    void on_DUQueue_currentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void onRetryErrorsClicked();
    void onClearQueueClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Frame and guard.
    void tell(const QString& text);
    void addPadlock();
    bool ask(const QString& text);
    void runModal(QDialog* dialog);
    void retranslate();
    bool engineBusy() const;
    bool jobRunning();
    void connectSelectedSite();
    void styleToolButton(QWidget* button, const QString& stem);
    // Where the dialogs of the site manager, the server and the raw command open.
    void runSitesDialog();
    void runServerDialog();
    void runCommandDialog();
    QString runFolderChooser(const QString& start);
    QString runAuthorizeDirectory(const QString& path);

    // Local pane.
    QTreeWidgetItem* localTreeItem(const QString& path);
    QString localTreePath(QTreeWidgetItem* item) const;
    QString localFolder() const;
    void requestLocalRefresh(const QString& path = QString());
    void runLocalRefresh();
    void goLocalParent();
    bool removeLocalEntry(const QString& path, bool folder);

    // Remote pane.
    QTreeWidgetItem* remoteTreeItem(const QString& path);
    QString remoteTreePath(QTreeWidgetItem* item) const;
    void showRemoteRows(const QString& data, bool dowload);
    void goRemoteParent();

    // Queue.
    void clearQueueRows();
    void showQueue(bool transfers);
    void dropRowOf(QObject* record);
    void repaintQueue();
    void markRowChanged(KTDUFile* record, bool toTop);
    void showStartFolder();
    void moveWaitingRowsToTop();
    void flushQueueRows();
    void updateSpeed(const KTDUFile* udfile);
    static KTDUFile* recordOf(QTreeWidgetItem* row);

    // File commands.
    void buildMenus();
    QAction* addMenuAction(QMenu* menu, const char* text, void (MaiDialog::*slot)());
    void startDownload(const QString& target);
    QList<QTreeWidgetItem*> chosenRows(QTreeWidget* list) const;
    QString makeCompareFolder(const QString& base) const;
    bool dropBetweenPanes(QObject* target, QEvent* event);

    Ui::MaiDialog* ui;
    FTPClient* ftp = nullptr;
    FBData* store = nullptr;
    QLabel* padlock = nullptr;  // shown in the status row while the connection is encrypted
    QTranslator* translator = nullptr;
    QMap<int, QString> languageFiles;
    QMap<QAction*, QString> actionTexts;
    QMenu* localMenu = nullptr;
    QMenu* remoteMenu = nullptr;
    QMenu* queueMenu = nullptr;
    QString pendingRemotePath;
    bool pendingToParent = false;
    bool firstProgress = false;
    QElapsedTimer elapsed;
    int progressCounter = 0;
    bool moveInProgress = false;
    StartFTPDialog* serverDialog = nullptr;

    // A compare's worker thread reads the engine's records: nothing may clear them meanwhile.
    bool compareRunning = false;
    // The folder whose empty listing was already asked for again.
    QString emptyListingRetried;
    QString pendingLocalPath;
    QTimer localRefreshTimer;
    QTimer queueRepaintTimer;
    QHash<QObject*, QTreeWidgetItem*> queueRows;
    // Rows whose record changed since the queue was last drawn, and rows to move to the top, in
    // the order their transfers started.
    QSet<QObject*> changedRows;
    QList<QObject*> rowsToTop;
};

#endif
