// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Prints what the tool learns from libudev: with --tagged every device udev
// tags for seats, then a line of details for each sysfs path given. Run
// inside scripts/sample-sandbox --udev, where udev knows the sample machine.

#include "hardware/udevdeviceinfo.h"

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    const UdevDeviceInfo info;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--tagged") == 0) {
        for (const SeatTaggedDevice &d : info.seatDevices())
            std::printf("tagged %s seat=%s master=%d\n", qPrintable(d.syspath), qPrintable(d.seat),
                        d.master);
        first = 2;
    }
    for (int i = first; i < argc; ++i) {
        const DeviceDetails d = info.details(QString::fromLocal8Bit(argv[i]));
        std::printf("%s forseat=%s keyboard=%d mouse=%d seat=%s name=%s product=%s|%s\n", argv[i],
                    qPrintable(d.forSeat), d.keyboard, d.mouse, qPrintable(d.seat),
                    qPrintable(d.name), qPrintable(d.vendor), qPrintable(d.model));
    }
    return 0;
}
