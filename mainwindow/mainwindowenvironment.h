// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "apply/applyenvironment.h"
#include "hardware/hotplugmonitor.h"
#include "hardware/inputwatcher.h"

#include <QString>
#include <memory>

// What the main window needs of the system beyond what a save needs: udev's
// events, the input devices and their lock lights, and who the administrator
// is. The defaults are the real ones; tests hand in their own.
struct MainWindowEnvironment : ApplyEnvironment
{
    std::shared_ptr<HotplugSource> hotplug;   // udev's events
    QString sysRoot = QStringLiteral("/sys"); // input devices and their lock lights
    QString devRoot = QStringLiteral("/dev"); // their event nodes
    InputWatcher::NodeCheck isEventNode = InputWatcher::isInputDevice;
    // The administrator, whose own session a restart ends too: the user who
    // called pkexec or sudo, else the real user; -1 for nobody.
    qint64 administratorUid = -1;

    static MainWindowEnvironment system();
};
