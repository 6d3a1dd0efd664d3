// The engine against real servers from the distribution (pyftpdlib and vsftpd) on 127.0.0.1:
// login and browsing, byte-for-byte trees, stop and resume, delete, rename, move, chmod, compare.
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
    void browse_data();
    void browse();
    void treeUpDownAndDeleted_data();
    void treeUpDownAndDeleted();
    void symlinkedFolderAndLinkDelete_data();
    void symlinkedFolderAndLinkDelete();
    void stopAndResume_data();
    void stopAndResume();
    void renameAndMove_data();
    void renameAndMove();
    void chmod_data();
    void chmod();
    void compare_data();
    void compare();

private:
    void peerData();
    bool startPeer();
    FTPClient::Rows listFolder(const QString& folder);

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

FTPClient::Rows TestEngineTransferPeers::listFolder(const QString& folder)
{
    QSignalSpy listings(client.get(), &FTPClient::currentDirData);
    client->changeDir(folder);
    client->listDir();
    if (!listings.wait(Wait))
        return {};
    FTPClient::Rows rows = FTPClient::parseList(listings.first().first().toString());
    return FTPClient::sortRows(rows);
}

void TestEngineTransferPeers::browse_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("pyftpdlib") << int(FtpPeer::Pyftpdlib);
}

// Login, folders and listings as the window uses them, checked against the served folder.
void TestEngineTransferPeers::browse()
{
    START_PEER();
    const QString base = peer->writable() + QStringLiteral("/b");
    const QString remote = peer->remoteWritable() + QStringLiteral("/b");
    QVERIFY(writeTestFile(base + "/a b.txt", "hello world\n"));
    QVERIFY(writeTestFile(base + QStringLiteral("/\u00fcber \u65e5\u672c.txt"), patternBytes(3000)));
    QVERIFY(writeTestFile(base + "/my folder/inner.bin", patternBytes(70000)));
    QVERIFY(QDir(base).mkpath(QStringLiteral("empty")));
    QVERIFY(QFile::link(QStringLiteral("a b.txt"), base + "/link"));
    for (int i = 0; i < 1500; ++i)
        QVERIFY(writeTestFile(base + QStringLiteral("/many/entry %1.txt").arg(i, 4, 10, QLatin1Char('0')), "x"));

    FTPClient stranger;
    QSignalSpy refused(&stranger, &FTPClient::login);
    stranger.connectServer(QStringLiteral("127.0.0.1"), peer->port(), peer->user(), QStringLiteral("wrong"));
    QVERIFY(refused.wait(Wait));
    QVERIFY(!refused.first().first().toBool());
    QVERIFY(!stranger.isLoggedIn());

    QSignalSpy changes(client.get(), &FTPClient::changDir);
    QSignalSpy dirs(client.get(), &FTPClient::currentDir);
    client->printDir();
    QVERIFY(dirs.wait(Wait));
    QCOMPARE(dirs.first().first().toString(), QStringLiteral("/"));
    client->changeDir(remote + QStringLiteral("/my folder"));
    client->printDir();
    QVERIFY(dirs.wait(Wait));
    QVERIFY(changes.last().first().toBool());
    QCOMPARE(dirs.last().first().toString(), remote + QStringLiteral("/my folder"));
    client->changeDir(QStringLiteral("/no such folder"));
    QVERIFY(changes.wait(Wait));
    QVERIFY(!changes.last().first().toBool());
    QCOMPARE(client->currentRemoteDir(), remote + QStringLiteral("/my folder"));

    const FTPClient::Rows rows = listFolder(remote);
    QDir folder(base);
    QStringList expected;
    for (const QFileInfo& entry : folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System))
        expected << (entry.isSymLink() ? entry.fileName() + " -> " + entry.symLinkTarget().section('/', -1) : entry.fileName());
    QStringList seen;
    bool filesBegan = false;
    for (const auto& row : rows) {
        const QString& name = row.at(6);
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        seen << name;
        const QFileInfo local(folder.filePath(FTPClient::isLinkRow(row) ? name.section(QStringLiteral(" -> "), 0, 0) : name));
        QCOMPARE(FTPClient::isLinkRow(row), local.isSymLink());
        QCOMPARE(FTPClient::isDirRow(row), local.isDir() && !local.isSymLink());
        if (local.isFile() && !local.isSymLink())
            QCOMPARE(FTPClient::rowSize(row), local.size());
        // Display order: folders first, then files.
        filesBegan = filesBegan || !FTPClient::isDirRow(row);
        QVERIFY(!(filesBegan && FTPClient::isDirRow(row)));
    }
    expected.sort();
    seen.sort();
    QCOMPARE(seen, expected);
    const FTPClient::Rows many = listFolder(remote + QStringLiteral("/many"));
    QCOMPARE(std::count_if(many.cbegin(), many.cend(), [](const FTPClient::Row& row) {
        return row.at(6).startsWith(QLatin1String("entry "));
    }), 1500);

    QSignalSpy logouts(client.get(), &FTPClient::logout);
    client->disconnectServer();
    QVERIFY(logouts.wait(Wait));
    QCOMPARE(logouts.count(), 1);
    QVERIFY(client->isClosed());
}

// A tree goes up, comes back byte for byte, and is deleted whole.
void TestEngineTransferPeers::treeUpDownAndDeleted_data() { peerData(); }
void TestEngineTransferPeers::treeUpDownAndDeleted()
{
    START_PEER();
    const QString source = local->path() + QStringLiteral("/tree");
    const QString served = peer->writable() + QStringLiteral("/tree");
    makeTree(source);
    QSignalSpy finish(client.get(), &FTPClient::srFinish);
    client->prepareTransfer(local->path(), peer->remoteWritable());
    client->addUploadFolder(source);
    client->startUpload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(client->uploads().last()->localFile, QStringLiteral("Upload Finish, Total: 4 Success: 4"));
    QStringList sentFolders;
    QStringList sourceFolders;
    QVERIFY(treeContent(served, &sentFolders) == treeContent(source, &sourceFolders));
    // An empty local folder creates nothing on the server.
    sourceFolders.removeAll(QStringLiteral("empty"));
    QCOMPARE(sentFolders, sourceFolders);

    // Real servers serve a link's content to RETR; its target comes from the listing.
    QVERIFY(QDir().mkpath(served + QStringLiteral("/empty")));
    QVERIFY(QFile::link(QStringLiteral("with blank.txt"), served + QStringLiteral("/link")));
    writeTestFile(peer->writable() + QStringLiteral("/keep"), "keep");
    peer->handOver(peer->writable());
    FEED_LISTINGS();
    const QString back = local->path() + QStringLiteral("/back");
    QVERIFY(QDir().mkpath(back));
    client->prepareTransfer(back, peer->remoteWritable());
    client->addDownloadFolder(peer->remoteWritable() + QStringLiteral("/tree"));
    client->startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 2, Wait);
    QStringList remoteFolders;
    QStringList localFolders;
    const auto remote = treeContent(served, &remoteFolders);
    const auto fetched = treeContent(back + QStringLiteral("/tree"), &localFolders);
    QCOMPARE(fetched.keys(), remote.keys());
    QVERIFY(fetched == remote);
    QCOMPARE(localFolders, remoteFolders);  // the empty folder too
    QCOMPARE(QFileInfo(back + QStringLiteral("/tree/link")).symLinkTarget(),
             QFileInfo(back + QStringLiteral("/tree/with blank.txt")).absoluteFilePath());
    QCOMPARE(client->downloads().last()->localFile, QStringLiteral("Dowload Finish, Total: 5 Success: 5"));

    QSignalSpy deleted(client.get(), &FTPClient::deleteFile);
    client->prepareDelete(peer->remoteWritable());
    client->addDeleteFolder(peer->remoteWritable(), QStringLiteral("tree"));
    client->deleteNext(KTDelInfo::Unknown);
    QTRY_VERIFY_WITH_TIMEOUT(!deleted.isEmpty() && deleted.last().at(1).toString().isEmpty(), Wait);
    QCOMPARE(deleted.last().at(0).toString(), QStringLiteral("Delete Finish, Total: 9 Success: 9"));
    QVERIFY(!QFileInfo::exists(served));
    QVERIFY(QFileInfo::exists(peer->writable() + QStringLiteral("/keep")));
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

void TestEngineTransferPeers::stopAndResume_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("upload");
    for (const int kind : {int(FtpPeer::Pyftpdlib), int(FtpPeer::Vsftpd)}) {
        const char* name = kind == FtpPeer::Pyftpdlib ? "pyftpdlib" : "vsftpd";
        QTest::addRow("%s download", name) << kind << false;
        QTest::addRow("%s upload", name) << kind << true;
    }
}

void TestEngineTransferPeers::stopAndResume()
{
    START_PEER();
    QFETCH(bool, upload);
    const QByteArray content = patternBytes((upload ? 8 : 48) * 1024 * 1024, 31);
    const QString mine = local->path() + QStringLiteral("/large.bin");
    const QString served = peer->writable() + QStringLiteral("/large.bin");
    QVERIFY(writeTestFile(upload ? mine : served, content));
    peer->handOver(peer->writable());
    QSignalSpy finish(client.get(), &FTPClient::srFinish);
    QSignalSpy stop(client.get(), &FTPClient::srStop);
    bool asked = false;
    connect(client.get(), &FTPClient::srProgress, this, [this, &asked, upload](KTDUFile* record) {
        if (!asked && record->doneSize >= (upload ? 1024 * 1024 : 1)) {
            asked = true;
            QVERIFY(client->stopTransfers());
        }
    });
    client->prepareTransfer(local->path(), peer->remoteWritable());
    const QString remote = client->localToRemote(mine);
    QCOMPARE(remote, peer->remoteWritable() + QStringLiteral("/large.bin"));
    KTDUFile* record = upload ? client->addUploadFile(mine, remote, false, 0) : client->addDownloadFile(mine, remote, false, 0);
    upload ? client->startUpload() : client->startDownload();
    QTRY_COMPARE_WITH_TIMEOUT(stop.count(), 1, Wait);
    QCOMPARE(client->stopFlag(), 1);
    QCOMPARE(finish.count(), 0);
    if (upload)
        QCOMPARE(record->stateCode, int(KTDUFile::UploadError));
    if (record->stateCode != KTDUFile::Downloaded)
        QVERIFY(record->doneSize < content.size());
    if (!upload)
        QCOMPARE(QFileInfo(mine).size(), record->doneSize);
    const qint64 cutAt = record->doneSize;

    // The channel is in step: a folder change right after the stop gets its own answer.
    QSignalSpy cwd(client.get(), &FTPClient::changDir);
    client->changeDir(QStringLiteral("/"));
    QTRY_COMPARE_WITH_TIMEOUT(cwd.count(), 1, Wait);
    QVERIFY(cwd.first().first().toBool());

    QVERIFY(client->resumeTransfers());
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(record->stateCode, int(upload ? KTDUFile::Uploaded : KTDUFile::Downloaded));
    QVERIFY(upload || cutAt == 0 || cutAt == content.size() || record->doneSize == content.size());
    QVERIFY(readTestFile(upload ? served : mine) == content);
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
