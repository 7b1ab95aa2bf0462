// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "machine.h"

#include <string>

// The described machine as libudev reads it: a sysfs tree and udev's
// database, for the sample sandbox (scripts/sample-sandbox --udev). Device
// ids are "+SUBSYSTEM:SYSNAME": the tree gives no device a device number.
namespace UdevTree {

// Below sysDir (the sandbox's /sys): devices/... with a folder per device
// holding uevent, a subsystem link and, where the description names one, the
// name attribute; class/SUBSYSTEM/SYSNAME, or bus/SUBSYSTEM/devices/SYSNAME
// for buses, linking to it. Every path must lie below /sys/devices.
bool writeSysfs(const Machine &m, const std::string &sysDir, std::string &error);

// Below udevDir (the sandbox's /run/udev): data/+SUBSYSTEM:SYSNAME of every
// device, each replaced atomically and only when its text changes, so that
// it can follow every change of the description; with tags also the
// tags/seat and tags/master-of-seat entries by which udev enumerates.
bool writeDatabase(const Machine &m, const std::string &udevDir, bool withTags, std::string &error);

} // namespace UdevTree
