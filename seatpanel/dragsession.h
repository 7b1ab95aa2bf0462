// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QString>
#include <QStringList>

class DevTreeWidget;

// The device drag that one of the program's trees runs. A drop is taken only
// from such a drag, and only with the very device it carries: any X client
// on the display can drop data of the device type onto a tree, and a payload
// that names paths of its own choosing would be attached on the next save.
class DragSession
{
public:
    DragSession(DevTreeWidget *source, const QString &name, const QStringList &addresses, int type);
    ~DragSession();
    DragSession(const DragSession &) = delete;
    DragSession &operator=(const DragSession &) = delete;

    // The drag running now, or null.
    static const DragSession *current();

    DevTreeWidget *source() const { return m_source; }
    // The dragged item in its source tree. Once it is gone (the trees were
    // filled anew), no drop takes the device: the source could not give it
    // up, and the device would be shown twice.
    void setItem(const QPersistentModelIndex &item)
    {
        m_item = item;
        m_itemSet = true;
    }
    // The dragged item has left its tree; the drag no longer stands for it.
    void end();
    // Whether a drop of these values onto target comes from this drag.
    bool carries(const DevTreeWidget *target, const QString &name, const QStringList &addresses,
                 int type) const;

private:
    QPointer<DevTreeWidget> m_source;
    QPersistentModelIndex m_item;
    bool m_itemSet = false;
    QString m_name;
    QStringList m_addresses;
    int m_type;
    bool m_ended = false;
    DragSession *m_outer;
};
