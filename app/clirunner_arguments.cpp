// torvex-cli's command line: options, HOST or URL, and where the password comes from.
#include "app/clirunner.h"

#include "common/helpers.h"
#include "settings/certificatetrust.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>

namespace {

int argumentCount(const QString& command)
{
    if (command == QLatin1String("ls") || command == QLatin1String("rm") || command == QLatin1String("mkdir"))
        return 1;
    if (command == QLatin1String("get") || command == QLatin1String("put") || command == QLatin1String("mv")
        || command == QLatin1String("chmod") || command == QLatin1String("compare"))
        return 2;
    return -1;
}

bool isUrl(const QString& text)
{
    return text.startsWith(QLatin1String("ftp://"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1String("ftpes://"), Qt::CaseInsensitive);
}

// A URL's path is taken from the login folder, as other FTP tools take it; "%2F" at its start
// names the root.
QString remotePathOf(const QUrl& url)
{
    QString encoded = url.path(QUrl::FullyEncoded);
    if (encoded.startsWith(QLatin1Char('/')))
        encoded.remove(0, 1);
    const QString path = QUrl::fromPercentEncoding(encoded.toUtf8());
    return path.isEmpty() ? QStringLiteral(".") : path;
}

bool takeUrl(const QString& text, CliRunner::Options& options, bool& haveUser, bool& havePassword,
             QString& error)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        error = QLatin1String("not a usable URL: ") + text;
        return false;
    }
    options.host = url.host();
    if (url.port() > 0)
        options.port = quint16(url.port());
    if (!url.userName().isEmpty() && !haveUser) {
        options.user = url.userName();
        haveUser = true;
    }
    if (!url.password().isEmpty() && !havePassword) {
        options.password = url.password();
        havePassword = true;
    }
    if (url.scheme().compare(QLatin1String("ftpes"), Qt::CaseInsensitive) == 0)
        options.encryption = qMax(options.encryption, int(FTPClient::TlsRequired));
    return true;
}

// HOST COMMAND ARGS, or COMMAND ARGS with one of the ARGS a URL that names the server and stands
// for the remote path in its place.
bool splitPositional(QStringList positional, CliRunner::Options& options, bool& haveUser,
                     bool& havePassword, QString& error)
{
    if (positional.size() >= 2 && argumentCount(positional.first()) >= 0) {
        for (int i = 1; i < positional.size(); ++i) {
            if (!isUrl(positional.at(i)))
                continue;
            if (!takeUrl(positional.at(i), options, haveUser, havePassword, error))
                return false;
            positional[i] = remotePathOf(QUrl(positional.at(i)));
            options.command = positional.takeFirst();
            options.args = positional;
            return true;
        }
    }
    if (positional.size() < 2) {
        error = QStringLiteral("HOST and COMMAND are needed");
        return false;
    }
    const QString host = positional.takeFirst();
    if (isUrl(host)) {
        if (!takeUrl(host, options, haveUser, havePassword, error))
            return false;
    } else {
        options.host = host;
    }
    options.command = positional.takeFirst();
    options.args = positional;
    return true;
}

bool checkArguments(const CliRunner::Options& options, QString& error)
{
    const int needed = argumentCount(options.command);
    if (needed < 0) {
        error = QLatin1String("unknown command ") + options.command;
        return false;
    }
    if (options.resume && options.command != QLatin1String("get")) {
        error = QStringLiteral("--continue is for get only");
        return false;
    }
    if (options.args.size() != needed) {
        error = options.command + QLatin1String(" takes ") + QString::number(needed) + QLatin1String(" argument(s)");
        return false;
    }
    if (options.command == QLatin1String("chmod")
        && !QRegularExpression(QStringLiteral("^[0-7]{3,4}$")).match(options.args.at(0)).hasMatch()) {
        error = QLatin1String("not an octal mode: ") + options.args.at(0);
        return false;
    }
    for (const QString& argument : qAsConst(options.args)) {
        if (!isSafeCommandText(argument)) {
            error = QStringLiteral("a path holds a line break or NUL character");
            return false;
        }
    }
    return true;
}

// Fills in the password, and the user when none was named, from TORVEX_PASSWORD or ~/.netrc.
void findPassword(CliRunner::Options& options, bool haveUser)
{
    const QByteArray fromEnvironment = qgetenv("TORVEX_PASSWORD");
    if (!fromEnvironment.isEmpty()) {
        options.password = QString::fromLocal8Bit(fromEnvironment);
        return;
    }
    QFile netrc(QDir::home().filePath(QStringLiteral(".netrc")));
    if (!netrc.open(QIODevice::ReadOnly))
        return;
    QString login;
    QString password;
    if (CliRunner::netrcLookup(QString::fromLocal8Bit(netrc.read(1024 * 1024)), options.host,
                               haveUser ? options.user : QString(), login, password)) {
        if (!haveUser && !login.isEmpty())
            options.user = login;
        options.password = password;
    }
}

} // namespace

QString CliRunner::usage()
{
    return QStringLiteral(
        "Usage: torvex-cli [OPTIONS] HOST COMMAND ARGS\n"
        "       torvex-cli [OPTIONS] COMMAND ARGS   (one of ARGS a URL: ftp://[USER@]HOST[:PORT]/PATH\n"
        "                                         or ftpes://... for FTP over TLS)\n"
        "\n"
        "Commands:\n"
        "  ls PATH                   list a remote folder (or show one remote entry)\n"
        "  get [-c] REMOTE LOCALDIR  download a file or a whole folder into LOCALDIR; with -c\n"
        "                            (--continue) files already there partly are resumed\n"
        "  put LOCAL REMOTEDIR       upload a file or a whole folder into REMOTEDIR\n"
        "  rm REMOTE                 delete a remote file, or a folder with everything in it\n"
        "  mkdir REMOTE              create a remote folder\n"
        "  mv FROM TO                rename or move; into TO when TO is a folder\n"
        "  chmod MODE REMOTE         change permissions with SITE CHMOD (MODE: octal, e.g. 644)\n"
        "  compare LOCALDIR REMOTEDIR  compare files by MD5 (remote copies go to a temporary folder)\n"
        "\n"
        "Options:\n"
        "  --port N        control port (default 21)\n"
        "  --user U        user name (default: anonymous)\n"
        "  --password P    password; without it the password comes from the environment variable\n"
        "                  TORVEX_PASSWORD, else from ~/.netrc (machine HOST login U password P),\n"
        "                  else \"guest@\" for anonymous and empty otherwise. Prefer those two: a\n"
        "                  password given here shows in the process list and the shell history.\n"
        "  --tls           use FTP over TLS (AUTH TLS) if the server offers it\n"
        "  --tls-required  use FTP over TLS or stop before the password is sent (ftpes:// does this)\n"
        "  --trust SHA256  accept the server certificate with this SHA-256 fingerprint (hex, colons\n"
        "                  optional) although no known authority vouches for it\n"
        "  --help          this text\n"
        "\n"
        "Remote paths without a leading \"/\" are taken from the login folder; so is a URL's path\n"
        "(begin it with %2F for the root). A symbolic link named for get, put or compare stands for\n"
        "what it leads to, a folder or a file; rm removes the link only.\n"
        "compare also names local files that have no remote counterpart. On a terminal a\n"
        "progress line is shown; otherwise one result line per file is printed.\n"
        "Uploads skip hidden entries and do not create empty folders on the server.\n"
        "Certificates trusted always in the window are trusted here too.\n"
        "\n"
        "Exit status: 0 every file succeeded (compare: all files the same); 1 a file failed or\n"
        "differs; 2 bad arguments or a path that does not exist; 3 host unreachable or\n"
        "connection lost; 4 login refused; 5 encryption failed: the certificate is not trusted\n"
        "(its fingerprint is printed) or TLS was required and the server did not offer it.\n");
}

bool CliRunner::parseArguments(const QStringList& arguments, Options& options, QString& error, bool& help)
{
    help = false;
    QStringList positional;
    bool haveUser = false;
    bool havePassword = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("-c") || argument == QLatin1String("--continue")) {
            options.resume = true;
            continue;
        }
        if (!positional.isEmpty() && !isUrl(positional.first()) && argumentCount(positional.first()) < 0) {
            positional.append(argument);  // options go before HOST; the rest are arguments
            continue;
        }
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            help = true;
            return true;
        }
        if (argument == QLatin1String("--tls") || argument == QLatin1String("--tls-required")) {
            const int mode = argument == QLatin1String("--tls") ? FTPClient::TlsIfAvailable : FTPClient::TlsRequired;
            options.encryption = qMax(options.encryption, mode);
            continue;
        }
        if (argument == QLatin1String("--port") || argument == QLatin1String("--user")
            || argument == QLatin1String("--password") || argument == QLatin1String("--trust")) {
            if (i + 1 >= arguments.size()) {
                error = argument + QLatin1String(" needs a value");
                return false;
            }
            const QString value = arguments.at(++i);
            if (argument == QLatin1String("--port")) {
                bool ok = false;
                const uint port = value.toUInt(&ok);
                if (!ok || port == 0 || port > 65535) {
                    error = QLatin1String("not a port number: ") + value;
                    return false;
                }
                options.port = quint16(port);
            } else if (argument == QLatin1String("--user")) {
                options.user = value;
                haveUser = true;
            } else if (argument == QLatin1String("--trust")) {
                options.trusted = CertificateTrust::fromText(value);
                if (options.trusted.isEmpty()) {
                    error = QLatin1String("not a SHA-256 fingerprint: ") + value;
                    return false;
                }
            } else {
                options.password = value;
                havePassword = true;
            }
            continue;
        }
        if (argument.startsWith(QLatin1String("--"))) {
            error = QLatin1String("unknown option ") + argument;
            return false;
        }
        positional.append(argument);
    }
    if (!splitPositional(positional, options, haveUser, havePassword, error) || !checkArguments(options, error))
        return false;
    if (!havePassword)
        findPassword(options, haveUser);
    if (!haveUser && options.user.isEmpty())
        options.user = QStringLiteral("anonymous");
    if (!havePassword && options.password.isEmpty() && options.user == QLatin1String("anonymous"))
        options.password = QStringLiteral("guest@");
    return true;
}

// The first "machine" entry for host (and user, when one is given), else "default".
bool CliRunner::netrcLookup(const QString& text, const QString& host, const QString& user, QString& login,
                            QString& password)
{
    const QStringList tokens = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    bool found = false;
    QString entryLogin;
    QString entryPassword;
    bool inEntry = false;
    bool entryMatches = false;
    const auto settle = [&] {
        if (inEntry && entryMatches && !found && (user.isEmpty() || entryLogin == user)) {
            login = entryLogin;
            password = entryPassword;
            found = true;
        }
    };
    for (int i = 0; i < tokens.size(); ++i) {
        const QString& token = tokens.at(i);
        const bool hasValue = i + 1 < tokens.size();
        if (token == QLatin1String("machine") || token == QLatin1String("default")) {
            settle();
            inEntry = true;
            entryMatches = token == QLatin1String("default")
                || (hasValue && tokens.at(i + 1).compare(host, Qt::CaseInsensitive) == 0);
            entryLogin.clear();
            entryPassword.clear();
            if (token == QLatin1String("machine"))
                ++i;
        } else if (token == QLatin1String("login") && hasValue) {
            entryLogin = tokens.at(++i);
        } else if (token == QLatin1String("password") && hasValue) {
            entryPassword = tokens.at(++i);
        } else if (token == QLatin1String("account") && hasValue) {
            ++i;
        } else if (token == QLatin1String("macdef")) {
            break;  // a macro's body runs to a blank line, which the tokens no longer show
        }
    }
    settle();
    return found;
}
