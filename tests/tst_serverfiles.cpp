// Paths and file commands of the built-in server: what a client may reach and change, and the
// replies it gets; and its pure rules for command lines, paths, listing fields, PASV text and
// the numbers clients send. The served folder is base/root; base/outside and base/rootbar must
// stay untouched whatever a client sends.
#include "server/ktftpcommand.h"
#include "server/ktftpformat.h"
#include "server/ktftppath.h"
#include "support/serverprobe.h"
#include "support/testfiles.h"

#include <QDirIterator>
#include <QHostAddress>
#include <QProcess>
#include <QtTest>

#include <memory>

using Perms = QFileDevice::Permissions;

namespace {

const QDateTime aTxtModified(QDate(2021, 6, 7), QTime(8, 9, 10), Qt::LocalTime);

} // namespace

class TestServerFiles : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void rules_data();
    void rules();
    void commands_data();
    void commands();
    void specialFilesRefused();

private:
    QString apply(const QString& rule, const QString& input) const;
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

// Runs one rule on its input written as text, and writes its result as text; "-" for refused.
QString TestServerFiles::apply(const QString& rule, const QString& input) const
{
    const QString root = m_base + "/root";
    const QString left = input.section('|', 0, 0);
    const QString right = input.section('|', 1);
    if (rule == "parse") {
        KTFtpCommand command;
        command.code = KTFtpCommand::Quit;
        command.argument = "left over";
        const bool ok = command.parse(input);
        return (ok ? "" : "-") + KTFtpCommand::words().at(command.code) + "|" + command.argument;
    }
    if (rule == "resolve")
        return KTFtpPath::resolve(left.split('/', Qt::SkipEmptyParts), right).join('/');
    if (rule == "within")
        return KTFtpPath::isWithin(left, right) ? "yes" : "no";
    if (rule.startsWith("confine")) {
        const QString path = KTFtpPath::confine(
            root, input.split('/', Qt::SkipEmptyParts),
            rule.endsWith("entry") ? KTFtpPath::Follow::Entry : KTFtpPath::Follow::Target);
        return path.isEmpty() ? "-" : path == root ? "." : path.mid(root.size() + 1);
    }
    if (rule == "permissions")
        return KTFtpFormat::permissionText(input.at(0), Perms(input.mid(1).toInt(nullptr, 16)));
    if (rule == "date") {
        const QDateTime march(QDate(2024, 3, 5), QTime(14, 7, 59), Qt::LocalTime);
        return KTFtpFormat::listDate(march, input.toInt());
    }
    if (rule == "pasv")
        return KTFtpFormat::passiveText(QHostAddress(left), quint16(right.toUInt()));
    if (rule == "octal") {
        Perms parsed;
        return KTFtpFormat::parseOctalMode(input, parsed)
                   ? QString("%1").arg(int(parsed), 4, 16, QChar('0')) : "-";
    }
    qint64 offset = 0;
    return KTFtpFormat::parseRestOffset(input, offset) ? QString::number(offset) : "-";
}

void TestServerFiles::rules_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* rule, const QString& input, const char* expected) {
        QTest::addRow("%s %s", rule, qPrintable(input)) << rule << input << expected;
    };
    // Command lines: the argument keeps its blanks but the separating one; an empty line keeps
    // nothing of the one before.
    row("parse", "USER  bob", "USER| bob");
    row("parse", "RETR a  b.txt ", "RETR|a  b.txt ");
    row("parse", "CW", "UNKN|");
    row("parse", "CDUP", "CDUP|");
    row("parse", "", "-UNKN|");
    // Virtual paths, "current folder|argument".
    row("resolve", "a/b|", "a/b");
    row("resolve", "a/b|./..", "a");
    row("resolve", "a/b|\\x", "x");
    row("resolve", "|a//b/./", "a/b");
    row("resolve", "|a b/ c ", "a b/ c ");
    row("resolve", "|...", "...");
    // "root|path": a sibling that shares the root's name is outside.
    row("within", "/|/etc", "yes");
    row("within", "/srv/root|/srv/rootbar/a", "no");
    row("within", "/srv/root|", "no");
    row("within", "|/srv/root", "no");
    // Paths in the served folder, following links to their target or taking the entry itself.
    row("confine", "", ".");
    row("confine", "sub/new.txt", "sub/new.txt");
    row("confine", "sublink/deeper", "sub/deeper");
    row("confine entry", "outdir/new.txt", "-");
    row("confine entry", "outfile", "outfile");
    row("confine entry", "dangling", "dangling");
    row("confine entry", "barlink/x", "-");
    row("confine", QString("a") + QChar(0) + "b", "-");
    // A type letter, then Qt's bits in hex: owner, user, group, other. User bits do not show.
    row("permissions", "d7055", "drwxr-xr-x");
    row("permissions", "-0600", "----------");
    row("permissions", "l0002", "l-------w-");
    // 5 March 2024 14:07 as listed in a given year: the time this year, else the year.
    row("date", "2024", "Mar 05 14:07");
    row("date", "2025", "Mar 05  2024");
    row("date", "2023", "Mar 05  2024");
    row("pasv", "127.0.0.3|4999", "127,0,0,3,19,135");
    row("pasv", "::ffff:127.0.0.2|1050", "127,0,0,2,4,26");
    row("pasv", "::1|1050", "");
    // SITE CHMOD modes, in the hex form above; set-uid and the like are not granted.
    row("octal", "0644", "6644");
    row("octal", "4755", "7755");
    row("octal", "010", "0010");
    for (const char* refused : {"9z9", "64", "+644", "0x1ff", ""})
        row("octal", refused, "-");
    row("rest", "5000000000", "5000000000");
    row("rest", "0", "0");
    for (const char* refused : {"-5", "+5", "5x", "99999999999999999999"})
        row("rest", refused, "-");
}

void TestServerFiles::rules()
{
    QFETCH(QString, rule);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(apply(rule, input), expected);
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
    QVERIFY(m_probe.connectAndLogIn(m_fixture->port()));
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
    QVERIFY(m_probe.connectAndLogIn(m_fixture->port()));
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
