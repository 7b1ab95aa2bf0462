#pragma once

#include "hardware/deviceinfo.h"

#include <QHash>

// What udev would say, written by the test: details by sysfs path and the
// devices tagged for seats.
class FakeDeviceInfo : public DeviceInfoSource
{
public:
    DeviceDetails details(const QString &syspath) const override
    {
        DeviceDetails d = known.value(syspath);
        d.syspath = syspath;
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
    QList<SeatTaggedDevice> tagged;
};
