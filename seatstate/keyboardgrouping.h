// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "seatstate/seatstatus.h"

#include <QList>
#include <QString>
#include <QStringList>

// One keyboard item of a device tree: the interfaces of one USB keyboard
// (main keys, multimedia keys, ...) move together as one device.
struct KeyboardGroup
{
    QString name;          // the name of the entry that heads the group
    QStringList addresses; // its path, then the paths of the members it took in
};

// Groups keyboard entries (newest first, as the parsed status gives them)
// whose paths share the first USB interface directory up to its interface
// number: same bus, port and configuration. Keyboards behind hubs, on buses
// from 10 on or off USB never match and stay alone.
QList<KeyboardGroup> groupKeyboards(const QList<DeviceEntry> &keyboards);
