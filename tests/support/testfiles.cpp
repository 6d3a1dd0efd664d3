#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
