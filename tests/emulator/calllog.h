// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The call logs the emulated loginctl and udevadm keep for the tests.
//
// Each program appends one line per call to the file its own variable names
// (ZEL_LOGINCTL_LOG, ZEL_UDEVADM_LOG): the arguments joined by TAB, with "\"
// written "\\", TAB "\t" and newline "\n". When ZEL_EMULATOR_SEQUENCE_LOG is
// set, both also append the same line, with the program's name as its first
// field, to that one file: the order of the calls across the two programs.
// Every line is written in one piece, so lines never interleave. False when
// a log cannot be written.
bool logCall(const char *logVariable, const char *program, int argc, char **argv);
