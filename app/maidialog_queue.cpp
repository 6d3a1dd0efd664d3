// The transfer queue view: rows for the engine's records, their states and bars, the speed line,
// the end-of-job refreshes and the result list of deletes and attribute changes.
#include "app/maidialog.h"

#include "common/helpers.h"
#include "engine/ftpclient.h"
#include "engine/ktdufile.h"
#include "ui_maidialog.h"

namespace {

constexpr int RecordColumns[] = {2, 3, 4, 5};

} // namespace

KTDUFile* MaiDialog::recordOf(QTreeWidgetItem* row)
{
    return row ? static_cast<KTDUFile*>(row->data(2, Qt::UserRole).value<void*>()) : nullptr;
}

void MaiDialog::slotSRFile_Ftp(KTDUFile* udfile)
{
    // Rows waiting to move to the top moved before this one arrived: keep the order of events,
    // so a job's summary line stays above the files it sums up.
    moveWaitingRowsToTop();
    auto* row = new QTreeWidgetItem;
    row->setText(0, udfile->localFile);
    row->setText(1, udfile->remoteFile);
    if (udfile->stateCode != KTDUFile::Finish) {
        row->setText(2, QString::number(quint64(udfile->fileSize)));
        row->setText(3, udfile->stateText());
    }
    for (int column : RecordColumns)
        row->setData(column, Qt::UserRole, QVariant::fromValue(static_cast<void*>(udfile)));
    ui->DUQueue->insertTopLevelItem(0, row);
    udfile->viewItem = row;
    queueRows.insert(udfile, row);
    // No row outlives its record, whoever deletes the record and whenever.
    connect(udfile, &QObject::destroyed, this, &MaiDialog::dropRowOf);
}

void MaiDialog::dropRowOf(QObject* record)
{
    changedRows.remove(record);
    rowsToTop.removeAll(record);
    delete queueRows.take(record);
}

void MaiDialog::clearQueueRows()
{
    for (auto it = queueRows.constBegin(); it != queueRows.constEnd(); ++it) {
        it.key()->disconnect(this);
        static_cast<KTDUFile*>(it.key())->viewItem = nullptr;
    }
    queueRows.clear();
    changedRows.clear();
    rowsToTop.clear();
    ui->DUQueue->clear();
}

void MaiDialog::showQueue(bool transfers)
{
    ui->DeleteLog->clear();
    clearQueueRows();
    ui->DeleteLog->setVisible(!transfers);
    ui->DUQueue->setVisible(transfers);
}

void MaiDialog::slotSRFileSize_Ftp(KTDUFile* udfile)
{
    markRowChanged(udfile, true);
    firstProgress = false;
    elapsed.restart();
    progressCounter = 0;
}

// Every change of a row repaints the queue, and a folder of small files changes rows hundreds of
// times a second: the rows take their records' news a few times a second instead.
void MaiDialog::markRowChanged(KTDUFile* record, bool toTop)
{
    if (!queueRows.contains(record))
        return;
    changedRows.insert(record);
    if (toTop)
        rowsToTop.append(record);
    if (!queueRepaintTimer.isActive())
        queueRepaintTimer.start();
}

void MaiDialog::moveWaitingRowsToTop()
{
    for (QObject* record : qAsConst(rowsToTop)) {
        QTreeWidgetItem* row = queueRows.value(record);
        const int index = row ? ui->DUQueue->indexOfTopLevelItem(row) : -1;
        if (index > 0) {
            ui->DUQueue->takeTopLevelItem(index);
            ui->DUQueue->insertTopLevelItem(0, row);
        }
    }
    rowsToTop.clear();
}

void MaiDialog::flushQueueRows()
{
    moveWaitingRowsToTop();
    for (QObject* object : qAsConst(changedRows)) {
        QTreeWidgetItem* row = queueRows.value(object);
        const auto* record = static_cast<const KTDUFile*>(object);
        if (!row)
            continue;
        row->setText(0, record->localFile);
        const bool finished = record->stateCode == KTDUFile::Finish;
        row->setText(2, finished ? QString() : QString::number(quint64(record->fileSize)));
        row->setText(3, finished ? QString() : record->stateText());
    }
    changedRows.clear();
}

void MaiDialog::repaintQueue()
{
    flushQueueRows();
    ui->DUQueue->viewport()->update();
}

void MaiDialog::slotSRProgress_Ftp(KTDUFile* udfile)
{
    if (!firstProgress) {
        firstProgress = true;
        requestLocalRefresh();
    }
    // Bars are repainted a few times a second, however many blocks arrive meanwhile.
    if (!queueRepaintTimer.isActive())
        queueRepaintTimer.start();
    updateSpeed(udfile);
}

void MaiDialog::updateSpeed(const KTDUFile* udfile)
{
    const qint64 ms = elapsed.isValid() ? elapsed.elapsed() : 0;
    const quint64 s = quint64(ms / 1000);
    if (s <= quint64(progressCounter))
        return;
    ++progressCounter;
    const quint64 t = s + 1;
    const quint64 done = quint64(qMax<qint64>(0, udfile->doneSize));
    const quint64 total = quint64(qMax<qint64>(0, udfile->fileSize));
    const quint32 speed = quint32(done / t);
    const quint64 remaining = total > done ? (total - done) * s / (done + 1) : 0;
    ui->Speed->setText(tr("Elapsed:") + timeToString(s) + QLatin1String("  ") + tr("Remaining:")
                       + timeToString(remaining) + QLatin1String("  ") + sizeToString(speed)
                       + QLatin1String("/s"));
}

void MaiDialog::soltSRStateChange_Ftp(KTDUFile* udfile)
{
    if (udfile->stateCode != KTDUFile::Finish)
        markRowChanged(udfile, false);
}

void MaiDialog::soltSRCmpResult_Ftp(KTDUFile* udfile)
{
    if (udfile->stateCode != KTDUFile::Finish)
        markRowChanged(udfile, false);
}

void MaiDialog::soltSRFileFinish_Ftp(KTDUFile* udfile)
{
    markRowChanged(udfile, false);
    if (udfile->stateCode == KTDUFile::Downloaded || udfile->stateCode == KTDUFile::Uploaded)
        udfile->doneSize = udfile->fileSize;
    const int state = udfile->stateCode;
    if (state == KTDUFile::Finish)
        return;  // a job's summary line; the end of the job refreshes both panes
    if (state >= KTDUFile::Undownload && state <= KTDUFile::DownloadError) {
        requestLocalRefresh();
    } else if (!ftp->isBusy()) {
        // A listing sent in the middle of an upload would move the job's working folder; the
        // end of the job lists the folder anyway.
        changeFtpDir(QString(), false);
    }
}

void MaiDialog::slotSRFinish_Ftp(const QString& localPath, const QString& ftpPath)
{
    flushQueueRows();
    if (operation == CompareOperation) {
        if (ftp->isLoggedIn()) {
            showLocalFiles(compareLocalFolder);
            changeFtpDir(ftpPath, false);
            compareRunning = true;
            ftp->startCompare();
        } else {
            updateStopButton(false);
        }
        return;
    }
    showLocalFiles(localPath);
    changeFtpDir(ftpPath, false);
    showFinishInfo();
    updateStopButton(false);
}

void MaiDialog::soltSRCmpFinish_Ftp()
{
    compareRunning = false;
    flushQueueRows();
    if (operation != CompareOperation)
        return;
    // Only the folder this compare made is removed, nothing else of the user's.
    if (!compareTempFolder.isEmpty())
        removeDir(compareTempFolder, true);
    showLocalFiles(compareLocalFolder);
    compareLocalFolder.clear();
    compareTempFolder.clear();
    showFinishInfo();
    updateStopButton(false);
}

void MaiDialog::slotDeleteFile_Ftp(const QString& filePath, const QString& state)
{
    ui->DeleteLog->insertTopLevelItem(0, new QTreeWidgetItem(QStringList{filePath, state}));
}

void MaiDialog::soltSRChmod_Ftp(const QString& filePath, bool success)
{
    const QString state = success ? QStringLiteral("Success") : QStringLiteral("Error");
    ui->DeleteLog->insertTopLevelItem(0, new QTreeWidgetItem(QStringList{filePath, state}));
}

void MaiDialog::soltSRChmodFinish_Ftp(int total, int success)
{
    const QString text = QStringLiteral("Total: %1, Success: %2").arg(total).arg(success);
    ui->DeleteLog->insertTopLevelItem(0, new QTreeWidgetItem(QStringList{text, QString()}));
    showFinishInfo();
}

void MaiDialog::onClearQueueClicked()
{
    // The engine's records are what a running job works on, and a compare's thread reads them
    // even after a stop until it has come to its end.
    if (compareRunning) {
        tell(tr("Last operation not completed!"));
        return;
    }
    if (jobRunning())
        return;
    clearQueueRows();
    ftp->clearTransfers();
}

void MaiDialog::onRetryErrorsClicked()
{
    if (compareRunning) {
        tell(tr("Last operation not completed!"));
        return;
    }
    ftp->retryErrors();
}

void MaiDialog::on_DUQueue_itemClicked(QTreeWidgetItem*, int)
{
}

void MaiDialog::on_DUQueue_currentItemChanged(QTreeWidgetItem*, QTreeWidgetItem*)
{
}
