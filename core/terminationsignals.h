// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (a shutdown, Ctrl+C, a closed terminal) reach
// the tool as a signal of its event loop, instead of ending the process
// wherever it stands: the handler only writes the number into a pipe. The
// tool then ends in its own time, never in the middle of a step. One at a
// time; the handlers that were there come back when it goes.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // The one that handles them now, or null.
    static TerminationSignals *instance();

signals:
    void received(int signal);

private:
    void onReadable();

    int m_pipe[2] = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
    struct sigaction m_previous[3];
};
