// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "udevtree.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Subsystems that sysfs keeps under /sys/bus; the others are classes.
const char *const Buses[] = {"acpi", "hid",   "i2c", "pci", "platform", "pnp",
                             "scsi", "serio", "spi", "usb", "virtio"};

bool isBus(const std::string &subsystem)
{
    return std::find(std::begin(Buses), std::end(Buses), subsystem) != std::end(Buses);
}

std::string deviceId(const Device &d)
{
    return '+' + d.subsystem + ':' + d.sysname;
}

// "../" once per component of relative.
std::string upFrom(const std::string &relative)
{
    std::string up;
    for (size_t i = 0; i != std::string::npos; i = relative.find('/', i + 1))
        up += "../";
    return up;
}

// The uevent file as the kernel writes it, for what the tool reads of it:
// the device type of USB and DRM devices and an input device's name.
std::string ueventOf(const Device &d)
{
    std::string text;
    if (d.subsystem == "usb")
        text += d.sysname.find(':') == std::string::npos ? "DEVTYPE=usb_device\n"
                                                         : "DEVTYPE=usb_interface\n";
    if (d.subsystem == "drm")
        text += d.sysname.find('-') == std::string::npos ? "DEVTYPE=drm_minor\n"
                                                         : "DEVTYPE=drm_connector\n";
    if (d.subsystem == "input" && d.name)
        text += "NAME=\"" + *d.name + "\"\n";
    return text;
}

// The database entry udevd would write after its rules ran: the time it was
// initialized (fixed: nothing reads its value), properties, tags, version.
std::string dataOf(const Device &d)
{
    std::string text = "I:1000000\n";
    if (!d.forSeat.empty())
        text += "E:ID_FOR_SEAT=" + d.forSeat + '\n';
    if (d.seat != "seat0")
        text += "E:ID_SEAT=" + d.seat + '\n';
    if (d.keyboard || d.mouse)
        text += "E:ID_INPUT=1\n";
    if (d.keyboard)
        text += "E:ID_INPUT_KEY=1\nE:ID_INPUT_KEYBOARD=1\n";
    if (d.mouse)
        text += "E:ID_INPUT_MOUSE=1\n";
    if (!d.vendor.empty())
        text += "E:ID_VENDOR_FROM_DATABASE=" + d.vendor + '\n';
    if (!d.model.empty())
        text += "E:ID_MODEL_FROM_DATABASE=" + d.model + '\n';
    for (const char *kind : {"G:", "Q:"}) {
        if (d.tagged)
            text += std::string(kind) + "seat\n";
        if (d.master)
            text += std::string(kind) + "master-of-seat\n";
    }
    return text + "V:1\n";
}

bool fail(std::string &error, const std::string &what, const std::error_code &code)
{
    error = what + ": " + code.message();
    return false;
}

bool writeFile(const fs::path &path, const std::string &text, std::string &error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        error = "cannot write " + path.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// Writes text to path unless it holds it already, through a temporary file
// and a rename so that a reader never sees half of it.
bool replaceFile(const fs::path &path, const std::string &text, std::string &error)
{
    std::ifstream in(path, std::ios::binary);
    if (in) {
        std::ostringstream old;
        old << in.rdbuf();
        if (old.str() == text)
            return true;
    }
    const fs::path temp =
        path.parent_path() / ('.' + path.filename().string() + '.' + std::to_string(::getpid()));
    if (!writeFile(temp, text, error))
        return false;
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path.string() + ": " + std::strerror(errno);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool link(const std::string &target, const fs::path &at, std::string &error)
{
    std::error_code code;
    fs::create_directories(at.parent_path(), code);
    if (!code)
        fs::create_symlink(target, at, code);
    if (code == std::errc::file_exists) {
        error = at.string() + " names two devices";
        return false;
    }
    return !code || fail(error, "cannot link " + at.string(), code);
}

} // namespace

namespace UdevTree {

bool writeSysfs(const Machine &m, const std::string &sysDir, std::string &error)
{
    const std::string top = "/sys/devices/";
    for (const Device &d : m.devices) {
        if (d.path.compare(0, top.size(), top) != 0) {
            error = d.path + " is not below " + top;
            return false;
        }
        const std::string relative = d.path.substr(5); // devices/...
        const fs::path dir = fs::path(sysDir) / relative;
        std::error_code code;
        fs::create_directories(dir, code);
        if (code)
            return fail(error, "cannot create " + dir.string(), code);
        const bool bus = isBus(d.subsystem);
        const std::string home = (bus ? "bus/" : "class/") + d.subsystem;
        if (!writeFile(dir / "uevent", ueventOf(d), error) ||
            (d.name && !writeFile(dir / "name", *d.name + '\n', error)) ||
            !link(upFrom(relative) + home, dir / "subsystem", error))
            return false;
        const fs::path entry = bus ? fs::path(sysDir) / home / "devices" / d.sysname
                                   : fs::path(sysDir) / home / d.sysname;
        if (!link((bus ? "../../../" : "../../") + relative, entry, error))
            return false;
    }
    return true;
}

bool writeDatabase(const Machine &m, const std::string &udevDir, bool withTags, std::string &error)
{
    const fs::path data = fs::path(udevDir) / "data";
    const fs::path seatTag = fs::path(udevDir) / "tags" / "seat";
    const fs::path masterTag = fs::path(udevDir) / "tags" / "master-of-seat";
    std::error_code code;
    for (const fs::path &dir : {data, seatTag, masterTag}) {
        if (dir == data || withTags)
            fs::create_directories(dir, code);
        if (code)
            return fail(error, "cannot create " + dir.string(), code);
    }
    for (const Device &d : m.devices) {
        if (!replaceFile(data / deviceId(d), dataOf(d), error))
            return false;
        if (withTags && ((d.tagged && !writeFile(seatTag / deviceId(d), {}, error)) ||
                         (d.master && !writeFile(masterTag / deviceId(d), {}, error))))
            return false;
    }
    return true;
}

} // namespace UdevTree
