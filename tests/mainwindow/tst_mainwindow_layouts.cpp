// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/fakedeviceinfo.h"
#include "common/testenv.h"
#include "mainwindow/windowfixture.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/seat.h"

#include <QAction>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidgetItem>

// Layouts as files: exported on one machine, imported on its neighbour,
// kept before a save and brought back, and the moves not yet saved marked.

namespace {

const QString Usb = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1");
const QString Dell = QStringLiteral("Dell KB216 Wired Keyboard");
const QString Sigmachip = QStringLiteral("SIGMACHIP USB Keyboard");

// udev's ID_FOR_SEAT names the port, not the numbers the kernel counted.
QString portKey(const QString &syspath)
{
    static const QRegularExpression hid(QStringLiteral("\\.[0-9A-F]{4}(?=/)"));
    static const QRegularExpression input(QStringLiteral("input\\d+"));
    return QString(syspath)
        .remove(hid)
        .replace(input, QStringLiteral("input"))
        .mid(5)
        .replace(QRegularExpression(QStringLiteral("[/:.]")), QStringLiteral("_"));
}

// The sample machine as its neighbour in the lab: every device still on
// seat0, the kernel's input and HID numbers counted differently.
QByteArray neighbour(const QByteArray &machine)
{
    QString text;
    for (const QString &line : QString::fromUtf8(machine).split('\n')) {
        if (line.startsWith("seat seat1") || (line.startsWith("session") && line.contains("seat1")))
            continue;
        text += QString(line).remove(" seat=seat1") + '\n';
    }
    QString renumbered;
    static const QRegularExpression number(QStringLiteral("input(\\d+)|\\.([0-9A-F]{4})/"));
    int at = 0;
    for (auto it = number.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        renumbered += text.mid(at, m.capturedStart() - at);
        renumbered +=
            m.capturedLength(1)
                ? QStringLiteral("input%1").arg(m.captured(1).toInt() + 30)
                : QStringLiteral(".%1/")
                      .arg(m.captured(2).toInt(nullptr, 16) + 0x20, 4, 16, QLatin1Char('0'))
                      .toUpper();
        at = m.capturedEnd();
    }
    return (renumbered + text.mid(at)).toUtf8();
}

QStringList attachedTo(const WindowFixture &fx, const QString &seat, int from)
{
    QStringList addresses;
    for (const auto &pair : fx.attaches(from)) {
        if (pair.first == seat)
            addresses.append(pair.second);
    }
    return addresses;
}

} // namespace

class TestMainWindowLayouts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }
    void init();
    void cleanup() { m_fx.reset(); }

    void exportedLayoutSeatsTheNeighboursDevices();
    void restoreBringsBackTheLayoutBeforeTheSave();

private:
    std::unique_ptr<WindowFixture> m_fx;
};

void TestMainWindowLayouts::init()
{
    m_fx = std::make_unique<WindowFixture>();
    QVERIFY(m_fx->isValid());
    auto info = std::make_shared<FakeDeviceInfo>();
    info->forSeatOf = portKey;
    m_fx->deviceInfo = info;
    QVERIFY(m_fx->useMachine("three-seats.machine"));
    QVERIFY(m_fx->writeConfig("[General]\n# ServerUID=auto\n"));
}

void TestMainWindowLayouts::exportedLayoutSeatsTheNeighboursDevices()
{
    PromptAnswerer answerer;
    MainWindow *w = m_fx->openWindow();
    QVERIFY(w);
    // Unsaved, the spare keyboard joins seat1 too: the file holds what is shown.
    QVERIFY(m_fx->giveToPanel(Sigmachip, "seat1"));
    const QString file = m_fx->path("lab.json");
    answerer.answerText(file);
    action(w, "exportAction")->trigger();
    QVERIFY(QFile::exists(file));
    const QByteArray exported = TestEnv::readFile(file);
    QVERIFY(!exported.contains("/sys/"));
    m_fx->closeWindow();

    QVERIFY(m_fx->writeMachine(
        neighbour(TestEnv::readFile(TestEnv::dataDir() + "/machines/three-seats.machine"))));
    w = m_fx->openWindow();
    QVERIFY(w);
    QVERIFY(w->seatPanels().isEmpty());
    const QStringList dellHere = WindowFixture::addressesOf(w->mainTree(), Dell);
    QVERIFY(!dellHere.isEmpty());
    QVERIFY(!exported.contains(dellHere.first().toUtf8()));

    answerer.answerText(file);
    answerer.answer(QMessageBox::Ok); // what matched and what did not
    action(w, "importAction")->trigger();
    QCOMPARE(answerer.pending(), 0);
    QVERIFY2(answerer.seen.last().text.contains("Every device of the file was found here."),
             qPrintable(answerer.seen.last().text));
    const Seat *seat1 = m_fx->panel("seat1");
    QVERIFY(seat1);
    for (int category : {VideocardCategory, KeyboardCategory, MouseCategory})
        QVERIFY(!Trees::texts(seat1->devTreeWidget(), category).isEmpty());
    QVERIFY(WindowFixture::device(seat1->devTreeWidget(), Sigmachip));
    QVERIFY(w->stateChanged());

    const int before = m_fx->callCount();
    WindowFixture::answerSave(answerer);
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd());
    const QStringList seat1Attached = attachedTo(*m_fx, "seat1", before);
    QVERIFY(seat1Attached.contains(dellHere.first()));
    QVERIFY(seat1Attached.contains(
        WindowFixture::addressesOf(seat1->devTreeWidget(), Sigmachip).first()));
    QVERIFY(m_fx->loginctl({"seat-status", "seat1"}).contains(dellHere.first() + '\n'));
    QCOMPARE(answerer.unexpected(), 0);
}

// A save keeps the layout it replaces; restoring brings that one back into
// the window, its moves marked until they are saved.
void TestMainWindowLayouts::restoreBringsBackTheLayoutBeforeTheSave()
{
    PromptAnswerer answerer;
    MainWindow *w = m_fx->openWindow();
    QVERIFY(w);
    answerer.answer(QMessageBox::Ok); // nothing kept yet
    action(w, "restoreAction")->trigger();

    QVERIFY(m_fx->giveToPanel(Sigmachip, "seat1"));
    const QTreeWidgetItem *moved =
        WindowFixture::device(m_fx->panel("seat1")->devTreeWidget(), Sigmachip);
    QVERIFY(moved->font(0).italic());
    QVERIFY2(moved->toolTip(0).startsWith("Moved from seat0; not saved yet"),
             qPrintable(moved->toolTip(0)));
    QVERIFY(!WindowFixture::device(m_fx->panel("seat1")->devTreeWidget(), Dell)->font(0).italic());
    WindowFixture::answerSave(answerer);
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd());
    moved = WindowFixture::device(m_fx->panel("seat1")->devTreeWidget(), Sigmachip);
    QVERIFY(!moved->font(0).italic());
    QVERIFY(!moved->toolTip(0).contains("Moved from"));

    QStringList offered;
    answerer.answerWith([&offered](const Prompt::Request &request) {
        offered = request.items;
        Prompt::Answer answer;
        answer.accepted = true;
        answer.text = request.items.value(0);
        return answer;
    });
    answerer.answer(QMessageBox::Ok);
    action(w, "restoreAction")->trigger();
    QCOMPARE(offered.size(), 1);
    QVERIFY2(offered.first().contains("seat0, seat1"), qPrintable(offered.first()));
    const QTreeWidgetItem *back = WindowFixture::device(w->mainTree(), Sigmachip);
    QVERIFY(back);
    QVERIFY(back->toolTip(0).startsWith("Moved from seat1; not saved yet"));
    QVERIFY(WindowFixture::device(m_fx->panel("seat1")->devTreeWidget(), Dell));
    // Who works where stays as the system says.
    QCOMPARE(w->findChild<QLabel *>("sessionLabel")->text(), QStringLiteral("In use: admin"));

    const int before = m_fx->callCount();
    WindowFixture::answerSave(answerer);
    action(w, "saveAction")->trigger();
    QVERIFY(m_fx->waitForApplyEnd());
    QVERIFY(attachedTo(*m_fx, "seat0", before)
                .contains(WindowFixture::addressesOf(w->mainTree(), Sigmachip).first()));
    // That save kept the layout before it too.
    QCOMPARE(QDir(m_fx->path("layouts")).entryList(QDir::Files).size(), 2);
    QCOMPARE(answerer.unexpected(), 0);
}

QTEST_MAIN(TestMainWindowLayouts)
#include "tst_mainwindow_layouts.moc"
