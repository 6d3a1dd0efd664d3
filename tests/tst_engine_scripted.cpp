// The engine and torvex-cli against the scripted server playing good, odd and hostile servers.
// An engine row is a script for the server and a list of steps: actions on the engine, and
// checks that are retried until they hold (so a check also waits for what it states).
#include "engine/ftpclient.h"
#include "settings/fbdata.h"
#include "support/ftppeers.h"
#include "support/scriptedftpserver.h"

#include <QtTest>

#include <functional>

namespace {

// Far below the engine's own time-outs: a row that needs one of them has hung.
const int Wait = 20000;
using Facts = QHash<QString, QString>;
using Arg = const QString&;
using Action = std::function<void(Arg)>;

// Does one check hold? wire+LINE / wire-LINE (a command line starting so was / was not sent),
// seq:A,B (sent one right after the other), only:P|Q=A,B (the lines starting with P or Q),
// file:NAME=CONTENT, filler:NAME=SIZE, size:NAME<BYTES, link:NAME, nolink:NAME,
// target:NAME=OTHER (a link to OTHER in the same folder), or FACT=V, FACT~TEXT (contains),
// FACT!TEXT (does not contain), FACT>N.
bool holds(const QString& item, const Facts& facts, const QStringList& wire, const QString& base)
{
    const QString lines = '\n' + wire.join('\n') + '\n';
    if (item.startsWith("wire+") || item.startsWith("wire-"))
        return lines.contains('\n' + item.mid(5)) == (item.at(4) == '+');
    const QString kind = item.section(':', 0, 0);
    const QString name = item.section(':', 1).section(QRegularExpression("[=<]"), 0, 0);
    const QString wanted = item.section(':', 1).mid(name.size() + 1);
    const QFileInfo file(base + '/' + name);
    if (kind == "seq")
        return lines.contains('\n' + name.split(',').join('\n') + '\n');
    if (kind == "only")
        return wire.filter(QRegularExpression("^(?:" + name + ")")).join(',') == wanted;
    if (kind == "file")
        return file.isFile() && readTestFile(file.filePath()) == wanted.toUtf8();
    if (kind == "filler")
        return readTestFile(file.filePath()) == patternBytes(wanted.toLongLong());
    if (kind == "size")
        return file.size() < wanted.toLongLong();
    if (kind == "link" || kind == "nolink")
        return file.isSymLink() == (kind == "link");
    if (kind == "target")
        return file.symLinkTarget() == base + '/' + wanted;
    static const QRegularExpression form("(?s)^(\\w+)([=~!>])(.*)$");  // (?s): dots match line breaks
    const QRegularExpressionMatch fact = form.match(item);
    if (!fact.hasMatch() || !facts.contains(fact.captured(1)))
        return false;
    const QString value = facts.value(fact.captured(1));
    const QString op = fact.captured(2);
    const QString text = fact.captured(3);
    if (op == "~" || op == "!")
        return value.contains(text) == (op == "~");
    return op == ">" ? value.toLongLong() > text.toLongLong() : value == text;
}

QString context(const Facts& facts, const QStringList& wire)
{
    QString text = "wire: " + wire.join(" / ");
    for (auto it = facts.cbegin(); it != facts.cend(); ++it)
        text += '\n' + it.key() + ": " + it.value();
    return text;
}

// A signal argument or a fact as text, a flag as 1 or 0.
QString asText(const QVariant& value)
{
    return value.type() == QVariant::Bool ? QString::number(value.toInt()) : value.toString();
}

// One text per signal caught, joined.
QString joined(const QSignalSpy& spy, std::function<QString(const QList<QVariant>&)> part,
               QChar separator = ',')
{
    QStringList parts;
    for (const QList<QVariant>& signal : spy)
        parts << part(signal);
    return parts.join(separator);
}

// Listing rows in script form: "d NAME", "f NAME" or "l NAME -> TARGET", one each.
QString rows(const QStringList& entries)
{
    static const QHash<QChar, QString> modes = {
        {'d', "drwxr-xr-x 2 u g 4096"}, {'f', "-rw-r--r-- 1 u g 5"}, {'l', "lrwxrwxrwx 1 u g 5"}};
    QString text;
    for (const QString& entry : entries)
        text += modes.value(entry.at(0)) + " Jan 01 12:00 " + entry.mid(2) + "\\n";
    return text;
}

// Every signal a row may count; the count of each is a fact under the spy's name.
const char* const watched[][2] = {{"login", SIGNAL(login(bool))}, {"logout", SIGNAL(logout())},
    {"cd", SIGNAL(changDir(bool))}, {"pwd", SIGNAL(currentDir(QString))},
    {"listing", SIGNAL(currentDirData(QString, bool))}, {"listfail", SIGNAL(listingFailed(QString))},
    {"result", SIGNAL(commandResult(QString, QString))}, {"finish", SIGNAL(srFinish(QString, QString))},
    {"filefinish", SIGNAL(srFileFinish(KTDUFile*))}, {"sized", SIGNAL(srFileSize(KTDUFile*))},
    {"statechange", SIGNAL(srStateChange(KTDUFile*))}, {"stop", SIGNAL(srStop())},
    {"deleted", SIGNAL(deleteFile(QString, QString))}, {"chmod", SIGNAL(srChmod(QString, bool))},
    {"chmodfinish", SIGNAL(srChmodFinish(int, int))}};

QString listing(const QString& folder, const QStringList& entries)
{
    return QStringLiteral("LIST@%1 => 226 [data=%2]").arg(folder, rows(entries));
}

} // namespace

class TestEngineScripted : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ScriptedFtpServer> server;
    std::unique_ptr<FTPClient> client;
    std::unique_ptr<FBData> store;
    std::map<QString, std::unique_ptr<QSignalSpy>> spies;
    Facts said;         // what the calls returned: stopped, resumed
    QStringList steps;  // doneSize at each progress signal
    bool uploading = false;
    bool prepared = false;
    bool skipped = false;
    quint16 port = 0;
    QString mounted;

    QHash<QString, Action> actions();
    Facts facts() const;
    QString local(const QString& name) const { return dir->path() + '/' + name; }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        server = std::make_unique<ScriptedFtpServer>();
        client = std::make_unique<FTPClient>();
        QVERIFY(dir->isValid() && server->listen());
        port = server->port();
        said.clear();
        steps.clear();
        uploading = prepared = skipped = false;
        for (const auto& signal : watched)
            spies[signal[0]] = std::make_unique<QSignalSpy>(client.get(), signal[1]);
        connect(client.get(), &FTPClient::srProgress, this,
                [this](KTDUFile* record) { steps << QString::number(record->doneSize); });
        // Folder listings of a download job go back into it, as the window does.
        connect(client.get(), &FTPClient::currentDirData, this, [this](const QString& text, bool job) {
            if (job) {
                client->queueDownloadListing(text);
                client->startDownload();
            }
        });
    }

    void cleanup()
    {
        client.reset();
        server.reset();
        store.reset();
        if (!mounted.isEmpty())
            QProcess::execute("umount", {mounted});
        mounted.clear();
    }

    void engine_data();
    void engine()
    {
        QFETCH(QString, script);
        QFETCH(QString, run);
        QVERIFY(server->addScript(script));
        const auto act = actions();
        static const QRegularExpression check("^(\\w+[=~!>]|wire[+-]|\\w+:)");
        for (const QString& step : run.split(QRegularExpression("; ?"), Qt::SkipEmptyParts)) {
            if (check.match(step).hasMatch()) {
                QTRY_VERIFY2_WITH_TIMEOUT(holds(step, facts(), server->commands(), dir->path()),
                    qPrintable(step + " failed; " + context(facts(), server->commands())), Wait);
                continue;
            }
            const QString action = step.section(' ', 0, 0);
            QVERIFY2(act.contains(action), qPrintable("unknown action " + action));
            act.value(action)(step.section(' ', 1));
            if (QTest::currentTestFailed() || skipped)
                return;
        }
    }

    void cli_data();
    void cli()
    {
        QFETCH(QString, script);
        QFETCH(QString, command);
        QFETCH(QString, setup);
        QFETCH(QString, expect);
        const QString cli = qEnvironmentVariable("TORVEX_CLI");
        if (cli.isEmpty() || !QFileInfo(cli).isExecutable())
            QSKIP("torvex-cli is not built");
        QVERIFY(server->addScript(script));
        QVERIFY(makeTestFiles(dir->path(), setup + ";in/", ';'));
        const QString line = QString("--port %1 --user u --password p 127.0.0.1 ").arg(port) + command;
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(cli, line.split(' ').replaceInStrings("{L}", dir->path()));
        QVERIFY(process.waitForStarted());
        // The server lives in this thread: wait by turning the event loop, never by blocking.
        QTRY_VERIFY_WITH_TIMEOUT(process.state() == QProcess::NotRunning, Wait);
        const Facts facts{{"exit", QString::number(process.exitCode())}, {"out", process.readAll()}};
        QVERIFY2(process.exitStatus() == QProcess::NormalExit, qPrintable(facts.value("out")));
        for (const QString& item : expect.split(';')) {
            QVERIFY2(holds(item, facts, server->commands(), dir->path()),
                     qPrintable(item + " failed; " + context(facts, server->commands())));
        }
    }

    void folderExpansionStopsAtDepthLimit()
    {
        client->prepareTransfer(dir->path(), "/r");
        const QString listing = rows({"d x", "f f"}).replace("\\n", "\r\n");
        client->remoteDir = "/r" + QStringLiteral("/x").repeated(FTPClient::MaxFolderDepth);
        QCOMPARE(client->queueDownloadListing(listing), 1);  // the file, not the folder below the limit
        QVERIFY(client->downloadFolders.isEmpty());
        client->remoteDir = "/r/x";
        QCOMPARE(client->queueDownloadListing(listing), 2);
        QCOMPARE(client->downloadFolders, QStringList{"/r/x/x"});
    }
};

// What the engine said and did so far, and the local files, by name for the checks.
Facts TestEngineScripted::facts() const
{
    Facts all = said;
    auto add = [&all](const char* key, const QVariant& value) { all.insert(key, asText(value)); };
    auto spy = [this](const char* name) -> const QSignalSpy& { return *spies.at(name); };
    for (const auto& entry : spies)
        all.insert(entry.first, QString::number(entry.second->count()));
    auto text = [](int i, int n = -1) {  // argument i, its first n characters
        return [i, n](const QList<QVariant>& s) { return s.at(i).toString().left(n); };
    };
    auto args = [](const QList<QVariant>& s) {
        QStringList parts;
        for (const QVariant& value : s)
            parts << asText(value);
        return parts.join(' ').trimmed();
    };
    add("logins", joined(spy("login"), args));
    add("cds", joined(spy("cd"), args));
    add("loggedin", client->isLoggedIn());
    add("closed", client->isClosed());
    add("busy", client->isBusy());
    add("connections", server->connectionCount());
    add("here", client->currentRemoteDir());
    add("pwd", spy("pwd").isEmpty() ? QString() : spy("pwd").last().at(0).toString());
    add("dataclosed", client->dataSocket->state() == QAbstractSocket::UnconnectedState);
    add("commands", joined(spy("result"), text(0), '|'));
    add("codes", joined(spy("result"), text(1, 3)));
    auto repliedTo = [](const QList<QVariant>& s) {  // the command a reply line was taken for
        const QString word = s.at(0).toString().section(' ', 0, 0);
        return word.isEmpty() ? QStringLiteral("-") : word;
    };
    add("replies", joined(spy("result"), repliedTo, ' '));
    QStringList listings;  // browsing only, not a download job's
    for (const QList<QVariant>& s : spy("listing")) {
        if (!s.at(1).toBool())
            listings << s.at(0).toString();
    }
    const FTPClient::Rows last = FTPClient::parseList(listings.isEmpty() ? QString() : listings.last());
    add("listings", listings.size());
    add("entries", last.size());
    add("firstentry", last.isEmpty() ? QString() : last.first().at(6));

    add("words", server->commands().replaceInStrings(QRegularExpression(" .*"), QString()).join(' '));
    add("wire", server->commands().join('|'));
    int depth = 0;
    for (const QString& line : server->commands().filter(QRegularExpression("^CWD ")))
        depth = qMax(depth, int(line.count('/')));
    add("depth", depth);

    const QList<KTDUFile*> records = uploading ? client->uploads() : client->downloads();
    QStringList states;
    QStringList remotes;
    QByteArray uploaded;
    for (const KTDUFile* record : records) {
        if (record->stateCode == KTDUFile::Finish)
            continue;
        states << record->stateText();
        remotes << record->remoteFile + ' ' + record->stateText();
        if (record->stateCode == KTDUFile::Uploaded)
            uploaded += readTestFile(record->localFile);
    }
    remotes.sort();
    add("states", states.join(','));
    add("records", remotes.join(','));
    add("summary", records.isEmpty() ? QString() : records.last()->localFile);
    if (!records.isEmpty()) {
        add("done", records.first()->doneSize);
        add("fsize", records.first()->fileSize);
        add("synced", QFileInfo(records.first()->localFile).size() == records.first()->doneSize);
    }
    add("sent", server->storedData() == uploaded);
    add("steps", steps.join(','));
    add("flag", client->stopFlag());
    add("finishedin", joined(spy("finish"), text(0)).replace(dir->path(), "{L}"));
    add("deletes", joined(spy("deleted"), args, '|'));
    add("rmmode", client->deleteMode);
    add("chmods", joined(spy("chmod"), args));
    add("chmodtotal", joined(spy("chmodfinish"), args));
    const QList<QVariant> chmodEnd = spy("chmodfinish").value(0);
    add("chmodfails", chmodEnd.value(0).toInt() - chmodEnd.value(1).toInt());
    add("recursion", client->chmodRecursion);
    if (store)
        add("online", store->users().first()->online);

    QStringList tree;
    QDirIterator it(dir->path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        tree << it.next().mid(dir->path().size() + 1);
    tree.sort();
    add("tree", tree.join(','));
    return all;
}

// The actions a row may take, by name; none of them waits (but login), the checks after them do.
QHash<QString, Action> TestEngineScripted::actions()
{
    auto word = [](Arg text, int i) { return text.section(' ', i, i); };
    auto rest = [](Arg text) { return text.section(' ', 1); };
    auto queue = [this](bool upload) {
        if (!prepared)
            client->prepareTransfer(dir->path(), "/");
        prepared = true;
        uploading = upload;
    };
    auto connectTo = [this](Arg host) {
        client->connectServer(host.isEmpty() ? "127.0.0.1" : host, port, "u", "p");
    };
    auto login = [this, connectTo](Arg host) {
        const int before = spies.at("login")->count();
        connectTo(host);
        QTRY_VERIFY_WITH_TIMEOUT(spies.at("login")->count() > before, Wait);
    };
    auto download = [this, queue](const QString& a, bool link) {  // NAME [OFFSET]
        queue(false);
        bool isOffset = false;
        const qint64 offset = a.section(' ', -1).toLongLong(&isOffset);
        const QString name = isOffset ? a.section(' ', 0, -2) : a;
        client->addDownloadFile(local(name), '/' + name, link, offset);
    };
    auto mount = [this](Arg a) {  // a small tmpfs plays the full disk
        const QStringList options = QStringLiteral("-t tmpfs -o size=64k tmpfs").split(' ') << local(a);
        skipped = !QDir().mkpath(local(a)) || QProcess::execute("mount", options) != 0;
        if (skipped)
            QSKIP("cannot mount a tmpfs here");
        mounted = local(a);
    };
    auto moves = [this](Arg a) {  // FROM>TO,...
        QList<FTPClient::PathPair> pairs;
        for (const QString& move : a.split(','))
            pairs << FTPClient::PathPair(move.section('>', 0, 0), move.section('>', 1));
        client->addMoves(pairs);
    };
    auto useStore = [this](Arg) {  // the server's user list, its first user online
        store = std::make_unique<FBData>(local("store"), nullptr);
        store->setUserOnline(store->users().first()->name, true);
        client->setDataStore(store.get());
    };
    return {{"connect", connectTo},
            {"login", login},
            {"offline", [this](Arg) { port = freeLoopbackPort(); }},  // nobody listens there
            {"replytimeout", [this](Arg a) { client->setReplyTimeout(a.toInt()); }},
            {"greetingtimeout", [this](Arg a) { client->setGreetingTimeout(a.toInt()); }},
            {"stalltimeout", [this](Arg a) { client->setStallTimeout(a.toInt()); }},
            {"listinglimit", [this](Arg a) { client->setListingLimit(a.toInt()); }},
            {"chunks", [this](Arg a) { server->setChunkSize(a.toInt()); }},  // replies in pieces
            {"codec", [this](Arg a) { client->setCodecName(a); }},
            {"files", [this](Arg a) { makeTestFiles(dir->path(), a); }},  // may fill a small disk on purpose
            {"mount", mount},
            {"base",  // LOCAL-FOLDER REMOTE-FOLDER
             [this, word, rest](Arg a) { prepared = true, client->prepareTransfer(local(word(a, 0)), rest(a)); }},
            {"get", [download](Arg a) { download(a, false); }},
            {"link", [download](Arg a) { download(a, true); }},
            {"getdir", [this, queue](Arg a) { queue(false), client->addDownloadFolder(a); }},
            {"put", [this, queue](Arg a) { queue(true), client->addUploadFile(local(a), "/" + a, false, 0); }},
            {"putdir", [this, queue](Arg a) { queue(true), client->addUploadFolder(local(a)); }},
            {"start", [this](Arg) { prepared = false, uploading ? client->startUpload() : client->startDownload(); }},
            {"stop", [this](Arg) { said["stopped"] = asText(client->stopTransfers()); }},
            {"resume", [this](Arg) { said["resumed"] = asText(client->resumeTransfers()); }},
            {"pwd", [this](Arg) { client->printDir(); }},
            {"cd", [this](Arg a) { client->changeDir(a); }},
            {"ls", [this](Arg) { client->listDir(); }},
            {"send", [this](Arg a) { client->sendCommand(a); }},
            {"rename", [this, word, rest](Arg a) { client->renameFile(word(a, 0), rest(a)); }},
            {"moves", moves},
            {"rmstart", [this](Arg a) { client->prepareDelete(a); }},
            {"rmfile", [this, word, rest](Arg a) { client->addDeleteFile(word(a, 0), rest(a)); }},
            {"rmdir", [this, word, rest](Arg a) { client->addDeleteFolder(word(a, 0), rest(a)); }},
            {"rmrun", [this](Arg) { client->deleteNext(KTDelInfo::Unknown); }},
            // RETURN-FOLDER RECURSION MODE
            {"chmodset", [this, word](Arg a) { client->setChmod(word(a, 0), word(a, 1).toInt(), word(a, 2)); }},
            {"chmodfile", [this, word, rest](Arg a) { client->addChmodFile(word(a, 0), rest(a)); }},
            {"chmoddir", [this, word, rest](Arg a) { client->addChmodFolder(word(a, 0), rest(a)); }},
            {"chmodrun", [this](Arg) { client->chmodNext(); }},
            {"store", useStore},
            {"quit", [this](Arg) { client->disconnectServer(); }},
            {"raw", [this](Arg a) { server->sendRaw(a.toUtf8() + "\r\n"); }},
            {"flood", [this](Arg a) { server->sendRaw(QByteArray(a.toInt(), 'x')); }},  // one endless line
            {"hangup", [this](Arg) { server->closeControl(); }},
            {"settle", [](Arg) { QTest::qWait(150); }},  // time for what should not happen
            {"idle", [this](Arg) { QTRY_VERIFY_WITH_TIMEOUT(!client->isBusy(), Wait); }}};
}


void TestEngineScripted::engine_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("run");
    auto row = [](const char* name, QString script, QString run) {
        QTest::newRow(name) << script << run;
    };
    const QString got = QStringLiteral("start; finish=1; states=dowloaded; ");
    const QString failed = QStringLiteral("start; finish=1; states=dowloadError; ");

    // One file down: resume only from a shorter local part, never through a link, keep the old file on failure.
    row("localPartLongerThanRemoteStartsAgainFromZero", "SIZE => 213 5 | RETR => [data=hello]",
        "files f=something; login; get f 9; " + got + "file:f=hello; wire-REST");
    row("sizeReplyNotANumberLeavesSizeZero", "SIZE => 213 -12 | RETR => [data=hello]",
        "login; get f; " + got + "fsize=0; file:f=hello");
    row("finalReplyBeforeDataKeepsTheLateBytes", "SIZE => 213 300000 | RETR => [bytes=300000][before][datadelay=100]",
        "login; get f; " + got + "filler:f=300000; filefinish=2");
    row("shortFileFails", "SIZE => 213 1000 | RETR => [bytes=500]",
        "login; get f; " + failed + "done=500; summary=Dowload Finish, Total: 1 Success: 0");
    row("linkWithoutListedTargetTakesItFromRetr", "RETR => [data=target.txt]",
        "login; link f; " + got + "target:f=target.txt");
    row("neverWritesThroughSymbolicLink", "RETR => [data=overwritten]", "files outside/victim=precious,"
        "f->outside/victim; login; get f; " + failed + "file:outside/victim=precious; wire-RETR");
    row("refusedPassiveKeepsTheOldFile", "PASV => 425 No passive | RETR => 425 No data connection",
        "files f=precious; login; get f; " + failed + "file:f=precious");
    // The queue runs from its end; an old, longer file is cut short; a refused SIZE: size unknown.
    row("downloadsRunFromTheEndOfTheQueue", "RETR a => [data=AAA] | RETR b => [data=BBBB] | RETR c => [data=CCCCC]",
        "files a=old and longer; login; get a; get b; get c; start; finish=1; only:RETR=RETR c,RETR b,RETR a; "
        "seq:TYPE I,SIZE c,MDTM c,PASV,RETR c; wire-REST; file:a=AAA; file:c=CCCCC; fsize=0; done=3; sized=0; "
        "states=dowloaded,dowloaded,dowloaded; filefinish=4; summary=Dowload Finish, Total: 3 Success: 3; "
        "finishedin={L}");
    // Uploads go in order, in blocks, whatever preliminary replies come.
    row("uploadSendsBlocksOf10240", "", "files f#25000; login; put f; start; finish=1; states=uploaded; sent=1; "
        "steps=10240,20480,25000; seq:TYPE I,PASV,STOR f; summary=Upload Finish, Total: 1 Success: 1");
    // A local file that shrinks on its way up reads short: a failed record, not a short copy.
    row("shortLocalReadFailsTheUpload", "",
        "files f#25000; login; put f; start; files f=short; finish=1; states=uploadError");
    row("uploadsInOrderAfter125AndTwoPreliminaryReplies",
        "STOR => [pre=125 Data connection already open; transfer starting.] | "
        "STOR => [pre=125 Data connection already open.\\n150 Opening data connection.] | STOR => 226 Done.",
        "files a#30000,b#5000,e=; login; put a; put b; put e; start; finish=1; states=uploaded,uploaded,uploaded; "
        "sent=1; only:STOR=STOR a,STOR b,STOR e");
    row("uploadFolderWalkMakesFoldersBeforeTheirFiles", "", "files F/x=x,F/S/y=y,F/E/; login; base . /r; putdir F; "
        "start; finish=1; sent=1; only:MKD|STOR=MKD F,STOR x,MKD S,STOR y; seq:CWD /r/F,PWD,TYPE I,PASV,STOR x; "
        "seq:CWD /r/F/S,PWD,TYPE I,PASV,STOR y");
    row("vanishedUploadFolderFails", "", "login; base . /r; putdir gone; start; finish=1; states=uploadError; "
        "summary=Upload Finish, Total: 1 Success: 0");
    row("unsafeNamesNeverReachTheWire", "RETR => [data=x]",
        "files up\nload=data; login; get good; get bad\r\nDELE x; start; finish=1; states=dowloaded,dowloadError; "
        "put up\nload; start; finish=2; states=uploadError; wire!bad; wire!DELE; wire!load");

    // A lost connection fails the file once; resuming goes on from where the data stopped.
    row("connectionLossFailsOnceAndResumeContinuesWithRest",
        "SIZE => 213 200000 | RETR => [bytes=200000][cut=60000][delay=120000] | RETR => [bytes=200000][skip=60000]",
        "login; get f; start; done=60000; hangup; finish=1; states=dowloadError; statechange=1; flag=1; "
        "summary=Dowload Finish, Total: 1 Success: 0; closed=1; settle; finish=1; login; resume; resumed=1; "
        "finish=2; states=dowloaded; wire+REST 60000; filler:f=200000");
    // A late second reply to the cut transfer is not taken for the next command's.
    row("stopKeepsControlChannelInStep",
        "SIZE => 213 4000000 | PWD => 257 \"/after\" is the current directory. | "
        "RETR => 426 Connection closed; transfer aborted. [bytes=4000000][delay=200][cut=4000000]",
        "login; get f; start; done>0; stop; stopped=1; flag=2; stop=1; flag=1; states=dowloadError; synced=1; "
        "raw 226 Transfer complete.; pwd; pwd=/after; settle; stop=1");
    row("stopBeforeRetrSendsNoRetr", "RETR => [data=content]",
        "stop; stopped=0; flag=0; resume; resumed=0; login; get f; start; stop; stopped=1; stop=1; idle; wire-RETR; "
        "states=dowloadError; resume; resumed=1; finish=1; states=dowloaded; file:f=content; stop=1");
    // Stalled transfers are cut and the job goes on over the same connection; a command that
    // moves no data ends on the reply time-out.
    const QString stalled = "stalltimeout 600; login; get f; get g; start; finish=1; "
                            "states=dowloadError,dowloadError; loggedin=1; only:RETR=RETR g,RETR f";
    row("preliminaryReplyRepeatedForEver", "RETR => [repeat=100]", stalled);
    row("oneByteAtATime", "RETR => [data=abcdefghijklmnopqrstuvwxyz][trickle=100]", stalled);
    row("endlessPreliminaryRepliesEnd", "SIZE => [repeat=100]",
        "stalltimeout 600; replytimeout 800; login; get f; " + failed + "loggedin=0");
    // The disk fills while the file is written; a small file only fails at the final flush or close.
    row("largerThanTheDisk", "SIZE => 213 300000 | RETR => [bytes=300000]",
        "mount disk; login; get disk/f; " + failed + "summary=Dowload Finish, Total: 1 Success: 0");
    row("largerThanTheDiskSizeUnknown", "RETR => [bytes=300000]", "mount disk; login; get disk/f; " + failed);
    row("smallFileOnFullDisk", "RETR => [bytes=5000]",
        "mount disk; files disk/filler#131072; login; get disk/f; " + failed);

    // Folder downloads: hostile names are skipped, links never lead out, a folder is listed once.
    QString hostile;
    const QString nul = QString("nul") + QChar(0) + "name";
    for (const QString& name :
         QStringList{"", ".", "..", "../escape", "a/b", "..\\win", "sub\\x", nul, "cr\rname"})
        hostile += rows({"f " + name, "d " + name});
    row("hostileListingNamesAreSkippedAndFoldersListedOnce",
        "PWD => 257 \"/d\" is the current directory. | RETR ok.txt => [data=good] | LIST => 226 [data=" + hostile
            + rows({"l abs -> /etc/passwd", "l up -> ../../outside", "l inner -> ok.txt", "f ok.txt"}) + "]",
        "files job/; login; base job /; getdir /d; getdir /d/; getdir /d; start; finish=1; "
        "records=/d/abs dowloadError,/d/inner dowloaded,/d/ok.txt dowloaded,/d/up dowloadError; only:CWD=CWD /d; "
        "only:LIST=LIST -al; only:RETR=RETR ok.txt; file:job/d/ok.txt=good; target:job/d/inner=job/d/ok.txt; "
        "tree=job,job/d,job/d/inner,job/d/ok.txt");
    row("listingCutAtItsBoundFails", "LIST => 226 Done [bytes=5000]",
        "listinglimit 1000; login; ls; listfail=1; listings=0; getdir /d; start; finish=1; "
        "records=/d dowloadError; listings=0");
    // A refused change leaves us where the server confirmed we are: later downloads still go.
    row("refusedFolderChangeDoesNotBlockLaterDownloads", "CWD /nope => 550 No such folder | RETR => [data=content]",
        "login; pwd; pwd=/; cd /nope; ls; cds=0; get f; " + got + "file:f=content");
    // PWD naming the folder a refused CWD asked for confirms it just as well.
    row("pwdConfirmingTheFolderClearsTheGuard", "CWD /x => 550 No. | PWD => 257 \"/x\"",
        "login; cd /x; pwd; pwd=/x; send DELE f; idle; wire+DELE f");
    // A listing the window asked for, still on its way when a download starts, is not the job's.
    row("browseListingInFlightIsNotTheJobs",
        "PWD => 257 \"/c\" is the current directory. | LIST => 226 [data=" + rows({"f top"})
            + "] | LIST => 226 [data=" + rows({"f x"}) + "] | RETR x => [data=X]",
        "files job/; login; base job /; ls; getdir /c; start; finish=1; records=/c/x dowloaded; "
        "file:job/c/x=X; listings=1; firstentry=top");
    row("rawListingIsNotTheJobs",
        "LIST => 425 Use PASV first. | PWD => 257 \"/c\" is the current directory. | LIST => 226 "
            "[data=" + rows({"f x"}) + "] | RETR x => [data=X]",
        "files job/; login; base job /; send LIST; getdir /c; start; finish=1; "
        "records=/c/x dowloaded; file:job/c/x=X");

    // Logins: multi-line and split replies, each line reported for its command.
    const QString logIn = QStringLiteral("login; logins=1; pwd; pwd=/; idle; words=USER PASS PWD; ");
    row("multiLineRepliesGiveOneLogin", "GREETING => 220-Welcome to a chatty server\\n220-Second line\\n220 Ready | "
        "PASS => 230-Welcome back\\n 230 lookalike text\\n230 Logged in", logIn + "replies=- - - USER PASS PASS PASS "
        "PWD");
    row("repliesSplitIntoSmallReads", "GREETING => 220-multi\\n220 line greeting",
        "chunks 2; " + logIn + "replies=- - USER PASS PWD");
    row("userAnsweredWith230SkipsPassword", "USER => 230 No password needed.",
        "login; logins=1; pwd; idle; words=USER PWD; replies=- USER PWD");
    row("refusedUserSendsNoPassword", "USER => 530 Not allowed.", "login; logins=0; idle; words=USER; "
        "replies=- USER");
    row("writesNothingBeforeTheGreeting", "GREETING =>", "connect; send SYST; connections=1; settle; words=; "
        "raw 220 late hello; idle; words=USER PASS SYST; logins=1");
    row("unsolicitedLineDoesNotRepeatLoginOnResolvedHost", "",
        "login localhost; raw 230 Stray line; replies=- USER PASS PASS; settle; logins=1");
    row("refusedConnectionReportsLoginFailure", "",
        "greetingtimeout 300; offline; login; logins=0; closed=1; busy=0; result>0; settle; logins=0");
    row("silentGreetingTimesOut", "GREETING =>", "greetingtimeout 300; login; logins=0; closed=1; "
        "busy=0; result>0; raw 220 too late; settle; words=; logins=0");
    row("silentServerTimesOutAndLogsOut", "PWD => [silent]",
        "login; replytimeout 300; pwd; logout=1; closed=1; busy=0; settle; logout=1");
    row("endlessLineIsCutOff", "", "login; replytimeout 300; flood 131072; logout=1; closed=1; busy=0");
    row("quitLogsOutAndResetsStore", "", "quit; closed=1; store; login; quit; logout=1; logins=1; seq:QUIT; "
        "online=0; loggedin=0; settle; logout=1");
    // SECURITY: a line break or NUL in a command never smuggles a second command out.
    row("lineBreakInCommandNeverReachesWire", "", "login; send DELE a\r\nDELE precious; send DELE b"
        + QString(QChar(0)) + "x; pwd; pwd=/; idle; words=USER PASS PWD; codes~501; commands!\n");

    // Folders and listings: after a refused change the engine asks again for the folder it believes
    // it is in; the queue always moves on to PWD, a listing comes whole or not at all, and data
    // connections go only to the control connection's peer.
    row("folderChangesAndCurrentFolder",
        "CWD /missing => 550 No such folder. | PWD => 257 \"/pub/my \"\"quoted\"\" dir\" is current.",
        "login; cd /pub; cds=1; here=/pub; cd /pub; cd /missing; cds=1,0; only:CWD=CWD /pub,CWD /missing; "
        "here=/pub; cd /pub; send MKD x; idle; seq:CWD /missing,CWD /pub,MKD x; pwd; pwd=/pub/my \"quoted\" dir");
    QStringList many;
    for (int i = 0; i < 3000; ++i)
        many << QStringLiteral("f file number %1").arg(i);
    const QString listThenPwd =
        QStringLiteral("login; ls; pwd; pwd~/; idle; words=USER PASS TYPE PASV LIST PWD; dataclosed=1; ");
    // On loopback the 226 often arrives before the last data bytes; nothing may be cut.
    row("listingWith125AndReplyBeforeData", "LIST => [pre=125 Data connection already open.][before]"
        "[datadelay=150][data=" + rows(many) + "]", listThenPwd + "listings=1; entries=3000; firstentry=file number 0");
    row("refusedListingLetsQueueMoveOn", "LIST => 550 Permission denied.", listThenPwd + "listings=0");
    // SECURITY: the data listener is on 127.0.0.1 only: the listing arrives only if the engine
    // went to the control connection's peer instead of the announced 127.0.0.2.
    row("passiveAddressIsIgnored", "PASV => 227 Entering Passive Mode (127,0,0,2,{p1},{p2}). | LIST => [data="
        + rows({"f a", "f b"}) + "]", listThenPwd + "listings=1; entries=2");
    row("malformedPassiveOpensNothing", "PASV => 227 Entering Passive Mode (127,0,0,1,300,1). | "
        "LIST => 425 Use PASV first.", listThenPwd + "listings=0");
    // A 425 also ends cut transfers, but as the answer to PASV it is that command's own reply.
    row("refusedPassiveIsAnAnswer", "PASV => 425 Can't open passive connection. | LIST => 425 Use PASV first.",
        listThenPwd + "listings=0");
    row("unknownCodecFallsBackToUtf8", "LIST => [data=" + rows({QStringLiteral("f \u00fcber.txt")}) + "]",
        "codec NoSuchCodec-42; " + listThenPwd + QStringLiteral("listings=1; firstentry=\u00fcber.txt"));

    // Delete jobs: order on the wire, one signal per item, never out of the job's folder.
    const QString jobLines = "; rmrun; deletes~Delete Finish; idle; rmmode=0; only:CWD|DELE|RMD|LIST=";
    row("deleteOneFile", "", "login; rmstart /start; rmfile / f" + jobLines + "CWD /,DELE f,CWD /start,LIST -al; "
        "deletes=/f deteted|Delete Finish, Total: 1 Success: 1");
    row("deleteFolderTreeOrder", "LIST => 226 [data=" + rows({"d .", "d ..", "d B", "f f"}) + "] | LIST => 226",
        "login; rmstart ; rmdir / A" + jobLines + "CWD /A,LIST -al,DELE f,CWD /A/B,LIST -al,CWD /A,RMD B,"
        "LIST -al,CWD /,RMD A,LIST -al; deletes=/A/f deteted|/A/B deteted|/A deteted|Delete Finish, Total: 3 "
        "Success: 3");
    row("deleteListingNeverClimbsOut", "LIST => 226 [data=" + rows({"f ..", "f ../../etc/passwd", "d ../up", "f a\\b",
        "f cr\rDELE x", "l link -> /etc", "f plain"}) + "] | LIST => 226",
        "login; rmstart ; rmdir / A" + jobLines + "CWD /A,LIST -al,DELE link,DELE plain,CWD /,RMD A,LIST -al; "
        "deletes=/A/link deteted|/A/plain deteted|/A deteted|Delete Finish, Total: 3 Success: 3");
    // A DELE meant for a folder we could not enter must not hit a same-named file where we are.
    row("failedFolderChangeKeepsActionsOutOfTheOldFolder", "CWD /gone => 550 No such folder.",
        "login; rmstart ; rmfile /gone f; rmfile / g" + jobLines + "CWD /gone,CWD /,DELE g; "
        "deletes=/gone/f error|/g deteted|Delete Finish, Total: 2 Success: 1");
    row("deleteEmptySelection", "", "login; rmstart " + jobLines + "; deletes=Delete Finish, Total: 0 Success: 0");
    row("refusedDeleteCountsAsError", "DELE => 550 Permission denied.", "login; rmstart ; rmfile / f; rmfile / g"
        + jobLines + "CWD /,DELE f,DELE g; deletes=/f error|/g error|Delete Finish, Total: 2 Success: 0");
    row("unsafeDeleteNameFailsBeforeTheWire", "", "login; rmstart ; rmfile / x\r\nRMD important; rmfile / ok"
        + jobLines + "CWD /,DELE ok; deletes=/x\r\nRMD important error|/ok deteted|Delete Finish, Total: 2 Success: 1");
    // A folder chosen twice is listed once.
    row("chmodJobOrder", listing("/F", {"d S", "f x", "f ../evil"}),
        "login; chmodset / 1 644; chmodfile / F; chmoddir / F; chmoddir / F; chmodrun; chmodtotal=3 3; "
        "only:CWD|SITE=CWD /,SITE CHMOD 644 F,CWD /F,SITE CHMOD 644 S,SITE CHMOD 644 x,CWD /F/S,CWD /; "
        "chmods=/F 1,/F/S 1,/F/x 1; recursion=0");
    row("chmodRefusalIsReported", "SITE => 550 Permission denied.",
        "login; chmodset / 0 600; chmodfile / f; chmodrun; chmodtotal=1 0; chmods=/f 0");
    // An unsafe new name ends the rename after RNFR; two renames keep their own names, each RNTO
    // right after its RNFR; a move job goes on past a refused RNFR and ends with one listing.
    row("renamesAndMovesEndWithOneListing", "RNFR /c => 550 No such file.", "login; rename old new\r\nDELE x; "
        "rename old new; listings=2; moves /a>/t/a,/c>/t/c,/b>/t/b,/t>; listings=3; only:CWD|RN|LIST=RNFR old,"
        "RNFR old,RNTO new,LIST -al,LIST -al,RNFR /a,RNTO /t/a,RNFR /c,RNFR /b,RNTO /t/b,CWD /t,LIST -al");
    // A folder inside every folder: the job ends at the depth limit (the selected folder and
    // MaxFolderDepth below it), counts the folder it refused, and lists no folder twice.
    const QString endless = "LIST => 226 [data=" + rows({"d a"}) + "]";
    row("deleteOfFolderInsideItselfStopsAtDepthLimit", endless,
        "login; rmstart ; rmdir / a; rmrun; deletes~Delete Finish; deletes~error; depth=65");
    row("chmodOfFolderInsideItselfStopsAtDepthLimit", endless,
        "login; chmodset / 1 644; chmoddir / a; chmodrun; chmodfails>0; depth=65");
}

void TestEngineScripted::cli_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("command");  // after HOST; {L} is the local folder
    QTest::addColumn<QString>("setup");    // local files, see makeTestFiles()
    QTest::addColumn<QString>("expect");   // checks, see holds()
    auto row = [](const char* name, QString script, QString command, QString setup, QString expect) {
        QTest::newRow(name) << script << command << setup << expect;
    };
    const QString fEntry = listing(QStringLiteral("/"), {QStringLiteral("f f")});
    const QString dEntry = listing(QStringLiteral("/"), {QStringLiteral("d d")});
    const QString dWithF = dEntry + " | " + listing("/d", {"f f"});

    // Data: never lost, never written outside the target.
    row("refusedRetrKeepsLocalFile", fEntry + " | RETR => 550 No such file", "get /f {L}", "f=precious",
        "exit=1;out~FAILED /f;file:f=precious");
    row("failureBeforeRetrKeepsLocalFile", fEntry + " | PASV => | PASV => [close]", "get /f {L}", "f=precious",
        "exit=3;file:f=precious");
    row("chainedLinksStayInsideTheJob", dEntry + " | " + listing("/d", {"l b -> .", "l a -> b/../../victim",
        "l L2 -> L1/../../victim", "l L1 -> ../../.."}), "get /d {L}/in", "in/keep=",
        "exit=1;out~FAILED /d/a;nolink:in/d/a;link:in/d/b;nolink:in/d/L1;nolink:in/d/L2");
    row("oversizedDownloadIsCut", fEntry + " | SIZE => 213 10 | RETR => [bytes=6000000]", "get /f {L}", "",
        "exit=1;out~FAILED /f;size:f<3000000");

    // Every job ends, with a result.
    row("emptyRemoteFolderEnds", dEntry, "get /d {L}", "", "exit=0");
    row("refusedListInLookupEnds", "CWD /x => 550 No | LIST => 550 Permission denied", "get /x {L}", "",
        "exit=1;out~550 Permission denied");
    for (const char* code : {"450", "550", "425"}) {
        row(qPrintable(QStringLiteral("refusedListInFolderDownloadFails") + code),
            dEntry + QStringLiteral(" | LIST@/d => %1 Refused").arg(code), "get /d {L}", "", "exit=1;out~FAILED /d");
    }
    row("refusedListInCompareFails", dEntry + " | LIST@/d => 550 Refused", "compare {L} /d", "", "exit=1");
    // A folder reached through a link may be named otherwise by PWD.
    for (const char* pwd : {"/real", "/d/"}) {
        row(qPrintable(QStringLiteral("folderNamedDifferentlyByPwd ") + pwd),
            dWithF + QStringLiteral(" | PWD => 257 \"/\" | PWD => 257 \"%1\" | RETR => [data=hello]").arg(pwd),
            "get /d {L}", "", "exit=0;file:d/f=hello");
    }
    // Without quotes the path is the first word; with none at all the login folder is the root.
    for (const char* home : {"/home/u", ""}) {
        const QString pwd = QStringLiteral("257 %1 is the current directory").arg(home).simplified();
        row(qPrintable("pwdReply " + pwd), "PWD => " + pwd + " | LIST => 226 [data=" + rows({"f f"})
            + "] | RETR => [data=hello]", "get f {L}", "",
            QStringLiteral("exit=0;file:f=hello;out~ok %1/f ->").arg(home));
    }
    row("serviceClosingLeftOpenEndsTheJob", fEntry + " | RETR => 421 Service closing", "get /f {L}", "",
        "exit=3;out~421 Service closing");
    row("getDotDotEnds", "PWD => 257 \"/home/u\" | " + listing("/", {"d home"}) + " | "
        + listing("/home", {"f x"}) + " | RETR => [data=x]", "get .. {L}", "", "exit=0;file:home/x=x");
    row("greetingServiceClosingEndsAtOnce", "GREETING => 421 Too many users", "ls /", "",
        "exit=3;out~421 Too many users");

    // No failure hidden.
    row("refusedSubFolderListingFails", dEntry + " | " + listing("/d", {"d s", "f f"}) + " | LIST@/d/s => 550 No | "
        "RETR => [data=hello]", "get /d {L}", "", "exit=1;out~FAILED /d/s;file:d/f=hello");
    row("localFolderBlockedByFileFails", dEntry + " | " + listing("/d", {"d s"}), "get /d {L}", "d/s=in the way",
        "exit=1;out~FAILED /d/s;file:d/s=in the way");
    row("localJobFolderBlockedByFileFails", dEntry, "get /d {L}", "d=in the way",
        "exit=1;out~FAILED /d;file:d=in the way");
    row("localFolderNameTooLongFails", dEntry + " | " + listing("/d", {"d " + QString(300, 'n')}), "get /d {L}", "",
        "exit=1;out~FAILED /d/nnn");
    row("singleLinkIsFetchedAsAFile", listing("/", {"l a -> f"}) + " | CWD /a => 550 Not a folder | "
        "RETR => [data=hello]", "get /a {L}", "", "exit=0;file:a=hello;nolink:a");
    row("compareOfRefusedDownloadIsNotSame", fEntry + " | RETR => 550 No", "compare {L} /f", "f=",
        "exit=1;out~different f");
    // Half a file after a 426 holds what the local file holds, and still is not the same.
    row("compareOfCutDownloadIsNotSame",
        fEntry + " | SIZE => 213 10 | RETR => 426 Cut [data=hellohello][cut=5]", "compare {L} /f",
        "f=hello", "exit=1;out~different f");
    row("refusedFilesDoNotEndTheJobBeforeSubFolders", dEntry + " | " + listing("/d", {"d s", "f f1", "f f2"}) + " | "
        + listing("/d/s", {"f g"}) + " | RETR => [data=deep]", "get /d {L}", "d/f1->elsewhere;d/f2->elsewhere",
        "exit=1;file:d/s/g=deep");
    // Scale: a folder that contains itself for ever.
    row("endlessFolderInsideItselfDeleteEnds", "LIST => 226 [data=" + rows({"d a"}) + "]", "rm /a", "", "exit=1");
    // Names relative to the login folder.
    row("getFileInLoginFolder", "PWD => 257 \"/home/u\" | CWD /home/u/f => 550 Not a folder | LIST => 226 [data="
        + rows({"f f"}) + "] | RETR => [data=hi]", "get f {L}", "", "exit=0;file:f=hi");
    row("mvWithinOneFolder", "PWD => 257 \"/home/u\" | CWD /home/u/new => 550 No | CWD /home/u/old => 550 No | "
        "LIST => 226 [data=" + rows({"f old"}) + "]", "mv old new", "", "exit=0;wire+RNTO /home/u/new");

    // torvex-cli as people use it: server text escaped, get again, -c and --continue.
    row("controlCharactersAreEscaped", listing("/", {"f e\\e[31mx"}), "ls /", "", "exit=0;out~e\\x1b[31mx;out!\x1b");
    row("serverTextIsEscaped", "PASS => 530 No\\e[2Jx", "ls /", "", "exit=4;out~530 No\\x1b[2Jx;out!\x1b");
    row("getAgainOverTheSameLinks", dEntry + " | " + listing("/d", {"l a -> f", "f f"}) + " | RETR => [data=x]",
        "get /d {L}", "d/a->f;d/f=x", "exit=0;link:d/a;file:d/f=x");
    row("continueResumesWithRest", fEntry + " | SIZE => 213 5 | RETR => [data=lo]", "get -c /f {L}", "f=hel",
        "exit=0;file:f=hello;wire+REST 3");
    row("continueResumesInsideAFolder", dWithF + " | SIZE => 213 5 | RETR => [data=lo]", "get --continue /d {L}",
        "d/f=hel", "exit=0;file:d/f=hello;wire+REST 3");
    row("withoutContinueStartsFromZero", fEntry + " | SIZE => 213 5 | RETR => [data=hello]", "get /f {L}", "f=hel",
        "exit=0;file:f=hello;wire-REST");
    row("compareNamesLocalOnlyFiles", dWithF + " | RETR => [data=same]", "compare {L} /d", "f=same;mine=x",
        "exit=1;out~mine");
}

QTEST_GUILESS_MAIN(TestEngineScripted)
#include "tst_engine_scripted.moc"
