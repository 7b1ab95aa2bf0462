// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "seatstate/layoutdiff.h"

#include <algorithm>

LayoutDiff LayoutDiff::between(const SeatLayout &before, const SeatLayout &after)
{
    LayoutDiff diff;
    for (const SeatContent &seat : after.seats) {
        for (const DeviceItem &item : seat.devices) {
            QString from;
            bool misplaced = false;
            for (const QString &address : item.addresses) {
                if (before.orphans.contains(address) || before.strays.contains(address))
                    misplaced = true;
                else if (from.isEmpty())
                    from = before.seatOf(address);
            }
            if (from.isEmpty())
                from = QStringLiteral("?");
            if (from == seat.seatId && !misplaced)
                continue;
            diff.moves.append({after.keyOf(item.addresses.value(0)), from, seat.seatId, item.name});
        }
        if (seat.displayName.isEmpty())
            continue;
        QString old = seat.seatId;
        for (const SeatContent &was : before.seats) {
            if (was.seatId == seat.seatId && !was.displayName.isEmpty())
                old = was.displayName;
        }
        if (old != seat.displayName)
            diff.renames.append({seat.seatId, old, seat.displayName});
    }
    std::sort(diff.moves.begin(), diff.moves.end(),
              [](const Move &a, const Move &b) { return a.key < b.key; });
    std::sort(diff.renames.begin(), diff.renames.end(),
              [](const Rename &a, const Rename &b) { return a.seatId < b.seatId; });
    return diff;
}

bool LayoutDiff::isControl(QChar c)
{
    // C0, DEL and C1 (CSI among them), line and paragraph separators, and
    // the invisible format characters that reorder text.
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

QString LayoutDiff::quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\') + QString(c);
        else if (isControl(c))
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

QStringList LayoutDiff::lines() const
{
    QStringList lines;
    for (const Move &move : moves)
        lines << QStringLiteral("%1  %2 -> %3  %4")
                     .arg(move.key, move.from, move.to, quoted(move.name));
    for (const Rename &rename : renames)
        lines << QStringLiteral("%1  name %2 -> %3")
                     .arg(rename.seatId, quoted(rename.from), quoted(rename.to));
    return lines;
}
