// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow/identifymode.h"

#include "core/appsettings.h"
#include "seatpanel/devtreewidget.h"
#include "seatstate/seatstatus.h"

#include <QBrush>
#include <QFont>
#include <QPalette>
#include <QTreeWidgetItem>

IdentifyMode::IdentifyMode(const QString &sysRoot, const QString &devRoot, QObject *parent)
    : QObject(parent), m_watcher(sysRoot, devRoot), m_lights(sysRoot)
{
    connect(&m_watcher, &InputWatcher::activity, this, &IdentifyMode::onActivity);
    connect(&m_watcher, &InputWatcher::unreadable, this, &IdentifyMode::onUnreadable);
    connect(&m_watcher, &InputWatcher::nothingLeft, this, &IdentifyMode::tellNothingWatched);
    connect(&m_lights, &KeyboardLights::finished, this, &IdentifyMode::status);
    m_highlight.setSingleShot(true);
    m_highlight.setInterval(1000);
    connect(&m_highlight, &QTimer::timeout, this, &IdentifyMode::endHighlight);
}

void IdentifyMode::setActive(bool on)
{
    if (on == m_active)
        return;
    m_active = on;
    if (!on) {
        m_watcher.stop();
        endHighlight();
        emit status(QString());
        return;
    }
    emit status(tr("Press a key or a mouse button, or move a mouse: its device is shown here."));
    refresh();
}

void IdentifyMode::refresh()
{
    if (!m_active || !seatTrees)
        return;
    QList<QStringList> devices;
    for (const SeatTree &seat : seatTrees()) {
        for (const DeviceItem &device : seat.tree->devices()) {
            if (device.category == KeyboardCategory || device.category == MouseCategory)
                devices.append(device.addresses);
        }
    }
    m_unreadable.clear();
    m_watcher.watch(devices);
    if (!m_unreadable.isEmpty()) {
        QString text = m_unreadable.first();
        if (m_unreadable.size() > 1)
            text += QLatin1Char(' ') + tr("(and %n more)", nullptr, m_unreadable.size() - 1);
        emit status(text);
    } else if (m_watcher.openNodes().isEmpty()) {
        tellNothingWatched();
    }
}

void IdentifyMode::tellNothingWatched()
{
    if (m_active)
        emit status(tr("Identify devices is on, but no keyboard or mouse is left to watch."));
}

IdentifyMode::Found IdentifyMode::find(const QStringList &addresses) const
{
    if (!seatTrees)
        return {};
    for (const SeatTree &seat : seatTrees()) {
        for (int category : {KeyboardCategory, MouseCategory}) {
            QTreeWidgetItem *row = seat.tree->category(category);
            for (int i = 0; row && i < row->childCount(); ++i) {
                QTreeWidgetItem *item = row->child(i);
                if (item->data(0, DevTreeWidget::AddressRole).toStringList() == addresses)
                    return {seat, item};
            }
        }
    }
    return {};
}

void IdentifyMode::onActivity(const QStringList &addresses, InputWatcher::Activity activity)
{
    const Found found = find(addresses);
    if (!found.item)
        return;
    endHighlight();
    DevTreeWidget *tree = found.seat.tree;
    // A keyboard found this way is selected, ready for a panel's arrow. A
    // mouse is only shown: the administrator's own mouse moves and clicks on
    // the way to that arrow and would take the selection away.
    if (found.item->data(0, DevTreeWidget::TypeRole).toInt() == KeyboardCategory) {
        tree->clearSelection();
        tree->setCurrentItem(found.item);
        found.item->setSelected(true);
    }
    tree->scrollToItem(found.item);
    if (found.seat.panel && showPanel)
        showPanel(found.seat.panel);
    // Not the selection's colours: a lit mouse is not selected. The tool
    // tip's colours are a pair meant to be read together, and bold tells
    // the item apart where they are close to the base.
    QFont bold = tree->font();
    bold.setBold(true);
    found.item->setFont(0, bold);
    found.item->setBackground(0, tree->palette().brush(QPalette::ToolTipBase));
    found.item->setForeground(0, tree->palette().brush(QPalette::ToolTipText));
    m_highlighted = addresses;
    m_highlight.start();

    const QString name = found.item->text(0);
    const QString seat = AppSettings::seatDisplayName(found.seat.seatId);
    switch (activity) {
    case InputWatcher::Activity::KeyPressed:
        emit status(tr("Key pressed on: %1 (%2)").arg(name, seat));
        break;
    case InputWatcher::Activity::ButtonPressed:
        emit status(tr("Button pressed on: %1 (%2)").arg(name, seat));
        break;
    case InputWatcher::Activity::Moved:
        emit status(tr("Moved: %1 (%2)").arg(name, seat));
        break;
    }
}

void IdentifyMode::onUnreadable(const QStringList &addresses, const QString &node,
                                const QString &reason)
{
    const Found found = find(addresses);
    const QString name = found.item ? found.item->text(0) : addresses.value(0);
    m_unreadable.append(tr("Cannot watch %1 (%2): %3").arg(name, node, reason));
}

void IdentifyMode::endHighlight()
{
    m_highlight.stop();
    if (m_highlighted.isEmpty())
        return;
    // The item may have moved to another tree meanwhile: it is looked up again.
    const Found found = find(m_highlighted);
    if (found.item) {
        found.item->setData(0, Qt::BackgroundRole, QVariant());
        found.item->setData(0, Qt::ForegroundRole, QVariant());
        found.item->setData(0, Qt::FontRole, QVariant());
    }
    m_highlighted.clear();
}

void IdentifyMode::blink(const QStringList &addresses)
{
    const Found found = find(addresses);
    const QString name = found.item ? found.item->text(0) : addresses.value(0);
    QString reason;
    if (!m_lights.blink(addresses, &reason)) {
        emit status(tr("%1: %2").arg(name, reason));
        return;
    }
    emit status(tr("Blinking the lights of %1.").arg(name));
}
