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

    // Decodes a dropped payload through a temporary QStandardItemModel. Fails
    // unless the data holds exactly one record at row 0, column 0 (the decoder
    // of the item model trusts the row and column numbers it reads, so a
    // foreign payload must not reach it unchecked) and the record is a device:
    // a category 0..3 and at least one address.
    static bool decode(const QMimeData *mimeData, DevicePayload *payload);
};
