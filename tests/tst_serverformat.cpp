#include "server/ktftpformat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using Perms = QFileDevice::Permissions;

class TestServerFormat : public QObject
{
    Q_OBJECT
private slots:
    void permissionText_data();
    void permissionText();
    void listDate_data();
    void listDate();
    void listLineFields();
    void passiveText_data();
    void passiveText();
    void parseOctalMode_data();
    void parseOctalMode();
    void parseRestOffset_data();
    void parseRestOffset();
    void quotedPath_data();
    void quotedPath();
};

void TestServerFormat::permissionText_data()
{
    QTest::addColumn<QChar>("type");
    QTest::addColumn<int>("permissions");
    QTest::addColumn<QString>("text");

    QTest::newRow("none") << QChar('-') << 0 << "----------";
    QTest::newRow("folder 755") << QChar('d')
                                << int(Perms(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                         | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                                         | QFile::ExeOther))
                                << "drwxr-xr-x";
    QTest::newRow("file 640") << QChar('-')
                              << int(Perms(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup))
                              << "-rw-r-----";
    QTest::newRow("user bits are not shown") << QChar('-')
                                             << int(Perms(QFile::ReadUser | QFile::WriteUser))
                                             << "----------";
    QTest::newRow("link, others only") << QChar('l') << int(QFile::WriteOther) << "l-------w-";
}

void TestServerFormat::permissionText()
{
    QFETCH(QChar, type);
    QFETCH(int, permissions);
    QFETCH(QString, text);
    QCOMPARE(KTFtpFormat::permissionText(type, Perms(permissions)), text);
}

void TestServerFormat::listDate_data()
{
    QTest::addColumn<QDateTime>("modified");
    QTest::addColumn<int>("currentYear");
    QTest::addColumn<QString>("text");

    const QDateTime march(QDate(2024, 3, 5), QTime(14, 7, 59), Qt::LocalTime);
    QTest::newRow("this year: time") << march << 2024 << "Mar 05 14:07";
    QTest::newRow("last year: year") << march << 2025 << "Mar 05  2024";
    QTest::newRow("next year: year") << march << 2023 << "Mar 05  2024";
    QTest::newRow("december") << QDateTime(QDate(2019, 12, 31), QTime(23, 59), Qt::LocalTime)
                              << 2019 << "Dec 31 23:59";
}

void TestServerFormat::listDate()
{
    QFETCH(QDateTime, modified);
    QFETCH(int, currentYear);
    QFETCH(QString, text);
    QCOMPARE(KTFtpFormat::listDate(modified, currentYear), text);
}

void TestServerFormat::listLineFields()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("name with  blanks.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(1234, 'x'));
    file.flush();
    file.setFileTime(QDateTime(QDate(2020, 1, 2), QTime(3, 4), Qt::LocalTime),
                     QFileDevice::FileModificationTime);
    file.close();
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));

    const QString line = KTFtpFormat::listLine(QFileInfo(path), 2030);
    // The "ls -l" shape that lftp and other clients parse: fields apart by blanks, the name last.
    static const QRegularExpression shape(QStringLiteral(
        "^-rw----r-- +0 +-?\\d+ +-?\\d+ +1234 Jan 02  2020 name with  blanks\\.txt\\r\\n$"));
    QVERIFY2(shape.match(line).hasMatch(), qPrintable(line));
    QVERIFY(line.startsWith(QLatin1String("-rw----r--     0 ")));

    const QString folder = KTFtpFormat::listLine(QFileInfo(dir.path()), 2030);
    QVERIFY2(folder.startsWith(QLatin1Char('d')), qPrintable(folder));
}

void TestServerFormat::passiveText_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("text");

    QTest::newRow("first port") << "127.0.0.1" << 1050 << "127,0,0,1,4,26";
    QTest::newRow("last port") << "127.0.0.1" << 4999 << "127,0,0,1,19,135";
    QTest::newRow("other loopback") << "127.0.0.3" << 256 << "127,0,0,3,1,0";
    QTest::newRow("v4 mapped") << "::ffff:127.0.0.2" << 1050 << "127,0,0,2,4,26";
    QTest::newRow("ipv6") << "::1" << 1050 << "";
}

void TestServerFormat::passiveText()
{
    QFETCH(QString, address);
    QFETCH(int, port);
    QFETCH(QString, text);
    QCOMPARE(KTFtpFormat::passiveText(QHostAddress(address), quint16(port)), text);
}

void TestServerFormat::parseOctalMode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("permissions");

    const Perms owner644 = QFile::ReadOwner | QFile::ReadUser | QFile::WriteOwner | QFile::WriteUser;
    const Perms p644 = owner644 | QFile::ReadGroup | QFile::ReadOther;
    const Perms p755 = owner644 | QFile::ExeOwner | QFile::ExeUser | QFile::ReadGroup
                       | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QTest::newRow("644") << "644" << true << int(p644);
    QTest::newRow("755") << "755" << true << int(p755);
    QTest::newRow("leading zero") << "0644" << true << int(p644);
    QTest::newRow("set-uid not granted") << "4755" << true << int(p755);
    QTest::newRow("000") << "000" << true << int(Perms());
    QTest::newRow("others write") << "002" << true << int(Perms(QFile::WriteOther));
    QTest::newRow("group exec") << "010" << true << int(Perms(QFile::ExeGroup));
    QTest::newRow("not octal") << "9z9" << false << int(Perms());
    QTest::newRow("eight") << "648" << false << int(Perms());
    QTest::newRow("too short") << "64" << false << int(Perms());
    QTest::newRow("too long") << "07777" << false << int(Perms());
    QTest::newRow("sign") << "+644" << false << int(Perms());
    QTest::newRow("hex") << "0x1ff" << false << int(Perms());
    QTest::newRow("empty") << "" << false << int(Perms());
}

void TestServerFormat::parseOctalMode()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, permissions);
    Perms parsed;
    QCOMPARE(KTFtpFormat::parseOctalMode(text, parsed), ok);
    if (ok)
        QCOMPARE(int(parsed), permissions);
}

void TestServerFormat::parseRestOffset_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("offset");

    QTest::newRow("number") << "100" << true << qint64(100);
    QTest::newRow("large") << "5000000000" << true << qint64(5000000000LL);
    QTest::newRow("zero") << "0" << true << qint64(0);
    QTest::newRow("word") << "abc" << false << qint64(0);
    QTest::newRow("negative") << "-5" << false << qint64(0);
    QTest::newRow("plus sign") << "+5" << false << qint64(0);
    QTest::newRow("trailing word") << "5x" << false << qint64(0);
    QTest::newRow("beyond 64 bits") << "99999999999999999999" << false << qint64(0);
    QTest::newRow("empty") << "" << false << qint64(0);
}

void TestServerFormat::parseRestOffset()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qint64, offset);
    qint64 parsed = 0;
    QCOMPARE(KTFtpFormat::parseRestOffset(text, parsed), valid);
    if (valid)
        QCOMPARE(parsed, offset);
}

void TestServerFormat::quotedPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("plain") << "/a b" << "/a b";
    QTest::newRow("quote doubled") << "/say \"hi\"" << "/say \"\"hi\"\"";
}

void TestServerFormat::quotedPath()
{
    QFETCH(QString, path);
    QFETCH(QString, quoted);
    QCOMPARE(KTFtpFormat::quotedPath(path), quoted);
}

QTEST_GUILESS_MAIN(TestServerFormat)
#include "tst_serverformat.moc"
