// The stateless helpers (texts, paths, listings, replies, folder removal) and the compare thread.
#include "common/helpers.h"
#include "engine/ftpclient.h"
#include "engine/ftpreplyreader.h"
#include "support/testfiles.h"

#include <QtTest>

#include <functional>

class TestHelpers : public QObject
{
    Q_OBJECT
private slots:
    void calls_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("result");
        int number = 0;  // the inputs hold line breaks: rows are named by function and number
        const auto row = [&](const char* function, const QString& input, const QString& result) {
            QTest::addRow("%s %d", function, ++number) << function << input << result;
        };
        row("sizeToString", "5368709120", "5.00G");  // "G", not "GB"; past 32 bits
        row("sortNoCase", "b,B2,a,A,c", "a,A,b,B2,c");  // stable: "a" stays before "A"
        row("localIpList", "^127\\.0\\.0\\.1$|::", "");  // no loopback nor IPv6 offered to clients
        // Text that could end a command early or smuggle a second one in is refused.
        row("isSafeCommandText", "RETR f\u00fcr b.txt", "true");
        row("isSafeCommandText", "RETR a\rDELE b", "false");
        row("isSafeCommandText", "RETR a\nDELE b", "false");
        row("isSafeCommandText", QString("RETR a") + QChar(0), "false");
        // A dot-file is a plain name (the engine tests feed it the hostile ones).
        row("isPlainEntryName", ".profile", "true");
        row("isPlainEntryName", "a\nDELE b", "false");
        row("quotedText", "257 \"/my folder\" is current.", "/my folder");
        row("quotedText", "257 \"/a\"\"b\" created.", "/a\"b");
        row("quotedText", "257 \"/home", "");
        row("joinRemotePath", "/a/|/b", "/a/b");
        row("joinRemotePath", "|b", "/b");
        // A PASV reply is taken only with six numbers of 0..255 in brackets and a port above 0.
        row("parsePasv", "227 Entering Passive Mode (127,20,1,10,195,80)", "127.20.1.10:50000");
        row("parsePasv", "227 Entering Passive Mode ( 127, 0, 0, 1, 4, 1 ).", "127.0.0.1:1025");
        row("parsePasv", "227 x (127,0,0,1,0,21,9)", "127.0.0.1:21");
        for (const char* reply : {"227 x (127,0,0,1,4)", "227 x (127,0,0,1,256,1)",
                                  "227 x (127,0,0,1,0,0)", "227 x (127,0,0,1,a,1)",
                                  "227 x (127,0,0,1,-1,1)", "227 x 127,0,0,1,4,1",
                                  "229 x (127,0,0,1,4,1)", "227 x )127,0,0,1,4,1("})
            row("parsePasv", reply, "");
        // Listing lines, odd names, lines that are no entry, and bare line feeds.
        const QString dir = QStringLiteral("drwxr-xr-x 2 u g 1 Jan 01 12:00 ");
        const QString file = QStringLiteral("-rw-r--r-- 1 u g 7 Jan 01 12:00 ");
        row("parseList", "-rw-r--r--   1 ftp ftp  1024 Mar  5  2019 a b.txt\r\n",
            "-rw-r--r--|1|ftp|ftp|1024|Mar 5 2019|a b.txt");
        row("parseList", file + " lead\r\n", "-rw-r--r--|1|u|g|7|Jan 01 12:00| lead");
        row("parseList", "lrwxrwxrwx 1 u g 7 Jan 01 12:00 link -> target\r\n",
            "lrwxrwxrwx|1|u|g|7|Jan 01 12:00|link -> target");
        row("parseList", "drwxr-xr-x 2 0 0 4096 Dec 06 06:50 2019\r\n",
            "drwxr-xr-x|2|0|0|4096|Dec 06 06:50|2019");
        row("parseList", "total 8\r\n\r\n-rw-r--r-- 1 u g 5 Jan 01\r\n" + file + "\r\n"
                         "12-06-26  06:50AM       <DIR>          folder\r\n", "");
        row("parseList", "total 2\n" + dir + "d\n" + file + "f",
            "drwxr-xr-x|2|u|g|1|Jan 01 12:00|d\n-rw-r--r--|1|u|g|7|Jan 01 12:00|f");
        // "..", folders, then files by name; "." leaves the input; a twice-listed name keeps the
        // place of its first kind and its last row.
        row("sortRows", dir + "b\r\n" + dir + "..\r\n" + file + "c\r\n" + dir + ".\r\n"
            + dir + "x\r\n" + file + "x\r\nLrwxrwxrwx 1 u g 7 Jan 01 12:00 A -> t\r\n"
            + "-rw-r--r-- 1 u g 6442450944 Jan 01 12:00 a\r\n"
            + "-rw-r--r-- 1 u g xyz Jan 01 12:00 B\r\n",
            "../1 b/1 x7 A@7 B0 a6442450944 c7 8 left");
        // Replies split inside a character; a multi-line reply ends only on its own code.
        row("readReplies", QString::fromLatin1("257 \"/\xc3|\xbc\"\r\n"), "!257 \"/\u00fc\"");
        row("readReplies",
            "230-a\r\n  text 230 inside\r\n231 b\r\n230-c\r\n230 d\r\n\n211-x\r\n211\r\n",
            "230-a,  text 230 inside,231 b,230-c,!230 d,211-x,!211");
    }

    // Each function under test, text in, text or truth out; two-argument ones split at "|".
    void calls()
    {
        QFETCH(QString, function);
        QFETCH(QString, input);
        QFETCH(QString, result);
        const QStringList parts = input.split('|');
        QString address;
        quint16 port = 0;
        const QHash<QString, std::function<QVariant()>> functions = {
            {"sizeToString", [&] { return sizeToString(input.toULongLong()); }},
            {"joinRemotePath", [&] { return FTPClient::joinRemotePath(parts[0], parts[1]); }},
            {"isSafeCommandText", [&] { return isSafeCommandText(input); }},
            {"isPlainEntryName", [&] { return FTPClient::isPlainEntryName(input); }},
            {"quotedText", [&] { return FTPClient::quotedText(input); }},
            {"parsePasv", [&] {
                 return FTPClient::parsePasv(input, address, port)
                     ? address + ':' + QString::number(port) : QString();
             }},
            {"parseList", [&] {  // rows as "field|field|...", one per line
                 QStringList rows;
                 for (const FTPClient::Row& row : FTPClient::parseList(input))
                     rows << row.join('|');
                 return rows.join('\n');
             }},
            {"sortRows", [&] {  // "name", "/" for a folder, "@" for a link, then the size
                 FTPClient::Rows rows = FTPClient::parseList(input);
                 QStringList kinds;
                 for (const FTPClient::Row& row : FTPClient::sortRows(rows))
                     kinds << row.at(6).section(' ', 0, 0) + (FTPClient::isDirRow(row) ? "/" : "")
                                  + (FTPClient::isLinkRow(row) ? "@" : "")
                                  + QString::number(FTPClient::rowSize(row));
                 return kinds.join(' ') + QStringLiteral(" %1 left").arg(rows.size());
             }},
            // Feeds the reader the pieces between "|"; "!" marks a reply's final line.
            {"readReplies", [&] {
                 FtpReplyReader reader;
                 QStringList seen;
                 for (const QString& piece : parts) {
                     reader.append(piece.toLatin1());
                     FtpReplyReader::Line line;
                     while (reader.next(line))
                         seen << (line.final ? "!" : "") + line.text;
                 }
                 return seen.join(',');
             }},
            {"sortNoCase", [&] {
                 QStringList list = input.split(',');
                 sortNoCase(list);
                 return list.join(',');
             }},
            {"localIpList",
             [&] { return localIpList().filter(QRegularExpression(input)).join(','); }},
        };
        QCOMPARE(functions.value(function)().toString(), result);
    }

    void removeDirLeavesHiddenFilesAndLinkTargets()
    {
        for (const QString& dangerous : {QString(), QString("."), QString("/tmp/..")})
            QVERIFY(!removeDir(dangerous, true));
        QTemporaryDir temp;
        const QString victim = temp.filePath(QStringLiteral("victim"));
        QVERIFY(removeDir(victim, true));  // nothing there: nothing to do
        QVERIFY(makeTestFiles(temp.path(), "outside/keep=k,victim/sub/b.txt=b,victim/link->"
                                               + temp.filePath(QStringLiteral("outside"))));
        QVERIFY(removeDir(victim, true));
        QVERIFY(!QDir(victim).exists());
        QVERIFY2(QFile::exists(temp.filePath("outside/keep")), "a link's target stays");
        QVERIFY(makeTestFiles(victim, QStringLiteral(".hidden=h,plain=p")));
        QVERIFY(!removeDir(victim, true));
        QCOMPARE(QDir(victim).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{".hidden"});
    }

    // The queue: an earlier result and its summary, then copies the same, changed in a folder,
    // the same but failed to download, with no local file, and one a stop after four leaves alone.
    void compareClassifiesStopsAndSums()
    {
        QTemporaryDir local;
        QTemporaryDir temp;
        FTPClient client;
        client.setCompareBase(local.path(), temp.path());
        client.prepareTransfer(temp.path(), QStringLiteral("/"));
        const auto add = [&](const QString& name, int state, QByteArray copy, QByteArray mine) {
            QVERIFY(mine.isNull() || writeTestFile(local.filePath(name), mine));
            QVERIFY(writeTestFile(temp.filePath(name), copy));
            client.addDownloadFile(temp.filePath(name), '/' + name, false, 0)->stateCode = state;
        };
        const QByteArray content = patternBytes(100000, 2);
        add("old", KTDUFile::Same, "o", "changed since");
        client.addDownloadFile("Compare finish, Total:1, Same:1", QString(), false, 0)
            ->stateCode = KTDUFile::Finish;
        add("same", KTDUFile::Downloaded, content, content);
        add("sub/diff", KTDUFile::Downloaded, content, patternBytes(100000, 3));
        add("failed", KTDUFile::DownloadError, content, content);
        add("only-remote", KTDUFile::Downloaded, "x", QByteArray());
        add("after stop", KTDUFile::Downloaded, "s", "s");
        // Queued receivers count the worker's signals, never a spy it writes to: no race for TSan.
        QStringList classified;  // each record's local file (as the worker renamed it) and state
        bool done = false;
        connect(&client, &FTPClient::srCmpResult, this, [&](KTDUFile* record) {
            classified << QDir(local.path()).relativeFilePath(record->localFile) + ' '
                              + record->stateText();
        });
        connect(&client, &FTPClient::srCmpFinish, this, [&] { done = true; });
        // The stop lands between two records as a window's would; this counter is the worker's.
        int compared = 0;
        connect(&client, &FTPClient::srCmpResult, &client, [&] {
            if (++compared == 4)
                client.stopState = 2;
        }, Qt::DirectConnection);
        client.startCompare();
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        QCOMPARE(classified, QStringList({"same Same", "sub/diff Different", "failed Different",
                                          "only-remote Different"}));
        // Total counts every record but summaries, the earlier result and the one left included.
        QCOMPARE(client.downloads().last()->localFile, QString("Compare finish, Total:6, Same:1"));
        QCOMPARE(client.downloads().at(6)->stateCode, int(KTDUFile::Downloaded));
        QCOMPARE(client.stopFlag(), 2);  // the thread reads the flag, it does not reset it
    }
};

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"
