#ifndef TORVEX_TESTS_FTPPEERS_H
#define TORVEX_TESTS_FTPPEERS_H

#include <QString>
#include <QTemporaryDir>

#include <memory>

class QProcess;

// A real FTP server from the distribution, started for one test on 127.0.0.1 and stopped when
// the object goes: pyftpdlib (user "u", password "p", full rights) or vsftpd (anonymous, its
// own config in a temporary folder). The served root is root(); writable() is a folder inside
// it that the server may change (vsftpd refuses a writable root).
class FtpPeer
{
public:
    enum Kind { Pyftpdlib, Vsftpd };

    explicit FtpPeer(Kind kind);
    ~FtpPeer();

    static bool available(Kind kind);
    // Empty when the server runs; otherwise why it does not.
    QString start();
    void stop();

    Kind kind() const { return peerKind; }
    quint16 port() const { return portNumber; }
    QString user() const;
    QString password() const;
    QString root() const;
    // Absolute local path of the writable folder, and its remote name.
    QString writable() const;
    QString remoteWritable() const { return QStringLiteral("/w"); }
    // Makes files written by the test readable and changeable by the server's user.
    void handOver(const QString& path) const;

private:
    bool waitUntilListening(int timeoutMs);

    Kind peerKind;
    std::unique_ptr<QTemporaryDir> work;
    QProcess* process = nullptr;
    quint16 portNumber = 0;
};

// A port on 127.0.0.1 that was free a moment ago.
quint16 freeLoopbackPort();

#endif
