#ifndef TORVEX_TESTS_FTPPEERS_H
#define TORVEX_TESTS_FTPPEERS_H

#include <QString>
#include <QTemporaryDir>

#include <memory>

class QProcess;

// A real FTP server from the distribution, started for one test on 127.0.0.1 and stopped when
// the object goes: pyftpdlib (user "u", password "p", full rights) or vsftpd (anonymous, its
// own config in a temporary folder, root only). writable() is a folder inside the served root
// that the server may change (vsftpd refuses a writable root); remoteWritable() is its name there.
class FtpPeer
{
public:
    enum Kind { Pyftpdlib, Vsftpd };

    explicit FtpPeer(Kind kind) : peerKind(kind) {}
    ~FtpPeer();

    static bool available(Kind kind);
    // Empty when the server runs; otherwise why it does not.
    QString start();

    quint16 port() const { return portNumber; }
    QString user() const { return peerKind == Pyftpdlib ? QStringLiteral("u") : QStringLiteral("anonymous"); }
    QString password() const { return peerKind == Pyftpdlib ? QStringLiteral("p") : QStringLiteral("guest@"); }
    QString writable() const { return work.path() + QStringLiteral("/root/w"); }
    QString remoteWritable() const { return QStringLiteral("/w"); }
    // Makes files written by the test readable and changeable by the server's user.
    void handOver(const QString& path) const;

private:
    QString launch();
    void stop();

    Kind peerKind;
    QTemporaryDir work;
    std::unique_ptr<QProcess> process;
    quint16 portNumber = 0;
};

// A port on 127.0.0.1 that was free a moment ago.
quint16 freeLoopbackPort();

#endif
