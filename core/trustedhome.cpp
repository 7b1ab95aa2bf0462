// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/trustedhome.h"

#include <QDir>
#include <QFile>

#include <cstdlib>
#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

bool TrustedHome::isPrivate(const QString &path, uid_t uid)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return false;
    // Every folder on the way counts: one that someone else may write in
    // lets them put another folder in place of the next, unless it is
    // sticky (as /tmp is), where only an entry's owner may move it.
    char resolved[PATH_MAX];
    if (!::realpath(QFile::encodeName(path).constData(), resolved))
        return false;
    QByteArray current(resolved);
    for (bool first = true;; first = false) {
        struct stat st;
        if (::lstat(current.constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
            (st.st_uid != uid && st.st_uid != 0))
            return false;
        const bool othersWrite = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
        if (othersWrite && (first || (st.st_mode & S_ISVTX) == 0))
            return false;
        if (current == "/")
            return true;
        const int slash = current.lastIndexOf('/');
        current = slash <= 0 ? QByteArray("/") : current.left(slash);
    }
}

QString TrustedHome::passwordHome()
{
    const struct passwd *entry = ::getpwuid(::geteuid());
    return entry && entry->pw_dir ? QFile::decodeName(entry->pw_dir) : QString();
}

bool TrustedHome::secure(uid_t euid, const std::function<QString()> &ownHome)
{
    if (euid != 0)
        return false;
    bool changed = false;
    const QString home = QFile::decodeName(qgetenv("HOME"));
    if (!isPrivate(home, euid)) {
        const QString own = ownHome();
        if (isPrivate(own, euid)) {
            qputenv("HOME", QFile::encodeName(own));
        } else {
            // Nowhere to keep files: Qt falls back to the root folder.
            qunsetenv("HOME");
        }
        changed = true;
    }
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
                             "XDG_RUNTIME_DIR", "TMPDIR"}) {
        if (qEnvironmentVariableIsSet(name) && !isPrivate(QFile::decodeName(qgetenv(name)), euid))
            qunsetenv(name);
    }
    return changed;
}
