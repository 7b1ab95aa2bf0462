// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "mainwindow/windowfixture.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/seat.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

// The whole save cycle on the emulated three-seat machine: devices moved with
// the panel buttons end up on their seat in the emulator, the display manager
// configuration follows the number of seats, and the display manager is
// restarted after each save.

namespace {

const QString Usb = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1");
const QString SpareKeyboard = Usb + "/1-5/1-5:1.0/0003:1C4F:0002.0006/input/input10";
const QString SpareMouse = Usb + "/1-6/1-6:1.0/0003:045E:0084.0007/input/input11";
const QString SpareKeyboardName = QStringLiteral("SIGMACHIP USB Keyboard");
const QString SpareMouseName = QStringLiteral("Microsoft Microsoft Basic Optical Mouse");

const QByteArray Config = "[General]\nGreeter=zel-greeter\n# ServerUID=auto\nMinimumVT=7\n";
const QByteArray AppliedConfig = "[General]\nGreeter=zel-greeter\nServerUID=root\n"
                                 "##commented # ServerUID=auto\nMinimumVT=7\n";

} // namespace

class TestSaveCycle : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void moveSaveDeleteSave();
    void missingConfigurationWarnsAndSaves();
};

void TestSaveCycle::initTestCase()
{
    TestEnv::init();
}

void TestSaveCycle::cleanup()
{
    QApplication::restoreOverrideCursor(); // after a failed test only
}

void TestSaveCycle::moveSaveDeleteSave()
{
    WindowFixture fx;
    PromptAnswerer answerer;
    QVERIFY(fx.isValid());
    QVERIFY(fx.useMachine("three-seats.machine"));
    QVERIFY(fx.writeConfig(Config));
    MainWindow *w = fx.openWindow();
    QVERIFY(w);
    QCOMPARE(w->seatPanels().size(), 1);

    // Move the spare keyboard and mouse to seat1 with the panel's add button.
    QVERIFY(fx.giveToPanel(SpareKeyboardName, "seat1"));
    QVERIFY(fx.giveToPanel(SpareMouseName, "seat1"));
    QVERIFY(w->stateChanged());
    const QStringList seat1Addresses = fx.panel("seat1")->deviceAddresses();
    QVERIFY(seat1Addresses.contains(SpareKeyboard));
    QVERIFY(seat1Addresses.contains(SpareMouse));
    QVERIFY(!fx.loginctl({"seat-status", "seat1"}).contains(SpareKeyboard + '\n'));

    WindowFixture::answerSave(answerer);
    action(w, "saveAction")->trigger();
    QVERIFY(fx.waitForApplyEnd());

    QCOMPARE(fx.restarts.size(), 1);
    QCOMPARE(fx.restarts.first().service, QStringLiteral("zel-dm"));
    QVERIFY(!w->stateChanged());
    QCOMPARE(fx.config(), AppliedConfig);
    const QString seat1 = fx.loginctl({"seat-status", "seat1"});
    for (const QString &address : seat1Addresses)
        QVERIFY2(seat1.contains(address + '\n'), qPrintable(address));
    // The keyboard's LEDs are below it and moved along.
    QVERIFY(seat1.contains(SpareKeyboard + "/input10::capslock\n"));
    QVERIFY(!fx.loginctl({"seat-status", "seat0"}).contains(SpareMouse + '\n'));

    // Delete the last seat; its devices go back to the main seat.
    answerer.answer(QMessageBox::Yes); // "Devices disconnection"
    fx.panel("seat1")->findChild<QPushButton *>("deleteSeatButton")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(w->seatPanels().isEmpty());
    QVERIFY(w->findChild<QScrollArea *>("scrollArea")->isHidden());
    QVERIFY(WindowFixture::device(w->mainTree(), SpareKeyboardName));
    QVERIFY(w->stateChanged());

    WindowFixture::answerSave(answerer);
    action(w, "saveAction")->trigger();
    QVERIFY(fx.waitForApplyEnd());

    QCOMPARE(fx.restarts.size(), 2);
    QVERIFY(!w->stateChanged());
    QCOMPARE(fx.config(), Config);
    // seat1 lost its last master device, so logind no longer lists it.
    QCOMPARE(fx.loginctl({"list-seats", "--no-legend"}), QStringLiteral("seat0\n"));
    const QString seat0 = fx.loginctl({"seat-status", "seat0"});
    QVERIFY(seat0.contains(SpareKeyboard + '\n'));
    QVERIFY(seat0.contains(
        QStringLiteral("/sys/devices/pci0000:00/0000:00:1c.0/0000:02:00.0/drm/card2\n")));

    const QList<SeenBox> boxes = WindowFixture::messageBoxes(answerer);
    QCOMPARE(boxes.size(), 3);
    QCOMPARE(boxes.at(1).title, QStringLiteral("Devices disconnection"));
    QCOMPARE(answerer.unexpected(), 0);
}

// A configuration file that is not there is reported twice, and the save
// still attaches everything and restarts the display manager.
void TestSaveCycle::missingConfigurationWarnsAndSaves()
{
    WindowFixture fx;
    PromptAnswerer answerer;
    QVERIFY(fx.useMachine("three-seats.machine"));
    QVERIFY(!QFile::exists(fx.configPath()));
    MainWindow *w = fx.openWindow();
    QVERIFY(w);
    QVERIFY(fx.giveToPanel(SpareMouseName, "seat1"));

    answerer.answer(QMessageBox::Yes); // restart question
    answerer.answer(QMessageBox::Ok);
    answerer.answer(QMessageBox::Ok);
    action(w, "saveAction")->trigger();
    QVERIFY(fx.waitForApplyEnd());

    const QList<SeenBox> boxes = WindowFixture::messageBoxes(answerer);
    QCOMPARE(boxes.size(), 3);
    const QString text =
        QStringLiteral("Failed to make changes to the file:\n %1 \nPlease make the "
                       "required changes manually")
            .arg(fx.configPath());
    for (int i = 1; i < 3; ++i) {
        QCOMPARE(boxes.at(i).icon, QMessageBox::Warning);
        QCOMPARE(boxes.at(i).title, QStringLiteral("Warning!"));
        QCOMPARE(boxes.at(i).text, text);
    }
    QCOMPARE(fx.restarts.size(), 1);
    QVERIFY(!w->stateChanged());
    QVERIFY(!QFile::exists(fx.configPath()));
    QVERIFY(fx.loginctl({"seat-status", "seat1"}).contains(SpareMouse + '\n'));
    QCOMPARE(answerer.unexpected(), 0);
}

QTEST_MAIN(TestSaveCycle)
#include "tst_save_cycle.moc"
