// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "seatstate/seatsessions.h"

#include <QTest>

class TestSeatSessions : public QObject
{
    Q_OBJECT
private slots:
    void parse();
    void describe_data();
    void describe();
    void endingSessions();
};

// Lines as systemd 252 aligns them: numbers right-aligned, a blank seat
// column for a session without a seat.
void TestSeatSessions::parse()
{
    const QList<SeatSession> sessions =
        SeatSessions::parse(QStringLiteral("      2 1000 admin   seat0 tty2\n"
                                           "     c1  113 lightdm seat1\n"
                                           "     14 1001 anna          pts/0\n"
                                           "garbage line\n"
                                           "      x nouid user seat0\n"));
    QCOMPARE(sessions.size(), 3);
    QCOMPARE(sessions.at(0).id, QStringLiteral("2"));
    QCOMPARE(sessions.at(0).uid, 1000u);
    QCOMPARE(sessions.at(0).seat, QStringLiteral("seat0"));
    QCOMPARE(sessions.at(1).user, QStringLiteral("lightdm"));
    QCOMPARE(sessions.at(1).seat, QStringLiteral("seat1"));
    QCOMPARE(sessions.at(2).seat, QString());
    QCOMPARE(SeatSessions::ofSeatStatus(QStringLiteral("seat1\n\tSessions: *3 5\n\t Devices:\n")),
             (QStringList{"*3", "5"}));
}

void TestSeatSessions::describe_data()
{
    QTest::addColumn<QStringList>("users"); // a leading '*' marks the active one
    QTest::addColumn<bool>("videocard");
    QTest::addColumn<QString>("text");
    QTest::newRow("the active user first, the greeter left out")
        << QStringList{"anna", "lightdm", "*boris", "anna"} << true << "In use: boris, anna";
    QTest::newRow("only the greeter") << QStringList{"*Debian-gdm"} << true << "Login screen";
    QTest::newRow("nobody, no card") << QStringList{} << false << "No login screen: no video card";
    QTest::newRow("nobody") << QStringList{} << true << "No login screen";
}

void TestSeatSessions::describe()
{
    QFETCH(QStringList, users);
    QFETCH(bool, videocard);
    QFETCH(QString, text);
    QList<SeatSession> sessions;
    for (const QString &user : users) {
        SeatSession session;
        session.active = user.startsWith('*');
        session.user = session.active ? user.mid(1) : user;
        sessions.append(session);
    }
    QCOMPARE(SeatSessions::describe(sessions, videocard), text);
}

// Those a restart ends: people on seats, not the administrator, not a
// greeter, not a session without a seat.
void TestSeatSessions::endingSessions()
{
    auto session = [](uint uid, const QString &user, const QString &seat) {
        SeatSession s;
        s.uid = uid;
        s.user = user;
        s.seat = seat;
        return s;
    };
    const QList<SeatSession> sessions{
        session(1000, "admin", "seat0"), session(113, "lightdm", "seat1"),
        session(1001, "anna", "seat1"),  session(1001, "anna", "seat1"),
        session(1002, "boris", "seat2"), session(1003, "carla", "seat3"),
        session(1004, "dora", QString())};
    QCOMPARE(SeatSessions::endingSessions(sessions, 1000),
             QStringLiteral("anna (seat1), boris (seat2) and carla (seat3)"));
    QCOMPARE(SeatSessions::endingSessions(sessions.mid(0, 3), 1000),
             QStringLiteral("anna (seat1)"));
    QCOMPARE(SeatSessions::endingSessions(sessions.mid(0, 2), 1000), QString());
}

QTEST_GUILESS_MAIN(TestSeatSessions)
#include "tst_seatsessions.moc"
