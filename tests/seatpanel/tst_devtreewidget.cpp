// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panelfixtures.h"

#include "common/testenv.h"
#include "common/testicontheme.h"
#include "core/constants.h"
#include "seatpanel/devicepayload.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/dragsession.h"

#include <QDataStream>
#include <QMimeData>
#include <QPolygon>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

using namespace PanelFixtures;

namespace {

QByteArray record(qint32 row, qint32 column, const QMap<int, QVariant> &roles)
{
    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    stream << row << column << roles;
    return data;
}

QMap<int, QVariant> keyboardRoles()
{
    return {{Qt::DisplayRole, QStringLiteral("AT keyboard")},
            {DevTreeWidget::AddressRole, QStringList{QStringLiteral("/sys/devices/kbd")}},
            {DevTreeWidget::TypeRole, 1}};
}

// Sends a drop of data to the tree's viewport at pos; returns whether the
// tree accepted it. The offscreen platform runs no real drag: a drag of the
// program's own trees is a DragSession around the events, and without one the
// drop comes from another program.
bool drop(DevTreeWidget *tree, QMimeData *data, const QPoint &pos, Qt::DropAction *action = nullptr)
{
    // The application delivers a drop only to the widget that accepted the
    // drag's enter event.
    QDragEnterEvent enter(pos, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tree->viewport(), &enter);
    if (!enter.isAccepted()) {
        // The drag then ends as ignored for its source.
        if (action)
            *action = Qt::IgnoreAction;
        return false;
    }
    QDropEvent event(pos, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tree->viewport(), &event);
    if (action)
        *action = event.dropAction();
    return event.isAccepted();
}

} // namespace

class TestDevTreeWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestEnv::init();
        QVERIFY(TestIconTheme::install());
    }

    void deviceItemsAreBuiltInOnePlace()
    {
        auto tree = makeTree();
        checkCategoryRows(tree.get());
        if (QTest::currentTestFailed())
            return;
        QTreeWidgetItem *it = tree->addDevice(
            QStringLiteral("USB Keyboard"), QStringList{QStringLiteral("/a"), QStringLiteral("/b")},
            QVariant(qlonglong(1)));
        QVERIFY(it);
        QCOMPARE(it->parent(), tree->category(1));
        QCOMPARE(int(it->flags()), 173);
        QCOMPARE(it->text(0), QStringLiteral("USB Keyboard"));
        QCOMPARE(it->data(0, DevTreeWidget::AddressRole),
                 QVariant(QStringList{QStringLiteral("/a"), QStringLiteral("/b")}));
        QCOMPARE(it->data(0, DevTreeWidget::TypeRole), QVariant(1));
        QVERIFY(it->icon(0).isNull());

        // A type that names no category creates nothing.
        for (const QVariant &bad : {QVariant(4), QVariant(-1), QVariant(QStringLiteral("mouse"))})
            QVERIFY(!tree->addDevice(QStringLiteral("x"), QStringList{QStringLiteral("/x")}, bad));
        QCOMPARE(tree->deviceAddresses(true), (QStringList{"/a", "/b"}));
    }

    void payloadIsTheItemModelEncoding_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<int>("type");
        QTest::newRow("card") << "[MASTER] drm:card1"
                              << QStringList{"/sys/devices/pci0000:00/0000:01:00.0/drm/card1"} << 0;
        QTest::newRow("grouped keyboard")
            << "USB Keyboard Consumer Control"
            << QStringList{"/sys/devices/usb1/1-3/1-3:1.1/input/input8",
                           "/sys/devices/usb1/1-3/1-3:1.0/input/input7"}
            << 1;
        QTest::newRow("non-latin name") << QString::fromUtf8("Мышь") << QStringList{"/m"} << 2;
    }

    void payloadIsTheItemModelEncoding()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, addresses);
        QFETCH(int, type);

        QStandardItemModel model(1, 1);
        auto *item = new QStandardItem;
        item->setData(name, Qt::DisplayRole);
        item->setData(addresses, DevTreeWidget::AddressRole);
        item->setData(type, DevTreeWidget::TypeRole);
        model.setItem(0, 0, item);
        std::unique_ptr<QMimeData> fromModel(model.mimeData({model.index(0, 0)}));
        QCOMPARE(DevicePayload::encode(name, addresses, type),
                 fromModel->data(Constants::DeviceMimeType));

        // Both decode to the same three values.
        std::unique_ptr<QMimeData> ours(DevicePayload::createMimeData(name, addresses, type));
        for (const QMimeData *data : {ours.get(), fromModel.get()}) {
            DevicePayload decoded;
            QVERIFY(DevicePayload::decode(data, &decoded));
            QCOMPARE(decoded.name.toString(), name);
            QCOMPARE(decoded.addresses.toStringList(), addresses);
            QCOMPARE(decoded.type.toInt(), type);
        }
    }

    void unusablePayloadsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QMap<int, QVariant> roles = keyboardRoles();
        QTest::newRow("no record") << QByteArray();
        QTest::newRow("two records") << record(0, 0, roles) + record(1, 0, roles);
        QTest::newRow("row 3") << record(3, 0, roles);
        QTest::newRow("negative row") << record(-7, 0, roles);
        QTest::newRow("huge column") << record(0, 1 << 30, roles);
        QTest::newRow("cut short") << record(0, 0, roles).left(20);
        roles[DevTreeWidget::TypeRole] = 4;
        QTest::newRow("type 4") << record(0, 0, roles);
        roles[DevTreeWidget::TypeRole] = QStringLiteral("keyboard");
        QTest::newRow("type not a number") << record(0, 0, roles);
        roles = keyboardRoles();
        roles[DevTreeWidget::AddressRole] = QStringList();
        QTest::newRow("no address") << record(0, 0, roles);
        roles.remove(DevTreeWidget::AddressRole);
        roles.remove(DevTreeWidget::TypeRole);
        QTest::newRow("plain list item") << record(0, 0, roles);

        // What crashed Qt's generic decoder: a list that claims more elements
        // than memory holds, a type Qt's reader mishandles, a list nested
        // until the stack runs out, a string longer than the data.
        QByteArray huge;
        {
            QDataStream out(&huge, QIODevice::WriteOnly);
            out << qint32(0) << qint32(0) << quint32(3) << qint32(DevTreeWidget::TypeRole)
                << quint32(QMetaType::Int) << qint8(0) << qint32(1)
                << qint32(DevTreeWidget::AddressRole) << quint32(QMetaType::QStringList) << qint8(0)
                << quint32(0x7fffffff);
        }
        QTest::newRow("list count beyond memory") << huge;
        roles = keyboardRoles();
        roles[DevTreeWidget::AddressRole] = QVariant::fromValue(QPolygon({QPoint(1, 2)}));
        QTest::newRow("a polygon for the addresses") << record(0, 0, roles);
        QVariant nested = QVariantList{QStringLiteral("/sys/x")};
        for (int i = 0; i < 200; ++i)
            nested = QVariantList{nested};
        roles = keyboardRoles();
        roles[Qt::DisplayRole] = nested;
        QTest::newRow("nested lists for the name") << record(0, 0, roles);
        QByteArray longString = record(0, 0, keyboardRoles());
        longString.chop(2 * QStringLiteral("AT keyboard").size() + 4);
        {
            QDataStream out(&longString, QIODevice::Append);
            out << quint32(0x7ffffffe);
        }
        QTest::newRow("a string longer than the data") << longString;
        roles = keyboardRoles();
        QStringList many;
        for (int i = 0; i < 65; ++i)
            many << QStringLiteral("/sys/x");
        roles[DevTreeWidget::AddressRole] = many;
        QTest::newRow("more addresses than a device has") << record(0, 0, roles);
        roles = keyboardRoles();
        roles[Qt::DisplayRole] = QString(4097, 'n');
        QTest::newRow("a name too long") << record(0, 0, roles);
        roles = keyboardRoles();
        roles[Qt::ToolTipRole] = QStringLiteral("extra");
        QTest::newRow("a fourth role") << record(0, 0, roles);
        QTest::newRow("bytes after the record") << record(0, 0, keyboardRoles()) + "x";
    }

    // The limits themselves still decode.
    void largestPayloadDecodes()
    {
        const QString name(DevicePayload::MaxTextLength, 'n');
        QStringList addresses;
        for (int i = 0; i < DevicePayload::MaxAddresses; ++i)
            addresses << QString(DevicePayload::MaxTextLength, 'a');
        DevicePayload decoded;
        QVERIFY(DevicePayload::decode(DevicePayload::encode(name, addresses, 3), &decoded));
        QCOMPARE(decoded.name.toString(), name);
        QCOMPARE(decoded.addresses.toStringList(), addresses);
        QCOMPARE(decoded.type.toInt(), 3);
    }

    void unusablePayloadsAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QMimeData data;
        data.setData(Constants::DeviceMimeType, bytes);
        DevicePayload decoded;
        QVERIFY(!DevicePayload::decode(&data, &decoded));

        // A drop of it emits nothing and is not reported as taken over, so
        // the giver keeps its item.
        auto tree = makeTree();
        auto source = makeTree();
        DragSession session(source.get(), QStringLiteral("AT keyboard"),
                            {QStringLiteral("/sys/devices/kbd")}, 1);
        QSignalSpy dropped(tree.get(), &DevTreeWidget::deviceDropped);
        Qt::DropAction action = Qt::CopyAction;
        QVERIFY(!drop(tree.get(), &data, QPoint(5, 5), &action));
        QCOMPARE(action, Qt::IgnoreAction);
        QCOMPARE(dropped.count(), 0);
    }

    void dragEnterNeedsTheMimeType()
    {
        auto tree = makeTree();
        QMimeData text;
        text.setText(QStringLiteral("/sys/devices/kbd"));
        QDragEnterEvent refused(QPoint(5, 5), Qt::MoveAction, &text, Qt::LeftButton,
                                Qt::NoModifier);
        QCoreApplication::sendEvent(tree->viewport(), &refused);
        QVERIFY(!refused.isAccepted());

        QMimeData device;
        device.setData(Constants::DeviceMimeType, record(0, 0, keyboardRoles()));
        auto source = makeTree();
        DragSession session(source.get(), QStringLiteral("AT keyboard"),
                            {QStringLiteral("/sys/devices/kbd")}, 1);
        QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, &device, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(tree->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::MoveAction);
        // Moves reach the tree that accepted the enter and are judged alike.
        QDragMoveEvent move(QPoint(6, 6), Qt::MoveAction, &device, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tree->viewport(), &move);
        QVERIFY(move.isAccepted());
    }

    void dropFromElsewhereIsReportedOnceAndPlacedByType()
    {
        auto tree = makeTree();
        tree->resize(300, 300);
        tree->show();
        QVERIFY(QTest::qWaitForWindowExposed(tree.get()));
        connect(tree.get(), &DevTreeWidget::deviceDropped, tree.get(), &DevTreeWidget::addDevice);
        QSignalSpy dropped(tree.get(), &DevTreeWidget::deviceDropped);

        const QStringList paths{QStringLiteral("/sys/k1"), QStringLiteral("/sys/k2")};
        std::unique_ptr<QMimeData> data(
            DevicePayload::createMimeData(QStringLiteral("Keyboard A"), paths, 1));
        auto source = makeTree();
        DragSession session(source.get(), QStringLiteral("Keyboard A"), paths, 1);
        const QPoint onVideocardRow = tree->visualItemRect(tree->category(0)).center();
        Qt::DropAction action = Qt::IgnoreAction;
        QVERIFY(drop(tree.get(), data.get(), onVideocardRow, &action));
        // The tree asks for a copy; with only the move offered, the toolkit
        // reports the move, and the source deletes its item.
        QCOMPARE(action, Qt::MoveAction);

        QCOMPARE(dropped.count(), 1);
        QCOMPARE(dropped.at(0).at(0).toString(), QStringLiteral("Keyboard A"));
        QCOMPARE(dropped.at(0).at(1).toStringList(), paths);
        QCOMPARE(dropped.at(0).at(2).toInt(), 1);
        QCOMPARE(tree->category(0)->childCount(), 0);
        QCOMPARE(tree->category(1)->childCount(), 1);
        QCOMPARE(tree->category(1)->child(0)->data(0, DevTreeWidget::AddressRole).toStringList(),
                 paths);
    }

    // Any X client on the display can drop data of the device type, naming
    // paths of its choosing; only the device a tree of the program drags is
    // taken, and a refused drop changes nothing.
    void onlyTheProgramsOwnDragsAreTaken_data()
    {
        QTest::addColumn<bool>("session");
        QTest::addColumn<QStringList>("dragged"); // what the session's tree drags
        const QStringList kbd{QStringLiteral("/sys/devices/kbd")};
        QTest::newRow("another program's drag") << false << kbd;
        QTest::newRow("payload naming other paths")
            << true << QStringList{QStringLiteral("/sys/devices/mouse")};
    }

    void onlyTheProgramsOwnDragsAreTaken()
    {
        QFETCH(bool, session);
        QFETCH(QStringList, dragged);
        auto tree = makeTree();
        auto source = makeTree();
        std::unique_ptr<DragSession> drag;
        if (session)
            drag = std::make_unique<DragSession>(source.get(), QStringLiteral("AT keyboard"),
                                                 dragged, 1);
        QMimeData data;
        data.setData(Constants::DeviceMimeType, record(0, 0, keyboardRoles()));
        connect(tree.get(), &DevTreeWidget::deviceDropped, tree.get(), &DevTreeWidget::addDevice);
        QSignalSpy dropped(tree.get(), &DevTreeWidget::deviceDropped);

        QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tree->viewport(), &enter);
        QVERIFY(!enter.isAccepted());
        Qt::DropAction action = Qt::CopyAction;
        QVERIFY(!drop(tree.get(), &data, QPoint(5, 5), &action));
        QCOMPARE(action, Qt::IgnoreAction);
        QCOMPARE(dropped.count(), 0);
        QCOMPARE(tree->devices().size(), 0);
    }

    void updateStateFollowsTheCounts_data()
    {
        QTest::addColumn<QList<int>>("counts"); // cards, keyboards, mice, others
        QTest::addColumn<int>("dropstate");
        QTest::addColumn<bool>("includeUnrec");
        QTest::addColumn<bool>("label");
        QTest::addColumn<QString>("icon");
        const QString display = QStringLiteral("video-display");
        const QString warning = QStringLiteral("dialog-warning");
        QTest::newRow("empty") << QList<int>{0, 0, 0, 0} << 0 << false << true << display;
        QTest::newRow("keyboard, no card")
            << QList<int>{0, 1, 0, 0} << 0 << false << false << warning;
        QTest::newRow("card and mouse") << QList<int>{1, 0, 1, 0} << 0 << false << false << display;
        QTest::newRow("only card leaving")
            << QList<int>{1, 0, 0, 0} << 1 << false << true << display;
        QTest::newRow("card leaving, mouse stays")
            << QList<int>{1, 0, 1, 0} << 1 << false << false << warning;
        QTest::newRow("two cards, one leaving")
            << QList<int>{2, 1, 0, 0} << 1 << false << false << display;
        QTest::newRow("only keyboard leaving")
            << QList<int>{0, 1, 0, 0} << 2 << false << true << display;
        QTest::newRow("hidden unrecognized ignored")
            << QList<int>{0, 0, 0, 2} << 0 << false << true << display;
        QTest::newRow("shown unrecognized counted")
            << QList<int>{0, 0, 0, 2} << 0 << true << false << warning;
        QTest::newRow("unrecognized leaving")
            << QList<int>{0, 0, 0, 1} << 2 << true << true << display;
    }

    void updateStateFollowsTheCounts()
    {
        QFETCH(QList<int>, counts);
        QFETCH(int, dropstate);
        QFETCH(bool, includeUnrec);
        QFETCH(bool, label);
        QFETCH(QString, icon);
        auto tree = makeTree();
        fill(tree.get(), counts[0], counts[1], counts[2], counts[3]);
        QSignalSpy showLabel(tree.get(), &DevTreeWidget::showLabel);
        tree->updateState(DropState(dropstate), includeUnrec);
        QCOMPARE(showLabel.count(), 1);
        QCOMPARE(showLabel.at(0).at(0).toBool(), label);
        QCOMPARE(videocardIcon(tree.get()), icon);
    }

    void queries_data()
    {
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<QList<bool>>(
            "expected"); // card, kbd&mouse, kbd|mouse, input(false), input(true)
        QTest::newRow("empty") << QList<int>{0, 0, 0, 0}
                               << QList<bool>{false, false, false, false, false};
        QTest::newRow("card") << QList<int>{1, 0, 0, 0}
                              << QList<bool>{true, false, false, false, false};
        QTest::newRow("keyboard") << QList<int>{0, 1, 0, 0}
                                  << QList<bool>{false, false, true, true, true};
        QTest::newRow("mouse") << QList<int>{0, 0, 1, 0}
                               << QList<bool>{false, false, true, true, true};
        QTest::newRow("both") << QList<int>{1, 1, 1, 0}
                              << QList<bool>{true, true, true, true, true};
        QTest::newRow("unrecognized")
            << QList<int>{0, 0, 0, 1} << QList<bool>{false, false, false, false, true};
    }

    void queries()
    {
        QFETCH(QList<int>, counts);
        QFETCH(QList<bool>, expected);
        auto tree = makeTree();
        fill(tree.get(), counts[0], counts[1], counts[2], counts[3]);
        const QList<bool> got{tree->hasVideocard(), tree->hasKeyboardAndMouse(),
                              tree->hasKeyboardOrMouse(), tree->hasInputDevices(false),
                              tree->hasInputDevices(true)};
        QCOMPARE(got, expected);
    }

    void addressesNamesAndHiddenCategory()
    {
        auto tree = makeTree();
        fill(tree.get(), 2, 0, 1, 1);
        tree->addDevice(QStringLiteral("kbd"), QStringList{"/k1", "/k0"}, 1);
        QCOMPARE(tree->videocardNames(), (QStringList{deviceName(0, 0), deviceName(0, 1)}));
        const QStringList counted{devicePath(0, 0), devicePath(0, 1), "/k1", "/k0",
                                  devicePath(2, 0)};
        QCOMPARE(tree->deviceAddresses(false), counted);
        QCOMPARE(tree->deviceAddresses(true), counted + QStringList{devicePath(3, 0)});

        tree->setUnrecognizedVisible(false);
        QVERIFY(tree->category(3)->isHidden());
        QCOMPARE(tree->category(3)->childCount(), 1);
        tree->setUnrecognizedVisible(true);
        QVERIFY(!tree->category(3)->isHidden());
    }

    void treeWithoutCategoriesStaysQuiet()
    {
        DevTreeWidget tree;
        QSignalSpy showLabel(&tree, &DevTreeWidget::showLabel);
        QVERIFY(!tree.addDevice(QStringLiteral("kbd"), QStringList{"/k"}, 1));
        tree.updateState(NoDrop, true);
        tree.setUnrecognizedVisible(false);
        QCOMPARE(showLabel.count(), 0);
        QVERIFY(!tree.hasVideocard() && !tree.hasKeyboardOrMouse() && !tree.hasInputDevices(true));
        QVERIFY(tree.deviceAddresses(true).isEmpty());

        // Three rows are not a device tree either.
        for (int i = 0; i < 3; ++i)
            new QTreeWidgetItem(&tree);
        tree.addDevice(QStringLiteral("kbd"), QStringList{"/k"}, 1);
        tree.updateState(NoDrop, false);
        QCOMPARE(showLabel.count(), 0);
        QVERIFY(!tree.hasInputDevices(false));
        QCOMPARE(tree.deviceAddresses(true), QStringList{"/k"});
    }

    void pressSelectsDevicesButNotCategories()
    {
        auto tree = makeTree();
        fill(tree.get(), 1, 1, 0, 0);
        tree->resize(300, 300);
        tree->show();
        QVERIFY(QTest::qWaitForWindowExposed(tree.get()));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                          tree->visualItemRect(tree->category(1)).center());
        QVERIFY(tree->selectedItems().isEmpty());
        // Offscreen the drag ends at once with the ignore action: the device
        // stays and the press selects it.
        QTreeWidgetItem *kbd = device(tree.get(), 1, 0);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                          tree->visualItemRect(kbd).center());
        QCOMPARE(tree->selectedItems(), QList<QTreeWidgetItem *>{kbd});
        QCOMPARE(tree->category(1)->childCount(), 1);
    }
};

QTEST_MAIN(TestDevTreeWidget)
#include "tst_devtreewidget.moc"
