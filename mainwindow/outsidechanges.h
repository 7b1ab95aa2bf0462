// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mainwindow/outsidechangelist.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

class HotplugSource;
class KMessageWidget;
class QAction;
class QMainWindow;

// Devices appearing, disappearing or changing seat while the window is open,
// done by someone else. Without unsaved changes the window reads the seats
// again, at most once a second however many events come; with unsaved
// changes a message bar at the top of the window names the devices and
// offers to reload. What the tool does itself (a save, a reset) to the
// devices it attaches is not an outside change; a change that comes while
// the tool reads or attaches, or while a question, menu or drag is open, is
// dealt with once it is done.
class OutsideChanges : public QObject
{
    Q_OBJECT
public:
    // How long udev may still echo the tool's own attaches after they ended.
    static constexpr int OwnEchoMs = 3000;

    // Puts the bar into window, with reload as its action.
    OutsideChanges(HotplugSource *source, QMainWindow *window, QAction *reload);

    // The tool is changing or reading the devices itself.
    void setBusy(bool busy);
    // The tool attaches the devices at these paths: their changes are its
    // own until OwnEchoMs after ownChangesEnded().
    void ownChangesStarted(const QStringList &paths);
    // saved: the layout on screen is now the system's, so what the bar told
    // before the attaches began is no longer news.
    void ownChangesEnded(bool saved);
    // The seats are read again: nothing is left to tell.
    void clear();
    // A drag has ended: a reading it held back may come now.
    void dragEnded();
    // A change that still waits for a reading or the bar.
    bool isPending() const { return m_pending; }

    // What the window shows of a device: the seat (empty: not shown), the
    // item's name and a key shared by the paths of one item.
    struct Shown
    {
        QString seat;
        QString name;
        QString key;
    };
    std::function<bool()> hasUnsavedChanges;
    std::function<Shown(const QString &syspath)> shown;
    // The name of a device the window does not show.
    std::function<QString(const QString &syspath)> nameOf;
    // Milliseconds of a monotonic clock; tests set their own.
    std::function<qint64()> now;

    KMessageWidget *bar() const { return m_bar; }
    const OutsideChangeList &changes() const { return m_changes; }

signals:
    void reloadWanted();

private:
    void onChange(const QString &action, const QString &syspath, const QString &seat);
    bool isOwn(const QString &action, const QString &syspath) const;
    void settle();
    void showBar();
    void updateBar();

    KMessageWidget *m_bar;
    QAction *m_details;
    QTimer m_debounce;
    bool m_busy = false;
    bool m_pending = false; // a change not yet dealt with
    OutsideChangeList m_changes;
    QStringList m_ownPaths;
    bool m_ownRunning = false;
    qint64 m_ownUntil = 0;
    quint64 m_ownMark = 0;
};
