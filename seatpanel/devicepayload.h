// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

class QMimeData;

// The content a dragged device carries: its display name, its address list
// and its category, read from and written to the item-model data-list format
// that Qt's item views use, so that any item model can decode it.
class DevicePayload
{
public:
    QVariant name;
    QVariant addresses;
    QVariant type;

    // One record: row 0, column 0 and the role map {0: name, 256: addresses,
    // 257: type}.
    static QByteArray encode(const QVariant &name, const QVariant &addresses, const QVariant &type);
    // A new MIME data object holding encode() under the device MIME type; the
    // caller owns it.
    static QMimeData *createMimeData(const QVariant &name, const QVariant &addresses,
                                     const QVariant &type);

    // Decodes a dropped payload. Any program on the display can offer one, so
    // it is read by hand, never through Qt's generic decoder (which makes
    // whatever types the data names, in whatever sizes): exactly one record,
    // row 0, column 0, the three roles in the order encode() writes them, an
    // int, a string list and a string of sane lengths, and nothing after
    // them; then a category 0..3 and at least one address. Anything else is
    // refused before any memory it asks for is taken.
    static bool decode(const QMimeData *mimeData, DevicePayload *payload);
    static bool decode(const QByteArray &data, DevicePayload *payload);

    static constexpr int MaxAddresses = 64;    // a device bundles a few paths
    static constexpr int MaxTextLength = 4096; // characters, as sysfs allows in a path
};
