#include "server/ktftpcommand.h"

#include "common/helpers.h"

KTFtpCommand::KTFtpCommand(QObject* parent)
    : QObject(parent)
{
}

const QStringList& KTFtpCommand::words()
{
    static const QStringList table = {
        QStringLiteral("UNKN"), QStringLiteral("USER"), QStringLiteral("PASS"),
        QStringLiteral("SYST"), QStringLiteral("FEAT"), QStringLiteral("PWD"),
        QStringLiteral("CWD"),  QStringLiteral("CDUP"), QStringLiteral("TYPE"),
        QStringLiteral("PASV"), QStringLiteral("LIST"), QStringLiteral("MDTM"),
        QStringLiteral("SIZE"), QStringLiteral("REST"), QStringLiteral("RETR"),
        QStringLiteral("STOR"), QStringLiteral("MKD"),  QStringLiteral("DELE"),
        QStringLiteral("RMD"),  QStringLiteral("RNFR"), QStringLiteral("RNTO"),
        QStringLiteral("SITE"), QStringLiteral("NOOP"), QStringLiteral("HELP"),
        QStringLiteral("QUIT"), QStringLiteral("NLST"), QStringLiteral("APPE"),
        QStringLiteral("ABOR"), QStringLiteral("EPSV"), QStringLiteral("OPTS"),
        QStringLiteral("MODE"), QStringLiteral("STRU"), QStringLiteral("ALLO"),
        QStringLiteral("STAT"), QStringLiteral("AUTH"), QStringLiteral("PBSZ"),
        QStringLiteral("PROT"),
    };
    Q_ASSERT(table.size() == WordCount);
    return table;
}

bool KTFtpCommand::parse(const QString& line)
{
    code = Unkn;
    argument.clear();
    if (line.isEmpty())
        return false;
    const int blank = line.indexOf(QLatin1Char(' '));
    const QString word = blank < 0 ? line : line.left(blank);
    // Only the blank right after the word separates; further blanks belong to the argument.
    const int found = words().indexOf(word.toUpper());
    if (found > 0) {
        code = found;
        if (blank >= 0)
            argument = line.mid(blank + 1);
    }
    return true;
}

QStringList KTFtpCommand::argumentParts() const
{
    QStringList parts = argument.split(QLatin1Char('/'));
    removeEmptyItems(parts);
    return parts;
}

void KTFtpCommand::reset()
{
    code = Unkn;
    argument.clear();
    replyLength = 0;
    replyWritten = 0;
}
