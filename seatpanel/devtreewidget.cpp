// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "seatpanel/devtreewidget.h"

#include "core/constants.h"
#include "platform/plaintext.h"
#include "platform/themeicons.h"
#include "seatpanel/devicepayload.h"
#include "seatpanel/dragsession.h"
#include "seatstate/seatstatus.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QIcon>
#include <QMimeData>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QPointer>

DevTreeWidget::DevTreeWidget(QWidget *parent) : QTreeWidget(parent)
{
    qRegisterMetaType<DropState>("DropState");
    setSelectionMode(QAbstractItemView::SingleSelection);
}

DevTreeWidget::~DevTreeWidget() = default;

QString DevTreeWidget::categoryIconName(int category)
{
    switch (category) {
    case VideocardCategory:
        return QStringLiteral("video-display");
    case KeyboardCategory:
        return QStringLiteral("input-keyboard");
    case MouseCategory:
        return QStringLiteral("input-mouse");
    case UnrecognizedCategory:
        return QStringLiteral("drive-removable-media");
    default:
        return QString();
    }
}

void DevTreeWidget::addCategories()
{
    const QString texts[DeviceCategoryCount] = {tr("Videocard"), tr("Keyboard"), tr("Mouse"),
                                                tr("Unrecognized devices")};
    for (int i = 0; i < DeviceCategoryCount; ++i) {
        auto *row = new QTreeWidgetItem(this);
        row->setText(0, texts[i]);
    }
    initCategories();
}

void DevTreeWidget::initCategories()
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = topLevelItem(i);
        row->setFlags(CategoryItemFlags);
        row->setExpanded(true);
        row->setIcon(0, ThemeIcons::icon(categoryIconName(i)));
    }
}

QTreeWidgetItem *DevTreeWidget::category(int index) const
{
    return topLevelItem(index); // null outside 0..count-1
}

QTreeWidgetItem *DevTreeWidget::addDevice(const QVariant &name, const QVariant &addresses,
                                          const QVariant &type)
{
    bool isNumber = false;
    const int index = type.toInt(&isNumber);
    QTreeWidgetItem *parent = isNumber ? category(index) : nullptr;
    if (!parent || index >= DeviceCategoryCount)
        return nullptr;
    auto *item = new QTreeWidgetItem(parent);
    item->setData(0, Qt::DisplayRole, name.toString());
    item->setData(0, AddressRole, addresses.toStringList());
    item->setData(0, TypeRole, index);
    item->setFlags(DeviceItemFlags);
    if (m_describe)
        item->setToolTip(0,
                         PlainText::toolTip(m_describe(item->data(0, AddressRole).toStringList())));
    return item;
}

void DevTreeWidget::markMoved(const std::function<QString(const QStringList &)> &movedNote)
{
    for (int c = 0; c < topLevelItemCount(); ++c) {
        QTreeWidgetItem *row = topLevelItem(c);
        for (int i = 0; i < row->childCount(); ++i) {
            QTreeWidgetItem *item = row->child(i);
            const QStringList addresses = item->data(0, AddressRole).toStringList();
            const QString note = movedNote(addresses);
            if (note == item->data(0, MovedRole).toString())
                continue;
            item->setData(0, MovedRole, note);
            QFont font = item->font(0);
            font.setItalic(!note.isEmpty());
            item->setFont(0, font);
            const QString described = m_describe ? m_describe(addresses) : QString();
            item->setToolTip(0, PlainText::toolTip(note.isEmpty() || described.isEmpty()
                                                       ? note + described
                                                       : note + QLatin1Char('\n') + described));
        }
    }
}

void DevTreeWidget::addDevices(const QList<DeviceItem> &devices)
{
    for (const DeviceItem &device : devices)
        addDevice(device.name, device.addresses, device.category);
}

int DevTreeWidget::childCountOf(int index) const
{
    const QTreeWidgetItem *row = category(index);
    return row ? row->childCount() : 0;
}

bool DevTreeWidget::hasVideocard() const
{
    return childCountOf(VideocardCategory) > 0;
}

bool DevTreeWidget::hasKeyboardAndMouse() const
{
    return childCountOf(KeyboardCategory) > 0 && childCountOf(MouseCategory) > 0;
}

bool DevTreeWidget::hasKeyboardOrMouse() const
{
    return childCountOf(KeyboardCategory) > 0 || childCountOf(MouseCategory) > 0;
}

bool DevTreeWidget::hasInputDevices(bool includeUnrec) const
{
    if (!category(UnrecognizedCategory))
        return false;
    return hasKeyboardOrMouse() || (includeUnrec && childCountOf(UnrecognizedCategory) > 0);
}

void DevTreeWidget::updateState(DropState dropstate, bool includeUnrec)
{
    if (topLevelItemCount() < DeviceCategoryCount)
        return;
    if (!mayHoldPendingDevice())
        dropstate = NoDrop;

    int others = childCountOf(KeyboardCategory) + childCountOf(MouseCategory);
    if (includeUnrec)
        others += childCountOf(UnrecognizedCategory);
    int videocards = childCountOf(VideocardCategory);
    if (dropstate == OtherDeviceDropped)
        --others;
    else if (dropstate == VideocardDropped)
        --videocards;

    emit showLabel(videocards <= 0 && others <= 0);
    const bool warn = videocards <= 0 && others > 0;
    category(VideocardCategory)
        ->setIcon(0, ThemeIcons::icon(warn ? QStringLiteral("dialog-warning")
                                           : QStringLiteral("video-display")));
}

void DevTreeWidget::setUnrecognizedVisible(bool show)
{
    if (QTreeWidgetItem *row = category(UnrecognizedCategory))
        row->setHidden(!show);
}

QStringList DevTreeWidget::videocardNames() const
{
    QStringList names;
    if (const QTreeWidgetItem *row = category(VideocardCategory)) {
        for (int i = 0; i < row->childCount(); ++i)
            names.append(row->child(i)->data(0, Qt::DisplayRole).toString());
    }
    return names;
}

QStringList DevTreeWidget::deviceAddresses(bool includeUnrec) const
{
    QStringList addresses;
    const int last = includeUnrec ? UnrecognizedCategory : MouseCategory;
    for (int c = VideocardCategory; c <= last; ++c) {
        const QTreeWidgetItem *row = category(c);
        if (!row)
            continue;
        for (int i = 0; i < row->childCount(); ++i)
            addresses += row->child(i)->data(0, AddressRole).toStringList();
    }
    return addresses;
}

QTreeWidgetItem *DevTreeWidget::findDevice(int category, const QString &name) const
{
    const QTreeWidgetItem *row = this->category(category);
    for (int i = 0; row && i < row->childCount(); ++i) {
        if (row->child(i)->text(0) == name)
            return row->child(i);
    }
    return nullptr;
}

QList<DeviceItem> DevTreeWidget::devices() const
{
    QList<DeviceItem> items;
    for (int c = 0; c < topLevelItemCount(); ++c) {
        const QTreeWidgetItem *row = topLevelItem(c);
        for (int i = 0; i < row->childCount(); ++i) {
            const QTreeWidgetItem *device = row->child(i);
            items.append({device->text(0), device->data(0, AddressRole).toStringList(),
                          device->data(0, TypeRole).toInt()});
        }
    }
    return items;
}

QHash<QString, QString> DevTreeWidget::deviceNames() const
{
    QHash<QString, QString> names;
    for (int c = 0; c < topLevelItemCount(); ++c) {
        const QTreeWidgetItem *row = topLevelItem(c);
        for (int i = 0; i < row->childCount(); ++i) {
            const QTreeWidgetItem *device = row->child(i);
            const QStringList addresses = device->data(0, AddressRole).toStringList();
            for (const QString &address : addresses)
                names.insert(address, device->text(0));
        }
    }
    return names;
}

bool DevTreeWidget::mayHoldPendingDevice() const
{
    const DragSession *drag = DragSession::current();
    return !drag || drag->source() == this;
}

void DevTreeWidget::mousePressEvent(QMouseEvent *event)
{
    QTreeWidgetItem *item = itemAt(event->pos());
    if (item && (item->flags() & Qt::ItemIsSelectable)) {
        QPointer<DevTreeWidget> self(this);
        const bool kept = dragDevice(item);
        if (!self)
            return;
        // Once the drag took the device away, the press would only select
        // whatever row has moved up under the cursor.
        if (!kept)
            return;
    }
    QTreeWidget::mousePressEvent(event);
}

bool DevTreeWidget::dragDevice(QTreeWidgetItem *item)
{
    // The drop handlers of the target run inside exec() and may change this
    // tree; the persistent index tells whether the item is still there.
    const QPersistentModelIndex index(indexFromItem(item));
    const DropState leaving = item->data(0, TypeRole).toInt() == VideocardCategory
                                  ? VideocardDropped
                                  : OtherDeviceDropped;

    auto *drag = new QDrag(this);
    drag->setMimeData(DevicePayload::createMimeData(
        item->data(0, Qt::DisplayRole), item->data(0, AddressRole), item->data(0, TypeRole)));

    QPointer<DevTreeWidget> self(this);
    DragSession session(this, item->data(0, Qt::DisplayRole).toString(),
                        item->data(0, AddressRole).toStringList(), item->data(0, TypeRole).toInt());
    session.setItem(index);
    const Qt::DropAction action = drag->exec(Qt::MoveAction);
    if (!self)
        return false;
    if (action != Qt::IgnoreAction && itemFromIndex(index)) {
        // Still the drag source here, so that the refresh discounts the item.
        emit dragAccepted(leaving);
        if (!self)
            return false;
        session.end();
        delete itemFromIndex(index);
        emit dragFinished();
        if (!self)
            return false;
    }
    emit dragEnded();
    return action == Qt::IgnoreAction;
}

bool DevTreeWidget::isOwnDrag(const QDropEvent *event, DevicePayload *payload) const
{
    const DragSession *drag = DragSession::current();
    return drag && DevicePayload::decode(event->mimeData(), payload) &&
           drag->carries(this, payload->name.toString(), payload->addresses.toStringList(),
                         payload->type.toInt());
}

void DevTreeWidget::acceptOrRefuse(QDragMoveEvent *event)
{
    if (!event->mimeData()->hasFormat(Constants::DeviceMimeType)) {
        event->ignore();
        return;
    }
    const DragSession *drag = DragSession::current();
    if (drag && drag->source() == this) {
        event->setDropAction(Qt::IgnoreAction);
        event->accept();
        return;
    }
    // Another program's drag is refused here already, so that nothing shows.
    DevicePayload payload;
    if (!isOwnDrag(event, &payload)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void DevTreeWidget::dragEnterEvent(QDragEnterEvent *event)
{
    acceptOrRefuse(event);
}

void DevTreeWidget::dragMoveEvent(QDragMoveEvent *event)
{
    acceptOrRefuse(event);
}

void DevTreeWidget::dropEvent(QDropEvent *event)
{
    const DragSession *drag = DragSession::current();
    if (drag && drag->source() == this) {
        event->setDropAction(Qt::IgnoreAction);
        event->accept();
        return;
    }
    // Refusing what cannot become a device here keeps the source from
    // deleting an item that nobody took over.
    DevicePayload payload;
    if (!isOwnDrag(event, &payload) || !category(payload.type.toInt())) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    emit deviceDropped(payload.name, payload.addresses, payload.type);
    event->accept();
}
