// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// An emulated udevadm for the tests: records its calls and answers the two
// commands the tool makes, `udevadm control --reload` and `udevadm trigger
// --settle --action=change --parent-match=PATH`, as the real one does when
// udevd runs, without doing anything. See README.md beside this file.

#include "calllog.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>

namespace {

// What ZEL_UDEVADM_FAULT asks of a call of that command: "fail", "hang",
// "crash", or nothing. The variable holds COMMAND:ACTION pairs separated by
// commas; COMMAND is control, trigger or * (any).
std::string faultFor(const std::string &command)
{
    const char *value = std::getenv("ZEL_UDEVADM_FAULT");
    if (!value)
        return {};
    std::string rest = value;
    while (!rest.empty()) {
        const size_t comma = rest.find(',');
        const std::string item = rest.substr(0, comma);
        rest = comma == std::string::npos ? std::string() : rest.substr(comma + 1);
        const size_t colon = item.find(':');
        if (colon == std::string::npos)
            continue;
        const std::string which = item.substr(0, colon);
        if (which == "*" || which == command)
            return item.substr(colon + 1);
    }
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    if (!logCall("ZEL_UDEVADM_LOG", "udevadm", argc, argv)) {
        std::fprintf(stderr, "udevadm-emulator: cannot write the call log: %s\n",
                     std::strerror(errno));
        return 2;
    }
    const std::string command = argc > 1 ? argv[1] : "";
    const std::string fault = faultFor(command);
    if (fault == "crash")
        ::raise(SIGKILL);
    if (fault == "hang") {
        // Until someone kills it.
        for (;;)
            ::pause();
    }
    if (fault == "fail") {
        std::fputs("Failed to send reload request: Connection refused\n", stderr);
        return 1;
    }

    if (command == "control") {
        for (int i = 2; i < argc; ++i) {
            if (std::strcmp(argv[i], "--reload") != 0 && std::strcmp(argv[i], "-R") != 0) {
                std::fprintf(stderr, "udevadm control: unrecognized option '%s'\n", argv[i]);
                return 1;
            }
        }
        return argc > 2 ? 0 : 1;
    }
    if (command == "trigger") {
        for (int i = 2; i < argc; ++i) {
            const std::string arg = argv[i];
            if (arg != "--settle" && arg.rfind("--action=", 0) != 0 &&
                arg.rfind("--parent-match=", 0) != 0) {
                std::fprintf(stderr, "udevadm trigger: unrecognized option '%s'\n", argv[i]);
                return 1;
            }
        }
        return 0;
    }
    std::fprintf(stderr, "udevadm-emulator: the command '%s' is not emulated\n", command.c_str());
    return 2;
}
