// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hardware/keyboardlights.h"

#include "core/syscall.h"
#include "hardware/sysfs.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QByteArray readValue(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.read(4096).trimmed();
}

} // namespace

QByteArray KeyboardLights::activeTrigger(const QByteArray &triggers)
{
    // What the kernel lists is the names, one word each, the active one in
    // brackets; a light's file holds what the kernel put there, but a word
    // that is no name must never be written back as one.
    for (const QByteArray &word : triggers.simplified().split(' ')) {
        if (word.size() < 3 || !word.startsWith('[') || !word.endsWith(']'))
            continue;
        const QByteArray name = word.mid(1, word.size() - 2);
        if (name.contains('[') || name.contains(']') || name == "none")
            return {};
        return name;
    }
    return {};
}

KeyboardLights::KeyboardLights(const QString &sysRoot, QObject *parent)
    : QObject(parent), m_sysRoot(sysRoot)
{
    connect(&m_timer, &QTimer::timeout, this, &KeyboardLights::step);
}

KeyboardLights::~KeyboardLights()
{
    // Never leave a light blinked half-way.
    if (m_timer.isActive())
        restore();
}

QStringList KeyboardLights::lightsOf(const QStringList &syspaths) const
{
    static const QRegularExpression lockLight(
        QStringLiteral("^input[0-9]+::(numlock|capslock|scrolllock)$"));
    // Root writes into what is found here: only folders that really lie
    // below the sysfs root count, whatever links lead elsewhere on the way.
    const QString root = QFileInfo(m_sysRoot).canonicalFilePath() + QLatin1Char('/');
    QStringList lights;
    for (const QString &syspath : syspaths) {
        const QString dir = Sysfs::deviceDir(m_sysRoot, syspath);
        if (dir.isEmpty())
            continue;
        for (const QString &entry : Sysfs::subdirectories(dir, lockLight)) {
            const QString light = dir + QLatin1Char('/') + entry;
            if (QFileInfo(light).canonicalFilePath().startsWith(root) &&
                QFile::exists(light + QStringLiteral("/brightness")))
                lights.append(light);
        }
    }
    return lights;
}

bool KeyboardLights::blink(const QStringList &syspaths, QString *reason)
{
    if (m_timer.isActive()) {
        if (reason)
            *reason = tr("The lights of a keyboard are blinking already.");
        return false;
    }
    m_lights.clear();
    for (const QString &dir : lightsOf(syspaths)) {
        Light light;
        light.dir = dir;
        light.brightness = readValue(dir + QStringLiteral("/brightness"));
        light.trigger = activeTrigger(readValue(dir + QStringLiteral("/trigger")));
        light.on = readValue(dir + QStringLiteral("/max_brightness"));
        if (light.on.isEmpty() || light.on == "0")
            light.on = "1";
        if (!light.brightness.isEmpty())
            m_lights.append(light);
    }
    if (m_lights.isEmpty()) {
        if (reason)
            *reason = tr("This keyboard has no lights the tool can reach.");
        return false;
    }
    m_step = 0;
    m_error.clear();
    m_timer.start(interval);
    step();
    return true;
}

void KeyboardLights::step()
{
    if (m_step >= steps) {
        m_timer.stop();
        restore();
        emit finished(m_error);
        return;
    }
    const bool on = m_step % 2 == 0;
    for (const Light &light : qAsConst(m_lights))
        write(light.dir + QStringLiteral("/brightness"), on ? light.on : QByteArray("0"));
    ++m_step;
    emit stepWritten(on);
}

void KeyboardLights::stop()
{
    if (!m_timer.isActive())
        return;
    m_timer.stop();
    restore();
    emit finished(m_error);
}

void KeyboardLights::restore()
{
    // Writing 0 to a light detaches its trigger: the trigger goes back on.
    // It shows the console's lock state, which need not be the graphical
    // session's, so a light that was on is switched on again (that keeps
    // the trigger); one that was off stays as the trigger sets it.
    for (const Light &light : qAsConst(m_lights)) {
        if (!light.trigger.isEmpty()) {
            write(light.dir + QStringLiteral("/trigger"), light.trigger);
            if (light.brightness != "0")
                write(light.dir + QStringLiteral("/brightness"), light.brightness);
        } else {
            write(light.dir + QStringLiteral("/brightness"), light.brightness);
        }
    }
}

bool KeyboardLights::write(const QString &file, const QByteArray &value)
{
    const QByteArray path = QFile::encodeName(file);
    const int fd = Syscall::retried(
        [&path] { return ::open(path.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW); });
    bool written = fd >= 0 && Syscall::retried([&] {
                                  return ::write(fd, value.constData(), size_t(value.size()));
                              }) == value.size();
    const int error = errno;
    if (fd >= 0)
        written = ::close(fd) == 0 && written;
    if (written && afterWrite)
        afterWrite(file, value);
    if (!written && m_error.isEmpty())
        m_error = tr("%1 could not be written: %2")
                      .arg(file, QString::fromLocal8Bit(std::strerror(error)));
    return written;
}
