// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "apply/saveplan.h"
#include "apply/udevadmrunner.h"
#include "seatstate/loginctlutil.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

// How an attach job ended.
struct AttachOutcome
{
    enum class Result
    {
        AllArrived, // every device was seen on its seat
        SomeFailed, // the devices in failed never showed up, the others did
        Stopped,    // a loginctl error ended the job; nothing is known of the rest
    };

    Result result = Result::Stopped;
    QList<AttachPair> failed;
};

// Attaches the devices of a save and verifies each one, one command at a
// time: `loginctl attach`, then udevadm makes udevd apply the new seat at once
// (UdevadmRunner), then `loginctl seat-status` of the seat checks it. A
// device not seen in its seat's status yet goes through the whole step again
// after a wait that grows with every miss; once its waits are used up it
// counts as failed and the queue goes on. Without udevadm (missing, udevd
// not running) the waits alone give udevd the time it needs.
class AttachJob : public QObject
{
    Q_OBJECT
public:
    // 100 ms doubling to 3.2 s, 6.3 s in all: udev applies an attach only
    // once it has re-read its rules, which it does at most every 3 s.
    static const QList<int> DefaultRetryDelaysMs;

    explicit AttachJob(QObject *parent = nullptr);

    // The waits before the second, third, ... attach of one device.
    void setRetryDelays(const QList<int> &delaysMs) { m_retryDelaysMs = delaysMs; }
    QList<int> retryDelays() const { return m_retryDelaysMs; }
    // The udevadm to run ("udevadm" on the search path unless set).
    void setUdevadmProgram(const QString &program) { m_udevadm.setProgram(program); }
    // A loginctl or udevadm command that runs longer is killed, and the job
    // stops with an error (Constants::CommandTimeLimitMs unless set).
    void setTimeLimit(int ms);

    // Starts with the queue, consumed from the front. Ignored while running.
    void start(const QList<AttachPair> &queue);
    bool isRunning() const { return m_running; }

    // Whether the device at address shows in a seat's status: some line of
    // it holds exactly that path (so …/input3 is not …/input30).
    static bool hasArrived(const QString &seatStatus, const QString &address);

signals:
    // Each device before its first attach.
    void attaching(QString seat, QString address);
    // A device arrived on its seat or was given up: done of total handled.
    void progressChanged(int done, int total);
    void finished(AttachOutcome outcome);
    // Every loginctl failure and a udevadm that did not answer, also after
    // the job has ended.
    void error(QString error);

private:
    void attachNextDevice();
    void applyUdevRules(const QString &seatname, const QString &address);
    void startAttachChecking();
    void parseCheckResponse();
    void onLoginUtilError(const QString &error);
    void deviceDone();
    void finish(AttachOutcome::Result result);

    LoginctlUtil m_loginctl;
    UdevadmRunner m_udevadm;
    QList<int> m_retryDelaysMs = DefaultRetryDelaysMs;
    QTimer m_retryTimer;
    QList<AttachPair> m_attachQueue;
    AttachPair m_checked;   // the attachment being verified
    int m_missedChecks = 0; // checks of that attachment that did not find it
    int m_done = 0;
    int m_total = 0;
    QList<AttachPair> m_failed;
    bool m_running = false;
};

Q_DECLARE_METATYPE(AttachOutcome)
