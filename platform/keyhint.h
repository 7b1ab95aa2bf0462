// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCoreApplication>
#include <QString>

// A button's tool tip with the key that does the same, in the desktop's
// notation: "Rename seat (F2)". A key reachable only from the keyboard
// otherwise shows nowhere.
class KeyHint
{
    Q_DECLARE_TR_FUNCTIONS(KeyHint)
public:
    static QString toolTip(const QString &toolTip, int key);
};
