// Download and upload jobs against the scripted server: one file per row, then queue order, lost
// connections, hostile listings, stops and folder walks.
#include "engine/ftpclient.h"
#include "support/rowchecks.h"
#include "support/scriptedftpserver.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const int Wait = 10000;

using Answer = ScriptedFtpServer::Answer;

// Command lines of the job, without the login and the folder bookkeeping.
QStringList transferCommands(const QStringList& all)
{
    QStringList lines;
    for (const QString& line : all) {
        if (line.startsWith(QLatin1String("USER")) || line.startsWith(QLatin1String("PASS"))
            || line.startsWith(QLatin1String("PWD")) || line.startsWith(QLatin1String("CWD")))
            continue;
        lines.append(line);
    }
    return lines;
}

QStringList matching(const QStringList& all, const QString& prefix)
{
    QStringList lines;
    for (const QString& line : all) {
        if (line.startsWith(prefix))
            lines.append(line);
    }
    return lines;
}

// Feeds folder listings of a download job back into it, as the window does.
void feedListings(FTPClient& client)
{
    QObject::connect(&client, &FTPClient::currentDirData, &client, [&client](const QString& text, bool download) {
        if (download) {
            client.queueDownloadListing(text);
            client.startDownload();
        }
    });
}

} // namespace

class TestEngineTransfer : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void oneFile_data();
    void oneFile();
    void downloadsRunFromTheEndOfTheQueueUploadsInOrder();
    void connectionLossFailsOnceAndResumeContinuesWithRest();
    void hostileListingNamesAreSkippedAndFoldersListedOnce();
    void folderExpansionStopsAtDepthLimit();
    void unsafeNamesNeverReachTheWire();
    void stopKeepsControlChannelInStep();
    void stopBeforeRetrSendsNoRetr();
    void uploadFolderWalk();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString local(const QString& name) const { return dir->path() + QLatin1Char('/') + name; }
};

void TestEngineTransfer::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

// One file up or down. The command is "get", "get OFFSET" (resume), "link" (a link whose target
// RETR sends) or "put"; the file is f on both sides.
void TestEngineTransfer::oneFile_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("setup");   // see setUpLocalFiles()
    QTest::addColumn<QString>("expect");  // see checkRow()
    QTest::newRow("restOnlyWhenResuming") << "SIZE => 213 5 | RETR => [data=lo]" << "get 3" << "f=hel"
        << "state=dowloaded;file:f=hello;seq:REST 3,RETR f";
    QTest::newRow("localPartLongerThanRemoteStartsAgainFromZero") << "SIZE => 213 5 | RETR => [data=hello]"
        << "get 9" << "f=something" << "state=dowloaded;file:f=hello;wire-REST";
    QTest::newRow("freshDownloadTruncatesLongerOldFile") << "RETR => [data=new]" << "get" << "f=old and longer"
        << "state=dowloaded;file:f=new;wire-REST";
    QTest::newRow("sizeFailureLeavesSizeUnknown") << "RETR => [data=hello]" << "get" << ""
        << "state=dowloaded;fsize=0;done=5;sizes=0";
    QTest::newRow("sizeReplyNotANumberLeavesSizeZero") << "SIZE => 213 -12 | RETR => [data=hello]" << "get" << ""
        << "state=dowloaded;fsize=0;file:f=hello";
    QTest::newRow("finalReplyBeforeDataKeepsTheLateBytes")
        << "SIZE => 213 300000 | RETR => [bytes=300000][before][datadelay=100]" << "get" << ""
        << "state=dowloaded;size:f=300000;finishes=2";
    QTest::newRow("shortFileFails") << "SIZE => 213 1000 | RETR => [bytes=500]" << "get" << ""
        << "state=dowloadError;done=500;summary=Dowload Finish, Total: 1 Success: 0";
    QTest::newRow("linkWithoutListedTargetTakesItFromRetr") << "RETR => [data=target.txt]" << "link" << ""
        << "state=dowloaded;target:f=target.txt";
    QTest::newRow("neverWritesThroughSymbolicLink") << "RETR => [data=overwritten]" << "get"
        << "outside/victim=precious;f->outside/victim" << "state=dowloadError;file:outside/victim=precious;wire-RETR";
    // A failed download keeps what was there (more such rows run through torvex-cli in tst_engine_hostile).
    QTest::newRow("refusedPassive") << "PASV => 425 No passive | RETR => 425 No data connection" << "get"
        << "f=precious" << "state=dowloadError;file:f=precious";
    // Uploads.
    const QString sent = QStringLiteral("state=uploaded;sent=yes");
    QTest::newRow("uploadSendsBlocksOf10240") << "" << "put" << "f#25000"
        << sent + ";steps=10240,20480,25000;seq:TYPE I,PASV,STOR f;summary=Upload Finish, Total: 1 Success: 1";
    QTest::newRow("uploadEmptyFile") << "" << "put" << "f=" << sent + ";fsize=0";
    QTest::newRow("storStartsOn125") << "STOR => [pre=125 Data connection already open; transfer starting.]"
        << "put" << "f#30000" << sent;
    QTest::newRow("secondPreliminaryReplyDoesNotSendTwice")
        << "STOR => [pre=125 Data connection already open.\\n150 Opening data connection.]" << "put" << "f#5000" << sent;
}

void TestEngineTransfer::oneFile()
{
    QFETCH(QString, script);
    QFETCH(QString, command);
    QFETCH(QString, setup);
    QFETCH(QString, expect);
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    QVERIFY(server.addScript(script));
    setUpLocalFiles(dir->path(), setup);
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    QSignalSpy fileFinish(&client, &FTPClient::srFileFinish);
    QSignalSpy sizes(&client, &FTPClient::srFileSize);
    QStringList steps;
    connect(&client, &FTPClient::srProgress, this, [&steps](KTDUFile* record) { steps << QString::number(record->doneSize); });
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    const bool upload = command == QLatin1String("put");
    const QString f = local(QStringLiteral("f"));
    const QByteArray before = readTestFile(f);
    KTDUFile* record = upload ? client.addUploadFile(f, QStringLiteral("/f"), false, 0)
                              : client.addDownloadFile(f, QStringLiteral("/f"), command == QLatin1String("link"),
                                                       command.section(QLatin1Char(' '), 1).toLongLong());
    upload ? client.startUpload() : client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    const QList<KTDUFile*> records = upload ? client.uploads() : client.downloads();
    checkRow(expect,
          {{QStringLiteral("state"), record->stateText()}, {QStringLiteral("done"), QString::number(record->doneSize)},
           {QStringLiteral("fsize"), QString::number(record->fileSize)}, {QStringLiteral("steps"), steps.join(QLatin1Char(','))},
           {QStringLiteral("summary"), records.last()->localFile}, {QStringLiteral("sizes"), QString::number(sizes.count())},
           {QStringLiteral("finishes"), QString::number(fileFinish.count())},
           {QStringLiteral("sent"), QLatin1String(server.storedData() == before ? "yes" : "no")}},
          server.commands(), dir->path());
}

void TestEngineTransfer::downloadsRunFromTheEndOfTheQueueUploadsInOrder()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    QVERIFY(server.addScript(QStringLiteral("RETR a => [data=AAA] | RETR b => [data=BBBB] | RETR c => [data=CCCCC]")));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    QSignalSpy fileFinish(&client, &FTPClient::srFileFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    for (const char* name : {"a", "b", "c"})
        client.addDownloadFile(local(QLatin1String(name)), QLatin1String("/") + QLatin1String(name), false, 0);
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);

    QCOMPARE(matching(server.commands(), QStringLiteral("RETR")),
             (QStringList{QStringLiteral("RETR c"), QStringLiteral("RETR b"), QStringLiteral("RETR a")}));
    QCOMPARE(transferCommands(server.commands()).mid(0, 5),
             (QStringList{QStringLiteral("TYPE I"), QStringLiteral("SIZE c"), QStringLiteral("MDTM c"),
                          QStringLiteral("PASV"), QStringLiteral("RETR c")}));
    QVERIFY(matching(server.commands(), QStringLiteral("REST")).isEmpty());
    QCOMPARE(readTestFile(local(QStringLiteral("a"))), QByteArray("AAA"));
    QCOMPARE(readTestFile(local(QStringLiteral("c"))), QByteArray("CCCCC"));
    for (const KTDUFile* record : client.downloads().mid(0, 3))
        QCOMPARE(record->stateCode, int(KTDUFile::Downloaded));
    // Three files, then the summary record.
    QCOMPARE(fileFinish.count(), 4);
    const KTDUFile* summary = client.downloads().last();
    QCOMPARE(summary->stateCode, int(KTDUFile::Finish));
    QCOMPARE(summary->localFile, QStringLiteral("Dowload Finish, Total: 3 Success: 3"));
    QCOMPARE(finish.first().at(0).toString(), dir->path());

    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    client.addUploadFile(local(QStringLiteral("a")), QStringLiteral("/a"), false, 0);
    client.addUploadFile(local(QStringLiteral("b")), QStringLiteral("/b"), false, 0);
    client.startUpload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 2, Wait);
    QCOMPARE(matching(server.commands(), QStringLiteral("STOR")),
             (QStringList{QStringLiteral("STOR a"), QStringLiteral("STOR b")}));
    QCOMPARE(server.storedData(), QByteArray("AAABBBB"));
}

void TestEngineTransfer::connectionLossFailsOnceAndResumeContinuesWithRest()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    const QByteArray whole = patternBytes(200000, 11);
    server.setReply(QStringLiteral("SIZE"), "213 200000\r\n");
    Answer cut;
    cut.data = whole;
    cut.cutDataAfter = 60000;
    cut.replyDelayMs = 120000;  // the reply never comes before the connection goes
    server.addAnswer(QStringLiteral("RETR"), cut);
    cut = Answer();
    cut.data = whole.mid(60000);
    server.addAnswer(QStringLiteral("RETR"), cut);
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    QSignalSpy stateChange(&client, &FTPClient::srStateChange);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* record = client.addDownloadFile(local(QStringLiteral("f")), QStringLiteral("/f"), false, 0);
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(record->doneSize, qint64(60000), Wait);
    server.closeControl();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(record->stateCode, int(KTDUFile::DownloadError));
    QCOMPARE(stateChange.count(), 1);
    QCOMPARE(client.stopFlag(), 1);
    QCOMPARE(client.downloads().size(), 2);
    QCOMPARE(client.downloads().last()->localFile, QStringLiteral("Dowload Finish, Total: 1 Success: 0"));
    QTRY_VERIFY_WITH_TIMEOUT(client.isClosed(), Wait);
    QCOMPARE(finish.count(), 1);  // no second summary from the other socket's end

    LOG_IN(client, server);
    QVERIFY(client.resumeTransfers());
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 2, Wait);
    QCOMPARE(record->stateCode, int(KTDUFile::Downloaded));
    QVERIFY(server.commands().contains(QStringLiteral("REST 60000")));
    QCOMPARE(readTestFile(local(QStringLiteral("f"))), whole);
}

void TestEngineTransfer::hostileListingNamesAreSkippedAndFoldersListedOnce()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    QVERIFY(server.addScript(QStringLiteral("PWD => 257 \"/d\" is the current directory. | RETR ok.txt => [data=good]")));
    QByteArray listing;
    const QList<QByteArray> hostile = {"", ".", "..", "../escape", "a/b", "..\\win", "sub\\x",
                                       QByteArray("nul\0name", 8), "cr\rname"};
    for (const QByteArray& name : hostile) {
        listing += "-rw-r--r-- 1 u g 4 Jan 01 12:00 " + name + "\r\n";
        listing += "drwxr-xr-x 2 u g 4096 Jan 01 12:00 " + name + "\r\n";
    }
    listing += "lrwxrwxrwx 1 u g 11 Jan 01 12:00 abs -> /etc/passwd\r\n";
    listing += "lrwxrwxrwx 1 u g 9 Jan 01 12:00 up -> ../../outside\r\n";
    listing += "lrwxrwxrwx 1 u g 6 Jan 01 12:00 inner -> ok.txt\r\n";
    listing += "-rw-r--r-- 1 u g 4 Jan 01 12:00 ok.txt\r\n";
    Answer list;
    list.data = listing;
    server.addAnswer(QStringLiteral("LIST"), list);

    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    feedListings(client);
    const QString base = local(QStringLiteral("job"));
    QVERIFY(QDir().mkpath(base));
    client.prepareTransfer(base, QStringLiteral("/"));
    // The same folder, named thrice, is listed once.
    client.addDownloadFolder(QStringLiteral("/d"));
    client.addDownloadFolder(QStringLiteral("/d/"));
    client.addDownloadFolder(QStringLiteral("/d"));
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);

    // Only the plain file and the three links became records; nothing else reached the wire.
    QStringList remotes;
    for (const KTDUFile* record : client.downloads()) {
        if (record->stateCode != KTDUFile::Finish)
            remotes.append(record->remoteFile);
    }
    remotes.sort();
    QCOMPARE(remotes, (QStringList{QStringLiteral("/d/abs"), QStringLiteral("/d/inner"), QStringLiteral("/d/ok.txt"),
                                   QStringLiteral("/d/up")}));
    QCOMPARE(matching(server.commands(), QStringLiteral("CWD")), QStringList{QStringLiteral("CWD /d")});
    QCOMPARE(matching(server.commands(), QStringLiteral("LIST")).size(), 1);
    // The links' targets came with the listing: only the plain file was fetched.
    QCOMPARE(matching(server.commands(), QStringLiteral("RETR")), QStringList{QStringLiteral("RETR ok.txt")});
    for (const KTDUFile* record : client.downloads()) {
        if (record->remoteFile == QLatin1String("/d/ok.txt") || record->remoteFile == QLatin1String("/d/inner"))
            QCOMPARE(record->stateCode, int(KTDUFile::Downloaded));
        else if (!record->remoteFile.isEmpty())
            QCOMPARE(record->stateCode, int(KTDUFile::DownloadError));
    }
    QCOMPARE(readTestFile(base + QStringLiteral("/d/ok.txt")), QByteArray("good"));
    QCOMPARE(QFileInfo(base + QStringLiteral("/d/inner")).symLinkTarget(), QFileInfo(base + QStringLiteral("/d/ok.txt")).absoluteFilePath());
    QVERIFY(!QFileInfo(base + QStringLiteral("/d/abs")).exists() && !QFileInfo(base + QStringLiteral("/d/abs")).isSymLink());
    QVERIFY(!QFileInfo(base + QStringLiteral("/d/up")).isSymLink());
    // Nothing appeared beside the job's folder.
    QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
             QStringList{QStringLiteral("job")});
    QCOMPARE(QDir(base + QStringLiteral("/d")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
             (QStringList{QStringLiteral("inner"), QStringLiteral("ok.txt")}));
}

void TestEngineTransfer::folderExpansionStopsAtDepthLimit()
{
    FTPClient client;
    client.prepareTransfer(dir->path(), QStringLiteral("/r"));
    QString deep = QStringLiteral("/r");
    for (int i = 0; i < FTPClient::MaxFolderDepth; ++i)
        deep += QStringLiteral("/x");
    const QString listing = QStringLiteral("drwxr-xr-x 2 u g 4096 Jan 01 12:00 x\r\n-rw-r--r-- 1 u g 4 Jan 01 12:00 f\r\n");
    client.remoteDir = deep;
    QCOMPARE(client.queueDownloadListing(listing), 1);  // the file, not the folder below the limit
    QVERIFY(client.downloadFolders.isEmpty());
    client.remoteDir = QStringLiteral("/r/x");
    QCOMPARE(client.queueDownloadListing(listing), 2);
    QCOMPARE(client.downloadFolders, QStringList{QStringLiteral("/r/x/x")});
}

void TestEngineTransfer::unsafeNamesNeverReachTheWire()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    QVERIFY(server.addScript(QStringLiteral("RETR => [data=x]")));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* good = client.addDownloadFile(local(QStringLiteral("good")), QStringLiteral("/good"), false, 0);
    KTDUFile* bad = client.addDownloadFile(local(QStringLiteral("bad\r\nDELE x")), QStringLiteral("/bad"), false, 0);
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(bad->stateCode, int(KTDUFile::DownloadError));
    QCOMPARE(good->stateCode, int(KTDUFile::Downloaded));

    QSignalSpy upFinish(&client, &FTPClient::srFinish);
    QVERIFY(writeTestFile(local(QStringLiteral("up\nload")), "data"));
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* badUp = client.addUploadFile(local(QStringLiteral("up\nload")), QStringLiteral("/x"), false, 0);
    client.startUpload();
    QTRY_COMPARE_WITH_TIMEOUT(upFinish.count(), 1, Wait);
    QCOMPARE(badUp->stateCode, int(KTDUFile::UploadError));
    for (const QString& line : server.commands()) {
        QVERIFY2(!line.contains(QLatin1String("bad")) && !line.contains(QLatin1String("DELE"))
                     && !line.contains(QLatin1String("load")),
                 qPrintable(line));
    }
}

void TestEngineTransfer::stopKeepsControlChannelInStep()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    // An error reply that follows all the data, not a refusal.
    QVERIFY(server.addScript(QStringLiteral("SIZE => 213 4000000 | PWD => 257 \"/after\" is the current directory."
                                            " | RETR => 426 Connection closed; transfer aborted. [bytes=4000000][delay=200][cut=4000000]")));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy stop(&client, &FTPClient::srStop);
    QSignalSpy progress(&client, &FTPClient::srProgress);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* record = client.addDownloadFile(local(QStringLiteral("f")), QStringLiteral("/f"), false, 0);
    client.startDownload();
    QTRY_VERIFY_WITH_TIMEOUT(progress.count() > 0, Wait);
    QVERIFY(client.stopTransfers());
    QCOMPARE(client.stopFlag(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(stop.count(), 1, Wait);
    QCOMPARE(client.stopFlag(), 1);
    QCOMPARE(record->stateCode, int(KTDUFile::DownloadError));
    QCOMPARE(QFileInfo(local(QStringLiteral("f"))).size(), record->doneSize);

    // A late second reply to the cut transfer is not taken for the next command's.
    server.sendRaw("226 Transfer complete.\r\n");
    QSignalSpy pwd(&client, &FTPClient::currentDir);
    client.printDir();
    QTRY_COMPARE_WITH_TIMEOUT(pwd.count(), 1, Wait);
    QCOMPARE(pwd.first().first().toString(), QStringLiteral("/after"));
    QCOMPARE(stop.count(), 1);
}

void TestEngineTransfer::stopBeforeRetrSendsNoRetr()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    QVERIFY(server.addScript(QStringLiteral("RETR => [data=content]")));
    FTPClient client;
    // With nothing queued there is nothing to stop or resume.
    QVERIFY(!client.stopTransfers());
    QCOMPARE(client.stopFlag(), 0);
    QVERIFY(!client.resumeTransfers());
    LOG_IN(client, server);
    QSignalSpy stop(&client, &FTPClient::srStop);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* record = client.addDownloadFile(local(QStringLiteral("f")), QStringLiteral("/f"), false, 0);
    client.startDownload();
    QVERIFY(client.stopTransfers());
    QTRY_COMPARE_WITH_TIMEOUT(stop.count(), 1, Wait);
    QTRY_VERIFY_WITH_TIMEOUT(!client.isBusy(), Wait);
    QVERIFY(matching(server.commands(), QStringLiteral("RETR")).isEmpty());
    QCOMPARE(record->stateCode, int(KTDUFile::DownloadError));
    QVERIFY(client.resumeTransfers());
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(record->stateCode, int(KTDUFile::Downloaded));
    QCOMPARE(readTestFile(local(QStringLiteral("f"))), QByteArray("content"));
    QCOMPARE(stop.count(), 1);
}

void TestEngineTransfer::uploadFolderWalk()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    const QString top = local(QStringLiteral("F"));
    QVERIFY(writeTestFile(top + QStringLiteral("/x"), "x"));
    QVERIFY(writeTestFile(top + QStringLiteral("/S/y"), "y"));
    QVERIFY(QDir().mkpath(top + QStringLiteral("/E")));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/r"));
    client.addUploadFolder(top);
    client.startUpload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QStringList wire;
    QString folder;
    for (const QString& line : server.commands()) {
        if (line.startsWith(QLatin1String("CWD ")))
            folder = line.mid(4);
        else if (line.startsWith(QLatin1String("MKD")))
            wire.append(line);
        else if (line.startsWith(QLatin1String("STOR")))
            wire.append(line + QLatin1String(" in ") + folder);
    }
    // F is made and its file sent before S is walked; the empty folder E makes nothing.
    QCOMPARE(wire, (QStringList{QStringLiteral("MKD F"), QStringLiteral("STOR x in /r/F"), QStringLiteral("MKD S"),
                                QStringLiteral("STOR y in /r/F/S")}));
    QCOMPARE(server.storedData(), QByteArray("xy"));
}

QTEST_GUILESS_MAIN(TestEngineTransfer)
#include "tst_engine_transfer.moc"
