#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

bool writeTestFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

QByteArray readTestFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QByteArray patternBytes(qint64 size, quint32 seed)
{
    QByteArray bytes(int(size), Qt::Uninitialized);
    quint32 x = seed * 2654435761u + 1;
    for (int i = 0; i < bytes.size(); ++i) {
        x = x * 1103515245u + 12345u;
        bytes[i] = char(x >> 16);
    }
    return bytes;
}

bool makeTestFiles(const QString& base, const QString& items, QChar separator)
{
    static const QRegularExpression nameEnd(QStringLiteral("->|#|="));
    bool made = true;
    for (const QString& item : items.split(separator, Qt::SkipEmptyParts)) {
        const QString path = base + QLatin1Char('/') + item.section(nameEnd, 0, 0);
        if (item.endsWith(QLatin1Char('/')))
            made = QDir().mkpath(path) && made;
        else if (item.contains(QLatin1String("->")) && QDir().mkpath(QFileInfo(path).path()))
            made = QFile::link(item.section(QLatin1String("->"), 1), path) && made;
        else if (item.contains(QLatin1Char('#')) && !item.contains(QLatin1Char('=')))
            made = writeTestFile(path, patternBytes(item.section(QLatin1Char('#'), 1).toLongLong())) && made;
        else
            made = writeTestFile(path, item.section(QLatin1Char('='), 1).toUtf8()) && made;
    }
    return made;
}
