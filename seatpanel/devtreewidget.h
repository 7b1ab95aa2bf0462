// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "seatpanel/devicepayload.h"
#include "seatpanel/dropstate.h"
#include "seatstate/seatreader.h"

#include <QHash>
#include <QStringList>
#include <QTreeWidget>
#include <QVariant>
#include <functional>

// The device tree of one seat: four category rows (index = DeviceCategory)
// with the devices as their children. Devices move between trees by drag and
// drop: the press on a device starts the drag, the receiving tree reports the
// device with deviceDropped and its owner creates the new item, and the source
// deletes its own item only once the drag has ended with an accepted drop.
class DevTreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    static constexpr int AddressRole = Qt::UserRole;  // QStringList of sysfs paths
    static constexpr int TypeRole = Qt::UserRole + 1; // DeviceCategory as int
    // Where an item was before an unsaved move ("Moved from seat0; not saved
    // yet"); empty for one on its seat.
    static constexpr int MovedRole = Qt::UserRole + 2;
    static constexpr Qt::ItemFlags DeviceItemFlags = // 173
        Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled | Qt::ItemIsEnabled |
        Qt::ItemNeverHasChildren;
    static constexpr Qt::ItemFlags CategoryItemFlags = // 40
        Qt::ItemIsEnabled | Qt::ItemIsDropEnabled;

    explicit DevTreeWidget(QWidget *parent = nullptr);
    ~DevTreeWidget() override;

    // Theme icon name of a category row ("video-display", "input-keyboard",
    // "input-mouse", "drive-removable-media"); empty for other numbers.
    static QString categoryIconName(int category);
    // Appends the four category rows with their translated texts and theme
    // icons, for trees built without a form that declares them.
    void addCategories();
    // Gives every category row exactly CategoryItemFlags and its icon, and
    // expands it.
    void initCategories();

    // The category row of that index, or null when the tree has none.
    QTreeWidgetItem *category(int index) const;

    // The one routine that creates device items: a child of the category given
    // by type, with name, address list and type set in this order, then the
    // device flags. Returns null (and creates nothing) when the type names no
    // category of this tree.
    QTreeWidgetItem *addDevice(const QVariant &name, const QVariant &addresses,
                               const QVariant &type);

    // addDevice() for each, in order.
    void addDevices(const QList<DeviceItem> &devices);
    // What a device item's tool tip says, from its addresses; set by the
    // tree's owner, applied to every item the tree creates from then on.
    void setToolTips(std::function<QString(const QStringList &addresses)> describe)
    {
        m_describe = std::move(describe);
    }

    // Marks the devices that an unsaved move put here: in italics, their tool
    // tip led by movedNote's words for their addresses (empty: not moved).
    void markMoved(const std::function<QString(const QStringList &addresses)> &movedNote);

    bool hasVideocard() const;
    bool hasKeyboardAndMouse() const;
    bool hasKeyboardOrMouse() const;
    bool hasInputDevices(bool includeUnrec) const;

    // Refreshes the deletion mark (showLabel) and the warning icon of the
    // "Videocard" row. dropstate names a device of this tree that is about to
    // leave and must not be counted any more; it is disregarded while a drag
    // started by another tree runs, since the device is then not this tree's.
    void updateState(DropState dropstate, bool includeUnrec);

    void setUnrecognizedVisible(bool show);
    QStringList videocardNames() const;
    QStringList deviceAddresses(bool includeUnrec) const;
    // The first device of that category with that display name, or null.
    QTreeWidgetItem *findDevice(int category, const QString &name) const;
    // Every device of the tree, in tree order.
    QList<DeviceItem> devices() const;
    // The display name of every address the tree holds.
    QHash<QString, QString> deviceNames() const;

    // False while a drag started by another tree runs: a pending device can
    // then not be one of this tree's, whatever a caller asks to discount.
    bool mayHoldPendingDevice() const;

signals:
    void deviceDropped(QVariant name, QVariant address, QVariant type);
    void showLabel(bool show);
    // A drag from this tree was accepted elsewhere; the dragged item is still
    // in place and about to be deleted.
    void dragAccepted(DropState dropstate);
    // The dragged item has been deleted after an accepted drag.
    void dragFinished();
    // A drag from this tree is over, whatever became of it.
    void dragEnded();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    int childCountOf(int index) const;
    void acceptOrRefuse(QDragMoveEvent *event);
    // Runs the drag of a device; false when the item has left this tree.
    bool dragDevice(QTreeWidgetItem *item);

    // A drag of the program's own trees, carrying exactly what it offers.
    bool isOwnDrag(const QDropEvent *event, DevicePayload *payload) const;

    std::function<QString(const QStringList &)> m_describe;
};
