#include "support/rowchecks.h"

#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

#include <algorithm>

// "name=content;name#size;link->target" made below the local folder before the run; "#size"
// writes that many pattern bytes.
void setUpLocalFiles(const QString& base, const QString& setup)
{
    for (const QString& item : setup.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int arrow = item.indexOf(QLatin1String("->"));
        if (arrow > 0) {
            QDir().mkpath(QFileInfo(base + QLatin1Char('/') + item.left(arrow)).path());
            QFile::link(item.mid(arrow + 2), base + QLatin1Char('/') + item.left(arrow));
            continue;
        }
        const int hash = item.indexOf(QLatin1Char('#'));
        if (hash > 0) {
            writeTestFile(base + QLatin1Char('/') + item.left(hash), patternBytes(item.mid(hash + 1).toLongLong()));
            continue;
        }
        const int eq = item.indexOf(QLatin1Char('='));
        writeTestFile(base + QLatin1Char('/') + item.left(eq), item.mid(eq + 1).toUtf8());
    }
}

// Checks: out~TEXT (in the output), out!TEXT (not in it), wire+LINE (a command line starting so
// was sent), wire-LINE (none was), seq:A,B (these lines were sent one after the other),
// file:NAME=CONTENT, size:NAME<BYTES or size:NAME=BYTES, link:NAME, nolink:NAME (no link,
// dangling or not), target:NAME=OTHER (a link to OTHER in the same folder), and KEY=VALUE for a
// fact of the run (exit, state, done, fsize, steps, summary, ...).
void checkRow(const QString& expectation, const QHash<QString, QString>& facts, const QStringList& wire,
              const QString& base)
{
    QString context = QLatin1String("wire: ") + wire.join(QLatin1String(" / "));
    for (auto it = facts.cbegin(); it != facts.cend(); ++it)
        context += QLatin1Char('\n') + it.key() + QLatin1String(": ") + it.value();
    const QString output = facts.value(QStringLiteral("out"));
    auto sentStartingWith = [&wire](const QString& prefix) {
        return std::any_of(wire.cbegin(), wire.cend(), [&prefix](const QString& line) { return line.startsWith(prefix); });
    };
    auto path = [&base](const QString& name) { return base + QLatin1Char('/') + name; };
    for (const QString& item : expectation.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString value = item.mid(4);
        const QString name = item.section(QLatin1Char(':'), 1).section(QRegularExpression(QStringLiteral("[=<]")), 0, 0);
        const QString wanted = item.section(QLatin1Char(':'), 1).mid(name.size() + 1);
        bool ok = true;
        if (item.startsWith(QLatin1String("out~")))
            ok = output.contains(value);
        else if (item.startsWith(QLatin1String("out!")))
            ok = !output.contains(value);
        else if (item.startsWith(QLatin1String("wire+")))
            ok = sentStartingWith(item.mid(5));
        else if (item.startsWith(QLatin1String("wire-")))
            ok = !sentStartingWith(item.mid(5));
        else if (item.startsWith(QLatin1String("seq:")))
            ok = (QLatin1Char('\n') + wire.join(QLatin1Char('\n')) + QLatin1Char('\n'))
                     .contains(QLatin1Char('\n') + value.split(QLatin1Char(',')).join(QLatin1Char('\n')) + QLatin1Char('\n'));
        else if (item.startsWith(QLatin1String("file:")))
            ok = QFileInfo(path(name)).isFile() && readTestFile(path(name)) == wanted.toUtf8();
        else if (item.startsWith(QLatin1String("size:")) && item.contains(QLatin1Char('<')))
            ok = QFileInfo(path(name)).size() < wanted.toLongLong();
        else if (item.startsWith(QLatin1String("size:")))
            ok = QFileInfo(path(name)).size() == wanted.toLongLong();
        else if (item.startsWith(QLatin1String("link:")))
            ok = QFileInfo(path(name)).isSymLink();
        else if (item.startsWith(QLatin1String("nolink:")))
            ok = !QFileInfo(path(name)).isSymLink();
        else if (item.startsWith(QLatin1String("target:")))
            ok = QFileInfo(path(name)).symLinkTarget() == path(wanted);
        else if (facts.contains(item.section(QLatin1Char('='), 0, 0)))
            ok = facts.value(item.section(QLatin1Char('='), 0, 0)) == item.section(QLatin1Char('='), 1);
        else
            QFAIL(qPrintable(QLatin1String("unknown check ") + item));
        QVERIFY2(ok, qPrintable(QStringLiteral("%1 failed; %2").arg(item, context)));
    }
}

// The engine itself, as the window drives it, against misbehaving servers.
