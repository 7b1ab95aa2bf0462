// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "seatstate/seatsessions.h"

#include <QCoreApplication>
#include <QRegularExpression>

QList<SeatSession> SeatSessions::parse(const QString &output)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    static const QRegularExpression seatName(QStringLiteral("^seat[A-Za-z0-9_-]+$"));
    QList<SeatSession> sessions;
    for (const QString &line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(blanks, Qt::SkipEmptyParts);
        if (fields.size() < 3)
            continue;
        bool number = false;
        SeatSession session;
        session.id = fields.at(0);
        session.uid = fields.at(1).toUInt(&number);
        session.user = fields.at(2);
        if (!number)
            continue;
        // The seat column is blank for a session without one; what follows
        // is then the terminal, which is never named like a seat.
        if (fields.size() > 3 && seatName.match(fields.at(3)).hasMatch())
            session.seat = fields.at(3);
        sessions.append(session);
    }
    return sessions;
}

QStringList SeatSessions::ofSeatStatus(const QString &output)
{
    for (const QString &line : output.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1String("Sessions:")))
            return trimmed.mid(9).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    return {};
}

bool SeatSessions::isLoginScreen(const SeatSession &session)
{
    // The greeters run as the display managers' own users.
    static const QStringList greeters{QStringLiteral("lightdm"), QStringLiteral("Debian-gdm"),
                                      QStringLiteral("gdm"), QStringLiteral("sddm"),
                                      QStringLiteral("zel-dm")};
    return greeters.contains(session.user);
}

QString SeatSessions::describe(const QList<SeatSession> &onSeat, bool hasVideocard)
{
    QStringList users;
    bool loginScreen = false;
    // The active session first: the one on the screen.
    for (int pass = 0; pass < 2; ++pass) {
        for (const SeatSession &session : onSeat) {
            if (session.active != (pass == 0))
                continue;
            if (isLoginScreen(session))
                loginScreen = true;
            else if (!users.contains(session.user))
                users.append(session.user);
        }
    }
    if (!users.isEmpty())
        return QCoreApplication::translate("SeatSessions", "In use: %1")
            .arg(users.join(QStringLiteral(", ")));
    if (loginScreen)
        return QCoreApplication::translate("SeatSessions", "Login screen");
    if (!hasVideocard)
        return QCoreApplication::translate("SeatSessions", "No login screen: no video card");
    return QCoreApplication::translate("SeatSessions", "No login screen");
}

QString SeatSessions::endingSessions(const QList<SeatSession> &sessions, uint ownUid)
{
    QStringList people;
    for (const SeatSession &session : sessions) {
        // Sessions without a seat (ssh) outlive the display manager.
        if (session.seat.isEmpty() || session.uid == ownUid || isLoginScreen(session))
            continue;
        const QString who =
            QCoreApplication::translate("SeatSessions", "%1 (%2)").arg(session.user, session.seat);
        if (!people.contains(who))
            people.append(who);
    }
    if (people.isEmpty())
        return QString();
    if (people.size() == 1)
        return people.first();
    const QString last = people.takeLast();
    return QCoreApplication::translate("SeatSessions", "%1 and %2")
        .arg(people.join(QStringLiteral(", ")), last);
}
