#ifndef TORVEX_DIALOGS_KCHMODDLG_H
#define TORVEX_DIALOGS_KCHMODDLG_H

#include <QDialog>
#include <QString>

class QCheckBox;

namespace Ui {
class KChmodDlg;
}

// Shows an entry's permission bits as check boxes and hands back an octal mode and how far into
// a folder the change reaches.
class KChmodDlg : public QDialog
{
    Q_OBJECT
public:
    explicit KChmodDlg(QWidget* parent = nullptr);
    ~KChmodDlg() override;

    // Ticks the boxes from a listing's permission field such as "drwxr-xr-x".
    void setPermissions(const QString& permissions);

    QString mode;     // four octal digits once Change was pressed; empty when cancelled
    int applyTo = 0;  // 1 everything below, 2 files only, 3 folders only

private slots:
    void on_Change_clicked();
    void on_Cancel_clicked();

private:
    QCheckBox* box(int row, int column) const;
    int rowDigit(int row) const;

    Ui::KChmodDlg* ui;
};

#endif
