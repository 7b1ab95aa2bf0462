// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "hardware/deviceinfo.h"

#include <QHash>
#include <functional>

// What udev would say, written by the test: details by sysfs path and the
// devices tagged for seats.
class FakeDeviceInfo : public DeviceInfoSource
{
public:
    DeviceDetails details(const QString &syspath) const override
    {
        DeviceDetails d = known.value(syspath);
        d.syspath = syspath;
        if (forSeatOf)
            d.forSeat = forSeatOf(syspath);
        return d;
    }
    QList<SeatTaggedDevice> seatDevices() const override { return tagged; }

    // A device udev marks as a keyboard and/or a mouse.
    void input(const QString &syspath, bool keyboard, bool mouse)
    {
        DeviceDetails &d = known[syspath];
        d.known = true;
        d.subsystem = QStringLiteral("input");
        d.keyboard = keyboard;
        d.mouse = mouse;
    }

    QHash<QString, DeviceDetails> known;
    // udev's ID_FOR_SEAT of every device, when a test gives one.
    std::function<QString(const QString &syspath)> forSeatOf;
    QList<SeatTaggedDevice> tagged;
};
