// Delete, permissions, rename and move jobs against the scripted server: orders on the wire,
// signals, and names that must never reach a command line.
#include "engine/ftpclient.h"
#include "support/scriptedftpserver.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const int Wait = 10000;

QStringList jobLines(const QStringList& all)
{
    QStringList lines;
    for (const QString& line : all) {
        if (line.startsWith(QLatin1String("CWD")) || line.startsWith(QLatin1String("DELE"))
            || line.startsWith(QLatin1String("RMD")) || line.startsWith(QLatin1String("SITE"))
            || line.startsWith(QLatin1String("LIST")) || line.startsWith(QLatin1String("RN")))
            lines.append(line);
    }
    return lines;
}

ScriptedFtpServer::Answer listing(const QByteArray& rows)
{
    ScriptedFtpServer::Answer answer;
    answer.data = rows;
    return answer;
}

} // namespace

class TestEngineOperations : public QObject
{
    Q_OBJECT
private slots:
    void deleteOneFile();
    void deleteEmptySelection();
    void deleteFolderTreeOrder();
    void deleteListingNeverClimbsOut();
    void refusedDeleteCountsAsError();
    void failedFolderChangeKeepsActionsOutOfTheOldFolder();
    void unsafeDeleteNameFailsBeforeTheWire();
    void chmodJobOrder();
    void chmodRefusalIsReported();
    void renameEndsWithOneListing();
    void moveEndsInClosingFolder();
    void renameToUnsafeNameSendsNoRnto();
    void folderInsideItselfStopsAtDepthLimit_data();
    void folderInsideItselfStopsAtDepthLimit();
};

void TestEngineOperations::deleteOneFile()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy deleted(&client, &FTPClient::deleteFile);
    QSignalSpy listed(&client, &FTPClient::currentDirData);
    client.prepareDelete(QStringLiteral("/start"));
    client.addDeleteFile(QStringLiteral("/"), QStringLiteral("f"));
    client.deleteNext(KTDelInfo::Unknown);
    QTRY_COMPARE_WITH_TIMEOUT(listed.count(), 1, Wait);
    QCOMPARE(deleted.count(), 2);
    QCOMPARE(deleted.at(0).at(0).toString(), QStringLiteral("/f"));
    QCOMPARE(deleted.at(0).at(1).toString(), QStringLiteral("deteted"));
    QCOMPARE(deleted.at(1).at(0).toString(), QStringLiteral("Delete Finish, Total: 1 Success: 1"));
    QCOMPARE(deleted.at(1).at(1).toString(), QString());
    QCOMPARE(jobLines(server.commands()),
             (QStringList{QStringLiteral("CWD /"), QStringLiteral("DELE f"), QStringLiteral("CWD /start"),
                          QStringLiteral("LIST -al")}));
    QCOMPARE(client.deleteMode, 0);
}

// A DELE or STOR meant for a folder we could not enter must not hit a same-named file in the
// folder we are still in.
void TestEngineOperations::failedFolderChangeKeepsActionsOutOfTheOldFolder()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.setReply(QStringLiteral("CWD /gone"), "550 No such folder.\r\n");
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy deleted(&client, &FTPClient::deleteFile);
    client.prepareDelete(QString());
    client.addDeleteFile(QStringLiteral("/gone"), QStringLiteral("f"));
    client.addDeleteFile(QStringLiteral("/"), QStringLiteral("g"));
    client.deleteNext(KTDelInfo::Unknown);
    QTRY_VERIFY_WITH_TIMEOUT(!deleted.isEmpty() && deleted.last().at(1).toString().isEmpty(), Wait);
    QCOMPARE(jobLines(server.commands()),
             (QStringList{QStringLiteral("CWD /gone"), QStringLiteral("CWD /"), QStringLiteral("DELE g")}));
    QCOMPARE(deleted.at(0).at(0).toString(), QStringLiteral("/gone/f"));
    QCOMPARE(deleted.at(0).at(1).toString(), QStringLiteral("error"));
    QCOMPARE(deleted.at(1).at(1).toString(), QStringLiteral("deteted"));
    QCOMPARE(deleted.last().at(0).toString(), QStringLiteral("Delete Finish, Total: 2 Success: 1"));

    // A later change to the folder we believe we are in is asked for again, and clears the way.
    client.changeDir(QStringLiteral("/gone"));
    QSignalSpy changes(&client, &FTPClient::changDir);
    QVERIFY(changes.wait(Wait));
    client.changeDir(QStringLiteral("/"));
    client.sendCommand(QStringLiteral("MKD x"));
    QTRY_COMPARE_WITH_TIMEOUT(server.commands().last(), QStringLiteral("MKD x"), Wait);
    QCOMPARE(server.commands().mid(server.commands().size() - 3),
             (QStringList{QStringLiteral("CWD /gone"), QStringLiteral("CWD /"), QStringLiteral("MKD x")}));
}

void TestEngineOperations::deleteEmptySelection()
{
    FTPClient client;
    QSignalSpy deleted(&client, &FTPClient::deleteFile);
    client.prepareDelete(QString());
    client.deleteNext(KTDelInfo::Unknown);
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(deleted.first().at(0).toString(), QStringLiteral("Delete Finish, Total: 0 Success: 0"));
}

void TestEngineOperations::deleteFolderTreeOrder()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.addAnswer(QStringLiteral("LIST"), listing("drwxr-xr-x 2 u g 4096 Jan 01 12:00 .\r\n"
                                                     "drwxr-xr-x 2 u g 4096 Jan 01 12:00 ..\r\n"
                                                     "drwxr-xr-x 2 u g 4096 Jan 01 12:00 B\r\n"
                                                     "-rw-r--r-- 1 u g 4 Jan 01 12:00 f\r\n"));
    server.addAnswer(QStringLiteral("LIST"), listing(""));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy deleted(&client, &FTPClient::deleteFile);
    client.prepareDelete(QString());
    client.addDeleteFolder(QStringLiteral("/"), QStringLiteral("A"));
    client.deleteNext(KTDelInfo::Unknown);
    QTRY_VERIFY_WITH_TIMEOUT(!deleted.isEmpty() && deleted.last().at(1).toString().isEmpty(), Wait);
    QStringList order;
    for (const QString& line : jobLines(server.commands())) {
        if (!line.startsWith(QLatin1String("LIST")))
            order.append(line);
    }
    QCOMPARE(order, (QStringList{QStringLiteral("CWD /A"), QStringLiteral("DELE f"), QStringLiteral("CWD /A/B"),
                                 QStringLiteral("CWD /A"), QStringLiteral("RMD B"), QStringLiteral("CWD /"),
                                 QStringLiteral("RMD A")}));
    QStringList results;
    for (const QList<QVariant>& signal : deleted)
        results.append(signal.at(0).toString() + QLatin1Char(' ') + signal.at(1).toString());
    QCOMPARE(results, (QStringList{QStringLiteral("/A/f deteted"), QStringLiteral("/A/B deteted"),
                                   QStringLiteral("/A deteted"), QStringLiteral("Delete Finish, Total: 3 Success: 3 ")}));
}

void TestEngineOperations::deleteListingNeverClimbsOut()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.addAnswer(QStringLiteral("LIST"), listing("-rw-r--r-- 1 u g 4 Jan 01 12:00 ..\r\n"
                                                     "-rw-r--r-- 1 u g 4 Jan 01 12:00 ../../etc/passwd\r\n"
                                                     "drwxr-xr-x 2 u g 4096 Jan 01 12:00 ../up\r\n"
                                                     "-rw-r--r-- 1 u g 4 Jan 01 12:00 a\\b\r\n"
                                                     "-rw-r--r-- 1 u g 4 Jan 01 12:00 cr\rDELE x\r\n"
                                                     "lrwxrwxrwx 1 u g 4 Jan 01 12:00 link -> /etc\r\n"
                                                     "-rw-r--r-- 1 u g 4 Jan 01 12:00 plain\r\n"));
    server.addAnswer(QStringLiteral("LIST"), listing(""));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy deleted(&client, &FTPClient::deleteFile);
    client.prepareDelete(QString());
    client.addDeleteFolder(QStringLiteral("/"), QStringLiteral("A"));
    client.deleteNext(KTDelInfo::Unknown);
    QTRY_VERIFY_WITH_TIMEOUT(!deleted.isEmpty() && deleted.last().at(1).toString().isEmpty(), Wait);
    QStringList removals;
    for (const QString& line : server.commands()) {
        if (line.startsWith(QLatin1String("DELE")) || line.startsWith(QLatin1String("RMD")))
            removals.append(line);
    }
    QCOMPARE(removals, (QStringList{QStringLiteral("DELE link"), QStringLiteral("DELE plain"), QStringLiteral("RMD A")}));
}

void TestEngineOperations::refusedDeleteCountsAsError()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.setReply(QStringLiteral("DELE"), "550 Permission denied.\r\n");
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy deleted(&client, &FTPClient::deleteFile);
    client.prepareDelete(QString());
    client.addDeleteFile(QStringLiteral("/"), QStringLiteral("f"));
    client.addDeleteFile(QStringLiteral("/"), QStringLiteral("g"));
    client.deleteNext(KTDelInfo::Unknown);
    QTRY_COMPARE_WITH_TIMEOUT(deleted.count(), 3, Wait);
    QCOMPARE(deleted.at(0).at(1).toString(), QStringLiteral("error"));
    QCOMPARE(deleted.at(2).at(0).toString(), QStringLiteral("Delete Finish, Total: 2 Success: 0"));
}

void TestEngineOperations::unsafeDeleteNameFailsBeforeTheWire()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy deleted(&client, &FTPClient::deleteFile);
    client.prepareDelete(QString());
    client.addDeleteFile(QStringLiteral("/"), QStringLiteral("x\r\nRMD important"));
    client.addDeleteFile(QStringLiteral("/"), QStringLiteral("ok"));
    client.deleteNext(KTDelInfo::Unknown);
    QTRY_COMPARE_WITH_TIMEOUT(deleted.count(), 3, Wait);
    QCOMPARE(deleted.at(0).at(1).toString(), QStringLiteral("error"));
    QCOMPARE(deleted.at(1).at(1).toString(), QStringLiteral("deteted"));
    QCOMPARE(deleted.at(2).at(0).toString(), QStringLiteral("Delete Finish, Total: 2 Success: 1"));
    for (const QString& line : server.commands())
        QVERIFY2(!line.contains(QLatin1String("important")), qPrintable(line));
}

void TestEngineOperations::chmodJobOrder()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.addAnswer(QStringLiteral("LIST"), listing("drwxr-xr-x 2 u g 4096 Jan 01 12:00 S\r\n"
                                                     "-rw-r--r-- 1 u g 4 Jan 01 12:00 x\r\n"
                                                     "-rw-r--r-- 1 u g 4 Jan 01 12:00 ../evil\r\n"));
    server.addAnswer(QStringLiteral("LIST"), listing(""));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy changes(&client, &FTPClient::srChmod);
    QSignalSpy finish(&client, &FTPClient::srChmodFinish);
    client.setChmod(QStringLiteral("/"), 1, QStringLiteral("644"));
    client.addChmodFile(QStringLiteral("/"), QStringLiteral("F"));
    client.addChmodFolder(QStringLiteral("/"), QStringLiteral("F"));
    client.chmodNext();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(finish.first().at(0).toInt(), 3);
    QCOMPARE(finish.first().at(1).toInt(), 3);
    QStringList order;
    for (const QString& line : jobLines(server.commands())) {
        if (!line.startsWith(QLatin1String("LIST")))
            order.append(line);
    }
    QCOMPARE(order, (QStringList{QStringLiteral("CWD /"), QStringLiteral("SITE CHMOD 644 F"), QStringLiteral("CWD /F"),
                                 QStringLiteral("SITE CHMOD 644 S"), QStringLiteral("SITE CHMOD 644 x"),
                                 QStringLiteral("CWD /F/S"), QStringLiteral("CWD /")}));
    QStringList paths;
    for (const QList<QVariant>& signal : changes) {
        paths.append(signal.at(0).toString());
        QVERIFY(signal.at(1).toBool());
    }
    QCOMPARE(paths, (QStringList{QStringLiteral("/F"), QStringLiteral("/F/S"), QStringLiteral("/F/x")}));
    QCOMPARE(client.chmodRecursion, 0);
}

void TestEngineOperations::chmodRefusalIsReported()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    server.setReply(QStringLiteral("SITE"), "550 Permission denied.\r\n");
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy changes(&client, &FTPClient::srChmod);
    QSignalSpy finish(&client, &FTPClient::srChmodFinish);
    client.setChmod(QStringLiteral("/"), 0, QStringLiteral("600"));
    client.addChmodFile(QStringLiteral("/"), QStringLiteral("f"));
    client.chmodNext();
    QTRY_COMPARE_WITH_TIMEOUT(finish.count(), 1, Wait);
    QCOMPARE(changes.count(), 1);
    QVERIFY(!changes.first().at(1).toBool());
    QCOMPARE(finish.first().at(0).toInt(), 1);
    QCOMPARE(finish.first().at(1).toInt(), 0);
}

void TestEngineOperations::renameEndsWithOneListing()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy listed(&client, &FTPClient::currentDirData);
    client.renameFile(QStringLiteral("old"), QStringLiteral("new"));
    QTRY_COMPARE_WITH_TIMEOUT(listed.count(), 1, Wait);
    QCOMPARE(jobLines(server.commands()),
             (QStringList{QStringLiteral("RNFR old"), QStringLiteral("RNTO new"), QStringLiteral("LIST -al")}));
}

void TestEngineOperations::moveEndsInClosingFolder()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy listed(&client, &FTPClient::currentDirData);
    client.addMoves({FTPClient::PathPair(QStringLiteral("/a"), QStringLiteral("/t/a")),
                     FTPClient::PathPair(QStringLiteral("/b"), QStringLiteral("/t/b")),
                     FTPClient::PathPair(QStringLiteral("/t"), QString())});
    QTRY_COMPARE_WITH_TIMEOUT(listed.count(), 1, Wait);
    QCOMPARE(jobLines(server.commands()),
             (QStringList{QStringLiteral("RNFR /a"), QStringLiteral("RNTO /t/a"), QStringLiteral("RNFR /b"),
                          QStringLiteral("RNTO /t/b"), QStringLiteral("CWD /t"), QStringLiteral("LIST -al")}));
}

void TestEngineOperations::renameToUnsafeNameSendsNoRnto()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    FTPClient client;
    LOG_IN(client, server);
    client.renameFile(QStringLiteral("old"), QStringLiteral("new\r\nDELE x"));
    client.printDir();
    QSignalSpy pwd(&client, &FTPClient::currentDir);
    QTRY_COMPARE_WITH_TIMEOUT(pwd.count(), 1, Wait);
    for (const QString& line : server.commands())
        QVERIFY2(!line.startsWith(QLatin1String("RNTO")) && !line.startsWith(QLatin1String("DELE")), qPrintable(line));
}

void TestEngineOperations::folderInsideItselfStopsAtDepthLimit_data()
{
    QTest::addColumn<bool>("chmod");
    QTest::newRow("delete") << false;
    QTest::newRow("chmod") << true;
}

// A server that shows a folder inside every folder: the recursive job ends at the depth limit,
// counts the folder it refused, and lists no folder twice.
void TestEngineOperations::folderInsideItselfStopsAtDepthLimit()
{
    QFETCH(bool, chmod);
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    QVERIFY(server.addScript(QStringLiteral("LIST => 226 [data=drwxr-xr-x 2 u g 1 Jan 01 12:00 a\\n]")));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy deleted(&client, &FTPClient::deleteFile);
    QSignalSpy chmodDone(&client, &FTPClient::srChmodFinish);
    if (chmod) {
        client.setChmod(QStringLiteral("/"), 1, QStringLiteral("644"));
        client.addChmodFolder(QStringLiteral("/"), QStringLiteral("a"));
        client.chmodNext();
        QTRY_COMPARE_WITH_TIMEOUT(chmodDone.count(), 1, 6 * Wait);  // some 600 commands
        QVERIFY(chmodDone.first().at(0).toInt() > chmodDone.first().at(1).toInt());
    } else {
        client.prepareDelete(QString());
        client.addDeleteFolder(QStringLiteral("/"), QStringLiteral("a"));
        client.deleteNext(KTDelInfo::Unknown);
        QTRY_VERIFY_WITH_TIMEOUT(!deleted.isEmpty() && deleted.last().at(1).toString().isEmpty(), 6 * Wait);  // some 600 commands
        QVERIFY(deleted.last().at(0).toString().startsWith(QLatin1String("Delete Finish")));
        QVERIFY(std::any_of(deleted.cbegin(), deleted.cend(), [](const QList<QVariant>& signal) {
            return signal.at(1).toString() == QLatin1String("error");
        }));
    }
    // The selected folder and MaxFolderDepth levels below it were entered, and not one more.
    int deepest = 0;
    for (const QString& line : server.commands()) {
        if (line.startsWith(QLatin1String("CWD ")))
            deepest = qMax(deepest, int(line.mid(4).count(QLatin1Char('a'))));
    }
    QCOMPARE(deepest, FTPClient::MaxFolderDepth + 1);
}

QTEST_GUILESS_MAIN(TestEngineOperations)
#include "tst_engine_operations.moc"
