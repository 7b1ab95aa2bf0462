// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "mainwindow/windowfixture.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/seat.h"
#include "seatstate/seatstatus.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

// What a save through the real window attaches, in which order, and what the
// layout checks stop before anything is touched: the emulator's call log
// shows the attach order.

namespace {

using Pair = QPair<QString, QString>;

const QString Usb = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1");
const QString PowerButton = QStringLiteral("/sys/devices/LNXSYSTM:00/LNXPWRBN:00/input/input0");
const QString Card0 = QStringLiteral("/sys/devices/pci0000:00/0000:00:02.0/drm/card0");
const QString Card1 = QStringLiteral("/sys/devices/pci0000:00/0000:00:03.0/drm/card1");
const QString Card2 = QStringLiteral("/sys/devices/pci0000:00/0000:00:04.0/drm/card2");
const QString Card3 = QStringLiteral("/sys/devices/pci0000:00/0000:00:05.0/drm/card3");
const QString KeyboardKeys = Usb + "/1-1/1-1:1.0/0003:046D:C31C.0001/input/input5";
const QString KeyboardMedia = Usb + "/1-1/1-1:1.1/0003:046D:C31C.0002/input/input6";
const QString MainMouse = Usb + "/1-2/1-2:1.0/0003:046D:C077.0003/input/input7";
const QString Seat1Keyboard = Usb + "/1-3/1-3:1.0/0003:413C:2113.0004/input/input8";
const QString Seat1Mouse = Usb + "/1-4/1-4:1.0/0003:093A:2510.0005/input/input9";
const QString Seat2Keyboard = Usb + "/1-5/1-5:1.0/0003:046A:0011.0006/input/input10";
const QString Seat2Mouse = Usb + "/1-6/1-6:1.0/0003:045E:0084.0007/input/input11";
const QString SpareMouse = Usb + "/1-7/1-7:1.0/0003:0458:003A.0008/input/input12";
const QString SpareMouseName = QStringLiteral("Genius Spare Mouse");
const QString LidSwitch = QStringLiteral("/sys/devices/platform/lid/input/input21");
const QString Speaker = QStringLiteral("/sys/devices/platform/pcspkr/input/input20");

QByteArray device(const QString &path, const char *rest)
{
    return "device " + path.toUtf8() + ' ' + rest + '\n';
}

// seat0 with a card, a two-interface keyboard, two mice and an unrecognized
// device; seat1 with a card, keyboard, mouse and an unrecognized device;
// seat2 with a card, keyboard and mouse. withSeat3 adds a seat that holds
// only an unrecognized device.
QByteArray machine(bool withSeat3)
{
    QByteArray m = "seat seat0 sessions *2\nseat seat1\nseat seat2\n";
    if (withSeat3)
        m += "seat seat3\n";
    m += device(PowerButton, "input:input0 name=\"Power Button\"");
    m += device(Card0, "drm:card0 master");
    m += device(Card1, "drm:card1 master seat=seat1");
    m += device(Card2, "drm:card2 master seat=seat2");
    m += device(KeyboardKeys, "input:input5 name=\"Logitech USB Keyboard\"");
    m += device(KeyboardMedia, "input:input6 name=\"Logitech USB Keyboard Consumer Control\"");
    m += device(MainMouse, "input:input7 name=\"Logitech USB Optical Mouse\"");
    m += device(Seat1Keyboard, "input:input8 seat=seat1 name=\"Dell USB Keyboard\"");
    m += device(Seat1Mouse, "input:input9 seat=seat1 name=\"PixArt USB Optical Mouse\"");
    m += device(Seat2Keyboard, "input:input10 seat=seat2 name=\"Cherry USB Keyboard\"");
    m += device(Seat2Mouse, "input:input11 seat=seat2 name=\"Microsoft Basic Optical Mouse\"");
    m += device(SpareMouse, "input:input12 name=\"Genius Spare Mouse\"");
    if (withSeat3)
        m += device(LidSwitch, "input:input21 seat=seat3 name=\"Lid Switch\"");
    m += device(Speaker, "input:input20 seat=seat1 name=\"PC Speaker\"");
    return m;
}

const QByteArray Config = "[General]\n# ServerUID=auto\nGreeter=zel-greeter\n";

QStringList seatIds(const MainWindow *w)
{
    QStringList ids;
    for (const Seat *seat : w->seatPanels())
        ids.append(seat->seatId());
    return ids;
}

} // namespace

class TestSaveQueue : public WindowTestCase
{
    Q_OBJECT
public:
    TestSaveQueue() : WindowTestCase(Config) {}

private slots:
    void nothingChangedDoesNothing();
    void queueFollowsPanelsThenMainSeat_data();
    void queueFollowsPanelsThenMainSeat();
    void emptyPanelIsDeletedAndItsDevicesGoToTheMainSeat();
    void deletedSeatsHiddenDevicesGoToTheMainSeat();
    void shownUnrecognizedDevicesNeedACard();
    void threePanelsStopBeforeDeleting();
    void deletingLastPanelRestoresConfiguration();

private:
    void verifyNothingApplied(const MainWindow *w, int callsBefore);
};

// A stopped save changes nothing: no attach, the file as it was, no restart,
// the layout still unsaved.
void TestSaveQueue::verifyNothingApplied(const MainWindow *w, int callsBefore)
{
    QTest::qWait(100);
    QCOMPARE(m_fx->callCount(), callsBefore);
    QCOMPARE(m_fx->config(), Config);
    QVERIFY(m_fx->restarts.isEmpty());
    QVERIFY(w->stateChanged());
    QVERIFY(w->isEnabled());
    QVERIFY(!w->isApplying());
    QVERIFY(action(w, "saveAction")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

void TestSaveQueue::nothingChangedDoesNothing()
{
    QVERIFY(m_fx->writeMachine(machine(false)));
    MainWindow *w = m_fx->openWindow();
    QVERIFY(w);
    QVERIFY(!w->stateChanged());
    const int start = m_fx->callCount();
    w->saveAndApply();
    QTest::qWait(100);
    QCOMPARE(m_fx->callCount(), start);
    QVERIFY(m_answerer->seen.isEmpty());
    QCOMPARE(m_fx->config(), Config);
    QVERIFY(m_fx->restarts.isEmpty());
}

void TestSaveQueue::queueFollowsPanelsThenMainSeat_data()
{
    QTest::addColumn<bool>("showAll");
    QTest::newRow("unrecognized devices hidden") << false;
    QTest::newRow("unrecognized devices shown") << true;
}

// Panels in display order, each tree in category order (video cards,
// keyboards, mice, unrecognized devices when shown); the main seat last; the
// keyboard with two interfaces gives two pairs in a row.
void TestSaveQueue::queueFollowsPanelsThenMainSeat()
{
    QFETCH(bool, showAll);
    QVERIFY(m_fx->writeMachine(machine(false)));
    MainWindow *w = m_fx->openWindow();
    QVERIFY(w);
    QCOMPARE(seatIds(w), (QStringList{"seat1", "seat2"}));
    if (showAll) {
        action(w, "showAllDevicesAction")->trigger();
        QVERIFY(action(w, "showAllDevicesAction")->isChecked());
    }
    QVERIFY(m_fx->giveToPanel(SpareMouseName, "seat2"));

    QTreeWidgetItem *keyboards = w->mainTree()->category(KeyboardCategory);
    QVERIFY(keyboards);
    QCOMPARE(keyboards->childCount(), 1);
    const QStringList keyboard =
        keyboards->child(0)->data(0, DevTreeWidget::AddressRole).toStringList();
    QCOMPARE(QSet<QString>(keyboard.begin(), keyboard.end()),
             (QSet<QString>{KeyboardKeys, KeyboardMedia}));

    QList<Pair> expected{{"seat1", Card1}, {"seat1", Seat1Keyboard}, {"seat1", Seat1Mouse}};
    if (showAll)
        expected.append({"seat1", Speaker});
    expected << Pair("seat2", Card2) << Pair("seat2", Seat2Keyboard) << Pair("seat2", Seat2Mouse)
             << Pair("seat2", SpareMouse) << Pair("seat0", Card0) << Pair("seat0", keyboard.at(0))
             << Pair("seat0", keyboard.at(1)) << Pair("seat0", MainMouse);
    if (showAll)
        expected.append({"seat0", PowerButton});

    const int start = m_fx->callCount();
    WindowFixture::answerSave(*m_answerer);
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd());
    QCOMPARE(m_fx->attaches(start), expected);
    QCOMPARE(m_fx->checkFollowsAttach(start), QString());
    QCOMPARE(m_fx->restarts.size(), 1);
    QCOMPARE(m_answerer->unexpected(), 0);
}

// A panel whose only device is an unrecognized one that is not shown counts
// as empty: after Yes it is deleted, and nothing is attached to it or from it.
void TestSaveQueue::emptyPanelIsDeletedAndItsDevicesGoToTheMainSeat()
{
    QVERIFY(m_fx->writeMachine(machine(true)));
    MainWindow *w = m_fx->openWindow();
    QVERIFY(w);
    QCOMPARE(seatIds(w), (QStringList{"seat1", "seat2", "seat3"}));
    QPointer<Seat> seat3 = m_fx->panel("seat3");
    QVERIFY(seat3);
    QCOMPARE(seat3->devTreeWidget()->deviceAddresses(true), QStringList{LidSwitch});
    QVERIFY(m_fx->giveToPanel(SpareMouseName, "seat2"));
    const int freeSeats = w->freeSeats();

    const int start = m_fx->callCount();
    m_answerer->answer(QMessageBox::Yes); // restart question
    m_answerer->answer(QMessageBox::Yes); // empty seats deleted
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QVERIFY(!seat3);
    QCOMPARE(seatIds(w), (QStringList{"seat1", "seat2"}));
    QCOMPARE(w->freeSeats(), freeSeats + 1);
    QVERIFY(action(w, "addSeatAction")->isEnabled());
    const QList<Pair> attaches = m_fx->attaches(start);
    QVERIFY(!attaches.isEmpty());
    for (const Pair &pair : attaches)
        QVERIFY2(pair.first != "seat3", qPrintable(pair.second));
    QCOMPARE(attaches.first(), Pair("seat1", Card1));
    // The lid switch it held, hidden, leaves the seat that is gone.
    QCOMPARE(attaches.at(attaches.size() - 2), Pair("seat0", MainMouse));
    QCOMPARE(attaches.last(), Pair("seat0", LidSwitch));
    QVERIFY(m_fx->loginctl({"seat-status", "seat0"}).contains(LidSwitch + '\n'));

    const QList<SeenBox> boxes = WindowFixture::messageBoxes(*m_answerer);
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes.at(1).title, QStringLiteral("Warning!"));
    QCOMPARE(boxes.at(1).text,
             QStringLiteral("Seats without devices will be deleted. \nDo you want to continue?"));
    QCOMPARE(boxes.at(1).buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(m_fx->restarts.size(), 1);
    QVERIFY(m_fx->config().contains("\nServerUID=root\n##commented # ServerUID=auto\n"));
}

// "Delete seat" with unrecognized devices hidden gives back only what the
// panel counts; what it kept still leaves the deleted seat on the next save.
void TestSaveQueue::deletedSeatsHiddenDevicesGoToTheMainSeat()
{
    QVERIFY(m_fx->writeMachine(machine(false)));
    MainWindow *w = m_fx->openWindow();
    QVERIFY(w);
    Seat *seat1 = m_fx->panel("seat1");
    QVERIFY(seat1);
    QCOMPARE(seat1->devTreeWidget()->deviceAddresses(true).last(), Speaker);
    m_answerer->answer(QMessageBox::Yes); // devices disconnection
    seat1->findChild<QPushButton *>(QStringLiteral("deleteSeatButton"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(seatIds(w), QStringList{"seat2"});
    // The speaker is the main seat's now, still hidden with the others.
    QCOMPARE(
        WindowFixture::addressesOf(w->mainTree(), QStringLiteral("input:input20 \"PC Speaker\"")),
        QStringList{Speaker});

    const int start = m_fx->callCount();
    m_answerer->answer(QMessageBox::Yes); // restart question
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd());
    const QList<Pair> attaches = m_fx->attaches(start);
    QCOMPARE(attaches.last(), Pair("seat0", Speaker));
    QVERIFY(!attaches.contains(Pair("seat0", PowerButton)));
    QVERIFY(m_fx->loginctl({"seat-status", "seat0"}).contains(Speaker + '\n'));
    QCOMPARE(m_fx->restarts.size(), 1);
    QCOMPARE(m_answerer->unexpected(), 0);
}

// Shown, the same unrecognized device counts as an input device, and a seat
// with input devices but no card is refused before anything changes.
void TestSaveQueue::shownUnrecognizedDevicesNeedACard()
{
    QVERIFY(m_fx->writeMachine(machine(true)));
    MainWindow *w = m_fx->openWindow();
    QVERIFY(w);
    action(w, "showAllDevicesAction")->trigger();
    QVERIFY(m_fx->giveToPanel(SpareMouseName, "seat2"));

    const int start = m_fx->callCount();
    m_answerer->answer(QMessageBox::Yes); // restart question
    m_answerer->answer(QMessageBox::Ok);
    action(w, "saveAction")->trigger();
    verifyNothingApplied(w, start);
    QCOMPARE(seatIds(w), (QStringList{"seat1", "seat2", "seat3"}));

    const QList<SeenBox> boxes = WindowFixture::messageBoxes(*m_answerer);
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes.at(1).icon, QMessageBox::Critical);
    QCOMPARE(boxes.at(1).title, QStringLiteral("Error!"));
    QCOMPARE(boxes.at(1).text, QStringLiteral("Creating seats without videocard is forbidden."));
    QCOMPARE(m_answerer->unexpected(), 0);
}

// seat1 complete, seat2 empty, seat3 a card only: the deletion of seat2 is
// asked first, then seat3 stops the save and seat2 stays. Once seats without
// input devices are allowed, the same layout is saved.
void TestSaveQueue::threePanelsStopBeforeDeleting()
{
    QByteArray m = "seat seat0 sessions *2\nseat seat1\nseat seat2\n";
    m += device(Card0, "drm:card0 master");
    m += device(Card1, "drm:card1 master seat=seat1");
    m += device(Card3, "drm:card3 master seat=seat3");
    m += device(KeyboardKeys, "input:input5 name=\"Logitech USB Keyboard\"");
    m += device(MainMouse, "input:input7 name=\"Logitech USB Optical Mouse\"");
    m += device(Seat1Keyboard, "input:input8 seat=seat1 name=\"Dell USB Keyboard\"");
    m += device(SpareMouse, "input:input12 name=\"Genius Spare Mouse\"");
    QVERIFY(m_fx->writeMachine(m));
    MainWindow *w = m_fx->openWindow();
    QVERIFY(w);
    QCOMPARE(seatIds(w), (QStringList{"seat1", "seat2", "seat3"}));
    QVERIFY(!action(w, "emptySeatsAllowedAction")->isChecked());
    QVERIFY(m_fx->giveToPanel(SpareMouseName, "seat1"));

    int start = m_fx->callCount();
    m_answerer->answer(QMessageBox::Yes); // restart question
    m_answerer->answer(QMessageBox::Yes); // empty seats deleted
    m_answerer->answer(QMessageBox::Ok);  // seats without input devices
    action(w, "saveAction")->trigger();
    verifyNothingApplied(w, start);
    QCOMPARE(seatIds(w), (QStringList{"seat1", "seat2", "seat3"}));
    QList<SeenBox> boxes = WindowFixture::messageBoxes(*m_answerer);
    QCOMPARE(boxes.size(), 3);
    QVERIFY(boxes.at(1).text.startsWith("Seats without devices will be deleted."));
    QCOMPARE(boxes.at(2).icon, QMessageBox::Critical);
    QCOMPARE(boxes.at(2).text,
             QStringLiteral("Creating seats without input devices disabled in Edit menu.\nEnable "
                            "this option and try again or reconfigure devices."));

    action(w, "emptySeatsAllowedAction")->trigger();
    QVERIFY(action(w, "emptySeatsAllowedAction")->isChecked());
    m_answerer->reset();
    start = m_fx->callCount();
    m_answerer->answer(QMessageBox::Yes);
    m_answerer->answer(QMessageBox::Yes);
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(seatIds(w), (QStringList{"seat1", "seat3"}));
    const QList<Pair> expected{
        {"seat1", Card1}, {"seat1", Seat1Keyboard}, {"seat1", SpareMouse}, {"seat3", Card3},
        {"seat0", Card0}, {"seat0", KeyboardKeys},  {"seat0", MainMouse}};
    QCOMPARE(m_fx->attaches(start), expected);
    QCOMPARE(m_fx->restarts.size(), 1);
    QCOMPARE(WindowFixture::messageBoxes(*m_answerer).size(), 2);
}

// The only panel is empty: deleting it on save hides the seat column, the
// configuration gets its default line back and only the main seat is attached.
void TestSaveQueue::deletingLastPanelRestoresConfiguration()
{
    const QByteArray applied = "[General]\nServerUID=root\n##commented # ServerUID=auto\n"
                               "Greeter=zel-greeter\n";
    QVERIFY(m_fx->writeConfig(applied));
    QByteArray m = "seat seat0 sessions *2\nseat seat1\n";
    m += device(Card0, "drm:card0 master");
    m += device(Card1, "drm:card1 master");
    m += device(KeyboardKeys, "input:input5 name=\"Logitech USB Keyboard\"");
    m += device(MainMouse, "input:input7 name=\"Logitech USB Optical Mouse\"");
    m += device(SpareMouse, "input:input12 name=\"Genius Spare Mouse\"");
    QVERIFY(m_fx->writeMachine(m));
    MainWindow *w = m_fx->openWindow();
    QVERIFY(w);
    QCOMPARE(seatIds(w), QStringList{"seat1"});
    // A device there and back leaves seat1 empty and the layout changed.
    QVERIFY(m_fx->giveToPanel(SpareMouseName, "seat1"));
    Seat *seat1 = m_fx->panel("seat1");
    WindowFixture::device(seat1->devTreeWidget(), SpareMouseName)->setSelected(true);
    seat1->findChild<QPushButton *>("deleteDevButton")->click();
    QVERIFY(WindowFixture::device(w->mainTree(), SpareMouseName));
    QVERIFY(w->stateChanged());

    const int start = m_fx->callCount();
    m_answerer->answer(QMessageBox::Yes); // restart question
    m_answerer->answer(QMessageBox::Yes); // empty seats deleted
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QVERIFY(w->seatPanels().isEmpty());
    QVERIFY(w->findChild<QScrollArea *>("scrollArea")->isHidden());
    QCOMPARE(m_fx->config(), Config);
    for (const Pair &pair : m_fx->attaches(start))
        QCOMPARE(pair.first, QStringLiteral("seat0"));
    QCOMPARE(m_fx->attaches(start).size(), 5);
    QCOMPARE(m_fx->restarts.size(), 1);
    QVERIFY(!w->stateChanged());
}

QTEST_MAIN(TestSaveQueue)
#include "tst_save_queue.moc"
