// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "seatstate/layoutmapping.h"

#include <QHash>
#include <QPair>
#include <QSet>

#include <algorithm>

LayoutMapping::Result LayoutMapping::apply(const SeatLayout &machine, const LayoutFile &file)
{
    Result result;
    result.layout = machine;
    if (machine.seats.isEmpty())
        return result;
    const QString mainId = machine.seats.first().seatId;

    using Where = QPair<int, int>; // (seat, item) in machine
    QHash<QString, Where> byKey;
    for (int s = 0; s < machine.seats.size(); ++s) {
        const QList<DeviceItem> &items = machine.seats.at(s).devices;
        for (int i = 0; i < items.size(); ++i) {
            for (const QString &address : items.at(i).addresses)
                byKey.insert(machine.keyOf(address), {s, i});
        }
    }

    QSet<Where> claimed;
    QList<SeatContent> further;
    for (const LayoutFile::Seat &seat : file.seats) {
        SeatContent content;
        content.seatId = seat.id;
        content.displayName = seat.name;
        content.read = true;
        QList<Where> taken;
        for (const LayoutFile::Device &device : seat.devices) {
            bool found = false;
            for (const QString &key : device.keys) {
                const auto it = byKey.constFind(key);
                if (it == byKey.constEnd())
                    continue;
                found = true;
                if (!claimed.contains(*it) && !taken.contains(*it))
                    taken.append(*it);
            }
            if (!found)
                result.missing.append(
                    QStringLiteral("%1 (%2)").arg(device.name, device.keys.first()));
        }
        for (const Where &where : qAsConst(taken))
            content.devices.append(machine.seats.at(where.first).devices.at(where.second));
        if (seat.id == mainId || content.count(VideocardCategory) == 0) {
            result.seatsWithoutCard.append(seat.id);
            continue;
        }
        for (const Where &where : qAsConst(taken))
            claimed.insert(where);
        // Trees show their categories in a fixed order.
        std::stable_sort(
            content.devices.begin(), content.devices.end(),
            [](const DeviceItem &a, const DeviceItem &b) { return a.category < b.category; });
        further.append(content);
    }

    SeatContent main = machine.seats.first();
    main.devices.clear();
    main.sessions.clear();
    for (int s = 0; s < machine.seats.size(); ++s) {
        const SeatContent &seat = machine.seats.at(s);
        for (int i = 0; i < seat.devices.size(); ++i) {
            if (claimed.contains({s, i}))
                continue;
            main.devices.append(seat.devices.at(i));
            if (s > 0)
                result.leftOnMain.append(
                    QStringLiteral("%1 (%2)").arg(seat.devices.at(i).name, seat.seatId));
        }
    }
    std::stable_sort(
        main.devices.begin(), main.devices.end(),
        [](const DeviceItem &a, const DeviceItem &b) { return a.category < b.category; });
    main.sessions = machine.seats.first().sessions;
    std::sort(further.begin(), further.end(),
              [](const SeatContent &a, const SeatContent &b) { return a.seatId < b.seatId; });
    result.layout.seats = QList<SeatContent>{main} + further;
    // Who was on a seat belongs to the seat that is there now.
    for (SeatContent &content : result.layout.seats) {
        for (const SeatContent &before : machine.seats) {
            if (before.seatId == content.seatId) {
                content.sessions = before.sessions;
                content.sessionIds = before.sessionIds;
                if (content.displayName.isEmpty())
                    content.displayName = before.displayName;
            }
        }
    }
    return result;
}
