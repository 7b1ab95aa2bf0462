// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/attachjob.h"

#include <QStringList>

const QList<int> AttachJob::DefaultRetryDelaysMs{100, 200, 400, 800, 1600, 3200};

AttachJob::AttachJob(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<AttachOutcome>();
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &AttachJob::attachNextDevice);
    connect(&m_loginctl, &LoginctlUtil::deviceAttached, this, &AttachJob::applyUdevRules);
    connect(&m_udevadm, &UdevadmRunner::finished, this, &AttachJob::startAttachChecking);
    connect(&m_udevadm, &UdevadmRunner::error, this, &AttachJob::onLoginUtilError);
    connect(&m_loginctl, &LoginctlUtil::seatStatusCheckingFinished, this,
            &AttachJob::parseCheckResponse);
    connect(&m_loginctl, &LoginctlUtil::error, this, &AttachJob::onLoginUtilError);
}

void AttachJob::setTimeLimit(int ms)
{
    m_loginctl.setTimeLimit(ms);
    m_udevadm.setTimeLimit(ms);
}

void AttachJob::start(const QList<AttachPair> &queue)
{
    if (m_running)
        return;
    m_running = true;
    m_attachQueue = queue;
    m_total = queue.size();
    m_done = 0;
    m_missedChecks = 0;
    m_failed.clear();
    attachNextDevice();
}

bool AttachJob::hasArrived(const QString &seatStatus, const QString &address)
{
    // A device's path line holds its path from "/sys" to the end of the line.
    const QVector<QStringRef> lines = seatStatus.splitRef(QLatin1Char('\n'));
    for (QStringRef line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const int sys = line.indexOf(QLatin1String("/sys"));
        if (sys >= 0 && line.mid(sys) == address)
            return true;
    }
    return false;
}

void AttachJob::attachNextDevice()
{
    if (!m_running)
        return;
    if (m_attachQueue.isEmpty()) {
        finish(m_failed.isEmpty() ? AttachOutcome::Result::AllArrived
                                  : AttachOutcome::Result::SomeFailed);
        return;
    }
    const AttachPair next = m_attachQueue.first();
    if (m_missedChecks == 0)
        emit attaching(next.first, next.second);
    m_loginctl.attachThisDevice(next.first, next.second);
    m_attachQueue.removeFirst();
}

void AttachJob::applyUdevRules(const QString &seatname, const QString &address)
{
    if (!m_running)
        return;
    m_checked = AttachPair(seatname, address);
    m_udevadm.applyRules(address);
}

void AttachJob::startAttachChecking()
{
    if (!m_running)
        return;
    m_loginctl.checkSeatStatus(m_checked.first);
}

void AttachJob::parseCheckResponse()
{
    if (!m_running)
        return;
    if (hasArrived(m_loginctl.readOutput(), m_checked.second)) {
        deviceDone();
        return;
    }
    if (m_missedChecks >= m_retryDelaysMs.size()) {
        // Its tries are used up: go on with the others and report it at the end.
        m_failed.append(m_checked);
        deviceDone();
        return;
    }
    // udev may not have applied the attach yet: the same device goes again
    // first, after a wait that grows with every miss.
    m_attachQueue.prepend(m_checked);
    m_retryTimer.start(m_retryDelaysMs.at(m_missedChecks++));
}

void AttachJob::deviceDone()
{
    // Misses count per attachment: the same pair later in the queue starts afresh.
    m_missedChecks = 0;
    emit progressChanged(++m_done, m_total);
    attachNextDevice();
}

void AttachJob::onLoginUtilError(const QString &error)
{
    emit this->error(error);
    if (m_running)
        finish(AttachOutcome::Result::Stopped);
}

void AttachJob::finish(AttachOutcome::Result result)
{
    m_running = false;
    m_retryTimer.stop();
    m_loginctl.setIdle();
    AttachOutcome outcome;
    outcome.result = result;
    outcome.failed = m_failed;
    m_attachQueue.clear();
    m_failed.clear();
    emit finished(outcome);
}
