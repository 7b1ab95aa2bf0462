// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/keyhint.h"

#include <QKeySequence>

QString KeyHint::toolTip(const QString &toolTip, int key)
{
    //: A tool tip and the key that does the same
    return tr("%1 (%2)").arg(toolTip, QKeySequence(key).toString(QKeySequence::NativeText));
}
