#ifndef TORVEX_ENGINE_FTPCLIENT_H
#define TORVEX_ENGINE_FTPCLIENT_H

#include "engine/ftpreplyreader.h"
#include "engine/ktdelinfo.h"
#include "engine/ktdufile.h"
#include "settings/certificatetrust.h"

#include <QAbstractSocket>
#include <QElapsedTimer>
#include <QAtomicInt>
#include <QFile>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QSet>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>
#include <QString>
#include <QStringList>

class FBData;
class QSslSocket;
class QThread;
class QTimer;

// The FTP client: one control connection, one passive data connection, one command outstanding
// at a time. It reports only through signals; the windows drive it by direct calls.
class FTPClient : public QObject
{
    Q_OBJECT
public:
    using Row = QStringList;
    using Rows = QList<QStringList>;
    using PathPair = QPair<QString, QString>;

    // Defaults for the guards against servers that stall.
    static constexpr int DefaultReplyTimeoutMs = 60 * 1000;
    static constexpr int DefaultGreetingTimeoutMs = 30 * 1000;
    // A listing larger than this is cut off: no real folder needs it, a hostile server might.
    static constexpr qint64 MaxListingBytes = 64 * 1024 * 1024;
    // Uploads read and send the file in blocks of this size, one block in flight at a time.
    static constexpr int UploadBlockBytes = 10240;
    // An encrypted upload reads no further block while this much waits to go out.
    static constexpr qint64 TlsUploadBacklogBytes = 256 * 1024;
    // How long an encrypted upload waits for a TLS 1.3 session ticket before it closes.
    static constexpr int DataTicketWaitMs = 2000;
    // Folder expansion of a transfer job goes no deeper than this below the job's remote root.
    static constexpr int MaxFolderDepth = 64;
    // SECURITY: a link record's target text is a path; anything longer is not one.
    static constexpr int MaxLinkTargetBytes = 4096;
    // Bounds what a download holds in memory when the disk is slower than the network.
    static constexpr qint64 DownloadReadBufferBytes = 4 * 1024 * 1024;
    // Downloads move from the socket to the file in pieces of this size.
    static constexpr int DownloadChunkBytes = 256 * 1024;
    // A data connection that moves less than StallBytes in the stall time-out is cut.
    static constexpr int DefaultStallTimeoutMs = 60 * 1000;
    static constexpr qint64 StallBytes = 1024;
    // A download that passes twice its announced size, and by at least this much, is cut.
    static constexpr qint64 OversizeSlackBytes = 1024 * 1024;

    explicit FTPClient(QObject* parent = nullptr);
    ~FTPClient() override;

    // Without a store, dropping the connection resets nothing else.
    void setDataStore(FBData* store);
    void setReplyTimeout(int milliseconds);
    void setGreetingTimeout(int milliseconds);
    void setStallTimeout(int milliseconds);
    void setListingLimit(qint64 bytes) { listingLimit = bytes; }

    // FTP over TLS (explicit, AUTH TLS). The modes have the numbers of ServerInfo::Encryption.
    enum Encryption { PlainOnly = 0, TlsIfAvailable = 1, TlsRequired = 2 };
    void setEncryption(int mode) { encryptionMode = mode; }
    int encryption() const { return encryptionMode; }
    // Where certificates the user trusts always are kept; empty keeps none.
    void setTrustFolder(const QString& folder) { trustStore = CertificateTrust(folder); }
    CertificateTrust& certificateTrust() { return trustStore; }
    // Trusts a certificate by its SHA-256 fingerprint for as long as this engine lives.
    void trustOnce(const QByteArray& sha256) { onceTrusted.insert(sha256); }
    // Authorities trusted besides the system's.
    void addCaCertificates(const QList<QSslCertificate>& certificates) { extraCaCertificates += certificates; }
    bool isEncrypted() const { return tlsActive; }
    bool isDataProtected() const { return dataProtected; }

    // Connection and command channel
    void connectServer(const QString& host, quint16 port, const QString& user, const QString& password);
    void disconnectServer();
    // Connects again with the last host, port, user and password.
    void reconnect() { connectServer(hostName, portNumber, userName, password); }
    void sendCommand(const QString& line);
    void queueCommand(const QString& line);
    void setCodecName(const QString& name);
    QString host() const { return hostName; }
    quint16 port() const { return portNumber; }
    bool isConnected() const;
    bool isClosed() const;
    bool isLoggedIn() const { return loggedIn; }
    bool isBusy() const { return !commandQueue.isEmpty() || !currentCommand.isEmpty(); }
    int stopFlag() const { return stopState; }
    QString currentRemoteDir() const { return remoteDir; }

    // Remote folders and listings
    void printDir();
    void changeDir(const QString& path);
    void listDir();
    static bool parsePasv(const QString& line, QString& address, quint16& port);
    static Rows parseList(const QString& text);
    static Rows sortRows(Rows& rows);
    static bool isDirRow(const Row& row);
    static bool isLinkRow(const Row& row);
    static qint64 rowSize(const Row& row);
    static QString joinRemotePath(const QString& a, const QString& b);
    static QString quotedText(const QString& line);
    // True for a name a listing may hand us as an entry of the listed folder: nothing that
    // climbs out of it or breaks a command line.
    static bool isPlainEntryName(const QString& name);
    static QString rowEntryName(const Row& row);

    // Transfer jobs
    void prepareTransfer(const QString& localBase, const QString& remoteBase);
    void clearTransfers();
    KTDUFile* addDownloadFile(const QString& localFile, const QString& remoteFile, bool isLink, qint64 offset);
    void addDownloadFolder(const QString& remotePath);
    void startDownload();
    KTDUFile* addUploadFile(const QString& localFile, const QString& remoteFile, bool isLink, qint64 offset);
    void addUploadFolder(const QString& localPath);
    void startUpload();
    bool sendNextChunk();
    QString localToRemote(const QString& localPath) const;
    QString remoteToLocal(const QString& remotePath) const;
    bool stopTransfers();
    bool resumeTransfers();
    void retryErrors();
    void abortData();
    QString transferSummary() const;
    // Turns the listing of a folder being downloaded (currentDirData with dowload true) into
    // records and folders of the job; rows that could lead outside the job's local folder are
    // skipped. Returns the number of entries queued; the caller then runs startDownload.
    int queueDownloadListing(const QString& text);
    const QList<KTDUFile*>& downloads() const { return downloadQueue; }
    // Files of a folder download that already exist locally continue from their size (REST).
    void setResumeExisting(bool resume) { resumeExisting = resume; }
    const QList<KTDUFile*>& uploads() const { return uploadQueue; }

    // Remote file operations
    void makeDir(const QString& name, const QString& folder);
    void removeRemoteDir(const QString& name, const QString& folder);
    void renameFile(const QString& from, const QString& to);
    void addMoves(const QList<PathPair>& moves);
    void prepareDelete(const QString& folder);
    void addDeleteFile(const QString& folder, const QString& name);
    void addDeleteFolder(const QString& folder, const QString& name);
    void deleteNext(int result);
    QString deleteSummary() const;
    void setChmod(const QString& returnFolder, int recursion, const QString& mode);
    void addChmodFile(const QString& folder, const QString& name);
    void addChmodFolder(const QString& folder, const QString& name);
    void chmodNext();

    // Compare
    void setCompareBase(const QString& localBase, const QString& tempBase);
    void startCompare();
    void compareFiles(FTPClient* client);

signals:
    void login(bool successful);
    void logout();
    void changDir(bool successful);
    void currentDir(const QString& path);
    void currentDirData(const QString& data, bool dowload);
    void srFile(KTDUFile* dufile);
    void srFileSize(KTDUFile* dufile);
    void srProgress(KTDUFile* dufile);
    void srFileFinish(KTDUFile* dufile);
    void srFinish(const QString& localPath, const QString& ftpPath);
    void srStateChange(KTDUFile* dufile);
    void srCmpResult(KTDUFile* dufile);
    void srCmpFinish();
    void srChmod(const QString& filePath, bool success);
    void srChmodFinish(int total, int success);
    void srStop();
    void setLocalPath(const QString& path);
    void deleteFile(const QString& path, const QString& state);
    void commandResult(const QString& command, const QString& result);
    // A listing outside any job was refused or cut; reply is the server's line or our reason.
    void listingFailed(const QString& reply);
    // The control connection became encrypted, or the encrypted connection ended.
    void encryptionChanged(bool encrypted);
    // Encryption was required but could not be had; no password was sent.
    void encryptionRefused(const QString& reason);
    // No trusted authority vouches for the server's certificate and the user has not trusted it
    // (changed: a different certificate was trusted for this host and port). The connection is
    // dropped; trusting the certificate and connecting again is the way on.
    void certificateRefused(const QSslCertificate& certificate, const QString& reason, bool changed);

private slots:
    void slotHostFound_co();
    void slotConnected_co();
    void slotDisconnected_co();
    void slotError_co(QAbstractSocket::SocketError error);
    void slotReadyRead_co();
    void slotHostFound_da();
    void slotConnected_da();
    void slotDisconnected_da();
    void slotError_da(QAbstractSocket::SocketError error);
    void slotReadyRead_da();
    void slotBytesWritten(qint64 bytes);
    void slotEncryptedBytesWritten(qint64 bytes);
    void slotReplyTimeout();
    void slotGreetingTimeout();
    void slotStallCheck();
    void handleHeldReply();
    void slotEncrypted_co();
    void slotSslErrors_co(const QList<QSslError>& errors);
    void slotSessionTicket_co();
    void slotSslErrors_da(const QList<QSslError>& errors);

private:
    // Command channel
    void sendNextCommand();
    void refuseLocally(const QString& line, const QString& reason);
    void handleReply(const QString& line, bool final);
    void dispatchReply(const QString& line);
    void handleUserReply(const QString& line);
    void finishReply(const QString& line);
    void resetConnection();
    void dropConnection();
    void failLoginAttempt();
    void touchReplyTimer();
    bool dataConnectionDone() const;
    bool holdUntilDataEnds(const QString& line);
    void releaseHeldReply();
    void endServiceClosing();
    void countDataProgress(qint64 bytes);
    bool isInFolder(const QString& path) const;

    // Encryption
    void connectTlsSignals();
    QSslConfiguration tlsConfiguration() const;
    void queueLogin();
    void handleAuthReply(const QString& line);
    void handleProtReply(const QString& line);
    void queueDataProtection();
    void refuseEncryption(const QString& reason);
    bool failHandshake();
    void resetEncryption();
    void connectDataSocket(quint16 dataPort);
    bool dataReady() const;
    bool encryptedBacklog() const;
    void closeUploadWhenSent();
    void closeTlsDataAfterPeer();

    // Listings
    void handleCwdReply(const QString& line);
    void handlePwdReply(const QString& line);
    void handlePasvReply(const QString& line);
    void handleListReply(const QString& line);
    void handleFailedListing(const QString& reason);
    void deliverListing();
    void drainDataSocket();

    // Transfers (download, upload)
    KTDUFile* addRecord(QList<KTDUFile*>& queue, int state, const QString& localFile,
                        const QString& remoteFile, bool isLink, qint64 offset);
    bool comeToRestIfStopped(bool& jobActive);
    void enterFileFolder(KTDUFile* record);
    bool nextDownloadFolder();
    bool nextUploadFolder();
    void handleSizeReply(const QString& line);
    void handleRetrReply(const QString& line);
    void handleStorReply(const QString& line);
    void receiveDownloadData();
    void acceptDownload();
    bool canWriteDownload(const QString& path) const;
    bool finishDownloadFile();
    bool cutOversizedDownload(const KTDUFile* record);
    KTDUFile* takePendingDownload();
    KTDUFile* takePendingUpload();
    void rebuildPendingDownloads();
    void failFolder(const QString& remoteFolder, const QString& localFolder, bool upload);
    void finishLinkRecord();
    void makeLinkFromListing(KTDUFile* record);
    void failRunningTransfers();
    void addSummaryRecord(bool toUploads, const QString& text);
    bool endTransferJob(bool uploads);
    static bool isStrayTransferReply(const QString& previous, const QString& command, const QString& line);
    void failRecordAtStart(KTDUFile* record, int state);
    bool recordIsSafe(const KTDUFile* record, bool download) const;
    bool localPathInsideBase(const QString& path, bool allowBase) const;
    bool linkTargetInsideBase(const QString& linkPath, const QString& target) const;
    bool makeLocalLink(const QString& linkPath, const QString& target) const;
    int remoteDepth(const QString& remotePath) const;
    static bool isTransferDone(const QString& line);
    static QString cleanRemote(QString path);
    static QString cleanLocal(const QString& path);
    static bool isBelow(const QString& path, const QString& base);
    bool dropUnsentTransfer();
    void startStoreData();

    // Remote operations
    void handleDeleteReply(const QString& line);
    void handleRmdReply(const QString& line);
    void handleRnfrReply(const QString& line);
    void handleSiteReply(const QString& line);
    void nextMove();
    void removeNext(int result);
    KTDelInfo* takeNextDeleteRecord(const QList<KTDelInfo*>& records, int waiting, int running,
                                    int& result);
    void settleDeleteRecord(KTDelInfo* record, int& result);
    void failUnsentDeleteRecord(KTDelInfo* record);
    int countDeleteReply(const QString& line);
    void deleteListing(const QString& text);
    void chmodListing(const QString& text);
    bool tooDeepToExpand(QHash<QString, int>& depths, const QString& folder, const QString& child);

    // Compare
    void stopCompareThreads();

public:
    // Public like the rest of the engine's state so windows and tests can look at it.
    QString compareLocalBase;
    QString compareTempBase;
    QString hostName;
    quint16 portNumber = 0;
    QSslSocket* controlSocket = nullptr;
    QSslSocket* dataSocket = nullptr;
    int dataMode = 0;
    QByteArray listBuffer;
    QString password;
    QString userName;
    QAtomicInt stopState = 0;  // also read by the compare thread
    bool loggedIn = false;
    QStringList commandQueue;
    // One entry per listing in commandQueue, in order: whether a job asked for it. A listing the
    // window asked for that is still on its way when a job starts is not the job's.
    QList<bool> listingsForJobs;
    bool listingForJob = true;
    QString currentCommand;
    QString lastCommand;
    QString requestedDir;
    QString remoteDir;
    FtpReplyReader replyReader;
    QString codecName;
    bool connectionLost = false;
    bool greeted = false;
    QString localBase;
    QString remoteBase;
    KTDUFile* currentFile = nullptr;
    QFile transferFile;
    QByteArray linkBuffer;
    QList<KTDUFile*> downloadQueue;
    QStringList downloadFolders;
    QString downloadListDir;
    QList<KTDUFile*> uploadQueue;
    QStringList uploadFolders;
    QList<KTDelInfo*> deleteFiles;
    QList<KTDelInfo*> deleteFolders;
    int deleteMode = 0;
    QString deleteStartDir;
    QString deletePath;
    int deleteTotal = 0;
    int deleteSuccess = 0;
    QStringList renameTargets;
    QList<PathPair> moveQueue;
    int chmodTotal = 0;
    int chmodSuccess = 0;
    int chmodRecursion = -1;
    QString chmodMode;
    QString chmodReturnDir;
    QString chmodPath;
    QList<PathPair> chmodFiles;
    QList<PathPair> chmodFolders;

private:
    QPointer<FBData> store;
    QTimer* replyTimer = nullptr;
    int replyTimeoutMs = DefaultReplyTimeoutMs;
    QElapsedTimer lastActivity;    // last sign of life of the outstanding command
    QTimer* greetingTimer = nullptr;
    bool loginPending = false;     // a login result is still owed to the window
    QString heldReply;             // final reply waiting for the data connection to end
    bool folderChangeFailed = false;  // the last CWD was refused: folder actions are not sent
    QString enteredDir;            // path of the last successful CWD, as we sent it
    QTimer* stallTimer = nullptr;
    int stallTimeoutMs = DefaultStallTimeoutMs;
    qint64 stallWindowBytes = 0;   // moved by the data connection since the last stall check
    qint64 listingLimit = MaxListingBytes;
    bool listingOverflow = false;

    // Transfer job bookkeeping.
    bool downloadActive = false;   // a download job has started and not yet ended
    bool uploadActive = false;
    bool storSending = false;      // the current STOR has started its data
    bool linkOverflow = false;
    QByteArray receiveBuffer;      // reused for every read of a download
    bool writeFailed = false;
    bool downloadAccepted = false; // the server answered RETR with 1xx or 2xx: the file may change
    qint64 announcedSize = -1;     // SIZE of the running download, -1 when none was given
    bool resumeExisting = false;
    QString listingFolder;         // job folder whose listing was handed out for download
    QList<KTDUFile*> pendingDownloads;  // records in state 1, worked from the back
    int uploadCursor = 0;          // no record before it waits for its upload
    QHash<QString, int> deleteDepths;   // remote folder -> levels below the selection
    QHash<QString, int> chmodDepths;
    QSet<QString> listedDeleteDirs;
    QSet<QString> listedChmodDirs;
    QMetaObject::Connection storStartConnection;
    QSet<QString> listedDownloadDirs;  // remote folders this job has listed
    QSet<QString> walkedUploadDirs;    // canonical local folders this job has walked
    QList<QThread*> compareThreads;

    // Encryption state.
    int encryptionMode = PlainOnly;
    CertificateTrust trustStore;
    QSet<QByteArray> onceTrusted;
    QList<QSslCertificate> extraCaCertificates;
    bool tlsHandshaking = false;   // AUTH TLS accepted, handshake running: nothing else goes out
    bool tlsActive = false;        // the control connection is encrypted
    bool dataProtected = false;    // PROT P accepted: data connections are encrypted too
    bool certificateWasRefused = false;
    QByteArray controlSession;     // the control connection's session, resumed by data connections
    bool dataTicketSeen = false;   // the data connection's TLS 1.3 session ticket has arrived
    bool dataTicketWaitOver = false;
    QTimer* dataTicketTimer = nullptr;
};

#endif
