// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/fakedeviceinfo.h"
#include "common/testenv.h"
#include "hardware/hotplugmonitor.h"
#include "mainwindow/outsidechanges.h"
#include "mainwindow/windowfixture.h"
#include "seatpanel/devicepayload.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/dragsession.h"
#include "seatpanel/seat.h"
#include "seatstate/seatstatus.h"

#include <KMessageWidget>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidgetItem>

// What the window makes of udev's word: tool tips that tell identical
// devices apart, receivers counted as input, devices left on seats that are
// gone brought back, changes made outside the tool, and the way back to one
// seat.

namespace {

const QString Usb = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1");
const QString Card0 = QStringLiteral("/sys/devices/pci0000:00/0000:00:02.0/drm/card0");
const QString Card3 = QStringLiteral("/sys/devices/pci0000:00/0000:00:1c.4/0000:03:00.0/drm/card3");
const QString KeyboardKeys = Usb + "/1-1/1-1:1.0/0003:046D:C31C.0001/input/input5";
const QString KeyboardMedia = Usb + "/1-1/1-1:1.1/0003:046D:C31C.0002/input/input6";
const QString DellKeyboard = Usb + "/1-3/1-3:1.0/0003:413C:2113.0004/input/input8";
const QString SpareMouse = Usb + "/1-6/1-6:1.0/0003:045E:0084.0007/input/input11";
const QString ReceiverKeys = Usb + "/1-8/1-8:1.0/0003:046D:C52B.0009/input/input13";
const QString ReceiverPointer = Usb + "/1-8/1-8:1.1/0003:046D:C52B.000A/input/input14";
const QString Orphan = Usb + "/1-9/1-9:1.0/0003:046A:0011.0010/input/input20";
const QString LogitechMouse = Usb + "/1-2/1-2:1.0/0003:046D:C077.0003/input/input7";
const QString SigmaKeyboard = Usb + "/1-5/1-5:1.0/0003:1C4F:0002.0006/input/input10";

const QByteArray Config = "[General]\n# ServerUID=auto\nGreeter=zel-greeter\n";
const QByteArray Applied =
    "[General]\nServerUID=root\n##commented # ServerUID=auto\nGreeter=zel-greeter\n";

const QByteArray Receiver =
    "device " + ReceiverKeys.toUtf8() + " input:input13 name=\"Logitech USB Receiver\"\n" +
    "device " + ReceiverPointer.toUtf8() + " input:input14 name=\"Logitech USB Receiver\"\n";

// A keyboard left on seat3, which logind does not list: no master is there.
const QByteArray OrphanLine =
    "device " + Orphan.toUtf8() + " input:input20 seat=seat3 name=\"Cherry USB Keyboard\"\n";

int listSeatsCalls(const WindowFixture &fx)
{
    int n = 0;
    for (const QStringList &call : fx.calls())
        n += call.value(0) == QLatin1String("list-seats");
    return n;
}

DeviceDetails details(const QString &vendor, const QString &model, const QString &port,
                      const QString &driver, const QString &seat = {})
{
    DeviceDetails d;
    d.known = true;
    d.vendor = vendor;
    d.model = model;
    d.physicalPath = port;
    d.driver = driver;
    d.seat = seat;
    return d;
}

// A reading wanted by an event starts when the window's wait after it runs
// out (the window is then loading) and runs list-seats half a second later:
// once the wait has run out, either shows.
bool reloadFollowed(const MainWindow *w, WindowFixture &fx, int listSeatsBefore)
{
    return !fx.endOutsideChangeDelay() || w->isLoading() || listSeatsCalls(fx) != listSeatsBefore;
}

KMessageWidget *bar(const MainWindow *w)
{
    return w->findChild<KMessageWidget *>(QStringLiteral("outsideChangeBar"));
}

OutsideChanges *outside(const MainWindow *w)
{
    return w->findChild<OutsideChanges *>();
}

// What the bar's Details button lists, one change a line.
QStringList barDetails(const MainWindow *w, PromptAnswerer &answerer)
{
    QAction *details = w->findChild<QAction *>(QStringLiteral("outsideChangeDetailsAction"));
    if (!details || !bar(w)->actions().contains(details))
        return {};
    answerer.answer(QMessageBox::Ok);
    details->trigger();
    return answerer.seen.isEmpty() ? QStringList() : answerer.seen.last().text.split('\n');
}

// How many items of all trees carry the address.
int timesShown(MainWindow *w, const QString &address)
{
    int n = 0;
    QList<const DevTreeWidget *> trees{w->mainTree()};
    for (const Seat *seat : w->seatPanels())
        trees.append(seat->devTreeWidget());
    for (const DevTreeWidget *tree : trees) {
        for (const DeviceItem &device : tree->devices())
            n += device.addresses.contains(address);
    }
    return n;
}

// A drop of the device onto target, as a drag's target receives it.
void dropOn(DevTreeWidget *target, const QString &name, const QStringList &addresses, int type)
{
    std::unique_ptr<QMimeData> data(DevicePayload::createMimeData(name, addresses, type));
    const QPoint pos = target->viewport()->rect().center();
    QDragEnterEvent enter(pos, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target->viewport(), &enter);
    QDropEvent drop(pos, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target->viewport(), &drop);
}

} // namespace

class TestMainWindowHardware : public WindowTestCase
{
    Q_OBJECT
public:
    TestMainWindowHardware() : WindowTestCase(Config) {}

private slots:
    void init();

    void toolTipsTellDevicesApart();
    void createSeatDialogNamesTheProducts();
    void receiverIsTheSeatsInput();
    void orphanGoesBackToTheMainSeat();

    void outsideChangesReloadOnceASecond();
    void outsideChangesWithUnsavedWorkShowTheBar();
    void ownSaveIsNoOutsideChange();
    void outsideChangeWaitsForAnOpenQuestion();
    void changeDuringAReadingIsLookedAtAfterwards();
    void changeMadeWithinTheSecondIsKept();
    void barNamesDevicesAsTheTreesDo_data();
    void barNamesDevicesAsTheTreesDo();
    void onlyTheSavedDevicesEchoTheSave();
    void dragHoldsBackAReading();

    void resetAllSeats();
    void resetAnsweredNoChangesNothing();
    void failedResetIsReported_data();
    void failedResetIsReported();

private:
    MainWindow *open(const QByteArray &extra = {});
    void trigger(const QString &action, const QString &path, const QString &seat = {});

    std::shared_ptr<FakeDeviceInfo> m_info;
    std::shared_ptr<HotplugSource> m_hotplug;
};

void TestMainWindowHardware::init()
{
    WindowTestCase::init();
    m_info = std::make_shared<FakeDeviceInfo>();
    m_hotplug = std::make_shared<HotplugSource>();
    m_fx->deviceInfo = m_info;
    m_fx->hotplug = m_hotplug;
}

MainWindow *TestMainWindowHardware::open(const QByteArray &extra)
{
    if (!m_fx->useMachine(QStringLiteral("three-seats.machine"), extra))
        return nullptr;
    return m_fx->openWindow();
}

void TestMainWindowHardware::trigger(const QString &action, const QString &path,
                                     const QString &seat)
{
    emit m_hotplug->seatDeviceChanged(action, path, seat);
}

// Four "USB Keyboard" lines look alike; the tool tip names the product, the
// port, the driver and the seat, and lists every path of the item.
void TestMainWindowHardware::toolTipsTellDevicesApart()
{
    m_info->known[Card0] =
        details("Intel Corporation", "HD Graphics 620", "pci-0000:00:02.0", "i915");
    m_info->known[KeyboardKeys] =
        details("Logitech, Inc.", "Keyboard K120", "pci-0000:00:14.0-usb-0:1:1.0", "usbhid");
    m_info->known[KeyboardMedia] =
        details("Logitech, Inc.", "Keyboard K120", "pci-0000:00:14.0-usb-0:1:1.1", "usbhid");
    m_info->known[DellKeyboard] = details("Dell Computer Corp.", "KB216 Wired Keyboard",
                                          "pci-0000:00:14.0-usb-0:3:1.0", "usbhid", "seat1");
    MainWindow *w = open();
    QVERIFY(w);

    const QTreeWidgetItem *card = WindowFixture::device(w->mainTree(), "[MASTER] drm:card0");
    QVERIFY(card);
    // The name stays as loginctl prints it: the save rules compare it.
    QCOMPARE(card->text(0), QStringLiteral("[MASTER] drm:card0"));
    // Its render node goes with it.
    QCOMPARE(card->toolTip(0), "Intel Corporation HD Graphics 620\nPort: pci-0000:00:02.0\n"
                               "Driver: i915\n" +
                                   Card0 + "\n/sys/devices/pci0000:00/0000:00:02.0/drm/renderD128");
    const QTreeWidgetItem *keyboard =
        WindowFixture::device(w->mainTree(), "Logitech USB Keyboard Consumer Control");
    QVERIFY(keyboard);
    QCOMPARE(keyboard->toolTip(0), "Logitech, Inc. Keyboard K120\n"
                                   "Port: pci-0000:00:14.0-usb-0:1:1.1\nDriver: usbhid\n" +
                                       KeyboardMedia + "\nPort: pci-0000:00:14.0-usb-0:1:1.0\n" +
                                       KeyboardKeys);
    const QTreeWidgetItem *dell =
        WindowFixture::device(m_fx->panel("seat1")->devTreeWidget(), "Dell KB216 Wired Keyboard");
    QVERIFY(dell);
    QVERIFY2(dell->toolTip(0).contains("\nSeat: seat1\n"), qPrintable(dell->toolTip(0)));
    // What udev does not know is told by its path alone.
    const QTreeWidgetItem *mouse =
        WindowFixture::device(w->mainTree(), "Microsoft Microsoft Basic Optical Mouse");
    QVERIFY(mouse);
    QCOMPARE(mouse->toolTip(0), SpareMouse);

    // A device keeps its tool tip wherever it goes, led by where it was.
    QVERIFY(m_fx->giveToPanel("Logitech USB Keyboard Consumer Control", "seat1"));
    const QTreeWidgetItem *moved = WindowFixture::device(m_fx->panel("seat1")->devTreeWidget(),
                                                         "Logitech USB Keyboard Consumer Control");
    QVERIFY(moved);
    QVERIFY(moved->toolTip(0).contains("\nLogitech, Inc. Keyboard K120\n"));
}

void TestMainWindowHardware::createSeatDialogNamesTheProducts()
{
    m_info->known[Card3] = details("NVIDIA Corporation", "TU116 [GeForce GTX 1660 SUPER]",
                                   "pci-0000:03:00.0", "nouveau");
    MainWindow *w = open();
    QVERIFY(w);
    QStringList offered;
    QStringList shown;
    QStringList toolTips;
    m_answerer->act([&](QWidget *dialog) {
        auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("videocardComboBox"));
        for (int i = 0; combo && i < combo->count(); ++i) {
            offered << combo->itemData(i).toString();
            shown << combo->itemText(i);
            toolTips << combo->itemData(i, Qt::ToolTipRole).toString();
        }
        CreateSeatAnswer::create("Desk", "[MASTER] drm:card3", nullptr)(dialog);
    });
    action(w, "addSeatAction")->trigger();
    QCOMPARE(m_answerer->pending(), 0);
    const int card3 = offered.indexOf("[MASTER] drm:card3");
    QVERIFY2(card3 >= 0, qPrintable(offered.join(", ")));
    const QString product = QStringLiteral("NVIDIA Corporation TU116 [GeForce GTX 1660 SUPER]");
    // Beside the name in the closed box too, and in its tool tip.
    QVERIFY2(shown.at(card3).startsWith("[MASTER] drm:card3") && shown.at(card3).endsWith(product),
             qPrintable(shown.at(card3)));
    QCOMPARE(toolTips.at(card3), product);
    for (int i = 0; i < offered.size(); ++i) {
        if (i != card3) {
            QVERIFY(toolTips.at(i).isEmpty());
            QCOMPARE(shown.at(i), offered.at(i));
        }
    }
    // What the dialog hands on is the card's name: the card moves.
    QCOMPARE(w->seatPanels().size(), 2);
    QCOMPARE(Trees::texts(w->seatPanels().last()->devTreeWidget(), VideocardCategory),
             QStringList{"[MASTER] drm:card3"});
}

// A seat whose only input is a wireless receiver is saved without the
// question for seats without input devices: the receiver is its keyboard.
void TestMainWindowHardware::receiverIsTheSeatsInput()
{
    m_info->input(ReceiverKeys, true, false);
    m_info->input(ReceiverPointer, false, true);
    MainWindow *w = open(Receiver);
    QVERIFY(w);
    QCOMPARE(Trees::addresses(w->mainTree(), KeyboardCategory).last(), QStringList{ReceiverKeys});
    QCOMPARE(Trees::addresses(w->mainTree(), MouseCategory).last(), QStringList{ReceiverPointer});
    QVERIFY(!Trees::texts(w->mainTree(), UnrecognizedCategory).join('\n').contains("Receiver"));

    auto offered = std::make_shared<QStringList>();
    m_answerer->act(CreateSeatAnswer::create("Desk", "[MASTER] drm:card3", offered));
    action(w, "addSeatAction")->trigger();
    const QList<Seat *> panels = w->seatPanels();
    QCOMPARE(panels.size(), 2);
    const QString seatId = panels.last()->seatId();
    // Its keyboard alone; the pointer stays with the main seat.
    QTreeWidgetItem *keys = w->mainTree()->findDevice(KeyboardCategory, "Logitech USB Receiver");
    QVERIFY(keys);
    w->mainTree()->clearSelection();
    keys->setSelected(true);
    Trees::button(panels.last(), "addDevButton")->click();
    QCOMPARE(Trees::addresses(panels.last()->devTreeWidget(), KeyboardCategory),
             QList<QStringList>{{ReceiverKeys}});
    QVERIFY(panels.last()->hasKeyboardOrMouse());

    const int start = m_fx->callCount();
    WindowFixture::answerSave(*m_answerer);
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd());
    QCOMPARE(WindowFixture::messageBoxes(*m_answerer).size(), 1); // the restart question only
    QVERIFY(m_fx->attaches(start).contains(qMakePair(seatId, ReceiverKeys)));
    QCOMPARE(m_fx->restarts.size(), 1);
    QVERIFY(m_fx->loginctl({"seat-status", seatId}).contains(ReceiverKeys + '\n'));
}

// A keyboard left on seat3 shows in the main seat, marked; the window holds
// a change to save, and the save attaches it to seat0.
void TestMainWindowHardware::orphanGoesBackToTheMainSeat()
{
    SeatTaggedDevice orphan;
    orphan.syspath = Orphan;
    orphan.subsystem = "input";
    orphan.sysname = "input20";
    orphan.name = "Cherry USB Keyboard";
    orphan.seat = "seat3";
    m_info->tagged = {orphan};
    m_info->known[Orphan] =
        details("Cherry GmbH", "G83 Keyboard", "pci-0000:00:14.0-usb-0:9:1.0", "usbhid", "seat3");
    MainWindow *w = open(OrphanLine);
    QVERIFY(w);
    QCOMPARE(w->seatPanels().size(), 1);
    const QTreeWidgetItem *item = WindowFixture::device(w->mainTree(), "Cherry USB Keyboard");
    QVERIFY(item);
    QCOMPARE(item->data(0, DevTreeWidget::TypeRole).toInt(), int(KeyboardCategory));
    QVERIFY2(item->toolTip(0).contains("\nassigned to seat3, which no longer exists\n"),
             qPrintable(item->toolTip(0)));
    QVERIFY(w->stateChanged());
    QVERIFY(action(w, "saveAction")->isEnabled());

    const int start = m_fx->callCount();
    WindowFixture::answerSave(*m_answerer);
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd());
    QVERIFY(m_fx->attaches(start).contains(qMakePair(QStringLiteral("seat0"), Orphan)));
    QVERIFY(m_fx->loginctl({"seat-status", "seat0"}).contains(Orphan + '\n'));
    QVERIFY(!w->stateChanged());
    QCOMPARE(WindowFixture::messageBoxes(*m_answerer).size(), 1);
}

// Without unsaved changes the window reads the seats again by itself, once
// for a burst of events; a change that leaves a device where it is shown is
// none.
void TestMainWindowHardware::outsideChangesReloadOnceASecond()
{
    MainWindow *w = open();
    QVERIFY(w);
    const int before = listSeatsCalls(*m_fx);
    trigger("change", DellKeyboard, "seat1");
    trigger("change", KeyboardKeys, QString());
    QVERIFY(!reloadFollowed(w, *m_fx, before));

    QVERIFY(m_fx->appendToMachine(Receiver));
    QElapsedTimer clock;
    clock.start();
    trigger("add", ReceiverKeys);
    trigger("add", ReceiverPointer);
    trigger("change", SpareMouse, "seat1");
    QVERIFY(!w->isLoading());
    QTRY_VERIFY_WITH_TIMEOUT(w->isLoading(), 10000);
    // A coarse timer may fire up to 5 % early.
    QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
    QTRY_COMPARE_WITH_TIMEOUT(listSeatsCalls(*m_fx), before + 1, 10000);
    QVERIFY(WindowFixture::waitLoaded(w));
    QVERIFY(WindowFixture::device(w->mainTree(), "input:input13 \"Logitech USB Receiver\""));
    QVERIFY(!bar(w)->isVisible());
    QVERIFY(m_answerer->seen.isEmpty());
    // The burst made one reading, and a second burst makes one more.
    QVERIFY(!reloadFollowed(w, *m_fx, before + 1));
    trigger("remove", ReceiverKeys);
    trigger("remove", ReceiverPointer);
    QTRY_COMPARE_WITH_TIMEOUT(listSeatsCalls(*m_fx), before + 2, 10000);
}

// With unsaved changes nothing is read again: the bar names the device and
// offers Reload, which asks before it drops the changes.
void TestMainWindowHardware::outsideChangesWithUnsavedWorkShowTheBar()
{
    m_info->known[DellKeyboard] = details("Dell Computer Corp.", "KB216 Wired Keyboard",
                                          "pci-0000:00:14.0-usb-0:3:1.0", "usbhid", "seat1");
    MainWindow *w = open();
    QVERIFY(w);
    QVERIFY(m_fx->giveToPanel("Microsoft Microsoft Basic Optical Mouse", "seat1"));
    QVERIFY(w->stateChanged());
    const int before = listSeatsCalls(*m_fx);
    KMessageWidget *message = bar(w);
    QVERIFY(message);
    QVERIFY(!message->isVisible());

    trigger("change", DellKeyboard, "seat0");
    QTRY_VERIFY(message->isVisible());
    QCOMPARE(message->text(), QStringLiteral("Dell KB216 Wired Keyboard was moved to seat0 outside "
                                             "this tool. Reload to see the devices as they are "
                                             "now."));
    QVERIFY(!reloadFollowed(w, *m_fx, before));
    QVERIFY(w->stateChanged());

    QCOMPARE(message->actions().size(), 1);
    QAction *reload = message->actions().first();
    QCOMPARE(reload, action(w, "reloadAction"));
    // No keeps the changes, and the bar that tells what they do not show.
    const QString told = message->text();
    m_answerer->answer(QMessageBox::No);
    reload->trigger();
    QCOMPARE(m_answerer->pending(), 0);
    QTest::qWait(500); // the bar's hiding would be animated
    QVERIFY(message->isVisible());
    QCOMPARE(message->text(), told);
    QVERIFY(w->stateChanged());

    m_answerer->answer(QMessageBox::Yes); // the unsaved changes are lost
    reload->trigger();
    QVERIFY(WindowFixture::waitLoaded(w));
    QCOMPARE(listSeatsCalls(*m_fx), before + 1);
    QVERIFY(!w->stateChanged());
    QTRY_VERIFY(!message->isVisible());
    QCOMPARE(m_answerer->pending(), 0);
}

// The events of the tool's own attaches come while it saves and just after:
// neither a reading nor the bar follows.
void TestMainWindowHardware::ownSaveIsNoOutsideChange()
{
    MainWindow *w = open();
    QVERIFY(w);
    QVERIFY(m_fx->giveToPanel("Microsoft Microsoft Basic Optical Mouse", "seat1"));
    m_answerer->answer(QMessageBox::Yes);
    const int before = listSeatsCalls(*m_fx);
    action(w, "saveAction")->trigger();
    trigger("change", SpareMouse, "seat1");
    QVERIFY(m_fx->waitForApplyEnd());
    trigger("change", SpareMouse, "seat1");
    trigger("change", Card0, "seat1");
    QVERIFY(!reloadFollowed(w, *m_fx, before));
    QVERIFY(!bar(w)->isVisible());
    QCOMPARE(m_fx->restarts.size(), 1);
}

// A reading would delete the panels under an open question (whose box may
// belong to a panel): it waits until the question is closed.
void TestMainWindowHardware::outsideChangeWaitsForAnOpenQuestion()
{
    MainWindow *w = open();
    QVERIFY(w);
    const int before = listSeatsCalls(*m_fx);
    QDialog question(w);
    question.setWindowModality(Qt::ApplicationModal);
    question.show();
    QVERIFY(QApplication::activeModalWidget());
    QVERIFY(m_fx->appendToMachine(Receiver));
    trigger("add", ReceiverKeys);
    QVERIFY(!reloadFollowed(w, *m_fx, before));
    QVERIFY(!reloadFollowed(w, *m_fx, before));

    question.close();
    QTRY_COMPARE_WITH_TIMEOUT(listSeatsCalls(*m_fx), before + 1, 10000);
    QVERIFY(WindowFixture::waitLoaded(w));
    QVERIFY(WindowFixture::device(w->mainTree(), "input:input13 \"Logitech USB Receiver\""));
}

// A device plugged in while the seats are read may be missed by the reading:
// the window reads once more when it is done.
void TestMainWindowHardware::changeDuringAReadingIsLookedAtAfterwards()
{
    MainWindow *w = open();
    QVERIFY(w);
    const int before = listSeatsCalls(*m_fx);
    action(w, "reloadAction")->trigger();
    QVERIFY(w->isLoading());
    trigger("add", ReceiverKeys);
    QVERIFY(WindowFixture::waitLoaded(w));
    QCOMPARE(listSeatsCalls(*m_fx), before + 1);
    QTRY_COMPARE_WITH_TIMEOUT(listSeatsCalls(*m_fx), before + 2, 10000);
    QVERIFY(WindowFixture::waitLoaded(w));
    // And no more than that.
    QVERIFY(!reloadFollowed(w, *m_fx, before + 2));
}

// Work begun in the second between an event and its reading is not thrown
// away: the bar appears instead.
void TestMainWindowHardware::changeMadeWithinTheSecondIsKept()
{
    MainWindow *w = open();
    QVERIFY(w);
    const int before = listSeatsCalls(*m_fx);
    trigger("add", ReceiverKeys);
    QVERIFY(m_fx->giveToPanel("Microsoft Microsoft Basic Optical Mouse", "seat1"));
    QVERIFY(w->stateChanged());
    QTRY_VERIFY_WITH_TIMEOUT(bar(w)->isVisible(), 10000);
    QVERIFY(!reloadFollowed(w, *m_fx, before));
    QVERIFY(w->stateChanged());
    QVERIFY(m_answerer->seen.isEmpty());
}

// The bar names a device as its item in the trees does, else as loginctl
// would list it, and tells of every device that changed.
void TestMainWindowHardware::barNamesDevicesAsTheTreesDo_data()
{
    QTest::addColumn<QList<QStringList>>("events"); // action, path, seat
    QTest::addColumn<QStringList>("told");          // in the bar's text
    QTest::addColumn<QStringList>("listed");        // each a line of its details

    QTest::newRow("one, named as its item")
        << QList<QStringList>{{"change", LogitechMouse, "seat1"}}
        << QStringList{"Logitech USB Optical Mouse", "seat1"} << QStringList{};
    QTest::newRow("several, each kept")
        << QList<QStringList>{{"remove", SpareMouse, ""},
                              {"add", ReceiverKeys, ""},
                              {"remove", KeyboardKeys, ""},
                              {"remove", KeyboardMedia, ""}}
        << QStringList{"3"}
        << QStringList{"Microsoft Microsoft Basic Optical Mouse", "Logitech USB Receiver",
                       "Logitech USB Keyboard Consumer Control"};
    QTest::newRow("unknown to udev")
        << QList<QStringList>{{"add", Usb + "/1-7/1-7:1.0/0003:1234:5678.0042/input/input42", ""}}
        << QStringList{"input42"} << QStringList{};
}

void TestMainWindowHardware::barNamesDevicesAsTheTreesDo()
{
    QFETCH(QList<QStringList>, events);
    QFETCH(QStringList, told);
    QFETCH(QStringList, listed);
    // What udev calls them differs from what the trees show.
    m_info->known[LogitechMouse] = details("Logitech, Inc.", "M105 Optical Mouse", "", "usbhid");
    m_info->known[SpareMouse] = details("Microsoft Corp.", "Basic Optical Mouse", "", "usbhid");
    m_info->known[ReceiverKeys] = details("Logitech, Inc.", "Unifying Receiver", "", "usbhid");
    m_info->known[ReceiverKeys].name = "Logitech USB Receiver";
    MainWindow *w = open();
    QVERIFY(w);
    QVERIFY(m_fx->giveToPanel("SIGMACHIP USB Keyboard", "seat1"));
    for (const QStringList &event : events)
        trigger(event.at(0), event.at(1), event.at(2));
    QTRY_VERIFY(bar(w)->isVisible());
    const QString text = bar(w)->text();
    for (const QString &part : told)
        QVERIFY2(text.contains(part), qPrintable(text));
    QVERIFY2(!text.contains("/sys/") && !text.contains("M105") && !text.startsWith("Basic"),
             qPrintable(text));
    const QStringList lines = barDetails(w, *m_answerer);
    QCOMPARE(lines.size(), listed.size());
    for (int i = 0; i < listed.size(); ++i)
        QVERIFY2(lines.at(i).startsWith(listed.at(i)), qPrintable(lines.join('\n')));
}

// Only the devices a save attaches echo it, while it runs and for a while
// after: a device plugged in meanwhile is read as usual.
void TestMainWindowHardware::onlyTheSavedDevicesEchoTheSave()
{
    MainWindow *w = open();
    QVERIFY(w);
    qint64 now = 0;
    outside(w)->now = [&now] { return now; };
    QVERIFY(m_fx->appendToMachine(Receiver));
    QVERIFY(m_fx->giveToPanel("Microsoft Microsoft Basic Optical Mouse", "seat1"));
    WindowFixture::answerSave(*m_answerer);
    const int before = listSeatsCalls(*m_fx);
    action(w, "saveAction")->trigger();
    QVERIFY(w->isApplying());
    trigger("change", SpareMouse, "seat0");
    QVERIFY(!outside(w)->isPending());
    trigger("add", ReceiverKeys);
    QVERIFY(outside(w)->isPending());
    QVERIFY(m_fx->waitForApplyEnd());
    QCOMPARE(m_fx->restarts.size(), 1);
    // The receiver plugged in during the save is read once the save is done.
    QTRY_COMPARE_WITH_TIMEOUT(listSeatsCalls(*m_fx), before + 1, 10000);
    QVERIFY(WindowFixture::waitLoaded(w));
    QVERIFY(WindowFixture::device(w->mainTree(), "input:input13 \"Logitech USB Receiver\""));

    // Within the echo only the saved devices' changes are the save's own;
    // after it, theirs count too. Adding and removing is never an echo.
    // Each change names a seat other than the one that shows the device.
    struct After
    {
        qint64 ms;
        const char *action;
        QString path;
        const char *seat;
        bool counted;
    };
    const After after[] = {
        {1500, "change", SpareMouse, "seat0", false},
        {1500, "remove", SpareMouse, "", true},
        {1500, "change", ReceiverPointer, "seat1", true},
        {OutsideChanges::OwnEchoMs, "change", SpareMouse, "seat0", true},
    };
    for (const After &event : after) {
        outside(w)->clear();
        now = event.ms;
        trigger(event.action, event.path, event.seat);
        QVERIFY2(outside(w)->isPending() == event.counted,
                 qPrintable(QString::number(event.ms) + ' ' + event.action + ' ' + event.path));
    }
}

// A reading waits while a device is dragged, and a drop whose device has
// left its tree meanwhile takes nothing: a device is shown once.
void TestMainWindowHardware::dragHoldsBackAReading()
{
    MainWindow *w = open();
    QVERIFY(w);
    QVERIFY(m_fx->appendToMachine(Receiver));
    DevTreeWidget *target = m_fx->panel("seat1")->devTreeWidget();
    QTreeWidgetItem *keyboard = WindowFixture::device(w->mainTree(), "SIGMACHIP USB Keyboard");
    QVERIFY(keyboard);
    const QStringList addresses{SigmaKeyboard};
    QCOMPARE(keyboard->data(0, DevTreeWidget::AddressRole).toStringList(), addresses);
    const QModelIndex category = w->mainTree()->model()->index(KeyboardCategory, 0);
    const QPersistentModelIndex item =
        w->mainTree()->model()->index(keyboard->parent()->indexOfChild(keyboard), 0, category);
    QCOMPARE(item.data().toString(), QStringLiteral("SIGMACHIP USB Keyboard"));
    const int before = listSeatsCalls(*m_fx);
    auto *delay = w->findChild<QTimer *>(QStringLiteral("outsideChangeDelay"));
    QVERIFY(delay);
    QSignalSpy delayed(delay, &QTimer::timeout);
    {
        DragSession drag(w->mainTree(), "SIGMACHIP USB Keyboard", addresses, KeyboardCategory);
        drag.setItem(item);
        trigger("add", ReceiverKeys);
        QVERIFY(delayed.wait(5000));
        QVERIFY(!w->isLoading());
        QCOMPARE(listSeatsCalls(*m_fx), before);
        QVERIFY(outside(w)->isPending());

        // Had the trees been filled anew under the drag, the item would be
        // gone; its drop is then refused.
        delete keyboard;
        dropOn(target, "SIGMACHIP USB Keyboard", addresses, KeyboardCategory);
        QCOMPARE(timesShown(w, SigmaKeyboard), 0);
    }
    emit w->mainTree()->dragEnded();
    QTRY_COMPARE_WITH_TIMEOUT(listSeatsCalls(*m_fx), before + 1, 10000);
    QVERIFY(WindowFixture::waitLoaded(w));
    QCOMPARE(timesShown(w, SigmaKeyboard), 1);
    QVERIFY(WindowFixture::device(w->mainTree(), "input:input13 \"Logitech USB Receiver\""));
}

void TestMainWindowHardware::resetAllSeats()
{
    QVERIFY(m_fx->writeConfig(Applied));
    MainWindow *w = open();
    QVERIFY(w);
    QCOMPARE(w->seatPanels().size(), 1);
    QAction *reset = action(w, "resetAction");
    QVERIFY(reset);
    QCOMPARE(reset->text(), QStringLiteral("Rese&t all seats\u2026"));
    const int start = m_fx->callCount();
    m_answerer->answer(QMessageBox::Yes);
    reset->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(m_fx->restarts.size(), 1, 10000);
    QVERIFY(WindowFixture::waitLoaded(w));

    const QList<SeenBox> boxes = WindowFixture::messageBoxes(*m_answerer);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().title, QStringLiteral("Reset all seats"));
    QVERIFY(boxes.first().text.contains("main seat"));
    QCOMPARE(boxes.first().buttons, QMessageBox::Yes | QMessageBox::No);
    const QList<QStringList> calls = m_fx->calls().mid(start);
    QCOMPARE(calls.value(0), QStringList{"flush-devices"});
    QCOMPARE(m_fx->restarts.first().callsBefore, start + 1);
    QCOMPARE(calls.value(1), (QStringList{"list-seats", "--no-legend"}));
    // One seat again, the configuration as for one seat, nothing to save.
    QCOMPARE(m_fx->config(), Config);
    QVERIFY(w->seatPanels().isEmpty());
    QVERIFY(WindowFixture::device(w->mainTree(), "Dell KB216 Wired Keyboard"));
    QVERIFY(!w->stateChanged());
    QVERIFY(w->isEnabled());
}

void TestMainWindowHardware::resetAnsweredNoChangesNothing()
{
    QVERIFY(m_fx->writeConfig(Applied));
    MainWindow *w = open();
    QVERIFY(w);
    QVERIFY(m_fx->giveToPanel("Microsoft Microsoft Basic Optical Mouse", "seat1"));
    const int start = m_fx->callCount();
    m_answerer->answer(QMessageBox::No);
    action(w, "resetAction")->trigger();
    QTest::qWait(200);
    QCOMPARE(m_fx->callCount(), start);
    QCOMPARE(m_fx->config(), Applied);
    QVERIFY(m_fx->restarts.isEmpty());
    QVERIFY(w->stateChanged());
    QVERIFY(w->isEnabled());
}

// loginctl refusing, crashing on or hanging in the flush leaves the
// configuration and the display manager alone and says why, in one box.
void TestMainWindowHardware::failedResetIsReported_data()
{
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<QString>("told");
    QTest::newRow("refused") << QByteArray("fail") << "Failed to flush devices";
    QTest::newRow("crashed") << QByteArray("crash") << "Crashed: code is 9";
    QTest::newRow("hung") << QByteArray("sleep 60000")
                          << "loginctl did not answer within 1 seconds.";
}

void TestMainWindowHardware::failedResetIsReported()
{
    QFETCH(QByteArray, fault);
    QFETCH(QString, told);
    QVERIFY(m_fx->writeConfig(Applied));
    if (fault.startsWith("sleep"))
        m_fx->commandTimeLimitMs = 1000;
    MainWindow *w = open("fault flush-devices " + fault + "\n");
    QVERIFY(w);
    auto *statusBar = w->findChild<QStatusBar *>();
    const QString idle = statusBar->currentMessage();
    m_answerer->answer(QMessageBox::Yes);
    action(w, "resetAction")->trigger();
    // What the window does while the flush runs, as a save shows it.
    QVERIFY(!w->isEnabled());
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QVERIFY(!statusBar->currentMessage().isEmpty() && statusBar->currentMessage() != idle);
    QTRY_VERIFY_WITH_TIMEOUT(w->isEnabled(), 10000);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(statusBar->currentMessage(), idle);
    QCOMPARE(WindowFixture::messageBoxes(*m_answerer).size(), 2);
    const SeenBox error = WindowFixture::messageBoxes(*m_answerer).last();
    QCOMPARE(error.icon, QMessageBox::Critical);
    QCOMPARE(error.title, QStringLiteral("Reset failed"));
    QVERIFY2(error.text.contains(told), qPrintable(error.text));
    QCOMPARE(m_fx->config(), Applied);
    QVERIFY(m_fx->restarts.isEmpty());
    QVERIFY(w->isEnabled());
    QCOMPARE(w->seatPanels().size(), 1);
    QVERIFY(action(w, "saveAction"));
    QVERIFY(action(w, "reloadAction")->isEnabled());
}

QTEST_MAIN(TestMainWindowHardware)
#include "tst_mainwindow_hardware.moc"
