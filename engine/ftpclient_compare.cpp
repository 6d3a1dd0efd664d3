// The compare job: MD5 of downloaded copies against local files, on a worker thread.
#include "engine/ftpclient.h"

#include "common/helpers.h"
#include "engine/ktthread.h"

#include <QFile>

namespace {

bool sameContent(const QString& copyPath, const QString& localPath)
{
    QFile copy(copyPath);
    QFile original(localPath);
    if (!copy.open(QIODevice::ReadOnly) || !original.open(QIODevice::ReadOnly))
        return false;
    // Equal sizes first: a different length is a different file without reading either.
    return copy.size() == original.size() && md5Hex(&copy) == md5Hex(&original);
}

} // namespace

void FTPClient::setCompareBase(const QString& localBase, const QString& tempBase)
{
    compareLocalBase = localBase;
    compareTempBase = tempBase;
}

void FTPClient::startCompare()
{
    auto* worker = new KTThread<FTPClient>(this, &FTPClient::compareFiles, this);
    compareThreads.append(worker);
    worker->start(QThread::InheritPriority);
}

// Runs on the worker thread. The GUI side leaves the download queue alone meanwhile; stopFlag is
// the only field both sides touch, and it is atomic.
void FTPClient::compareFiles(FTPClient* client)
{
    const QString local = client->compareLocalBase;
    const QString temp = client->compareTempBase;
    int total = 0;
    int same = 0;
    for (const KTDUFile* record : qAsConst(client->downloadQueue)) {
        if (record->stateCode != KTDUFile::Finish)
            ++total;
    }
    // One walk over the queue: records compared before and summaries are passed over.
    for (int next = 0; next < client->downloadQueue.size(); ++next) {
        KTDUFile* record = client->downloadQueue.at(next);
        const int state = record->stateCode;
        if (state == KTDUFile::Finish || state == KTDUFile::Same || state == KTDUFile::Different)
            continue;
        const QString copyPath = record->localFile;
        const QString localPath = local + copyPath.mid(temp.size());
        record->stateCode = KTDUFile::Different;
        // A copy whose download failed is empty or cut short: whatever it holds, it is not the file.
        if (state != KTDUFile::DownloadError && sameContent(copyPath, localPath)) {
            ++same;
            record->stateCode = KTDUFile::Same;
        }
        record->localFile = localPath;
        emit client->srCmpResult(record);
        if (client->stopState != 0)
            break;
    }
    const QString text = tr("Compare finish, Total:") + QString::number(total) + tr(", Same:")
        + QString::number(same);
    KTDUFile* summary = client->addDownloadFile(text, QString(), false, 0);
    if (summary) {
        summary->stateCode = KTDUFile::Finish;
        // Made here, kept by the engine: it belongs with the engine's thread, not this one.
        summary->moveToThread(client->thread());
        emit client->srFileFinish(summary);
    }
    emit client->srCmpFinish();
}

void FTPClient::stopCompareThreads()
{
    if (compareThreads.isEmpty())
        return;
    stopState = 2;
    for (QThread* worker : qAsConst(compareThreads))
        worker->wait();
    compareThreads.clear();
}
