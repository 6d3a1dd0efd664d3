#include "dialogs/ktnewfolder.h"

#include "ui_ktnewfolder.h"

KTNewFolder::KTNewFolder(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::KTNewFolder)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
}

KTNewFolder::~KTNewFolder()
{
    delete ui;
}

void KTNewFolder::on_Cancel_clicked()
{
    close();
}

void KTNewFolder::on_Ok_clicked()
{
    // Exactly as typed: what an empty or odd name means is the caller's decision.
    name = ui->FolderName->text();
    close();
}
