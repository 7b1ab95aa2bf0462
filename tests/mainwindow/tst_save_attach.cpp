// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "mainwindow/windowfixture.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/seat.h"

#include <QAction>
#include <QApplication>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

// The attach loop of a save, run by a real MainWindow against the emulated
// loginctl: the order of the calls, the retries of a device that does not
// show up, the end of the loop after a loginctl failure, the restart request
// and what the window lets the administrator do meanwhile.

namespace {

const QString Card0 = QStringLiteral("/sys/devices/pci0000:00/0000:00:02.0/drm/card0");
const QString Card1 = QStringLiteral("/sys/devices/pci0000:00/0000:00:03.0/drm/card1");
const QString MainKeyboard = QStringLiteral(
    "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/0003:046D:C31C.0001/input/input5");
const QString MainMouse = QStringLiteral(
    "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:046D:C077.0002/input/input7");
const QString Seat1Keyboard = QStringLiteral(
    "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/0003:413C:2113.0003/input/input8");
const QString Seat1Mouse = QStringLiteral(
    "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-4/1-4:1.0/0003:093A:2510.0004/input/input9");
const QString SpareMouse = QStringLiteral(
    "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-6/1-6:1.0/0003:045E:0084.0005/input/input11");
const QString SpareMouseName = QStringLiteral("Microsoft Basic Optical Mouse");
const QString PowerButton = QStringLiteral("/sys/devices/LNXSYSTM:00/LNXPWRBN:00/input/input0");
const QString Ps2Mouse = QStringLiteral("/sys/devices/platform/i8042/serio1/input/input3");
const QString Touchpad = QStringLiteral("/sys/devices/platform/i8042/serio1/input/input30");

// seat0 with a card, a keyboard, two mice and an unrecognized device; seat1
// with a card, a keyboard and a mouse.
QByteArray machine(const QByteArray &extra = {})
{
    QByteArray m = "seat seat0 sessions *2\nseat seat1 sessions *3\n";
    m += "device " + PowerButton.toUtf8() + " input:input0 name=\"Power Button\"\n";
    m += "device " + Card0.toUtf8() + " drm:card0 master\n";
    m += "device " + Card1.toUtf8() + " drm:card1 master seat=seat1\n";
    m += "device " + MainKeyboard.toUtf8() + " input:input5 name=\"Logitech USB Keyboard\"\n";
    m += "device " + MainMouse.toUtf8() + " input:input7 name=\"Logitech USB Optical Mouse\"\n";
    m += "device " + Seat1Keyboard.toUtf8() +
         " input:input8 seat=seat1 name=\"Dell USB Keyboard\"\n";
    m += "device " + Seat1Mouse.toUtf8() +
         " input:input9 seat=seat1 name=\"PixArt USB Optical Mouse\"\n";
    m += "device " + SpareMouse.toUtf8() + " input:input11 name=\"" + SpareMouseName.toUtf8() +
         "\"\n";
    return m + extra;
}

// Every pair of a save after the spare mouse went to seat1.
const QList<QPair<QString, QString>> SavedPairs{
    {"seat1", Card1}, {"seat1", Seat1Keyboard}, {"seat1", Seat1Mouse}, {"seat1", SpareMouse},
    {"seat0", Card0}, {"seat0", MainKeyboard},  {"seat0", MainMouse}};

const QString AttachErrorTitle = QStringLiteral("Device attaching error");

int countOf(const QList<QPair<QString, QString>> &pairs, const QPair<QString, QString> &pair)
{
    return int(std::count(pairs.begin(), pairs.end(), pair));
}

QProgressDialog *progressOf(const MainWindow *w)
{
    return w->findChild<QProgressDialog *>(QStringLiteral("progressDialog"));
}

// The values the progress bar goes through from now on.
std::unique_ptr<QSignalSpy> progressValues(const MainWindow *w)
{
    QProgressDialog *progress = progressOf(w);
    QProgressBar *bar = progress ? progress->findChild<QProgressBar *>() : nullptr;
    if (!bar)
        return nullptr;
    return std::make_unique<QSignalSpy>(bar, &QProgressBar::valueChanged);
}

// The values up to the reset that closing the dialog brings.
QList<int> valuesOf(const QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &signal : spy) {
        if (signal.value(0).toInt() < 0)
            break;
        values.append(signal.value(0).toInt());
    }
    return values;
}

QList<int> oneTo(int n)
{
    QList<int> values;
    for (int i = 1; i <= n; ++i)
        values.append(i);
    return values;
}

} // namespace

class TestSaveAttach : public WindowTestCase
{
    Q_OBJECT
public:
    TestSaveAttach() : WindowTestCase("[General]\n# ServerUID=auto\n") {}

private slots:
    void windowLockedWhileAttaching();
    void restartRequestedOnceAfterLastCheck();
    void deviceShowingOnThirdCheck();
    void prefixOfListedPathIsNoProof();
    void deviceNeverShowingUp();
    void triesCountedPerAttachment();
    void crashEndsLoopWithoutRestart();
    void secondSaveReusesProgressDialog();
    void closeWithYesWaitsForLoop();
    void closeWithYesAfterFailureShowsErrorFirst();
    void stepRunsUdevadmBetweenAttachAndCheck();
    void hungCommandEndsTheSave_data();
    void hungCommandEndsTheSave();
    void closingWhileACommandHangs();
    void destroyedWhileACommandHangs();

private:
    // Opens the window on the machine and gives the spare mouse to seat1.
    MainWindow *openWithSpareOnSeat1(const QByteArray &extra = {});
};

MainWindow *TestSaveAttach::openWithSpareOnSeat1(const QByteArray &extra)
{
    if (!m_fx->writeMachine(machine(extra)))
        return nullptr;
    MainWindow *w = m_fx->openWindow();
    if (!w || !m_fx->giveToPanel(SpareMouseName, "seat1") || !w->stateChanged())
        return nullptr;
    return w;
}

void TestSaveAttach::windowLockedWhileAttaching()
{
    MainWindow *w = openWithSpareOnSeat1();
    QVERIFY(w);
    const int start = m_fx->callCount();
    WindowFixture::answerSave(*m_answerer);
    action(w, "saveAction")->trigger();

    // The first attach runs; nothing has been delivered back yet.
    QVERIFY(w->isApplying());
    QVERIFY(!w->isEnabled());
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QProgressDialog *progress = progressOf(w);
    QVERIFY(progress);
    QVERIFY(progress->isVisible());
    QCOMPARE(progress->windowModality(), Qt::WindowModal);
    // The specified text, and under it the first device of the queue.
    QCOMPARE(progress->labelText(),
             QStringLiteral("Devices attaching...\n[MASTER] drm:card1 to seat1"));
    QCOMPARE(progress->maximum(), SavedPairs.size());
    QVERIFY(!action(w, "saveAction")->isEnabled());
    QVERIFY(!action(w, "reloadAction")->isEnabled());

    // Asking again meanwhile starts nothing.
    w->saveAndApply();
    w->reloadConfiguration();
    QVERIFY(m_fx->waitForApplyEnd());
    QTest::qWait(700); // a reload would have read the seats by now
    for (const QStringList &call : m_fx->calls().mid(start))
        QVERIFY2(call.first() == "attach" || call.first() == "seat-status",
                 qPrintable(call.join(' ')));
    QCOMPARE(m_fx->attaches(start), SavedPairs);
    QCOMPARE(m_fx->restarts.size(), 1);
    QCOMPARE(WindowFixture::messageBoxes(*m_answerer).size(), 1);
    QCOMPARE(m_answerer->unexpected(), 0);
}

void TestSaveAttach::restartRequestedOnceAfterLastCheck()
{
    MainWindow *w = openWithSpareOnSeat1();
    QVERIFY(w);
    const int start = m_fx->callCount();
    WindowFixture::answerSave(*m_answerer);
    action(w, "saveAction")->trigger();
    const auto values = progressValues(w);
    QVERIFY(values);
    QVERIFY(m_fx->waitForApplyEnd());
    QTest::qWait(200); // nothing may follow the restart

    QCOMPARE(m_fx->attaches(start), SavedPairs);
    QCOMPARE(m_fx->checkFollowsAttach(start), QString());
    const QList<QStringList> calls = m_fx->calls();
    QCOMPARE(calls.size(), start + 2 * SavedPairs.size());

    QCOMPARE(m_fx->restarts.size(), 1);
    const WindowFixture::Restart restart = m_fx->restarts.first();
    QCOMPARE(restart.service, QStringLiteral("zel-dm"));
    QCOMPARE(restart.callsBefore, calls.size());
    QCOMPARE(calls.last(), (QStringList{"seat-status", "seat0"}));
    // By then the layout counts as saved and the window is usable again.
    QVERIFY(!restart.stateChanged);
    QVERIFY(restart.windowEnabled);
    QVERIFY(!restart.cursorOverridden);
    QVERIFY(!restart.progressVisible);

    QVERIFY(!w->stateChanged());
    QVERIFY(!action(w, "saveAction")->isEnabled());
    QVERIFY(action(w, "reloadAction")->isEnabled());
    QCOMPARE(valuesOf(*values), oneTo(SavedPairs.size()));
    QVERIFY(m_fx->loginctl({"seat-status", "seat1"}).contains(SpareMouse + '\n'));

    const QList<SeenBox> boxes = WindowFixture::messageBoxes(*m_answerer);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().title, QStringLiteral("Warning!"));
    QVERIFY(boxes.first().text.startsWith("After saving the settings"));
}

// udev may apply an attach late: a device found only by the third check is
// attached three times, each time checked, with growing waits, and counted once.
void TestSaveAttach::deviceShowingOnThirdCheck()
{
    MainWindow *w =
        openWithSpareOnSeat1("fault attach lag never arg=" + SpareMouse.toUtf8() + " times=2\n");
    QVERIFY(w);
    const int start = m_fx->callCount();
    WindowFixture::answerSave(*m_answerer);
    QElapsedTimer clock;
    clock.start();
    action(w, "saveAction")->trigger();
    const auto values = progressValues(w);
    QVERIFY(values);
    QVERIFY(m_fx->waitForApplyEnd());
    QVERIFY2(clock.elapsed() >= 30, "waits of 10 and 20 ms before the second and third try");

    QList<QPair<QString, QString>> expected = SavedPairs;
    const QPair<QString, QString> spare("seat1", SpareMouse);
    for (int i = 0; i < 2; ++i)
        expected.insert(expected.indexOf(spare), spare);
    QCOMPARE(m_fx->attaches(start), expected);
    QCOMPARE(m_fx->checkFollowsAttach(start), QString());

    QCOMPARE(m_fx->restarts.size(), 1);
    QVERIFY(!w->stateChanged());
    QCOMPARE(valuesOf(*values), oneTo(SavedPairs.size()));
    QVERIFY(m_fx->loginctl({"seat-status", "seat1"}).contains(SpareMouse + '\n'));
    QCOMPARE(WindowFixture::messageBoxes(*m_answerer).size(), 1);
}

// A path that only begins another device's path in the check output is not
// the device: input3 is missing although input30 is listed.
void TestSaveAttach::prefixOfListedPathIsNoProof()
{
    const QByteArray extra = "device " + Ps2Mouse.toUtf8() +
                             " input:input3 name=\"PS/2 Generic Mouse\"\n"
                             "device " +
                             Touchpad.toUtf8() +
                             " input:input30 seat=seat1 name=\"SynPS/2 Touchpad Mouse\"\n"
                             "fault attach lag never arg=" +
                             Ps2Mouse.toUtf8() + " times=1\n";
    MainWindow *w = openWithSpareOnSeat1(extra);
    QVERIFY(w);
    QVERIFY(m_fx->giveToPanel("PS/2 Generic Mouse", "seat1"));
    const int start = m_fx->callCount();
    WindowFixture::answerSave(*m_answerer);
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd());

    const auto attaches = m_fx->attaches(start);
    QCOMPARE(countOf(attaches, {"seat1", Ps2Mouse}), 2);
    QCOMPARE(countOf(attaches, {"seat1", Touchpad}), 1);
    QCOMPARE(m_fx->restarts.size(), 1);
    QVERIFY(m_fx->loginctl({"seat-status", "seat1"}).contains(Ps2Mouse + '\n'));
}

// A device that never shows up is tried a bounded number of times; the loop
// goes on with the others, and the save ends unsaved, without a restart, with
// one message that names the device.
void TestSaveAttach::deviceNeverShowingUp()
{
    MainWindow *w =
        openWithSpareOnSeat1("fault attach lag never arg=" + SpareMouse.toUtf8() + "\n");
    QVERIFY(w);
    const int start = m_fx->callCount();
    WindowFixture::answerSave(*m_answerer);
    m_answerer->answer(QMessageBox::Ok);
    QElapsedTimer clock;
    clock.start();
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd(30000));
    // The fixture's waits add up to 630 ms; a coarse timer may fire up to 5 % early.
    QVERIFY2(clock.elapsed() >= 630 - 20, qPrintable(QString::number(clock.elapsed())));

    const auto attaches = m_fx->attaches(start);
    const QPair<QString, QString> spare("seat1", SpareMouse);
    QCOMPARE(countOf(attaches, spare), 7);
    // The tries come one after the other, and the main seat follows them.
    QList<QPair<QString, QString>> expected = SavedPairs;
    for (int i = 0; i < 6; ++i)
        expected.insert(expected.indexOf(spare), spare);
    QCOMPARE(attaches, expected);
    QCOMPARE(m_fx->checkFollowsAttach(start), QString());

    QCOMPARE(m_fx->restarts.size(), 0);
    QVERIFY(w->isEnabled());
    QVERIFY(w->stateChanged());
    QVERIFY(action(w, "saveAction")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!progressOf(w)->isVisible());

    const QList<SeenBox> boxes = WindowFixture::messageBoxes(*m_answerer);
    QCOMPARE(boxes.size(), 2);
    const SeenBox failure = boxes.last();
    QCOMPARE(failure.icon, QMessageBox::Critical);
    QCOMPARE(failure.title, AttachErrorTitle);
    QCOMPARE(failure.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY2(failure.text.contains(SpareMouseName), qPrintable(failure.text));
    QVERIFY2(failure.text.contains(SpareMouse), qPrintable(failure.text));
    QVERIFY2(failure.text.contains("seat1"), qPrintable(failure.text));
    // Only the device that failed is named.
    QVERIFY2(!failure.text.contains(Seat1Mouse), qPrintable(failure.text));
    QCOMPARE(m_answerer->unexpected(), 0);
}

// loginctl crashing during the loop shows the error and ends the loop: no
// further call, no restart, the window usable, the layout still unsaved and
// savable again.
// A device that comes back later in the queue gets its tries afresh: the
// misses of its first attachment do not use up those of the second.
void TestSaveAttach::triesCountedPerAttachment()
{
    const QByteArray spare = SpareMouse.toUtf8();
    MainWindow *w = openWithSpareOnSeat1("fault attach lag never arg=seat1 arg=" + spare +
                                         " times=3\nfault attach lag never arg=seat1 arg=" + spare +
                                         " from=5 times=4\n");
    QVERIFY(w);
    const int start = m_fx->callCount();
    const QPair<QString, QString> toSeat1("seat1", SpareMouse);
    const QPair<QString, QString> toSeat0("seat0", SpareMouse);
    w->startApplying({toSeat1, toSeat0, toSeat1});
    QVERIFY(m_fx->waitForApplyEnd());

    // 3 misses and a hit, one hit, 4 misses and a hit: 7 misses in all, more
    // than one attachment may have.
    QList<QPair<QString, QString>> expected;
    for (int i = 0; i < 4; ++i)
        expected.append(toSeat1);
    expected.append(toSeat0);
    for (int i = 0; i < 5; ++i)
        expected.append(toSeat1);
    QCOMPARE(m_fx->attaches(start), expected);
    QCOMPARE(m_fx->checkFollowsAttach(start), QString());
    QCOMPARE(m_fx->restarts.size(), 1);
    QVERIFY(WindowFixture::messageBoxes(*m_answerer).isEmpty());
    QVERIFY(m_fx->loginctl({"seat-status", "seat1"}).contains(SpareMouse + '\n'));
}

void TestSaveAttach::crashEndsLoopWithoutRestart()
{
    MainWindow *w = openWithSpareOnSeat1("fault attach crash from=3 times=1\n");
    QVERIFY(w);
    const int start = m_fx->callCount();
    WindowFixture::answerSave(*m_answerer);
    for (int i = 0; i < 3; ++i)
        m_answerer->answer(QMessageBox::Ok);
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd());
    QTest::qWait(200);

    const QList<QStringList> calls = m_fx->calls();
    QCOMPARE(m_fx->attaches(start), SavedPairs.mid(0, 3));
    QCOMPARE(calls.last(),
             (QStringList{"attach", SavedPairs.at(2).first, SavedPairs.at(2).second}));

    QCOMPARE(m_fx->restarts.size(), 0);
    QVERIFY(w->isEnabled());
    QVERIFY(!w->isApplying());
    QVERIFY(w->stateChanged());
    QVERIFY(action(w, "saveAction")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!progressOf(w)->isVisible());

    QList<SeenBox> errors = WindowFixture::messageBoxes(*m_answerer);
    QVERIFY(!errors.isEmpty());
    errors.removeFirst(); // the restart question
    QCOMPARE(errors.size(), 2);
    for (const SeenBox &box : qAsConst(errors)) {
        QCOMPARE(box.title, AttachErrorTitle);
        QCOMPARE(box.icon, QMessageBox::Critical);
    }
    QCOMPARE(errors.last().text, QStringLiteral("Crashed: code is 9"));

    // The next save runs the whole loop.
    m_answerer->reset();
    const int again = m_fx->callCount();
    WindowFixture::answerSave(*m_answerer);
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd());
    QCOMPARE(m_fx->attaches(again), SavedPairs);
    QCOMPARE(m_fx->restarts.size(), 1);
    QVERIFY(!w->stateChanged());
}

void TestSaveAttach::secondSaveReusesProgressDialog()
{
    MainWindow *w = openWithSpareOnSeat1();
    QVERIFY(w);
    WindowFixture::answerSave(*m_answerer);
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd());
    QProgressDialog *first = progressOf(w);
    QVERIFY(first);
    QCOMPARE(first->maximum(), SavedPairs.size());

    // The spare mouse goes back to the main seat, and the main seat's
    // unrecognized device is shown and so attached too: one pair more.
    Seat *seat1 = m_fx->panel("seat1");
    QVERIFY(seat1);
    QTreeWidgetItem *spare = WindowFixture::device(seat1->devTreeWidget(), SpareMouseName);
    QVERIFY(spare);
    spare->setSelected(true);
    seat1->findChild<QPushButton *>("deleteDevButton")->click();
    QVERIFY(WindowFixture::device(w->mainTree(), SpareMouseName));
    QVERIFY(w->stateChanged());
    action(w, "showAllDevicesAction")->trigger();
    QVERIFY(action(w, "showAllDevicesAction")->isChecked());

    const int start = m_fx->callCount();
    WindowFixture::answerSave(*m_answerer);
    action(w, "saveAction")->trigger();
    QCOMPARE(progressOf(w), first);
    QVERIFY(first->isVisible());
    QCOMPARE(first->maximum(), SavedPairs.size() + 1);
    const auto values = progressValues(w);
    QVERIFY(values);
    QVERIFY(m_fx->waitForApplyEnd());
    QCOMPARE(w->findChildren<QProgressDialog *>().size(), 1);
    const auto attaches = m_fx->attaches(start);
    QCOMPARE(attaches.size(), SavedPairs.size() + 1);
    QCOMPARE(attaches.last(), (QPair<QString, QString>("seat0", PowerButton)));
    QCOMPARE(valuesOf(*values), oneTo(attaches.size()));
    QCOMPARE(m_fx->restarts.size(), 2);
    QCOMPARE(m_answerer->unexpected(), 0);
}

void TestSaveAttach::closeWithYesWaitsForLoop()
{
    MainWindow *w = openWithSpareOnSeat1();
    QVERIFY(w);
    const int start = m_fx->callCount();
    m_answerer->answer(QMessageBox::Yes); // "Unsaved changes"
    WindowFixture::answerSave(*m_answerer);
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    QVERIFY(w->isApplying());
    QVERIFY(m_fx->restarts.isEmpty());

    QVERIFY(QTest::qWaitFor([w] { return !w->isVisible(); }, 20000));
    QCOMPARE(m_fx->restarts.size(), 1);
    QVERIFY(m_fx->restarts.first().windowVisible);
    QCOMPARE(m_fx->restarts.first().callsBefore, m_fx->callCount());
    QCOMPARE(m_fx->attaches(start), SavedPairs);

    const QList<SeenBox> boxes = WindowFixture::messageBoxes(*m_answerer);
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes.first().title, QStringLiteral("Unsaved changes"));
    QCOMPARE(m_answerer->unexpected(), 0);
}

void TestSaveAttach::closeWithYesAfterFailureShowsErrorFirst()
{
    MainWindow *w = openWithSpareOnSeat1("fault attach crash from=2 times=1\n");
    QVERIFY(w);
    m_answerer->answer(QMessageBox::Yes); // "Unsaved changes"
    WindowFixture::answerSave(*m_answerer);
    QList<bool> visibleAtError;
    for (int i = 0; i < 3; ++i) {
        m_answerer->answerWith([w, &visibleAtError](const Prompt::Request &request) {
            visibleAtError.append(w->isVisible());
            return PromptAnswerer::escape(request);
        });
    }
    QVERIFY(!w->close());
    QVERIFY(QTest::qWaitFor([w] { return !w->isVisible(); }, 20000));
    QVERIFY(!visibleAtError.isEmpty());
    QVERIFY2(visibleAtError.first(), "the window was closed before the error was seen");
    QCOMPARE(m_fx->restarts.size(), 0);
    QVERIFY(!QApplication::overrideCursor());
}

// Every device of a save: attach, udevd told to apply it, then the check.
void TestSaveAttach::stepRunsUdevadmBetweenAttachAndCheck()
{
    MainWindow *w = openWithSpareOnSeat1();
    QVERIFY(w);
    const int start = m_fx->sequence().size();
    WindowFixture::answerSave(*m_answerer);
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd());

    QList<QStringList> expected;
    for (const auto &pair : SavedPairs) {
        expected << QStringList{"loginctl", "attach", pair.first, pair.second}
                 << QStringList{"udevadm", "control", "--reload"}
                 << QStringList{"udevadm", "trigger", "--settle", "--action=change",
                                "--parent-match=" + pair.second}
                 << QStringList{"loginctl", "seat-status", pair.first};
    }
    QCOMPARE(m_fx->sequence().mid(start), expected);
    QCOMPARE(m_fx->restarts.size(), 1);
}

// A command that never answers during a save: killed after the time limit;
// one message, no restart, the window usable and the layout still unsaved.
void TestSaveAttach::hungCommandEndsTheSave_data()
{
    QTest::addColumn<QByteArray>("machineFault");
    QTest::addColumn<QByteArray>("udevadmFault");
    QTest::addColumn<QString>("program");
    QTest::newRow("loginctl") << QByteArray("fault attach sleep 600000 arg=seat0\n") << QByteArray()
                              << "loginctl";
    QTest::newRow("udevadm") << QByteArray() << QByteArray("trigger:hang") << "udevadm";
}

void TestSaveAttach::hungCommandEndsTheSave()
{
    QFETCH(QByteArray, machineFault);
    QFETCH(QByteArray, udevadmFault);
    QFETCH(QString, program);
    m_fx->commandTimeLimitMs = 1000;
    MainWindow *w = openWithSpareOnSeat1(machineFault);
    QVERIFY(w);
    if (!udevadmFault.isEmpty())
        qputenv("ZEL_UDEVADM_FAULT", udevadmFault);
    WindowFixture::answerSave(*m_answerer);
    m_answerer->answer(QMessageBox::Ok);
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd(20000));
    qunsetenv("ZEL_UDEVADM_FAULT");
    QTest::qWait(200);

    const QList<SeenBox> boxes = WindowFixture::messageBoxes(*m_answerer);
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes.last().title, AttachErrorTitle);
    QCOMPARE(boxes.last().icon, QMessageBox::Critical);
    QCOMPARE(boxes.last().text, program + " did not answer within 1 seconds.");
    QCOMPARE(m_fx->restarts.size(), 0);
    QVERIFY(w->isEnabled());
    QVERIFY(w->stateChanged());
    QVERIFY(action(w, "saveAction")->isEnabled());
    QVERIFY(action(w, "reloadAction")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!progressOf(w)->isVisible());
    QVERIFY(TestEnv::emulatorChildren(QCoreApplication::applicationPid()).isEmpty());
    QCOMPARE(m_answerer->unexpected(), 0);
}

// Closing while loginctl hangs: the window waits for the save, which the
// time limit ends; then it closes, and no child is left.
void TestSaveAttach::closingWhileACommandHangs()
{
    m_fx->commandTimeLimitMs = 1000;
    MainWindow *w = openWithSpareOnSeat1("fault attach sleep 600000 arg=seat0\n");
    QVERIFY(w);
    WindowFixture::answerSave(*m_answerer);
    m_answerer->answer(QMessageBox::Ok);
    action(w, "saveAction")->trigger();
    QVERIFY(QTest::qWaitFor(
        [] { return !TestEnv::emulatorChildren(QCoreApplication::applicationPid()).isEmpty(); },
        10000));
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    QVERIFY(QTest::qWaitFor([w] { return !w->isVisible(); }, 20000));
    QCOMPARE(m_fx->restarts.size(), 0);
    QCOMPARE(WindowFixture::messageBoxes(*m_answerer).size(), 2);
    QVERIFY(TestEnv::emulatorChildren(QCoreApplication::applicationPid()).isEmpty());
}

// The tool ending while a command hangs takes the command along.
void TestSaveAttach::destroyedWhileACommandHangs()
{
    MainWindow *w = openWithSpareOnSeat1("fault attach sleep 600000 arg=seat0\n");
    QVERIFY(w);
    WindowFixture::answerSave(*m_answerer);
    action(w, "saveAction")->trigger();
    QVERIFY(QTest::qWaitFor(
        [] { return !TestEnv::emulatorChildren(QCoreApplication::applicationPid()).isEmpty(); },
        10000));
    m_fx->closeWindow();
    QVERIFY(TestEnv::emulatorChildren(QCoreApplication::applicationPid()).isEmpty());
    QCOMPARE(m_fx->restarts.size(), 0);
}

QTEST_MAIN(TestSaveAttach)
#include "tst_save_attach.moc"
