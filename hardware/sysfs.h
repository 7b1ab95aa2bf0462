// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

// Device directories under a sysfs root that tests replace.
namespace Sysfs {

// The directory of syspath ("/sys/devices/...") under sysRoot; empty for a
// path that is not below /sys or that climbs with "..", which is never
// looked at.
QString deviceDir(const QString &sysRoot, const QString &syspath);

// The subdirectories of dir whose names match name, sorted; links to
// directories are not subdirectories.
QStringList subdirectories(const QString &dir, const QRegularExpression &name);

} // namespace Sysfs
