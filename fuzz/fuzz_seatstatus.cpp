// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The seat-status parser and what the seat reader makes of its result: any
// bytes loginctl could print, in any order.

#include "seatstate/seatreader.h"
#include "seatstate/seatstatusparser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString output = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const SeatDevices devices = parseSeatStatus(output);
    const QList<DeviceItem> items = SeatReader::deviceItems(devices);
    // Every item is a device of one category with at least one sysfs path,
    // and no path is lost or made up by the grouping.
    int paths = 0;
    for (const DeviceItem &item : items) {
        if (item.category < 0 || item.category >= DeviceCategoryCount || item.addresses.isEmpty())
            std::abort();
        for (const QString &address : item.addresses) {
            if (!address.startsWith(QLatin1String("/sys/")))
                std::abort();
        }
        paths += item.addresses.size();
    }
    int entries = 0;
    for (auto it = devices.cbegin(); it != devices.cend(); ++it)
        entries += it.value().second.startsWith(QLatin1String("/sys/"));
    if (paths != entries)
        std::abort();
    return 0;
}
