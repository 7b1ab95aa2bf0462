// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/plaintext.h"

#include <QLabel>
#include <QTextDocument>

namespace PlainText {

QString toolTip(const QString &text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap) : text;
}

void apply(QLabel *label)
{
    label->setTextFormat(Qt::PlainText);
}

} // namespace PlainText
