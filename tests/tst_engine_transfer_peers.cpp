// Transfer jobs, remote operations and compare against real servers from the distribution
// (pyftpdlib and vsftpd) on 127.0.0.1: byte-for-byte trees, stop and resume, delete, rename,
// move, chmod, compare.
#include "engine/ftpclient.h"
#include "support/ftppeers.h"
#include "support/testfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const int Wait = 30000;

// Relative path -> content of every file, and the relative folders, below root.
QMap<QString, QByteArray> treeContent(const QString& root, QStringList* folders = nullptr)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(root.size() + 1);
        if (it.fileInfo().isDir()) {
            if (folders)
                folders->append(relative);
        } else {
            files.insert(relative, readTestFile(path));
        }
    }
    if (folders)
        folders->sort();
    return files;
}

void makeTree(const QString& root)
{
    writeTestFile(root + QStringLiteral("/big.bin"), patternBytes(3 * 1024 * 1024 + 17, 21));
    writeTestFile(root + QStringLiteral("/with blank.txt"), "blank name\n");
    writeTestFile(root + QStringLiteral("/sub folder/inner file.dat"), patternBytes(70000, 22));
    writeTestFile(root + QStringLiteral("/sub folder/deeper/x"), "x");
    QDir().mkpath(root + QStringLiteral("/empty"));
}

} // namespace

class TestEngineTransferPeers : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void downloadTree_data();
    void downloadTree();
    void symlinkedFolderAndLinkDelete_data();
    void symlinkedFolderAndLinkDelete();
    void uploadTree_data();
    void uploadTree();
    void stopAndResumeDownload_data();
    void stopAndResumeDownload();
    void stopAndResumeUpload_data();
    void stopAndResumeUpload();
    void deleteTree_data();
    void deleteTree();
    void renameAndMove_data();
    void renameAndMove();
    void chmod_data();
    void chmod();
    void compare_data();
    void compare();

private:
    void peerData();
    bool startPeer();
    bool logIn();

    std::unique_ptr<FtpPeer> peer;
    std::unique_ptr<FTPClient> client;
    std::unique_ptr<QTemporaryDir> local;
};

void TestEngineTransferPeers::peerData()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("pyftpdlib") << int(FtpPeer::Pyftpdlib);
    QTest::newRow("vsftpd") << int(FtpPeer::Vsftpd);
}

void TestEngineTransferPeers::init()
{
    local = std::make_unique<QTemporaryDir>();
    QVERIFY(local->isValid());
}

void TestEngineTransferPeers::cleanup()
{
    client.reset();
    peer.reset();
}

bool TestEngineTransferPeers::startPeer()
{
    QFETCH(int, kind);
    const auto peerKind = FtpPeer::Kind(kind);
    if (!FtpPeer::available(peerKind))
        return false;
    peer = std::make_unique<FtpPeer>(peerKind);
    const QString error = peer->start();
    if (!error.isEmpty()) {
        qWarning("%s", qPrintable(error));
        peer.reset();
        return false;
    }
    client = std::make_unique<FTPClient>();
    return true;
}

#define START_PEER()                                                                    \
    do {                                                                                \
        if (!startPeer()) {                                                             \
            QFETCH(int, kind);                                                          \
            if (kind == FtpPeer::Vsftpd && !QFileInfo::exists("/usr/sbin/vsftpd"))      \
                QSKIP("/usr/sbin/vsftpd is not installed");                             \
            QFAIL("the FTP peer did not start");                                        \
        }                                                                               \
        QSignalSpy loginSpy(client.get(), &FTPClient::login);                           \
        client->connectServer(QStringLiteral("127.0.0.1"), peer->port(), peer->user(),  \
                              peer->password());                                        \
        QTRY_VERIFY_WITH_TIMEOUT(!loginSpy.isEmpty(), Wait);                            \
        QVERIFY(loginSpy.last().first().toBool());                                      \
    } while (0)

// Feeds folder listings of a download job back into it, as the window does.
#define FEED_LISTINGS()                                                                                 \
    connect(client.get(), &FTPClient::currentDirData, client.get(), [this](const QString& text, bool dl) { \
        if (dl) {                                                                                       \
            client->queueDownloadListing(text);                                                         \
            client->startDownload();                                                                    \
        }                                                                                               \
    })

void TestEngineTransferPeers::downloadTree_data() { peerData(); }
void TestEngineTransferPeers::downloadTree()
{
    START_PEER();
    makeTree(peer->writable() + QStringLiteral("/tree"));
    // Real servers serve a link's content to RETR; its target comes from the listing.
    QVERIFY(QFile::link(QStringLiteral("with blank.txt"), peer->writable() + QStringLiteral("/tree/link")));
    peer->handOver(peer->writable());
    FEED_LISTINGS();
    QSignalSpy finish(client.get(), &FTPClient::srFinish);
    client->prepareTransfer(local->path(), peer->remoteWritable());
    client->addDownloadFolder(peer->remoteWritable() + QStringLiteral("/tree"));
    client->startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);

    QStringList remoteFolders;
    QStringList localFolders;
    const auto remote = treeContent(peer->writable() + QStringLiteral("/tree"), &remoteFolders);
    const auto fetched = treeContent(local->path() + QStringLiteral("/tree"), &localFolders);
    QCOMPARE(fetched.keys(), remote.keys());
    QVERIFY(fetched == remote);
    QCOMPARE(localFolders, remoteFolders);  // the empty folder too
    QCOMPARE(QFileInfo(local->path() + QStringLiteral("/tree/link")).symLinkTarget(),
             QFileInfo(local->path() + QStringLiteral("/tree/with blank.txt")).absoluteFilePath());
    QCOMPARE(client->downloads().last()->localFile, QStringLiteral("Dowload Finish, Total: 5 Success: 5"));
}

// A folder reached through a link (vsftpd's PWD names the real folder) is fetched whole, and a
// delete job removes a link to a folder, never what is inside the folder it leads to.
void TestEngineTransferPeers::symlinkedFolderAndLinkDelete_data() { peerData(); }
void TestEngineTransferPeers::symlinkedFolderAndLinkDelete()
{
    START_PEER();
    const QString w = peer->writable();
    writeTestFile(w + QStringLiteral("/real/inner.txt"), "inner");
    QVERIFY(QFile::link(QStringLiteral("real"), w + QStringLiteral("/lnk")));
    QDir().mkpath(w + QStringLiteral("/doomed"));
    QVERIFY(QFile::link(QStringLiteral("../real"), w + QStringLiteral("/doomed/to-real")));
    peer->handOver(w);
    FEED_LISTINGS();
    QSignalSpy finish(client.get(), &FTPClient::srFinish);
    client->prepareTransfer(local->path(), peer->remoteWritable());
    client->addDownloadFolder(peer->remoteWritable() + QStringLiteral("/lnk"));
    client->startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(readTestFile(local->path() + QStringLiteral("/lnk/inner.txt")), QByteArray("inner"));
    QCOMPARE(client->downloads().last()->localFile, QStringLiteral("Dowload Finish, Total: 1 Success: 1"));

    QSignalSpy deleted(client.get(), &FTPClient::deleteFile);
    client->prepareDelete(peer->remoteWritable());
    client->addDeleteFolder(peer->remoteWritable(), QStringLiteral("doomed"));
    client->deleteNext(KTDelInfo::Unknown);
    QTRY_VERIFY_WITH_TIMEOUT(!deleted.isEmpty() && deleted.last().at(1).toString().isEmpty(), Wait);
    QCOMPARE(deleted.last().at(0).toString(), QStringLiteral("Delete Finish, Total: 2 Success: 2"));
    QVERIFY(!QFileInfo(w + QStringLiteral("/doomed")).exists());
    QCOMPARE(readTestFile(w + QStringLiteral("/real/inner.txt")), QByteArray("inner"));
}

void TestEngineTransferPeers::uploadTree_data() { peerData(); }
void TestEngineTransferPeers::uploadTree()
{
    START_PEER();
    const QString source = local->path() + QStringLiteral("/tree");
    makeTree(source);
    QSignalSpy finish(client.get(), &FTPClient::srFinish);
    client->prepareTransfer(local->path(), peer->remoteWritable());
    client->addUploadFolder(source);
    client->startUpload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(client->uploads().last()->localFile, QStringLiteral("Upload Finish, Total: 4 Success: 4"));
    QStringList sentFolders;
    QStringList sourceFolders;
    const auto sent = treeContent(peer->writable() + QStringLiteral("/tree"), &sentFolders);
    const auto original = treeContent(source, &sourceFolders);
    QVERIFY(sent == original);
    // An empty local folder creates nothing on the server.
    sourceFolders.removeAll(QStringLiteral("empty"));
    QCOMPARE(sentFolders, sourceFolders);
}

void TestEngineTransferPeers::stopAndResumeDownload_data() { peerData(); }
void TestEngineTransferPeers::stopAndResumeDownload()
{
    START_PEER();
    const QByteArray content = patternBytes(48 * 1024 * 1024, 31);
    QVERIFY(writeTestFile(peer->writable() + QStringLiteral("/large.bin"), content));
    peer->handOver(peer->writable());
    QSignalSpy finish(client.get(), &FTPClient::srFinish);
    QSignalSpy stop(client.get(), &FTPClient::srStop);
    bool asked = false;
    connect(client.get(), &FTPClient::srProgress, this, [this, &asked](KTDUFile* record) {
        if (!asked && record->doneSize > 0) {
            asked = true;
            QVERIFY(client->stopTransfers());
        }
    });
    client->prepareTransfer(local->path(), peer->remoteWritable());
    KTDUFile* record = client->addDownloadFile(local->path() + QStringLiteral("/large.bin"),
                                               peer->remoteWritable() + QStringLiteral("/large.bin"), false, 0);
    client->startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(stop.count(), 1, Wait);
    QCOMPARE(client->stopFlag(), 1);
    QCOMPARE(finish.count(), 0);
    if (record->stateCode == KTDUFile::DownloadError)
        QVERIFY(record->doneSize < content.size());
    QCOMPARE(QFileInfo(record->localFile).size(), record->doneSize);
    const qint64 cutAt = record->doneSize;

    // The channel is in step: a folder change right after the stop gets its own answer.
    QSignalSpy cwd(client.get(), &FTPClient::changDir);
    client->changeDir(QStringLiteral("/"));
    QTRY_COMPARE_WITH_TIMEOUT(cwd.count(), 1, Wait);
    QVERIFY(cwd.first().first().toBool());

    QVERIFY(client->resumeTransfers());
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(record->stateCode, int(KTDUFile::Downloaded));
    QVERIFY(cutAt == 0 || cutAt == content.size() || record->doneSize == content.size());
    QVERIFY(readTestFile(record->localFile) == content);
}

void TestEngineTransferPeers::stopAndResumeUpload_data() { peerData(); }
void TestEngineTransferPeers::stopAndResumeUpload()
{
    START_PEER();
    const QByteArray content = patternBytes(8 * 1024 * 1024, 41);
    const QString source = local->path() + QStringLiteral("/up.bin");
    QVERIFY(writeTestFile(source, content));
    QSignalSpy finish(client.get(), &FTPClient::srFinish);
    QSignalSpy stop(client.get(), &FTPClient::srStop);
    bool asked = false;
    connect(client.get(), &FTPClient::srProgress, this, [this, &asked](KTDUFile* record) {
        if (!asked && record->doneSize >= 1024 * 1024) {
            asked = true;
            QVERIFY(client->stopTransfers());
        }
    });
    client->prepareTransfer(local->path(), peer->remoteWritable());
    KTDUFile* record = client->addUploadFile(source, client->localToRemote(source), false, 0);
    client->startUpload();
    QTRY_COMPARE_WITH_TIMEOUT(stop.count(), 1, Wait);
    QCOMPARE(record->stateCode, int(KTDUFile::UploadError));
    QVERIFY(record->doneSize < content.size());
    QVERIFY(client->resumeTransfers());
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(record->stateCode, int(KTDUFile::Uploaded));
    QVERIFY(readTestFile(peer->writable() + QStringLiteral("/up.bin")) == content);
}

void TestEngineTransferPeers::deleteTree_data() { peerData(); }
void TestEngineTransferPeers::deleteTree()
{
    START_PEER();
    makeTree(peer->writable() + QStringLiteral("/doomed"));
    writeTestFile(peer->writable() + QStringLiteral("/keep"), "keep");
    peer->handOver(peer->writable());
    QSignalSpy deleted(client.get(), &FTPClient::deleteFile);
    client->prepareDelete(peer->remoteWritable());
    client->addDeleteFolder(peer->remoteWritable(), QStringLiteral("doomed"));
    client->deleteNext(KTDelInfo::Unknown);
    QTRY_VERIFY_WITH_TIMEOUT(!deleted.isEmpty() && deleted.last().at(1).toString().isEmpty(), Wait);
    QCOMPARE(deleted.last().at(0).toString(), QStringLiteral("Delete Finish, Total: 8 Success: 8"));
    QVERIFY(!QFileInfo::exists(peer->writable() + QStringLiteral("/doomed")));
    QVERIFY(QFileInfo::exists(peer->writable() + QStringLiteral("/keep")));
}

void TestEngineTransferPeers::renameAndMove_data() { peerData(); }
void TestEngineTransferPeers::renameAndMove()
{
    START_PEER();
    writeTestFile(peer->writable() + QStringLiteral("/a file"), "a");
    writeTestFile(peer->writable() + QStringLiteral("/b"), "b");
    QDir().mkpath(peer->writable() + QStringLiteral("/target"));
    peer->handOver(peer->writable());
    const QString w = peer->remoteWritable();
    QSignalSpy listed(client.get(), &FTPClient::currentDirData);
    client->changeDir(w);
    client->renameFile(QStringLiteral("a file"), QStringLiteral("renamed file"));
    QTRY_COMPARE_WITH_TIMEOUT(listed.count(), 1, Wait);
    QVERIFY(listed.first().first().toString().contains(QLatin1String("renamed file")));
    QCOMPARE(readTestFile(peer->writable() + QStringLiteral("/renamed file")), QByteArray("a"));

    client->addMoves({FTPClient::PathPair(w + QStringLiteral("/renamed file"), w + QStringLiteral("/target/renamed file")),
                      FTPClient::PathPair(w + QStringLiteral("/b"), w + QStringLiteral("/target/b")),
                      FTPClient::PathPair(w + QStringLiteral("/target"), QString())});
    QTRY_COMPARE_WITH_TIMEOUT(listed.count(), 2, Wait);
    QCOMPARE(client->currentRemoteDir(), w + QStringLiteral("/target"));
    QCOMPARE(readTestFile(peer->writable() + QStringLiteral("/target/b")), QByteArray("b"));
    QCOMPARE(readTestFile(peer->writable() + QStringLiteral("/target/renamed file")), QByteArray("a"));
    QVERIFY(!QFileInfo::exists(peer->writable() + QStringLiteral("/b")));
}

void TestEngineTransferPeers::chmod_data() { peerData(); }
void TestEngineTransferPeers::chmod()
{
    START_PEER();
    writeTestFile(peer->writable() + QStringLiteral("/d/f1"), "1");
    writeTestFile(peer->writable() + QStringLiteral("/d/f2"), "2");
    peer->handOver(peer->writable());
    QSignalSpy finish(client.get(), &FTPClient::srChmodFinish);
    client->setChmod(peer->remoteWritable(), 2, QStringLiteral("600"));
    client->addChmodFolder(peer->remoteWritable(), QStringLiteral("d"));
    client->chmodNext();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(finish.first().at(0).toInt(), 2);
    if (peer->kind() == FtpPeer::Vsftpd) {
        // vsftpd refuses SITE CHMOD to anonymous users: the refusals are counted, nothing changes.
        QCOMPARE(finish.first().at(1).toInt(), 0);
        return;
    }
    QCOMPARE(finish.first().at(1).toInt(), 2);
    const QFileDevice::Permissions mode = QFileInfo(peer->writable() + QStringLiteral("/d/f1")).permissions();
    QVERIFY(mode & QFileDevice::WriteOwner);
    QVERIFY(!(mode & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));
}

void TestEngineTransferPeers::compare_data() { peerData(); }
void TestEngineTransferPeers::compare()
{
    START_PEER();
    const QString localBase = local->path() + QStringLiteral("/mine");
    writeTestFile(peer->writable() + QStringLiteral("/c/same one"), patternBytes(200000, 51));
    writeTestFile(peer->writable() + QStringLiteral("/c/changed"), patternBytes(1000, 52));
    writeTestFile(peer->writable() + QStringLiteral("/c/remote only"), "r");
    peer->handOver(peer->writable());
    writeTestFile(localBase + QStringLiteral("/same one"), patternBytes(200000, 51));
    writeTestFile(localBase + QStringLiteral("/changed"), patternBytes(1000, 53));
    QTemporaryDir temp;
    FEED_LISTINGS();
    QSignalSpy finish(client.get(), &FTPClient::srFinish);
    QStringList results;
    bool done = false;
    connect(client.get(), &FTPClient::srCmpResult, this, [&results](KTDUFile* record) {
        results.append(QFileInfo(record->localFile).fileName() + QLatin1Char(' ') + record->stateText());
    });
    connect(client.get(), &FTPClient::srCmpFinish, this, [&done] { done = true; });
    connect(client.get(), &FTPClient::srFinish, this, [this] { client->startCompare(); });
    client->setCompareBase(localBase, temp.path());
    client->prepareTransfer(temp.path(), peer->remoteWritable() + QStringLiteral("/c"));
    client->addDownloadFolder(peer->remoteWritable() + QStringLiteral("/c"));
    client->startDownload();
    QTRY_VERIFY_WITH_TIMEOUT(done, Wait);
    results.sort();
    QCOMPARE(results, (QStringList{QStringLiteral("changed Different"), QStringLiteral("remote only Different"),
                                   QStringLiteral("same one Same")}));
    QCOMPARE(client->downloads().last()->localFile, QStringLiteral("Compare finish, Total:3, Same:1"));
    QCOMPARE(finish.count(), 1);
}

QTEST_GUILESS_MAIN(TestEngineTransferPeers)
#include "tst_engine_transfer_peers.moc"
