#ifndef TORVEX_TESTS_HTTPSTUB_H
#define TORVEX_TESTS_HTTPSTUB_H

#include <QtNetwork>

// A web server on 127.0.0.1 for the publisher's service: one canned body, a 404, or silence.
class HttpStub : public QObject
{
public:
    enum Mode { Answer, Silent, NotFound };

    bool start()
    {
        connect(&server, &QTcpServer::newConnection, this, [this] {
            // The server owns each socket until the stub goes.
            while (QTcpSocket* socket = server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
        });
        return server.listen(QHostAddress::LocalHost);
    }

    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort()); }

    Mode mode = Answer;
    QByteArray body;
    QStringList requests;  // each request's path and query

private:
    // Answers once the request's head is in (or past any real one's size), once per connection.
    void answer(QTcpSocket* socket)
    {
        const int headLimit = 16 * 1024;
        if (!socket->peek(headLimit).contains("\r\n\r\n") && socket->bytesAvailable() < headLimit)
            return;
        disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
        requests.append(QString::fromUtf8(socket->readAll().split(' ').value(1)));
        if (mode == Silent)
            return;
        const QByteArray content = mode == NotFound ? QByteArray() : body;
        const QByteArray status = mode == NotFound ? "404 Not Found" : "200 OK";
        socket->write("HTTP/1.1 " + status + "\r\nConnection: close\r\nContent-Length: "
                      + QByteArray::number(content.size()) + "\r\n\r\n" + content);
        socket->disconnectFromHost();
    }

    QTcpServer server;
};

#endif
