#include "mainwindow/mainwindowenvironment.h"

#include "apply/dmconfig.h"
#include "apply/videocarddetector.h"
#include "hardware/udevdeviceinfo.h"
#include "platform/systemdservice.h"

MainWindowEnvironment MainWindowEnvironment::system()
{
    MainWindowEnvironment environment;
    environment.displayManagerLogDir = VideocardDetector::LogDir;
    environment.drmClassDir = VideocardDetector::DrmDir;
    environment.displayManagerConfig = DmConfig::ConfigPath;
    environment.restartService = [](const QString &service) {
        return ZelAdmin::SystemdService(service).restart();
    };
    environment.deviceInfo = std::make_shared<UdevDeviceInfo>();
    environment.hotplug = std::make_shared<HotplugMonitor>();
    return environment;
}
