// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Mandatory integrity control check. On a system without mandatory integrity
// control every process counts as being at the maximum level.
class MICDetect
{
public:
    static bool isCurrentProcessHasMaxMIC();

    // The same check against a file-system root other than "/" (for tests).
    static bool hasMaxMIC(const QString &root);
};
