#include "apply/dmconfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

#include <sys/stat.h>
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

bool isMarkedDefault(const QString &line, const DmConfigRule &rule)
{
    return line.startsWith(DmConfig::Marker) && line.contains(rule.defaultLine);
}

// The trimmed lines of an open file; false on a read error, so that a partly
// read file is never written back.
bool readTrimmedLines(QFile &file, QStringList *lines)
{
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    QString line;
    while (stream.readLineInto(&line))
        lines->append(line.trimmed());
    return file.error() == QFileDevice::NoError;
}

bool writeLines(QFileDevice &file, const QStringList &lines)
{
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    for (const QString &line : lines)
        stream << line << '\n';
    stream.flush();
    return stream.status() == QTextStream::Ok && file.error() == QFileDevice::NoError;
}

QStringList applied(const QStringList &lines, const DmConfigRule &rule, bool *modified)
{
    QStringList out;
    for (const QString &line : lines) {
        if (line.startsWith(rule.defaultLine)) {
            out << rule.activeLine << DmConfig::Marker + line;
            *modified = true;
        } else {
            out << line;
        }
    }
    return out;
}

QStringList restored(const QStringList &lines, const DmConfigRule &rule, bool *modified)
{
    QStringList out;
    bool pending = false;
    for (QString line : lines) {
        if (line.startsWith(rule.activeLine)) {
            pending = true;
            continue;
        }
        // The line after a dropped active line is the one it replaced.
        if (pending) {
            if (isMarkedDefault(line, rule))
                line.remove(0, DmConfig::Marker.size());
            else
                out << rule.defaultLine;
            *modified = true;
            pending = false;
        }
        if (isMarkedDefault(line, rule)) {
            line.remove(0, DmConfig::Marker.size());
            *modified = true;
        }
        out << line;
    }
    return out;
}

// The new file is renamed over the old one, so it takes over the old file's
// owner, group and mode first.
bool takeOverOwnership(int fd, const struct stat &old)
{
    struct stat now;
    if (fstat(fd, &now) != 0)
        return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    return fchmod(fd, old.st_mode & 07777) == 0;
}

// Replaces the file atomically: whatever fails, the old file stays in place.
bool replaceFile(const QString &path, const QStringList &lines)
{
    struct stat old;
    const bool existed = stat(QFile::encodeName(path).constData(), &old) == 0;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    if (!writeLines(file, lines) || (existed && !takeOverOwnership(file.handle(), old))) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
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

DmConfigAction action(bool seatsRemain, DmConfigState p, DmConfigState q)
{
    if (p < NeitherLine || p > ActiveWithMarkedDefault || q < NeitherLine ||
        q > ActiveWithMarkedDefault)
        return DmConfigAction::Warn;
    return seatsRemain ? WithSeats[p][q] : WithoutSeats[p][q];
}

} // namespace DmConfig

DmConfigState checkDmConfig(const DmConfigRule &rule)
{
    if (!QFile::exists(rule.path))
        return FileUnavailable;
    QFile file(rule.path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return FileUnavailable;
    QStringList lines;
    if (!readTrimmedLines(file, &lines))
        return FileUnavailable;

    bool defaultFound = false;
    bool markedFound = false;
    bool activeFound = false;
    for (const QString &line : qAsConst(lines)) {
        if (line.startsWith(rule.defaultLine))
            defaultFound = true;
        if (isMarkedDefault(line, rule))
            markedFound = true;
        if (line.startsWith(rule.activeLine))
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

bool editDmConfig(const DmConfigRule &rule, DmConfigMode mode)
{
    if (!QFile::exists(rule.path))
        return false;

    // The working copy in the home directory is left behind when an edit does
    // not go through, so the administrator can finish it by hand; a stale one
    // (a dangling link too) goes first.
    const QString tmpPath = DmConfig::temporaryPath(rule.path);
    const QFileInfo tmpInfo(tmpPath);
    if ((tmpInfo.exists() || tmpInfo.isSymLink()) && !QFile::remove(tmpPath))
        return false;
    if (!QFile::copy(rule.path, tmpPath))
        return false;

    QFile tmp(tmpPath);
    if (!tmp.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QFile::remove(tmpPath);
        return false;
    }
    QStringList lines;
    if (!readTrimmedLines(tmp, &lines))
        return false;

    bool modified = false;
    const QStringList out = mode == DmConfigMode::Apply ? applied(lines, rule, &modified)
                                                        : restored(lines, rule, &modified);
    if (!modified)
        return false;

    tmp.close();
    if (!tmp.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    const bool written = writeLines(tmp, out);
    tmp.close();
    if (!written || !replaceFile(rule.path, out))
        return false;
    // The copy has done its job, as if it had been moved into place.
    QFile::remove(tmpPath);
    return true;
}

void updateDmConfig(bool seatsRemain, const DmConfigWarning &warn, const QString &configPath)
{
    const QList<DmConfigRule> rule = DmConfig::rules(configPath);
    const DmConfigState p = checkDmConfig(rule[0]);
    const DmConfigState q = checkDmConfig(rule[1]);

    const QString message =
        QCoreApplication::translate(
            "MainWindow",
            "Failed to make changes to the file:\n %1 \nPlease make the required changes manually")
            .arg(rule[0].path);
    if (p == FileUnavailable || q == FileUnavailable)
        warn(message);
    switch (DmConfig::action(seatsRemain, p, q)) {
    case DmConfigAction::Nothing:
        break;
    case DmConfigAction::Warn:
        warn(message);
        break;
    case DmConfigAction::Apply0:
        editDmConfig(rule[0], DmConfigMode::Apply);
        break;
    case DmConfigAction::Apply1:
        editDmConfig(rule[1], DmConfigMode::Apply);
        break;
    case DmConfigAction::Restore0:
        editDmConfig(rule[0], DmConfigMode::Restore);
        break;
    case DmConfigAction::Restore1:
        editDmConfig(rule[1], DmConfigMode::Restore);
        break;
    }
}
