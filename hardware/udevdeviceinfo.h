// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "hardware/deviceinfo.h"

#include <QHash>
#include <QList>
#include <QString>

struct udev;

// One device as udev knows it: what the details of a device are made from.
struct UdevNode
{
    QString syspath;
    QString subsystem;
    QString devtype;
    QString driver;
    QHash<QString, QString> properties;
    QString nameAttribute; // its sysfs attribute "name"
};

// DeviceInfoSource through libudev: the udev database of the running udevd,
// and sysfs where the database has nothing.
class UdevDeviceInfo : public DeviceInfoSource
{
public:
    UdevDeviceInfo();
    ~UdevDeviceInfo() override;
    UdevDeviceInfo(const UdevDeviceInfo &) = delete;
    UdevDeviceInfo &operator=(const UdevDeviceInfo &) = delete;

    DeviceDetails details(const QString &syspath) const override;
    QList<SeatTaggedDevice> seatDevices() const override;

    // The details of chain's first device, chain holding it and then its
    // parents, nearest first. Names are looked for only up to the device's
    // own physical device, its USB device or PCI function, and never on the
    // Bluetooth adapter it is reached through: a parent beyond is a host
    // controller or a bridge, whose name is no name of this device.
    static DeviceDetails detailsOf(const QList<UdevNode> &chain);

private:
    struct udev *m_udev;
};
