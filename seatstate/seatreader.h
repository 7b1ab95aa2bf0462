// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "hardware/deviceinfo.h"
#include "seatstate/loginctlutil.h"
#include "seatstate/seatsessions.h"
#include "seatstate/seatstatus.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

// One device as a device tree shows it: a single device, or the interfaces
// of one USB keyboard that move together.
struct DeviceItem
{
    QString name;
    QStringList addresses; // sysfs paths, one or more
    int category = UnrecognizedCategory;
};

// What was read of one seat: its devices in tree order (video cards,
// keyboards, mice, then the others; each category newest first).
struct SeatContent
{
    QString seatId;
    QString displayName; // as the administrator named it; empty: not known here
    bool read = false;   // false for the seats a failed reading never reached
    QList<DeviceItem> devices;
    QStringList sessionIds;      // as its "Sessions:" line has them, the active one starred
    QList<SeatSession> sessions; // who is on it

    int count(int category) const;
};

// The seats of the system, sorted; the main seat first.
struct SeatLayout
{
    enum class Status
    {
        Complete, // every seat was read
        NoSeats,  // loginctl listed no seat
        Stopped,  // an error ended the reading; the seats not read are empty
    };

    Status status = Status::Stopped;
    QList<SeatContent> seats;
    // Devices udev keeps on seats logind no longer lists, shown in the main
    // seat so that a save brings them back there.
    QStringList orphans;
    // Devices of a video card's PCI slot read on another seat than the card,
    // shown with the card so that a save brings them to its seat.
    QStringList strays;
    // Every session logind lists, also those without a seat.
    QList<SeatSession> sessions;
    // udev's ID_FOR_SEAT of each address that has one: what a device is known
    // by on another machine of the same make.
    QHash<QString, QString> keys;

    QStringList seatIds() const;
    // The seat whose devices hold the address; empty when none does.
    QString seatOf(const QString &address) const;
    // The address's ID_FOR_SEAT, or the address itself without one.
    QString keyOf(const QString &address) const { return keys.value(address, address); }
};

// Reads the seats from loginctl: list-seats, then seat-status of every seat
// in sorted order, one command at a time, and hands on one layout. Reading
// cannot overlap with itself: a start while reading is ignored.
class SeatReader : public QObject
{
    Q_OBJECT
public:
    explicit SeatReader(QObject *parent = nullptr);

    // Starts reading; finished() follows once, error() for every failure.
    void readSeatsList();
    bool isReading() const { return m_reading; }
    // A loginctl command that runs longer is killed and ends the reading
    // with an error (Constants::CommandTimeLimitMs unless set).
    void setTimeLimit(int ms) { m_loginctl.setTimeLimit(ms); }
    // Where the reader learns what the text of loginctl does not tell: input
    // devices its words miss, devices left on seats that are gone.
    void setDeviceInfo(std::shared_ptr<const DeviceInfoSource> info) { m_info = std::move(info); }
    // Whether the last reading got every seat.
    bool lastReadComplete() const { return m_lastComplete; }

    // Sorted by character code, seat0 first whenever it is there: the main
    // seat is seat0, or the first in sorted order without it.
    static QStringList sortedSeats(const QStringList &seats);
    // The items of one seat's parsed status, as its tree shows them: entries
    // without a sysfs path dropped ("(none)" of an empty seat), keyboards of
    // one USB device grouped.
    static QList<DeviceItem> deviceItems(const SeatDevices &devices);
    // The unrecognized devices udev marks as keyboards or mice (a wireless
    // receiver, a touchpad) under Keyboard or Mouse, a device that is both
    // under Keyboard; the others stay where the text put them.
    static QList<DeviceItem> withInputKinds(const QList<DeviceItem> &items,
                                            const DeviceInfoSource &info);
    // Items for the devices tagged for a seat that is not among seatIds, the
    // topmost of each such tree only (its children follow it on an attach).
    static QList<DeviceItem> orphans(const QStringList &seatIds, const DeviceInfoSource &info);
    // items in tree order with more, each in its category after those there.
    static QList<DeviceItem> merged(const QList<DeviceItem> &items, const QList<DeviceItem> &more);
    // A video card moves whole: the other devices of its PCI slot (the
    // card's HDMI sound on function .1, its framebuffer, its render node)
    // join the card's item, whichever seat they were read on; returns their
    // addresses that were read on another seat than the card.
    static QStringList withCardCompanions(QList<SeatContent> &seats);

signals:
    void finished(SeatLayout layout);
    void error(QString error);

private:
    void onSeatsListRead();
    void onSeatStatusRead();
    void onSessionsRead();
    void onLoginUtilError(const QString &error);
    void refuse(const QStringList &arguments);
    void finish(SeatLayout::Status status);

    LoginctlUtil m_loginctl;
    std::shared_ptr<const DeviceInfoSource> m_info;
    SeatLayout m_layout;
    int m_statusIndex = 0;
    bool m_reading = false;
    bool m_readingSessions = false;
    bool m_lastComplete = false;
};

Q_DECLARE_METATYPE(SeatLayout)
