#ifndef TORVEX_DIALOGS_AUTHORIZEDIRECTORY_H
#define TORVEX_DIALOGS_AUTHORIZEDIRECTORY_H

#include <QDialog>
#include <QString>

namespace Ui {
class AuthorizeDirectory;
}

// Names a local folder that yielded nothing and offers to authorise it. This platform has no
// grant of access, so the offer always ends in failure and `directory` comes back empty.
class AuthorizeDirectory : public QDialog
{
    Q_OBJECT
public:
    AuthorizeDirectory(const QString& directory, QWidget* parent = nullptr);
    ~AuthorizeDirectory() override;

    QString directory;

public slots:
    // Escape or the title bar's close button yield no folder either: the window would otherwise
    // list the unreadable folder again and open this dialog once more.
    void reject() override;

private slots:
    void on_Cancel_clicked();
    void on_Authorize_clicked();

private:
    Ui::AuthorizeDirectory* ui;
};

#endif
