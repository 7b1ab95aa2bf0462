// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panelfixtures.h"

#include "common/testenv.h"
#include "common/testicontheme.h"
#include "core/constants.h"
#include "seatpanel/devicepayload.h"
#include "seatpanel/dragsession.h"
#include "seatpanel/seat.h"

#include <QCursor>
#include <QDrag>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace PanelFixtures;

namespace {

// Where nothing of ours is, so a running drag has no target of its own.
void parkPointer()
{
    QCursor::setPos(QGuiApplication::primaryScreen()->geometry().bottomRight() - QPoint(5, 5));
}

QPoint centreOf(const DevTreeWidget *tree, QTreeWidgetItem *item)
{
    return tree->viewport()->mapToGlobal(tree->visualItemRect(item).center());
}

// Presses on from, moves in small steps to to and releases, with real X input.
bool realDrag(const QPoint &from, const QPoint &to)
{
    QStringList args{"mousemove",
                     QString::number(from.x()),
                     QString::number(from.y()),
                     "sleep",
                     "0.3",
                     "mousedown",
                     "1",
                     "sleep",
                     "0.3"};
    const int steps = 12;
    for (int i = 1; i <= steps; ++i) {
        const QPoint p = from + (to - from) * i / steps;
        args << "mousemove" << QString::number(p.x()) << QString::number(p.y()) << "sleep"
             << "0.05";
    }
    args << "sleep"
         << "0.3"
         << "mouseup"
         << "1"
         << "sleep"
         << "0.2";
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), args);
    if (!xdotool.waitForStarted(5000))
        return false;
    // The drag's own event loop runs inside the press; keep ours turning.
    if (!QTest::qWaitFor([&]() { return xdotool.state() == QProcess::NotRunning; }, 30000))
        return false;
    return xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
}

// Starts a real drag from source and, inside its event loop, runs body with
// the payload; then cancels the drag. Returns the drag's result.
Qt::DropAction insideDrag(DevTreeWidget *source, const QMimeData *payload,
                          const std::function<void()> &body)
{
    // As the tree's own drags do: the session names what is dragged.
    DevicePayload carried;
    DevicePayload::decode(payload, &carried);
    DragSession session(source, carried.name.toString(), carried.addresses.toStringList(),
                        carried.type.toInt());
    auto *drag = new QDrag(source);
    auto *copy = new QMimeData;
    copy->setData(Constants::DeviceMimeType, payload->data(Constants::DeviceMimeType));
    drag->setMimeData(copy);
    QTimer::singleShot(50, source, [source, body]() {
        body();
        QTest::keyClick(source, Qt::Key_Escape);
    });
    return drag->exec(Qt::MoveAction);
}

struct DropResult
{
    bool enterAccepted = false;
    Qt::DropAction enterAction = Qt::IgnoreAction;
    bool dropAccepted = false;
    Qt::DropAction dropAction = Qt::IgnoreAction;
};

DropResult synthesiseDrop(DevTreeWidget *target, const QMimeData *data, const QPoint &pos)
{
    DropResult result;
    QDragEnterEvent enter(pos, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target->viewport(), &enter);
    result.enterAccepted = enter.isAccepted();
    result.enterAction = enter.dropAction();
    QDropEvent drop(pos, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target->viewport(), &drop);
    result.dropAccepted = drop.isAccepted();
    result.dropAction = drop.dropAction();
    return result;
}

} // namespace

// The main seat's tree and three panels in one window, wired the way the main
// window wires them.
class Rig : public QWidget
{
public:
    DevTreeWidget *main;
    Seat *a;
    Seat *b;
    Seat *c;
    QList<Seat *> panels;

    Rig()
    {
        auto *layout = new QHBoxLayout(this);
        main = makeTree().release();
        layout->addWidget(main);
        for (const char *id : {"seat1", "seat2", "seat3"}) {
            auto *panel = new Seat(QLatin1String(id), QLatin1String(id), this);
            layout->addWidget(panel);
            panels.append(panel);
            connect(panel, &Seat::thanksForDevice, main, &DevTreeWidget::updateState);
            panel->setShowUnrecognized(true);
        }
        a = panels[0];
        b = panels[1];
        c = panels[2];
        connect(main, &DevTreeWidget::deviceDropped, this,
                [this](const QVariant &name, const QVariant &address, const QVariant &type) {
                    main->addDevice(name, address, type);
                    main->updateState(NoDrop, true);
                    const DropState state =
                        type.toInt() == 0 ? VideocardDropped : OtherDeviceDropped;
                    for (Seat *panel : panels) {
                        panel->updateFlushButton(true);
                        panel->updateState(state);
                    }
                });
        main->addDevice(QStringLiteral("main card"), QStringList{"/m/card"}, 0);
        main->addDevice(QStringLiteral("main kbd"), QStringList{"/m/kbd"}, 1);
        a->devTreeWidget()->addDevice(QStringLiteral("a card"), QStringList{"/a/card"}, 0);
        a->devTreeWidget()->addDevice(QStringLiteral("a kbd"), QStringList{"/a/kbd"}, 1);
        b->devTreeWidget()->addDevice(QStringLiteral("b kbd"), QStringList{"/b/kbd"}, 1);
        c->devTreeWidget()->addDevice(QStringLiteral("c mouse0"), QStringList{"/c/m0"}, 2);
        c->devTreeWidget()->addDevice(QStringLiteral("c mouse1"), QStringList{"/c/m1"}, 2);
        main->updateState(NoDrop, true);
        for (Seat *panel : panels) {
            panel->enableFlushButton();
            panel->updateState(NoDrop);
        }
        setGeometry(0, 0, 1500, 600);
    }

    static bool flushEnabled(Seat *panel)
    {
        return panel->findChild<QPushButton *>(QStringLiteral("flushButton"))->isEnabled();
    }
    static bool markShown(Seat *panel)
    {
        return panel->findChild<QLabel *>(QStringLiteral("statusLabel"))->isVisible();
    }
};

class TestDevTreeDrag : public QObject
{
    Q_OBJECT

    Rig *m_rig = nullptr;

private slots:
    void initTestCase()
    {
        TestEnv::init();
        QVERIFY(TestIconTheme::install());
        const QString missing = TestEnv::missingRealInput();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
    }

    void init()
    {
        parkPointer();
        m_rig = new Rig;
        m_rig->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_rig));
        QTest::qWait(200);
    }

    void cleanup()
    {
        delete m_rig;
        m_rig = nullptr;
    }

    void synthesisedDropsKnowTheirSource()
    {
        DevTreeWidget *source = m_rig->a->devTreeWidget();
        DevTreeWidget *target = m_rig->main;
        const QStringList paths{"/k/1", "/k/0"};
        std::unique_ptr<QMimeData> payload(
            DevicePayload::createMimeData(QStringLiteral("usb kbd"), paths, 1));
        QSignalSpy targetDropped(target, &DevTreeWidget::deviceDropped);
        QSignalSpy sourceDropped(source, &DevTreeWidget::deviceDropped);

        DropResult other;
        DropResult same;
        const Qt::DropAction result = insideDrag(source, payload.get(), [&]() {
            // From another tree, onto the "Videocard" row.
            other = synthesiseDrop(target, payload.get(),
                                   target->visualItemRect(target->category(0)).center());
            same = synthesiseDrop(source, payload.get(),
                                  source->visualItemRect(source->category(2)).center());
        });
        QCOMPARE(result, Qt::IgnoreAction); // cancelled by the test

        QVERIFY(other.enterAccepted);
        QCOMPARE(other.enterAction, Qt::MoveAction);
        QVERIFY(other.dropAccepted);
        QCOMPARE(other.dropAction, Qt::MoveAction);
        QCOMPARE(targetDropped.count(), 1);
        QCOMPARE(targetDropped.at(0).at(0).toString(), QStringLiteral("usb kbd"));
        QCOMPARE(targetDropped.at(0).at(1).toStringList(), paths);
        QCOMPARE(targetDropped.at(0).at(2).toInt(), 1);
        QCOMPARE(target->category(0)->childCount(), 1);
        QCOMPARE(device(target, 1, 1)->text(0), QStringLiteral("usb kbd"));

        QVERIFY(same.enterAccepted);
        QCOMPARE(same.enterAction, Qt::IgnoreAction);
        QCOMPARE(same.dropAction, Qt::IgnoreAction);
        QCOMPARE(sourceDropped.count(), 0);
        QCOMPARE(source->category(1)->childCount(), 1);
    }

    void deviceMovesFromSeatToSeat()
    {
        Seat *a = m_rig->a;
        Seat *b = m_rig->b;
        DevTreeWidget *ta = a->devTreeWidget();
        DevTreeWidget *tb = b->devTreeWidget();
        QSignalSpy changed(b, &Seat::iamchanged);

        QVERIFY(realDrag(centreOf(ta, device(ta, 0, 0)), centreOf(tb, tb->category(2))));
        QTRY_COMPARE(tb->category(0)->childCount(), 1);
        QTRY_COMPARE(ta->category(0)->childCount(), 0);
        QCOMPARE(device(tb, 0, 0)->text(0), QStringLiteral("a card"));
        QCOMPARE(changed.count(), 1);
        // The giving panel refreshed itself: a keyboard without a card.
        QCOMPARE(videocardIcon(ta), QStringLiteral("dialog-warning"));
        QVERIFY(Rig::flushEnabled(a));
        QVERIFY(!Rig::markShown(a));
        // The main seat gave nothing and counts its card as before.
        QCOMPARE(videocardIcon(m_rig->main), QStringLiteral("video-display"));
        QCOMPARE(videocardIcon(tb), QStringLiteral("video-display"));

        // The last device leaves: the giving panel is marked for deletion.
        QVERIFY(realDrag(centreOf(ta, device(ta, 1, 0)), centreOf(tb, tb->category(0))));
        QTRY_COMPARE(tb->category(1)->childCount(), 2);
        QTRY_COMPARE(ta->category(1)->childCount(), 0);
        QVERIFY(!Rig::flushEnabled(a));
        QVERIFY(Rig::markShown(a));
        QCOMPARE(videocardIcon(ta), QStringLiteral("video-display"));
        QVERIFY(ta->selectedItems().isEmpty());
    }

    void deviceMovesFromSeatToMain()
    {
        Seat *c = m_rig->c;
        DevTreeWidget *tc = c->devTreeWidget();
        DevTreeWidget *main = m_rig->main;

        QVERIFY(realDrag(centreOf(tc, device(tc, 2, 0)), centreOf(main, main->category(3))));
        QTRY_COMPARE(main->category(2)->childCount(), 1);
        QTRY_COMPARE(tc->category(2)->childCount(), 1);
        QCOMPARE(device(main, 2, 0)->text(0), QStringLiteral("c mouse0"));
        QCOMPARE(device(tc, 2, 0)->text(0), QStringLiteral("c mouse1"));
        // The press that took mouse0 away selects nothing that moved up.
        QVERIFY(tc->selectedItems().isEmpty());
        QVERIFY(Rig::flushEnabled(c));
        // Panels that gave nothing keep their state.
        QVERIFY(Rig::flushEnabled(m_rig->b));
        QVERIFY(!Rig::markShown(m_rig->b));
        QCOMPARE(videocardIcon(m_rig->b->devTreeWidget()), QStringLiteral("dialog-warning"));
        QCOMPARE(videocardIcon(m_rig->a->devTreeWidget()), QStringLiteral("video-display"));
    }

    void deviceDroppedOnItsOwnTreeStays()
    {
        DevTreeWidget *ta = m_rig->a->devTreeWidget();
        QTreeWidgetItem *card = device(ta, 0, 0);
        QSignalSpy dropped(ta, &DevTreeWidget::deviceDropped);
        QSignalSpy changed(m_rig->a, &Seat::iamchanged);

        QVERIFY(realDrag(centreOf(ta, card), centreOf(ta, ta->category(3))));
        QTRY_COMPARE(ta->selectedItems(), QList<QTreeWidgetItem *>{card});
        QCOMPARE(device(ta, 0, 0), card);
        QCOMPARE(ta->category(0)->childCount(), 1);
        QCOMPARE(dropped.count(), 0);
        QCOMPARE(changed.count(), 0);
        QVERIFY(Rig::flushEnabled(m_rig->a));
    }
};

QTEST_MAIN(TestDevTreeDrag)
#include "tst_devtreedrag.moc"
