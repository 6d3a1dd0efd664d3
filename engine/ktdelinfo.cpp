#include "engine/ktdelinfo.h"

KTDelInfo::KTDelInfo(const QString& dirPath, const QString& fileName, QObject* parent)
    : QObject(parent)
    , dirPath(dirPath)
    , fileName(fileName)
{
}

QString KTDelInfo::stateText() const
{
    switch (stateCode) {
    case Undelete: return tr("undelete");
    case Deleting: return tr("deteting");
    case DeletedAllFiles: return tr("delallfile");
    case DeletingFolder: return tr("delfolder");
    case Deleted: return tr("deteted");
    case Unknown: return tr("unknow");
    case Error: return tr("error");
    default: return QString();
    }
}
