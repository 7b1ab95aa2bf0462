// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "seatstate/loginctlutil.h"

#include "core/constants.h"
#include "seatstate/seatsessions.h"
#include "seatstate/seatstatusparser.h"

LoginctlUtil::LoginctlUtil(QObject *parent) : QObject(parent)
{
    m_process.setProgram(QStringLiteral("loginctl"));
    // loginctl draws its device tree in ASCII under a non-UTF-8 locale (root's
    // shell often runs under LANG=C), and the tree characters would end up in
    // the device names. Ask for the UTF-8 tree whatever the locale.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SYSTEMD_UTF8"), QStringLiteral("1"));
    m_process.setProcessEnvironment(environment);
    m_process.setTimeLimit(Constants::CommandTimeLimitMs);
    connect(&m_process, &ChildProcess::ended, this, &LoginctlUtil::onEnded);
}

QString LoginctlUtil::crashText(int code)
{
    return tr("Crashed: code is %1").arg(code);
}

QString LoginctlUtil::unexpectedOutputText(const QStringList &arguments)
{
    return tr("loginctl %1: unexpected output").arg(arguments.join(QLatin1Char(' ')));
}

void LoginctlUtil::setIdle()
{
    m_command = Idle;
}

QString LoginctlUtil::readOutput()
{
    QByteArray data = m_process.readAllStandardOutput();
    const int nul = data.indexOf('\0');
    if (nul >= 0)
        data.truncate(nul);
    if (data.isEmpty())
        return QString();
    return QString::fromUtf8(data);
}

void LoginctlUtil::readSeatsList()
{
    start(ListSeats, {QStringLiteral("list-seats"), QStringLiteral("--no-legend")});
}

void LoginctlUtil::readSeatStatus(QString m_currentSeatName)
{
    start(ReadSeatStatus, {QStringLiteral("seat-status"), m_currentSeatName});
}

void LoginctlUtil::readSessions()
{
    start(ReadSessions, {QStringLiteral("list-sessions"), QStringLiteral("--no-legend")});
}

void LoginctlUtil::checkSeatStatus(QString m_currentSeatName)
{
    start(CheckSeatStatus, {QStringLiteral("seat-status"), m_currentSeatName});
}

void LoginctlUtil::attachThisDevice(QString seat, QString address)
{
    if (refuseWhileRunning())
        return;
    m_address = address;
    m_seat = seat;
    start(Attach, {QStringLiteral("attach"), seat, address});
}

bool LoginctlUtil::refuseWhileRunning()
{
    // One process serves every command; starting a second one while the first
    // runs would make its end be taken for the wrong command.
    if (m_process.state() == QProcess::NotRunning)
        return false;
    emit error(tr("A loginctl command is still running; the new one was not started."));
    return true;
}

void LoginctlUtil::start(Command command, const QStringList &arguments)
{
    if (refuseWhileRunning())
        return;
    m_command = command;
    m_process.setArguments(arguments);
    m_process.start();
}

// The one end of a command, told as QProcess would tell it: a crash as an
// error of the process and then as its end, which makes two errors; a
// command killed by the tool as an error alone.
void LoginctlUtil::onEnded(ChildProcess::End end, int code)
{
    switch (end) {
    case ChildProcess::End::Exited:
        onFinished(code, QProcess::NormalExit);
        break;
    case ChildProcess::End::Crashed:
        onError(QProcess::Crashed);
        onFinished(code, QProcess::CrashExit);
        break;
    case ChildProcess::End::FailedToStart:
        onError(QProcess::FailedToStart);
        break;
    case ChildProcess::End::TimedOut:
        onError(QProcess::Timedout);
        break;
    case ChildProcess::End::TooMuchOutput:
        onError(QProcess::ReadError);
        break;
    }
}

void LoginctlUtil::onFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    if (exitStatus != QProcess::NormalExit) {
        emit error(crashText(exitCode));
        return;
    }
    // A non-zero exit code is no error here: the caller judges the output.
    switch (m_command) {
    case ListSeats:
        emit seatsListReadingFinished();
        break;
    case ReadSeatStatus:
        parseSeatStatus();
        emit seatStatusReadingFinished();
        break;
    case CheckSeatStatus:
        emit seatStatusCheckingFinished();
        break;
    case Attach:
        emit deviceAttached(m_seat, m_address);
        break;
    case ReadSessions:
        emit sessionsReadingFinished();
        break;
    default:
        break;
    }
}

void LoginctlUtil::onError(QProcess::ProcessError processError)
{
    Q_UNUSED(processError)
    emit error(m_process.errorString());
}

void LoginctlUtil::parseSeatStatus()
{
    devices.clear();
    m_statusText = readOutput();
    devices = ::parseSeatStatus(m_statusText);
    sessions = SeatSessions::ofSeatStatus(m_statusText);
}
