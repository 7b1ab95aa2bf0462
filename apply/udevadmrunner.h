// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/childprocess.h"

#include <QObject>
#include <QString>
#include <QStringList>

// Makes udev apply a device's seat at once. `loginctl attach` writes the new
// seat rule and sends a change event, but udevd re-reads its rules at most
// every 3 s and handles an event inside that window with the old rules. So:
// `udevadm control --reload` (the rules now, whatever the window), then
// `udevadm trigger --settle --action=change --parent-match=PATH` (the event
// again, waiting until udevd has handled it). One process at a time.
class UdevadmRunner : public QObject
{
    Q_OBJECT
public:
    explicit UdevadmRunner(QObject *parent = nullptr);

    // "udevadm" on the search path unless set.
    void setProgram(const QString &program) { m_process.setProgram(program); }
    // A command that runs longer is killed and reported as an error
    // (Constants::CommandTimeLimitMs unless set).
    void setTimeLimit(int ms) { m_process.setTimeLimit(ms); }

    // Reloads the rules and replays the change event of the device at address.
    void applyRules(const QString &address);

signals:
    // Both commands have ended, whatever they answered: udevadm missing or
    // udevd not running is no error here, the caller's check decides.
    void finished();
    // A command did not end in time or printed far too much; it was killed
    // and nothing follows.
    void error(QString error);

private:
    enum Step
    {
        Idle,
        Reload,
        Trigger,
    };

    void run(Step step, const QStringList &arguments);
    void stepEnded();

    ChildProcess m_process;
    Step m_step = Idle;
    QString m_address;
};
