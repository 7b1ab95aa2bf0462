#include "seatstate/seatreader.h"

#include "seatstate/keyboardgrouping.h"
#include "seatstate/seatstatusparser.h"

#include <algorithm>

int SeatContent::count(int category) const
{
    return int(std::count_if(devices.cbegin(), devices.cend(), [category](const DeviceItem &item) {
        return item.category == category;
    }));
}

QStringList SeatLayout::seatIds() const
{
    QStringList ids;
    for (const SeatContent &seat : seats)
        ids.append(seat.seatId);
    return ids;
}

SeatReader::SeatReader(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<SeatLayout>();
    connect(&m_loginctl, &LoginctlUtil::seatsListReadingFinished, this,
            &SeatReader::onSeatsListRead);
    connect(&m_loginctl, &LoginctlUtil::seatStatusReadingFinished, this,
            &SeatReader::onSeatStatusRead);
    connect(&m_loginctl, &LoginctlUtil::error, this, &SeatReader::onLoginUtilError);
}

void SeatReader::readSeatsList()
{
    if (m_reading)
        return;
    m_reading = true;
    m_layout = SeatLayout();
    m_statusIndex = 0;
    m_loginctl.readSeatsList();
}

QStringList SeatReader::sortedSeats(const QStringList &seats)
{
    QStringList sorted = seats;
    std::sort(sorted.begin(), sorted.end());
    // seat0 is logind's own seat, the one with the main video card and the
    // text consoles: the main seat whenever it is listed, whatever sorts first.
    const int seat0 = sorted.indexOf(QStringLiteral("seat0"));
    if (seat0 > 0)
        sorted.move(seat0, 0);
    return sorted;
}

QList<DeviceItem> SeatReader::deviceItems(const SeatDevices &devices)
{
    auto entriesOf = [&devices](DeviceCategory category) {
        QList<DeviceEntry> entries = devices.values(category);
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [](const DeviceEntry &entry) {
                                         return !entry.second.startsWith(QLatin1String("/sys/"));
                                     }),
                      entries.end());
        return entries;
    };

    QList<DeviceItem> items;
    for (const DeviceEntry &entry : entriesOf(VideocardCategory))
        items.append({entry.first, {entry.second}, VideocardCategory});
    for (const KeyboardGroup &keyboard : groupKeyboards(entriesOf(KeyboardCategory)))
        items.append({keyboard.name, keyboard.addresses, KeyboardCategory});
    for (const DeviceEntry &entry : entriesOf(MouseCategory))
        items.append({entry.first, {entry.second}, MouseCategory});
    for (const DeviceEntry &entry : entriesOf(UnrecognizedCategory))
        items.append({entry.first, {entry.second}, UnrecognizedCategory});
    return items;
}

void SeatReader::onSeatsListRead()
{
    if (!m_reading)
        return;
    const QStringList ids = sortedSeats(parseSeatList(m_loginctl.readOutput()));
    if (ids.isEmpty()) {
        finish(SeatLayout::Status::NoSeats);
        return;
    }
    for (const QString &id : ids)
        m_layout.seats.append({id, false, {}});
    m_statusIndex = 0;
    m_loginctl.readSeatStatus(ids.first());
}

void SeatReader::onSeatStatusRead()
{
    if (!m_reading || m_statusIndex >= m_layout.seats.size())
        return;
    SeatContent &seat = m_layout.seats[m_statusIndex];
    seat.devices = deviceItems(m_loginctl.devices);
    seat.read = true;
    ++m_statusIndex;
    if (m_statusIndex != m_layout.seats.size()) {
        m_loginctl.readSeatStatus(m_layout.seats.at(m_statusIndex).seatId);
        return;
    }
    finish(SeatLayout::Status::Complete);
}

void SeatReader::onLoginUtilError(const QString &error)
{
    // Every failure is told; the first one during a reading also ends it
    // with what was read so far.
    emit this->error(error);
    if (m_reading)
        finish(SeatLayout::Status::Stopped);
}

void SeatReader::finish(SeatLayout::Status status)
{
    m_reading = false;
    m_lastComplete = status == SeatLayout::Status::Complete;
    m_layout.status = status;
    const SeatLayout layout = m_layout;
    m_layout = SeatLayout();
    emit finished(layout);
}
