// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "core/terminationsignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

// A shutdown, Ctrl+C or a closed terminal reaches the event loop, not the
// middle of whatever the tool was doing; and what handled them before comes
// back.

namespace {

volatile sig_atomic_t g_before = 0;

void before(int signal)
{
    g_before = signal;
}

} // namespace

class TestTerminationSignals : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }

    void reachesTheEventLoop_data();
    void reachesTheEventLoop();
};

void TestTerminationSignals::reachesTheEventLoop_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TestTerminationSignals::reachesTheEventLoop()
{
    QFETCH(int, signal);
    struct sigaction action = {};
    action.sa_handler = before;
    ::sigemptyset(&action.sa_mask);
    struct sigaction saved;
    QCOMPARE(::sigaction(signal, &action, &saved), 0);
    g_before = 0;
    {
        TerminationSignals termination;
        QCOMPARE(TerminationSignals::instance(), &termination);
        QSignalSpy received(&termination, &TerminationSignals::received);
        QCOMPARE(::raise(signal), 0);
        // Not from inside the handler: from the event loop, later.
        QVERIFY(received.isEmpty());
        QVERIFY(received.wait(5000));
        QCOMPARE(received.size(), 1);
        QCOMPARE(received.first().first().toInt(), signal);
        QCOMPARE(int(g_before), 0);
    }
    QVERIFY(!TerminationSignals::instance());
    QCOMPARE(::raise(signal), 0);
    QCOMPARE(int(g_before), signal);
    ::sigaction(signal, &saved, nullptr);
}

QTEST_GUILESS_MAIN(TestTerminationSignals)
#include "tst_terminationsignals.moc"
