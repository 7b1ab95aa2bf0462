// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "apply/attachjob.h"
#include "core/constants.h"
#include "hardware/deviceinfo.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

// Where applying a layout finds the system's files and commands, the window
// and the command line alike: the display manager and its configuration, the
// main video card's traces, the layouts kept before each change, the lock
// between them, how the display manager is restarted and how long a device
// may take to arrive. The defaults of system() are the real ones; tests hand
// in their own.
struct ApplyEnvironment
{
    QString displayManagerLogDir;  // the display manager's X server logs
    QString drmClassDir;           // the kernel's DRM class directory
    QString displayManagerConfig;  // the display manager's configuration file
    QString displayManagerLink;    // the unit display-manager.service links to
    QString defaultDisplayManager; // the file that names the display manager's program
    // Queues the restart of the unit; false with systemctl's words in *error.
    std::function<bool(const QString &service, QString *error)> restartService;
    QList<int> attachRetryDelaysMs = AttachJob::DefaultRetryDelaysMs;
    QString udevadmProgram = QStringLiteral("udevadm");
    int commandTimeLimitMs = Constants::CommandTimeLimitMs; // loginctl and udevadm
    std::shared_ptr<const DeviceInfoSource> deviceInfo;     // udev's details
    // Where the layouts before the last saves and resets are kept.
    QString layoutHistoryDir;
    // The time they are kept under.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
    // The lock the window and the command line share; empty: none.
    QString applyLockPath;

    static ApplyEnvironment system();
};
