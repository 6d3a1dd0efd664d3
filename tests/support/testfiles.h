#ifndef TORVEX_TESTS_TESTFILES_H
#define TORVEX_TESTS_TESTFILES_H

#include <QByteArray>
#include <QString>

// Small file helpers for tests: write and read whole files, make deterministic content.
bool writeTestFile(const QString& path, const QByteArray& bytes);
QByteArray readTestFile(const QString& path);
QByteArray patternBytes(qint64 size, quint32 seed = 1);
// Makes "name=content", "name#size" (patternBytes), "link->target" and "folder/" below base.
bool makeTestFiles(const QString& base, const QString& items, QChar separator = QLatin1Char(','));

#endif
