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
    void sizeText_data();
    void sizeText();
    void timeText_data();
    void timeText();
    void joinPathNormalisesSeparators_data();
    void joinPathNormalisesSeparators();
    void takeLine_data();
    void takeLine();
    void md5OfDevice();
    void sortNoCaseIsStable();
    void removeDirRefusesDangerousPaths();
    void removeDirLeavesHiddenFilesAndLinkTargets();
    void localIpListHasNoLoopback();
    void commandTextSafety_data();
    void commandTextSafety();
    void recordStateTexts();
};

void TestHelpers::sizeText_data()
{
    QTest::addColumn<quint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << quint64(0) << "0B";
    QTest::newRow("below KiB") << quint64(1023) << "1023B";
    QTest::newRow("KiB") << quint64(1024) << "1.00KB";
    QTest::newRow("KiB and a half") << quint64(1536) << "1.50KB";
    QTest::newRow("MiB") << quint64(1048576) << "1.00MB";
    QTest::newRow("GiB is G") << quint64(1073741824) << "1.00G";
    QTest::newRow("above 4 GiB") << quint64(5) * 1073741824ULL << "5.00G";
}

void TestHelpers::sizeText()
{
    QFETCH(quint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(sizeToString(bytes), text);
}

void TestHelpers::timeText_data()
{
    QTest::addColumn<quint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("59s") << quint64(59) << "59s";
    QTest::newRow("a minute") << quint64(60) << "1.00m";
    QTest::newRow("90s") << quint64(90) << "1.50m";
    QTest::newRow("an hour") << quint64(3600) << "1.00h";
}

void TestHelpers::timeText()
{
    QFETCH(quint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(timeToString(seconds), text);
}

void TestHelpers::joinPathNormalisesSeparators_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("joined");
    const QString s = QDir::separator();
    QTest::newRow("plain") << "/a" << "b" << s + "a" + s + "b";
    QTest::newRow("trailing separator") << "/a" + s << "b" << s + "a" + s + "b";
    QTest::newRow("leading separator") << "/a" << s + "b" << s + "a" + s + "b";
    QTest::newRow("mixed separators") << "/a" << "b/c\\d" << s + "a" + s + "b" + s + "c" + s + "d";
}

void TestHelpers::joinPathNormalisesSeparators()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, joined);
    QCOMPARE(joinPath(a, b), joined);
}

void TestHelpers::takeLine_data()
{
    QTest::addColumn<QString>("buffer");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("rest");
    QTest::newRow("line and start of next") << "220 ok\r\n331 pa" << "220 ok" << "331 pa";
    QTest::newRow("no line feed") << "220 partial" << "" << "220 partial";
    QTest::newRow("line feed first stays") << "\n220 x\r\n" << "" << "\n220 x\r\n";
    QTest::newRow("bare line feed") << "a\nb" << "a" << "b";
    QTest::newRow("empty CRLF line consumed") << "\r\nx\n" << "" << "x\n";
}

void TestHelpers::takeLine()
{
    QFETCH(QString, buffer);
    QFETCH(QString, line);
    QFETCH(QString, rest);
    QCOMPARE(::takeLine(buffer), line);
    QCOMPARE(buffer, rest);
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

void TestHelpers::commandTextSafety_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("safe");
    QTest::newRow("plain") << "RETR a b.txt" << true;
    QTest::newRow("non-ASCII") << QStringLiteral("RETR f\u00fcr.txt") << true;
    QTest::newRow("CR") << "RETR a\rDELE b" << false;
    QTest::newRow("LF") << "RETR a\nDELE b" << false;
    QTest::newRow("NUL") << QString("RETR a") + QChar(0) << false;
}

void TestHelpers::commandTextSafety()
{
    QFETCH(QString, text);
    QFETCH(bool, safe);
    QCOMPARE(isSafeCommandText(text), safe);
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
