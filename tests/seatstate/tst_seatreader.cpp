#include "common/testenv.h"
#include "seatstate/seatreader.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The seat reader against the emulated loginctl: the one layout it hands on,
// in the order and the shape the trees show, and what a failure leaves.

namespace {

const QString Usb = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1");

QStringList namesOf(const SeatContent &seat, int category)
{
    QStringList names;
    for (const DeviceItem &item : seat.devices) {
        if (item.category == category)
            names << item.name;
    }
    return names;
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
    void noSeats();
    void startWhileReadingIsIgnored();

private:
    bool useMachine(const QString &name, const QByteArray &extra = {});
    SeatLayout read(SeatReader &reader, QSignalSpy &finished);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSeatReader::initTestCase()
{
    TestEnv::init();
}

void TestSeatReader::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("ZEL_LOGINCTL_LOG", QFile::encodeName(m_dir->filePath("calls.log")));
    qputenv("ZEL_LOGINCTL_MACHINE", QFile::encodeName(m_dir->filePath("machine")));
    QVERIFY(useMachine("three-seats.machine"));
}

bool TestSeatReader::useMachine(const QString &name, const QByteArray &extra)
{
    const QByteArray content = TestEnv::readFile(TestEnv::dataDir() + "/machines/" + name);
    return !content.isEmpty() && TestEnv::writeFile(m_dir->filePath("machine"), content + extra);
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
    QVERIFY(useMachine("three-seats.machine", "seat seat10\nseat seat-b\n"));
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
    QCOMPARE(TestEnv::readCallLog(m_dir->filePath("calls.log")),
             (QList<QStringList>{{"list-seats", "--no-legend"},
                                 {"seat-status", "seat0"},
                                 {"seat-status", "seat-b"},
                                 {"seat-status", "seat1"},
                                 {"seat-status", "seat10"}}));

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
    QVERIFY(useMachine("three-seats.machine", "seat seat2\n"));
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
    QVERIFY(useMachine("three-seats.machine", "seat seat2\nfault seat-status crash arg=seat1\n"));
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

void TestSeatReader::noSeats()
{
    QVERIFY(useMachine("three-seats.machine", "fault list-seats silent\n"));
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
    QCOMPARE(TestEnv::readCallLog(m_dir->filePath("calls.log")).size(), 3);
}

QTEST_GUILESS_MAIN(TestSeatReader)
#include "tst_seatreader.moc"
