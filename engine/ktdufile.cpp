#include "engine/ktdufile.h"

KTDUFile::KTDUFile(QObject* parent)
    : QObject(parent)
{
}

QString KTDUFile::stateText() const
{
    switch (stateCode) {
    case Undownload: return tr("undowload");
    case Downloading: return tr("dowloading");
    case Downloaded: return tr("dowloaded");
    case DownloadError: return tr("dowloadError");
    case Unupload: return tr("unupload");
    case Uploading: return tr("uploading");
    case Uploaded: return tr("uploaded");
    case UploadError: return tr("uploadError");
    case Same: return tr("Same");
    case Different: return tr("Different");
    case Finish: return tr("finish");
    default: return QString();
    }
}
