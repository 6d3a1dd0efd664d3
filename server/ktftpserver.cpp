#include "server/ktftpserver.h"

#include "server/ktftpclient.h"
#include "server/ktftplimits.h"
#include "server/ktssllistener.h"
#include "settings/fbdata.h"

#include <QDir>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>

KTFtpServer::KTFtpServer(FBData* store, QObject* parent)
    : QObject(parent)
    , listener(new KTSslListener(this))
    , maxClients(KTFtpLimits::MaxClients)
    , m_store(store)
    , m_passiveTimeoutMs(KTFtpLimits::PassiveTimeoutMs)
    , m_idleTimeoutMs(KTFtpLimits::IdleTimeoutMs)
    , m_loginFailDelayMs(KTFtpLimits::LoginFailDelayMs)
    , m_loginTimeoutMs(KTFtpLimits::LoginTimeoutMs)
    , m_dataStallTimeoutMs(KTFtpLimits::DataStallTimeoutMs)
    , m_firstDataPort(KTFtpLimits::FirstDataPort)
    , m_lastDataPort(KTFtpLimits::LastDataPort)
{
    connect(listener, &QTcpServer::newConnection, this, &KTFtpServer::slotNewConnection);
}

KTFtpServer::~KTFtpServer()
{
    stopAll();
}

void KTFtpServer::setTls(const QSslConfiguration& configuration, bool required)
{
    m_tlsEnabled = true;
    m_tlsRequired = required;
    m_tlsConfiguration = configuration;
    static_cast<KTSslListener*>(listener)->setTlsCapable(true);
}

void KTFtpServer::clearTls()
{
    m_tlsEnabled = false;
    m_tlsRequired = false;
    m_tlsConfiguration = QSslConfiguration();
    static_cast<KTSslListener*>(listener)->setTlsCapable(false);
}

bool KTFtpServer::start(quint16 port, const QString& folder, const QHostAddress& address)
{
    stopAll();
    rootPath = folder;
    stopping = false;
    m_error.clear();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        m_error = tr("The folder %1 does not exist.").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    // Logins must work even when nobody has looked at the user list yet.
    if (m_store)
        m_store->users();
    if (!listener->listen(address, port)) {
        m_error = listener->errorString();
        return false;
    }
    return true;
}

bool KTFtpServer::stopAll()
{
    stopping = true;
    const QList<KTFtpClient*> sessions = clients.values();
    for (KTFtpClient* client : sessions)
        removeClient(client);
    if (listener->isListening())
        listener->close();
    return true;
}

bool KTFtpServer::isListening() const
{
    return listener->isListening();
}

quint16 KTFtpServer::serverPort() const
{
    return listener->serverPort();
}

QString KTFtpServer::errorString() const
{
    return m_error;
}

void KTFtpServer::slotNewConnection()
{
    // Bounded by the listener's backlog.
    while (QTcpSocket* socket = listener->nextPendingConnection()) {
        if (clients.size() >= maxClients || stopping) {
            // Refused without a word.
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto* client = new KTFtpClient(socket, this);
        client->rootPath = rootPath;
        client->setPassiveTimeout(m_passiveTimeoutMs);
        client->setIdleTimeout(m_idleTimeoutMs);
        client->setLoginFailDelay(m_loginFailDelayMs);
        client->setLoginTimeout(m_loginTimeoutMs);
        client->setDataStallTimeout(m_dataStallTimeoutMs);
        client->setDataPorts(m_firstDataPort, m_lastDataPort);
        if (m_tlsEnabled)
            client->setTls(m_tlsConfiguration, m_tlsRequired);
        clients.insert(socket, client);
        connect(client, &KTFtpClient::stop, this, &KTFtpServer::slotStop);
        connect(client, &KTFtpClient::userLoggedIn, this, &KTFtpServer::userLoggedIn);
        connect(client, &KTFtpClient::userLoggedOut, this, &KTFtpServer::userLoggedOut);
        connect(client, &KTFtpClient::transferFinished, this, &KTFtpServer::transferFinished);
        connect(client, &KTFtpClient::notice, this, &KTFtpServer::notice);
        connect(client, &KTFtpClient::userLoggedIn, this, &KTFtpServer::slotRefreshUser);
        connect(client, &KTFtpClient::userLoggedOut, this, &KTFtpServer::slotRefreshUser);
        connect(client, &KTFtpClient::loginFailed, this, &KTFtpServer::slotRefreshUser);
        if (!client->start())
            slotStop(socket);
    }
}

void KTFtpServer::slotStop(QTcpSocket* socket)
{
    KTFtpClient* client = clients.value(socket);
    if (client)
        removeClient(client);
}

void KTFtpServer::removeClient(KTFtpClient* client)
{
    clients.remove(clients.key(client));
    // Ending the session logs its user out, which refreshes the user's state without it.
    client->endSession();
    // The request may come from inside the client's own signal.
    client->deleteLater();
}

void KTFtpServer::slotRefreshUser(const QString& user)
{
    if (!m_store)
        return;
    // A user is online while any of its sessions is logged in under its name.
    bool online = false;
    for (const KTFtpClient* client : qAsConst(clients))
        online = online || (client->loggedIn && client->loginName() == user);
    m_store->setUserOnline(user, online);
}
