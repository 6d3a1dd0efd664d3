#include "server/ktserverrunner.h"

#include "server/ktftplimits.h"
#include "server/ktftpserver.h"
#include "server/kttlssettings.h"
#include "settings/fbdata.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const char usersFile[] = "users.ini";
const char serverFile[] = "server.ini";

void printLine(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

// SECURITY: names and paths come from the network; no control character may forge a log line.
QString printable(QString text)
{
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return text;
}

bool takeValue(const QStringList& arguments, int& i, const QString& option, QString& value,
               QString& error)
{
    const QString& argument = arguments.at(i);
    if (argument.startsWith(option + QLatin1Char('='))) {
        value = argument.mid(option.size() + 1);
        return true;
    }
    if (i + 1 >= arguments.size()) {
        error = QStringLiteral("option %1 needs a value").arg(option);
        return false;
    }
    value = arguments.at(++i);
    return true;
}

bool optionIs(const QString& argument, const char* option)
{
    const QLatin1String name(option);
    return argument == name || argument.startsWith(name + QLatin1Char('='));
}

bool readPort(const QString& value, KTServerOptions& options, QString& error)
{
    bool ok = false;
    const uint port = value.toUInt(&ok);
    if (!ok || port > 65535) {
        error = QStringLiteral("bad port: %1").arg(value);
        return false;
    }
    options.hasPort = true;
    options.port = quint16(port);
    return true;
}

bool readUser(const QString& value, KTServerOptions& options, QString& error)
{
    const int colon = value.indexOf(QLatin1Char(':'));
    if (colon <= 0) {
        error = QStringLiteral("--user needs NAME:PASSWORD");
        return false;
    }
    options.users.append(qMakePair(value.left(colon), value.mid(colon + 1)));
    return true;
}

bool readAddress(const QString& value, KTServerOptions& options, QString& error)
{
    if (!options.address.setAddress(value)) {
        error = QStringLiteral("bad address: %1").arg(value);
        return false;
    }
    return true;
}

} // namespace

bool parseServerArguments(const QStringList& arguments, KTServerOptions& options, QString& error)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        QString value;
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
        } else if (optionIs(argument, "--port")) {
            if (!takeValue(arguments, i, QStringLiteral("--port"), value, error)
                || !readPort(value, options, error))
                return false;
        } else if (optionIs(argument, "--root")) {
            if (!takeValue(arguments, i, QStringLiteral("--root"), value, error))
                return false;
            if (value.isEmpty()) {
                error = QStringLiteral("--root needs a folder");
                return false;
            }
            options.root = value;
        } else if (optionIs(argument, "--user")) {
            if (!takeValue(arguments, i, QStringLiteral("--user"), value, error)
                || !readUser(value, options, error))
                return false;
        } else if (optionIs(argument, "--address")) {
            if (!takeValue(arguments, i, QStringLiteral("--address"), value, error)
                || !readAddress(value, options, error))
                return false;
        } else if (optionIs(argument, "--cert")) {
            if (!takeValue(arguments, i, QStringLiteral("--cert"), value, error))
                return false;
            options.certificate = value;
        } else if (optionIs(argument, "--key")) {
            if (!takeValue(arguments, i, QStringLiteral("--key"), value, error))
                return false;
            options.key = value;
        } else if (argument == QLatin1String("--require-tls")) {
            options.requireTls = true;
        } else {
            error = QStringLiteral("unknown option: %1").arg(argument);
            return false;
        }
    }
    if (options.certificate.isEmpty() != options.key.isEmpty()) {
        error = QStringLiteral("--cert and --key go together");
        return false;
    }
    return true;
}

QString serverUsage()
{
    return QStringLiteral(
        "usage: torvex-server [--port N] [--root DIR] [--user NAME:PASSWORD]... [--address A]\n"
        "                     [--cert FILE --key FILE] [--require-tls]\n"
        "Serves DIR over FTP on port N (0: any free port) with the users given, or with the\n"
        "port, folder and users of the server dialog's settings.\n"
        "--cert and --key offer FTP over TLS (AUTH TLS) with this PEM certificate and key;\n"
        "--require-tls refuses logins and data connections in the clear.");
}

KTServerRunner::KTServerRunner(QObject* parent)
    : QObject(parent)
{
}

KTServerRunner::~KTServerRunner()
{
    // The server goes first: its sessions log their users out through the store.
    delete m_server;
    m_server = nullptr;
    // The store writes its files on the way out; they must land in the copy before it is removed.
    delete m_store;
    m_store = nullptr;
}

bool KTServerRunner::start(const QStringList& arguments, int& exitCode)
{
    exitCode = 1;
    KTServerOptions options;
    QString error;
    if (!parseServerArguments(arguments, options, error)) {
        printLine(stderr, QStringLiteral("torvex-server: %1\n%2").arg(error, serverUsage()));
        return false;
    }
    if (options.help) {
        printLine(stdout, serverUsage());
        exitCode = 0;
        return false;
    }
    if (!openStore(error)) {
        printLine(stderr, QStringLiteral("torvex-server: %1").arg(error));
        return false;
    }
    QString address;
    quint16 port = 0;
    QString storedFolder;
    if (!m_store->readServerSettings(address, port, storedFolder))
        port = KTFtpLimits::DefaultPort;
    if (options.hasPort)
        port = options.port;
    if (options.root.isEmpty())
        options.root = storedFolder;
    QString folder;
    if (!chooseFolder(options, folder, error)) {
        printLine(stderr, QStringLiteral("torvex-server: %1").arg(error));
        return false;
    }
    replaceUsers(options);

    m_server = new KTFtpServer(m_store, this);
    if (!setUpTls(options, error)) {
        printLine(stderr, QStringLiteral("torvex-server: %1").arg(error));
        return false;
    }
    connect(m_server, &KTFtpServer::userLoggedIn, this, &KTServerRunner::slotLoggedIn);
    connect(m_server, &KTFtpServer::userLoggedOut, this, &KTServerRunner::slotLoggedOut);
    connect(m_server, &KTFtpServer::transferFinished, this, &KTServerRunner::slotTransferFinished);
    connect(m_server, &KTFtpServer::notice, this, &KTServerRunner::slotNotice);
    if (!m_server->start(port, folder, options.address)) {
        printLine(stderr, QStringLiteral("torvex-server: cannot listen on port %1: %2")
                              .arg(port)
                              .arg(m_server->errorString()));
        return false;
    }
    printLine(stdout, QStringLiteral("listening on port %1").arg(m_server->serverPort()));
    if (m_server->tlsEnabled())
        printLine(stdout, m_server->tlsRequired() ? QStringLiteral("TLS required")
                                                  : QStringLiteral("TLS offered"));
    exitCode = 0;
    return true;
}

bool KTServerRunner::openStore(QString& error)
{
    // The store writes its files back when it goes away. A copy keeps this run, and --user in
    // particular, from touching the desktop program's settings.
    m_configCopy = std::make_unique<QTemporaryDir>();
    if (!m_configCopy->isValid()) {
        error = QStringLiteral("cannot create a temporary folder: %1")
                    .arg(m_configCopy->errorString());
        return false;
    }
    const QString configDir = FBData::defaultConfigDir();
    for (const char* name : {usersFile, serverFile}) {
        const QString from = QDir(configDir).filePath(QLatin1String(name));
        if (QFileInfo::exists(from))
            QFile::copy(from, QDir(m_configCopy->path()).filePath(QLatin1String(name)));
    }
    m_store = new FBData(m_configCopy->path(), this);
    return true;
}

bool KTServerRunner::chooseFolder(const KTServerOptions& options, QString& folder,
                                  QString& error) const
{
    if (options.root.isEmpty()) {
        error = QStringLiteral("no folder to serve: give --root DIR");
        return false;
    }
    const QFileInfo info(options.root);
    if (!info.isDir()) {
        error = QStringLiteral("%1 is not a folder").arg(QDir::toNativeSeparators(options.root));
        return false;
    }
    if (!info.isReadable() || !QDir(options.root).isReadable()) {
        error = QStringLiteral("cannot read %1").arg(QDir::toNativeSeparators(options.root));
        return false;
    }
    folder = info.absoluteFilePath();
    return true;
}

void KTServerRunner::replaceUsers(const KTServerOptions& options)
{
    if (options.users.isEmpty()) {
        m_store->users();
        return;
    }
    qDeleteAll(m_store->userList);
    m_store->userList.clear();
    for (const auto& user : options.users) {
        auto* record = new UserInfo;
        record->name = user.first;
        record->password = user.second;
        m_store->userList.append(record);
    }
}

bool KTServerRunner::setUpTls(const KTServerOptions& options, QString& error)
{
    KTTlsSettings tls = KTTlsSettings::read(m_store->filePath(QLatin1String(serverFile)));
    if (!options.certificate.isEmpty()) {
        tls.certificate = options.certificate;
        tls.key = options.key;
        if (tls.mode == KTTlsSettings::Off)
            tls.mode = KTTlsSettings::Offer;
    }
    if (options.requireTls)
        tls.mode = KTTlsSettings::Require;
    if (tls.mode != KTTlsSettings::Off && (tls.certificate.isEmpty() || tls.key.isEmpty())) {
        error = QStringLiteral("TLS needs a certificate and a key: give --cert FILE --key FILE");
        return false;
    }
    return tls.applyTo(m_server, error);
}

void KTServerRunner::slotLoggedIn(const QString& user, const QString& peer)
{
    printLine(stdout, QStringLiteral("login %1 from %2").arg(printable(user), peer));
}

void KTServerRunner::slotLoggedOut(const QString& user, const QString& peer)
{
    printLine(stdout, QStringLiteral("logout %1 from %2").arg(printable(user), peer));
}

void KTServerRunner::slotTransferFinished(const QString& user, const QString& command,
                                          const QString& path, qint64 bytes)
{
    printLine(stdout, QStringLiteral("transfer %1 %2 %3 %4 bytes")
                          .arg(printable(user), command, printable(path))
                          .arg(bytes));
}

void KTServerRunner::slotNotice(const QString& text)
{
    printLine(stdout, QStringLiteral("notice %1").arg(printable(text)));
}
