// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <memory>

namespace Ui {
class CreateSeatDialog;
}

// Asks for a new seat's display name and for the video card it gets from the
// main seat. It only collects the two values; the caller creates the seat.
class CreateSeatDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CreateSeatDialog(QWidget *parent = nullptr);
    ~CreateSeatDialog() override;

    // The names in the list, each shown with the card's product beside it
    // and as its tool tip, when one is given.
    void addVideocards(const QStringList &names, const QStringList &products = {});
    QString seatName() const;  // as typed, not trimmed
    QString videocard() const; // empty when no card was offered

    // How wide the dialog grows for long card names and products.
    static constexpr int MaxWidth = 720;

private slots:
    void setYesButtonEnabled(const QString &newText);

private:
    std::unique_ptr<Ui::CreateSeatDialog> ui;
};
