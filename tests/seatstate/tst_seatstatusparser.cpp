// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "seatstate/seatstatusparser.h"

#include <QTest>

namespace {

using Entries = QList<DeviceEntry>;

QString sample(const QString &name)
{
    return QString::fromUtf8(TestEnv::readFile(TestEnv::dataDir() + "/loginctl-samples/" + name));
}

void checkCategory(const SeatDevices &devices, int category, const Entries &expected)
{
    const Entries actual = devices.values(category);
    if (actual != expected) {
        for (const DeviceEntry &e : actual)
            qWarning("  got  (%s | %s)", qPrintable(e.first), qPrintable(e.second));
        for (const DeviceEntry &e : expected)
            qWarning("  want (%s | %s)", qPrintable(e.first), qPrintable(e.second));
    }
    QCOMPARE(actual, expected);
}

const QString Usb = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1");

} // namespace

class TestSeatStatusParser : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }

    void seatList_data();
    void seatList();
    void answersThatAreNone_data();
    void answersThatAreNone();

    void workedExample();
    void samples_data();
    void samples();

    void linesWithoutTreeGlyphs();
    void keyboardAndMouseOnOneLine();
    void wordsThatAreSkipped();
    void videocardNumbers();
    void pathLineMentioningKeyboardOrMouse();
    void firstLineHasNoPath();
    void quotes();
    void secondParseForgetsTheFirst();
    void carriageReturnsEndLines();
    void nestedCardNamedAfterTheFirstBar();
};

void TestSeatStatusParser::seatList_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("seats");
    QTest::newRow("two seats") << "seat0\nseat1\n" << QStringList{"seat0", "seat1"};
    QTest::newRow("output order kept") << "seat1\nseat0\n" << QStringList{"seat1", "seat0"};
    QTest::newRow("blanks trimmed") << "  seat0 \n\tseat-tv\n" << QStringList{"seat0", "seat-tv"};
    QTest::newRow("empty lines dropped") << "\n\nseat0\n\n" << QStringList{"seat0"};
    QTest::newRow("blank-only line is no seat") << "seat0\n   \n" << QStringList{"seat0"};
    QTest::newRow("nothing") << QString() << QStringList{};
    QTest::newRow("no final newline") << "seat0\nseat1" << QStringList{"seat0", "seat1"};
    // Only what logind takes for a seat name is a seat: a garbage line would
    // otherwise become the main seat.
    QTest::newRow("not seat names")
        << "seat0 extra\nGarbage\nseat\nSeat1\nseat.1\nseat/1\nseatä\nxseat1\nseat_tv-2\n"
        << QStringList{"seat_tv-2"};
    QTest::newRow("carriage returns") << "seat0\r\nseat1\r\n" << QStringList{"seat0", "seat1"};
    QTest::newRow("at most 255 characters")
        << "seat" + QString(251, 'a') + "\nseat" + QString(252, 'b') + "\n"
        << QStringList{"seat" + QString(251, 'a')};
}

void TestSeatStatusParser::seatList()
{
    QFETCH(QString, output);
    QFETCH(QStringList, seats);
    QCOMPARE(parseSeatList(output), seats);
}

// Only what cannot be loginctl's answer is refused: nothing at all is one
// (the reason went to standard error).
void TestSeatStatusParser::answersThatAreNone_data()
{
    QTest::addColumn<bool>("list");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("answer");
    const QString devices = QStringLiteral("\t Devices:\n\t\t  └─(none)\n");
    QTest::newRow("status") << false << "seat1\n\tSessions: *4\n" + devices << true;
    QTest::newRow("status, no output") << false << QString() << true;
    QTest::newRow("status, carriage returns")
        << false << "seat1\r\n\t Devices:\r\n\t\t  └─(none)\r\n"
        << true;
    QTest::newRow("status, garbage") << false << "Segmentation fault\n" << false;
    QTest::newRow("status of another seat") << false << "seat10\n" + devices << false;
    QTest::newRow("status, seat name not first") << false << "note\nseat1\n" + devices << false;
    QTest::newRow("status without its heading") << false << "seat1\n\tSessions: *4\n" << false;
    QTest::newRow("status, heading inside a name")
        << false << "seat1\n\t\t  └─/sys/devices/x\n\t\t    input:input1 \"Devices:\"\n"
        << false;
    QTest::newRow("list") << true << "seat0\n  seat1 \n\n" << true;
    QTest::newRow("list, no output") << true << QString() << true;
    QTest::newRow("list, a line that is no seat") << true << "seat0\nWarning: x\n" << false;
}

void TestSeatStatusParser::answersThatAreNone()
{
    QFETCH(bool, list);
    QFETCH(QString, output);
    QFETCH(bool, answer);
    QCOMPARE(list ? isSeatList(output) : isSeatStatusOf(output, "seat1"), answer);
}

void TestSeatStatusParser::workedExample()
{
    const QString card = "/sys/devices/pci0000:00/0000:00:01.0/0000:01:00.0/drm/card1";
    const QString kbd7 = Usb + "/1-3/1-3:1.0/0003:1C4F:0002.0001/input/input7";
    const QString kbd8 = Usb + "/1-3/1-3:1.1/0003:1C4F:0002.0002/input/input8";
    const QString mouse = Usb + "/1-4/1-4:1.0/0003:093A:2510.0003/input/input9";
    const QString output =
        QString::fromUtf8("seat1\n"
                          "\tSessions: *4\n"
                          "\t Devices:\n"
                          "\t\t  ├─") +
        card + QString::fromUtf8("\n\t\t  │ [MASTER] drm:card1\n\t\t  │ └─") + card +
        QString::fromUtf8("/card1-VGA-1\n"
                          "\t\t  │   [MASTER] drm:card1-VGA-1\n"
                          "\t\t  ├─") +
        Usb + QString::fromUtf8("/1-3\n\t\t  │ usb:1-3\n\t\t  │ ├─") + kbd7 +
        QString::fromUtf8("\n\t\t  │ │ input:input7 \"USB Keyboard\"\n\t\t  │ └─") + kbd8 +
        QString::fromUtf8("\n\t\t  │   input:input8 \"USB Keyboard Consumer Control\"\n"
                          "\t\t  └─") +
        mouse + QString::fromUtf8("\n\t\t    input:input9 \"USB Optical Mouse\"\n");

    const SeatDevices devices = parseSeatStatus(output);
    checkCategory(devices, VideocardCategory, {{"[MASTER] drm:card1", card}});
    checkCategory(devices, KeyboardCategory,
                  {{"USB Keyboard Consumer Control", kbd8}, {"USB Keyboard", kbd7}});
    checkCategory(devices, MouseCategory, {{"USB Optical Mouse", mouse}});
    checkCategory(devices, UnrecognizedCategory, {{"usb:1-3", Usb + "/1-3"}});
    QCOMPARE(devices.size(), 5);
}

// Expected entries worked out line by line from the classification rules.
void TestSeatStatusParser::samples_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Entries>("videocards");
    QTest::addColumn<Entries>("keyboards");
    QTest::addColumn<Entries>("mice");
    QTest::addColumn<Entries>("others");

    {
        const QString pci = "/sys/devices/pci0000:00/0000:00:02.0";
        QTest::newRow("v252 seat1, keyboard with two interfaces")
            << "v252-seat1-two-interface-keyboard.txt"
            << Entries{{"[MASTER] drm:card1", pci + "/drm/card1"}}
            << Entries{{"Logitech USB Keyboard Consumer Control",
                        Usb + "/1-1/1-1:1.1/0003:046D:C31C.0002/input/input6"},
                       {"Logitech USB Keyboard",
                        Usb + "/1-1/1-1:1.0/0003:046D:C31C.0001/input/input5"}}
            << Entries{{"Logitech USB Optical Mouse",
                        Usb + "/1-2/1-2:1.0/0003:046D:C077.0003/input/input7"}}
            << Entries{};
    }
    {
        const QString pci = "/sys/devices/pci0000:00/0000:00:02.0";
        QTest::newRow("v252 seat0 with sessions and USB ports")
            << "v252-seat0-sessions-usb-ports.txt"
            << Entries{{"[MASTER] drm:card0", pci + "/drm/card0"}}
            << Entries{{"Logitech USB Keyboard Consumer Control",
                        Usb + "/1-1/1-1:1.1/0003:046D:C31C.0002/input/input6"},
                       {"Logitech USB Keyboard",
                        Usb + "/1-1/1-1:1.0/0003:046D:C31C.0001/input/input5"}}
            << Entries{{"Logitech USB Optical Mouse",
                        Usb + "/1-2/1-2:1.0/0003:046D:C077.0003/input/input7"}}
            << Entries{{"usb:1-2", Usb + "/1-2"},
                       {"usb:1-1", Usb + "/1-1"},
                       {"sound:card0 \"PCH\"", "/sys/devices/pci0000:00/0000:00:1f.3/sound/card0"},
                       {"drm:renderD128", pci + "/drm/renderD128"},
                       {"input:input0 \"Power Button\"",
                        "/sys/devices/LNXSYSTM:00/LNXPWRBN:00/input/input0"}};
    }
    {
        const QString gpu = "/sys/devices/pci0000:00/0000:00:03.0/0000:01:00.0";
        QTest::newRow("posted seat0, radeon with HDMI sound, cut off")
            << "posted-seat0-radeon-hdmi-sound.txt"
            << Entries{{"[MASTER] drm:card1", gpu + "/drm/card1"}} << Entries{} << Entries{}
            << Entries{{"usb:usb1", "/sys/devices/pci0000:00/0000:00:1a.0/usb1"},
                       {"input:input13 \"HDA ATI HDMI HDMI/DP,pcm=3\"",
                        "/sys/devices/pci0000:00/0000:00:03.0/0000:01:00.1/sound/card1/input13"},
                       {"sound:card1 \"HDMI\"",
                        "/sys/devices/pci0000:00/0000:00:03.0/0000:01:00.1/sound/card1"},
                       {"[MASTER] graphics:fb1 \"radeondrmfb\"", gpu + "/graphics/fb1"},
                       {"drm:renderD129", gpu + "/drm/renderD129"},
                       {"input:input0 \"Power Button\"",
                        "/sys/devices/LNXSYSTM:00/LNXSYBUS:00/PNP0C0C:00/input/input0"},
                       {"input:input1 \"Power Button\"",
                        "/sys/devices/LNXSYSTM:00/LNXPWRBN:00/input/input1"}};
    }
    {
        const QString gpu = "/sys/devices/pci0000:00/0000:00:07.0/0000:03:00.0";
        const QString usb6 = "/sys/devices/pci0000:00/0000:00:1d.1/usb6";
        QTest::newRow("posted seat1, two nouveau cards")
            << "posted-seat1-two-nouveau-cards.txt"
            << Entries{{"[MASTER] drm:card1", gpu + "/drm/card1"}}
            << Entries{{"LITE-ON Technology USB NetVista Full Width Keyboard.",
                        usb6 + "/6-1/6-1:1.0/0003:04B3:3025.0003/input/input27"}}
            << Entries{{"Microsoft Microsoft 3-Button Mouse with IntelliEye(TM)",
                        usb6 + "/6-2/6-2:1.0/0003:045E:0040.0004/input/input28"}}
            << Entries{{"usb:usb6", usb6},
                       {"[MASTER] graphics:fb1 \"nouveaufb\"", gpu + "/graphics/fb1"}};
    }
}

void TestSeatStatusParser::samples()
{
    QFETCH(QString, file);
    QFETCH(Entries, videocards);
    QFETCH(Entries, keyboards);
    QFETCH(Entries, mice);
    QFETCH(Entries, others);
    const QString text = sample(file);
    QVERIFY2(!text.isEmpty(), qPrintable("missing sample " + file));
    const SeatDevices devices = parseSeatStatus(text);
    checkCategory(devices, VideocardCategory, videocards);
    checkCategory(devices, KeyboardCategory, keyboards);
    checkCategory(devices, MouseCategory, mice);
    checkCategory(devices, UnrecognizedCategory, others);
}

void TestSeatStatusParser::linesWithoutTreeGlyphs()
{
    // ASCII tree characters (loginctl under LANG=C) are part of the names.
    const SeatDevices devices = parseSeatStatus("seat1\n"
                                                "\t Devices:\n"
                                                "\t\t  |-/sys/devices/platform/card/drm/card0\n"
                                                "\t\t  | [MASTER] drm:card0\n"
                                                "\t\t  `-/sys/devices/platform/pcspkr\n"
                                                "\t\t    platform:pcspkr   \"PC  Speaker\"\n");
    checkCategory(devices, VideocardCategory,
                  {{"| [MASTER] drm:card0", "/sys/devices/platform/card/drm/card0"}});
    checkCategory(devices, UnrecognizedCategory,
                  {{"platform:pcspkr \"PC Speaker\"", "/sys/devices/platform/pcspkr"}});
    QCOMPARE(devices.size(), 2);
}

void TestSeatStatusParser::keyboardAndMouseOnOneLine()
{
    const QString path = Usb + "/1-5/1-5:1.0/0003:046D:C52B.0004/input/input10";
    const SeatDevices devices =
        parseSeatStatus(QString::fromUtf8("\t\t  └─") + path +
                        "\n\t\t    input:input10 \"Wireless KEYBOARD Mouse Combo\"\n");
    checkCategory(devices, KeyboardCategory, {{"Wireless KEYBOARD Mouse Combo", path}});
    checkCategory(devices, MouseCategory, {{"Wireless KEYBOARD Mouse Combo", path}});
    QCOMPARE(devices.size(), 2);
}

void TestSeatStatusParser::wordsThatAreSkipped()
{
    // Neither video card, keyboard nor mouse, and holding a skipped word.
    const SeatDevices devices =
        parseSeatStatus(QString::fromUtf8("├─/sys/a\n"
                                          "│ input:input3 \"seat belt sensor\"\n"
                                          "├─/sys/b\n"
                                          "│ misc:Sessions\n"
                                          "├─/sys/c\n"
                                          "│ misc:Devices\n"
                                          "├─/sys/d\n"
                                          "│ drm:card0-DP-1\n"
                                          "└─/sys/e\n"
                                          "  misc:Seat \"capital S is no skip word\"\n"));
    checkCategory(devices, UnrecognizedCategory,
                  {{"misc:Seat \"capital S is no skip word\"", "/sys/e"}});
    QCOMPARE(devices.size(), 1);
}

void TestSeatStatusParser::videocardNumbers()
{
    const SeatDevices devices = parseSeatStatus(QString::fromUtf8("├─/sys/x/drm/card9\n"
                                                                  "│ [MASTER] drm:card9\n"
                                                                  "├─/sys/x/drm/card10\n"
                                                                  "│ [MASTER] drm:card10\n"
                                                                  "└─/sys/x/drm/card1\n"
                                                                  "  drm:card1 trailing\n"));
    // card10 is neither a video card nor another device; a card line must end
    // with its digit.
    checkCategory(devices, VideocardCategory, {{"[MASTER] drm:card9", "/sys/x/drm/card9"}});
    QCOMPARE(devices.size(), 1);
}

void TestSeatStatusParser::pathLineMentioningKeyboardOrMouse()
{
    const QString first = QString::fromUtf8("├─/sys/devices/virtual/keyboard0");
    const QString second = QString::fromUtf8("└─/sys/devices/virtual/Mouse1");
    const SeatDevices devices =
        parseSeatStatus("header /sys/prev\n" + first + "\n" + second + "\n");
    // A path line with such a word is an entry of its own, named by the whole
    // line, and takes its path from the line before.
    checkCategory(devices, KeyboardCategory, {{first, "/sys/prev"}});
    checkCategory(devices, MouseCategory, {{second, "/sys/devices/virtual/keyboard0"}});
    QCOMPARE(devices.size(), 2);
}

void TestSeatStatusParser::firstLineHasNoPath()
{
    const SeatDevices devices = parseSeatStatus("input:input1 \"USB Mouse\"\n");
    checkCategory(devices, MouseCategory, {{"USB Mouse", QString()}});
    // Without "/sys" the whole previous line is the path.
    const SeatDevices second = parseSeatStatus("no path here\nusb:2-1\n");
    checkCategory(second, UnrecognizedCategory,
                  {{"usb:2-1", "no path here"}, {"no path here", ""}});
}

void TestSeatStatusParser::quotes()
{
    const SeatDevices devices = parseSeatStatus("├─/sys/a\n"
                                                "│ input:input1 \"Keyboard \"Pro\" Max\"\n"
                                                "├─/sys/b\n"
                                                "│ input:input2 \"Lone keyboard\n"
                                                "├─/sys/c\n"
                                                "  plain keyboard line  \n");
    checkCategory(devices, KeyboardCategory,
                  {{"  plain keyboard line  ", "/sys/c"},
                   {"Lone keyboard", "/sys/b"},
                   {"Keyboard \"Pro\" Max", "/sys/a"}});
}

void TestSeatStatusParser::secondParseForgetsTheFirst()
{
    const SeatDevices first = parseSeatStatus(sample("v252-seat0-sessions-usb-ports.txt"));
    QCOMPARE(first.size(), 9);
    const SeatDevices second = parseSeatStatus(sample("v252-seat1-two-interface-keyboard.txt"));
    QCOMPARE(second.size(), 4);
    QCOMPARE(second.values(UnrecognizedCategory).size(), 0);
    QCOMPARE(parseSeatStatus(QString()).size(), 0);
}

// Output with CR LF line ends reads like the real one.
void TestSeatStatusParser::carriageReturnsEndLines()
{
    const QString path = Usb + "/1-3/1-3:1.0/0003:413C:2113.0004/input/input8";
    const SeatDevices devices =
        parseSeatStatus(QString::fromUtf8("seat1\r\n\t Devices:\r\n\t\t  ├─/sys/x/drm/card1\r\n"
                                          "\t\t  │ [MASTER] drm:card1\r\n\t\t  └─") +
                        path + "\r\n\t\t    input:input8 \"Dell KB216 Wired Keyboard\"\r\n");
    checkCategory(devices, VideocardCategory, {{"[MASTER] drm:card1", "/sys/x/drm/card1"}});
    checkCategory(devices, KeyboardCategory, {{"Dell KB216 Wired Keyboard", path}});
    QCOMPARE(devices.size(), 2);
}

// A card nested below another device has several bars before it: its name is
// what follows the first one.
void TestSeatStatusParser::nestedCardNamedAfterTheFirstBar()
{
    const SeatDevices devices = parseSeatStatus(QString::fromUtf8("│ ├─/sys/x/drm/card2\n"
                                                                  "│ │ [MASTER] drm:card2\n"));
    checkCategory(devices, VideocardCategory,
                  {{QString::fromUtf8("│ [MASTER] drm:card2"), "/sys/x/drm/card2"}});
}

QTEST_GUILESS_MAIN(TestSeatStatusParser)
#include "tst_seatstatusparser.moc"
