#include "dialogs/renamedialog.h"

#include "ui_renamedialog.h"

RenameDialog::RenameDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::RenameDialog)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
}

RenameDialog::~RenameDialog()
{
    delete ui;
}

void RenameDialog::on_Cancel_clicked()
{
    close();
}

void RenameDialog::on_Ok_clicked()
{
    // Exactly as typed: what an empty or odd name means is the caller's decision.
    name = ui->Name->text();
    close();
}

void RenameDialog::setName(const QString& oldName)
{
    ui->Name->setText(oldName);
}
