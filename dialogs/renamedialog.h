#ifndef TORVEX_DIALOGS_RENAMEDIALOG_H
#define TORVEX_DIALOGS_RENAMEDIALOG_H

#include <QDialog>
#include <QString>

namespace Ui {
class RenameDialog;
}

// Asks for the new name of an entry, starting from its old name; the caller reads name after
// the modal run.
class RenameDialog : public QDialog
{
    Q_OBJECT
public:
    explicit RenameDialog(QWidget* parent = nullptr);
    ~RenameDialog() override;

    void setName(const QString& oldName);

    QString name;  // empty unless Ok was pressed

private slots:
    void on_Cancel_clicked();
    void on_Ok_clicked();

private:
    Ui::RenameDialog* ui;
};

#endif
