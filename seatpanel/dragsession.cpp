// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "seatpanel/dragsession.h"

#include "seatpanel/devtreewidget.h"

namespace {
DragSession *g_current = nullptr;
}

DragSession::DragSession(DevTreeWidget *source, const QString &name, const QStringList &addresses,
                         int type)
    : m_source(source), m_name(name), m_addresses(addresses), m_type(type), m_outer(g_current)
{
    g_current = this;
}

DragSession::~DragSession()
{
    g_current = m_outer;
}

const DragSession *DragSession::current()
{
    return g_current && !g_current->m_ended && g_current->m_source ? g_current : nullptr;
}

void DragSession::end()
{
    m_ended = true;
}

bool DragSession::carries(const DevTreeWidget *target, const QString &name,
                          const QStringList &addresses, int type) const
{
    return !m_ended && m_source && m_source != target && (!m_itemSet || m_item.isValid()) &&
           name == m_name && addresses == m_addresses && type == m_type;
}
