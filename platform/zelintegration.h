// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Desktop integration of the administration tools.

// Announces the program: its version and display name, and the organisation
// whose settings location all the tools share.
void zelInit(const char *version, const char *name);

// Shows the program's help; an empty topic opens it at the start.
void zelHelpShow(const QString &topic);
