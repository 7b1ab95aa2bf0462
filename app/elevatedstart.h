// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/trustedhome.h"

#include <QString>
#include <functional>

// What the process takes from its caller before the application object
// exists. Started through pkexec (or set-user-ID), the program runs as root
// with the arguments and part of the environment of an ordinary user, and Qt
// acts on both: -platformpluginpath DIR or QT_PLUGIN_PATH load libraries
// from DIR, -stylesheet reads a file, -style and QT_STYLE_OVERRIDE load
// plugins. Root starting the program itself keeps Qt's standard arguments.
namespace ElevatedStart {

// PKEXEC_UID is set, or the real and effective user or group differ.
bool isElevated();

// When elevated: drops every argument after the program's name (argc
// becomes 1) and unsets every QT_* variable but QT_QPA_PLATFORM, which only
// picks one of the installed platforms. Always: keeps the files root writes
// out of folders other users control (TrustedHome::secure, with ownHome).
void prepare(int &argc, char **argv,
             const std::function<QString()> &ownHome = TrustedHome::passwordHome);

} // namespace ElevatedStart
