// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace ZelAdmin {

// A systemd unit that the tool restarts after a save.
class SystemdService
{
public:
    explicit SystemdService(const QString &name);

    // Queues a restart of the unit with systemd: systemctl --no-block returns
    // once systemd has the job, which then belongs to systemd and completes
    // even when it ends the session this program runs in. False when
    // systemctl could not be started or systemd refused the job (a unit that
    // does not exist or is masked); errorString() then says why, in
    // systemctl's own words.
    bool restart();
    QString errorString() const { return m_error; }

    QString name() const { return m_name; }

private:
    QString m_name;
    QString m_error;
};

} // namespace ZelAdmin
