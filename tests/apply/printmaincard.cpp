// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Prints the main video card that discovery finds at the real paths: run
// inside scripts/sample-sandbox, where those paths are the sample machine's.

#include "apply/videocarddetector.h"

#include <cstdio>

int main()
{
    std::printf("%s\n", qPrintable(detectMainVideocard()));
    return 0;
}
