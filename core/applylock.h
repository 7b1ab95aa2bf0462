// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The one lock under /run that keeps the window and the command line from
// changing the seats at the same time: the window holds it while it is open,
// zel-multiseatctl while it changes the seats. It is an flock on a file, so
// it goes with the process that held it, however that process ended. The
// holder writes its pid and program name into the file for the others'
// messages.
class ApplyLock
{
public:
    static const QString DefaultPath;   // "/run/zel-admin-multiseat.lock"
    static const QString WindowHolder;  // "zel-admin-multiseat"
    static const QString CommandHolder; // "zel-multiseatctl"

    // An empty path locks nothing: every tryLock succeeds.
    explicit ApplyLock(const QString &path = DefaultPath) : m_path(path) {}
    ~ApplyLock();
    ApplyLock(const ApplyLock &) = delete;
    ApplyLock &operator=(const ApplyLock &) = delete;

    // Takes the lock at once or not at all. False when another process holds
    // it (holder() and holderPid() then name it, as far as it wrote them) or
    // the file cannot be used (errorString()).
    bool tryLock(const QString &holderName);
    bool isLocked() const { return m_fd >= 0 || (m_path.isEmpty() && m_taken); }
    void unlock();

    QString holder() const { return m_holder; }
    qint64 holderPid() const { return m_holderPid; }
    QString errorString() const { return m_error; }

private:
    QString m_path;
    int m_fd = -1;
    bool m_taken = false;
    QString m_holder;
    qint64 m_holderPid = 0;
    QString m_error;
};
