// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "hardware/udevdeviceinfo.h"

#include <QTest>

Q_DECLARE_METATYPE(QList<UdevNode>)

namespace {

UdevNode node(const QString &syspath, const QString &subsystem, const QString &devtype = {},
              const QHash<QString, QString> &properties = {}, const QString &name = {})
{
    return {syspath, subsystem, devtype, QString(), properties, name};
}

const QString Xhci = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0");
const QHash<QString, QString> XhciNames{
    {"ID_VENDOR_FROM_DATABASE", "Intel Corporation"},
    {"ID_MODEL_FROM_DATABASE", "Cannon Lake PCH USB 3.1 xHCI Host Controller"}};

} // namespace

// A device's product names come from itself and its parents up to its own
// USB device or PCI function, never from the controller, bridge or adapter
// it hangs on.
class TestUdevDeviceInfo : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }

    void namesStopAtTheDevicesOwnHardware_data()
    {
        QTest::addColumn<QList<UdevNode>>("chain"); // the device, then its parents
        QTest::addColumn<QString>("vendor");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("forSeat"); // the device's own, never a parent's

        const QString port = Xhci + "/usb1/1-3";
        QTest::newRow("USB keyboard without a database entry")
            << QList<UdevNode>{node(port + "/1-3:1.0/0003:1C4F:0002.0001/input/input7", "input", {},
                                    {{"ID_VENDOR_ENC", "SIGMACHIP"},
                                     {"ID_MODEL_ENC", "USB\\x20Keyboard"},
                                     {"ID_MODEL", "USB_Keyboard"},
                                     {"ID_FOR_SEAT", "input-pci-0000_00_14_0-usb-0_3_1_0"}},
                                    "SIGMACHIP USB Keyboard"),
                               node(port + "/1-3:1.0/0003:1C4F:0002.0001", "hid"),
                               node(port + "/1-3:1.0", "usb", "usb_interface"),
                               node(port, "usb", "usb_device"),
                               node(Xhci + "/usb1", "usb", "usb_device"),
                               node(Xhci, "pci", {}, XhciNames)}
            << "SIGMACHIP"
            << "USB Keyboard"
            << "SIGMACHIP USB Keyboard"
            << "input-pci-0000_00_14_0-usb-0_3_1_0";

        QTest::newRow("USB mouse with a database entry")
            << QList<UdevNode>{node(port + "/1-3:1.0/0003:046D:C077.0002/input/input8", "input", {},
                                    {}, "Logitech USB Optical Mouse"),
                               node(port + "/1-3:1.0", "usb", "usb_interface"),
                               node(port, "usb", "usb_device",
                                    {{"ID_FOR_SEAT", "usb-pci-0000_00_14_0-usb-0_3"},
                                     {"ID_VENDOR_FROM_DATABASE", "Logitech, Inc."},
                                     {"ID_MODEL_FROM_DATABASE", "M105 Optical Mouse"}}),
                               node(Xhci, "pci", {}, XhciNames)}
            << "Logitech, Inc."
            << "M105 Optical Mouse"
            << "Logitech USB Optical Mouse"
            << "";

        const QString adapter = Xhci + "/usb1/1-10";
        QTest::newRow("Bluetooth keyboard")
            << QList<UdevNode>{node(adapter + "/1-10:1.0/bluetooth/hci0/hci0:256/"
                                              "0005:046D:B342.0003/input/input20",
                                    "input", {}, {}, "Keyboard K380"),
                               node(adapter +
                                        "/1-10:1.0/bluetooth/hci0/hci0:256/0005:046D:B342.0003",
                                    "hid"),
                               node(adapter + "/1-10:1.0/bluetooth/hci0/hci0:256", "bluetooth",
                                    "link"),
                               node(adapter + "/1-10:1.0/bluetooth/hci0", "bluetooth", "host"),
                               node(adapter + "/1-10:1.0", "usb", "usb_interface"),
                               node(adapter, "usb", "usb_device",
                                    {{"ID_VENDOR_FROM_DATABASE", "Intel Corp."},
                                     {"ID_MODEL_FROM_DATABASE", "AX201 Bluetooth"}}),
                               node(Xhci, "pci", {}, XhciNames)}
            << ""
            << ""
            << "Keyboard K380"
            << "";

        const QString bridge = QStringLiteral("/sys/devices/pci0000:00/0000:00:1c.4");
        QTest::newRow("video card the database does not know")
            << QList<UdevNode>{node(bridge + "/0000:03:00.0/drm/card3", "drm", "drm_minor"),
                               node(bridge + "/0000:03:00.0", "pci"),
                               node(bridge, "pci", {},
                                    {{"ID_VENDOR_FROM_DATABASE", "Intel Corporation"},
                                     {"ID_MODEL_FROM_DATABASE", "PCI Express Root Port #5"}})}
            << ""
            << ""
            << ""
            << "";

        QTest::newRow("video card the database knows")
            << QList<UdevNode>{node(bridge + "/0000:01:00.0/drm/card1", "drm", "drm_minor"),
                               node(bridge + "/0000:01:00.0", "pci", {},
                                    {{"ID_VENDOR_FROM_DATABASE", "NVIDIA Corporation"},
                                     {"ID_MODEL_FROM_DATABASE", "GK208B [GeForce GT 710]"}}),
                               node(bridge, "pci", {}, {{"ID_MODEL_FROM_DATABASE", "Root Port"}})}
            << "NVIDIA Corporation"
            << "GK208B [GeForce GT 710]"
            << ""
            << "";
    }

    void namesStopAtTheDevicesOwnHardware()
    {
        QFETCH(QList<UdevNode>, chain);
        QFETCH(QString, vendor);
        QFETCH(QString, model);
        QFETCH(QString, name);
        QFETCH(QString, forSeat);
        const DeviceDetails details = UdevDeviceInfo::detailsOf(chain);
        QVERIFY(details.known);
        QCOMPARE(details.vendor, vendor);
        QCOMPARE(details.model, model);
        QCOMPARE(details.name, name);
        QCOMPARE(details.forSeat, forSeat);
    }
};

QTEST_GUILESS_MAIN(TestUdevDeviceInfo)
#include "tst_udevdeviceinfo.moc"
