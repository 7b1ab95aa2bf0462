// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/dmconfig.h"

#include "core/syscall.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace DmConfig {
const QString ConfigPath = QStringLiteral("/etc/X11/zel-dm/zel-dmrc");
const QString Marker = QStringLiteral("##commented ");
} // namespace DmConfig

namespace {

const QString DefaultLine0 = QStringLiteral("# ServerUID=auto");
const QString DefaultLine1 = QStringLiteral("#ServerUID=auto");
const QString ActiveLine = QStringLiteral("ServerUID=root");

// Rows are the state by rule 0, columns the state by rule 1.
using A = DmConfigAction;
constexpr A N = A::Nothing, W = A::Warn, A0 = A::Apply0, A1 = A::Apply1, R0 = A::Restore0,
            R1 = A::Restore1;
constexpr A WithSeats[5][5] = {
    {W, W, A1, N, N}, {W, W, W, W, N}, {A0, W, W, W, N}, {N, W, W, N, N}, {N, N, N, N, N},
};
constexpr A WithoutSeats[5][5] = {
    {W, W, N, R1, R1}, {W, W, W, W, R1}, {N, W, W, W, R1}, {R0, W, W, R0, R1}, {R0, R0, R0, R0, R1},
};

// The rule's texts as the bytes lines are compared with.
struct RuleBytes
{
    explicit RuleBytes(const DmConfigRule &rule)
        : defaultLine(rule.defaultLine.toUtf8()), activeLine(rule.activeLine.toUtf8()),
          marker(DmConfig::Marker.toUtf8())
    {
    }
    bool isMarkedDefault(const QByteArray &line) const
    {
        return line.startsWith(marker) && line.contains(defaultLine);
    }
    QByteArray defaultLine;
    QByteArray activeLine;
    QByteArray marker;
};

// A descriptor closed when it goes out of scope.
struct Fd
{
    explicit Fd(int value = -1) : fd(value) {}
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int fd;
};

// The edit's file operations, with the tests' seams.
class Io
{
public:
    explicit Io(const DmConfigSeams &seams) : m_seams(seams) {}

    void step(DmEditStep step) const
    {
        if (m_seams.beforeStep)
            m_seams.beforeStep(step);
    }

    // A system call that may wait (open, read, write, fsync, ftruncate): a
    // signal that interrupts it only makes it go again.
    template <typename Call> auto sys(const Call &call) const -> decltype(call())
    {
        return Syscall::retried([this, &call]() -> decltype(call()) {
            if (m_seams.interrupt && m_seams.interrupt()) {
                errno = EINTR;
                return -1;
            }
            return call();
        });
    }

    int setAttribute(int fd, const char *name, const void *value, size_t size) const
    {
        return m_seams.setAttribute ? m_seams.setAttribute(fd, name, value, size)
                                    : ::fsetxattr(fd, name, value, size, 0);
    }

    // Everything from the descriptor's start; false on a read error, so that
    // a partly read file is never written back.
    bool readAll(int fd, QByteArray *content) const
    {
        content->clear();
        if (::lseek(fd, 0, SEEK_SET) != 0 && errno != ESPIPE)
            return false;
        char buffer[16384];
        for (;;) {
            const ssize_t n = sys([&] {
                return m_seams.read ? m_seams.read(fd, buffer, sizeof buffer)
                                    : ::read(fd, buffer, sizeof buffer);
            });
            if (n == 0)
                return true;
            if (n < 0)
                return false;
            content->append(buffer, int(n));
        }
    }

    bool writeAll(int fd, const QByteArray &content) const
    {
        const char *data = content.constData();
        qint64 left = content.size();
        while (left > 0) {
            const ssize_t n = sys([&] {
                return m_seams.write ? m_seams.write(fd, data, size_t(left))
                                     : ::write(fd, data, size_t(left));
            });
            if (n <= 0)
                return false;
            data += n;
            left -= n;
        }
        return true;
    }

private:
    const DmConfigSeams &m_seams;
};

QByteArray joined(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + '\n';
    return out;
}

// The new file takes the old file's place, so it takes over its owner and
// group, then its mode (a change of owner clears the set-id bits), and its
// extended attributes: access lists and security labels.
bool takeOver(int fd, int oldFd, const struct stat &old, const Io &io)
{
    struct stat now;
    if (::fstat(fd, &now) != 0)
        return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    if (::fchmod(fd, old.st_mode & 07777) != 0)
        return false;

    const ssize_t size = ::flistxattr(oldFd, nullptr, 0);
    if (size < 0)
        return errno == ENOTSUP;
    QByteArray names(int(size), '\0');
    const ssize_t got = ::flistxattr(oldFd, names.data(), size_t(names.size()));
    if (got < 0)
        return false;
    for (const QByteArray &name : names.left(int(got)).split('\0')) {
        if (name.isEmpty())
            continue;
        const ssize_t length = ::fgetxattr(oldFd, name.constData(), nullptr, 0);
        if (length < 0)
            return false;
        QByteArray value(int(length), '\0');
        if (::fgetxattr(oldFd, name.constData(), value.data(), size_t(value.size())) != length ||
            io.setAttribute(fd, name.constData(), value.constData(), size_t(value.size())) != 0)
            return false;
    }
    return true;
}

// Replaces the file atomically: whatever fails, the old file stays in place.
bool replaceFile(const QString &path, const QByteArray &content, const Io &io)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray replacement = QFile::encodeName(DmConfig::replacementPath(path));
    Fd old(io.sys([&] { return ::open(target.constData(), O_RDONLY | O_CLOEXEC); }));
    struct stat oldStat;
    if (old.fd < 0 || ::fstat(old.fd, &oldStat) != 0)
        return false;
    // Left by an edit that was killed half-way: it holds nothing of value.
    if (::unlink(replacement.constData()) != 0 && errno != ENOENT)
        return false;
    Fd fd(io.sys([&] {
        return ::open(replacement.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      0600);
    }));
    if (fd.fd < 0)
        return false;
    const bool ready = io.writeAll(fd.fd, content) && takeOver(fd.fd, old.fd, oldStat, io) &&
                       io.sys([&] { return ::fsync(fd.fd); }) == 0;
    if (!ready || ::rename(replacement.constData(), target.constData()) != 0) {
        ::unlink(replacement.constData());
        return false;
    }
    return true;
}

} // namespace

namespace DmConfig {

QList<DmConfigRule> rules(const QString &path)
{
    return {{path, DefaultLine0, ActiveLine}, {path, DefaultLine1, ActiveLine}};
}

QString temporaryPath(const QString &path)
{
    return QDir::homePath() + QDir::separator() + QFileInfo(path).fileName() +
           QStringLiteral(".tmp");
}

QString replacementPath(const QString &path)
{
    const QFileInfo info(path);
    return info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".zel-new");
}

DmConfigAction action(bool seatsRemain, DmConfigState p, DmConfigState q)
{
    if (p < NeitherLine || p > ActiveWithMarkedDefault || q < NeitherLine ||
        q > ActiveWithMarkedDefault)
        return DmConfigAction::Warn;
    return seatsRemain ? WithSeats[p][q] : WithoutSeats[p][q];
}

QList<QByteArray> trimmedLines(const QByteArray &content)
{
    QList<QByteArray> lines = content.split('\n');
    // What follows the last line feed is a line only when it holds something.
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines)
        line = line.trimmed();
    return lines;
}

QList<QByteArray> editedLines(const QList<QByteArray> &lines, const DmConfigRule &rule,
                              DmConfigMode mode, bool *modified)
{
    const RuleBytes bytes(rule);
    QList<QByteArray> out;
    if (mode == DmConfigMode::Apply) {
        for (const QByteArray &line : lines) {
            if (line.startsWith(bytes.defaultLine)) {
                out << bytes.activeLine << bytes.marker + line;
                *modified = true;
            } else {
                out << line;
            }
        }
        return out;
    }
    bool pending = false;
    for (QByteArray line : lines) {
        if (line.startsWith(bytes.activeLine)) {
            pending = true;
            continue;
        }
        // The line after a dropped active line is the one it replaced.
        if (pending) {
            if (bytes.isMarkedDefault(line))
                line.remove(0, bytes.marker.size());
            else
                out << bytes.defaultLine;
            *modified = true;
            pending = false;
        }
        if (bytes.isMarkedDefault(line)) {
            line.remove(0, bytes.marker.size());
            *modified = true;
        }
        out << line;
    }
    return out;
}

} // namespace DmConfig

DmConfigState checkDmConfig(const DmConfigRule &rule, const DmConfigSeams &seams)
{
    const Io io(seams);
    const QByteArray path = QFile::encodeName(rule.path);
    Fd fd(io.sys([&] { return ::open(path.constData(), O_RDONLY | O_CLOEXEC); }));
    struct stat st;
    QByteArray content;
    if (fd.fd < 0 || ::fstat(fd.fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        !io.readAll(fd.fd, &content))
        return FileUnavailable;

    const RuleBytes bytes(rule);
    bool defaultFound = false;
    bool markedFound = false;
    bool activeFound = false;
    for (const QByteArray &line : DmConfig::trimmedLines(content)) {
        if (line.startsWith(bytes.defaultLine))
            defaultFound = true;
        if (bytes.isMarkedDefault(line))
            markedFound = true;
        if (line.startsWith(bytes.activeLine))
            activeFound = true;
    }
    if (defaultFound && activeFound)
        return ActivePresent;
    if (defaultFound)
        return DefaultOnly;
    if (activeFound && markedFound)
        return ActiveWithMarkedDefault;
    if (activeFound)
        return ActivePresent;
    return NeitherLine;
}

bool editDmConfig(const DmConfigRule &rule, DmConfigMode mode, const DmConfigSeams &seams)
{
    const Io io(seams);
    if (!QFile::exists(rule.path))
        return false;

    // The working copy stays in the home directory when an edit does not go
    // through, so that the administrator can finish it by hand. The tool
    // runs as root with whatever home it was given: a home someone else can
    // write is refused, and the copy is only ever used through the one
    // descriptor that created it, so that a name swapped for a link leads
    // nowhere.
    io.step(DmEditStep::OpenHome);
    const QByteArray home = QFile::encodeName(QDir::homePath());
    Fd dir(io.sys([&] { return ::open(home.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); }));
    struct stat dirStat;
    if (dir.fd < 0 || ::fstat(dir.fd, &dirStat) != 0 || dirStat.st_uid != ::geteuid() ||
        (dirStat.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return false;
    const QByteArray name =
        QFile::encodeName(QFileInfo(DmConfig::temporaryPath(rule.path)).fileName());

    // A stale copy (a link too) goes first; unlinking never follows a link.
    io.step(DmEditStep::RemoveStale);
    if (::unlinkat(dir.fd, name.constData(), 0) != 0 && errno != ENOENT)
        return false;

    io.step(DmEditStep::CreateCopy);
    Fd copy(io.sys([&] {
        return ::openat(dir.fd, name.constData(),
                        O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    }));
    if (copy.fd < 0)
        return false;

    io.step(DmEditStep::ReadConfig);
    QByteArray content;
    {
        const QByteArray path = QFile::encodeName(rule.path);
        Fd config(io.sys([&] { return ::open(path.constData(), O_RDONLY | O_CLOEXEC); }));
        if (config.fd < 0 || !io.readAll(config.fd, &content)) {
            ::unlinkat(dir.fd, name.constData(), 0);
            return false;
        }
    }

    io.step(DmEditStep::WriteCopy);
    if (!io.writeAll(copy.fd, content)) {
        ::unlinkat(dir.fd, name.constData(), 0);
        return false;
    }

    io.step(DmEditStep::ReadCopy);
    if (!io.readAll(copy.fd, &content)) {
        ::unlinkat(dir.fd, name.constData(), 0);
        return false;
    }
    bool modified = false;
    const QList<QByteArray> out =
        DmConfig::editedLines(DmConfig::trimmedLines(content), rule, mode, &modified);
    if (!modified)
        return false;

    io.step(DmEditStep::WriteResult);
    const QByteArray result = joined(out);
    if (io.sys([&] { return ::ftruncate(copy.fd, 0); }) != 0 ||
        ::lseek(copy.fd, 0, SEEK_SET) != 0 || !io.writeAll(copy.fd, result))
        return false;

    io.step(DmEditStep::ReplaceConfig);
    if (!replaceFile(rule.path, result, io))
        return false;

    // The copy has done its job, as if it had been moved into place.
    io.step(DmEditStep::RemoveCopy);
    ::unlinkat(dir.fd, name.constData(), 0);
    return true;
}

void updateDmConfig(bool seatsRemain, const DmConfigWarning &warn, const QString &configPath,
                    const DmConfigSeams &seams)
{
    const QList<DmConfigRule> rule = DmConfig::rules(configPath);
    const DmConfigState p = checkDmConfig(rule[0], seams);
    const DmConfigState q = checkDmConfig(rule[1], seams);

    const QString message =
        QCoreApplication::translate(
            "MainWindow",
            "Failed to make changes to the file:\n %1 \nPlease make the required changes manually")
            .arg(rule[0].path);

    if (p == FileUnavailable || q == FileUnavailable)
        warn(message);
    bool edited = true;
    switch (DmConfig::action(seatsRemain, p, q)) {
    case DmConfigAction::Nothing:
        break;
    case DmConfigAction::Warn:
        warn(message);
        break;
    case DmConfigAction::Apply0:
        edited = editDmConfig(rule[0], DmConfigMode::Apply, seams);
        break;
    case DmConfigAction::Apply1:
        edited = editDmConfig(rule[1], DmConfigMode::Apply, seams);
        break;
    case DmConfigAction::Restore0:
        edited = editDmConfig(rule[0], DmConfigMode::Restore, seams);
        break;
    case DmConfigAction::Restore1:
        edited = editDmConfig(rule[1], DmConfigMode::Restore, seams);
        break;
    }
    // An edit that did not go through leaves the file as it was: the
    // administrator has to know, the save itself goes on.
    if (!edited)
        warn(message);
}
