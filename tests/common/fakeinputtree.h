// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <linux/input.h>
#include <sys/stat.h>

// A sysfs tree of input devices under a private root, with their event nodes
// as named pipes under a private /dev, and lock lights with the files the
// kernel gives them. The test writes input_event records into the pipes as
// the kernel would into the nodes.
class FakeInputTree
{
public:
    FakeInputTree(const QString &sysRoot, const QString &devRoot);
    ~FakeInputTree();
    FakeInputTree(const FakeInputTree &) = delete;
    FakeInputTree &operator=(const FakeInputTree &) = delete;

    // The input device at syspath ("/sys/devices/.../input/inputN") with the
    // child eventM; the node /dev/input/eventM is a pipe unless node is false.
    bool addInput(const QString &syspath, int event, bool node = true);
    // A lock light (e.g. "input8::capslock") under the input device.
    bool addLight(const QString &syspath, const QString &name, const QByteArray &brightness,
                  const QByteArray &trigger = "[none] kbd-capslock kbd-numlock");
    QString lightDir(const QString &syspath, const QString &name) const;
    // What the kernel does when a light's file is written (give it to
    // KeyboardLights::afterWrite): a brightness of 0 detaches the trigger;
    // a trigger written becomes the active one of the list and sets the
    // light to its lock's state on the console, where every lock is off.
    void ledWritten(const QString &file, const QByteArray &value);
    QString node(int event) const;

    // The event nodes here are pipes: what the watcher must accept in their place.
    static bool isNode(const struct stat &node);

    static input_event record(quint16 type, quint16 code, qint32 value);
    // Writes the records, in one write, into the node; the writing end stays
    // open until closeWriter().
    bool send(int event, const QList<input_event> &records);
    bool sendBytes(int event, const QByteArray &bytes);
    void closeWriter(int event);
    // Whether the tool has the node open (a pipe without a reader refuses a
    // writer that will not wait). Opens the test's writer when it can.
    bool isOpenByTool(int event);
    // Bytes written and not yet read.
    int unread(int event) const;

private:
    int writer(int event);

    QString m_sysRoot;
    QString m_devRoot;
    QHash<int, int> m_writers;
};
