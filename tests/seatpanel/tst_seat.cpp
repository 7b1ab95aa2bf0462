// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panelfixtures.h"

#include "common/testenv.h"
#include "common/testicontheme.h"
#include "core/appsettings.h"
#include "seatpanel/devicepayload.h"
#include "seatpanel/dragsession.h"
#include "seatpanel/myviewlabel.h"
#include "seatpanel/seat.h"
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <QBoxLayout>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QInputDialog>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace PanelFixtures;

namespace {

QPushButton *button(Seat &seat, const char *name)
{
    return seat.findChild<QPushButton *>(QLatin1String(name));
}

MyViewLabel *label(Seat &seat, const char *name)
{
    return static_cast<MyViewLabel *>(seat.findChild<QLabel *>(QLatin1String(name)));
}

int deviceCount(const DevTreeWidget *tree)
{
    int count = 0;
    for (int c = 0; c < 4; ++c)
        count += tree->category(c)->childCount();
    return count;
}

// Names of the items given back, read during the emission: the panel
// deletes each item as soon as the signal returns.
void recordTakes(Seat &seat, QStringList *names)
{
    QObject::connect(&seat, &Seat::takeDevice, &seat,
                     [names](QTreeWidgetItem *it) { names->append(it->text(0)); });
}

} // namespace

class TestSeat : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestEnv::init();
        QVERIFY(TestIconTheme::install());
    }

    void init() { TestEnv::clearSettings(); }

    void moveButtonsKeepAnArrowWithoutTheThemesIcons()
    {
        // A theme with the ordinary arrows only, as Adwaita has them.
        QTemporaryDir dir;
        const QString theme = dir.filePath("arrows-only");
        QVERIFY(QDir().mkpath(theme + "/16x16/actions"));
        QVERIFY(TestEnv::writeFile(theme + "/index.theme",
                                   "[Icon Theme]\nName=arrows-only\nDirectories=16x16/actions\n\n"
                                   "[16x16/actions]\nSize=16\nType=Fixed\n"));
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(theme + "/16x16/actions/go-next.png"));
        QVERIFY(image.save(theme + "/16x16/actions/go-previous.png"));

        const QString oldTheme = QIcon::themeName();
        const QStringList oldPaths = QIcon::themeSearchPaths();
        QIcon::setThemeSearchPaths(QStringList{dir.path()} + oldPaths);
        QIcon::setThemeName("arrows-only");
        Seat seat(QStringLiteral("Seat"), QStringLiteral("seat1"));
        const QString forward = button(seat, "addDevButton")->icon().name();
        const QString back = button(seat, "deleteDevButton")->icon().name();
        QIcon::setThemeName(oldTheme);
        QIcon::setThemeSearchPaths(oldPaths);
        QCOMPARE(forward, QStringLiteral("go-next"));
        QCOMPARE(back, QStringLiteral("go-previous"));
    }

    void formMatchesThePanelLayout()
    {
        const QString longName = QStringLiteral("Seat of the second accounts office");
        Seat seat(longName, QStringLiteral("seat1"));
        QCOMPARE(seat.objectName(), QStringLiteral("Seat"));
        QCOMPARE(seat.size(), QSize(584, 433));
        QCOMPARE(seat.seatId(), QStringLiteral("seat1"));

        struct Expected
        {
            const char *name;
            const char *icon;
            const char *tip;
            bool enabled;
            bool flat;
        };
        const Expected buttons[] = {
            // F2 does what the rename button does; the button's name stays.
            {"renameButton", "applications-system", "Rename seat (F2)", true, true},
            {"deleteSeatButton", "edit-delete", "Delete seat", true, true},
            {"addDevButton", "draw-arrow-forward", "Attach device to place on the right", false,
             false},
            {"deleteDevButton", "draw-arrow-back", "Attach device to main place", false, false},
            {"flushButton", "edit-clear", "Disconnect all devices", false, false},
        };
        for (const Expected &e : buttons) {
            QPushButton *b = button(seat, e.name);
            QVERIFY2(b, e.name);
            QCOMPARE(b->icon().name(), QLatin1String(e.icon));
            QCOMPARE(b->toolTip(), QLatin1String(e.tip));
            QCOMPARE(b->accessibleName(), b->toolTip().section(QStringLiteral(" ("), 0, 0));
            QCOMPARE(b->text(), QString());
            QCOMPARE(b->isEnabled(), e.enabled);
            QCOMPARE(b->isFlat(), e.flat);
        }
        QCOMPARE(button(seat, "renameButton")->focusPolicy(), Qt::NoFocus);

        QCOMPARE(label(seat, "seatNameLabel")->fullText(), longName);
        QCOMPARE(label(seat, "seatNameLabel")->text(), longName.left(27) + "...");
        QCOMPARE(label(seat, "statusLabel")->fullText(), QStringLiteral("(will be deleted) "));
        QVERIFY(label(seat, "statusLabel")->isHidden());

        // Title row and button column in their order.
        auto *title = seat.findChild<QHBoxLayout *>(QStringLiteral("horizontalLayout"));
        auto *column = seat.findChild<QVBoxLayout *>(QStringLiteral("verticalLayout"));
        QVERIFY(title && column);
        QCOMPARE(title->count(), 8);
        QCOMPARE(title->indexOf(button(seat, "renameButton")), 1);
        QCOMPARE(title->indexOf(label(seat, "seatNameLabel")), 3);
        QCOMPARE(title->indexOf(label(seat, "statusLabel")), 5);
        QCOMPARE(title->indexOf(button(seat, "deleteSeatButton")), 7);
        QCOMPARE(column->indexOf(button(seat, "addDevButton")), 1);
        QCOMPARE(column->indexOf(button(seat, "deleteDevButton")), 2);
        QCOMPARE(column->indexOf(button(seat, "flushButton")), 3);

        DevTreeWidget *tree = seat.devTreeWidget();
        QCOMPARE(tree->objectName(), QStringLiteral("devTreeWidget"));
        QCOMPARE(tree->headerItem()->text(0), QStringLiteral("Devices"));
        QCOMPARE(tree->dragDropMode(), QAbstractItemView::DragDrop);
        QCOMPARE(tree->defaultDropAction(), Qt::MoveAction);
        QCOMPARE(tree->selectionMode(), QAbstractItemView::SingleSelection);
        checkCategoryRows(tree);
        if (QTest::currentTestFailed())
            return;
    }

    void flushGivesBackCountedDevices_data()
    {
        QTest::addColumn<bool>("showUnrec");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<int>("left");
        const QStringList counted{"card0", "kbd1", "kbd0", "mouse0"};
        QTest::newRow("yes") << true << true << counted + QStringList{"usb0"} << 0;
        QTest::newRow("yes, unrecognized hidden") << false << true << counted << 1;
        QTest::newRow("no") << true << false << QStringList() << 5;
    }

    void flushGivesBackCountedDevices()
    {
        QFETCH(bool, showUnrec);
        QFETCH(bool, yes);
        QFETCH(QStringList, given);
        QFETCH(int, left);
        Seat seat(QStringLiteral("Lab"), QStringLiteral("seat1"));
        fill(seat.devTreeWidget(), 1, 2, 1, 1);
        seat.setShowUnrecognized(showUnrec);
        seat.enableFlushButton();
        QStringList taken;
        recordTakes(seat, &taken);

        PromptAnswerer answerer;
        answerer.answer(yes ? QMessageBox::Yes : QMessageBox::No);
        button(seat, "flushButton")->click();
        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].title, QStringLiteral("Devices disconnection"));
        QCOMPARE(answerer.seen[0].text,
                 QStringLiteral("All devices will be disconnected from seat. \nAre you sure?"));
        QCOMPARE(answerer.seen[0].buttons, QMessageBox::Yes | QMessageBox::No);

        QCOMPARE(taken, given);
        QCOMPARE(deviceCount(seat.devTreeWidget()), left);
        QCOMPARE(button(seat, "flushButton")->isEnabled(), !yes);
        QCOMPARE(label(seat, "statusLabel")->isVisibleTo(&seat), yes);
    }

    void deleteSeatAsksOnlyWhileFlushIsEnabled_data()
    {
        QTest::addColumn<bool>("flushEnabled");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("nothing to give back") << false << int(QMessageBox::NoButton) << true;
        QTest::newRow("yes") << true << int(QMessageBox::Yes) << true;
        QTest::newRow("no") << true << int(QMessageBox::No) << false;
    }

    void deleteSeatAsksOnlyWhileFlushIsEnabled()
    {
        QFETCH(bool, flushEnabled);
        QFETCH(int, answer);
        QFETCH(bool, deleted);
        Seat seat(QStringLiteral("Lab"), QStringLiteral("seat1"));
        fill(seat.devTreeWidget(), 1, 1, 0, 0);
        if (flushEnabled)
            seat.enableFlushButton();
        QSignalSpy deleteMe(&seat, &Seat::deleteMe);
        QSignalSpy takeDevice(&seat, &Seat::takeDevice);

        PromptAnswerer answerer;
        if (answer != QMessageBox::NoButton)
            answerer.answer(QMessageBox::StandardButton(answer));
        button(seat, "deleteSeatButton")->click();
        QCOMPARE(answerer.seen.size(), flushEnabled ? 1 : 0);
        QCOMPARE(deleteMe.count(), deleted ? 1 : 0);
        const bool gaveBack = flushEnabled && deleted;
        QCOMPARE(takeDevice.count(), gaveBack ? 2 : 0);
        QCOMPARE(deviceCount(seat.devTreeWidget()), gaveBack ? 0 : 2);
    }

    void renameStoresTheNameOnly_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("tooLong");
        const QString n28 = QStringLiteral("Second floor, room 214, left");
        QTest::newRow("29 characters") << true << n28 + "!" << false;
        QTest::newRow("30 characters") << true << n28 + "!!" << true;
        QTest::newRow("blanks kept") << true << "  Lab  " << false;
        QTest::newRow("empty") << true << QString() << false;
        QTest::newRow("cancelled") << false << "Other" << false;
    }

    void renameStoresTheNameOnly()
    {
        QFETCH(bool, accept);
        QFETCH(QString, name);
        QFETCH(bool, tooLong);
        const QString oldName = QStringLiteral("A rather long name for seat number one");
        Seat seat(oldName, QStringLiteral("seat1"));
        QSignalSpy changed(&seat, &Seat::iamchanged);

        PromptAnswerer answerer;
        QString offered;
        answerer.answerWith([&](const Prompt::Request &request) {
            offered = request.initialText;
            Prompt::Answer reply;
            reply.accepted = accept && request.kind == Prompt::Kind::TextInput;
            reply.text = name;
            return reply;
        });
        if (tooLong)
            answerer.answer(QMessageBox::Ok);
        button(seat, "renameButton")->click();

        QCOMPARE(offered, oldName);
        QCOMPARE(answerer.seen.size(), tooLong ? 2 : 1);
        QCOMPARE(answerer.seen[0].title, QStringLiteral("Seat renaming"));
        QCOMPARE(answerer.seen[0].text, QStringLiteral("New name:"));
        if (tooLong) {
            QCOMPARE(answerer.seen[1].title, QStringLiteral("Seat renaming"));
            QCOMPARE(answerer.seen[1].text,
                     QStringLiteral(
                         "The name is too long to display \nand will be displayed truncated"));
            QCOMPARE(answerer.seen[1].icon, QMessageBox::Information);
        }
        QCOMPARE(answerer.unexpected(), 0);

        const bool stored = accept && !name.isEmpty();
        QCOMPARE(AppSettings::namedSeats().contains(QStringLiteral("seat1")), stored);
        QCOMPARE(label(seat, "seatNameLabel")->fullText(), stored ? name : oldName);
        if (stored) {
            QCOMPARE(AppSettings::seatDisplayName(QStringLiteral("seat1")), name);
            QCOMPARE(label(seat, "seatNameLabel")->text(), tooLong ? name.left(27) + "..." : name);
        }
        QCOMPARE(changed.count(), 0);
    }

    void droppedDeviceJoinsThePanel_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("thanks");
        QTest::addColumn<QString>("icon");
        QTest::newRow("keyboard onto a seat without card")
            << 1 << int(OtherDeviceDropped) << "dialog-warning";
        QTest::newRow("card") << 0 << int(VideocardDropped) << "video-display";
    }

    void droppedDeviceJoinsThePanel()
    {
        QFETCH(int, type);
        QFETCH(int, thanks);
        QFETCH(QString, icon);
        Seat seat(QStringLiteral("Lab"), QStringLiteral("seat1"));
        seat.setShowUnrecognized(true);
        QSignalSpy changed(&seat, &Seat::iamchanged);
        QSignalSpy thanksSpy(&seat, &Seat::thanksForDevice);

        // A drag of another tree of the program.
        std::unique_ptr<QMimeData> data(
            DevicePayload::createMimeData(QStringLiteral("dev"), QStringList{"/sys/dev"}, type));
        DevTreeWidget source;
        DragSession session(&source, QStringLiteral("dev"), {QStringLiteral("/sys/dev")}, type);
        QWidget *viewport = seat.devTreeWidget()->viewport();
        QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, data.get(), Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        QDropEvent dropEvent(QPoint(5, 5), Qt::MoveAction, data.get(), Qt::LeftButton,
                             Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &dropEvent);

        QCOMPARE(seat.devTreeWidget()->category(type)->childCount(), 1);
        QVERIFY(button(seat, "flushButton")->isEnabled());
        QCOMPARE(videocardIcon(seat.devTreeWidget()), icon);
        QVERIFY(label(seat, "statusLabel")->isHidden());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toBool(), true);
        QCOMPARE(thanksSpy.count(), 1);
        QCOMPARE(thanksSpy.at(0).at(0).value<DropState>(), DropState(thanks));
        QCOMPARE(thanksSpy.at(0).at(1).toBool(), true);
    }

    void singleDevicesMoveByButtons()
    {
        Seat seat(QStringLiteral("Lab"), QStringLiteral("seat1"));
        QSignalSpy giveMe(&seat, &Seat::giveMeDevice);
        seat.setAddButtonEnabled(true);
        button(seat, "addDevButton")->click();
        QCOMPARE(giveMe.count(), 1);
        seat.setAddButtonEnabled(false);
        QVERIFY(!button(seat, "addDevButton")->isEnabled());

        // receiveDevice copies the giver's item and leaves it to the giver.
        auto main = makeTree();
        fill(main.get(), 0, 1, 0, 0);
        QTreeWidgetItem *given = device(main.get(), 1, 0);
        QSignalSpy changed(&seat, &Seat::iamchanged);
        seat.receiveDevice(given);
        QCOMPARE(device(main.get(), 1, 0), given);
        QTreeWidgetItem *copy = device(seat.devTreeWidget(), 1, 0);
        QVERIFY(copy && copy != given);
        for (int role : {int(Qt::DisplayRole), DevTreeWidget::AddressRole, DevTreeWidget::TypeRole})
            QCOMPARE(copy->data(0, role), given->data(0, role));
        QVERIFY(button(seat, "flushButton")->isEnabled());
        QCOMPARE(videocardIcon(seat.devTreeWidget()), QStringLiteral("dialog-warning"));
        QCOMPARE(changed.count(), 0);

        // Giving the last device back: mark shown, flush off, no warning.
        QStringList taken;
        recordTakes(seat, &taken);
        seat.devTreeWidget()->setCurrentItem(copy);
        QVERIFY(button(seat, "deleteDevButton")->isEnabled());
        button(seat, "deleteDevButton")->click();
        QCOMPARE(taken, QStringList{deviceName(1, 0)});
        QCOMPARE(deviceCount(seat.devTreeWidget()), 0);
        QVERIFY(!button(seat, "flushButton")->isEnabled());
        QVERIFY(!button(seat, "deleteDevButton")->isEnabled());
        QVERIFY(!label(seat, "statusLabel")->isHidden());
        QCOMPARE(videocardIcon(seat.devTreeWidget()), QStringLiteral("video-display"));
    }

    void pendingDeviceIsDiscounted_data()
    {
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<bool>("showUnrec");
        QTest::addColumn<bool>("pending");
        QTest::addColumn<bool>("stillEnabled");
        QTest::newRow("last device pending") << QList<int>{0, 1, 0, 0} << false << true << false;
        QTest::newRow("one of two pending") << QList<int>{1, 0, 1, 0} << false << true << true;
        QTest::newRow("one device, none pending")
            << QList<int>{0, 0, 1, 0} << false << false << true;
        QTest::newRow("only hidden unrecognized")
            << QList<int>{0, 0, 0, 2} << false << false << false;
        QTest::newRow("shown unrecognized") << QList<int>{0, 0, 0, 2} << true << true << true;
    }

    void pendingDeviceIsDiscounted()
    {
        QFETCH(QList<int>, counts);
        QFETCH(bool, showUnrec);
        QFETCH(bool, pending);
        QFETCH(bool, stillEnabled);
        Seat seat(QStringLiteral("Lab"), QStringLiteral("seat1"));
        fill(seat.devTreeWidget(), counts[0], counts[1], counts[2], counts[3]);
        seat.setShowUnrecognized(showUnrec);
        seat.enableFlushButton();
        seat.updateFlushButton(pending);
        QCOMPARE(button(seat, "flushButton")->isEnabled(), stillEnabled);
    }

    void unrecognizedDevicesCountOnlyWhenShown()
    {
        Seat seat(QStringLiteral("Lab"), QStringLiteral("seat1"));
        fill(seat.devTreeWidget(), 0, 0, 0, 1);
        seat.setShowUnrecognized(true);
        QVERIFY(!seat.devTreeWidget()->category(3)->isHidden());
        QVERIFY(label(seat, "statusLabel")->isHidden());
        QCOMPARE(videocardIcon(seat.devTreeWidget()), QStringLiteral("dialog-warning"));
        QVERIFY(seat.hasInputDevices());
        QCOMPARE(seat.deviceAddresses(), QStringList{devicePath(3, 0)});

        seat.setShowUnrecognized(false);
        QVERIFY(seat.devTreeWidget()->category(3)->isHidden());
        QVERIFY(!label(seat, "statusLabel")->isHidden());
        QCOMPARE(videocardIcon(seat.devTreeWidget()), QStringLiteral("video-display"));
        QVERIFY(!seat.hasInputDevices());
        QVERIFY(seat.deviceAddresses().isEmpty());
    }
};

QTEST_MAIN(TestSeat)
#include "tst_seat.moc"
