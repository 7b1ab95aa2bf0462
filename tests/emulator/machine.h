// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <optional>
#include <string>
#include <vector>

// One udev device of the emulated machine.
struct Device
{
    std::string path; // sysfs path, /sys/devices/...
    std::string subsystem;
    std::string sysname;
    std::optional<std::string> name; // the "name" sysattr, printed in quotes
    bool master = false;             // udev tag master-of-seat
    bool tagged = true;              // udev tag seat
    std::string seat = "seat0";      // ID_SEAT
    // What udev's database adds, for the sample sandbox's fake udev; empty
    // or false: the property is not set. loginctl never prints them.
    std::string forSeat;   // ID_FOR_SEAT
    bool keyboard = false; // ID_INPUT_KEYBOARD
    bool mouse = false;    // ID_INPUT_MOUSE
    std::string vendor;    // ID_VENDOR_FROM_DATABASE
    std::string model;     // ID_MODEL_FROM_DATABASE
};

// A seat named in the description (seat0 exists whether named or not).
struct SeatDecl
{
    std::string id;
    std::vector<std::string> sessions; // printed as they stand: "*3" marks the active one
};

// A logind session (list-sessions prints these).
struct Session
{
    std::string id;
    unsigned long long uid = 0;
    std::string user;
    std::string seat; // empty: a session without a seat
    std::string tty;
};

// A misbehaviour asked for by a test.
struct Fault
{
    enum Action
    {
        Fail,
        Silent,
        Crash,
        Sleep,
        Lag
    };
    static constexpr unsigned long long Never = ~0ULL;

    std::string verb; // a verb, or "*" for every call
    Action action = Fail;
    unsigned long long value = 0;            // milliseconds for sleep, seat-status calls for lag
    std::vector<std::string> args;           // each must be one of the call's arguments
    unsigned long long from = 1;             // first matching call (1-based) that misbehaves
    std::optional<unsigned long long> times; // how many matching calls misbehave
    std::optional<int> exitCode;             // fail and silent
    std::optional<std::string> message;      // fail: the stderr line
    unsigned long long seen = 0;             // matching calls so far, kept up by the emulator
};

// An attach that has answered but not yet taken effect.
struct Pending
{
    std::string seat;
    std::string path;
    unsigned long long remaining = 0; // seat-status calls of seat still to come before it applies
};

// The machine description: a line-based text file that the emulator reads on
// every call and rewrites when the machine changes. Comments and blank lines
// survive a rewrite; records are written back in a canonical form.
class Machine
{
public:
    enum LoadResult
    {
        Loaded,
        Unreadable,
        Malformed
    };
    // Reads and parses the file; on failure error says FILE[:LINE]: why.
    LoadResult load(const std::string &path, std::string &error);
    // Replaces the file atomically (temporary file in the same folder, then rename).
    bool save(std::string &error) const;

    // A seat exists when it is seat0, is named in the description or holds a
    // master device carrying the seat tag.
    bool seatExists(const std::string &id) const;
    std::vector<std::string> seatIds() const; // sorted by byte comparison
    const SeatDecl *seatDecl(const std::string &id) const;

    // Looks a device up as logind would: its sysfs path (a trailing slash is
    // fine) or its /sys/class/SUBSYSTEM/SYSNAME link.
    Device *findDevice(const std::string &path);

    // Puts the device at path and every device below it on seat.
    void moveTree(const std::string &path, const std::string &seat);
    // Forgets the seats other than seat0 that no master device keeps alive.
    void collectSeats();

    std::vector<Device> devices; // in description order: seat-status prints them so
    std::vector<SeatDecl> seats;
    std::vector<Fault> faults;
    std::vector<Pending> pending;
    std::vector<Session> sessions;

private:
    enum Kind
    {
        Text,
        SeatLine,
        DeviceLine,
        FaultLine,
        PendingLine,
        SessionLine,
        KindCount
    };
    struct Slot
    {
        Kind kind;
        std::string text; // Text slots only
    };

    bool parseLine(const std::string &line, std::string &error);
    bool hasMaster(const std::string &seat) const;
    size_t recordCount(Kind kind) const;
    std::string formatRecord(Kind kind, size_t i) const;

    std::string m_path;
    std::vector<Slot> m_layout;
};

// Path helpers that follow systemd's rules.
namespace SysfsPath {
// True when path equals prefix or lies below it, compared component by component.
bool startsWith(const std::string &path, const std::string &prefix);
// logind's test for AttachDevice: no "..", no "//", no "." components.
bool isNormalized(const std::string &path);
} // namespace SysfsPath

// logind's rule for seat names: "seat" and at least one more of [A-Za-z0-9_-].
bool seatNameIsValid(const std::string &name);
