#ifndef TORVEX_TESTS_HTTPSTUB_H
#define TORVEX_TESTS_HTTPSTUB_H

#include <QtNetwork>

// A tiny web server on 127.0.0.1 standing in for the publisher's service. It notes each request's
// path and query and answers every GET with one canned body, a 404, or silence.
class HttpStub : public QObject
{
    Q_OBJECT
public:
    enum Mode { Answer, Silent, NotFound };

    bool start()
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

    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort()); }

    Mode mode = Answer;
    QByteArray body;
    QStringList requests;

private:
    // Answers once the request's head is in (or past any real one's size), once per connection.
    void answer(QTcpSocket* socket)
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
                      + QByteArray::number(content.size()) + "\r\nConnection: close\r\n\r\n"
                      + content);
        socket->disconnectFromHost();
    }

    QTcpServer server;
};

#endif
