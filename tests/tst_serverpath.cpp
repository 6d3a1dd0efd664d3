#include "server/ktftppath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using Follow = KTFtpPath::Follow;
Q_DECLARE_METATYPE(KTFtpPath::Follow)

class TestServerPath : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void resolve_data();
    void resolve();
    void virtualText_data();
    void virtualText();
    void isWithin_data();
    void isWithin();
    void confine_data();
    void confine();

private:
    QTemporaryDir m_dir;
    QString m_root;
};

void TestServerPath::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // base/root is served; base/outside and base/rootbar are not.
    const QString base = QFileInfo(m_dir.path()).canonicalFilePath();
    m_root = base + "/root";
    QVERIFY(QDir().mkpath(m_root + "/sub/deeper"));
    QVERIFY(QDir().mkpath(base + "/outside"));
    QVERIFY(QDir().mkpath(base + "/rootbar"));
    QFile(m_root + "/file.txt").open(QIODevice::WriteOnly);
    QFile(base + "/outside/secret.txt").open(QIODevice::WriteOnly);
    QVERIFY(QFile::link(m_root + "/sub", m_root + "/inlink"));
    QVERIFY(QFile::link(m_root + "/file.txt", m_root + "/filelink"));
    QVERIFY(QFile::link(base + "/outside", m_root + "/outlink"));
    QVERIFY(QFile::link(base + "/outside/secret.txt", m_root + "/secretlink"));
    QVERIFY(QFile::link(base + "/outside/nothing", m_root + "/dangling"));
    QVERIFY(QFile::link(base + "/rootbar", m_root + "/barlink"));
}

void TestServerPath::resolve_data()
{
    QTest::addColumn<QStringList>("current");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QStringList>("parts");

    const QStringList ab{"a", "b"};
    QTest::newRow("empty stays") << ab << "" << ab;
    QTest::newRow("relative name") << ab << "c" << QStringList{"a", "b", "c"};
    QTest::newRow("relative path") << ab << "c/d" << QStringList{"a", "b", "c", "d"};
    QTest::newRow("absolute from root") << ab << "/x.txt" << QStringList{"x.txt"};
    QTest::newRow("root") << ab << "/" << QStringList();
    QTest::newRow("dot") << ab << "." << ab;
    QTest::newRow("dotdot") << ab << ".." << QStringList{"a"};
    QTest::newRow("dotdot at root stays") << QStringList() << ".." << QStringList();
    QTest::newRow("many dotdots stop at root") << ab << "../../../../etc/passwd"
                                               << QStringList{"etc", "passwd"};
    QTest::newRow("absolute dotdots") << ab << "/../../x" << QStringList{"x"};
    QTest::newRow("dotdot in the middle") << QStringList() << "a/../b" << QStringList{"b"};
    QTest::newRow("backslashes separate") << ab << "..\\..\\..\\x" << QStringList{"x"};
    QTest::newRow("leading backslash is root") << ab << "\\x" << QStringList{"x"};
    QTest::newRow("doubled separators") << QStringList() << "a//b/./" << ab;
    QTest::newRow("blanks are names") << QStringList() << "a b/ c " << QStringList{"a b", " c "};
    QTest::newRow("three dots is a name") << QStringList() << "..." << QStringList{"..."};
}

void TestServerPath::resolve()
{
    QFETCH(QStringList, current);
    QFETCH(QString, argument);
    QFETCH(QStringList, parts);
    QCOMPARE(KTFtpPath::resolve(current, argument), parts);
}

void TestServerPath::virtualText_data()
{
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QString>("text");
    QTest::newRow("root") << QStringList() << "/";
    QTest::newRow("one") << QStringList{"a"} << "/a";
    QTest::newRow("two") << QStringList{"a", "b c"} << "/a/b c";
}

void TestServerPath::virtualText()
{
    QFETCH(QStringList, parts);
    QFETCH(QString, text);
    QCOMPARE(KTFtpPath::virtualText(parts), text);
}

void TestServerPath::isWithin_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("within");

    QTest::newRow("root itself") << "/srv/root" << "/srv/root" << true;
    QTest::newRow("child") << "/srv/root" << "/srv/root/a" << true;
    QTest::newRow("grandchild") << "/srv/root" << "/srv/root/a/b" << true;
    QTest::newRow("sibling sharing the prefix") << "/srv/root" << "/srv/rootbar" << false;
    QTest::newRow("sibling child") << "/srv/root" << "/srv/rootbar/a" << false;
    QTest::newRow("parent") << "/srv/root" << "/srv" << false;
    QTest::newRow("elsewhere") << "/srv/root" << "/etc/passwd" << false;
    QTest::newRow("filesystem root serves all") << "/" << "/etc" << true;
    QTest::newRow("no path") << "/srv/root" << "" << false;
    QTest::newRow("no root") << "" << "/srv/root" << false;
}

void TestServerPath::isWithin()
{
    QFETCH(QString, root);
    QFETCH(QString, path);
    QFETCH(bool, within);
    QCOMPARE(KTFtpPath::isWithin(root, path), within);
}

void TestServerPath::confine_data()
{
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<Follow>("follow");
    // Relative to the root; empty when the path must be refused.
    QTest::addColumn<QString>("expected");

    QTest::newRow("root") << QStringList() << Follow::Target << "";
    QTest::newRow("file") << QStringList{"file.txt"} << Follow::Target << "file.txt";
    QTest::newRow("new file") << QStringList{"sub", "new.txt"} << Follow::Target << "sub/new.txt";
    QTest::newRow("missing folder") << QStringList{"nope", "new.txt"} << Follow::Target << "-";
    QTest::newRow("link inside") << QStringList{"filelink"} << Follow::Target << "filelink";
    QTest::newRow("through link inside") << QStringList{"inlink", "deeper"} << Follow::Target
                                         << "sub/deeper";
    QTest::newRow("link to outside folder") << QStringList{"outlink"} << Follow::Target << "-";
    QTest::newRow("through link to outside") << QStringList{"outlink", "secret.txt"}
                                             << Follow::Target << "-";
    QTest::newRow("new file through outside link") << QStringList{"outlink", "new.txt"}
                                                   << Follow::Entry << "-";
    QTest::newRow("link to outside file") << QStringList{"secretlink"} << Follow::Target << "-";
    QTest::newRow("outside file link itself") << QStringList{"secretlink"} << Follow::Entry
                                              << "secretlink";
    QTest::newRow("dangling link") << QStringList{"dangling"} << Follow::Target << "-";
    QTest::newRow("dangling link itself") << QStringList{"dangling"} << Follow::Entry
                                          << "dangling";
    QTest::newRow("sibling with shared prefix") << QStringList{"barlink", "x"} << Follow::Entry
                                                << "-";
    QTest::newRow("nul in a name") << QStringList{QString("a") + QChar(0) + "b"}
                                   << Follow::Target << "-";
}

void TestServerPath::confine()
{
    QFETCH(QStringList, parts);
    QFETCH(Follow, follow);
    QFETCH(QString, expected);
    const QString path = KTFtpPath::confine(m_root, parts, follow);
    if (expected == QLatin1String("-"))
        QVERIFY2(path.isEmpty(), qPrintable(path));
    else if (expected.isEmpty())
        QCOMPARE(path, m_root);
    else
        QCOMPARE(path, m_root + "/" + expected);
}

QTEST_GUILESS_MAIN(TestServerPath)
#include "tst_serverpath.moc"
