#include "engine/ftpclient.h"
#include "engine/ftpreplyreader.h"

#include <QTextCodec>
#include <QtTest>

using Rows = FTPClient::Rows;
using Row = FTPClient::Row;

class TestListing : public QObject
{
    Q_OBJECT
private slots:
    void parseListRows_data();
    void parseListRows();
    void parseListSkipsWhatIsNoEntry_data();
    void parseListSkipsWhatIsNoEntry();
    void parseListSplitsBareLineFeeds();
    void rowKindsAndSizes();
    void sortRowsPutsParentFoldersFiles();
    void textFunctions_data();
    void textFunctions();
    void replyReader_data();
    void replyReader();
    void replyReaderBoundsEndlessLines();
    void replyReaderKeepsSplitUtf8();
};

void TestListing::parseListRows_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("row");
    QTest::newRow("blanks inside the name")
        << "-rw-r--r--   1 ftp ftp  1024 Mar  5  2019 a b.txt"
        << QStringList{"-rw-r--r--", "1", "ftp", "ftp", "1024", "Mar 5 2019", "a b.txt"};
    QTest::newRow("two blanks before the name keep one")
        << "-rw-r--r-- 1 u g 1 Jan 01 12:00  lead"
        << QStringList{"-rw-r--r--", "1", "u", "g", "1", "Jan 01 12:00", " lead"};
    QTest::newRow("symlink keeps arrow and target")
        << "lrwxrwxrwx 1 u g 7 Jan 01 12:00 link -> target"
        << QStringList{"lrwxrwxrwx", "1", "u", "g", "7", "Jan 01 12:00", "link -> target"};
    QTest::newRow("size above 4 GiB")
        << "-rw-r--r-- 1 u g 6442450944 Dec 06 06:50 big.iso"
        << QStringList{"-rw-r--r--", "1", "u", "g", "6442450944", "Dec 06 06:50", "big.iso"};
    QTest::newRow("device keeps major and minor")
        << "crw-rw-rw- 1 root root 1, 3 Jan  1  2019 null"
        << QStringList{"crw-rw-rw-", "1", "root", "root", "1, 3", "Jan 1 2019", "null"};
    QTest::newRow("non-ASCII name")
        << QStringLiteral("-rw-r--r-- 1 u g 5 Jan 01 12:00 \u00fcber \u65e5\u672c.txt")
        << QStringList{"-rw-r--r--", "1", "u", "g", "5", "Jan 01 12:00", QStringLiteral("\u00fcber \u65e5\u672c.txt")};
    QTest::newRow("folder named like a number")
        << "drwxr-xr-x 2 0 0 4096 Dec 06 06:50 2019"
        << QStringList{"drwxr-xr-x", "2", "0", "0", "4096", "Dec 06 06:50", "2019"};
}

void TestListing::parseListRows()
{
    QFETCH(QString, line);
    QFETCH(QStringList, row);
    const Rows rows = FTPClient::parseList(line + "\r\n");
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first(), row);
}

void TestListing::parseListSkipsWhatIsNoEntry_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("total line") << "total 8\r\n";
    QTest::newRow("empty lines") << "\r\n\r\n";
    QTest::newRow("short line") << "-rw-r--r-- 1 u g 5 Jan 01\r\n";
    QTest::newRow("no name") << "-rw-r--r-- 1 u g 5 Jan 01 12:00 \r\n";
    QTest::newRow("DOS style") << "12-06-26  06:50AM       <DIR>          folder\r\n";
}

void TestListing::parseListSkipsWhatIsNoEntry()
{
    QFETCH(QString, text);
    QVERIFY(FTPClient::parseList(text).isEmpty());
}

void TestListing::parseListSplitsBareLineFeeds()
{
    const QString text = QStringLiteral("total 2\n"
                                        "drwxr-xr-x 2 u g 4096 Jan 01 12:00 dir\n"
                                        "-rw-r--r-- 1 u g 3 Jan 01 12:00 file\r\n"
                                        "-rw-r--r-- 1 u g 4 Jan 01 12:00 last");
    const Rows rows = FTPClient::parseList(text);
    QCOMPARE(rows.size(), 3);  // the last line has no line end, but its name runs to the end
    QCOMPARE(rows.at(0).at(6), QStringLiteral("dir"));
    QCOMPARE(rows.at(1).at(6), QStringLiteral("file"));
    QCOMPARE(rows.at(2).at(6), QStringLiteral("last"));
}

void TestListing::rowKindsAndSizes()
{
    const Rows rows = FTPClient::parseList(
        "drwxr-xr-x 2 u g 4096 Jan 01 12:00 d\r\n"
        "Lrwxrwxrwx 1 u g 7 Jan 01 12:00 l -> t\r\n"
        "-rw-r--r-- 1 u g 6442450944 Jan 01 12:00 f\r\n"
        "-rw-r--r-- 1 u g xyz Jan 01 12:00 odd\r\n");
    QCOMPARE(rows.size(), 4);
    QVERIFY(FTPClient::isDirRow(rows.at(0)));
    QVERIFY(!FTPClient::isLinkRow(rows.at(0)));
    QVERIFY(FTPClient::isLinkRow(rows.at(1)));
    QVERIFY(!FTPClient::isDirRow(rows.at(2)));
    QCOMPARE(FTPClient::rowSize(rows.at(2)), Q_INT64_C(6442450944));
    QCOMPARE(FTPClient::rowSize(rows.at(3)), Q_INT64_C(0));
    QVERIFY(!FTPClient::isDirRow(Row{"drwx"}));
}

void TestListing::sortRowsPutsParentFoldersFiles()
{
    Rows rows = FTPClient::parseList(
        "drwxr-xr-x 2 u g 1 Jan 01 12:00 b\r\n"
        "drwxr-xr-x 2 u g 1 Jan 01 12:00 ..\r\n"
        "-rw-r--r-- 1 u g 1 Jan 01 12:00 c\r\n"
        "drwxr-xr-x 2 u g 1 Jan 01 12:00 .\r\n"
        "drwxr-xr-x 2 u g 1 Jan 01 12:00 A\r\n"
        "-rw-r--r-- 1 u g 1 Jan 01 12:00 a\r\n");
    const Rows sorted = FTPClient::sortRows(rows);
    QStringList names;
    for (const Row& row : sorted)
        names << row.at(6);
    QCOMPARE(names, QStringList({"..", "A", "b", "a", "c"}));
    QCOMPARE(rows.size(), 5);  // the "." row left the input list
    Rows twice = FTPClient::parseList("drwxr-xr-x 2 u g 1 Jan 01 12:00 x\r\n"
                                      "-rw-r--r-- 1 u g 7 Jan 01 12:00 x\r\n");
    const Rows once = FTPClient::sortRows(twice);
    QCOMPARE(once.size(), 1);  // a name listed twice: its first kind, its last row
    QCOMPARE(once.first().at(4), QStringLiteral("7"));
    for (const Row& row : qAsConst(rows))
        QVERIFY(row.at(6) != QLatin1String("."));
}

// One row per call of a reply or path helper: the function, its argument(s) and its result.
void TestListing::textFunctions_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("result");
    // parsePasv gives "ADDRESS:PORT", or nothing when it refuses the reply.
    const auto pasv = [](const char* tag, const char* line, const char* result) {
        QTest::newRow(tag) << "parsePasv" << line << "" << result;
    };
    pasv("usual", "227 Entering Passive Mode (127,20,1,10,195,80)", "127.20.1.10:50000");
    pasv("blanks around numbers", "227 Entering Passive Mode ( 127, 0, 0, 1, 4, 1 ).", "127.0.0.1:1025");
    pasv("extra parts ignored", "227 x (127,0,0,1,0,21,9)", "127.0.0.1:21");
    pasv("five numbers", "227 x (127,0,0,1,4)", "");
    pasv("number over 255", "227 x (127,0,0,1,256,1)", "");
    pasv("port zero", "227 x (127,0,0,1,0,0)", "");
    pasv("not a number", "227 x (127,0,0,1,a,1)", "");
    pasv("negative", "227 x (127,0,0,1,-1,1)", "");
    pasv("no brackets", "227 Entering Passive Mode 127,0,0,1,4,1", "");
    pasv("other code", "229 Extended (|||5000|)", "");
    pasv("brackets reversed", "227 x )127,0,0,1,4,1(", "");
    QTest::newRow("quoted usual") << "quotedText" << "257 \"/home/user\" is current directory." << "" << "/home/user";
    QTest::newRow("quoted none") << "quotedText" << "257 /home/user" << "" << "";
    QTest::newRow("quoted one quote") << "quotedText" << "257 \"/home" << "" << "";
    QTest::newRow("quoted doubled quote inside") << "quotedText" << "257 \"/a\"\"b\" created." << "" << "/a\"b";
    QTest::newRow("quoted blank inside") << "quotedText" << "257 \"/my folder\"" << "" << "/my folder";
    QTest::newRow("join trailing slash") << "joinRemotePath" << "/a/" << "b" << "/a/b";
    QTest::newRow("join leading slash") << "joinRemotePath" << "/a" << "/b" << "/a/b";
    QTest::newRow("join empty base") << "joinRemotePath" << "" << "b" << "/b";
    QTest::newRow("join root") << "joinRemotePath" << "/" << "b" << "/b";
    const auto plain = [](const char* tag, const QString& name, bool isPlain) {
        QTest::newRow(tag) << "isPlainEntryName" << name << "" << (isPlain ? "true" : "false");
    };
    plain("plain file", QStringLiteral("a b.txt"), true);
    plain("plain dotfile", QStringLiteral(".profile"), true);
    plain("plain empty", QString(), false);
    plain("plain dot", QStringLiteral("."), false);
    plain("plain dotdot", QStringLiteral(".."), false);
    plain("plain slash", QStringLiteral("../../etc/passwd"), false);
    plain("plain backslash", QStringLiteral("..\\x"), false);
    plain("plain CR", QStringLiteral("a\rb"), false);
    plain("plain LF", QStringLiteral("a\nDELE b"), false);
    plain("plain NUL", QString("a") + QChar(0), false);
}

void TestListing::textFunctions()
{
    QFETCH(QString, function);
    QFETCH(QString, input);
    QFETCH(QString, second);
    QFETCH(QString, result);
    QString got;
    if (function == QLatin1String("parsePasv")) {
        QString address;
        quint16 port = 0;
        if (FTPClient::parsePasv(input, address, port))
            got = address + QLatin1Char(':') + QString::number(port);
    } else if (function == QLatin1String("quotedText")) {
        got = FTPClient::quotedText(input);
    } else if (function == QLatin1String("joinRemotePath")) {
        got = FTPClient::joinRemotePath(input, second);
    } else {
        got = QLatin1String(FTPClient::isPlainEntryName(input) ? "true" : "false");
    }
    QCOMPARE(got, result);
}

// Each row feeds the reader a stream in pieces separated by "|" and lists the lines it must
// give back, a final line marked with a leading "!".
void TestListing::replyReader_data()
{
    QTest::addColumn<QString>("pieces");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("one line") << "220 ready\r\n" << QStringList{"!220 ready"};
    QTest::newRow("split in two reads") << "22|0 rea|dy\r|\n" << QStringList{"!220 ready"};
    QTest::newRow("two replies in one read") << "331 pw\r\n230 ok\r\n" << QStringList{"!331 pw", "!230 ok"};
    QTest::newRow("incomplete tail waits") << "331 pw\r\n230 o" << QStringList{"!331 pw"};
    QTest::newRow("multi-line greeting")
        << "220-Welcome\r\n220-to the server\r\n220 ready\r\n"
        << QStringList{"220-Welcome", "220-to the server", "!220 ready"};
    QTest::newRow("multi-line with free text and other codes inside")
        << "230-Hello\r\n  text 230 inside\r\n211 not the end\r\n230 Logged in\r\n"
        << QStringList{"230-Hello", "  text 230 inside", "211 not the end", "!230 Logged in"};
    QTest::newRow("multi-line ends only on its own code")
        << "230-a\r\n231 b\r\n230-c\r\n230 d\r\n"
        << QStringList{"230-a", "231 b", "230-c", "!230 d"};
    QTest::newRow("empty lines skipped, lines behind kept")
        << "\r\n\n220 ready\r\n\r\n331 pw\r\n" << QStringList{"!220 ready", "!331 pw"};
    QTest::newRow("bare line feeds") << "220 a\n331 b\n" << QStringList{"!220 a", "!331 b"};
    QTest::newRow("code alone ends multi-line") << "211-x\r\n211\r\n" << QStringList{"211-x", "!211"};
}

void TestListing::replyReader()
{
    QFETCH(QString, pieces);
    QFETCH(QStringList, lines);
    FtpReplyReader reader;
    QStringList seen;
    for (const QString& piece : pieces.split(QLatin1Char('|'))) {
        QVERIFY(reader.append(piece.toUtf8()));
        FtpReplyReader::Line line;
        while (reader.next(line))
            seen << (line.final ? "!" : "") + line.text;
    }
    QCOMPARE(seen, lines);
}

void TestListing::replyReaderBoundsEndlessLines()
{
    FtpReplyReader reader;
    const QByteArray piece(4096, 'x');
    bool accepted = true;
    int pieces = 0;
    for (; pieces < 100 && accepted; ++pieces)
        accepted = reader.append(piece);
    QVERIFY(!accepted);
    QVERIFY(pieces <= FtpReplyReader::MaxLineBytes / piece.size() + 1);
    QVERIFY(reader.overflowed());
    reader.clear();
    QVERIFY(reader.append("220 fresh\r\n"));
    FtpReplyReader::Line line;
    QVERIFY(reader.next(line));
    QCOMPARE(line.text, QStringLiteral("220 fresh"));
}

void TestListing::replyReaderKeepsSplitUtf8()
{
    const QByteArray text = QStringLiteral("257 \"/\u00fcber\"\r\n").toUtf8();
    const int cut = text.indexOf('\xc3') + 1;  // between the two bytes of one character
    FtpReplyReader reader;
    QVERIFY(reader.append(text.left(cut)));
    FtpReplyReader::Line line;
    QVERIFY(!reader.next(line));
    QVERIFY(reader.append(text.mid(cut)));
    QVERIFY(reader.next(line));
    QCOMPARE(line.text, QStringLiteral("257 \"/\u00fcber\""));
}

QTEST_GUILESS_MAIN(TestListing)
#include "tst_listing.moc"
