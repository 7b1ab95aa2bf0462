// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "mainwindow/windowfixture.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/seat.h"

#include <QFileInfo>
#include <QTest>

namespace {

const QString Card0 = QStringLiteral("[MASTER] drm:card0");
const QString Card1 = QStringLiteral("[MASTER] drm:card1");
const QString Card3 = QStringLiteral("[MASTER] drm:card3");

} // namespace

// The main video card found from the display manager's log and the DRM links
// given to the window, and what adding a seat then offers.
class TestMainWindowVideocard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }
    void init() { TestEnv::clearSettings(); }

    void mainCardFromTheGivenSystem_data();
    void mainCardFromTheGivenSystem();
    void onlyTheMainCardLeft();
};

void TestMainWindowVideocard::mainCardFromTheGivenSystem_data()
{
    QTest::addColumn<QString>("notation");
    QTest::addColumn<bool>("card1Booted"); // boot_vga of card1's device
    QTest::addColumn<QString>("mainCard");
    QTest::addColumn<QStringList>("offered");
    // The cards of three-seats.machine that seat0 holds, as the kernel links them.
    QTest::newRow("integrated card")
        << "0@0:2:0" << false << "card0" << QStringList({Card3, Card1});
    QTest::newRow("card behind a bridge")
        << "1@0:0:0" << false << "card1" << QStringList({Card3, Card0});
    QTest::newRow("no primary device logged")
        << QString() << false << QString() << QStringList({Card3, Card0, Card1});
    QTest::newRow("device without a card")
        << "5@0:0:0" << false << QString() << QStringList({Card3, Card0, Card1});
    QTest::newRow("no log, the card the firmware started on")
        << QString() << true << "card1" << QStringList({Card3, Card0});
}

void TestMainWindowVideocard::mainCardFromTheGivenSystem()
{
    QFETCH(QString, notation);
    QFETCH(bool, card1Booted);
    QFETCH(QString, mainCard);
    QFETCH(QStringList, offered);
    WindowFixture harness;
    QVERIFY(harness.useMachine(QStringLiteral("three-seats.machine")));
    if (!notation.isEmpty())
        QVERIFY(harness.addPrimaryLog(notation));
    QVERIFY(
        harness.addCardLink(QStringLiteral("card0"), QStringLiteral("pci0000:00/0000:00:02.0")));
    QVERIFY(harness.addCardLink(QStringLiteral("card0-DP-1"),
                                QStringLiteral("pci0000:00/0000:00:02.0/drm/card0")));
    QVERIFY(harness.addCardLink(QStringLiteral("card1"),
                                QStringLiteral("pci0000:00/0000:00:01.0/0000:01:00.0")));
    QVERIFY(harness.addCardLink(QStringLiteral("card2"),
                                QStringLiteral("pci0000:00/0000:00:1c.0/0000:02:00.0")));
    QVERIFY(harness.addCardLink(QStringLiteral("card3"),
                                QStringLiteral("pci0000:00/0000:00:1c.4/0000:03:00.0")));
    QVERIFY(QFileInfo(harness.environment().drmClassDir + QStringLiteral("card1")).isSymLink());
    if (card1Booted)
        QVERIFY(harness.markBootCard(QStringLiteral("card1")));

    PromptAnswerer answerer;
    auto window = harness.create();
    QCOMPARE(window->mainVideocard(), mainCard);
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));

    auto seen = std::make_shared<QStringList>();
    answerer.act(CreateSeatAnswer::create(QStringLiteral("Library"), offered.first(), seen));
    window->addSeat();
    QCOMPARE(*seen, offered);
    QCOMPARE(window->seatPanels().size(), 2);
    QCOMPARE(Trees::texts(window->seatPanels().last()->devTreeWidget(), VideocardCategory),
             QStringList{offered.first()});
    // The main card stays where it is.
    if (!mainCard.isEmpty())
        QVERIFY(Trees::find(window->mainTree(), QStringLiteral("[MASTER] drm:") + mainCard));
    QCOMPARE(answerer.unexpected(), 0);
}

void TestMainWindowVideocard::onlyTheMainCardLeft()
{
    // Two cards that loginctl names alike, the main one among them: both
    // carry the main card's name, so none is offered.
    const QString main = QStringLiteral("/sys/devices/pci0000:00/0000:00:02.0/drm/card1");
    const QString other = QStringLiteral("/sys/devices/pci0000:00/0000:00:03.0/drm/card1");
    WindowFixture harness;
    QVERIFY(harness.writeMachine("seat seat0\ndevice " + main.toUtf8() +
                                 " drm:card1 master\ndevice " + other.toUtf8() +
                                 " drm:card1 master\n"));
    QVERIFY(harness.addPrimaryLog(QStringLiteral("0@0:2:0")));
    QVERIFY(
        harness.addCardLink(QStringLiteral("card1"), QStringLiteral("pci0000:00/0000:00:02.0")));

    PromptAnswerer answerer;
    auto window = harness.create();
    QCOMPARE(window->mainVideocard(), QStringLiteral("card1"));
    window->show();
    QVERIFY(WindowFixture::waitLoaded(window.get()));
    QCOMPARE(window->freeSeats(), 1);
    auto seen = std::make_shared<QStringList>();
    answerer.act(CreateSeatAnswer::create(QStringLiteral("No card"), Card1, seen));
    window->addSeat();
    QVERIFY(seen->isEmpty());
    // Created all the same, without a video card.
    QCOMPARE(window->seatPanels().size(), 1);
    QCOMPARE(Trees::deviceCount(window->seatPanels().first()->devTreeWidget()), 0);
    QCOMPARE(Trees::texts(window->mainTree(), VideocardCategory), QStringList({Card1, Card1}));
    QVERIFY(window->stateChanged());
    QCOMPARE(answerer.unexpected(), 0);
}

QTEST_MAIN(TestMainWindowVideocard)
#include "tst_mainwindow_videocard.moc"
