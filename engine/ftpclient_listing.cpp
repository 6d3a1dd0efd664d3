// Remote folders, passive data connections and listings.
#include "engine/ftpclient.h"

#include <algorithm>
#include <vector>

#include <QHostAddress>
#include <QSslSocket>
#include <QTextCodec>

namespace {

QTextCodec* listingCodec(const QString& name)
{
    QTextCodec* codec = QTextCodec::codecForName(name.toLatin1());
    return codec ? codec : QTextCodec::codecForName("UTF-8");
}

// Cuts one listing line into the first eight blank-separated fields and the name behind them.
// A device line ("1, 3" as major and minor number) keeps both numbers in the size field.
bool splitListLine(const QStringRef& line, QStringRef (&fields)[8], QStringRef& minor, QStringRef& name)
{
    const QChar blank(QLatin1Char(' '));
    const int length = line.size();
    int pos = 0;
    auto nextToken = [&](QStringRef& token) {
        while (pos < length && line.at(pos) == blank)
            ++pos;
        const int start = pos;
        while (pos < length && line.at(pos) != blank)
            ++pos;
        token = line.mid(start, pos - start);
        return pos < length;  // a field needs a blank behind it
    };
    minor.clear();
    for (int i = 0; i < 8; ++i) {
        if (!nextToken(fields[i]))
            return false;
        if (i == 4 && fields[i].endsWith(QLatin1Char(',')) && !nextToken(minor))
            return false;
    }
    name = line.mid(pos + 1);
    return !name.isEmpty();
}

// Listings repeat permissions, owners, groups and dates from line to line: a field equal to the
// one above shares its text instead of holding a copy, which keeps a huge listing small.
class FieldTexts
{
public:
    QString take(int column, const QStringRef& text)
    {
        QString& last = previous[column];
        if (last != text)
            last = text.toString();
        return last;
    }

private:
    QString previous[7];
};

} // namespace

void FTPClient::printDir()
{
    sendCommand(QStringLiteral("PWD"));
}

void FTPClient::changeDir(const QString& path)
{
    requestedDir = path;
    // After a failed change the server's folder is only what we believe it is: ask again.
    if (!isInFolder(path))
        sendCommand(QLatin1String("CWD ") + path);
}

void FTPClient::listDir()
{
    listingsForJobs.append(!downloadListDir.isEmpty() || deleteMode == 1 || chmodRecursion > 0);
    queueCommand(QStringLiteral("TYPE A"));
    queueCommand(QStringLiteral("PASV"));
    queueCommand(QStringLiteral("LIST -al"));
    sendNextCommand();
}

bool FTPClient::parsePasv(const QString& line, QString& address, quint16& port)
{
    if (!line.startsWith(QLatin1String("227")))
        return false;
    const int open = line.indexOf(QLatin1Char('('));
    const int close = line.indexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        return false;
    const QStringList parts = line.mid(open + 1, close - open - 1).split(QLatin1Char(','));
    if (parts.size() < 6)
        return false;
    uint numbers[6];
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        numbers[i] = parts.at(i).trimmed().toUInt(&ok);
        if (!ok || numbers[i] > 255)
            return false;
    }
    const uint portNumber = numbers[4] * 256 + numbers[5];
    if (portNumber == 0)
        return false;
    address = QStringLiteral("%1.%2.%3.%4").arg(numbers[0]).arg(numbers[1]).arg(numbers[2]).arg(numbers[3]);
    port = quint16(portNumber);
    return true;
}

FTPClient::Rows FTPClient::parseList(const QString& text)
{
    Rows rows;
    FieldTexts texts;
    QStringRef fields[8];
    QStringRef minor;
    QStringRef name;
    int start = 0;
    // Lines end in CR LF by the protocol, but servers that end them with a bare LF exist.
    while (start < text.size()) {
        int end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        QStringRef line = text.midRef(start, end - start);
        start = end + 1;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || !splitListLine(line, fields, minor, name))
            continue;
        // Fields that span several words keep one blank between them.
        QString joinedSize;
        QString joinedDate;
        QStringRef size = fields[4];
        if (!minor.isNull()) {
            joinedSize = fields[4] + QLatin1Char(' ') + minor;
            size = QStringRef(&joinedSize);
        }
        QStringRef date = text.midRef(fields[5].position(), fields[7].position() + fields[7].size() - fields[5].position());
        if (date.size() != fields[5].size() + fields[6].size() + fields[7].size() + 2) {
            joinedDate = fields[5] + QLatin1Char(' ') + fields[6] + QLatin1Char(' ') + fields[7];
            date = QStringRef(&joinedDate);
        }
        rows.append(Row{texts.take(0, fields[0]), texts.take(1, fields[1]), texts.take(2, fields[2]),
                        texts.take(3, fields[3]), texts.take(4, size), texts.take(5, date), name.toString()});
    }
    return rows;
}

// Parent first, then folders, then files, each by name; a name listed twice keeps its first
// kind and its last row. Sorts positions, not rows, so a huge listing is not copied around.
FTPClient::Rows FTPClient::sortRows(Rows& rows)
{
    std::vector<int> order;
    order.reserve(size_t(rows.size()));
    int parent = -1;
    for (int i = 0; i < rows.size();) {
        const Row& row = rows.at(i);
        if (row.size() == 7 && isDirRow(row) && row.at(6) == QLatin1String(".")) {
            rows.removeAt(i);
            continue;
        }
        if (row.size() == 7) {
            if (isDirRow(row) && row.at(6) == QLatin1String(".."))
                parent = i;
            else
                order.push_back(i);
        }
        ++i;
    }
    std::stable_sort(order.begin(), order.end(),
                     [&rows](int a, int b) { return rows.at(a).at(6) < rows.at(b).at(6); });
    Rows sorted;
    sorted.reserve(int(order.size()) + 1);
    if (parent >= 0)
        sorted.append(rows.at(parent));
    std::vector<int> fileRows;
    for (size_t i = 0; i < order.size();) {
        size_t last = i;
        while (last + 1 < order.size() && rows.at(order[last + 1]).at(6) == rows.at(order[i]).at(6))
            ++last;
        const int chosen = order[last];
        if (isDirRow(rows.at(order[i])))
            sorted.append(rows.at(chosen));
        else
            fileRows.push_back(chosen);
        i = last + 1;
    }
    for (const int index : fileRows)
        sorted.append(rows.at(index));
    return sorted;
}

bool FTPClient::isDirRow(const Row& row)
{
    return row.size() == 7 && row.at(0).startsWith(QLatin1Char('d'), Qt::CaseInsensitive);
}

bool FTPClient::isLinkRow(const Row& row)
{
    return row.size() == 7 && row.at(0).startsWith(QLatin1Char('l'), Qt::CaseInsensitive);
}

qint64 FTPClient::rowSize(const Row& row)
{
    return row.size() > 4 ? row.at(4).toLongLong() : 0;
}

QString FTPClient::joinRemotePath(const QString& a, const QString& b)
{
    QString joined = a;
    if (joined.endsWith(QLatin1Char('/')))
        joined.chop(1);
    if (!b.startsWith(QLatin1Char('/')))
        joined += QLatin1Char('/');
    return joined + b;
}

QString FTPClient::quotedText(const QString& line)
{
    const int first = line.indexOf(QLatin1Char('"'));
    const int last = line.lastIndexOf(QLatin1Char('"'));
    if (first < 0 || last <= first)
        return QString();
    QString text = line.mid(first + 1, last - first - 1);
    // A quote inside the path is sent doubled.
    text.replace(QLatin1String("\"\""), QLatin1String("\""));
    return text;
}

// A listing shows a link as "name -> target"; the entry itself is the part before the arrow.
QString FTPClient::rowEntryName(const Row& row)
{
    QString name = row.value(6);
    if (isLinkRow(row)) {
        const int arrow = name.indexOf(QLatin1String(" -> "));
        if (arrow >= 0)
            name.truncate(arrow);
    }
    return name;
}

bool FTPClient::isPlainEntryName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char('\r')
            || c == QLatin1Char('\n') || c.unicode() == 0)
            return false;
    }
    return true;
}

void FTPClient::handleCwdReply(const QString& line)
{
    const bool changed = line.startsWith(QLatin1String("250"));
    if (changed) {
        remoteDir = requestedDir;
        enteredDir = requestedDir;
    }
    // SECURITY: what was queued to act in that folder must not act in the one we are still in,
    // where an entry of the same name may be someone else's file.
    folderChangeFailed = !changed;
    emit changDir(changed);
}

// RFC 959 quotes the path; a server that does not still names it as the first word.
void FTPClient::handlePwdReply(const QString& line)
{
    if (!line.startsWith(QLatin1String("257")))
        return;
    QString path = quotedText(line);
    if (path.isEmpty()) {
        path = line.mid(4).section(QLatin1Char(' '), 0, 0);
        if (!path.startsWith(QLatin1Char('/')))
            return;
    }
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    remoteDir = path;
    // The server confirms where we stand; if that is where the refused change wanted to go,
    // nothing keeps the queued actions from running there.
    if (folderChangeFailed && path == requestedDir) {
        folderChangeFailed = false;
        enteredDir = path;
    }
    emit currentDir(path);
}

// SECURITY: the data connection goes to the host we are already talking to; the address in the
// reply is ignored so that a server cannot point us at a third machine.
void FTPClient::handlePasvReply(const QString& line)
{
    QString announced;
    quint16 dataPort = 0;
    if (!parsePasv(line, announced, dataPort))
        return;
    dataSocket->abort();
    listBuffer.clear();
    listingOverflow = false;
    heldReply.clear();
    connectDataSocket(dataPort);
}

void FTPClient::handleListReply(const QString& line)
{
    const bool complete = line.startsWith(QLatin1String("226")) || line.startsWith(QLatin1String("250"));
    drainDataSocket();
    if (complete && !listingOverflow)
        deliverListing();
    else
        handleFailedListing(complete ? tr("Listing cut: it passed %1 bytes.").arg(listingLimit) : line);
}

void FTPClient::deliverListing()
{
    drainDataSocket();
    const QString text = listingCodec(codecName)->toUnicode(listBuffer);
    listBuffer.clear();
    dataMode = 0;
    if (!listingForJob) {
        emit currentDirData(text, false);
    } else if (deleteMode == 1) {
        deleteListing(text);
    } else if (chmodRecursion > 0) {
        chmodListing(text);
    } else if (!downloadListDir.isEmpty() && !isInFolder(downloadListDir)) {
        // The folder change before it failed: this is some other folder's listing.
        emit currentDirData(text, false);
        handleFailedListing(tr("The folder could not be entered."));
    } else {
        const bool forDownload = !downloadListDir.isEmpty();
        listingFolder = downloadListDir;
        downloadListDir.clear();
        emit currentDirData(text, forDownload);
    }
}

// A refused listing still ends its job's step, so that no job waits for it forever; in a
// download the folder counts as failed.
void FTPClient::handleFailedListing(const QString& reason)
{
    dataSocket->abort();
    listBuffer.clear();
    listingOverflow = false;
    dataMode = 0;
    if (!listingForJob) {
        emit listingFailed(reason);
    } else if (deleteMode == 1) {
        deleteListing(QString());
    } else if (chmodRecursion > 0) {
        chmodListing(QString());
    } else if (!downloadListDir.isEmpty()) {
        const QString folder = downloadListDir;
        downloadListDir.clear();
        failFolder(folder, remoteToLocal(folder), false);
        QMetaObject::invokeMethod(this, &FTPClient::startDownload, Qt::QueuedConnection);
    } else {
        emit listingFailed(reason);
    }
}

void FTPClient::drainDataSocket()
{
    if (dataSocket->bytesAvailable() <= 0)
        return;
    if (dataMode == 2) {
        receiveDownloadData();
        return;
    }
    const QByteArray bytes = dataSocket->readAll();
    if (dataMode != 1)
        return;  // nothing asked for these bytes
    countDataProgress(bytes.size());
    if (listBuffer.size() + bytes.size() > listingLimit) {
        listingOverflow = true;
        listBuffer.clear();
        dataSocket->abort();
        return;
    }
    listBuffer.append(bytes);
}
