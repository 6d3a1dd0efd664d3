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
        QStringLiteral("QUIT"),
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
    const QStringList& table = words();
    for (int i = 0; i < table.size(); ++i) {
        const QString& word = table.at(i);
        if (!line.startsWith(word, Qt::CaseInsensitive))
            continue;
        // The first table word the line begins with wins: "LIST -al" and "LISTX" are both LIST,
        // and whatever single character follows the word is its separator.
        code = i;
        if (line.size() > word.size() + 1)
            argument = line.mid(word.size() + 1);
        break;
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
