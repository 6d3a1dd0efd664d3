// torvex-cli and the engine against the scripted server playing hostile or odd servers: one row
// per scenario, one line of script each. Every row must end by itself, tell the truth in its exit
// status and lines, and leave local files as they should be.
#include "engine/ftpclient.h"
#include "support/rowchecks.h"
#include "support/scriptedftpserver.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Far below the engine's own time-outs: a row that needs one of them has hung.
const int RowLimitMs = 20000;
const int Wait = 10000;

QStringList matching(const QStringList& all, const QString& prefix)
{
    QStringList lines;
    std::copy_if(all.cbegin(), all.cend(), std::back_inserter(lines),
                 [&prefix](const QString& line) { return line.startsWith(prefix); });
    return lines;
}

const char dirRow[] = "drwxr-xr-x 2 u g 4096 Jan 01 12:00 ";
const char fileRow[] = "-rw-r--r-- 1 u g 5 Jan 01 12:00 ";
const char linkRow[] = "lrwxrwxrwx 1 u g 5 Jan 01 12:00 ";

QString rows(std::initializer_list<QPair<const char*, const char*>> entries)
{
    QString text;
    for (const auto& entry : entries)
        text += QLatin1String(entry.first) + QLatin1String(entry.second) + QLatin1String("\\n");
    return text;
}

QString dirs(const char* name) { return rows({{dirRow, name}}); }
QString files(const char* name) { return rows({{fileRow, name}}); }

} // namespace

class TestEngineHostile : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cliAgainstScriptedServer_data();
    void cliAgainstScriptedServer();
    void stalledServerIsCut_data();
    void stalledServerIsCut();
    void fullDiskFailsTheRecord_data();
    void fullDiskFailsTheRecord();
    void listingCutAtItsBoundFails();
    void refusedFolderChangeDoesNotBlockLaterDownloads();
    void vanishedUploadFolderFails();

private:
    QString local(const QString& name) const { return dir->path() + QLatin1Char('/') + name; }
    std::unique_ptr<QTemporaryDir> dir;
};

void TestEngineHostile::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestEngineHostile::cliAgainstScriptedServer_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("command");  // after HOST; {L} is the local folder
    QTest::addColumn<QString>("setup");    // see setUpLocalFiles()
    QTest::addColumn<QString>("expect");   // see checkRow()
    const QString fEntry = QStringLiteral("LIST@/ => 226 [data=") + files("f") + QLatin1Char(']');
    const QString dEntry = QStringLiteral("LIST@/ => 226 [data=") + dirs("d") + QLatin1Char(']');

    // Data: never lost, never written outside the target.
    QTest::newRow("rmOfLinkToFolderDeletesOnlyTheLink")
        << QStringLiteral("LIST@/ => 226 [data=%1]").arg(rows({{linkRow, "ln -> real"}}))
        << "rm /ln" << "" << "exit=0;wire+DELE ln;wire-RMD;wire-CWD /ln";
    QTest::newRow("refusedRetrKeepsLocalFile")
        << fEntry + QStringLiteral(" | RETR => 550 No such file") << "get /f {L}" << "f=precious"
        << "exit=1;out~FAILED /f;file:f=precious";
    QTest::newRow("failureBeforeRetrKeepsLocalFile")
        << fEntry + QStringLiteral(" | PASV => | PASV => [close]") << "get /f {L}" << "f=precious"
        << "exit=3;file:f=precious";
    QTest::newRow("chainedLinksStayInsideTheJob")
        << dEntry + QStringLiteral(" | LIST@/d => 226 [data=%1]").arg(rows({{linkRow, "b -> ."}, {linkRow, "a -> b/../../victim"}}))
        << "get /d {L}/in" << "in/keep=" << "exit=1;out~FAILED /d/a;nolink:in/d/a;link:in/d/b";
    QTest::newRow("issuesChainOfLinksStaysInside")
        << dEntry + QStringLiteral(" | LIST@/d => 226 [data=%1]").arg(rows({{linkRow, "L2 -> L1/../../victim"}, {linkRow, "L1 -> ../../.."}}))
        << "get /d {L}/in" << "in/keep=" << "exit=1;nolink:in/d/L1;nolink:in/d/L2";
    QTest::newRow("oversizedDownloadIsCut")
        << fEntry + QStringLiteral(" | SIZE => 213 10 | RETR => [bytes=6000000]") << "get /f {L}" << ""
        << "exit=1;out~FAILED /f;size:f<3000000";

    // Every job ends, with a result.
    QTest::newRow("emptyRemoteFolderEnds") << dEntry << "get /d {L}" << "" << "exit=0";
    QTest::newRow("refusedListInLookupEnds")
        << QStringLiteral("CWD /x => 550 No | LIST => 550 Permission denied") << "get /x {L}" << ""
        << "exit=1;out~550 Permission denied";
    for (const char* code : {"450", "550", "425"}) {
        QTest::newRow(qPrintable(QStringLiteral("refusedListInFolderDownloadFails%1").arg(QLatin1String(code))))
            << dEntry + QStringLiteral(" | LIST@/d => %1 Refused").arg(QLatin1String(code)) << "get /d {L}" << ""
            << "exit=1;out~FAILED /d";
    }
    QTest::newRow("refusedListInCompareFails")
        << dEntry + QStringLiteral(" | LIST@/d => 550 Refused") << "compare {L} /d" << "" << "exit=1";
    QTest::newRow("symlinkedFolderNamedDifferentlyByPwd")
        << dEntry + QStringLiteral(" | LIST@/d => 226 [data=%1] | PWD => 257 \"/\" | PWD => 257 \"/real\" | RETR => [data=hello]").arg(files("f"))
        << "get /d {L}" << "" << "exit=0;file:d/f=hello";
    QTest::newRow("pwdWithTrailingSlash")
        << dEntry + QStringLiteral(" | LIST@/d => 226 [data=%1] | PWD => 257 \"/\" | PWD => 257 \"/d/\" | RETR => [data=hello]").arg(files("f"))
        << "get /d {L}" << "" << "exit=0;file:d/f=hello";
    QTest::newRow("pwdWithoutQuotes")
        << fEntry + QStringLiteral(" | PWD => 257 / is the current directory | RETR => [data=hello]") << "get f {L}" << ""
        << "exit=0;file:f=hello";
    QTest::newRow("pwdWithoutPath")
        << fEntry + QStringLiteral(" | PWD => 257 is the current directory | RETR => [data=hello]") << "get f {L}" << ""
        << "exit=0;file:f=hello";
    QTest::newRow("serviceClosingLeftOpenEndsTheJob")
        << fEntry + QStringLiteral(" | RETR => 421 Service closing") << "get /f {L}" << ""
        << "exit=3;out~421 Service closing";
    QTest::newRow("getDotDotEnds")
        << QStringLiteral("PWD => 257 \"/home/u\" | LIST@/ => 226 [data=%1] | LIST@/home => 226 [data=%2] | RETR => [data=x]")
               .arg(dirs("home"), files("x"))
        << "get .. {L}" << "" << "exit=0;file:home/x=x";
    QTest::newRow("greetingServiceClosingEndsAtOnce")
        << QStringLiteral("GREETING => 421 Too many users") << "ls /" << "" << "exit=3;out~421 Too many users";

    // No failure hidden.
    QTest::newRow("refusedSubFolderListingFails")
        << dEntry + QStringLiteral(" | LIST@/d => 226 [data=%1] | LIST@/d/s => 550 No | RETR => [data=hello]").arg(rows({{dirRow, "s"}, {fileRow, "f"}}))
        << "get /d {L}" << "" << "exit=1;out~FAILED /d/s;file:d/f=hello";
    QTest::newRow("localFolderBlockedByFileFails")
        << dEntry + QStringLiteral(" | LIST@/d => 226 [data=%1]").arg(dirs("s")) << "get /d {L}" << "d/s=in the way"
        << "exit=1;out~FAILED /d/s;file:d/s=in the way";
    const QByteArray longName(300, 'n');
    QTest::newRow("localJobFolderBlockedByFileFails") << dEntry << "get /d {L}" << "d=in the way"
        << "exit=1;out~FAILED /d;file:d=in the way";
    QTest::newRow("localFolderNameTooLongFails")
        << dEntry + QStringLiteral(" | LIST@/d => 226 [data=%1%2\\n]").arg(QLatin1String(dirRow), QLatin1String(longName))
        << "get /d {L}" << "" << "exit=1;out~FAILED /d/nnn";
    QTest::newRow("singleLinkIsFetchedAsAFile")
        << QStringLiteral("LIST@/ => 226 [data=%1] | CWD /ln => 550 Not a folder | RETR => [data=content]").arg(rows({{linkRow, "ln -> target.txt"}}))
        << "get /ln {L}" << "" << "exit=0;file:ln=content;nolink:ln";
    QTest::newRow("compareOfRefusedDownloadIsNotSame")
        << fEntry + QStringLiteral(" | RETR => 550 No") << "compare {L} /f" << "f=" << "exit=1;out~different f";
    QTest::newRow("compareOfCutDownloadIsNotSame")
        << fEntry + QStringLiteral(" | SIZE => 213 10 | RETR => 426 Cut [data=hello]") << "compare {L} /f" << "f=hello"
        << "exit=1;out~different f";
    QTest::newRow("refusedFilesDoNotEndTheJobBeforeSubFolders")
        << dEntry + QStringLiteral(" | LIST@/d => 226 [data=%1] | LIST@/d/s => 226 [data=%2] | RETR => [data=deep]")
               .arg(rows({{dirRow, "s"}, {fileRow, "f1"}, {fileRow, "f2"}}), files("g"))
        << "get /d {L}" << "d/f1->elsewhere;d/f2->elsewhere" << "exit=1;file:d/s/g=deep";

    // Scale: a folder that contains itself for ever.
    QTest::newRow("endlessFolderInsideItselfDeleteEnds")
        << QStringLiteral("LIST => 226 [data=%1]").arg(dirs("a")) << "rm /a" << "" << "exit=1";

    // Plainly broken.
    QTest::newRow("getFileInLoginFolder")
        << QStringLiteral("PWD => 257 \"/home/u\" | CWD /home/u/f => 550 Not a folder | LIST => 226 [data=%1] | RETR => [data=hi]")
               .arg(files("f"))
        << "get f {L}" << "" << "exit=0;file:f=hi";
    QTest::newRow("mvWithinOneFolder")
        << QStringLiteral("PWD => 257 \"/home/u\" | CWD /home/u/new => 550 No | CWD /home/u/old => 550 No | LIST => 226 [data=%1]")
               .arg(files("old"))
        << "mv old new" << "" << "exit=0;wire+RNTO /home/u/new";

    // torvex-cli as people use it.
    QTest::newRow("controlCharactersAreEscaped")
        << QStringLiteral("LIST@/ => 226 [data=%1]").arg(QLatin1String(fileRow) + QLatin1String("e\\e[31mx\\n"))
        << "ls /" << "" << "exit=0;out~e\\x1b[31mx;out!\x1b";
    QTest::newRow("serverTextIsEscaped")
        << QStringLiteral("PASS => 530 No\\e[2Jx") << "ls /" << "" << "exit=4;out~530 No\\x1b[2Jx;out!\x1b";
    QTest::newRow("getAgainOverTheSameLinks")
        << dEntry + QStringLiteral(" | LIST@/d => 226 [data=%1] | RETR => [data=x]").arg(rows({{linkRow, "a -> f"}, {fileRow, "f"}}))
        << "get /d {L}" << "d/a->f;d/f=x" << "exit=0;link:d/a;file:d/f=x";
    QTest::newRow("continueResumesWithRest")
        << fEntry + QStringLiteral(" | SIZE => 213 5 | RETR => [data=lo]") << "get -c /f {L}" << "f=hel"
        << "exit=0;file:f=hello;wire+REST 3";
    QTest::newRow("continueResumesInsideAFolder")
        << dEntry + QStringLiteral(" | LIST@/d => 226 [data=%1] | SIZE => 213 5 | RETR => [data=lo]").arg(files("f"))
        << "get --continue /d {L}" << "d/f=hel" << "exit=0;file:d/f=hello;wire+REST 3";
    QTest::newRow("withoutContinueStartsFromZero")
        << fEntry + QStringLiteral(" | SIZE => 213 5 | RETR => [data=hello]") << "get /f {L}" << "f=hel"
        << "exit=0;file:f=hello;wire-REST";
    QTest::newRow("compareNamesLocalOnlyFiles")
        << dEntry + QStringLiteral(" | LIST@/d => 226 [data=%1] | RETR => [data=same]").arg(files("f"))
        << "compare {L} /d" << "f=same;mine=x" << "exit=1;out~mine";
}

void TestEngineHostile::cliAgainstScriptedServer()
{
    QFETCH(QString, script);
    QFETCH(QString, command);
    QFETCH(QString, setup);
    QFETCH(QString, expect);
    const QString cli = qEnvironmentVariable("TORVEX_CLI");
    if (cli.isEmpty() || !QFileInfo(cli).isExecutable())
        QSKIP("torvex-cli is not built");
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    QVERIFY(server.addScript(script));
    QTemporaryDir local;
    setUpLocalFiles(local.path(), setup);
    QDir().mkpath(local.path() + QStringLiteral("/in"));

    QStringList arguments{QStringLiteral("--port"), QString::number(server.port()), QStringLiteral("--user"),
                          QStringLiteral("u"), QStringLiteral("--password"), QStringLiteral("p"),
                          QStringLiteral("127.0.0.1")};
    for (const QString& word : command.split(QLatin1Char(' ')))
        arguments.append(QString(word).replace(QLatin1String("{L}"), local.path()));
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(cli, arguments);
    QVERIFY(process.waitForStarted());
    // The server lives in this thread: wait by turning the event loop, never by blocking.
    QTRY_VERIFY_WITH_TIMEOUT(process.state() == QProcess::NotRunning, RowLimitMs);
    const QString output = QString::fromUtf8(process.readAll());
    if (process.exitStatus() != QProcess::NormalExit)
        QFAIL(qPrintable(QLatin1String("torvex-cli crashed:\n") + output));
    checkRow(expect, {{QStringLiteral("exit"), QString::number(process.exitCode())}, {QStringLiteral("out"), output}},
          server.commands(), local.path());
}

// Replies that promise progress for ever: a stalled transfer is cut and the job goes on to the
// next file over the same connection; a command that moves no data ends on the reply time-out.
void TestEngineHostile::stalledServerIsCut_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("staysLoggedIn");
    QTest::newRow("preliminaryReplyRepeatedForEver") << QStringLiteral("RETR => [repeat=100]") << true;
    QTest::newRow("oneByteAtATime") << QStringLiteral("RETR => [data=abcdefghijklmnopqrstuvwxyz][trickle=100]") << true;
    QTest::newRow("endlessPreliminaryRepliesEnd") << QStringLiteral("SIZE => [repeat=100]") << false;
}

void TestEngineHostile::stalledServerIsCut()
{
    QFETCH(QString, script);
    QFETCH(bool, staysLoggedIn);
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    QVERIFY(server.addScript(script));
    FTPClient client;
    client.setStallTimeout(600);
    client.setReplyTimeout(staysLoggedIn ? FTPClient::DefaultReplyTimeoutMs : 800);
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* record = client.addDownloadFile(local(QStringLiteral("f")), QStringLiteral("/f"), false, 0);
    if (staysLoggedIn)
        client.addDownloadFile(local(QStringLiteral("g")), QStringLiteral("/g"), false, 0);
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(record->stateCode, int(KTDUFile::DownloadError));
    QCOMPARE(client.isLoggedIn(), staysLoggedIn);
    if (staysLoggedIn)
        QCOMPARE(matching(server.commands(), QStringLiteral("RETR")).size(), 2);
}

// The disk fills while the file is written; a small tmpfs plays the full disk.
void TestEngineHostile::fullDiskFailsTheRecord_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("fillFirst");
    QTest::addColumn<QByteArray>("sizeReply");
    QTest::newRow("largerThanTheDisk") << 300000 << false << QByteArray("213 300000\r\n");
    QTest::newRow("largerThanTheDiskSizeUnknown") << 300000 << false << QByteArray("550 No size.\r\n");
    // Small enough to sit in a write buffer: only the final flush or close can tell.
    QTest::newRow("smallFileOnFullDisk") << 5000 << true << QByteArray("550 No size.\r\n");
}

void TestEngineHostile::fullDiskFailsTheRecord()
{
    QFETCH(int, size);
    QFETCH(bool, fillFirst);
    QFETCH(QByteArray, sizeReply);
    const QString disk = local(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(disk));
    QProcess mount;
    mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                          QStringLiteral("size=64k"), QStringLiteral("tmpfs"), disk});
    if (!mount.waitForFinished(10000) || mount.exitStatus() != QProcess::NormalExit || mount.exitCode() != 0)
        QSKIP("cannot mount a tmpfs here");
    auto unmount = qScopeGuard([&disk] { QProcess::execute(QStringLiteral("umount"), {disk}); });
    if (fillFirst)
        writeTestFile(disk + QStringLiteral("/filler"), QByteArray(128 * 1024, 'x'));  // fails once full
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.setReply(QStringLiteral("SIZE"), sizeReply);
    QVERIFY(server.addScript(QStringLiteral("RETR => [bytes=%1]").arg(size)));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(disk, QStringLiteral("/"));
    KTDUFile* record = client.addDownloadFile(disk + QStringLiteral("/f"), QStringLiteral("/f"), false, 0);
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(record->stateCode, int(KTDUFile::DownloadError));
    QCOMPARE(client.downloads().last()->localFile, QStringLiteral("Dowload Finish, Total: 1 Success: 0"));
}

void TestEngineHostile::listingCutAtItsBoundFails()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    QVERIFY(server.addScript(QStringLiteral("LIST => 226 Done [bytes=5000]")));
    FTPClient client;
    client.setListingLimit(1000);
    LOG_IN(client, server);
    QSignalSpy listed(&client, &FTPClient::currentDirData);
    QSignalSpy failed(&client, &FTPClient::listingFailed);
    client.listDir();
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, Wait);
    QCOMPARE(listed.count(), 0);

    // In a download the folder is a failed record, and the job ends.
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    client.addDownloadFolder(QStringLiteral("/d"));
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(client.downloads().first()->remoteFile, QStringLiteral("/d"));
    QCOMPARE(client.downloads().first()->stateCode, int(KTDUFile::DownloadError));
    QCOMPARE(listed.count(), 0);
}

// A refused double-click on a folder leaves us where we were, which the server has confirmed:
// a later download there is sent, not refused on our side.
void TestEngineHostile::refusedFolderChangeDoesNotBlockLaterDownloads()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    QVERIFY(server.addScript(QStringLiteral("CWD /nope => 550 No such folder | RETR => [data=content]")));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy pwd(&client, &FTPClient::currentDir);
    client.printDir();
    QTRY_COMPARE_WITH_TIMEOUT(pwd.count(), 1, Wait);
    QSignalSpy changed(&client, &FTPClient::changDir);
    client.changeDir(QStringLiteral("/nope"));
    client.listDir();
    QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, Wait);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* record = client.addDownloadFile(local(QStringLiteral("f")), QStringLiteral("/f"), false, 0);
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(record->stateCode, int(KTDUFile::Downloaded));
    QCOMPARE(readTestFile(local(QStringLiteral("f"))), QByteArray("content"));
}

void TestEngineHostile::vanishedUploadFolderFails()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/r"));
    client.addUploadFolder(local(QStringLiteral("gone")));
    client.startUpload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(client.uploads().first()->localFile, local(QStringLiteral("gone")));
    QCOMPARE(client.uploads().first()->stateCode, int(KTDUFile::UploadError));
    QCOMPARE(client.uploads().last()->localFile, QStringLiteral("Upload Finish, Total: 1 Success: 0"));
}

QTEST_GUILESS_MAIN(TestEngineHostile)
#include "tst_engine_hostile.moc"
