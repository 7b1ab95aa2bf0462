#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Zel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""End-to-end scenarios: the real tool on the sample machine, driven through
its accessibility tree with real mouse and keyboard events.

Run inside scripts/sample-sandbox (CTest does):
    test_e2e.py --app PATH --artifacts DIR SCENARIO
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from zel_e2e import TestFailure, check, read_text, run_scenarios, wait_for  # noqa: E402

RESTART_QUESTION = ("After saving the settings, the graphical shell will be restarted. \n"
                    "Do you want to continue?")
LOGITECH_KEYBOARD = "Logitech USB Keyboard Consumer Control"
RESTART_ARGS = ["--no-block", "restart", "--", "zel-dm"]


def seats_of_machine(sandbox):
    return sandbox.loginctl("list-seats", "--no-legend").split()


def paths_named(sandbox, *names):
    """sysfs paths of the devices with these names in the machine description."""
    found = {}
    for line in read_text(sandbox.machine).splitlines():
        words = line.split()
        if words and words[0] == "device":
            for name in names:
                if ('name="%s"' % name) in line:
                    found[name] = words[1]
    check(len(found) == len(names), "the machine has no devices named %s" % (names,))
    return [found[name] for name in names]


def wait_populated(app, sandbox, seats, since=0, timeout=20):
    """Waits until the seats have been read and every seat column shows devices."""
    expected = ([["list-seats", "--no-legend"]] + [["seat-status", s] for s in seats] +
                [["list-sessions", "--no-legend"]])

    def done():
        if sandbox.calls()[since:] != expected:
            return False
        names = app.seat_names()
        if len(names) != len(seats):
            return False
        try:
            return all(any(app.devices_of(n, timeout=1).values()) for n in names)
        except TestFailure:
            # A label changed while it was looked at: the main seat's reads
            # "Main seat" until the seats are shown.
            return False
    wait_for(done, "the window to show the seats %s" % seats, timeout)


def wait_restart(sandbox, count, timeout=60):
    return wait_for(lambda: len(sandbox.restart_records()) >= count and
                    sandbox.restart_records(), "the display manager restart", timeout)[:count]


def settings_text():
    text = ""
    for root, _, files in os.walk(os.environ["XDG_CONFIG_HOME"]):
        for name in files:
            text += read_text(os.path.join(root, name))
    return text


def applied_config(lines):
    """The configuration as a save with further seats leaves it."""
    out = []
    for line in (l.strip() for l in lines):
        if line.startswith("# ServerUID=auto"):
            out += ["ServerUID=root", "##commented " + line]
        else:
            out.append(line)
    return out


def check_attach_pairs(calls):
    """Every attach is checked at once with the status of its seat."""
    for i, call in enumerate(calls):
        if call[0] == "attach":
            check(i + 1 < len(calls) and calls[i + 1] == ["seat-status", call[1]],
                  "attach %s is not followed by seat-status %s" % (call[2], call[1]))


def xstack(desktop):
    """X window ids of the top-level windows, topmost first."""
    out = subprocess.run(["xwininfo", "-root", "-children"], env=desktop.env,
                         capture_output=True, text=True, check=True).stdout
    return [int(line.split()[0], 16) for line in out.splitlines()
            if line.strip().startswith("0x")]


# ---- scenarios ----


def startup(desktop, app, sandbox):
    seats = seats_of_machine(sandbox)
    check(seats == ["seat0", "seat1"], "the sample machine has seats %s" % seats)
    app.start()
    app.window(timeout=20)
    wait_populated(app, sandbox, seats)
    desktop.screenshot("populated")

    check(sandbox.calls() == [["list-seats", "--no-legend"], ["seat-status", "seat0"],
                              ["seat-status", "seat1"], ["list-sessions", "--no-legend"]],
          "the start called loginctl as %s" % sandbox.calls())
    check(app.seat_names() == ["seat0", "seat1"], "seat columns %s" % app.seat_names())
    seat1 = app.devices_of("seat1")
    check(seat1["Videocard"] == ["[MASTER] drm:card2"] and
          seat1["Keyboard"] == ["Dell KB216 Wired Keyboard"] and
          seat1["Mouse"] == ["PixArt USB Optical Mouse"], "seat1 shows %s" % seat1)
    main = app.devices_of("seat0")
    check(LOGITECH_KEYBOARD in main["Keyboard"] and "SIGMACHIP USB Keyboard" in main["Keyboard"],
          "the main seat shows %s" % main)
    check(sorted(main["Videocard"]) == ["[MASTER] drm:card0", "[MASTER] drm:card1",
                                        "[MASTER] drm:card3"], "main seat cards %s" % main)

    # Cover the tool with another window, then start a second copy.
    cover = desktop._spawn(["xlogo", "-geometry", "1280x900+0+0"], "xlogo")
    tool = app.x_window()
    wait_for(lambda: cover.poll() is None and xstack(desktop)[0] != tool,
             "the tool to be covered")
    desktop.screenshot("covered")
    calls_before = len(sandbox.calls())
    status = app.run_another_copy()
    check(status == 255, "the second copy exited with %s, not 255" % status)
    check(len(sandbox.calls()) == calls_before, "the second copy called loginctl")
    wait_for(lambda: xstack(desktop)[0] == tool, "the first window to be raised", 10)
    focus = int(desktop.xdotool("getwindowfocus").strip())
    check(focus == tool, "the focus is on window %#x, not the tool's %#x" % (focus, tool))
    check(app.alive(), "the first copy ended")
    desktop.screenshot("raised")


def drag_keyboard_and_save(desktop, app, sandbox):
    seats = seats_of_machine(sandbox)
    original_config = sandbox.config_lines()
    addresses = paths_named(sandbox, "Logitech USB Keyboard Consumer Control",
                            "Logitech USB Keyboard")
    app.start()
    wait_populated(app, sandbox, seats)
    start_calls = len(sandbox.calls())
    save = app.find("push button", "Save changes", within=app.window())
    check(not save.enabled(), "Save is enabled before any change")

    app.drag(app.cell("seat0", LOGITECH_KEYBOARD), app.cell("seat1", "Keyboard"))
    wait_for(lambda: LOGITECH_KEYBOARD in app.devices_of("seat1")["Keyboard"],
             "the keyboard on seat1")
    check(LOGITECH_KEYBOARD not in app.devices_of("seat0")["Keyboard"],
          "the keyboard is still on the main seat")
    wait_for(lambda: app.find("push button", "Save changes").enabled(), "Save to be enabled")
    desktop.screenshot("dropped")

    app.click(app.find("push button", "Save changes"))
    desktop.screenshot("restart-question")
    app.answer("Warning!", "Yes", RESTART_QUESTION)
    records = wait_restart(sandbox, 1)
    wait_for(lambda: not app.find("push button", "Save changes").enabled(),
             "Save to be disabled after saving")
    desktop.screenshot("saved")

    calls = sandbox.calls()[start_calls:]
    attaches = [c for c in calls if c[0] == "attach"]
    check(all(len(c) == 3 for c in attaches), "attach calls %s" % attaches)
    check_attach_pairs(calls)
    # Seat1's devices come first, the main seat's last; the dragged keyboard
    # goes to seat1 with both of its interfaces.
    check([c for c in attaches if c[2] in addresses] ==
          [["attach", "seat1", a] for a in addresses], "the keyboard was attached as %s" %
          [c for c in attaches if c[2] in addresses])
    firsts = [c[1] for c in attaches]
    check(firsts == sorted(firsts, key=lambda s: s == "seat0"),
          "the main seat's devices were not attached last: %s" % firsts)
    placed = sandbox.device_seats()
    check(all(placed[a] == "seat1" for a in addresses), "the machine has the keyboard on %s" %
          [placed[a] for a in addresses])
    check(all(placed[p] == "seat1" for p in placed if p.startswith(addresses[1] + "/")),
          "the keyboard's LEDs stayed behind")

    config = sandbox.config_lines()
    check(config == applied_config(original_config), "configuration is %s" % config)
    i = config.index("ServerUID=root")
    check(config[i + 1] == "##commented # ServerUID=auto", "no marked default line below")

    check(len(records) == 1 and len(sandbox.restart_records()) == 1,
          "restarts %s" % sandbox.restart_records())
    position, args = records[0]
    check(args == RESTART_ARGS, "systemctl was called with %s" % args)
    check(position == len(sandbox.calls()),
          "the restart came after %d of %d loginctl calls" % (position, len(sandbox.calls())))


def add_seat_then_delete_all(desktop, app, sandbox):
    original_config = sandbox.config_lines()
    spare = ("SIGMACHIP USB Keyboard", "Microsoft Microsoft Basic Optical Mouse")
    spare_paths = paths_named(sandbox, *spare)
    card3 = [p for p in sandbox.device_seats() if p.endswith("/drm/card3")][0]
    app.start()
    wait_populated(app, sandbox, ["seat0", "seat1"])

    # A new seat with the spare card, keyboard and mouse.
    app.click(app.find("push button", "Add seat"))
    dialog = app.toplevel("dialog", "New seat creating")
    check(not app.find("push button", "Create seat", within=dialog).enabled(),
          "Create seat is enabled before a name was typed")
    app.click(app.find("text", "", within=dialog))
    app.type_text("Reception desk")
    wait_for(lambda: app.find("push button", "Create seat", within=dialog).enabled(),
             "Create seat to be enabled")
    app.click(app.find("combo box", None, within=dialog))
    offered = wait_for(lambda: sorted(n.name for n in dialog.find_all("list item")
                                      if n.showing()), "the video card list")
    # card0 runs the display manager's X server: it is not offered.
    check(offered == ["[MASTER] drm:card1", "[MASTER] drm:card3"], "offered %s" % offered)
    item = [n for n in dialog.find_all("list item") if n.name == "[MASTER] drm:card3"][0]
    app.click(item)
    wait_for(lambda: app.find("combo box", None, within=dialog).name == "[MASTER] drm:card3",
             "card3 to be chosen")
    desktop.screenshot("new-seat-dialog")
    app.click(app.find("push button", "Create seat", within=dialog))
    wait_for(lambda: "Reception desk" in app.seat_names(), "the new seat's column")
    check(app.devices_of("Reception desk")["Videocard"] == ["[MASTER] drm:card3"],
          "the new seat shows %s" % app.devices_of("Reception desk"))
    column = app.seat_column("Reception desk")
    for name in spare:
        app.click(app.cell("seat0", name))
        app.click(app.find("push button", "Attach device to place on the right", within=column))
        wait_for(lambda: name in sum(app.devices_of("Reception desk").values(), []),
                 "%s on the new seat" % name)
    desktop.screenshot("new-seat-filled")

    app.click(app.find("push button", "Save changes"))
    app.answer("Warning!", "Yes", RESTART_QUESTION)
    wait_restart(sandbox, 1)
    desktop.screenshot("new-seat-saved")
    check(seats_of_machine(sandbox) == ["seat0", "seat1", "seat2"],
          "the machine has the seats %s" % seats_of_machine(sandbox))
    placed = sandbox.device_seats()
    check([placed[p] for p in [card3] + spare_paths] == ["seat2"] * 3,
          "the new seat's devices are on %s" % [placed[p] for p in [card3] + spare_paths])
    check(sandbox.config_lines() == applied_config(original_config),
          "configuration is %s" % sandbox.config_lines())

    # Reload shows what the system now has, under the name given.
    before = len(sandbox.calls())
    app.click(app.find("push button", "Reload configuration"))
    wait_populated(app, sandbox, ["seat0", "seat1", "seat2"], since=before)
    check(app.seat_names() == ["seat0", "seat1", "Reception desk"],
          "after reload the seats are %s" % app.seat_names())
    shown = app.devices_of("Reception desk")
    check(shown["Videocard"] == ["[MASTER] drm:card3"] and shown["Keyboard"] == [spare[0]] and
          shown["Mouse"] == [spare[1]], "after reload the new seat shows %s" % shown)
    desktop.screenshot("reloaded")

    # Delete every further seat; their devices go back to the main seat.
    for name in ("Reception desk", "seat1"):
        app.click(app.find("push button", "Delete seat", within=app.seat_column(name)))
        app.answer("Devices disconnection", "Yes",
                   "All devices will be disconnected from seat. \nAre you sure?")
        wait_for(lambda: name not in app.seat_names(), "the column of %s to go" % name)
    check(app.seat_names() == ["seat0"], "seats left: %s" % app.seat_names())
    main = app.devices_of("seat0")
    check(sorted(main["Videocard"]) == ["[MASTER] drm:card%d" % i for i in range(4)],
          "the main seat has the cards %s" % main["Videocard"])
    desktop.screenshot("seats-deleted")

    app.click(app.find("push button", "Save changes"))
    app.answer("Warning!", "Yes", RESTART_QUESTION)
    wait_restart(sandbox, 2)
    desktop.screenshot("main-seat-only-saved")
    check(seats_of_machine(sandbox) == ["seat0"],
          "the machine still has the seats %s" % seats_of_machine(sandbox))
    check(sandbox.config_lines() == [l.strip() for l in original_config],
          "the configuration was not restored: %s" % sandbox.config_lines())
    check("# ServerUID=auto" in sandbox.config_lines(), "no default line")
    check(all(r[1] == RESTART_ARGS for r in sandbox.restart_records()),
          "restarts %s" % sandbox.restart_records())


def close_with_unsaved_changes(desktop, app, sandbox):
    machine_before = read_text(sandbox.machine)
    config_before = read_text(sandbox.config)
    mouse = "Logitech USB Optical Mouse"
    app.start()
    wait_populated(app, sandbox, ["seat0", "seat1"])
    start_calls = sandbox.calls()

    app.click(app.cell("seat0", mouse))
    app.click(app.find("push button", "Attach device to place on the right",
                       within=app.seat_column("seat1")))
    wait_for(lambda: mouse in app.devices_of("seat1")["Mouse"], "the mouse on seat1")
    check("geometry" not in settings_text(), "the geometry is stored before any close")

    question = "Configuration was changed but not saved. \nDo you want to save changes?"
    app.menu("File", "Exit")
    desktop.screenshot("unsaved-question")
    app.answer("Unsaved changes", "Cancel", question)
    time.sleep(1)
    check(app.alive(), "the tool ended after Cancel")
    app.window(timeout=2)
    check(mouse in app.devices_of("seat1")["Mouse"], "Cancel undid the change")
    check("geometry" not in settings_text(), "Cancel stored the geometry")
    desktop.screenshot("after-cancel")

    app.menu("File", "Exit")
    app.answer("Unsaved changes", "No", question)
    status = app.wait_exit(15)
    check(status == 0, "the tool exited with %s" % status)
    check("geometry" in settings_text(), "closing did not store the geometry")
    check(sandbox.calls() == start_calls, "closing called loginctl: %s" %
          sandbox.calls()[len(start_calls):])
    check(read_text(sandbox.machine) == machine_before, "the machine changed")
    check(read_text(sandbox.config) == config_before, "the configuration changed")
    check(sandbox.restart_records() == [], "a restart was recorded")
    desktop.screenshot("closed")


def drag_keyboard(app):
    app.drag(app.cell("seat0", LOGITECH_KEYBOARD), app.cell("seat1", "Keyboard"))
    wait_for(lambda: LOGITECH_KEYBOARD in app.devices_of("seat1")["Keyboard"],
             "the keyboard on seat1")
    wait_for(lambda: app.find("push button", "Save changes").enabled(), "Save to be enabled")


def save_with_lightdm(desktop, app, sandbox):
    """LightDM starts a login screen on every new seat by itself: a save edits
    no configuration, shows no warning, and restarts lightdm.service; it first
    names the sessions other than the administrator's that will end."""
    original_config = sandbox.config_lines()
    with open(sandbox.machine, "a", encoding="utf-8") as machine:
        machine.write("session 9 1001 anna seat=seat1\n")
    app.start()
    wait_populated(app, sandbox, ["seat0", "seat1"])
    check("In use: admin" in app.labels_of("seat0"), "seat0 shows %s" % app.labels_of("seat0"))
    check("In use: anna" in app.labels_of("seat1"), "seat1 shows %s" % app.labels_of("seat1"))
    desktop.screenshot("seat-lines")
    start_calls = len(sandbox.calls())
    drag_keyboard(app)

    app.click(app.find("push button", "Save changes"))
    desktop.screenshot("sessions-message")
    app.answer("Warning!", "OK", "Saving restarts the display manager: the sessions of "
               "anna (seat1) will end.")
    app.answer("Warning!", "Yes", RESTART_QUESTION)
    records = wait_restart(sandbox, 1)
    wait_for(lambda: not app.find("push button", "Save changes").enabled(),
             "Save to be disabled after saving")
    check([r[1] for r in records] == [["--no-block", "restart", "--", "lightdm.service"]],
          "restarts %s" % records)
    check(sandbox.config_lines() == original_config,
          "the configuration was edited: %s" % sandbox.config_lines())
    check(not [n for n in app.toplevels() if n.role == "alert"], "a box is still open")
    attaches = [c for c in sandbox.calls()[start_calls:] if c[0] == "attach"]
    check(["seat1"] * 2 == [c[1] for c in attaches if "046D:C31C" in c[2]],
          "the keyboard was attached as %s" % attaches)


def save_without_display_manager(desktop, app, sandbox):
    """No display manager found: the devices are attached, the administrator
    is told before that the further seats get no login screen, nothing is
    restarted, and the end of the save says so."""
    app.start()
    wait_populated(app, sandbox, ["seat0", "seat1"])
    drag_keyboard(app)
    app.click(app.find("push button", "Save changes"))
    desktop.screenshot("no-display-manager-warning")
    app.answer("Warning!", "OK", "No display manager was found: the further seats will get no "
               "login screen, and nothing will be restarted.\nThe devices are attached all "
               "the same.")
    app.answer("Warning!", "Yes", RESTART_QUESTION)
    box = app.toplevel("alert", "Saved", 30)
    desktop.screenshot("nothing-restarted")
    app.answer("Saved", "OK", "The devices are on their seats. No display manager was "
               "restarted, since none was found to run.")
    check(box is not None, "no message at the end")
    placed = sandbox.device_seats()
    keyboard = [p for p in placed if "046D:C31C.0001/input/" in p and p.endswith("input5")]
    check(keyboard and placed[keyboard[0]] == "seat1", "the keyboard is on %s" %
          [placed[p] for p in keyboard])
    check(sandbox.restart_records() == [], "restarted %s" % sandbox.restart_records())


SCENARIOS = {
    "save_with_lightdm": save_with_lightdm,
    "save_without_display_manager": save_without_display_manager,
    "startup": startup,
    "drag_keyboard_and_save": drag_keyboard_and_save,
    "add_seat_then_delete_all": add_seat_then_delete_all,
    "close_with_unsaved_changes": close_with_unsaved_changes,
}

if __name__ == "__main__":
    sys.exit(run_scenarios(SCENARIOS, sys.argv[1:]))
