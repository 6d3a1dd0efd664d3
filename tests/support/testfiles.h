#ifndef TORVEX_TESTS_TESTFILES_H
#define TORVEX_TESTS_TESTFILES_H

#include <QtCore>

// Small file helpers for tests: write and read whole files, make deterministic content.
inline bool writeTestFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline QByteArray readTestFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QByteArray patternBytes(qint64 size, quint32 seed = 1)
{
    QByteArray bytes(int(size), Qt::Uninitialized);
    quint32 x = seed * 2654435761u + 1;
    for (int i = 0; i < bytes.size(); ++i) {
        x = x * 1103515245u + 12345u;
        bytes[i] = char(x >> 16);
    }
    return bytes;
}

// Makes "name=content", "name#size" (patternBytes), "link->target" and "folder/" below base.
inline bool makeTestFiles(const QString& base, const QString& items, QChar separator = ',')
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
            made = writeTestFile(path, patternBytes(item.section('#', 1).toLongLong())) && made;
        else
            made = writeTestFile(path, item.section(QLatin1Char('='), 1).toUtf8()) && made;
    }
    return made;
}

#endif
