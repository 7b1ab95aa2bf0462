// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/fakedeviceinfo.h"
#include "common/testenv.h"
#include "core/appsettings.h"
#include "mainwindow/windowfixture.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/myviewlabel.h"
#include "seatpanel/seat.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTextDocument>
#include <QTreeWidgetItem>

using namespace Machine;

namespace {

const QByteArray Seat0 = "seat seat0 sessions *2\n";
const QString Igpu = QStringLiteral("0000:00:02.0");
const QString Dgpu = QStringLiteral("0000:00:01.0/0000:01:00.0");
const QString Dgpu2 = QStringLiteral("0000:00:1c.0/0000:02:00.0");
const QString Usb = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1");

const QString OneCardWarning = QStringLiteral(
    "You have one video card.\nAdding seats is not possible, because each seat needs its own "
    "video card.");

QByteArray mainSeatInputs()
{
    return usbInput(5, "1-1", "1.0", "Logitech USB Keyboard") +
           usbInput(7, "1-2", "1.0", "Logitech USB Optical Mouse");
}

int countBoxes(const PromptAnswerer &answerer, const QString &text)
{
    int count = 0;
    for (const SeenBox &box : answerer.seen)
        count += box.text == text ? 1 : 0;
    return count;
}

QString panelName(const Seat *panel)
{
    const auto *label = panel->findChild<MyViewLabel *>(QStringLiteral("seatNameLabel"));
    return label ? label->fullText() : QString();
}

QStringList seatStatusCalls(const QList<QStringList> &calls)
{
    QStringList seats;
    for (const QStringList &call : calls) {
        if (call.value(0) == QLatin1String("seat-status"))
            seats << call.mid(1).join(QLatin1Char(' '));
    }
    return seats;
}

} // namespace

// Filling the window from the emulated loginctl: the seats, their names and
// devices, the count of seats that can be added, and what a failing or empty
// answer leaves behind.
class TestMainWindowPopulation : public WindowTestCase
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void oneSeatOneCard();
    void oneSeatTwoCards();
    void cardsShortOfSeats();
    void oneCardOnEachSeat();
    void seatOrder_data();
    void seatOrder();
    void storedNames();
    void devicesOfASeat();
    void seatWithoutDevices();
    void restoredWidthAndSeatColumn_data();
    void restoredWidthAndSeatColumn();
    void unrecognizedShownInPanels();
    void loginctlCrashHalfWay();
    void noSeats();
    void destroyedWhileReading();
    void hungRead_data();
    void hungRead();
    void namesAreShownAsPlainText();

private:
    QByteArray m_path;
};

void TestMainWindowPopulation::initTestCase()
{
    WindowTestCase::initTestCase();
    m_path = qgetenv("PATH");
    QVERIFY2(m_path.startsWith(QFile::encodeName(QFileInfo(TestEnv::emulatorPath()).path())),
             "the emulated loginctl must come first on PATH");
}

void TestMainWindowPopulation::cleanup()
{
    qputenv("PATH", m_path);
    WindowTestCase::cleanup();
}

void TestMainWindowPopulation::oneSeatOneCard()
{
    QVERIFY(m_fx->writeMachine(Seat0 + card(0, Igpu) + mainSeatInputs()));
    m_answerer->answer(QMessageBox::Ok);
    auto window = m_fx->create();
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));

    QCOMPARE(countBoxes(*m_answerer, OneCardWarning), 1);
    QCOMPARE(m_answerer->seen.size(), 1);
    QCOMPARE(m_answerer->seen.first().title, QStringLiteral("Warning!"));
    QCOMPARE(m_answerer->seen.first().icon, QMessageBox::Warning);
    QCOMPARE(m_answerer->seen.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(window->findChild<QScrollArea *>(QStringLiteral("scrollArea"))->isHidden());
    QVERIFY(!action(window.get(), "addSeatAction")->isEnabled());
    QCOMPARE(window->freeSeats(), 0);
    QCOMPARE(window->mainSeatId(), QStringLiteral("seat0"));
    QCOMPARE(Trees::texts(window->mainTree(), VideocardCategory),
             QStringList{"[MASTER] drm:card0"});
    // Narrowed to the main seat's column.
    QCOMPARE(window->width(), 505);
}

void TestMainWindowPopulation::oneSeatTwoCards()
{
    QVERIFY(m_fx->writeMachine(Seat0 + card(0, Igpu) + card(1, Dgpu) + mainSeatInputs()));
    auto window = m_fx->create();
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QCOMPARE(m_answerer->seen.size(), 0);
    QCOMPARE(window->freeSeats(), 1);
    QVERIFY(action(window.get(), "addSeatAction")->isEnabled());
    QVERIFY(window->findChild<QScrollArea *>(QStringLiteral("scrollArea"))->isHidden());
    QVERIFY(!action(window.get(), "saveAction")->isEnabled());
    QVERIFY(!window->stateChanged());
}

void TestMainWindowPopulation::cardsShortOfSeats()
{
    // Two cards on the main seat and one more seat: nothing left to add.
    QVERIFY(m_fx->writeMachine(Seat0 + "seat seat1\n" + card(0, Igpu) + card(1, Dgpu) +
                               card(2, Dgpu2, "seat1") + mainSeatInputs()));
    auto window = m_fx->create();
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QCOMPARE(m_answerer->seen.size(), 0);
    QCOMPARE(window->freeSeats(), 0);
    QVERIFY(!action(window.get(), "addSeatAction")->isEnabled());
    QCOMPARE(window->seatPanels().size(), 1);
    QVERIFY(!window->findChild<QScrollArea *>(QStringLiteral("scrollArea"))->isHidden());
}

void TestMainWindowPopulation::oneCardOnEachSeat()
{
    // The recorded systemd 252 machine: seat0 keeps card0, seat1 has card1
    // and both interfaces of a USB keyboard.
    QVERIFY(m_fx->useMachine(QStringLiteral("v252-seat1-two-interface-keyboard.machine")));
    auto window = m_fx->create();
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QCOMPARE(m_answerer->seen.size(), 0); // the one-card warning is for a lone seat
    QCOMPARE(window->freeSeats(), 0);
    QVERIFY(!action(window.get(), "addSeatAction")->isEnabled());
    const DevTreeWidget *tree = window->seatPanels().first()->devTreeWidget();
    QCOMPARE(Trees::texts(tree, KeyboardCategory),
             QStringList{"Logitech USB Keyboard Consumer Control"});
    QCOMPARE(Trees::addresses(tree, KeyboardCategory),
             QList<QStringList>({{Usb + "/1-1/1-1:1.1/0003:046D:C31C.0002/input/input6",
                                  Usb + "/1-1/1-1:1.0/0003:046D:C31C.0001/input/input5"}}));
    QCOMPARE(Trees::texts(tree, VideocardCategory), QStringList{"[MASTER] drm:card1"});
    QCOMPARE(Trees::texts(tree, MouseCategory), QStringList{"Logitech USB Optical Mouse"});
}

void TestMainWindowPopulation::seatOrder_data()
{
    QTest::addColumn<QByteArray>("listed");
    QTest::addColumn<QString>("mainSeat");
    QTest::addColumn<QStringList>("panels");
    QTest::newRow("reversed") << QByteArray("seat10\nseat1\nseat0\n") << "seat0"
                              << QStringList({"seat1", "seat10"});
    // seat0 is the main seat even where another name sorts before it.
    QTest::newRow("sorted by character code, seat0 first")
        << QByteArray("seat0\nseat2\n  seat-b\t\nseat10\n\n") << "seat0"
        << QStringList({"seat-b", "seat10", "seat2"});
    QTest::newRow("without seat0 the first in sorted order")
        << QByteArray("seat2\nseat10\nseat-b\n") << "seat-b" << QStringList({"seat10", "seat2"});
    // A carriage return ends a line too.
    QTest::newRow("carriage returns")
        << QByteArray("seat1\r\nseat0\r\n") << "seat0" << QStringList({"seat1"});
    // Lines that are no valid seat names make no list of seats: the reading
    // is refused, none of it becomes a seat, let alone the main one.
    QTest::newRow("lines that are no seats")
        << QByteArray("Garbage!\nSeat1\nseat 2\nseat\nseat.1\nseat1\r\nseat0\r\n") << QString()
        << QStringList();
}

void TestMainWindowPopulation::seatOrder()
{
    QFETCH(QByteArray, listed);
    QFETCH(QString, mainSeat);
    QFETCH(QStringList, panels);
    QVERIFY(m_fx->writeMachine(Seat0 + "seat seat1\nseat seat2\nseat seat10\nseat seat-b\n" +
                               card(0, Igpu) + card(1, Dgpu) + mainSeatInputs()));
    // A loginctl that lists the seats in the given order and hands every other
    // call to the emulator; the emulator still logs the listing.
    const QString bin = m_fx->path(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(bin));
    const QString script = bin + QStringLiteral("/loginctl");
    const QByteArray emulator = TestEnv::emulatorPath().toUtf8();
    const QByteArray text = "#!/bin/sh\n"
                            "if [ \"$1\" = list-seats ]; then\n"
                            "  '" +
                            emulator +
                            "' \"$@\" >/dev/null\n"
                            "  printf '%s' '" +
                            listed +
                            "'\n"
                            "  exit 0\n"
                            "fi\n"
                            "exec '" +
                            emulator + "' \"$@\"\n";
    QVERIFY(TestEnv::writeFile(script, text));
    QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("PATH", QFile::encodeName(bin) + ':' + m_path);

    if (mainSeat.isEmpty())
        m_answerer->answer(QMessageBox::Ok);
    auto window = m_fx->create();
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QCOMPARE(window->mainSeatId(), mainSeat);
    if (mainSeat.isEmpty()) {
        QCOMPARE(m_answerer->seen.size(), 1);
        QCOMPARE(m_answerer->seen.first().icon, QMessageBox::Critical);
        QVERIFY2(m_answerer->seen.first().text.contains("unexpected output"),
                 qPrintable(m_answerer->seen.first().text));
        QVERIFY(window->seatPanels().isEmpty());
        QCOMPARE(m_fx->calls(), QList<QStringList>({{"list-seats", "--no-legend"}}));
        return;
    }
    QCOMPARE(window->findChild<MyViewLabel *>(QStringLiteral("seatNameLabel"))->fullText(),
             mainSeat);
    QStringList ids;
    QStringList names;
    for (const Seat *panel : window->seatPanels()) {
        ids << panel->seatId();
        names << panelName(panel);
    }
    QCOMPARE(ids, panels);
    QCOMPARE(names, panels);
    // Panels stand in the layout in the same order.
    auto *layout =
        window->findChild<QWidget *>(QStringLiteral("scrollAreaWidgetContents"))->layout();
    for (int i = 0; i < panels.size(); ++i)
        QCOMPARE(layout->itemAt(i)->widget(), window->seatPanels().at(i));

    const QList<QStringList> calls = m_fx->calls();
    QCOMPARE(calls.value(0), QStringList({"list-seats", "--no-legend"}));
    QCOMPARE(seatStatusCalls(calls), QStringList{mainSeat} + panels);
    QCOMPARE(calls.size(), panels.size() + 3); // and list-sessions once
    QCOMPARE(m_answerer->unexpected(), 0);
}

void TestMainWindowPopulation::storedNames()
{
    QVERIFY(m_fx->useMachine(QStringLiteral("three-seats.machine"), "seat seat2\n"));
    AppSettings::setSeatDisplayName(QStringLiteral("seat0"), QStringLiteral("Reception"));
    AppSettings::setSeatDisplayName(QStringLiteral("seat2"), QStringLiteral("Kitchen"));
    // A name stored for a seat the system does not have is left alone.
    AppSettings::setSeatDisplayName(QStringLiteral("seat7"), QStringLiteral("Gone"));
    auto window = m_fx->create();
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QCOMPARE(window->findChild<MyViewLabel *>(QStringLiteral("seatNameLabel"))->fullText(),
             QStringLiteral("Reception"));
    QCOMPARE(window->seatPanels().size(), 2);
    QCOMPARE(panelName(window->seatPanels().at(0)), QStringLiteral("seat1"));
    QCOMPARE(panelName(window->seatPanels().at(1)), QStringLiteral("Kitchen"));
    QCOMPARE(window->seatPanels().at(1)->seatId(), QStringLiteral("seat2"));
    QCOMPARE(window->mainSeatId(), QStringLiteral("seat0"));
}

void TestMainWindowPopulation::devicesOfASeat()
{
    // seat1's lines in this order: two cards, a keyboard with three
    // interfaces, two mice, two other devices.
    const QByteArray seat1 =
        card(1, Dgpu, "seat1") + card(2, Dgpu2, "seat1") +
        usbInput(7, "1-3", "1.0", "USB Keyboard", "seat1") +
        usbInput(8, "1-3", "1.1", "USB Keyboard Consumer Control", "seat1") +
        usbInput(9, "1-3", "1.2", "USB Keyboard System Control", "seat1") +
        usbInput(10, "1-4", "1.0", "First USB Mouse", "seat1") +
        usbInput(11, "1-5", "1.0", "Second USB Mouse", "seat1") +
        "device /sys/devices/pci0000:00/0000:00:1f.3/sound/card1 sound:card1 seat=seat1 "
        "name=\"PCH\"\n"
        "device /sys/devices/pci0000:00/0000:00:1f.4/i2c-0 i2c:i2c-0 seat=seat1\n";
    QVERIFY(m_fx->writeMachine(Seat0 + "seat seat1\n" + card(0, Igpu) + card(3, "0000:00:03.0") +
                               card(4, "0000:00:04.0") + mainSeatInputs() + seat1));
    auto window = m_fx->create();
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QCOMPARE(m_answerer->seen.size(), 0);
    QCOMPARE(window->seatPanels().size(), 1);
    const DevTreeWidget *tree = window->seatPanels().first()->devTreeWidget();

    QCOMPARE(Trees::texts(tree, VideocardCategory),
             QStringList({"[MASTER] drm:card2", "[MASTER] drm:card1"}));
    QCOMPARE(Trees::addresses(tree, VideocardCategory),
             QList<QStringList>({{cardPath(2, Dgpu2)}, {cardPath(1, Dgpu)}}));
    QCOMPARE(Trees::texts(tree, KeyboardCategory), QStringList{"USB Keyboard System Control"});
    QCOMPARE(Trees::addresses(tree, KeyboardCategory),
             QList<QStringList>({{usbInputPath(9, "1-3", "1.2"), usbInputPath(8, "1-3", "1.1"),
                                  usbInputPath(7, "1-3", "1.0")}}));
    QCOMPARE(Trees::texts(tree, MouseCategory),
             QStringList({"Second USB Mouse", "First USB Mouse"}));
    QCOMPARE(
        Trees::addresses(tree, MouseCategory),
        QList<QStringList>({{usbInputPath(11, "1-5", "1.0")}, {usbInputPath(10, "1-4", "1.0")}}));
    QCOMPARE(Trees::texts(tree, UnrecognizedCategory),
             QStringList({"i2c:i2c-0", "sound:card1 \"PCH\""}));

    // Every device item is built the same way.
    for (int c = 0; c < DeviceCategoryCount; ++c) {
        const QTreeWidgetItem *row = tree->category(c);
        for (int i = 0; i < row->childCount(); ++i) {
            QCOMPARE(int(row->child(i)->flags()), 173);
            QCOMPARE(row->child(i)->data(0, DevTreeWidget::TypeRole).toInt(), c);
        }
    }
    // The main seat: its three cards, newest first, and its own inputs.
    QCOMPARE(Trees::texts(window->mainTree(), VideocardCategory),
             QStringList({"[MASTER] drm:card4", "[MASTER] drm:card3", "[MASTER] drm:card0"}));
    QCOMPARE(Trees::texts(window->mainTree(), KeyboardCategory),
             QStringList{"Logitech USB Keyboard"});
    QCOMPARE(window->freeSeats(), 1);
    QVERIFY(Trees::button(window->seatPanels().first(), "flushButton")->isEnabled());
}

void TestMainWindowPopulation::seatWithoutDevices()
{
    QVERIFY(m_fx->useMachine(QStringLiteral("three-seats.machine"), "seat seat2\n"));
    auto window = m_fx->create();
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QCOMPARE(window->seatPanels().size(), 2);
    Seat *empty = window->seatPanels().at(1);
    QCOMPARE(empty->seatId(), QStringLiteral("seat2"));
    QCOMPARE(Trees::deviceCount(empty->devTreeWidget()), 0);
    QCOMPARE(empty->devTreeWidget()->topLevelItemCount(), 4);
    QVERIFY(Trees::button(empty, "flushButton")->isEnabled());
    // The seat before it was read in full all the same.
    QCOMPARE(Trees::texts(window->seatPanels().at(0)->devTreeWidget(), VideocardCategory),
             QStringList{"[MASTER] drm:card2"});
    QVERIFY(!window->stateChanged());
    QVERIFY(window->findChild<QWidget *>(QStringLiteral("scrollAreaWidgetContents"))->isEnabled());
}

void TestMainWindowPopulation::restoredWidthAndSeatColumn_data()
{
    QTest::addColumn<QString>("machine");
    QTest::addColumn<int>("storedWidth");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("column");
    QTest::newRow("more seats keep it") << "three-seats.machine" << 1200 << 1200 << true;
    QTest::newRow("main seat alone narrows it")
        << "v252-seat0-sessions-usb-ports.machine" << 1200 << 570 << false;
    QTest::newRow("not below the minimum")
        << "v252-seat0-sessions-usb-ports.machine" << 800 << 500 << false;
}

void TestMainWindowPopulation::restoredWidthAndSeatColumn()
{
    QFETCH(QString, machine);
    QFETCH(int, storedWidth);
    QFETCH(int, width);
    QFETCH(bool, column);
    QVERIFY(m_fx->useMachine(machine));
    {
        MainWindow sizer(nullptr, m_fx->environment());
        sizer.resize(storedWidth, 480);
        AppSettings::setGeometry(sizer.saveGeometry());
    }
    if (!column)
        m_answerer->answer(QMessageBox::Ok); // the one video card
    auto window = m_fx->create();
    QCOMPARE(window->size(), QSize(storedWidth, 480));
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QCOMPARE(window->width(), width);
    QCOMPARE(window->height(), 480);
    QCOMPARE(!window->findChild<QScrollArea *>(QStringLiteral("scrollArea"))->isHidden(), column);
    QCOMPARE(m_answerer->unexpected(), 0);
}

void TestMainWindowPopulation::unrecognizedShownInPanels()
{
    QVERIFY(m_fx->useMachine(QStringLiteral("three-seats.machine"),
                             "device /sys/devices/pci0000:00/0000:00:1f.5/spi0 spi:spi0 "
                             "seat=seat1\n"));
    for (bool show : {false, true}) {
        AppSettings::setShowUnknownDevices(show);
        auto window = m_fx->create();
        window->show();
        QVERIFY(WindowFixture::waitLoaded(window.get()));
        const DevTreeWidget *tree = window->seatPanels().first()->devTreeWidget();
        // The newest line first; the keyboard's LEDs are there too (the
        // render node goes with its card).
        QCOMPARE(Trees::texts(tree, UnrecognizedCategory).value(0), QStringLiteral("spi:spi0"));
        QCOMPARE(Trees::texts(tree, UnrecognizedCategory).size(), 4);
        QCOMPARE(tree->category(UnrecognizedCategory)->isHidden(), !show);
        QCOMPARE(window->mainTree()->category(UnrecognizedCategory)->isHidden(), !show);
    }
}

void TestMainWindowPopulation::loginctlCrashHalfWay()
{
    QVERIFY(m_fx->useMachine(QStringLiteral("three-seats.machine"),
                             "seat seat2\nfault seat-status crash arg=seat1\n"));
    // The runner reports the crash twice: the process error, then the crash.
    m_answerer->answer(QMessageBox::Ok);
    m_answerer->answer(QMessageBox::Ok);
    auto window = m_fx->create();
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QTRY_COMPARE(m_answerer->seen.size(), 2);
    for (const SeenBox &box : m_answerer->seen) {
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.title, QStringLiteral("Device attaching error"));
    }
    QCOMPARE(m_answerer->seen.at(1).text, QStringLiteral("Crashed: code is 9"));

    // The main seat was read; the chain stopped at seat1.
    QCOMPARE(window->mainSeatId(), QStringLiteral("seat0"));
    QCOMPARE(Trees::texts(window->mainTree(), VideocardCategory).size(), 3);
    QCOMPARE(window->seatPanels().size(), 2);
    QCOMPARE(Trees::deviceCount(window->seatPanels().at(0)->devTreeWidget()), 0);
    QCOMPARE(Trees::deviceCount(window->seatPanels().at(1)->devTreeWidget()), 0);
    QCOMPARE(seatStatusCalls(m_fx->calls()), QStringList({"seat0", "seat1"}));
    auto *save = action(window.get(), "saveAction");
    QVERIFY(!save->isEnabled());
    QVERIFY(action(window.get(), "reloadAction")->isEnabled());

    // A change cannot be saved: the unread seats would lose their devices.
    QVERIFY(Trees::select(window->mainTree(), QStringLiteral("[MASTER] drm:card3")));
    Trees::button(window->seatPanels().at(1), "addDevButton")->click();
    QVERIFY(window->stateChanged());
    QVERIFY(!save->isEnabled());
    m_answerer->reset();
    m_answerer->answer(QMessageBox::Ok);
    const int callsBefore = m_fx->calls().size();
    window->saveAndApply();
    QTRY_COMPARE(m_answerer->seen.size(), 1);
    QCOMPARE(m_answerer->seen.first().icon, QMessageBox::Warning);
    QVERIFY(!window->isApplying());
    QCOMPARE(m_fx->calls().size(), callsBefore);
    QVERIFY(m_fx->restarts.isEmpty());

    // Once the fault is gone a reload reads everything and saving is possible.
    QVERIFY(m_fx->useMachine(QStringLiteral("three-seats.machine"), "seat seat2\n"));
    m_answerer->reset();
    m_answerer->answer(QMessageBox::Yes); // the unsaved changes go
    window->reloadConfiguration();
    QVERIFY(window->isLoading());
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QCOMPARE(m_answerer->seen.size(), 1);
    QCOMPARE(Trees::texts(window->seatPanels().at(0)->devTreeWidget(), VideocardCategory),
             QStringList{"[MASTER] drm:card2"});
    QVERIFY(Trees::select(window->mainTree(), QStringLiteral("[MASTER] drm:card3")));
    Trees::button(window->seatPanels().at(1), "addDevButton")->click();
    QVERIFY(save->isEnabled());
}

void TestMainWindowPopulation::noSeats()
{
    QVERIFY(m_fx->useMachine(QStringLiteral("three-seats.machine"), "fault list-seats silent\n"));
    m_answerer->answer(QMessageBox::Ok);
    auto window = m_fx->create();
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QCOMPARE(m_answerer->seen.size(), 1);
    const SeenBox box = m_answerer->seen.first();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.title, QStringLiteral("Error!"));
    QCOMPARE(box.text,
             QStringLiteral("No seats were found. \nContinuation of work is impossible."));
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(m_fx->calls(), QList<QStringList>{QStringList({"list-seats", "--no-legend"})});
    QVERIFY(window->seatPanels().isEmpty());
    QCOMPARE(Trees::deviceCount(window->mainTree()), 0);
    QVERIFY(window->isVisible());
    QVERIFY(window->mainSeatId().isEmpty());
}

void TestMainWindowPopulation::destroyedWhileReading()
{
    QVERIFY(m_fx->useMachine(QStringLiteral("three-seats.machine"),
                             "fault seat-status sleep 3000 arg=seat1\n"));
    auto window = m_fx->create();
    window->show();
    QTRY_COMPARE_WITH_TIMEOUT(seatStatusCalls(m_fx->calls()), QStringList({"seat0", "seat1"}),
                              10000);
    QVERIFY(window->isLoading());
    // Closing the window ends the program while seat1 is still being read.
    window.reset();
    QTest::qWait(100);
    QCOMPARE(m_answerer->seen.size(), 0);
}

// loginctl never answering while the seats are read: after the time limit
// the command is killed, one message says so, and Reload is offered again.
void TestMainWindowPopulation::hungRead_data()
{
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<int>("panels");
    QTest::newRow("list-seats") << QByteArray("fault list-seats sleep 600000 times=1\n") << 0;
    QTest::newRow("seat-status") << QByteArray("fault seat-status sleep 600000 arg=seat1 times=1\n")
                                 << 1;
}

void TestMainWindowPopulation::hungRead()
{
    QFETCH(QByteArray, fault);
    QFETCH(int, panels);
    QVERIFY(m_fx->useMachine(QStringLiteral("three-seats.machine"), fault));
    m_fx->commandTimeLimitMs = 1000;
    m_answerer->answer(QMessageBox::Ok);
    auto window = m_fx->create();
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get(), 20000));
    QCOMPARE(m_answerer->seen.size(), 1);
    QCOMPARE(m_answerer->seen.first().icon, QMessageBox::Critical);
    QCOMPARE(m_answerer->seen.first().text,
             QStringLiteral("loginctl did not answer within 1 seconds."));
    QCOMPARE(window->seatPanels().size(), panels);
    QVERIFY(TestEnv::emulatorChildren(QCoreApplication::applicationPid()).isEmpty());
    auto *reload = action(window.get(), "reloadAction");
    QVERIFY(reload->isEnabled());

    // The fault was for one call only: a reload reads everything.
    reload->trigger();
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QCOMPARE(window->seatPanels().size(), 1);
    QCOMPARE(m_answerer->unexpected(), 0);
}

// A seat or a device may call itself anything, markup included: each place
// that shows a name shows it as it is, never as rich text.
void TestMainWindowPopulation::namesAreShownAsPlainText()
{
    const QString heading = QStringLiteral("<h1><b>MAIN</b></h1>");
    const QString image = QStringLiteral("<img src='/etc/zel.png'> <b>Keyboard</b>");
    AppSettings::setSeatDisplayName("seat0", heading);
    AppSettings::setSeatDisplayName("seat1", heading + heading); // long: shortened, tool tip
    auto info = std::make_shared<FakeDeviceInfo>();
    const QString keyboard = usbInputPath(5, "1-1", "1.0");
    info->known[keyboard].known = true;
    info->known[keyboard].vendor = QStringLiteral("<i>ACME</i>");
    m_fx->deviceInfo = info;
    QVERIFY(m_fx->writeMachine(Seat0 + "seat seat1\n" + card(0, Igpu) + card(1, Dgpu, "seat1") +
                               usbInput(5, "1-1", "1.0", image) +
                               usbInput(7, "1-2", "1.0", "Mouse")));
    auto window = m_fx->create();
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));

    // What a text looks like where Qt decides by its look.
    auto shown = [](const QString &text, Qt::TextFormat format) {
        if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text)))
            return text;
        QTextDocument document;
        document.setHtml(text);
        return document.toPlainText();
    };
    const auto *mainLabel = window->findChild<MyViewLabel *>(QStringLiteral("seatNameLabel"));
    QCOMPARE(shown(mainLabel->text(), mainLabel->textFormat()), heading);
    const Seat *panel = window->seatPanels().first();
    const auto *panelLabel = panel->findChild<MyViewLabel *>(QStringLiteral("seatNameLabel"));
    QVERIFY(shown(panelLabel->text(), panelLabel->textFormat()).startsWith("<h1><b>MAIN"));
    QCOMPARE(shown(panelLabel->toolTip(), Qt::AutoText), heading + heading);
    const QTreeWidgetItem *item = Trees::find(window->mainTree(), image);
    QVERIFY(item);
    QCOMPARE(shown(item->text(0), Qt::PlainText), image);
    const QString tip = shown(item->toolTip(0), Qt::AutoText);
    QVERIFY2(tip.startsWith("<i>ACME</i>"), qPrintable(tip));
    // The bar for outside changes.
    for (const QLabel *label :
         window->findChild<QWidget *>("outsideChangeBar")->findChildren<QLabel *>())
        QCOMPARE(label->textFormat(), Qt::PlainText);
}

QTEST_MAIN(TestMainWindowPopulation)
#include "tst_mainwindow_population.moc"
