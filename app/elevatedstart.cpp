// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/elevatedstart.h"

#include "core/trustedhome.h"

#include <QByteArray>
#include <QList>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

extern char **environ;

namespace ElevatedStart {

bool isElevated()
{
    return qEnvironmentVariableIsSet("PKEXEC_UID") || ::getuid() != ::geteuid() ||
           ::getgid() != ::getegid();
}

void prepare(int &argc, char **argv, const std::function<QString()> &ownHome)
{
    if (isElevated()) {
        if (argc > 1) {
            argc = 1;
            argv[1] = nullptr;
        }
        // Collected first: unsetting changes environ under the loop.
        QList<QByteArray> names;
        for (char **entry = environ; entry && *entry; ++entry) {
            const char *equals = std::strchr(*entry, '=');
            const QByteArray name(*entry, equals ? int(equals - *entry) : int(std::strlen(*entry)));
            if (name.startsWith("QT_") && name != "QT_QPA_PLATFORM")
                names.append(name);
        }
        for (const QByteArray &name : qAsConst(names))
            qunsetenv(name.constData());
    }
    TrustedHome::secure(::geteuid(), ownHome);
}

} // namespace ElevatedStart
