// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow/outsidechangelist.h"

#include <QStringList>

void OutsideChangeList::add(const QString &key, const QString &name, Kind kind, const QString &seat)
{
    ++m_serial;
    for (Change &change : m_changes) {
        if (change.key == key) {
            change = {key, name, kind, seat, m_serial};
            return;
        }
    }
    m_changes.append({key, name, kind, seat, m_serial});
}

void OutsideChangeList::dropUpTo(quint64 mark)
{
    for (int i = m_changes.size() - 1; i >= 0; --i) {
        if (m_changes.at(i).serial <= mark)
            m_changes.removeAt(i);
    }
}

QString OutsideChangeList::describe(const Change &change)
{
    switch (change.kind) {
    case Kind::Connected:
        return tr("%1 was connected.").arg(change.name);
    case Kind::Disconnected:
        return tr("%1 was disconnected.").arg(change.name);
    case Kind::Moved:
        return tr("%1 was moved to %2 outside this tool.").arg(change.name, change.seat);
    }
    return QString();
}

QString OutsideChangeList::summary() const
{
    if (m_changes.isEmpty())
        return QString();
    const QString what = m_changes.size() == 1 ? describe(m_changes.first())
                                               : tr("%n devices changed outside this tool.",
                                                    nullptr, m_changes.size());
    return what + QLatin1Char(' ') + tr("Reload to see the devices as they are now.");
}

QString OutsideChangeList::details() const
{
    QStringList lines;
    for (const Change &change : m_changes.mid(0, MaxDetailLines))
        lines << describe(change);
    if (m_changes.size() > MaxDetailLines)
        lines << tr("(and %n more)", nullptr, m_changes.size() - MaxDetailLines);
    return lines.join(QLatin1Char('\n'));
}
