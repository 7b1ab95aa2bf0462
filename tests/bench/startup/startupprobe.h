// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFile>
#include <QObject>
#include <QTimer>

// Watches the process's main window every millisecond and writes a line to
// $ZEL_PROBE_OUT whenever it changes: microseconds since $ZEL_PROBE_T0_NS
// (CLOCK_MONOTONIC, taken by the benchmark before it started the process),
// the number of device items in all tree widgets of the window (children of
// their top-level rows), and 1 once the window is exposed on screen.
class StartupProbe : public QObject
{
    Q_OBJECT
public:
    explicit StartupProbe(QObject *parent = nullptr);

private:
    void sample();

    QTimer m_timer;
    QFile m_out;
    qint64 m_t0Ns = 0;
    int m_items = -1;
    bool m_exposed = false;
};
