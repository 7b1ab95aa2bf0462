// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A dropped device payload, as any program on the display can offer one:
// decoding must never crash or allocate what the data asks for, and what it
// accepts encodes back to the same device.

#include "seatpanel/devicepayload.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    DevicePayload payload;
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    if (!DevicePayload::decode(bytes, &payload))
        return 0;
    DevicePayload again;
    if (!DevicePayload::decode(DevicePayload::encode(payload.name, payload.addresses, payload.type),
                               &again) ||
        again.name != payload.name || again.addresses != payload.addresses ||
        again.type != payload.type)
        std::abort();
    return 0;
}
