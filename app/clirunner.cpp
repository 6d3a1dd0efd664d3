#include "app/clirunner.h"

#include "common/helpers.h"
#include "settings/certificatetrust.h"
#include "settings/fbdata.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

// The final line of a reply: three digits, a blank, and not a preliminary 1xx.
bool isFinalReply(const QString& line)
{
    if (line.size() < 4 || line.at(3) != QLatin1Char(' ') || line.startsWith(QLatin1Char('1')))
        return false;
    for (int i = 0; i < 3; ++i) {
        if (!line.at(i).isDigit())
            return false;
    }
    return true;
}

// SECURITY: names and server texts reach a terminal; no escape sequence of theirs may.
QString escapeControls(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if (code < 0x20 || (code >= 0x7f && code <= 0x9f))
            shown += QStringLiteral("\\x%1").arg(code, 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

void printOut(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

void printErr(const QString& text)
{
    std::fputs(("torvex-cli: " + escapeControls(text) + "\n").toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

} // namespace

CliRunner::CliRunner(const Options& opts, QObject* parent)
    : QObject(parent)
    , options(opts)
{
    interactive = ::isatty(STDOUT_FILENO) == 1;
    connect(&client, &FTPClient::login, this, &CliRunner::onLogin);
    connect(&client, &FTPClient::logout, this, &CliRunner::onLogout);
    connect(&client, &FTPClient::commandResult, this, &CliRunner::onCommandResult);
    connect(&client, &FTPClient::changDir, this, &CliRunner::onChangDir);
    connect(&client, &FTPClient::currentDir, this, &CliRunner::onCurrentDir);
    connect(&client, &FTPClient::currentDirData, this, &CliRunner::onListing);
    connect(&client, &FTPClient::srFileFinish, this, &CliRunner::onFileFinish);
    connect(&client, &FTPClient::srProgress, this, &CliRunner::onProgress);
    connect(&client, &FTPClient::srStateChange, this, &CliRunner::onStateChange);
    connect(&client, &FTPClient::srFinish, this, &CliRunner::onFinish);
    connect(&client, &FTPClient::deleteFile, this, &CliRunner::onDeleteFile);
    connect(&client, &FTPClient::srChmod, this, &CliRunner::onChmod);
    connect(&client, &FTPClient::srChmodFinish, this, &CliRunner::onChmodFinish);
    connect(&client, &FTPClient::srCmpResult, this, &CliRunner::onCompareResult);
    connect(&client, &FTPClient::srCmpFinish, this, &CliRunner::onCompareFinish);
    connect(&client, &FTPClient::listingFailed, this, &CliRunner::onListingFailed);
    connect(&client, &FTPClient::certificateRefused, this, &CliRunner::onCertificateRefused);
    connect(&client, &FTPClient::encryptionRefused, this, &CliRunner::onEncryptionRefused);
}

void CliRunner::start()
{
    progressClock.start();
    client.setEncryption(options.encryption);
    client.setTrustFolder(FBData::defaultConfigDir());
    if (!options.trusted.isEmpty())
        client.trustOnce(options.trusted);
    client.connectServer(options.host, options.port, options.user, options.password);
}

void CliRunner::onLogin(bool successful)
{
    if (loggedIn || quitting)
        return;
    if (!successful) {
        if (!client.greeted)
            fail(Unreachable, QStringLiteral("cannot connect to %1 port %2: %3")
                                  .arg(options.host).arg(options.port).arg(lastReply));
        else
            fail(LoginRefused, QStringLiteral("login refused by %1 for user %2: %3")
                                   .arg(options.host, options.user, lastReply));
        return;
    }
    loggedIn = true;
    step = Step::Home;
    client.printDir();
}

void CliRunner::onCertificateRefused(const QSslCertificate& certificate, const QString& reason, bool changed)
{
    const QString fingerprint = CertificateTrust::toText(certificate.digest(QCryptographicHash::Sha256));
    const QString what = changed ? QStringLiteral("WARNING: the certificate of %1 port %2 changed since it was trusted")
                                 : QStringLiteral("the certificate of %1 port %2 is not trusted (%3)");
    fail(EncryptionFailed, what.arg(options.host).arg(options.port).arg(reason)
                               + QLatin1String("; SHA-256 fingerprint ") + fingerprint
                               + QLatin1String(" (accept it with --trust ") + fingerprint + QLatin1String(")"));
}

void CliRunner::onEncryptionRefused(const QString& reason)
{
    fail(EncryptionFailed, reason);
}

void CliRunner::onLogout()
{
    if (quitting) {
        emit finished(exitStatus);
        return;
    }
    if (loggedIn)
        fail(Unreachable, QStringLiteral("connection to %1 lost: %2").arg(options.host, lastReply));
    else
        fail(Unreachable, QStringLiteral("cannot connect to %1 port %2: %3")
                              .arg(options.host).arg(options.port).arg(lastReply));
}

void CliRunner::onCommandResult(const QString& command, const QString& line)
{
    lastReply = line;
    if (quitting || !isFinalReply(line))
        return;
    if (step == Step::Home && command.startsWith(QLatin1String("PWD"))) {
        // A reply that names no folder leaves us at the root; one that does arrives as currentDir.
        QTimer::singleShot(0, this, [this] {
            if (step != Step::Home || quitting)
                return;
            home = QStringLiteral("/");
            step = Step::Idle;
            runCommand();
        });
        return;
    }
    if (step != Step::Command)
        return;
    if (options.command == QLatin1String("mkdir") && command.startsWith(QLatin1String("MKD"))) {
        if (line.startsWith(QLatin1String("257"))) {
            report(QLatin1String("created ") + absolute(options.args.at(0)));
            finish(Ok);
        } else {
            fail(SomeFailed, QLatin1String("mkdir refused: ") + line);
        }
    } else if (options.command == QLatin1String("mv") && command.startsWith(QLatin1String("RNFR"))) {
        if (!line.startsWith(QLatin1String("350")))
            fail(SomeFailed, QLatin1String("rename refused: ") + line);
    } else if (options.command == QLatin1String("mv") && command.startsWith(QLatin1String("RNTO"))) {
        if (line.startsWith(QLatin1String("250"))) {
            report(QLatin1String("moved ") + renameFrom + QLatin1String(" -> ") + renameTo);
            finish(Ok);
        } else {
            fail(SomeFailed, QLatin1String("rename refused: ") + line);
        }
    }
}

void CliRunner::onCurrentDir(const QString& path)
{
    if (step != Step::Home)
        return;
    home = path;
    step = Step::Idle;
    runCommand();
}

// The full remote path, with "." and ".." resolved here: a server must not be asked to climb.
QString CliRunner::absolute(const QString& path) const
{
    const QString full = path.startsWith(QLatin1Char('/')) ? path : FTPClient::joinRemotePath(home, path);
    QStringList parts;
    for (const QString& part : full.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
        } else if (part != QLatin1String(".")) {
            parts.append(part);
        }
    }
    return QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

QString CliRunner::parentOf(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString CliRunner::nameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

void CliRunner::runCommand()
{
    const QString& command = options.command;
    const QStringList& args = options.args;
    if (command == QLatin1String("ls")) {
        lookup(absolute(args.at(0)), [this](Kind kind) { commandLs(kind); });
    } else if (command == QLatin1String("get")) {
        if (!QFileInfo(args.at(1)).isDir())
            return fail(Usage, QLatin1String("no such local folder: ") + args.at(1));
        lookup(absolute(args.at(0)), [this](Kind kind) { followLink(kind, [this](Kind followed) { commandGet(followed); }); });
    } else if (command == QLatin1String("put")) {
        if (!QFileInfo::exists(args.at(0)))
            return fail(Usage, QLatin1String("no such local file or folder: ") + args.at(0));
        lookup(absolute(args.at(1)), [this](Kind kind) { followLink(kind, [this](Kind followed) { commandPut(followed); }); });
    } else if (command == QLatin1String("rm")) {
        lookup(absolute(args.at(0)), [this](Kind kind) { commandRm(kind); });
    } else if (command == QLatin1String("mkdir")) {
        commandMkdir();
    } else if (command == QLatin1String("mv")) {
        lookup(absolute(args.at(0)), [this](Kind kind) { commandMv(kind); });
    } else if (command == QLatin1String("chmod")) {
        lookup(absolute(args.at(1)), [this](Kind kind) { commandChmod(kind); });
    } else if (command == QLatin1String("compare")) {
        if (!QFileInfo(args.at(0)).isDir())
            return fail(Usage, QLatin1String("no such local folder: ") + args.at(0));
        lookup(absolute(args.at(1)), [this](Kind kind) { followLink(kind, [this](Kind followed) { commandCompare(followed); }); });
    }
}

// Finds out what a remote path is from the row its parent's listing shows for it: a successful
// CWD does not prove a folder, a link to one passes too. Only a path its parent does not show
// (or will not list) is tried with CWD.
void CliRunner::lookup(const QString& path, LookupDone done)
{
    lookupPath = path;
    lookupDone = std::move(done);
    lookupRow.clear();
    lookupListError.clear();
    if (path == QLatin1String("/")) {
        step = Step::Idle;
        lookupDone(Kind::Folder);
        return;
    }
    const QString parent = parentOf(path);
    if (parent == client.currentRemoteDir()) {
        step = Step::ListParent;
        client.listDir();
        return;
    }
    step = Step::EnterParent;
    client.changeDir(parent);
}

// A link named for get, compare or put leads where it points: into a folder when CWD takes it,
// else to the file the server sends for it. (rm never follows: it removes the link.)
void CliRunner::followLink(Kind kind, LookupDone done)
{
    if (kind != Kind::Link)
        return done(kind);
    followDone = std::move(done);
    step = Step::ProbeLink;
    client.changeDir(lookupPath);
}

void CliRunner::enterLookupPath()
{
    step = Step::EnterPath;
    client.changeDir(lookupPath);
}

void CliRunner::onChangDir(bool successful)
{
    switch (step) {
    case Step::EnterParent:
        if (successful) {
            step = Step::ListParent;
            client.listDir();
        } else {
            enterLookupPath();
        }
        break;
    case Step::EnterPath:
        step = Step::Idle;
        if (successful)
            lookupDone(Kind::Folder);
        else if (!lookupListError.isEmpty())
            fail(SomeFailed, QStringLiteral("cannot list %1: %2").arg(parentOf(lookupPath), lookupListError));
        else
            lookupDone(Kind::Missing);
        break;
    case Step::ProbeLink:
        step = Step::Idle;
        followDone(successful ? Kind::Folder : Kind::File);
        break;
    case Step::ListFolder:
        if (!successful)
            fail(SomeFailed, QStringLiteral("cannot enter %1: %2").arg(lookupPath, lastReply));
        break;
    default:
        break;
    }
}

void CliRunner::onListingFailed(const QString& reply)
{
    if (quitting)
        return;
    if (step == Step::ListParent) {
        lookupListError = reply;
        enterLookupPath();
    } else if (step == Step::ListFolder) {
        fail(SomeFailed, QStringLiteral("cannot list %1: %2").arg(lookupPath, reply));
    }
}

void CliRunner::onListing(const QString& data, bool forDownload)
{
    if (quitting)
        return;
    if (step == Step::ListParent) {
        FTPClient::Rows rows = FTPClient::parseList(data);
        const QString name = nameOf(lookupPath);
        for (const FTPClient::Row& row : qAsConst(rows)) {
            if (FTPClient::rowEntryName(row) != name)
                continue;
            lookupRow = row;
            step = Step::Idle;
            lookupDone(FTPClient::isDirRow(row) ? Kind::Folder : FTPClient::isLinkRow(row) ? Kind::Link : Kind::File);
            return;
        }
        enterLookupPath();
        return;
    }
    if (step == Step::ListFolder) {
        FTPClient::Rows rows = FTPClient::parseList(data);
        const FTPClient::Rows sorted = FTPClient::sortRows(rows);
        for (const FTPClient::Row& row : sorted) {
            if (row.at(6) != QLatin1String(".."))
                printOut(escapeControls(row.join(QLatin1Char(' '))) + QLatin1Char('\n'));
        }
        finish(Ok);
        return;
    }
    if (step == Step::Job && forDownload) {
        client.queueDownloadListing(data);
        client.startDownload();
    }
}

void CliRunner::commandLs(Kind kind)
{
    if (kind == Kind::Missing)
        return fail(Usage, QLatin1String("no such remote file or folder: ") + lookupPath);
    if (kind != Kind::Folder) {
        printOut(escapeControls(lookupRow.join(QLatin1Char(' '))) + QLatin1Char('\n'));
        return finish(Ok);
    }
    step = Step::ListFolder;
    client.changeDir(lookupPath);
    client.listDir();
}

void CliRunner::commandGet(Kind kind)
{
    const QString remote = lookupPath;
    if (kind == Kind::Missing)
        return fail(Usage, QLatin1String("no such remote file or folder: ") + remote);
    const QString localDir = QDir::cleanPath(QFileInfo(options.args.at(1)).absoluteFilePath());
    step = Step::Job;
    if (kind == Kind::Folder) {
        client.prepareTransfer(localDir, remote == QLatin1String("/") ? remote : parentOf(remote));
        client.addDownloadFolder(remote);
    } else {
        // A link named here is fetched as the file it leads to, as other clients do.
        client.prepareTransfer(localDir, parentOf(remote));
        const QString localFile = joinPath(localDir, nameOf(remote));
        const QFileInfo present(localFile);
        const qint64 offset = options.resume && present.isFile() && !present.isSymLink() ? present.size() : 0;
        client.addDownloadFile(localFile, remote, false, offset);
    }
    client.setResumeExisting(options.resume);
    client.startDownload();
}

void CliRunner::commandPut(Kind kind)
{
    if (kind != Kind::Folder)
        return fail(Usage, QLatin1String("no such remote folder: ") + lookupPath);
    const QString local = QDir::cleanPath(QFileInfo(options.args.at(0)).absoluteFilePath());
    QString localParent = QFileInfo(local).path();
    step = Step::Job;
    client.prepareTransfer(localParent, lookupPath);
    if (QFileInfo(local).isDir())
        client.addUploadFolder(local);
    else
        client.addUploadFile(local, client.localToRemote(local), false, 0);
    client.startUpload();
}

void CliRunner::commandRm(Kind kind)
{
    const QString path = lookupPath;
    if (kind == Kind::Missing)
        return fail(Usage, QLatin1String("no such remote file or folder: ") + path);
    if (path == QLatin1String("/"))
        return fail(Usage, QStringLiteral("refusing to remove the root folder"));
    step = Step::Job;
    client.prepareDelete(QString());
    if (kind == Kind::Folder)
        client.addDeleteFolder(parentOf(path), nameOf(path));
    else
        client.addDeleteFile(parentOf(path), nameOf(path));
    client.deleteNext(KTDelInfo::Unknown);
}

void CliRunner::commandMkdir()
{
    step = Step::Command;
    // The full path: a folder change that failed must not put the folder somewhere else.
    client.makeDir(absolute(options.args.at(0)), QString());
}

void CliRunner::commandMv(Kind kind)
{
    if (kind == Kind::Missing)
        return fail(Usage, QLatin1String("no such remote file or folder: ") + lookupPath);
    renameFrom = lookupPath;
    const QString target = absolute(options.args.at(1));
    lookup(target, [this, target](Kind targetKind) {
        renameTo = targetKind == Kind::Folder ? FTPClient::joinRemotePath(target, nameOf(renameFrom)) : target;
        step = Step::Command;
        client.renameFile(renameFrom, renameTo);
    });
}

void CliRunner::commandChmod(Kind kind)
{
    const QString path = lookupPath;
    if (kind == Kind::Missing || path == QLatin1String("/"))
        return fail(Usage, QLatin1String("no such remote file or folder: ") + path);
    step = Step::Job;
    client.setChmod(parentOf(path), 0, options.args.at(0));
    client.addChmodFile(parentOf(path), nameOf(path));
    client.chmodNext();
}

void CliRunner::commandCompare(Kind kind)
{
    const QString remote = lookupPath;
    if (kind == Kind::Missing)
        return fail(Usage, QLatin1String("no such remote file or folder: ") + remote);
    compareTemp = std::make_unique<QTemporaryDir>();
    if (!compareTemp->isValid())
        return fail(Usage, QStringLiteral("cannot create a temporary folder"));
    const QString temp = QDir::cleanPath(compareTemp->path());
    const QString localDir = QDir::cleanPath(QFileInfo(options.args.at(0)).absoluteFilePath());
    client.setCompareBase(localDir, temp);
    step = Step::Job;
    if (kind == Kind::Folder) {
        client.prepareTransfer(temp, remote);
        client.addDownloadFolder(remote);
    } else {
        client.prepareTransfer(temp, parentOf(remote));
        client.addDownloadFile(joinPath(temp, nameOf(remote)), remote, false, 0);
    }
    compareWholeFolder = kind == Kind::Folder;
    client.startDownload();
}

void CliRunner::onProgress(KTDUFile* record)
{
    if (interactive && step == Step::Job)
        showProgress(record, false);
}

void CliRunner::showProgress(KTDUFile* record, bool force)
{
    const qint64 now = progressClock.elapsed();
    if (!force && lastProgressMs >= 0 && now - lastProgressMs < 200)
        return;
    lastProgressMs = now;
    const QString name = QFileInfo(record->localFile).fileName();
    QString line = name + QLatin1String("  ") + sizeToString(quint64(record->doneSize));
    if (record->fileSize > 0) {
        line += QLatin1Char('/') + sizeToString(quint64(record->fileSize));
        line += QStringLiteral("  %1%").arg(record->doneSize * 100 / record->fileSize);
    }
    if (now > 0)
        line += QLatin1String("  ") + sizeToString(quint64(record->doneSize * 1000 / now)) + QLatin1String("/s");
    printOut(QLatin1String("\r\033[K") + escapeControls(line));
    progressShown = true;
}

void CliRunner::endProgressLine()
{
    if (progressShown)
        printOut(QStringLiteral("\n"));
    progressShown = false;
}

void CliRunner::report(const QString& line)
{
    if (progressShown)
        printOut(QStringLiteral("\r\033[K"));
    printOut(escapeControls(line) + QLatin1Char('\n'));
    progressShown = false;
}

void CliRunner::onFileFinish(KTDUFile* record)
{
    if (step != Step::Job || record->stateCode == KTDUFile::Finish || options.command == QLatin1String("compare"))
        return;
    const bool upload = options.command == QLatin1String("put");
    const bool ok = record->stateCode == KTDUFile::Downloaded || record->stateCode == KTDUFile::Uploaded;
    if (ok && interactive)
        return;
    const QString from = upload ? record->localFile : record->remoteFile;
    const QString to = upload ? record->remoteFile : record->localFile;
    if (ok)
        report(QStringLiteral("ok %1 -> %2 (%3 bytes)").arg(from, to).arg(record->doneSize));
    else
        report(QStringLiteral("FAILED %1 -> %2 (%3 of %4 bytes)").arg(from, to).arg(record->doneSize).arg(record->fileSize));
}

void CliRunner::onStateChange(KTDUFile* record)
{
    if (step != Step::Job || quitting)
        return;
    if (record->stateCode != KTDUFile::DownloadError && record->stateCode != KTDUFile::UploadError)
        return;
    const bool upload = record->stateCode == KTDUFile::UploadError;
    // A file that could not be opened halts the job; a script wants the rest done anyway.
    QTimer::singleShot(0, this, [this, upload] {
        if (quitting || !client.isLoggedIn() || client.stopFlag() != 0)
            return;
        if (upload)
            client.startUpload();
        else
            client.startDownload();
    });
}

void CliRunner::onFinish()
{
    if (step != Step::Job || quitting)
        return;
    if (options.command == QLatin1String("compare")) {
        if (!client.isLoggedIn())
            return fail(Unreachable, QStringLiteral("connection to %1 lost: %2").arg(options.host, lastReply));
        client.startCompare();
        return;
    }
    const bool upload = options.command == QLatin1String("put");
    int total = 0;
    int ok = 0;
    QString summary;
    for (const KTDUFile* record : upload ? client.uploads() : client.downloads()) {
        if (record->stateCode == KTDUFile::Finish) {
            summary = record->localFile;
            continue;
        }
        ++total;
        if (record->stateCode == KTDUFile::Downloaded || record->stateCode == KTDUFile::Uploaded)
            ++ok;
    }
    endProgressLine();
    if (!interactive && !summary.isEmpty())
        report(summary);
    if (!client.isLoggedIn())
        return fail(Unreachable, QStringLiteral("connection to %1 lost: %2").arg(options.host, lastReply));
    if (interactive)
        report(QStringLiteral("%1 of %2 file(s) transferred").arg(ok).arg(total));
    finish(ok == total && failures == 0 ? Ok : SomeFailed);
}

void CliRunner::onDeleteFile(const QString& path, const QString& state)
{
    if (step != Step::Job)
        return;
    if (state.isEmpty()) {
        report(path);  // the job's summary travels as the path
        finish(failures == 0 && successes > 0 ? Ok : SomeFailed);
        return;
    }
    KTDelInfo deleted{QString(), QString()};
    deleted.stateCode = KTDelInfo::Deleted;
    if (state == deleted.stateText()) {
        ++successes;
        report(QLatin1String("deleted ") + path);
    } else {
        ++failures;
        report(QLatin1String("FAILED ") + path + QLatin1String(": ") + lastReply);
    }
}

void CliRunner::onChmod(const QString& path, bool success)
{
    if (step != Step::Job)
        return;
    if (success)
        report(QStringLiteral("mode %1 %2").arg(options.args.at(0), path));
    else
        report(QStringLiteral("FAILED %1: %2").arg(path, lastReply));
}

void CliRunner::onChmodFinish(int total, int success)
{
    if (step == Step::Job)
        finish(total > 0 && total == success ? Ok : SomeFailed);
}

void CliRunner::onCompareResult(KTDUFile* record)
{
    QString name = record->localFile;
    const QString localDir = QDir::cleanPath(QFileInfo(options.args.at(0)).absoluteFilePath());
    if (name.startsWith(localDir + QLatin1Char('/')))
        name = name.mid(localDir.size() + 1);
    if (record->stateCode == KTDUFile::Same) {
        ++successes;
        if (!interactive)
            report(QLatin1String("same ") + name);
    } else {
        ++failures;
        report(QLatin1String("different ") + name);
    }
}

void CliRunner::onCompareFinish()
{
    if (compareWholeFolder)
        reportLocalOnlyFiles();
    report(QStringLiteral("%1 same, %2 different").arg(successes).arg(failures));
    finish(failures == 0 ? Ok : SomeFailed);
}

// Local files that no remote file was compared with differ too: the remote copy is missing.
void CliRunner::reportLocalOnlyFiles()
{
    const QString localDir = QDir::cleanPath(QFileInfo(options.args.at(0)).absoluteFilePath());
    QSet<QString> compared;
    for (const KTDUFile* record : client.downloads())
        compared.insert(QDir::cleanPath(record->localFile));
    QStringList onlyHere;
    QDirIterator it(localDir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = QDir::cleanPath(it.next());
        if (!compared.contains(path))
            onlyHere.append(path.mid(localDir.size() + 1));
    }
    onlyHere.sort();
    for (const QString& name : qAsConst(onlyHere)) {
        ++failures;
        report(QLatin1String("different ") + name + QLatin1String(" (no remote file)"));
    }
}

void CliRunner::fail(int status, const QString& message)
{
    if (quitting)
        return;
    endProgressLine();
    printErr(message);
    finish(status);
}

void CliRunner::finish(int status)
{
    if (quitting)
        return;
    quitting = true;
    exitStatus = status;
    endProgressLine();
    if (client.isConnected()) {
        client.disconnectServer();
        // A server that never answers QUIT does not keep us.
        QTimer::singleShot(5000, this, [this] { emit finished(exitStatus); });
    } else {
        QTimer::singleShot(0, this, [this] { emit finished(exitStatus); });
    }
}
