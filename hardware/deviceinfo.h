// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

// What udev knows of one device: names from its hardware database, the
// physical port, the driver, the seat, what kind of input it is.
struct DeviceDetails
{
    bool known = false; // udev has the device
    QString syspath;
    QString subsystem;
    // ID_VENDOR_FROM_DATABASE and ID_MODEL_FROM_DATABASE, else ID_VENDOR and
    // ID_MODEL, of the device or a parent up to its own USB device or PCI
    // function.
    QString vendor;
    QString model;
    QString name;         // its sysfs attribute "name" (an input device's own)
    QString physicalPath; // ID_PATH
    QString driver;       // the driver of the device or of the nearest parent that has one
    QString seat;         // ID_SEAT; empty means seat0
    // ID_FOR_SEAT ("input-pci-0000_00_14_0-usb-0_3_1_0"): what logind keys
    // its seat rules on. It names the port, not the enumeration numbers, so
    // it is the same on two identical machines.
    QString forSeat;
    bool keyboard = false; // ID_INPUT_KEYBOARD
    bool mouse = false;    // ID_INPUT_MOUSE or ID_INPUT_TOUCHPAD

    // What a person knows the hardware as: vendor and model, else its name.
    QString product() const
    {
        const QString both = (vendor + QLatin1Char(' ') + model).trimmed();
        return both.isEmpty() ? name : both;
    }
};

// A device udev has tagged for seats.
struct SeatTaggedDevice
{
    QString syspath;
    QString subsystem;
    QString sysname;
    QString name; // its sysfs attribute "name", else "id", as loginctl prints it; may be empty
    QString seat; // ID_SEAT; empty means seat0
    bool master = false; // tagged master-of-seat
};

// Where the program learns about devices beyond what loginctl prints. The
// real one asks udev; tests hand in their own.
class DeviceInfoSource
{
public:
    virtual ~DeviceInfoSource() = default;
    virtual DeviceDetails details(const QString &syspath) const = 0;
    // Every device tagged for seats, in sysfs path order (parents first).
    virtual QList<SeatTaggedDevice> seatDevices() const = 0;
};
