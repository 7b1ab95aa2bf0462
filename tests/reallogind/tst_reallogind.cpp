#include "common/testenv.h"
#include "reallogindrun.h"
#include "seatstate/loginctlutil.h"
#include "seatstate/seatstatusparser.h"

#include <QSignalSpy>
#include <QTest>

// The program against the real systemd-logind, udevd and loginctl, in the
// private sandbox of tests/reallogind/real-logind-sandbox. The functions run
// in order and share the machine: the stand-ins start on seat0, the attach
// loop moves both to seat1.

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

QTEST_MAIN(TestRealLogind)
#include "tst_reallogind.moc"
