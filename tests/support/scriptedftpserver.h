#ifndef TORVEX_TESTS_SCRIPTEDFTPSERVER_H
#define TORVEX_TESTS_SCRIPTEDFTPSERVER_H

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

class QTimer;

// A fake FTP server on 127.0.0.1 that plays one scripted answer per command, records every
// command line, and misbehaves on purpose. Commands without a rule get a plain success (SIZE and
// MDTM 550). CWD is followed: PWD names the folder, and a rule "LIST@/d" answers LIST there.
// LIST and RETR send their data over the passive connection, STOR collects into storedData();
// a 4xx or 5xx answer to them comes at once without data, unless [cut] asks for a cut transfer.
class ScriptedFtpServer : public QObject
{
    Q_OBJECT
public:
    // The script keys of addScript() in brackets.
    struct Answer {
        QByteArray reply;              // raw final reply, CR LF included
        QByteArray preliminary;        // [pre] for LIST, RETR, STOR (default "150 ...")
        QByteArray data;               // [data] or [bytes]: the LIST or RETR payload
        bool replyBeforeData = false;  // [before]: the final reply, then the data (loopback race)
        int dataDelayMs = 0;           // [datadelay]
        int replyDelayMs = 0;          // [delay] before the final reply
        bool silent = false;           // [silent]: never answer
        bool closeControl = false;     // [close] the control connection instead of answering
        qint64 cutDataAfter = -1;      // [cut] the data connection after this many bytes
        int trickleMs = 0;             // [trickle]: one byte of data per this many ms
        int repeatPreliminaryMs = 0;   // [repeat] the preliminary reply this often, never finish
    };

    explicit ScriptedFtpServer(QObject* parent = nullptr);

    bool listen() { return controlServer->listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return controlServer->serverPort(); }
    // Answers for lines that start with the prefix (any case, longest prefix wins); several
    // answers for one prefix are used in turn, the last one then stays.
    void addAnswer(const QString& prefix, const Answer& answer) { answers[prefix.toUpper()] << answer; }
    // Rules separated by " | ":  PREFIX => REPLY [key=value]...  with [bytes=N] for patternBytes()
    // data, [skip=N] to drop its start, "\n" for CR LF and "\e" for ESC; the prefix GREETING
    // sets the greeting. False on a rule it cannot read.
    bool addScript(const QString& script);
    // Writes control replies in pieces of this many bytes, one piece per timer tick.
    void setChunkSize(int bytes) { chunkSize = bytes; }

    QStringList commands() const { return received; }
    QByteArray storedData() const { return stored; }
    int connectionCount() const { return connections; }
    void sendRaw(const QByteArray& bytes) { writeControl(bytes); }
    void closeControl();

private:
    void onNewControl();
    void onControlReadyRead();
    void handleCommand(const QString& line);
    Answer answerFor(const QString& line);
    Answer defaultAnswer(const QString& line) const;
    void writeControl(const QByteArray& bytes);
    void pumpControl();
    void repeatForEver(const QByteArray& preliminary, int intervalMs);
    void openPassive();
    void runDataCommand(const QString& line, const Answer& answer);
    void sendData(const Answer& answer);
    void trickle(const QByteArray& bytes, int intervalMs);

    QTcpServer* controlServer = nullptr;
    QTcpServer* dataServer = nullptr;
    QPointer<QTcpSocket> control;
    QPointer<QTcpSocket> data;
    QByteArray greeting = "220 Scripted server ready.\r\n";
    QString cwd = QStringLiteral("/");
    QHash<QString, QList<Answer>> answers;
    QStringList received;
    QByteArray inbox;
    QByteArray outbox;
    QTimer* pump = nullptr;
    QByteArray stored;
    int chunkSize = 0;
    int connections = 0;
    bool storing = false;
    Answer storeAnswer;
};

#endif
