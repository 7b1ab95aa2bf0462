// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;
struct udev;
struct udev_monitor;

// Tells of devices tagged for seats that appear, disappear or change (a new
// seat among them), as udev announces them once it has handled them. The
// signal is all the window sees, so that tests can give it events of their own.
class HotplugSource : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // action: "add", "remove", "change", ...; seat: the device's ID_SEAT now.
    void seatDeviceChanged(QString action, QString syspath, QString seat);
};

// HotplugSource on udev's monitor, read through the event loop.
class HotplugMonitor : public HotplugSource
{
    Q_OBJECT
public:
    explicit HotplugMonitor(QObject *parent = nullptr);
    ~HotplugMonitor() override;

    // Whether udev's events can be received here.
    bool isListening() const { return m_notifier != nullptr; }

private:
    void receive();

    struct udev *m_udev = nullptr;
    struct udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_notifier = nullptr;
};
