// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/videocarddetector.h"
#include "common/testenv.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A log directory and a DRM class directory laid out like the kernel's: every
// card is a relative link into a devices tree that really exists.
class FakeSystem
{
public:
    FakeSystem()
    {
        QDir root(m_dir.path());
        root.mkpath(QStringLiteral("log"));
        root.mkpath(QStringLiteral("class/drm"));
    }

    QString logDir() const { return m_dir.path() + QStringLiteral("/log/"); }
    QString drmDir() const { return m_dir.path() + QStringLiteral("/class/drm/"); }
    QString path(const QString &relative) const { return m_dir.path() + '/' + relative; }

    // A log file whose modification time lies `age` seconds in the past.
    void addLog(const QString &name, const QByteArray &content, int age)
    {
        const QString file = logDir() + name;
        QVERIFY(TestEnv::writeFile(file, content));
        setAge(file, age, false);
    }

    // A DRM entry named `name` that links to devices/<parent>/<name>.
    void addLink(const QString &name, const QString &parent)
    {
        const QString target = QStringLiteral("devices/") + parent + '/' + name;
        QVERIFY(QDir(m_dir.path()).mkpath(target));
        const QByteArray relative = QFile::encodeName(QStringLiteral("../../") + target);
        QCOMPARE(symlink(relative.constData(), QFile::encodeName(drmDir() + name).constData()), 0);
    }

    // A card on the device at `parent` (below devices/) as the kernel links it:
    // cardN/device leads to the device, whose subsystem is bus (pci, platform)
    // and whose boot_vga says whether the firmware started on it.
    void addBootCard(const QString &name, const QString &parent, const QByteArray &bootVga,
                     const QString &bus = QStringLiteral("pci"))
    {
        addLink(name, parent + "/drm");
        const QString device = path("devices/" + parent);
        QVERIFY(QDir().mkpath(path("bus/" + bus)));
        QVERIFY(QFile::link(path("bus/" + bus), device + "/subsystem"));
        QCOMPARE(
            symlink("../..", QFile::encodeName(device + "/drm/" + name + "/device").constData()),
            0);
        if (!bootVga.isEmpty())
            QVERIFY(TestEnv::writeFile(device + "/boot_vga", bootVga + "\n"));
    }

    static void setAge(const QString &file, int age, bool linkItself)
    {
        const timespec when{QDateTime::currentSecsSinceEpoch() - age, 0};
        const timespec times[2] = {when, when};
        QCOMPARE(utimensat(AT_FDCWD, QFile::encodeName(file).constData(), times,
                           linkItself ? AT_SYMLINK_NOFOLLOW : 0),
                 0);
    }

private:
    QTemporaryDir m_dir;
};

const QString Igpu = QStringLiteral("pci0000:00/0000:00:02.0");
const QString Dgpu = QStringLiteral("pci0000:00/0000:00:01.0/0000:01:00.0");

// DRM entries of the matching table: "name=parent" for a link, "name" alone for a regular file.
QString card(const QString &name, const QString &device)
{
    return name + '=' + device + QStringLiteral("/drm");
}

// The X server's line for its primary device.
QByteArray primaryLine(const QByteArray &notation)
{
    return "[    12.345] (--) PCI:*" + notation +
           " 10de:1c82:1458:3763 rev 161, Mem @ 0xf6000000\n";
}

} // namespace

class TestVideocardDetector : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }

    void onlyNewestRegularLogIsRead();
    void firstMarkerLineWins();
    void missingPieces();
    void matching_data();
    void matching();
    void withoutALogTheBootCard_data();
    void withoutALogTheBootCard();
};

// A display manager other than zel-dm leaves no log there: the card the
// firmware started on is the main one, as the X server takes it too.
void TestVideocardDetector::withoutALogTheBootCard_data()
{
    QTest::addColumn<QByteArray>("igpuBootVga");
    QTest::addColumn<QByteArray>("dgpuBootVga");
    QTest::addColumn<QString>("dgpuBus");
    QTest::addColumn<bool>("logNamesIgpu");
    QTest::addColumn<QString>("expected");
    QTest::newRow("the second card booted")
        << QByteArray("0") << QByteArray("1") << "pci" << false << "card1";
    QTest::newRow("no card says so") << QByteArray("0") << QByteArray() << "pci" << false << "";
    QTest::newRow("not on PCI never counts")
        << QByteArray("0") << QByteArray("1") << "platform" << false << "";
    QTest::newRow("the log still comes first")
        << QByteArray("0") << QByteArray("1") << "pci" << true << "card0";
}

void TestVideocardDetector::withoutALogTheBootCard()
{
    QFETCH(QByteArray, igpuBootVga);
    QFETCH(QByteArray, dgpuBootVga);
    QFETCH(QString, dgpuBus);
    QFETCH(bool, logNamesIgpu);
    QFETCH(QString, expected);
    FakeSystem sys;
    sys.addBootCard("card0", Igpu, igpuBootVga);
    sys.addBootCard("card1", Dgpu, dgpuBootVga, dgpuBus);
    if (logNamesIgpu)
        sys.addLog("Xorg.0.log", primaryLine("(0@0:2:0)"), 60);
    QCOMPARE(detectMainVideocard(sys.logDir(), sys.drmDir()), expected);
}

void TestVideocardDetector::onlyNewestRegularLogIsRead()
{
    {
        // The older log knows the card, the newer one does not: nothing is found.
        FakeSystem sys;
        sys.addLink(QStringLiteral("card1"), Dgpu + "/drm");
        sys.addLog(QStringLiteral("a.log"), primaryLine("(1@0:0:0)"), 3600);
        sys.addLog(QStringLiteral("b.log"), "[    1.0] no primary device here\n", 60);
        QCOMPARE(detectMainVideocard(sys.logDir(), sys.drmDir()), QString());
        // Once the log with the marker is the newest, it is the one read.
        FakeSystem::setAge(sys.logDir() + "a.log", 10, false);
        QCOMPARE(detectMainVideocard(sys.logDir(), sys.drmDir()), QStringLiteral("card1"));
    }
    {
        // A link is never a candidate, however new it and its target are.
        FakeSystem sys;
        sys.addLink(QStringLiteral("card0"), Igpu + "/drm");
        sys.addLink(QStringLiteral("card1"), Dgpu + "/drm");
        sys.addLog(QStringLiteral("Xorg.0.log"), primaryLine("(0@0:2:0)"), 3600);
        QVERIFY(TestEnv::writeFile(sys.path("elsewhere.log"), primaryLine("(1@0:0:0)")));
        QCOMPARE(
            symlink("../elsewhere.log", QFile::encodeName(sys.logDir() + "zz.log").constData()), 0);
        FakeSystem::setAge(sys.path("elsewhere.log"), 1, false);
        FakeSystem::setAge(sys.logDir() + "zz.log", 1, true);
        QCOMPARE(detectMainVideocard(sys.logDir(), sys.drmDir()), QStringLiteral("card0"));
    }
}

void TestVideocardDetector::firstMarkerLineWins()
{
    FakeSystem sys;
    sys.addLink(QStringLiteral("card0"), Igpu + "/drm");
    sys.addLink(QStringLiteral("card1"), Dgpu + "/drm");
    sys.addLog(QStringLiteral("Xorg.0.log"),
               "line one\nline two\n" + primaryLine("(0@0:2:0)") + "line four\n" +
                   primaryLine("(1@0:0:0)"),
               60);
    QCOMPARE(detectMainVideocard(sys.logDir(), sys.drmDir()), QStringLiteral("card0"));
}

void TestVideocardDetector::missingPieces()
{
    FakeSystem sys;
    // No log at all.
    sys.addLink(QStringLiteral("card0"), Igpu + "/drm");
    QCOMPARE(detectMainVideocard(sys.logDir(), sys.drmDir()), QString());
    QCOMPARE(detectMainVideocard(sys.path("no-such-log/"), sys.drmDir()), QString());
    // A good log but no DRM directory.
    sys.addLog(QStringLiteral("Xorg.0.log"), primaryLine("(0@0:2:0)"), 60);
    QCOMPARE(detectMainVideocard(sys.logDir(), sys.path("no-such-drm/")), QString());
    QCOMPARE(detectMainVideocard(sys.logDir(), sys.drmDir()), QStringLiteral("card0"));
}

void TestVideocardDetector::matching_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("expected");

    const QStringList both{card("card0", Igpu),      "card0-eDP-1=" + Igpu + "/drm/card0",
                           card("card1", Dgpu),      "card1-DP-1=" + Dgpu + "/drm/card1",
                           card("renderD128", Igpu), card("renderD129", Dgpu)};
    QTest::newRow("discrete card") << primaryLine("(1@0:0:0)") << both << "card1";
    QTest::newRow("integrated card") << primaryLine("(0@0:2:0)") << both << "card0";
    QTest::newRow("connector is no card")
        << primaryLine("(1@0:0:0)") << QStringList{"card1-DP-1=" + Dgpu + "/drm/card1"} << "";
    QTest::newRow("two-digit card number")
        << primaryLine("(1@0:0:0)") << QStringList{card("card10", Dgpu)} << "";
    QTest::newRow("regular file named card0")
        << primaryLine("(0@0:2:0)") << QStringList{"card0"} << "";
    QTest::newRow("no card at that address")
        << primaryLine("(2@0:0:0)") << QStringList{card("card0", Igpu), card("card1", Dgpu)} << "";

    // Numbers in the notation are decimal; sysfs writes hex.
    QTest::newRow("two-digit bus")
        << primaryLine("(11@0:0:0)")
        << QStringList{card("card0", Igpu), card("card1", "pci0000:00/0000:00:1c.0/0000:0b:00.0")}
        << "card1";
    QTest::newRow("two-digit device")
        << primaryLine("(0@0:18:0)")
        << QStringList{card("card0", Igpu), card("card1", "pci0000:00/0000:00:12.0")} << "card1";
    QTest::newRow("function and domain") << primaryLine("(3@1:0:1)")
                                         << QStringList{card("card0", "pci0000:00/0000:03:00.1"),
                                                        card("card1", "pci0001:00/0001:03:00.1")}
                                         << "card1";
    QTest::newRow("three-digit bus")
        << primaryLine("(128@0:0:0)")
        << QStringList{card("card0", Igpu), card("card1", "pci0000:00/0000:00:1c.0/0000:80:00.0")}
        << "card1";
    QTest::newRow("device 31") << primaryLine("(0@0:31:0)")
                               << QStringList{card("card0", Igpu),
                                              card("card1", "pci0000:00/0000:00:1f.0")}
                               << "card1";
    QTest::newRow("domain written in hex") << primaryLine("(1@16:0:0)")
                                           << QStringList{card("card0", "pci0016:00/0016:01:00.0"),
                                                          card("card1", "pci0010:00/0010:01:00.0")}
                                           << "card1";
    QTest::newRow("bridge above a card is not the card")
        << primaryLine("(0@0:1:0)") << QStringList{card("card1", Dgpu)} << "";
    QTest::newRow("card below a virtio device")
        << primaryLine("(0@0:2:0)") << QStringList{card("card0", Igpu + "/virtio1")} << "card0";

    // Text that is not the notation is read by character positions.
    QTest::newRow("positions: colons only") << primaryLine("(1:0:0:0)") << both << "card1";
    QTest::newRow("positions: other brackets") << primaryLine("[0@0:2:0]") << both << "card0";
    QTest::newRow("positions: first card in name order")
        << primaryLine("(1:0:0:0)") << QStringList{card("card2", Dgpu), card("card1", Dgpu)}
        << "card1";
    QTest::newRow("positions: exactly seven characters")
        << QByteArray("PCI:*(1:0:0:0\n") << both << "card1";
    QTest::newRow("marker near line end") << QByteArray("PCI:*(1@0:0\n") << both << "";
    QTest::newRow("marker at line end") << QByteArray("foo PCI:*\n") << both << "";
}

void TestVideocardDetector::matching()
{
    QFETCH(QByteArray, log);
    QFETCH(QStringList, entries);
    QFETCH(QString, expected);

    FakeSystem sys;
    for (const QString &entry : entries) {
        const int eq = entry.indexOf('=');
        if (eq < 0)
            QVERIFY(TestEnv::writeFile(sys.drmDir() + entry, "regular\n"));
        else
            sys.addLink(entry.left(eq), entry.mid(eq + 1));
    }
    sys.addLog(QStringLiteral("Xorg.0.log"), "X.Org X Server 1.21\n" + log + "tail\n", 60);
    QCOMPARE(detectMainVideocard(sys.logDir(), sys.drmDir()), expected);
}

QTEST_GUILESS_MAIN(TestVideocardDetector)
#include "tst_videocarddetector.moc"
