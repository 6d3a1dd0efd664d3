#include "support/ftppeers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>

#include <pwd.h>
#include <unistd.h>

namespace {

// The account vsftpd maps anonymous users to.
QString anonymousAccount()
{
    return getpwnam("ftp") ? QStringLiteral("ftp") : QStringLiteral("nobody");
}

// A greeting proves the server, not just some listener, answers.
bool greets(quint16 port)
{
    QTcpSocket probe;
    probe.connectToHost(QHostAddress(QStringLiteral("127.0.0.1")), port);
    return probe.waitForConnected(500) && probe.waitForReadyRead(2000) && probe.readAll().startsWith("220");
}

} // namespace

quint16 freeLoopbackPort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0) ? probe.serverPort() : 0;
}

FtpPeer::~FtpPeer()
{
    stop();
}

bool FtpPeer::available(Kind kind)
{
    if (kind == Vsftpd)
        return QFileInfo(QStringLiteral("/usr/sbin/vsftpd")).isExecutable() && ::geteuid() == 0;
    return QProcess::execute(QStringLiteral("/usr/bin/python3"),
                             {QStringLiteral("-c"), QStringLiteral("import pyftpdlib")})
           == 0;
}

void FtpPeer::handOver(const QString& path) const
{
    if (peerKind == Vsftpd)
        QProcess::execute(QStringLiteral("chown"),
                          {QStringLiteral("-R"), anonymousAccount() + QLatin1Char(':'), path});
}

QString FtpPeer::start()
{
    if (!work.isValid() || !QDir().mkpath(writable()))
        return QStringLiteral("no temporary folder");
    QFile::setPermissions(work.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                           | QFile::ReadOther | QFile::ExeOther);
    QFile(writable()).setPermissions(QFileDevice::Permissions(0x7777));
    handOver(writable());
    QString why;
    for (int attempt = 0; attempt < 5; ++attempt) {
        portNumber = freeLoopbackPort();
        why = launch();
        if (why.isEmpty())
            return why;
        stop();
    }
    return QStringLiteral("server did not start: ") + why;
}

QString FtpPeer::launch()
{
    process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::MergedChannels);
    const QString root = work.path() + QStringLiteral("/root");
    if (peerKind == Pyftpdlib) {
        process->start(
            QStringLiteral("/usr/bin/python3"),
            QStringLiteral("-m pyftpdlib -i 127.0.0.1 -p %1 -u u -P p -w -d").arg(portNumber).split(' ')
                << root);
    } else {
        const quint16 passiveLow = freeLoopbackPort();
        QFile config(work.path() + QStringLiteral("/vsftpd.conf"));
        QDir().mkpath(work.path() + QStringLiteral("/empty"));
        const QString text = QStringLiteral(
            "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=%1\nbackground=NO\n"
            "anonymous_enable=YES\nlocal_enable=NO\nftp_username=%2\nanon_root=%3\nno_anon_password=YES\n"
            "write_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\nanon_other_write_enable=YES\n"
            "anon_umask=022\npasv_enable=YES\npasv_address=127.0.0.1\npasv_min_port=%4\npasv_max_port=%5\n"
            "port_enable=NO\nconnect_from_port_20=NO\nsecure_chroot_dir=%6\nseccomp_sandbox=NO\nisolate=NO\n"
            "isolate_network=NO\nxferlog_enable=NO\nsyslog_enable=NO\nmax_per_ip=50\nmax_clients=50\n")
            .arg(portNumber).arg(anonymousAccount(), root).arg(passiveLow).arg(qMin(65535, passiveLow + 200))
            .arg(work.path() + QStringLiteral("/empty"));
        if (!config.open(QIODevice::WriteOnly) || config.write(text.toUtf8()) < 0)
            return QStringLiteral("cannot write the vsftpd config");
        config.close();
        process->start(QStringLiteral("/usr/sbin/vsftpd"), {config.fileName()});
    }
    if (!process->waitForStarted(10000))
        return process->errorString();
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired() && process->state() == QProcess::Running) {
        if (greets(portNumber))
            return QString();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        process->waitForFinished(100);  // returns at once while it runs on; bounds the loop's pace
    }
    return QString::fromLocal8Bit(process->readAll());
}

void FtpPeer::stop()
{
    if (!process || process->state() == QProcess::NotRunning)
        return;
    process->terminate();
    if (!process->waitForFinished(5000)) {
        process->kill();
        process->waitForFinished(5000);
    }
}
