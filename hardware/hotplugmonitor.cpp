// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hardware/hotplugmonitor.h"

#include <QSocketNotifier>

#include <libudev.h>

HotplugMonitor::HotplugMonitor(QObject *parent) : HotplugSource(parent)
{
    m_udev = udev_new();
    if (!m_udev)
        return;
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor || udev_monitor_filter_add_match_tag(m_monitor, "seat") < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0)
        return;
    // The monitor's socket is non-blocking: reading never holds the window up.
    m_notifier = new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &HotplugMonitor::receive);
}

HotplugMonitor::~HotplugMonitor()
{
    delete m_notifier;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

void HotplugMonitor::receive()
{
    while (struct udev_device *device = udev_monitor_receive_device(m_monitor)) {
        const char *action = udev_device_get_action(device);
        const char *seat = udev_device_get_property_value(device, "ID_SEAT");
        emit seatDeviceChanged(QString::fromUtf8(action ? action : ""),
                               QString::fromUtf8(udev_device_get_syspath(device)),
                               QString::fromUtf8(seat ? seat : ""));
        udev_device_unref(device);
    }
}
