#ifndef TORVEX_TESTS_HTTPSTUB_H
#define TORVEX_TESTS_HTTPSTUB_H

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

// A tiny web server on 127.0.0.1 standing in for the publisher's service. It answers every
// GET with one canned body, or stays silent, or sends a body that does not end (up to a bound,
// so that the test always stops), and notes each request's path and query.
class HttpStub : public QObject
{
    Q_OBJECT
public:
    enum Mode { Answer, Silent, Endless, NotFound };
    static constexpr qint64 EndlessLimit = 8 * 1024 * 1024;

    explicit HttpStub(QObject* parent = nullptr);

    bool start();
    QString base() const;  // "http://127.0.0.1:<port>/"

    Mode mode = Answer;
    QByteArray body;
    QStringList requests;
    qint64 endlessSent = 0;

private:
    void onConnection();
    void onRequestBytes(QTcpSocket* socket);
    void sendMore(QTcpSocket* socket);

    QTcpServer server;
    QHash<QTcpSocket*, QByteArray> heads;
};

#endif
