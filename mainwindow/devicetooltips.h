// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "hardware/deviceinfo.h"

#include <QCoreApplication>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

// What the trees and the create-seat dialog tell of a device beyond its name
// (which the save rules compare, so it stays as loginctl prints it): udev's
// vendor and model names, the physical port, the driver, the seat, and every
// sysfs path the item carries. Details are read once per address until the
// seats are read again.
class DeviceToolTips
{
    Q_DECLARE_TR_FUNCTIONS(DeviceToolTips)
public:
    explicit DeviceToolTips(std::shared_ptr<const DeviceInfoSource> info);

    // The seats logind lists: a device assigned to another is marked.
    void setListedSeats(const QStringList &seats);

    QString toolTip(const QStringList &addresses) const;
    // "NVIDIA Corporation TU116 [GeForce GTX 1660 SUPER]", or empty.
    QString product(const QStringList &addresses) const;
    // The device at syspath named as loginctl lists it (its own name, else
    // subsystem and kernel name), for a device no tree shows.
    QString name(const QString &syspath) const;

private:
    const DeviceDetails &details(const QString &syspath) const;

    std::shared_ptr<const DeviceInfoSource> m_info;
    QStringList m_seats;
    mutable QHash<QString, DeviceDetails> m_cache;
};
