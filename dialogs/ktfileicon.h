#ifndef TORVEX_DIALOGS_KTFILEICON_H
#define TORVEX_DIALOGS_KTFILEICON_H

#include <QIcon>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTemporaryDir>

// The desktop's icon for a file type, also for remote files that do not exist here: a small
// placeholder file is renamed to carry the extension for the moment of the lookup. Each
// extension is looked up once and then served from the cache.
class KTFileIcon : public QObject
{
    Q_OBJECT
public:
    explicit KTFileIcon(QObject* parent = nullptr);
    ~KTFileIcon() override;

    QIcon* iconFor(const QString& extension);
    // The one instance of the process, made on first use and gone at exit.
    static KTFileIcon* instance();
    // Where the placeholder lives while no lookup runs.
    QString placeholderPath() const { return tempFile; }

    // An extension that could name another folder is looked up as no extension at all.
    static QString plainExtension(const QString& extension);

    QMap<QString, QIcon*> icons;

private:
    // The placeholder lives in a folder of its own, never in the working folder: a program
    // started from a desktop menu runs in the home folder.
    QTemporaryDir folder;
    QString tempFile;
    QString lookupName;
};

// The icon the file panes show for a file with this extension (without the dot).
QIcon fileIcon(const QString& extension);

#endif
