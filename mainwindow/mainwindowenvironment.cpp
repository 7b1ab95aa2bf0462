// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow/mainwindowenvironment.h"

#include <unistd.h>

MainWindowEnvironment MainWindowEnvironment::system()
{
    MainWindowEnvironment environment;
    static_cast<ApplyEnvironment &>(environment) = ApplyEnvironment::system();
    bool known = false;
    for (const char *variable : {"PKEXEC_UID", "SUDO_UID"}) {
        const uint uid = qEnvironmentVariable(variable).toUInt(&known);
        if (known) {
            environment.administratorUid = uid;
            break;
        }
    }
    if (!known)
        environment.administratorUid = ::getuid();
    environment.hotplug = std::make_shared<HotplugMonitor>();
    return environment;
}
