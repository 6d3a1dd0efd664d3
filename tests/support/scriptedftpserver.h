#ifndef TORVEX_TESTS_SCRIPTEDFTPSERVER_H
#define TORVEX_TESTS_SCRIPTEDFTPSERVER_H

#include "support/testfiles.h"

#include <QtNetwork>

#include <functional>
#include <memory>

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
        int cutDataAfter = -1;         // [cut] the data connection after this many bytes
        int trickleMs = 0;             // [trickle]: one byte of data per this many ms
        int repeatPreliminaryMs = 0;   // [repeat] the preliminary reply this often, never finish
    };

    explicit ScriptedFtpServer(QObject* parent = nullptr) : QObject(parent)
    {
        connect(controlServer, &QTcpServer::newConnection, this, &ScriptedFtpServer::onNewControl);
        pump->setInterval(3);
        connect(pump, &QTimer::timeout, this, &ScriptedFtpServer::pumpControl);
    }

    bool listen() { return controlServer->listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return controlServer->serverPort(); }
    // Answers for lines that start with the prefix (any case, longest prefix wins); several
    // answers for one prefix are used in turn, the last one then stays.
    void addAnswer(const QString& prefix, const Answer& answer) { answers[prefix.toUpper()] << answer; }
    // Rules separated by " | ":  PREFIX => REPLY [key=value]...  with [bytes=N] for patternBytes()
    // data, [skip=N] to drop its start, "\n" for CR LF and "\e" for ESC; the prefix GREETING
    // sets the greeting. False on a rule it cannot read.
    bool addScript(const QString& script)
    {
        static const QRegularExpression option(QStringLiteral("\\[(\\w+)(?:=([^\\]]*))?\\]"));
        static const QHash<QString, int Answer::*> numbers = {{"delay", &Answer::replyDelayMs},
            {"datadelay", &Answer::dataDelayMs}, {"trickle", &Answer::trickleMs},
            {"repeat", &Answer::repeatPreliminaryMs}, {"cut", &Answer::cutDataAfter}};
        static const QHash<QString, bool Answer::*> flags = {{"before", &Answer::replyBeforeData},
            {"silent", &Answer::silent}, {"close", &Answer::closeControl}};
        auto unescape = [](const QString& text) {
            return text.toUtf8().replace("\\n", "\r\n").replace("\\e", "\x1b");
        };
        for (const QString& rule : script.split(QStringLiteral(" | "), Qt::SkipEmptyParts)) {
            const int arrow = rule.indexOf(QLatin1String("=>"));
            if (arrow < 0)
                return false;
            QString rest = rule.mid(arrow + 2);
            Answer answer;
            auto it = option.globalMatch(rest);
            while (it.hasNext()) {
                const auto match = it.next();
                const QString key = match.captured(1);
                const QString value = match.captured(2);
                if (numbers.contains(key))
                    answer.*numbers.value(key) = value.toInt();
                else if (flags.contains(key))
                    answer.*flags.value(key) = true;
                else if (key == QLatin1String("data"))
                    answer.data = unescape(value);
                else if (key == QLatin1String("bytes"))
                    answer.data = patternBytes(value.toLongLong());
                else if (key == QLatin1String("skip"))
                    answer.data.remove(0, value.toInt());
                else if (key == QLatin1String("pre"))
                    answer.preliminary = unescape(value) + "\r\n";
                else
                    return false;
            }
            const QByteArray reply = unescape(rest.remove(option).trimmed());
            answer.reply = reply.isEmpty() ? reply : reply + "\r\n";
            if (rule.left(arrow).trimmed() == QLatin1String("GREETING"))
                greeting = answer.reply;
            else
                addAnswer(rule.left(arrow).trimmed(), answer);
        }
        return true;
    }
    // Writes control replies in pieces of this many bytes, one piece per timer tick.
    void setChunkSize(int bytes) { chunkSize = bytes; }

    QStringList commands() const { return received; }
    QByteArray storedData() const { return stored; }
    int connectionCount() const { return connections; }
    void sendRaw(const QByteArray& bytes) { writeControl(bytes); }
    void closeControl()
    {
        if (control)
            control->abort();
    }

private:
    static QString firstWord(const QString& line) { return line.section(' ', 0, 0).toUpper(); }
    static bool movesData(const QString& w) { return QStringList{"LIST", "RETR", "STOR"}.contains(w); }
    void later(int ms, std::function<void()> work)
    {
        if (ms <= 0)
            work();
        else
            QTimer::singleShot(ms, this, std::move(work));
    }

    void onNewControl()
    {
        while (QTcpSocket* socket = controlServer->nextPendingConnection()) {
            ++connections;
            closeControl();
            control = socket;
            inbox.clear();
            connect(socket, &QTcpSocket::readyRead, this, &ScriptedFtpServer::onControlReadyRead);
            writeControl(greeting);
        }
    }

    void onControlReadyRead()
    {
        if (sender() != control)
            return;
        inbox.append(control->readAll());
        int lf;
        while ((lf = inbox.indexOf('\n')) >= 0) {
            QByteArray raw = inbox.left(lf);
            inbox.remove(0, lf + 1);
            if (raw.endsWith('\r'))
                raw.chop(1);
            received.append(QString::fromUtf8(raw));
            handleCommand(received.last());
        }
    }

    Answer answerFor(const QString& line)
    {
        // A listing rule may name the folder it answers in: "LIST@/d".
        QString best = "LIST@" + cwd.toUpper();
        if (firstWord(line) != QLatin1String("LIST") || !answers.contains(best)) {
            best.clear();
            for (auto it = answers.cbegin(); it != answers.cend(); ++it) {
                if (line.startsWith(it.key(), Qt::CaseInsensitive) && it.key().size() > best.size())
                    best = it.key();
            }
        }
        if (best.isEmpty())
            return defaultAnswer(line);
        QList<Answer>& list = answers[best];
        Answer answer = list.size() > 1 ? list.takeFirst() : list.first();
        if (answer.reply.isEmpty() && !answer.silent && !answer.closeControl)
            answer.reply = defaultAnswer(line).reply;
        return answer;
    }

    Answer defaultAnswer(const QString& line) const
    {
        static QHash<QString, QByteArray> replies;
        if (replies.isEmpty()) {
            const QString table = QStringLiteral(
                "USER 331 Password required.|PASS 230 Logged in.|CWD 250 Directory changed.|"
                "TYPE 200 Type set.|SIZE 550 No size.|MDTM 550 No time.|REST 350 Restarting.|"
                "DELE 250 Deleted.|RMD 250 Removed.|MKD 257 \"/new\" created.|RNFR 350 Ready for RNTO.|"
                "RNTO 250 Renamed.|SITE 200 SITE command successful.|QUIT 221 Goodbye.|"
                "LIST 226 Transfer complete.|RETR 226 Transfer complete.|STOR 226 Transfer complete.|"
                "PASV 227 Entering Passive Mode (127,0,0,1,{p1},{p2}).");
            for (const QString& entry : table.split(QLatin1Char('|')))
                replies.insert(entry.section(' ', 0, 0), entry.section(' ', 1).toUtf8() + "\r\n");
        }
        Answer answer;
        answer.reply = replies.value(firstWord(line), "200 OK.\r\n");
        if (firstWord(line) == QLatin1String("PWD"))
            answer.reply = "257 \"" + cwd.toUtf8() + "\" is the current directory.\r\n";
        return answer;
    }

    void handleCommand(const QString& line)
    {
        const Answer answer = answerFor(line);
        if (answer.silent)
            return;
        if (answer.closeControl)
            return closeControl();
        const QString word = firstWord(line);
        if (word == QLatin1String("CWD") && answer.reply.startsWith("250"))
            cwd = QDir::cleanPath(QDir(cwd).filePath(line.mid(4)));
        if (word == QLatin1String("PASV")) {
            if (data)
                data->abort();
            dataServer->close();
            dataServer->disconnect(this);
            dataServer->listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
            const quint16 dataPort = dataServer->serverPort();
            QByteArray reply = answer.reply;
            reply.replace("{p1}", QByteArray::number(dataPort / 256));
            reply.replace("{p2}", QByteArray::number(dataPort % 256));
            return later(answer.replyDelayMs, [this, reply] { writeControl(reply); });
        }
        if (answer.repeatPreliminaryMs > 0 && !movesData(word)) {
            const QByteArray still = answer.preliminary.isEmpty() ? QByteArray("100 Still working.\r\n")
                                                                  : answer.preliminary;
            return repeatForEver(still, answer.repeatPreliminaryMs);
        }
        const bool refused = answer.reply.startsWith('4') || answer.reply.startsWith('5');
        if (movesData(word) && (!refused || answer.cutDataAfter >= 0))
            return runDataCommand(word, answer);
        later(answer.replyDelayMs, [this, answer, word] {
            writeControl(answer.reply);
            if (word == QLatin1String("QUIT") && control)
                control->disconnectFromHost();
        });
    }

    // A server that keeps saying it is about to answer, and never does; bounded all the same.
    void repeatForEver(const QByteArray& preliminary, int intervalMs)
    {
        writeControl(preliminary);
        auto* repeat = new QTimer(control);
        auto count = std::make_shared<int>(0);
        connect(repeat, &QTimer::timeout, this, [this, repeat, preliminary, count] {
            if (++*count > 1000)
                repeat->stop();
            writeControl(preliminary);
        });
        repeat->start(intervalMs);
    }

    void runDataCommand(const QString& word, const Answer& answer)
    {
        auto start = [this, word, answer] {
            const QByteArray preliminary = answer.preliminary.isEmpty()
                ? QByteArray("150 Opening data connection.\r\n") : answer.preliminary;
            if (answer.repeatPreliminaryMs > 0)
                return repeatForEver(preliminary, answer.repeatPreliminaryMs);
            writeControl(preliminary);
            if (word == QLatin1String("STOR")) {
                storing = true;
                storeAnswer = answer;
                connect(data, &QTcpSocket::readyRead, this, [this] { stored.append(data->readAll()); });
                connect(data, &QTcpSocket::disconnected, this, [this] {
                    stored.append(data->readAll());
                    if (storing)
                        later(storeAnswer.replyDelayMs, [this] { writeControl(storeAnswer.reply); });
                    storing = false;
                });
            } else if (answer.replyBeforeData) {
                writeControl(answer.reply);
                later(answer.dataDelayMs, [this, answer] { sendData(answer); });
            } else {
                later(answer.dataDelayMs, [this, answer] {
                    sendData(answer);
                    later(answer.replyDelayMs, [this, answer] { writeControl(answer.reply); });
                });
            }
        };
        const bool open = data && data->state() == QAbstractSocket::ConnectedState;
        if (open || dataServer->hasPendingConnections()) {
            if (!open)
                data = dataServer->nextPendingConnection();
            return start();
        }
        connect(dataServer, &QTcpServer::newConnection, this, [this, start] {
            dataServer->disconnect(this);
            data = dataServer->nextPendingConnection();
            start();
        });
    }

    void sendData(const Answer& answer)
    {
        if (!data)
            return;
        if (answer.trickleMs > 0)
            return trickle(answer.data, answer.trickleMs);
        if (answer.cutDataAfter >= 0 && answer.cutDataAfter < answer.data.size()) {
            data->write(answer.data.left(answer.cutDataAfter));
            data->flush();
            return data->abort();
        }
        data->write(answer.data);
        data->disconnectFromHost();  // flushes what is left, then closes
    }

    // One byte per tick until the data is out or the client has gone.
    void trickle(const QByteArray& bytes, int intervalMs)
    {
        auto* timer = new QTimer(data);
        auto sent = std::make_shared<int>(0);
        connect(timer, &QTimer::timeout, this, [this, timer, bytes, sent] {
            if (!data || data->state() != QAbstractSocket::ConnectedState || *sent >= bytes.size()) {
                timer->stop();
                if (data)
                    data->disconnectFromHost();
                return;
            }
            data->write(bytes.mid((*sent)++, 1));
        });
        timer->start(intervalMs);
    }

    void writeControl(const QByteArray& bytes)
    {
        if (!control || bytes.isEmpty())
            return;
        // Pieces go out on timer ticks, so that the client sees them in separate reads.
        outbox.append(bytes);
        if (chunkSize <= 0)
            pumpControl();
        else if (!pump->isActive())
            pump->start();
    }

    void pumpControl()
    {
        if (!control || outbox.isEmpty())
            return pump->stop();
        const int piece = chunkSize > 0 ? chunkSize : outbox.size();
        control->write(outbox.left(piece));
        control->flush();
        outbox.remove(0, piece);
    }

    QTcpServer* controlServer = new QTcpServer(this);
    QTcpServer* dataServer = new QTcpServer(this);
    QPointer<QTcpSocket> control;
    QPointer<QTcpSocket> data;
    QByteArray greeting = "220 Scripted server ready.\r\n";
    QString cwd = QStringLiteral("/");
    QHash<QString, QList<Answer>> answers;
    QStringList received;
    QByteArray inbox;
    QByteArray outbox;
    QTimer* pump = new QTimer(this);
    QByteArray stored;
    int chunkSize = 0;
    int connections = 0;
    bool storing = false;
    Answer storeAnswer;
};

#endif
