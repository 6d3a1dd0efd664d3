#include "dialogs/authorizedirectory.h"
#include "ui_authorizedirectory.h"

#include <QFileDialog>
#include <QMessageBox>

AuthorizeDirectory::AuthorizeDirectory(const QString& directory, QWidget* parent)
    : QDialog(parent)
    , directory(directory)
    , ui(new Ui::AuthorizeDirectory)
{
    ui->setupUi(this);
    ui->Directory->setText(QDir::toNativeSeparators(directory));
}

AuthorizeDirectory::~AuthorizeDirectory()
{
    delete ui;
}

void AuthorizeDirectory::reject()
{
    directory.clear();
    QDialog::reject();
}

void AuthorizeDirectory::on_Cancel_clicked()
{
    directory.clear();
    close();
}

void AuthorizeDirectory::on_Authorize_clicked()
{
    const QString chosen = QFileDialog::getExistingDirectory(
        this, tr("Please select the authorized directory!"), directory, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return;
    directory = chosen;
    QMessageBox::information(this, QString(), tr("Authorization directory failed!"), QMessageBox::Ok);
    directory.clear();
    close();
}
