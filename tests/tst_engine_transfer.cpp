// Download and upload jobs against the scripted server: command sequences, data races between
// reply and data, short files, lost connections, hostile listings, stops.
#include "engine/ftpclient.h"
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

Answer dataAnswer(const QByteArray& data)
{
    Answer answer;
    answer.data = data;
    return answer;
}

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

} // namespace

class TestEngineTransfer : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void downloadsRunFromTheEndOfTheQueue();
    void restOnlyWhenResuming();
    void sizeFailureLeavesSizeUnknown();
    void sizeReplyNotANumberLeavesSizeZero();
    void finalReplyBeforeDataKeepsTheLateBytes();
    void shortFileFails();
    void freshDownloadTruncatesLongerOldFile();
    void localPartLongerThanRemoteStartsAgainFromZero();
    void connectionLossFailsOnceAndResumeContinuesWithRest();
    void hostileListingNamesAreSkipped();
    void linkWithoutListedTargetTakesItFromRetr();
    void folderExpansionStopsAtDepthLimit();
    void sameFolderIsListedOnce();
    void neverWritesThroughSymbolicLink();
    void unsafeNamesNeverReachTheWire();
    void stopKeepsControlChannelInStep();
    void stopBeforeRetrSendsNoRetr();
    void stopWithNothingQueuedReturnsFalse();
    void uploadSendsBlocksOf10240();
    void uploadEmptyFile();
    void uploadsGoInQueueOrder();
    void storStartsOn125();
    void secondPreliminaryReplyDoesNotSendTwice();
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

void TestEngineTransfer::downloadsRunFromTheEndOfTheQueue()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.addAnswer(QStringLiteral("RETR a"), dataAnswer("AAA"));
    server.addAnswer(QStringLiteral("RETR b"), dataAnswer("BBBB"));
    server.addAnswer(QStringLiteral("RETR c"), dataAnswer("CCCCC"));
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
}

void TestEngineTransfer::restOnlyWhenResuming()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    const QByteArray whole = patternBytes(3000);
    server.setReply(QStringLiteral("SIZE"), "213 3000\r\n");
    server.addAnswer(QStringLiteral("RETR"), dataAnswer(whole.mid(1000)));
    QVERIFY(writeTestFile(local(QStringLiteral("f")), whole.left(1000)));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    client.addDownloadFile(local(QStringLiteral("f")), QStringLiteral("/f"), false, 1000);
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    const QStringList lines = transferCommands(server.commands());
    QVERIFY(lines.contains(QStringLiteral("REST 1000")));
    QCOMPARE(lines.indexOf(QStringLiteral("REST 1000")) + 1, lines.indexOf(QStringLiteral("RETR f")));
    QCOMPARE(readTestFile(local(QStringLiteral("f"))), whole);
    QCOMPARE(client.downloads().first()->stateCode, int(KTDUFile::Downloaded));
}

void TestEngineTransfer::sizeFailureLeavesSizeUnknown()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.addAnswer(QStringLiteral("RETR"), dataAnswer("hello"));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    QSignalSpy sizes(&client, &FTPClient::srFileSize);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* record = client.addDownloadFile(local(QStringLiteral("f")), QStringLiteral("/f"), false, 0);
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(sizes.count(), 0);
    QCOMPARE(record->fileSize, qint64(0));
    QCOMPARE(record->doneSize, qint64(5));
    QCOMPARE(record->stateCode, int(KTDUFile::Downloaded));
}

void TestEngineTransfer::sizeReplyNotANumberLeavesSizeZero()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.setReply(QStringLiteral("SIZE"), "213 -12\r\n");
    server.addAnswer(QStringLiteral("RETR"), dataAnswer("hello"));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* record = client.addDownloadFile(local(QStringLiteral("f")), QStringLiteral("/f"), false, 0);
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(record->fileSize, qint64(0));
    QCOMPARE(record->stateCode, int(KTDUFile::Downloaded));
}

void TestEngineTransfer::finalReplyBeforeDataKeepsTheLateBytes()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    const QByteArray data = patternBytes(300000, 7);
    Answer answer = dataAnswer(data);
    answer.replyBeforeData = true;
    answer.dataDelayMs = 100;
    server.addAnswer(QStringLiteral("RETR"), answer);
    server.setReply(QStringLiteral("SIZE"), "213 300000\r\n");
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    QSignalSpy fileFinish(&client, &FTPClient::srFileFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* record = client.addDownloadFile(local(QStringLiteral("f")), QStringLiteral("/f"), false, 0);
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(record->stateCode, int(KTDUFile::Downloaded));
    QCOMPARE(readTestFile(local(QStringLiteral("f"))), data);
    QCOMPARE(fileFinish.count(), 2);  // the file once, then the summary
}

void TestEngineTransfer::shortFileFails()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.setReply(QStringLiteral("SIZE"), "213 1000\r\n");
    server.addAnswer(QStringLiteral("RETR"), dataAnswer(patternBytes(500)));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* record = client.addDownloadFile(local(QStringLiteral("f")), QStringLiteral("/f"), false, 0);
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(record->doneSize, qint64(500));
    QCOMPARE(record->stateCode, int(KTDUFile::DownloadError));
    QCOMPARE(client.downloads().last()->localFile, QStringLiteral("Dowload Finish, Total: 1 Success: 0"));
}

void TestEngineTransfer::freshDownloadTruncatesLongerOldFile()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.addAnswer(QStringLiteral("RETR"), dataAnswer("new"));
    QVERIFY(writeTestFile(local(QStringLiteral("f")), QByteArray(5000, 'o')));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    client.addDownloadFile(local(QStringLiteral("f")), QStringLiteral("/f"), false, 0);
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(readTestFile(local(QStringLiteral("f"))), QByteArray("new"));
}

void TestEngineTransfer::localPartLongerThanRemoteStartsAgainFromZero()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.setReply(QStringLiteral("SIZE"), "213 100\r\n");
    const QByteArray data = patternBytes(100, 3);
    server.addAnswer(QStringLiteral("RETR"), dataAnswer(data));
    QVERIFY(writeTestFile(local(QStringLiteral("f")), QByteArray(500, 'o')));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* record = client.addDownloadFile(local(QStringLiteral("f")), QStringLiteral("/f"), false, 500);
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QVERIFY(matching(server.commands(), QStringLiteral("REST")).isEmpty());
    QCOMPARE(readTestFile(local(QStringLiteral("f"))), data);
    QCOMPARE(record->stateCode, int(KTDUFile::Downloaded));
}

void TestEngineTransfer::connectionLossFailsOnceAndResumeContinuesWithRest()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    const QByteArray whole = patternBytes(200000, 11);
    server.setReply(QStringLiteral("SIZE"), "213 200000\r\n");
    Answer cut = dataAnswer(whole);
    cut.cutDataAfter = 60000;
    cut.replyDelayMs = 120000;  // the reply never comes before the connection goes
    server.addAnswer(QStringLiteral("RETR"), cut);
    server.addAnswer(QStringLiteral("RETR"), dataAnswer(whole.mid(60000)));
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

// Our own server names no target in its listing and sends it as the data of RETR.
void TestEngineTransfer::linkWithoutListedTargetTakesItFromRetr()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.addAnswer(QStringLiteral("RETR ln"), dataAnswer("target.txt"));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* record = client.addDownloadFile(local(QStringLiteral("ln")), QStringLiteral("/ln"), true, 0);
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(record->stateCode, int(KTDUFile::Downloaded));
    QVERIFY(QFileInfo(local(QStringLiteral("ln"))).isSymLink());
    QCOMPARE(QFileInfo(local(QStringLiteral("ln"))).symLinkTarget(), local(QStringLiteral("target.txt")));
}

void TestEngineTransfer::hostileListingNamesAreSkipped()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.setReply(QStringLiteral("PWD"), "257 \"/d\" is the current directory.\r\n");
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
    server.addAnswer(QStringLiteral("RETR ok.txt"), dataAnswer("good"));

    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    connect(&client, &FTPClient::currentDirData, &client, [&client](const QString& text, bool download) {
        if (download) {
            client.queueDownloadListing(text);
            client.startDownload();
        }
    });
    const QString base = local(QStringLiteral("job"));
    QVERIFY(QDir().mkpath(base));
    client.prepareTransfer(base, QStringLiteral("/"));
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

void TestEngineTransfer::sameFolderIsListedOnce()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.setReply(QStringLiteral("PWD"), "257 \"/d\" is the current directory.\r\n");
    Answer list;
    list.data = "-rw-r--r-- 1 u g 1 Jan 01 12:00 f\r\n";
    server.addAnswer(QStringLiteral("LIST"), list);
    server.addAnswer(QStringLiteral("RETR"), dataAnswer("1"));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    connect(&client, &FTPClient::currentDirData, &client, [&client](const QString& text, bool download) {
        if (download) {
            client.queueDownloadListing(text);
            client.startDownload();
        }
    });
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    client.addDownloadFolder(QStringLiteral("/d"));
    client.addDownloadFolder(QStringLiteral("/d/"));
    client.addDownloadFolder(QStringLiteral("/d"));
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(matching(server.commands(), QStringLiteral("LIST")).size(), 1);
    QCOMPARE(client.downloads().size(), 2);  // f and the summary
}

void TestEngineTransfer::neverWritesThroughSymbolicLink()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.addAnswer(QStringLiteral("RETR"), dataAnswer("overwritten"));
    QTemporaryDir outside;
    const QString victim = outside.path() + QStringLiteral("/victim");
    QVERIFY(writeTestFile(victim, "precious"));
    QVERIFY(QFile::link(victim, local(QStringLiteral("f"))));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* record = client.addDownloadFile(local(QStringLiteral("f")), QStringLiteral("/f"), false, 0);
    client.startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(record->stateCode, int(KTDUFile::DownloadError));
    QCOMPARE(readTestFile(victim), QByteArray("precious"));
    QVERIFY(matching(server.commands(), QStringLiteral("RETR")).isEmpty());
}

void TestEngineTransfer::unsafeNamesNeverReachTheWire()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.addAnswer(QStringLiteral("RETR"), dataAnswer("x"));
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
    server.setReply(QStringLiteral("SIZE"), "213 4000000\r\n");
    Answer big = dataAnswer(patternBytes(4000000, 5));
    big.reply = "426 Connection closed; transfer aborted.\r\n";
    big.replyDelayMs = 200;
    big.cutDataAfter = big.data.size();  // an error reply with data, not a refusal
    server.addAnswer(QStringLiteral("RETR"), big);
    server.setReply(QStringLiteral("PWD"), "257 \"/after\" is the current directory.\r\n");
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy stop(&client, &FTPClient::srStop);
    QSignalSpy progress(&client, &FTPClient::srProgress);
    if (qEnvironmentVariableIsSet("TORVEX_TRACE")) {
        connect(client.dataSocket, &QAbstractSocket::stateChanged, [](QAbstractSocket::SocketState st) { qDebug() << "data" << st; });
        connect(&client, &FTPClient::srProgress, [](KTDUFile* r) { qDebug() << "progress" << r->doneSize; });
    }
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
    server.addAnswer(QStringLiteral("RETR"), dataAnswer("content"));
    FTPClient client;
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

void TestEngineTransfer::stopWithNothingQueuedReturnsFalse()
{
    FTPClient client;
    QVERIFY(!client.stopTransfers());
    QCOMPARE(client.stopFlag(), 0);
    QVERIFY(!client.resumeTransfers());
}

void TestEngineTransfer::uploadSendsBlocksOf10240()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    const QByteArray data = patternBytes(25000, 9);
    QVERIFY(writeTestFile(local(QStringLiteral("u.bin")), data));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    QList<qint64> steps;
    connect(&client, &FTPClient::srProgress, this, [&steps](KTDUFile* record) { steps.append(record->doneSize); });
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* record = client.addUploadFile(local(QStringLiteral("u.bin")), QStringLiteral("/u.bin"), false, 0);
    client.startUpload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(steps, (QList<qint64>{10240, 20480, 25000}));
    QCOMPARE(record->stateCode, int(KTDUFile::Uploaded));
    QCOMPARE(server.storedData(), data);
    QCOMPARE(transferCommands(server.commands()).mid(0, 3),
             (QStringList{QStringLiteral("TYPE I"), QStringLiteral("PASV"), QStringLiteral("STOR u.bin")}));
    QCOMPARE(client.uploads().last()->localFile, QStringLiteral("Upload Finish, Total: 1 Success: 1"));
}

void TestEngineTransfer::uploadEmptyFile()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    QVERIFY(writeTestFile(local(QStringLiteral("empty")), QByteArray()));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* record = client.addUploadFile(local(QStringLiteral("empty")), QStringLiteral("/empty"), false, 0);
    client.startUpload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(record->stateCode, int(KTDUFile::Uploaded));
    QCOMPARE(record->fileSize, qint64(0));
}

void TestEngineTransfer::uploadsGoInQueueOrder()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    QVERIFY(writeTestFile(local(QStringLiteral("a")), "a"));
    QVERIFY(writeTestFile(local(QStringLiteral("b")), "b"));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    client.addUploadFile(local(QStringLiteral("a")), QStringLiteral("/a"), false, 0);
    client.addUploadFile(local(QStringLiteral("b")), QStringLiteral("/b"), false, 0);
    client.startUpload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(matching(server.commands(), QStringLiteral("STOR")),
             (QStringList{QStringLiteral("STOR a"), QStringLiteral("STOR b")}));
    QCOMPARE(server.storedData(), QByteArray("ab"));
}

void TestEngineTransfer::storStartsOn125()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    Answer answer;
    answer.preliminary = "125 Data connection already open; transfer starting.\r\n";
    server.addAnswer(QStringLiteral("STOR"), answer);
    const QByteArray data = patternBytes(30000, 4);
    QVERIFY(writeTestFile(local(QStringLiteral("f")), data));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* record = client.addUploadFile(local(QStringLiteral("f")), QStringLiteral("/f"), false, 0);
    client.startUpload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(record->stateCode, int(KTDUFile::Uploaded));
    QCOMPARE(server.storedData(), data);
}

void TestEngineTransfer::secondPreliminaryReplyDoesNotSendTwice()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    Answer answer;
    answer.preliminary = "125 Data connection already open.\r\n150 Opening data connection.\r\n";
    server.addAnswer(QStringLiteral("STOR"), answer);
    const QByteArray data = patternBytes(5000, 8);
    QVERIFY(writeTestFile(local(QStringLiteral("f")), data));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy finish(&client, &FTPClient::srFinish);
    client.prepareTransfer(dir->path(), QStringLiteral("/"));
    KTDUFile* record = client.addUploadFile(local(QStringLiteral("f")), QStringLiteral("/f"), false, 0);
    client.startUpload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(server.storedData(), data);
    QCOMPARE(record->stateCode, int(KTDUFile::Uploaded));
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
