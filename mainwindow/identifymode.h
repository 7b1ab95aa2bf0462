// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "hardware/inputwatcher.h"
#include "hardware/keyboardlights.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

class DevTreeWidget;
class QTreeWidgetItem;
class QWidget;

// One seat's device tree as the window shows it.
struct SeatTree
{
    QString seatId;
    DevTreeWidget *tree = nullptr;
    QWidget *panel = nullptr; // the seat's panel, or null for the main seat
};

// Finding a device by using it: while the mode is on, a key pressed, a button
// clicked or a mouse moved on a keyboard or mouse of any seat brings its
// panel into view, lights its item up for a second and names it in the
// status line; a keyboard's item is also selected. And the other way round: a
// keyboard's lock lights blink on request.
class IdentifyMode : public QObject
{
    Q_OBJECT
public:
    IdentifyMode(const QString &sysRoot, const QString &devRoot, QObject *parent = nullptr);

    // What the window shows and how it brings a panel into view.
    std::function<QList<SeatTree>()> seatTrees;
    std::function<void(QWidget *panel)> showPanel;

    void setActive(bool on);
    bool isActive() const { return m_active; }
    // The trees were filled anew: watch the keyboards and mice they hold now.
    void refresh();
    // Blinks the lights of the keyboard with these paths.
    void blink(const QStringList &addresses);

    InputWatcher &watcher() { return m_watcher; }
    KeyboardLights &lights() { return m_lights; }

signals:
    void status(QString text);

private:
    struct Found
    {
        SeatTree seat;
        QTreeWidgetItem *item = nullptr;
    };

    Found find(const QStringList &addresses) const;
    void onActivity(const QStringList &addresses, InputWatcher::Activity activity);
    void onUnreadable(const QStringList &addresses, const QString &node, const QString &reason);
    void endHighlight();
    void tellNothingWatched();

    InputWatcher m_watcher;
    KeyboardLights m_lights;
    bool m_active = false;
    QStringList m_unreadable; // of the last refresh
    QTimer m_highlight;
    QStringList m_highlighted;
};
