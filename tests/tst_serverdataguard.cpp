// What keeps the built-in server's data side from being hijacked or held: the passive listener's
// life, stalled transfers, and commands that arrive while a transfer runs.
#include "server/ktftpclient.h"
#include "support/serverprobe.h"
#include "support/testfiles.h"

#include <QTcpServer>
#include <QtTest>

#include <memory>

class TestServerDataGuard : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void noDataPortBeforePasv();
    void strayDataConnectionsGetNothing();
    void passivePortsAllTaken();
    void stalledTransferIsCut_data();
    void stalledTransferIsCut();
    void commandsDuringTransfer_data();
    void commandsDuringTransfer();
    void aborEndsTransfer_data();
    void aborEndsTransfer();
    void aborWhileCommandAwaitsItsConnection();
    void quitEndsTransfer();

private:
    bool loggedIn(ServerProbe& probe)
    {
        return probe.connectAndGreet(m_fixture->port()) && probe.login("test", "581247");
    }
    // Starts a RETR of a file far larger than the socket buffers, on a data connection that is
    // never read.
    bool startLongRetr(DataProbe& data);
    ServerProbe& probe() { return *m_probe; }

    std::unique_ptr<ServerFixture> m_fixture;
    std::unique_ptr<ServerProbe> m_probe;
};

void TestServerDataGuard::init()
{
    m_fixture = std::make_unique<ServerFixture>();
    QVERIFY(writeTestFile(m_fixture->path("a.txt"), "alpha"));
    QVERIFY(writeTestFile(m_fixture->path("huge.bin"), patternBytes(32 * 1024 * 1024, 3)));
    QVERIFY(m_fixture->start());
    m_probe = std::make_unique<ServerProbe>();
}

void TestServerDataGuard::cleanup()
{
    m_probe.reset();
    m_fixture.reset();
}

bool TestServerDataGuard::startLongRetr(DataProbe& data)
{
    data.socket.setReadBufferSize(4096);
    return loggedIn(probe()) && data.connectTo(probe().passive())
           && probe().command("RETR huge.bin").startsWith("150 ");
}

void TestServerDataGuard::noDataPortBeforePasv()
{
    QVERIFY(probe().connectAndGreet(m_fixture->port()));
    QTRY_COMPARE(m_fixture->server->clients.size(), 1);
    KTFtpClient* session = m_fixture->server->clients.first();
    QVERIFY(!session->dataListener->isListening());
    QVERIFY(probe().login("test", "581247"));
    QVERIFY(!session->dataListener->isListening());
    QVERIFY(probe().passive() != 0);
    QVERIFY(session->dataListener->isListening());
}

void TestServerDataGuard::strayDataConnectionsGetNothing()
{
    QVERIFY(loggedIn(probe()));
    const quint16 port = probe().passive();
    DataProbe stranger;
    QVERIFY(stranger.connectTo(port, QHostAddress("127.0.0.2")));
    QVERIFY(stranger.waitClosed());
    DataProbe data;
    QVERIFY(data.connectTo(port));
    DataProbe late;
    QVERIFY(!late.connectTo(port) || late.waitClosed());
    // Nothing was written to the control connection for either of them.
    QCOMPARE(probe().command("NOOP"), QStringLiteral("200 NOOP ok."));
    QCOMPARE(probe().command("RETR a.txt"),
             QStringLiteral("150 Opening BINARY mode data connection for a.txt"));
    QCOMPARE(data.readAll(), QByteArray("alpha"));
    QCOMPARE(probe().readLine(), QStringLiteral("226 File send OK."));
}

void TestServerDataGuard::passivePortsAllTaken()
{
    QTcpServer taken;
    QVERIFY(taken.listen(QHostAddress::LocalHost, 0));
    m_fixture->server->setDataPorts(taken.serverPort(), taken.serverPort());
    QVERIFY(loggedIn(probe()));
    QCOMPARE(probe().command("PASV"), QStringLiteral("425 Can't open data connection."));
    QCOMPARE(probe().command("EPSV"), QStringLiteral("425 Can't open data connection."));
    QCOMPARE(probe().command("LIST"), QStringLiteral("425 Use PASV first."));
    // Greetings do not depend on a free data port.
    ServerProbe next;
    QVERIFY(next.connectAndGreet(m_fixture->port()));
}

void TestServerDataGuard::stalledTransferIsCut_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("download never read") << "RETR huge.bin";
    QTest::newRow("upload never sent") << "STOR up.bin";
}

void TestServerDataGuard::stalledTransferIsCut()
{
    QFETCH(QString, line);
    m_fixture->server->setDataStallTimeout(300);
    m_fixture->server->setIdleTimeout(800);
    QVERIFY(loggedIn(probe()));
    DataProbe data;
    data.socket.setReadBufferSize(4096);
    QVERIFY(data.connectTo(probe().passive()));
    QVERIFY(probe().command(line).startsWith("150 "));
    QCOMPARE(probe().readLine(10000), QStringLiteral("426 Connection closed; transfer aborted."));
    QVERIFY(!QFileInfo::exists(m_fixture->path("up.bin")));
    // Then the session's own idle time-out applies again.
    QCOMPARE(probe().readLine(10000), QStringLiteral("421 Timeout."));
    QVERIFY(probe().waitClosed());
}

void TestServerDataGuard::commandsDuringTransfer_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reply");
    const QString busy = QStringLiteral("503 Bad sequence of commands.");
    QTest::newRow("second RETR") << "RETR a.txt" << busy;
    QTest::newRow("LIST") << "LIST" << busy;
    QTest::newRow("PASV") << "PASV" << busy;
    QTest::newRow("DELE") << "DELE huge.bin" << busy;
    QTest::newRow("REST") << "REST 5" << busy;
    QTest::newRow("CWD") << "CWD /" << busy;
    QTest::newRow("unknown") << "XYZZY" << busy;
    QTest::newRow("NOOP") << "NOOP" << "200 NOOP ok.";
    QTest::newRow("STAT") << "STAT" << "211 FTP Torvex status: RETR /huge.bin, %1 bytes moved.";
}

void TestServerDataGuard::commandsDuringTransfer()
{
    QFETCH(QString, line);
    QFETCH(QString, reply);
    DataProbe data;
    QVERIFY(startLongRetr(data));
    const QString answer = probe().command(line);
    if (reply.contains("%1"))
        QVERIFY2(answer.startsWith(reply.section("%1", 0, 0)), qPrintable(answer));
    else
        QCOMPARE(answer, reply);
    // The transfer goes on untouched: the file's own bytes keep coming, nothing mixed in.
    QVERIFY(QFileInfo::exists(m_fixture->path("huge.bin")));
    data.socket.setReadBufferSize(0);
    const int wanted = 1024 * 1024;
    QVERIFY(QTest::qWaitFor(
        [&data, wanted] {
            data.received += data.socket.readAll();
            return data.received.size() >= wanted;
        },
        10000));
    QCOMPARE(data.received, patternBytes(data.received.size(), 3));
    QVERIFY(!probe().hasLine());
    QCOMPARE(probe().command("ABOR"), QStringLiteral("426 Connection closed; transfer aborted."));
}

void TestServerDataGuard::aborEndsTransfer_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("plain") << QByteArray("ABOR\r\n");
    // Telnet IP and DM first, as lftp sends it.
    QTest::newRow("telnet interrupt") << QByteArray("\xff\xf4\xff\xf2" "ABOR\r\n");
}

void TestServerDataGuard::aborEndsTransfer()
{
    QFETCH(QByteArray, line);
    DataProbe data;
    QVERIFY(startLongRetr(data));
    probe().send(line);
    QCOMPARE(probe().readLine(), QStringLiteral("426 Connection closed; transfer aborted."));
    QCOMPARE(probe().readLine(), QStringLiteral("226 ABOR successful."));
    QVERIFY(data.waitClosed());
    QTRY_VERIFY(!m_fixture->server->clients.first()->file.isOpen());
    QCOMPARE(probe().command("NOOP"), QStringLiteral("200 NOOP ok."));
}

void TestServerDataGuard::aborWhileCommandAwaitsItsConnection()
{
    QVERIFY(loggedIn(probe()));
    QVERIFY(probe().passive() != 0);
    probe().send("RETR a.txt\r\n");
    QCOMPARE(probe().command("DELE a.txt"), QStringLiteral("503 Bad sequence of commands."));
    QCOMPARE(probe().command("ABOR"), QStringLiteral("426 Connection closed; transfer aborted."));
    QCOMPARE(probe().readLine(), QStringLiteral("226 ABOR successful."));
    QVERIFY(!m_fixture->server->clients.first()->dataListener->isListening());
    QVERIFY(QFileInfo::exists(m_fixture->path("a.txt")));
    QCOMPARE(probe().command("NOOP"), QStringLiteral("200 NOOP ok."));
}

void TestServerDataGuard::quitEndsTransfer()
{
    DataProbe data;
    QVERIFY(startLongRetr(data));
    QCOMPARE(probe().command("QUIT"), QStringLiteral("426 Connection closed; transfer aborted."));
    QCOMPARE(probe().readLine(), QStringLiteral("221 Goodbyg."));
    QVERIFY(probe().waitClosed());
    QVERIFY(data.waitClosed());
    QTRY_VERIFY(m_fixture->server->clients.isEmpty());
}

QTEST_GUILESS_MAIN(TestServerDataGuard)
#include "tst_serverdataguard.moc"
