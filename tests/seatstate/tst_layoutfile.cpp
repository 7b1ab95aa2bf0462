// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "seatstate/layoutdiff.h"
#include "seatstate/layoutfile.h"
#include "seatstate/layoutmapping.h"
#include "seatstate/seatreader.h"

#include <QTest>

namespace {

const QString Card1 = "/sys/devices/pci0000:00/0000:00:01.0/0000:01:00.0/drm/card1";
const QString Card2 = "/sys/devices/pci0000:00/0000:00:02.0/drm/card2";
const QString Usb = "/sys/devices/pci0000:00/0000:00:14.0/usb1";

DeviceItem item(int category, const QString &name, const QStringList &addresses)
{
    return DeviceItem{name, addresses, category};
}

SeatContent seat(const QString &id, const QString &name, const QList<DeviceItem> &devices)
{
    SeatContent content;
    content.seatId = id;
    content.displayName = name;
    content.read = true;
    content.devices = devices;
    return content;
}

// One machine of a lab: the same ports as its neighbours, its own
// enumeration numbers (n) in the paths, udev's ID_FOR_SEAT by port.
struct Machine
{
    explicit Machine(int n)
    {
        keyboard = QStringList{QStringLiteral("%1/1-3/1-3:1.0/0003:413C:2113.%2/input/input%3")
                                   .arg(Usb)
                                   .arg(n, 4, 10, QLatin1Char('0'))
                                   .arg(8 + n),
                               QStringLiteral("%1/1-3/1-3:1.1/0003:413C:2113.%2/input/input%3")
                                   .arg(Usb)
                                   .arg(n + 1, 4, 10, QLatin1Char('0'))
                                   .arg(9 + n)};
        mouse = QStringLiteral("%1/1-4/1-4:1.0/0003:093A:2510.%2/input/input%3")
                    .arg(Usb)
                    .arg(n + 2, 4, 10, QLatin1Char('0'))
                    .arg(10 + n);
        layout.keys = {{Card1, "drm-pci-0000_01_00_0"},
                       {Card2, "drm-pci-0000_00_02_0"},
                       {keyboard.at(0), "input-pci-0000_00_14_0-usb-0_3_1_0"},
                       {keyboard.at(1), "input-pci-0000_00_14_0-usb-0_3_1_1"},
                       {mouse, "input-pci-0000_00_14_0-usb-0_4_1_0"}};
    }
    QStringList keyboard;
    QString mouse;
    SeatLayout layout;
};

} // namespace

class TestLayoutFile : public QObject
{
    Q_OBJECT
private slots:
    void stableRoundTrip();
    void documentedExampleIsReadAsWritten();
    void badFiles_data();
    void badFiles();
    void mappingAcrossMachines();
    void mappingTellsWhatDoesNotMatch();
    void diffOfAMappedLayout();
};

// The same layout gives the same bytes whatever order the trees hold, and
// reads back as it was written.
void TestLayoutFile::stableRoundTrip()
{
    Machine m(4);
    // Its render node has the card's key.
    const QString render = "/sys/devices/pci0000:00/0000:00:02.0/drm/renderD129";
    m.layout.keys.insert(render, "drm-pci-0000_00_02_0");
    const DeviceItem card = item(VideocardCategory, "[MASTER] drm:card2", {Card2, render});
    const DeviceItem keys = item(KeyboardCategory, "Dell KB216 Wired Keyboard", m.keyboard);
    const DeviceItem mouse = item(MouseCategory, "PixArt USB Optical Mouse", {m.mouse});
    const DeviceItem bare = item(UnrecognizedCategory, "usb:1-9", {Usb + "/1-9"});
    m.layout.seats = {
        seat("seat0", "seat0", {item(VideocardCategory, "[MASTER] drm:card1", {Card1})}),
        seat("seat2", "Desk \"2\" ünïcode", {}),
        seat("seat1", "Reading room", {bare, mouse, keys, card})};
    const LayoutFile file = LayoutFile::of(m.layout, [](const QStringList &addresses) {
        return addresses.first() == Card2 ? QStringLiteral("NVIDIA GK208B") : QString();
    });
    const QByteArray json = file.toJson();
    SeatLayout reordered = m.layout;
    reordered.seats = {m.layout.seats.at(0),
                       seat("seat1", "Reading room", {card, keys, bare, mouse}),
                       m.layout.seats.at(1)};
    QCOMPARE(LayoutFile::of(reordered,
                            [](const QStringList &addresses) {
                                return addresses.first() == Card2 ? QStringLiteral("NVIDIA GK208B")
                                                                  : QString();
                            })
                 .toJson(),
             json);

    LayoutFile read;
    QString error;
    QVERIFY2(LayoutFile::fromJson(json, &read, &error), qPrintable(error));
    QCOMPARE(read.toJson(), json);
    QCOMPARE(read.seats.size(), 2);
    const LayoutFile::Seat &first = read.seats.at(0);
    QCOMPARE(first.id, QStringLiteral("seat1"));
    QCOMPARE(first.name, QStringLiteral("Reading room"));
    QCOMPARE(first.devices.size(), 4);
    QCOMPARE(first.devices.at(0).product, QStringLiteral("NVIDIA GK208B"));
    QCOMPARE(first.devices.at(1).keys, (QStringList{"input-pci-0000_00_14_0-usb-0_3_1_0",
                                                    "input-pci-0000_00_14_0-usb-0_3_1_1"}));
    // Without ID_FOR_SEAT the path is the key, and looks like one.
    QCOMPARE(first.devices.at(3).keys, QStringList{Usb + "/1-9"});
    QVERIFY(LayoutFile::isPathKey(first.devices.at(3).keys.first()));
    QCOMPARE(read.seats.at(1).name, QStringLiteral("Desk \"2\" ünïcode"));
}

// The example of the format's description is a file the tool reads, and
// would write byte for byte the same.
void TestLayoutFile::documentedExampleIsReadAsWritten()
{
    const QByteArray doc = TestEnv::readFile(TestEnv::dataDir() + "/../../doc/layout-format.md");
    const int start = doc.indexOf("```json\n") + 8;
    QVERIFY(start > 8);
    const QByteArray example = doc.mid(start, doc.indexOf("```", start) - start);
    LayoutFile file;
    QString error;
    QVERIFY2(LayoutFile::fromJson(example, &file, &error), qPrintable(error));
    QCOMPARE(file.toJson(), example);
}

void TestLayoutFile::badFiles_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("error"); // a part of the message

    auto file = [](const QByteArray &seats) {
        return R"({"format": "zel-multiseat-layout", "version": 1, "seats": )" + seats + "}";
    };
    auto device = [](const QByteArray &fields) {
        return R"([{"id": "seat1", "devices": [{"category": "keyboard", )" + fields + "}]}]";
    };
    QTest::newRow("too big") << QByteArray(LayoutFile::SizeLimit + 1, ' ') << "1024 KiB";
    QTest::newRow("no JSON") << QByteArray("{\"format\": ") << "no JSON document";
    QTest::newRow("a list") << QByteArray("[]") << "no layout object";
    QTest::newRow("another format")
        << QByteArray(R"({"format": "other", "version": 1, "seats": []})") << "format: \"other\"";
    QTest::newRow("a later version")
        << QByteArray(R"({"format": "zel-multiseat-layout", "version": 2, "seats": []})")
        << "version";
    QTest::newRow("unknown field") << QByteArray(R"({"format": "zel-multiseat-layout", )"
                                                 R"("version": 1, "seats": [], "extra": 1})")
                                   << "unknown field \"extra\"";
    QTest::newRow("seats no list") << file("{}") << "seats must be a list";
    QTest::newRow("the main seat")
        << file(R"([{"id": "seat0", "devices": []}])") << "seats[0].id: \"seat0\"";
    QTest::newRow("no seat name") << file(R"([{"id": "desk1", "devices": []}])")
                                  << "seats[0].id: \"desk1\"";
    QTest::newRow("a seat twice")
        << file(R"([{"id": "seat1", "devices": []}, {"id": "seat1", "devices": []}])")
        << "seats[1].id: the seat \"seat1\" is named twice";
    QTest::newRow("name no text") << file(R"([{"id": "seat1", "name": 5, "devices": []}])")
                                  << "seats[0].name";
    QTest::newRow("unknown category")
        << file(R"([{"id": "seat1", "devices": [{"category": "printer", "keys": ["a"]}]}])")
        << "seats[0].devices[0]: category \"printer\"";
    QTest::newRow("no keys") << file(device(R"("keys": [])")) << "\"keys\" is empty";
    QTest::newRow("a key no text") << file(device(R"("keys": [7])")) << "devices[0].keys[0]";
    QTest::newRow("a path outside sysfs")
        << file(device(R"("keys": ["/etc/passwd"])")) << "\"/etc/passwd\" is no sysfs path";
    QTest::newRow("a key twice")
        << file(R"([{"id": "seat1", "devices": [{"category": "mouse", "keys": ["k"]}]},)"
                R"( {"id": "seat2", "devices": [{"category": "mouse", "keys": ["k"]}]}])")
        << "seats[1].devices[0].keys[0]: the key \"k\" is named twice";
}

// Nothing is taken from a file with a fault, and the message names it.
void TestLayoutFile::badFiles()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, error);
    LayoutFile file;
    file.seats.append({"seat9", "kept", {}});
    QString message;
    QVERIFY(!LayoutFile::fromJson(data, &file, &message));
    QVERIFY2(message.contains(error), qPrintable(message));
    QCOMPARE(file.seats.size(), 1);
}

// Exported on one machine, laid onto its neighbour whose devices carry other
// enumeration numbers: every device lands on the same seat.
void TestLayoutFile::mappingAcrossMachines()
{
    Machine first(4);
    first.layout.seats = {
        seat("seat0", "seat0", {item(VideocardCategory, "[MASTER] drm:card1", {Card1})}),
        seat("seat1", "Reading room",
             {item(VideocardCategory, "[MASTER] drm:card2", {Card2}),
              item(KeyboardCategory, "Dell KB216 Wired Keyboard", first.keyboard),
              item(MouseCategory, "PixArt USB Optical Mouse", {first.mouse})})};
    Machine second(17);
    QVERIFY(second.keyboard != first.keyboard);
    second.layout.seats = {
        seat("seat0", "seat0",
             {item(VideocardCategory, "[MASTER] drm:card2", {Card2}),
              item(VideocardCategory, "[MASTER] drm:card1", {Card1}),
              item(KeyboardCategory, "Dell KB216 Wired Keyboard", second.keyboard),
              item(MouseCategory, "PixArt USB Optical Mouse", {second.mouse})})};

    const LayoutMapping::Result mapped =
        LayoutMapping::apply(second.layout, LayoutFile::of(first.layout));
    QVERIFY(mapped.missing.isEmpty());
    QVERIFY(mapped.leftOnMain.isEmpty());
    QCOMPARE(mapped.layout.seatIds(), (QStringList{"seat0", "seat1"}));
    const SeatContent &seat1 = mapped.layout.seats.at(1);
    QCOMPARE(seat1.displayName, QStringLiteral("Reading room"));
    QStringList addresses;
    for (const DeviceItem &device : seat1.devices)
        addresses += device.addresses;
    QCOMPARE(addresses, QStringList({Card2}) + second.keyboard + QStringList{second.mouse});
    QCOMPARE(mapped.layout.seats.at(0).devices.size(), 1);
    QCOMPARE(mapped.layout.seats.at(0).devices.at(0).addresses, QStringList{Card1});
}

// What the file names and this machine lacks, what this machine has on a
// further seat and the file does not name, and a seat without its card.
void TestLayoutFile::mappingTellsWhatDoesNotMatch()
{
    Machine here(1);
    here.layout.seats = {
        seat("seat0", "seat0", {item(VideocardCategory, "[MASTER] drm:card1", {Card1})}),
        seat("seat1", "seat1",
             {item(VideocardCategory, "[MASTER] drm:card2", {Card2}),
              item(MouseCategory, "PixArt USB Optical Mouse", {here.mouse})})};
    LayoutFile file;
    file.seats = {{"seat1",
                   "One",
                   {{{"drm-pci-0000_00_02_0"}, VideocardCategory, "[MASTER] drm:card2", {}},
                    {{"input-pci-0000_00_1d_0-usb-0_1_1_0"}, KeyboardCategory, "Cherry", {}}}},
                  {"seat2", "Two", {{{"drm-pci-0000_05_00_0"}, VideocardCategory, "card5", {}}}}};
    const LayoutMapping::Result mapped = LayoutMapping::apply(here.layout, file);
    QCOMPARE(mapped.missing, (QStringList{"Cherry (input-pci-0000_00_1d_0-usb-0_1_1_0)",
                                          "card5 (drm-pci-0000_05_00_0)"}));
    QCOMPARE(mapped.leftOnMain, QStringList{"PixArt USB Optical Mouse (seat1)"});
    QCOMPARE(mapped.seatsWithoutCard, QStringList{"seat2"});
    QCOMPARE(mapped.layout.seatIds(), (QStringList{"seat0", "seat1"}));
    QCOMPARE(mapped.layout.seats.at(0).devices.size(), 2);
}

// From the layout read to the layout a file gives: the moves by key, the
// renames, nothing for what stays; and no device name can forge a line.
void TestLayoutFile::diffOfAMappedLayout()
{
    Machine here(1);
    here.layout.seats = {
        seat("seat0", "",
             {item(VideocardCategory, "[MASTER] drm:card1", {Card1}),
              item(KeyboardCategory,
                   QString::fromUtf8("Evil\"  seat9 -> seat0\n\x1b[2J\u009b\u2028"),
                   here.keyboard)}),
        seat("seat1", "",
             {item(VideocardCategory, "[MASTER] drm:card2", {Card2}),
              item(MouseCategory, "PixArt USB Optical Mouse", {here.mouse})})};
    here.layout.strays = QStringList{here.mouse};
    SeatLayout after = here.layout;
    after.seats[1].displayName = "Front desk";
    after.seats[1].devices.append(after.seats[0].devices.takeLast());

    const LayoutDiff diff = LayoutDiff::between(here.layout, after);
    QCOMPARE(diff.lines(), (QStringList{"input-pci-0000_00_14_0-usb-0_3_1_0  seat0 -> seat1  "
                                        "\"Evil\\\"  seat9 -> seat0\\x0a\\x1b[2J\\x9b\\x2028\"",
                                        "input-pci-0000_00_14_0-usb-0_4_1_0  ? -> seat1  "
                                        "\"PixArt USB Optical Mouse\"",
                                        "seat1  name \"seat1\" -> \"Front desk\""}));
    here.layout.strays.clear();
    QVERIFY(LayoutDiff::between(here.layout, here.layout).isEmpty());
}

QTEST_GUILESS_MAIN(TestLayoutFile)
#include "tst_layoutfile.moc"
