// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "seatstate/layoutfile.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The layouts as they were before the last saves and resets, newest first:
// the way back from a save that went wrong. Root's alone: the folder is
// made 0700 and refused when anyone else could change it.
class LayoutHistory
{
public:
    static const QString Dir; // "/var/lib/zel-admin-multiseat/layouts"
    static const int Kept = 10;

    struct Entry
    {
        QString path;
        QDateTime when;
        LayoutFile file;
    };

    explicit LayoutHistory(const QString &dir = Dir) : m_dir(dir) {}

    // Writes file as the layout of when, whole or not at all; the oldest
    // beyond Kept go.
    bool keep(const LayoutFile &file, const QDateTime &when, QString *error);
    // The layouts kept, newest first; files that are no layout are skipped.
    QList<Entry> entries() const;

private:
    bool ensureDir(QString *error) const;
    QStringList names() const;

    QString m_dir;
};
