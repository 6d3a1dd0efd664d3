#ifndef TORVEX_SERVER_KTFTPSERVER_H
#define TORVEX_SERVER_KTFTPSERVER_H

#include <QHostAddress>
#include <QMap>
#include <QObject>
#include <QSslConfiguration>
#include <QString>

class FBData;
class KTFtpClient;
class QTcpServer;
class QTcpSocket;

// The built-in FTP server: one listener, one KTFtpClient per control connection, users from the
// settings store. It reports only through its signals and return values.
class KTFtpServer : public QObject
{
    Q_OBJECT
public:
    explicit KTFtpServer(FBData* store, QObject* parent = nullptr);
    ~KTFtpServer() override;

    // Drops every connection, then serves folder on port (0: the system chooses). False when the
    // folder is not an existing folder or the port cannot be listened on.
    bool start(quint16 port, const QString& folder,
               const QHostAddress& address = QHostAddress::Any);
    bool stopAll();
    bool isListening() const;
    quint16 serverPort() const;
    QString errorString() const;
    FBData* store() const { return m_store; }

    // For tests and tools that cannot wait the defaults out; they apply to sessions accepted
    // afterwards.
    void setPassiveTimeout(int ms) { m_passiveTimeoutMs = ms; }
    void setIdleTimeout(int ms) { m_idleTimeoutMs = ms; }
    void setLoginFailDelay(int ms) { m_loginFailDelayMs = ms; }
    void setLoginTimeout(int ms) { m_loginTimeoutMs = ms; }
    void setDataStallTimeout(int ms) { m_dataStallTimeoutMs = ms; }
    // FTP over TLS for sessions accepted afterwards: AUTH TLS, PBSZ and PROT with this
    // certificate and key; when required, nobody logs in or moves data in the clear.
    void setTls(const QSslConfiguration& configuration, bool required);
    void clearTls();
    bool tlsEnabled() const { return m_tlsEnabled; }
    bool tlsRequired() const { return m_tlsEnabled && m_tlsRequired; }
    QSslConfiguration tlsConfiguration() const { return m_tlsConfiguration; }
    // The passive ports sessions may listen on, both included.
    void setDataPorts(quint16 first, quint16 last)
    {
        m_firstDataPort = first;
        m_lastDataPort = last;
    }

    QTcpServer* listener = nullptr;
    int maxClients;
    QString rootPath;
    QMap<QTcpSocket*, KTFtpClient*> clients;
    bool stopping = false;

signals:
    void userLoggedIn(const QString& user, const QString& peer);
    void userLoggedOut(const QString& user, const QString& peer);
    void transferFinished(const QString& user, const QString& command, const QString& path,
                          qint64 bytes);
    // Something the operator should know about, such as an entry a listing had to leave out.
    void notice(const QString& text);

public slots:
    void slotNewConnection();
    void slotStop(QTcpSocket* socket);

private slots:
    void slotRefreshUser(const QString& user);

private:
    void removeClient(KTFtpClient* client);

    FBData* m_store = nullptr;
    QString m_error;
    int m_passiveTimeoutMs;
    int m_idleTimeoutMs;
    int m_loginFailDelayMs;
    int m_loginTimeoutMs;
    int m_dataStallTimeoutMs;
    quint16 m_firstDataPort;
    quint16 m_lastDataPort;
    bool m_tlsEnabled = false;
    bool m_tlsRequired = false;
    QSslConfiguration m_tlsConfiguration;
};

#endif
