// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "seatstate/loginctlutil.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// LoginctlUtil against the emulated loginctl: which arguments reach loginctl,
// which signal ends each command, and what the failure paths emit.
class TestLoginctlUtil : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listSeats();
    void emptySeatListStillFinishes();
    void readSeatStatusParsesDevices();
    void unknownSeatFinishesWithNoDevices();
    void checkSeatStatusLeavesDevicesAlone();
    void treeIsReadInUtf8UnderAsciiLocale();
    void attachPassesExactlyThreeArguments();
    void attachFailureIsNoError();
    void blanksStayInOneArgument();
    void crashGivesTwoErrors();
    void missingLoginctlGivesOneError();
    void killedCommandGivesOneError_data();
    void killedCommandGivesOneError();
    void outputEndsAtNul();
    void idleRunnerIgnoresTheEnd();
    void secondCommandWhileRunningIsRefused();
    void refusedAttachLeavesTheRunningOnesDevice();

private:
    std::unique_ptr<EmulatedSystem> m_system;
    QByteArray m_path;
};

struct Spies
{
    explicit Spies(LoginctlUtil &util)
        : error(&util, &LoginctlUtil::error), list(&util, &LoginctlUtil::seatsListReadingFinished),
          status(&util, &LoginctlUtil::seatStatusReadingFinished),
          attached(&util, &LoginctlUtil::deviceAttached),
          check(&util, &LoginctlUtil::seatStatusCheckingFinished)
    {
    }
    int completions() const
    {
        return list.count() + status.count() + attached.count() + check.count();
    }
    QSignalSpy error, list, status, attached, check;
};

void TestLoginctlUtil::initTestCase()
{
    TestEnv::init();
    m_path = qgetenv("PATH");
    QVERIFY2(m_path.startsWith(QFile::encodeName(QFileInfo(TestEnv::emulatorPath()).path())),
             "the emulated loginctl must come first on PATH");
}

void TestLoginctlUtil::init()
{
    m_system = std::make_unique<EmulatedSystem>();
    QVERIFY(m_system->useMachine("three-seats.machine"));
}

void TestLoginctlUtil::cleanup()
{
    qputenv("PATH", m_path);
}

void TestLoginctlUtil::listSeats()
{
    LoginctlUtil util;
    Spies spies(util);
    util.readSeatsList();
    QVERIFY(spies.list.wait(10000));
    QCOMPARE(spies.completions(), 1);
    QCOMPARE(spies.error.count(), 0);
    QCOMPARE(util.readOutput(), QString("seat0\nseat1\n"));
    // Reading consumes the output.
    QVERIFY(util.readOutput().isNull());
    QCOMPARE(m_system->calls(), QList<QStringList>({{"list-seats", "--no-legend"}}));
}

void TestLoginctlUtil::emptySeatListStillFinishes()
{
    QVERIFY(m_system->useMachine("three-seats.machine", "fault list-seats silent\n"));
    LoginctlUtil util;
    Spies spies(util);
    util.readSeatsList();
    QVERIFY(spies.list.wait(10000));
    QVERIFY(util.readOutput().isNull());
    QCOMPARE(spies.error.count(), 0);
}

void TestLoginctlUtil::readSeatStatusParsesDevices()
{
    QVERIFY(m_system->useMachine("v252-seat1-two-interface-keyboard.machine"));
    LoginctlUtil util;
    Spies spies(util);
    util.readSeatStatus("seat1");
    QVERIFY(spies.status.wait(10000));
    QCOMPARE(spies.completions(), 1);
    QCOMPARE(m_system->calls(), QList<QStringList>({{"seat-status", "seat1"}}));
    QCOMPARE(util.devices.values(VideocardCategory).size(), 1);
    QCOMPARE(util.devices.values(KeyboardCategory).size(), 2);
    QCOMPARE(util.devices.values(MouseCategory).size(), 1);
    QCOMPARE(util.devices.values(KeyboardCategory).first().first,
             QString("Logitech USB Keyboard Consumer Control"));
    // The parse consumed the output.
    QVERIFY(util.readOutput().isNull());
}

void TestLoginctlUtil::unknownSeatFinishesWithNoDevices()
{
    LoginctlUtil util;
    Spies spies(util);
    util.readSeatStatus("seat1");
    QVERIFY(spies.status.wait(10000));
    QVERIFY(!util.devices.isEmpty());

    // loginctl exits 1 with its message on stderr: still a completion, and
    // nothing of the earlier seat is left.
    util.readSeatStatus("seat9");
    QVERIFY(spies.status.wait(10000));
    QCOMPARE(spies.status.count(), 2);
    QCOMPARE(spies.error.count(), 0);
    QVERIFY(util.devices.isEmpty());
}

void TestLoginctlUtil::checkSeatStatusLeavesDevicesAlone()
{
    LoginctlUtil util;
    Spies spies(util);
    util.readSeatStatus("seat1");
    QVERIFY(spies.status.wait(10000));
    const SeatDevices before = util.devices;

    util.checkSeatStatus("seat0");
    QVERIFY(spies.check.wait(10000));
    QCOMPARE(spies.status.count(), 1);
    QCOMPARE(util.devices, before);
    const QString output = util.readOutput();
    QVERIFY(output.startsWith("seat0\n"));
    QVERIFY(output.contains("/sys/devices/pci0000:00/0000:00:02.0/drm/card0\n"));
    QCOMPARE(m_system->calls().last(), QStringList({"seat-status", "seat0"}));
}

void TestLoginctlUtil::treeIsReadInUtf8UnderAsciiLocale()
{
    QVERIFY(m_system->useMachine("v252-seat1-two-interface-keyboard.machine"));
    const QByteArray oldLang = qgetenv("LANG");
    qputenv("LANG", "C");
    LoginctlUtil util;
    Spies spies(util);
    util.readSeatStatus("seat1");
    const bool finished = spies.status.wait(10000);
    qputenv("LANG", oldLang);
    QVERIFY(finished);
    // Under LANG=C loginctl would draw "|-" and "| ", which would stay in the names.
    QCOMPARE(util.devices.values(VideocardCategory),
             QList<DeviceEntry>(
                 {{"[MASTER] drm:card1", "/sys/devices/pci0000:00/0000:00:02.0/drm/card1"}}));
    QCOMPARE(util.devices.values(UnrecognizedCategory).size(), 0);
}

void TestLoginctlUtil::attachPassesExactlyThreeArguments()
{
    const QString mouse = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-6/1-6:1.0/"
                          "0003:045E:0084.0007/input/input11";
    LoginctlUtil util;
    Spies spies(util);
    util.attachThisDevice("seat1", mouse);
    QVERIFY(spies.attached.wait(10000));
    QCOMPARE(spies.completions(), 1);
    QCOMPARE(spies.attached.first(), QVariantList({"seat1", mouse}));
    QCOMPARE(m_system->calls(), QList<QStringList>({{"attach", "seat1", mouse}}));

    // The emulated machine took the attach.
    util.checkSeatStatus("seat1");
    QVERIFY(spies.check.wait(10000));
    QVERIFY(util.readOutput().contains(mouse + "\n"));
}

void TestLoginctlUtil::attachFailureIsNoError()
{
    LoginctlUtil util;
    Spies spies(util);
    const QString address = "/sys/devices/platform/i8042/serio0/input/input3";
    util.attachThisDevice("seat1", address); // unknown device: exit 1
    QVERIFY(spies.attached.wait(10000));
    QCOMPARE(spies.error.count(), 0);
    QCOMPARE(spies.attached.first(), QVariantList({"seat1", address}));
    QCOMPARE(m_system->calls(), QList<QStringList>({{"attach", "seat1", address}}));
    QVERIFY(util.readOutput().isNull()); // the message went to stderr
}

void TestLoginctlUtil::blanksStayInOneArgument()
{
    LoginctlUtil util;
    Spies spies(util);
    util.attachThisDevice("seat 1", "/sys/devices/with blank/and\ttab");
    QVERIFY(spies.attached.wait(10000));
    util.readSeatStatus("seat one");
    QVERIFY(spies.status.wait(10000));
    QCOMPARE(m_system->calls(),
             QList<QStringList>({{"attach", "seat 1", "/sys/devices/with blank/and\ttab"},
                                 {"seat-status", "seat one"}}));
}

void TestLoginctlUtil::crashGivesTwoErrors()
{
    QVERIFY(m_system->useMachine("three-seats.machine", "fault seat-status crash\n"));
    LoginctlUtil util;
    Spies spies(util);
    util.readSeatStatus("seat0");
    QTRY_COMPARE_WITH_TIMEOUT(spies.error.count(), 2, 10000);
    QTest::qWait(100);
    QCOMPARE(spies.error.count(), 2);
    QVERIFY(!spies.error.at(0).at(0).toString().isEmpty());
    QVERIFY(spies.error.at(0).at(0).toString() != spies.error.at(1).at(0).toString());
    QCOMPARE(spies.error.at(1).at(0).toString(), QString("Crashed: code is 9"));
    QCOMPARE(spies.completions(), 0);
}

void TestLoginctlUtil::missingLoginctlGivesOneError()
{
    QTemporaryDir empty;
    qputenv("PATH", QFile::encodeName(empty.path()));
    LoginctlUtil util;
    Spies spies(util);
    util.readSeatsList();
    QVERIFY(spies.error.wait(10000));
    QTest::qWait(200);
    QCOMPARE(spies.error.count(), 1);
    QCOMPARE(spies.completions(), 0);

    // The runner stays usable once loginctl is back.
    qputenv("PATH", m_path);
    util.readSeatsList();
    QVERIFY(spies.list.wait(10000));
}

// A command the runner kills, for hanging or for printing far more than any
// seat has, is one error and no completion.
void TestLoginctlUtil::killedCommandGivesOneError_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<int>("limitMs");
    QTest::addColumn<QString>("told");
    QTest::newRow("time limit") << QByteArray("exec sleep 60\n") << 500
                                << "did not answer within 1 seconds";
    QTest::newRow("output limit") << QByteArray("echo seat0; exec head -c 20000000 /dev/zero\n")
                                  << 0 << "wrote more than 16 MiB";
}

void TestLoginctlUtil::killedCommandGivesOneError()
{
    QFETCH(QByteArray, script);
    QFETCH(int, limitMs);
    QFETCH(QString, told);
    QTemporaryDir bin;
    const QString loginctl = bin.filePath("loginctl");
    QVERIFY(TestEnv::writeFile(loginctl, "#!/bin/sh\n" + script));
    QFile::setPermissions(loginctl, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    qputenv("PATH", QFile::encodeName(bin.path()) + ":" + m_path);
    LoginctlUtil util;
    util.setTimeLimit(limitMs);
    Spies spies(util);
    util.readSeatStatus("seat0");
    QVERIFY(spies.error.wait(20000));
    QCOMPARE(spies.error.count(), 1);
    QVERIFY2(spies.error.first().first().toString().contains(told),
             qPrintable(spies.error.first().first().toString()));
    QCOMPARE(spies.completions(), 0);
    QVERIFY(util.devices.isEmpty());
}

void TestLoginctlUtil::outputEndsAtNul()
{
    QTemporaryDir bin;
    const QString script = bin.filePath("loginctl");
    QVERIFY(TestEnv::writeFile(script, "#!/bin/sh\nprintf 'seat0\\n\\000seat1\\n'\n"));
    QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    qputenv("PATH", QFile::encodeName(bin.path()) + ":" + m_path);
    LoginctlUtil util;
    Spies spies(util);
    util.readSeatsList();
    QVERIFY(spies.list.wait(10000));
    QCOMPARE(util.readOutput(), QString("seat0\n"));
}

void TestLoginctlUtil::idleRunnerIgnoresTheEnd()
{
    QVERIFY(m_system->useMachine("three-seats.machine", "fault seat-status sleep 300\n"));
    LoginctlUtil util;
    Spies spies(util);
    util.checkSeatStatus("seat1");
    util.setIdle();
    QTest::qWait(1500);
    QCOMPARE(spies.completions(), 0);
    QCOMPARE(spies.error.count(), 0);
    QCOMPARE(m_system->calls().size(), 1);
}

void TestLoginctlUtil::secondCommandWhileRunningIsRefused()
{
    QVERIFY(m_system->useMachine("three-seats.machine", "fault seat-status sleep 300\n"));
    LoginctlUtil util;
    Spies spies(util);
    util.readSeatStatus("seat1");
    util.attachThisDevice("seat1", "/sys/devices/x");
    QCOMPARE(spies.error.count(), 1);
    // The running command still ends as itself.
    QVERIFY(spies.status.wait(10000));
    QCOMPARE(spies.completions(), 1);
    QVERIFY(!util.devices.isEmpty());
    QCOMPARE(m_system->calls(), QList<QStringList>({{"seat-status", "seat1"}}));
}

// An attach refused while another runs must not take over the seat and the
// device the running one reports when it ends.
void TestLoginctlUtil::refusedAttachLeavesTheRunningOnesDevice()
{
    QVERIFY(m_system->useMachine("three-seats.machine", "fault attach sleep 300\n"));
    LoginctlUtil util;
    Spies spies(util);
    util.attachThisDevice("seat1", "/sys/devices/first");
    util.attachThisDevice("seat2", "/sys/devices/second");
    QCOMPARE(spies.error.count(), 1);
    QVERIFY(spies.attached.wait(10000));
    QCOMPARE(spies.attached.size(), 1);
    QCOMPARE(spies.attached.first(), (QList<QVariant>{"seat1", "/sys/devices/first"}));
    QCOMPARE(m_system->calls(), QList<QStringList>({{"attach", "seat1", "/sys/devices/first"}}));
}

QTEST_GUILESS_MAIN(TestLoginctlUtil)
#include "tst_loginctlutil.moc"
