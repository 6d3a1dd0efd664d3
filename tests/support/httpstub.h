#ifndef TORVEX_TESTS_HTTPSTUB_H
#define TORVEX_TESTS_HTTPSTUB_H

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

// A tiny web server on 127.0.0.1 standing in for the publisher's service. It notes each request's
// path and query and answers every GET with one canned body, a 404, or silence.
class HttpStub : public QObject
{
    Q_OBJECT
public:
    enum Mode { Answer, Silent, NotFound };

    bool start();
    QString base() const;  // "http://127.0.0.1:<port>/"

    Mode mode = Answer;
    QByteArray body;
    QStringList requests;

private:
    void answer(QTcpSocket* socket);

    QTcpServer server;
};

#endif
