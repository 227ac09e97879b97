"""Real status bars for the desktop tests: xfce4-panel 4.18 (its systray plugin hosts
StatusNotifierItems and XEmbed icons), tint2 (an XEmbed tray), xfwm4 as their window manager,
a StatusNotifierWatcher scripted with python3-dbusmock, and the D-Bus calls a status bar makes
on an item (Sni)."""

import os
import shutil
import signal
import subprocess
import time
import warnings
from pathlib import Path

from harness import E2E_DIR, wait_for
from xdesk import Rect

with warnings.catch_warnings():
    warnings.simplefilter("ignore")
    import gi
    gi.require_version("Gio", "2.0")
    from gi.repository import Gio, GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM_IFACE = "org.kde.StatusNotifierItem"
NO_MENU_PATHS = ("", "/", "/NO_DBUSMENU")   # how an item says it exports no dbusmenu


# --- the D-Bus side of a status bar ------------------------------------------------------------


class Item:
    """A registered StatusNotifierItem, as the watcher lists it ("service/path", or
    "service@/path" on GNOME's)."""

    def __init__(self, key, pid, seen_at):
        service, slash, path = key.replace("@/", "/").partition("/")
        self.key, self.service, self.path = key, service, slash + path if slash else "/StatusNotifierItem"
        self.pid, self.registered_at = pid, seen_at


class Sni:
    """What a status bar asks of the watcher and calls on the items, every call bounded."""

    def __init__(self):
        self.bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)

    def call(self, dest, path, iface, method, params=None, reply="()"):
        try:
            r = self.bus.call_sync(dest, path, iface, method, params, GLib.VariantType.new(reply),
                                   Gio.DBusCallFlags.NONE, 5000, None)
        except GLib.Error as e:
            raise AssertionError(f"{iface}.{method} on {dest}{path} failed: {e.message}") from None
        return r.unpack()

    def watcher_property(self, name):
        return self.call(WATCHER, "/StatusNotifierWatcher", "org.freedesktop.DBus.Properties", "Get",
                         GLib.Variant("(ss)", (WATCHER, name)), "(v)")[0]

    def pid_of(self, name):
        return self.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                         "GetConnectionUnixProcessID", GLib.Variant("(s)", (name,)), "(u)")[0]

    def wait_item(self, pid, timeout=10.0, keys=None):
        """The item of process pid, polled from the watcher (or from keys(), a list of keys)."""
        def find():
            try:
                for key in (keys() if keys else self.watcher_property("RegisteredStatusNotifierItems")):
                    item = Item(key, 0, time.monotonic())
                    if self.pid_of(item.service) == pid:
                        item.pid = pid
                        return item
            except AssertionError:
                pass        # the watcher or the item is not on the bus (yet)
            return None
        return wait_for(find, timeout, f"a StatusNotifierItem of process {pid}", interval=0.05)

    def item_call(self, item, method, x=0, y=0):
        """Activate (left click), SecondaryActivate (middle) or ContextMenu (right) at x, y."""
        self.call(item.service, item.path, ITEM_IFACE, method, GLib.Variant("(ii)", (int(x), int(y))))

    def properties(self, item):
        return self.call(item.service, item.path, "org.freedesktop.DBus.Properties", "GetAll",
                         GLib.Variant("(s)", (ITEM_IFACE,)), "(a{sv})")[0]

    def menu_labels(self, item, menu_path):
        """The labels of the item's dbusmenu entries (a separator: None), or None without one."""
        if menu_path in NO_MENU_PATHS:
            return None
        _, (_, _, children) = self.call(item.service, menu_path, "com.canonical.dbusmenu", "GetLayout",
                                        GLib.Variant("(iias)", (0, -1, [])), "(u(ia{sv}av))")
        return [properties.get("label") for _, properties, _ in children]


def pick_pixmap(pixmaps, size):
    """The IconPixmap entry (w, h, argb bytes) closest to size pixels, or None."""
    valid = [(w, h, bytes(d)) for w, h, d in pixmaps if w > 0 and h > 0 and len(d) == w * h * 4]
    return min(valid, key=lambda p: (abs(p[0] - size), -p[0])) if valid else None


def opaque_pixels(pixmap):
    """How many pixels of an IconPixmap entry (ARGB32, network byte order) are not transparent."""
    w, h, data = pixmap
    return sum(1 for i in range(0, w * h * 4, 4) if data[i] != 0)


def mean_colour(pixmap):
    """The mean (r, g, b) of the pixels that are not transparent, weighted by alpha."""
    w, h, data = pixmap
    weight = sum(data[i] for i in range(0, w * h * 4, 4))
    return tuple(sum(data[i + 1 + c] * data[i] for i in range(0, w * h * 4, 4)) / weight
                 for c in range(3)) if weight else None


# --- programs of the desktop ------------------------------------------------------------------


def _environment(changes):
    """The test's environment with changes; a change to None removes the variable."""
    env = {**os.environ, **(changes or {})}
    return {k: v for k, v in env.items() if v is not None}


class Program:
    """A desktop program of the test's (window manager, panel, scripted D-Bus peer)."""

    def __init__(self, cmd, log, env=None):
        self.cmd, self.log = cmd, log
        with open(log, "ab") as f:
            self.proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=f, stderr=f,
                                         start_new_session=True, env=_environment(env))

    def running(self):
        return self.proc.poll() is None

    def stop(self):
        for sig in (signal.SIGTERM, signal.SIGKILL):
            try:
                os.killpg(self.proc.pid, sig)
            except ProcessLookupError:
                break
            try:
                self.proc.wait(5)
                break
            except subprocess.TimeoutExpired:
                continue


class StatusBar:
    """A real status bar (xfce4-panel or tint2), with xfwm4 as the window manager if wm.

    xfce4-panel reads its layout from our xfconf channel file: one panel across the top of
    the screen holding only the systray plugin.
    """

    def __init__(self, x, logs, kind="xfce4-panel", wm=True):
        self.x, self.logs, self.kind, self.wm = x, Path(logs), kind, wm
        self.programs = []

    def start(self):
        if self.wm:
            self.programs.append(Program(["xfwm4", "--compositor=off"], self.logs / "xfwm4.log"))
            wait_for(lambda: self.x.root.get_full_property(self.x.atom("_NET_WORKAREA"), 0), 10,
                     "xfwm4 to manage the screen")
        if self.kind == "xfce4-panel":
            channels = Path(os.environ["XDG_CONFIG_HOME"]) / "xfce4/xfconf/xfce-perchannel-xml"
            channels.mkdir(parents=True, exist_ok=True)
            shutil.copy(E2E_DIR / "xfce4-panel.xml", channels)
            self.panel = Program(["xfce4-panel", "-d"], self.logs / "xfce4-panel.log")
            wait_for(lambda: self.host_registered() and self.window(), 20, "xfce4-panel's status notifier host")
        else:
            self.panel = Program(["tint2", "-c", str(E2E_DIR / "tint2rc")], self.logs / "tint2.log")
            wait_for(lambda: self.x.tray_owner() and self.window(), 20, "tint2's system tray")
        return self

    def host_registered(self):
        try:
            return Sni().watcher_property("IsStatusNotifierHostRegistered")
        except AssertionError:
            return False

    def stop(self):
        self.panel.stop()       # with its plugins' wrapper processes, in its process group
        for p in self.programs:
            p.stop()
        self.programs = []
        # What the window manager leaves on the root window would place later tests' windows.
        for name in ("_NET_WORKAREA", "_NET_SUPPORTING_WM_CHECK"):
            self.x.root.delete_property(self.x.atom(name))
        self.x.d.sync()

    def window(self):
        """The panel's window (the widest viewable window of its class), or None."""
        wins = self.x.windows_of_class(self.kind, viewable_only=True)
        wins += [w for top in wins for w in self.x.children(top) if self.x.is_viewable(w)]
        rects = [(self.x.geometry(w), w) for w in wins]
        rects = [(r, w) for r, w in rects if r.height >= 20 and r.width >= 100]
        return max(rects, key=lambda rw: rw[0].width)[1] if rects else None

    def rect(self):
        return self.x.geometry(self.window())

    def icon_rect(self, timeout=10.0):
        """Where the panel draws an icon: what differs from its background colour."""
        def find():
            win, r = self.window(), self.rect()
            data = win.get_image(0, 0, r.width, r.height, 2, 0xFFFFFFFF).data   # ZPixmap, BGRX
            w = r.width
            # Against each row's own background (its last pixel), so that borders and
            # gradients of the panel do not count; its first and last columns are left out.
            hits = [(x, y) for y in range(r.height) for x in range(1, w - 1)
                    if data[(y * w + x) * 4:(y * w + x) * 4 + 3] != data[(y * w + w - 1) * 4:(y * w + w - 1) * 4 + 3]]
            if not hits:
                return None
            xs, ys = [h[0] for h in hits], [h[1] for h in hits]
            return Rect(r.x + min(xs), r.y + min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)
        return wait_for(find, timeout, f"an icon drawn in {self.kind}")


class ScriptedWatcher:
    """org.kde.StatusNotifierWatcher played by python3-dbusmock: it records the items'
    registrations and says whether a host is registered, nothing else."""

    def __init__(self, logs, host=True):
        self.sni = Sni()
        self.program = Program(["/usr/bin/python3", "-E", "-m", "dbusmock", "--session", WATCHER,
                                "/StatusNotifierWatcher", WATCHER], Path(logs) / "dbusmock.log")
        wait_for(lambda: self._mock("GetCalls", reply="(a(tsav))") is not None, 10, "the scripted watcher")
        self._mock("AddMethod", GLib.Variant("(sssss)", (WATCHER, "RegisterStatusNotifierItem", "s", "", "")))
        self._mock("AddProperties", GLib.Variant("(sa{sv})", (WATCHER, {
            "IsStatusNotifierHostRegistered": GLib.Variant("b", host),
            "RegisteredStatusNotifierItems": GLib.Variant("as", []),
            "ProtocolVersion": GLib.Variant("i", 0)})))

    def _mock(self, method, params=None, reply="()"):
        try:
            return self.sni.call(WATCHER, "/StatusNotifierWatcher", "org.freedesktop.DBus.Mock", method,
                                 params, reply)
        except AssertionError:
            return None

    def registered(self):
        """The items registered so far, as "service/path" keys."""
        calls = self._mock("GetCalls", reply="(a(tsav))")[0]
        return [args[0] if args[0].startswith(":") or "/" in args[0] else args[0] + "/StatusNotifierItem"
                for _, method, args in calls if method == "RegisterStatusNotifierItem"]

    def stop(self):
        self.program.stop()
