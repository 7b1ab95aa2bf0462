#pragma once

#include "hardware/deviceinfo.h"

struct udev;

// DeviceInfoSource through libudev: the udev database of the running udevd,
// and sysfs where the database has nothing.
class UdevDeviceInfo : public DeviceInfoSource
{
public:
    UdevDeviceInfo();
    ~UdevDeviceInfo() override;
    UdevDeviceInfo(const UdevDeviceInfo &) = delete;
    UdevDeviceInfo &operator=(const UdevDeviceInfo &) = delete;

    DeviceDetails details(const QString &syspath) const override;
    QList<SeatTaggedDevice> seatDevices() const override;

private:
    struct udev *m_udev;
};
