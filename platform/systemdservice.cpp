#include "platform/systemdservice.h"

#include <QProcess>

namespace ZelAdmin {

SystemdService::SystemdService(const QString &name) : m_name(name) {}

bool SystemdService::restart()
{
    // --no-block: queue the job and do not wait for it; a detached child so
    // that nothing of it depends on this process living on.
    return QProcess::startDetached(
        QStringLiteral("systemctl"),
        {QStringLiteral("--no-block"), QStringLiteral("restart"), QStringLiteral("--"), m_name});
}

} // namespace ZelAdmin
