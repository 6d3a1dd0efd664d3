#include "dialogs/kchmoddlg.h"

#include "ui_kchmoddlg.h"

namespace {

constexpr int PermissionTextLength = 10;
const char permissionLetters[] = "rwx";

} // namespace

KChmodDlg::KChmodDlg(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::KChmodDlg)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
}

KChmodDlg::~KChmodDlg()
{
    delete ui;
}

// Row 0 owner, 1 group, 2 public; column 0 the row's own box (a special bit), 1..3 read, write,
// execute.
QCheckBox* KChmodDlg::box(int row, int column) const
{
    QCheckBox* const boxes[3][4] = {
        {ui->Owner, ui->OwnerRead, ui->OwnerWrite, ui->OwnerExecute},
        {ui->Group, ui->GroupRead, ui->GroupWrite, ui->GroupExecute},
        {ui->Public, ui->PublicRead, ui->PublicWrite, ui->PublicExecute},
    };
    return boxes[row][column];
}

void KChmodDlg::setPermissions(const QString& permissions)
{
    if (permissions.size() != PermissionTextLength)
        return;
    for (int row = 0; row < 3; ++row) {
        for (int bit = 0; bit < 3; ++bit) {
            if (permissions.at(1 + row * 3 + bit) == QLatin1Char(permissionLetters[bit]))
                box(row, bit + 1)->setChecked(true);
        }
    }
}

int KChmodDlg::rowDigit(int row) const
{
    return (box(row, 1)->isChecked() ? 4 : 0) + (box(row, 2)->isChecked() ? 2 : 0)
        + (box(row, 3)->isChecked() ? 1 : 0);
}

void KChmodDlg::on_Change_clicked()
{
    const int special = (ui->Owner->isChecked() ? 4 : 0) + (ui->Group->isChecked() ? 2 : 0)
        + (ui->Public->isChecked() ? 1 : 0);
    mode = QString::number(special) + QString::number(rowDigit(0)) + QString::number(rowDigit(1))
        + QString::number(rowDigit(2));
    applyTo = ui->ChildOption->currentIndex() + 1;
    close();
}

void KChmodDlg::on_Cancel_clicked()
{
    close();
}
