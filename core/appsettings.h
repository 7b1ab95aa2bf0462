// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The persistent settings of the program, the one place that knows the keys.
//
// | key                  | group       | value                       | default |
// |----------------------|-------------|-----------------------------|---------|
// | "geometry"           | none        | QWidget::saveGeometry bytes | none    |
// | "emptyseatsallowed"  | none        | bool                        | false   |
// | "showunknowndevices" | none        | bool                        | false   |
// | seat identifier      | "usernames" | display name of the seat    | the id  |
//
// Every call opens a fresh QSettings with the application's default location
// and drops it at once, so no settings object outlives one read or write.
// Names under "usernames" are never removed, not even when a seat goes away.
class AppSettings
{
public:
    static QByteArray geometry();
    static void setGeometry(const QByteArray &geometry);

    static bool emptySeatsAllowed();
    static void setEmptySeatsAllowed(bool allowed);

    static bool showUnknownDevices();
    static void setShowUnknownDevices(bool show);

    // Display names the administrator gave to seats, keyed by seat identifier.
    static QStringList namedSeats();
    static QString seatDisplayName(const QString &seatId); // the id when none is stored
    static void setSeatDisplayName(const QString &seatId, const QString &name);
};
