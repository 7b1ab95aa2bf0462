// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "seatstate/seatreader.h"

#include <QList>
#include <QString>
#include <QStringList>

// What laying out a machine anew changes: the devices that go to another
// seat and the seats that get another display name. Empty when the layout
// is already the machine's, which is what makes applying a file twice safe.
class LayoutDiff
{
public:
    struct Move
    {
        QString key;  // the device's key (ID_FOR_SEAT, else its sysfs path)
        QString from; // "?" for a device logind keeps where no seat shows it
        QString to;
        QString name;
    };
    struct Rename
    {
        QString seatId;
        QString from;
        QString to;
    };

    QList<Move> moves;     // sorted by key
    QList<Rename> renames; // sorted by seat

    bool isEmpty() const { return moves.isEmpty() && renames.isEmpty(); }

    // From the layout read to the layout wanted: every device item whose seat
    // differs, or that was read away from where it is shown (an orphan, a
    // card's stray companion); every seat of after with a display name that
    // before did not give it.
    static LayoutDiff between(const SeatLayout &before, const SeatLayout &after);

    // One line per change, in a form that stays the same for the same change:
    //   input-pci-0000_00_14_0-usb-0_3_1_0  seat0 -> seat1  "Dell KB216 Wired Keyboard"
    //   seat1  name "seat1" -> "Front desk"
    // Control characters in names are written as \xNN, quotes and
    // backslashes escaped, so that no device name can forge a line.
    QStringList lines() const;

    static QString quoted(const QString &text);
    // What quoted() writes as \xNN: characters that could move the cursor,
    // start an escape sequence, break a line or reorder what is shown.
    static bool isControl(QChar c);
};
