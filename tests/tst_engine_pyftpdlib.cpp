// The engine against a real FTP server nobody here wrote: Debian's pyftpdlib on 127.0.0.1.
#include "engine/ftpclient.h"
#include "support/ftppeers.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const int Wait = 10000;
}

class TestEnginePyftpdlib : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void logsIn();
    void movesThroughFolders();
    void listsWhatTheFolderHolds();
    void listsManyEntriesWhole();
    void refusedLoginIsReported();
    void quitEndsTheSession();

private:
    bool connectAndLogin(FTPClient& client);
    FTPClient::Rows listCurrent(FTPClient& client);

    FtpPeer peer{FtpPeer::Pyftpdlib};
};

void TestEnginePyftpdlib::initTestCase()
{
    const bool available = FtpPeer::available(FtpPeer::Pyftpdlib);
    if (!available && qEnvironmentVariableIsSet("CI"))
        QFAIL("CI installs python3-pyftpdlib; this test must run there");
    if (!available)
        QSKIP("Debian's python3-pyftpdlib is not installed (scripts/install-deps.sh --tests installs it)");
    const QString started = peer.start();
    QVERIFY2(started.isEmpty(), qPrintable(started));
    const QString base = peer.root();
    QVERIFY(writeTestFile(base + "/a b.txt", "hello world\n"));
    QVERIFY(writeTestFile(base + QStringLiteral("/\u00fcber \u65e5\u672c.txt"), patternBytes(3000)));
    QVERIFY(writeTestFile(base + "/my folder/inner.bin", patternBytes(70000)));
    QVERIFY(QDir(base).mkpath(QStringLiteral("empty")));
    QVERIFY(QFile::link(QStringLiteral("a b.txt"), base + "/link"));
    for (int i = 0; i < 1500; ++i)
        QVERIFY(writeTestFile(base + QStringLiteral("/many/entry %1.txt").arg(i, 4, 10, QLatin1Char('0')), "x"));
}

void TestEnginePyftpdlib::cleanupTestCase()
{
    peer.stop();
}

bool TestEnginePyftpdlib::connectAndLogin(FTPClient& client)
{
    QSignalSpy logins(&client, &FTPClient::login);
    client.connectServer(QStringLiteral("127.0.0.1"), peer.port(), peer.user(), peer.password());
    if (!logins.wait(Wait))
        return false;
    return logins.count() == 1 && logins.first().first().toBool();
}

FTPClient::Rows TestEnginePyftpdlib::listCurrent(FTPClient& client)
{
    QSignalSpy listings(&client, &FTPClient::currentDirData);
    client.listDir();
    if (!listings.wait(Wait))
        return {};
    FTPClient::Rows rows = FTPClient::parseList(listings.first().first().toString());
    return FTPClient::sortRows(rows);
}

void TestEnginePyftpdlib::logsIn()
{
    FTPClient client;
    QVERIFY(connectAndLogin(client));
    QVERIFY(client.isLoggedIn());
    QSignalSpy dirs(&client, &FTPClient::currentDir);
    client.printDir();
    QVERIFY(dirs.wait(Wait));
    QCOMPARE(dirs.first().first().toString(), QStringLiteral("/"));
}

void TestEnginePyftpdlib::movesThroughFolders()
{
    FTPClient client;
    QVERIFY(connectAndLogin(client));
    QSignalSpy changes(&client, &FTPClient::changDir);
    QSignalSpy dirs(&client, &FTPClient::currentDir);

    client.changeDir(QStringLiteral("/my folder"));
    client.printDir();
    QVERIFY(dirs.wait(Wait));
    QCOMPARE(changes.count(), 1);
    QVERIFY(changes.first().first().toBool());
    QCOMPARE(dirs.first().first().toString(), QStringLiteral("/my folder"));
    QCOMPARE(client.currentRemoteDir(), QStringLiteral("/my folder"));

    client.changeDir(QStringLiteral("/no such folder"));
    QVERIFY(changes.wait(Wait));
    QVERIFY(!changes.last().first().toBool());
    QCOMPARE(client.currentRemoteDir(), QStringLiteral("/my folder"));

    const FTPClient::Rows rows = listCurrent(client);
    QStringList names;
    for (const auto& row : rows)
        names << row.at(6);
    QVERIFY(names.contains(QStringLiteral("inner.bin")));
    for (const auto& row : rows) {
        if (row.at(6) == QLatin1String("inner.bin"))
            QCOMPARE(FTPClient::rowSize(row), Q_INT64_C(70000));
    }
}

void TestEnginePyftpdlib::listsWhatTheFolderHolds()
{
    FTPClient client;
    QVERIFY(connectAndLogin(client));
    const FTPClient::Rows rows = listCurrent(client);
    QVERIFY(!rows.isEmpty());

    QDir folder(peer.root());
    const QFileInfoList entries = folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    QStringList expected;
    for (const QFileInfo& entry : entries)
        expected << (entry.isSymLink() ? entry.fileName() + " -> " + entry.symLinkTarget().section('/', -1)
                                       : entry.fileName());
    QStringList seen;
    for (const auto& row : rows) {
        const QString& name = row.at(6);
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        seen << name;
        const QString localName = FTPClient::isLinkRow(row) ? name.section(QStringLiteral(" -> "), 0, 0) : name;
        const QFileInfo local(folder.filePath(localName));
        QVERIFY2(local.exists() || local.isSymLink(), qPrintable(name));
        QCOMPARE(FTPClient::isLinkRow(row), local.isSymLink());
        QCOMPARE(FTPClient::isDirRow(row), local.isDir() && !local.isSymLink());
        if (local.isFile() && !local.isSymLink())
            QCOMPARE(FTPClient::rowSize(row), local.size());
    }
    expected.sort();
    seen.sort();
    QCOMPARE(seen, expected);

    // Display order: folders first, then files, each by name.
    int firstFile = -1;
    for (int i = 0; i < rows.size(); ++i) {
        if (!FTPClient::isDirRow(rows.at(i)) && firstFile < 0)
            firstFile = i;
        if (firstFile >= 0)
            QVERIFY(!FTPClient::isDirRow(rows.at(i)));
    }
}

void TestEnginePyftpdlib::listsManyEntriesWhole()
{
    FTPClient client;
    QVERIFY(connectAndLogin(client));
    client.changeDir(QStringLiteral("/many"));
    const FTPClient::Rows rows = listCurrent(client);
    int files = 0;
    for (const auto& row : rows)
        files += row.at(6).startsWith(QLatin1String("entry ")) ? 1 : 0;
    QCOMPARE(files, 1500);
}

void TestEnginePyftpdlib::refusedLoginIsReported()
{
    FTPClient client;
    QSignalSpy logins(&client, &FTPClient::login);
    client.connectServer(QStringLiteral("127.0.0.1"), peer.port(), peer.user(), QStringLiteral("wrong"));
    QVERIFY(logins.wait(Wait));
    QVERIFY(!logins.first().first().toBool());
    QVERIFY(!client.isLoggedIn());
}

void TestEnginePyftpdlib::quitEndsTheSession()
{
    FTPClient client;
    QVERIFY(connectAndLogin(client));
    QSignalSpy logouts(&client, &FTPClient::logout);
    client.disconnectServer();
    QVERIFY(logouts.wait(Wait));
    QCOMPARE(logouts.count(), 1);
    QVERIFY(client.isClosed());
}

QTEST_GUILESS_MAIN(TestEnginePyftpdlib)
#include "tst_engine_pyftpdlib.moc"
