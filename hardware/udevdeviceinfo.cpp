// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hardware/udevdeviceinfo.h"

#include <QFile>

#include <algorithm>
#include <libudev.h>

namespace {

QString text(const char *value)
{
    return value ? QString::fromUtf8(value) : QString();
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

namespace {

UdevNode nodeOf(struct udev_device *device)
{
    UdevNode node;
    node.syspath = text(udev_device_get_syspath(device));
    node.subsystem = text(udev_device_get_subsystem(device));
    node.devtype = text(udev_device_get_devtype(device));
    node.driver = text(udev_device_get_driver(device));
    struct udev_list_entry *entry = nullptr;
    udev_list_entry_foreach(entry, udev_device_get_properties_list_entry(device))
    {
        node.properties.insert(text(udev_list_entry_get_name(entry)),
                               text(udev_list_entry_get_value(entry)));
    }
    node.nameAttribute = text(udev_device_get_sysattr_value(device, "name")).trimmed();
    return node;
}

// udev's "\x20"-escaped form of a name (ID_MODEL_ENC), decoded; ID_MODEL
// itself has its blanks replaced by underscores.
QString decodedName(const QString &encoded)
{
    QByteArray out;
    const QByteArray in = encoded.toUtf8();
    for (int i = 0; i < in.size(); ++i) {
        bool ok = false;
        if (in.at(i) == '\\' && i + 3 < in.size() && in.at(i + 1) == 'x') {
            const int code = in.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out += char(code);
                i += 3;
                continue;
            }
        }
        out += in.at(i);
    }
    return QString::fromUtf8(out).simplified();
}

} // namespace

DeviceDetails UdevDeviceInfo::detailsOf(const QList<UdevNode> &chain)
{
    DeviceDetails details;
    if (chain.isEmpty())
        return details;
    details.known = true;
    details.syspath = chain.first().syspath;
    details.subsystem = chain.first().subsystem;

    QList<UdevNode> own;
    for (const UdevNode &node : chain) {
        if (node.subsystem == QLatin1String("bluetooth"))
            break;
        own.append(node);
        if (node.devtype == QLatin1String("usb_device") || node.subsystem == QLatin1String("pci"))
            break;
    }
    auto first = [&own](const char *key) {
        for (const UdevNode &node : own) {
            const QString value = node.properties.value(QLatin1String(key)).trimmed();
            if (!value.isEmpty())
                return value;
        }
        return QString();
    };
    details.vendor = first("ID_VENDOR_FROM_DATABASE");
    details.model = first("ID_MODEL_FROM_DATABASE");
    if (details.vendor.isEmpty() && details.model.isEmpty()) {
        const QString vendor = first("ID_VENDOR_ENC");
        const QString model = first("ID_MODEL_ENC");
        details.vendor = vendor.isEmpty() ? first("ID_VENDOR") : decodedName(vendor);
        details.model = model.isEmpty() ? first("ID_MODEL") : decodedName(model);
    }
    for (const UdevNode &node : own) {
        if (!node.nameAttribute.isEmpty()) {
            details.name = node.nameAttribute;
            break;
        }
    }
    // The port and the driver belong to where the device is plugged in.
    for (const UdevNode &node : chain) {
        if (details.physicalPath.isEmpty())
            details.physicalPath = node.properties.value(QStringLiteral("ID_PATH"));
        if (details.driver.isEmpty())
            details.driver = node.driver;
    }
    const QHash<QString, QString> &self = chain.first().properties;
    details.seat = self.value(QStringLiteral("ID_SEAT"));
    details.forSeat = self.value(QStringLiteral("ID_FOR_SEAT"));
    details.keyboard = self.value(QStringLiteral("ID_INPUT_KEYBOARD")) == QLatin1String("1");
    details.mouse = self.value(QStringLiteral("ID_INPUT_MOUSE")) == QLatin1String("1") ||
                    self.value(QStringLiteral("ID_INPUT_TOUCHPAD")) == QLatin1String("1");
    return details;
}

DeviceDetails UdevDeviceInfo::details(const QString &syspath) const
{
    if (!m_udev) {
        DeviceDetails unknown;
        unknown.syspath = syspath;
        return unknown;
    }
    struct udev_device *device =
        udev_device_new_from_syspath(m_udev, QFile::encodeName(syspath).constData());
    if (!device) {
        DeviceDetails unknown;
        unknown.syspath = syspath;
        return unknown;
    }
    QList<UdevNode> chain;
    for (struct udev_device *d = device; d; d = udev_device_get_parent(d))
        chain.append(nodeOf(d));
    udev_device_unref(device);
    DeviceDetails details = detailsOf(chain);
    details.syspath = syspath;
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
