// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/fakeinputtree.h"
#include "common/testenv.h"
#include "hardware/inputwatcher.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

// The input watcher on a private sysfs tree whose event nodes are pipes: what
// counts as someone at a device, what does not, and nodes that cannot be
// read or go away.

namespace {

const QString Usb = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1");
const QString Keyboard = Usb + "/1-1/1-1:1.0/0003:046D:C31C.0001/input/input5";
const QString KeyboardMedia = Usb + "/1-1/1-1:1.1/0003:046D:C31C.0002/input/input6";
const QString Mouse = Usb + "/1-2/1-2:1.0/0003:046D:C077.0003/input/input7";
const QString MouseHid = Usb + "/1-2/1-2:1.0/0003:046D:C077.0003";

using Record = input_event;
Record rec(quint16 type, quint16 code, qint32 value)
{
    return FakeInputTree::record(type, code, value);
}
const Record Sync = rec(EV_SYN, SYN_REPORT, 0);

} // namespace

Q_DECLARE_METATYPE(QList<Record>)

class TestInputWatcher : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }
    void init();
    void cleanup();

    void eventNodesOfADevice();
    void pressesAndMovesAreTold();
    void activityOfEachKind_data();
    void activityOfEachKind();
    void whatIsNoSignOfSomeone();
    void watchingFewerClosesTheRest();
    void unreadableNodesAreSkipped();
    void vanishedNodeIsDroppedQuietly();
    void onlyInputDevicesAreRead_data();
    void onlyInputDevicesAreRead();
    void unpluggedNodeIsDroppedAtOnce();
    void regroupedDeviceIsToldWhole();
    void pathsOutsideSysfsAreNotLookedAt_data();
    void pathsOutsideSysfsAreNotLookedAt();

private:
    // Watches the keyboard (two interfaces) and the mouse.
    void watchAll(InputWatcher &watcher);
    // Lets the watcher read what was written; true once nothing is left.
    bool drained(int event);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeInputTree> m_tree;
    QString m_sys;
    QString m_dev;
};

void TestInputWatcher::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_sys = m_dir->filePath("sys");
    m_dev = m_dir->filePath("dev");
    m_tree = std::make_unique<FakeInputTree>(m_sys, m_dev);
    QVERIFY(m_tree->addInput(Keyboard, 3));
    QVERIFY(m_tree->addInput(KeyboardMedia, 4));
    QVERIFY(m_tree->addInput(Mouse, 5));
    QVERIFY(QDir().mkpath(m_sys + Mouse.mid(4) + "/mouse0"));
}

void TestInputWatcher::cleanup()
{
    m_tree.reset();
    m_dir.reset();
}

void TestInputWatcher::watchAll(InputWatcher &watcher)
{
    // The nodes here are pipes.
    watcher.setNodeCheck(FakeInputTree::isNode);
    watcher.watch({{Keyboard, KeyboardMedia}, {Mouse}});
}

bool TestInputWatcher::drained(int event)
{
    return QTest::qWaitFor([&] { return m_tree->unread(event) == 0; }, 5000);
}

void TestInputWatcher::eventNodesOfADevice()
{
    InputWatcher watcher(m_sys, m_dev);
    watcher.setNodeCheck(FakeInputTree::isNode);
    QCOMPARE(watcher.eventNodes(Keyboard), QStringList{m_dev + "/input/event3"});
    // The mouse's other node (mouse0) is no event node.
    QCOMPARE(watcher.eventNodes(Mouse), QStringList{m_dev + "/input/event5"});
    // From the HID device above it, through its "input" folder.
    QCOMPARE(watcher.eventNodes(MouseHid), QStringList{m_dev + "/input/event5"});
    // Names that only look like nodes, paths outside /sys or climbing out.
    QVERIFY(QDir().mkpath(m_sys + Keyboard.mid(4) + "/eventX"));
    QVERIFY(QDir().mkpath(m_sys + Keyboard.mid(4) + "/event"));
    QCOMPARE(watcher.eventNodes(Keyboard), QStringList{m_dev + "/input/event3"});
    QVERIFY(watcher.eventNodes(m_sys + Keyboard.mid(4)).isEmpty());
    QVERIFY(watcher.eventNodes("/sys/devices/../../" + m_sys.mid(1) + Keyboard.mid(4)).isEmpty());
    QVERIFY(watcher.eventNodes("/sys/devices/nonexistent/input/input1").isEmpty());
}

void TestInputWatcher::pressesAndMovesAreTold()
{
    InputWatcher watcher(m_sys, m_dev);
    watcher.setNodeCheck(FakeInputTree::isNode);
    QSignalSpy activity(&watcher, &InputWatcher::activity);
    watchAll(watcher);
    QCOMPARE(watcher.openNodes(), (QStringList{m_dev + "/input/event3", m_dev + "/input/event4",
                                               m_dev + "/input/event5"}));

    // A key on the keyboard's second interface names the whole keyboard.
    QVERIFY(m_tree->send(4, {rec(EV_MSC, MSC_SCAN, 0x70004), rec(EV_KEY, KEY_A, 1), Sync}));
    QVERIFY(activity.wait(5000));
    QCOMPARE(activity.last().at(0).toStringList(), (QStringList{Keyboard, KeyboardMedia}));
    QCOMPARE(activity.last().at(1).value<InputWatcher::Activity>(),
             InputWatcher::Activity::KeyPressed);

    QVERIFY(m_tree->send(5, {rec(EV_REL, REL_X, -3), rec(EV_REL, REL_Y, 2), Sync}));
    QVERIFY(activity.wait(5000));
    QCOMPARE(activity.last().at(0).toStringList(), QStringList{Mouse});
    QCOMPARE(activity.last().at(1).value<InputWatcher::Activity>(), InputWatcher::Activity::Moved);

    // A click that moves too is told as the click.
    QVERIFY(m_tree->send(5, {rec(EV_REL, REL_X, 1), rec(EV_KEY, BTN_LEFT, 1), Sync}));
    QVERIFY(activity.wait(5000));
    QCOMPARE(activity.last().at(1).value<InputWatcher::Activity>(),
             InputWatcher::Activity::ButtonPressed);
    QCOMPARE(activity.size(), 3);
}

// Touchpads and touch screens move on absolute axes; a press is told as one
// even when a movement follows it in the same report.
void TestInputWatcher::activityOfEachKind_data()
{
    QTest::addColumn<QList<Record>>("records");
    QTest::addColumn<InputWatcher::Activity>("told");
    QTest::newRow("touchpad") << QList<Record>{rec(EV_ABS, ABS_X, 1200), rec(EV_ABS, ABS_Y, 800),
                                               Sync}
                              << InputWatcher::Activity::Moved;
    QTest::newRow("touch screen") << QList<Record>{rec(EV_ABS, ABS_MT_POSITION_X, 300), Sync}
                                  << InputWatcher::Activity::Moved;
    QTest::newRow("key, then movement")
        << QList<Record>{rec(EV_KEY, KEY_A, 1), rec(EV_REL, REL_X, 4), Sync}
        << InputWatcher::Activity::KeyPressed;
    QTest::newRow("button, then movement")
        << QList<Record>{rec(EV_KEY, BTN_LEFT, 1), rec(EV_ABS, ABS_X, 5), Sync}
        << InputWatcher::Activity::ButtonPressed;
}

void TestInputWatcher::activityOfEachKind()
{
    QFETCH(QList<Record>, records);
    QFETCH(InputWatcher::Activity, told);
    InputWatcher watcher(m_sys, m_dev);
    watcher.setNodeCheck(FakeInputTree::isNode);
    QSignalSpy activity(&watcher, &InputWatcher::activity);
    watchAll(watcher);
    QVERIFY(m_tree->send(5, records));
    QVERIFY(activity.wait(5000));
    QCOMPARE(activity.size(), 1);
    QCOMPARE(activity.first().at(1).value<InputWatcher::Activity>(), told);
}

void TestInputWatcher::whatIsNoSignOfSomeone()
{
    InputWatcher watcher(m_sys, m_dev);
    watcher.setNodeCheck(FakeInputTree::isNode);
    QSignalSpy activity(&watcher, &InputWatcher::activity);
    watchAll(watcher);
    const QList<QList<Record>> nothing = {
        {rec(EV_KEY, KEY_A, 0), Sync}, // a release alone
        {rec(EV_KEY, KEY_A, 2), Sync}, // a key held down repeating
        {Sync},
        {rec(EV_MSC, MSC_SCAN, 0x70004)},
        {rec(EV_LED, LED_CAPSL, 1)},
        {rec(EV_KEY, KEY_MAX + 1, 1)},  // no key
        {rec(EV_ABS, ABS_MAX + 1, 10)}, // no axis
    };
    for (const QList<Record> &records : nothing) {
        QVERIFY(m_tree->send(3, records));
        QVERIFY(drained(3));
    }
    QVERIFY(m_tree->send(5, {rec(EV_REL, REL_X, 0), Sync}));
    QVERIFY(drained(5));
    // Bytes that are no whole records are dropped whole, a press among them too.
    Record press = rec(EV_KEY, KEY_B, 1);
    QVERIFY(m_tree->sendBytes(3, QByteArray(reinterpret_cast<const char *>(&press), sizeof press) +
                                     "garbage"));
    QVERIFY(drained(3));
    QVERIFY(m_tree->sendBytes(3, QByteArray(sizeof(Record) - 1, '\xff')));
    QVERIFY(drained(3));
    QCOMPARE(activity.size(), 0);

    // And the node still works.
    QVERIFY(m_tree->send(3, {rec(EV_KEY, KEY_B, 1), Sync}));
    QVERIFY(activity.wait(5000));
}

void TestInputWatcher::watchingFewerClosesTheRest()
{
    InputWatcher watcher(m_sys, m_dev);
    watcher.setNodeCheck(FakeInputTree::isNode);
    watchAll(watcher);
    for (int event : {3, 4, 5})
        QVERIFY(m_tree->isOpenByTool(event));
    watcher.watch({{Mouse}});
    QCOMPARE(watcher.openNodes(), QStringList{m_dev + "/input/event5"});
    QVERIFY(!m_tree->isOpenByTool(3));
    QVERIFY(m_tree->isOpenByTool(5));
    watcher.stop();
    QVERIFY(watcher.openNodes().isEmpty());
    for (int event : {3, 4, 5})
        QVERIFY(!m_tree->isOpenByTool(event));
}

// A node that is missing (unplugged between the look into sysfs and the
// open) or is no device is named with the reason and skipped; the others
// are watched.
void TestInputWatcher::unreadableNodesAreSkipped()
{
    const QString gone = Usb + "/1-3/1-3:1.0/0003:413C:2113.0004/input/input8";
    const QString plain = Usb + "/1-4/1-4:1.0/0003:093A:2510.0005/input/input9";
    QVERIFY(m_tree->addInput(gone, 8, false));
    QVERIFY(m_tree->addInput(plain, 9, false));
    QVERIFY(TestEnv::writeFile(m_tree->node(9), "not a device"));
    InputWatcher watcher(m_sys, m_dev);
    watcher.setNodeCheck(FakeInputTree::isNode);
    QSignalSpy unreadable(&watcher, &InputWatcher::unreadable);
    watcher.watch({{gone}, {plain}, {Mouse}});
    QCOMPARE(watcher.openNodes(), QStringList{m_dev + "/input/event5"});
    QCOMPARE(unreadable.size(), 2);
    QHash<QString, QString> reasons;
    for (const QList<QVariant> &args : qAsConst(unreadable))
        reasons.insert(args.at(1).toString(), args.at(2).toString());
    QCOMPARE(reasons.value(m_tree->node(8)), QStringLiteral("No such file or directory"));
    QCOMPARE(reasons.value(m_tree->node(9)), QStringLiteral("not an input device"));
    QCOMPARE(unreadable.first().at(0).toStringList().size(), 1);
}

void TestInputWatcher::vanishedNodeIsDroppedQuietly()
{
    InputWatcher watcher(m_sys, m_dev);
    watcher.setNodeCheck(FakeInputTree::isNode);
    QSignalSpy activity(&watcher, &InputWatcher::activity);
    QSignalSpy unreadable(&watcher, &InputWatcher::unreadable);
    watchAll(watcher);
    QVERIFY(m_tree->isOpenByTool(5));
    QVERIFY(QFile::remove(m_tree->node(5)));
    m_tree->closeWriter(5);
    QTRY_COMPARE_WITH_TIMEOUT(watcher.openNodes().size(), 2, 5000);
    QVERIFY(!watcher.openNodes().contains(m_tree->node(5)));
    QVERIFY(unreadable.isEmpty());
    QVERIFY(activity.isEmpty());
    // The rest carry on.
    QVERIFY(m_tree->send(3, {rec(EV_KEY, KEY_ENTER, 1), Sync}));
    QVERIFY(activity.wait(5000));
}

// The tool runs as root: a node in the event folder that is a link, a pipe
// or a file of someone else's is not an input device to read.
void TestInputWatcher::onlyInputDevicesAreRead_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("pipesStandIn"); // the tests' own check
    QTest::newRow("a pipe") << "pipe" << false;
    QTest::newRow("a plain file") << "file" << false;
    QTest::newRow("/dev/null, another character device") << "null" << false;
    QTest::newRow("a link to a pipe elsewhere") << "link" << true;
}

void TestInputWatcher::onlyInputDevicesAreRead()
{
    QFETCH(QString, kind);
    QFETCH(bool, pipesStandIn);
    const QString path = Usb + "/1-5/1-5:1.0/0003:1C4F:0002.0009/input/input9";
    QVERIFY(m_tree->addInput(path, 9, kind == "pipe"));
    const QString node = m_tree->node(9);
    const QString elsewhere = m_dir->filePath("fifo");
    if (kind == "file") {
        QVERIFY(TestEnv::writeFile(node, "x"));
    } else if (kind == "null") {
        // The same device as /dev/null, made here.
        if (::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QSKIP("needs root to make a device node");
    } else if (kind == "link") {
        QCOMPARE(::mkfifo(QFile::encodeName(elsewhere).constData(), 0600), 0);
        QVERIFY(QFile::link(elsewhere, node));
    }
    InputWatcher watcher(m_sys, m_dev);
    if (pipesStandIn)
        watcher.setNodeCheck(FakeInputTree::isNode);
    QSignalSpy unreadable(&watcher, &InputWatcher::unreadable);
    watcher.watch({{path}});
    QVERIFY(watcher.openNodes().isEmpty());
    QCOMPARE(unreadable.size(), 1);
}

// A keyboard unplugged while it is watched: its node fails with ENODEV,
// once, and is closed quietly; the others carry on.
void TestInputWatcher::unpluggedNodeIsDroppedAtOnce()
{
    InputWatcher watcher(m_sys, m_dev);
    watcher.setNodeCheck(FakeInputTree::isNode);
    QSignalSpy activity(&watcher, &InputWatcher::activity);
    QSignalSpy unreadable(&watcher, &InputWatcher::unreadable);
    watchAll(watcher);
    int reads = 0;
    watcher.readNode = [&reads](int, void *, size_t) -> ssize_t {
        // A watcher that read on would never stop; this one lets it.
        errno = ++reads < 100 ? ENODEV : EAGAIN;
        return -1;
    };
    QVERIFY(m_tree->send(5, {rec(EV_KEY, BTN_LEFT, 1), Sync}));
    QTRY_COMPARE_WITH_TIMEOUT(watcher.openNodes().size(), 2, 5000);
    QCOMPARE(reads, 1);
    QVERIFY(!watcher.openNodes().contains(m_tree->node(5)));
    QVERIFY(activity.isEmpty());
    QVERIFY(unreadable.isEmpty());
    watcher.readNode = nullptr;
    QVERIFY(m_tree->send(3, {rec(EV_KEY, KEY_ENTER, 1), Sync}));
    QVERIFY(activity.wait(5000));
}

// Items are grouped anew after a reading: a node watched before tells the
// item it belongs to now.
void TestInputWatcher::regroupedDeviceIsToldWhole()
{
    InputWatcher watcher(m_sys, m_dev);
    watcher.setNodeCheck(FakeInputTree::isNode);
    QSignalSpy activity(&watcher, &InputWatcher::activity);
    watcher.setNodeCheck(FakeInputTree::isNode);
    watcher.watch({{Keyboard}, {KeyboardMedia}, {Mouse}});
    watcher.watch({{Keyboard, KeyboardMedia}, {Mouse}});
    QVERIFY(m_tree->send(4, {rec(EV_KEY, KEY_VOLUMEUP, 1), Sync}));
    QVERIFY(activity.wait(5000));
    QCOMPARE(activity.last().at(0).toStringList(), (QStringList{Keyboard, KeyboardMedia}));
}

// Paths that are not below /sys, or climb out of it, are not looked at, even
// where they would lead to folders that hold event nodes.
void TestInputWatcher::pathsOutsideSysfsAreNotLookedAt_data()
{
    QTest::addColumn<QString>("syspath");
    // Leads to the keyboard under the fake root, were only its length cut off.
    QTest::newRow("not below /sys") << "/run" + Keyboard.mid(4);
    // Leads out of the fake root into a copy of the keyboard beside it.
    QTest::newRow("climbing out") << "/sys/devices/../../outside" + Keyboard.mid(4);
}

void TestInputWatcher::pathsOutsideSysfsAreNotLookedAt()
{
    QFETCH(QString, syspath);
    QVERIFY(QDir().mkpath(m_dir->filePath("outside") + Keyboard.mid(4) + "/event3"));
    QVERIFY(QDir().exists(m_sys + "/devices/../../outside" + Keyboard.mid(4) + "/event3"));
    InputWatcher watcher(m_sys, m_dev);
    QVERIFY(watcher.eventNodes(syspath).isEmpty());
    watcher.watch({{syspath}});
    QVERIFY(watcher.openNodes().isEmpty());
}

QTEST_GUILESS_MAIN(TestInputWatcher)
#include "tst_inputwatcher.moc"
