// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

// The changes made outside the tool since the window last read the seats,
// one per device in the order they first came, and what the bar says of
// them. A device's parts (the interfaces of one keyboard) share a key and
// make one change; its latest change is the one told.
class OutsideChangeList
{
    Q_DECLARE_TR_FUNCTIONS(OutsideChangeList)
public:
    enum class Kind
    {
        Connected,
        Disconnected,
        Moved,
    };

    // name: the device as the window names it; seat: where it went (Moved).
    void add(const QString &key, const QString &name, Kind kind, const QString &seat = {});
    bool isEmpty() const { return m_changes.isEmpty(); }
    int size() const { return m_changes.size(); }
    void clear() { m_changes.clear(); }
    // Where the list stands now; dropUpTo() forgets what came until then.
    quint64 mark() const { return m_serial; }
    void dropUpTo(quint64 mark);

    // One change told whole; several counted, the list left to details().
    QString summary() const;
    // A line per change, at most MaxDetailLines and a count of the rest.
    QString details() const;

    static constexpr int MaxDetailLines = 20;

private:
    struct Change
    {
        QString key;
        QString name;
        Kind kind;
        QString seat;
        quint64 serial;
    };

    static QString describe(const Change &change);

    QList<Change> m_changes;
    quint64 m_serial = 0;
};
