#include "seatpanel/createseatdialog.h"

#include "ui_createseatdialog.h"

CreateSeatDialog::CreateSeatDialog(QWidget *parent) : QDialog(parent), ui(new Ui::CreateSeatDialog)
{
    ui->setupUi(this);
    connect(ui->cancelButton, &QPushButton::clicked, this, &CreateSeatDialog::reject);
    connect(ui->yesButton, &QPushButton::clicked, this, &CreateSeatDialog::accept);
    connect(ui->nameLineEdit, &QLineEdit::textChanged, this,
            &CreateSeatDialog::setYesButtonEnabled);
}

CreateSeatDialog::~CreateSeatDialog()
{
    delete ui;
}

void CreateSeatDialog::addVideocards(const QStringList &names, const QStringList &toolTips)
{
    for (int i = 0; i < names.size(); ++i) {
        ui->videocardComboBox->addItem(names.at(i));
        if (!toolTips.value(i).isEmpty())
            ui->videocardComboBox->setItemData(ui->videocardComboBox->count() - 1, toolTips.at(i),
                                               Qt::ToolTipRole);
    }
}

QString CreateSeatDialog::seatName() const
{
    return ui->nameLineEdit->text();
}

QString CreateSeatDialog::videocard() const
{
    return ui->videocardComboBox->currentText();
}

// Blanks count as text: a name of blanks only is still a name.
void CreateSeatDialog::setYesButtonEnabled(const QString &newText)
{
    ui->yesButton->setEnabled(!newText.isEmpty());
}
