// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/systemdservice.h"

#include <QCoreApplication>
#include <QProcess>

namespace ZelAdmin {

SystemdService::SystemdService(const QString &name) : m_name(name) {}

bool SystemdService::restart()
{
    m_error.clear();
    // A plain QProcess, waited for: systemctl answers as soon as systemd
    // has queued the job. Should this process die meanwhile (the restart
    // ends its session), systemctl lives on and still hands the job over.
    QProcess systemctl;
    systemctl.setProcessChannelMode(QProcess::MergedChannels);
    systemctl.start(
        QStringLiteral("systemctl"),
        {QStringLiteral("--no-block"), QStringLiteral("restart"), QStringLiteral("--"), m_name});
    if (!systemctl.waitForStarted(10000)) {
        m_error = systemctl.errorString();
        return false;
    }
    if (!systemctl.waitForFinished(30000)) {
        m_error = QCoreApplication::translate("MainWindow", "systemctl did not answer.");
        systemctl.kill();
        systemctl.waitForFinished(1000);
        return false;
    }
    const QString said = QString::fromLocal8Bit(systemctl.readAll()).trimmed();
    if (systemctl.exitStatus() != QProcess::NormalExit || systemctl.exitCode() != 0) {
        m_error = said.isEmpty() ? QCoreApplication::translate("MainWindow",
                                                               "systemctl failed with status %1.")
                                       .arg(systemctl.exitCode())
                                 : said;
        return false;
    }
    return true;
}

} // namespace ZelAdmin
