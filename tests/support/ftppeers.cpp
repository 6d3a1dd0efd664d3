#include "support/ftppeers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char pythonPath[] = "/usr/bin/python3";
const char vsftpdPath[] = "/usr/sbin/vsftpd";

// The account vsftpd maps anonymous users to.
QString anonymousAccount()
{
    return getpwnam("ftp") ? QStringLiteral("ftp") : QStringLiteral("nobody");
}

void chownTree(const QString& path, uid_t uid, gid_t gid)
{
    ::lchown(QFile::encodeName(path).constData(), uid, gid);
    const QFileInfo info(path);
    if (!info.isDir() || info.isSymLink())
        return;
    const QFileInfoList entries = QDir(path).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries)
        chownTree(entry.absoluteFilePath(), uid, gid);
}

} // namespace

quint16 freeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

FtpPeer::FtpPeer(Kind kind)
    : peerKind(kind)
{
}

FtpPeer::~FtpPeer()
{
    stop();
}

bool FtpPeer::available(Kind kind)
{
    if (kind == Vsftpd)
        return QFileInfo(QString::fromLatin1(vsftpdPath)).isExecutable() && ::geteuid() == 0;
    if (!QFileInfo(QString::fromLatin1(pythonPath)).isExecutable())
        return false;
    return QProcess::execute(QString::fromLatin1(pythonPath), {QStringLiteral("-c"), QStringLiteral("import pyftpdlib")}) == 0;
}

QString FtpPeer::user() const
{
    return peerKind == Pyftpdlib ? QStringLiteral("u") : QStringLiteral("anonymous");
}

QString FtpPeer::password() const
{
    return peerKind == Pyftpdlib ? QStringLiteral("p") : QStringLiteral("guest@");
}

QString FtpPeer::root() const
{
    return work ? work->path() + QStringLiteral("/root") : QString();
}

QString FtpPeer::writable() const
{
    return root() + QStringLiteral("/w");
}

void FtpPeer::handOver(const QString& path) const
{
    if (peerKind != Vsftpd)
        return;
    if (const passwd* account = getpwnam(anonymousAccount().toLocal8Bit().constData()))
        chownTree(path, account->pw_uid, account->pw_gid);
}

QString FtpPeer::start()
{
    work = std::make_unique<QTemporaryDir>();
    if (!work->isValid())
        return QStringLiteral("no temporary folder");
    QDir().mkpath(writable());
    QDir().mkpath(work->path() + QStringLiteral("/empty"));
    ::chmod(QFile::encodeName(work->path()).constData(), 0755);
    ::chmod(QFile::encodeName(root()).constData(), 0755);
    ::chmod(QFile::encodeName(writable()).constData(), 0777);
    handOver(writable());

    for (int attempt = 0; attempt < 5; ++attempt) {
        portNumber = freeLoopbackPort();
        if (portNumber == 0)
            return QStringLiteral("no free port");
        process = new QProcess;
        process->setProcessChannelMode(QProcess::MergedChannels);
        if (peerKind == Pyftpdlib) {
            process->start(QString::fromLatin1(pythonPath),
                           {QStringLiteral("-m"), QStringLiteral("pyftpdlib"), QStringLiteral("-i"), QStringLiteral("127.0.0.1"),
                            QStringLiteral("-p"), QString::number(portNumber), QStringLiteral("-u"), user(),
                            QStringLiteral("-P"), password(), QStringLiteral("-d"), root(), QStringLiteral("-w")});
        } else {
            const quint16 passiveLow = freeLoopbackPort();
            const QString config = work->path() + QStringLiteral("/vsftpd.conf");
            QFile file(config);
            if (!file.open(QIODevice::WriteOnly))
                return QStringLiteral("cannot write the vsftpd config");
            const QString text = QStringLiteral(
                "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=%1\nbackground=NO\n"
                "anonymous_enable=YES\nlocal_enable=NO\nftp_username=%2\nanon_root=%3\nno_anon_password=YES\n"
                "write_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\nanon_other_write_enable=YES\n"
                "anon_umask=022\npasv_enable=YES\npasv_address=127.0.0.1\npasv_min_port=%4\npasv_max_port=%5\n"
                "port_enable=NO\nconnect_from_port_20=NO\nsecure_chroot_dir=%6\nseccomp_sandbox=NO\nisolate=NO\n"
                "isolate_network=NO\nxferlog_enable=NO\nsyslog_enable=NO\nmax_per_ip=50\nmax_clients=50\n")
                .arg(portNumber).arg(anonymousAccount(), root())
                .arg(passiveLow).arg(qMin(65535, passiveLow + 200))
                .arg(work->path() + QStringLiteral("/empty"));
            file.write(text.toUtf8());
            file.close();
            process->start(QString::fromLatin1(vsftpdPath), {config});
        }
        if (process->waitForStarted(10000) && waitUntilListening(15000))
            return QString();
        const QString output = QString::fromLocal8Bit(process->readAll());
        stop();
        if (attempt == 4)
            return QStringLiteral("server did not start: ") + output;
    }
    return QStringLiteral("server did not start");
}

bool FtpPeer::waitUntilListening(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired() && process->state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress(QStringLiteral("127.0.0.1")), portNumber);
        if (probe.waitForConnected(500)) {
            // A greeting proves the server, not just some listener, answers.
            if (probe.waitForReadyRead(2000) && probe.readAll().startsWith("220"))
                return true;
        }
        probe.abort();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        process->waitForFinished(100);  // returns at once while it runs on; bounds the loop's pace
    }
    return false;
}

void FtpPeer::stop()
{
    if (!process)
        return;
    if (process->state() != QProcess::NotRunning) {
        process->terminate();
        if (!process->waitForFinished(5000)) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
    delete process;
    process = nullptr;
}
