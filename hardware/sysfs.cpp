// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hardware/sysfs.h"

#include <QDir>

namespace Sysfs {

QString deviceDir(const QString &sysRoot, const QString &syspath)
{
    if (!syspath.startsWith(QLatin1String("/sys/")) ||
        syspath.split(QLatin1Char('/')).contains(QStringLiteral("..")))
        return QString();
    return sysRoot + syspath.mid(4);
}

QStringList subdirectories(const QString &dir, const QRegularExpression &name)
{
    QStringList found;
    const QStringList entries = QDir(dir).entryList(
        QDir::Dirs | QDir::NoDotAndDotDot | QDir::System | QDir::NoSymLinks, QDir::Name);
    for (const QString &entry : entries) {
        if (name.match(entry).hasMatch())
            found.append(entry);
    }
    return found;
}

} // namespace Sysfs
