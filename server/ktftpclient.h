#ifndef TORVEX_SERVER_KTFTPCLIENT_H
#define TORVEX_SERVER_KTFTPCLIENT_H

#include "server/ktftpcommand.h"
#include "server/ktftppath.h"
#include "server/ktpeerresetwatch.h"

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QSslConfiguration>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>

class FBData;
class KTFtpServer;
class KTTlsSessionGroup;
class QFileInfo;
class QSaveFile;
class QSslSocket;
class QTcpServer;
class QTcpSocket;

// One control connection of the built-in server: reads its commands, logs its user in, keeps its
// current folder and moves listings and files over its own passive data connections.
//
// The session's command handlers are spread over four files: this class's own file (reading,
// dispatch, login), ktftpclientfiles.cpp (paths and file commands), ktftpclientdata.cpp (data
// connections and their end) and ktftpclienttransfer.cpp (listings and file transfers).
class KTFtpClient : public QObject
{
    Q_OBJECT
public:
    KTFtpClient(QTcpSocket* socket, KTFtpServer* server);
    ~KTFtpClient() override;

    bool start();
    // Ends the session for good: no more signals from its sockets or timers, its user logged out.
    void endSession();

    void setPassiveTimeout(int ms) { passiveTimer.setInterval(ms); }
    void setIdleTimeout(int ms) { idleTimer.setInterval(ms); }
    void setLoginFailDelay(int ms) { loginTimer.setInterval(ms); }
    void setLoginTimeout(int ms) { loginTimeoutTimer.setInterval(ms); }
    void setDataStallTimeout(int ms) { stallTimer.setInterval(ms); }
    void setDataPorts(quint16 first, quint16 last)
    {
        firstDataPort = first;
        lastDataPort = last;
    }

    // Offers AUTH TLS with this configuration; required: no login nor data in the clear.
    void setTls(const QSslConfiguration& configuration, bool required);
    bool controlEncrypted() const { return tlsActive; }

    QString peerText() const;
    // The name this session logged in under; a later USER does not change it.
    QString loginName() const { return loginUser; }

    void sendReply(const QString& text);
    void sendCode(int code);
    void processCommand();

    QString currentVirtualDir() const;
    QString currentLocalDir() const;
    static QString appendPath(const QString& base, const QString& name);
    // The local path of the command's argument, or empty text when it leads outside the root.
    QString resolvePath(KTFtpPath::Follow follow = KTFtpPath::Follow::Target) const;
    // The same, handing back the client-side pieces of the path too.
    QString resolvePath(KTFtpPath::Follow follow, QStringList& parts) const;
    QStringList resolveParts() const;

    QTcpSocket* controlSocket = nullptr;
    QTcpSocket* dataSocket = nullptr;
    QString rootPath;
    QStringList currentPath;
    QTcpServer* dataListener = nullptr;
    quint16 dataPort = 0;
    QStringList localAddresses;
    // Bytes, not text: a character cut in two by the network must stay whole until its line ends.
    QByteArray inputBuffer;
    KTFtpCommand command;
    QString userName;
    QString password;
    QChar transferType;
    qint64 chunkWritten = 0;
    QByteArray dataBuffer;
    QFile file;
    qint64 restOffset = 0;
    bool sendingLink = false;
    QString renameFrom;
    bool loggedIn = false;

signals:
    void stop(QTcpSocket* socket);
    void userLoggedIn(const QString& user, const QString& peer);
    void userLoggedOut(const QString& user, const QString& peer);
    void loginFailed(const QString& user, const QString& peer);
    void transferFinished(const QString& user, const QString& command, const QString& path,
                          qint64 bytes);
    // Something the server's operator should know about; never sent to the client.
    void notice(const QString& text);

public slots:
    void slotReadyRead_Co();
    void slotBytesWritten_Co(qint64 bytes);
    void slotDisconnected_Co();
    void slotDisconnected_Da();
    void slotBytesWritten_Da(qint64 bytes);
    void slotReadyRead_Da();
    void slotNewConnection();
    void slotCloseDataSocket();

private slots:
    void slotPassiveTimeout();
    void slotIdleTimeout();
    void slotLoginDelayOver();
    void slotLoginTimeout();
    void slotDataStalled();
    void slotDataError();
    void slotDataEncrypted();
    void slotDataEncryptedWritten();
    void slotControlEncrypted();
    void slotControlError();

private:
    enum class LineResult { None, Line, Answered };

    bool readyForLine() const;
    void fillInput();
    LineResult takeCommandLine(QString& line);
    void dispatch();
    bool allowedBeforeLogin(int code) const;
    bool allowedDuringTransfer(int code) const;
    void closeControl();
    void logOut();
    void touch();

    // Control connection and login.
    void handleUnknown();
    void handleUser();
    void handlePass();
    void handleQuit();
    void handleType();

    // Paths and file commands (ktftpclientfiles.cpp).
    void handleSyst();
    void handleFeat();
    void handleNoop();
    void handleHelp();
    void handlePwd();
    void handleCwd();
    void handleCdup();
    void handleMkd();
    void handleDele();
    void handleRmd();
    void handleRnfr();
    void handleRnto();
    void handleSite();
    void handleSize();
    void handleMdtm();
    bool siteChmod(const QString& request);
    void handleOpts();
    void handleMode();
    void handleStru();
    void handleAllo();
    bool nameAllowed();

    // Data connections (ktftpclientdata.cpp).
    void handlePasv();
    void handleEpsv();
    void handleAbor();
    void handleStat();
    bool openPassive(bool extended);
    bool transferRunning() const;
    bool needDataConnection();
    void acceptDataConnection(QTcpSocket* socket);
    void beginTransfer(int state);
    void dropDataConnection();
    void abortTransfer();
    void finishSending();
    void endTransfer(bool complete);

    // FTP over TLS (ktftpclienttls.cpp).
    void handleAuth();
    void handlePbsz();
    void handleProt();
    bool refusedForTls(int code);
    void startDataHandshake(QSslSocket* socket);
    void failDataHandshake(const QString& reason);
    void dataConnectionReady();

    // Listings and file transfers (ktftpclienttransfer.cpp).
    void handleList();
    void handleNlst();
    void handleRest();
    void handleRetr();
    void handleStor();
    void handleAppe();
    void sendListing(bool namesOnly);
    void refuseTransfer(const QString& reply);
    void receiveFile(bool append);
    bool openUpload(const QString& path, bool append, qint64 offset);
    bool finishUpload();
    void sendNextChunk();
    void storeReceived();
    QString listingText(const QString& localPath, bool namesOnly);
    QString listingLine(const QFileInfo& entry, bool namesOnly, int year);
    void finishTransfer(const char* command);

    FBData* store = nullptr;
    QString canonicalRoot;
    QString loginUser;
    int failedLogins = 0;
    bool closing = false;
    bool discardingLine = false;
    qint64 discardedBytes = 0;
    QTimer passiveTimer;
    QTimer idleTimer;
    QTimer loginTimer;
    QTimer loginTimeoutTimer;
    QTimer stallTimer;
    quint16 firstDataPort;
    quint16 lastDataPort;
    // What the data connection carries (List, Nlst, Retr, Stor, Appe or Unkn); kept apart from
    // the command record, which the next control line overwrites while a transfer runs.
    int transferState = KTFtpCommand::Unkn;
    // A transfer command that arrived before its data connection; it runs once that is here.
    // Meanwhile it counts as running: ABOR or QUIT can end it, other commands are refused.
    bool waitingForData = false;
    int heldCode = KTFtpCommand::Unkn;
    QString heldArgument;
    bool heldIsUtf8 = true;
    // Everything to send has been handed to the socket; its close now ends the transfer well.
    bool sendComplete = false;
    bool dataFailed = false;
    // Whether the last line was valid UTF-8: a name that is not would collapse into another.
    bool lineIsUtf8 = true;
    // A replacing upload goes to a temporary file that takes the name only when complete.
    std::unique_ptr<QSaveFile> saveFile;
    KTPeerResetWatch resetWatch;
    QString transferPath;
    qint64 transferBytes = 0;

    bool tlsEnabled = false;
    bool tlsRequired = false;
    QSslConfiguration tlsConfiguration;
    // A data connection can resume only a session that its control connection was given.
    std::unique_ptr<KTTlsSessionGroup> tlsSessions;
    bool tlsStarted = false;
    bool tlsActive = false;
    // PROT P: data connections must be TLS too.
    bool protectData = false;
    // The data connection is there but its handshake has not finished.
    bool dataHandshaking = false;
    bool closeAfterHandshake = false;
};

#endif
