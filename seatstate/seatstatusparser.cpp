// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "seatstate/seatstatusparser.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

const QChar TreeVertical(0x2502); // "│", drawn by loginctl between siblings

// The text between the first and the last double quote of a line; everything
// after a lone quote; the whole line when it has none.
QString quotedName(const QString &line)
{
    const int first = line.indexOf(QLatin1Char('"'));
    if (first < 0)
        return line;
    const int last = line.lastIndexOf(QLatin1Char('"'));
    if (last == first)
        return line.mid(first + 1);
    return line.mid(first + 1, last - first - 1);
}

// The path a description line refers to: the line before it from "/sys" on.
QString pathFrom(const QString &previousLine)
{
    const int pos = previousLine.indexOf(QLatin1String("/sys"));
    return pos < 0 ? previousLine : previousLine.mid(pos);
}

bool mentionsSkippedWords(const QString &line)
{
    static const char *const words[] = {"/sys", "seat", "Sessions", "Devices", "drm:card"};
    for (const char *word : words) {
        if (line.contains(QLatin1String(word)))
            return true;
    }
    return false;
}

// What logind accepts as a seat name.
bool isSeatName(const QString &name)
{
    static const QRegularExpression seatName(QStringLiteral("^seat[A-Za-z0-9_-]{1,251}$"));
    return seatName.match(name).hasMatch();
}

} // namespace

QStringList parseSeatList(const QString &output)
{
    // Anything else on a line of the list (garbage, a message) would
    // otherwise become a seat, even the main one.
    QStringList seats;
    const QStringList parts = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QString seat = part.trimmed();
        if (isSeatName(seat))
            seats.append(seat);
    }
    return seats;
}

bool isSeatList(const QString &output)
{
    const QStringList parts = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return std::all_of(parts.cbegin(), parts.cend(), [](const QString &part) {
        const QString line = part.trimmed();
        return line.isEmpty() || isSeatName(line);
    });
}

bool isSeatStatusOf(const QString &output, const QString &seat)
{
    if (output.isEmpty())
        return true;
    const QStringList lines = output.split(QLatin1Char('\n'));
    return lines.first().trimmed() == seat &&
           std::any_of(lines.cbegin() + 1, lines.cend(), [](const QString &line) {
               return line.trimmed() == QLatin1String("Devices:");
           });
}

SeatDevices parseSeatStatus(const QString &output)
{
    // A video card line ends in "drm:card" and one digit; connectors
    // (drm:card0-DP-1) and cards from 10 on do not match.
    static const QRegularExpression videocardLine(QStringLiteral("drm:card[0-9]$"));

    SeatDevices devices;
    QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QString previous;
    for (QString &line : lines) {
        // A carriage return before the line feed belongs to the line end.
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString path = pathFrom(previous);
        bool handled = false;

        if (videocardLine.match(line).hasMatch()) {
            const int bar = line.indexOf(TreeVertical);
            const QString name = (bar < 0 ? line : line.mid(bar + 1)).trimmed();
            devices.insert(VideocardCategory, DeviceEntry(name, path));
            handled = true;
        }
        if (line.contains(QLatin1String("keyboard"), Qt::CaseInsensitive)) {
            devices.insert(KeyboardCategory, DeviceEntry(quotedName(line), path));
            handled = true;
        }
        if (line.contains(QLatin1String("mouse"), Qt::CaseInsensitive)) {
            devices.insert(MouseCategory, DeviceEntry(quotedName(line), path));
        } else if (!handled && !mentionsSkippedWords(line)) {
            const int bar = line.lastIndexOf(TreeVertical);
            const QString name = (bar < 0 ? line : line.mid(bar + 1)).simplified();
            devices.insert(UnrecognizedCategory, DeviceEntry(name, path));
        }
        previous = line;
    }
    return devices;
}
