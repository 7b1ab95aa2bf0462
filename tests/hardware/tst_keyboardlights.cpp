// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/fakeinputtree.h"
#include "common/testenv.h"
#include "hardware/keyboardlights.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// Blinking a keyboard's lock lights in a private sysfs tree: the sequence
// written, and every light put back as it was.

namespace {

const QString Usb = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1");
const QString Keys = Usb + "/1-1/1-1:1.0/0003:046D:C31C.0001/input/input5";
const QString Media = Usb + "/1-1/1-1:1.1/0003:046D:C31C.0002/input/input6";

QByteArray value(const QString &file)
{
    return TestEnv::readFile(file).trimmed();
}

// The trigger a light follows: the one in brackets in its list.
QByteArray active(const QString &light)
{
    for (const QByteArray &word : value(light + "/trigger").split(' ')) {
        if (word.startsWith('[') && word.endsWith(']'))
            return word.mid(1, word.size() - 2);
    }
    return {};
}

} // namespace

class TestKeyboardLights : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }
    void init();

    void blinksAndRestores();
    void keyboardWithoutLights();
    void oneBlinkAtATime();
    void stoppedBlinkPutsTheLightsBack();
    void unwritableLightIsReported();
    void lightsOutsideTheSysfsRootAreNotLights();
    void destroyedMidBlinkPutsTheLightsBack();
    void pathsOutsideSysfsHaveNoLights_data();
    void pathsOutsideSysfsHaveNoLights();

private:
    QString light(const QString &name) const { return m_tree->lightDir(Keys, name); }
    // Lights in the private tree, which answers writes as the kernel does.
    std::unique_ptr<KeyboardLights> lights() const
    {
        auto lights = std::make_unique<KeyboardLights>(m_sys);
        FakeInputTree *tree = m_tree.get();
        lights->afterWrite = [tree](const QString &file, const QByteArray &value) {
            tree->ledWritten(file, value);
        };
        return lights;
    }
    // Every light as it was before a blink.
    void lightsAsBefore() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeInputTree> m_tree;
    QString m_sys;
};

void TestKeyboardLights::lightsAsBefore() const
{
    // Caps and Scroll Lock follow their locks again, Caps Lock lit as it was
    // (the trigger shows the console's state); Num Lock has its value.
    QCOMPARE(active(light("input5::capslock")), QByteArray("kbd-capslock"));
    QCOMPARE(value(light("input5::capslock") + "/brightness"), QByteArray("1"));
    QCOMPARE(active(light("input5::scrolllock")), QByteArray("kbd-scrolllock"));
    QCOMPARE(value(light("input5::scrolllock") + "/brightness"), QByteArray("0"));
    QCOMPARE(value(light("input5::numlock") + "/brightness"), QByteArray("1"));
    QCOMPARE(value(light("input5::numlock") + "/trigger"),
             QByteArray("[none] kbd-capslock kbd-numlock"));
    QCOMPARE(value(light("input5::compose") + "/brightness"), QByteArray("1"));
}

void TestKeyboardLights::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_sys = m_dir->filePath("sys");
    m_tree = std::make_unique<FakeInputTree>(m_sys, m_dir->filePath("dev"));
    QVERIFY(m_tree->addInput(Keys, 3));
    QVERIFY(m_tree->addInput(Media, 4));
    // Caps Lock follows its lock state and is on; Num Lock was set by hand
    // and is on; Scroll Lock is off. Other lights are not touched.
    QVERIFY(m_tree->addLight(Keys, "input5::capslock", "1", "none [kbd-capslock] kbd-numlock"));
    QVERIFY(m_tree->addLight(Keys, "input5::numlock", "1", "[none] kbd-capslock kbd-numlock"));
    QVERIFY(m_tree->addLight(Keys, "input5::scrolllock", "0", "none [kbd-scrolllock]"));
    QVERIFY(m_tree->addLight(Keys, "input5::compose", "1", "[none]"));
}

// Works from the item's paths, in any order, whichever of them has the lights.
void TestKeyboardLights::blinksAndRestores()
{
    const auto owned = this->lights();
    KeyboardLights &lights = *owned;
    QCOMPARE(lights.lightsOf({Media, Keys}),
             (QStringList{light("input5::capslock"), light("input5::numlock"),
                          light("input5::scrolllock")}));
    lights.interval = 1; // the test's own clock instead of three seconds
    QList<QByteArray> seen;
    connect(&lights, &KeyboardLights::stepWritten, this, [&](bool on) {
        QByteArray state = on ? "on:" : "off:";
        for (const char *name : {"input5::capslock", "input5::numlock", "input5::scrolllock"})
            state += value(light(name) + "/brightness");
        seen.append(state);
    });
    QSignalSpy finished(&lights, &KeyboardLights::finished);
    QString reason;
    QVERIFY(lights.blink({Media, Keys}, &reason));
    QVERIFY(lights.isBlinking());
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.first().first().toString(), QString());
    QVERIFY(!lights.isBlinking());

    QList<QByteArray> expected;
    for (int i = 0; i < 6; ++i)
        expected << "on:111"
                 << "off:000";
    QCOMPARE(seen, expected);
    lightsAsBefore();
}

void TestKeyboardLights::keyboardWithoutLights()
{
    KeyboardLights lights(m_sys);
    QString reason;
    QVERIFY(!lights.blink({Media}, &reason));
    QCOMPARE(reason, QStringLiteral("This keyboard has no lights the tool can reach."));
    QVERIFY(!lights.blink({"/sys/devices/../../etc"}, &reason));
    QVERIFY(!lights.isBlinking());
}

void TestKeyboardLights::oneBlinkAtATime()
{
    KeyboardLights lights(m_sys);
    lights.interval = 20;
    QSignalSpy steps(&lights, &KeyboardLights::stepWritten);
    QSignalSpy finished(&lights, &KeyboardLights::finished);
    QVERIFY(lights.blink({Keys}));
    QString reason;
    QVERIFY(!lights.blink({Keys}, &reason));
    QVERIFY(!reason.isEmpty());
    QVERIFY(finished.wait(5000));
    QCOMPARE(steps.size(), 12);
    QVERIFY(lights.blink({Keys}));
}

// A save or reset ends a blink at once: the lights are as they were and no
// step follows.
void TestKeyboardLights::stoppedBlinkPutsTheLightsBack()
{
    const auto owned = this->lights();
    KeyboardLights &lights = *owned;
    lights.interval = 60000;
    QSignalSpy steps(&lights, &KeyboardLights::stepWritten);
    QSignalSpy finished(&lights, &KeyboardLights::finished);
    QVERIFY(lights.blink({Keys}));
    QCOMPARE(steps.size(), 1);
    QCOMPARE(value(light("input5::scrolllock") + "/brightness"), QByteArray("1"));
    lights.stop();
    QVERIFY(!lights.isBlinking());
    QCOMPARE(finished.size(), 1);
    lightsAsBefore();
    lights.stop();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(steps.size(), 1);
}

// A brightness file that is a link is not written through; the rest blink
// and are restored, and the end names what failed.
void TestKeyboardLights::unwritableLightIsReported()
{
    const QString caps = light("input5::capslock") + "/brightness";
    const QString elsewhere = m_dir->filePath("victim");
    QVERIFY(TestEnv::writeFile(elsewhere, "1\n"));
    QVERIFY(QFile::remove(caps));
    QVERIFY(QFile::link(elsewhere, caps));
    KeyboardLights lights(m_sys);
    lights.interval = 1;
    QSignalSpy finished(&lights, &KeyboardLights::finished);
    QVERIFY(lights.blink({Keys}));
    QVERIFY(finished.wait(5000));
    const QString error = finished.first().first().toString();
    QVERIFY2(error.startsWith(caps + " could not be written: "), qPrintable(error));
    QCOMPARE(value(elsewhere), QByteArray("1"));
    QCOMPARE(value(light("input5::numlock") + "/brightness"), QByteArray("1"));
}

// Root writes into a light's brightness: a light folder that is a link, or
// that lies below a link, leading out of the sysfs root is no light.
void TestKeyboardLights::lightsOutsideTheSysfsRootAreNotLights()
{
    const QString outside = m_dir->filePath("etc");
    QVERIFY(QDir().mkpath(outside + "/input6::capslock"));
    QVERIFY(TestEnv::writeFile(outside + "/input6::capslock/brightness", "0\n"));
    const QString mediaDir = m_sys + Media.mid(4);
    QVERIFY(QFile::link(outside + "/input6::capslock", mediaDir + "/input6::capslock"));
    // And a whole device folder that is a link to the outside.
    const QString linkedDevice = Usb.mid(4) + "/1-2";
    QVERIFY(QFile::link(outside, m_sys + linkedDevice));
    KeyboardLights lights(m_sys);
    QVERIFY(lights.lightsOf({Media}).isEmpty());
    QVERIFY(lights.lightsOf({"/sys" + linkedDevice}).isEmpty());
}

// A blink cut short by the end of its owner (the window closing) leaves no
// light blinked half-way.
void TestKeyboardLights::destroyedMidBlinkPutsTheLightsBack()
{
    auto lights = this->lights();
    lights->interval = 60000;
    QVERIFY(lights->blink({Keys}));
    QCOMPARE(value(light("input5::scrolllock") + "/brightness"), QByteArray("1"));
    lights.reset();
    lightsAsBefore();
}

// Paths that are not below /sys or climb out of it are not looked at, even
// where they lead to lock lights.
void TestKeyboardLights::pathsOutsideSysfsHaveNoLights_data()
{
    QTest::addColumn<QString>("syspath");
    // The keyboard under the fake root, were only the first part cut off.
    QTest::newRow("not below /sys") << "/run" + Keys.mid(4);
    // A copy of the keyboard beside the fake root.
    QTest::newRow("climbing out") << "/sys/devices/../../outside" + Keys.mid(4);
}

void TestKeyboardLights::pathsOutsideSysfsHaveNoLights()
{
    QFETCH(QString, syspath);
    FakeInputTree outside(m_dir->filePath("outside"), m_dir->filePath("dev"));
    QVERIFY(outside.addInput(Keys, 13, false));
    QVERIFY(outside.addLight(Keys, "input5::capslock", "1"));
    QVERIFY(QFile::exists(m_sys + "/devices/../../outside" + Keys.mid(4) + "/input5::capslock"));
    const auto lights = this->lights();
    QVERIFY(lights->lightsOf({syspath}).isEmpty());
    QString reason;
    QVERIFY(!lights->blink({syspath}, &reason));
    QVERIFY(!lights->isBlinking());
}

QTEST_GUILESS_MAIN(TestKeyboardLights)
#include "tst_keyboardlights.moc"
