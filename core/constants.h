// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Identity of the program and the strings shared by the whole process. Each
// value is defined once here; every other place refers to these names.
namespace Constants {

// Build-time identity.
extern const char *const Version;     // "1.0.9b1", first argument of zelInit
extern const char *const DisplayName; // "Zel admin multiseat", also the window title
extern const char *const IconName;    // theme icon of the application window

// Settings keys (see AppSettings for the whole table).
extern const QString EmptySeatsAllowedKey;  // "emptyseatsallowed"
extern const QString ShowUnknownDevicesKey; // "showunknowndevices"
extern const QString GeometryKey;           // "geometry"
extern const QString UserNamesGroup;        // "usernames"

// The display manager's systemd service, restarted after a save.
extern const QString DisplayManagerService; // "zel-dm"

// MIME type of a device dragged between device trees.
extern const QString DeviceMimeType; // "application/x-qabstractitemmodeldatalist"

// How long a loginctl or udevadm command may run before it is killed:
// loginctl gives up on D-Bus after 25 s, and udevd settles a change event in
// well under a second unless it is stuck.
extern const int CommandTimeLimitMs; // 30000
// How much a loginctl or udevadm command may print before it is killed: far
// more than the status of any real machine, which is a few kilobytes.
extern const qint64 CommandOutputLimitBytes; // 16 MiB

// The key that renames the seat whose devices have the keyboard focus (a
// Qt::Key), told in the rename buttons' tool tips.
extern const int RenameSeatKey; // Qt::Key_F2

// Message the second copy sends to the running one.
extern const QString RaiseMessage; // "raise"

} // namespace Constants
