// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "common/testicontheme.h"
#include "core/appsettings.h"
#include "mainwindow/windowfixture.h"
#include "seatpanel/devtreewidget.h"
#include "seatpanel/seat.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QSet>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <functional>

namespace {

// Runs xdotool with the arguments and keeps the event loop turning meanwhile.
bool xdotool(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), args);
    if (!process.waitForStarted(5000))
        return false;
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 30000))
        return false;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QStringList clickAt(const QWidget *widget)
{
    const QPoint p = widget->mapToGlobal(widget->rect().center());
    return {"mousemove",
            QString::number(p.x()),
            QString::number(p.y()),
            "sleep",
            "0.2",
            "click",
            "1",
            "sleep",
            "0.2"};
}

int distinctColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    }
    return colours.size();
}

} // namespace

// The window's width on a real X server: the seat column shown and hidden by
// the program and by real clicks, the minimum width, and a picture of the
// populated window.
class TestMainWindowGeometry : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void showSeatsAreaOnceEach();
    void belowTheMinimumWidth();
    void columnFollowsRealClicks();
    void screenshotOfThreeSeats();

private:
    MainWindow *open();

    std::unique_ptr<WindowFixture> m_harness;
    std::unique_ptr<PromptAnswerer> m_answerer;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindowGeometry::initTestCase()
{
    TestEnv::init();
    QVERIFY(TestIconTheme::install());
    const QString missing = TestEnv::missingRealInput();
    if (!missing.isEmpty())
        QSKIP(qPrintable(missing));
}

void TestMainWindowGeometry::init()
{
    TestEnv::clearSettings();
    m_harness = std::make_unique<WindowFixture>();
    m_answerer = std::make_unique<PromptAnswerer>();
    // Out of the way of the window.
    QVERIFY(xdotool({"mousemove", "1590", "1190"}));
}

void TestMainWindowGeometry::cleanup()
{
    m_window.reset();
    m_answerer.reset();
    m_harness.reset();
}

MainWindow *TestMainWindowGeometry::open()
{
    if (!m_harness->useMachine(QStringLiteral("three-seats.machine")))
        return nullptr;
    m_window = m_harness->create();
    m_window->move(20, 20);
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()) || !WindowFixture::waitLoaded(m_window.get()))
        return nullptr;
    QTest::qWait(100);
    return m_window.get();
}

void TestMainWindowGeometry::showSeatsAreaOnceEach()
{
    MainWindow *window = open();
    QVERIFY(window);
    auto *scroll = window->findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    QTRY_COMPARE(window->geometry().size(), QSize(1064, 600));

    window->showSeatsArea(true);
    QTest::qWait(100);
    QCOMPARE(window->width(), 1064);
    window->showSeatsArea(false);
    QTRY_COMPARE(window->width(), 505);
    QVERIFY(scroll->isHidden());
    window->showSeatsArea(false);
    QTest::qWait(100);
    QCOMPARE(window->width(), 505);
    window->showSeatsArea(true);
    QTRY_COMPARE(window->width(), 1063);
    QVERIFY(scroll->isVisible());
    window->showSeatsArea(true);
    QTest::qWait(100);
    QCOMPARE(window->width(), 1063);
    QCOMPARE(window->height(), 600);
}

void TestMainWindowGeometry::belowTheMinimumWidth()
{
    MainWindow *window = open();
    QVERIFY(window);
    window->resize(500, 600);
    QTRY_COMPARE(window->width(), 500);
    window->showSeatsArea(false);
    QTest::qWait(200);
    QCOMPARE(window->width(), 500);
    window->showSeatsArea(true);
    QTRY_COMPARE(window->width(), 1053); // round(500 / 0.475)
}

void TestMainWindowGeometry::columnFollowsRealClicks()
{
    MainWindow *window = open();
    QVERIFY(window);
    auto *scroll = window->findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    Seat *panel = window->seatPanels().first();

    // Deleting the only panel; the question is answered through the prompt.
    m_answerer->answer(QMessageBox::Yes);
    QVERIFY(xdotool(clickAt(Trees::button(panel, "deleteSeatButton"))));
    QTRY_COMPARE(Trees::livePanels(window), 0);
    QCOMPARE(m_answerer->seen.size(), 1);
    QCOMPARE(m_answerer->seen.first().title, QStringLiteral("Devices disconnection"));
    QVERIFY(scroll->isHidden());
    QTRY_COMPARE(window->width(), 505);

    // A seat added through the tool bar brings the column back.
    auto *toolBar = window->findChild<QToolBar *>(QStringLiteral("toolBar"));
    QWidget *addButton =
        toolBar->widgetForAction(window->findChild<QAction *>(QStringLiteral("addSeatAction")));
    QVERIFY(addButton && addButton->isEnabled());
    m_answerer->act(CreateSeatAnswer::create(QStringLiteral("Library"), QString(), nullptr));
    QVERIFY(xdotool(clickAt(addButton)));
    QTRY_COMPARE_WITH_TIMEOUT(window->seatPanels().size(), 1, 10000);
    QCOMPARE(m_answerer->seen.size(), 2);
    QCOMPARE(m_answerer->seen.at(1).className, QStringLiteral("CreateSeatDialog"));
    QCOMPARE(window->seatPanels().first()->seatId(), QStringLiteral("seat1"));
    QCOMPARE(AppSettings::seatDisplayName(QStringLiteral("seat1")), QStringLiteral("Library"));
    QVERIFY(scroll->isVisible());
    QTRY_COMPARE(window->width(), 1063);
    QCOMPARE(m_answerer->unexpected(), 0);
}

void TestMainWindowGeometry::screenshotOfThreeSeats()
{
    AppSettings::setSeatDisplayName(QStringLiteral("seat0"), QStringLiteral("Reception"));
    AppSettings::setSeatDisplayName(QStringLiteral("seat1"), QStringLiteral("Classroom"));
    MainWindow *window = open();
    QVERIFY(window);
    QTest::qWait(300);
    const QImage image = window->grab().toImage();
    QCOMPARE(image.size() / image.devicePixelRatio(), window->size());
    // Icons, texts and both trees give many colours; a blank or black grab
    // gives one or two.
    QVERIFY2(distinctColours(image) > 20, "the grabbed window looks empty");

    const QString dir = QStringLiteral(QT_TESTCASE_BUILDDIR) + QStringLiteral("/artifacts");
    QVERIFY(QDir().mkpath(dir));
    const QString file = dir + QStringLiteral("/mainwindow-three-seats.png");
    QVERIFY(image.save(file, "PNG"));
    qInfo("screenshot: %s", qPrintable(file));
}

QTEST_MAIN(TestMainWindowGeometry)
#include "tst_mainwindow_geometry.moc"
