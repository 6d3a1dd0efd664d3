#include "support/scriptedftpserver.h"
#include "support/testfiles.h"

#include <QDir>
#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

QString firstWord(const QString& line)
{
    return line.section(QLatin1Char(' '), 0, 0).toUpper();
}

bool isDataCommand(const QString& word)
{
    return word == QLatin1String("LIST") || word == QLatin1String("RETR") || word == QLatin1String("STOR");
}

void later(QObject* context, int ms, std::function<void()> work)
{
    if (ms <= 0)
        work();
    else
        QTimer::singleShot(ms, context, std::move(work));
}

QByteArray unescapeScript(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace("\\n", "\r\n");
    bytes.replace("\\e", "\x1b");
    return bytes;
}

} // namespace

ScriptedFtpServer::ScriptedFtpServer(QObject* parent)
    : QObject(parent)
    , controlServer(new QTcpServer(this))
    , dataServer(new QTcpServer(this))
{
    connect(controlServer, &QTcpServer::newConnection, this, &ScriptedFtpServer::onNewControl);
    pump = new QTimer(this);
    pump->setInterval(3);
    connect(pump, &QTimer::timeout, this, &ScriptedFtpServer::pumpControl);
}

bool ScriptedFtpServer::addScript(const QString& script)
{
    static const QRegularExpression option(QStringLiteral("\\[(\\w+)(?:=([^\\]]*))?\\]"));
    static const QHash<QString, int Answer::*> numbers = {{"delay", &Answer::replyDelayMs},
        {"datadelay", &Answer::dataDelayMs}, {"trickle", &Answer::trickleMs},
        {"repeat", &Answer::repeatPreliminaryMs}};
    static const QHash<QString, bool Answer::*> flags = {{"before", &Answer::replyBeforeData},
        {"silent", &Answer::silent}, {"close", &Answer::closeControl}};
    for (const QString& rule : script.split(QStringLiteral(" | "), Qt::SkipEmptyParts)) {
        const int arrow = rule.indexOf(QLatin1String("=>"));
        if (arrow < 0)
            return false;
        const QString prefix = rule.left(arrow).trimmed();
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
                answer.data = unescapeScript(value);
            else if (key == QLatin1String("bytes"))
                answer.data = patternBytes(value.toLongLong());
            else if (key == QLatin1String("skip"))
                answer.data.remove(0, value.toInt());
            else if (key == QLatin1String("pre"))
                answer.preliminary = unescapeScript(value) + "\r\n";
            else if (key == QLatin1String("cut"))
                answer.cutDataAfter = value.toLongLong();
            else
                return false;
        }
        rest.remove(option);
        const QByteArray reply = unescapeScript(rest.trimmed());
        if (!reply.isEmpty())
            answer.reply = reply + "\r\n";
        if (prefix == QLatin1String("GREETING"))
            greeting = answer.reply;
        else
            addAnswer(prefix, answer);
    }
    return true;
}

void ScriptedFtpServer::closeControl()
{
    if (control)
        control->abort();
}

void ScriptedFtpServer::onNewControl()
{
    while (QTcpSocket* socket = controlServer->nextPendingConnection()) {
        ++connections;
        if (control)
            control->abort();
        control = socket;
        inbox.clear();
        connect(socket, &QTcpSocket::readyRead, this, &ScriptedFtpServer::onControlReadyRead);
        if (!greeting.isEmpty())
            writeControl(greeting);
    }
}

void ScriptedFtpServer::onControlReadyRead()
{
    auto* socket = qobject_cast<QTcpSocket*>(sender());
    if (!socket || socket != control)
        return;
    inbox.append(socket->readAll());
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

ScriptedFtpServer::Answer ScriptedFtpServer::answerFor(const QString& line)
{
    QString best;
    // A listing rule may name the folder it answers in: "LIST@/d".
    const QString inFolder = firstWord(line) + QLatin1Char('@') + cwd.toUpper();
    if (firstWord(line) == QLatin1String("LIST") && answers.contains(inFolder)) {
        best = inFolder;
    } else {
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

ScriptedFtpServer::Answer ScriptedFtpServer::defaultAnswer(const QString& line) const
{
    static QHash<QString, QByteArray> replies;
    if (replies.isEmpty()) {
        const QString table = QStringLiteral(
            "USER 331 Password required.|PASS 230 Logged in.|CWD 250 Directory changed.|TYPE 200 Type set.|"
            "SIZE 550 No size.|MDTM 550 No time.|REST 350 Restarting.|DELE 250 Deleted.|RMD 250 Removed.|"
            "MKD 257 \"/new\" created.|RNFR 350 Ready for RNTO.|RNTO 250 Renamed.|SITE 200 SITE command successful.|"
            "QUIT 221 Goodbye.|LIST 226 Transfer complete.|RETR 226 Transfer complete.|STOR 226 Transfer complete.|"
            "PASV 227 Entering Passive Mode (127,0,0,1,{p1},{p2}).");
        for (const QString& entry : table.split(QLatin1Char('|')))
            replies.insert(entry.section(QLatin1Char(' '), 0, 0),
                           entry.section(QLatin1Char(' '), 1).toUtf8() + "\r\n");
    }
    Answer answer;
    answer.reply = replies.value(firstWord(line), "200 OK.\r\n");
    if (firstWord(line) == QLatin1String("PWD"))
        answer.reply = "257 \"" + cwd.toUtf8() + "\" is the current directory.\r\n";
    return answer;
}

void ScriptedFtpServer::handleCommand(const QString& line)
{
    const Answer answer = answerFor(line);
    if (answer.silent)
        return;
    if (answer.closeControl) {
        closeControl();
        return;
    }
    const QString word = firstWord(line);
    if (word == QLatin1String("CWD") && answer.reply.startsWith("250"))
        cwd = QDir::cleanPath(QDir(cwd).filePath(line.mid(4)));
    if (word == QLatin1String("PASV")) {
        openPassive();
        const quint16 dataPort = dataServer->serverPort();
        QByteArray reply = answer.reply;
        reply.replace("{p1}", QByteArray::number(dataPort / 256));
        reply.replace("{p2}", QByteArray::number(dataPort % 256));
        later(this, answer.replyDelayMs, [this, reply] { writeControl(reply); });
        return;
    }
    if (answer.repeatPreliminaryMs > 0 && !isDataCommand(word)) {
        repeatForEver(answer.preliminary.isEmpty() ? QByteArray("100 Still working.\r\n") : answer.preliminary,
                      answer.repeatPreliminaryMs);
        return;
    }
    const bool refused = answer.cutDataAfter < 0 && (answer.reply.startsWith('4') || answer.reply.startsWith('5'));
    if (!refused && isDataCommand(word)) {
        runDataCommand(word, answer);
        return;
    }
    later(this, answer.replyDelayMs, [this, answer, word] {
        writeControl(answer.reply);
        if (word == QLatin1String("QUIT") && control)
            control->disconnectFromHost();
    });
}

// A server that keeps saying it is about to answer, and never does; bounded all the same.
void ScriptedFtpServer::repeatForEver(const QByteArray& preliminary, int intervalMs)
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

void ScriptedFtpServer::openPassive()
{
    if (data)
        data->abort();
    dataServer->close();
    dataServer->disconnect(this);
    dataServer->listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
}

void ScriptedFtpServer::runDataCommand(const QString& word, const Answer& answer)
{
    auto start = [this, word, answer] {
        const QByteArray preliminary = answer.preliminary.isEmpty() ? QByteArray("150 Opening data connection.\r\n")
                                                                    : answer.preliminary;
        if (answer.repeatPreliminaryMs > 0) {
            repeatForEver(preliminary, answer.repeatPreliminaryMs);
            return;
        }
        writeControl(preliminary);
        if (word == QLatin1String("STOR")) {
            storing = true;
            storeAnswer = answer;
            connect(data, &QTcpSocket::readyRead, this, [this] { stored.append(data->readAll()); });
            connect(data, &QTcpSocket::disconnected, this, [this] {
                stored.append(data->readAll());
                if (!storing)
                    return;
                storing = false;
                later(this, storeAnswer.replyDelayMs, [this] { writeControl(storeAnswer.reply); });
            });
            return;
        }
        if (answer.replyBeforeData) {
            writeControl(answer.reply);
            later(this, answer.dataDelayMs, [this, answer] { sendData(answer); });
        } else {
            later(this, answer.dataDelayMs, [this, answer] {
                sendData(answer);
                later(this, answer.replyDelayMs, [this, answer] { writeControl(answer.reply); });
            });
        }
    };
    const bool open = data && data->state() == QAbstractSocket::ConnectedState;
    if (open || dataServer->hasPendingConnections()) {
        if (!open)
            data = dataServer->nextPendingConnection();
        start();
        return;
    }
    connect(dataServer, &QTcpServer::newConnection, this, [this, start] {
        dataServer->disconnect(this);
        data = dataServer->nextPendingConnection();
        start();
    });
}

void ScriptedFtpServer::sendData(const Answer& answer)
{
    if (!data)
        return;
    QByteArray bytes = answer.data;
    if (answer.trickleMs > 0) {
        trickle(bytes, answer.trickleMs);
        return;
    }
    if (answer.cutDataAfter >= 0 && answer.cutDataAfter < bytes.size()) {
        data->write(bytes.left(int(answer.cutDataAfter)));
        data->flush();
        data->abort();
        return;
    }
    data->write(bytes);
    data->disconnectFromHost();  // flushes what is left, then closes
}

// One byte per tick until the data is out or the client has gone.
void ScriptedFtpServer::trickle(const QByteArray& bytes, int intervalMs)
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

void ScriptedFtpServer::writeControl(const QByteArray& bytes)
{
    if (!control || bytes.isEmpty())
        return;
    if (chunkSize <= 0) {
        control->write(bytes);
        control->flush();
        return;
    }
    // Pieces go out on timer ticks, so that the client sees them in separate reads.
    outbox.append(bytes);
    if (!pump->isActive())
        pump->start();
}

void ScriptedFtpServer::pumpControl()
{
    if (!control || outbox.isEmpty()) {
        pump->stop();
        return;
    }
    control->write(outbox.left(chunkSize));
    control->flush();
    outbox.remove(0, qMin(chunkSize, outbox.size()));
}
