// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "seatstate/seatstatus.h"

#include "core/childprocess.h"

#include <QObject>
#include <QProcess>
#include <QString>

// Runs `loginctl`, one command at a time, and reports the end of each command
// as a signal. The owner starts the next command from the slot that receives
// the previous command's completion signal.
class LoginctlUtil : public QObject
{
    Q_OBJECT
public:
    explicit LoginctlUtil(QObject *parent = nullptr);

    // Marks the runner idle: the end of a process started before causes no signal.
    void setIdle();

    // A command that runs longer is killed and reported as an error
    // (Constants::CommandTimeLimitMs unless set).
    void setTimeLimit(int ms) { m_process.setTimeLimit(ms); }

    // "Crashed: code is 9": how a command killed by signal 9 is told.
    static QString crashText(int code);
    // "loginctl list-seats: unexpected output": an answer that is none.
    static QString unexpectedOutputText(const QStringList &arguments);

    // Everything the last command wrote to its standard output and that has
    // not been read yet, as UTF-8, cut at the first NUL; null when nothing.
    QString readOutput();

    // Devices of the seat read by the last readSeatStatus().
    SeatDevices devices;
    // The words of its "Sessions:" line, the active one starred.
    QStringList sessions;
    // The text they were parsed from.
    QString statusText() const { return m_statusText; }

signals:
    void error(QString error);
    void seatsListReadingFinished();
    void seatStatusReadingFinished();
    void deviceAttached(QString seat, QString address);
    void seatStatusCheckingFinished();
    void sessionsReadingFinished();

public slots:
    void readSeatsList();
    void readSeatStatus(QString m_currentSeatName);
    void checkSeatStatus(QString m_currentSeatName);
    void attachThisDevice(QString seat, QString address);
    // `loginctl list-sessions --no-legend`; its output through readOutput().
    void readSessions();

private slots:
    void onFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void onError(QProcess::ProcessError processError);
    void onEnded(ChildProcess::End end, int code);

private:
    enum Command
    {
        ListSeats = 0,
        ReadSeatStatus = 1,
        CheckSeatStatus = 2,
        Attach = 3,
        Idle = 4,
        ReadSessions = 5,
    };

    bool refuseWhileRunning();
    void start(Command command, const QStringList &arguments);
    void parseSeatStatus();

    ChildProcess m_process;
    int m_command = ListSeats;
    QString m_seat;
    QString m_address;
    QString m_statusText;
};
