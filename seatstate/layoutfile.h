// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

struct SeatLayout;

// A layout as a file keeps it: the further seats, each with its display name
// and its devices, every device by its keys. Devices it does not name belong
// to the main seat. JSON, written the same way for the same layout so that
// files can be kept in git and compared.
class LayoutFile
{
public:
    struct Device
    {
        // One key per sysfs path of the device: udev's ID_FOR_SEAT, or, for a
        // device without one, the sysfs path itself (beginning with "/sys/"),
        // which holds on this machine only.
        QStringList keys;
        int category = 0;
        QString name;    // for people: the name the trees show
        QString product; // for people: the hardware database's words
    };
    struct Seat
    {
        QString id;
        QString name;
        QList<Device> devices;
    };

    static const QString FormatName; // "zel-multiseat-layout"
    static const int Version = 1;
    // Far beyond a layout of any real machine: a bigger file is not one.
    static const qint64 SizeLimit = 1024 * 1024;

    QList<Seat> seats;

    // The further seats of layout with their devices; productOf names a
    // device's hardware by its addresses.
    static LayoutFile of(const SeatLayout &layout,
                         const std::function<QString(const QStringList &)> &productOf = {});

    QByteArray toJson() const;
    // Strict: nothing is taken from a file with any fault, and *error names
    // the field and what is wrong with it.
    static bool fromJson(const QByteArray &data, LayoutFile *file, QString *error);

    // Written whole or not at all.
    bool save(const QString &path, QString *error) const;
    static bool load(const QString &path, LayoutFile *file, QString *error);

    // Whether a key is a sysfs path rather than an ID_FOR_SEAT.
    static bool isPathKey(const QString &key) { return key.startsWith(QLatin1Char('/')); }
    static QString categoryName(int category);
};
