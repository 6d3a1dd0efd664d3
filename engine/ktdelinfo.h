#ifndef TORVEX_ENGINE_KTDELINFO_H
#define TORVEX_ENGINE_KTDELINFO_H

#include <QObject>
#include <QString>

// One entry of a remote delete job.
class KTDelInfo : public QObject
{
    Q_OBJECT
public:
    enum State {
        Undelete = 1,
        Deleting = 2,
        DeletedAllFiles = 3,
        DeletingFolder = 4,
        Deleted = 10,
        Unknown = 26,
        Error = 30
    };

    KTDelInfo(const QString& dirPath, const QString& fileName, QObject* parent = nullptr);

    QString stateText() const;

    QString dirPath;
    QString fileName;
    int stateCode = Undelete;
};

#endif
