#include "server/kttlssupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTemporaryDir>

#include <openssl/crypto.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <memory>

namespace {

// Name, HMAC key and AES key of a ticket key set, as OpenSSL takes them.
constexpr int TicketKeyBytes = 80;
// A control connection makes one session and each data connection at most one more.
constexpr int MaxGroupSessions = 32;
// Sessions stay resumable while their control connection lasts, however long it idles.
constexpr long SessionLifetimeSeconds = 24 * 3600;
const char sslProperty[] = "_kt_ssl_handle";

struct Group {
    QByteArray ticketKeys;
    QHash<QByteArray, SSL_SESSION*> sessions;
};

QHash<quint64, Group*>& groups()
{
    static QHash<quint64, Group*> table;
    return table;
}

int contextIndex = -1;
// Set only while startServerHandshake runs: Qt creates the connection's SSL object inside that
// call, before any byte of the peer's hello is read, and the hook below gives its context the
// group's keys and cache.
thread_local quint64 pendingGroup = 0;
thread_local SSL* createdSsl = nullptr;

Group* groupOf(SSL* ssl)
{
    SSL_CTX* context = ssl ? SSL_get_SSL_CTX(ssl) : nullptr;
    if (!context)
        return nullptr;
    const auto id = quint64(reinterpret_cast<quintptr>(SSL_CTX_get_ex_data(context, contextIndex)));
    return groups().value(id);
}

int rememberSession(SSL* ssl, SSL_SESSION* session)
{
    Group* group = groupOf(ssl);
    if (!group || group->sessions.size() >= MaxGroupSessions)
        return 0;
    unsigned int length = 0;
    const unsigned char* id = SSL_SESSION_get_id(session, &length);
    const QByteArray key(reinterpret_cast<const char*>(id), int(length));
    if (key.isEmpty() || group->sessions.contains(key))
        return 0;
    // Returning 1 keeps the reference OpenSSL handed over.
    group->sessions.insert(key, session);
    return 1;
}

SSL_SESSION* findSession(SSL* ssl, const unsigned char* id, int length, int* copy)
{
    *copy = 1;
    Group* group = groupOf(ssl);
    if (!group)
        return nullptr;
    return group->sessions.value(QByteArray(reinterpret_cast<const char*>(id), length));
}

void onNewSsl(void* parent, void*, CRYPTO_EX_DATA*, int, long, void*)
{
    // Every TLS object of the process passes here, in any thread: the client's too.
    if (pendingGroup == 0)
        return;
    Group* group = groups().value(pendingGroup);
    if (!group || !parent)
        return;
    SSL* ssl = static_cast<SSL*>(parent);
    createdSsl = ssl;
    SSL_CTX* context = SSL_get_SSL_CTX(ssl);
    if (!context)
        return;
    SSL_CTX_set_ex_data(context, contextIndex, reinterpret_cast<void*>(quintptr(pendingGroup)));
    SSL_CTX_set_tlsext_ticket_keys(context, group->ticketKeys.data(), group->ticketKeys.size());
    // Clients that turn tickets off resume by session id: every connection has a context of
    // its own, so the group keeps the sessions instead of the context.
    SSL_CTX_set_session_cache_mode(context, SSL_SESS_CACHE_SERVER | SSL_SESS_CACHE_NO_INTERNAL);
    SSL_CTX_sess_set_new_cb(context, rememberSession);
    SSL_CTX_sess_set_get_cb(context, findSession);
    SSL_CTX_set_timeout(context, SessionLifetimeSeconds);
}

void installHook()
{
    // Qt loads the same OpenSSL library this program links, so the hook sees Qt's objects.
    static const bool installed = [] {
        contextIndex = CRYPTO_get_ex_new_index(CRYPTO_EX_INDEX_SSL_CTX, 0, nullptr, nullptr,
                                               nullptr, nullptr);
        CRYPTO_get_ex_new_index(CRYPTO_EX_INDEX_SSL, 0, nullptr, onNewSsl, nullptr, nullptr);
        return true;
    }();
    Q_UNUSED(installed);
}

struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct X509Free {
    void operator()(X509* cert) const { X509_free(cert); }
};
struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};

bool readFile(const QString& path, const QString& what, QByteArray& bytes, QString& error)
{
    if (path.isEmpty()) {
        error = QStringLiteral("no %1 file given").arg(what);
        return false;
    }
    QFile file(path);
    if (!QFileInfo::exists(path)) {
        error = QStringLiteral("%1 file %2 does not exist").arg(what, path);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1 file %2: %3").arg(what, path, file.errorString());
        return false;
    }
    bytes = file.readAll();
    return true;
}

// Qt's own parser says nothing about a key that belongs to another certificate; OpenSSL does.
bool keyMatchesCertificate(const QByteArray& certPem, const QByteArray& keyPem)
{
    std::unique_ptr<BIO, BioFree> certBio(BIO_new_mem_buf(certPem.constData(), certPem.size()));
    std::unique_ptr<BIO, BioFree> keyBio(BIO_new_mem_buf(keyPem.constData(), keyPem.size()));
    if (!certBio || !keyBio)
        return false;
    std::unique_ptr<X509, X509Free> cert(PEM_read_bio_X509(certBio.get(), nullptr, nullptr, nullptr));
    std::unique_ptr<EVP_PKEY, KeyFree> key(
        PEM_read_bio_PrivateKey(keyBio.get(), nullptr, nullptr, nullptr));
    return cert && key && X509_check_private_key(cert.get(), key.get()) == 1;
}

} // namespace

namespace KTTlsSupport {

bool loadServerFiles(const QString& certPath, const QString& keyPath,
                     QSslConfiguration& configuration, QString& error)
{
    if (!QSslSocket::supportsSsl()) {
        error = QStringLiteral("this system's TLS library cannot be loaded");
        return false;
    }
    QByteArray certPem;
    QByteArray keyPem;
    if (!readFile(certPath, QStringLiteral("certificate"), certPem, error)
        || !readFile(keyPath, QStringLiteral("key"), keyPem, error))
        return false;
    const QList<QSslCertificate> chain = QSslCertificate::fromData(certPem, QSsl::Pem);
    if (chain.isEmpty() || chain.first().isNull()) {
        error = QStringLiteral("%1 holds no PEM certificate").arg(certPath);
        return false;
    }
    const QSslKey key(keyPem, chain.first().publicKey().algorithm(), QSsl::Pem,
                      QSsl::PrivateKey);
    if (key.isNull()) {
        error = QStringLiteral("%1 holds no PEM private key for the certificate").arg(keyPath);
        return false;
    }
    if (!keyMatchesCertificate(certPem, keyPem)) {
        error = QStringLiteral("the key in %1 does not belong to the certificate in %2")
                    .arg(keyPath, certPath);
        return false;
    }
    configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificateChain(chain);
    configuration.setPrivateKey(key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    // Data connections resume the control connection's session through its tickets.
    configuration.setSslOption(QSsl::SslOptionDisableSessionTickets, false);
    return true;
}

} // namespace KTTlsSupport

KTTlsSessionGroup::KTTlsSessionGroup()
{
    static quint64 lastId = 0;
    m_id = ++lastId;
    auto* group = new Group;
    group->ticketKeys = QByteArray(TicketKeyBytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(group->ticketKeys.data()), TicketKeyBytes) != 1)
        group->ticketKeys.clear();
    groups().insert(m_id, group);
}

KTTlsSessionGroup::~KTTlsSessionGroup()
{
    Group* group = groups().take(m_id);
    if (!group)
        return;
    for (SSL_SESSION* session : qAsConst(group->sessions))
        SSL_SESSION_free(session);
    delete group;
}

void KTTlsSessionGroup::startServerHandshake(QSslSocket* socket, Tickets tickets)
{
    installHook();
    const Group* group = groups().value(m_id);
    // Without random keys the tickets would be guessable: better no resumption at all.
    pendingGroup = group && group->ticketKeys.size() == TicketKeyBytes ? m_id : 0;
    createdSsl = nullptr;
    socket->startServerEncryption();
    // Tickets that arrive after an uploading client has finished its handshake stay unread,
    // and its close then resets the connection, losing the upload's last bytes.
    if (createdSsl && tickets == NoTickets)
        SSL_set_num_tickets(createdSsl, 0);
    socket->setProperty(sslProperty, QVariant::fromValue(quintptr(createdSsl)));
    pendingGroup = 0;
    createdSsl = nullptr;
}

namespace KTTlsSupport {

bool makeSelfSignedCertificate(const QString& certPath, const QString& keyPath,
                               const QString& hostName, QString& error)
{
    const QDir folder = QFileInfo(certPath).absoluteDir();
    folder.mkpath(QStringLiteral("."));
    // SECURITY: the key is made in a folder only the owner can enter and moved into place once
    // it is readable by the owner alone, so no other user ever sees it.
    QTemporaryDir work(folder.filePath(QStringLiteral("tls-XXXXXX")));
    if (!work.isValid()) {
        error = QStringLiteral("cannot create a folder in %1").arg(folder.path());
        return false;
    }
    const QString newCert = work.filePath(QStringLiteral("cert.pem"));
    const QString newKey = work.filePath(QStringLiteral("key.pem"));
    const QString name = hostName.isEmpty() ? QStringLiteral("localhost") : hostName;
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                   QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-days"), QStringLiteral("3650"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=") + name, QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=DNS:%1,DNS:localhost,IP:127.0.0.1").arg(name),
                   QStringLiteral("-keyout"), newKey, QStringLiteral("-out"), newCert});
    if (!openssl.waitForStarted(10000)) {
        error = QStringLiteral("the openssl command cannot be run: %1").arg(openssl.errorString());
        return false;
    }
    if (!openssl.waitForFinished(60000)) {
        openssl.kill();
        openssl.waitForFinished(5000);
        error = QStringLiteral("the openssl command did not finish");
        return false;
    }
    if (openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0) {
        error = QStringLiteral("the openssl command failed: %1")
                    .arg(QString::fromLocal8Bit(openssl.readAllStandardError()).trimmed());
        return false;
    }
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    QFile::remove(keyPath);
    QFile::remove(certPath);
    if (!QFile::setPermissions(newKey, ownerOnly) || !QFile::setPermissions(newCert, ownerOnly)
        || !QFile::rename(newKey, keyPath) || !QFile::rename(newCert, certPath)) {
        error = QStringLiteral("cannot store the certificate in %1").arg(folder.path());
        return false;
    }
    return true;
}

QString fingerprint(const QString& certPath)
{
    QFile file(certPath);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QList<QSslCertificate> chain = QSslCertificate::fromData(file.readAll(), QSsl::Pem);
    if (chain.isEmpty())
        return QString();
    const QByteArray hex = chain.first().digest(QCryptographicHash::Sha256).toHex().toUpper();
    QStringList pairs;
    for (int i = 0; i + 1 < hex.size(); i += 2)
        pairs << QString::fromLatin1(hex.mid(i, 2));
    return pairs.join(QLatin1Char(':'));
}

bool sessionResumed(QSslSocket* socket)
{
    auto* ssl = reinterpret_cast<SSL*>(socket->property(sslProperty).value<quintptr>());
    return ssl && socket->isEncrypted() && SSL_session_reused(ssl) == 1;
}

qint64 pendingBytes(const QTcpSocket* socket)
{
    const auto* ssl = qobject_cast<const QSslSocket*>(socket);
    return socket->bytesToWrite() + (ssl ? ssl->encryptedBytesToWrite() : 0);
}

} // namespace KTTlsSupport
