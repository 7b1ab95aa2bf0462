// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/attachjob.h"
#include "common/testenv.h"

#include <QSignalSpy>
#include <QTest>

// The attach job on its own, against the emulated loginctl and udevadm: how
// arrival is judged, the retry schedule, the commands of each step, what a
// missing, failing or hanging command does, and what the job reports while it
// runs and when it ends.

namespace {

const QString Card = QStringLiteral("/sys/devices/pci0000:00/0000:00:03.0/drm/card1");
const QString Mouse = QStringLiteral(
    "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-4/1-4:1.0/0003:093A:2510.0004/input/input9");
const QString Ps2 = QStringLiteral("/sys/devices/platform/i8042/serio1/input/input3");

QByteArray machine(const QByteArray &extra = {})
{
    return "seat seat0\n"
           "device /sys/devices/pci0000:00/0000:00:02.0/drm/card0 drm:card0 master\n"
           "device " +
           Card.toUtf8() + " drm:card1 master\ndevice " + Mouse.toUtf8() +
           " input:input9 name=\"PixArt USB Optical Mouse\"\ndevice " + Ps2.toUtf8() +
           " input:input3 name=\"PS/2 Generic Mouse\"\n" + extra;
}

} // namespace

class TestAttachJob : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void arrival_data();
    void arrival();
    void defaultScheduleCoversUdevRulesWindow();
    void reportsEachDeviceAndTheEnd();
    void lateDeviceRetriedOnSchedule();
    void deviceGivenUpAfterItsTries();
    void errorStopsTheJob();
    void udevadmMissingOrFailing_data();
    void udevadmMissingOrFailing();
    void hangingCommandIsKilled_data();
    void hangingCommandIsKilled();

private:
    // A job that runs the emulated udevadm, never the real one.
    std::unique_ptr<AttachJob> newJob() const
    {
        auto job = std::make_unique<AttachJob>();
        job->setUdevadmProgram(TestEnv::udevadmEmulatorPath());
        return job;
    }

    std::unique_ptr<EmulatedSystem> m_system;
};

void TestAttachJob::initTestCase()
{
    TestEnv::init();
}

void TestAttachJob::init()
{
    m_system = std::make_unique<EmulatedSystem>();
    QVERIFY(m_system->writeMachine(machine()));
}

void TestAttachJob::arrival_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("arrived");

    const QString head = QStringLiteral("seat1\n\t Devices:\n");
    const QString card = "\t\t  ├─" + Card + "\n\t\t  │ [MASTER] drm:card1\n";
    QTest::newRow("path line") << head + card << Card << true;
    QTest::newRow("last line without newline") << head + "\t\t  └─" + Card << Card << true;
    QTest::newRow("carriage return before the newline") << head + "\t\t  └─" + Card + "\r\n"
                                                        << Card << true;
    QTest::newRow("a longer path listed") << head + "\t\t  └─" + Ps2 + "0\n" << Ps2 << false;
    QTest::newRow("a path that holds it further on")
        << head + "\t\t  └─/sys/devices/virtual" + Ps2 + "\n"
        << Ps2 << false;
    QTest::newRow("a child's path") << head + "\t\t  └─" + Card + "/card1-DP-1\n" << Card << false;
    QTest::newRow("empty output") << QString() << Card << false;
    QTest::newRow("empty address") << head + card << QString() << false;
}

void TestAttachJob::arrival()
{
    QFETCH(QString, status);
    QFETCH(QString, address);
    QFETCH(bool, arrived);
    QCOMPARE(AttachJob::hasArrived(status, address), arrived);
}

// udevd re-reads its rules at most every 3 s: the waits of one device must
// add up to more than that, and doubling keeps the first retries quick.
void TestAttachJob::defaultScheduleCoversUdevRulesWindow()
{
    AttachJob job;
    QCOMPARE(job.retryDelays(), (QList<int>{100, 200, 400, 800, 1600, 3200}));
}

void TestAttachJob::reportsEachDeviceAndTheEnd()
{
    auto jobOwner = newJob();
    AttachJob &job = *jobOwner;
    QSignalSpy attaching(&job, &AttachJob::attaching);
    QSignalSpy progress(&job, &AttachJob::progressChanged);
    QSignalSpy finished(&job, &AttachJob::finished);
    job.start({{"seat1", Card}, {"seat1", Mouse}});
    QVERIFY(job.isRunning());
    QVERIFY(finished.wait(10000));
    QVERIFY(!job.isRunning());

    QCOMPARE(attaching.size(), 2);
    QCOMPARE(attaching.at(0), (QList<QVariant>{"seat1", Card}));
    QCOMPARE(attaching.at(1), (QList<QVariant>{"seat1", Mouse}));
    QCOMPARE(progress.size(), 2);
    QCOMPARE(progress.at(0), (QList<QVariant>{1, 2}));
    QCOMPARE(progress.at(1), (QList<QVariant>{2, 2}));
    const auto outcome = finished.first().first().value<AttachOutcome>();
    QCOMPARE(int(outcome.result), int(AttachOutcome::Result::AllArrived));
    QVERIFY(outcome.failed.isEmpty());
    // Each step: the attach, udevd made to apply it at once, then the check.
    QList<QStringList> step;
    for (const QString &path : {Card, Mouse}) {
        step << QStringList{"loginctl", "attach", "seat1", path}
             << QStringList{"udevadm", "control", "--reload"}
             << QStringList{"udevadm", "trigger", "--settle", "--action=change",
                            "--parent-match=" + path}
             << QStringList{"loginctl", "seat-status", "seat1"};
    }
    QCOMPARE(m_system->sequence(), step);
}

// A device seen only by the third check is attached three times, after the
// first two waits of the schedule, and announced once.
void TestAttachJob::lateDeviceRetriedOnSchedule()
{
    QVERIFY(m_system->writeMachine(
        machine("fault attach lag never arg=" + Mouse.toUtf8() + " times=2\n")));
    auto jobOwner = newJob();
    AttachJob &job = *jobOwner;
    job.setRetryDelays({150, 250, 5000});
    QSignalSpy attaching(&job, &AttachJob::attaching);
    QSignalSpy finished(&job, &AttachJob::finished);
    QElapsedTimer clock;
    clock.start();
    job.start({{"seat1", Card}, {"seat1", Mouse}});
    QVERIFY(finished.wait(10000));
    QVERIFY2(clock.elapsed() >= 400, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(clock.elapsed() < 5000, "the third wait is never reached");

    QCOMPARE(attaching.size(), 2);
    // The whole step again after each miss.
    const QList<QStringList> step{
        {"loginctl", "attach", "seat1", Mouse},
        {"udevadm", "control", "--reload"},
        {"udevadm", "trigger", "--settle", "--action=change", "--parent-match=" + Mouse},
        {"loginctl", "seat-status", "seat1"}};
    QCOMPARE(m_system->sequence().mid(4), step + step + step);
    QCOMPARE(int(finished.first().first().value<AttachOutcome>().result),
             int(AttachOutcome::Result::AllArrived));
}

// A device that never shows up gets one attach more than the schedule has
// waits; it counts as handled, the queue goes on, and the end names it.
void TestAttachJob::deviceGivenUpAfterItsTries()
{
    QVERIFY(m_system->writeMachine(machine("fault attach lag never arg=" + Ps2.toUtf8() + "\n")));
    auto jobOwner = newJob();
    AttachJob &job = *jobOwner;
    job.setRetryDelays({5, 5, 5});
    QSignalSpy progress(&job, &AttachJob::progressChanged);
    QSignalSpy finished(&job, &AttachJob::finished);
    job.start({{"seat1", Card}, {"seat1", Ps2}, {"seat1", Mouse}});
    QVERIFY(finished.wait(10000));

    int ps2Attaches = 0;
    for (const QStringList &call : m_system->calls())
        ps2Attaches += call == QStringList{"attach", "seat1", Ps2};
    QCOMPARE(ps2Attaches, 4);
    QCOMPARE(m_system->calls().last(), (QStringList{"seat-status", "seat1"}));
    QCOMPARE(m_system->calls().at(m_system->calls().size() - 2),
             (QStringList{"attach", "seat1", Mouse}));
    QCOMPARE(progress.size(), 3);
    const auto outcome = finished.first().first().value<AttachOutcome>();
    QCOMPARE(int(outcome.result), int(AttachOutcome::Result::SomeFailed));
    QCOMPARE(outcome.failed, (QList<AttachPair>{{"seat1", Ps2}}));
}

// A crash ends the job at once with both of the runner's error texts; no
// further command runs.
void TestAttachJob::errorStopsTheJob()
{
    QVERIFY(m_system->writeMachine(machine("fault attach crash from=2 times=1\n")));
    auto jobOwner = newJob();
    AttachJob &job = *jobOwner;
    QSignalSpy errors(&job, &AttachJob::error);
    QSignalSpy finished(&job, &AttachJob::finished);
    job.start({{"seat1", Card}, {"seat1", Mouse}, {"seat1", Ps2}});
    QVERIFY(finished.wait(10000));
    QTRY_COMPARE(errors.size(), 2);
    QCOMPARE(errors.last().first().toString(), QStringLiteral("Crashed: code is 9"));
    QCOMPARE(int(finished.first().first().value<AttachOutcome>().result),
             int(AttachOutcome::Result::Stopped));
    QTest::qWait(100);
    QCOMPARE(m_system->calls().size(), 3);
    QCOMPARE(finished.size(), 1);
}

// udevadm missing (udev not installed) or failing (udevd not running) is no
// error: the step goes on to its check, and the retries give udevd its time.
void TestAttachJob::udevadmMissingOrFailing_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QByteArray>("fault");
    QTest::newRow("missing") << "/nonexistent/udevadm" << QByteArray();
    QTest::newRow("reload fails") << QString() << QByteArray("control:fail");
    QTest::newRow("both fail") << QString() << QByteArray("*:fail");
    QTest::newRow("trigger crashes") << QString() << QByteArray("trigger:crash");
}

void TestAttachJob::udevadmMissingOrFailing()
{
    QFETCH(QString, program);
    QFETCH(QByteArray, fault);
    QVERIFY(m_system->writeMachine(
        machine("fault attach lag never arg=" + Mouse.toUtf8() + " times=1\n")));
    if (!fault.isEmpty())
        qputenv("ZEL_UDEVADM_FAULT", fault);
    auto job = newJob();
    if (!program.isEmpty())
        job->setUdevadmProgram(program);
    job->setRetryDelays({10, 10});
    QSignalSpy errors(job.get(), &AttachJob::error);
    QSignalSpy finished(job.get(), &AttachJob::finished);
    job->start({{"seat1", Card}, {"seat1", Mouse}});
    QVERIFY(finished.wait(10000));
    qunsetenv("ZEL_UDEVADM_FAULT");

    QCOMPARE(int(finished.first().first().value<AttachOutcome>().result),
             int(AttachOutcome::Result::AllArrived));
    QCOMPARE(errors.size(), 0);
    QCOMPARE(m_system->calls(), (QList<QStringList>{{"attach", "seat1", Card},
                                                    {"seat-status", "seat1"},
                                                    {"attach", "seat1", Mouse},
                                                    {"seat-status", "seat1"},
                                                    {"attach", "seat1", Mouse},
                                                    {"seat-status", "seat1"}}));
}

// A command that never ends is killed after the time limit; the job stops
// with one message naming the command, and no child is left.
void TestAttachJob::hangingCommandIsKilled_data()
{
    QTest::addColumn<QByteArray>("machineFault");
    QTest::addColumn<QByteArray>("udevadmFault");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("loginctlCalls");
    QTest::newRow("loginctl attach")
        << QByteArray("fault attach sleep 600000 arg=" + Mouse.toUtf8()) << QByteArray()
        << "loginctl did not answer within 1 seconds." << 3;
    QTest::newRow("loginctl seat-status")
        << QByteArray("fault seat-status sleep 600000 from=2") << QByteArray()
        << "loginctl did not answer within 1 seconds." << 4;
    QTest::newRow("udevadm trigger") << QByteArray() << QByteArray("trigger:hang")
                                     << "udevadm did not answer within 1 seconds." << 1;
}

void TestAttachJob::hangingCommandIsKilled()
{
    QFETCH(QByteArray, machineFault);
    QFETCH(QByteArray, udevadmFault);
    QFETCH(QString, message);
    QFETCH(int, loginctlCalls);
    QVERIFY(m_system->writeMachine(machine(machineFault + "\n")));
    if (!udevadmFault.isEmpty())
        qputenv("ZEL_UDEVADM_FAULT", udevadmFault);
    auto job = newJob();
    job->setTimeLimit(1000);
    QSignalSpy errors(job.get(), &AttachJob::error);
    QSignalSpy finished(job.get(), &AttachJob::finished);
    QElapsedTimer clock;
    clock.start();
    job->start({{"seat1", Card}, {"seat1", Mouse}});
    QVERIFY(finished.wait(20000));
    qunsetenv("ZEL_UDEVADM_FAULT");
    QVERIFY2(clock.elapsed() >= 1000, "killed before its time");
    QTest::qWait(200);

    QCOMPARE(int(finished.first().first().value<AttachOutcome>().result),
             int(AttachOutcome::Result::Stopped));
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().first().toString(), message);
    QCOMPARE(m_system->calls().size(), loginctlCalls);
    QVERIFY(!job->isRunning());
}

QTEST_GUILESS_MAIN(TestAttachJob)
#include "tst_attachjob.moc"
