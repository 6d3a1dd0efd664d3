#ifndef TORVEX_TESTS_PYFTPDLIBPEER_H
#define TORVEX_TESTS_PYFTPDLIBPEER_H

#include <QProcess>
#include <QString>

// Debian's pyftpdlib as a real FTP server on 127.0.0.1, serving one folder to one user with
// write access. Started and stopped by the test; never left running.
class PyftpdlibPeer
{
public:
    static QString pythonPath() { return QStringLiteral("/usr/bin/python3"); }
    // True when Debian's python3-pyftpdlib can be imported.
    static bool available();

    ~PyftpdlibPeer();

    bool start(const QString& folder, const QString& user, const QString& password);
    void stop();
    quint16 port() const { return listenPort; }
    QString errorText() const { return error; }

private:
    QProcess process;
    quint16 listenPort = 0;
    QString error;
};

// A loopback port that was free a moment ago, for peers that cannot be told to pick one.
quint16 freeLoopbackPort();
// Waits until something accepts connections on 127.0.0.1:port, for at most timeoutMs.
bool waitForLoopbackPort(quint16 port, int timeoutMs);

#endif
