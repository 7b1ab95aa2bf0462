// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The display manager configuration: the check and every edit of any file,
// through the real files of a private home; and the edit's promise, that
// Apply then Restore gives back the trimmed file when it has exactly one
// default line and nothing of the tool's own.

#include "apply/dmconfig.h"

#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString g_dir;

QByteArray joined(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + '\n';
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    char templ[] = "/tmp/zel-fuzz-dmconfig.XXXXXX";
    if (!::mkdtemp(templ))
        std::abort();
    g_dir = QString::fromLocal8Bit(templ);
    ::chmod(templ, 0700);
    ::setenv("HOME", templ, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), int(size));
    const QList<DmConfigRule> rules = DmConfig::rules(g_dir + QStringLiteral("/zel-dmrc"));

    // The promise, on the lines themselves.
    const QList<QByteArray> lines = DmConfig::trimmedLines(content);
    int defaults = 0;
    bool ours = false;
    for (const QByteArray &line : lines) {
        defaults += line.startsWith("# ServerUID=auto");
        ours = ours || line.startsWith("ServerUID=root") || line.startsWith("##commented ");
    }
    if (defaults == 1 && !ours) {
        bool applied = false;
        bool restored = false;
        const QList<QByteArray> on =
            DmConfig::editedLines(lines, rules[0], DmConfigMode::Apply, &applied);
        const QList<QByteArray> off =
            DmConfig::editedLines(on, rules[0], DmConfigMode::Restore, &restored);
        if (!applied || !restored || joined(off) != joined(lines))
            std::abort();
    }

    // The files: whatever they hold, the check and the edits end, and a
    // failed edit leaves the file as it was.
    for (const DmConfigRule &rule : rules) {
        for (DmConfigMode mode : {DmConfigMode::Apply, DmConfigMode::Restore}) {
            QFile file(rule.path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                file.write(content) != content.size())
                std::abort();
            file.close();
            checkDmConfig(rule);
            if (!editDmConfig(rule, mode)) {
                QFile back(rule.path);
                if (!back.open(QIODevice::ReadOnly) || back.readAll() != content)
                    std::abort();
            }
        }
    }
    return 0;
}
