#pragma once

#include <QString>

namespace ZelAdmin {

// A systemd unit that the tool restarts after a save.
class SystemdService
{
public:
    explicit SystemdService(const QString &name);

    // Queues a restart of the unit with systemd and returns at once. The job
    // belongs to systemd, so it completes even when the restart ends the
    // session this program runs in. False when systemctl could not be started.
    bool restart();

    QString name() const { return m_name; }

private:
    QString m_name;
};

} // namespace ZelAdmin
