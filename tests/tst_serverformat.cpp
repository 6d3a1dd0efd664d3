// The built-in server's pure rules, without a socket: command lines, virtual paths and how they
// map onto the served folder, listing fields, PASV text and the numbers clients send. What the
// wire shows of them is tested with the server itself.
#include "server/ktftpcommand.h"
#include "server/ktftpformat.h"
#include "server/ktftppath.h"

#include <QHostAddress>
#include <QTemporaryDir>
#include <QtTest>

using Perms = QFileDevice::Permissions;

class TestServerFormat : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void rules_data();
    void rules();

private:
    QString apply(const QString& rule, const QString& input) const;

    QTemporaryDir m_dir;
    QString m_root;
};

void TestServerFormat::initTestCase()
{
    // base/root is served; base/outside and base/rootbar are not.
    const QString base = QFileInfo(m_dir.path()).canonicalFilePath();
    m_root = base + "/root";
    QVERIFY(QDir().mkpath(m_root + "/sub/deeper"));
    QVERIFY(QDir().mkpath(base + "/outside"));
    QVERIFY(QDir().mkpath(base + "/rootbar"));
    QVERIFY(QFile(base + "/outside/secret.txt").open(QIODevice::WriteOnly));
    QVERIFY(QFile::link(m_root + "/sub", m_root + "/inlink"));
    QVERIFY(QFile::link(base + "/outside", m_root + "/outlink"));
    QVERIFY(QFile::link(base + "/outside/secret.txt", m_root + "/secretlink"));
    QVERIFY(QFile::link(base + "/outside/nothing", m_root + "/dangling"));
    QVERIFY(QFile::link(base + "/rootbar", m_root + "/barlink"));
}

// Runs one rule on its input written as text, and writes its result as text; "-" for refused.
QString TestServerFormat::apply(const QString& rule, const QString& input) const
{
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
            m_root, input.split('/', Qt::SkipEmptyParts),
            rule.endsWith("entry") ? KTFtpPath::Follow::Entry : KTFtpPath::Follow::Target);
        return path.isEmpty() ? "-" : path == m_root ? "." : path.mid(m_root.size() + 1);
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

void TestServerFormat::rules_data()
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
    row("confine", "inlink/deeper", "sub/deeper");
    row("confine entry", "outlink/new.txt", "-");
    row("confine entry", "secretlink", "secretlink");
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

void TestServerFormat::rules()
{
    QFETCH(QString, rule);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(apply(rule, input), expected);
}

QTEST_GUILESS_MAIN(TestServerFormat)
#include "tst_serverformat.moc"
