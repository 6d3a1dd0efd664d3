#include "dialogs/klanguagedialog.h"

#include "ui_klanguagedialog.h"

namespace {

// In the order of the window's language indexes.
const char* const languageNames[] = {
    QT_TRANSLATE_NOOP("KLanguageDialog", "English"),
    QT_TRANSLATE_NOOP("KLanguageDialog", "Chinese"),
    QT_TRANSLATE_NOOP("KLanguageDialog", "French"),
    QT_TRANSLATE_NOOP("KLanguageDialog", "German"),
    QT_TRANSLATE_NOOP("KLanguageDialog", "Italian"),
    QT_TRANSLATE_NOOP("KLanguageDialog", "Japanese"),
    QT_TRANSLATE_NOOP("KLanguageDialog", "Korean"),
    QT_TRANSLATE_NOOP("KLanguageDialog", "Russian"),
    QT_TRANSLATE_NOOP("KLanguageDialog", "Spanish"),
};

} // namespace

KLanguageDialog::KLanguageDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::KLanguageDialog)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
    fillLanguages();
}

KLanguageDialog::~KLanguageDialog()
{
    delete ui;
}

// Always starts at English: the list names languages, it does not show the one in use.
void KLanguageDialog::fillLanguages()
{
    ui->LanguageComboBox->clear();
    for (const char* name : languageNames)
        ui->LanguageComboBox->addItem(tr(name));
    ui->LanguageComboBox->setCurrentIndex(0);
}

void KLanguageDialog::on_OkButton_clicked()
{
    chosenIndex = ui->LanguageComboBox->currentIndex();
    close();
}

void KLanguageDialog::on_CancelButton_clicked()
{
    close();
}
