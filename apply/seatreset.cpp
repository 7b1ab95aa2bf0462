#include "apply/seatreset.h"

#include "core/constants.h"

SeatReset::SeatReset(QObject *parent) : QObject(parent)
{
    m_process.setProgram(QStringLiteral("loginctl"));
    m_process.setArguments({QStringLiteral("flush-devices")});
    m_process.setTimeLimit(Constants::CommandTimeLimitMs);
    // loginctl says on standard error why it could not.
    m_process.setErrorsToOutput(true);
    connect(&m_process, &ChildProcess::finished, this,
            [this](int exitCode, QProcess::ExitStatus exitStatus) {
                if (m_process.hasTimedOut())
                    return;
                if (exitStatus != QProcess::NormalExit)
                    emit finished(tr("Crashed: code is %1").arg(exitCode));
                else if (exitCode != 0)
                    emit finished(
                        (tr("loginctl flush-devices failed with status %1.").arg(exitCode) +
                         QLatin1Char('\n') +
                         QString::fromUtf8(m_process.readAllStandardOutput()).trimmed())
                            .trimmed());
                else
                    emit finished(QString());
            });
    connect(&m_process, &ChildProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            emit finished(m_process.errorString());
    });
    connect(&m_process, &ChildProcess::timedOut, this,
            [this] { emit finished(m_process.timeoutText()); });
}

void SeatReset::start()
{
    m_process.start();
}
