#ifndef TORVEX_TESTS_FTPPEERS_H
#define TORVEX_TESTS_FTPPEERS_H

#include "support/testfiles.h"

#include <QtNetwork>

#include <memory>
#include <pwd.h>
#include <unistd.h>

// A port on 127.0.0.1 that was free a moment ago.
inline quint16 freeLoopbackPort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0) ? probe.serverPort() : 0;
}

// A real FTP server from the distribution, started for one test on 127.0.0.1 and stopped when
// the object goes: pyftpdlib (user "u", password "p", full rights) or vsftpd (anonymous, its
// own config in a temporary folder, root only). writable() is a folder inside the served root
// that the server may change (vsftpd refuses a writable root); remoteWritable() is its name there.
class FtpPeer
{
public:
    enum Kind { Pyftpdlib, Vsftpd };

    explicit FtpPeer(Kind kind) : peerKind(kind) {}
    ~FtpPeer() { stop(); }

    static bool available(Kind kind)
    {
        if (kind == Vsftpd)
            return QFileInfo(QStringLiteral("/usr/sbin/vsftpd")).isExecutable() && ::geteuid() == 0;
        return QProcess::execute("/usr/bin/python3", {"-c", "import pyftpdlib"}) == 0;
    }

    // Empty when the server runs; otherwise why it does not.
    QString start()
    {
        if (!work.isValid() || !QDir().mkpath(writable()))
            return QStringLiteral("no temporary folder");
        QFile::setPermissions(work.path(), QFileDevice::Permissions(0x7005));  // others may enter
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

    quint16 port() const { return portNumber; }
    QString user() const { return peerKind == Pyftpdlib ? "u" : "anonymous"; }
    QString password() const { return peerKind == Pyftpdlib ? "p" : "guest@"; }
    QString writable() const { return work.path() + QStringLiteral("/root/w"); }
    QString remoteWritable() const { return QStringLiteral("/w"); }
    // Makes files written by the test readable and changeable by the server's user.
    void handOver(const QString& path) const
    {
        if (peerKind == Vsftpd)
            QProcess::execute("chown", {"-R", anonymousAccount() + ':', path});
    }

private:
    // The account vsftpd maps anonymous users to.
    static QString anonymousAccount() { return getpwnam("ftp") ? "ftp" : "nobody"; }

    QString launch()
    {
        process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::MergedChannels);
        const QString root = work.path() + QStringLiteral("/root");
        if (peerKind == Pyftpdlib) {
            const QString options = "-m pyftpdlib -i 127.0.0.1 -p %1 -u u -P p -w -d";
            process->start("/usr/bin/python3", options.arg(portNumber).split(' ') << root);
        } else {
            const quint16 passiveLow = freeLoopbackPort();
            const QString config = work.path() + "/vsftpd.conf";
            QDir().mkpath(work.path() + "/empty");
            const QString text = QStringLiteral(
                "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=%1\n"
                "background=NO\nanonymous_enable=YES\nlocal_enable=NO\nftp_username=%2\n"
                "anon_root=%3\nno_anon_password=YES\nwrite_enable=YES\nanon_upload_enable=YES\n"
                "anon_mkdir_write_enable=YES\nanon_other_write_enable=YES\nanon_umask=022\n"
                "pasv_enable=YES\npasv_address=127.0.0.1\npasv_min_port=%4\npasv_max_port=%5\n"
                "port_enable=NO\nconnect_from_port_20=NO\nsecure_chroot_dir=%6\n"
                "seccomp_sandbox=NO\nisolate=NO\nisolate_network=NO\nxferlog_enable=NO\n"
                "syslog_enable=NO\nmax_per_ip=50\nmax_clients=50\n")
                .arg(portNumber).arg(anonymousAccount(), root).arg(passiveLow)
                .arg(qMin(65535, passiveLow + 200)).arg(work.path() + "/empty");
            if (!writeTestFile(config, text.toUtf8()))
                return QStringLiteral("cannot write the vsftpd config");
            process->start("/usr/sbin/vsftpd", {config});
        }
        if (!process->waitForStarted(10000))
            return process->errorString();
        const QDeadlineTimer deadline(15000);
        while (!deadline.hasExpired() && process->state() == QProcess::Running) {
            // A greeting proves the server, not just some listener, answers.
            QTcpSocket probe;
            probe.connectToHost("127.0.0.1", portNumber);
            if (probe.waitForConnected(500) && probe.waitForReadyRead(2000)
                && probe.readAll().startsWith("220"))
                return QString();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            process->waitForFinished(100);  // returns at once while it runs on; bounds the loop's pace
        }
        return QString::fromLocal8Bit(process->readAll());
    }

    void stop()
    {
        if (!process || process->state() == QProcess::NotRunning)
            return;
        process->terminate();
        if (!process->waitForFinished(5000)) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    Kind peerKind;
    QTemporaryDir work;
    std::unique_ptr<QProcess> process;
    quint16 portNumber = 0;
};

#endif
