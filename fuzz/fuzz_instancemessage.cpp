// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The single-instance message, as any process of the user could send it to
// the running copy: what decodes is whole, within bounds and encodes back to
// the same bytes; what waits for more could still become a message.

#include "platform/instancemessage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    QString message;
    int used = -1;
    switch (InstanceMessage::decode(bytes, &message, &used)) {
    case InstanceMessage::Result::Complete: {
        if (used < 4 || used > bytes.size() || message.size() > InstanceMessage::MaxLength ||
            InstanceMessage::encode(message) != bytes.left(used))
            std::abort();
        // What comes in pieces is waited for until it is whole.
        QString part;
        int partUsed = -1;
        if (InstanceMessage::decode(bytes.left(used - 1), &part, &partUsed) !=
            InstanceMessage::Result::Incomplete)
            std::abort();
        break;
    }
    case InstanceMessage::Result::Incomplete:
        // Never waiting for more than the longest message.
        if (bytes.size() >= 4 + 2 * InstanceMessage::MaxLength)
            std::abort();
        break;
    case InstanceMessage::Result::Invalid:
        break;
    }
    return 0;
}
