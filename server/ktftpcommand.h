#ifndef TORVEX_SERVER_KTFTPCOMMAND_H
#define TORVEX_SERVER_KTFTPCOMMAND_H

#include <QObject>
#include <QString>
#include <QStringList>

// The command a session is handling: which word of the command table it is, its argument, and
// the counters of the reply last sent for it.
class KTFtpCommand : public QObject
{
    Q_OBJECT
public:
    // Index into the command table; also the transfer state (Pasv, List, Retr, Stor).
    enum Word {
        Unkn = 0, User, Pass, Syst, Feat, Pwd, Cwd, Cdup, Type, Pasv, List, Mdtm, Size, Rest,
        Retr, Stor, Mkd, Dele, Rmd, Rnfr, Rnto, Site, Noop, Help, Quit,
        // What standard clients expect beyond the words above.
        Nlst, Appe, Abor, Epsv, Opts, Mode, Stru, Allo, Stat,
        // FTP over TLS; unknown commands while the server has no certificate.
        Auth, Pbsz, Prot,
        WordCount
    };

    explicit KTFtpCommand(QObject* parent = nullptr);

    // The command words in table order; "UNKN" first.
    static const QStringList& words();

    // Takes the command word and argument from one line; false only for an empty line. The word
    // is everything before the first blank, so "QUITE" is no QUIT.
    bool parse(const QString& line);
    // The argument split at "/", without empty pieces.
    QStringList argumentParts() const;
    void reset();

    int code = Unkn;
    QString argument;
    int replyLength = 0;
    int replyWritten = 0;
};

#endif
