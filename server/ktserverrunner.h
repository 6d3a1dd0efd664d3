#ifndef TORVEX_SERVER_KTSERVERRUNNER_H
#define TORVEX_SERVER_KTSERVERRUNNER_H

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>

class FBData;
class KTFtpServer;
class QTemporaryDir;

struct KTServerOptions {
    bool help = false;
    bool hasPort = false;
    quint16 port = 0;
    QString root;
    QHostAddress address = QHostAddress(QHostAddress::Any);
    // Name and password pairs from --user; when there are any they replace the stored users.
    QList<QPair<QString, QString>> users;
    // TLS: both files given together; --require-tls needs them, here or in the settings.
    QString certificate;
    QString key;
    bool requireTls = false;
};

// Reads torvex-server's options (without the program name). False, with a message, for an
// unknown option, a missing value or a value that does not fit.
bool parseServerArguments(const QStringList& arguments, KTServerOptions& options, QString& error);

QString serverUsage();

// The headless server: settings as the server dialog keeps them, overridden by the options, and
// one line on standard output per event worth knowing. Passwords are never printed.
class KTServerRunner : public QObject
{
    Q_OBJECT
public:
    explicit KTServerRunner(QObject* parent = nullptr);
    ~KTServerRunner() override;

    // True when the server listens; otherwise exitCode says how the program ends.
    bool start(const QStringList& arguments, int& exitCode);

private slots:
    void slotLoggedIn(const QString& user, const QString& peer);
    void slotLoggedOut(const QString& user, const QString& peer);
    void slotTransferFinished(const QString& user, const QString& command, const QString& path,
                              qint64 bytes);
    void slotNotice(const QString& text);

private:
    bool openStore(QString& error);
    bool chooseFolder(const KTServerOptions& options, QString& folder, QString& error) const;
    void replaceUsers(const KTServerOptions& options);
    bool setUpTls(const KTServerOptions& options, QString& error);

    std::unique_ptr<QTemporaryDir> m_configCopy;
    FBData* m_store = nullptr;
    KTFtpServer* m_server = nullptr;
};

#endif
