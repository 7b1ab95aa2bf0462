// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/micdetect.h"

#include <QFileInfo>

bool MICDetect::isCurrentProcessHasMaxMIC()
{
    return hasMaxMIC(QStringLiteral("/"));
}

bool MICDetect::hasMaxMIC(const QString &root)
{
    // The kernel module of mandatory integrity control announces itself under
    // /sys/module. Where it runs, the level of this process cannot be read
    // without the platform's own library, so the check refuses rather than
    // guess; that library replaces this one on such systems.
    const QString module = root + QStringLiteral("/sys/module/parsec");
    return !QFileInfo::exists(module);
}
