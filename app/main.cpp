// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/elevatedstart.h"
#include "app/startup.h"
#include "mainwindow/mainwindow.h"
#include "platform/qtsingleapplication.h"

int main(int argc, char *argv[])
{
    ElevatedStart::prepare(argc, argv);
    QtSingleApplication app(argc, argv, true);
    return runApplication(app, StartupChecks::system(),
                          [] { return std::make_unique<MainWindow>(); });
}
