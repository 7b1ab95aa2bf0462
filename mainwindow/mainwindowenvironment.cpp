// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow/mainwindowenvironment.h"

#include "apply/displaymanager.h"
#include "apply/dmconfig.h"
#include "apply/layouthistory.h"
#include "apply/videocarddetector.h"
#include "hardware/udevdeviceinfo.h"
#include "platform/systemdservice.h"

#include <unistd.h>

MainWindowEnvironment MainWindowEnvironment::system()
{
    MainWindowEnvironment environment;
    environment.displayManagerLogDir = VideocardDetector::LogDir;
    environment.drmClassDir = VideocardDetector::DrmDir;
    environment.displayManagerConfig = DmConfig::ConfigPath;
    environment.displayManagerLink = DisplayManager::UnitLink;
    environment.defaultDisplayManager = DisplayManager::DefaultFile;
    environment.layoutHistoryDir = LayoutHistory::Dir;
    environment.restartService = [](const QString &service, QString *error) {
        ZelAdmin::SystemdService unit(service);
        const bool queued = unit.restart();
        if (!queued && error)
            *error = unit.errorString();
        return queued;
    };
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
    environment.deviceInfo = std::make_shared<UdevDeviceInfo>();
    environment.hotplug = std::make_shared<HotplugMonitor>();
    return environment;
}
