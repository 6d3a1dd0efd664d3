// Passive data connections, listings and transfers of the built-in server over 127.0.0.0/8, and
// what keeps its data side from being hijacked or held: the passive listener's life, stalled
// and cut transfers, and commands that arrive while a transfer runs.
#include "server/ktftpclient.h"
#include "support/serverprobe.h"
#include "support/testfiles.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

#include <memory>

namespace {

const QString opened = QStringLiteral("150 Opening BINARY mode data connection for a file.txt");
const QString stored = QStringLiteral("150 Ok to send data.\n226 File receive OK.");
const QString aborted = QStringLiteral("426 Connection closed; transfer aborted.");
const QString unavailable =
    QStringLiteral("550 Requested operation can not be performed, The file is not available.");

} // namespace

class TestServerTransfer : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void dataConnectionBelongsToItsSession();
    void withoutDataConnection_data();
    void withoutDataConnection();
    void listingsAndRefusals_data();
    void listingsAndRefusals();
    void restartsAndAppends();
    void runningTransfers_data();
    void runningTransfers();
    void simultaneousUploadsDoNotMix();
    void namesThatAreNotUtf8Refused();
    void fullDiskGives451();

private:
    KTFtpClient* session() const { return m_fixture->server->clients.first(); }

    std::unique_ptr<ServerFixture> m_fixture;
    ServerProbe m_probe;
};

void TestServerTransfer::init()
{
    m_fixture = std::make_unique<ServerFixture>();
    QVERIFY(writeTestFile(m_fixture->path("a file.txt"), "alpha"));
    QVERIFY(writeTestFile(m_fixture->path("sub/inner.txt"), "inner"));
    QVERIFY(m_fixture->start());
}

void TestServerTransfer::cleanup()
{
    m_probe.socket.abort();
    m_probe.received.clear();
    m_fixture.reset();
}

void TestServerTransfer::dataConnectionBelongsToItsSession()
{
    QVERIFY(m_probe.connectAndGreet(m_fixture->port()));
    // No data port is open before a logged-in PASV asks for one.
    QVERIFY(!session()->dataListener->isListening());
    QVERIFY(m_probe.login("test", "581247"));
    QVERIFY(!session()->dataListener->isListening());
    // The command after PASV waits for the data connection; one from another address is cut
    // and the listener waits on for the session's own client.
    m_probe.send("PASV\r\nRETR a file.txt\r\n");
    const QString reply = m_probe.readLine();
    QVERIFY2(reply.startsWith("227 Entering Passive Mode (127,0,0,1,"), qPrintable(reply));
    const quint16 port = ServerProbe::passivePort(reply);
    QVERIFY(port >= 1050 && port <= 4999 && session()->dataListener->isListening());
    DataProbe stranger;
    QVERIFY(stranger.connectTo(port, QHostAddress("127.0.0.2")));
    QVERIFY(stranger.waitClosed());
    QVERIFY(stranger.received.isEmpty());
    DataProbe data;
    QVERIFY(data.connectTo(port));
    QCOMPARE(m_probe.readLine(), opened);
    QCOMPARE(data.readAll(), QByteArray("alpha"));
    QCOMPARE(m_probe.readLine(), QStringLiteral("226 File send OK."));
    // The listener takes one connection and is gone; a new PASV replaces an unused one.
    const quint16 second = m_probe.passive();
    DataProbe unused;
    QVERIFY(unused.connectTo(second));
    QTRY_VERIFY(session()->dataSocket);
    DataProbe late;
    QVERIFY(!late.connectTo(second) || late.waitClosed());
    DataProbe replacing;
    QVERIFY(replacing.connectTo(m_probe.passive()));
    QVERIFY(unused.waitClosed());
    // Nothing was said on the control connection for any of them.
    QCOMPARE(m_probe.play({"NOOP => 200 NOOP ok.", "RETR a file.txt => " + opened}), QString());
    QCOMPARE(replacing.readAll(), QByteArray("alpha"));
    QCOMPARE(m_probe.readLine(), QStringLiteral("226 File send OK."));
    // Each session listens on a port of its own.
    ServerProbe other;
    QVERIFY(other.connectAndLogIn(m_fixture->port()));
    const quint16 mine = m_probe.passive();
    QVERIFY(mine != 0 && other.passive() != mine);
    // Reached at another loopback address, the server names that one, not an interface's.
    KTFtpServer elsewhere(m_fixture->store.get());
    QVERIFY(elsewhere.start(0, m_fixture->rootPath(), QHostAddress("127.0.0.3")));
    ServerProbe third;
    third.socket.connectToHost(QHostAddress("127.0.0.3"), elsewhere.serverPort());
    QCOMPARE(third.readLine(), QStringLiteral("220 Welcome to FTP Torvex service."));
    QVERIFY(third.login("test", "581247"));
    QCOMPARE(third.play({"PASV => 227 Entering Passive Mode (127,0,0,3,..."}), QString());
}

void TestServerTransfer::withoutDataConnection_data()
{
    QTest::addColumn<int>("passiveTimeout");
    QTest::addColumn<bool>("portsTaken");
    QTest::addColumn<QStringList>("steps");
    const QString usePasv = " => 425 Use PASV first.";
    const QString cannot = " => 425 Can't open data connection.";
    QTest::newRow("transfers need PASV") << 5000 << false << QStringList{
        "LIST" + usePasv, "RETR a file.txt" + usePasv, "STOR new.txt" + usePasv};
    // Other commands go on while the data connection is awaited; a transfer command waits for
    // it and is the one that hears it never came.
    QTest::newRow("passive times out") << 100 << false << QStringList{
        "PASV => 227 ...", "NOOP => 200 NOOP ok.", "LIST => 425 Failed to open data connection.",
        "LIST" + usePasv};
    QTest::newRow("passive ports all taken") << 5000 << true << QStringList{
        "PASV" + cannot, "EPSV" + cannot, "LIST" + usePasv};
    QTest::newRow("ABOR while awaiting the connection") << 5000 << false << QStringList{
        "PASV => 227 ...", "RETR a file.txt", "DELE a file.txt => 503 Bad sequence of commands.",
        "ABOR => " + aborted, "=> 226 ABOR successful."};
}

void TestServerTransfer::withoutDataConnection()
{
    QFETCH(int, passiveTimeout);
    QFETCH(bool, portsTaken);
    QFETCH(QStringList, steps);
    QTcpServer taken;
    QVERIFY(taken.listen(QHostAddress::LocalHost, 0));
    if (portsTaken)
        m_fixture->server->setDataPorts(taken.serverPort(), taken.serverPort());
    m_fixture->server->setPassiveTimeout(passiveTimeout);
    QVERIFY(m_probe.connectAndLogIn(m_fixture->port()));
    QCOMPARE(m_probe.play(steps << "NOOP => 200 NOOP ok."), QString());
    QVERIFY(!session()->dataListener->isListening());
    QVERIFY(QFileInfo::exists(m_fixture->path("a file.txt")));
    QVERIFY(!QFileInfo::exists(m_fixture->path("new.txt")));
}

void TestServerTransfer::listingsAndRefusals_data()
{
    QTest::addColumn<QString>("line");
    // What came over the data connection, a line each: for LIST the type, a file's size and the
    // name of each "ls -l" line, which lftp and other clients parse.
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("replies");
    const QString listed = "150 Here comes the directory listing.\n226 Directory send OK.";
    // A link inside the root shows its target; one leading out shows none, never the
    // computer's own folders. A name with a line break never shows: it could forge lines.
    QTest::newRow("LIST -al") << "LIST -al"
                              << QStringList{"d .", "d ..", "-5 a file.txt", "d empty",
                                             "l link.txt -> sub/inner.txt", "l out.txt", "d sub"}
                              << listed;
    QTest::newRow("LIST of a folder") << "LIST sub"
                                      << QStringList{"d .", "d ..", "l deeper-link -> .",
                                                     "-5 inner.txt"}
                                      << listed;
    // An empty folder lists as nothing at all, which ncftp can walk.
    QTest::newRow("LIST of an empty folder") << "LIST -a empty" << QStringList() << listed;
    QTest::newRow("NLST") << "NLST" << QStringList{"a file.txt", "empty", "link.txt", "out.txt",
                                                   "sub"}
                          << listed;
    // No 226 follows a refusal.
    QTest::newRow("LIST of a missing folder") << "LIST nowhere" << QStringList() << unavailable;
    QTest::newRow("RETR of a missing file") << "RETR missing.bin" << QStringList() << unavailable;
    QTest::newRow("RETR of a folder") << "RETR sub" << QStringList() << unavailable;
    QTest::newRow("RETR out of the root") << "RETR out.txt" << QStringList() << unavailable;
}

void TestServerTransfer::listingsAndRefusals()
{
    QFETCH(QString, line);
    QFETCH(QStringList, lines);
    QFETCH(QString, replies);
    QVERIFY(QDir().mkpath(m_fixture->path("empty")));
    QVERIFY(writeTestFile(m_fixture->path("fake\r\n-rw-r--r-- 1 0 0 5 Jan 01 2020 forged"), "x"));
    QTemporaryDir outside;
    QVERIFY(writeTestFile(outside.filePath("secret.txt"), "secret"));
    QVERIFY(QFile::link(outside.filePath("secret.txt"), m_fixture->path("out.txt")));
    QVERIFY(QFile::link(m_fixture->path("sub/inner.txt"), m_fixture->path("link.txt")));
    QVERIFY(QFile::link(m_fixture->path("sub"), m_fixture->path("sub/deeper-link")));
    QVERIFY(m_probe.connectAndLogIn(m_fixture->port()));
    QString got;
    const QByteArray data = m_probe.fetch(line, &got);
    QCOMPARE(got, replies);
    QVERIFY(data.isEmpty() || data.endsWith("\r\n"));
    static const QRegularExpression lsLine(QStringLiteral(
        "^([-dl])[-r][-w][-x][-r][-w][-x][-r][-w][-x] +\\d+ +\\S+ +\\S+ +(\\d+) "
        "[A-Z][a-z]{2} [ 0-3]\\d ( \\d{4}|\\d\\d:\\d\\d) (.+)$"));
    QStringList received;
    for (const QString& text : QString::fromUtf8(data).split("\r\n", Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = lsLine.match(text);
        if (!line.startsWith("LIST"))
            received << text;
        else if (!match.hasMatch())
            received << "not ls -l: " + text;
        else
            received << match.captured(1) + (match.captured(1) == "-" ? match.captured(2) : "")
                            + " " + match.captured(4);
    }
    QCOMPARE(received, lines);
    QCOMPARE(m_probe.play({"SIZE link.txt => 213 5", "PWD => 257 \"/\""}), QString());
}

void TestServerTransfer::restartsAndAppends()
{
    const QByteArray content = patternBytes(1000, 7);
    QVERIFY(writeTestFile(m_fixture->path("r.bin"), content));
    QVERIFY(m_probe.connectAndLogIn(m_fixture->port()));
    // An offset serves once, for a download or an upload; an upload keeps what follows it.
    QCOMPARE(m_probe.command("REST 100"), QStringLiteral("350 Restart position accepted (100)"));
    QCOMPARE(m_probe.fetch("RETR r.bin"), content.mid(100));
    QCOMPARE(m_probe.fetch("RETR r.bin"), content);
    QCOMPARE(m_probe.command("REST 100"), QStringLiteral("350 Restart position accepted (100)"));
    QCOMPARE(m_probe.put("STOR r.bin", "tail"), stored);
    QCOMPARE(readTestFile(m_fixture->path("r.bin")), content.left(100) + "tail" + content.mid(104));
    // Without REST an upload replaces the whole file; a folder is not a file to upload to.
    QCOMPARE(m_probe.put("STOR r.bin", "0123456789"), stored);
    QCOMPARE(m_probe.put("STOR sub", "x"), unavailable);
    // Beyond the end: nothing sent, nothing written, no sparse giant made; at the end exactly
    // is a valid place to resume from.
    const QString invalid = "554 Requested action not taken: invalid REST parameter.";
    QString replies;
    QCOMPARE(m_probe.play({"REST abc => 501 Error parameter.", "REST 11 => 350 ..."}), QString());
    QCOMPARE(m_probe.fetch("RETR r.bin", &replies), QByteArray());
    QCOMPARE(replies, invalid);
    QCOMPARE(m_probe.command("REST 1000000000000").left(4), QStringLiteral("350 "));
    QCOMPARE(m_probe.put("STOR r.bin", "x"), invalid);
    QCOMPARE(readTestFile(m_fixture->path("r.bin")), QByteArray("0123456789"));
    QCOMPARE(m_probe.command("REST 10").left(4), QStringLiteral("350 "));
    QCOMPARE(m_probe.fetch("RETR r.bin", &replies), QByteArray());
    QVERIFY2(replies.endsWith("\n226 File send OK."), qPrintable(replies));
    // APPE over an extended passive connection.
    const QString reply = m_probe.command("EPSV");
    QVERIFY2(reply.startsWith("229 Entering Extended Passive Mode (|||"), qPrintable(reply));
    DataProbe data;
    QVERIFY(data.connectTo(quint16(reply.section('|', 3, 3).toUInt())));
    QCOMPARE(m_probe.command("APPE a file.txt"), QStringLiteral("150 Ok to send data."));
    QVERIFY(data.sendAndClose(" beta"));
    QCOMPARE(m_probe.readLine(), QStringLiteral("226 File receive OK."));
    QCOMPARE(readTestFile(m_fixture->path("a file.txt")), QByteArray("alpha beta"));
}

void TestServerTransfer::runningTransfers_data()
{
    QTest::addColumn<QString>("line");
    // What the session is sent while the transfer runs; the transfer must go on untouched.
    QTest::addColumn<QStringList>("during");
    // Then "close" or "reset" the data connection, "stall" it, or these bytes on the control one.
    QTest::addColumn<QByteArray>("cut");
    QTest::addColumn<QStringList>("steps");
    const QString busy = " => 503 Bad sequence of commands.";
    const QStringList goesOn{"=> " + aborted, "NOOP => 200 NOOP ok."};
    const QStringList abor{"=> " + aborted, "=> 226 ABOR successful.", "NOOP => 200 NOOP ok."};
    // Then the session's own idle time-out applies again.
    const QStringList idles{"=> " + aborted, "=> 421 Timeout.", "closed"};
    const QStringList none;
    QTest::newRow("download closed") << "RETR huge.bin" << none << QByteArray("close") << goesOn;
    QTest::newRow("download reset") << "RETR huge.bin" << none << QByteArray("reset") << goesOn;
    // The old file stays whole, and no temporary file is left behind.
    QTest::newRow("upload reset") << "STOR keep.bin" << none << QByteArray("reset") << goesOn;
    QTest::newRow("download never read") << "RETR huge.bin" << none << QByteArray("stall")
                                         << idles;
    QTest::newRow("upload never sent") << "STOR keep.bin" << none << QByteArray("stall") << idles;
    // Telnet IP and DM before ABOR, as lftp sends it.
    QTest::newRow("commands, then ABOR") << "RETR huge.bin" << QStringList{
        "RETR a file.txt" + busy, "LIST" + busy, "PASV" + busy, "DELE huge.bin" + busy,
        "REST 5" + busy, "CWD /" + busy, "XYZZY" + busy, "NOOP => 200 NOOP ok.",
        "STAT => 211 FTP Torvex status: RETR /huge.bin, ..."}
        << QByteArray("\xff\xf4\xff\xf2" "ABOR\r\n") << abor;
    QTest::newRow("QUIT") << "RETR huge.bin" << none << QByteArray("QUIT\r\n")
                          << QStringList{"=> " + aborted, "=> 221 Goodbyg.", "closed"};
}

void TestServerTransfer::runningTransfers()
{
    QFETCH(QString, line);
    QFETCH(QStringList, during);
    QFETCH(QByteArray, cut);
    QFETCH(QStringList, steps);
    // Larger than what the kernel's buffers on both ends can hold.
    QVERIFY(writeTestFile(m_fixture->path("huge.bin"), patternBytes(32 * 1024 * 1024, 9)));
    QVERIFY(writeTestFile(m_fixture->path("keep.bin"), "the good old file"));
    QSignalSpy finished(m_fixture->server.get(), &KTFtpServer::transferFinished);
    QVERIFY(m_probe.connectAndLogIn(m_fixture->port()));
    DataProbe data;
    data.socket.setReadBufferSize(4096);
    QVERIFY(data.connectTo(m_probe.passive()));
    QVERIFY(m_probe.command(line).startsWith("150 "));
    QCOMPARE(m_probe.play(during), QString());
    const bool upload = line.startsWith("STOR");
    if (upload)
        data.socket.write(patternBytes(100000, 4));
    // Until the file's own bytes have come, or the upload's have gone.
    data.socket.setReadBufferSize(during.isEmpty() ? 4096 : 0);
    QVERIFY(QTest::qWaitFor([&] {
        data.received += data.socket.readAll();
        return upload ? data.socket.bytesToWrite() == 0
                      : data.received.size() >= (during.isEmpty() ? 1 : 1024 * 1024);
    }, 10000));
    QCOMPARE(data.received, patternBytes(data.received.size(), 9));
    QVERIFY(!m_probe.hasLine());
    // Short time-outs only now, so a slow machine cannot run into them before the transfer.
    if (cut == "stall") {
        session()->setDataStallTimeout(300);
        session()->setIdleTimeout(800);
    } else if (cut == "reset") {
        data.reset();
    } else if (cut == "close") {
        data.socket.disconnectFromHost();
    } else {
        m_probe.send(cut);
    }
    QCOMPARE(m_probe.play(steps, 15000), QString());
    // Reading again lets the socket see the server's close behind what it holds.
    data.socket.setReadBufferSize(0);
    QVERIFY(data.waitClosed(15000));
    QCOMPARE(finished.count(), 0);
    QCOMPARE(readTestFile(m_fixture->path("keep.bin")), QByteArray("the good old file"));
    QCOMPARE(QDir(m_fixture->rootPath()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    const auto& clients = m_fixture->server->clients;
    QTRY_VERIFY(clients.isEmpty() || !clients.first()->file.isOpen());
}

void TestServerTransfer::simultaneousUploadsDoNotMix()
{
    const QByteArray first = patternBytes(200000, 1);
    const QByteArray second = patternBytes(150000, 2);
    ServerProbe other;
    QVERIFY(m_probe.connectAndLogIn(m_fixture->port()));
    QVERIFY(other.connectAndLogIn(m_fixture->port()));
    DataProbe firstData;
    DataProbe secondData;
    QVERIFY(firstData.connectTo(m_probe.passive()));
    QVERIFY(secondData.connectTo(other.passive()));
    QCOMPARE(m_probe.command("STOR same.bin"), QStringLiteral("150 Ok to send data."));
    QCOMPARE(other.command("STOR same.bin"), QStringLiteral("150 Ok to send data."));
    firstData.socket.write(first.left(100000));
    secondData.socket.write(second.left(100000));
    QVERIFY(firstData.sendAndClose(first.mid(100000)));
    QCOMPARE(m_probe.readLine(), QStringLiteral("226 File receive OK."));
    QCOMPARE(readTestFile(m_fixture->path("same.bin")), first);
    QVERIFY(secondData.sendAndClose(second.mid(100000)));
    QCOMPARE(other.readLine(), QStringLiteral("226 File receive OK."));
    // The last complete upload wins, whole.
    QCOMPARE(readTestFile(m_fixture->path("same.bin")), second);
}

void TestServerTransfer::namesThatAreNotUtf8Refused()
{
    QVERIFY(m_probe.connectAndLogIn(m_fixture->port()));
    QCOMPARE(m_probe.command("RNFR a file.txt"), QStringLiteral("350 Ready for RNTO."));
    DataProbe data;
    QVERIFY(data.connectTo(m_probe.passive()));
    for (const char* line : {"MKD bad\xff\r\n", "RNTO bad\xfe\r\n", "STOR bad\xff.txt\r\n"}) {
        m_probe.send(line);
        QCOMPARE(m_probe.readLine(), QStringLiteral("553 The requested operation can not be "
                                                    "performed, The file name is not allowed."));
    }
    QVERIFY(data.waitClosed());
    QCOMPARE(QDir(m_fixture->rootPath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"a file.txt", "sub"}));
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
    QVERIFY(m_probe.connectAndLogIn(m_fixture->port()));
    const QString failed = "150 Ok to send data.\n451 Requested action aborted: local error in "
                           "processing.";
    QCOMPARE(m_probe.put("STOR small/old.bin", patternBytes(200 * 1024, 6)), failed);
    QCOMPARE(readTestFile(m_fixture->path("small/old.bin")), QByteArray("old"));
    // Small enough for the buffers, too big for the disk: caught at flush and close.
    QFile filler(m_fixture->path("small/filler.bin"));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    // Bounded: the file system holds 64 KiB.
    for (int i = 0; i < 64 && filler.write(patternBytes(1024, i)) == 1024; ++i) {
    }
    filler.close();
    QCOMPARE(m_probe.put("STOR small/new.bin", patternBytes(8 * 1024, 7)), failed);
    QVERIFY(!QFileInfo::exists(m_fixture->path("small/new.bin")));
    QCOMPARE(m_probe.command("REST 1"), QStringLiteral("350 Restart position accepted (1)"));
    QCOMPARE(m_probe.put("STOR small/old.bin", patternBytes(32 * 1024, 7)), failed);
}

QTEST_GUILESS_MAIN(TestServerTransfer)
#include "tst_servertransfer.moc"
