// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "seatstate/seatstatus.h"

#include <QString>
#include <QStringList>

// Turns the text printed by `loginctl list-seats --no-legend` into seat
// identifiers, in output order: every line that holds a valid logind seat
// name ("seat" and letters, digits, "-" or "_"), blanks around it trimmed.
QStringList parseSeatList(const QString &output);

// Whether every line of a list-seats output that holds anything is a seat
// name: anything else there is no list of seats.
bool isSeatList(const QString &output);

// Whether output can be the answer to `loginctl seat-status SEAT`: the
// seat's name on the first line and a "Devices:" heading, or nothing at all
// (loginctl then said why on standard error).
bool isSeatStatusOf(const QString &output, const QString &seat);

// Turns the text printed by `loginctl seat-status SEAT` into the seat's
// devices by category. The classification is textual: a description line is a
// video card, keyboard, mouse or other device by the words it holds, and takes
// its path from the line before it.
SeatDevices parseSeatStatus(const QString &output);
