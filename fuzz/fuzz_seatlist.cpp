// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The seat list: only valid seat names, seat0 first whenever it is there.

#include "seatstate/seatreader.h"
#include "seatstate/seatstatusparser.h"

#include <QRegularExpression>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QRegularExpression valid(QStringLiteral("^seat[A-Za-z0-9_-]+$"));
    const QString output = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const QStringList seats = SeatReader::sortedSeats(parseSeatList(output));
    for (const QString &seat : seats) {
        if (!valid.match(seat).hasMatch() || seat.size() > 255)
            std::abort();
    }
    if (seats.contains(QStringLiteral("seat0")) && seats.first() != QLatin1String("seat0"))
        std::abort();
    for (int i = 2; i < seats.size(); ++i) {
        if (seats.at(i - 1) > seats.at(i))
            std::abort();
    }
    return 0;
}
