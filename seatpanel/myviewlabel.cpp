// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "seatpanel/myviewlabel.h"

#include "platform/plaintext.h"

MyViewLabel::MyViewLabel(QWidget *parent) : QLabel(parent)
{
    // Seat names are the administrator's, shown as typed.
    PlainText::apply(this);
}

MyViewLabel::~MyViewLabel() = default;

bool MyViewLabel::isShortened(const QString &text)
{
    return text.size() >= MaxLength;
}

QString MyViewLabel::shownText(const QString &text)
{
    if (!isShortened(text))
        return text;
    return text.left(KeptLength) + QStringLiteral("...");
}

void MyViewLabel::setText(const QString &text)
{
    m_fullText = text;
    m_shownText = shownText(text);
    setToolTip(isShortened(text) ? PlainText::toolTip(m_fullText) : QString());
    QLabel::setText(m_shownText);
}

QString MyViewLabel::fullText() const
{
    return m_fullText;
}
