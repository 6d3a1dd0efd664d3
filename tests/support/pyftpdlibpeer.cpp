#include "support/pyftpdlibpeer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

quint16 freeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0))
        return 0;
    return probe.serverPort();
}

bool waitForLoopbackPort(quint16 port, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress(QStringLiteral("127.0.0.1")), port);
        if (socket.waitForConnected(200)) {
            socket.abort();
            return true;
        }
        QThread::msleep(50);
    }
    return false;
}

bool PyftpdlibPeer::available()
{
    if (!QFile::exists(pythonPath()))
        return false;
    QProcess probe;
    probe.start(pythonPath(), {QStringLiteral("-c"), QStringLiteral("import pyftpdlib")});
    return probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit
           && probe.exitCode() == 0;
}

PyftpdlibPeer::~PyftpdlibPeer()
{
    stop();
}

bool PyftpdlibPeer::start(const QString& folder, const QString& user, const QString& password)
{
    // pyftpdlib cannot report a port it chose, so take one that is free now; retry on a clash.
    for (int attempt = 0; attempt < 3; ++attempt) {
        listenPort = freeLoopbackPort();
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(pythonPath(), {QStringLiteral("-m"), QStringLiteral("pyftpdlib"),
                                     QStringLiteral("-i"), QStringLiteral("127.0.0.1"),
                                     QStringLiteral("-p"), QString::number(listenPort),
                                     QStringLiteral("-u"), user, QStringLiteral("-P"), password,
                                     QStringLiteral("-d"), folder, QStringLiteral("-w")});
        if (!process.waitForStarted(5000)) {
            error = process.errorString();
            return false;
        }
        if (waitForLoopbackPort(listenPort, 10000))
            return true;
        error = QString::fromLocal8Bit(process.readAll());
        stop();
    }
    return false;
}

void PyftpdlibPeer::stop()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}
