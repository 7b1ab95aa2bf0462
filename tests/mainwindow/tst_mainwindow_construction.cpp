// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "common/testicontheme.h"
#include "core/appsettings.h"
#include "mainwindow/windowfixture.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/myviewlabel.h"

#include <QAction>
#include <QBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolBar>
#include <QTranslator>

namespace {

// Object names of a widget's actions, separators written "|".
QStringList actionNames(const QWidget *widget)
{
    QStringList names;
    for (const QAction *action : widget->actions())
        names << (action->isSeparator() ? QStringLiteral("|") : action->objectName());
    return names;
}

QList<int> stretches(const QBoxLayout *layout)
{
    QList<int> result;
    for (int i = 0; i < layout->count(); ++i)
        result << layout->stretch(i);
    return result;
}

} // namespace

// The window as it stands right after construction: the form, the restored
// settings and the main seat's column, before any seat has been read.
class TestMainWindowConstruction : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void defaultsWithoutStoredSettings();
    void storedGeometryWins();
    void unusableGeometryIsIgnored();
    void storedOptions_data();
    void storedOptions();
    void actions_data();
    void actions();
    void menusAndToolBar();
    void everyMenuCommandHasItsOwnKey_data();
    void everyMenuCommandHasItsOwnKey();
    void mainSeatColumn();
    void seatColumn();
    void missingIconsHaveStandIns();

private:
    std::unique_ptr<WindowFixture> m_harness;
};

void TestMainWindowConstruction::initTestCase()
{
    TestEnv::init();
    QVERIFY(TestIconTheme::install());
}

void TestMainWindowConstruction::init()
{
    TestEnv::clearSettings();
    m_harness = std::make_unique<WindowFixture>();
    QVERIFY(m_harness->useMachine(QStringLiteral("three-seats.machine")));
}

void TestMainWindowConstruction::defaultsWithoutStoredSettings()
{
    auto window = m_harness->create();
    QCOMPARE(window->objectName(), QStringLiteral("Form"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Zel admin multiseat"));
    QCOMPARE(window->size(), QSize(1064, 600));
    QCOMPARE(window->minimumSize(), QSize(500, 320));
    QCOMPARE(window->baseSize(), QSize(1064, 600));

    auto *allow = window->findChild<QAction *>(QStringLiteral("emptySeatsAllowedAction"));
    auto *showAll = window->findChild<QAction *>(QStringLiteral("showAllDevicesAction"));
    QVERIFY(allow && showAll);
    QVERIFY(!allow->isChecked());
    QVERIFY(!showAll->isChecked());
    QVERIFY(window->mainTree()->category(UnrecognizedCategory)->isHidden());
    QVERIFY(!window->findChild<QAction *>(QStringLiteral("saveAction"))->isEnabled());
    QVERIFY(!window->stateChanged());
    QCOMPARE(window->freeSeats(), 0);
    QVERIFY(window->seatPanels().isEmpty());
    // Nothing is read from the store but what is there.
    QVERIFY(AppSettings::geometry().isEmpty());
}

void TestMainWindowConstruction::storedGeometryWins()
{
    {
        auto first = m_harness->create();
        first->show();
        first->resize(900, 450);
        QVERIFY(WindowFixture::waitLoaded(first.get()));
        QVERIFY(first->close());
    }
    QVERIFY(!AppSettings::geometry().isEmpty());
    auto second = m_harness->create();
    QCOMPARE(second->size(), QSize(900, 450));
}

void TestMainWindowConstruction::unusableGeometryIsIgnored()
{
    AppSettings::setGeometry(QByteArray("not a geometry"));
    auto window = m_harness->create();
    QCOMPARE(window->size(), QSize(1064, 600));
}

void TestMainWindowConstruction::storedOptions_data()
{
    QTest::addColumn<bool>("allowEmpty");
    QTest::addColumn<bool>("showUnknown");
    QTest::newRow("both off") << false << false;
    QTest::newRow("empty seats allowed") << true << false;
    QTest::newRow("unrecognized shown") << false << true;
    QTest::newRow("both on") << true << true;
}

void TestMainWindowConstruction::storedOptions()
{
    QFETCH(bool, allowEmpty);
    QFETCH(bool, showUnknown);
    AppSettings::setEmptySeatsAllowed(allowEmpty);
    AppSettings::setShowUnknownDevices(showUnknown);
    auto window = m_harness->create();
    QCOMPARE(window->findChild<QAction *>(QStringLiteral("emptySeatsAllowedAction"))->isChecked(),
             allowEmpty);
    QCOMPARE(window->findChild<QAction *>(QStringLiteral("showAllDevicesAction"))->isChecked(),
             showUnknown);
    // The category is right from the first paint, before any seat is read.
    QCOMPARE(window->mainTree()->category(UnrecognizedCategory)->isHidden(), !showUnknown);
    for (int c = VideocardCategory; c < UnrecognizedCategory; ++c)
        QVERIFY(!window->mainTree()->category(c)->isHidden());
}

void TestMainWindowConstruction::actions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<bool>("checkable");
    QTest::newRow("save") << "saveAction"
                          << "&Save changes"
                          << "Save changes"
                          << "document-save" << false;
    QTest::newRow("exit") << "exitAction"
                          << "E&xit"
                          << "Exit"
                          << "application-exit" << false;
    QTest::newRow("help") << "helpAction"
                          << "Show &help"
                          << "Show help" << QString() << false;
    QTest::newRow("reload") << "reloadAction"
                            << "&Reload configuration"
                            << "Reload configuration from system"
                            << "view-refresh" << false;
    QTest::newRow("add seat") << "addSeatAction"
                              << "&Add seat"
                              << "Add seat"
                              << "list-add" << false;
    QTest::newRow("empty seats") << "emptySeatsAllowedAction"
                                 << "Allow seats &without input devices"
                                 << "Allow creation of seats without input devices" << QString()
                                 << true;
    QTest::newRow("all devices") << "showAllDevicesAction"
                                 << "Show &unrecognized devices"
                                 << "Show all devices, include unrecognized " << QString() << true;
}

void TestMainWindowConstruction::actions()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(QString, icon);
    QFETCH(bool, checkable);
    auto window = m_harness->create();
    auto *action = window->findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->parent(), window.get());
    QCOMPARE(action->text(), text);
    QCOMPARE(action->toolTip(), toolTip);
    QCOMPARE(action->icon().name(), icon);
    QCOMPARE(action->isCheckable(), checkable);
    // The usual keys: F1 as the form has it, the others for the keyboard.
    const QHash<QString, QKeySequence> shortcuts{{"helpAction", QKeySequence(Qt::Key_F1)},
                                                 {"saveAction", QKeySequence("Ctrl+S")},
                                                 {"exitAction", QKeySequence("Ctrl+Q")},
                                                 {"reloadAction", QKeySequence("F5")},
                                                 {"addSeatAction", QKeySequence("Ctrl+N")}};
    QCOMPARE(action->shortcut(), shortcuts.value(name));
    if (name == QLatin1String("helpAction"))
        QVERIFY(action->isEnabled());
}

void TestMainWindowConstruction::menusAndToolBar()
{
    auto window = m_harness->create();
    auto *menuBar = window->findChild<QMenuBar *>(QStringLiteral("menubar"));
    QVERIFY(menuBar);
    QCOMPARE(window->menuBar(), menuBar);
    QStringList titles;
    for (const QAction *action : menuBar->actions())
        titles << action->text();
    QCOMPARE(titles, QStringList({"&File", "&Edit", "&Help"}));

    auto *file = window->findChild<QMenu *>(QStringLiteral("menuFirst_menu"));
    auto *edit = window->findChild<QMenu *>(QStringLiteral("menuEdit"));
    auto *help = window->findChild<QMenu *>(QStringLiteral("menuHelp"));
    QVERIFY(file && edit && help);
    QCOMPARE(menuBar->actions().at(0), file->menuAction());
    QCOMPARE(menuBar->actions().at(1), edit->menuAction());
    QCOMPARE(menuBar->actions().at(2), help->menuAction());
    QCOMPARE(actionNames(file),
             QStringList({"reloadAction", "saveAction", "|", "exportAction", "importAction",
                          "restoreAction", "|", "resetAction", "|", "exitAction"}));
    QCOMPARE(actionNames(edit), QStringList({"addSeatAction", "|", "emptySeatsAllowedAction",
                                             "showAllDevicesAction", "|", "identifyAction"}));
    QVERIFY(window->findChild<QAction *>(QStringLiteral("identifyAction"))->isCheckable());
    QCOMPARE(actionNames(help), QStringList({"helpAction", "aboutAction"}));

    auto *toolBar = window->findChild<QToolBar *>(QStringLiteral("toolBar"));
    QVERIFY(toolBar);
    QCOMPARE(toolBar->windowTitle(), QStringLiteral("toolBar"));
    QVERIFY(!toolBar->isMovable());
    QCOMPARE(window->toolBarArea(toolBar), Qt::TopToolBarArea);
    QCOMPARE(actionNames(toolBar),
             QStringList({"reloadAction", "saveAction", "addSeatAction", "|", "identifyAction"}));
}

// Alt and a letter open each menu, a letter picks each item, in every
// language the program speaks; no two in one menu share a letter.
void TestMainWindowConstruction::everyMenuCommandHasItsOwnKey_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QString();
    QTest::newRow("German") << "de";
    QTest::newRow("Russian") << "ru";
}

void TestMainWindowConstruction::everyMenuCommandHasItsOwnKey()
{
    QFETCH(QString, language);
    QTranslator translator;
    if (!language.isEmpty()) {
        QVERIFY(translator.load("zel-admin-multiseat_" + language, ZEL_TRANSLATIONS_DIR));
        QCoreApplication::installTranslator(&translator);
    }
    auto window = m_harness->create();
    QCoreApplication::removeTranslator(&translator);
    auto keysOf = [](const QList<QAction *> &actions) {
        QStringList keys;
        for (const QAction *action : actions) {
            if (action->isSeparator())
                continue;
            const QString text = action->text();
            const int amp = text.indexOf('&');
            if (amp < 0 || amp + 1 >= text.size() || text.indexOf('&', amp + 1) >= 0)
                return QStringList{"no single mnemonic in " + text};
            keys << text.at(amp + 1).toLower();
        }
        return keys;
    };
    QList<QList<QAction *>> menus{window->menuBar()->actions()};
    for (const QAction *title : window->menuBar()->actions())
        menus << title->menu()->actions();
    for (const QList<QAction *> &menu : qAsConst(menus)) {
        QStringList keys = keysOf(menu);
        QVERIFY2(!keys.isEmpty() && !keys.first().startsWith("no "), qPrintable(keys.value(0)));
        const int count = keys.size();
        keys.removeDuplicates();
        QCOMPARE(keys.size(), count);
    }
}

void TestMainWindowConstruction::mainSeatColumn()
{
    auto window = m_harness->create();
    auto *central = window->findChild<QWidget *>(QStringLiteral("centralwidget"));
    QVERIFY(central);
    QCOMPARE(window->centralWidget(), central);

    auto *columns = window->findChild<QHBoxLayout *>(QStringLiteral("horizontalLayout"));
    auto *mainColumn = window->findChild<QVBoxLayout *>(QStringLiteral("verticalLayout_2"));
    auto *nameRow = window->findChild<QHBoxLayout *>(QStringLiteral("horizontalLayout_2"));
    auto *seatColumn = window->findChild<QVBoxLayout *>(QStringLiteral("verticalLayout_7"));
    QVERIFY(columns && mainColumn && nameRow && seatColumn);
    QCOMPARE(central->layout(), columns);
    QCOMPARE(columns->count(), 2);
    QCOMPARE(columns->itemAt(0)->layout(), mainColumn);
    QCOMPARE(columns->itemAt(1)->layout(), seatColumn);
    QCOMPARE(stretches(columns), QList<int>({47, 53}));
    QCOMPARE(columns->spacing(), 0);
    QCOMPARE(columns->contentsMargins().top(), 0);
    QCOMPARE(mainColumn->spacing(), 0);
    QCOMPARE(seatColumn->spacing(), 6);

    auto *rename = window->findChild<QPushButton *>(QStringLiteral("renameButton"));
    auto *label = window->findChild<MyViewLabel *>(QStringLiteral("seatNameLabel"));
    DevTreeWidget *tree = window->mainTree();
    QVERIFY(rename && label && tree);
    QCOMPARE(tree->objectName(), QStringLiteral("devTreeWidget"));
    // Who is on the seat, between its name and its devices.
    QCOMPARE(mainColumn->count(), 3);
    QCOMPARE(mainColumn->itemAt(0)->layout(), nameRow);
    QCOMPARE(mainColumn->itemAt(1)->widget()->objectName(), QStringLiteral("sessionLabel"));
    QCOMPARE(mainColumn->itemAt(2)->widget(), tree);
    QCOMPARE(nameRow->count(), 4);
    QCOMPARE(nameRow->itemAt(0)->widget(), rename);
    QCOMPARE(nameRow->itemAt(2)->widget(), label);
    for (int spacer : {1, 3}) {
        QSpacerItem *item = nameRow->itemAt(spacer)->spacerItem();
        QVERIFY(item);
        QCOMPARE(item->sizeHint(), QSize(40, 20));
        QCOMPARE(item->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
        QCOMPARE(item->sizePolicy().verticalPolicy(), QSizePolicy::Minimum);
    }
    QCOMPARE(stretches(nameRow), QList<int>({0, 35, 0, 45}));

    QCOMPARE(rename->text(), QString());
    QCOMPARE(rename->toolTip(), QStringLiteral("Rename seat (F2)"));
    QCOMPARE(rename->accessibleName(), QStringLiteral("Rename seat"));
    QCOMPARE(rename->icon().name(), QStringLiteral("applications-system"));
    QVERIFY(rename->isFlat());
    QCOMPARE(rename->focusPolicy(), Qt::NoFocus);
    QCOMPARE(label->fullText(), QStringLiteral("Main seat"));
    QCOMPARE(label->text(), QStringLiteral("Main seat"));

    QCOMPARE(tree->headerItem()->text(0), QStringLiteral("Devices"));
    QVERIFY(tree->dragEnabled());
    QCOMPARE(tree->dragDropMode(), QAbstractItemView::DragDrop);
    QCOMPARE(tree->defaultDropAction(), Qt::MoveAction);
    const QStringList texts{"Videocard", "Keyboard", "Mouse", "Unrecognized devices"};
    const QStringList icons{"video-display", "input-keyboard", "input-mouse",
                            "drive-removable-media"};
    QCOMPARE(tree->topLevelItemCount(), 4);
    for (int c = 0; c < 4; ++c) {
        const QTreeWidgetItem *row = tree->topLevelItem(c);
        QCOMPARE(row->text(0), texts.at(c));
        QCOMPARE(row->icon(0).name(), icons.at(c));
        QCOMPARE(int(row->flags()), 40);
        QVERIFY(row->isExpanded());
        QCOMPARE(row->childCount(), 0);
    }
}

void TestMainWindowConstruction::seatColumn()
{
    auto window = m_harness->create();
    auto *scroll = window->findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    auto *contents = window->findChild<QWidget *>(QStringLiteral("scrollAreaWidgetContents"));
    auto *panels = window->findChild<QVBoxLayout *>(QStringLiteral("verticalLayout"));
    auto *seatColumn = window->findChild<QVBoxLayout *>(QStringLiteral("verticalLayout_7"));
    QVERIFY(scroll && contents && panels && seatColumn);
    QCOMPARE(seatColumn->itemAt(0)->widget(), scroll);
    QCOMPARE(scroll->widget(), contents);
    QCOMPARE(contents->layout(), panels);
    QCOMPARE(scroll->frameShape(), QFrame::NoFrame);
    QVERIFY(scroll->widgetResizable());
    QVERIFY(!scroll->isHidden());
    QCOMPARE(panels->spacing(), 0);
    const QMargins margins = panels->contentsMargins();
    QCOMPARE(margins.top(), 0);
    QCOMPARE(margins.right(), 0);
    QCOMPARE(margins.bottom(), 0);
    QCOMPARE(margins.left(), window->style()->pixelMetric(QStyle::PM_LayoutLeftMargin));
    QCOMPARE(panels->count(), 0);
}

// A theme without the named icons (a bare X session has hicolor only) leaves
// no action or button blank: the style's pictures stand in, and the texts
// stay.
void TestMainWindowConstruction::missingIconsHaveStandIns()
{
    QIcon::setThemeName(QStringLiteral("no-such-theme"));
    auto window = m_harness->create();
    QVERIFY(TestIconTheme::install());
    for (const char *name : {"saveAction", "exitAction", "reloadAction", "addSeatAction"}) {
        auto *action = window->findChild<QAction *>(QLatin1String(name));
        QVERIFY(action);
        QVERIFY2(action->icon().name().isEmpty(), name);
        QVERIFY2(!action->icon().pixmap(16, 16).isNull(), name);
        QVERIFY2(!action->text().isEmpty(), name);
    }
    auto *rename = window->findChild<QPushButton *>(QStringLiteral("renameButton"));
    QVERIFY(!rename->icon().pixmap(16, 16).isNull());
}

QTEST_MAIN(TestMainWindowConstruction)
#include "tst_mainwindow_construction.moc"
