// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "hardware/hotplugmonitor.h"
#include "hardware/udevdeviceinfo.h"
#include "mainwindow/mainwindow.h"
#include "reallogindrun.h"
#include "seatpanel/devtreewidget.h"
#include "seatstate/loginctlutil.h"
#include "seatstate/seatstatusparser.h"

#include <QAction>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidgetItem>

// The program against the real systemd-logind, udevd and loginctl, in the
// private sandbox of tests/reallogind/real-logind-sandbox. The functions run
// in order and share the machine: the stand-ins start on seat0, the attach
// loop moves both to seat1; later the keyboard controller is left on seat3,
// which logind never lists, and brought back to seat0.

namespace {

using Entries = QList<DeviceEntry>;

// The entries of one category, sorted by path so that the order in which a
// multimap keeps equal keys does not matter.
Entries entriesOf(const SeatDevices &devices, DeviceCategory category)
{
    Entries entries = devices.values(category);
    std::sort(entries.begin(), entries.end(),
              [](const DeviceEntry &a, const DeviceEntry &b) { return a.second < b.second; });
    return entries;
}

// Runs one command of the runner to its end; false when it reported an error
// or no end at all.
bool runToEnd(LoginctlUtil &util, const char *finished, const std::function<void()> &start)
{
    QSignalSpy ended(&util, finished);
    QSignalSpy failed(&util, &LoginctlUtil::error);
    start();
    if (!ended.wait(10000) && ended.isEmpty())
        return false;
    return failed.isEmpty();
}

// What the real udevadm says of a device: its properties.
QHash<QString, QString> udevProperties(const QString &syspath)
{
    QProcess process;
    process.start(QStringLiteral("udevadm"),
                  {QStringLiteral("info"), QStringLiteral("--query=property"),
                   QStringLiteral("--path=") + syspath});
    process.waitForFinished(10000);
    QHash<QString, QString> properties;
    for (const QString &line : QString::fromUtf8(process.readAllStandardOutput()).split('\n')) {
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals > 0)
            properties.insert(line.left(equals), line.mid(equals + 1));
    }
    return properties;
}

// The driver bound to the device or its nearest parent, as sysfs links it.
QString sysfsDriver(QString syspath)
{
    while (syspath.startsWith(QLatin1String("/sys/devices/"))) {
        const QFileInfo link(syspath + QStringLiteral("/driver"));
        if (link.exists())
            return QFileInfo(link.symLinkTarget()).fileName();
        syspath = syspath.section(QLatin1Char('/'), 0, -2);
    }
    return {};
}

bool runUdevadm(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral("udevadm"), args);
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

// A window on the real logind and udev, as the installed program has it.
struct RealWindow
{
    int restarts = 0;
    std::shared_ptr<HotplugMonitor> monitor = std::make_shared<HotplugMonitor>();
    std::unique_ptr<MainWindow> window;

    bool open()
    {
        MainWindowEnvironment environment = RealLogind::windowEnvironment(&restarts);
        environment.deviceInfo = std::make_shared<UdevDeviceInfo>();
        environment.hotplug = monitor;
        window = std::make_unique<MainWindow>(nullptr, environment);
        window->show();
        return QTest::qWaitFor([this] { return !window->isLoading(); }, 10000);
    }
};

int listSeatsCalls()
{
    int n = 0;
    for (const RealLogind::Call &call : RealLogind::calls())
        n += call.args.value(0) == QLatin1String("list-seats");
    return n;
}

} // namespace

class TestRealLogind : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void runnerReadsSeatsAndStatus();
    void runnerEndsNormallyOnRefusals();
    void attachLoopVerifiesBothStandIns();
    void repeatedMovesArriveAtTheFirstCheck();
    void udevDetailsOfTheStandIns();
    void connectedDeviceMakesTheWindowReload();
    void deviceOnAGoneSeatReturnsToSeat0();

private:
    QString m_master;
    QString m_device;
    Entries m_standInsOnSeat0;
};

void TestRealLogind::initTestCase()
{
    const QString outside = RealLogind::outsideSandbox();
    if (!outside.isEmpty())
        QFAIL(qPrintable(outside));
    TestEnv::init();
    m_master = RealLogind::masterStandIn();
    m_device = RealLogind::deviceStandIn();
    QVERIFY(!m_master.isEmpty() && !m_device.isEmpty());
    QVERIFY(RealLogind::installCallLog());
    // The parser classifies by text: neither stand-in reads like a card, a
    // keyboard or a mouse.
    m_standInsOnSeat0 = {{QStringLiteral("[MASTER] platform:pcspkr"), m_master},
                         {QStringLiteral("pnp:00:01 \"PNP0303\""), m_device}};
    std::sort(m_standInsOnSeat0.begin(), m_standInsOnSeat0.end(),
              [](const DeviceEntry &a, const DeviceEntry &b) { return a.second < b.second; });
}

void TestRealLogind::runnerReadsSeatsAndStatus()
{
    LoginctlUtil util;
    QVERIFY(runToEnd(util, SIGNAL(seatsListReadingFinished()), [&] { util.readSeatsList(); }));
    QCOMPARE(parseSeatList(util.readOutput()), QStringList{QStringLiteral("seat0")});

    QVERIFY(runToEnd(util, SIGNAL(seatStatusReadingFinished()),
                     [&] { util.readSeatStatus(QStringLiteral("seat0")); }));
    QCOMPARE(entriesOf(util.devices, UnrecognizedCategory), m_standInsOnSeat0);
    QVERIFY(util.devices.values(VideocardCategory).isEmpty());
    QVERIFY(util.devices.values(KeyboardCategory).isEmpty());
    QVERIFY(util.devices.values(MouseCategory).isEmpty());
    QCOMPARE(util.devices.size(), 2);
}

void TestRealLogind::runnerEndsNormallyOnRefusals()
{
    LoginctlUtil util;
    // A seat logind does not know: loginctl fails, the read still ends and
    // replaces what an earlier read left.
    QVERIFY(runToEnd(util, SIGNAL(seatStatusReadingFinished()),
                     [&] { util.readSeatStatus(QStringLiteral("seat0")); }));
    QCOMPARE(util.devices.size(), 2);
    QVERIFY(runToEnd(util, SIGNAL(seatStatusReadingFinished()),
                     [&] { util.readSeatStatus(QStringLiteral("seat9")); }));
    QVERIFY(util.devices.isEmpty());

    // logind refuses a seat name that is not valid; the attach ends normally
    // and nothing moves.
    QSignalSpy attached(&util, &LoginctlUtil::deviceAttached);
    QVERIFY(runToEnd(util, SIGNAL(deviceAttached(QString, QString)),
                     [&] { util.attachThisDevice(QStringLiteral("bad seat"), m_device); }));
    QCOMPARE(attached.size(), 1);
    QCOMPARE(attached.at(0).at(0).toString(), QStringLiteral("bad seat"));
    QCOMPARE(attached.at(0).at(1).toString(), m_device);
    QVERIFY(runToEnd(util, SIGNAL(seatStatusCheckingFinished()),
                     [&] { util.checkSeatStatus(QStringLiteral("seat0")); }));
    const QString check = util.readOutput();
    QVERIFY(check.contains(m_device + QLatin1Char('\n')));
    QVERIFY(check.contains(m_master + QLatin1Char('\n')));
    // Give udevd time to have handled anything the refusal could have caused.
    QTest::qWait(300);
    QVERIFY(RealLogind::loginctl({QStringLiteral("seat-status"), QStringLiteral("seat0")})
                .contains(m_device + QLatin1Char('\n')));
}

void TestRealLogind::attachLoopVerifiesBothStandIns()
{
    // The master first, so that seat1 exists; the device's attach then comes
    // right after an attach that made udevd read its rules, inside udevd's
    // 3 s window: only the reload and the replayed event after it move the
    // device at once.
    const QList<QPair<QString, QString>> queue{{QStringLiteral("seat1"), m_master},
                                               {QStringLiteral("seat1"), m_device}};
    const RealLogind::LoopResult result = RealLogind::runAttachLoop(queue, 30000);
    QVERIFY2(result.finished, "the attach loop did not end");
    QVERIFY2(result.boxes.isEmpty(), qPrintable(result.boxes.join(QLatin1String(" | "))));
    QCOMPARE(result.restarts, 1);
    QVERIFY(result.windowEnabled || result.restarted);
    QVERIFY(result.stateSaved);

    QCOMPARE(result.pairs.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const RealLogind::PairResult &pair = result.pairs.at(i);
        QCOMPARE(pair.seat, queue.at(i).first);
        QCOMPARE(pair.address, queue.at(i).second);
        qInfo("%s: %d attach(es), %.3f s", qPrintable(pair.address), pair.attaches, pair.seconds);
        // One attach, the reload and the trigger, one check.
        QCOMPARE(pair.attaches, 1);
        QCOMPARE(pair.udevadm, 2);
        QCOMPARE(pair.checks, 1);
    }
    qInfo("attach loop: %.3f s in all", result.seconds);

    LoginctlUtil util;
    QVERIFY(runToEnd(util, SIGNAL(seatsListReadingFinished()), [&] { util.readSeatsList(); }));
    QCOMPARE(parseSeatList(util.readOutput()),
             (QStringList{QStringLiteral("seat0"), QStringLiteral("seat1")}));
    QVERIFY(runToEnd(util, SIGNAL(seatStatusReadingFinished()),
                     [&] { util.readSeatStatus(QStringLiteral("seat1")); }));
    QCOMPARE(entriesOf(util.devices, UnrecognizedCategory), m_standInsOnSeat0);
    QCOMPARE(util.devices.size(), 2);
    QVERIFY(runToEnd(util, SIGNAL(seatStatusReadingFinished()),
                     [&] { util.readSeatStatus(QStringLiteral("seat0")); }));
    QVERIFY(util.devices.isEmpty());
}

// The keyboard controller stand-in back and forth between seat1 and seat0:
// every move rewrites or removes its rules file inside udevd's window, and
// every one is seen by its first check.
void TestRealLogind::repeatedMovesArriveAtTheFirstCheck()
{
    QList<QPair<QString, QString>> queue;
    for (int i = 0; i < 6; ++i)
        queue.append({i % 2 == 0 ? QStringLiteral("seat0") : QStringLiteral("seat1"), m_device});
    const RealLogind::LoopResult result = RealLogind::runAttachLoop(queue, 60000);
    QVERIFY2(result.finished, "the attach loop did not end");
    QVERIFY2(result.boxes.isEmpty(), qPrintable(result.boxes.join(QLatin1String(" | "))));
    QCOMPARE(result.restarts, 1);
    QCOMPARE(result.pairs.size(), queue.size());
    for (const RealLogind::PairResult &pair : result.pairs) {
        qInfo("%s to %s: %d attach(es), %d check(s), %.3f s", qPrintable(pair.address),
              qPrintable(pair.seat), pair.attaches, pair.checks, pair.seconds);
        QCOMPARE(pair.attaches, 1);
        QCOMPARE(pair.checks, 1);
    }
    qInfo("%d moves: %.3f s in all", int(queue.size()), result.seconds);
    QVERIFY(RealLogind::loginctl({QStringLiteral("seat-status"), QStringLiteral("seat1")})
                .contains(m_device + QLatin1Char('\n')));
}

// What the tool reads from udev is what udevadm and sysfs say.
void TestRealLogind::udevDetailsOfTheStandIns()
{
    const UdevDeviceInfo info;
    for (const QString &path : {m_master, m_device}) {
        const DeviceDetails details = info.details(path);
        const QHash<QString, QString> properties = udevProperties(path);
        QVERIFY2(!properties.isEmpty(), qPrintable(path));
        QVERIFY(details.known);
        QCOMPARE(details.syspath, path);
        QCOMPARE(details.subsystem, properties.value("SUBSYSTEM"));
        QCOMPARE(details.seat, QStringLiteral("seat1"));
        QCOMPARE(details.seat, properties.value("ID_SEAT"));
        QCOMPARE(details.physicalPath, properties.value("ID_PATH"));
        QCOMPARE(details.driver, sysfsDriver(path));
        QVERIFY(!details.keyboard && !details.mouse);
        qInfo("%s: subsystem %s, port \"%s\", driver \"%s\", seat %s", qPrintable(path),
              qPrintable(details.subsystem), qPrintable(details.physicalPath),
              qPrintable(details.driver), qPrintable(details.seat));
    }
    QCOMPARE(info.details(QStringLiteral("/sys/devices/nonexistent")).known, false);

    // Every device tagged for seats, named as loginctl names it.
    QHash<QString, SeatTaggedDevice> tagged;
    for (const SeatTaggedDevice &device : info.seatDevices())
        tagged.insert(device.syspath, device);
    QVERIFY(tagged.contains(m_master) && tagged.contains(m_device));
    QCOMPARE(tagged.value(m_master).subsystem, QStringLiteral("platform"));
    QCOMPARE(tagged.value(m_master).sysname, QStringLiteral("pcspkr"));
    QVERIFY(tagged.value(m_master).master);
    QCOMPARE(tagged.value(m_device).sysname, QStringLiteral("00:01"));
    QCOMPARE(tagged.value(m_device).name, QStringLiteral("PNP0303"));
    QVERIFY(!tagged.value(m_device).master);
    QCOMPARE(tagged.value(m_device).seat, QStringLiteral("seat1"));
}

// An "add" of a seat device while the window shows the seats, nothing
// unsaved: the window reads the seats again by itself.
void TestRealLogind::connectedDeviceMakesTheWindowReload()
{
    TestEnv::answerPromptsWithEscape();
    RealWindow real;
    QVERIFY(real.monitor->isListening());
    QVERIFY(real.open());
    QVERIFY(!real.window->stateChanged());
    QSignalSpy events(real.monitor.get(), &HotplugSource::seatDeviceChanged);
    RealLogind::clearCalls();
    QVERIFY(runUdevadm({QStringLiteral("trigger"), QStringLiteral("--action=add"), m_device}));
    QTRY_VERIFY_WITH_TIMEOUT(!events.isEmpty(), 10000);
    QCOMPARE(events.first().at(0).toString(), QStringLiteral("add"));
    QCOMPARE(events.first().at(1).toString(), m_device);
    QCOMPARE(events.first().at(2).toString(), QStringLiteral("seat1"));
    QTRY_COMPARE_WITH_TIMEOUT(listSeatsCalls(), 1, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!real.window->isLoading(), 10000);
    QCOMPARE(real.window->seatPanels().size(), 1);
    QCOMPARE(real.restarts, 0);
}

// The keyboard controller left on seat3, where no master is: logind lists no
// seat3, the window shows the device in the main seat and says where it was.
// The attach a save makes for it brings it back to seat0. (The sandbox has
// no video card, so the save's own checks stop before they get there.)
void TestRealLogind::deviceOnAGoneSeatReturnsToSeat0()
{
    TestEnv::answerPromptsWithEscape();
    QVERIFY(runUdevadm({QStringLiteral("control"), QStringLiteral("--reload")}));
    QCOMPARE(RealLogind::loginctl({QStringLiteral("attach"), QStringLiteral("seat3"), m_device}),
             QString());
    QVERIFY(runUdevadm({QStringLiteral("control"), QStringLiteral("--reload")}));
    QVERIFY(runUdevadm({QStringLiteral("trigger"), QStringLiteral("--settle"),
                        QStringLiteral("--action=change"),
                        QStringLiteral("--parent-match=") + m_device}));
    const UdevDeviceInfo info;
    QTRY_COMPARE_WITH_TIMEOUT(info.details(m_device).seat, QStringLiteral("seat3"), 10000);
    QVERIFY(!RealLogind::loginctl({QStringLiteral("list-seats")}).contains(QLatin1String("seat3")));

    RealWindow real;
    QVERIFY(real.open());
    MainWindow *w = real.window.get();
    const QTreeWidgetItem *item = nullptr;
    for (QTreeWidgetItem *candidate : w->mainTree()->findItems(
             QStringLiteral("PNP0303"), Qt::MatchContains | Qt::MatchRecursive)) {
        if (candidate->data(0, DevTreeWidget::AddressRole).toStringList() == QStringList{m_device})
            item = candidate;
    }
    QVERIFY(item);
    QCOMPARE(item->text(0), QStringLiteral("pnp:00:01 \"PNP0303\""));
    QVERIFY2(item->toolTip(0).contains(QStringLiteral("assigned to seat3, which no longer exists")),
             qPrintable(item->toolTip(0)));
    QVERIFY(w->stateChanged());

    w->startApplying({{QStringLiteral("seat0"), m_device}});
    QVERIFY(QTest::qWaitFor([w] { return !w->isApplying(); }, 30000));
    QCOMPARE(real.restarts, 1);
    QVERIFY(!w->stateChanged());
    QVERIFY(RealLogind::loginctl({QStringLiteral("seat-status"), QStringLiteral("seat0")})
                .contains(m_device + QLatin1Char('\n')));
    // logind's rule names seat0 now.
    QCOMPARE(info.details(m_device).seat, QStringLiteral("seat0"));
}

QTEST_MAIN(TestRealLogind)
#include "tst_reallogind.moc"
