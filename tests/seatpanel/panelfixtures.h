// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "seatpanel/devtreewidget.h"

#include <QIcon>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTreeWidgetItem>

#include <memory>

// Device trees as the forms set them up, filled with made-up devices.
namespace PanelFixtures {

inline std::unique_ptr<DevTreeWidget> makeTree()
{
    auto tree = std::make_unique<DevTreeWidget>();
    tree->setDragEnabled(true);
    tree->setDragDropMode(QAbstractItemView::DragDrop);
    tree->setDefaultDropAction(Qt::MoveAction);
    tree->addCategories();
    return tree;
}

inline QString deviceName(int type, int i)
{
    static const char *const prefixes[] = {"card", "kbd", "mouse", "usb"};
    return QString::fromLatin1(prefixes[type]) + QString::number(i);
}

inline QString devicePath(int type, int i)
{
    return QStringLiteral("/sys/devices/pci0000:00/") + deviceName(type, i);
}

// counts per category 0..3; device i of type t is named deviceName(t, i).
inline void fill(DevTreeWidget *tree, int cards, int keyboards, int mice, int others)
{
    const int counts[] = {cards, keyboards, mice, others};
    for (int type = 0; type < 4; ++type) {
        for (int i = 0; i < counts[type]; ++i)
            tree->addDevice(deviceName(type, i), QStringList{devicePath(type, i)}, type);
    }
}

inline QString videocardIcon(const DevTreeWidget *tree)
{
    return tree->category(0)->icon(0).name();
}

inline QTreeWidgetItem *device(const DevTreeWidget *tree, int type, int i)
{
    return tree->category(type) ? tree->category(type)->child(i) : nullptr;
}

// The four category rows as every device tree has them: text, theme icon,
// flags (enabled and drop-enabled only) and expanded.
inline void checkCategoryRows(const DevTreeWidget *tree)
{
    const QStringList texts{"Videocard", "Keyboard", "Mouse", "Unrecognized devices"};
    const QStringList icons{"video-display", "input-keyboard", "input-mouse",
                            "drive-removable-media"};
    QCOMPARE(tree->topLevelItemCount(), 4);
    for (int c = 0; c < 4; ++c) {
        QCOMPARE(tree->category(c)->text(0), texts[c]);
        QCOMPARE(tree->category(c)->icon(0).name(), icons[c]);
        QCOMPARE(int(tree->category(c)->flags()), 40);
        QVERIFY(tree->category(c)->isExpanded());
    }
}

} // namespace PanelFixtures
