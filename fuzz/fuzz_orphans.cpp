// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The seat reader's items for devices udev keeps on seats that are gone, from
// whatever udev could report: one device per line, its fields separated by
// tabs (path below /sys/devices, subsystem, kernel name, name, seat, and
// flags: m master, k keyboard, p pointer). Every item is of a category, with
// a name without control characters; every topmost device of a gone seat is
// in an item, and nothing else is.

#include "hardware/deviceinfo.h"
#include "seatstate/seatreader.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

class Info : public DeviceInfoSource
{
public:
    DeviceDetails details(const QString &syspath) const override { return known.value(syspath); }
    QList<SeatTaggedDevice> seatDevices() const override { return tagged; }

    QHash<QString, DeviceDetails> known;
    QList<SeatTaggedDevice> tagged;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    Info info;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        SeatTaggedDevice device;
        device.syspath = QStringLiteral("/sys/devices/") + fields.value(0);
        device.subsystem = fields.value(1);
        device.sysname = fields.value(2);
        device.name = fields.value(3);
        device.seat = fields.value(4);
        const QString flags = fields.value(5);
        device.master = flags.contains(QLatin1Char('m'));
        DeviceDetails details;
        details.known = true;
        details.syspath = device.syspath;
        details.keyboard = flags.contains(QLatin1Char('k'));
        details.mouse = flags.contains(QLatin1Char('p'));
        info.known.insert(device.syspath, details);
        info.tagged.append(device);
    }
    const QStringList listed{QStringLiteral("seat0"), QStringLiteral("seat1")};
    const QList<DeviceItem> items = SeatReader::orphans(listed, info);

    // The devices that must be items: topmost, on a gone seat, on one line,
    // and not a video card's connector (never shown in a seat's tree).
    QSet<QString> expected;
    QStringList topmost;
    for (const SeatTaggedDevice &device : info.tagged) {
        if (listed.contains(device.seat.isEmpty() ? QStringLiteral("seat0") : device.seat))
            continue;
        bool child = false;
        for (const QString &top : topmost)
            child = child || device.syspath.startsWith(top + QLatin1Char('/'));
        if (child || device.syspath.contains(QLatin1Char('\n')))
            continue;
        topmost.append(device.syspath);
        // As the tool shows them: control characters are blanks.
        QString kernelName = device.subsystem + QLatin1Char(':') + device.sysname;
        QString name = device.name;
        for (QString *text : {&kernelName, &name}) {
            for (QChar &c : *text) {
                if (c.category() == QChar::Other_Control)
                    c = QLatin1Char(' ');
            }
        }
        const auto says = [&](const char *word) {
            return kernelName.contains(QLatin1String(word), Qt::CaseInsensitive) ||
                   name.contains(QLatin1String(word), Qt::CaseInsensitive);
        };
        static const QRegularExpression card(QStringLiteral("drm:card[0-9]$"));
        const bool videocard = name.isEmpty() && card.match(kernelName).hasMatch();
        const bool connector = kernelName.contains(QLatin1String("drm:card")) ||
                               name.contains(QLatin1String("drm:card"));
        if (!says("keyboard") && !says("mouse") && !videocard && connector)
            continue;
        expected.insert(device.syspath);
    }

    QSet<QString> found;
    for (const DeviceItem &item : items) {
        if (item.category < 0 || item.category >= DeviceCategoryCount || item.addresses.isEmpty())
            std::abort();
        for (const QChar c : item.name) {
            if (c.category() == QChar::Other_Control)
                std::abort();
        }
        for (const QString &address : item.addresses)
            found.insert(address);
    }
    if (found != expected)
        std::abort();
    return 0;
}
