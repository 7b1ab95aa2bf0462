// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "machine.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char *const FaultVerbs[] = {"list-seats",    "seat-status",   "attach",
                                  "flush-devices", "list-sessions", "*"};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// Splits a line into blank-separated words. Double quotes group blanks into a
// word and are removed; inside them \" and \\ stand for " and \.
bool tokenize(const std::string &line, std::vector<std::string> &words, std::string &error)
{
    size_t i = 0;
    const size_t n = line.size();
    while (true) {
        while (i < n && isBlank(line[i]))
            ++i;
        if (i >= n)
            return true;
        std::string word;
        bool quoted = false;
        for (; i < n && (quoted || !isBlank(line[i])); ++i) {
            const char c = line[i];
            if (c == '"') {
                quoted = !quoted;
            } else if (quoted && c == '\\' && i + 1 < n &&
                       (line[i + 1] == '"' || line[i + 1] == '\\')) {
                word += line[++i];
            } else {
                word += c;
            }
        }
        if (quoted) {
            error = "unterminated double quote";
            return false;
        }
        words.push_back(word);
    }
}

// The inverse of tokenize for one word.
std::string quote(const std::string &word, bool always = false)
{
    bool plain = !always && !word.empty();
    for (char c : word) {
        if (isBlank(c) || c == '"' || c == '\\')
            plain = false;
    }
    if (plain)
        return word;
    std::string out = "\"";
    for (char c : word) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

bool parseNumber(const std::string &text, unsigned long long &value)
{
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return false;
    errno = 0;
    char *end = nullptr;
    value = std::strtoull(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

// Splits "key=value"; false when the word has no '='.
bool splitKey(const std::string &word, std::string &key, std::string &value)
{
    const size_t eq = word.find('=');
    if (eq == std::string::npos)
        return false;
    key = word.substr(0, eq);
    value = word.substr(eq + 1);
    return true;
}

// Path components as systemd walks them: empty and "." components vanish.
std::vector<std::string> components(const std::string &path)
{
    std::vector<std::string> parts;
    size_t i = 0;
    while (i < path.size()) {
        size_t j = path.find('/', i);
        if (j == std::string::npos)
            j = path.size();
        if (j > i && path.compare(i, j - i, ".") != 0)
            parts.push_back(path.substr(i, j - i));
        i = j + 1;
    }
    return parts;
}

std::string actionName(Fault::Action action)
{
    switch (action) {
    case Fault::Fail:
        return "fail";
    case Fault::Silent:
        return "silent";
    case Fault::Crash:
        return "crash";
    case Fault::Sleep:
        return "sleep";
    case Fault::Lag:
        return "lag";
    }
    return {};
}

std::string formatSeat(const SeatDecl &seat)
{
    std::string line = "seat " + quote(seat.id);
    if (!seat.sessions.empty()) {
        line += " sessions";
        for (const std::string &s : seat.sessions)
            line += ' ' + quote(s);
    }
    return line;
}

std::string formatDevice(const Device &d)
{
    std::string line = "device " + quote(d.path) + ' ' + quote(d.subsystem + ':' + d.sysname);
    if (d.master)
        line += " master";
    if (!d.tagged)
        line += " untagged";
    if (d.seat != "seat0")
        line += " seat=" + quote(d.seat);
    if (d.name)
        line += " name=" + quote(*d.name, true);
    if (!d.forSeat.empty())
        line += " forseat=" + quote(d.forSeat);
    if (d.keyboard)
        line += " keyboard";
    if (d.mouse)
        line += " mouse";
    if (!d.vendor.empty())
        line += " vendor=" + quote(d.vendor, true);
    if (!d.model.empty())
        line += " model=" + quote(d.model, true);
    return line;
}

std::string formatFault(const Fault &f)
{
    std::string line = "fault " + quote(f.verb) + ' ' + actionName(f.action);
    if (f.action == Fault::Sleep)
        line += ' ' + std::to_string(f.value);
    if (f.action == Fault::Lag)
        line += ' ' + (f.value == Fault::Never ? std::string("never") : std::to_string(f.value));
    for (const std::string &a : f.args)
        line += " arg=" + quote(a);
    if (f.from != 1)
        line += " from=" + std::to_string(f.from);
    if (f.times)
        line += " times=" + std::to_string(*f.times);
    if (f.exitCode)
        line += " exit=" + std::to_string(*f.exitCode);
    if (f.message)
        line += " message=" + quote(*f.message, true);
    line += " seen=" + std::to_string(f.seen);
    return line;
}

std::string formatSession(const Session &s)
{
    std::string line = "session " + quote(s.id) + ' ' + std::to_string(s.uid) + ' ' + quote(s.user);
    if (!s.seat.empty())
        line += " seat=" + quote(s.seat);
    if (!s.tty.empty())
        line += " tty=" + quote(s.tty);
    return line;
}

std::string formatPending(const Pending &p)
{
    return "pending " + quote(p.seat) + ' ' + quote(p.path) + ' ' + std::to_string(p.remaining);
}

} // namespace

namespace SysfsPath {

bool startsWith(const std::string &path, const std::string &prefix)
{
    if (path.empty() || prefix.empty() || (path[0] == '/') != (prefix[0] == '/'))
        return false;
    const std::vector<std::string> p = components(path);
    const std::vector<std::string> q = components(prefix);
    return q.size() <= p.size() && std::equal(q.begin(), q.end(), p.begin());
}

bool isNormalized(const std::string &path)
{
    if (path.empty() || path.size() >= 4096)
        return false;
    size_t i = 0;
    while (i < path.size()) {
        size_t j = path.find('/', i);
        if (j == std::string::npos)
            j = path.size();
        if (j - i > 255 || path.compare(i, j - i, "..") == 0)
            return false;
        i = j + 1;
    }
    auto endsWith = [&path](const char *s) {
        const size_t n = std::strlen(s);
        return path.size() >= n && path.compare(path.size() - n, n, s) == 0;
    };
    return path != "." && path.rfind("./", 0) != 0 && !endsWith("/.") &&
           path.find("/./") == std::string::npos && path.find("//") == std::string::npos;
}

} // namespace SysfsPath

bool seatNameIsValid(const std::string &name)
{
    if (name.size() <= 4 || name.size() > 255 || name.compare(0, 4, "seat") != 0)
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_';
    });
}

Machine::LoadResult Machine::load(const std::string &path, std::string &error)
{
    m_path = path;
    FILE *file = std::fopen(path.c_str(), "re");
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return Unreadable;
    }
    std::string content;
    char buffer[8192];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    const bool failed = std::ferror(file);
    const int readErrno = errno;
    std::fclose(file);
    if (failed) {
        error = path + ": " + std::strerror(readErrno);
        return Unreadable;
    }

    size_t start = 0;
    int number = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        ++number;
        std::string why;
        if (!parseLine(content.substr(start, end - start), why)) {
            error = path + ':' + std::to_string(number) + ": " + why;
            return Malformed;
        }
        start = end + 1;
    }
    return Loaded;
}

bool Machine::parseLine(const std::string &line, std::string &error)
{
    std::vector<std::string> w;
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') {
        m_layout.push_back({Text, line});
        return true;
    }
    if (!tokenize(line, w, error))
        return false;
    const std::string &keyword = w[0];
    std::string key, value;

    if (keyword == "seat") {
        if (w.size() < 2 || !seatNameIsValid(w[1])) {
            error = "seat needs a valid seat name";
            return false;
        }
        if (seatDecl(w[1])) {
            error = "seat " + w[1] + " is named twice";
            return false;
        }
        SeatDecl seat{w[1], {}};
        if (w.size() > 2) {
            if (w[2] != "sessions" || w.size() == 3) {
                error = "after the seat name only \"sessions ID...\" may follow";
                return false;
            }
            seat.sessions.assign(w.begin() + 3, w.end());
        }
        seats.push_back(seat);
        m_layout.push_back({SeatLine, {}});
        return true;
    }

    if (keyword == "device") {
        if (w.size() < 3) {
            error = "device needs PATH SUBSYSTEM:SYSNAME";
            return false;
        }
        Device d;
        d.path = w[1];
        if (d.path.compare(0, 5, "/sys/") != 0 || !SysfsPath::isNormalized(d.path) ||
            d.path.back() == '/') {
            error = "device path must be a normalized path below /sys";
            return false;
        }
        for (const Device &other : devices) {
            if (other.path == d.path) {
                error = "device " + d.path + " is listed twice";
                return false;
            }
        }
        const size_t colon = w[2].find(':');
        if (colon == std::string::npos || colon == 0 || colon + 1 == w[2].size()) {
            error = "expected SUBSYSTEM:SYSNAME, got " + w[2];
            return false;
        }
        d.subsystem = w[2].substr(0, colon);
        d.sysname = w[2].substr(colon + 1);
        for (size_t i = 3; i < w.size(); ++i) {
            if (w[i] == "master") {
                d.master = true;
            } else if (w[i] == "untagged") {
                d.tagged = false;
            } else if (splitKey(w[i], key, value) && key == "seat") {
                if (!seatNameIsValid(value)) {
                    error = "invalid seat name " + value;
                    return false;
                }
                d.seat = value;
            } else if (splitKey(w[i], key, value) && key == "name") {
                d.name = value;
            } else if (w[i] == "keyboard") {
                d.keyboard = true;
            } else if (w[i] == "mouse") {
                d.mouse = true;
            } else if (splitKey(w[i], key, value) &&
                       (key == "forseat" || key == "vendor" || key == "model")) {
                if (value.empty()) {
                    error = key + "= needs a value";
                    return false;
                }
                (key == "forseat" ? d.forSeat : key == "vendor" ? d.vendor : d.model) = value;
            } else {
                error = "unknown device attribute " + w[i];
                return false;
            }
        }
        devices.push_back(d);
        m_layout.push_back({DeviceLine, {}});
        return true;
    }

    if (keyword == "fault") {
        if (w.size() < 3 ||
            std::find(std::begin(FaultVerbs), std::end(FaultVerbs), w[1]) == std::end(FaultVerbs)) {
            error = "fault needs a verb (list-seats, seat-status, attach, flush-devices or *) "
                    "and an action";
            return false;
        }
        Fault f;
        f.verb = w[1];
        size_t i = 3;
        const std::string &action = w[2];
        if (action == "fail") {
            f.action = Fault::Fail;
        } else if (action == "silent") {
            f.action = Fault::Silent;
        } else if (action == "crash") {
            f.action = Fault::Crash;
        } else if (action == "sleep" || action == "lag") {
            f.action = action == "sleep" ? Fault::Sleep : Fault::Lag;
            if (w.size() < 4 ||
                !(parseNumber(w[3], f.value) || (f.action == Fault::Lag && w[3] == "never"))) {
                error = action + " needs a number" + (f.action == Fault::Lag ? " or never" : "");
                return false;
            }
            if (w[3] == "never")
                f.value = Fault::Never;
            if (f.action == Fault::Lag && f.verb != "attach") {
                error = "lag applies to attach only";
                return false;
            }
            i = 4;
        } else {
            error = "unknown fault action " + action;
            return false;
        }
        for (; i < w.size(); ++i) {
            unsigned long long number = 0;
            if (!splitKey(w[i], key, value)) {
                error = "unknown fault attribute " + w[i];
                return false;
            }
            if (key == "arg") {
                f.args.push_back(value);
            } else if (key == "message" && f.action == Fault::Fail) {
                f.message = value;
            } else if (key == "from" || key == "times" || key == "seen" || key == "exit") {
                if (!parseNumber(value, number) || (key == "from" && number == 0) ||
                    (key == "exit" && number > 255)) {
                    error = "bad number in " + w[i];
                    return false;
                }
                if (key == "from")
                    f.from = number;
                else if (key == "times")
                    f.times = number;
                else if (key == "seen")
                    f.seen = number;
                else if (f.action == Fault::Fail || f.action == Fault::Silent)
                    f.exitCode = static_cast<int>(number);
                else {
                    error = "exit= applies to fail and silent only";
                    return false;
                }
            } else {
                error = "unknown fault attribute " + w[i];
                return false;
            }
        }
        faults.push_back(f);
        m_layout.push_back({FaultLine, {}});
        return true;
    }

    if (keyword == "pending") {
        Pending p;
        if (w.size() != 4 || !seatNameIsValid(w[1]) || !parseNumber(w[3], p.remaining)) {
            error = "pending needs SEAT PATH REMAINING";
            return false;
        }
        p.seat = w[1];
        p.path = w[2];
        pending.push_back(p);
        m_layout.push_back({PendingLine, {}});
        return true;
    }

    if (keyword == "session") {
        Session s;
        if (w.size() < 4 || w[1].empty() || !parseNumber(w[2], s.uid) || w[3].empty()) {
            error = "session needs ID UID USER";
            return false;
        }
        s.id = w[1];
        s.user = w[3];
        for (size_t i = 4; i < w.size(); ++i) {
            if (splitKey(w[i], key, value) && key == "seat" && seatNameIsValid(value)) {
                s.seat = value;
            } else if (splitKey(w[i], key, value) && key == "tty") {
                s.tty = value;
            } else {
                error = "unknown session attribute " + w[i];
                return false;
            }
        }
        for (const Session &other : sessions) {
            if (other.id == s.id) {
                error = "session " + s.id + " is listed twice";
                return false;
            }
        }
        sessions.push_back(s);
        m_layout.push_back({SessionLine, {}});
        return true;
    }

    error = "unknown keyword " + keyword + " (expected seat, device, session, fault or pending)";
    return false;
}

bool Machine::save(std::string &error) const
{
    // Each record goes back to a slot of its kind, in order; records beyond the
    // slots follow the last slot of their kind, or the end of the file.
    size_t lastSlot[KindCount] = {};
    bool anySlot[KindCount] = {};
    for (size_t i = 0; i < m_layout.size(); ++i) {
        lastSlot[m_layout[i].kind] = i;
        anySlot[m_layout[i].kind] = true;
    }
    size_t next[KindCount] = {};
    std::string out;
    auto emit = [&](Kind kind, bool all) {
        const size_t count = recordCount(kind);
        do {
            if (next[kind] < count)
                out += formatRecord(kind, next[kind]++) + '\n';
        } while (all && next[kind] < count);
    };
    for (size_t i = 0; i < m_layout.size(); ++i) {
        const Slot &slot = m_layout[i];
        if (slot.kind == Text)
            out += slot.text + '\n';
        else
            emit(slot.kind, i == lastSlot[slot.kind]);
    }
    for (Kind kind : {SeatLine, DeviceLine, FaultLine, PendingLine, SessionLine}) {
        if (!anySlot[kind])
            emit(kind, true);
    }

    const size_t slash = m_path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : m_path.substr(0, slash);
    const std::string base = slash == std::string::npos ? m_path : m_path.substr(slash + 1);
    std::string temp = dir + "/." + base + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        error = "cannot create a temporary file in " + dir + ": " + std::strerror(errno);
        return false;
    }
    struct stat st;
    const mode_t mode = ::stat(m_path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    size_t done = 0;
    bool ok = fchmod(fd, mode) == 0;
    while (ok && done < out.size()) {
        const ssize_t n = ::write(fd, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += static_cast<size_t>(n);
    }
    const int writeErrno = errno;
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temp.c_str(), m_path.c_str()) != 0) {
        error = "cannot write " + m_path + ": " + std::strerror(ok ? errno : writeErrno);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

size_t Machine::recordCount(Kind kind) const
{
    switch (kind) {
    case SeatLine:
        return seats.size();
    case DeviceLine:
        return devices.size();
    case FaultLine:
        return faults.size();
    case PendingLine:
        return pending.size();
    case SessionLine:
        return sessions.size();
    default:
        return 0;
    }
}

std::string Machine::formatRecord(Kind kind, size_t i) const
{
    switch (kind) {
    case SeatLine:
        return formatSeat(seats[i]);
    case DeviceLine:
        return formatDevice(devices[i]);
    case FaultLine:
        return formatFault(faults[i]);
    case PendingLine:
        return formatPending(pending[i]);
    case SessionLine:
        return formatSession(sessions[i]);
    default:
        return {};
    }
}

const SeatDecl *Machine::seatDecl(const std::string &id) const
{
    for (const SeatDecl &seat : seats) {
        if (seat.id == id)
            return &seat;
    }
    return nullptr;
}

// logind only counts master devices that carry the seat tag.
static bool isSeatMaster(const Device &d)
{
    return d.master && d.tagged;
}

bool Machine::hasMaster(const std::string &seat) const
{
    return std::any_of(devices.begin(), devices.end(),
                       [&seat](const Device &d) { return isSeatMaster(d) && d.seat == seat; });
}

bool Machine::seatExists(const std::string &id) const
{
    return id == "seat0" || seatDecl(id) || hasMaster(id);
}

std::vector<std::string> Machine::seatIds() const
{
    std::vector<std::string> ids{"seat0"};
    for (const SeatDecl &seat : seats)
        ids.push_back(seat.id);
    for (const Device &d : devices) {
        if (isSeatMaster(d))
            ids.push_back(d.seat);
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

Device *Machine::findDevice(const std::string &path)
{
    std::string clean = path;
    while (clean.size() > 1 && clean.back() == '/')
        clean.pop_back();
    const std::vector<std::string> parts = components(clean);
    const bool classLink = parts.size() == 4 && parts[0] == "sys" && parts[1] == "class";
    for (Device &d : devices) {
        if (d.path == clean || (classLink && d.subsystem == parts[2] && d.sysname == parts[3]))
            return &d;
    }
    return nullptr;
}

void Machine::moveTree(const std::string &path, const std::string &seat)
{
    for (Device &d : devices) {
        if (SysfsPath::startsWith(d.path, path))
            d.seat = seat;
    }
}

void Machine::collectSeats()
{
    seats.erase(
        std::remove_if(seats.begin(), seats.end(),
                       [this](const SeatDecl &s) { return s.id != "seat0" && !hasMaster(s.id); }),
        seats.end());
}
