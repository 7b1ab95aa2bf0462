// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/applyenvironment.h"

#include "apply/displaymanager.h"
#include "apply/dmconfig.h"
#include "apply/layouthistory.h"
#include "apply/systemdservice.h"
#include "apply/videocarddetector.h"
#include "core/applylock.h"
#include "hardware/udevdeviceinfo.h"

ApplyEnvironment ApplyEnvironment::system()
{
    ApplyEnvironment environment;
    environment.displayManagerLogDir = VideocardDetector::LogDir;
    environment.drmClassDir = VideocardDetector::DrmDir;
    environment.displayManagerConfig = DmConfig::ConfigPath;
    environment.displayManagerLink = DisplayManager::UnitLink;
    environment.defaultDisplayManager = DisplayManager::DefaultFile;
    environment.layoutHistoryDir = LayoutHistory::Dir;
    environment.applyLockPath = ApplyLock::DefaultPath;
    environment.restartService = [](const QString &service, QString *error) {
        ZelAdmin::SystemdService unit(service);
        const bool queued = unit.restart();
        if (!queued && error)
            *error = unit.errorString();
        return queued;
    };
    environment.deviceInfo = std::make_shared<UdevDeviceInfo>();
    return environment;
}
