// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "seatstate/seatreader.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>

// The checks a layout passes before it is saved, and the order in which its
// devices are attached. Widget-free: the main window hands in what its trees
// hold and shows the boxes through the two callbacks.

// The messages of the checks, in the order they can appear.
enum class SaveMessage
{
    MainVideocardMoved,      // critical: the main video card left the main seat
    MainSeatWithoutCard,     // critical: the main seat has no video card
    MainSeatLacksInput,      // question: main seat without keyboard or mouse
    RestartQuestion,         // question: the graphical shell will be restarted
    SeatWithoutVideocard,    // critical: a seat has input devices but no card
    EmptySeatsDeleted,       // question: seats without devices will be deleted
    SeatWithoutInputDevices, // critical: a seat with a card but no keyboard or mouse
    UnexpectedError,         // warning: a marked panel was not found
    DeviceOnTwoSeats,        // critical: one device is shown on two seats
};

enum class SaveMessageKind
{
    Critical,
    Question,
    Warning
};

SaveMessageKind saveMessageKind(SaveMessage message);
QString saveMessageTitle(SaveMessage message); // translated, context "MainWindow"
QString saveMessageText(SaveMessage message);  // translated, context "MainWindow"

// The message after a save whose devices in failed never arrived, naming
// each by its display name (deviceNames maps addresses to them).
QString attachFailureText(const QList<QPair<QString, QString>> &failed,
                          const QHash<QString, QString> &deviceNames);

// What the main seat's tree holds.
struct MainSeatFacts
{
    QString seatId;
    QStringList videocardNames;
    bool hasVideocard = false;
    bool hasKeyboardAndMouse = false;
    QStringList addresses; // in tree order; unrecognized ones only when shown
    // Devices given back by seats deleted since the last save, hidden ones
    // too: they stay on the deleted seat unless attached here.
    QStringList returned;
};

// What one seat panel holds.
struct SeatFacts
{
    QString seatId;
    bool hasVideocard = false;
    bool hasKeyboardOrMouse = false;
    bool hasInputDevices = false; // counting unrecognized devices when the panel shows them
    QStringList addresses;        // in tree order
    QStringList allAddresses;     // hidden unrecognized devices too
};

// The facts of a layout's seats, as a save checks them; unrecognized devices
// count only while they are shown. returned: devices of seats deleted since
// the last save that the main seat holds.
MainSeatFacts mainSeatFacts(const SeatContent &main, bool unrecognizedShown,
                            const QStringList &returned);
SeatFacts seatFacts(const SeatContent &seat, bool unrecognizedShown);

using AttachPair = QPair<QString, QString>; // (seat identifier, device address)

struct SavePlan
{
    bool proceed = false;      // false: stopped by a rule or an answer; nothing may change
    QList<int> panelsToDelete; // indexes into the panels, in marking order
    // Remaining panels in order, then the main seat: its own devices, those
    // of the panels deleted now and those returned by deleted seats.
    QList<AttachPair> queue;
};

// The addresses that pairs give to more than one seat, each once: attaching
// them would leave the device on whichever seat came last.
QStringList addressesOnSeveralSeats(const QList<AttachPair> &pairs);

// Runs the checks in their fixed order, after refusing a layout that shows
// a device on two seats. ask() shows a question and returns
// whether the answer was Yes; tell() shows a critical box.
SavePlan planSave(const MainSeatFacts &mainSeat, const QList<SeatFacts> &panels,
                  const QString &mainVideocard, bool emptySeatsAllowed,
                  const std::function<bool(SaveMessage)> &ask,
                  const std::function<void(SaveMessage)> &tell);

// The identifier of a new seat: "seat" and the number of panels plus one, or
// the next number no seat in taken holds (two seats with one identifier
// would be merged by a save).
QString newSeatId(int panelCount, const QStringList &taken);

// The video cards of the main seat offered for a new seat: all but those
// that name the main video card (all of them when it is not known).
QStringList offeredVideocards(const QStringList &mainSeatCards, const QString &mainVideocard);
