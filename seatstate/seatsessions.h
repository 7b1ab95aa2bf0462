// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One logind session, as `loginctl list-sessions --no-legend` lists it.
struct SeatSession
{
    QString id;
    uint uid = 0;
    QString user;
    QString seat;        // empty for a session without a seat (ssh, a cron job)
    bool active = false; // starred in the seat's "Sessions:" line
};

// Who is on the seats: the sessions logind lists and what they mean to an
// administrator about to restart the display manager.
class SeatSessions
{
public:
    // The lines of `loginctl list-sessions --no-legend`: "SESSION UID USER
    // SEAT TTY", right-aligned numbers, the seat column blank without a seat.
    // Lines that are no such line are skipped.
    static QList<SeatSession> parse(const QString &output);
    // The words of a seat-status "Sessions:" line ("*3", "5"), or none.
    static QStringList ofSeatStatus(const QString &output);

    // A display manager's own session: the login screen it shows.
    static bool isLoginScreen(const SeatSession &session);

    // What a seat shows under its name: "Login screen", "In use: anna",
    // "No login screen: no video card", "No login screen".
    static QString describe(const QList<SeatSession> &onSeat, bool hasVideocard);
    // "anna (seat1) and boris (seat2)": the people whose sessions a restart
    // of the display manager ends, the administrator (ownUid) left out; empty
    // when there are none.
    static QString endingSessions(const QList<SeatSession> &sessions, uint ownUid);
};
