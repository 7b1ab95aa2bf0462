// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "apply/attachjob.h"
#include "core/constants.h"
#include "hardware/deviceinfo.h"
#include "hardware/hotplugmonitor.h"
#include "hardware/inputwatcher.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

// Where the main window finds the system's files and its commands, which
// display manager runs, how it restarts the display manager and how long it waits for a device to
// arrive and for a command to end. The defaults are the real ones; tests hand in their own.
struct MainWindowEnvironment
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
    std::shared_ptr<HotplugSource> hotplug;                 // udev's events
    QString sysRoot = QStringLiteral("/sys");               // input devices and their lock lights
    QString devRoot = QStringLiteral("/dev");               // their event nodes
    InputWatcher::NodeCheck isEventNode = InputWatcher::isInputDevice;
    // The administrator, whose own session a restart ends too: the user who
    // called pkexec or sudo, else the real user; -1 for nobody.
    qint64 administratorUid = -1;
    // Where the layouts before the last saves and resets are kept.
    QString layoutHistoryDir;
    // The time they are kept under.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

    static MainWindowEnvironment system();
};
