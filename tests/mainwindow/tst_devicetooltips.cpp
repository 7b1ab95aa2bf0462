// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/fakedeviceinfo.h"
#include "common/testenv.h"
#include "mainwindow/devicetooltips.h"

#include <QTest>

// What a tool tip tells of a device comes from udev's latest word: a new
// reading of the seats asks again.

namespace {

const QString Keyboard =
    QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/0003:413C:2113.0004/"
                   "input/input8");

DeviceDetails keyboard(const QString &driver, const QString &seat)
{
    DeviceDetails d;
    d.known = true;
    d.model = QStringLiteral("KB216 Wired Keyboard");
    d.driver = driver;
    d.seat = seat;
    return d;
}

} // namespace

class TestDeviceToolTips : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }

    void newReadingAsksAgain();
};

void TestDeviceToolTips::newReadingAsksAgain()
{
    auto info = std::make_shared<FakeDeviceInfo>();
    info->known.insert(Keyboard, keyboard("usbhid", "seat1"));
    DeviceToolTips tips(info);
    tips.setListedSeats({"seat0", "seat1", "seat2"});
    const QString first = tips.toolTip({Keyboard});
    QVERIFY2(first.contains("usbhid") && first.contains("seat1"), qPrintable(first));

    // Moved to seat2 and bound to another driver meanwhile.
    info->known.insert(Keyboard, keyboard("hid-generic", "seat2"));
    tips.setListedSeats({"seat0", "seat1", "seat2"});
    const QString second = tips.toolTip({Keyboard});
    QVERIFY2(second.contains("hid-generic") && second.contains("seat2"), qPrintable(second));
    QVERIFY2(!second.contains("usbhid") && !second.contains("seat1"), qPrintable(second));
}

QTEST_GUILESS_MAIN(TestDeviceToolTips)
#include "tst_devicetooltips.moc"
