#ifndef TORVEX_ENGINE_KTDUFILE_H
#define TORVEX_ENGINE_KTDUFILE_H

#include <QObject>
#include <QString>

class QTreeWidgetItem;

// One row of the transfer queue: a file to download, upload or compare, or a job's summary line.
// The engine owns it; the window only hangs its view row on it.
class KTDUFile : public QObject
{
    Q_OBJECT
public:
    enum State {
        Undownload = 1,
        Downloading = 2,
        Downloaded = 3,
        DownloadError = 4,
        Unupload = 5,
        Uploading = 6,
        Uploaded = 7,
        UploadError = 8,
        Same = 9,
        Different = 10,
        Finish = 30
    };

    explicit KTDUFile(QObject* parent = nullptr);

    QString stateText() const;

    QString localFile;   // in a summary record: the summary text
    QString remoteFile;
    qint64 doneSize = 0; // at creation: the resume offset
    qint64 fileSize = 0;
    int stateCode = Undownload;
    bool isLink = false;
    // Target a listing showed for a link ("name -> target"); empty when the server named none.
    QString linkTarget;
    QTreeWidgetItem* viewItem = nullptr;
};

#endif
