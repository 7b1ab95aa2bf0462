// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMetaType>

// What a device tree has to discount in its state refresh: a device of that
// tree that has just been dropped on another tree but whose item is still in
// place, because the source deletes it only after its drag has ended.
enum DropState : int
{
    NoDrop = 0,
    VideocardDropped = 1,
    OtherDeviceDropped = 2,
};

Q_DECLARE_METATYPE(DropState)
