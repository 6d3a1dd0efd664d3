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
    void deleteJob_data();
    void deleteJob();
    void refusedFolderIsLeftBehind();
    void chmodJobOrder();
    void chmodRefusalIsReported();
    void renamesAndMovesEndWithOneListing();
    void folderInsideItselfStopsAtDepthLimit_data();
    void folderInsideItselfStopsAtDepthLimit();
};

// Items are "file FOLDER NAME" or "folder FOLDER NAME", separated by ";". The job starts in
// /start when it is a single file (it goes back there and lists it), else nowhere.
void TestEngineOperations::deleteJob_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("items");
    QTest::addColumn<QStringList>("wire");     // job lines, see jobLines()
    QTest::addColumn<QStringList>("results");  // "PATH STATE" per deleteFile signal
    const QString dir = QStringLiteral("drwxr-xr-x 2 u g 4096 Jan 01 12:00 ");
    const QString file = QStringLiteral("-rw-r--r-- 1 u g 4 Jan 01 12:00 ");
    QTest::newRow("deleteOneFile") << "" << "file / f" << QStringList{"CWD /", "DELE f", "CWD /start", "LIST -al"}
        << QStringList{"/f deteted", "Delete Finish, Total: 1 Success: 1 "};
    QTest::newRow("deleteFolderTreeOrder")
        << "LIST => 226 [data=" + dir + ".\\n" + dir + "..\\n" + dir + "B\\n" + file + "f\\n] | LIST => 226"
        << "folder / A"
        << QStringList{"CWD /A", "LIST -al", "DELE f", "CWD /A/B", "LIST -al", "CWD /A", "RMD B", "LIST -al", "CWD /",
                       "RMD A", "LIST -al"}
        << QStringList{"/A/f deteted", "/A/B deteted", "/A deteted", "Delete Finish, Total: 3 Success: 3 "};
    QTest::newRow("deleteListingNeverClimbsOut")
        << "LIST => 226 [data=" + file + "..\\n" + file + "../../etc/passwd\\n" + dir + "../up\\n" + file
               + "a\\b\\n" + file + "cr\rDELE x\\nlrwxrwxrwx 1 u g 4 Jan 01 12:00 link -> /etc\\n" + file
               + "plain\\n] | LIST => 226"
        << "folder / A" << QStringList{"CWD /A", "LIST -al", "DELE link", "DELE plain", "CWD /", "RMD A", "LIST -al"}
        << QStringList{"/A/link deteted", "/A/plain deteted", "/A deteted", "Delete Finish, Total: 3 Success: 3 "};
    // A DELE meant for a folder we could not enter must not hit a same-named file in the folder
    // we are still in.
    QTest::newRow("failedFolderChangeKeepsActionsOutOfTheOldFolder") << "CWD /gone => 550 No such folder."
        << "file /gone f;file / g" << QStringList{"CWD /gone", "CWD /", "DELE g"}
        << QStringList{"/gone/f error", "/g deteted", "Delete Finish, Total: 2 Success: 1 "};
    QTest::newRow("deleteEmptySelection") << "" << "" << QStringList() << QStringList{"Delete Finish, Total: 0 Success: 0 "};
    QTest::newRow("refusedDeleteCountsAsError") << "DELE => 550 Permission denied." << "file / f;file / g"
        << QStringList{"CWD /", "DELE f", "DELE g"}
        << QStringList{"/f error", "/g error", "Delete Finish, Total: 2 Success: 0 "};
    QTest::newRow("unsafeDeleteNameFailsBeforeTheWire") << "" << "file / x\r\nRMD important;file / ok"
        << QStringList{"CWD /", "DELE ok"}
        << QStringList{"/x\r\nRMD important error", "/ok deteted", "Delete Finish, Total: 2 Success: 1 "};
}

void TestEngineOperations::deleteJob()
{
    QFETCH(QString, script);
    QFETCH(QString, items);
    QFETCH(QStringList, wire);
    QFETCH(QStringList, results);
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    QVERIFY(server.addScript(script));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy deleted(&client, &FTPClient::deleteFile);
    const QStringList list = items.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    client.prepareDelete(list.size() == 1 && items.startsWith(QLatin1String("file")) ? QStringLiteral("/start") : QString());
    for (const QString& item : list) {
        if (item.startsWith(QLatin1String("file")))
            client.addDeleteFile(item.section(QLatin1Char(' '), 1, 1), item.section(QLatin1Char(' '), 2));
        else
            client.addDeleteFolder(item.section(QLatin1Char(' '), 1, 1), item.section(QLatin1Char(' '), 2));
    }
    client.deleteNext(KTDelInfo::Unknown);
    QTRY_VERIFY_WITH_TIMEOUT(!deleted.isEmpty() && deleted.last().at(1).toString().isEmpty(), Wait);
    QTRY_VERIFY_WITH_TIMEOUT(!client.isBusy(), Wait);
    QStringList seen;
    for (const QList<QVariant>& signal : deleted)
        seen.append(signal.at(0).toString() + QLatin1Char(' ') + signal.at(1).toString());
    QCOMPARE(seen, results);
    QCOMPARE(jobLines(server.commands()), wire);
    QCOMPARE(client.deleteMode, 0);
}

// After a refused folder change the engine no longer trusts where it is: a change back to the
// folder it believes it is in is asked for again, so the next action lands there.
void TestEngineOperations::refusedFolderIsLeftBehind()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    QVERIFY(server.addScript(QStringLiteral("CWD /gone => 550 No such folder.")));
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy changes(&client, &FTPClient::changDir);
    client.changeDir(QStringLiteral("/"));
    QVERIFY(changes.wait(Wait));
    client.changeDir(QStringLiteral("/gone"));
    QVERIFY(changes.wait(Wait));
    client.changeDir(QStringLiteral("/"));
    client.sendCommand(QStringLiteral("MKD x"));
    QTRY_COMPARE_WITH_TIMEOUT(server.commands().last(), QStringLiteral("MKD x"), Wait);
    QCOMPARE(server.commands().mid(server.commands().size() - 3),
             (QStringList{QStringLiteral("CWD /gone"), QStringLiteral("CWD /"), QStringLiteral("MKD x")}));
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

// An unsafe new name ends the rename after RNFR; a good one ends with one listing, and a move
// job ends in its closing folder. Two renames asked for at once keep their own names, each RNTO
// right after its RNFR.
void TestEngineOperations::renamesAndMovesEndWithOneListing()
{
    ScriptedFtpServer server;
    QVERIFY(server.listen());
    FTPClient client;
    LOG_IN(client, server);
    QSignalSpy listed(&client, &FTPClient::currentDirData);
    client.renameFile(QStringLiteral("old"), QStringLiteral("new\r\nDELE x"));
    client.renameFile(QStringLiteral("old"), QStringLiteral("new"));
    QTRY_COMPARE_WITH_TIMEOUT(listed.count(), 2, Wait);
    client.addMoves({FTPClient::PathPair(QStringLiteral("/a"), QStringLiteral("/t/a")),
                     FTPClient::PathPair(QStringLiteral("/b"), QStringLiteral("/t/b")),
                     FTPClient::PathPair(QStringLiteral("/t"), QString())});
    QTRY_COMPARE_WITH_TIMEOUT(listed.count(), 3, Wait);
    QCOMPARE(jobLines(server.commands()),
             (QStringList{"RNFR old", "RNFR old", "RNTO new", "LIST -al", "LIST -al", "RNFR /a", "RNTO /t/a", "RNFR /b",
                          "RNTO /t/b", "CWD /t", "LIST -al"}));
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
