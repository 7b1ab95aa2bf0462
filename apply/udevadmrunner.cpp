// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/udevadmrunner.h"

#include "core/constants.h"

UdevadmRunner::UdevadmRunner(QObject *parent) : QObject(parent)
{
    m_process.setProgram(QStringLiteral("udevadm"));
    m_process.setTimeLimit(Constants::CommandTimeLimitMs);
    connect(&m_process, &ChildProcess::ended, this, [this](ChildProcess::End end) {
        // What udevadm answered is no matter, but one that hangs or floods
        // the tool is told.
        if (end == ChildProcess::End::TimedOut || end == ChildProcess::End::TooMuchOutput) {
            m_step = Idle;
            emit error(m_process.errorString());
            return;
        }
        stepEnded();
    });
}

void UdevadmRunner::applyRules(const QString &address)
{
    m_address = address;
    run(Reload, {QStringLiteral("control"), QStringLiteral("--reload")});
}

void UdevadmRunner::run(Step step, const QStringList &arguments)
{
    m_step = step;
    m_process.setArguments(arguments);
    m_process.start();
    // Nothing of udevadm's output is read; it is dropped with the next start.
}

void UdevadmRunner::stepEnded()
{
    switch (m_step) {
    case Reload:
        // The event again, now that the rules are read: handled with the old
        // rules, it would have left the device where it was.
        run(Trigger,
            {QStringLiteral("trigger"), QStringLiteral("--settle"),
             QStringLiteral("--action=change"), QStringLiteral("--parent-match=") + m_address});
        break;
    case Trigger:
        m_step = Idle;
        emit finished();
        break;
    case Idle:
        break;
    }
}
