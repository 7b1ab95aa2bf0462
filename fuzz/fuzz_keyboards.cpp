// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Keyboard grouping: one keyboard path per input line; every path ends up in
// exactly one group, in the order given, each group headed by its first.

#include "seatstate/keyboardgrouping.h"

#include <QSet>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines =
        QString::fromUtf8(reinterpret_cast<const char *>(data), int(size)).split(QLatin1Char('\n'));
    QList<DeviceEntry> keyboards;
    for (int i = 0; i < lines.size(); ++i)
        keyboards.append({QStringLiteral("keyboard %1").arg(i), lines.at(i)});
    const QList<KeyboardGroup> groups = groupKeyboards(keyboards);

    QList<int> order;
    for (const KeyboardGroup &group : groups) {
        const int head = group.name.mid(9).toInt();
        if (group.addresses.isEmpty() || group.addresses.first() != lines.at(head))
            std::abort();
        order.append(head);
    }
    int total = 0;
    for (const KeyboardGroup &group : groups)
        total += group.addresses.size();
    if (total != keyboards.size())
        std::abort();
    for (int i = 1; i < order.size(); ++i) {
        if (order.at(i - 1) >= order.at(i))
            std::abort();
    }
    return 0;
}
