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
// Commands without a rule get a plain success reply (see defaultAnswer(); SIZE and MDTM 550).
// CWD is followed: PWD names the folder, and a rule "LIST@/d" answers LIST there. PASV opens a
// data listener on 127.0.0.1 and answers 227 with its port unless a rule for PASV says otherwise.
// LIST and RETR send their rule's data over the data connection; STOR collects what arrives in
// storedData(). A 4xx or 5xx answer to LIST, RETR or STOR is sent at once without data, unless
// cutDataAfter asks for a cut transfer.
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
