// The compare thread. Signals from the worker are counted by receivers in this thread (queued),
// never by a spy that the worker would write to, so that ThreadSanitizer sees no race of ours.
#include "engine/ftpclient.h"
#include "support/testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestCompare : public QObject
{
    Q_OBJECT
private slots:
    void oneRunClassifiesStopsAndSums();
};

// The queue holds an earlier result and its summary, then fresh copies: one the same, one changed
// in a sub-folder, one the same but whose download failed, one without a local file, and one that
// a stop after the fourth comparison leaves alone.
void TestCompare::oneRunClassifiesStopsAndSums()
{
    QTemporaryDir local;
    QTemporaryDir temp;
    FTPClient client;
    client.setCompareBase(local.path(), temp.path());
    client.prepareTransfer(temp.path(), QStringLiteral("/"));
    const auto add = [&](const QString& name, int state, const QByteArray& copy,
                         const QByteArray& mine) {
        QVERIFY(mine.isNull() || writeTestFile(local.filePath(name), mine));
        QVERIFY(writeTestFile(temp.filePath(name), copy));
        client.addDownloadFile(temp.filePath(name), '/' + name, false, 0)->stateCode = state;
    };
    const QByteArray content = patternBytes(100000, 2);
    add(QStringLiteral("old"), KTDUFile::Same, "o", "changed since");
    client.addDownloadFile(QStringLiteral("Compare finish, Total:1, Same:1"), QString(), false, 0)
        ->stateCode = KTDUFile::Finish;
    add(QStringLiteral("same"), KTDUFile::Downloaded, content, content);
    add(QStringLiteral("sub/diff"), KTDUFile::Downloaded, content, patternBytes(100000, 3));
    add(QStringLiteral("failed"), KTDUFile::DownloadError, content, content);
    add(QStringLiteral("only-remote"), KTDUFile::Downloaded, "x", QByteArray());
    add(QStringLiteral("after stop"), KTDUFile::Downloaded, "s", "s");

    QStringList classified;  // each record's local file, as the worker renamed it, and its state
    bool done = false;
    connect(&client, &FTPClient::srCmpResult, this, [&](KTDUFile* record) {
        classified << QDir(local.path()).relativeFilePath(record->localFile) + ' '
                          + record->stateText();
    });
    connect(&client, &FTPClient::srCmpFinish, this, [&] { done = true; });
    // The stop lands between two records, as a window's stop would; this counter is the worker's.
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
    QCOMPARE(client.downloads().last()->localFile, QStringLiteral("Compare finish, Total:6, Same:1"));
    QCOMPARE(client.downloads().at(6)->stateCode, int(KTDUFile::Downloaded));
    QCOMPARE(client.stopFlag(), 2);  // the thread reads the flag, it does not reset it
}

QTEST_GUILESS_MAIN(TestCompare)
#include "tst_compare.moc"
