// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A lock light's trigger list, as its sysfs file holds it: the trigger read
// from it, which a restore writes back, is one word of the list, the one in
// brackets, and never "none".

#include "hardware/keyboardlights.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray triggers(reinterpret_cast<const char *>(data), int(size));
    const QByteArray active = KeyboardLights::activeTrigger(triggers);
    if (active.isEmpty())
        return 0;
    if (active == "none" || active.contains('[') || active.contains(']') ||
        !triggers.simplified().split(' ').contains('[' + active + ']'))
        std::abort();
    // Blanks as the kernel separates the list with.
    for (const char c : active) {
        if (c == ' ' || (c >= '\t' && c <= '\r'))
            std::abort();
    }
    return 0;
}
