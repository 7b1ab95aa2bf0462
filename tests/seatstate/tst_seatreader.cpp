// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/fakedeviceinfo.h"
#include "common/testenv.h"
#include "seatstate/seatreader.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The seat reader against the emulated loginctl: the one layout it hands on,
// in the order and the shape the trees show, and what a failure leaves; with
// udev's word, the input devices the text misses and the devices left on
// seats that are gone.

namespace {

const QString Usb = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1");

QStringList namesOf(const QList<DeviceItem> &items, int category)
{
    QStringList names;
    for (const DeviceItem &item : items) {
        if (item.category == category)
            names << item.name;
    }
    return names;
}

QStringList namesOf(const SeatContent &seat, int category)
{
    return namesOf(seat.devices, category);
}

QStringList addressesOf(const QList<DeviceItem> &items, const QString &name, int category)
{
    for (const DeviceItem &item : items) {
        if (item.name == name && item.category == category)
            return item.addresses;
    }
    return {};
}

// A USB receiver whose one input device is both a keyboard and a mouse, and
// one whose keyboard and mouse are two interfaces; names without the words.
const QString Combo = Usb + "/1-7/1-7:1.0/0003:1D57:FA60.0008/input/input12";
const QString ReceiverKeys = Usb + "/1-8/1-8:1.0/0003:046D:C52B.0009/input/input13";
const QString ReceiverPointer = Usb + "/1-8/1-8:1.1/0003:046D:C52B.000A/input/input14";
const QString Touchpad = QStringLiteral("/sys/devices/platform/i8042/serio1/input/input15");
const QByteArray ReceiverLines =
    "device " + Combo.toUtf8() + " input:input12 name=\"2.4G Receiver\"\n" + "device " +
    ReceiverKeys.toUtf8() + " input:input13 name=\"Logitech USB Receiver\"\n" + "device " +
    ReceiverPointer.toUtf8() + " input:input14 name=\"Logitech USB Receiver\"\n" + "device " +
    Touchpad.toUtf8() + " input:input15 name=\"SynPS/2 Synaptics TouchPad\"\n";

SeatTaggedDevice tagged(const QString &syspath, const QString &seat, const QString &name = {},
                        bool master = false)
{
    SeatTaggedDevice d;
    d.syspath = syspath;
    d.sysname = syspath.section(QLatin1Char('/'), -1);
    d.subsystem = syspath.contains(QLatin1String("/drm/"))     ? QStringLiteral("drm")
                  : syspath.contains(QLatin1String("::"))      ? QStringLiteral("leds")
                  : syspath.contains(QLatin1String("/input/")) ? QStringLiteral("input")
                                                               : QStringLiteral("usb");
    d.name = name;
    d.seat = seat;
    d.master = master;
    return d;
}

} // namespace

class TestSeatReader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void layoutOfThreeSeats();
    void seatWithoutDevices();
    void failureKeepsWhatWasRead();
    void answerThatIsNoneStopsTheReading_data();
    void answerThatIsNoneStopsTheReading();
    void readingsLeaveNoDescriptors();
    void noSeats();
    void startWhileReadingIsIgnored();
    void receiversUnderKeyboardAndMouse();
    void orphansOfSeatsThatAreGone();
    void orphansJoinTheMainSeat();
    void cardCompanionsFollowTheCard();

private:
    SeatLayout read(SeatReader &reader, QSignalSpy &finished);

    std::unique_ptr<EmulatedSystem> m_system;
};

void TestSeatReader::initTestCase()
{
    TestEnv::init();
}

void TestSeatReader::init()
{
    m_system = std::make_unique<EmulatedSystem>();
    QVERIFY(m_system->useMachine("three-seats.machine"));
}

SeatLayout TestSeatReader::read(SeatReader &reader, QSignalSpy &finished)
{
    reader.readSeatsList();
    if (!finished.wait(10000))
        return {};
    return finished.first().first().value<SeatLayout>();
}

void TestSeatReader::layoutOfThreeSeats()
{
    QVERIFY(m_system->useMachine("three-seats.machine", "seat seat10\nseat seat-b\n"));
    SeatReader reader;
    QSignalSpy finished(&reader, &SeatReader::finished);
    QSignalSpy errors(&reader, &SeatReader::error);
    const SeatLayout layout = read(reader, finished);

    QCOMPARE(int(layout.status), int(SeatLayout::Status::Complete));
    QVERIFY(reader.lastReadComplete());
    QVERIFY(!reader.isReading());
    // seat0 is the main seat and comes first; the others in plain
    // character order, though seat-b sorts before seat0.
    QCOMPARE(layout.seatIds(), (QStringList{"seat0", "seat-b", "seat1", "seat10"}));
    QCOMPARE(m_system->calls(), (QList<QStringList>{{"list-seats", "--no-legend"},
                                                    {"seat-status", "seat0"},
                                                    {"seat-status", "seat-b"},
                                                    {"seat-status", "seat1"},
                                                    {"seat-status", "seat10"},
                                                    {"list-sessions", "--no-legend"}}));

    const SeatContent &seat0 = layout.seats.at(0);
    QVERIFY(seat0.read);
    // Tree order, each category newest first; connectors and render nodes
    // are no video cards, and the two interfaces of the Logitech keyboard
    // are one item with both paths.
    QCOMPARE(namesOf(seat0, VideocardCategory),
             (QStringList{"[MASTER] drm:card3", "[MASTER] drm:card0", "[MASTER] drm:card1"}));
    QCOMPARE(namesOf(seat0, KeyboardCategory),
             (QStringList{"SIGMACHIP USB Keyboard", "Logitech USB Keyboard Consumer Control"}));
    QCOMPARE(seat0.count(MouseCategory), 2);
    QCOMPARE(seat0.devices.first().category, int(VideocardCategory));
    QCOMPARE(seat0.devices.last().category, int(UnrecognizedCategory));
    for (const DeviceItem &item : seat0.devices) {
        if (item.name == QLatin1String("Logitech USB Keyboard Consumer Control")) {
            QCOMPARE(item.addresses,
                     (QStringList{Usb + "/1-1/1-1:1.1/0003:046D:C31C.0002/input/input6",
                                  Usb + "/1-1/1-1:1.0/0003:046D:C31C.0001/input/input5"}));
        }
        for (const QString &address : item.addresses)
            QVERIFY2(address.startsWith("/sys/"), qPrintable(address));
    }
    QCOMPARE(namesOf(layout.seats.at(2), KeyboardCategory),
             QStringList{"Dell KB216 Wired Keyboard"});
    QCOMPARE(errors.size(), 0);
}

// loginctl prints "(none)" for a seat without devices: no item comes of it.
void TestSeatReader::seatWithoutDevices()
{
    QVERIFY(m_system->useMachine("three-seats.machine", "seat seat2\n"));
    SeatReader reader;
    QSignalSpy finished(&reader, &SeatReader::finished);
    const SeatLayout layout = read(reader, finished);
    QCOMPARE(layout.seatIds(), (QStringList{"seat0", "seat1", "seat2"}));
    QVERIFY(layout.seats.at(2).read);
    QVERIFY(layout.seats.at(2).devices.isEmpty());
}

// A crash ends the reading with both error texts; the seats read keep their
// devices, the later ones are listed but not read.
void TestSeatReader::failureKeepsWhatWasRead()
{
    QVERIFY(m_system->useMachine("three-seats.machine",
                                 "seat seat2\nfault seat-status crash arg=seat1\n"));
    SeatReader reader;
    QSignalSpy finished(&reader, &SeatReader::finished);
    QSignalSpy errors(&reader, &SeatReader::error);
    const SeatLayout layout = read(reader, finished);
    QCOMPARE(int(layout.status), int(SeatLayout::Status::Stopped));
    QVERIFY(!reader.lastReadComplete());
    QCOMPARE(layout.seatIds(), (QStringList{"seat0", "seat1", "seat2"}));
    QVERIFY(layout.seats.at(0).read);
    QCOMPARE(layout.seats.at(0).count(VideocardCategory), 3);
    QVERIFY(!layout.seats.at(1).read);
    QVERIFY(!layout.seats.at(2).read);
    QTRY_COMPARE(errors.size(), 2);
    QCOMPARE(errors.last().first().toString(), QStringLiteral("Crashed: code is 9"));
    QCOMPARE(finished.size(), 1);
}

// Garbage from loginctl that exits 0 is no seat without devices, and no
// seat list: the reading stops with the error.
void TestSeatReader::answerThatIsNoneStopsTheReading_data()
{
    QTest::addColumn<QByteArray>("answer"); // a shell case for loginctl's arguments
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("readBefore");
    QTest::newRow("status") << QByteArray("\"seat-status seat1\") echo 'Bus error';;")
                            << "loginctl seat-status seat1: unexpected output" << 1;
    QTest::newRow("status without its heading")
        << QByteArray("\"seat-status seat1\") echo seat1;;")
        << "loginctl seat-status seat1: unexpected output" << 1;
    QTest::newRow("list") << QByteArray("\"list-seats --no-legend\") printf 'seat0\\nerror\\n';;")
                          << "loginctl list-seats: unexpected output" << 0;
}

void TestSeatReader::answerThatIsNoneStopsTheReading()
{
    QFETCH(QByteArray, answer);
    QFETCH(QString, error);
    QFETCH(int, readBefore);
    QTemporaryDir bin;
    const QString loginctl = bin.filePath("loginctl");
    QVERIFY(TestEnv::writeFile(loginctl, "#!/bin/sh\ncase \"$*\" in\n" + answer + "\n*) exec '" +
                                             QFile::encodeName(TestEnv::emulatorPath()) +
                                             "' \"$@\";;\nesac\n"));
    QFile::setPermissions(loginctl, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()) + ":" + path);
    SeatReader reader;
    QSignalSpy finished(&reader, &SeatReader::finished);
    QSignalSpy errors(&reader, &SeatReader::error);
    const SeatLayout layout = read(reader, finished);
    qputenv("PATH", path);
    QCOMPARE(int(layout.status), int(SeatLayout::Status::Stopped));
    QVERIFY(!reader.lastReadComplete());
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().first().toString(), error);
    int seatsRead = 0;
    for (const SeatContent &seat : layout.seats)
        seatsRead += seat.read;
    QCOMPARE(seatsRead, readBefore);
}

// Readings over and over keep no descriptor open.
void TestSeatReader::readingsLeaveNoDescriptors()
{
    SeatReader reader;
    QSignalSpy finished(&reader, &SeatReader::finished);
    QCOMPARE(int(read(reader, finished).status), int(SeatLayout::Status::Complete));
    const int open = TestEnv::openDescriptors();
    for (int i = 0; i < 20; ++i) {
        finished.clear();
        QCOMPARE(int(read(reader, finished).status), int(SeatLayout::Status::Complete));
    }
    QCOMPARE(TestEnv::openDescriptors(), open);
}

void TestSeatReader::noSeats()
{
    QVERIFY(m_system->useMachine("three-seats.machine", "fault list-seats silent\n"));
    SeatReader reader;
    QSignalSpy finished(&reader, &SeatReader::finished);
    const SeatLayout layout = read(reader, finished);
    QCOMPARE(int(layout.status), int(SeatLayout::Status::NoSeats));
    QVERIFY(layout.seats.isEmpty());
    QVERIFY(!reader.lastReadComplete());
}

// One command at a time: a second start while reading changes nothing.
void TestSeatReader::startWhileReadingIsIgnored()
{
    SeatReader reader;
    QSignalSpy finished(&reader, &SeatReader::finished);
    QSignalSpy errors(&reader, &SeatReader::error);
    reader.readSeatsList();
    reader.readSeatsList();
    QVERIFY(reader.isReading());
    QVERIFY(finished.wait(10000));
    QTest::qWait(100);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(errors.size(), 0);
    QCOMPARE(m_system->calls().size(), 4);
}

// The text files a receiver under "Unrecognized devices"; udev knows better.
// What the text already classified stays where it is.
void TestSeatReader::receiversUnderKeyboardAndMouse()
{
    QVERIFY(m_system->useMachine("three-seats.machine", ReceiverLines));
    auto info = std::make_shared<FakeDeviceInfo>();
    info->input(Combo, true, true);
    info->input(ReceiverKeys, true, false);
    info->input(ReceiverPointer, false, true);
    info->input(Touchpad, false, true);
    // Keys of the mouse (side buttons) must not make it a keyboard as well.
    info->input(Usb + "/1-2/1-2:1.0/0003:046D:C077.0003/input/input7", true, true);
    SeatReader reader;
    reader.setDeviceInfo(info);
    QSignalSpy finished(&reader, &SeatReader::finished);
    const SeatLayout layout = read(reader, finished);
    QCOMPARE(int(layout.status), int(SeatLayout::Status::Complete));
    const SeatContent &seat0 = layout.seats.at(0);

    QCOMPARE(namesOf(seat0, KeyboardCategory),
             (QStringList{"SIGMACHIP USB Keyboard", "Logitech USB Keyboard Consumer Control",
                          "Logitech USB Receiver", "2.4G Receiver"}));
    QCOMPARE(namesOf(seat0, MouseCategory),
             (QStringList{"Microsoft Microsoft Basic Optical Mouse", "Logitech USB Optical Mouse",
                          "SynPS/2 Synaptics TouchPad", "Logitech USB Receiver"}));
    // One input for keys and pointer is one item, a keyboard: two items of
    // one path could be given to two seats.
    QCOMPARE(addressesOf(seat0.devices, "2.4G Receiver", KeyboardCategory), QStringList{Combo});
    QCOMPARE(addressesOf(seat0.devices, "2.4G Receiver", MouseCategory), QStringList{});
    QCOMPARE(addressesOf(seat0.devices, "Logitech USB Receiver", KeyboardCategory),
             QStringList{ReceiverKeys});
    QCOMPARE(addressesOf(seat0.devices, "Logitech USB Receiver", MouseCategory),
             QStringList{ReceiverPointer});
    for (const QString &name : namesOf(seat0, UnrecognizedCategory))
        QVERIFY2(!name.contains("Receiver") && !name.contains("TouchPad"), qPrintable(name));
    // The power button is no keyboard for udev either.
    QVERIFY(namesOf(seat0, UnrecognizedCategory).contains("input:input0 \"Power Button\""));
    QVERIFY(layout.orphans.isEmpty());
}

void TestSeatReader::orphansOfSeatsThatAreGone()
{
    const QString Card4 = "/sys/devices/pci0000:00/0000:00:1d.0/0000:04:00.0/drm/card4";
    const QString Hub = Usb + "/1-9";
    const QString Cherry = Usb + "/1-9.5/1-9.5:1.0/0003:046A:0011.0010/input/input20";
    const QString Receiver = Usb + "/1-11/1-11:1.0/0003:046D:C52B.0011/input/input21";
    FakeDeviceInfo info;
    info.input(Receiver, true, true);
    info.tagged = {
        tagged(Card4, "seat3", {}, true),
        tagged(Card4 + "/card4-DP-3", "seat3", {}, true),
        tagged(Hub, "seat3"),
        // Sorts between the hub and its children, without being one of them.
        tagged(Cherry, "seat3", "Cherry USB Keyboard"),
        tagged(Cherry + "/input20::capslock", "seat3"),
        tagged(Hub + "/1-9.1/1-9.1:1.0/0003:046D:C077.0012/input/input22", "seat3",
               "Logitech USB Optical Mouse"),
        // A name that would start a line of its own.
        tagged(Receiver, "seat-old", "2.4G\nWireless Receiver"),
        // Words that head the text of a seat's status are a device's all the same.
        tagged("/sys/devices/platform/seat-led", "seat3", "Devices: seat LED"),
        // On the seats logind lists: the main seat (no ID_SEAT) and seat1.
        tagged(Usb + "/1-1/1-1:1.0/0003:046D:C31C.0001/input/input5", {}, "Logitech USB Keyboard"),
        tagged(Usb + "/1-3/1-3:1.0/0003:413C:2113.0004/input/input8", "seat1",
               "Dell KB216 Wired Keyboard"),
    };
    const QList<DeviceItem> items = SeatReader::orphans({"seat0", "seat1"}, info);

    QCOMPARE(namesOf(items, VideocardCategory), QStringList{"[MASTER] drm:card4"});
    QCOMPARE(addressesOf(items, "[MASTER] drm:card4", VideocardCategory), QStringList{Card4});
    // The hub takes its children along; the keyboard beside it is its own.
    QCOMPARE(namesOf(items, KeyboardCategory),
             (QStringList{"Cherry USB Keyboard", "2.4G Wireless Receiver"}));
    QCOMPARE(addressesOf(items, "Cherry USB Keyboard", KeyboardCategory), QStringList{Cherry});
    QCOMPARE(addressesOf(items, "2.4G Wireless Receiver", KeyboardCategory), QStringList{Receiver});
    QCOMPARE(namesOf(items, MouseCategory), QStringList{});
    QCOMPARE(namesOf(items, UnrecognizedCategory),
             (QStringList{"usb:seat-led \"Devices: seat LED\"", "usb:1-9"}));
    QCOMPARE(addressesOf(items, "usb:1-9", UnrecognizedCategory), QStringList{Hub});
    QCOMPARE(items.size(), 5);

    // Nothing is orphaned while every seat is listed.
    QVERIFY(SeatReader::orphans({"seat0", "seat1", "seat3", "seat-old"}, info).isEmpty());
}

// A read with udev's word: the orphans are in the main seat and named in the
// layout, so that a save attaches them there.
void TestSeatReader::orphansJoinTheMainSeat()
{
    const QString Card4 = "/sys/devices/pci0000:00/0000:00:1d.0/0000:04:00.0/drm/card4";
    const QString Cherry = Usb + "/1-9/1-9:1.0/0003:046A:0011.0010/input/input20";
    auto info = std::make_shared<FakeDeviceInfo>();
    info->tagged = {tagged(Card4, "seat3", {}, true),
                    tagged(Cherry, "seat3", "Cherry USB Keyboard")};
    SeatReader reader;
    reader.setDeviceInfo(info);
    QSignalSpy finished(&reader, &SeatReader::finished);
    const SeatLayout layout = read(reader, finished);
    QCOMPARE(int(layout.status), int(SeatLayout::Status::Complete));
    QCOMPARE(layout.seatIds(), (QStringList{"seat0", "seat1"}));
    QCOMPARE(layout.orphans, (QStringList{Card4, Cherry}));
    const SeatContent &seat0 = layout.seats.at(0);
    QCOMPARE(namesOf(seat0, VideocardCategory),
             (QStringList{"[MASTER] drm:card3", "[MASTER] drm:card0", "[MASTER] drm:card1",
                          "[MASTER] drm:card4"}));
    QCOMPARE(namesOf(seat0, KeyboardCategory).last(), QStringLiteral("Cherry USB Keyboard"));
    QCOMPARE(namesOf(layout.seats.at(1), KeyboardCategory),
             QStringList{"Dell KB216 Wired Keyboard"});
}

// What sits on a video card's PCI slot (its sound function, its render
// node) goes where the card goes; elsewhere it would be cut off from it.
void TestSeatReader::cardCompanionsFollowTheCard()
{
    const QString Slot = "/sys/devices/pci0000:00/0000:00:01.0/0000:01:00.";
    const QString Card = Slot + "0/drm/card1";
    const QString Render = Slot + "0/drm/renderD129";
    const QString Sound = Slot + "1/sound/card1";
    const QString OtherSound = "/sys/devices/pci0000:00/0000:00:1f.3/sound/card0";
    const QString SecondCard = Slot + "1/drm/card2";
    auto item = [](int category, const QString &address) {
        return DeviceItem{address.section('/', -1), {address}, category};
    };
    auto seat = [](const QString &id, const QList<DeviceItem> &devices) {
        SeatContent content;
        content.seatId = id;
        content.devices = devices;
        return content;
    };
    struct Case
    {
        const char *name;
        QList<SeatContent> seats;
        QList<QStringList> addresses; // per seat, item by item
        QStringList strays;
    };
    const QList<Case> cases{
        {"sound on the main seat joins the card on seat1",
         {seat("seat0",
               {item(UnrecognizedCategory, Sound), item(UnrecognizedCategory, OtherSound)}),
          seat("seat1", {item(VideocardCategory, Card), item(UnrecognizedCategory, Render)})},
         {{OtherSound}, {Card + "|" + Sound + "|" + Render}},
         {Sound}},
        {"companions on the card's seat are no strays",
         {seat("seat0", {item(VideocardCategory, Card), item(UnrecognizedCategory, Sound)})},
         {{Card + "|" + Sound}},
         {}},
        {"a slot with two cards moves nothing",
         {seat("seat0", {item(VideocardCategory, Card), item(UnrecognizedCategory, Render)}),
          seat("seat1", {item(VideocardCategory, SecondCard)})},
         {{Card, Render}, {SecondCard}},
         {}},
    };
    for (const Case &c : cases) {
        QList<SeatContent> seats = c.seats;
        QCOMPARE(SeatReader::withCardCompanions(seats), c.strays);
        QList<QStringList> addresses;
        for (const SeatContent &content : qAsConst(seats)) {
            QStringList items;
            for (const DeviceItem &device : content.devices)
                items.append(device.addresses.join('|'));
            addresses.append(items);
        }
        QVERIFY2(addresses == c.addresses, c.name);
    }
}

QTEST_GUILESS_MAIN(TestSeatReader)
#include "tst_seatreader.moc"
