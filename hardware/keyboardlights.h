// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

// Makes a keyboard's Num, Caps and Scroll Lock lights blink, through their
// LED class devices in sysfs, and then puts each light back as it was: its
// trigger (the lock state it follows) and its brightness.
class KeyboardLights : public QObject
{
    Q_OBJECT
public:
    // Device paths are looked up under sysRoot ("/sys/devices/..." becomes
    // sysRoot + "/devices/...").
    explicit KeyboardLights(const QString &sysRoot = QStringLiteral("/sys"),
                            QObject *parent = nullptr);
    ~KeyboardLights() override;

    // The trigger a light follows, from the list in its trigger file:
    // "none [kbd-capslock] kbd-numlock" gives "kbd-capslock"; none gives "".
    static QByteArray activeTrigger(const QByteArray &triggers);

    // The LED directories of the lock lights of these input devices.
    QStringList lightsOf(const QStringList &syspaths) const;

    // Starts blinking the lights of these input devices: `steps` changes,
    // on first, `interval` apart, then the restore. False, with the reason,
    // when there is nothing to blink or a blink is still running.
    bool blink(const QStringList &syspaths, QString *reason = nullptr);
    bool isBlinking() const { return m_timer.isActive(); }
    // Ends a running blink at once, the lights put back (finished follows).
    void stop();

    // 12 steps of 250 ms: six flashes in three seconds.
    int steps = 12;
    int interval = 250;

    // Called after every value written to a light's file: where tests play
    // the kernel, which answers a write (a brightness of 0 detaches the
    // trigger, a trigger sets the brightness).
    std::function<void(const QString &file, const QByteArray &value)> afterWrite;

signals:
    // After every change, on or off.
    void stepWritten(bool on);
    // The lights are as they were; error names what could not be written.
    void finished(QString error);

private:
    struct Light
    {
        QString dir;
        QByteArray brightness; // before the blink
        QByteArray trigger;    // the active one, or empty
        QByteArray on;         // max_brightness
    };

    void step();
    void restore();
    bool write(const QString &file, const QByteArray &value);

    QString m_sysRoot;
    QList<Light> m_lights;
    QTimer m_timer;
    int m_step = 0;
    QString m_error;
};
