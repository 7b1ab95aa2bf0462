// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/saveplan.h"
#include "common/testenv.h"

#include <QTest>

// The layout checks of a save and the attach queue they produce, on plain
// facts: which boxes come up in which order, what each answer does, and which
// (seat, address) pairs are queued in which order.

Q_DECLARE_METATYPE(SaveMessage)
Q_DECLARE_METATYPE(SaveMessageKind)
Q_DECLARE_METATYPE(MainSeatFacts)
Q_DECLARE_METATYPE(QList<SeatFacts>)
Q_DECLARE_METATYPE(QList<SaveMessage>)
Q_DECLARE_METATYPE(QList<bool>)
Q_DECLARE_METATYPE(QList<AttachPair>)

namespace {

using M = SaveMessage;

// Shows nothing: remembers every box and answers the questions from a list.
struct Boxes
{
    explicit Boxes(QList<bool> answers) : answers(std::move(answers)) {}

    bool ask(SaveMessage message)
    {
        shown.append(message);
        if (saveMessageKind(message) != SaveMessageKind::Question)
            ++misrouted;
        if (answers.isEmpty()) {
            ++unanswered;
            return false;
        }
        return answers.takeFirst();
    }
    void tell(SaveMessage message)
    {
        shown.append(message);
        if (saveMessageKind(message) == SaveMessageKind::Question)
            ++misrouted;
    }

    QList<bool> answers;
    QList<SaveMessage> shown;
    int misrouted = 0;  // a question told, or a critical box asked
    int unanswered = 0; // questions beyond the prepared answers
};

SavePlan plan(Boxes &boxes, const MainSeatFacts &mainSeat, const QList<SeatFacts> &panels,
              const QString &mainVideocard, bool emptySeatsAllowed)
{
    return planSave(
        mainSeat, panels, mainVideocard, emptySeatsAllowed,
        [&boxes](SaveMessage m) { return boxes.ask(m); },
        [&boxes](SaveMessage m) { boxes.tell(m); });
}

const QString Card0 = QStringLiteral("/sys/devices/pci0000:00/0000:00:02.0/drm/card0");
const QString MainKbd = QStringLiteral("/sys/devices/usb1/1-1/input/input5");
const QString MainMouse = QStringLiteral("/sys/devices/usb1/1-2/input/input7");

MainSeatFacts mainSeat(QStringList cards = {QStringLiteral("[MASTER] drm:card0")},
                       bool keyboardAndMouse = true)
{
    MainSeatFacts facts;
    facts.seatId = QStringLiteral("seat0");
    facts.videocardNames = cards;
    facts.hasVideocard = !cards.isEmpty();
    facts.hasKeyboardAndMouse = keyboardAndMouse;
    facts.addresses = QStringList{Card0, MainKbd, MainMouse};
    return facts;
}

// A panel: c = video card, k = keyboard or mouse, u = an unrecognized device
// that the panel counts (the option to show them is on); hidden are the
// addresses of unrecognized devices it holds but does not count.
SeatFacts panel(const QString &seatId, const QString &contents, QStringList addresses = {},
                const QStringList &hidden = {})
{
    SeatFacts facts;
    facts.seatId = seatId;
    facts.hasVideocard = contents.contains('c');
    facts.hasKeyboardOrMouse = contents.contains('k');
    facts.hasInputDevices = facts.hasKeyboardOrMouse || contents.contains('u');
    if (addresses.isEmpty()) {
        for (const QChar kind : contents)
            addresses.append(QStringLiteral("/sys/%1/%2").arg(seatId, kind));
    }
    facts.addresses = addresses;
    facts.allAddresses = addresses + hidden;
    return facts;
}

QList<AttachPair> mainPairs()
{
    return {{"seat0", Card0}, {"seat0", MainKbd}, {"seat0", MainMouse}};
}

QList<AttachPair> pairsOf(const SeatFacts &facts)
{
    QList<AttachPair> pairs;
    for (const QString &address : facts.addresses)
        pairs.append({facts.seatId, address});
    return pairs;
}

} // namespace

class TestSavePlan : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }

    void rules_data();
    void rules();
    void queueOrder();
    void messageTable_data();
    void messageTable();
};

void TestSavePlan::rules_data()
{
    QTest::addColumn<MainSeatFacts>("mainFacts");
    QTest::addColumn<QList<SeatFacts>>("panels");
    QTest::addColumn<QString>("mainVideocard");
    QTest::addColumn<bool>("emptySeatsAllowed");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QList<SaveMessage>>("expectedShown");
    QTest::addColumn<bool>("proceed");
    QTest::addColumn<QList<int>>("deleted");
    QTest::addColumn<QList<AttachPair>>("queue");

    const SeatFacts good = panel("seat1", "ck");
    const QList<SeatFacts> onePanel{good};
    const QList<AttachPair> goodQueue = pairsOf(good) + mainPairs();
    const QString card0 = QStringLiteral("card0");

    QTest::newRow("layout passes: only the restart question")
        << mainSeat() << onePanel << card0 << false << QList<bool>{true}
        << QList<M>{M::RestartQuestion} << true << QList<int>{} << goodQueue;
    QTest::newRow("main video card moved away")
        << mainSeat({"[MASTER] drm:card1"}) << onePanel << card0 << false << QList<bool>{}
        << QList<M>{M::MainVideocardMoved} << false << QList<int>{} << QList<AttachPair>{};
    QTest::newRow("no card at all and a known main card: M1, not M2")
        << mainSeat({}) << onePanel << card0 << false << QList<bool>{}
        << QList<M>{M::MainVideocardMoved} << false << QList<int>{} << QList<AttachPair>{};
    QTest::newRow("main card matched as a substring")
        << mainSeat({"[MASTER] drm:card1", "Intel card0 (0000:00:02.0)"}) << onePanel << card0
        << false << QList<bool>{true} << QList<M>{M::RestartQuestion} << true << QList<int>{}
        << goodQueue;
    QTest::newRow("substring match is case-sensitive")
        << mainSeat({"[MASTER] drm:CARD0"}) << onePanel << card0 << false << QList<bool>{}
        << QList<M>{M::MainVideocardMoved} << false << QList<int>{} << QList<AttachPair>{};
    QTest::newRow("unknown main card: any card passes")
        << mainSeat({"[MASTER] drm:card7"}) << onePanel << QString() << false << QList<bool>{true}
        << QList<M>{M::RestartQuestion} << true << QList<int>{} << goodQueue;
    QTest::newRow("unknown main card and no card: M2")
        << mainSeat({}) << onePanel << QString() << false << QList<bool>{}
        << QList<M>{M::MainSeatWithoutCard} << false << QList<int>{} << QList<AttachPair>{};
    QTest::newRow("main seat lacks input, Yes, then the restart question")
        << mainSeat({"[MASTER] drm:card0"}, false) << onePanel << card0 << false
        << QList<bool>{true, true} << QList<M>{M::MainSeatLacksInput, M::RestartQuestion} << true
        << QList<int>{} << goodQueue;
    QTest::newRow("main seat lacks input, No stops before the restart question")
        << mainSeat({"[MASTER] drm:card0"}, false) << onePanel << card0 << false
        << QList<bool>{false} << QList<M>{M::MainSeatLacksInput} << false << QList<int>{}
        << QList<AttachPair>{};
    QTest::newRow("restart question answered No")
        << mainSeat() << onePanel << card0 << false << QList<bool>{false}
        << QList<M>{M::RestartQuestion} << false << QList<int>{} << QList<AttachPair>{};
    QTest::newRow("seat with input devices but no card")
        << mainSeat() << QList<SeatFacts>{panel("seat1", "k")} << card0 << false
        << QList<bool>{true} << QList<M>{M::RestartQuestion, M::SeatWithoutVideocard} << false
        << QList<int>{} << QList<AttachPair>{};
    QTest::newRow("empty seat, deletion refused")
        << mainSeat() << QList<SeatFacts>{panel("seat1", "")} << card0 << false
        << QList<bool>{true, false} << QList<M>{M::RestartQuestion, M::EmptySeatsDeleted} << false
        << QList<int>{} << QList<AttachPair>{};
    QTest::newRow("empty seat deleted")
        << mainSeat() << QList<SeatFacts>{panel("seat1", "")} << card0 << false
        << QList<bool>{true, true} << QList<M>{M::RestartQuestion, M::EmptySeatsDeleted} << true
        << QList<int>{0} << mainPairs();
    QTest::newRow("card-only seat while seats without input are not allowed")
        << mainSeat() << QList<SeatFacts>{panel("seat1", "c")} << card0 << false
        << QList<bool>{true} << QList<M>{M::RestartQuestion, M::SeatWithoutInputDevices} << false
        << QList<int>{} << QList<AttachPair>{};
    QTest::newRow("card-only seat when allowed")
        << mainSeat() << QList<SeatFacts>{panel("seat1", "c")} << card0 << true << QList<bool>{true}
        << QList<M>{M::RestartQuestion} << true << QList<int>{}
        << pairsOf(panel("seat1", "c")) + mainPairs();
    QTest::newRow("three panels: M6 for the second, then M7 stops")
        << mainSeat()
        << QList<SeatFacts>{panel("seat1", "ck"), panel("seat2", ""), panel("seat3", "c")} << card0
        << false << QList<bool>{true, true}
        << QList<M>{M::RestartQuestion, M::EmptySeatsDeleted, M::SeatWithoutInputDevices} << false
        << QList<int>{1} << QList<AttachPair>{};
    QTest::newRow("two empty panels are asked about twice")
        << mainSeat() << QList<SeatFacts>{panel("seat1", ""), panel("seat2", "")} << card0 << false
        << QList<bool>{true, true, true}
        << QList<M>{M::RestartQuestion, M::EmptySeatsDeleted, M::EmptySeatsDeleted} << true
        << QList<int>{0, 1} << mainPairs();
    QTest::newRow("two empty panels, the second deletion refused")
        << mainSeat() << QList<SeatFacts>{panel("seat1", ""), panel("seat2", "")} << card0 << false
        << QList<bool>{true, true, false}
        << QList<M>{M::RestartQuestion, M::EmptySeatsDeleted, M::EmptySeatsDeleted} << false
        << QList<int>{0} << QList<AttachPair>{};
    QTest::newRow("only unrecognized devices, shown: no card is an error")
        << mainSeat() << QList<SeatFacts>{panel("seat1", "u")} << card0 << false
        << QList<bool>{true} << QList<M>{M::RestartQuestion, M::SeatWithoutVideocard} << false
        << QList<int>{} << QList<AttachPair>{};
    // Hidden unrecognized devices do not count; the panel is empty, and what
    // its tree still holds goes to the main seat, after its own devices:
    // left alone it would stay on a seat that is gone.
    QTest::newRow("only unrecognized devices, hidden: deleted as empty")
        << mainSeat() << QList<SeatFacts>{panel("seat1", "", {}, {"/sys/hidden/speaker"})} << card0
        << false << QList<bool>{true, true} << QList<M>{M::RestartQuestion, M::EmptySeatsDeleted}
        << true << QList<int>{0}
        << mainPairs() + QList<AttachPair>{{"seat0", "/sys/hidden/speaker"}};
    // Devices given back by seats deleted earlier go to the main seat too,
    // once each.
    MainSeatFacts withReturned = mainSeat();
    withReturned.returned = QStringList{MainMouse, QStringLiteral("/sys/returned/lid")};
    QTest::newRow("devices returned by deleted seats")
        << withReturned << QList<SeatFacts>{} << card0 << false << QList<bool>{true}
        << QList<M>{M::RestartQuestion} << true << QList<int>{}
        << mainPairs() + QList<AttachPair>{{"seat0", "/sys/returned/lid"}};
    // A device on two seats would end on whichever came last: refused before
    // any question, hidden devices and those of empty panels included.
    QTest::newRow("a device on a panel and the main seat")
        << mainSeat() << QList<SeatFacts>{panel("seat1", "ck", {"/sys/seat1/c", MainKbd})} << card0
        << false << QList<bool>{} << QList<M>{M::DeviceOnTwoSeats} << false << QList<int>{}
        << QList<AttachPair>{};
    QTest::newRow("a hidden device on two panels")
        << mainSeat()
        << QList<SeatFacts>{panel("seat1", "ck", {}, {"/sys/hub"}),
                            panel("seat2", "", {}, {"/sys/hub"})}
        << card0 << false << QList<bool>{} << QList<M>{M::DeviceOnTwoSeats} << false << QList<int>{}
        << QList<AttachPair>{};
    // A keyboard that is a mouse too is listed twice on one seat: no conflict,
    // and it is attached once.
    const SeatFacts combo = panel("seat1", "ck", {"/sys/seat1/c", "/sys/combo", "/sys/combo"});
    QTest::newRow("one device twice on one seat")
        << mainSeat() << QList<SeatFacts>{combo} << card0 << false << QList<bool>{true}
        << QList<M>{M::RestartQuestion} << true << QList<int>{}
        << QList<AttachPair>{{"seat1", "/sys/seat1/c"}, {"seat1", "/sys/combo"}} + mainPairs();
}

void TestSavePlan::rules()
{
    QFETCH(MainSeatFacts, mainFacts);
    QFETCH(QList<SeatFacts>, panels);
    QFETCH(QString, mainVideocard);
    QFETCH(bool, emptySeatsAllowed);
    QFETCH(QList<bool>, answers);
    QFETCH(QList<SaveMessage>, expectedShown);
    QFETCH(bool, proceed);
    QFETCH(QList<int>, deleted);
    QFETCH(QList<AttachPair>, queue);

    Boxes boxes(answers);
    const SavePlan result = plan(boxes, mainFacts, panels, mainVideocard, emptySeatsAllowed);
    QCOMPARE(boxes.shown, expectedShown);
    QCOMPARE(boxes.misrouted, 0);
    QCOMPARE(boxes.unanswered, 0);
    QCOMPARE(boxes.answers.size(), 0);
    QCOMPARE(result.proceed, proceed);
    if (proceed) {
        QCOMPARE(result.panelsToDelete, deleted);
        QCOMPARE(result.queue, queue);
    }
}

// Panels in display order, each in its own address order, the main seat
// last, then what the deleted panels held; a device with two addresses two
// pairs.
void TestSavePlan::queueOrder()
{
    const SeatFacts first =
        panel("seat2", "ck", {"/sys/b/card1", "/sys/b/kbd-if0", "/sys/b/kbd-if1", "/sys/b/mouse"});
    const SeatFacts empty = panel("seat5", "", {}, {"/sys/hidden/lid"});
    const SeatFacts last = panel("seat1", "ck", {"/sys/a/card2", "/sys/a/mouse"});
    Boxes boxes({true, true});
    const SavePlan result = plan(boxes, mainSeat(), {first, empty, last}, "card0", false);
    QVERIFY(result.proceed);
    QCOMPARE(result.panelsToDelete, QList<int>{1});
    const QList<AttachPair> expected{{"seat2", "/sys/b/card1"},
                                     {"seat2", "/sys/b/kbd-if0"},
                                     {"seat2", "/sys/b/kbd-if1"},
                                     {"seat2", "/sys/b/mouse"},
                                     {"seat1", "/sys/a/card2"},
                                     {"seat1", "/sys/a/mouse"},
                                     {"seat0", Card0},
                                     {"seat0", MainKbd},
                                     {"seat0", MainMouse},
                                     {"seat0", "/sys/hidden/lid"}};
    QCOMPARE(result.queue, expected);
}

void TestSavePlan::messageTable_data()
{
    QTest::addColumn<SaveMessage>("message");
    QTest::addColumn<SaveMessageKind>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");

    const QString error = QStringLiteral("Error!");
    const QString warning = QStringLiteral("Warning!");
    QTest::newRow("M1") << M::MainVideocardMoved << SaveMessageKind::Critical << error
                        << "Disconnecting main videocard from main seat is forbidden.";
    QTest::newRow("M2") << M::MainSeatWithoutCard << SaveMessageKind::Critical << error
                        << "Disconnecting all videocards from main seat is forbidden.";
    QTest::newRow("M3") << M::MainSeatLacksInput << SaveMessageKind::Question << warning
                        << "The main place will be disconnected from important devices. \nDo "
                           "you want to continue?";
    QTest::newRow("M4") << M::RestartQuestion << SaveMessageKind::Question << warning
                        << "After saving the settings, the graphical shell will be restarted. "
                           "\nDo you want to continue?";
    QTest::newRow("M5") << M::SeatWithoutVideocard << SaveMessageKind::Critical << error
                        << "Creating seats without videocard is forbidden.";
    QTest::newRow("M6") << M::EmptySeatsDeleted << SaveMessageKind::Question << warning
                        << "Seats without devices will be deleted. \nDo you want to continue?";
    QTest::newRow("M7") << M::SeatWithoutInputDevices << SaveMessageKind::Critical << error
                        << "Creating seats without input devices disabled in Edit menu.\nEnable "
                           "this option and try again or reconfigure devices.";
    QTest::newRow("M8") << M::UnexpectedError << SaveMessageKind::Warning << warning
                        << "An unexpected error has occurred.\nIt is recommended to restart "
                           "the program.";
}

void TestSavePlan::messageTable()
{
    QFETCH(SaveMessage, message);
    QFETCH(SaveMessageKind, kind);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QCOMPARE(saveMessageKind(message), kind);
    QCOMPARE(saveMessageTitle(message), title);
    QCOMPARE(saveMessageText(message), text);
}

QTEST_GUILESS_MAIN(TestSavePlan)
#include "tst_saveplan.moc"
