// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "seatstate/seatreader.h"

#include "seatstate/keyboardgrouping.h"
#include "seatstate/seatstatusparser.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

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

QString SeatLayout::seatOf(const QString &address) const
{
    for (const SeatContent &seat : seats) {
        for (const DeviceItem &item : seat.devices) {
            if (item.addresses.contains(address))
                return seat.seatId;
        }
    }
    return QString();
}

SeatReader::SeatReader(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<SeatLayout>();
    connect(&m_loginctl, &LoginctlUtil::seatsListReadingFinished, this,
            &SeatReader::onSeatsListRead);
    connect(&m_loginctl, &LoginctlUtil::seatStatusReadingFinished, this,
            &SeatReader::onSeatStatusRead);
    connect(&m_loginctl, &LoginctlUtil::sessionsReadingFinished, this, &SeatReader::onSessionsRead);
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

QList<DeviceItem> SeatReader::merged(const QList<DeviceItem> &items, const QList<DeviceItem> &more)
{
    QList<DeviceItem> all;
    for (int category = 0; category < DeviceCategoryCount; ++category) {
        for (const QList<DeviceItem> *list : {&items, &more}) {
            for (const DeviceItem &item : *list) {
                if (item.category == category)
                    all.append(item);
            }
        }
    }
    return all;
}

QList<DeviceItem> SeatReader::withInputKinds(const QList<DeviceItem> &items,
                                             const DeviceInfoSource &info)
{
    QList<DeviceItem> kept;
    QList<DeviceItem> inputs;
    for (const DeviceItem &item : items) {
        if (item.category != UnrecognizedCategory || item.addresses.size() != 1) {
            kept.append(item);
            continue;
        }
        const DeviceDetails details = info.details(item.addresses.first());
        // Named like the keyboards and mice the text found: by the device's
        // own name between the quotes, when it has one.
        QString name = item.name;
        const int first = name.indexOf(QLatin1Char('"'));
        const int last = name.lastIndexOf(QLatin1Char('"'));
        if (first >= 0 && last > first + 1)
            name = name.mid(first + 1, last - first - 1);
        // One item per path: a device that is both (a receiver with one input
        // for keys and pointer) is a keyboard, which counts as a seat's input
        // all the same. Two items of one path could be given to two seats.
        if (details.keyboard)
            inputs.append({name, item.addresses, KeyboardCategory});
        else if (details.mouse)
            inputs.append({name, item.addresses, MouseCategory});
        else
            kept.append(item);
    }
    return merged(kept, inputs);
}

QList<DeviceItem> SeatReader::orphans(const QStringList &seatIds, const DeviceInfoSource &info)
{
    // A video card's line of a seat's status ends in "drm:card" and one digit.
    static const QRegularExpression videocard(QStringLiteral("drm:card[0-9]$"));

    // The topmost device of each tree left on a seat that is gone, named and
    // filed by the words of its line in a seat's status, as loginctl would
    // list it, so that it shows as it will once it is back on the main seat.
    SeatDevices devices;
    QStringList topmost;
    for (const SeatTaggedDevice &device : info.seatDevices()) {
        const QString seat = device.seat.isEmpty() ? QStringLiteral("seat0") : device.seat;
        if (seatIds.contains(seat))
            continue;
        const bool child =
            std::any_of(topmost.cbegin(), topmost.cend(), [&device](const QString &top) {
                return device.syspath.startsWith(top + QLatin1Char('/'));
            });
        // The check after an attach reads a seat's status line by line.
        if (child || device.syspath.contains(QLatin1Char('\n')))
            continue;
        topmost.append(device.syspath);

        // What comes from the device itself must not break a line: no
        // controls in its kernel name or its name.
        const auto printable = [](QString text) {
            for (QChar &c : text) {
                if (c.category() == QChar::Other_Control)
                    c = QLatin1Char(' ');
            }
            return text;
        };
        const QString kernelName = printable(device.subsystem + QLatin1Char(':') + device.sysname);
        const QString name = printable(device.name);
        QString line = kernelName;
        if (device.master)
            line.prepend(QStringLiteral("[MASTER] "));
        if (!name.isEmpty())
            line += QStringLiteral(" \"") + name + QLatin1Char('"');
        const QString shownName = name.isEmpty() ? line : name;
        const auto says = [&](const QString &word) {
            return kernelName.contains(word, Qt::CaseInsensitive) ||
                   name.contains(word, Qt::CaseInsensitive);
        };

        const bool isVideocard = name.isEmpty() && videocard.match(kernelName).hasMatch();
        const bool isKeyboard = says(QStringLiteral("keyboard"));
        const bool isMouse = says(QStringLiteral("mouse"));
        if (isVideocard)
            devices.insert(VideocardCategory, DeviceEntry(line.trimmed(), device.syspath));
        if (isKeyboard)
            devices.insert(KeyboardCategory, DeviceEntry(shownName, device.syspath));
        if (isMouse)
            devices.insert(MouseCategory, DeviceEntry(shownName, device.syspath));
        // Connectors and cards from 10 on are no devices of a seat's tree.
        else if (!isVideocard && !isKeyboard && !line.contains(QLatin1String("drm:card")))
            devices.insert(UnrecognizedCategory, DeviceEntry(line.simplified(), device.syspath));
    }
    return withInputKinds(deviceItems(devices), info);
}

namespace {

// "/sys/devices/pci0000:00/0000:00:01.0/0000:01:00." for a device below the
// PCI function 0000:01:00.0: what every function of the slot starts with.
QString pciSlotPrefix(const QString &syspath)
{
    static const QRegularExpression function(
        QStringLiteral("/[0-9a-f]{4,}:[0-9a-f]{2}:[0-9a-f]{2}\\.[0-7](?=/|$)"));
    QRegularExpressionMatchIterator it = function.globalMatch(syspath);
    int end = -1;
    while (it.hasNext())
        end = it.next().capturedEnd();
    return end < 0 ? QString() : syspath.left(end - 1);
}

} // namespace

QStringList SeatReader::withCardCompanions(QList<SeatContent> &seats)
{
    auto slotOf = [](const DeviceItem &item) {
        return item.addresses.isEmpty() ? QString() : pciSlotPrefix(item.addresses.first());
    };
    // The seat of each slot's card; a slot with two cards tells nothing.
    QHash<QString, int> cardSeat;
    QSet<QString> shared;
    for (int s = 0; s < seats.size(); ++s) {
        for (const DeviceItem &item : qAsConst(seats.at(s).devices)) {
            const QString slot = item.category == VideocardCategory ? slotOf(item) : QString();
            if (slot.isEmpty())
                continue;
            if (cardSeat.contains(slot))
                shared.insert(slot);
            cardSeat.insert(slot, s);
        }
    }
    for (const QString &slot : qAsConst(shared))
        cardSeat.remove(slot);

    QHash<QString, QStringList> companions; // by slot
    QStringList strays;
    for (int s = 0; s < seats.size() && !cardSeat.isEmpty(); ++s) {
        QList<DeviceItem> kept;
        for (const DeviceItem &item : qAsConst(seats.at(s).devices)) {
            const QString slot = item.category == VideocardCategory ? QString() : slotOf(item);
            if (slot.isEmpty() || !cardSeat.contains(slot)) {
                kept.append(item);
                continue;
            }
            companions[slot] += item.addresses;
            if (cardSeat.value(slot) != s)
                strays += item.addresses;
        }
        seats[s].devices = kept;
    }
    for (SeatContent &seat : seats) {
        for (DeviceItem &item : seat.devices) {
            if (item.category == VideocardCategory)
                item.addresses += companions.take(slotOf(item));
        }
    }
    return strays;
}

void SeatReader::onSeatsListRead()
{
    if (!m_reading)
        return;
    const QString list = m_loginctl.readOutput();
    if (!isSeatList(list)) {
        refuse({QStringLiteral("list-seats")});
        return;
    }
    const QStringList ids = sortedSeats(parseSeatList(list));
    if (ids.isEmpty()) {
        finish(SeatLayout::Status::NoSeats);
        return;
    }
    for (const QString &id : ids) {
        SeatContent seat;
        seat.seatId = id;
        m_layout.seats.append(seat);
    }
    m_statusIndex = 0;
    m_loginctl.readSeatStatus(ids.first());
}

void SeatReader::onSeatStatusRead()
{
    if (!m_reading || m_statusIndex >= m_layout.seats.size())
        return;
    SeatContent &seat = m_layout.seats[m_statusIndex];
    if (!isSeatStatusOf(m_loginctl.statusText(), seat.seatId)) {
        refuse({QStringLiteral("seat-status"), seat.seatId});
        return;
    }
    seat.devices = deviceItems(m_loginctl.devices);
    if (m_info)
        seat.devices = withInputKinds(seat.devices, *m_info);
    seat.read = true;
    seat.sessionIds = m_loginctl.sessions;
    ++m_statusIndex;
    if (m_statusIndex != m_layout.seats.size()) {
        m_loginctl.readSeatStatus(m_layout.seats.at(m_statusIndex).seatId);
        return;
    }
    if (m_info) {
        const QList<DeviceItem> orphaned = orphans(m_layout.seatIds(), *m_info);
        SeatContent &main = m_layout.seats.first();
        main.devices = merged(main.devices, orphaned);
        for (const DeviceItem &item : orphaned)
            m_layout.orphans += item.addresses;
    }
    m_layout.strays = withCardCompanions(m_layout.seats);
    // Who is on the seats: one more command for all of them.
    m_readingSessions = true;
    m_loginctl.readSessions();
}

void SeatReader::onSessionsRead()
{
    if (!m_reading || !m_readingSessions)
        return;
    m_readingSessions = false;
    m_layout.sessions = SeatSessions::parse(m_loginctl.readOutput());
    for (SeatSession &session : m_layout.sessions) {
        for (SeatContent &seat : m_layout.seats) {
            if (seat.seatId != session.seat)
                continue;
            session.active = seat.sessionIds.contains(QLatin1Char('*') + session.id);
            seat.sessions.append(session);
        }
    }
    finish(SeatLayout::Status::Complete);
}

void SeatReader::onLoginUtilError(const QString &error)
{
    // The seats are read: without the sessions they are only told less of.
    if (m_reading && m_readingSessions) {
        m_readingSessions = false;
        finish(SeatLayout::Status::Complete);
        return;
    }
    // Every failure is told; the first one during a reading also ends it
    // with what was read so far.
    emit this->error(error);
    if (m_reading)
        finish(SeatLayout::Status::Stopped);
}

// Output that cannot be loginctl's answer (a wrapper's message, garbage)
// ends the reading like an error, rather than giving a seat without devices.
void SeatReader::refuse(const QStringList &arguments)
{
    onLoginUtilError(LoginctlUtil::unexpectedOutputText(arguments));
}

void SeatReader::finish(SeatLayout::Status status)
{
    m_reading = false;
    m_readingSessions = false;
    m_lastComplete = status == SeatLayout::Status::Complete;
    m_layout.status = status;
    if (m_info) {
        for (const SeatContent &seat : qAsConst(m_layout.seats)) {
            for (const DeviceItem &item : seat.devices) {
                for (const QString &address : item.addresses) {
                    const QString key = m_info->details(address).forSeat;
                    if (!key.isEmpty())
                        m_layout.keys.insert(address, key);
                }
            }
        }
    }
    const SeatLayout layout = m_layout;
    m_layout = SeatLayout();
    emit finished(layout);
}
