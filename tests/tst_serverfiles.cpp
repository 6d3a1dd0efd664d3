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

const QDateTime aTxtModified(QDate(2021, 6, 7), QTime(8, 9, 10), Qt::LocalTime);

} // namespace

class TestServerFiles : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void commands_data();
    void commands();
    void specialFilesRefused();

private:
    // Every entry under base/root, base/outside and base/rootbar, relative to the root, with the
    // size and permissions of files and the target of links.
    QMap<QString, QString> snapshot() const;

    std::unique_ptr<ServerFixture> m_fixture;
    ServerProbe m_probe;
    QString m_base;
};

void TestServerFiles::init()
{
    m_fixture = std::make_unique<ServerFixture>();
    m_base = QFileInfo(m_fixture->dir.path()).canonicalFilePath();
    const QString root = m_fixture->rootPath();
    QVERIFY(writeTestFile(root + "/a.txt", "alpha"));
    QFile aTxt(root + "/a.txt");
    QVERIFY(aTxt.open(QIODevice::ReadWrite));
    QVERIFY(aTxt.setFileTime(aTxtModified, QFileDevice::FileModificationTime));
    QVERIFY(writeTestFile(root + "/sub/inner.txt", "inner"));
    QVERIFY(QDir().mkpath(root + "/sub/deeper"));
    QVERIFY(QDir().mkpath(root + "/a/b/c"));
    QVERIFY(writeTestFile(m_base + "/outside/secret.txt", "secret"));
    QVERIFY(QDir().mkpath(m_base + "/outside/keep"));
    QVERIFY(writeTestFile(m_base + "/rootbar/secret.txt", "sibling"));
    QVERIFY(QFile::link(m_base + "/outside", root + "/outdir"));
    QVERIFY(QFile::link(m_base + "/outside/secret.txt", root + "/outfile"));
    QVERIFY(QFile::link(m_base + "/outside/nothing", root + "/dangling"));
    QVERIFY(QFile::link(m_base + "/rootbar", root + "/barlink"));
    QVERIFY(QFile::link(root + "/sub", root + "/sublink"));
    QCOMPARE(QProcess::execute("mkfifo", {root + "/pipe"}), 0);
    QVERIFY(m_fixture->start());
    QVERIFY(m_probe.connectAndLogIn(m_fixture->port()));
}

void TestServerFiles::cleanup()
{
    m_probe.socket.abort();
    m_probe.received.clear();
    m_fixture.reset();
}

QMap<QString, QString> TestServerFiles::snapshot() const
{
    QMap<QString, QString> entries;
    const QDir root(m_fixture->rootPath());
    for (const char* top : {"/root", "/outside", "/rootbar"}) {
        QDirIterator it(m_base + top, QDir::AllEntries | QDir::Hidden | QDir::System
                                          | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        // Bounded by the small tree init builds.
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

void TestServerFiles::commands_data()
{
    QTest::addColumn<QStringList>("steps");
    // What the steps changed: "+" made, "-" removed, "~" size or permissions changed.
    QTest::addColumn<QStringList>("changes");
    const QString no = " => 550 Requested operation can not be performed, The file is not "
                       "available.";
    const QString noName = " => 553 The requested operation can not be performed, the file name "
                           "is not allowed.";
    const QString cd = " => 250 Directory changed successfully!";
    const QString bad = " => 501 Error parameter.";

    // Out through links, "..", backslashes or a sibling sharing the root's name: all refused.
    QTest::newRow("escapes") << QStringList{
        "CWD outdir" + no, "CWD outdir/keep" + no, "CWD barlink" + no,
        "SIZE ../outside/secret.txt" + no, "SIZE /../../outside/secret.txt" + no,
        "SIZE ..\\outside\\secret.txt" + no, "SIZE outfile" + no, "SIZE barlink/secret.txt" + no,
        "MDTM outdir/secret.txt" + no, "DELE outdir/secret.txt" + no,
        "DELE ../outside/secret.txt" + no, "DELE barlink/secret.txt" + no, "RMD outdir/keep" + no,
        "MKD outdir/new" + no, "MKD ../outside/new" + no, "SITE CHMOD 777 outfile" + no,
        "SITE CHMOD 777 outdir/secret.txt" + no, "SITE CHMOD 777 ../outside/secret.txt" + no,
        // A refused RNFR leaves nothing for RNTO to move out.
        "RNFR outdir/secret.txt" + no, "RNTO /stolen.txt" + noName,
        // ".." past the root stays at the root.
        "CWD ../../.." + cd, "MKD ../../made => 257 \"/made\" created.", "PWD => 257 \"/\""}
        << QStringList{"+made"};
    // A missing folder or a file keeps the current folder, with a permanent 550 (lftp retries
    // a 4xx reply for ever).
    QTest::newRow("navigation") << QStringList{
        "CDUP => 250...", "PWD => 257 \"/\"", "CWD sub/" + cd, "CWD deeper" + cd,
        "PWD => 257 \"/sub/deeper\"", "CWD .." + cd, "CWD ." + cd, "PWD => 257 \"/sub\"",
        "CWD ../sub/deeper" + cd, "CDUP => 250...", "PWD => 257 \"/sub\"", "CWD /nowhere" + no,
        "CWD nowhere" + no, "CWD inner.txt" + no, "PWD => 257 \"/sub\"", "CWD /" + cd,
        "CWD sublink/deeper" + cd, "PWD => 257 \"/sublink/deeper\""}
        << QStringList();
    QTest::newRow("absolute paths start at the root") << QStringList{
        "CWD sub/deeper" + cd, "SIZE /a.txt => 213 5", "RNFR /a.txt => 350 Ready for RNTO.",
        "RNTO /sub/b.txt => 250 Rename successful.",
        "DELE /sub/b.txt => 250 Delete operation successful."}
        << QStringList{"-a.txt"};
    // MKD names the folder as the client sees it, quotes doubled.
    QTest::newRow("mkd") << QStringList{
        "CWD sub" + cd, "MKD new => 257 \"/sub/new\" created.", "MKD /top => 257 \"/top\" created.",
        "MKD say \"hi\" => 257 \"/sub/say \"\"hi\"\"\" created.", "MKD new" + no,
        "MKD missing/new" + no, "MKD /" + no}
        << QStringList{"+sub/new", "+top", "+sub/say \"hi\""};
    // RMD takes only the named empty folder; never a file, a link, the root or its parent.
    QTest::newRow("rmd") << QStringList{
        "RMD a/b/c => 250 Delete operation successful.", "RMD a" + no, "RMD a.txt" + no,
        "RMD sublink" + no, "RMD /" + no, "RMD .." + no, "RMD" + no}
        << QStringList{"-a/b/c"};
    // DELE takes files only; a link goes as a link, what it points at stays.
    QTest::newRow("dele") << QStringList{
        "DELE sub" + no, "DELE nothing.txt" + no, "DELE /" + no, "DELE" + no,
        "DELE outfile => 250 Delete operation successful.",
        "DELE a.txt => 250 Delete operation successful."}
        << QStringList{"-outfile", "-a.txt"};
    QTest::newRow("rename file and folder") << QStringList{
        "RNFR sub => 350 Ready for RNTO.", "RNTO renamed => 250 Rename successful.",
        "CWD renamed" + cd, "RNFR inner.txt => 350 Ready for RNTO.",
        "RNTO ../moved.txt => 250 Rename successful."}
        << QStringList{"+moved.txt", "+renamed", "+renamed/deeper", "-sub", "-sub/deeper",
                       "-sub/inner.txt"};
    // RNTO never replaces, and a failed one uses up its RNFR.
    QTest::newRow("rename refusals") << QStringList{
        "RNTO x.txt" + noName, "RNFR a.txt => 350 Ready for RNTO.", "RNTO sub/inner.txt" + noName,
        "RNTO free.txt" + noName, "RNFR missing.txt" + no, "RNTO free.txt" + noName,
        "RNFR /" + no, "RNFR" + no, "RNTO gone" + noName}
        << QStringList();
    // Modes change the file's real permissions; bad modes and other SITE commands are refused.
    QTest::newRow("site") << QStringList{
        "site chmod 0600 /sub/inner.txt => 200 SITE CHMOD command ok.",
        "SITE CHMOD 648 a.txt" + bad, "SITE CHMOD 07777 a.txt" + bad, "SITE CHMOD 644" + bad,
        "SITE CHMOD 644 missing.txt" + bad, "SITE UTIME 20200101 a.txt" + bad, "SITE" + bad,
        "SITE CHMOD 777 /" + no, "SITE CHMOD 777 ." + no}
        << QStringList{"~sub/inner.txt"};
    QTest::newRow("size and mdtm") << QStringList{
        "SIZE missing.txt" + no, "MDTM missing.txt" + no, "MDTM" + no, "SIZE dangling" + no,
        "SIZE pipe" + no, "SIZE" + bad, "SIZE a.txt => 213 5",
        // In UTC, whatever the server's time zone.
        "MDTM a.txt => 213 " + aTxtModified.toUTC().toString("yyyyMMddHHmmss")}
        << QStringList();
}

void TestServerFiles::commands()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, changes);
    const QMap<QString, QString> before = snapshot();
    QCOMPARE(m_probe.play(steps), QString());
    const QMap<QString, QString> after = snapshot();
    QStringList changed;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!before.contains(it.key()))
            changed << "+" + it.key();
        else if (before.value(it.key()) != it.value())
            changed << "~" + it.key();
    }
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!after.contains(it.key()))
            changed << "-" + it.key();
    }
    changed.sort();
    changes.sort();
    QCOMPARE(changed, changes);
}

void TestServerFiles::specialFilesRefused()
{
    // Reading or writing a pipe would block the one thread every session runs in.
    ServerProbe other;
    QVERIFY(other.connectAndGreet(m_fixture->port()));
    QString replies;
    QCOMPARE(m_probe.fetch("RETR pipe", &replies), QByteArray());
    QVERIFY2(replies.startsWith("550 "), qPrintable(replies));
    QVERIFY(m_probe.put("STOR pipe", "x").startsWith("550 "));
    QCOMPARE(other.command("NOOP"), QStringLiteral("200 NOOP ok."));
}

QTEST_GUILESS_MAIN(TestServerFiles)
#include "tst_serverfiles.moc"
