// Passive data connections, listings and transfers of the built-in server, over 127.0.0.0/8.
#include "server/ktftpclient.h"
#include "support/serverprobe.h"
#include "support/testfiles.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestServerTransfer : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void passiveAnnouncesControlAddress();
    void sessionsGetTheirOwnPassivePorts();
    void dataConnectionFromOtherAddressRefused();
    void passiveTimesOut();
    void commandAfterPasvWaitsForDataConnection();
    void transfersNeedPasv_data();
    void transfersNeedPasv();
    void secondDataConnectionRefused();
    void newPasvReplacesUnusedConnection();
    void listingShowsEntries();
    void listingOfAnotherFolder();
    void listingOfMissingFolderFails();
    void retrSendsFileByteForByte();
    void retrOfMissingFileFails();
    void linksInsideRootServeTheirTarget();
    void storReceivesFileByteForByte();
    void storIntoFolderFails();
    void restartOffsets();
    void restRefusals();
    void cutDownloadGets426_data();
    void cutDownloadGets426();
    void cutUploadKeepsOldFile();
    void simultaneousUploadsDoNotMix();
    void namesThatAreNotUtf8Refused();
    void controlCharacterNamesLeftOut();
    void nameListing();
    void appendAndExtendedPassive();
    void fullDiskGives451();

private:
    bool loggedIn(ServerProbe& probe);
    // PASV, data connection, the command; returns what came over the data connection and the
    // replies before and after it.
    QByteArray receive(const QString& line, QString& opening, QString& closing);
    bool upload(const QString& line, const QByteArray& bytes, QString& closing);
    ServerProbe& probe() { return *m_probe; }

    std::unique_ptr<ServerFixture> m_fixture;
    std::unique_ptr<ServerProbe> m_probe;
};

void TestServerTransfer::init()
{
    m_fixture = std::make_unique<ServerFixture>();
    QVERIFY(writeTestFile(m_fixture->path("a file.txt"), "alpha"));
    QVERIFY(writeTestFile(m_fixture->path("sub/inner.txt"), "inner"));
    QVERIFY(m_fixture->start());
    m_probe = std::make_unique<ServerProbe>();
}

void TestServerTransfer::cleanup()
{
    m_probe.reset();
    m_fixture.reset();
}

bool TestServerTransfer::loggedIn(ServerProbe& probe)
{
    return probe.connectAndGreet(m_fixture->port()) && probe.login("test", "581247");
}

QByteArray TestServerTransfer::receive(const QString& line, QString& opening, QString& closing)
{
    const quint16 port = probe().passive();
    DataProbe data;
    if (port == 0 || !data.connectTo(port))
        return "no data connection";
    opening = probe().command(line);
    const QByteArray bytes = data.readAll();
    if (opening.startsWith("150"))
        closing = probe().readLine();
    return bytes;
}

bool TestServerTransfer::upload(const QString& line, const QByteArray& bytes, QString& closing)
{
    const quint16 port = probe().passive();
    DataProbe data;
    if (port == 0 || !data.connectTo(port))
        return false;
    if (probe().command(line) != QLatin1String("150 Ok to send data."))
        return false;
    if (!data.sendAndClose(bytes))
        return false;
    closing = probe().readLine();
    return true;
}

void TestServerTransfer::passiveAnnouncesControlAddress()
{
    QVERIFY(loggedIn(probe()));
    QString reply;
    QVERIFY(probe().passive(&reply) != 0);
    QVERIFY2(reply.startsWith("227 Entering Passive Mode (127,0,0,1,"), qPrintable(reply));

    // Reached at another loopback address, the server names that one, not an interface's.
    KTFtpServer other(m_fixture->store.get());
    QVERIFY(other.start(0, m_fixture->rootPath(), QHostAddress("127.0.0.3")));
    ServerProbe third;
    third.socket.connectToHost(QHostAddress("127.0.0.3"), other.serverPort());
    QCOMPARE(third.readLine(), QStringLiteral("220 Welcome to FTP Torvex service."));
    QVERIFY(third.login("test", "581247"));
    QVERIFY(third.passive(&reply) != 0);
    QVERIFY2(reply.startsWith("227 Entering Passive Mode (127,0,0,3,"), qPrintable(reply));
}

void TestServerTransfer::sessionsGetTheirOwnPassivePorts()
{
    ServerProbe second;
    QVERIFY(loggedIn(probe()));
    QVERIFY(loggedIn(second));
    const quint16 first = probe().passive();
    const quint16 other = second.passive();
    QVERIFY(first >= 1050 && first <= 4999);
    QVERIFY(other >= 1050 && other <= 4999);
    QVERIFY(first != other);
}

void TestServerTransfer::dataConnectionFromOtherAddressRefused()
{
    QVERIFY(loggedIn(probe()));
    const quint16 port = probe().passive();
    QVERIFY(port != 0);
    DataProbe thief;
    QVERIFY(thief.connectTo(port, QHostAddress("127.0.0.2")));
    QVERIFY(thief.waitClosed());
    QVERIFY(thief.received.isEmpty());
    // The session still waits for its own client.
    DataProbe data;
    QVERIFY(data.connectTo(port));
    QCOMPARE(probe().command("LIST"), QStringLiteral("150 Here comes the directory listing."));
    QVERIFY(data.readAll().contains("a file.txt\r\n"));
    QCOMPARE(probe().readLine(), QStringLiteral("226 Directory send OK."));
}

void TestServerTransfer::passiveTimesOut()
{
    m_fixture->server->setPassiveTimeout(100);
    QVERIFY(loggedIn(probe()));
    QVERIFY(probe().passive() != 0);
    // Other commands go on while the data connection is awaited.
    QCOMPARE(probe().command("NOOP"), QStringLiteral("200 NOOP ok."));
    // A transfer command waits for it, and is the one that hears it never came.
    QCOMPARE(probe().command("LIST"), QStringLiteral("425 Failed to open data connection."));
    QCOMPARE(probe().command("LIST"), QStringLiteral("425 Use PASV first."));
}

void TestServerTransfer::commandAfterPasvWaitsForDataConnection()
{
    QVERIFY(loggedIn(probe()));
    probe().send("PASV\r\nRETR a file.txt\r\n");
    const QString reply = probe().readLine();
    const QStringList numbers = reply.section('(', 1).section(')', 0, 0).split(',');
    QCOMPARE(numbers.size(), 6);
    DataProbe data;
    QVERIFY(data.connectTo(quint16(numbers.at(4).toUInt() * 256 + numbers.at(5).toUInt())));
    QCOMPARE(probe().readLine(),
             QStringLiteral("150 Opening BINARY mode data connection for a file.txt"));
    QCOMPARE(data.readAll(), QByteArray("alpha"));
    QCOMPARE(probe().readLine(), QStringLiteral("226 File send OK."));
}

void TestServerTransfer::transfersNeedPasv_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("LIST") << "LIST";
    QTest::newRow("RETR") << "RETR a file.txt";
    QTest::newRow("STOR") << "STOR new.txt";
}

void TestServerTransfer::transfersNeedPasv()
{
    QFETCH(QString, line);
    QVERIFY(loggedIn(probe()));
    QCOMPARE(probe().command(line), QStringLiteral("425 Use PASV first."));
    QVERIFY(!QFileInfo::exists(m_fixture->path("new.txt")));
    QCOMPARE(probe().command("NOOP"), QStringLiteral("200 NOOP ok."));
}

void TestServerTransfer::secondDataConnectionRefused()
{
    QVERIFY(loggedIn(probe()));
    const quint16 port = probe().passive();
    DataProbe data;
    QVERIFY(data.connectTo(port));
    QTRY_VERIFY(m_fixture->server->clients.first()->dataSocket);
    // The listener took its one connection and is gone; nothing is said on the control line.
    DataProbe second;
    QVERIFY(!second.connectTo(port) || second.waitClosed());
    QCOMPARE(probe().command("RETR a file.txt"),
             QStringLiteral("150 Opening BINARY mode data connection for a file.txt"));
    QCOMPARE(data.readAll(), QByteArray("alpha"));
    QCOMPARE(probe().readLine(), QStringLiteral("226 File send OK."));
}

void TestServerTransfer::newPasvReplacesUnusedConnection()
{
    QVERIFY(loggedIn(probe()));
    DataProbe first;
    QVERIFY(first.connectTo(probe().passive()));
    QTRY_VERIFY(m_fixture->server->clients.first()->dataSocket);
    DataProbe second;
    QVERIFY(second.connectTo(probe().passive()));
    QVERIFY(first.waitClosed());
    QCOMPARE(probe().command("RETR a file.txt"),
             QStringLiteral("150 Opening BINARY mode data connection for a file.txt"));
    QCOMPARE(second.readAll(), QByteArray("alpha"));
    QCOMPARE(probe().readLine(), QStringLiteral("226 File send OK."));
}

void TestServerTransfer::listingShowsEntries()
{
    QVERIFY(loggedIn(probe()));
    QString opening;
    QString closing;
    const QByteArray listing = receive("LIST -al", opening, closing);
    QCOMPARE(opening, QStringLiteral("150 Here comes the directory listing."));
    QCOMPARE(closing, QStringLiteral("226 Directory send OK."));
    const QList<QByteArray> lines = listing.split('\n');
    QCOMPARE(lines.size(), 5); // ".", "..", "a file.txt", "sub" and the empty rest
    QVERIFY(lines.at(0).startsWith('d') && lines.at(0).endsWith(" .\r"));
    QVERIFY(lines.at(1).endsWith(" ..\r"));
    QVERIFY(lines.at(2).startsWith("-rw") && lines.at(2).endsWith(" 5 " + lines.at(2).mid(
        lines.at(2).indexOf(" 5 ") + 3)));
    QVERIFY(lines.at(2).endsWith(" a file.txt\r"));
    QVERIFY(lines.at(3).startsWith('d') && lines.at(3).endsWith(" sub\r"));
}

void TestServerTransfer::listingOfAnotherFolder()
{
    QVERIFY(loggedIn(probe()));
    QString opening;
    QString closing;
    const QByteArray listing = receive("LIST sub", opening, closing);
    QCOMPARE(closing, QStringLiteral("226 Directory send OK."));
    QVERIFY(listing.contains(" inner.txt\r\n"));
    QVERIFY(!listing.contains("a file.txt"));
    QCOMPARE(probe().command("PWD"), QStringLiteral("257 \"/\""));
    // An empty folder lists as nothing at all, which ncftp can walk.
    QVERIFY(QDir().mkpath(m_fixture->path("empty")));
    QCOMPARE(receive("LIST -a empty", opening, closing), QByteArray());
    QCOMPARE(closing, QStringLiteral("226 Directory send OK."));
}

void TestServerTransfer::listingOfMissingFolderFails()
{
    QVERIFY(loggedIn(probe()));
    QString opening;
    QString closing;
    const QByteArray listing = receive("LIST nowhere", opening, closing);
    QCOMPARE(opening, QStringLiteral("550 Requested operation can not be performed, The file is "
                                     "not available."));
    QVERIFY(listing.isEmpty());
    // No 226 follows the failure.
    QCOMPARE(probe().command("NOOP"), QStringLiteral("200 NOOP ok."));
}

void TestServerTransfer::retrSendsFileByteForByte()
{
    const QByteArray content = patternBytes(25000, 7);
    QVERIFY(writeTestFile(m_fixture->path("sub/big.bin"), content));
    QSignalSpy finished(m_fixture->server.get(), &KTFtpServer::transferFinished);
    QVERIFY(loggedIn(probe()));
    QVERIFY(probe().command("CWD sub").startsWith("250"));
    QString opening;
    QString closing;
    QCOMPARE(receive("RETR big.bin", opening, closing), content);
    QCOMPARE(opening, QStringLiteral("150 Opening BINARY mode data connection for big.bin"));
    QCOMPARE(closing, QStringLiteral("226 File send OK."));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toString(), QStringLiteral("test"));
    QCOMPARE(finished.at(0).at(1).toString(), QStringLiteral("RETR"));
    QCOMPARE(finished.at(0).at(2).toString(), QStringLiteral("/sub/big.bin"));
    QCOMPARE(finished.at(0).at(3).toLongLong(), qint64(25000));
}

void TestServerTransfer::retrOfMissingFileFails()
{
    QVERIFY(loggedIn(probe()));
    QString opening;
    QString closing;
    QVERIFY(receive("RETR missing.bin", opening, closing).isEmpty());
    QCOMPARE(opening, QStringLiteral("550 Requested operation can not be performed, The file is "
                                     "not available."));
    QCOMPARE(probe().command("NOOP"), QStringLiteral("200 NOOP ok."));
    QVERIFY(receive("RETR sub", opening, closing).isEmpty());
    QVERIFY(opening.startsWith("550 "));
}

void TestServerTransfer::linksInsideRootServeTheirTarget()
{
    QVERIFY(QFile::link(m_fixture->path("sub/inner.txt"), m_fixture->path("link.txt")));
    QVERIFY(QFile::link(m_fixture->path("sub"), m_fixture->path("sub/deeper-link")));
    QTemporaryDir outside;
    QVERIFY(writeTestFile(outside.filePath("secret.txt"), "secret"));
    QVERIFY(QFile::link(outside.filePath("secret.txt"), m_fixture->path("out.txt")));
    QVERIFY(loggedIn(probe()));
    QString opening;
    QString closing;
    // The content, not the link's path text: clients save what RETR sends as the file.
    QCOMPARE(receive("RETR link.txt", opening, closing), QByteArray("inner"));
    QCOMPARE(closing, QStringLiteral("226 File send OK."));
    QCOMPARE(probe().command("SIZE link.txt"), QStringLiteral("213 5"));
    QVERIFY(probe().command("MDTM link.txt").startsWith("213 2"));
    QVERIFY(receive("RETR out.txt", opening, closing).isEmpty());
    QVERIFY(opening.startsWith("550 "));
    const QByteArray listing = receive("LIST", opening, closing);
    QVERIFY2(listing.contains(" link.txt -> sub/inner.txt\r\n"), listing);
    // Outside the root: a link without a target, never the computer's own folders.
    QVERIFY2(listing.contains(" out.txt\r\n"), listing);
    QVERIFY(!listing.contains(outside.path().toUtf8()));
    QVERIFY(receive("LIST sub", opening, closing).contains(" deeper-link -> .\r\n"));
}

void TestServerTransfer::storReceivesFileByteForByte()
{
    const QByteArray content = patternBytes(300000, 3);
    QSignalSpy finished(m_fixture->server.get(), &KTFtpServer::transferFinished);
    QVERIFY(loggedIn(probe()));
    QString closing;
    QVERIFY(upload("STOR sub/up.bin", content, closing));
    QCOMPARE(closing, QStringLiteral("226 File receive OK."));
    QCOMPARE(readTestFile(m_fixture->path("sub/up.bin")), content);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(1).toString(), QStringLiteral("STOR"));
    QCOMPARE(finished.at(0).at(2).toString(), QStringLiteral("/sub/up.bin"));
    QCOMPARE(finished.at(0).at(3).toLongLong(), qint64(content.size()));
    // Without REST a second upload replaces the whole file.
    QVERIFY(upload("STOR sub/up.bin", "short", closing));
    QCOMPARE(readTestFile(m_fixture->path("sub/up.bin")), QByteArray("short"));
}

void TestServerTransfer::storIntoFolderFails()
{
    QVERIFY(loggedIn(probe()));
    const quint16 port = probe().passive();
    DataProbe data;
    QVERIFY(data.connectTo(port));
    QCOMPARE(probe().command("STOR sub"), QStringLiteral("550 Requested operation can not be "
                                                         "performed, The file is not available."));
    QVERIFY(data.waitClosed());
    QCOMPARE(probe().command("NOOP"), QStringLiteral("200 NOOP ok."));
    QCOMPARE(probe().command("STOR x"), QStringLiteral("425 Use PASV first."));
}

void TestServerTransfer::restartOffsets()
{
    const QByteArray content = patternBytes(1000, 5);
    QVERIFY(writeTestFile(m_fixture->path("r.bin"), content));
    QVERIFY(loggedIn(probe()));
    QString opening;
    QString closing;
    QCOMPARE(probe().command("REST 100"), QStringLiteral("350 Restart position accepted (100)"));
    QCOMPARE(receive("RETR r.bin", opening, closing), content.mid(100));
    // The offset served once.
    QCOMPARE(receive("RETR r.bin", opening, closing), content);

    QCOMPARE(probe().command("REST 100"), QStringLiteral("350 Restart position accepted (100)"));
    QVERIFY(upload("STOR r.bin", "tail", closing));
    QCOMPARE(closing, QStringLiteral("226 File receive OK."));
    QCOMPARE(readTestFile(m_fixture->path("r.bin")), content.left(100) + "tail" + content.mid(104));
}

void TestServerTransfer::restRefusals()
{
    QVERIFY(writeTestFile(m_fixture->path("r.bin"), "0123456789"));
    QVERIFY(loggedIn(probe()));
    for (const char* line : {"REST abc", "REST -5", "REST +5", "REST"})
        QCOMPARE(probe().command(line), QStringLiteral("501 Error parameter."));
    QString opening;
    QString closing;
    // An offset beyond the end: nothing sent, nothing written, no sparse giant made.
    QCOMPARE(probe().command("REST 11"), QStringLiteral("350 Restart position accepted (11)"));
    QVERIFY(receive("RETR r.bin", opening, closing).isEmpty());
    QCOMPARE(opening, QStringLiteral("554 Requested action not taken: invalid REST parameter."));
    QCOMPARE(probe().command("REST 1000000000000"),
             QStringLiteral("350 Restart position accepted (1000000000000)"));
    const quint16 port = probe().passive();
    DataProbe data;
    QVERIFY(data.connectTo(port));
    QCOMPARE(probe().command("STOR r.bin"),
             QStringLiteral("554 Requested action not taken: invalid REST parameter."));
    QCOMPARE(QFileInfo(m_fixture->path("r.bin")).size(), qint64(10));
    // At the end exactly is a valid place to resume from.
    QCOMPARE(probe().command("REST 10"), QStringLiteral("350 Restart position accepted (10)"));
    QVERIFY(receive("RETR r.bin", opening, closing).isEmpty());
    QCOMPARE(closing, QStringLiteral("226 File send OK."));
}

void TestServerTransfer::cutDownloadGets426_data()
{
    QTest::addColumn<bool>("reset");
    QTest::newRow("closed") << false;
    QTest::newRow("reset") << true;
}

void TestServerTransfer::cutDownloadGets426()
{
    QFETCH(bool, reset);
    // Larger than what the kernel's buffers on both ends can hold.
    QVERIFY(writeTestFile(m_fixture->path("huge.bin"), patternBytes(32 * 1024 * 1024, 9)));
    QSignalSpy finished(m_fixture->server.get(), &KTFtpServer::transferFinished);
    QVERIFY(loggedIn(probe()));
    const quint16 port = probe().passive();
    DataProbe data;
    QVERIFY(data.connectTo(port));
    QVERIFY(probe().command("RETR huge.bin").startsWith("150 "));
    QVERIFY(QTest::qWaitFor([&data] { return data.socket.bytesAvailable() > 0; }, 5000));
    if (reset)
        data.reset();
    else
        data.socket.disconnectFromHost();
    QCOMPARE(probe().readLine(), QStringLiteral("426 Connection closed; transfer aborted."));
    QTRY_VERIFY(!m_fixture->server->clients.first()->file.isOpen());
    QCOMPARE(finished.count(), 0);
    QCOMPARE(probe().command("NOOP"), QStringLiteral("200 NOOP ok."));
}

void TestServerTransfer::cutUploadKeepsOldFile()
{
    QVERIFY(writeTestFile(m_fixture->path("keep.bin"), "the good old file"));
    QVERIFY(loggedIn(probe()));
    const quint16 port = probe().passive();
    DataProbe data;
    QVERIFY(data.connectTo(port));
    QCOMPARE(probe().command("STOR keep.bin"), QStringLiteral("150 Ok to send data."));
    data.socket.write(patternBytes(100000, 4));
    QVERIFY(QTest::qWaitFor([&data] { return data.socket.bytesToWrite() == 0; }, 5000));
    data.reset();
    QCOMPARE(probe().readLine(), QStringLiteral("426 Connection closed; transfer aborted."));
    QCOMPARE(readTestFile(m_fixture->path("keep.bin")), QByteArray("the good old file"));
    // No temporary file is left behind either.
    QCOMPARE(QDir(m_fixture->rootPath()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestServerTransfer::simultaneousUploadsDoNotMix()
{
    const QByteArray first = patternBytes(200000, 1);
    const QByteArray second = patternBytes(150000, 2);
    QVERIFY(loggedIn(probe()));
    ServerProbe other;
    QVERIFY(loggedIn(other));
    DataProbe firstData;
    DataProbe secondData;
    QVERIFY(firstData.connectTo(probe().passive()));
    QVERIFY(secondData.connectTo(other.passive()));
    QCOMPARE(probe().command("STOR same.bin"), QStringLiteral("150 Ok to send data."));
    QCOMPARE(other.command("STOR same.bin"), QStringLiteral("150 Ok to send data."));
    firstData.socket.write(first.left(100000));
    secondData.socket.write(second.left(100000));
    QVERIFY(firstData.sendAndClose(first.mid(100000)));
    QCOMPARE(probe().readLine(), QStringLiteral("226 File receive OK."));
    QCOMPARE(readTestFile(m_fixture->path("same.bin")), first);
    QVERIFY(secondData.sendAndClose(second.mid(100000)));
    QCOMPARE(other.readLine(), QStringLiteral("226 File receive OK."));
    // The last complete upload wins, whole.
    QCOMPARE(readTestFile(m_fixture->path("same.bin")), second);
}

void TestServerTransfer::namesThatAreNotUtf8Refused()
{
    QVERIFY(loggedIn(probe()));
    const QString refused = "553 The requested operation can not be performed, The file name is "
                            "not allowed.";
    probe().send("MKD bad\xff\r\n");
    QCOMPARE(probe().readLine(), refused);
    QCOMPARE(probe().command("RNFR a file.txt"), QStringLiteral("350 Ready for RNTO."));
    probe().send("RNTO bad\xfe\r\n");
    QCOMPARE(probe().readLine(), refused);
    DataProbe data;
    QVERIFY(data.connectTo(probe().passive()));
    probe().send("STOR bad\xff.txt\r\n");
    QCOMPARE(probe().readLine(), refused);
    QVERIFY(data.waitClosed());
    QCOMPARE(QDir(m_fixture->rootPath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(),
             2);
}

void TestServerTransfer::controlCharacterNamesLeftOut()
{
    QVERIFY(writeTestFile(m_fixture->path("fake\r\n-rw-r--r-- 1 0 0 5 Jan 01 2020 forged"), "x"));
    QSignalSpy notices(m_fixture->server.get(), &KTFtpServer::notice);
    QVERIFY(loggedIn(probe()));
    QString opening;
    QString closing;
    for (const char* line : {"LIST", "NLST"}) {
        const QByteArray listing = receive(line, opening, closing);
        QVERIFY2(!listing.contains("forged") && listing.contains("a file.txt\r\n"), listing);
    }
    QCOMPARE(notices.count(), 2);
}

void TestServerTransfer::nameListing()
{
    QVERIFY(loggedIn(probe()));
    QString opening;
    QString closing;
    QCOMPARE(receive("NLST", opening, closing), QByteArray("a file.txt\r\nsub\r\n"));
    QCOMPARE(opening, QStringLiteral("150 Here comes the directory listing."));
    QCOMPARE(closing, QStringLiteral("226 Directory send OK."));
    QCOMPARE(receive("NLST sub", opening, closing), QByteArray("inner.txt\r\n"));
}

void TestServerTransfer::appendAndExtendedPassive()
{
    QVERIFY(loggedIn(probe()));
    const QString reply = probe().command("EPSV");
    QVERIFY2(reply.startsWith("229 Entering Extended Passive Mode (|||"), qPrintable(reply));
    const quint16 port = quint16(reply.section('|', 3, 3).toUInt());
    DataProbe data;
    QVERIFY(data.connectTo(port));
    QCOMPARE(probe().command("APPE a file.txt"), QStringLiteral("150 Ok to send data."));
    QVERIFY(data.sendAndClose(" beta"));
    QCOMPARE(probe().readLine(), QStringLiteral("226 File receive OK."));
    QCOMPARE(readTestFile(m_fixture->path("a file.txt")), QByteArray("alpha beta"));
}

void TestServerTransfer::fullDiskGives451()
{
    // A small file system of its own, where root may mount one.
    const QString mount = m_fixture->path("small");
    QVERIFY(QDir().mkpath(mount));
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mount}) != 0)
        QSKIP("mounting a tmpfs is not allowed here");
    struct Unmount {
        QString path;
        ~Unmount() { QProcess::execute("umount", {"-l", path}); }
    } unmount{mount};
    QVERIFY(writeTestFile(m_fixture->path("small/old.bin"), "old"));
    QVERIFY(loggedIn(probe()));
    QString closing;
    QVERIFY(upload("STOR small/old.bin", patternBytes(200 * 1024, 6), closing));
    QCOMPARE(closing, QStringLiteral("451 Requested action aborted: local error in processing."));
    QCOMPARE(readTestFile(m_fixture->path("small/old.bin")), QByteArray("old"));
    // Small enough for the buffers, too big for the disk: caught at flush and close.
    QFile filler(m_fixture->path("small/filler.bin"));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    // Bounded: the file system holds 64 KiB.
    for (int i = 0; i < 64 && filler.write(patternBytes(1024, i)) == 1024; ++i) {
    }
    filler.close();
    QVERIFY(upload("STOR small/new.bin", patternBytes(8 * 1024, 7), closing));
    QCOMPARE(closing, QStringLiteral("451 Requested action aborted: local error in processing."));
    QVERIFY(!QFileInfo::exists(m_fixture->path("small/new.bin")));
    QCOMPARE(probe().command("REST 1"), QStringLiteral("350 Restart position accepted (1)"));
    QVERIFY(upload("STOR small/old.bin", patternBytes(32 * 1024, 7), closing));
    QCOMPARE(closing, QStringLiteral("451 Requested action aborted: local error in processing."));
}

QTEST_GUILESS_MAIN(TestServerTransfer)
#include "tst_servertransfer.moc"
