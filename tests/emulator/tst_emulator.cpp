// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Tests of the emulated loginctl: output byte for byte as systemd 252 prints
// it, the machine changes that attach and flush-devices make, the call log
// and the misbehaviour a description can ask for.

#include "common/testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Card2 = QStringLiteral("/sys/devices/pci0000:00/0000:00:1c.0/0000:02:00.0/drm/card2");
const QString Card3 = QStringLiteral("/sys/devices/pci0000:00/0000:00:1c.4/0000:03:00.0/drm/card3");
const QString Keyboard5 = QStringLiteral(
    "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/0003:046D:C31C.0001/input/input5");
const QString Keyboard6 = QStringLiteral(
    "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.1/0003:046D:C31C.0002/input/input6");
const QString Keyboard8 = QStringLiteral(
    "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/0003:413C:2113.0004/input/input8");
const QString Keyboard10 = QStringLiteral(
    "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-5/1-5:1.0/0003:1C4F:0002.0006/input/input10");
const QString Keyboard4 = QStringLiteral(
    "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/0003:413C:2113.0004/input/input4");
const QString Mouse11 = QStringLiteral(
    "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-6/1-6:1.0/0003:045E:0084.0007/input/input11");

const QByteArray NoLogind = "System has not been booted with systemd as init system (PID 1). "
                            "Can't operate.\nFailed to connect to bus: Host is down\n";

struct Run
{
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    QByteArray out;
    QByteArray err;
    qint64 ms = 0;
};

QByteArray toAscii(QByteArray text)
{
    return text.replace("\u251c\u2500", "|-").replace("\u2514\u2500", "`-").replace("\u2502", "|");
}

// Environment entries as "NAME=VALUE" to set or "NAME" to remove.
QProcessEnvironment withEntries(QProcessEnvironment env, const QStringList &entries)
{
    for (const QString &e : entries) {
        const int eq = e.indexOf(QLatin1Char('='));
        if (eq < 0)
            env.remove(e);
        else
            env.insert(e.left(eq), e.mid(eq + 1));
    }
    return env;
}

QList<QStringList> readLog(const QString &path)
{
    return TestEnv::readCallLog(path);
}

} // namespace

class TestEmulator : public QObject
{
    Q_OBJECT

private:
    QString machineCopy(const QString &name, const QByteArray &extra = {});
    QString writeMachine(const QByteArray &text);
    QString tempPath(const QString &name) const { return m_dir->filePath(name); }
    Run run(const QStringList &args, const QString &machine, const QStringList &env = {}) const;
    bool statusShows(const QString &machine, const QString &seat, const QString &path) const;
    QByteArray seatIds(const QString &machine) const;

    QProcessEnvironment m_env;
    QScopedPointer<QTemporaryDir> m_dir;

private slots:
    void initTestCase();
    void init();

    // Output
    void samples_data();
    void samples();
    void otherSeatsDevicesSkipped();
    void listSeats_data();
    void listSeats();
    void listSessions_data();
    void listSessions();
    void unknownSeat();
    void noDevices_data();
    void noDevices();
    void glyphs_data();
    void glyphs();
    void trees_data();
    void trees();

    // Changes
    void attachMovesTree_data();
    void attachMovesTree();
    void attachSeveralPaths();
    void seatComesAndGoes();
    void flushDevices();
    void rewriteKeepsComments();
    void udevAttributesKept();

    // Errors
    void attachValidation_data();
    void attachValidation();
    void validSeatNames_data();
    void validSeatNames();
    void verbAndOptionErrors_data();
    void verbAndOptionErrors();
    void noLogind_data();
    void noLogind();
    void malformedDescription_data();
    void malformedDescription();

    // Call log
    void callLog();

    // Misbehaviour
    void faultFail_data();
    void faultFail();
    void faultLag_data();
    void faultLag();
    void faultLagNever();
    void faultSilent_data();
    void faultSilent();
    void faultCrash();
    void faultSelection_data();
    void faultSelection();
    void faultSleep();

    // the companion udevadm
    void udevadmCommands_data();
    void udevadmCommands();
    void udevadmFaults_data();
    void udevadmFaults();
    void sequenceOfBoth();
};

void TestEmulator::initTestCase()
{
    TestEnv::init();
    const QFileInfo exe(TestEnv::emulatorPath());
    QVERIFY2(exe.isExecutable(), qPrintable(exe.filePath()));
    QCOMPARE(exe.fileName(), QStringLiteral("loginctl"));
    QCOMPARE(QDir(exe.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
             (QStringList{QStringLiteral("loginctl"), QStringLiteral("udevadm")}));
    QCOMPARE(QFileInfo(TestEnv::udevadmEmulatorPath()).path(), exe.path());

    m_env = QProcessEnvironment::systemEnvironment();
    for (const QString &key : m_env.keys()) {
        if (key.startsWith(QLatin1String("LC_")) || key == QLatin1String("LANG") ||
            key == QLatin1String("LANGUAGE") || key == QLatin1String("SYSTEMD_UTF8") ||
            key.startsWith(QLatin1String("ZEL_LOGINCTL_")) || key == QLatin1String("ZEL_UDEV_DIR"))
            m_env.remove(key);
    }
    m_env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
}

void TestEmulator::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

QString TestEmulator::writeMachine(const QByteArray &text)
{
    static int count = 0;
    const QString path = tempPath(QStringLiteral("machine%1.machine").arg(++count));
    if (!TestEnv::writeFile(path, text))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QString TestEmulator::machineCopy(const QString &name, const QByteArray &extra)
{
    const QByteArray text =
        TestEnv::readFile(TestEnv::dataDir() + QStringLiteral("/machines/") + name);
    if (text.isEmpty())
        qFatal("machine description %s is missing", qPrintable(name));
    return writeMachine(text + extra);
}

Run TestEmulator::run(const QStringList &args, const QString &machine, const QStringList &env) const
{
    QProcessEnvironment e = m_env;
    if (!machine.isNull())
        e.insert(QStringLiteral("ZEL_LOGINCTL_MACHINE"), machine);
    QProcess p;
    p.setProcessEnvironment(withEntries(e, env));
    QElapsedTimer timer;
    timer.start();
    p.start(TestEnv::emulatorPath(), args);
    Run r;
    if (!p.waitForFinished(20000)) {
        qWarning("emulator did not finish: %s", qPrintable(p.errorString()));
        return r;
    }
    r.ms = timer.elapsed();
    r.status = p.exitStatus();
    r.code = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

bool TestEmulator::statusShows(const QString &machine, const QString &seat,
                               const QString &path) const
{
    const Run r = run({QStringLiteral("seat-status"), seat}, machine);
    return r.code == 0 && r.out.contains((path + QLatin1Char('\n')).toUtf8());
}

QByteArray TestEmulator::seatIds(const QString &machine) const
{
    return run({QStringLiteral("list-seats"), QStringLiteral("--no-legend")}, machine).out;
}

// ---------------------------------------------------------------- output

void TestEmulator::samples_data()
{
    QTest::addColumn<QString>("machine");
    QTest::addColumn<QString>("seat");
    QTest::addColumn<QString>("sample");
    QTest::newRow("seat0 with sessions and USB ports") << "v252-seat0-sessions-usb-ports.machine"
                                                       << "seat0"
                                                       << "v252-seat0-sessions-usb-ports.txt";
    QTest::newRow("seat1 with a two-interface keyboard")
        << "v252-seat1-two-interface-keyboard.machine"
        << "seat1"
        << "v252-seat1-two-interface-keyboard.txt";
}

void TestEmulator::samples()
{
    QFETCH(QString, machine);
    QFETCH(QString, seat);
    QFETCH(QString, sample);
    const QByteArray expected =
        TestEnv::readFile(TestEnv::dataDir() + QStringLiteral("/loginctl-samples/") + sample);
    QVERIFY(!expected.isEmpty());
    const Run r = run({QStringLiteral("seat-status"), seat}, machineCopy(machine));
    QCOMPARE(r.status, QProcess::NormalExit);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(r.out, expected);
}

void TestEmulator::otherSeatsDevicesSkipped()
{
    // seat0 enumerates every seat device: seat1's card and its connector are
    // skipped, the render node behind them still nests at the top level, the
    // USB ports stand without their seat1 children.
    const QByteArray seat0 =
        "seat0\n"
        "\tSessions: *2\n"
        "\t Devices:\n"
        "\t\t  \u251c\u2500/sys/devices/LNXSYSTM:00/LNXPWRBN:00/input/input0\n"
        "\t\t  \u2502 input:input0 \"Power Button\"\n"
        "\t\t  \u251c\u2500/sys/devices/pci0000:00/0000:00:01.0/0000:01:00.0/drm/card0\n"
        "\t\t  \u2502 [MASTER] drm:card0\n"
        "\t\t  \u2502 \u2514\u2500/sys/devices/pci0000:00/0000:00:01.0/0000:01:00.0/drm/card0/"
        "card0-DP-1\n"
        "\t\t  \u2502   [MASTER] drm:card0-DP-1\n"
        "\t\t  \u251c\u2500/sys/devices/pci0000:00/0000:00:01.0/0000:01:00.0/drm/renderD129\n"
        "\t\t  \u2502 drm:renderD129\n"
        "\t\t  \u251c\u2500/sys/devices/pci0000:00/0000:00:02.0/drm/renderD128\n"
        "\t\t  \u2502 drm:renderD128\n"
        "\t\t  \u251c\u2500/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1\n"
        "\t\t  \u2502 usb:1-1\n"
        "\t\t  \u251c\u2500/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2\n"
        "\t\t  \u2502 usb:1-2\n"
        "\t\t  \u2514\u2500/sys/devices/pci0000:00/0000:00:1f.3/sound/card0\n"
        "\t\t    sound:card0 \"PCH\"\n";
    const QString machine =
        machineCopy(QStringLiteral("v252-seat1-two-interface-keyboard.machine"));
    Run r = run({QStringLiteral("seat-status"), QStringLiteral("seat0")}, machine);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, seat0);

    // Several seats in one call are parted by an empty line.
    const QByteArray seat1 = TestEnv::readFile(
        TestEnv::dataDir() +
        QStringLiteral("/loginctl-samples/v252-seat1-two-interface-keyboard.txt"));
    r = run({QStringLiteral("seat-status"), QStringLiteral("seat0"), QStringLiteral("seat1")},
            machine);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, seat0 + '\n' + seat1);
}

void TestEmulator::listSeats_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray ids = "seat-b\nseat0\nseat1\nseat10\nseat2\nseatA\n";
    QTest::newRow("no legend") << QStringList{"list-seats", "--no-legend"} << ids;
    QTest::newRow("option before the verb") << QStringList{"--no-legend", "list-seats"} << ids;
    QTest::newRow("legend") << QStringList{"list-seats"} << "SEAT\n" + ids + "\n6 seats listed.\n";
}

void TestEmulator::listSeats()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, expected);
    // Named seats in no order, one made by its master device only; a master
    // device without the seat tag makes no seat.
    const QString machine =
        writeMachine("seat seatA\nseat seat10\nseat seat2\nseat seat-b\n"
                     "device /sys/devices/pci0000:00/0000:00:02.0/drm/card1 "
                     "drm:card1 master seat=seat1\n"
                     "device /sys/devices/platform/vesa-framebuffer.0 "
                     "platform:vesa-framebuffer.0 master untagged seat=seat3\n");
    const Run r = run(args, machine);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(r.out, expected);
}

void TestEmulator::listSessions_data()
{
    QTest::addColumn<QString>("sessions");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("expected");
    // Sorted by session as strings, numbers right-aligned, an empty seat
    // column kept blank, the last column never padded.
    const QString four = "session 10 1001 anna seat=seat1 tty=tty7\n"
                         "session 2 1000 admin seat=seat0 tty=tty2\n"
                         "session c3 113 lightdm seat=seat1\n"
                         "session 4 0 root tty=pts/0\n";
    const QByteArray rows = "     10 1001 anna    seat1 tty7\n"
                            "      2 1000 admin   seat0 tty2\n"
                            "      4    0 root          pts/0\n"
                            "     c3  113 lightdm seat1 \n";
    QTest::newRow("legend") << four << QStringList{"list-sessions"}
                            << "SESSION  UID USER    SEAT  TTY\n" + rows + "\n4 sessions listed.\n";
    // Without the header its width no longer counts.
    QTest::newRow("no legend") << four << QStringList{"list-sessions", "--no-legend"}
                               << QByteArray("10 1001 anna    seat1 tty7\n"
                                             " 2 1000 admin   seat0 tty2\n"
                                             " 4    0 root          pts/0\n"
                                             "c3  113 lightdm seat1 \n");
    QTest::newRow("none") << QString() << QStringList{"list-sessions"}
                          << QByteArray("No sessions.\n");
    QTest::newRow("none, no legend")
        << QString() << QStringList{"list-sessions", "--no-legend"} << QByteArray();
}

void TestEmulator::listSessions()
{
    QFETCH(QString, sessions);
    QFETCH(QStringList, args);
    QFETCH(QByteArray, expected);
    const Run r = run(args, writeMachine("seat seat0\nseat seat1\n" + sessions.toUtf8()));
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(r.out, expected);
}

void TestEmulator::unknownSeat()
{
    const QString machine = machineCopy(QStringLiteral("three-seats.machine"));
    Run r = run({QStringLiteral("seat-status"), QStringLiteral("seat9")}, machine);
    QCOMPARE(r.status, QProcess::NormalExit);
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(r.err, QByteArray("Failed to get seat: No seat 'seat9' known\n"));

    // Seats before the unknown one are still printed.
    const QByteArray seat0 =
        run({QStringLiteral("seat-status"), QStringLiteral("seat0")}, machine).out;
    QVERIFY(seat0.startsWith("seat0\n\tSessions: *2\n\t Devices:\n"));
    r = run({QStringLiteral("seat-status"), QStringLiteral("seat0"), QStringLiteral("seat9")},
            machine);
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, seat0);
    QCOMPARE(r.err, QByteArray("Failed to get seat: No seat 'seat9' known\n"));
}

void TestEmulator::noDevices_data()
{
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<QString>("seat");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("no devices at all")
        << QByteArray("# empty\n") << "seat0"
        << QByteArray("seat0\n\t Devices:\n\t\t  \u2514\u2500(none)\n");
    QTest::newRow("only untagged devices")
        << QByteArray("seat seat0 sessions *1\n"
                      "device /sys/devices/platform/serial8250 platform:serial8250 untagged\n")
        << "seat0" << QByteArray("seat0\n\tSessions: *1\n\t Devices:\n\t\t  \u2514\u2500(none)\n");
    QTest::newRow("named seat without devices")
        << QByteArray("seat seat1\n") << "seat1"
        << QByteArray("seat1\n\t Devices:\n\t\t  \u2514\u2500(none)\n");
    // udev lists the untagged device for seat1, so there is no "(none)", and
    // show_sysfs then skips it.
    QTest::newRow("listed but nothing to show")
        << QByteArray("seat seat1\n"
                      "device /sys/devices/platform/serial8250 platform:serial8250 untagged "
                      "seat=seat1\n")
        << "seat1" << QByteArray("seat1\n\t Devices:\n");
}

void TestEmulator::noDevices()
{
    QFETCH(QByteArray, description);
    QFETCH(QString, seat);
    QFETCH(QByteArray, expected);
    const Run r = run({QStringLiteral("seat-status"), seat}, writeMachine(description));
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, expected);
}

void TestEmulator::glyphs_data()
{
    QTest::addColumn<QStringList>("env");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("LANG=C") << QStringList{"LANG=C"} << false;
    QTest::newRow("LANG=C.UTF-8") << QStringList{"LANG=C.UTF-8"} << true;
    QTest::newRow("no locale variables") << QStringList{"LANG"} << true;
    QTest::newRow("LANG=POSIX") << QStringList{"LANG=POSIX"} << false;
    QTest::newRow("LC_ALL=C alone") << QStringList{"LANG", "LC_ALL=C"} << false;
    QTest::newRow("LC_CTYPE=C alone") << QStringList{"LANG", "LC_CTYPE=C"} << false;
    QTest::newRow("LC_ALL=C beats LANG") << QStringList{"LC_ALL=C", "LANG=C.UTF-8"} << false;
    QTest::newRow("LC_CTYPE=C.UTF-8 beats LANG=C")
        << QStringList{"LC_CTYPE=C.UTF-8", "LANG=C"} << true;
    QTest::newRow("missing locale") << QStringList{"LANG=xx_YY.ISO-8859-1"} << true;
    QTest::newRow("SYSTEMD_UTF8=1 under LANG=C") << QStringList{"SYSTEMD_UTF8=1", "LANG=C"} << true;
    QTest::newRow("SYSTEMD_UTF8=no under C.UTF-8")
        << QStringList{"SYSTEMD_UTF8=no", "LANG=C.UTF-8"} << false;
    QTest::newRow("SYSTEMD_UTF8 not a boolean")
        << QStringList{"SYSTEMD_UTF8=maybe", "LANG=C"} << false;
}

void TestEmulator::glyphs()
{
    QFETCH(QStringList, env);
    QFETCH(bool, utf8);
    const QByteArray sample = TestEnv::readFile(
        TestEnv::dataDir() + QStringLiteral("/loginctl-samples/v252-seat0-sessions-usb-ports.txt"));
    const Run r = run({QStringLiteral("seat-status"), QStringLiteral("seat0")},
                      machineCopy(QStringLiteral("v252-seat0-sessions-usb-ports.machine")), env);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, utf8 ? sample : toAscii(sample));
    if (!utf8)
        QVERIFY(r.out.contains("\t\t  |-/sys/") && r.out.contains("\t\t  `-/sys/"));
}

void TestEmulator::trees_data()
{
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<QString>("seat");
    QTest::addColumn<QByteArray>("tree"); // after "\t Devices:\n", with ASCII glyphs
    const QByteArray p = "\t\t  ";
    QTest::newRow("later devices of other seats do not make a branch")
        << QByteArray("device /sys/devices/a a:a\n"
                      "device /sys/devices/a/x a:x\n"
                      "device /sys/devices/a/y a:y seat=seat1\n"
                      "device /sys/devices/b b:b master seat=seat1\n")
        << "seat0"
        << p + "`-/sys/devices/a\n" + p + "  a:a\n" + p + "  `-/sys/devices/a/x\n" + p +
               "    a:x\n";
    QTest::newRow("devices of other seats are skipped inside a level")
        << QByteArray("device /sys/devices/a a:a\n"
                      "device /sys/devices/a/x a:x master seat=seat1\n"
                      "device /sys/devices/a/y a:y\n"
                      "device /sys/devices/b b:b\n")
        << "seat0"
        << p + "|-/sys/devices/a\n" + p + "| a:a\n" + p + "| `-/sys/devices/a/y\n" + p +
               "|   a:y\n" + p + "`-/sys/devices/b\n" + p + "  b:b\n";
    QTest::newRow("a child of a skipped device nests under the level")
        << QByteArray("device /sys/devices/a a:a master seat=seat1\n"
                      "device /sys/devices/a/x a:x\n")
        << "seat0" << p + "`-/sys/devices/a/x\n" + p + "  a:x\n";
    QTest::newRow("description order is kept")
        << QByteArray("device /sys/devices/b b:b name=\"B\"\n"
                      "device /sys/devices/a a:a master\n")
        << "seat0"
        << p + "|-/sys/devices/b\n" + p + "| b:b \"B\"\n" + p + "`-/sys/devices/a\n" + p +
               "  [MASTER] a:a\n";
    // A level ends at the first device outside it: /sys/devices/a/z, listed
    // after b, is shown at the top level, not under a.
    QTest::newRow("a level stops at the first device outside it")
        << QByteArray("device /sys/devices/a a:a\n"
                      "device /sys/devices/b b:b\n"
                      "device /sys/devices/a/z a:z\n")
        << "seat0"
        << p + "|-/sys/devices/a\n" + p + "| a:a\n" + p + "|-/sys/devices/b\n" + p + "| b:b\n" + p +
               "`-/sys/devices/a/z\n" + p + "  a:z\n";
    QTest::newRow("untagged devices are not shown")
        << QByteArray("device /sys/devices/a a:a untagged\n"
                      "device /sys/devices/a/x a:x\n"
                      "device /sys/devices/b b:b untagged\n")
        << "seat0" << p + "`-/sys/devices/a/x\n" + p + "  a:x\n";
    QTest::newRow("names with blanks, quotes and an empty name")
        << QByteArray("device /sys/devices/a a:a name=\"say \\\"hi\\\"\"\n"
                      "device /sys/devices/b pnp:00:01 name=\"\"\n")
        << "seat0"
        << p + "|-/sys/devices/a\n" + p + "| a:a \"say \"hi\"\"\n" + p + "`-/sys/devices/b\n" + p +
               "  pnp:00:01 \"\"\n";
}

void TestEmulator::trees()
{
    QFETCH(QByteArray, description);
    QFETCH(QString, seat);
    QFETCH(QByteArray, tree);
    const Run r = run({QStringLiteral("seat-status"), seat}, writeMachine(description),
                      {QStringLiteral("LANG=C")});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, seat.toUtf8() + "\n\t Devices:\n" + tree);
}

// ---------------------------------------------------------------- changes

void TestEmulator::attachMovesTree_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("sysfs path") << Keyboard5;
    QTest::newRow("trailing slash") << Keyboard5 + "/";
    QTest::newRow("class link") << QStringLiteral("/sys/class/input/input5");
}

void TestEmulator::attachMovesTree()
{
    QFETCH(QString, path);
    const QString machine = machineCopy(QStringLiteral("three-seats.machine"));
    const Run r = run({QStringLiteral("attach"), QStringLiteral("seat1"), path}, machine);
    QCOMPARE(r.status, QProcess::NormalExit);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(r.err, QByteArray());

    // The keyboard and its LEDs form a branch of seat1's tree, before the
    // Dell keyboard that follows it in the description.
    const QByteArray k = Keyboard5.toUtf8();
    const QByteArray branch = "\t\t  \u251c\u2500" + k +
                              "\n"
                              "\t\t  \u2502 input:input5 \"Logitech USB Keyboard\"\n"
                              "\t\t  \u2502 \u251c\u2500" +
                              k +
                              "/input5::capslock\n"
                              "\t\t  \u2502 \u2502 leds:input5::capslock\n"
                              "\t\t  \u2502 \u251c\u2500" +
                              k +
                              "/input5::numlock\n"
                              "\t\t  \u2502 \u2502 leds:input5::numlock\n"
                              "\t\t  \u2502 \u2514\u2500" +
                              k +
                              "/input5::scrolllock\n"
                              "\t\t  \u2502   leds:input5::scrolllock\n"
                              "\t\t  \u251c\u2500" +
                              Keyboard8.toUtf8() + "\n";
    const QByteArray seat1 =
        run({QStringLiteral("seat-status"), QStringLiteral("seat1")}, machine).out;
    QVERIFY2(seat1.contains(branch), seat1.constData());

    const QByteArray seat0 =
        run({QStringLiteral("seat-status"), QStringLiteral("seat0")}, machine).out;
    QVERIFY(!seat0.contains("input5"));
    QVERIFY(seat0.contains(Keyboard6.toUtf8())); // the other interface stays
}

void TestEmulator::attachSeveralPaths()
{
    const QString machine = machineCopy(QStringLiteral("three-seats.machine"));
    Run r = run({QStringLiteral("attach"), QStringLiteral("seat1"), Keyboard10, Mouse11}, machine);
    QCOMPARE(r.code, 0);
    QVERIFY(statusShows(machine, QStringLiteral("seat1"), Keyboard10));
    QVERIFY(statusShows(machine, QStringLiteral("seat1"), Mouse11));

    // The paths before a failing one stay attached, those after it are not tried.
    r = run({QStringLiteral("attach"), QStringLiteral("seat0"), Keyboard10,
             QStringLiteral("/sys/devices/nothing"), Mouse11},
            machine);
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err,
             QByteArray("Could not attach device: Failed to get device '/sys/devices/nothing': "
                        "No such device\n"));
    QVERIFY(statusShows(machine, QStringLiteral("seat0"), Keyboard10));
    QVERIFY(statusShows(machine, QStringLiteral("seat1"), Mouse11));
}

void TestEmulator::seatComesAndGoes()
{
    const QString machine = machineCopy(QStringLiteral("three-seats.machine"));
    QCOMPARE(seatIds(machine), QByteArray("seat0\nseat1\n"));

    // A master device creates its seat; its connectors come along.
    QCOMPARE(run({QStringLiteral("attach"), QStringLiteral("seat2"), Card3}, machine).code, 0);
    QCOMPARE(seatIds(machine), QByteArray("seat0\nseat1\nseat2\n"));
    const QByteArray c = Card3.toUtf8();
    QCOMPARE(run({QStringLiteral("seat-status"), QStringLiteral("seat2")}, machine).out,
             "seat2\n\t Devices:\n"
             "\t\t  \u2514\u2500" +
                 c +
                 "\n"
                 "\t\t    [MASTER] drm:card3\n"
                 "\t\t    \u251c\u2500" +
                 c +
                 "/card3-HDMI-A-4\n"
                 "\t\t    \u2502 [MASTER] drm:card3-HDMI-A-4\n"
                 "\t\t    \u2514\u2500" +
                 c +
                 "/card3-VGA-1\n"
                 "\t\t      [MASTER] drm:card3-VGA-1\n");

    // Other devices do not.
    QCOMPARE(run({QStringLiteral("attach"), QStringLiteral("seat3"), Keyboard10}, machine).code, 0);
    QCOMPARE(seatIds(machine), QByteArray("seat0\nseat1\nseat2\n"));
    QCOMPARE(run({QStringLiteral("seat-status"), QStringLiteral("seat3")}, machine).err,
             QByteArray("Failed to get seat: No seat 'seat3' known\n"));
    QVERIFY(!statusShows(machine, QStringLiteral("seat0"), Keyboard10));

    // seat1 goes with its only video card, also from the description; its
    // keyboard stays on the vanished seat.
    QCOMPARE(run({QStringLiteral("attach"), QStringLiteral("seat0"), Card2}, machine).code, 0);
    QCOMPARE(seatIds(machine), QByteArray("seat0\nseat2\n"));
    QCOMPARE(run({QStringLiteral("seat-status"), QStringLiteral("seat1")}, machine).code, 1);
    QVERIFY(!TestEnv::readFile(machine).contains("seat seat1"));
    QVERIFY(statusShows(machine, QStringLiteral("seat0"), Card2));
    QVERIFY(!statusShows(machine, QStringLiteral("seat0"), Keyboard8));

    // Bringing the card back brings the seat and its devices back.
    QCOMPARE(run({QStringLiteral("attach"), QStringLiteral("seat1"), Card2}, machine).code, 0);
    QCOMPARE(seatIds(machine), QByteArray("seat0\nseat1\nseat2\n"));
    QVERIFY(statusShows(machine, QStringLiteral("seat1"), Keyboard8));

    // A named seat without a master device lasts until the next rewrite.
    const QString named = writeMachine("seat seat5\n"
                                       "device /sys/devices/platform/pcspkr platform:pcspkr\n");
    QCOMPARE(seatIds(named), QByteArray("seat0\nseat5\n"));
    QCOMPARE(run({QStringLiteral("attach"), QStringLiteral("seat0"),
                  QStringLiteral("/sys/devices/platform/pcspkr")},
                 named)
                 .code,
             0);
    QCOMPARE(seatIds(named), QByteArray("seat0\n"));
}

void TestEmulator::flushDevices()
{
    const QString pristine = machineCopy(QStringLiteral("three-seats.machine"));
    const QString machine =
        machineCopy(QStringLiteral("three-seats.machine"), "fault attach lag never arg=seat4\n");
    const QByteArray before =
        run({QStringLiteral("seat-status"), QStringLiteral("seat0")}, machine).out;
    QCOMPARE(run({QStringLiteral("attach"), QStringLiteral("seat2"), Card3}, machine).code, 0);
    QCOMPARE(run({QStringLiteral("attach"), QStringLiteral("seat4"), Mouse11}, machine).code, 0);
    QVERIFY(TestEnv::readFile(machine).contains("\npending seat4 "));

    const Run r = run({QStringLiteral("flush-devices")}, machine);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(seatIds(machine), QByteArray("seat0\n"));
    QVERIFY(!TestEnv::readFile(machine).contains("pending"));
    QVERIFY(!TestEnv::readFile(machine).contains("seat seat1"));

    // Every device is back on seat0, seat1's too.
    const QByteArray after =
        run({QStringLiteral("seat-status"), QStringLiteral("seat0")}, machine).out;
    QVERIFY(after != before);
    QVERIFY(after.contains(Card2.toUtf8() + '\n') && after.contains(Keyboard8.toUtf8() + '\n'));
    const QString flushed = writeMachine(TestEnv::readFile(pristine)
                                             .replace(" seat=seat1", "")
                                             .replace("seat seat1 sessions *3\n", ""));
    QCOMPARE(after, run({QStringLiteral("seat-status"), QStringLiteral("seat0")}, flushed).out);
}

void TestEmulator::rewriteKeepsComments()
{
    const QString machine = machineCopy(QStringLiteral("three-seats.machine"));
    QFile::setPermissions(machine, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ReadGroup);
    const QByteArray before = TestEnv::readFile(machine);
    QCOMPARE(run({QStringLiteral("attach"), QStringLiteral("seat1"), Mouse11}, machine).code, 0);
    const QByteArray after = TestEnv::readFile(machine);

    // Only the mouse's line changed, and nothing is left beside the file.
    QList<QByteArray> a = before.split('\n');
    QList<QByteArray> b = after.split('\n');
    QCOMPARE(b.size(), a.size());
    int changed = 0;
    for (int i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            ++changed;
            QVERIFY(a[i].contains("input11"));
            QCOMPARE(b[i], a[i].replace(" name=", " seat=seat1 name="));
        }
    }
    QCOMPARE(changed, 1);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QFileInfo(machine).fileName()});
    const QFileDevice::Permissions modeBits =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
        QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QCOMPARE(QFileInfo(machine).permissions() & modeBits,
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);

    // Values with blanks, quotes and backslashes survive a rewrite.
    const QString odd =
        writeMachine("seat seat0 sessions *c1 \"two words\"\n"
                     "device /sys/devices/a a:a name=\"say \\\"hi\\\" bye\\\\\"\n"
                     "device /sys/devices/b b:b\n"
                     "fault list-seats fail message=\"back\\\\slash \\\"quoted\\\"\"\n");
    const QStringList status{QStringLiteral("seat-status"), QStringLiteral("seat0")};
    const QByteArray shown = run(status, odd).out;
    QVERIFY2(shown.contains("\tSessions: *c1 two words\n") &&
                 shown.contains("a:a \"say \"hi\" bye\\\"\n"),
             shown.constData());
    QCOMPARE(
        run({QStringLiteral("attach"), QStringLiteral("seat0"), QStringLiteral("/sys/devices/b")},
            odd)
            .code,
        0);
    QCOMPARE(run(status, odd).out, shown);
    QCOMPARE(run({QStringLiteral("list-seats"), QStringLiteral("--no-legend")}, odd).err,
             QByteArray("back\\slash \"quoted\"\n"));
}

// What the description tells udev's database survives every rewrite and
// changes nothing loginctl prints.
void TestEmulator::udevAttributesKept()
{
    const QString lab = machineCopy(QStringLiteral("lab-four-seats.machine"));
    const QByteArray before = TestEnv::readFile(lab);
    QVERIFY(before.contains(" forseat=") && before.contains(" keyboard ") &&
            before.contains(" mouse ") && before.contains(" vendor=") &&
            before.contains(" model="));
    const QString plain =
        writeMachine(QString::fromUtf8(before)
                         .remove(QRegularExpression(QStringLiteral(
                             " (forseat=\\S+|keyboard|mouse|(vendor|model)=\"[^\"]*\")")))
                         .toUtf8());
    const QStringList seat0{QStringLiteral("seat-status"), QStringLiteral("seat0")};
    const QStringList seat1{QStringLiteral("seat-status"), QStringLiteral("seat1")};
    QVERIFY(run(seat0, lab).out.contains(Keyboard4.toUtf8()));
    QCOMPARE(run(seat0, lab).out, run(seat0, plain).out);
    for (const QString &path : {Keyboard4, Card2}) {
        QCOMPARE(run({QStringLiteral("attach"), QStringLiteral("seat1"), path}, lab).code, 0);
        QCOMPARE(run({QStringLiteral("attach"), QStringLiteral("seat1"), path}, plain).code, 0);
    }
    QVERIFY(run(seat1, lab).out.contains(Keyboard4.toUtf8()));
    QCOMPARE(run(seat1, lab).out, run(seat1, plain).out);
    QCOMPARE(run(seat0, lab).out, run(seat0, plain).out);
    QVERIFY(TestEnv::readFile(lab).contains(
        " seat=seat1 name=\"Dell KB216 Wired Keyboard\" forseat=input-pci-0000_00_14_0-usb-0_3_1_0 "
        "keyboard vendor="));
    QCOMPARE(run({QStringLiteral("flush-devices")}, lab).code, 0);
    QCOMPARE(TestEnv::readFile(lab), before);
}

// ---------------------------------------------------------------- errors

void TestEmulator::attachValidation_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("error");
    const QString dev = Keyboard10;
    auto attach = [](const QByteArray &reason) {
        return "Could not attach device: " + reason + '\n';
    };

    QTest::newRow("no arguments") << QStringList{"attach"} << QByteArray("Too few arguments.\n");
    QTest::newRow("seat only") << QStringList{"attach", "seat1"}
                               << QByteArray("Too few arguments.\n");
    QTest::newRow("dot-dot") << QStringList{"attach", "seat1", "/sys/devices/../devices/x"}
                             << attach("Path /sys/devices/../devices/x is not normalized");
    QTest::newRow("double slash") << QStringList{"attach", "seat1", "/sys//devices/x"}
                                  << attach("Path /sys//devices/x is not normalized");
    QTest::newRow("dot component") << QStringList{"attach", "seat1", "/sys/./devices/x"}
                                   << attach("Path /sys/./devices/x is not normalized");
    QTest::newRow("trailing dot") << QStringList{"attach", "seat1", "/sys/devices/."}
                                  << attach("Path /sys/devices/. is not normalized");
    QTest::newRow("empty path") << QStringList{"attach", "seat1", ""}
                                << attach("Path  is not normalized");
    QTest::newRow("component too long")
        << QStringList{"attach", "seat1", "/sys/" + QString(256, QLatin1Char('a'))}
        << attach("Path /sys/" + QByteArray(256, 'a') + " is not normalized");
    QTest::newRow("outside /sys") << QStringList{"attach", "seat1", "/dev/input/event3"}
                                  << attach("Path /dev/input/event3 is not in /sys");
    QTest::newRow("/sys as a name prefix") << QStringList{"attach", "seat1", "/sysfs/devices/x"}
                                           << attach("Path /sysfs/devices/x is not in /sys");
    QTest::newRow("relative path") << QStringList{"attach", "seat1", "sys/devices/x"}
                                   << attach("Path sys/devices/x is not in /sys");
    QTest::newRow("path before seat")
        << QStringList{"attach", "Seat1", "/dev/x"} << attach("Path /dev/x is not in /sys");
    QTest::newRow("bare seat") << QStringList{"attach", "seat", dev}
                               << attach("Seat seat is not valid");
    QTest::newRow("capital S") << QStringList{"attach", "Seat1", dev}
                               << attach("Seat Seat1 is not valid");
    QTest::newRow("dot in seat") << QStringList{"attach", "seat.1", dev}
                                 << attach("Seat seat.1 is not valid");
    QTest::newRow("blank in seat")
        << QStringList{"attach", "seat 1", dev} << attach("Seat seat 1 is not valid");
    const QString longSeat = "seat" + QString(252, QLatin1Char('x'));
    QTest::newRow("256 characters") << QStringList{"attach", longSeat, dev}
                                    << attach("Seat " + longSeat.toUtf8() + " is not valid");
    QTest::newRow("empty seat") << QStringList{"attach", "", dev}
                                << attach("Caller does not belong to any known session.");
    QTest::newRow("seat before device") << QStringList{"attach", "seat.1", "/sys/devices/nothing"}
                                        << attach("Seat seat.1 is not valid");
    QTest::newRow("unknown device")
        << QStringList{"attach", "seat1", "/sys/devices/platform/nothing"}
        << attach("Failed to get device '/sys/devices/platform/nothing': No such device");
    QTest::newRow("/sys itself") << QStringList{"attach", "seat1", "/sys"}
                                 << attach("Failed to get device '/sys': No such device");
    QTest::newRow("untagged device")
        << QStringList{"attach", "seat1", "/sys/devices/platform/serial8250/tty/ttyS0"}
        << attach("Device '/sys/devices/platform/serial8250/tty/ttyS0' lacks 'seat' udev tag.");
}

void TestEmulator::attachValidation()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, error);
    const QString machine =
        machineCopy(QStringLiteral("three-seats.machine"),
                    "device /sys/devices/platform/serial8250/tty/ttyS0 tty:ttyS0 untagged\n");
    const QByteArray before = TestEnv::readFile(machine);
    const Run r = run(args, machine);
    QCOMPARE(r.status, QProcess::NormalExit);
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(r.err, error);
    QCOMPARE(TestEnv::readFile(machine), before);
}

void TestEmulator::validSeatNames_data()
{
    QTest::addColumn<QString>("seat");
    QTest::newRow("seat-tv") << "seat-tv";
    QTest::newRow("seat-abc_1") << "seat-abc_1";
    QTest::newRow("seatA") << "seatA";
    QTest::newRow("255 characters") << "seat" + QString(251, QLatin1Char('Z'));
}

void TestEmulator::validSeatNames()
{
    QFETCH(QString, seat);
    const QString machine = machineCopy(QStringLiteral("three-seats.machine"));
    const Run r = run({QStringLiteral("attach"), seat, Card3}, machine);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, QByteArray());
    QVERIFY(seatIds(machine).contains((seat + QLatin1Char('\n')).toUtf8()));
    QVERIFY(statusShows(machine, seat, Card3));
}

void TestEmulator::verbAndOptionErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("error");
    QTest::newRow("unknown verb") << QStringList{"frobnicate", "seat0"}
                                  << QByteArray("Unknown command verb frobnicate.\n");
    QTest::newRow("list-seats with an argument")
        << QStringList{"list-seats", "seat0"} << QByteArray("Too many arguments.\n");
    QTest::newRow("flush-devices with an argument")
        << QStringList{"flush-devices", "now"} << QByteArray("Too many arguments.\n");
    QTest::newRow("unknown long option") << QStringList{"--bogus", "list-seats"}
                                         << QByteArray("loginctl: unrecognized option '--bogus'\n");
    QTest::newRow("unknown short option")
        << QStringList{"list-seats", "-x"} << QByteArray("loginctl: invalid option -- 'x'\n");
}

void TestEmulator::verbAndOptionErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, error);
    const Run r = run(args, machineCopy(QStringLiteral("three-seats.machine")));
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(r.err, error);
}

void TestEmulator::noLogind_data()
{
    QTest::addColumn<QString>("machine");
    QTest::addColumn<QStringList>("args");
    const QStringList list{"list-seats", "--no-legend"};
    QTest::newRow("unset") << QString() << list;
    QTest::newRow("empty") << "" << QStringList{"seat-status", "seat0"};
    QTest::newRow("missing file") << "/nonexistent/machine"
                                  << QStringList{"attach", "seat1", "/sys/x"};
    QTest::newRow("a folder") << "/" << list;
    QTest::newRow("unknown verb") << QString() << QStringList{"frobnicate"};
}

void TestEmulator::noLogind()
{
    QFETCH(QString, machine);
    QFETCH(QStringList, args);
    const QString log = tempPath(QStringLiteral("calls.log"));
    const Run r = run(args, machine, {"ZEL_LOGINCTL_LOG=" + log});
    QCOMPARE(r.status, QProcess::NormalExit);
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(r.err, NoLogind);
    QCOMPARE(readLog(log), QList<QStringList>{args});
}

void TestEmulator::malformedDescription_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("reason");
    QTest::newRow("unknown keyword") << QByteArray("sate seat1") << QByteArray("unknown keyword");
    QTest::newRow("invalid seat") << QByteArray("seat Seat1") << QByteArray("valid seat name");
    QTest::newRow("seat twice") << QByteArray("seat seat0") << QByteArray("named twice");
    QTest::newRow("no subsystem") << QByteArray("device /sys/devices/x x") << QByteArray("SYSNAME");
    QTest::newRow("not below /sys") << QByteArray("device /dev/x a:b") << QByteArray("below /sys");
    QTest::newRow("device twice")
        << QByteArray("device /sys/devices/LNXSYSTM:00/LNXPWRBN:00/input/input0 input:input0")
        << QByteArray("listed twice");
    QTest::newRow("bad device seat")
        << QByteArray("device /sys/devices/x a:x seat=Seat2") << QByteArray("invalid seat name");
    QTest::newRow("unknown attribute") << QByteArray("device /sys/devices/x a:x mastr")
                                       << QByteArray("unknown device attribute mastr");
    QTest::newRow("empty key") << QByteArray("device /sys/devices/x a:x forseat=")
                               << QByteArray("forseat= needs a value");
    QTest::newRow("open quote") << QByteArray("device /sys/devices/x a:x name=\"Power")
                                << QByteArray("unterminated");
    QTest::newRow("fault verb") << QByteArray("fault status crash") << QByteArray("verb");
    QTest::newRow("fault action") << QByteArray("fault attach explode")
                                  << QByteArray("unknown fault action");
    QTest::newRow("lag off attach")
        << QByteArray("fault seat-status lag 2") << QByteArray("attach only");
    QTest::newRow("sleep without time")
        << QByteArray("fault list-seats sleep") << QByteArray("needs a number");
    QTest::newRow("from zero") << QByteArray("fault list-seats crash from=0")
                               << QByteArray("bad number");
}

void TestEmulator::malformedDescription()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, reason);
    const QString machine = machineCopy(QStringLiteral("v252-seat0-sessions-usb-ports.machine"));
    const int number = TestEnv::readFile(machine).count('\n') + 1;
    QVERIFY(TestEnv::writeFile(machine, TestEnv::readFile(machine) + line + '\n'));
    const Run r = run({QStringLiteral("list-seats")}, machine);
    QCOMPARE(r.code, 2);
    QCOMPARE(r.out, QByteArray());
    const QByteArray where =
        "loginctl-emulator: " + machine.toUtf8() + ':' + QByteArray::number(number) + ": ";
    QVERIFY2(r.err.startsWith(where) && r.err.contains(reason), r.err.constData());
}

// ---------------------------------------------------------------- call log

void TestEmulator::callLog()
{
    const QString log = tempPath(QStringLiteral("calls.log"));
    const QString machine =
        machineCopy(QStringLiteral("three-seats.machine"), "fault list-seats crash arg=boom\n");
    const QList<QStringList> calls{
        {"list-seats", "--no-legend"},
        {"seat-status", "seat 1"},
        {"attach", "seat1", "/sys/devices/with\ttab and blank"},
        {"attach", "", "back\\slash", "new\nline", "\\t literally"},
        {"seat-status", QString::fromUtf8("s\u00e4t")},
        {"frobnicate"},
        {"list-seats", "boom"},
    };
    for (const QStringList &args : calls)
        run(args, machine, {"ZEL_LOGINCTL_LOG=" + log});
    QCOMPARE(readLog(log), calls);
    QCOMPARE(TestEnv::readFile(log).count('\n'), calls.size());
}

// ---------------------------------------------------------------- misbehaviour

void TestEmulator::faultFail_data()
{
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("error");
    QTest::newRow("default message")
        << QByteArray("fault attach fail") << 1
        << QByteArray("Could not attach device: Connection timed out\n");
    QTest::newRow("own message and code")
        << QByteArray("fault attach fail exit=3 message=\"Could not attach device: Access denied\"")
        << 3 << QByteArray("Could not attach device: Access denied\n");
    QTest::newRow("for this seat") << QByteArray("fault attach fail arg=seat1") << 1
                                   << QByteArray("Could not attach device: Connection timed out\n");
    QTest::newRow("for another seat")
        << QByteArray("fault attach fail arg=seat2") << 0 << QByteArray();
    QTest::newRow("for this device and seat")
        << "fault attach fail arg=seat1 arg=" + Mouse11.toUtf8() << 1
        << QByteArray("Could not attach device: Connection timed out\n");
    QTest::newRow("for another device")
        << "fault attach fail arg=" + Keyboard10.toUtf8() << 0 << QByteArray();
    QTest::newRow("every verb") << QByteArray("fault * fail") << 1
                                << QByteArray("Could not attach device: Connection timed out\n");
}

void TestEmulator::faultFail()
{
    QFETCH(QByteArray, fault);
    QFETCH(int, code);
    QFETCH(QByteArray, error);
    const QString machine = machineCopy(QStringLiteral("three-seats.machine"), fault + '\n');
    const Run r = run({QStringLiteral("attach"), QStringLiteral("seat1"), Mouse11}, machine);
    QCOMPARE(r.status, QProcess::NormalExit);
    QCOMPARE(r.code, code);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(r.err, error);
    if (code != 0) {
        QVERIFY(TestEnv::readFile(machine).contains(" seen=1\n"));
        QVERIFY(!TestEnv::readFile(machine).contains("seat=seat1 name=\"Microsoft"));
    } else {
        QVERIFY(statusShows(machine, QStringLiteral("seat1"), Mouse11));
    }
}

void TestEmulator::faultLag_data()
{
    QTest::addColumn<int>("lag");
    QTest::newRow("0") << 0;
    QTest::newRow("1") << 1;
    QTest::newRow("3") << 3;
}

void TestEmulator::faultLag()
{
    QFETCH(int, lag);
    const QString machine =
        machineCopy(QStringLiteral("three-seats.machine"),
                    "fault attach lag " + QByteArray::number(lag) + " times=1\n");
    QCOMPARE(run({QStringLiteral("attach"), QStringLiteral("seat1"), Mouse11}, machine).code, 0);
    for (int i = 0; i < lag; ++i) {
        QCOMPARE(TestEnv::readFile(machine).count("\npending seat1 "), 1);
        // Checks of other seats do not count.
        QVERIFY(statusShows(machine, QStringLiteral("seat0"), Mouse11));
        QVERIFY2(!statusShows(machine, QStringLiteral("seat1"), Mouse11),
                 qPrintable(QString::number(i)));
    }
    QVERIFY(statusShows(machine, QStringLiteral("seat1"), Mouse11));
    QVERIFY(!statusShows(machine, QStringLiteral("seat0"), Mouse11));
    QVERIFY(!TestEnv::readFile(machine).contains("pending"));

    // The fault acted once: the next attach takes effect at once.
    QCOMPARE(run({QStringLiteral("attach"), QStringLiteral("seat1"), Keyboard10}, machine).code, 0);
    QVERIFY(statusShows(machine, QStringLiteral("seat1"), Keyboard10));
}

void TestEmulator::faultLagNever()
{
    const QString machine =
        machineCopy(QStringLiteral("three-seats.machine"), "fault attach lag never arg=seat2\n");
    // A lagging master device does not make its seat yet.
    QCOMPARE(run({QStringLiteral("attach"), QStringLiteral("seat2"), Card3}, machine).code, 0);
    for (int i = 0; i < 20; ++i)
        QCOMPARE(run({QStringLiteral("seat-status"), QStringLiteral("seat2")}, machine).code, 1);
    QCOMPARE(seatIds(machine), QByteArray("seat0\nseat1\n"));
    QVERIFY(statusShows(machine, QStringLiteral("seat0"), Card3));

    // A later attach of the same device replaces the pending one.
    QCOMPARE(run({QStringLiteral("attach"), QStringLiteral("seat1"), Card3}, machine).code, 0);
    QVERIFY(statusShows(machine, QStringLiteral("seat1"), Card3));
    QVERIFY(!TestEnv::readFile(machine).contains("pending"));
}

void TestEmulator::faultSilent_data()
{
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("other"); // a call that still answers
    QTest::newRow("list-seats") << QByteArray("fault list-seats silent")
                                << QStringList{"list-seats", "--no-legend"} << 0
                                << QStringList{"seat-status", "seat0"};
    QTest::newRow("seat-status of seat1")
        << QByteArray("fault seat-status silent arg=seat1") << QStringList{"seat-status", "seat1"}
        << 0 << QStringList{"seat-status", "seat0"};
    QTest::newRow("attach") << QByteArray("fault attach silent")
                            << QStringList{"attach", "seat1", Mouse11} << 0
                            << QStringList{"list-seats"};
    QTest::newRow("own exit code")
        << QByteArray("fault seat-status silent exit=4") << QStringList{"seat-status", "seat0"} << 4
        << QStringList{"list-seats"};
}

void TestEmulator::faultSilent()
{
    QFETCH(QByteArray, fault);
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QStringList, other);
    const QString machine = machineCopy(QStringLiteral("three-seats.machine"), fault + '\n');
    const Run r = run(args, machine);
    QCOMPARE(r.status, QProcess::NormalExit);
    QCOMPARE(r.code, code);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(r.err, QByteArray());

    const Run o = run(other, machine);
    QCOMPARE(o.code, 0);
    QVERIFY(o.out.startsWith(other.size() > 1 ? "seat0\n" : "SEAT\nseat0\n"));
    // A silent attach changes nothing.
    QVERIFY(TestEnv::readFile(machine).contains(Mouse11.toUtf8() + " input:input11 name="));
}

void TestEmulator::faultCrash()
{
    const QString machine = machineCopy(QStringLiteral("three-seats.machine"),
                                        "fault seat-status crash arg=seat1\n"
                                        "fault seat-status sleep 200 arg=seat1\n");
    const Run r = run({QStringLiteral("seat-status"), QStringLiteral("seat1")}, machine);
    QCOMPARE(r.status, QProcess::CrashExit);
    QCOMPARE(r.code, 9); // SIGKILL
    QCOMPARE(r.out, QByteArray());
    QVERIFY(r.ms >= 200); // the sleep came first
    // seat0 is not affected.
    const Run ok = run({QStringLiteral("seat-status"), QStringLiteral("seat0")}, machine);
    QCOMPARE(ok.status, QProcess::NormalExit);
    QCOMPARE(ok.code, 0);
}

void TestEmulator::faultSelection_data()
{
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<QStringList>("verbs"); // one call each, in turn
    QTest::addColumn<QString>("expected");  // per call: N normal, S silent
    QStringList lists;
    for (int i = 0; i < 6; ++i)
        lists << QStringLiteral("list-seats");
    QTest::newRow("every call") << QByteArray("fault list-seats silent") << lists << "SSSSSS";
    QTest::newRow("from the third on")
        << QByteArray("fault list-seats silent from=3") << lists << "NNSSSS";
    QTest::newRow("next two") << QByteArray("fault list-seats silent times=2") << lists << "SSNNNN";
    QTest::newRow("second and third")
        << QByteArray("fault list-seats silent from=2 times=2") << lists << "NSSNNN";
    QTest::newRow("none") << QByteArray("fault list-seats silent times=0") << lists << "NNNNNN";
    const QStringList mixed{"list-seats",  "seat-status", "list-seats",
                            "seat-status", "list-seats",  "seat-status"};
    QTest::newRow("other verbs not counted")
        << QByteArray("fault seat-status silent from=2") << mixed << "NNNSNS";
    QTest::newRow("any verb") << QByteArray("fault * silent from=2 times=3") << mixed << "NSSSNN";
}

void TestEmulator::faultSelection()
{
    QFETCH(QByteArray, fault);
    QFETCH(QStringList, verbs);
    QFETCH(QString, expected);
    const QString machine = machineCopy(QStringLiteral("three-seats.machine"), fault + '\n');
    QString seen;
    for (const QString &verb : verbs) {
        QStringList args{verb};
        if (verb == QLatin1String("seat-status"))
            args << QStringLiteral("seat1");
        const Run r = run(args, machine);
        QCOMPARE(r.code, 0);
        seen += r.out.isEmpty() ? QLatin1Char('S') : QLatin1Char('N');
    }
    QCOMPARE(seen, expected);
}

void TestEmulator::faultSleep()
{
    const QString machine = machineCopy(QStringLiteral("three-seats.machine"),
                                        "fault seat-status sleep 400 arg=seat1\n");
    const QString plain = machineCopy(QStringLiteral("three-seats.machine"));
    const Run slow = run({QStringLiteral("seat-status"), QStringLiteral("seat1")}, machine);
    QCOMPARE(slow.code, 0);
    QVERIFY2(slow.ms >= 400, qPrintable(QString::number(slow.ms)));
    // The answer itself is the usual one.
    QCOMPARE(slow.out, run({QStringLiteral("seat-status"), QStringLiteral("seat1")}, plain).out);
    QVERIFY(slow.out.startsWith("seat1\n"));
}

// ---------------------------------------------------------------- udevadm

namespace {

Run runUdevadm(const QStringList &args, const QStringList &env = {}, int waitMs = 20000)
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.remove(QStringLiteral("ZEL_UDEVADM_FAULT"));
    for (const QString &entry : env)
        e.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    QProcess p;
    p.setProcessEnvironment(e);
    p.start(TestEnv::udevadmEmulatorPath(), args);
    Run r;
    if (!p.waitForFinished(waitMs)) {
        p.kill();
        p.waitForFinished();
        return r; // code -1: it did not end
    }
    r.status = p.exitStatus();
    r.code = p.exitCode();
    r.err = p.readAllStandardError();
    return r;
}

} // namespace

void TestEmulator::udevadmCommands_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::newRow("reload") << QStringList{"control", "--reload"} << 0;
    QTest::newRow("trigger")
        << QStringList{"trigger", "--settle", "--action=change",
                       "--parent-match=/sys/devices/platform/i8042/serio1/input/input3"}
        << 0;
    QTest::newRow("control without what to do") << QStringList{"control"} << 1;
    QTest::newRow("unknown option") << QStringList{"trigger", "--subsystem-match=drm"} << 1;
    QTest::newRow("command not emulated") << QStringList{"info", "/sys/devices/x"} << 2;
}

void TestEmulator::udevadmCommands()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    const QString log = tempPath(QStringLiteral("udevadm.log"));
    QFile::remove(log);
    const Run r = runUdevadm(args, {"ZEL_UDEVADM_LOG=" + log});
    QCOMPARE(r.status, QProcess::NormalExit);
    QCOMPARE(r.code, code);
    QCOMPARE(readLog(log), QList<QStringList>{args});
}

void TestEmulator::udevadmFaults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("outcome");
    const QStringList reload{"control", "--reload"};
    const QStringList trigger{"trigger", "--settle", "--action=change", "--parent-match=/sys/x"};
    QTest::newRow("reload fails") << "control:fail" << reload << "exit 1";
    QTest::newRow("not for the other command") << "control:fail" << trigger << "exit 0";
    QTest::newRow("any command crashes") << "*:crash" << trigger << "crash";
    QTest::newRow("trigger hangs") << "control:fail,trigger:hang" << trigger << "hang";
}

void TestEmulator::udevadmFaults()
{
    QFETCH(QString, fault);
    QFETCH(QStringList, args);
    QFETCH(QString, outcome);
    const QString log = tempPath(QStringLiteral("udevadm.log"));
    QFile::remove(log);
    const Run r = runUdevadm(args, {"ZEL_UDEVADM_FAULT=" + fault, "ZEL_UDEVADM_LOG=" + log}, 1000);
    if (outcome == QLatin1String("hang"))
        QCOMPARE(r.code, -1);
    else if (outcome == QLatin1String("crash"))
        QCOMPARE(r.status, QProcess::CrashExit);
    else
        QCOMPARE(QStringLiteral("exit %1").arg(r.code), outcome);
    // Logged before it misbehaves.
    QCOMPARE(readLog(log), QList<QStringList>{args});
}

// One log of both programs keeps the order of their calls.
void TestEmulator::sequenceOfBoth()
{
    const QString sequence = tempPath(QStringLiteral("sequence.log"));
    QFile::remove(sequence);
    const QString machine = machineCopy(QStringLiteral("three-seats.machine"));
    const QStringList env{"ZEL_EMULATOR_SEQUENCE_LOG=" + sequence};
    run({"attach", "seat1", Mouse11}, machine, env);
    runUdevadm({"control", "--reload"}, env);
    run({"seat-status", "seat1"}, machine, env);
    QCOMPARE(readLog(sequence), (QList<QStringList>{{"loginctl", "attach", "seat1", Mouse11},
                                                    {"udevadm", "control", "--reload"},
                                                    {"loginctl", "seat-status", "seat1"}}));
}

QTEST_GUILESS_MAIN(TestEmulator)
#include "tst_emulator.moc"
