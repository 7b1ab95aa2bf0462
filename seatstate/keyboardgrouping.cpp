// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "seatstate/keyboardgrouping.h"

#include <QHash>
#include <QRegularExpression>

QList<KeyboardGroup> groupKeyboards(const QList<DeviceEntry> &keyboards)
{
    // "/bus-port:config.interface/", one digit each but the port.
    static const QRegularExpression interfaceDir(QStringLiteral("/[0-9]-[0-9]+:[0-9].[0-9]/"));

    // The first keyboard of a USB device heads its group and takes in the
    // later ones in order. Two interface directories belong to one device
    // when they agree but for the interface number and the closing slash;
    // the colon after the port fixes the port's length, so that part is the
    // device's key, and each path is matched once.
    QList<KeyboardGroup> groups;
    QHash<QString, int> groupOf;
    const bool grouping = keyboards.size() >= 2;
    for (const DeviceEntry &keyboard : keyboards) {
        QString key;
        if (grouping) {
            const QRegularExpressionMatch match = interfaceDir.match(keyboard.second);
            if (match.hasMatch())
                key = match.captured(0).chopped(2);
        }
        const auto found = key.isEmpty() ? groupOf.constEnd() : groupOf.constFind(key);
        if (found != groupOf.constEnd()) {
            groups[found.value()].addresses.append(keyboard.second);
            continue;
        }
        if (!key.isEmpty())
            groupOf.insert(key, groups.size());
        groups.append({keyboard.first, {keyboard.second}});
    }
    return groups;
}
