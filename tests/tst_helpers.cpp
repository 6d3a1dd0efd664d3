#include "common/helpers.h"
#include "engine/ktdelinfo.h"
#include "engine/ktdufile.h"
#include "support/testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestHelpers : public QObject
{
    Q_OBJECT
private slots:
    void textFunctions_data();
    void textFunctions();
    void md5OfDevice();
    void sortNoCaseIsStable();
    void removeDirRefusesDangerousPaths();
    void removeDirLeavesHiddenFilesAndLinkTargets();
    void localIpListHasNoLoopback();
    void recordStateTexts();
};

// One row per call of a text helper: the function, its argument(s) and what it gives back.
void TestHelpers::textFunctions_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("result");
    const auto size = [](const char* tag, quint64 bytes, const char* text) {
        QTest::newRow(tag) << "sizeToString" << QString::number(bytes) << "" << text;
    };
    size("zero", 0, "0B");
    size("below KiB", 1023, "1023B");
    size("KiB", 1024, "1.00KB");
    size("KiB and a half", 1536, "1.50KB");
    size("MiB", 1048576, "1.00MB");
    size("GiB is G", 1073741824, "1.00G");
    size("above 4 GiB", quint64(5) * 1073741824ULL, "5.00G");
    QTest::newRow("59s") << "timeToString" << "59" << "" << "59s";
    QTest::newRow("a minute") << "timeToString" << "60" << "" << "1.00m";
    QTest::newRow("90s") << "timeToString" << "90" << "" << "1.50m";
    QTest::newRow("an hour") << "timeToString" << "3600" << "" << "1.00h";
    const QString s = QDir::separator();
    QTest::newRow("join plain") << "joinPath" << "/a" << "b" << s + "a" + s + "b";
    QTest::newRow("join trailing separator") << "joinPath" << "/a" + s << "b" << s + "a" + s + "b";
    QTest::newRow("join leading separator") << "joinPath" << "/a" << s + "b" << s + "a" + s + "b";
    QTest::newRow("join mixed separators") << "joinPath" << "/a" << "b/c\\d" << s + "a" + s + "b" + s + "c" + s + "d";
    // takeLine gives "LINE|REST".
    QTest::newRow("line and start of next") << "takeLine" << "220 ok\r\n331 pa" << "" << "220 ok|331 pa";
    QTest::newRow("no line feed") << "takeLine" << "220 partial" << "" << "|220 partial";
    QTest::newRow("line feed first stays") << "takeLine" << "\n220 x\r\n" << "" << "|\n220 x\r\n";
    QTest::newRow("bare line feed") << "takeLine" << "a\nb" << "" << "a|b";
    QTest::newRow("empty CRLF line consumed") << "takeLine" << "\r\nx\n" << "" << "|x\n";
    QTest::newRow("safe plain") << "isSafeCommandText" << "RETR a b.txt" << "" << "true";
    QTest::newRow("safe non-ASCII") << "isSafeCommandText" << QStringLiteral("RETR f\u00fcr.txt") << "" << "true";
    QTest::newRow("unsafe CR") << "isSafeCommandText" << "RETR a\rDELE b" << "" << "false";
    QTest::newRow("unsafe LF") << "isSafeCommandText" << "RETR a\nDELE b" << "" << "false";
    QTest::newRow("unsafe NUL") << "isSafeCommandText" << QString("RETR a") + QChar(0) << "" << "false";
}

void TestHelpers::textFunctions()
{
    QFETCH(QString, function);
    QFETCH(QString, input);
    QFETCH(QString, second);
    QFETCH(QString, result);
    QString got;
    if (function == QLatin1String("sizeToString"))
        got = sizeToString(input.toULongLong());
    else if (function == QLatin1String("timeToString"))
        got = timeToString(input.toULongLong());
    else if (function == QLatin1String("joinPath"))
        got = joinPath(input, second);
    else if (function == QLatin1String("takeLine"))
        got = ::takeLine(input) + QLatin1Char('|') + input;
    else
        got = QLatin1String(isSafeCommandText(input) ? "true" : "false");
    QCOMPARE(got, result);
}

void TestHelpers::md5OfDevice()
{
    QByteArray bytes("The quick brown fox jumps over the lazy dog");
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QCOMPARE(md5Hex(&buffer), QStringLiteral("9e107d9d372bb6826bd81d3542a419d6"));
    QByteArray empty;
    QBuffer emptyBuffer(&empty);
    QVERIFY(emptyBuffer.open(QIODevice::ReadOnly));
    QCOMPARE(md5Hex(&emptyBuffer), QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"));
}

void TestHelpers::sortNoCaseIsStable()
{
    QStringList list{"b", "B2", "a", "A", "c"};
    sortNoCase(list);
    QCOMPARE(list, QStringList({"a", "A", "b", "B2", "c"}));
    QStringList items{"", "x", "", "y"};
    removeEmptyItems(items);
    QCOMPARE(items, QStringList({"x", "y"}));
}

void TestHelpers::removeDirRefusesDangerousPaths()
{
    QVERIFY(!removeDir(QString(), true));
    QVERIFY(!removeDir(QStringLiteral("."), true));
    QVERIFY(!removeDir(QStringLiteral("/tmp/.."), true));
    QTemporaryDir temp;
    QVERIFY(removeDir(temp.filePath(QStringLiteral("missing")), true));
}

void TestHelpers::removeDirLeavesHiddenFilesAndLinkTargets()
{
    QTemporaryDir temp;
    const QString victim = temp.filePath(QStringLiteral("victim"));
    const QString outside = temp.filePath(QStringLiteral("outside"));
    QVERIFY(writeTestFile(outside + "/keep.txt", "keep"));
    QVERIFY(writeTestFile(victim + "/a.txt", "a"));
    QVERIFY(writeTestFile(victim + "/sub/b.txt", "b"));
    QVERIFY(QFile::link(outside, victim + "/link"));
    QVERIFY(removeDir(victim, true));
    QVERIFY(!QDir(victim).exists());
    QVERIFY2(QFile::exists(outside + "/keep.txt"), "a link's target must survive");

    QVERIFY(writeTestFile(victim + "/.hidden", "h"));
    QVERIFY(writeTestFile(victim + "/plain", "p"));
    QVERIFY(!removeDir(victim, true));
    QVERIFY(QFile::exists(victim + "/.hidden"));
    QVERIFY(!QFile::exists(victim + "/plain"));
}

void TestHelpers::localIpListHasNoLoopback()
{
    const QStringList addresses = localIpList();
    QVERIFY(!addresses.contains(QStringLiteral("127.0.0.1")));
    for (const QString& address : addresses)
        QVERIFY(!address.contains(QStringLiteral("::")));
}

void TestHelpers::recordStateTexts()
{
    KTDUFile file;
    const QList<QPair<int, QString>> files = {{1, "undowload"}, {2, "dowloading"}, {3, "dowloaded"},
        {4, "dowloadError"}, {5, "unupload"}, {6, "uploading"}, {7, "uploaded"}, {8, "uploadError"},
        {9, "Same"}, {10, "Different"}, {30, "finish"}, {0, ""}, {11, ""}, {31, ""}};
    for (const auto& state : files) {
        file.stateCode = state.first;
        QCOMPARE(file.stateText(), state.second);
    }
    KTDelInfo info(QStringLiteral("/a"), QStringLiteral("b"));
    QCOMPARE(info.stateCode, 1);
    const QList<QPair<int, QString>> deletes = {{1, "undelete"}, {2, "deteting"}, {3, "delallfile"},
        {4, "delfolder"}, {10, "deteted"}, {26, "unknow"}, {30, "error"}, {5, ""}};
    for (const auto& state : deletes) {
        info.stateCode = state.first;
        QCOMPARE(info.stateText(), state.second);
    }
}

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"
