// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/fakeinputtree.h"

#include "common/testenv.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

FakeInputTree::FakeInputTree(const QString &sysRoot, const QString &devRoot)
    : m_sysRoot(sysRoot), m_devRoot(devRoot)
{
    QDir().mkpath(m_devRoot + QStringLiteral("/input"));
}

FakeInputTree::~FakeInputTree()
{
    for (int fd : qAsConst(m_writers))
        ::close(fd);
}

QString FakeInputTree::node(int event) const
{
    return m_devRoot + QStringLiteral("/input/event") + QString::number(event);
}

bool FakeInputTree::addInput(const QString &syspath, int event, bool node)
{
    const QString dir = m_sysRoot + syspath.mid(4);
    if (!QDir().mkpath(dir + QStringLiteral("/event") + QString::number(event)) ||
        !QDir().mkpath(dir + QStringLiteral("/capabilities")))
        return false;
    return !node || ::mkfifo(QFile::encodeName(this->node(event)).constData(), 0600) == 0;
}

QString FakeInputTree::lightDir(const QString &syspath, const QString &name) const
{
    return m_sysRoot + syspath.mid(4) + QLatin1Char('/') + name;
}

bool FakeInputTree::addLight(const QString &syspath, const QString &name,
                             const QByteArray &brightness, const QByteArray &trigger)
{
    const QString dir = lightDir(syspath, name);
    return QDir().mkpath(dir) &&
           TestEnv::writeFile(dir + QStringLiteral("/brightness"), brightness + '\n') &&
           TestEnv::writeFile(dir + QStringLiteral("/max_brightness"), "1\n") &&
           TestEnv::writeFile(dir + QStringLiteral("/trigger"), trigger + '\n');
}

void FakeInputTree::ledWritten(const QString &file, const QByteArray &value)
{
    const QString dir = file.section(QLatin1Char('/'), 0, -2);
    const QString triggerFile = dir + QStringLiteral("/trigger");
    const auto activate = [&triggerFile](const QByteArray &name) {
        QList<QByteArray> words = TestEnv::readFile(triggerFile).simplified().split(' ');
        for (QByteArray &word : words) {
            if (word.startsWith('[') && word.endsWith(']'))
                word = word.mid(1, word.size() - 2);
            if (word == name)
                word = '[' + word + ']';
        }
        TestEnv::writeFile(triggerFile, words.join(' ') + '\n');
    };
    const QByteArray written = value.trimmed();
    if (file.endsWith(QLatin1String("/brightness")) && written == "0") {
        activate("none");
    } else if (file.endsWith(QLatin1String("/trigger"))) {
        activate(written);
        TestEnv::writeFile(dir + QStringLiteral("/brightness"), "0\n");
    }
}

input_event FakeInputTree::record(quint16 type, quint16 code, qint32 value)
{
    input_event e{};
    e.type = type;
    e.code = code;
    e.value = value;
    return e;
}

int FakeInputTree::writer(int event)
{
    if (m_writers.contains(event))
        return m_writers.value(event);
    const int fd =
        ::open(QFile::encodeName(node(event)).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0)
        m_writers.insert(event, fd);
    return fd;
}

bool FakeInputTree::send(int event, const QList<input_event> &records)
{
    QByteArray bytes;
    for (const input_event &e : records)
        bytes.append(reinterpret_cast<const char *>(&e), int(sizeof e));
    return sendBytes(event, bytes);
}

bool FakeInputTree::sendBytes(int event, const QByteArray &bytes)
{
    const int fd = writer(event);
    return fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
}

void FakeInputTree::closeWriter(int event)
{
    if (m_writers.contains(event))
        ::close(m_writers.take(event));
}

bool FakeInputTree::isOpenByTool(int event)
{
    // The test's own writer stays open first: a pipe whose last writer goes
    // reads as ended.
    if (writer(event) < 0)
        return false;
    const int fd =
        ::open(QFile::encodeName(node(event)).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false; // ENXIO: nobody reads
    ::close(fd);
    return true;
}

int FakeInputTree::unread(int event) const
{
    const int fd = m_writers.value(event, -1);
    int bytes = 0;
    if (fd < 0 || ::ioctl(fd, FIONREAD, &bytes) != 0)
        return -1;
    return bytes;
}

bool FakeInputTree::isNode(const struct stat &node)
{
    return S_ISFIFO(node.st_mode);
}
