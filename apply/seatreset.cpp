// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/seatreset.h"

#include "core/constants.h"
#include "seatstate/loginctlutil.h"

SeatReset::SeatReset(QObject *parent) : QObject(parent)
{
    m_process.setProgram(QStringLiteral("loginctl"));
    m_process.setArguments({QStringLiteral("flush-devices")});
    m_process.setTimeLimit(Constants::CommandTimeLimitMs);
    // loginctl says on standard error why it could not.
    m_process.setErrorsToOutput(true);
    connect(&m_process, &ChildProcess::ended, this, [this](ChildProcess::End end, int code) {
        switch (end) {
        case ChildProcess::End::Exited:
            if (code == 0)
                emit finished(QString());
            else
                emit finished((tr("loginctl flush-devices failed with status %1.").arg(code) +
                               QLatin1Char('\n') +
                               QString::fromUtf8(m_process.readAllStandardOutput()).trimmed())
                                  .trimmed());
            break;
        case ChildProcess::End::Crashed:
            emit finished(LoginctlUtil::crashText(code));
            break;
        default:
            emit finished(m_process.errorString());
            break;
        }
    });
}

void SeatReset::start()
{
    m_process.start();
}
