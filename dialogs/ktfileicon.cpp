#include "dialogs/ktfileicon.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>

namespace {

constexpr int PlaceholderBytes = 1024;
constexpr int IconSide = 32;
KTFileIcon* processIcons = nullptr;

void dropProcessIcons()
{
    delete processIcons;
    processIcons = nullptr;
}

} // namespace

KTFileIcon::KTFileIcon(QObject* parent)
    : QObject(parent)
{
    if (!folder.isValid())
        return;
    tempFile = folder.filePath(QStringLiteral("kt_temp_icon.tmp"));
    QFile file(tempFile);
    if (file.open(QIODevice::ReadWrite | QIODevice::Truncate))
        file.write(QByteArray(PlaceholderBytes, '\0'));
}

KTFileIcon::~KTFileIcon()
{
    if (!tempFile.isEmpty())
        QFile::remove(tempFile);
    qDeleteAll(icons);
    icons.clear();
}

KTFileIcon* KTFileIcon::instance()
{
    if (!processIcons) {
        processIcons = new KTFileIcon;
        // Before the application object goes: icons must not outlive the GUI.
        qAddPostRoutine(dropProcessIcons);
    }
    return processIcons;
}

QString KTFileIcon::plainExtension(const QString& extension)
{
    // SECURITY: the extension may come from a server's listing; "x/../../y" must not move the
    // placeholder out of its folder.
    if (extension.contains(QLatin1Char('/')) || extension.contains(QLatin1Char('\\'))
        || extension.contains(QChar(0)))
        return QString();
    return extension;
}

QIcon* KTFileIcon::iconFor(const QString& requested)
{
    const QString ext = plainExtension(requested);
    if (QIcon* known = icons.value(ext))
        return known;
    lookupName = tempFile.isEmpty() ? QStringLiteral("kt_temp_icon.") + ext
                                    : folder.filePath(QStringLiteral("kt_temp_icon.") + ext);
    const bool moved = !tempFile.isEmpty() && QFile::rename(tempFile, lookupName);
    const QIcon shell = QFileIconProvider().icon(QFileInfo(lookupName));
    auto* icon = new QIcon;
    icon->addPixmap(shell.pixmap(IconSide, IconSide, QIcon::Normal, QIcon::Off), QIcon::Normal,
                    QIcon::Off);
    icons.insert(ext, icon);
    if (moved)
        QFile::rename(lookupName, tempFile);
    return icon;
}

QIcon fileIcon(const QString& extension)
{
    return *KTFileIcon::instance()->iconFor(extension);
}
