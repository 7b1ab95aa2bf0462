// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMultiMap>
#include <QPair>
#include <QString>

// Category of a device: the index of its category row in every device tree
// and the value a device item keeps under TypeRole.
enum DeviceCategory : int
{
    VideocardCategory = 0,
    KeyboardCategory = 1,
    MouseCategory = 2,
    UnrecognizedCategory = 3,
};
constexpr int DeviceCategoryCount = 4;

// One device line of `loginctl seat-status`: (display name, sysfs path).
using DeviceEntry = QPair<QString, QString>;

// The devices of one seat by category. QMultiMap::insert puts a new entry
// ahead of the older ones of the same key, so values(category) yields them
// newest first: the reverse of the output order. Seat population relies on it.
using SeatDevices = QMultiMap<int, DeviceEntry>;
