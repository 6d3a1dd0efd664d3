#include "common/helpers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QNetworkInterface>
#include <QTextCodec>

#include <algorithm>

namespace {

QString scaled(quint64 value, double unit, const char* suffix)
{
    return QString::number(double(value) / unit, 'f', 2) + QLatin1String(suffix);
}

} // namespace

QString sizeToString(quint64 bytes)
{
    if (bytes < 1024ULL)
        return QString::number(bytes) + QLatin1Char('B');
    if (bytes < 1048576ULL)
        return scaled(bytes, 1024.0, "KB");
    if (bytes < 1073741824ULL)
        return scaled(bytes, 1048576.0, "MB");
    return scaled(bytes, 1073741824.0, "G");
}

QString timeToString(quint64 seconds)
{
    if (seconds < 60)
        return QString::number(seconds) + QLatin1Char('s');
    if (seconds < 3600)
        return scaled(seconds, 60.0, "m");
    return scaled(seconds, 3600.0, "h");
}

QString joinPath(QString a, QString b)
{
    const QChar sep = QDir::separator();
    if (a.endsWith(sep))
        a.chop(1);
    QString joined = b.startsWith(sep) ? a + b : a + sep + b;
    joined.replace(QLatin1Char('/'), sep);
    joined.replace(QLatin1Char('\\'), sep);
    return joined;
}

QString& nativePath(QString& path)
{
    if (QDir::separator() == QLatin1Char('\\'))
        path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    else
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

QString takeLine(QString& buffer)
{
    const int lf = buffer.indexOf(QLatin1Char('\n'));
    if (lf <= 0)
        return QString();
    QString line = buffer.left(lf + 1);
    buffer.remove(0, lf + 1);
    line.remove(QLatin1String("\r\n"));
    line.remove(QLatin1Char('\n'));
    return line;
}

QString md5Hex(QIODevice* device)
{
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (device)
        hash.addData(device);
    return QString::fromLatin1(hash.result().toHex());
}

void sortNoCase(QStringList& list)
{
    std::stable_sort(list.begin(), list.end(), [](const QString& a, const QString& b) {
        return a.toLower() < b.toLower();
    });
}

void removeEmptyItems(QStringList& list)
{
    list.removeAll(QString());
}

bool removeDir(const QString& path, bool withContents)
{
    if (path.isEmpty() || path.endsWith(QLatin1String("..")) || path == QLatin1String("."))
        return false;
    QDir dir(path);
    if (withContents) {
        if (!dir.exists())
            return true;
        const QFileInfoList entries =
            dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        for (const QFileInfo& entry : entries) {
            // A link to a folder is removed as a link; its target is not ours to empty.
            if (entry.isSymLink() || !entry.isDir())
                QFile::remove(entry.absoluteFilePath());
            else
                removeDir(entry.absoluteFilePath(), true);
        }
    }
    return dir.rmdir(dir.absolutePath());
}

QStringList localIpList()
{
    QStringList result;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        const auto entries = iface.addressEntries();
        for (const QNetworkAddressEntry& entry : entries) {
            const QString text = entry.ip().toString();
            if (text != QLatin1String("127.0.0.1") && !text.contains(QLatin1String("::")))
                result.append(text);
        }
    }
    return result;
}

QString fromGB2312(const char* bytes)
{
    QTextCodec* codec = QTextCodec::codecForName("GB2312");
    if (!codec)
        return QString::fromLocal8Bit(bytes);
    return codec->toUnicode(bytes);
}

bool isSafeCommandText(const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.unicode() == 0)
            return false;
    }
    return true;
}
