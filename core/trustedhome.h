// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <functional>
#include <sys/types.h>

// Where a program running as root may keep its files. Started through sudo
// without -H, su without "-" or sudo -E, root keeps the caller's HOME (and
// XDG_* folders): a settings file written there can be a link the caller
// planted, and root would write through it into any file. A folder counts as
// root's only when it, and every folder above it, belongs to root (or to the
// user itself) and nobody else may write in it; a folder above it may be a
// sticky one like /tmp.
class TrustedHome
{
public:
    // Whether only uid (and root) can change what path leads to.
    static bool isPrivate(const QString &path, uid_t uid);

    // Makes the process's HOME, XDG_CONFIG_HOME, XDG_CACHE_HOME,
    // XDG_DATA_HOME, XDG_STATE_HOME, XDG_RUNTIME_DIR and TMPDIR safe for
    // euid: for root, a HOME that is not private becomes root's home from
    // the password database (ownHome), and the other folders that are not
    // private are unset, so that they default to places under it or to the
    // system's. Nothing changes for other users. Returns whether HOME
    // changed.
    static bool secure(uid_t euid, const std::function<QString()> &ownHome = passwordHome);

    // The home directory of the effective user in the password database.
    static QString passwordHome();
};
