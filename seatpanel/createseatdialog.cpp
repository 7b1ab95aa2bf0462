// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "seatpanel/createseatdialog.h"

#include "ui_createseatdialog.h"

#include <QAbstractItemView>
#include <QLayout>

CreateSeatDialog::CreateSeatDialog(QWidget *parent) : QDialog(parent), ui(new Ui::CreateSeatDialog)
{
    ui->setupUi(this);
    connect(ui->cancelButton, &QPushButton::clicked, this, &CreateSeatDialog::reject);
    connect(ui->yesButton, &QPushButton::clicked, this, &CreateSeatDialog::accept);
    connect(ui->nameLineEdit, &QLineEdit::textChanged, this,
            &CreateSeatDialog::setYesButtonEnabled);
}

CreateSeatDialog::~CreateSeatDialog() = default;

void CreateSeatDialog::addVideocards(const QStringList &names, const QStringList &products)
{
    QComboBox *combo = ui->videocardComboBox;
    for (int i = 0; i < names.size(); ++i) {
        const QString product = products.value(i);
        // The name alone says little ("[MASTER] drm:card3"); the entry
        // carries it as its data, which is what the dialog hands on.
        combo->addItem(product.isEmpty() ? names.at(i) : tr("%1 — %2").arg(names.at(i), product),
                       names.at(i));
        if (!product.isEmpty())
            combo->setItemData(combo->count() - 1, product, Qt::ToolTipRole);
    }
    // The dialog widens for the longest entry (up to a limit), so that the
    // closed box shows the product too; its list opens as wide as that.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    const int entries = combo->sizeHint().width();
    combo->view()->setMinimumWidth(entries);
    layout()->activate();
    const int margins = width() - combo->width();
    setFixedWidth(qMax(width(), qBound(minimumWidth(), entries + margins, MaxWidth)));
}

QString CreateSeatDialog::seatName() const
{
    return ui->nameLineEdit->text();
}

QString CreateSeatDialog::videocard() const
{
    return ui->videocardComboBox->currentData().toString();
}

// Blanks count as text: a name of blanks only is still a name.
void CreateSeatDialog::setYesButtonEnabled(const QString &newText)
{
    ui->yesButton->setEnabled(!newText.isEmpty());
}
