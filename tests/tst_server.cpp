// The built-in server over 127.0.0.0/8: the control connection, FTP over TLS and the data side.
#include "engine/ftpclient.h"
#include "server/ktftpclient.h"
#include "support/serverprobe.h"
#include "support/testfiles.h"

#include <QSslCertificate>
#include <QTcpServer>
#include <QtTest>

static const QString opened = "150 Opening BINARY mode data connection for a file.txt";
static const QString stored = "150 Ok to send data.\n226 File receive OK.";
static const QString aborted = "426 Connection closed; transfer aborted.";
static const QString unavailable =
    "550 Requested operation can not be performed, The file is not available.";
static const QDateTime aTxtModified(QDate(2021, 6, 7), QTime(8, 9, 10), Qt::LocalTime);

class TestServer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Not UTC, so that MDTM's UTC differs from the local time.
        qputenv("TZ", "JST-9");
    }

    void init()
    {
        m_fixture = std::make_unique<ServerFixture>();
        m_fixture->server->setLoginFailDelay(20);
        m_fixture->server->setPassiveTimeout(3000);
        QVERIFY(makeTestFiles(m_fixture->root, "a file.txt=alpha,sub/inner.txt=inner"));
        QVERIFY(m_fixture->start());
    }

    void cleanup()
    {
        m_probe.socket.abort();
        m_probe.received.clear();
        m_fixture.reset();
    }

    void conversations_data()
    {
        // 0 without a certificate, 1 with TLS offered, 2 with TLS required.
        QTest::addColumn<int>("tls");
        QTest::addColumn<bool>("logIn");
        QTest::addColumn<QStringList>("steps");
        const QString login = " => 530 Please login with USER and PASS.";
        const QString wrong = " => 530 Login incorrect.";
        const QString unknown = " => 500 Unknown command.";
        const QString bad = " => 501 Error parameter.";
        const QString user = "USER test => 331 Please specify the password.";
        const QString pass = "PASS 581247 => 230 Login successful.";
        const QString quit = "QUIT => 221 Goodbyg.";
        // A refused PASV leaves nothing waiting behind the login.
        QTest::newRow("before login") << 0 << false << QStringList{
            "PWD" + login, "LIST" + login, "RETR x" + login, "PASV" + login, "EPSV" + login,
            "XYZZY" + unknown, "SYST => 215 UNIX Type:L8",
            "OPTS UTF8 ON => 200 Always in UTF8 mode.",
            "FEAT => 211-Features:\n EPSV\n MDTM\n PASV\n REST STREAM\n SIZE\n UTF8\n211 End",
            "AUTH TLS" + unknown, "PBSZ 0" + unknown, "PROT P" + unknown, quit, "closed"};
        QTest::newRow("third failed password closes") << 0 << false << QStringList{
            user, "PASS one" + wrong, "PASS two" + wrong, "NOOP => 200...",
            "PASS 581247x" + wrong, "closed"};
        // Passwords guessed from a logged-in session count all the same.
        QTest::newRow("guesses after login counted") << 0 << true << QStringList{
            "USER test => 331...", "PASS guess1" + wrong, "PASS guess2" + wrong,
            "PASS guess3" + wrong, "closed"};
        // Lines sent together, some during the delay after a failed login, answered in turn.
        QTest::newRow("pipelined") << 0 << false << QStringList{
            "USER test", "PASS bad", "PASS 581247", "PWD", "=> 331...", "=> 530 Login incorrect.",
            "=> 230 Login successful.", "=> 257 \"/\""};
        // Whole command words only; a NUL is refused, not cut at; a line holds 4096 bytes at most.
        QTest::newRow("logged in") << 0 << true << QStringList{
            "PASS wrong" + wrong, "PWD => 257 \"/\"", "QUITE" + unknown, "SIZEXa.txt" + unknown,
            "MLSD" + unknown, "noop => 200 NOOP ok.", QStringLiteral("SIZE a\0b") + bad,
            "\r\n\n\r\nNOOP => 200 NOOP ok.", "TYPE A => 200 Switching to ASCII mode.",
            "TYPE a => 200 Switching to ASCII mode.", "TYPE I => 200 Switching to binary mode.",
            "TYPE L 8" + bad, "TYPE" + bad, "MODE S => 200...", "MODE B => 504...",
            "STRU F => 200...", "STRU R => 504...", "ALLO 1000 => 202...",
            "OPTS MLST type; => 501...", "ABOR => 225 No transfer to ABOR.",
            "STAT => 211 FTP Torvex status: logged in as test, no transfer running.",
            "HELP => 214-The following commands are recognized.\n USER PASS SYST FEAT PWD...",
            "NOOP " + QString(4096 - 5, 'x') + " => 200 NOOP ok.",
            "NOOP " + QString(4096 - 4, 'x') + " => 500 Input line too long.", quit, "closed"};
        const QString mustEncrypt = " => 530 Non-anonymous sessions must use encryption.";
        const QString tls = "AUTH TLS => 234...";
        QTest::newRow("TLS offered") << 1 << false << QStringList{
            "FEAT => 211-Features:\n AUTH TLS\n EPSV\n MDTM\n PASV\n PBSZ\n PROT\n REST STREAM\n"
            " SIZE\n UTF8\n211 End", "AUTH KERBEROS => 504 Unknown AUTH type.",
            "PBSZ 0 => 503 PBSZ not allowed on insecure control connection.",
            "PROT P => 503 PROT not allowed on insecure control connection.", user, tls,
            "handshake", user, pass};
        QTest::newRow("TLS required") << 2 << false << QStringList{
            "USER test" + mustEncrypt, "PASS 581247" + mustEncrypt, tls, "handshake", user, pass,
            "PROT C => 200 PROT now Clear.", "PASV => 227 ...",
            "LIST => 522 Data connections must be encrypted."};
        // Clear text where the handshake belongs ends it; commands sent along with AUTH, more than
        // the input buffer holds, are not taken as encrypted.
        QTest::newRow("clear text behind AUTH") << 1 << false << QStringList{tls, "USER", "closed"};
        QTest::newRow("commands in AUTH's packet") << 1 << false << QStringList{
            "AUTH TLS\r\n" + QString("USER test\r\n").repeated(1000) + "USER test => 234...",
            "handshake", "NOOP => 200 NOOP ok.",
            "PASS 581247 => 530 Login incorrect."};
    }

    void conversations()
    {
        QFETCH(int, tls);
        QFETCH(bool, logIn);
        QFETCH(QStringList, steps);
        if (tls > 0)
            QVERIFY(m_fixture->enableTls(tls == 2));
        QVERIFY(logIn ? m_probe.connectAndLogIn(m_fixture->port())
                      : m_probe.connectAndGreet(m_fixture->port()));
        QCOMPARE(m_probe.play(steps), QString());
        // A closed session leaves nothing behind, and the user offline.
        QTRY_VERIFY(steps.last() != "closed"
                    || (m_fixture->server->clients.isEmpty() && !userOnline()));
    }

    void linesInPieces()
    {
        QVERIFY(m_probe.connectAndLogIn(m_fixture->port()));
        // A line waits until it is whole; replies end in CR LF (lftp reads on past a bare LF).
        const QList<QPair<QByteArray, QByteArray>> pieces{
            {"NO", ""}, {"OP\r", ""}, {"\nPW", "200 NOOP ok.\r\n"}, {"D\r\n", "257 \"/\"\r\n"},
            {"MKD Gr\xc3", ""}, {"\xbc\xc3\x9f" "e\r\n", "257 \"/Grüße\" created.\r\n"}};
        for (const auto& piece : pieces) {
            m_probe.send(piece.first);
            if (piece.second.isEmpty()) {
                QTRY_VERIFY(session()->inputBuffer.endsWith(piece.first) && !m_probe.hasLine());
            } else {
                m_probe.readLine();
                QCOMPARE(m_probe.lastRaw, piece.second);
            }
        }
        QVERIFY(QFileInfo(m_fixture->path("Grüße")).isDir());
        // Longer than the input buffer and in pieces: one reply, the buffer stays bounded.
        m_probe.send("RETR " + QByteArray(20000, 'y'));
        m_probe.send(QByteArray(20000, 'y') + "\r\nPWD\r\n");
        QCOMPARE(m_probe.play({"=> 500 Input line too long.", "=> 257 \"/\""}), QString());
        QVERIFY(session()->inputBuffer.size() <= 2 * 4096);
        // A line that never ends: bounded, 40 blocks are well past the limit.
        for (int i = 0; i < 40 && m_probe.isOpen(); ++i) {
            m_probe.send(QByteArray(8192, 'z'));
            QVERIFY(session()->inputBuffer.size() <= 2 * 4096);
            QTest::qWait(1);
        }
        QVERIFY(m_probe.waitClosed());
        QVERIFY(m_probe.received.startsWith("500 Input line too long.\r\n"));
    }

    void timeoutsAndOnline()
    {
        QSignalSpy loggedOut(m_fixture->server.get(), &KTFtpServer::userLoggedOut);
        ServerProbe dropped;
        ServerProbe trickler;
        QVERIFY(m_probe.connectAndLogIn(m_fixture->port()));
        QVERIFY(dropped.connectAndLogIn(m_fixture->port()));
        // One session gone without QUIT: the other keeps the user online.
        dropped.socket.abort();
        QTRY_COMPARE(loggedOut.count(), 1);
        QVERIFY(userOnline());
        // Nor does a stranger's wrong password, which is answered late.
        m_fixture->server->setLoginFailDelay(200);
        QVERIFY(trickler.connectAndGreet(m_fixture->port()));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(trickler.play({"USER test => 331...", "PASS guess => 530 Login..."}), QString());
        QVERIFY(timer.elapsed() >= 150);
        QVERIFY(userOnline());
        // Trickling bytes without logging in loses the slot, however often they come; a logged-in
        // session stays until idle.
        for (KTFtpClient* session : qAsConst(m_fixture->server->clients))
            session->setLoginTimeout(200);
        for (int i = 0; i < 40 && !trickler.hasLine(); ++i) {
            trickler.send("N");
            trickler.readUntil([&] { return trickler.hasLine(); }, 50);
        }
        QVERIFY(trickler.hasLine());
        QCOMPARE(trickler.play({"=> 421 Login timeout.", "closed"}), QString());
        QTRY_COMPARE(m_fixture->server->clients.size(), 1);
        // A logged-in session guesses no faster.
        session()->setLoginFailDelay(200);
        timer.restart();
        QCOMPARE(m_probe.play({"PASS guess => 530 Login..."}), QString());
        QVERIFY(timer.elapsed() >= 150);
        session()->setIdleTimeout(500);
        QCOMPARE(m_probe.play({"NOOP => 200 NOOP ok.", "=> 421 Timeout.", "closed"}), QString());
        QTRY_VERIFY(!userOnline());
    }

    void eleventhConnectionRefused()
    {
        ServerProbe probes[10];
        for (ServerProbe& probe : probes)
            QVERIFY(probe.connectAndGreet(m_fixture->port()));
        // The eleventh is closed without a word; the ten keep working.
        QVERIFY(m_probe.connectTo(m_fixture->port()) && m_probe.waitClosed());
        QVERIFY(m_probe.received.isEmpty());
        for (ServerProbe& earlier : probes)
            QCOMPARE(earlier.command("NOOP"), QStringLiteral("200 NOOP ok."));
        probes[0].socket.abort();
        QTRY_COMPARE(m_fixture->server->clients.size(), 9);
        ServerProbe next;
        QVERIFY(next.connectAndLogIn(m_fixture->port()));
        // A restart on another folder ends every session and serves the new folder.
        const QString other = m_fixture->dir.filePath("other");
        QVERIFY(QDir().mkpath(other + "/only-here"));
        QVERIFY(m_fixture->server->start(0, other, QHostAddress(QHostAddress::LocalHost)));
        QVERIFY(next.waitClosed() && probes[9].waitClosed());
        QVERIFY(!userOnline());
        ServerProbe again;
        QVERIFY(again.connectAndLogIn(m_fixture->port()));
        // Emptied, the root itself still cannot be removed.
        QCOMPARE(again.play({"CWD only-here => 250 Directory changed successfully!",
                             "RMD /only-here => 250 Delete operation successful.",
                             "RMD / => " + unavailable}), QString());
    }

    void foreignDataConnectionsRefused_data()
    {
        // A handshake resuming no session (as from a racer to the port), another's, or bytes.
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("fresh handshake") << QByteArray("fresh");
        QTest::newRow("another connection's session") << QByteArray("other");
        QTest::newRow("clear text") << QByteArray("plain upload data\r\n");
        QTest::newRow("TLS garbage")
            << QByteArray("\x16\x03\x01\x00\x10", 5) + QByteArray(16, '\xff');
    }

    void foreignDataConnectionsRefused()
    {
        QFETCH(QByteArray, bytes);
        const bool handshake = bytes == "fresh" || bytes == "other";
        QVERIFY(m_fixture->enableTls(false));
        QSignalSpy notices(m_fixture->server.get(), &KTFtpServer::notice);
        ServerProbe other;
        QVERIFY(other.connectAndLogIn(m_fixture->port(), true));
        QVERIFY(m_probe.connectAndLogIn(m_fixture->port(), true));
        DataProbe data;
        QVERIFY(data.connectTo(m_probe.passive()));
        // A download must not leak a byte to it, an upload must not be stored.
        QVERIFY(m_probe.command(handshake ? "LIST" : "STOR cut.bin").startsWith("150 "));
        if (handshake)
            data.handshake(bytes == "other" ? other.socket.sslConfiguration() : testClientTls());
        else
            data.socket.write(bytes);
        QVERIFY(data.waitClosed());
        QCOMPARE(data.received, QByteArray());
        const QString reuse = handshake ? "; session reuse required" : "";
        QCOMPARE(m_probe.readReply(), "522 SSL connection failed" + reuse + ".");
        QVERIFY(!handshake || notices.last().at(0).toString().contains("did not resume"));
        QVERIFY(!QFile::exists(m_fixture->path("cut.bin")));
        // The session goes on, and a connection resuming its own session is served.
        const QSslConfiguration own = m_probe.socket.sslConfiguration();
        QCOMPARE(m_probe.put("STOR cut.bin", "whole", &own), stored);
    }

    void ourClientListsWithSessionReuseEnforced()
    {
        QVERIFY(m_fixture->enableTls(true));
        QSignalSpy notices(m_fixture->server.get(), &KTFtpServer::notice);
        FTPClient client;
        client.setEncryption(FTPClient::TlsRequired);
        client.trustOnce(QSslCertificate::fromPath(m_fixture->dir.filePath("server.pem"))
                             .value(0).digest(QCryptographicHash::Sha256));
        QSignalSpy login(&client, &FTPClient::login);
        QSignalSpy listings(&client, &FTPClient::currentDirData);
        client.connectServer("127.0.0.1", m_fixture->port(), "test", "581247");
        QTRY_COMPARE_WITH_TIMEOUT(login.count(), 1, 15000);
        QVERIFY(login.first().first().toBool() && client.isEncrypted());
        // Protected, so served only when it resumes the control connection's session.
        client.listDir();
        QTRY_VERIFY_WITH_TIMEOUT(!listings.isEmpty(), 15000);
        QVERIFY(listings.last().first().toString().contains("a file.txt"));
        // No data connection was refused on the way.
        QCOMPARE(notices.count(), 0);
        client.disconnectServer();
    }

    void dataConnectionBelongsToItsSession()
    {
        QVERIFY(m_probe.connectAndGreet(m_fixture->port()));
        // Taken while it is the only one: the server keeps its sessions in no particular order.
        KTFtpClient* const session = this->session();
        // No data port is open before a logged-in PASV asks for one.
        QVERIFY(!session->dataListener->isListening());
        QVERIFY(m_probe.login("test", "581247"));
        QVERIFY(!session->dataListener->isListening());
        // RETR waits for its data connection; one from another address is cut, the port stays.
        QString reply;
        const quint16 port = m_probe.passive(&reply);
        QVERIFY2(reply.startsWith("227 Entering Passive Mode (127,0,0,1,"), qPrintable(reply));
        QVERIFY(port >= 1050 && port <= 4999 && session->dataListener->isListening());
        m_probe.send("RETR a file.txt\r\n");
        DataProbe stranger;
        QVERIFY(stranger.connectTo(port, QHostAddress("127.0.0.2")) && stranger.waitClosed());
        QVERIFY(stranger.received.isEmpty());
        DataProbe data;
        QVERIFY(data.connectTo(port));
        QVERIFY(data.waitClosed());
        QCOMPARE(data.received, QByteArray("alpha"));
        QCOMPARE(m_probe.play({"=> " + opened, "=> 226 File send OK."}), QString());
        // The listener takes one connection and is gone; a new PASV replaces an unused one.
        const quint16 second = m_probe.passive();
        DataProbe unused;
        QVERIFY(unused.connectTo(second));
        QTRY_VERIFY(session->dataSocket);
        DataProbe late;
        QVERIFY(!late.connectTo(second) || late.waitClosed());
        DataProbe replacing;
        QVERIFY(replacing.connectTo(m_probe.passive()));
        QVERIFY(unused.waitClosed());
        // Nothing was said on the control connection for any of them.
        QCOMPARE(m_probe.play({"NOOP => 200 NOOP ok.", "RETR a file.txt"}), QString());
        QVERIFY(replacing.waitClosed());
        QCOMPARE(replacing.received, QByteArray("alpha"));
        QCOMPARE(m_probe.play({"=> " + opened, "=> 226 File send OK."}), QString());
        ServerProbe other;
        QVERIFY(other.connectAndLogIn(m_fixture->port()));
        const quint16 mine = m_probe.passive();
        // EPSV names the port alone, and a listing comes over it.
        const QString epsv = other.command("EPSV");
        const quint16 theirs = quint16(epsv.section('|', 3, 3).toUInt());
        DataProbe names;
        QVERIFY2(theirs != mine && names.connectTo(theirs), qPrintable(epsv));
        QVERIFY(other.command("NLST").startsWith("150 ") && names.waitClosed());
        QCOMPARE(names.received, QByteArray("a file.txt\r\nsub\r\n"));
        // An unused PASV runs out without a word. While a data connection is awaited others go
        // on, LIST hears it never came; no ports.
        session->setPassiveTimeout(100);
        const QString usePasv = "LIST => 425 Use PASV first.";
        QTRY_VERIFY(!session->dataListener->isListening());
        QCOMPARE(m_probe.play({"NOOP => 200 NOOP ok.", "PASV => 227 ...", "NOOP => 200 NOOP ok.",
                               "LIST => 425 Failed to open data connection.", usePasv}), QString());
        QTcpServer taken;
        QVERIFY(taken.listen(QHostAddress::LocalHost, 0));
        session->setDataPorts(taken.serverPort(), taken.serverPort());
        const QString cannot = " => 425 Can't open data connection.";
        QCOMPARE(m_probe.play({"PASV" + cannot, "EPSV" + cannot, usePasv}), QString());
        QVERIFY(!session->dataListener->isListening());
    }

    void uploadsAndRestarts()
    {
        const QByteArray content = patternBytes(1000);
        QVERIFY(makeTestFiles(m_fixture->root, "r.bin#1000,out.txt->/etc/passwd"));
        QCOMPARE(QProcess::execute("mkfifo", {m_fixture->path("pipe")}), 0);
        QVERIFY(m_probe.connectAndLogIn(m_fixture->port()));
        // An "ls -l" line, which lftp and others parse; the options are not taken for a name.
        const QStringList listed = QString::fromUtf8(m_probe.fetch("LIST -al sub")).split("\r\n");
        // ".", "..", the file, and nothing after its CR LF.
        QCOMPARE(listed.size(), 4);
        QVERIFY2(QRegularExpression("^-([-r][-w][-x]){3} +\\d+ +\\S+ +\\S+ +5 [A-Z][a-z]{2} "
                                    "[ 0-3]\\d ( \\d{4}|\\d\\d:\\d\\d) inner.txt$")
                     .match(listed.at(2)).hasMatch(), qPrintable(listed.join('|')));
        // Names not in UTF-8 would collapse into one; the waiting data connection goes too.
        QCOMPARE(m_probe.command("RNFR a file.txt"), QStringLiteral("350 Ready for RNTO."));
        DataProbe data;
        QVERIFY(data.connectTo(m_probe.passive()));
        for (const char* line : {"MKD bad\xff\r\n", "RNTO bad\xfe\r\n", "STOR bad\xff.txt\r\n"}) {
            m_probe.send(line);
            QCOMPARE(m_probe.readLine(), "553 The requested operation can not be performed, "
                                         "The file name is not allowed.");
        }
        QVERIFY(data.waitClosed());
        QCOMPARE(QDir(m_fixture->rootPath()).entryList({"bad*"}), QStringList());
        // An offset serves once, for a download or an upload; an upload keeps what follows it.
        QCOMPARE(m_probe.play({"REST 100 => 350 Restart position accepted (100)"}), QString());
        QCOMPARE(m_probe.fetch("RETR r.bin"), content.mid(100));
        QCOMPARE(m_probe.fetch("RETR r.bin"), content);
        QCOMPARE(m_probe.play({"REST 100 => 350 Restart position accepted (100)"}), QString());
        QCOMPARE(m_probe.put("STOR r.bin", "tail"), stored);
        QCOMPARE(readTestFile(m_fixture->path("r.bin")),
                 content.left(100) + "tail" + content.mid(104));
        // Without REST an upload replaces the file. Folders, pipes (they would block all sessions)
        // and links out of the root are refused, without a 226.
        QCOMPARE(m_probe.put("STOR r.bin", "0123456789"), stored);
        for (const char* line : {"STOR sub", "STOR pipe"})
            QCOMPARE(m_probe.put(line, "x"), unavailable);
        QString replies;
        for (const char* line : {"RETR sub", "RETR pipe", "RETR missing.bin", "RETR out.txt",
                                 "LIST nowhere"}) {
            QCOMPARE(m_probe.fetch(line, &replies), QByteArray());
            QCOMPARE(replies, unavailable);
        }
        // Beyond the end: nothing sent, nothing written, no sparse giant; the end itself is valid.
        const QString invalid = "554 Requested action not taken: invalid REST parameter.";
        for (const char* refused : {"abc", "-5", "5x", "99999999999999999999"})
            QCOMPARE(m_probe.command(QString("REST ") + refused), QString("501 Error parameter."));
        QCOMPARE(m_probe.play({"REST 11 => 350 ..."}), QString());
        QCOMPARE(m_probe.fetch("RETR r.bin", &replies), QByteArray());
        QCOMPARE(replies, invalid);
        QCOMPARE(m_probe.play({"REST 1000000000000 => 350 ..."}), QString());
        QCOMPARE(m_probe.put("STOR r.bin", "x"), invalid);
        QCOMPARE(readTestFile(m_fixture->path("r.bin")), QByteArray("0123456789"));
        QCOMPARE(m_probe.play({"REST 10 => 350 ..."}), QString());
        QCOMPARE(m_probe.fetch("RETR r.bin", &replies), QByteArray());
        QVERIFY2(replies.endsWith("\n226 File send OK."), qPrintable(replies));
        // A folder that took the name during the upload fails it at the final rename.
        DataProbe late;
        QVERIFY(late.connectTo(m_probe.passive()));
        QCOMPARE(m_probe.command("STOR late.bin"), QStringLiteral("150 Ok to send data."));
        QVERIFY(QDir().mkpath(m_fixture->path("late.bin/in the way")));
        QVERIFY(late.sendAndClose("late"));
        QCOMPARE(m_probe.readLine(), "451 Requested action aborted: local error in processing.");
        // Simultaneous uploads to one name do not mix: each ends whole, the last one wins.
        ServerProbe probes[2];
        DataProbe uploads[2];
        for (int i = 0; i < 2; ++i) {
            QVERIFY(probes[i].connectAndLogIn(m_fixture->port()));
            QVERIFY(uploads[i].connectTo(probes[i].passive()));
            QCOMPARE(probes[i].command("STOR same.bin"), QStringLiteral("150 Ok to send data."));
            uploads[i].socket.write(patternBytes(100000, i));
        }
        for (int i = 0; i < 2; ++i) {
            QVERIFY(uploads[i].sendAndClose(patternBytes(50000 + i, 10 + i)));
            QCOMPARE(probes[i].readLine(), QStringLiteral("226 File receive OK."));
            QCOMPARE(readTestFile(m_fixture->path("same.bin")),
                     patternBytes(100000, i) + patternBytes(50000 + i, 10 + i));
        }
    }

    void runningTransfers_data()
    {
        QTest::addColumn<QString>("line");
        // What the session is sent while the transfer runs; the transfer must go on untouched.
        QTest::addColumn<QStringList>("during");
        // Then "close" or "reset" the data connection, "stall" it, or these bytes on control.
        QTest::addColumn<QByteArray>("cut");
        QTest::addColumn<QStringList>("steps");
        const QString busy = " => 503 Bad sequence of commands.";
        const QStringList goesOn{"=> " + aborted, "NOOP => 200 NOOP ok."};
        const QStringList abor{"=> " + aborted, "=> 226 ABOR successful.", goesOn.last()};
        // Then the session's own idle time-out applies again.
        const QStringList idles{"=> " + aborted, "=> 421 Timeout.", "closed"};
        const QString get = "RETR huge.bin";
        const QString put = "STOR keep.bin";
        QTest::newRow("download closed") << get << QStringList() << QByteArray("close") << goesOn;
        QTest::newRow("download reset") << get << QStringList() << QByteArray("reset") << goesOn;
        // The old file stays whole, and no temporary file is left behind.
        QTest::newRow("upload reset") << put << QStringList() << QByteArray("reset") << goesOn;
        QTest::newRow("download not read") << get << QStringList() << QByteArray("stall") << idles;
        QTest::newRow("upload never sent") << put << QStringList() << QByteArray("stall") << idles;
        QTest::newRow("append without a byte") << QString("APPE keep.bin") << QStringList()
                                               << QByteArray("stall") << idles;
        // Telnet IP and DM before ABOR, as lftp sends it.
        QTest::newRow("commands, then ABOR") << get << QStringList{
            "RETR a file.txt" + busy, "LIST" + busy, "PASV" + busy, "DELE huge.bin" + busy,
            "REST 5" + busy, "CWD /" + busy, "XYZZY" + busy, "NOOP => 200 NOOP ok.",
            "STAT => 211 FTP Torvex status: RETR /huge.bin, ..."}
            << QByteArray("\xff\xf4\xff\xf2" "ABOR\r\n") << abor;
        QTest::newRow("QUIT") << get << QStringList() << QByteArray("QUIT\r\n")
                              << QStringList{"=> " + aborted, "=> 221 Goodbyg.", "closed"};
    }

    void runningTransfers()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, during);
        QFETCH(QByteArray, cut);
        QFETCH(QStringList, steps);
        // 32 MiB, more than the kernel's buffers on both ends can hold.
        QVERIFY(makeTestFiles(m_fixture->root, "huge.bin#33554432,keep.bin=the good old file"));
        QSignalSpy finished(m_fixture->server.get(), &KTFtpServer::transferFinished);
        QVERIFY(m_probe.connectAndLogIn(m_fixture->port()));
        DataProbe data;
        data.socket.setReadBufferSize(4096);
        QVERIFY(data.connectTo(m_probe.passive()));
        QVERIFY(m_probe.command(line).startsWith("150 "));
        QCOMPARE(m_probe.play(during), QString());
        const bool upload = !line.startsWith("RETR");
        if (line.startsWith("STOR"))
            data.socket.write(patternBytes(100000, 4));
        // Until the file's own bytes have come, or the upload's have gone.
        data.socket.setReadBufferSize(during.isEmpty() ? 4096 : 0);
        QVERIFY(data.readUntil([&] {
            return upload ? data.socket.bytesToWrite() == 0
                          : data.received.size() >= (during.isEmpty() ? 1 : 1024 * 1024);
        }, 10000));
        QCOMPARE(data.received, patternBytes(data.received.size()));
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

    void fullDiskGives451()
    {
        // A small file system of its own, where root may mount one.
        const QString mount = m_fixture->path("small");
        QVERIFY(QDir().mkpath(mount));
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mount}) != 0)
            QSKIP("mounting a tmpfs is not allowed here");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {"-l", mount}); });
        QVERIFY(writeTestFile(m_fixture->path("small/old.bin"), "old"));
        QVERIFY(m_probe.connectAndLogIn(m_fixture->port()));
        const QString failed = "150 Ok to send data.\n451 Requested action aborted: local error in "
                               "processing.";
        QCOMPARE(m_probe.put("STOR small/old.bin", patternBytes(200 * 1024, 6)), failed);
        QCOMPARE(readTestFile(m_fixture->path("small/old.bin")), QByteArray("old"));
        // The disk full to the last page: a small upload fails only at flush and close.
        QVERIFY(!writeTestFile(m_fixture->path("small/filler.bin"), patternBytes(128 * 1024, 5)));
        QCOMPARE(m_probe.put("STOR small/new.bin", patternBytes(8 * 1024, 7)), failed);
        QVERIFY(!QFileInfo::exists(m_fixture->path("small/new.bin")));
        QCOMPARE(m_probe.play({"REST 1 => 350 Restart position accepted (1)"}), QString());
        QCOMPARE(m_probe.put("STOR small/old.bin", patternBytes(32 * 1024, 7)), failed);
    }

    void commands_data()
    {
        // What the steps changed, by path: "+" made, "-" removed, "~" size or permissions changed.
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QStringList>("steps");
        const QString no = " => " + unavailable;
        const QString noName = " => 553 The requested operation can not be performed, the file "
                               "name is not allowed.";
        const QString cd = " => 250 Directory changed successfully!";
        const QString bad = " => 501 Error parameter.";

        // Out through links, "..", backslashes or a sibling sharing the root's name: all refused.
        QTest::newRow("escapes") << QStringList{"+made"} << QStringList{
            "CWD outdir" + no, "CWD outdir/keep" + no, "CWD barlink" + no,
            "SIZE ../outside/secret.txt" + no, "SIZE /../../outside/secret.txt" + no,
            "SIZE ..\\outside\\secret.txt" + no, "SIZE outfile" + no,
            "SIZE barlink/secret.txt" + no, "MDTM outdir/secret.txt" + no,
            "DELE outdir/secret.txt" + no, "DELE ../outside/secret.txt" + no,
            "DELE barlink/secret.txt" + no, "RMD outdir/keep" + no, "MKD outdir/new" + no,
            "MKD ../outside/new" + no, "SITE CHMOD 777 outfile" + no,
            "SITE CHMOD 777 outdir/secret.txt" + no, "SITE CHMOD 777 ../outside/secret.txt" + no,
            // A refused RNFR leaves nothing for RNTO to move out.
            "RNFR outdir/secret.txt" + no, "RNTO /stolen.txt" + noName,
            // ".." past the root stays at the root.
            "CWD ../../.." + cd, "MKD ../../made => 257 \"/made\" created.", "PWD => 257 \"/\""};
        // A missing folder or a file keeps the current one, with a 550 (lftp retries a 4xx).
        QTest::newRow("navigation") << QStringList{"-a.txt"} << QStringList{
            "CDUP => 250...", "PWD => 257 \"/\"", "CWD sub/" + cd, "CWD deeper" + cd,
            "PWD => 257 \"/sub/deeper\"", "CWD .." + cd, "CWD ." + cd, "PWD => 257 \"/sub\"",
            "CWD ../sub/deeper" + cd, "CDUP => 250...", "PWD => 257 \"/sub\"",
            "CWD /nowhere" + no, "CWD nowhere" + no, "CWD inner.txt" + no, "PWD => 257 \"/sub\"",
            "CWD /" + cd, "CWD sublink/deeper" + cd, "PWD => 257 \"/sublink/deeper\"",
            // Empty parts and "." drop out; a backslash separates like a slash.
            "CWD /a//b/./" + cd, "PWD => 257 \"/a/b\"", "CWD \\sub\\deeper" + cd,
            "PWD => 257 \"/sub/deeper\"", "SIZE /a.txt => 213 5",
            "RNFR /a.txt => 350 Ready for RNTO.", "RNTO /sub/b.txt => 250 Rename successful.",
            "DELE /sub/b.txt => 250 Delete operation successful."};
        // MKD names the folder as the client sees it, quotes doubled.
        QTest::newRow("mkd") << QStringList{"+sub/ lead ", "+sub/...", "+sub/new",
            "+sub/say \"hi\"", "+top"} << QStringList{
            "CWD sub" + cd, "MKD new => 257 \"/sub/new\" created.",
            "MKD /top => 257 \"/top\" created.",
            "MKD say \"hi\" => 257 \"/sub/say \"\"hi\"\"\" created.", "MKD new" + no,
            "MKD missing/new" + no, "MKD /" + no,
            // The argument keeps its blanks but the one after the word; "..." is a name.
            "MKD  lead  => 257 \"/sub/ lead \" created.", "MKD ... => 257 \"/sub/...\" created."};
        // RMD takes only the named empty folder; never a file, a link, the root or its parent.
        QTest::newRow("rmd") << QStringList{"-a/b/c"} << QStringList{
            "RMD a/b/c => 250 Delete operation successful.", "RMD a" + no, "RMD a.txt" + no,
            "RMD sublink" + no, "RMD /" + no, "RMD .." + no, "RMD" + no};
        // DELE takes files, a link as a link; MDTM is in UTC whatever the server's time zone.
        QTest::newRow("size, mdtm and dele") << QStringList{"-a.txt", "-outfile"} << QStringList{
            "SIZE missing.txt" + no, "MDTM missing.txt" + no, "MDTM" + no, "SIZE dangling" + no,
            "SIZE pipe" + no, "SIZE" + bad, "SIZE a.txt => 213 5",
            "MDTM a.txt => 213 " + aTxtModified.toUTC().toString("yyyyMMddHHmmss"),
            "DELE sub" + no, "DELE nothing.txt" + no, "DELE /" + no, "DELE" + no,
            "DELE outfile => 250 Delete operation successful.",
            "DELE a.txt => 250 Delete operation successful."};
        QTest::newRow("rename file and folder") << QStringList{"+moved.txt", "+renamed",
            "+renamed/deeper", "-sub", "-sub/deeper", "-sub/inner.txt"} << QStringList{
            "RNFR sub => 350 Ready for RNTO.", "RNTO renamed => 250 Rename successful.",
            "CWD renamed" + cd, "RNFR inner.txt => 350 Ready for RNTO.",
            "RNTO ../moved.txt => 250 Rename successful."};
        // RNTO never replaces, and a failed one uses up its RNFR.
        QTest::newRow("rename refusals") << QStringList() << QStringList{
            "RNTO x.txt" + noName, "RNFR a.txt => 350 Ready for RNTO.",
            "RNTO sub/inner.txt" + noName, "RNTO free.txt" + noName, "RNFR missing.txt" + no,
            "RNTO free.txt" + noName, "RNFR /" + no, "RNFR" + no, "RNTO gone" + noName};
        // Modes change the file's real permissions; bad modes, other SITE commands are refused.
        QTest::newRow("site") << QStringList{"~sub/inner.txt"} << QStringList{
            "site chmod 0600 /sub/inner.txt => 200 SITE CHMOD command ok.",
            "SITE CHMOD 648 a.txt" + bad, "SITE CHMOD 07777 a.txt" + bad, "SITE CHMOD 644" + bad,
            "SITE CHMOD 644 missing.txt" + bad, "SITE CHMOD +644 a.txt" + bad,
            "SITE CHMOD 0x1ff a.txt" + bad, "SITE CHMOD 64 a.txt" + bad,
            "SITE UTIME 20200101 a.txt" + bad, "SITE" + bad,
            "SITE CHMOD 777 /" + no, "SITE CHMOD 777 ." + no};
        // Transfers need a data connection; while one is awaited, file commands wait too.
        QTest::newRow("no data connection") << QStringList() << QStringList{
            "LIST => 425 Use PASV first.", "RETR a.txt => 425 Use PASV first.",
            "STOR new.txt => 425 Use PASV first.", "PASV => 227 ...", "RETR a.txt",
            "DELE a.txt => 503 Bad sequence of commands.", "ABOR => " + aborted,
            "=> 226 ABOR successful.", "NOOP => 200 NOOP ok."};
    }

    void commands()
    {
        QFETCH(QStringList, changes);
        QFETCH(QStringList, steps);
        makeFilesTree();
        const QMap<QString, QString> before = snapshot();
        QVERIFY(m_probe.connectAndLogIn(m_fixture->port()));
        QCOMPARE(m_probe.play(steps), QString());
        QVERIFY(!session()->dataListener->isListening());
        const QMap<QString, QString> after = snapshot();
        QMap<QString, QString> all = before;
        all.insert(after);
        QStringList changed;
        for (const QString& key : all.keys()) {
            if (before.value(key) != after.value(key))
                changed << (!before.contains(key) ? "+" : after.contains(key) ? "~" : "-") + key;
        }
        QCOMPARE(changed, changes);
    }

private:
    // The file commands try to reach base/outside and base/rootbar, which must stay untouched.
    void makeFilesTree()
    {
        m_base = QFileInfo(m_fixture->dir.path()).canonicalFilePath();
        QVERIFY(makeTestFiles(m_base, QString(
            "root/a.txt=alpha,root/sub/deeper/,root/a/b/c/,outside/secret.txt=secret,outside/keep/,"
            "rootbar/secret.txt=sibling,root/outdir->%1/outside,root/sublink->%1/root/sub,"
            "root/outfile->%1/outside/secret.txt,root/dangling->%1/outside/nothing,"
            "root/barlink->%1/rootbar")
            .arg(m_base)));
        const QString stamp = aTxtModified.toString("yyyy-MM-dd HH:mm:ss");
        QCOMPARE(QProcess::execute("touch", {"-d", stamp, m_fixture->path("a.txt")}), 0);
        QCOMPARE(QProcess::execute("mkfifo", {m_fixture->path("pipe")}), 0);
    }

    // Every entry under base/, relative to the root: its size and permissions, or its target.
    QMap<QString, QString> snapshot() const
    {
        QMap<QString, QString> entries;
        const QDir root(m_fixture->rootPath());
        for (const char* top : {"/root", "/outside", "/rootbar"}) {
            QDirIterator it(m_base + top, QDir::AllEntries | QDir::Hidden | QDir::System
                            | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
            // Bounded by the small tree makeFilesTree builds.
            while (it.hasNext()) {
                const QFileInfo info(it.next());
                entries[root.relativeFilePath(info.filePath())] =
                    info.isSymLink() ? info.symLinkTarget()
                                     : QString("%1 %2").arg(info.isDir() ? 0 : info.size())
                                           .arg(int(info.permissions()), 0, 16);
            }
        }
        return entries;
    }

    KTFtpClient* session() const { return m_fixture->server->clients.first(); }
    bool userOnline() const { return m_fixture->store->userList.first()->online; }

    std::unique_ptr<ServerFixture> m_fixture;
    ServerProbe m_probe;
    QString m_base;
};

QTEST_GUILESS_MAIN(TestServer)
#include "tst_server.moc"
