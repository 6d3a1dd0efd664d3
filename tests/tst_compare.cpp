// The compare thread: classification, stop after a record, missing files, summary.
// Signals from the worker are counted by a receiver in this thread (queued), never by a spy
// that the worker would write to, so that a run under ThreadSanitizer sees no race of ours.
#include "engine/ftpclient.h"
#include "support/testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

#include <atomic>

namespace {

const int Wait = 10000;

struct Results : QObject {
    QStringList classified;  // "name state" per srCmpResult
    QStringList finished;    // summary texts
    int done = 0;
};

} // namespace

class TestCompare : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void classifiesSameDifferentAndMissing();
    void stopAfterSecondOfFive();
    void earlierResultsAreNotComparedAgain();

private:
    KTDUFile* addCopy(const QString& name, const QByteArray& remote);
    std::unique_ptr<QTemporaryDir> localDir;
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<FTPClient> client;
    std::unique_ptr<Results> results;
};

void TestCompare::init()
{
    localDir = std::make_unique<QTemporaryDir>();
    tempDir = std::make_unique<QTemporaryDir>();
    QVERIFY(localDir->isValid() && tempDir->isValid());
    client = std::make_unique<FTPClient>();
    results = std::make_unique<Results>();
    Results* seen = results.get();
    connect(client.get(), &FTPClient::srCmpResult, seen, [seen, this](KTDUFile* record) {
        seen->classified.append(record->localFile.mid(localDir->path().size() + 1) + QLatin1Char(' ') + record->stateText());
    });
    connect(client.get(), &FTPClient::srFileFinish, seen, [seen](KTDUFile* record) {
        if (record->stateCode == KTDUFile::Finish)
            seen->finished.append(record->localFile);
    });
    connect(client.get(), &FTPClient::srCmpFinish, seen, [seen] { ++seen->done; });
    client->setCompareBase(localDir->path(), tempDir->path());
    client->prepareTransfer(tempDir->path(), QStringLiteral("/"));
}

void TestCompare::cleanup()
{
    client.reset();
    results.reset();
}

KTDUFile* TestCompare::addCopy(const QString& name, const QByteArray& remote)
{
    const QString copy = tempDir->path() + QLatin1Char('/') + name;
    writeTestFile(copy, remote);
    KTDUFile* record = client->addDownloadFile(copy, QLatin1Char('/') + name, false, 0);
    record->stateCode = KTDUFile::Downloaded;
    return record;
}

void TestCompare::classifiesSameDifferentAndMissing()
{
    const QByteArray content = patternBytes(100000, 2);
    QVERIFY(writeTestFile(localDir->path() + QStringLiteral("/same"), content));
    QVERIFY(writeTestFile(localDir->path() + QStringLiteral("/sub/diff"), patternBytes(100000, 3)));
    KTDUFile* same = addCopy(QStringLiteral("same"), content);
    addCopy(QStringLiteral("sub/diff"), patternBytes(100000, 4));
    KTDUFile* missing = addCopy(QStringLiteral("only-remote"), "x");
    client->startCompare();
    QTRY_COMPARE_WITH_TIMEOUT(results->done, 1, Wait);
    QCOMPARE(results->classified, (QStringList{QStringLiteral("same Same"), QStringLiteral("sub/diff Different"),
                                               QStringLiteral("only-remote Different")}));
    QCOMPARE(results->finished, QStringList{QStringLiteral("Compare finish, Total:3, Same:1")});
    // Records now name the local files they were compared with.
    QCOMPARE(same->localFile, localDir->path() + QStringLiteral("/same"));
    QCOMPARE(missing->localFile, localDir->path() + QStringLiteral("/only-remote"));
    QCOMPARE(client->downloads().size(), 4);
}

void TestCompare::stopAfterSecondOfFive()
{
    for (int i = 1; i <= 5; ++i) {
        const QString name = QStringLiteral("f%1").arg(i);
        const QByteArray content = patternBytes(20000, quint32(i));
        QVERIFY(writeTestFile(localDir->path() + QLatin1Char('/') + name, content));
        addCopy(name, content);
    }
    // The stop request lands while the worker is between the second and the third record, as a
    // window's stop would; the counter lives on the worker's side only.
    std::atomic<int> seen{0};
    FTPClient* worker = client.get();
    connect(worker, &FTPClient::srCmpResult, worker, [worker, &seen](KTDUFile*) {
        if (++seen == 2)
            worker->stopState = 2;
    }, Qt::DirectConnection);
    client->startCompare();
    QTRY_COMPARE_WITH_TIMEOUT(results->done, 1, Wait);
    QCOMPARE(results->classified, (QStringList{QStringLiteral("f1 Same"), QStringLiteral("f2 Same")}));
    QCOMPARE(results->finished, QStringList{QStringLiteral("Compare finish, Total:5, Same:2")});
    for (int i = 2; i < 5; ++i)
        QCOMPARE(client->downloads().at(i)->stateCode, int(KTDUFile::Downloaded));
    QCOMPARE(client->stopFlag(), 2);  // the thread reads the flag, it does not reset it
}

void TestCompare::earlierResultsAreNotComparedAgain()
{
    addCopy(QStringLiteral("old"), "o")->stateCode = KTDUFile::Same;
    client->addDownloadFile(QStringLiteral("Compare finish, Total:1, Same:1"), QString(), false, 0)->stateCode = KTDUFile::Finish;
    QVERIFY(writeTestFile(localDir->path() + QStringLiteral("/new"), "n"));
    addCopy(QStringLiteral("new"), "n");
    client->startCompare();
    QTRY_COMPARE_WITH_TIMEOUT(results->done, 1, Wait);
    QCOMPARE(results->classified, QStringList{QStringLiteral("new Same")});
    // Total counts every record that is not a summary, the earlier result included.
    QCOMPARE(results->finished, QStringList{QStringLiteral("Compare finish, Total:2, Same:1")});
}

QTEST_GUILESS_MAIN(TestCompare)
#include "tst_compare.moc"
