#ifndef TORVEX_APP_CLIRUNNER_H
#define TORVEX_APP_CLIRUNNER_H

#include "engine/ftpclient.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// Drives one FTPClient through one command of torvex-cli: connect, log in, find out what the
// remote path is, run the job, report and quit. All work happens from the engine's signals.
class CliRunner : public QObject
{
    Q_OBJECT
public:
    // Exit statuses, also listed in the help text.
    enum Status {
        Ok = 0,
        SomeFailed = 1,     // a file failed, or compare found a difference
        Usage = 2,          // bad arguments, or a local or remote path that does not exist
        Unreachable = 3,    // no connection, or the connection was lost
        LoginRefused = 4,
        EncryptionFailed = 5  // untrusted certificate, or TLS required and not offered
    };

    struct Options {
        QString host;
        quint16 port = 21;
        QString user;
        QString password;
        QString command;
        QStringList args;
        bool resume = false;  // get --continue
        int encryption = FTPClient::PlainOnly;
        QByteArray trusted;   // --trust: SHA-256 of a certificate to accept
    };

    static QString usage();
    // Parses the arguments after the program name; false with a message on error.
    static bool parseArguments(const QStringList& arguments, Options& options, QString& error, bool& help);

    // Looks host (and user, when not empty) up in the text of a .netrc file.
    static bool netrcLookup(const QString& text, const QString& host, const QString& user, QString& login,
                            QString& password);

    explicit CliRunner(const Options& options, QObject* parent = nullptr);

    void start();

signals:
    void finished(int status);

private:
    enum class Kind { Missing, Folder, File, Link };
    using LookupDone = std::function<void(Kind kind)>;

    void onLogin(bool successful);
    void onLogout();
    void onCommandResult(const QString& command, const QString& line);
    void onChangDir(bool successful);
    void onCurrentDir(const QString& path);
    void onListing(const QString& data, bool forDownload);
    void onListingFailed(const QString& reply);
    void onFileFinish(KTDUFile* record);
    void onProgress(KTDUFile* record);
    void onStateChange(KTDUFile* record);
    void onFinish();
    void onDeleteFile(const QString& path, const QString& state);
    void onChmod(const QString& path, bool success);
    void onChmodFinish(int total, int success);
    void onCompareResult(KTDUFile* record);
    void onCompareFinish();
    void onCertificateRefused(const QSslCertificate& certificate, const QString& reason, bool changed);
    void onEncryptionRefused(const QString& reason);

    void runCommand();
    void lookup(const QString& path, LookupDone done);
    void enterLookupPath();
    void followLink(Kind kind, LookupDone done);
    void reportLocalOnlyFiles();
    void commandLs(Kind kind);
    void commandGet(Kind kind);
    void commandPut(Kind kind);
    void commandRm(Kind kind);
    void commandMv(Kind kind);
    void commandChmod(Kind kind);
    void commandCompare(Kind kind);
    void commandMkdir();

    QString absolute(const QString& path) const;
    static QString parentOf(const QString& path);
    static QString nameOf(const QString& path);
    void fail(int status, const QString& message);
    void finish(int status);
    void report(const QString& line);
    void showProgress(KTDUFile* record, bool force);
    void endProgressLine();

    Options options;
    FTPClient client;
    bool interactive = false;
    bool loggedIn = false;
    bool quitting = false;
    int exitStatus = Ok;
    QString lastReply;
    QString home;

    // Path lookup in progress.
    enum class Step { Idle, Home, EnterPath, EnterParent, ListParent, ProbeLink, ListFolder, Job, Command };
    Step step = Step::Idle;
    QString lookupPath;
    LookupDone lookupDone;
    LookupDone followDone;        // what a link named for reading turned out to be
    QStringList lookupRow;        // the path's row in its parent's listing
    QString lookupListError;      // the parent's listing was refused with this

    // Job bookkeeping.
    int failures = 0;
    int successes = 0;
    bool compareWholeFolder = false;
    QString renameFrom;
    QString renameTo;
    std::unique_ptr<QTemporaryDir> compareTemp;
    QElapsedTimer progressClock;
    qint64 lastProgressMs = -1;
    bool progressShown = false;
};

#endif
