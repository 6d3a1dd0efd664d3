#ifndef TORVEX_DIALOGS_KTNEWFOLDER_H
#define TORVEX_DIALOGS_KTNEWFOLDER_H

#include <QDialog>
#include <QString>

namespace Ui {
class KTNewFolder;
}

// Asks for the name of a folder to create; the caller reads name after the modal run.
class KTNewFolder : public QDialog
{
    Q_OBJECT
public:
    explicit KTNewFolder(QWidget* parent = nullptr);
    ~KTNewFolder() override;

    QString name;  // empty unless Create was pressed

private slots:
    void on_Cancel_clicked();
    void on_Ok_clicked();

private:
    Ui::KTNewFolder* ui;
};

#endif
