# SPDX-FileCopyrightText: 2026 Zel developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Drives the real zel-admin-multiseat binary on a private X display.

The test process runs inside scripts/sample-sandbox, so the tool sees the
emulated machine; this module starts the desktop pieces the tool needs in the
order Qt requires (Xvfb, a session bus, the accessibility bus and its
registry), starts the tool, finds its widgets through the accessibility tree
and acts with real input events from xdotool.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time

TITLE = "Zel admin multiseat"


class TestFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def wait_for(predicate, what, timeout=10.0, interval=0.05):
    """Polls predicate until it returns something truthy; fails after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TestFailure("timed out waiting for " + what)
        time.sleep(interval)


def read_text(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except FileNotFoundError:
        return ""


class Sandbox:
    """Files of the emulated machine, as scripts/sample-sandbox lays them out."""

    def __init__(self):
        self.state = os.environ.get("ZEL_SAMPLE_STATE")
        if not self.state:
            raise TestFailure("not inside scripts/sample-sandbox")
        self.call_log = os.environ["ZEL_LOGINCTL_LOG"]
        self.machine = os.environ["ZEL_LOGINCTL_MACHINE"]
        self.restarts = os.environ["ZEL_SAMPLE_RESTARTS"]
        self.config = "/etc/X11/zel-dm/zel-dmrc"
        # The tool writes the fixed path: it must be the sandbox's file.
        own = os.path.join(self.state, "etc", "zel-dm", "zel-dmrc")
        if not (os.path.exists(self.config) and os.path.samefile(self.config, own)):
            raise TestFailure("%s is not the sandbox's file: not inside its namespace" %
                              self.config)

    def calls(self):
        """The emulator's call log, one list of arguments per call."""
        out = []
        for line in read_text(self.call_log).splitlines():
            out.append([unescape(word) for word in line.split("\t")])
        return out

    def restart_records(self):
        """(loginctl calls before it, arguments) for every systemctl call."""
        records = []
        for line in read_text(self.restarts).splitlines():
            words = line.split("\t")
            records.append((int(words[0]), words[1:]))
        return records

    def config_lines(self):
        return read_text(self.config).splitlines()

    def loginctl(self, *args):
        """Asks the emulator about the machine without logging the call."""
        env = dict(os.environ)
        env.pop("ZEL_LOGINCTL_LOG", None)
        return subprocess.run(["loginctl", *args], env=env, check=True,
                              capture_output=True, text=True).stdout

    def device_seats(self):
        """sysfs path -> seat, as the machine description now says."""
        seats = {}
        for line in read_text(self.machine).splitlines():
            words = line.split()
            if len(words) >= 3 and words[0] == "device":
                seat = "seat0"
                for word in words[3:]:
                    if word.startswith("seat="):
                        seat = word[5:]
                seats[words[1]] = seat
        return seats


def unescape(word):
    out = []
    i = 0
    while i < len(word):
        if word[i] == "\\" and i + 1 < len(word):
            out.append({"t": "\t", "n": "\n", "\\": "\\"}.get(word[i + 1], word[i + 1]))
            i += 2
        else:
            out.append(word[i])
            i += 1
    return "".join(out)


class Desktop:
    """A private X display with a session bus and the accessibility bus."""

    def __init__(self, artifacts):
        self.artifacts = artifacts
        os.makedirs(artifacts, exist_ok=True)
        # Socket paths must fit into 108 bytes, wherever the build tree is:
        # the buses and the tool's runtime files live in a short private
        # directory under /tmp.
        self.work = tempfile.mkdtemp(prefix="zel-e2e.", dir="/tmp")
        self.procs = []
        self.env = dict(os.environ)
        self.env["XDG_RUNTIME_DIR"] = self.work
        self.shots = 0

    def _spawn(self, args, name, **kwargs):
        log = open(os.path.join(self.artifacts, name + ".log"), "w")
        proc = subprocess.Popen(args, env=self.env, stdout=kwargs.pop("stdout", log),
                                stderr=log, **kwargs)
        self.procs.append(proc)
        return proc

    def start(self):
        # Xvfb picks a free display and writes its number once it accepts clients.
        rfd, wfd = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(wfd), "-noreset", "-nolisten", "tcp",
                     "-dpi", "96", "-screen", "0", "1280x900x24"], "xvfb", pass_fds=(wfd,))
        os.close(wfd)
        with os.fdopen(rfd) as f:
            display = f.readline().strip()
        check(display, "Xvfb did not start")
        self.env["DISPLAY"] = ":" + display
        self.env.pop("XAUTHORITY", None)
        # Qt's built-in GNOME theme (not the GTK plugin) uses the Adwaita
        # icons, so the screenshots show the tool's icons.
        self.env["QT_QPA_PLATFORMTHEME"] = "gnome"
        self.env.pop("QT_QPA_PLATFORM", None)
        self.env.pop("AT_SPI_BUS", None)

        bus = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1",
                           "--address=unix:path=" + os.path.join(self.work, "bus")],
                          "dbus", stdout=subprocess.PIPE, text=True)
        address = bus.stdout.readline().strip()
        check(address, "the session bus did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

        self._spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], "at-spi-bus")
        a11y = wait_for(self._a11y_address, "the accessibility bus (AT_SPI_BUS)")
        self._spawn(["/usr/libexec/at-spi2-registryd"], "at-spi-registry")
        wait_for(lambda: self._has_owner(a11y, "org.a11y.atspi.Registry"),
                 "the accessibility registry")
        # pyatspi reads the bus address when it is imported.
        os.environ.update({k: self.env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS")})
        os.environ.pop("XAUTHORITY", None)
        import pyatspi  # noqa: E402  (needs the buses above)
        global atspi
        atspi = pyatspi
        return self

    def _a11y_address(self):
        out = subprocess.run(["xprop", "-root", "AT_SPI_BUS"], env=self.env,
                             capture_output=True, text=True).stdout
        if "=" not in out:
            return None
        return out.split("=", 1)[1].strip().strip('"')

    def _has_owner(self, address, name):
        out = subprocess.run(["dbus-send", "--bus=" + address, "--print-reply",
                              "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                              "org.freedesktop.DBus.NameHasOwner", "string:" + name],
                             env=self.env, capture_output=True, text=True).stdout
        return "boolean true" in out

    def stop(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.send_signal(signal.SIGTERM)
        for proc in reversed(self.procs):
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
        shutil.rmtree(self.work, ignore_errors=True)

    # ---- input and pictures ----

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True,
                              capture_output=True, text=True).stdout

    def screenshot(self, name):
        self.shots += 1
        path = os.path.join(self.artifacts, "%02d-%s.png" % (self.shots, name))
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)
        return path


# ---- the tool through its accessibility tree ----


class Node:
    """What a test needs of one accessible object."""

    def __init__(self, acc):
        self.acc = acc
        self.role = acc.getRoleName()
        self.name = acc.name or ""

    def __repr__(self):
        return "<%s %r>" % (self.role, self.name)

    def extents(self):
        e = self.acc.queryComponent().getExtents(atspi.DESKTOP_COORDS)
        return e.x, e.y, e.width, e.height

    def centre(self):
        x, y, w, h = self.extents()
        check(w > 0 and h > 0, "%r has no area on screen" % self)
        return x + w // 2, y + h // 2

    def states(self):
        self.acc.clear_cache()
        return self.acc.getState()

    def enabled(self):
        return self.states().contains(atspi.STATE_ENABLED)

    def showing(self):
        return self.states().contains(atspi.STATE_SHOWING)

    def children(self):
        self.acc.clear_cache()
        return [Node(self.acc[i]) for i in range(self.acc.childCount)]

    def descendants(self):
        """Every object below this one, in document order."""
        self.acc.clear_cache()
        out = []

        def walk(acc):
            for i in range(acc.childCount):
                child = acc[i]
                if child is not None:
                    out.append(Node(child))
                    walk(child)
        walk(self.acc)
        return out

    def find_all(self, role, name=None):
        return [n for n in self.descendants()
                if n.role == role and (name is None or n.name == name)]

    def parent(self):
        return Node(self.acc.parent)


class App:
    """One run of the tool on a Desktop."""

    def __init__(self, desktop, binary):
        self.desktop = desktop
        self.binary = binary
        self.proc = None

    def start(self, name="app"):
        self.proc = self.desktop._spawn([self.binary], name)
        return self

    def run_another_copy(self, timeout=15):
        """Starts a second copy and returns its exit status."""
        return subprocess.run([self.binary], env=self.desktop.env, timeout=timeout,
                              capture_output=True).returncode

    def alive(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout=15):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise TestFailure("the tool did not exit within %ss" % timeout)

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()

    # -- finding --

    def _root(self):
        desktop = atspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            acc = desktop[i]
            if acc is None:
                continue
            try:
                if acc.get_process_id() != self.proc.pid:
                    continue
            except Exception:
                continue
            # Nothing of the tree may come from a cache that events did not
            # update: no event loop runs here.
            acc.clear_cache()
            if acc.childCount:
                return Node(acc)
        return None

    def toplevels(self):
        root = self._root()
        return root.children() if root else []

    def toplevel(self, role, name, timeout=10):
        def look():
            for node in self.toplevels():
                if node.role == role and node.name == name:
                    return node
            return None
        return wait_for(look, "%s %r" % (role, name), timeout)

    def window(self, timeout=10):
        return self.toplevel("frame", TITLE, timeout)

    def find(self, role, name, within=None, timeout=10):
        def look():
            scope = within or self.window(timeout)
            found = scope.find_all(role, name)
            return found[0] if found else None
        return wait_for(look, "%s %r" % (role, name), timeout)

    def seat_column(self, seat_name, timeout=10):
        """The widget that holds a seat's name label, its buttons and its tree."""
        def look():
            for label in self.window().find_all("label", seat_name):
                column = label.parent()
                if column.find_all("tree"):
                    return column
            return None
        return wait_for(look, "the column of seat %r" % seat_name, timeout)

    def labels_of(self, seat_name, timeout=10):
        """The texts of a seat column's labels: its name, who is on it, ..."""
        column = self.seat_column(seat_name, timeout)
        return [n.name for n in column.children() if n.role == "label"]

    def tree_of(self, seat_name, timeout=10):
        trees = [n for n in self.seat_column(seat_name, timeout).children() if n.role == "tree"]
        check(len(trees) == 1, "seat %r shows %d trees" % (seat_name, len(trees)))
        return trees[0]

    def devices_of(self, seat_name, timeout=10):
        """Category -> device names shown in a seat's tree, in order."""
        categories = ("Videocard", "Keyboard", "Mouse", "Unrecognized devices")
        shown = {}
        current = None
        for cell in self.tree_of(seat_name, timeout).find_all("table cell"):
            if cell.name in categories:
                current = cell.name
                shown[current] = []
            elif current is not None:
                shown[current].append(cell.name)
        return shown

    def cell(self, seat_name, text):
        cells = self.tree_of(seat_name).find_all("table cell", text)
        check(cells, "seat %r shows no %r" % (seat_name, text))
        return cells[0]

    def seat_names(self):
        """Names of the seat columns, left to right and top to bottom."""
        # A column's top label is its name; the deletion mark and the line
        # that tells who is on the seat lie beside and below it. Columns are
        # told apart by where they are.
        columns = {}
        for label in self.window().find_all("label"):
            column = label.parent()
            if not label.showing() or label.name == "(will be deleted) " or \
                    not column.find_all("tree"):
                continue
            key = column.extents()
            y = label.extents()[1]
            if key not in columns or y < columns[key][0]:
                columns[key] = (y, label.name)
        names = [name for _, (_, name) in sorted(columns.items(), key=lambda c: (c[0][1], c[0][0]))]
        return names

    # -- acting with real input --

    def click(self, node):
        x, y = node.centre()
        self.desktop.xdotool("mousemove", "--sync", x, y)
        time.sleep(0.05)
        self.desktop.xdotool("click", 1)
        time.sleep(0.1)

    def drag(self, source, target, steps=12):
        sx, sy = source.centre()
        tx, ty = target.centre()
        x = self.desktop.xdotool
        x("mousemove", "--sync", sx, sy)
        time.sleep(0.1)
        x("mousedown", 1)
        time.sleep(0.1)
        for i in range(1, steps + 1):
            x("mousemove", sx + (tx - sx) * i // steps, sy + (ty - sy) * i // steps)
            time.sleep(0.04)
        time.sleep(0.2)
        x("mouseup", 1)
        time.sleep(0.3)

    def type_text(self, text):
        self.desktop.xdotool("type", "--delay", 30, text)

    def menu(self, menu_name, item_name):
        """Opens a menu of the menu bar and clicks one of its items."""
        window = self.window()
        bar = [n for n in window.children() if n.role == "menu bar"]
        check(bar, "the window has no menu bar")
        menus = [n for n in bar[0].children() if n.role == "menu item" and n.name == menu_name]
        check(menus, "no menu %r" % menu_name)
        self.click(menus[0])

        def item():
            for node in self._root().descendants():
                if node.role == "menu item" and node.name == item_name and node.showing():
                    x, y, w, h = node.extents()
                    if w > 0 and h > 0:
                        return node
            return None
        self.click(wait_for(item, "menu item %r" % item_name))

    def answer(self, title, button, text=None, timeout=10):
        """Waits for a message box, checks its text and clicks one of its buttons."""
        box = self.toplevel("alert", title, timeout)
        if text is not None:
            labels = [n.name for n in box.find_all("label")]
            check(text in labels, "box %r says %r, not %r" % (title, labels, text))
        self.click(self.find("push button", button, within=box))

        # Another box of the same title may follow at once: this one is gone
        # when no box of that title says the same.
        def same(node):
            if node.role != "alert" or node.name != title:
                return False
            return text is None or text in [n.name for n in node.find_all("label")]
        wait_for(lambda: not [n for n in self.toplevels() if same(n)],
                 "box %r to close" % title)
        return box

    def x_window(self):
        """The X window id of the main window."""
        out = subprocess.run(["xdotool", "search", "--pid", str(self.proc.pid), "--name",
                              "^%s$" % TITLE], env=self.desktop.env, capture_output=True,
                             text=True).stdout.split()
        check(out, "no X window of the tool")
        return int(out[0])


def run_on_desktop(artifacts, binary, name, scenario, check_first=None):
    """Runs scenario(desktop, app) on a new Desktop with the tool's binary;
    returns 1 when it failed (a screenshot of that moment is kept), else 0.
    check_first(), if given, runs before anything starts and returns what the
    scenario gets as its third argument."""
    import traceback
    os.makedirs(artifacts, exist_ok=True)
    for old in os.listdir(artifacts):
        if old.endswith(".png") or old.endswith(".log"):
            os.remove(os.path.join(artifacts, old))
    desktop = None
    app = None
    failed = 0
    try:
        extra = check_first() if check_first else None
        desktop = Desktop(artifacts)
        desktop.start()
        app = App(desktop, binary)
        if check_first:
            scenario(desktop, app, extra)
        else:
            scenario(desktop, app)
        print("PASS: %s" % name, flush=True)
    except Exception as e:  # a failed check or a broken step: both fail the scenario
        failed = 1
        try:
            if desktop:
                desktop.screenshot("failure")
        except Exception:
            pass
        traceback.print_exc()
        print("FAIL: %s: %s" % (name, e), flush=True)
    finally:
        if app:
            app.stop()
        if desktop:
            desktop.stop()
    print("screenshots and logs: %s" % artifacts)
    return failed


def run_scenarios(scenarios, argv):
    """Command line of a test script: --app PATH --artifacts DIR SCENARIO.

    One scenario a process: pyatspi stays bound to the first accessibility
    bus it meets."""
    import argparse
    parser = argparse.ArgumentParser()
    parser.add_argument("--app", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("name", choices=sorted(scenarios))
    args = parser.parse_args(argv)
    failed = run_on_desktop(os.path.join(args.artifacts, args.name), args.app, args.name,
                            scenarios[args.name], check_first=Sandbox)
    print("%d passed, %d failed" % (1 - failed, failed))
    return failed
