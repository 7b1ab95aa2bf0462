// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow/devicetooltips.h"

DeviceToolTips::DeviceToolTips(std::shared_ptr<const DeviceInfoSource> info)
    : m_info(std::move(info))
{
}

void DeviceToolTips::setListedSeats(const QStringList &seats)
{
    m_seats = seats;
    m_cache.clear();
}

const DeviceDetails &DeviceToolTips::details(const QString &syspath) const
{
    auto found = m_cache.find(syspath);
    if (found == m_cache.end())
        found = m_cache.insert(syspath, m_info ? m_info->details(syspath) : DeviceDetails());
    return *found;
}

QString DeviceToolTips::product(const QStringList &addresses) const
{
    for (const QString &address : addresses) {
        const QString product = details(address).product();
        if (!product.isEmpty())
            return product;
    }
    return QString();
}

QString DeviceToolTips::name(const QString &syspath) const
{
    const DeviceDetails &d = details(syspath);
    const QString sysname = syspath.section(QLatin1Char('/'), -1);
    if (!d.name.isEmpty())
        return d.name;
    if (d.known && !d.subsystem.isEmpty())
        return d.subsystem + QLatin1Char(':') + sysname;
    return tr("Unknown device %1").arg(sysname);
}

QString DeviceToolTips::toolTip(const QStringList &addresses) const
{
    QStringList lines;
    const QString productName = product(addresses);
    if (!productName.isEmpty())
        lines << productName;
    for (const QString &address : addresses) {
        const DeviceDetails &d = details(address);
        if (!d.physicalPath.isEmpty())
            lines << tr("Port: %1").arg(d.physicalPath);
        if (!d.driver.isEmpty())
            lines << tr("Driver: %1").arg(d.driver);
        if (!d.seat.isEmpty() && !m_seats.contains(d.seat))
            lines << tr("assigned to %1, which no longer exists").arg(d.seat);
        else if (!d.seat.isEmpty())
            lines << tr("Seat: %1").arg(d.seat);
        lines << address;
    }
    lines.removeDuplicates();
    return lines.join(QLatin1Char('\n'));
}
