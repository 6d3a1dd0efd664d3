// The engine through a whole session with real servers from the distribution (pyftpdlib and
// vsftpd) on 127.0.0.1: login and browsing, trees byte for byte, links, stop and resume, delete
// and chmod, each checked against the served folder. (A refused login, rename, move and compare
// run against pyftpdlib in peer_cli.sh and against our own server in tst_gui_window.)
#include "engine/ftpclient.h"
#include "support/ftppeers.h"
#include "support/testfiles.h"

#include <QtTest>

namespace {

const int Wait = 30000;

// Every relative path below root, sorted: a folder's with "/", a file's with its content's digest.
QStringList treeContent(const QString& root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const auto digest = QCryptographicHash::hash(readTestFile(path), QCryptographicHash::Sha1);
        entries << path.mid(root.size() + 1) + (it.fileInfo().isDir() ? "/" : " " + digest.toHex());
    }
    entries.sort();
    return entries;
}

QString summary(const QList<KTDUFile*>& records)
{
    return records.isEmpty() ? QString() : records.last()->localFile;
}

} // namespace

class TestEngineTransferPeers : public QObject
{
    Q_OBJECT
    std::unique_ptr<FTPClient> client;
    QTemporaryDir local;

    // Starts a job and waits for the signal that ends it.
    bool runJob(std::function<void()> start, const char* signal = SIGNAL(srFinish(QString, QString)))
    {
        QSignalSpy end(client.get(), signal);
        start();
        return end.wait(Wait) || !end.isEmpty();
    }

    // Folders and listings as the window uses them, checked against the served folder.
    void browse(const QString& base, const QString& remote)
    {
        QSignalSpy dirs(client.get(), &FTPClient::currentDir);
        for (const QString& folder : {QString(), remote + "/my folder"}) {
            if (!folder.isEmpty())
                client->changeDir(folder);
            client->printDir();
            QVERIFY(dirs.wait(Wait));
            QCOMPARE(dirs.last().first().toString(), folder.isEmpty() ? "/" : folder);
        }
        QStringList expected;
        const auto all = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System;
        for (const QFileInfo& entry : QDir(base).entryInfoList(all)) {
            const QString target = entry.symLinkTarget().section('/', -1);
            expected << entry.fileName() + (entry.isSymLink() ? " -> " + target : QString());
        }
        QSignalSpy listings(client.get(), &FTPClient::currentDirData);
        client->changeDir(remote);
        client->listDir();
        QVERIFY(listings.wait(Wait));
        FTPClient::Rows rows = FTPClient::parseList(listings.first().first().toString());
        QStringList seen;
        bool filesBegan = false;
        for (const auto& row : FTPClient::sortRows(rows)) {
            const QString& name = row.at(6);
            if (name == QLatin1String(".") || name == QLatin1String(".."))
                continue;
            seen << name;
            const QFileInfo served(base + QLatin1Char('/') + name.section(" -> ", 0, 0));
            QCOMPARE(FTPClient::isLinkRow(row), served.isSymLink());
            QCOMPARE(FTPClient::isDirRow(row), served.isDir() && !served.isSymLink());
            if (served.isFile() && !served.isSymLink())
                QCOMPARE(FTPClient::rowSize(row), served.size());
            // Display order: folders first, then files.
            filesBegan = filesBegan || !FTPClient::isDirRow(row);
            QVERIFY(!(filesBegan && FTPClient::isDirRow(row)));
        }
        expected.sort();
        seen.sort();
        QCOMPARE(seen, expected);
    }

    // Stopped early in the file, the channel stays in step, and resuming makes the file whole.
    void stopAndResume(FtpPeer& peer, bool upload)
    {
        const QByteArray content = patternBytes((upload ? 8 : 48) * 1024 * 1024, 31);
        const QString mine = local.path() + "/large.bin";
        const QString served = peer.writable() + "/large.bin";
        QFile::remove(mine);
        QVERIFY(writeTestFile(upload ? mine : served, content));
        peer.handOver(peer.writable());
        QSignalSpy finish(client.get(), &FTPClient::srFinish);
        auto stopAfter = [this, upload](KTDUFile* record) {
            if (record->doneSize >= (upload ? 1024 * 1024 : 1) && client->stopFlag() == 0)
                QVERIFY(client->stopTransfers());
        };
        const auto stopper = connect(client.get(), &FTPClient::srProgress, this, stopAfter);
        client->prepareTransfer(local.path(), peer.remoteWritable());
        const QString remote = client->localToRemote(mine);
        KTDUFile* record = upload ? client->addUploadFile(mine, remote, false, 0)
                                  : client->addDownloadFile(mine, remote, false, 0);
        auto start = [this, upload] { upload ? client->startUpload() : client->startDownload(); };
        QVERIFY(runJob(start, SIGNAL(srStop())));
        disconnect(stopper);
        QCOMPARE(client->stopFlag(), 1);
        QCOMPARE(finish.count(), 0);
        if (upload)
            QCOMPARE(record->stateCode, int(KTDUFile::UploadError));
        if (record->stateCode != KTDUFile::Downloaded)
            QVERIFY(record->doneSize < content.size());
        if (!upload)
            QCOMPARE(QFileInfo(mine).size(), record->doneSize);
        QVERIFY(runJob([this] { client->changeDir(QStringLiteral("/")); }, SIGNAL(changDir(bool))));
        QVERIFY(client->currentRemoteDir() == QLatin1String("/"));
        QVERIFY(runJob([this] { QVERIFY(client->resumeTransfers()); }));
        QCOMPARE(record->stateCode, int(upload ? KTDUFile::Uploaded : KTDUFile::Downloaded));
        QVERIFY(readTestFile(upload ? served : mine) == content);
    }

private slots:
    void wholeSession_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("pyftpdlib") << int(FtpPeer::Pyftpdlib);
        QTest::newRow("vsftpd") << int(FtpPeer::Vsftpd);
    }

    void wholeSession()
    {
        QFETCH(int, kind);
        if (kind == FtpPeer::Vsftpd && !FtpPeer::available(FtpPeer::Vsftpd))
            QSKIP("vsftpd is not installed or this is not root");
        FtpPeer peer{FtpPeer::Kind(kind)};
        const QString error = peer.start();
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QString w = peer.writable();
        const QString rw = peer.remoteWritable();
        QVERIFY(makeTestFiles(w, "b/a b.txt=hello world\n,b/\u00fcber \u65e5\u672c.txt#3000,b/empty/,"
                                 "b/my folder/inner.bin#70000,b/link->a b.txt,real/inner.txt=inner,"
                                 "lnk->real,doomed/to-real->../real,d/f1=1,d/f2=2"));
        peer.handOver(w);

        client = std::make_unique<FTPClient>();
        auto cleanUp = qScopeGuard([this] { client.reset(); });
        QSignalSpy login(client.get(), &FTPClient::login);
        client->connectServer("127.0.0.1", peer.port(), peer.user(), peer.password());
        QVERIFY(login.wait(Wait));
        QVERIFY(login.first().first().toBool());
        browse(w + "/b", rw + "/b");
        if (QTest::currentTestFailed())
            return;
        // Folder listings of a download job go back into it, as the window does.
        connect(client.get(), &FTPClient::currentDirData, this, [this](const QString& text, bool job) {
            if (job) {
                client->queueDownloadListing(text);
                client->startDownload();
            }
        });

        // A tree goes up whole (an empty local folder makes nothing) and comes back byte for byte
        // with its link: servers serve a link's content to RETR, its target comes from the listing.
        const QString source = local.path() + "/tree";
        const QString served = w + "/tree";
        QVERIFY(makeTestFiles(source, "big.bin#3145745,with blank.txt=blank name\n,empty/,sub folder/"
                                      "inner file.dat#70000,sub folder/deeper/x=x"));
        client->prepareTransfer(local.path(), rw);
        client->addUploadFolder(source);
        QVERIFY(runJob([this] { client->startUpload(); }));
        QCOMPARE(summary(client->uploads()), QStringLiteral("Upload Finish, Total: 4 Success: 4"));
        QStringList sent = treeContent(source);
        sent.removeOne(QStringLiteral("empty/"));
        QCOMPARE(treeContent(served), sent);
        QVERIFY(makeTestFiles(served, QStringLiteral("empty/,link->with blank.txt")));
        peer.handOver(w);
        const QString back = local.path() + "/back";
        QVERIFY(QDir().mkpath(back));
        client->prepareTransfer(back, rw);
        client->addDownloadFolder(rw + "/tree");
        QVERIFY(runJob([this] { client->startDownload(); }));
        QCOMPARE(summary(client->downloads()), QStringLiteral("Dowload Finish, Total: 5 Success: 5"));
        QCOMPARE(treeContent(back + "/tree"), treeContent(served));
        QCOMPARE(QFileInfo(back + "/tree/link").symLinkTarget(),
                 QFileInfo(back + "/tree/with blank.txt").absoluteFilePath());

        // A folder reached through a link (vsftpd's PWD names the real folder) is fetched whole.
        client->prepareTransfer(local.path(), rw);
        client->addDownloadFolder(rw + "/lnk");
        QVERIFY(runJob([this] { client->startDownload(); }));
        QCOMPARE(readTestFile(local.path() + "/lnk/inner.txt"), QByteArray("inner"));
        QCOMPARE(summary(client->downloads()), QStringLiteral("Dowload Finish, Total: 1 Success: 1"));

        // Delete jobs remove a tree whole, and a link to a folder, never what it leads to.
        QSignalSpy deleted(client.get(), &FTPClient::deleteFile);
        client->prepareDelete(rw);
        client->addDeleteFolder(rw, QStringLiteral("tree"));
        client->addDeleteFolder(rw, QStringLiteral("doomed"));
        client->deleteNext(KTDelInfo::Unknown);
        QTRY_VERIFY_WITH_TIMEOUT(!deleted.isEmpty() && deleted.last().at(1).toString().isEmpty(), Wait);
        QCOMPARE(deleted.last().at(0).toString(), QString("Delete Finish, Total: 11 Success: 11"));
        QVERIFY(!QFileInfo::exists(served) && !QFileInfo::exists(w + "/doomed"));
        QCOMPARE(readTestFile(w + "/real/inner.txt"), QByteArray("inner"));

        stopAndResume(peer, false);
        stopAndResume(peer, true);
        if (QTest::currentTestFailed())
            return;

        // vsftpd refuses SITE CHMOD to anonymous users: the refusals are counted, nothing changes.
        QSignalSpy chmodded(client.get(), &FTPClient::srChmodFinish);
        client->setChmod(rw, 2, QStringLiteral("600"));
        client->addChmodFolder(rw, QStringLiteral("d"));
        QVERIFY(runJob([this] { client->chmodNext(); }, SIGNAL(srChmodFinish(int, int))));
        QCOMPARE(chmodded.first().at(0).toInt(), 2);
        QCOMPARE(chmodded.first().at(1).toInt(), kind == FtpPeer::Vsftpd ? 0 : 2);
        const QFileDevice::Permissions mode = QFileInfo(w + "/d/f1").permissions();
        const auto others = QFileDevice::ReadGroup | QFileDevice::ReadOther;
        QVERIFY(kind == FtpPeer::Vsftpd || (mode & QFileDevice::WriteOwner && !(mode & others)));

        QVERIFY(runJob([this] { client->disconnectServer(); }, SIGNAL(logout())));
        QVERIFY(client->isClosed());
    }
};

QTEST_GUILESS_MAIN(TestEngineTransferPeers)
#include "tst_engine_transfer_peers.moc"
