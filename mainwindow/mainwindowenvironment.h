#pragma once

#include "apply/attachjob.h"

#include <QList>
#include <QString>
#include <functional>

// Where the main window finds the system's files, how it restarts the
// display manager and how long it waits for a device to arrive. The defaults
// are the real ones; tests hand in their own.
struct MainWindowEnvironment
{
    QString displayManagerLogDir; // the display manager's X server logs
    QString drmClassDir;          // the kernel's DRM class directory
    QString displayManagerConfig; // the display manager's configuration file
    std::function<bool(const QString &service)> restartService;
    QList<int> attachRetryDelaysMs = AttachJob::DefaultRetryDelaysMs;

    static MainWindowEnvironment system();
};
