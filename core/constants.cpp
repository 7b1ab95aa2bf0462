// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/constants.h"

#include <QtCore/qnamespace.h>

namespace Constants {

const char *const Version = "1.0.9b1";
// The window's title too: one translation for both.
const char *const DisplayName = QT_TRANSLATE_NOOP("Form", "Zel admin multiseat");
const char *const IconName = "zel-admin-multiseat";

const QString EmptySeatsAllowedKey = QStringLiteral("emptyseatsallowed");
const QString ShowUnknownDevicesKey = QStringLiteral("showunknowndevices");
const QString GeometryKey = QStringLiteral("geometry");
const QString UserNamesGroup = QStringLiteral("usernames");

const QString DisplayManagerService = QStringLiteral("zel-dm");

const QString DeviceMimeType = QStringLiteral("application/x-qabstractitemmodeldatalist");

const int CommandTimeLimitMs = 30000;
const qint64 CommandOutputLimitBytes = 16 * 1024 * 1024;

const int RenameSeatKey = Qt::Key_F2;
const QString RaiseMessage = QStringLiteral("raise");

} // namespace Constants
