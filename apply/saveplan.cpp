// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/saveplan.h"

#include <QCoreApplication>

SaveMessageKind saveMessageKind(SaveMessage message)
{
    switch (message) {
    case SaveMessage::MainSeatLacksInput:
    case SaveMessage::RestartQuestion:
    case SaveMessage::EmptySeatsDeleted:
        return SaveMessageKind::Question;
    case SaveMessage::UnexpectedError:
        return SaveMessageKind::Warning;
    default:
        return SaveMessageKind::Critical;
    }
}

QString saveMessageTitle(SaveMessage message)
{
    return saveMessageKind(message) == SaveMessageKind::Critical
               ? QCoreApplication::translate("MainWindow", "Error!")
               : QCoreApplication::translate("MainWindow", "Warning!");
}

QString saveMessageText(SaveMessage message)
{
    switch (message) {
    case SaveMessage::MainVideocardMoved:
        return QCoreApplication::translate(
            "MainWindow", "Disconnecting main videocard from main seat is forbidden.");
    case SaveMessage::MainSeatWithoutCard:
        return QCoreApplication::translate(
            "MainWindow", "Disconnecting all videocards from main seat is forbidden.");
    case SaveMessage::MainSeatLacksInput:
        return QCoreApplication::translate("MainWindow",
                                           "The main place will be disconnected from important "
                                           "devices. \nDo you want to continue?");
    case SaveMessage::RestartQuestion:
        return QCoreApplication::translate("MainWindow",
                                           "After saving the settings, the graphical shell will "
                                           "be restarted. \nDo you want to continue?");
    case SaveMessage::SeatWithoutVideocard:
        return QCoreApplication::translate("MainWindow",
                                           "Creating seats without videocard is forbidden.");
    case SaveMessage::EmptySeatsDeleted:
        return QCoreApplication::translate(
            "MainWindow", "Seats without devices will be deleted. \nDo you want to continue?");
    case SaveMessage::SeatWithoutInputDevices:
        return QCoreApplication::translate(
            "MainWindow", "Creating seats without input devices disabled in Edit menu.\nEnable "
                          "this option and try again or reconfigure devices.");
    case SaveMessage::UnexpectedError:
        return QCoreApplication::translate(
            "MainWindow",
            "An unexpected error has occurred.\nIt is recommended to restart the program.");
    case SaveMessage::DeviceOnTwoSeats:
        return QCoreApplication::translate(
            "MainWindow", "A device is shown on two seats, and nothing was saved.\nReload the "
                          "configuration and make the changes again.");
    }
    return QString();
}

QString attachFailureText(const QList<QPair<QString, QString>> &failed,
                          const QHash<QString, QString> &deviceNames)
{
    QStringList lines;
    for (const auto &pair : failed) {
        lines.append(
            QCoreApplication::translate("MainWindow", "%1 (%2) to %3")
                .arg(deviceNames.value(pair.second, pair.second), pair.second, pair.first));
    }
    return QCoreApplication::translate(
               "MainWindow", "These devices could not be attached to their seats:\n%1\nThe "
                             "graphical shell was not restarted. Check the devices and save again.")
        .arg(lines.join(QLatin1Char('\n')));
}

QStringList addressesOnSeveralSeats(const QList<AttachPair> &pairs)
{
    QHash<QString, QString> seatOf;
    QStringList twice;
    for (const AttachPair &pair : pairs) {
        const auto found = seatOf.constFind(pair.second);
        if (found == seatOf.cend())
            seatOf.insert(pair.second, pair.first);
        else if (*found != pair.first && !twice.contains(pair.second))
            twice.append(pair.second);
    }
    return twice;
}

SavePlan planSave(const MainSeatFacts &mainSeat, const QList<SeatFacts> &panels,
                  const QString &mainVideocard, bool emptySeatsAllowed,
                  const std::function<bool(SaveMessage)> &ask,
                  const std::function<void(SaveMessage)> &tell)
{
    SavePlan plan;
    QList<AttachPair> shown;
    for (const QString &address : mainSeat.addresses + mainSeat.returned)
        shown.append({mainSeat.seatId, address});
    for (const SeatFacts &panel : panels) {
        for (const QString &address : panel.allAddresses)
            shown.append({panel.seatId, address});
    }
    if (!addressesOnSeveralSeats(shown).isEmpty()) {
        tell(SaveMessage::DeviceOnTwoSeats);
        return plan;
    }
    if (!mainVideocard.isEmpty()) {
        bool kept = false;
        for (const QString &name : mainSeat.videocardNames)
            kept = kept || name.contains(mainVideocard);
        if (!kept) {
            tell(SaveMessage::MainVideocardMoved);
            return plan;
        }
    }
    if (!mainSeat.hasVideocard) {
        tell(SaveMessage::MainSeatWithoutCard);
        return plan;
    }
    if (!mainSeat.hasKeyboardAndMouse && !ask(SaveMessage::MainSeatLacksInput))
        return plan;
    if (!ask(SaveMessage::RestartQuestion))
        return plan;

    for (int i = 0; i < panels.size(); ++i) {
        const SeatFacts &panel = panels.at(i);
        if (!panel.hasVideocard) {
            if (panel.hasInputDevices) {
                tell(SaveMessage::SeatWithoutVideocard);
                return plan;
            }
            if (!ask(SaveMessage::EmptySeatsDeleted))
                return plan;
            plan.panelsToDelete.append(i);
            continue;
        }
        if (!panel.hasKeyboardOrMouse && !emptySeatsAllowed) {
            tell(SaveMessage::SeatWithoutInputDevices);
            return plan;
        }
        // A keyboard that is a mouse too is listed twice on its seat; it is
        // attached once.
        for (const QString &address : panel.addresses) {
            if (!plan.queue.contains({panel.seatId, address}))
                plan.queue.append({panel.seatId, address});
        }
    }
    // Every device of a deleted seat goes to the main seat, hidden ones too:
    // logind would otherwise keep them on a seat it no longer lists.
    QStringList mainAddresses = mainSeat.addresses;
    for (int index : qAsConst(plan.panelsToDelete))
        mainAddresses += panels.at(index).allAddresses;
    mainAddresses += mainSeat.returned;
    mainAddresses.removeDuplicates();
    for (const QString &address : qAsConst(mainAddresses))
        plan.queue.append({mainSeat.seatId, address});
    plan.proceed = true;
    return plan;
}

QString newSeatId(int panelCount, const QStringList &taken)
{
    int number = panelCount + 1;
    while (taken.contains(QStringLiteral("seat%1").arg(number)))
        ++number;
    return QStringLiteral("seat%1").arg(number);
}

QStringList offeredVideocards(const QStringList &mainSeatCards, const QString &mainVideocard)
{
    QStringList offered;
    for (const QString &name : mainSeatCards) {
        if (mainVideocard.isEmpty() || !name.contains(mainVideocard))
            offered.append(name);
    }
    return offered;
}

namespace {

QStringList addressesOf(const SeatContent &seat, bool unrecognizedShown)
{
    QStringList addresses;
    for (const DeviceItem &item : seat.devices) {
        if (unrecognizedShown || item.category != UnrecognizedCategory)
            addresses += item.addresses;
    }
    return addresses;
}

} // namespace

MainSeatFacts mainSeatFacts(const SeatContent &main, bool unrecognizedShown,
                            const QStringList &returned)
{
    MainSeatFacts facts;
    facts.seatId = main.seatId;
    for (const DeviceItem &item : main.devices) {
        if (item.category == VideocardCategory)
            facts.videocardNames.append(item.name);
    }
    facts.hasVideocard = !facts.videocardNames.isEmpty();
    facts.hasKeyboardAndMouse = main.count(KeyboardCategory) > 0 && main.count(MouseCategory) > 0;
    facts.addresses = addressesOf(main, unrecognizedShown);
    facts.returned = returned;
    return facts;
}

SeatFacts seatFacts(const SeatContent &seat, bool unrecognizedShown)
{
    SeatFacts facts;
    facts.seatId = seat.seatId;
    facts.hasVideocard = seat.count(VideocardCategory) > 0;
    facts.hasKeyboardOrMouse = seat.count(KeyboardCategory) + seat.count(MouseCategory) > 0;
    facts.hasInputDevices =
        facts.hasKeyboardOrMouse || (unrecognizedShown && seat.count(UnrecognizedCategory) > 0);
    facts.addresses = addressesOf(seat, unrecognizedShown);
    facts.allAddresses = addressesOf(seat, true);
    return facts;
}
