// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// udev-tree MACHINE SYSDIR UDEVDIR: writes the described machine's sysfs
// tree below SYSDIR and udev's database below UDEVDIR, so that libudev sees
// the machine when SYSDIR is /sys and UDEVDIR /run/udev (which only
// scripts/sample-sandbox --udev makes them, in its own mount namespace).

#include "machine.h"
#include "udevtree.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fputs("usage: udev-tree MACHINE SYSDIR UDEVDIR\n", stderr);
        return 2;
    }
    Machine m;
    std::string error;
    if (m.load(argv[1], error) != Machine::Loaded || !UdevTree::writeSysfs(m, argv[2], error) ||
        !UdevTree::writeDatabase(m, argv[3], true, error)) {
        std::fprintf(stderr, "udev-tree: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
