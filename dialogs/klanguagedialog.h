#ifndef TORVEX_DIALOGS_KLANGUAGEDIALOG_H
#define TORVEX_DIALOGS_KLANGUAGEDIALOG_H

#include <QDialog>

namespace Ui {
class KLanguageDialog;
}

// Offers the nine interface languages; the caller reads chosenIndex after the modal run.
class KLanguageDialog : public QDialog
{
    Q_OBJECT
public:
    explicit KLanguageDialog(QWidget* parent = nullptr);
    ~KLanguageDialog() override;

    int chosenIndex = -1;  // stays -1 unless Ok was pressed

private slots:
    void on_OkButton_clicked();
    void on_CancelButton_clicked();

private:
    void fillLanguages();

    Ui::KLanguageDialog* ui;
};

#endif
