// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// An emulated loginctl for the tests: answers list-seats, seat-status, attach
// and flush-devices like systemd 252's loginctl, from a machine description
// named by ZEL_LOGINCTL_MACHINE (see README.md beside this file).

#include "calllog.h"
#include "machine.h"
#include "udevtree.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <langinfo.h>
#include <string>
#include <strings.h>
#include <unistd.h>
#include <vector>

namespace {

// Exit code for faults of the test set-up itself (bad description, no log).
constexpr int SetupError = 2;

struct Glyphs
{
    const char *branch;
    const char *right;
    const char *vertical;
};

// U+251C U+2500, U+2514 U+2500, U+2502 and a blank.
constexpr Glyphs Utf8Glyphs{"\xe2\x94\x9c\xe2\x94\x80", "\xe2\x94\x94\xe2\x94\x80",
                            "\xe2\x94\x82 "};
constexpr Glyphs AsciiGlyphs{"|-", "`-", "| "};

struct Verb
{
    const char *name;
    size_t minArgs; // counting the verb itself; 0 = any
    size_t maxArgs; // 0 = any
    const char *failure;
};

const Verb Verbs[] = {
    {"list-seats", 0, 1, "Failed to list seats: Connection timed out"},
    {"seat-status", 0, 0, "Failed to get seat: Connection timed out"},
    {"attach", 3, 0, "Could not attach device: Connection timed out"},
    {"flush-devices", 0, 1, "Failed to flush devices: Connection timed out"},
    {"list-sessions", 0, 1, "Failed to list sessions: Connection timed out"},
};

// Verbs of the real tool that the emulator does not answer.
const char *const OtherVerbs[] = {
    "session-status", "show-session",    "activate",          "lock-session",   "unlock-session",
    "lock-sessions",  "unlock-sessions", "terminate-session", "kill-session",   "list-users",
    "user-status",    "show-user",       "enable-linger",     "disable-linger", "terminate-user",
    "kill-user",      "show-seat",       "terminate-seat",
};

void fail(const std::string &line)
{
    std::fputs((line + '\n').c_str(), stderr);
}

int setupError(const std::string &line)
{
    fail("loginctl-emulator: " + line);
    return SetupError;
}

int parseBoolean(const char *v)
{
    for (const char *yes : {"1", "yes", "y", "true", "t", "on"}) {
        if (strcasecmp(v, yes) == 0)
            return 1;
    }
    for (const char *no : {"0", "no", "n", "false", "f", "off"}) {
        if (strcasecmp(v, no) == 0)
            return 0;
    }
    return -1;
}

// systemd's is_locale_utf8(): SYSTEMD_UTF8 wins; an unset C locale counts as UTF-8.
bool localeIsUtf8()
{
    if (const char *forced = secure_getenv("SYSTEMD_UTF8")) {
        const int b = parseBoolean(forced);
        if (b >= 0)
            return b;
    }
    if (!std::setlocale(LC_ALL, ""))
        return true;
    const char *set = nl_langinfo(CODESET);
    if (!set || std::strcmp(set, "UTF-8") == 0)
        return true;
    set = std::setlocale(LC_CTYPE, nullptr);
    if (!set)
        return true;
    return (std::strcmp(set, "C") == 0 || std::strcmp(set, "POSIX") == 0) &&
           !std::getenv("LC_ALL") && !std::getenv("LC_CTYPE") && !std::getenv("LANG");
}

bool onSeat(const Device &d, const std::string &seat)
{
    return d.tagged && d.seat == seat;
}

// systemd's show_sysfs_one(): one level of the tree below sub; consumes the
// list from i on and stops at the first device outside sub.
void showLevel(const std::vector<const Device *> &list, size_t &i, const std::string &sub,
               const std::string &prefix, const std::string &seat, const Glyphs &g,
               std::string &out)
{
    while (i < list.size()) {
        const Device &d = *list[i];
        if (!SysfsPath::startsWith(d.path, sub))
            return;
        if (!onSeat(d, seat)) {
            ++i;
            continue;
        }
        bool more = false;
        for (size_t k = i + 1; k < list.size() && !more; ++k) {
            const Device &later = *list[k];
            more = SysfsPath::startsWith(later.path, sub) &&
                   !SysfsPath::startsWith(later.path, d.path) && onSeat(later, seat);
        }
        const std::string cont = more ? g.vertical : "  ";
        out += prefix + (more ? g.branch : g.right) + d.path + '\n';
        out += prefix + cont + (d.master ? "[MASTER] " : "") + d.subsystem + ':' + d.sysname;
        if (d.name)
            out += " \"" + *d.name + '"';
        out += '\n';
        if (++i < list.size())
            showLevel(list, i, d.path, prefix + cont, seat, g, out);
    }
}

std::string seatStatus(const Machine &m, const std::string &seat, const Glyphs &g)
{
    std::string out = seat + '\n';
    if (const SeatDecl *decl = m.seatDecl(seat); decl && !decl->sessions.empty()) {
        out += "\tSessions:";
        for (const std::string &s : decl->sessions)
            out += ' ' + s;
        out += '\n';
    }
    out += "\t Devices:\n";
    // udev enumerates seat0 by the tag "seat", every other seat by its own name.
    std::vector<const Device *> list;
    for (const Device &d : m.devices) {
        if (seat == "seat0" ? d.tagged : d.seat == seat)
            list.push_back(&d);
    }
    const std::string prefix = "\t\t  ";
    if (list.empty()) {
        out += prefix + g.right + "(none)\n";
    } else {
        size_t i = 0;
        showLevel(list, i, "/", prefix, seat, g, out);
    }
    return out;
}

void applyMove(Machine &m, const std::string &seat, const std::string &path)
{
    m.moveTree(path, seat);
    m.collectSeats();
}

// Counts one seat-status call of seat against the lagging attaches.
bool advancePending(Machine &m, const std::string &seat)
{
    bool changed = false;
    for (size_t i = 0; i < m.pending.size();) {
        Pending &p = m.pending[i];
        if (p.seat != seat || p.remaining == Fault::Never) {
            ++i;
            continue;
        }
        changed = true;
        if (--p.remaining > 0) {
            ++i;
            continue;
        }
        const Pending done = p;
        m.pending.erase(m.pending.begin() + static_cast<long>(i));
        applyMove(m, done.seat, done.path);
    }
    return changed;
}

// Writes the changed description back; with ZEL_UDEV_DIR also udev's
// database there, as udevd rewrites it after logind's trigger, so that a
// device's ID_SEAT follows it to its new seat.
bool save(const Machine &m)
{
    std::string error;
    const char *udevDir = std::getenv("ZEL_UDEV_DIR");
    if (m.save(error) &&
        (!udevDir || !*udevDir || UdevTree::writeDatabase(m, udevDir, false, error)))
        return true;
    setupError(error);
    return false;
}

int listSeats(const Machine &m, bool legend)
{
    const std::vector<std::string> ids = m.seatIds();
    std::string out = legend ? "SEAT\n" : "";
    for (const std::string &id : ids)
        out += id + '\n';
    if (legend)
        out += '\n' + std::to_string(ids.size()) + " seats listed.\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}

// Characters on the terminal: the UTF-8 sequences of a string.
size_t width(const std::string &s)
{
    return size_t(std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xc0) != 0x80; }));
}

// systemd's format-table as list-sessions sets it up: sorted by session id,
// one blank between columns, the first two right-aligned, every column at
// least one wide, the last one without trailing blanks; the header counts
// for the widths only when it is shown.
int listSessions(const Machine &m, bool legend)
{
    std::vector<std::vector<std::string>> rows;
    for (const Session &s : m.sessions)
        rows.push_back({s.id, std::to_string(s.uid), s.user, s.seat, s.tty});
    std::sort(rows.begin(), rows.end(), [](const auto &a, const auto &b) {
        return std::strcmp(a[0].c_str(), b[0].c_str()) < 0;
    });
    if (rows.empty()) {
        if (legend)
            std::fputs("No sessions.\n", stdout);
        return 0;
    }
    if (legend)
        rows.insert(rows.begin(), {"SESSION", "UID", "USER", "SEAT", "TTY"});
    size_t widths[5] = {1, 1, 1, 1, 1};
    for (const auto &row : rows) {
        for (size_t j = 0; j < 5; ++j)
            widths[j] = std::max(widths[j], width(row[j]));
    }
    std::string out;
    for (const auto &row : rows) {
        std::string line;
        for (size_t j = 0; j < 5; ++j) {
            const std::string pad(widths[j] - width(row[j]), ' ');
            if (j > 0)
                line += ' ';
            // The last column keeps no blanks after its text.
            line += j < 2 ? pad + row[j] : j == 4 ? row[j] : row[j] + pad;
        }
        out += line + '\n';
    }
    if (legend)
        out += "\n" + std::to_string(rows.size() - 1) + " sessions listed.\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}

int showSeats(Machine &m, const std::vector<std::string> &seats)
{
    if (seats.empty()) {
        fail("Could not get properties: Caller does not belong to any known session.");
        return 1;
    }
    const Glyphs &g = localeIsUtf8() ? Utf8Glyphs : AsciiGlyphs;
    std::string out;
    bool changed = false;
    int code = 0;
    for (size_t i = 0; i < seats.size(); ++i) {
        const std::string &seat = seats[i];
        if (seat.empty() || seat == "self" || seat == "auto") {
            fail("Failed to get seat: Caller does not belong to any known session.");
            code = 1;
            break;
        }
        const bool known = m.seatExists(seat);
        if (known)
            out += (i > 0 ? "\n" : "") + seatStatus(m, seat, g);
        changed = advancePending(m, seat) || changed;
        if (!known) {
            fail("Failed to get seat: No seat '" + seat + "' known");
            code = 1;
            break;
        }
    }
    std::fputs(out.c_str(), stdout);
    if (changed && !save(m))
        return SetupError;
    return code;
}

// Checks one AttachDevice request in logind's order; empty when it may go on.
std::string attachError(Machine &m, const std::string &seat, const std::string &path,
                        Device *&device)
{
    if (!SysfsPath::isNormalized(path))
        return "Path " + path + " is not normalized";
    if (!SysfsPath::startsWith(path, "/sys"))
        return "Path " + path + " is not in /sys";
    if (seat.empty() || seat == "self" || seat == "auto")
        return "Caller does not belong to any known session.";
    if (!seatNameIsValid(seat))
        return "Seat " + seat + " is not valid";
    device = m.findDevice(path);
    if (!device)
        return "Failed to get device '" + path + "': No such device";
    if (!device->tagged)
        return "Device '" + path + "' lacks 'seat' udev tag.";
    return {};
}

int attach(Machine &m, const std::vector<std::string> &args, unsigned long long lag)
{
    const std::string &seat = args[0];
    bool changed = false;
    int code = 0;
    for (size_t i = 1; i < args.size(); ++i) {
        Device *device = nullptr;
        const std::string error = attachError(m, seat, args[i], device);
        if (!error.empty()) {
            fail("Could not attach device: " + error);
            code = 1;
            break;
        }
        const std::string path = device->path;
        // A newer attach of the same device overrides one still on its way.
        m.pending.erase(std::remove_if(m.pending.begin(), m.pending.end(),
                                       [&path](const Pending &p) { return p.path == path; }),
                        m.pending.end());
        if (lag == 0)
            applyMove(m, seat, path);
        else
            m.pending.push_back({seat, path, lag});
        changed = true;
    }
    if (changed && !save(m))
        return SetupError;
    return code;
}

int flushDevices(Machine &m)
{
    for (Device &d : m.devices)
        d.seat = "seat0";
    m.pending.clear();
    m.collectSeats();
    return save(m) ? 0 : SetupError;
}

void sleepMs(unsigned long long ms)
{
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

struct Call
{
    std::string verb;
    std::vector<std::string> args; // the arguments after the verb
};

// Counts the call against every fault it matches. Returns the fault that
// decides the answer (the first firing one that is not a sleep), if any, and
// adds up the firing sleeps.
const Fault *matchFaults(Machine &m, const Call &call, unsigned long long &sleep, bool &changed)
{
    const Fault *decisive = nullptr;
    for (Fault &f : m.faults) {
        if (f.verb != "*" && f.verb != call.verb)
            continue;
        const bool argsMatch = std::all_of(f.args.begin(), f.args.end(), [&call](const auto &a) {
            return std::find(call.args.begin(), call.args.end(), a) != call.args.end();
        });
        if (!argsMatch)
            continue;
        ++f.seen;
        changed = true;
        const bool fires = f.seen >= f.from && (!f.times || f.seen - f.from < *f.times);
        if (!fires)
            continue;
        if (f.action == Fault::Sleep)
            sleep = std::min(sleep + f.value, 24ULL * 3600 * 1000);
        else if (!decisive)
            decisive = &f;
    }
    return decisive;
}

// Takes the options out of the arguments wherever they stand before "--", as
// getopt permutes them; the rest are the verb and its arguments.
bool parseOptions(int argc, char **argv, bool &legend, std::vector<std::string> &words)
{
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (optionsDone || a.size() < 2 || a[0] != '-') {
            words.push_back(a);
        } else if (a == "--") {
            optionsDone = true;
        } else if (a[1] == '-') {
            if (a == "--no-legend") {
                legend = false;
            } else if (a != "--no-pager" && a != "--no-ask-password" && a != "--full" &&
                       a != "--all") {
                fail("loginctl: unrecognized option '" + a + "'");
                return false;
            }
        } else {
            for (size_t k = 1; k < a.size(); ++k) {
                if (a[k] != 'l' && a[k] != 'a') {
                    fail(std::string("loginctl: invalid option -- '") + a[k] + "'");
                    return false;
                }
            }
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (!logCall("ZEL_LOGINCTL_LOG", "loginctl", argc, argv))
        return setupError(std::string("cannot write the call log: ") + std::strerror(errno));

    bool legend = true;
    std::vector<std::string> words;
    if (!parseOptions(argc, argv, legend, words))
        return 1;

    const char *machinePath = std::getenv("ZEL_LOGINCTL_MACHINE");
    Machine m;
    std::string error;
    const Machine::LoadResult loaded =
        machinePath && *machinePath ? m.load(machinePath, error) : Machine::Unreadable;
    if (loaded == Machine::Malformed)
        return setupError(error);
    if (loaded == Machine::Unreadable) {
        fail("System has not been booted with systemd as init system (PID 1). Can't operate.");
        fail("Failed to connect to bus: Host is down");
        return 1;
    }

    Call call;
    if (words.empty())
        call.verb = "list-sessions"; // the real tool's default verb
    else
        call = {words[0], std::vector<std::string>(words.begin() + 1, words.end())};

    unsigned long long sleep = 0;
    bool changed = false;
    const Fault *fault = matchFaults(m, call, sleep, changed);
    if (changed && !save(m))
        return SetupError;
    if (sleep > 0)
        sleepMs(sleep);

    const Verb *verb = nullptr;
    for (const Verb &v : Verbs) {
        if (call.verb == v.name)
            verb = &v;
    }
    unsigned long long lag = 0;
    if (fault) {
        switch (fault->action) {
        case Fault::Crash:
            std::fflush(nullptr);
            ::kill(::getpid(), SIGKILL);
            return SetupError; // not reached
        case Fault::Silent:
            return fault->exitCode.value_or(0);
        case Fault::Fail:
            fail(fault->message ? *fault->message
                 : verb         ? verb->failure
                                : "Failed to connect to bus: Connection timed out");
            return fault->exitCode.value_or(1);
        case Fault::Lag:
            lag = fault->value;
            break;
        case Fault::Sleep:
            break;
        }
    }

    if (!verb) {
        if (std::find_if(std::begin(OtherVerbs), std::end(OtherVerbs),
                         [&call](const char *v) { return call.verb == v; }) != std::end(OtherVerbs))
            return setupError("the verb " + call.verb + " is not emulated");
        fail("Unknown command verb " + call.verb + ".");
        return 1;
    }
    const size_t count = call.args.size() + 1;
    if (verb->minArgs && count < verb->minArgs) {
        fail("Too few arguments.");
        return 1;
    }
    if (verb->maxArgs && count > verb->maxArgs) {
        fail("Too many arguments.");
        return 1;
    }

    if (call.verb == "list-seats")
        return listSeats(m, legend);
    if (call.verb == "seat-status")
        return showSeats(m, call.args);
    if (call.verb == "attach")
        return attach(m, call.args, lag);
    if (call.verb == "list-sessions")
        return listSessions(m, legend);
    return flushDevices(m);
}
