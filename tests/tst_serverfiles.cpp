// Paths and file commands of the built-in server: what a client may reach and change, and the
// replies it gets. The served folder is base/root; base/outside and base/rootbar must stay
// untouched whatever a client sends.
#include "support/serverprobe.h"
#include "support/testfiles.h"

#include <QDirIterator>
#include <QProcess>
#include <QtTest>

#include <memory>

namespace {

// Every entry below a folder with its size and permissions, to see that nothing changed.
QStringList snapshot(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    // Bounded by the small tree the test builds.
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        entries << QStringLiteral("%1 %2 %3").arg(info.filePath()).arg(info.size())
                       .arg(int(info.permissions()), 0, 16);
    }
    entries.sort();
    return entries;
}

} // namespace

class TestServerFiles : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void escapeAttemptsAreRefused_data();
    void escapeAttemptsAreRefused();
    void folderNavigation_data();
    void folderNavigation();
    void missingFolderKeepsCurrent();
    void absolutePathsStartAtRoot();
    void mkdNamesFolderAsClientSeesIt();
    void rmdRemovesOnlyTheNamedFolder();
    void deleRemovesFilesOnly();
    void renameFileAndFolder();
    void renameNeverReplaces();
    void sizeAndMdtm();
    void missingEntriesAnswer550();
    void siteChmodSetsRealPermissions();
    void siteChmodRefusals_data();
    void siteChmodRefusals();
    void rootAndEmptyPathsRefused_data();
    void rootAndEmptyPathsRefused();
    void specialFilesRefused();

private:
    bool loggedIn();
    ServerProbe& probe() { return *m_probe; }

    std::unique_ptr<ServerFixture> m_fixture;
    std::unique_ptr<ServerProbe> m_probe;
    QString m_base;
};

void TestServerFiles::init()
{
    m_fixture = std::make_unique<ServerFixture>();
    m_base = QFileInfo(m_fixture->dir.path()).canonicalFilePath();
    const QString root = m_fixture->rootPath();
    QVERIFY(writeTestFile(root + "/a.txt", "alpha"));
    QVERIFY(writeTestFile(root + "/sub/inner.txt", "inner"));
    QVERIFY(QDir().mkpath(root + "/sub/deeper"));
    QVERIFY(writeTestFile(m_base + "/outside/secret.txt", "secret"));
    QVERIFY(QDir().mkpath(m_base + "/outside/keep"));
    QVERIFY(writeTestFile(m_base + "/rootbar/secret.txt", "sibling"));
    QVERIFY(QFile::link(m_base + "/outside", root + "/outdir"));
    QVERIFY(QFile::link(m_base + "/outside/secret.txt", root + "/outfile"));
    QVERIFY(QFile::link(m_base + "/outside/nothing", root + "/dangling"));
    QVERIFY(QFile::link(m_base + "/rootbar", root + "/barlink"));
    QVERIFY(QFile::link(root + "/sub", root + "/sublink"));
    QVERIFY(m_fixture->start());
    m_probe = std::make_unique<ServerProbe>();
}

void TestServerFiles::cleanup()
{
    m_probe.reset();
    m_fixture.reset();
}

bool TestServerFiles::loggedIn()
{
    return probe().connectAndGreet(m_fixture->port()) && probe().login("test", "581247");
}

void TestServerFiles::escapeAttemptsAreRefused_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reply");

    const QString refused = "550 Requested operation can not be performed, The file is not "
                            "available.";
    QTest::newRow("cwd link out") << "CWD outdir" << refused;
    QTest::newRow("cwd through link") << "CWD outdir/keep" << refused;
    QTest::newRow("cwd sibling") << "CWD barlink" << refused;
    QTest::newRow("size dotdot") << "SIZE ../outside/secret.txt" << refused;
    QTest::newRow("size absolute dotdot") << "SIZE /../../outside/secret.txt" << refused;
    QTest::newRow("size backslashes") << "SIZE ..\\outside\\secret.txt" << refused;
    QTest::newRow("size link out") << "SIZE outfile" << refused;
    QTest::newRow("size sibling") << "SIZE barlink/secret.txt" << refused;
    QTest::newRow("mdtm link out") << "MDTM outdir/secret.txt" << refused;
    QTest::newRow("dele through link") << "DELE outdir/secret.txt" << refused;
    QTest::newRow("dele dotdot") << "DELE ../outside/secret.txt" << refused;
    QTest::newRow("dele sibling") << "DELE barlink/secret.txt" << refused;
    QTest::newRow("rmd through link") << "RMD outdir/keep" << refused;
    QTest::newRow("mkd through link") << "MKD outdir/new" << refused;
    QTest::newRow("mkd dotdot") << "MKD ../outside/new" << refused;
    QTest::newRow("rnfr through link") << "RNFR outdir/secret.txt" << refused;
    QTest::newRow("chmod link out") << "SITE CHMOD 777 outfile" << refused;
    QTest::newRow("chmod through link") << "SITE CHMOD 777 outdir/secret.txt" << refused;
    QTest::newRow("chmod dotdot") << "SITE CHMOD 777 ../outside/secret.txt" << refused;
    QTest::newRow("cwd dotdots stay at root") << "CWD ../../.."
                                              << "250 Directory changed successfully!";
    QTest::newRow("mkd dotdots stay inside") << "MKD ../../made" << "257 \"/made\" created.";
}

void TestServerFiles::escapeAttemptsAreRefused()
{
    QFETCH(QString, line);
    QFETCH(QString, reply);
    const QStringList outside = snapshot(m_base + "/outside");
    const QStringList sibling = snapshot(m_base + "/rootbar");
    QVERIFY(loggedIn());
    QCOMPARE(probe().command(line), reply);
    // Even after a refused RNFR, no RNTO may move anything out.
    QVERIFY(!probe().command("RNTO /stolen.txt").startsWith("250"));
    QCOMPARE(probe().command("PWD"), QStringLiteral("257 \"/\""));
    QCOMPARE(snapshot(m_base + "/outside"), outside);
    QCOMPARE(snapshot(m_base + "/rootbar"), sibling);
}

void TestServerFiles::folderNavigation_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("pwd");

    QTest::newRow("root") << QStringList() << "/";
    QTest::newRow("one by one") << QStringList{"CWD sub", "CWD deeper"} << "/sub/deeper";
    QTest::newRow("cdup") << QStringList{"CWD sub", "CWD deeper", "CDUP"} << "/sub";
    QTest::newRow("cdup at root") << QStringList{"CDUP", "CDUP"} << "/";
    QTest::newRow("dotdot") << QStringList{"CWD sub/deeper", "CWD .."} << "/sub";
    QTest::newRow("dot") << QStringList{"CWD sub", "CWD ."} << "/sub";
    QTest::newRow("relative two names from a folder") << QStringList{"CWD sub", "CWD ../sub/deeper"}
                                                      << "/sub/deeper";
    QTest::newRow("absolute") << QStringList{"CWD sub/deeper", "CWD /sub"} << "/sub";
    QTest::newRow("back to root") << QStringList{"CWD sub", "CWD /"} << "/";
    QTest::newRow("link inside") << QStringList{"CWD sublink/deeper"} << "/sublink/deeper";
    QTest::newRow("trailing separator") << QStringList{"CWD sub/"} << "/sub";
}

void TestServerFiles::folderNavigation()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, pwd);
    QVERIFY(loggedIn());
    for (const QString& line : lines) {
        const QString reply = probe().command(line);
        QVERIFY2(reply.startsWith("250 "), qPrintable(line + " -> " + reply));
    }
    QCOMPARE(probe().command("PWD"), QStringLiteral("257 \"%1\"").arg(pwd));
}

void TestServerFiles::missingFolderKeepsCurrent()
{
    QVERIFY(loggedIn());
    QVERIFY(probe().command("CWD sub").startsWith("250"));
    // Permanent: lftp retries a 4xx reply for ever.
    const QString missing = "550 Requested operation can not be performed, The file is not "
                            "available.";
    QCOMPARE(probe().command("CWD /nowhere"), missing);
    QCOMPARE(probe().command("CWD nowhere"), missing);
    QCOMPARE(probe().command("CWD inner.txt"), missing);
    QCOMPARE(probe().command("PWD"), QStringLiteral("257 \"/sub\""));
}

void TestServerFiles::absolutePathsStartAtRoot()
{
    QVERIFY(loggedIn());
    QVERIFY(probe().command("CWD sub/deeper").startsWith("250"));
    QCOMPARE(probe().command("SIZE /a.txt"), QStringLiteral("213 5"));
    QCOMPARE(probe().command("RNFR /a.txt"), QStringLiteral("350 Ready for RNTO."));
    QCOMPARE(probe().command("RNTO /sub/b.txt"), QStringLiteral("250 Rename successful."));
    QVERIFY(QFileInfo::exists(m_fixture->path("sub/b.txt")));
    QVERIFY(!QFileInfo::exists(m_fixture->path("a.txt")));
    QCOMPARE(probe().command("DELE /sub/b.txt"),
             QStringLiteral("250 Delete operation successful."));
    QVERIFY(!QFileInfo::exists(m_fixture->path("sub/b.txt")));
}

void TestServerFiles::mkdNamesFolderAsClientSeesIt()
{
    QVERIFY(loggedIn());
    QVERIFY(probe().command("CWD sub").startsWith("250"));
    QCOMPARE(probe().command("MKD new"), QStringLiteral("257 \"/sub/new\" created."));
    QVERIFY(QFileInfo(m_fixture->path("sub/new")).isDir());
    QCOMPARE(probe().command("MKD /top"), QStringLiteral("257 \"/top\" created."));
    QVERIFY(QFileInfo(m_fixture->path("top")).isDir());
    QCOMPARE(probe().command("MKD say \"hi\""), QStringLiteral("257 \"/sub/say \"\"hi\"\"\" created."));
    const QString unavailable = "550 Requested operation can not be performed, The file is not "
                                "available.";
    QCOMPARE(probe().command("MKD new"), unavailable);
    QCOMPARE(probe().command("MKD missing/new"), QStringLiteral("550 Requested operation can not "
                                                                "be performed, The file is not "
                                                                "available."));
    QCOMPARE(probe().command("MKD /"), unavailable);
}

void TestServerFiles::rmdRemovesOnlyTheNamedFolder()
{
    QVERIFY(QDir().mkpath(m_fixture->path("a/b/c")));
    QVERIFY(loggedIn());
    QCOMPARE(probe().command("RMD a/b/c"), QStringLiteral("250 Delete operation successful."));
    QVERIFY(!QFileInfo::exists(m_fixture->path("a/b/c")));
    QVERIFY(QFileInfo(m_fixture->path("a/b")).isDir());
    const QString unavailable = "550 Requested operation can not be performed, The file is not "
                                "available.";
    QCOMPARE(probe().command("RMD a"), unavailable);
    QCOMPARE(probe().command("RMD a.txt"), unavailable);
    QCOMPARE(probe().command("RMD sublink"), unavailable);
    QCOMPARE(probe().command("RMD /"), unavailable);
    QCOMPARE(probe().command("RMD .."), unavailable);
    QVERIFY(QFileInfo(m_fixture->rootPath()).isDir());
    QVERIFY(QFileInfo(m_fixture->path("sub")).isDir());
}

void TestServerFiles::deleRemovesFilesOnly()
{
    QVERIFY(loggedIn());
    const QString unavailable = "550 Requested operation can not be performed, The file is not "
                                "available.";
    QCOMPARE(probe().command("DELE sub"), unavailable);
    QCOMPARE(probe().command("DELE nothing.txt"), unavailable);
    // A link is removed as a link; what it points at stays.
    QCOMPARE(probe().command("DELE outfile"), QStringLiteral("250 Delete operation successful."));
    QVERIFY(!QFileInfo(m_fixture->path("outfile")).isSymLink());
    QCOMPARE(readTestFile(m_base + "/outside/secret.txt"), QByteArray("secret"));
    QCOMPARE(probe().command("DELE a.txt"), QStringLiteral("250 Delete operation successful."));
    QVERIFY(!QFileInfo::exists(m_fixture->path("a.txt")));
}

void TestServerFiles::renameFileAndFolder()
{
    QVERIFY(loggedIn());
    QCOMPARE(probe().command("RNFR sub"), QStringLiteral("350 Ready for RNTO."));
    QCOMPARE(probe().command("RNTO renamed"), QStringLiteral("250 Rename successful."));
    QVERIFY(QFileInfo::exists(m_fixture->path("renamed/inner.txt")));
    QVERIFY(probe().command("CWD renamed").startsWith("250"));
    QCOMPARE(probe().command("RNFR inner.txt"), QStringLiteral("350 Ready for RNTO."));
    QCOMPARE(probe().command("RNTO ../moved.txt"), QStringLiteral("250 Rename successful."));
    QCOMPARE(readTestFile(m_fixture->path("moved.txt")), QByteArray("inner"));
}

void TestServerFiles::renameNeverReplaces()
{
    QVERIFY(loggedIn());
    const QString refused = "553 The requested operation can not be performed, the file name is "
                            "not allowed.";
    QCOMPARE(probe().command("RNTO x.txt"), refused);
    QCOMPARE(probe().command("RNFR a.txt"), QStringLiteral("350 Ready for RNTO."));
    QCOMPARE(probe().command("RNTO sub/inner.txt"), refused);
    QCOMPARE(readTestFile(m_fixture->path("a.txt")), QByteArray("alpha"));
    QCOMPARE(readTestFile(m_fixture->path("sub/inner.txt")), QByteArray("inner"));
    // The failed RNTO used up the RNFR.
    QCOMPARE(probe().command("RNTO free.txt"), refused);
    QCOMPARE(probe().command("RNFR missing.txt"), QStringLiteral("550 Requested operation can "
                                                                 "not be performed, The file is "
                                                                 "not available."));
    QCOMPARE(probe().command("RNTO free.txt"), refused);
}

void TestServerFiles::sizeAndMdtm()
{
    const QDateTime stamp(QDate(2021, 6, 7), QTime(8, 9, 10), Qt::LocalTime);
    QFile file(m_fixture->path("a.txt"));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(loggedIn());
    QCOMPARE(probe().command("SIZE a.txt"), QStringLiteral("213 5"));
    QCOMPARE(probe().command("SIZE"), QStringLiteral("501 Error parameter."));
    // In UTC, whatever the server's time zone.
    const QString utc = stamp.toUTC().toString("yyyyMMddHHmmss");
    QCOMPARE(probe().command("MDTM a.txt"), "213 " + utc);
    QCOMPARE(probe().lastRaw, "213 " + utc.toLatin1() + "\r\n");
}

void TestServerFiles::missingEntriesAnswer550()
{
    QVERIFY(loggedIn());
    const QString refused = "550 Requested operation can not be performed, The file is not "
                            "available.";
    QCOMPARE(probe().command("SIZE missing.txt"), refused);
    QCOMPARE(probe().command("MDTM missing.txt"), refused);
    QVERIFY(probe().lastRaw.endsWith("\r\n"));
    QCOMPARE(probe().command("MDTM"), refused);
    QCOMPARE(probe().command("SIZE dangling"), refused);
}

void TestServerFiles::siteChmodSetsRealPermissions()
{
    QVERIFY(loggedIn());
    const QString path = m_fixture->path("a.txt");
    const auto bits = [&path] {
        return int(QFileInfo(path).permissions()
                   & (QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                      | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                      | QFile::WriteOther | QFile::ExeOther));
    };
    QCOMPARE(probe().command("SITE CHMOD 640 a.txt"), QStringLiteral("200 SITE CHMOD command ok."));
    QCOMPARE(bits(), int(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    QCOMPARE(probe().command("site chmod 0755 /a.txt"), QStringLiteral("200 SITE CHMOD command ok."));
    QCOMPARE(bits(), int(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                         | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    QCOMPARE(probe().command("SITE CHMOD 600 sub/inner.txt"),
             QStringLiteral("200 SITE CHMOD command ok."));
    QCOMPARE(int(QFileInfo(m_fixture->path("sub/inner.txt")).permissions() & 0x0fff),
             int(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser)
                 & 0x0fff);
}

void TestServerFiles::siteChmodRefusals_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("not octal") << "SITE CHMOD 9z9 a.txt";
    QTest::newRow("eight") << "SITE CHMOD 648 a.txt";
    QTest::newRow("five digits") << "SITE CHMOD 07777 a.txt";
    QTest::newRow("no name") << "SITE CHMOD 644";
    QTest::newRow("missing entry") << "SITE CHMOD 644 missing.txt";
    QTest::newRow("other subcommand") << "SITE UTIME 20200101 a.txt";
    QTest::newRow("bare site") << "SITE";
}

void TestServerFiles::siteChmodRefusals()
{
    QFETCH(QString, line);
    const QFile::Permissions before = QFileInfo(m_fixture->path("a.txt")).permissions();
    QVERIFY(loggedIn());
    QCOMPARE(probe().command(line), QStringLiteral("501 Error parameter."));
    QCOMPARE(QFileInfo(m_fixture->path("a.txt")).permissions(), before);
}

void TestServerFiles::rootAndEmptyPathsRefused_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("chmod root") << "SITE CHMOD 777 /";
    QTest::newRow("chmod dot") << "SITE CHMOD 777 .";
    QTest::newRow("dele empty") << "DELE";
    QTest::newRow("dele root") << "DELE /";
    QTest::newRow("rmd empty") << "RMD";
    QTest::newRow("rmd dotdot") << "RMD ..";
    QTest::newRow("rnfr root") << "RNFR /";
    QTest::newRow("rnfr empty") << "RNFR";
    QTest::newRow("rnfr missing") << "RNFR missing.txt";
    QTest::newRow("size fifo") << "SIZE pipe";
    QTest::newRow("mdtm empty") << "MDTM";
}

void TestServerFiles::rootAndEmptyPathsRefused()
{
    QFETCH(QString, line);
    QVERIFY(QProcess::execute("mkfifo", {m_fixture->path("pipe")}) == 0);
    const QFile::Permissions before = QFileInfo(m_fixture->rootPath()).permissions();
    QVERIFY(loggedIn());
    QCOMPARE(probe().command(line), QStringLiteral("550 Requested operation can not be performed, "
                                                   "The file is not available."));
    QCOMPARE(QFileInfo(m_fixture->rootPath()).permissions(), before);
    QVERIFY(QFileInfo(m_fixture->rootPath()).isDir());
    // RNTO after a refused RNFR has nothing to rename.
    QVERIFY(probe().command("RNTO gone").startsWith("553 "));
}

void TestServerFiles::specialFilesRefused()
{
    // Reading or writing a pipe would block the one thread every session runs in.
    QVERIFY(QProcess::execute("mkfifo", {m_fixture->path("pipe")}) == 0);
    QVERIFY(loggedIn());
    ServerProbe other;
    QVERIFY(other.connectAndGreet(m_fixture->port()));
    for (const char* line : {"RETR pipe", "STOR pipe"}) {
        DataProbe data;
        QVERIFY(data.connectTo(probe().passive()));
        QVERIFY2(probe().command(line).startsWith("550 "), line);
        QVERIFY(data.waitClosed());
    }
    QCOMPARE(other.command("NOOP"), QStringLiteral("200 NOOP ok."));
}

QTEST_GUILESS_MAIN(TestServerFiles)
#include "tst_serverfiles.moc"
