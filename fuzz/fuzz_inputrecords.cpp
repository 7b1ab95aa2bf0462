// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the input watcher makes of the reads of an event node: the input is
// cut into reads (a length byte, then that many bytes). Only reads of whole
// records count, a press is never told as a movement, and the same reads
// again tell the same.

#include "hardware/inputwatcher.h"

#include <QList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <linux/input.h>

namespace {

using Activity = InputWatcher::Activity;

bool fold(const QList<QByteArray> &reads, Activity *activity)
{
    bool seen = false;
    for (const QByteArray &read : reads)
        InputWatcher::addRecords(read.constData(), read.size(), &seen, activity);
    return seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QList<QByteArray> reads;
    size_t at = 0;
    while (at < size) {
        // Lengths in records' steps now and then, so that whole reads come often.
        const size_t length =
            data[at] & 0x80 ? size_t(data[at] & 0x07) * sizeof(input_event) : size_t(data[at]);
        ++at;
        const size_t taken = std::min(length, size - at);
        reads.append(QByteArray(reinterpret_cast<const char *>(data + at), int(taken)));
        at += taken;
    }

    Activity activity = Activity::KeyPressed;
    const bool seen = fold(reads, &activity);
    bool whole = false;
    bool pressed = false;
    for (const QByteArray &read : reads) {
        if (read.isEmpty() || read.size() % int(sizeof(input_event)) != 0)
            continue;
        whole = true;
        for (int offset = 0; offset < read.size(); offset += int(sizeof(input_event))) {
            input_event event;
            std::memcpy(&event, read.constData() + offset, sizeof event);
            pressed =
                pressed || (event.type == EV_KEY && event.value == 1 && event.code <= KEY_MAX);
        }
    }
    if ((seen && !whole) || (pressed && (!seen || activity == Activity::Moved)))
        std::abort();
    Activity again = Activity::KeyPressed;
    if (fold(reads, &again) != seen || (seen && again != activity))
        std::abort();
    return 0;
}
