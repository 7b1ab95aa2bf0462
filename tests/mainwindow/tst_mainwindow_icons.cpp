// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "mainwindow/windowfixture.h"
#include "platform/themeicons.h"
#include "seatpanel/seat.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

// On a system without any icon theme (no desktop theme, no fallback theme
// installed where the tool looks), every button of the tool bar and of the
// panels still shows a picture, on the real screen, and has a name for
// screen readers. Runs under Xvfb.

namespace {

// Distinct colours in the middle of a button, where its icon is drawn, on a
// grab of the real screen.
int coloursOfIcon(QWidget *button)
{
    const QSize icon(16, 16);
    const QPoint corner = button->mapTo(button->window(), button->rect().center()) -
                          QPoint(icon.width() / 2, icon.height() / 2);
    const QImage shot = button->window()
                            ->windowHandle()
                            ->screen()
                            ->grabWindow(button->window()->winId(), corner.x(), corner.y(),
                                         icon.width(), icon.height())
                            .toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x)
            colours.insert(shot.pixel(x, y));
    }
    return colours.size();
}

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *interface = QAccessible::queryAccessibleInterface(widget);
    return interface ? interface->text(QAccessible::Name) : QString();
}

} // namespace

class TestMainWindowIcons : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TestEnv::init();
        if (!TestEnv::missingRealInput().isEmpty())
            QSKIP(qPrintable(TestEnv::missingRealInput()));
        ThemeIcons::init();
    }

    void everyButtonShowsAPictureAndHasAName()
    {
        QVERIFY2(QIcon::themeName() == QLatin1String("hicolor") || QIcon::themeName().isEmpty(),
                 qPrintable(QIcon::themeName()));
        QVERIFY(!QIcon::hasThemeIcon(QStringLiteral("document-save")));

        WindowFixture fixture;
        QVERIFY(fixture.useMachine(QStringLiteral("three-seats.machine")));
        MainWindow *window = fixture.openWindow();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTest::qWait(200);

        QList<QWidget *> buttons;
        const auto toolBar = window->findChild<QToolBar *>(QStringLiteral("toolBar"));
        for (QToolButton *button : toolBar->findChildren<QToolButton *>()) {
            if (button->defaultAction() && button->isVisible())
                buttons << button;
        }
        QCOMPARE(buttons.size(), 4); // reload, save, add seat, identify
        buttons << window->findChild<QPushButton *>(QStringLiteral("renameButton"));
        QVERIFY(!window->seatPanels().isEmpty());
        for (Seat *panel : window->seatPanels()) {
            for (const char *name : {"renameButton", "deleteSeatButton", "addDevButton",
                                     "deleteDevButton", "flushButton"})
                buttons << panel->findChild<QPushButton *>(QLatin1String(name));
        }
        for (QWidget *button : qAsConst(buttons)) {
            QVERIFY(button);
            const QString name = accessibleName(button);
            QVERIFY2(!name.isEmpty(), qPrintable(button->objectName()));
            QVERIFY2(coloursOfIcon(button) > 2, qPrintable(name));
            // The tool tip may add the key that does the same.
            if (auto *push = qobject_cast<QPushButton *>(button))
                QVERIFY2(push->toolTip().startsWith(name), qPrintable(push->toolTip()));
        }
    }
};

int main(int argc, char **argv)
{
    // No icon theme anywhere the tool looks: no desktop's, and no Adwaita.
    QTemporaryDir noThemes;
    qputenv("XDG_DATA_DIRS", QFile::encodeName(noThemes.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(noThemes.path()));
    qunsetenv("QT_QPA_PLATFORMTHEME");
    QApplication app(argc, argv);
    TestMainWindowIcons test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow_icons.moc"
