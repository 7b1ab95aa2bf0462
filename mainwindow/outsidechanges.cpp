// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow/outsidechanges.h"

#include "hardware/hotplugmonitor.h"
#include "platform/plaintext.h"
#include "platform/prompt.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/dragsession.h"

#include <KMessageWidget>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QToolBar>

namespace {

bool isAtOrBelow(const QString &path, const QString &top)
{
    return path == top || path.startsWith(top + QLatin1Char('/'));
}

} // namespace

OutsideChanges::OutsideChanges(HotplugSource *source, QMainWindow *window, QAction *reload)
    : QObject(window), m_bar(new KMessageWidget), m_details(new QAction(this))
{
    m_bar->setObjectName(QStringLiteral("outsideChangeBar"));
    m_bar->setMessageType(KMessageWidget::Information);
    m_bar->setWordWrap(true);
    // The message names devices and seats.
    for (QLabel *label : m_bar->findChildren<QLabel *>())
        PlainText::apply(label);
    m_bar->setCloseButtonVisible(true);
    // Reload hides the bar only once the seats are read again (clear()): a
    // reload answered No leaves the devices as the bar tells of them.
    m_bar->addAction(reload);
    m_details->setObjectName(QStringLiteral("outsideChangeDetailsAction"));
    m_details->setText(tr("Details"));
    // A list in the bar itself would push the seats down by a line a device.
    connect(m_details, &QAction::triggered, this, [this, window] {
        Prompt::information(window, tr("Changes outside this tool"), m_changes.details());
    });
    m_bar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);

    // A row of its own under the tool bar, shown only with a message.
    auto *row = new QToolBar(window);
    row->setObjectName(QStringLiteral("outsideChangeToolBar"));
    row->setMovable(false);
    row->setFloatable(false);
    row->toggleViewAction()->setVisible(false);
    row->addWidget(m_bar);
    window->addToolBarBreak(Qt::TopToolBarArea);
    window->addToolBar(Qt::TopToolBarArea, row);
    row->setVisible(false);
    connect(m_bar, &KMessageWidget::showAnimationFinished, row, &QWidget::show);
    connect(m_bar, &KMessageWidget::hideAnimationFinished, row, &QWidget::hide);

    // A child, so that a test can wait for it to fire.
    m_debounce.setParent(this);
    m_debounce.setObjectName(QStringLiteral("outsideChangeDelay"));
    m_debounce.setSingleShot(true);
    m_debounce.setInterval(1000);
    connect(&m_debounce, &QTimer::timeout, this, &OutsideChanges::settle);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    now = [clock] { return clock->elapsed(); };
    if (source)
        connect(source, &HotplugSource::seatDeviceChanged, this, &OutsideChanges::onChange);
}

void OutsideChanges::setBusy(bool busy)
{
    m_busy = busy;
    if (busy)
        m_debounce.stop();
    else if (m_pending && !m_debounce.isActive())
        m_debounce.start();
}

void OutsideChanges::ownChangesStarted(const QStringList &paths)
{
    m_ownPaths = paths;
    m_ownRunning = true;
    m_ownMark = m_changes.mark();
}

void OutsideChanges::ownChangesEnded(bool saved)
{
    m_ownRunning = false;
    m_ownUntil = now() + OwnEchoMs;
    if (!saved)
        return;
    m_changes.dropUpTo(m_ownMark);
    if (m_changes.isEmpty())
        m_bar->animatedHide();
    else
        updateBar();
}

void OutsideChanges::clear()
{
    m_pending = false;
    m_debounce.stop();
    m_changes.clear();
    if (m_bar->isVisible())
        m_bar->animatedHide();
}

void OutsideChanges::dragEnded()
{
    // The tree that ran the drag is still inside its mouse press: a reading
    // must not delete it there.
    if (m_pending && !m_busy)
        QTimer::singleShot(0, this, &OutsideChanges::settle);
}

// Attaching makes udev report a change of each attached device and of what
// lies below it; it never adds or removes one.
bool OutsideChanges::isOwn(const QString &action, const QString &syspath) const
{
    if (action == QLatin1String("add") || action == QLatin1String("remove"))
        return false;
    if (!m_ownRunning && now() >= m_ownUntil)
        return false;
    for (const QString &path : m_ownPaths) {
        if (isAtOrBelow(syspath, path))
            return true;
    }
    return false;
}

void OutsideChanges::onChange(const QString &action, const QString &syspath, const QString &seat)
{
    if (isOwn(action, syspath))
        return;
    const Shown where = shown ? shown(syspath) : Shown();
    const QString name = !where.name.isEmpty() ? where.name : nameOf ? nameOf(syspath) : syspath;
    const QString key = where.key.isEmpty() ? syspath : where.key;
    if (action == QLatin1String("add")) {
        m_changes.add(key, name, OutsideChangeList::Kind::Connected);
    } else if (action == QLatin1String("remove")) {
        m_changes.add(key, name, OutsideChangeList::Kind::Disconnected);
    } else {
        // Other changes matter only for a device shown on another seat now.
        const QString current = seat.isEmpty() ? QStringLiteral("seat0") : seat;
        if (where.seat.isEmpty() || where.seat == current)
            return;
        m_changes.add(key, name, OutsideChangeList::Kind::Moved, current);
    }
    m_pending = true;
    // While the tool reads or attaches, the change may come too late for
    // what it does: it is looked at again once that is done.
    if (m_busy)
        return;
    if (hasUnsavedChanges && hasUnsavedChanges())
        showBar();
    else if (!m_debounce.isActive())
        m_debounce.start();
}

void OutsideChanges::showBar()
{
    m_pending = false;
    updateBar();
    if (!m_bar->isVisible()) {
        m_bar->parentWidget()->show();
        m_bar->animatedShow();
    }
}

void OutsideChanges::updateBar()
{
    const bool several = m_changes.size() > 1;
    if (several && !m_bar->actions().contains(m_details))
        m_bar->addAction(m_details);
    else if (!several && m_bar->actions().contains(m_details))
        m_bar->removeAction(m_details);
    m_bar->setText(m_changes.summary());
    m_bar->setToolTip(several ? PlainText::toolTip(m_changes.details()) : QString());
}

void OutsideChanges::settle()
{
    if (m_busy || !m_pending)
        return;
    // A reading would pull the panels from under an open question, dialog
    // or menu, and the trees from under a drag: wait until it is over.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget() ||
        DragSession::current()) {
        m_debounce.start();
        return;
    }
    // Changes made meanwhile are not thrown away by a reading.
    if (hasUnsavedChanges && hasUnsavedChanges()) {
        showBar();
        return;
    }
    m_pending = false;
    emit reloadWanted();
}
