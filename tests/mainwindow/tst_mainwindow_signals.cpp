// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "core/terminationsignals.h"
#include "mainwindow/windowfixture.h"
#include "seatpanel/seat.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include <csignal>

// A shutdown, Ctrl+C or a closed terminal while the window is open: it closes
// as if closed, without a question; a save or a reset under way is not cut
// but runs to its end, and the display manager is not restarted.

namespace {

const QString Usb = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1");
const QString SpareKeyboard = Usb + "/1-5/1-5:1.0/0003:1C4F:0002.0006/input/input10";
const QString SpareMouse = Usb + "/1-6/1-6:1.0/0003:045E:0084.0007/input/input11";

const QByteArray Config = "[General]\n# ServerUID=auto\nGreeter=zel-greeter\n";
const QByteArray Applied =
    "[General]\nServerUID=root\n##commented # ServerUID=auto\nGreeter=zel-greeter\n";

bool called(const WindowFixture &fx, const QString &verb)
{
    for (const QStringList &call : fx.calls()) {
        if (call.value(0) == verb)
            return true;
    }
    return false;
}

} // namespace

class TestMainWindowSignals : public WindowTestCase
{
    Q_OBJECT
public:
    TestMainWindowSignals() : WindowTestCase(Config) {}

private slots:
    void init();
    void cleanup();

    void idleWindowClosesWithoutAQuestion_data();
    void idleWindowClosesWithoutAQuestion();
    void saveRunsToItsEnd();
    void resetRunsToItsEnd();

private:
    std::unique_ptr<TerminationSignals> m_termination;
};

void TestMainWindowSignals::init()
{
    // Before the window, as in the program.
    m_termination = std::make_unique<TerminationSignals>();
    WindowTestCase::init();
}

void TestMainWindowSignals::cleanup()
{
    WindowTestCase::cleanup();
    m_termination.reset();
}

void TestMainWindowSignals::idleWindowClosesWithoutAQuestion_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

// Unsaved changes are dropped: nothing is attached, edited or restarted.
void TestMainWindowSignals::idleWindowClosesWithoutAQuestion()
{
    QFETCH(int, signal);
    QVERIFY(m_fx->useMachine("three-seats.machine"));
    MainWindow *w = m_fx->openWindow();
    QVERIFY(w);
    QVERIFY(m_fx->giveToPanel("SIGMACHIP USB Keyboard", "seat1"));
    QVERIFY(w->stateChanged());
    const int calls = m_fx->callCount();
    QCOMPARE(::raise(signal), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 10000);
    QVERIFY(m_answerer->seen.isEmpty());
    QCOMPARE(m_fx->callCount(), calls);
    QCOMPARE(m_fx->config(), Config);
    QVERIFY(m_fx->restarts.isEmpty());
}

// The signal comes while the first of the save's devices is attached: all of
// them are attached and checked, the configuration is as for two seats, and
// then the window closes.
void TestMainWindowSignals::saveRunsToItsEnd()
{
    QVERIFY(m_fx->useMachine("three-seats.machine", "fault attach sleep 1000\n"));
    MainWindow *w = m_fx->openWindow();
    QVERIFY(w);
    QVERIFY(m_fx->giveToPanel("SIGMACHIP USB Keyboard", "seat1"));
    QVERIFY(m_fx->giveToPanel("Microsoft Microsoft Basic Optical Mouse", "seat1"));
    WindowFixture::answerSave(*m_answerer);
    action(w, "saveAction")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(called(*m_fx, "attach"), 10000);
    QCOMPARE(::raise(SIGTERM), 0);
    QTRY_COMPARE_WITH_TIMEOUT(w->state(), MainWindow::State::Closing, 10000);
    QVERIFY(w->isApplying());
    QVERIFY(w->isVisible());
    QVERIFY(m_fx->waitForApplyEnd());
    QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 10000);
    const QString seat1 = m_fx->loginctl({"seat-status", "seat1"});
    QVERIFY(seat1.contains(SpareKeyboard + '\n'));
    QVERIFY(seat1.contains(SpareMouse + '\n'));
    QCOMPARE(m_fx->checkFollowsAttach(), QString());
    QCOMPARE(m_fx->config(), Applied);
    QVERIFY(m_fx->restarts.isEmpty());
    QCOMPARE(m_answerer->unexpected(), 0);
}

// The signal comes while loginctl flushes the devices: the configuration is
// then set up for one seat all the same, and the window closes.
void TestMainWindowSignals::resetRunsToItsEnd()
{
    QVERIFY(m_fx->writeConfig(Applied));
    QVERIFY(m_fx->useMachine("three-seats.machine", "fault flush-devices sleep 2000\n"));
    MainWindow *w = m_fx->openWindow();
    QVERIFY(w);
    m_answerer->answer(QMessageBox::Yes);
    action(w, "resetAction")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(called(*m_fx, "flush-devices"), 10000);
    QCOMPARE(::raise(SIGTERM), 0);
    QTRY_COMPARE_WITH_TIMEOUT(w->state(), MainWindow::State::Closing, 10000);
    QVERIFY(w->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 10000);
    QCOMPARE(m_fx->loginctl({"list-seats", "--no-legend"}), QStringLiteral("seat0\n"));
    QCOMPARE(m_fx->config(), Config);
    QVERIFY(m_fx->restarts.isEmpty());
    QCOMPARE(m_answerer->unexpected(), 0);
}

QTEST_MAIN(TestMainWindowSignals)
#include "tst_mainwindow_signals.moc"
