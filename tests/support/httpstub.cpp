#include "support/httpstub.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace {

constexpr int ChunkSize = 16 * 1024;
constexpr int MaxHeadSize = 16 * 1024;

} // namespace

HttpStub::HttpStub(QObject* parent)
    : QObject(parent)
{
    connect(&server, &QTcpServer::newConnection, this, &HttpStub::onConnection);
}

bool HttpStub::start()
{
    return server.listen(QHostAddress::LocalHost);
}

QString HttpStub::base() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
}

void HttpStub::onConnection()
{
    while (QTcpSocket* socket = server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onRequestBytes(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            heads.remove(socket);
            socket->deleteLater();
        });
    }
}

void HttpStub::onRequestBytes(QTcpSocket* socket)
{
    QByteArray& head = heads[socket];
    head += socket->readAll();
    if (!head.contains("\r\n\r\n") && head.size() < MaxHeadSize)
        return;
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    requests.append(QString::fromUtf8(requestLine.value(1)));
    head.clear();
    switch (mode) {
    case Silent:
        return;
    case NotFound:
        socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        socket->disconnectFromHost();
        return;
    case Answer:
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: "
                      + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
        return;
    case Endless:
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n");
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { sendMore(socket); });
        sendMore(socket);
        return;
    }
}

// Keeps the body coming while the client reads it, up to a bound that no client should need.
void HttpStub::sendMore(QTcpSocket* socket)
{
    if (socket->bytesToWrite() > ChunkSize || socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (endlessSent >= EndlessLimit) {
        socket->disconnectFromHost();
        return;
    }
    socket->write(QByteArray(ChunkSize, 'x'));
    endlessSent += ChunkSize;
}
