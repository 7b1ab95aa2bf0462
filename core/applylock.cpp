// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/applylock.h"

#include "core/syscall.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

const QString ApplyLock::DefaultPath = QStringLiteral("/run/zel-admin-multiseat.lock");
const QString ApplyLock::WindowHolder = QStringLiteral("zel-admin-multiseat");
const QString ApplyLock::CommandHolder = QStringLiteral("zel-multiseatctl");

ApplyLock::~ApplyLock()
{
    unlock();
}

bool ApplyLock::tryLock(const QString &holderName)
{
    if (isLocked())
        return true;
    m_holder.clear();
    m_holderPid = 0;
    m_error.clear();
    if (m_path.isEmpty()) {
        m_taken = true;
        return true;
    }
    const QByteArray path = QFile::encodeName(m_path);
    // Never through a link, never a file that someone else could write.
    const int fd = Syscall::retried(
        [&] { return ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600); });
    if (fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
        (st.st_mode & (S_IWGRP | S_IWOTH))) {
        ::close(fd);
        m_error = QCoreApplication::translate("ApplyLock", "%1 is not a lock file of this program.")
                      .arg(m_path);
        return false;
    }
    if (Syscall::retried([&] { return ::flock(fd, LOCK_EX | LOCK_NB); }) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) {
            char buffer[256] = {};
            const ssize_t got =
                Syscall::retried([&] { return ::pread(fd, buffer, sizeof buffer - 1, 0); });
            const QString said = QString::fromLocal8Bit(buffer, got > 0 ? int(got) : 0)
                                     .section(QLatin1Char('\n'), 0, 0);
            m_holderPid = said.section(QLatin1Char(' '), 0, 0).toLongLong();
            m_holder = said.section(QLatin1Char(' '), 1);
            // Caught between its lock and its words, or between its last
            // words and its close: busy all the same.
            m_error = QCoreApplication::translate("ApplyLock", "%1 is held by another program.")
                          .arg(m_path);
        } else {
            m_error = QString::fromLocal8Bit(std::strerror(error));
        }
        ::close(fd);
        return false;
    }
    const QByteArray line =
        QByteArray::number(qint64(::getpid())) + ' ' + holderName.toUtf8() + '\n';
    if (::ftruncate(fd, 0) != 0 ||
        Syscall::retried([&] { return ::pwrite(fd, line.constData(), size_t(line.size()), 0); }) !=
            line.size()) {
        // The lock holds all the same; only the others' message is poorer.
    }
    m_fd = fd;
    return true;
}

void ApplyLock::unlock()
{
    m_taken = false;
    if (m_fd < 0)
        return;
    // The file stays: removing it would let a second process lock a new
    // file while a third still waits on the old one.
    if (::ftruncate(m_fd, 0) != 0) {
        // Only the holder's name stays behind; the lock goes with the close.
    }
    ::close(m_fd);
    m_fd = -1;
}
