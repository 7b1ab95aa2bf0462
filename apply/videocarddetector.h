// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace VideocardDetector {
// Where the display manager writes its X server logs and where the kernel
// lists its DRM devices.
extern const QString LogDir; // "/var/log/zel-dm/"
extern const QString DrmDir; // "/sys/class/drm/"
} // namespace VideocardDetector

// Finds the DRM card (for example "card0") on which the display manager runs
// its X server: the newest log names the primary PCI device, and the card whose
// sysfs link leads to that device is the one. When the log names none, the
// card whose PCI device has boot_vga 1, the one the firmware started on.
// Empty when it cannot be told.
QString detectMainVideocard(const QString &logDir = VideocardDetector::LogDir,
                            const QString &drmDir = VideocardDetector::DrmDir);
