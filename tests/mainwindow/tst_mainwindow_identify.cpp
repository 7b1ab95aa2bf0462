// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/fakeinputtree.h"
#include "common/testenv.h"
#include "core/appsettings.h"
#include "mainwindow/identifymode.h"
#include "mainwindow/windowfixture.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/seat.h"
#include "seatstate/seatstatus.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidgetItem>

// Identify mode through the real window on the emulated three-seat machine,
// with a private sysfs tree whose event nodes are pipes: a key pressed or a
// mouse moved finds the device wherever it is shown, and a keyboard's lights
// blink from its context menu.

namespace {

const QString Usb = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1");
const QString LogitechKeys = Usb + "/1-1/1-1:1.0/0003:046D:C31C.0001/input/input5";
const QString LogitechMedia = Usb + "/1-1/1-1:1.1/0003:046D:C31C.0002/input/input6";
const QString LogitechMouse = Usb + "/1-2/1-2:1.0/0003:046D:C077.0003/input/input7";
const QString DellKeyboard = Usb + "/1-3/1-3:1.0/0003:413C:2113.0004/input/input8";
const QString PixArtMouse = Usb + "/1-4/1-4:1.0/0003:093A:2510.0005/input/input9";
const QString SigmaKeyboard = Usb + "/1-5/1-5:1.0/0003:1C4F:0002.0006/input/input10";
const QString MicrosoftMouse = Usb + "/1-6/1-6:1.0/0003:045E:0084.0007/input/input11";
const QString PowerButton = QStringLiteral("/sys/devices/LNXSYSTM:00/LNXPWRBN:00/input/input0");

const QString Dell = QStringLiteral("Dell KB216 Wired Keyboard");
const QString Microsoft = QStringLiteral("Microsoft Microsoft Basic Optical Mouse");
const QString Sigma = QStringLiteral("SIGMACHIP USB Keyboard");

// Every keyboard and mouse of the machine, and the power button, with the
// event node numbered like its input device.
const QList<QPair<QString, int>> Inputs = {
    {LogitechKeys, 5}, {LogitechMedia, 6},  {LogitechMouse, 7},   {DellKeyboard, 8},
    {PixArtMouse, 9},  {SigmaKeyboard, 10}, {MicrosoftMouse, 11}, {PowerButton, 0},
};

input_event rec(quint16 type, quint16 code, qint32 value)
{
    return FakeInputTree::record(type, code, value);
}
const input_event Sync = rec(EV_SYN, SYN_REPORT, 0);

QString status(const MainWindow *w)
{
    return w->findChild<QStatusBar *>()->currentMessage();
}

} // namespace

class TestMainWindowIdentify : public WindowTestCase
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void keyPressFindsTheKeyboardInItsPanel();
    void foundKeyboardGoesWithTheArrow();
    void panelComesIntoView();
    void turningOffClosesEveryNode();
    void readingAgainWatchesWhatIsThere();
    void unreadableNodeIsAStatusMessage();
    void blinkFromTheContextMenu();
    void saveEndsIdentifyingAndBlinking();

private:
    MainWindow *openIdentifying();
    // Opens the context menu of the item and triggers the action of that
    // name, if the menu has one; whether a menu opened.
    bool useContextMenu(DevTreeWidget *tree, QTreeWidgetItem *item, const QString &action);

    std::unique_ptr<FakeInputTree> m_inputs;
};

void TestMainWindowIdentify::init()
{
    WindowTestCase::init();
    QVERIFY(m_fx->useMachine(QStringLiteral("three-seats.machine")));
    const MainWindowEnvironment env = m_fx->environment();
    m_inputs = std::make_unique<FakeInputTree>(env.sysRoot, env.devRoot);
    for (const auto &input : Inputs)
        QVERIFY(m_inputs->addInput(input.first, input.second));
}

void TestMainWindowIdentify::cleanup()
{
    m_inputs.reset();
    WindowTestCase::cleanup();
}

MainWindow *TestMainWindowIdentify::openIdentifying()
{
    MainWindow *w = m_fx->openWindow();
    if (!w)
        return nullptr;
    action(w, "identifyAction")->setChecked(true);
    return w;
}

bool TestMainWindowIdentify::useContextMenu(DevTreeWidget *tree, QTreeWidgetItem *item,
                                            const QString &actionName)
{
    bool opened = false;
    // The menu runs its own loop: it is answered from inside it.
    QTimer::singleShot(0, this, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        opened = true;
        QAction *wanted = menu->findChild<QAction *>(actionName);
        menu->close();
        if (wanted)
            wanted->trigger();
    });
    tree->scrollToItem(item);
    emit tree->customContextMenuRequested(tree->visualItemRect(item).center());
    QCoreApplication::processEvents();
    return opened;
}

void TestMainWindowIdentify::keyPressFindsTheKeyboardInItsPanel()
{
    AppSettings::setSeatDisplayName(QStringLiteral("seat1"), QStringLiteral("Accounting desk"));
    MainWindow *w = openIdentifying();
    QVERIFY(w);
    QVERIFY(action(w, "identifyAction")->isChecked());
    for (const auto &input : Inputs) {
        // Keyboards and mice only: the power button is left alone.
        QCOMPARE(m_inputs->isOpenByTool(input.second), input.second != 0);
    }
    DevTreeWidget *panelTree = m_fx->panel("seat1")->devTreeWidget();
    QVERIFY(panelTree->selectedItems().isEmpty());

    QVERIFY(m_inputs->send(8, {rec(EV_MSC, MSC_SCAN, 0x70004), rec(EV_KEY, KEY_A, 1), Sync}));
    QTRY_COMPARE(status(w), QStringLiteral("Key pressed on: Dell KB216 Wired Keyboard "
                                           "(Accounting desk)"));
    QTreeWidgetItem *item = WindowFixture::device(panelTree, Dell);
    QCOMPARE(panelTree->currentItem(), item);
    QCOMPARE(panelTree->selectedItems(), QList<QTreeWidgetItem *>{item});
    QVERIFY(Trees::button(m_fx->panel("seat1"), "deleteDevButton")->isEnabled());
    QVERIFY(item->font(0).bold());
    // Lit for about a second, then as before.
    QTRY_COMPARE_WITH_TIMEOUT(item->data(0, Qt::BackgroundRole), QVariant(), 5000);
    QCOMPARE(item->data(0, Qt::FontRole), QVariant());
    QVERIFY(m_answerer->seen.isEmpty());
}

// A key pressed on a keyboard selects it in the main seat, which enables
// the panels' arrows; the administrator's own mouse, moving and clicking on
// its way to the arrow, is shown but does not take the selection: the
// keyboard is what goes to the seat.
void TestMainWindowIdentify::foundKeyboardGoesWithTheArrow()
{
    AppSettings::setSeatDisplayName(QStringLiteral("seat0"), QStringLiteral("Reception"));
    MainWindow *w = openIdentifying();
    QVERIFY(w);
    Seat *seat1 = m_fx->panel("seat1");
    QPushButton *arrow = Trees::button(seat1, "addDevButton");
    QVERIFY(!arrow->isEnabled());
    QVERIFY(m_inputs->send(10, {rec(EV_KEY, KEY_ENTER, 1), Sync}));
    QTRY_COMPARE(status(w), "Key pressed on: " + Sigma + " (Reception)");
    QCOMPARE(w->mainTree()->selectedItems().size(), 1);
    QCOMPARE(w->mainTree()->selectedItems().first()->text(0), Sigma);
    QVERIFY(arrow->isEnabled());

    QVERIFY(m_inputs->send(11, {rec(EV_REL, REL_X, 4), Sync}));
    QTRY_COMPARE(status(w), "Moved: " + Microsoft + " (Reception)");
    QTreeWidgetItem *mouse = WindowFixture::device(w->mainTree(), Microsoft);
    // Lit, but not in the colours of a selection it does not have.
    QVERIFY(!mouse->isSelected());
    QVERIFY(mouse->font(0).bold());
    QVERIFY(mouse->background(0) != w->mainTree()->palette().brush(QPalette::Highlight));
    QVERIFY(mouse->background(0) != w->mainTree()->palette().brush(QPalette::Base));
    QVERIFY(m_inputs->send(11, {rec(EV_KEY, BTN_LEFT, 1), Sync}));
    QTRY_COMPARE(status(w), "Button pressed on: " + Microsoft + " (Reception)");
    QCOMPARE(w->mainTree()->selectedItems().size(), 1);
    QCOMPARE(w->mainTree()->selectedItems().first()->text(0), Sigma);

    arrow->click();
    QVERIFY(WindowFixture::device(seat1->devTreeWidget(), Sigma));
    QVERIFY(!WindowFixture::device(w->mainTree(), Sigma));
    QVERIFY(WindowFixture::device(w->mainTree(), Microsoft));

    // Still watched where it went.
    QVERIFY(m_inputs->send(10, {rec(EV_KEY, KEY_A, 1), Sync}));
    QTRY_COMPARE(status(w), "Key pressed on: " + Sigma + " (seat1)");
    QCOMPARE(seat1->devTreeWidget()->currentItem()->text(0), Sigma);
}

// A keyboard of the last of many seats: its panel is scrolled into view.
void TestMainWindowIdentify::panelComesIntoView()
{
    QByteArray seats;
    for (int n = 2; n <= 8; ++n)
        seats += Machine::card(
            20 + n, QStringLiteral("0000:%1:00.0").arg(n + 0x10, 2, 16, QLatin1Char('0')),
            QStringLiteral("seat%1").arg(n));
    const QString last = Machine::usbInputPath(40, "2-8", "1.0");
    seats += Machine::usbInput(40, "2-8", "1.0", "Cherry USB Keyboard", "seat8");
    QVERIFY(m_fx->appendToMachine(seats));
    QVERIFY(m_inputs->addInput(last, 40));
    MainWindow *w = m_fx->openWindow();
    QVERIFY(w);
    w->resize(900, 400);
    QCOMPARE(w->seatPanels().size(), 8);
    Seat *seat8 = m_fx->panel("seat8");
    auto *area = w->findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    QVERIFY(area && seat8);
    const auto inView = [&] {
        const QRect view(QPoint(0, 0), area->viewport()->size());
        const QRect panel(seat8->mapTo(area->viewport(), QPoint(0, 0)), seat8->size());
        return view.intersects(panel);
    };
    QTRY_VERIFY(!inView());
    action(w, "identifyAction")->setChecked(true);
    QVERIFY(m_inputs->send(40, {rec(EV_KEY, KEY_Q, 1), Sync}));
    QTRY_COMPARE(status(w), QStringLiteral("Key pressed on: Cherry USB Keyboard (seat8)"));
    QVERIFY(inView());
}

void TestMainWindowIdentify::turningOffClosesEveryNode()
{
    MainWindow *w = openIdentifying();
    QVERIFY(w);
    QVERIFY(m_inputs->isOpenByTool(8));
    QVERIFY(!status(w).isEmpty());
    action(w, "identifyAction")->setChecked(false);
    for (const auto &input : Inputs)
        QVERIFY(!m_inputs->isOpenByTool(input.second));
    QCOMPARE(status(w), QString());
    // Nothing is found while it is off.
    action(w, "identifyAction")->setChecked(true);
    QVERIFY(m_inputs->isOpenByTool(8));
}

// A device that appears with a reading is watched from then on.
void TestMainWindowIdentify::readingAgainWatchesWhatIsThere()
{
    MainWindow *w = openIdentifying();
    QVERIFY(w);
    const QString cherry = Machine::usbInputPath(30, "1-7", "1.0");
    QVERIFY(m_inputs->addInput(cherry, 30));
    QVERIFY(!m_inputs->isOpenByTool(30));
    QVERIFY(m_fx->appendToMachine(Machine::usbInput(30, "1-7", "1.0", "Cherry USB Keyboard")));
    action(w, "reloadAction")->trigger();
    QVERIFY(WindowFixture::waitLoaded(w));
    QVERIFY(m_inputs->isOpenByTool(30));
    QVERIFY(m_inputs->send(30, {rec(EV_KEY, KEY_SPACE, 1), Sync}));
    QTRY_COMPARE(status(w), QStringLiteral("Key pressed on: Cherry USB Keyboard (seat0)"));
}

void TestMainWindowIdentify::unreadableNodeIsAStatusMessage()
{
    // The SIGMACHIP keyboard was unplugged after sysfs was read.
    QVERIFY(QFile::remove(m_inputs->node(10)));
    MainWindow *w = openIdentifying();
    QVERIFY(w);
    QCOMPARE(status(w), "Cannot watch SIGMACHIP USB Keyboard (" + m_inputs->node(10) +
                            "): No such file or directory");
    QVERIFY(m_answerer->seen.isEmpty());
    QVERIFY(m_inputs->isOpenByTool(8));
    // A node that goes away while watched is let go without a word.
    QVERIFY(m_inputs->isOpenByTool(9));
    QVERIFY(QFile::remove(m_inputs->node(9)));
    m_inputs->closeWriter(9);
    QVERIFY(m_inputs->send(8, {rec(EV_KEY, KEY_A, 1), Sync}));
    QTRY_COMPARE(status(w), QStringLiteral("Key pressed on: Dell KB216 Wired Keyboard (seat1)"));
    QVERIFY(m_answerer->seen.isEmpty());

    // Once the last one has gone, the status line says that nothing is
    // watched any more; a text too long for it is whole in its tool tip.
    const QString found = status(w);
    for (const auto &input : Inputs) {
        if (m_inputs->isOpenByTool(input.second)) {
            QVERIFY(QFile::remove(m_inputs->node(input.second)));
            m_inputs->closeWriter(input.second);
        }
    }
    QTRY_VERIFY(status(w) != found);
    QVERIFY(!status(w).isEmpty());
    QVERIFY(action(w, "identifyAction")->isChecked());
    QCOMPARE(w->findChild<QStatusBar *>()->toolTip(), status(w));
    QVERIFY(m_answerer->seen.isEmpty());
}

void TestMainWindowIdentify::blinkFromTheContextMenu()
{
    QVERIFY(m_inputs->addLight(DellKeyboard, "input8::capslock", "0", "none [kbd-capslock]"));
    QVERIFY(m_inputs->addLight(DellKeyboard, "input8::numlock", "1", "none [kbd-numlock]"));
    MainWindow *w = m_fx->openWindow();
    QVERIFY(w);
    auto *identify = w->findChild<IdentifyMode *>();
    QVERIFY(identify);
    identify->lights().interval = 1;
    QSignalSpy steps(&identify->lights(), &KeyboardLights::stepWritten);
    QSignalSpy finished(&identify->lights(), &KeyboardLights::finished);

    // No menu for a mouse.
    QVERIFY(!useContextMenu(w->mainTree(), WindowFixture::device(w->mainTree(), Microsoft),
                            "blinkAction"));
    DevTreeWidget *tree = m_fx->panel("seat1")->devTreeWidget();
    QVERIFY(useContextMenu(tree, WindowFixture::device(tree, Dell), "blinkAction"));
    QVERIFY(finished.wait(5000) || finished.size() == 1);
    QCOMPARE(finished.first().first().toString(), QString());
    QCOMPARE(steps.size(), 12);
    const QString caps = m_inputs->lightDir(DellKeyboard, "input8::capslock");
    QCOMPARE(TestEnv::readFile(caps + "/trigger").trimmed(), QByteArray("kbd-capslock"));
    QCOMPARE(status(w), QString());

    // A keyboard without lights says so in the status line.
    QVERIFY(useContextMenu(w->mainTree(),
                           WindowFixture::device(w->mainTree(), "SIGMACHIP USB Keyboard"),
                           "blinkAction"));
    QCOMPARE(status(w), QStringLiteral("SIGMACHIP USB Keyboard: This keyboard has no lights the "
                                       "tool can reach."));
    QVERIFY(m_answerer->seen.isEmpty());
}

// A save restarts the display manager, which may end this session: the
// lights are put back first and no node stays open.
void TestMainWindowIdentify::saveEndsIdentifyingAndBlinking()
{
    QVERIFY(m_inputs->addLight(DellKeyboard, "input8::capslock", "0", "none [kbd-capslock]"));
    MainWindow *w = openIdentifying();
    QVERIFY(w);
    QVERIFY(m_inputs->isOpenByTool(8));
    auto *identify = w->findChild<IdentifyMode *>();
    QVERIFY(identify);
    identify->lights().interval = 60000;
    QSignalSpy finished(&identify->lights(), &KeyboardLights::finished);
    DevTreeWidget *tree = m_fx->panel("seat1")->devTreeWidget();
    QVERIFY(useContextMenu(tree, WindowFixture::device(tree, Dell), "blinkAction"));
    QVERIFY(identify->lights().isBlinking());
    const QString caps = m_inputs->lightDir(DellKeyboard, "input8::capslock");
    QCOMPARE(TestEnv::readFile(caps + "/trigger").trimmed(), QByteArray("none [kbd-capslock]"));

    QVERIFY(m_fx->giveToPanel(Microsoft, "seat1"));
    m_answerer->answer(QMessageBox::Yes);
    action(w, "saveAction")->trigger();
    QVERIFY(!identify->lights().isBlinking());
    QCOMPARE(finished.size(), 1);
    QCOMPARE(TestEnv::readFile(caps + "/trigger").trimmed(), QByteArray("kbd-capslock"));
    QVERIFY(!action(w, "identifyAction")->isChecked());
    for (const auto &input : Inputs)
        QVERIFY(!m_inputs->isOpenByTool(input.second));
    QVERIFY(m_fx->waitForApplyEnd());
    QCOMPARE(m_fx->restarts.size(), 1);
}

QTEST_MAIN(TestMainWindowIdentify)
#include "tst_mainwindow_identify.moc"
