#include "hardware/udevdeviceinfo.h"

#include <QFile>

#include <algorithm>
#include <libudev.h>

namespace {

QString text(const char *value)
{
    return value ? QString::fromUtf8(value) : QString();
}

// A property of the device, or of the nearest parent that has it.
QString inherited(struct udev_device *device, const char *key)
{
    for (struct udev_device *d = device; d; d = udev_device_get_parent(d)) {
        const char *value = udev_device_get_property_value(d, key);
        if (value && *value)
            return QString::fromUtf8(value);
    }
    return QString();
}

bool flag(struct udev_device *device, const char *key)
{
    const char *value = udev_device_get_property_value(device, key);
    return value && qstrcmp(value, "1") == 0;
}

bool hasTag(struct udev_device *device, const char *tag)
{
    struct udev_list_entry *entry = nullptr;
    udev_list_entry_foreach(entry, udev_device_get_tags_list_entry(device))
    {
        if (qstrcmp(udev_list_entry_get_name(entry), tag) == 0)
            return true;
    }
    return false;
}

} // namespace

UdevDeviceInfo::UdevDeviceInfo() : m_udev(udev_new()) {}

UdevDeviceInfo::~UdevDeviceInfo()
{
    if (m_udev)
        udev_unref(m_udev);
}

DeviceDetails UdevDeviceInfo::details(const QString &syspath) const
{
    DeviceDetails details;
    details.syspath = syspath;
    if (!m_udev)
        return details;
    struct udev_device *device =
        udev_device_new_from_syspath(m_udev, QFile::encodeName(syspath).constData());
    if (!device)
        return details;
    details.known = true;
    details.subsystem = text(udev_device_get_subsystem(device));
    details.vendor = inherited(device, "ID_VENDOR_FROM_DATABASE");
    if (details.vendor.isEmpty())
        details.vendor = inherited(device, "ID_VENDOR");
    details.model = inherited(device, "ID_MODEL_FROM_DATABASE");
    if (details.model.isEmpty())
        details.model = inherited(device, "ID_MODEL");
    details.physicalPath = inherited(device, "ID_PATH");
    for (struct udev_device *d = device; d && details.driver.isEmpty();
         d = udev_device_get_parent(d))
        details.driver = text(udev_device_get_driver(d));
    details.seat = text(udev_device_get_property_value(device, "ID_SEAT"));
    details.keyboard = flag(device, "ID_INPUT_KEYBOARD");
    details.mouse = flag(device, "ID_INPUT_MOUSE") || flag(device, "ID_INPUT_TOUCHPAD");
    udev_device_unref(device);
    return details;
}

QList<SeatTaggedDevice> UdevDeviceInfo::seatDevices() const
{
    QList<SeatTaggedDevice> devices;
    if (!m_udev)
        return devices;
    struct udev_enumerate *enumerate = udev_enumerate_new(m_udev);
    udev_enumerate_add_match_tag(enumerate, "seat");
    udev_enumerate_scan_devices(enumerate);
    struct udev_list_entry *entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
    {
        struct udev_device *device =
            udev_device_new_from_syspath(m_udev, udev_list_entry_get_name(entry));
        if (!device)
            continue;
        SeatTaggedDevice tagged;
        tagged.syspath = text(udev_device_get_syspath(device));
        tagged.subsystem = text(udev_device_get_subsystem(device));
        tagged.sysname = text(udev_device_get_sysname(device));
        // What loginctl prints after a device: its name, else its id.
        const char *name = udev_device_get_sysattr_value(device, "name");
        if (!name)
            name = udev_device_get_sysattr_value(device, "id");
        tagged.name = text(name);
        tagged.seat = text(udev_device_get_property_value(device, "ID_SEAT"));
        tagged.master = hasTag(device, "master-of-seat");
        devices.append(tagged);
        udev_device_unref(device);
    }
    udev_enumerate_unref(enumerate);
    std::sort(
        devices.begin(), devices.end(),
        [](const SeatTaggedDevice &a, const SeatTaggedDevice &b) { return a.syspath < b.syspath; });
    return devices;
}
