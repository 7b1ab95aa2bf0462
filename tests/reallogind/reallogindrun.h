// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mainwindow/mainwindowenvironment.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// What the tests inside tests/reallogind/real-logind-sandbox share: the
// sandbox's facts, a call log of the real loginctl, and one run of a save's
// attach loop through the real main window.
namespace RealLogind {

// Empty when running inside the sandbox, else why not.
QString outsideSandbox();
QString masterStandIn(); // master-of-seat: makes a seat exist
QString deviceStandIn(); // an ordinary seat device
QString workDir();

// Puts a loginctl and a udevadm first on PATH that log each call (time in
// microseconds, then the arguments, TAB-separated; udevadm's led by the word
// "udevadm") before they run the real ones.
bool installCallLog();
struct Call
{
    qint64 usec = 0;
    QStringList args;
};
QList<Call> calls();
void clearCalls();

// Runs the real loginctl directly, outside the program's runner and the call
// log; returns what it printed.
QString loginctl(const QStringList &args);

// A main window's environment on private files in the work dir: the
// configuration, the display manager's log and DRM directories; each restart
// of the display manager only counts up restarts.
MainWindowEnvironment windowEnvironment(int *restarts);

struct PairResult
{
    QString seat;
    QString address;
    int attaches = 0;   // attach calls made for this pair
    int udevadm = 0;    // udevadm calls that followed them
    int checks = 0;     // seat-status calls that followed them
    double seconds = 0; // from its first attach to the start of its next pair's (the
                        // last pair: to its last call)
};

struct LoopResult
{
    bool finished = false;  // the loop ended within the time allowed
    bool restarted = false; // the display manager restart was requested
    int restarts = 0;
    bool windowEnabled = false;
    bool stateSaved = false;
    double seconds = 0;      // from the start of the loop to its end
    QList<PairResult> pairs; // in the order of the queue
    QStringList boxes;       // texts of the message boxes shown meanwhile
};

// Opens the main window on the real logind, waits until it has read the
// seats, then runs the attach loop on the queue. Without udevadm the loop
// has only its retries to wait for udevd, as it had before it ran udevadm.
LoopResult runAttachLoop(const QList<QPair<QString, QString>> &queue, int timeoutMs,
                         bool withUdevadm = true);

} // namespace RealLogind
