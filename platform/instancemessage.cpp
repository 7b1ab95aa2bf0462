// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/instancemessage.h"

namespace {

constexpr quint32 NullString = 0xffffffffu;
constexpr int HeaderSize = 4;

} // namespace

QByteArray InstanceMessage::encode(const QString &message)
{
    const quint32 bytes = message.isNull() ? NullString : quint32(message.size()) * 2;
    QByteArray data;
    for (int shift = 24; shift >= 0; shift -= 8)
        data.append(char((bytes >> shift) & 0xff));
    for (const QChar c : message) {
        data.append(char(c.unicode() >> 8));
        data.append(char(c.unicode() & 0xff));
    }
    return data;
}

InstanceMessage::Result InstanceMessage::decode(const QByteArray &data, QString *message, int *used)
{
    if (data.size() < HeaderSize)
        return Result::Incomplete;
    quint32 bytes = 0;
    for (int i = 0; i < HeaderSize; ++i)
        bytes = bytes << 8 | uchar(data.at(i));
    if (bytes == NullString) {
        *message = QString();
        *used = HeaderSize;
        return Result::Complete;
    }
    if (bytes % 2 != 0 || bytes > quint32(MaxLength) * 2)
        return Result::Invalid;
    if (data.size() - HeaderSize < int(bytes))
        return Result::Incomplete;
    QString text(int(bytes / 2), Qt::Uninitialized);
    for (int i = 0; i < text.size(); ++i) {
        const int at = HeaderSize + 2 * i;
        text[i] = QChar(ushort(uchar(data.at(at)) << 8 | uchar(data.at(at + 1))));
    }
    *message = bytes == 0 ? QString(QLatin1String("")) : text;
    *used = HeaderSize + int(bytes);
    return Result::Complete;
}
