// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <sys/types.h>

class QtSingleApplication;

// What the start-up asks of the operating system, replaceable for tests.
struct StartupChecks
{
    std::function<uid_t()> effectiveUid;
    std::function<bool()> hasMaxIntegrity;
    QStringList translationDirs; // where the program's translations are looked for

    // geteuid(), the integrity check, the translations beside the program
    static StartupChecks system();
};

using MainWindowFactory = std::function<std::unique_ptr<QWidget>()>;

// Everything the process entry does once the application object exists:
// hand over to a running copy (-1), refuse a non-root user or a process below
// the maximum integrity level (0), or show the main window and run the event
// loop (its result). The window is destroyed before this returns, and so
// before the application object.
int runApplication(QtSingleApplication &app, const StartupChecks &checks,
                   const MainWindowFactory &createMainWindow);
