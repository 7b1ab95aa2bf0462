// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calllog.h"

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

std::string escapeArg(const char *arg)
{
    std::string out;
    for (; *arg; ++arg) {
        switch (*arg) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += *arg;
        }
    }
    return out;
}

bool append(const char *variable, const std::string &line)
{
    const char *path = std::getenv(variable);
    if (!path || !*path)
        return true;
    const int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    return ::close(fd) == 0 && ok;
}

} // namespace

bool logCall(const char *logVariable, const char *program, int argc, char **argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += '\t';
        line += escapeArg(argv[i]);
    }
    line += '\n';
    return append(logVariable, line) &&
           append("ZEL_EMULATOR_SEQUENCE_LOG", std::string(program) + '\t' + line);
}
