// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "startupprobe.h"

#include <QApplication>
#include <QMainWindow>
#include <QTreeWidget>
#include <QWindow>

#include <time.h>

namespace {

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace

StartupProbe::StartupProbe(QObject *parent)
    : QObject(parent), m_out(qEnvironmentVariable("ZEL_PROBE_OUT"))
{
    m_t0Ns = qEnvironmentVariable("ZEL_PROBE_T0_NS").toLongLong();
    if (!m_out.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &StartupProbe::sample);
    m_timer.start(1);
}

void StartupProbe::sample()
{
    int items = 0;
    bool exposed = false;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *widget : windows) {
        auto *window = qobject_cast<QMainWindow *>(widget);
        if (!window || !window->isVisible())
            continue;
        exposed = window->windowHandle() && window->windowHandle()->isExposed();
        const QList<QTreeWidget *> trees = window->findChildren<QTreeWidget *>();
        for (const QTreeWidget *tree : trees) {
            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                items += tree->topLevelItem(i)->childCount();
        }
    }
    if (items == m_items && exposed == m_exposed)
        return;
    m_items = items;
    m_exposed = exposed;
    const qint64 elapsedUs = (monotonicNs() - m_t0Ns) / 1000;
    m_out.write(QByteArray::number(elapsedUs) + ' ' + QByteArray::number(items) + ' ' +
                QByteArray::number(exposed ? 1 : 0) + '\n');
    m_out.flush();
}
