#ifndef TORVEX_TESTS_SCRIPTEDFTPSERVER_H
#define TORVEX_TESTS_SCRIPTEDFTPSERVER_H

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

class QTcpServer;
class QTcpSocket;

// A fake FTP server for engine tests, on 127.0.0.1 with a port the system picks. It plays one
// scripted answer per command, records every command line it received, and can misbehave on
// purpose: replies split across writes, the final reply before the data, delays, silence.
//
// Commands without a rule get a plain success reply (USER 331, PASS 230, CWD 250 (followed: PWD
// names the folder, and a rule "LIST@/d" answers LIST there), PWD 257,
// TYPE 200, SIZE 550, MDTM 550, REST 350, DELE 250, RMD 250, MKD 257, RNFR 350, RNTO 250,
// SITE 200, QUIT 221 and close, others 200). PASV opens a data listener on 127.0.0.1 and answers
// 227 with its port unless a rule for PASV says otherwise. LIST and RETR send their rule's data
// over the data connection; STOR collects what arrives in storedData(). A 4xx or 5xx answer to
// LIST, RETR or STOR is sent at once without data, unless cutDataAfter asks for a cut transfer.
class ScriptedFtpServer : public QObject
{
    Q_OBJECT
public:
    struct Answer {
        QByteArray reply;              // raw control bytes of the final reply, CR LF included
        QByteArray preliminary;        // sent first for LIST, RETR, STOR (default "150 ...")
        QByteArray data;               // LIST/RETR payload
        bool replyBeforeData = false;  // send the final reply, then the data (loopback race)
        int dataDelayMs = 0;           // wait this long before sending the data
        int replyDelayMs = 0;          // wait this long before the final reply
        bool silent = false;           // never answer
        bool closeControl = false;     // close the control connection instead of answering
        qint64 cutDataAfter = -1;      // close the data connection after this many bytes
        int trickleMs = 0;             // send the data one byte per this many ms
        int repeatPreliminaryMs = 0;   // resend the preliminary reply this often, never finish
    };

    explicit ScriptedFtpServer(QObject* parent = nullptr);
    ~ScriptedFtpServer() override;

    bool listen();
    quint16 port() const;

    void setGreeting(const QByteArray& raw);
    // Answers for command lines that start with the prefix (case-insensitive, longest prefix wins).
    // Several answers for one prefix are used in turn; the last one then stays.
    void addAnswer(const QString& prefix, const Answer& answer);
    // One line of script, rules separated by " | ":  PREFIX => REPLY [key=value]...
    // Keys: data, pre, cut, delay, datadelay, trickle, repeat (ms), bytes (filler() data of that
    // size), skip (drop that many bytes of it), and the flags [before] [silent] [close]. In texts
    // "\n" stands for CR LF and "\e" for ESC. The prefix GREETING sets the greeting. Returns false
    // on a line it cannot read.
    bool addScript(const QString& script);
    // Writes control replies in pieces of this many bytes with a short pause between them.
    void setChunkSize(int bytes);

    QStringList commands() const { return received; }
    QByteArray storedData() const { return stored; }
    int connectionCount() const { return connections; }
    // Sends raw bytes on the control connection at once, outside any command.
    void sendRaw(const QByteArray& bytes);
    void closeControl();
    // Data no test reads back byte by byte: a repeating pattern of the asked size.
    static QByteArray filler(qint64 size);

private:
    void onNewControl();
    void onControlReadyRead();
    void handleCommand(const QString& line);
    Answer answerFor(const QString& line);
    Answer defaultAnswer(const QString& line) const;
    void writeControl(const QByteArray& bytes);
    void pumpControl();
    void followFolderChange(const QString& path);
    void repeatForEver(const QByteArray& preliminary, int intervalMs);
    void openPassive();
    void runDataCommand(const QString& line, const Answer& answer);
    void sendData(const Answer& answer);
    void trickle(const QByteArray& bytes, int intervalMs);
    void finishTransfer(const Answer& answer);

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
    class QTimer* pump = nullptr;
    QByteArray stored;
    int chunkSize = 0;
    int connections = 0;
    bool storing = false;
    Answer storeAnswer;
};

#endif
