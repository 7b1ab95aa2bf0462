// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "seatstate/keyboardgrouping.h"

#include <QTest>

namespace {

const QString Usb = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1");

// The event device of one interface: "2-1:1.0" gives
// <usb>/2-1/2-1:1.0/0003:1C4F:0002.0001/input/input<n>.
QString interfacePath(const QString &port, const QString &interface, int input)
{
    return QStringLiteral("%1/%2/%2:%3/0003:1C4F:0002.%4/input/input%5")
        .arg(Usb, port, interface)
        .arg(input, 4, 10, QLatin1Char('0'))
        .arg(input);
}

// Keyboard entries as the parser hands them over: newest first, the reverse
// of the output lines given here.
QList<DeviceEntry> newestFirst(const QList<DeviceEntry> &lines)
{
    QList<DeviceEntry> entries;
    for (const DeviceEntry &line : lines)
        entries.prepend(line);
    return entries;
}

QStringList names(const QList<KeyboardGroup> &groups)
{
    QStringList result;
    for (const KeyboardGroup &group : groups)
        result << group.name;
    return result;
}

QList<QStringList> addresses(const QList<KeyboardGroup> &groups)
{
    QList<QStringList> result;
    for (const KeyboardGroup &group : groups)
        result << group.addresses;
    return result;
}

} // namespace

// groupKeyboards: which keyboard entries become one device item, under which
// name and with the addresses in which order.
class TestKeyboardGrouping : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }

    void workedExample();
    void interfacesOfOneDevice();
    void threeInterfacesInLineOrder();
    void neverGrouped_data();
    void neverGrouped();
    void singleAndNone();
    void groupsAcrossOtherKeyboards();
};

void TestKeyboardGrouping::workedExample()
{
    // The seat1 output of the parser's worked example, read back newest first.
    const QString input7 = Usb + "/1-3/1-3:1.0/0003:1C4F:0002.0001/input/input7";
    const QString input8 = Usb + "/1-3/1-3:1.1/0003:1C4F:0002.0002/input/input8";
    const QList<KeyboardGroup> groups =
        groupKeyboards({{"USB Keyboard Consumer Control", input8}, {"USB Keyboard", input7}});
    QCOMPARE(names(groups), QStringList{"USB Keyboard Consumer Control"});
    QCOMPARE(addresses(groups), QList<QStringList>({{input8, input7}}));
}

void TestKeyboardGrouping::interfacesOfOneDevice()
{
    const QString first = interfacePath("2-1", "1.0", 3);
    const QString second = interfacePath("2-1", "1.1", 4);
    const QList<KeyboardGroup> groups =
        groupKeyboards(newestFirst({{"Keys", first}, {"Keys Consumer Control", second}}));
    // Named after the later line, which heads the newest-first list.
    QCOMPARE(names(groups), QStringList{"Keys Consumer Control"});
    QCOMPARE(addresses(groups), QList<QStringList>({{second, first}}));

    // Another port is another keyboard, even with the same interface.
    const QString otherPort = interfacePath("2-2", "1.0", 5);
    const QList<KeyboardGroup> two =
        groupKeyboards(newestFirst({{"Left", first}, {"Right", otherPort}}));
    QCOMPARE(names(two), QStringList({"Right", "Left"}));
    QCOMPARE(addresses(two), QList<QStringList>({{otherPort}, {first}}));
}

void TestKeyboardGrouping::threeInterfacesInLineOrder()
{
    const QString i0 = interfacePath("1-3", "1.0", 7);
    const QString i1 = interfacePath("1-3", "1.1", 8);
    const QString i2 = interfacePath("1-3", "1.2", 9);
    const QList<KeyboardGroup> groups =
        groupKeyboards(newestFirst({{"Keys", i0}, {"Consumer", i1}, {"System", i2}}));
    QCOMPARE(names(groups), QStringList{"System"});
    QCOMPARE(addresses(groups), QList<QStringList>({{i2, i1, i0}}));
}

void TestKeyboardGrouping::neverGrouped_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    // Two interfaces each, on paths that the interface pattern cannot match.
    QTest::newRow("behind a hub") << Usb + "/1-1/1-1.4/1-1.4:1.0/0003:1C4F:0002.0001/input/input5"
                                  << Usb + "/1-1/1-1.4/1-1.4:1.1/0003:1C4F:0002.0002/input/input6";
    QTest::newRow("bus 10") << "/sys/devices/pci0000:00/0000:00:14.0/usb10/10-1/10-1:1.0/"
                               "0003:1C4F:0002.0001/input/input5"
                            << "/sys/devices/pci0000:00/0000:00:14.0/usb10/10-1/10-1:1.1/"
                               "0003:1C4F:0002.0002/input/input6";
    QTest::newRow("not on USB") << "/sys/devices/platform/i8042/serio0/input/input3"
                                << "/sys/devices/platform/i8042/serio0/input/input4";
    QTest::newRow("one on USB, one not")
        << interfacePath("1-3", "1.0", 7) << "/sys/devices/platform/i8042/serio0/input/input3";
}

void TestKeyboardGrouping::neverGrouped()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    const QList<KeyboardGroup> groups =
        groupKeyboards(newestFirst({{"Older", first}, {"Newer", second}}));
    QCOMPARE(names(groups), QStringList({"Newer", "Older"}));
    QCOMPARE(addresses(groups), QList<QStringList>({{second}, {first}}));
}

void TestKeyboardGrouping::singleAndNone()
{
    const QString path = interfacePath("1-3", "1.0", 7);
    const QList<KeyboardGroup> single = groupKeyboards({{"Alone", path}});
    QCOMPARE(names(single), QStringList{"Alone"});
    QCOMPARE(addresses(single), QList<QStringList>({{path}}));
    QVERIFY(groupKeyboards({}).isEmpty());
}

void TestKeyboardGrouping::groupsAcrossOtherKeyboards()
{
    // Lines: A 1.0, B (PS/2), A 1.1, C 1.0 on another port, A 1.2.
    const QString a0 = interfacePath("1-3", "1.0", 7);
    const QString ps2 = QStringLiteral("/sys/devices/platform/i8042/serio0/input/input3");
    const QString a1 = interfacePath("1-3", "1.1", 8);
    const QString c0 = interfacePath("1-4", "1.0", 9);
    const QString a2 = interfacePath("1-3", "1.2", 10);
    const QList<KeyboardGroup> groups =
        groupKeyboards(newestFirst({{"A", a0}, {"PS/2", ps2}, {"A1", a1}, {"C", c0}, {"A2", a2}}));
    QCOMPARE(names(groups), QStringList({"A2", "C", "PS/2"}));
    QCOMPARE(addresses(groups), QList<QStringList>({{a2, a1, a0}, {c0}, {ps2}}));
}

QTEST_GUILESS_MAIN(TestKeyboardGrouping)
#include "tst_keyboardgrouping.moc"
