// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "core/appsettings.h"
#include "mainwindow/windowfixture.h"
#include "platform/helpwindow.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/myviewlabel.h"
#include "seatpanel/seat.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QTest>

using namespace Machine;

namespace {

const QString Card0 = QStringLiteral("[MASTER] drm:card0");
const QString Card1 = QStringLiteral("[MASTER] drm:card1");
const QString Card2 = QStringLiteral("[MASTER] drm:card2");
const QString Card3 = QStringLiteral("[MASTER] drm:card3");
const QString DellKeyboard = QStringLiteral("Dell KB216 Wired Keyboard");
const QString LogitechKeyboard = QStringLiteral("Logitech USB Keyboard Consumer Control");
const QString Usb = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1");

// A name longer than any label shows; cut to the length a test needs.
const QString LongName = QStringLiteral("Front office, second desk, left");

// seat0 with mainCards video cards and a keyboard and mouse; every further
// seat with a card of its own.
QByteArray machineWithSeats(const QStringList &seats, int mainCards)
{
    QByteArray text = "seat seat0 sessions *2\n";
    for (const QString &seat : seats)
        text += "seat " + seat.toUtf8() + "\n";
    int slot = 2;
    for (int i = 0; i < mainCards; ++i, ++slot)
        text += card(i, QStringLiteral("0000:00:%1.0").arg(slot, 2, 10, QLatin1Char('0')));
    for (int i = 0; i < seats.size(); ++i, ++slot)
        text +=
            card(mainCards + i, QStringLiteral("0000:00:%1.0").arg(slot, 2, 10, QLatin1Char('0')),
                 seats.at(i));
    text += usbInput(5, "1-1", "1.0", "USB Keyboard") + usbInput(6, "1-2", "1.0", "USB Mouse");
    return text;
}

QStringList panelIds(const MainWindow *window)
{
    QStringList ids;
    for (const Seat *panel : window->seatPanels())
        ids << panel->seatId();
    return ids;
}

QString storedName(const QString &seatId)
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("usernames"));
    return settings.contains(seatId) ? settings.value(seatId).toString() : QString();
}

Seat *panelOf(const MainWindow *window, const QString &seatId)
{
    for (Seat *panel : window->seatPanels()) {
        if (panel->seatId() == seatId)
            return panel;
    }
    return nullptr;
}

} // namespace

// The commands of the main window: moving devices with the panel buttons,
// creating, renaming and deleting seats, reloading, the Edit options, help
// and closing with unsaved changes.
class TestMainWindowCommands : public WindowTestCase
{
    Q_OBJECT
private slots:
    void sendAndTakeDevices();
    void nothingSelectedMovesNothing();
    void deviceDroppedOnMainSeat();
    void addSeat();
    void addSeatCancelled();
    void addSeatShowsTheColumn();
    void firstCardOfThatNameMoves();
    void numberingAfterDeletion_data();
    void numberingAfterDeletion();
    void longSeatNames_data();
    void longSeatNames();
    void renameMainSeat_data();
    void renameMainSeat();
    void reloadWithoutChanges();
    void reloadWithUnsavedChanges_data();
    void reloadWithUnsavedChanges();
    void deletingLastPanel();
    void closeWithUnsavedChanges();
    void closeStaysWhenTheSaveStops_data();
    void closeStaysWhenTheSaveStops();
    void renameThenCloseAsksNothing();
    void exitClosesTheWindow();
    void help();
    void editOptionsStoredAtOnce();
    void commandsWaitForTheLoad();
    void keyboardShortcuts();
    void keyboardStartsInTheMainSeat();
    void f2RenamesTheFocusedSeat();

private:
    std::unique_ptr<MainWindow> openThreeSeats(const QByteArray &extra = {});
};

std::unique_ptr<MainWindow> TestMainWindowCommands::openThreeSeats(const QByteArray &extra)
{
    if (!m_fx->useMachine(QStringLiteral("three-seats.machine"), extra))
        return nullptr;
    auto window = m_fx->create();
    window->show();
    if (!WindowFixture::waitLoaded(window.get()))
        return nullptr;
    return window;
}

void TestMainWindowCommands::sendAndTakeDevices()
{
    auto window = openThreeSeats();
    QVERIFY(window);
    Seat *panel = window->seatPanels().first();
    QPushButton *add = Trees::button(panel, "addDevButton");
    QPushButton *remove = Trees::button(panel, "deleteDevButton");
    QVERIFY(add && remove);
    QVERIFY(!add->isEnabled());
    QVERIFY(!action(window.get(), "saveAction")->isEnabled());

    // The grouped keyboard goes over with both its addresses.
    const QStringList logitech{Usb + "/1-1/1-1:1.1/0003:046D:C31C.0002/input/input6",
                               Usb + "/1-1/1-1:1.0/0003:046D:C31C.0001/input/input5"};
    QCOMPARE(Trees::find(window->mainTree(), LogitechKeyboard)
                 ->data(0, DevTreeWidget::AddressRole)
                 .toStringList(),
             logitech);
    QVERIFY(Trees::select(window->mainTree(), LogitechKeyboard));
    QVERIFY(add->isEnabled());
    add->click();
    QVERIFY(!Trees::find(window->mainTree(), LogitechKeyboard));
    QCOMPARE(Trees::texts(panel->devTreeWidget(), KeyboardCategory),
             QStringList({DellKeyboard, LogitechKeyboard}));
    QCOMPARE(Trees::addresses(panel->devTreeWidget(), KeyboardCategory).last(), logitech);
    QVERIFY(window->stateChanged());
    QVERIFY(action(window.get(), "saveAction")->isEnabled());
    // Nothing is selected in the main seat any more.
    QVERIFY(!add->isEnabled());

    // And back, together with one of the panel's own devices.
    for (const QString &name : {LogitechKeyboard, DellKeyboard}) {
        QVERIFY(Trees::select(panel->devTreeWidget(), name));
        QVERIFY(remove->isEnabled());
        remove->click();
        QVERIFY(!Trees::find(panel->devTreeWidget(), name));
    }
    QCOMPARE(Trees::texts(window->mainTree(), KeyboardCategory),
             QStringList({"SIGMACHIP USB Keyboard", LogitechKeyboard, DellKeyboard}));
    QCOMPARE(Trees::addresses(window->mainTree(), KeyboardCategory).at(1), logitech);
    QCOMPARE(Trees::addresses(window->mainTree(), KeyboardCategory).at(2),
             QStringList{Usb + "/1-3/1-3:1.0/0003:413C:2113.0004/input/input8"});
    QCOMPARE(
        Trees::find(window->mainTree(), DellKeyboard)->data(0, DevTreeWidget::TypeRole).toInt(),
        int(KeyboardCategory));
    QVERIFY(window->stateChanged());
    QVERIFY(action(window.get(), "saveAction")->isEnabled());
    QCOMPARE(m_answerer->seen.size(), 0);
}

void TestMainWindowCommands::nothingSelectedMovesNothing()
{
    auto window = openThreeSeats();
    QVERIFY(window);
    Seat *panel = window->seatPanels().first();
    const int mainDevices = Trees::deviceCount(window->mainTree());
    const int panelDevices = Trees::deviceCount(panel->devTreeWidget());
    // The request of a panel whose button was enabled a moment ago.
    QVERIFY(QMetaObject::invokeMethod(panel, "giveMeDevice"));
    QCOMPARE(Trees::deviceCount(window->mainTree()), mainDevices);
    QCOMPARE(Trees::deviceCount(panel->devTreeWidget()), panelDevices);
    QVERIFY(!window->stateChanged());
    QVERIFY(!action(window.get(), "saveAction")->isEnabled());
}

void TestMainWindowCommands::deviceDroppedOnMainSeat()
{
    auto window = openThreeSeats();
    QVERIFY(window);
    const QStringList address{QStringLiteral("/sys/devices/pci0000:00/0000:00:1d.0/input/input30")};
    // What the main tree reports when a panel's mouse is dropped on it.
    QVERIFY(QMetaObject::invokeMethod(window->mainTree(), "deviceDropped",
                                      Q_ARG(QVariant, QStringLiteral("Dropped Mouse")),
                                      Q_ARG(QVariant, address), Q_ARG(QVariant, 2)));
    QCOMPARE(Trees::texts(window->mainTree(), MouseCategory).last(),
             QStringLiteral("Dropped Mouse"));
    QCOMPARE(Trees::addresses(window->mainTree(), MouseCategory).last(), address);
    QVERIFY(window->stateChanged());
    QVERIFY(action(window.get(), "saveAction")->isEnabled());
}

void TestMainWindowCommands::addSeat()
{
    auto window = openThreeSeats();
    QVERIFY(window);
    QCOMPARE(window->mainVideocard(), QString());
    QCOMPARE(window->freeSeats(), 1);
    // A device chosen in the main seat can go to the new panel at once.
    QVERIFY(Trees::select(window->mainTree(), QStringLiteral("SIGMACHIP USB Keyboard")));
    auto offered = std::make_shared<QStringList>();
    m_answerer->act(CreateSeatAnswer::create(QStringLiteral("Library"), Card0, offered));
    action(window.get(), "addSeatAction")->trigger();

    // No main card known: every card of the main seat, in tree order.
    QCOMPARE(*offered, QStringList({Card3, Card0, Card1}));
    QCOMPARE(m_answerer->seen.size(), 1);
    QCOMPARE(m_answerer->seen.first().className, QStringLiteral("CreateSeatDialog"));
    QCOMPARE(panelIds(window.get()), QStringList({"seat1", "seat2"}));
    Seat *created = window->seatPanels().last();
    QCOMPARE(created->findChild<MyViewLabel *>(QStringLiteral("seatNameLabel"))->fullText(),
             QStringLiteral("Library"));
    QCOMPARE(storedName(QStringLiteral("seat2")), QStringLiteral("Library"));
    QCOMPARE(Trees::texts(created->devTreeWidget(), VideocardCategory), QStringList{Card0});
    const QList<QStringList> card0{
        {QStringLiteral("/sys/devices/pci0000:00/0000:00:02.0/drm/card0"),
         QStringLiteral("/sys/devices/pci0000:00/0000:00:02.0/drm/renderD128")}};
    QCOMPARE(Trees::addresses(created->devTreeWidget(), VideocardCategory), card0);
    QCOMPARE(Trees::deviceCount(created->devTreeWidget()), 1);
    QCOMPARE(Trees::texts(window->mainTree(), VideocardCategory), QStringList({Card3, Card1}));
    QVERIFY(window->stateChanged());
    QVERIFY(action(window.get(), "saveAction")->isEnabled());
    QCOMPARE(window->freeSeats(), 0);
    QVERIFY(!action(window.get(), "addSeatAction")->isEnabled());
    QVERIFY(Trees::button(created, "flushButton")->isEnabled());
    QVERIFY(Trees::button(created, "addDevButton")->isEnabled());
    Trees::button(created, "addDevButton")->click();
    QCOMPARE(Trees::texts(created->devTreeWidget(), KeyboardCategory),
             QStringList{"SIGMACHIP USB Keyboard"});
}

void TestMainWindowCommands::addSeatCancelled()
{
    auto window = openThreeSeats();
    QVERIFY(window);
    m_answerer->act(CreateSeatAnswer::cancel(nullptr));
    action(window.get(), "addSeatAction")->trigger();
    QCOMPARE(m_answerer->seen.size(), 1);
    QCOMPARE(panelIds(window.get()), QStringList{"seat1"});
    QCOMPARE(storedName(QStringLiteral("seat2")), QString());
    QCOMPARE(Trees::texts(window->mainTree(), VideocardCategory).size(), 3);
    QCOMPARE(window->freeSeats(), 1);
    QVERIFY(action(window.get(), "addSeatAction")->isEnabled());
    QVERIFY(!window->stateChanged());
}

void TestMainWindowCommands::addSeatShowsTheColumn()
{
    const QString igpu = QStringLiteral("0000:00:02.0");
    QVERIFY(m_fx->writeMachine("seat seat0\n" + card(0, igpu) +
                               card(1, QStringLiteral("0000:00:01.0/0000:01:00.0"))));
    auto window = m_fx->create();
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    auto *scroll = window->findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    QVERIFY(scroll->isHidden());
    QCOMPARE(window->width(), 505);
    m_answerer->act(CreateSeatAnswer::create(QStringLiteral("Second"), Card1, nullptr));
    window->addSeat();
    QVERIFY(!scroll->isHidden());
    QCOMPARE(window->width(), 1063); // round(505 / 0.475)
    QCOMPARE(panelIds(window.get()), QStringList{"seat1"});
    QCOMPARE(Trees::texts(window->seatPanels().first()->devTreeWidget(), VideocardCategory),
             QStringList{Card1});
}

void TestMainWindowCommands::firstCardOfThatNameMoves()
{
    // Two cards that loginctl names alike.
    const QString first = QStringLiteral("/sys/devices/pci0000:00/0000:00:03.0/drm/card1");
    const QString second = QStringLiteral("/sys/devices/pci0000:00/0000:00:04.0/drm/card1");
    QVERIFY(m_fx->writeMachine("seat seat0\n" + card(0, "0000:00:02.0") + "device " +
                               first.toUtf8() + " drm:card1 master\ndevice " + second.toUtf8() +
                               " drm:card1 master\n"));
    auto window = m_fx->create();
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QCOMPARE(Trees::texts(window->mainTree(), VideocardCategory),
             QStringList({Card1, Card1, Card0}));
    auto offered = std::make_shared<QStringList>();
    m_answerer->act(CreateSeatAnswer::create(QStringLiteral("Twin"), Card1, offered));
    window->addSeat();
    QCOMPARE(*offered, QStringList({Card1, Card1, Card0}));
    // The first item of that name is the later line's card.
    QCOMPARE(Trees::addresses(window->seatPanels().first()->devTreeWidget(), VideocardCategory),
             QList<QStringList>{{second}});
    QCOMPARE(Trees::addresses(window->mainTree(), VideocardCategory),
             QList<QStringList>({{first}, {"/sys/devices/pci0000:00/0000:00:02.0/drm/card0"}}));
}

void TestMainWindowCommands::numberingAfterDeletion_data()
{
    QTest::addColumn<QStringList>("seats");
    QTest::addColumn<QString>("deleted");
    QTest::addColumn<QString>("created");
    QTest::newRow("two panels left") << QStringList({"seat1", "seat2", "seat7"}) << "seat2"
                                     << "seat3";
    QTest::newRow("last one deleted") << QStringList({"seat1", "seat2", "seat3"}) << "seat3"
                                      << "seat3";
    // Counting alone would give seat3 twice.
    QTest::newRow("number still held") << QStringList({"seat1", "seat2", "seat3"}) << "seat1"
                                       << "seat4";
}

void TestMainWindowCommands::numberingAfterDeletion()
{
    QFETCH(QStringList, seats);
    QFETCH(QString, deleted);
    QFETCH(QString, created);
    AppSettings::setSeatDisplayName(QStringLiteral("seat3"), QStringLiteral("Old name"));
    QVERIFY(m_fx->writeMachine(machineWithSeats(seats, 4)));
    auto window = m_fx->create();
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QCOMPARE(panelIds(window.get()), seats);
    QCOMPARE(window->freeSeats(), 0);

    Seat *panel = panelOf(window.get(), deleted);
    QVERIFY(panel);
    m_answerer->answer(QMessageBox::Yes); // give its devices back
    Trees::button(panel, "deleteSeatButton")->click();
    QCOMPARE(Trees::livePanels(window.get()), seats.size() - 1);
    QCOMPARE(window->freeSeats(), 1);
    QVERIFY(action(window.get(), "addSeatAction")->isEnabled());

    m_answerer->act(CreateSeatAnswer::create(QStringLiteral("New seat"), QString(), nullptr));
    window->addSeat();
    QCOMPARE(window->seatPanels().last()->seatId(), created);
    QCOMPARE(panelIds(window.get()).count(created), 1);
    QCOMPARE(storedName(created), QStringLiteral("New seat"));
    if (created != QLatin1String("seat3"))
        QCOMPARE(storedName(QStringLiteral("seat3")), QStringLiteral("Old name"));
    QCOMPARE(m_answerer->unexpected(), 0);
}

void TestMainWindowCommands::longSeatNames_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("message");
    QTest::newRow("29 characters") << 29 << false;
    QTest::newRow("30 characters") << 30 << true;
}

void TestMainWindowCommands::longSeatNames()
{
    QFETCH(int, length);
    QFETCH(bool, message);
    const QString name = LongName.left(length);
    auto window = openThreeSeats();
    QVERIFY(window);
    m_answerer->act(CreateSeatAnswer::create(name, Card3, nullptr));
    if (message)
        m_answerer->answer(QMessageBox::Ok);
    window->addSeat();
    QCOMPARE(m_answerer->seen.size(), message ? 2 : 1);
    if (message) {
        const SeenBox box = m_answerer->seen.at(1);
        QCOMPARE(box.icon, QMessageBox::Information);
        QCOMPARE(box.title, QStringLiteral("Seat creating"));
        QCOMPARE(
            box.text,
            QStringLiteral("The name is too long to display \nand will be displayed truncated"));
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    // The whole name is kept and shown shortened when too long.
    QCOMPARE(storedName(QStringLiteral("seat2")), name);
    auto *label = window->seatPanels().last()->findChild<MyViewLabel *>("seatNameLabel");
    QCOMPARE(label->fullText(), name);
    QCOMPARE(label->text(), message ? name.left(27) + QStringLiteral("...") : name);
    QCOMPARE(m_answerer->unexpected(), 0);
}

void TestMainWindowCommands::renameMainSeat_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("renamed");
    QTest::addColumn<bool>("message");
    QTest::newRow("29 characters") << LongName.left(29) << true << false;
    QTest::newRow("30 characters") << LongName.left(30) << true << true;
    QTest::newRow("emptied") << QString() << false << false;
    QTest::newRow("cancelled") << QStringLiteral("(cancel)") << false << false;
}

void TestMainWindowCommands::renameMainSeat()
{
    QFETCH(QString, answer);
    QFETCH(bool, renamed);
    QFETCH(bool, message);
    AppSettings::setSeatDisplayName(QStringLiteral("seat0"), QStringLiteral("Reception"));
    auto window = openThreeSeats();
    QVERIFY(window);
    auto *label = window->findChild<MyViewLabel *>(QStringLiteral("seatNameLabel"));
    QCOMPARE(label->fullText(), QStringLiteral("Reception"));

    auto preset = std::make_shared<QString>();
    m_answerer->answerWith([answer, preset](const Prompt::Request &request) {
        if (request.kind != Prompt::Kind::TextInput)
            return PromptAnswerer::escape(request);
        *preset = request.initialText;
        Prompt::Answer reply;
        reply.accepted = answer != QLatin1String("(cancel)");
        reply.text = answer;
        return reply;
    });
    if (message)
        m_answerer->answer(QMessageBox::Ok);
    window->findChild<QPushButton *>(QStringLiteral("renameButton"))->click();

    QCOMPARE(*preset, QStringLiteral("Reception"));
    QCOMPARE(m_answerer->seen.first().className, QStringLiteral("QInputDialog"));
    QCOMPARE(m_answerer->seen.first().title, QStringLiteral("Seat renaming"));
    QCOMPARE(m_answerer->seen.first().text, QStringLiteral("New name:"));
    QCOMPARE(m_answerer->seen.size(), message ? 2 : 1);
    if (message) {
        QCOMPARE(m_answerer->seen.at(1).title, QStringLiteral("Seat renaming"));
        QCOMPARE(m_answerer->seen.at(1).icon, QMessageBox::Information);
        QCOMPARE(
            m_answerer->seen.at(1).text,
            QStringLiteral("The name is too long to display \nand will be displayed truncated"));
    }
    const QString expected = renamed ? answer : QStringLiteral("Reception");
    QCOMPARE(label->fullText(), expected);
    QCOMPARE(label->text(), message ? answer.left(27) + QStringLiteral("...") : expected);
    QCOMPARE(storedName(QStringLiteral("seat0")), expected);
    // A name is no change of the layout.
    QVERIFY(!window->stateChanged());
    QVERIFY(!action(window.get(), "saveAction")->isEnabled());
    QCOMPARE(m_answerer->unexpected(), 0);
}

void TestMainWindowCommands::reloadWithoutChanges()
{
    auto window = openThreeSeats();
    QVERIFY(window);
    const int listings = m_fx->calls().size();
    // The system gains a seat meanwhile.
    QVERIFY(m_fx->writeMachine(m_fx->machine() + "seat seat2\n"));
    action(window.get(), "reloadAction")->trigger();

    // Everything goes at once; the reading starts 500 ms later.
    QCOMPARE(Trees::livePanels(window.get()), 0);
    QVERIFY(window->seatPanels().isEmpty());
    QCOMPARE(Trees::deviceCount(window->mainTree()), 0);
    QCOMPARE(window->freeSeats(), 2);
    QTest::qWait(400);
    QCOMPARE(m_fx->calls().size(), listings);
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    const QList<QStringList> calls = m_fx->calls().mid(listings);
    QCOMPARE(calls.value(0), QStringList({"list-seats", "--no-legend"}));
    QCOMPARE(calls.size(), 5);
    QCOMPARE(panelIds(window.get()), QStringList({"seat1", "seat2"}));
    QCOMPARE(Trees::livePanels(window.get()), 2);
    QCOMPARE(Trees::texts(window->mainTree(), VideocardCategory),
             QStringList({Card3, Card0, Card1}));
    QCOMPARE(Trees::texts(window->seatPanels().first()->devTreeWidget(), VideocardCategory),
             QStringList{Card2});
    QCOMPARE(window->freeSeats(), 0);
    QVERIFY(!action(window.get(), "addSeatAction")->isEnabled());
    QCOMPARE(m_answerer->seen.size(), 0);
}

void TestMainWindowCommands::reloadWithUnsavedChanges_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(QMessageBox::Yes);
    QTest::newRow("no") << int(QMessageBox::No);
}

void TestMainWindowCommands::reloadWithUnsavedChanges()
{
    QFETCH(int, answer);
    auto window = openThreeSeats();
    QVERIFY(window);
    Seat *panel = window->seatPanels().first();
    QVERIFY(Trees::select(window->mainTree(), Card3));
    Trees::button(panel, "addDevButton")->click();
    QVERIFY(window->stateChanged());
    const int calls = m_fx->calls().size();

    m_answerer->answer(QMessageBox::StandardButton(answer));
    window->reloadConfiguration();
    QCOMPARE(m_answerer->seen.size(), 1);
    const SeenBox box = m_answerer->seen.first();
    QCOMPARE(box.icon, QMessageBox::Question);
    QCOMPARE(box.title, QStringLiteral("Warning!"));
    QCOMPARE(box.text,
             QStringLiteral("The all unsaved changed will be lost. \nDo you want to continue?"));
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);

    if (answer == QMessageBox::No) {
        QTest::qWait(700);
        QCOMPARE(m_fx->calls().size(), calls);
        QCOMPARE(window->seatPanels(), QList<Seat *>{panel});
        QCOMPARE(Trees::livePanels(window.get()), 1);
        QVERIFY(Trees::find(panel->devTreeWidget(), Card3));
        QVERIFY(window->stateChanged());
        QVERIFY(action(window.get(), "saveAction")->isEnabled());
        QVERIFY(!window->isLoading());
        return;
    }
    QVERIFY(window->isLoading());
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QCOMPARE(m_fx->calls().size(), calls + 4);
    // The system's layout again: card3 is the main seat's.
    QVERIFY(Trees::find(window->mainTree(), Card3));
    QCOMPARE(Trees::texts(window->seatPanels().first()->devTreeWidget(), VideocardCategory),
             QStringList{Card2});
    QVERIFY(!window->stateChanged());
    QVERIFY(!action(window.get(), "saveAction")->isEnabled());
    QCOMPARE(window->freeSeats(), 1);
    QVERIFY(action(window.get(), "addSeatAction")->isEnabled());
}

void TestMainWindowCommands::deletingLastPanel()
{
    auto window = openThreeSeats();
    QVERIFY(window);
    QCOMPARE(window->width(), 1064);
    Seat *panel = window->seatPanels().first();
    m_answerer->answer(QMessageBox::Yes);
    Trees::button(panel, "deleteSeatButton")->click();
    QCOMPARE(m_answerer->seen.size(), 1);
    QCOMPARE(m_answerer->seen.first().title, QStringLiteral("Devices disconnection"));
    QCOMPARE(Trees::livePanels(window.get()), 0);
    QVERIFY(window->seatPanels().isEmpty());
    QVERIFY(window->findChild<QScrollArea *>(QStringLiteral("scrollArea"))->isHidden());
    QCOMPARE(window->width(), 505); // round(1064 * 0.475)
    QCOMPARE(window->height(), 600);
    QCOMPARE(window->freeSeats(), 2);
    QVERIFY(action(window.get(), "addSeatAction")->isEnabled());
    // Its devices came back to the main seat.
    QVERIFY(Trees::find(window->mainTree(), Card2));
    QVERIFY(Trees::find(window->mainTree(), DellKeyboard));
    QVERIFY(window->stateChanged());
}

void TestMainWindowCommands::closeWithUnsavedChanges()
{
    auto window = openThreeSeats();
    QVERIFY(window);
    window->resize(900, 500);
    QVERIFY(window->close());
    const QByteArray stored = AppSettings::geometry();
    QVERIFY(!stored.isEmpty());

    window = openThreeSeats();
    QVERIFY(window);
    QCOMPARE(window->size(), QSize(900, 500));
    QVERIFY(Trees::select(window->mainTree(), Card3));
    Trees::button(window->seatPanels().first(), "addDevButton")->click();
    window->resize(700, 400);

    m_answerer->answer(QMessageBox::Cancel);
    QVERIFY(!window->close());
    QVERIFY(window->isVisible());
    QCOMPARE(m_answerer->seen.size(), 1);
    const SeenBox box = m_answerer->seen.first();
    QCOMPARE(box.icon, QMessageBox::Question);
    QCOMPARE(box.title, QStringLiteral("Unsaved changes"));
    QCOMPARE(
        box.text,
        QStringLiteral("Configuration was changed but not saved. \nDo you want to save changes?"));
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(AppSettings::geometry(), stored);

    // No closes without saving and stores the new geometry.
    m_answerer->answer(QMessageBox::No);
    QVERIFY(window->close());
    QVERIFY(!window->isVisible());
    QCOMPARE(m_answerer->seen.size(), 2);
    QVERIFY(AppSettings::geometry() != stored);
    QVERIFY(m_fx->restarts.isEmpty());

    MainWindow restored(nullptr, m_fx->environment());
    QCOMPARE(restored.size(), QSize(700, 400));
}

// Yes to "save changes?" and then a save that stops: the window stays with
// the administrator's layout, since closing would lose it.
void TestMainWindowCommands::closeStaysWhenTheSaveStops_data()
{
    QTest::addColumn<bool>("refusedByRule");
    QTest::newRow("restart question answered No") << false;
    QTest::newRow("a seat without input devices") << true;
}

void TestMainWindowCommands::closeStaysWhenTheSaveStops()
{
    QFETCH(bool, refusedByRule);
    auto window = openThreeSeats();
    QVERIFY(window);
    QVERIFY(Trees::select(window->mainTree(), Card3));
    Trees::button(window->seatPanels().first(), "addDevButton")->click();
    if (refusedByRule) {
        // seat1 keeps only its cards: refused unless such seats are allowed.
        Seat *seat1 = window->seatPanels().first();
        for (const QString &name : Trees::texts(seat1->devTreeWidget(), KeyboardCategory) +
                                       Trees::texts(seat1->devTreeWidget(), MouseCategory)) {
            QVERIFY(Trees::select(seat1->devTreeWidget(), name));
            Trees::button(seat1, "deleteDevButton")->click();
        }
    }
    const QList<DeviceItem> before = window->seatPanels().first()->devTreeWidget()->devices();
    const int calls = m_fx->callCount();

    m_answerer->answer(QMessageBox::Yes); // save changes?
    if (refusedByRule) {
        m_answerer->answer(QMessageBox::Yes); // the restart question
        m_answerer->answer(QMessageBox::Ok);  // the rule's refusal
    } else {
        m_answerer->answer(QMessageBox::No);
    }
    QVERIFY(!window->close());
    QVERIFY(window->isVisible());
    QVERIFY(window->stateChanged());
    QCOMPARE(window->seatPanels().first()->devTreeWidget()->devices().size(), before.size());
    QCOMPARE(m_fx->callCount(), calls); // nothing attached
    QVERIFY(m_fx->restarts.isEmpty());
    QCOMPARE(m_answerer->unexpected(), 0);
}

void TestMainWindowCommands::renameThenCloseAsksNothing()
{
    auto window = openThreeSeats();
    QVERIFY(window);
    m_answerer->answerText(QStringLiteral("Front desk"));
    window->findChild<QPushButton *>(QStringLiteral("renameButton"))->click();
    QCOMPARE(storedName(QStringLiteral("seat0")), QStringLiteral("Front desk"));
    QVERIFY(window->close());
    QCOMPARE(m_answerer->seen.size(), 1);
    QCOMPARE(m_answerer->unexpected(), 0);
    QVERIFY(!AppSettings::geometry().isEmpty());
}

void TestMainWindowCommands::exitClosesTheWindow()
{
    auto window = openThreeSeats();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    action(window.get(), "exitAction")->trigger();
    QVERIFY(!window->isVisible());
    QVERIFY(!AppSettings::geometry().isEmpty());
    QCOMPARE(m_answerer->seen.size(), 0);
}

void TestMainWindowCommands::help()
{
    auto window = openThreeSeats();
    QVERIFY(window);
    auto helpWindows = [] {
        QList<HelpWindow *> found;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *help = qobject_cast<HelpWindow *>(w); help && help->isVisible())
                found << help;
        }
        return found;
    };
    QVERIFY(helpWindows().isEmpty());
    action(window.get(), "helpAction")->trigger();
    QTRY_COMPARE(helpWindows().size(), 1);
    // Asking again shows the same window.
    action(window.get(), "helpAction")->trigger();
    QCOMPARE(helpWindows().size(), 1);
    helpWindows().first()->close();
    QVERIFY(!window->stateChanged());
}

void TestMainWindowCommands::editOptionsStoredAtOnce()
{
    auto window = openThreeSeats();
    QVERIFY(window);
    QAction *allow = action(window.get(), "emptySeatsAllowedAction");
    QAction *showAll = action(window.get(), "showAllDevicesAction");
    const DevTreeWidget *panelTree = window->seatPanels().first()->devTreeWidget();

    allow->trigger();
    QVERIFY(AppSettings::emptySeatsAllowed());
    QVERIFY(!AppSettings::showUnknownDevices());
    showAll->trigger();
    QVERIFY(AppSettings::showUnknownDevices());
    QVERIFY(!window->mainTree()->category(UnrecognizedCategory)->isHidden());
    QVERIFY(!panelTree->category(UnrecognizedCategory)->isHidden());

    allow->trigger();
    QVERIFY(!AppSettings::emptySeatsAllowed());
    QVERIFY(AppSettings::showUnknownDevices());
    showAll->trigger();
    QVERIFY(!AppSettings::showUnknownDevices());
    QVERIFY(window->mainTree()->category(UnrecognizedCategory)->isHidden());
    QVERIFY(panelTree->category(UnrecognizedCategory)->isHidden());
    // Options are no change of the layout.
    QVERIFY(!window->stateChanged());
}

void TestMainWindowCommands::commandsWaitForTheLoad()
{
    QVERIFY(m_fx->useMachine(QStringLiteral("three-seats.machine"),
                             "fault seat-status sleep 800 arg=seat1\n"));
    auto window = m_fx->create();
    window->show();
    QAction *reload = action(window.get(), "reloadAction");
    QAction *add = action(window.get(), "addSeatAction");
    QAction *save = action(window.get(), "saveAction");
    QWidget *panels = window->findChild<QWidget *>(QStringLiteral("scrollAreaWidgetContents"));
    QTRY_COMPARE_WITH_TIMEOUT(m_fx->calls().size(), 3, 10000); // seat1 is being read
    QVERIFY(window->isLoading());
    QVERIFY(!reload->isEnabled());
    QVERIFY(!add->isEnabled());
    QVERIFY(!save->isEnabled());
    QVERIFY(!panels->isEnabled());
    // Commands started another way wait as well.
    window->addSeat();
    window->reloadConfiguration();
    QCOMPARE(m_answerer->seen.size(), 0);

    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QVERIFY(reload->isEnabled());
    QVERIFY(add->isEnabled());
    QVERIFY(!save->isEnabled());
    QVERIFY(panels->isEnabled());
    QCOMPARE(m_fx->calls().size(), 4);
    QCOMPARE(Trees::texts(window->seatPanels().first()->devTreeWidget(), VideocardCategory),
             QStringList{Card2});
}

// The usual keys work the usual commands: F5 reloads, Ctrl+Q closes.
void TestMainWindowCommands::keyboardShortcuts()
{
    auto window = openThreeSeats();
    QVERIFY(window);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    const int calls = m_fx->calls().size();
    QTest::keyClick(window.get(), Qt::Key_F5);
    QVERIFY(window->isLoading());
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QCOMPARE(m_fx->calls().size(), calls + 4);
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!window->isVisible());
}

// The keyboard starts in the main seat's devices, not on a panel's button.
void TestMainWindowCommands::keyboardStartsInTheMainSeat()
{
    auto window = openThreeSeats();
    QVERIFY(window);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(window->mainTree()));
}

// The rename buttons take no focus: F2 renames the seat whose devices have it.
void TestMainWindowCommands::f2RenamesTheFocusedSeat()
{
    auto window = openThreeSeats();
    QVERIFY(window);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    m_answerer->answerText(QStringLiteral("Reception"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    QCOMPARE(m_answerer->seen.size(), 1);
    QCOMPARE(m_answerer->seen.first().title, QStringLiteral("Seat renaming"));
    QCOMPARE(window->findChild<MyViewLabel *>(QStringLiteral("seatNameLabel"))->fullText(),
             QStringLiteral("Reception"));
    QCOMPARE(storedName("seat0"), QStringLiteral("Reception"));

    Seat *panel = panelOf(window.get(), "seat1");
    panel->devTreeWidget()->setFocus();
    m_answerer->answerText(QStringLiteral("Accounting"));
    QTest::keyClick(panel->devTreeWidget(), Qt::Key_F2);
    QCOMPARE(m_answerer->seen.size(), 2);
    QCOMPARE(storedName("seat1"), QStringLiteral("Accounting"));
    QCOMPARE(storedName("seat0"), QStringLiteral("Reception"));

    // Anywhere else F2 renames nothing.
    Trees::button(panel, "flushButton")->setFocus();
    QTest::keyClick(Trees::button(panel, "flushButton"), Qt::Key_F2);
    QCOMPARE(m_answerer->seen.size(), 2);
    QCOMPARE(m_answerer->unexpected(), 0);
}

QTEST_MAIN(TestMainWindowCommands)
#include "tst_mainwindow_commands.moc"
