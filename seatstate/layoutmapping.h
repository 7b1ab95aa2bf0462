// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "seatstate/layoutfile.h"
#include "seatstate/seatreader.h"

#include <QStringList>

// A layout file laid onto this machine's devices, matched by key: what was
// read here, with every device the file names moved to the file's seat.
// Devices it does not name go to the main seat.
class LayoutMapping
{
public:
    struct Result
    {
        SeatLayout layout;
        // "Dell KB216 Wired Keyboard (input-pci-…)": named by the file, not here.
        QStringList missing;
        // "PixArt USB Optical Mouse (seat1)": on a further seat here, not named
        // by the file, so back on the main seat.
        QStringList leftOnMain;
        // The file's seats none of whose video cards is here: not created,
        // their devices stay on the main seat.
        QStringList seatsWithoutCard;
    };

    static Result apply(const SeatLayout &machine, const LayoutFile &file);
};
