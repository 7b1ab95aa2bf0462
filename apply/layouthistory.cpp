// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/layouthistory.h"

#include "core/trustedhome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

const QString LayoutHistory::Dir = QStringLiteral("/var/lib/zel-admin-multiseat/layouts");

namespace {

const QString TimeFormat = QStringLiteral("yyyyMMdd-HHmmss");

// "layout-20261209-073136.json", or "…-073136-2.json" for a second one within
// that second.
const QRegularExpression &namePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^layout-(\\d{8}-\\d{6})(?:-(\\d+))?\\.json$"));
    return pattern;
}

} // namespace

bool LayoutHistory::ensureDir(QString *error) const
{
    // Each missing level made for root alone, never through a link.
    const QStringList parts = QDir::cleanPath(m_dir).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString path;
    for (const QString &part : parts) {
        path += QLatin1Char('/') + part;
        if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) {
            *error = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
    }
    struct stat st;
    if (::lstat(QFile::encodeName(m_dir).constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        (st.st_mode & 077) != 0 || !TrustedHome::isPrivate(m_dir, ::geteuid())) {
        *error = QCoreApplication::translate("LayoutHistory",
                                             "%1 is not a folder of its own that only the "
                                             "administrator can change.")
                     .arg(m_dir);
        return false;
    }
    return true;
}

QStringList LayoutHistory::names() const
{
    QStringList names;
    const QStringList files =
        QDir(m_dir).entryList({QStringLiteral("layout-*.json")}, QDir::Files | QDir::NoSymLinks);
    for (const QString &name : files) {
        if (namePattern().match(name).hasMatch())
            names.append(name);
    }
    // The time in the name sorts them; a later one of the same second has a
    // higher number.
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const auto ma = namePattern().match(a);
        const auto mb = namePattern().match(b);
        if (ma.captured(1) != mb.captured(1))
            return ma.captured(1) > mb.captured(1);
        return ma.captured(2).toInt() > mb.captured(2).toInt();
    });
    return names;
}

bool LayoutHistory::keep(const LayoutFile &file, const QDateTime &when, QString *error)
{
    if (!ensureDir(error))
        return false;
    const QString stamp = when.toString(TimeFormat);
    QString name = QStringLiteral("layout-%1.json").arg(stamp);
    for (int n = 2; QFileInfo::exists(m_dir + QLatin1Char('/') + name); ++n)
        name = QStringLiteral("layout-%1-%2.json").arg(stamp).arg(n);
    if (!file.save(m_dir + QLatin1Char('/') + name, error))
        return false;
    const QStringList all = names();
    for (const QString &old : all.mid(Kept))
        QFile::remove(m_dir + QLatin1Char('/') + old);
    return true;
}

QList<LayoutHistory::Entry> LayoutHistory::entries() const
{
    QList<Entry> entries;
    for (const QString &name : names()) {
        Entry entry;
        entry.path = m_dir + QLatin1Char('/') + name;
        entry.when = QDateTime::fromString(namePattern().match(name).captured(1), TimeFormat);
        QString error;
        if (LayoutFile::load(entry.path, &entry.file, &error))
            entries.append(entry);
    }
    return entries;
}
