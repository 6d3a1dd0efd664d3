#ifndef TORVEX_TESTS_ROWCHECKS_H
#define TORVEX_TESTS_ROWCHECKS_H

#include <QHash>
#include <QString>
#include <QStringList>

// For tables that run one scenario against a scripted server per row: the local files a row
// starts from, and the checks it states about the run, the wire and the files afterwards.
void setUpLocalFiles(const QString& base, const QString& setup);
// A check that fails fails the running test, with the wire and the facts in its message.
void checkRow(const QString& expectation, const QHash<QString, QString>& facts, const QStringList& wire,
              const QString& base);

#endif
