// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hardware/inputwatcher.h"

#include "core/syscall.h"
#include "hardware/sysfs.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// What one event record says, if it is a sign of someone at the device. A
// key held down repeats (value 2): only the press counts.
bool activityOf(const input_event &event, InputWatcher::Activity *activity)
{
    switch (event.type) {
    case EV_KEY:
        if (event.value != 1 || event.code > KEY_MAX)
            return false;
        *activity = event.code >= BTN_MISC && event.code < KEY_OK
                        ? InputWatcher::Activity::ButtonPressed
                        : InputWatcher::Activity::KeyPressed;
        return true;
    case EV_REL:
        if (event.value == 0 || event.code > REL_MAX)
            return false;
        *activity = InputWatcher::Activity::Moved;
        return true;
    case EV_ABS:
        if (event.code > ABS_MAX)
            return false;
        *activity = InputWatcher::Activity::Moved;
        return true;
    default:
        return false;
    }
}

} // namespace

InputWatcher::InputWatcher(const QString &sysRoot, const QString &devRoot, QObject *parent)
    : QObject(parent), m_sysRoot(sysRoot), m_devRoot(devRoot)
{
    qRegisterMetaType<InputWatcher::Activity>();
}

InputWatcher::~InputWatcher()
{
    stop();
}

bool InputWatcher::isInputDevice(const struct stat &node)
{
    constexpr unsigned InputMajor = 13;
    return S_ISCHR(node.st_mode) && major(node.st_rdev) == InputMajor;
}

QStringList InputWatcher::eventNodes(const QString &syspath) const
{
    static const QRegularExpression event(QStringLiteral("^event[0-9]+$"));
    static const QRegularExpression input(QStringLiteral("^input[0-9]+$"));
    const QString dir = Sysfs::deviceDir(m_sysRoot, syspath);
    if (dir.isEmpty())
        return {};
    // An input device has its nodes as children; the device above it (a HID
    // device) has its input devices under "input".
    QStringList inputs{dir};
    for (const QString &name : Sysfs::subdirectories(dir + QStringLiteral("/input"), input))
        inputs.append(dir + QStringLiteral("/input/") + name);
    QStringList nodes;
    for (const QString &inputDir : qAsConst(inputs)) {
        for (const QString &name : Sysfs::subdirectories(inputDir, event))
            nodes.append(m_devRoot + QStringLiteral("/input/") + name);
    }
    return nodes;
}

void InputWatcher::watch(const QList<QStringList> &devices)
{
    QHash<QString, QStringList> wanted;
    for (const QStringList &addresses : devices) {
        for (const QString &address : addresses) {
            for (const QString &node : eventNodes(address))
                wanted.insert(node, addresses);
        }
    }
    for (const QString &node : m_nodes.keys()) {
        if (!wanted.contains(node))
            close(node);
    }
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        if (m_nodes.contains(it.key())) {
            m_nodes[it.key()].addresses = it.value();
            continue;
        }
        const QByteArray path = QFile::encodeName(it.key());
        // Never through a link: the node must be the one in devRoot's input
        // folder, not a file that a link there names.
        const int fd = Syscall::retried([&path] {
            return ::open(path.constData(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
        });
        if (fd < 0) {
            emit unreadable(it.value(), it.key(), QString::fromLocal8Bit(std::strerror(errno)));
            continue;
        }
        // Judged on what was opened, so that nothing can be swapped in
        // between: a plain file would only ever read as its end, a pipe or
        // another device would be read by a tool running as root.
        struct stat st;
        if (::fstat(fd, &st) != 0 || !m_isEventNode(st)) {
            ::close(fd);
            emit unreadable(it.value(), it.key(), tr("not an input device"));
            continue;
        }
        Node node;
        node.fd = fd;
        node.addresses = it.value();
        node.notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        const QString name = it.key();
        connect(node.notifier, &QSocketNotifier::activated, this, [this, name] { read(name); });
        m_nodes.insert(name, node);
    }
}

void InputWatcher::stop()
{
    for (const QString &node : m_nodes.keys())
        close(node);
}

QStringList InputWatcher::openNodes() const
{
    QStringList nodes = m_nodes.keys();
    nodes.sort();
    return nodes;
}

void InputWatcher::close(const QString &node)
{
    const auto found = m_nodes.find(node);
    if (found == m_nodes.end())
        return;
    delete found->notifier;
    ::close(found->fd);
    m_nodes.erase(found);
}

void InputWatcher::addRecords(const char *data, qint64 size, bool *seen, Activity *activity)
{
    // An event node hands out whole records only; anything else is not one
    // and is dropped whole.
    if (size <= 0 || size % qint64(sizeof(input_event)) != 0)
        return;
    for (qint64 offset = 0; offset < size; offset += qint64(sizeof(input_event))) {
        input_event event;
        std::memcpy(&event, data + offset, sizeof event);
        Activity found;
        if (activityOf(event, &found) && (!*seen || found != Activity::Moved)) {
            *activity = found;
            *seen = true;
        }
    }
}

void InputWatcher::read(const QString &name)
{
    const auto found = m_nodes.constFind(name);
    if (found == m_nodes.cend())
        return;
    const Node node = *found;
    input_event events[64];
    bool seen = false;
    Activity kind = Activity::KeyPressed;
    for (;;) {
        const ssize_t n = readNode ? readNode(node.fd, events, sizeof events)
                                   : ::read(node.fd, events, sizeof events);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            break;
        if (n <= 0) {
            // Unplugged (ENODEV) or, for a pipe, its writer gone: nothing
            // more will come from this node.
            close(name);
            if (m_nodes.isEmpty())
                emit nothingLeft();
            break;
        }
        addRecords(reinterpret_cast<const char *>(events), n, &seen, &kind);
    }
    // One report per wake-up, a press before a movement.
    if (seen)
        emit activity(node.addresses, kind);
}
