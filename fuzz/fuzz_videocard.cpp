// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Main video card discovery with any newest log: it finds one of the cards
// there are, or none, and never reads beyond what the log holds.

#include "apply/videocarddetector.h"

#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

QString g_logDir;
QString g_drmDir;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    char templ[] = "/tmp/zel-fuzz-videocard.XXXXXX";
    if (!::mkdtemp(templ))
        std::abort();
    const QString root = QString::fromLocal8Bit(templ);
    g_logDir = root + QStringLiteral("/log");
    g_drmDir = root + QStringLiteral("/drm");
    QDir().mkpath(g_logDir);
    QDir().mkpath(g_drmDir);
    // Cards at the addresses a fuzzed notation may name.
    const QStringList devices{QStringLiteral("pci0000:00/0000:00:02.0"),
                              QStringLiteral("pci0000:00/0000:00:01.0/0000:01:00.0"),
                              QStringLiteral("pci0010:00/0010:0b:1f.7")};
    for (int i = 0; i < devices.size(); ++i) {
        const QString target = root + QStringLiteral("/devices/") + devices.at(i) +
                               QStringLiteral("/drm/card%1").arg(i);
        QDir().mkpath(target);
        QFile::link(target, g_drmDir + QStringLiteral("/card%1").arg(i));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QFile log(g_logDir + QStringLiteral("/Xorg.0.log"));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        log.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
    log.close();
    const QString card = detectMainVideocard(g_logDir, g_drmDir);
    if (!card.isEmpty() && card != QLatin1String("card0") && card != QLatin1String("card1") &&
        card != QLatin1String("card2"))
        std::abort();
    return 0;
}
