// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>
#include <QString>

// A label for seat names: it keeps the full text, shows at most MaxLength
// characters and, when it had to shorten the text, offers the full text as
// tooltip. setText hides QLabel::setText, so every text meant for such a
// label, form texts included, must reach it through a MyViewLabel pointer.
class MyViewLabel : public QLabel
{
public:
    static constexpr int MaxLength = 30;  // texts this long or longer are shortened
    static constexpr int KeptLength = 27; // characters kept before the "..."

    explicit MyViewLabel(QWidget *parent = nullptr);
    ~MyViewLabel() override;

    void setText(const QString &text);
    QString fullText() const;

    // What the label displays for text.
    static QString shownText(const QString &text);
    // Whether text is displayed shortened (names the rename dialogs warn about).
    static bool isShortened(const QString &text);

private:
    QString m_fullText;
    QString m_shownText;
};
