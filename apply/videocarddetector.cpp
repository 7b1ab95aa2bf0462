// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/videocarddetector.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>

namespace VideocardDetector {
const QString LogDir = QStringLiteral("/var/log/zel-dm/");
const QString DrmDir = QStringLiteral("/sys/class/drm/");
} // namespace VideocardDetector

namespace {

// The X server marks its primary device as "PCI:*(bus@domain:device:function)".
const QString PrimaryMarker = QStringLiteral("PCI:*");
const int BusIdLength = 7;

// The marker line of the newest log, or a null string.
QString primaryDeviceLine(const QString &logDir)
{
    const QFileInfoList logs =
        QDir(logDir).entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Time);
    if (logs.isEmpty())
        return {};
    // Only the newest log describes the running server; older ones are history.
    QFile file(logs.first().absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream stream(&file);
    QString line;
    while (stream.readLineInto(&line)) {
        if (line.contains(PrimaryMarker))
            return line;
    }
    return {};
}

// The sysfs address ("0000:0b:00.0") of the device the X server notation
// names, or a null string when the text after the marker is not that notation.
QString sysfsAddress(const QString &line, int markerPos)
{
    static const QRegularExpression notation(
        QStringLiteral("\\(([0-9]{1,3})@([0-9]{1,10}):([0-9]{1,3}):([0-9]{1,3})"));
    const QRegularExpressionMatch match =
        notation.match(line, markerPos + PrimaryMarker.size(), QRegularExpression::NormalMatch,
                       QRegularExpression::AnchoredMatchOption);
    if (!match.hasMatch())
        return {};
    const uint bus = match.captured(1).toUInt();
    const qulonglong domain = match.captured(2).toULongLong();
    const uint device = match.captured(3).toUInt();
    const uint function = match.captured(4).toUInt();
    if (bus > 0xff || domain > 0xffffffffULL || device > 0x1f || function > 7)
        return {};
    // sysfs writes the address in lower-case hex with fixed minimum widths.
    return QStringLiteral("%1:%2:%3.%4")
        .arg(domain, 4, 16, QLatin1Char('0'))
        .arg(bus, 2, 16, QLatin1Char('0'))
        .arg(device, 2, 16, QLatin1Char('0'))
        .arg(function, 1, 16);
}

// The older reading of the notation by character positions; right only for
// one-digit numbers in domain 0, kept for text the parser above refuses.
QString positionalKey(const QString &line, int markerPos)
{
    const QString busId = line.mid(markerPos + PrimaryMarker.size() + 1, BusIdLength);
    if (busId.size() < BusIdLength)
        return {};
    return QLatin1Char('0') + busId.at(0) + QLatin1Char(':') + busId.at(2) + busId.at(4) +
           QLatin1Char('.') + busId.at(6);
}

// The PCI device a DRM card belongs to is the last PCI address in its device
// path; bridges above it and subdevices (virtio) below it are not the card.
bool cardBelongsTo(const QString &target, const QString &address)
{
    static const QRegularExpression pciAddress(
        QStringLiteral("^[0-9a-f]{4,}:[0-9a-f]{2}:[0-9a-f]{2}\\.[0-7]$"));
    const QStringList parts = target.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (auto it = parts.crbegin(); it != parts.crend(); ++it) {
        if (pciAddress.match(*it).hasMatch())
            return *it == address;
    }
    return false;
}

} // namespace

namespace {

// The card the firmware started on, which the X server prefers too: its PCI
// device says boot_vga 1. A card that is not on PCI never counts.
QString bootCard(const QString &drmDir)
{
    static const QRegularExpression cardName(QStringLiteral("^card\\d+$"));
    const QStringList names =
        QDir(drmDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString &name : names) {
        if (!cardName.match(name).hasMatch())
            continue;
        const QString device = drmDir + QLatin1Char('/') + name + QStringLiteral("/device");
        if (QFileInfo(device + QStringLiteral("/subsystem")).canonicalFilePath().section('/', -1) !=
            QLatin1String("pci"))
            continue;
        QFile bootVga(device + QStringLiteral("/boot_vga"));
        if (bootVga.open(QIODevice::ReadOnly) && bootVga.read(16).trimmed() == "1")
            return name;
    }
    return {};
}

// What the log says, by the rules the program has always followed.
QString cardFromLog(const QString &logDir, const QString &drmDir)
{
    const QString line = primaryDeviceLine(logDir);
    const int markerPos = line.indexOf(PrimaryMarker);
    if (markerPos < 0)
        return {};
    const QString address = sysfsAddress(line, markerPos);
    const QString key = address.isEmpty() ? positionalKey(line, markerPos) : QString();
    if (address.isEmpty() && key.isEmpty())
        return {};

    // Connectors (card0-DP-1) and render nodes are links too; only cardN names a card.
    static const QRegularExpression cardName(QStringLiteral("card\\d$"));
    const QFileInfoList entries = QDir(drmDir).entryInfoList();
    for (const QFileInfo &entry : entries) {
        if (!entry.isSymLink())
            continue;
        const QString name = entry.baseName();
        if (!cardName.match(name).hasMatch())
            continue;
        const QString target = entry.symLinkTarget();
        if (address.isEmpty() ? target.contains(key) : cardBelongsTo(target, address))
            return name;
    }
    return {};
}

} // namespace

QString detectMainVideocard(const QString &logDir, const QString &drmDir)
{
    // No log of zel-dm's on a desktop with another display manager: without
    // the firmware's word, seat0's own card could be given away.
    const QString fromLog = cardFromLog(logDir, drmDir);
    return fromLog.isEmpty() ? bootCard(drmDir) : fromLog;
}
