#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Zel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The real zel-admin-multiseat binary on the real systemd-logind.

Run inside tests/reallogind/real-logind-sandbox (CTest does):
    test_real_logind_gui.py --app PATH --artifacts DIR

The master stand-in is attached to seat1 with the real loginctl, so that
logind has two seats; the tool, started on a private Xvfb display, must show
seat0 with the other stand-in and seat1 with the master, once unrecognized
devices are shown. It is found through the accessibility tree and driven with
real input events, as in the end-to-end tests.
"""

import argparse
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from zel_e2e import TestFailure, check, run_on_desktop, wait_for  # noqa: E402

UNRECOGNIZED = "Unrecognized devices"


def loginctl(*args):
    return subprocess.run(["loginctl", *args], capture_output=True, text=True).stdout


def attach_until_shown(seat, path, timeout=15.0):
    """Attaches like the tool does: again after a pause until the seat shows it."""
    deadline = time.monotonic() + timeout
    tries = 0
    while True:
        tries += 1
        loginctl("attach", seat, path)
        if path + "\n" in loginctl("seat-status", seat):
            return tries
        if time.monotonic() > deadline:
            raise TestFailure("%s did not arrive on %s" % (path, seat))
        time.sleep(0.25)


def shows(app, seat, expected):
    devices = app.devices_of(seat)
    return devices.get(UNRECOGNIZED) == expected and not any(
        names for category, names in devices.items() if category != UNRECOGNIZED)


def scenario(desktop, app):
    master = os.environ["ZEL_STANDIN_MASTER"]
    tries = attach_until_shown("seat1", master)
    print("%s on seat1 after %d attach(es)" % (master, tries), flush=True)
    check(loginctl("list-seats", "--no-legend").split() == ["seat0", "seat1"],
          "logind lists %s" % loginctl("list-seats", "--no-legend").split())

    app.start()
    app.window(timeout=20)
    wait_for(lambda: app.seat_names() == ["seat0", "seat1"], "the columns of seat0 and seat1",
             20)
    desktop.screenshot("populated")
    app.menu("Edit", "Show unrecognized devices")
    wait_for(lambda: shows(app, "seat0", ['pnp:00:01 "PNP0303"']),
             "seat0 to show the keyboard controller stand-in", 10)
    wait_for(lambda: shows(app, "seat1", ["[MASTER] platform:pcspkr"]),
             "seat1 to show the master stand-in", 10)
    desktop.screenshot("unrecognized-shown")


def main(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("--app", required=True)
    parser.add_argument("--artifacts", required=True)
    args = parser.parse_args(argv)
    if not os.environ.get("ZEL_REAL_LOGIND_WORK"):
        print("FAIL: not inside tests/reallogind/real-logind-sandbox", flush=True)
        return 1
    return run_on_desktop(args.artifacts, args.app, "the tool on the real logind", scenario)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
