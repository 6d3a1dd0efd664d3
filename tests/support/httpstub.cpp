#include "support/httpstub.h"

#include <QHostAddress>
#include <QTcpSocket>

bool HttpStub::start()
{
    connect(&server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    return server.listen(QHostAddress::LocalHost);
}

QString HttpStub::base() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
}

// Answers once the request's head is in (or has grown past any real one), once per connection.
void HttpStub::answer(QTcpSocket* socket)
{
    const int maxHeadSize = 16 * 1024;
    if (!socket->peek(maxHeadSize).contains("\r\n\r\n") && socket->bytesAvailable() < maxHeadSize)
        return;
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    const QByteArray head = socket->readAll();
    requests.append(QString::fromUtf8(head.left(head.indexOf("\r\n")).split(' ').value(1)));
    if (mode == Silent)
        return;
    const QByteArray content = mode == NotFound ? QByteArray() : body;
    socket->write("HTTP/1.1 " + QByteArray(mode == NotFound ? "404 Not Found" : "200 OK")
                  + "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: "
                  + QByteArray::number(content.size()) + "\r\nConnection: close\r\n\r\n" + content);
    socket->disconnectFromHost();
}
