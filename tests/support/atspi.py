"""Drives programs through the desktop's accessibility stack (AT-SPI), as screen readers do.

Run under a private D-Bus session (dbus-run-session). AccessibilityBus starts the accessibility
bus and, when no display is given, a private Xvfb; launch() starts a program with the
accessibility bridge on and returns its application object. The rest walks the tree, finds
objects by role and name, reads states, descriptions and text, and does actions.
Raise Unavailable (exit status SKIP) only where the stack itself cannot start; with
QM_ATSPI_REQUIRED=1 in the environment (CI) the suites count that as a failure instead.
"""

import os
import shutil
import subprocess
import time

SKIP = 77


def unavailable_status():
    """The exit status for a stack that cannot start: a skip, or a failure where it must run."""
    return 1 if os.environ.get("QM_ATSPI_REQUIRED") == "1" else SKIP


class Unavailable(Exception):
    """The accessibility stack cannot run here; the message says why."""


def wait_until(predicate, timeout=20.0, step=0.05):
    """predicate()'s first true value within timeout seconds, else None."""
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() >= end:
            return value or None
        time.sleep(step)


class AccessibilityBus:
    """The accessibility bus of this D-Bus session, and a display to show windows on."""

    LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

    def __init__(self, screen="1024x768x24"):
        self.screen = screen
        self.children = []
        self.programs = []
        self.display = None

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *_):
        self.close()

    def _spawn(self, argv, **options):
        child = subprocess.Popen(argv, **options)
        self.children.append(child)
        return child

    def _start(self):
        if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
            raise Unavailable("no D-Bus session (run under dbus-run-session)")
        if not os.access(self.LAUNCHER, os.X_OK):
            raise Unavailable(f"{self.LAUNCHER} is missing (Debian package at-spi2-core)")
        if shutil.which("Xvfb") is None:
            raise Unavailable("Xvfb is missing (Debian package xvfb)")
        # The display first, and only ours: the bus launcher publishes the bus on the display
        # it finds and leaves at once when that is another user's (an inherited DISPLAY, as in
        # CI's unprivileged pass), and pyatspi looks for the bus there too.
        self.display = self._start_display()
        for inherited in ("XAUTHORITY", "WAYLAND_DISPLAY", "AT_SPI_BUS_ADDRESS"):
            os.environ.pop(inherited, None)
        os.environ["DISPLAY"] = self.display
        launcher = self._spawn([self.LAUNCHER, "--launch-immediately"],
                               stderr=subprocess.DEVNULL)
        if not wait_until(lambda: self._bus_address() or launcher.poll() is not None, 60):
            raise Unavailable("the accessibility bus did not start within 60 s")
        if launcher.poll() is not None:
            raise Unavailable(f"at-spi-bus-launcher exited with status {launcher.returncode}")
        try:
            import pyatspi  # noqa: F401  (connects on import: the bus must be up first)
        except ImportError as error:
            raise Unavailable(f"pyatspi cannot be imported ({error}; Debian package "
                              "python3-pyatspi)") from error

    def _start_display(self):
        # A number of its own, away from the low ones that the other jobs of the machine take
        # first: a server of another mount namespace (a chroot's) or one still shutting down
        # can hold a low number's abstract socket while its lock file is gone, and the
        # programs, which try that socket first, then fail to connect.
        first = 200 + os.getpid() % 700
        for number in range(first, first + 20):
            xvfb = self._spawn(["Xvfb", f":{number}", "-displayfd", "1", "-noreset", "-screen", "0",
                                self.screen, "-nolisten", "tcp"], stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL)
            if xvfb.stdout.readline().decode().strip() != str(number):
                xvfb.wait()
                continue
            # Ours only if a client reaches it and finds our screen.
            size = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True,
                                  text=True, check=False,
                                  env=dict(os.environ, DISPLAY=f":{number}"))
            if size.stdout.split() == self.screen.split("x")[:2]:
                return f":{number}"
            xvfb.terminate()
            xvfb.wait()
        raise Unavailable("Xvfb did not start on any of 20 display numbers")

    @staticmethod
    def _bus_address():
        # Asked only once our launcher owns the name: asking before would have D-Bus start a
        # launcher of its own, which takes the name (ours then leaves at once, status 0) and
        # knows nothing of our display.
        owned = subprocess.run(
            ["dbus-send", "--session", "--print-reply=literal", "--dest=org.freedesktop.DBus",
             "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
             "string:org.a11y.Bus"], capture_output=True, text=True, check=False)
        if owned.returncode != 0 or "true" not in owned.stdout:
            return None
        reply = subprocess.run(
            ["dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus",
             "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
            capture_output=True, text=True, check=False)
        return reply.returncode == 0 and reply.stdout.strip()

    @staticmethod
    def set_screen_reader(running):
        """Says on the session bus whether a screen reader runs, as one does when it starts."""
        for flag in ("ScreenReaderEnabled", "IsEnabled"):
            subprocess.run(
                ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                 "/org/a11y/bus", "org.freedesktop.DBus.Properties.Set",
                 "string:org.a11y.Status", f"string:{flag}",
                 f"variant:boolean:{'true' if running else 'false'}"],
                capture_output=True, check=True)

    def launch(self, argv, always_on=True, env=None):
        """Starts argv on the display; with always_on, the bridge is on from the start."""
        environment = dict(os.environ, DISPLAY=self.display, QT_QPA_PLATFORM="xcb")
        environment.pop("WAYLAND_DISPLAY", None)
        environment.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
        if always_on:
            environment["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        environment.update(env or {})
        program = subprocess.Popen(argv, env=environment)
        self.programs.append(program)
        return program

    def xdotool(self, *args):
        """Runs xdotool on the display and returns what it printed."""
        return subprocess.run(["xdotool", *args], env=dict(os.environ, DISPLAY=self.display),
                              capture_output=True, text=True, check=True).stdout

    def focus_window_of(self, process):
        """Gives process's window the keyboard, as a window manager would, once it is mapped."""
        window = self.xdotool("search", "--sync", "--onlyvisible", "--pid",
                              str(process.pid)).split()[0]
        self.xdotool("windowfocus", "--sync", window)
        return window

    def close_programs(self):
        """Ends the programs launch() started that still run."""
        self._end(self.programs)
        self.programs = []

    def close(self):
        self.close_programs()
        self._end(reversed(self.children))
        self.children = []

    @staticmethod
    def _end(children):
        for child in children:
            if child.poll() is None:
                child.terminate()
                try:
                    child.wait(10)
                except subprocess.TimeoutExpired:
                    child.kill()
                    child.wait()
            if child.stdout:
                child.stdout.close()


def application(pid, timeout=60.0):
    """The accessible application of process pid, once it has registered."""
    import pyatspi

    def find():
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:  # an application that has just gone away
                continue
        return None

    return wait_until(find, timeout)


def walk(node):
    """node and everything below it, depth first."""
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def role(node):
    return node.getRoleName()


def states(node):
    import pyatspi
    return {pyatspi.stateToString(s) for s in node.getState().getStates()}


def find_all(root, role_name=None, name=None, state=None):
    """Objects below root with this role name ("push button"), name and state, as given."""
    return [n for n in walk(root)
            if (role_name is None or role(n) == role_name)
            and (name is None or n.name == name)
            and (state is None or state in states(n))]


def find(root, role_name=None, name=None, state=None):
    """The one object below root that matches; fails when there are none or several."""
    found = find_all(root, role_name, name, state)
    if len(found) != 1:
        raise AssertionError(f"{len(found)} objects with role {role_name!r} and name {name!r}")
    return found[0]


def focused(root):
    """The object below root that has the keyboard focus, or None."""
    found = find_all(root, state="focused")
    return found[0] if found else None


def text(node):
    """The object's text, from its Text interface."""
    t = node.queryText()
    return t.getText(0, t.characterCount)


def actions(node):
    """The names of the object's actions."""
    try:
        a = node.queryAction()
    except NotImplementedError:
        return []
    return [a.getName(i) for i in range(a.nActions)]


def do_action(node, action_name):
    """Does the named action ("press", "click"; letter case ignored)."""
    a = node.queryAction()
    for i in range(a.nActions):
        if a.getName(i).lower() == action_name.lower():
            return a.doAction(i)
    raise AssertionError(f"{node.name!r} has no action {action_name!r}: {actions(node)}")
