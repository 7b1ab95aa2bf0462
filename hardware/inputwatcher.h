// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <sys/stat.h>
#include <sys/types.h>

class QSocketNotifier;

// Watches the input event nodes of keyboards and mice and tells which device
// someone pressed a key or a button on, or moved. The nodes are opened
// read-only and never grabbed: whoever uses the device keeps using it. What
// was pressed is not kept, only that something was.
class InputWatcher : public QObject
{
    Q_OBJECT
public:
    enum class Activity
    {
        KeyPressed,
        ButtonPressed,
        Moved,
    };
    Q_ENUM(Activity)

    // Device paths are looked up under sysRoot ("/sys/devices/..." becomes
    // sysRoot + "/devices/..."), event nodes under devRoot + "/input".
    explicit InputWatcher(const QString &sysRoot = QStringLiteral("/sys"),
                          const QString &devRoot = QStringLiteral("/dev"),
                          QObject *parent = nullptr);
    ~InputWatcher() override;

    // Watches the nodes of these devices, each given by the sysfs paths of
    // one item, and closes every other node. A node that cannot be opened is
    // told by unreadable() and skipped.
    void watch(const QList<QStringList> &devices);
    void stop();
    QStringList openNodes() const;

    // The event nodes of the input devices at or right below syspath.
    QStringList eventNodes(const QString &syspath) const;

    // What an event node must be, judged on the opened node: the kernel's
    // input character devices (major 13) unless set; tests stand pipes in.
    using NodeCheck = std::function<bool(const struct stat &node)>;
    void setNodeCheck(NodeCheck check) { m_isEventNode = std::move(check); }
    static bool isInputDevice(const struct stat &node);
    // Adds what one read of a node holds to what was seen at this wake-up:
    // whether someone is at the device (*seen) and how, a press before a
    // movement. A read that is not whole event records is dropped whole.
    static void addRecords(const char *data, qint64 size, bool *seen, Activity *activity);

    // How a node is read (::read unless set): tests play a device that is
    // unplugged while it is read.
    std::function<ssize_t(int fd, void *buffer, size_t size)> readNode;

signals:
    void activity(QStringList addresses, InputWatcher::Activity activity);
    void unreadable(QStringList addresses, QString node, QString reason);
    // The last node open has gone away (its device unplugged).
    void nothingLeft();

private:
    struct Node
    {
        int fd = -1;
        QSocketNotifier *notifier = nullptr;
        QStringList addresses;
    };

    void read(const QString &node);
    void close(const QString &node);

    QString m_sysRoot;
    QString m_devRoot;
    NodeCheck m_isEventNode = isInputDevice;
    QHash<QString, Node> m_nodes;
};
