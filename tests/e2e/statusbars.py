"""Real status bars for the desktop tests: xfce4-panel 4.18 (its systray plugin hosts
StatusNotifierItems and XEmbed icons), tint2 (an XEmbed tray), xfwm4 as their window manager;
a StatusNotifierWatcher played by python3-dbusmock, and the D-Bus calls a status bar makes on
an item (Sni)."""

import os
import shutil
import time
import warnings
from pathlib import Path

import dbus
import dbusmock

from harness import E2E_DIR, Program, wait_for
from xdesk import Rect

with warnings.catch_warnings():
    warnings.simplefilter("ignore")
    import gi
    gi.require_version("Gio", "2.0")
    from gi.repository import Gio, GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM_IFACE = "org.kde.StatusNotifierItem"
NO_MENU_PATHS = ("", "/", "/NO_DBUSMENU")   # how an item says it exports no dbusmenu


class Item:
    """A registered StatusNotifierItem, as the watcher lists it ("service/path", or
    "service@/path" on GNOME's)."""

    def __init__(self, key):
        service, slash, path = key.replace("@/", "/").partition("/")
        self.service, self.path = service, slash + path if slash else "/StatusNotifierItem"
        self.registered_at = time.monotonic()


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

    def bus_call(self, method, name, reply):
        return self.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", method,
                         GLib.Variant("(s)", (name,)), reply)[0]

    def has_owner(self, name):
        return self.bus_call("NameHasOwner", name, "(b)")

    def host_registered(self):
        """Whether a status bar hosts the watcher's items; a watcher that does not answer (yet)
        counts as none."""
        try:
            return self.watcher_property("IsStatusNotifierHostRegistered")
        except AssertionError:
            return False

    def wait_item(self, pid, timeout=10.0, keys=None):
        """The item of process pid, polled from the watcher (or from keys(), a list of keys)."""
        def find():
            try:
                items = map(Item, keys() if keys else self.watcher_property("RegisteredStatusNotifierItems"))
                return next((i for i in items if self.bus_call("GetConnectionUnixProcessID", i.service, "(u)") == pid),
                            None)
            except AssertionError:
                return None     # the watcher or the item is not on the bus (yet)
        return wait_for(find, timeout, f"a StatusNotifierItem of process {pid}")

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

    def menu_tree(self, item, menu_path):
        """The item's dbusmenu as {label: (id, subtree or None)}, submenus included."""
        _, layout = self.call(item.service, menu_path, "com.canonical.dbusmenu", "GetLayout",
                              GLib.Variant("(iias)", (0, -1, [])), "(u(ia{sv}av))")

        def tree(children):
            return {props.get("label"): (id_, tree(sub) if props.get("children-display") == "submenu" else None)
                    for id_, props, sub in children if props.get("type") != "separator"}
        return tree(layout[2])

    def menu_properties(self, item, menu_path, entry_id):
        """The properties of one entry of the item's dbusmenu."""
        return self.call(item.service, menu_path, "com.canonical.dbusmenu", "GetGroupProperties",
                         GLib.Variant("(aias)", ([entry_id], [])), "(a(ia{sv}))")[0][0][1]

    def menu_click(self, item, menu_path, entry_id):
        """Chooses an entry of the item's dbusmenu, as a status bar does when it is clicked."""
        self.call(item.service, menu_path, "com.canonical.dbusmenu", "Event",
                  GLib.Variant("(isvu)", (entry_id, "clicked", GLib.Variant("i", 0), 0)))


def pick_pixmap(pixmaps, size):
    """The IconPixmap entry (w, h, argb bytes) closest to size pixels, or None."""
    valid = [(w, h, bytes(d)) for w, h, d in pixmaps if w > 0 and h > 0 and len(d) == w * h * 4]
    return min(valid, key=lambda p: (abs(p[0] - size), -p[0])) if valid else None


class StatusBar:
    """A status bar: trayer (the session's, which this leaves alone), or xfce4-panel or tint2
    started here, with xfwm4 as the window manager if wm. xfce4-panel reads its layout from our
    xfconf channel file: one panel across the top of the screen holding only the systray plugin."""

    def __init__(self, x, logs, kind="xfce4-panel", wm=True):
        self.x, self.logs, self.kind, self.wm = x, Path(logs), kind, wm
        self.programs = []

    def start(self):
        if self.kind == "trayer":
            return self
        if self.wm:
            self.programs.append(Program(["xfwm4", "--compositor=off"], self.logs / "xfwm4.log"))
            wait_for(lambda: self.x.root.get_full_property(self.x.atom("_NET_WORKAREA"), 0), 10,
                     "xfwm4 to manage the screen")
        if self.kind == "xfce4-panel":
            channels = Path(os.environ["XDG_CONFIG_HOME"]) / "xfce4/xfconf/xfce-perchannel-xml"
            channels.mkdir(parents=True, exist_ok=True)
            shutil.copy(E2E_DIR / "xfce4-panel.xml", channels)
            self.programs.append(Program(["xfce4-panel", "-d"], self.logs / "xfce4-panel.log"))
            wait_for(lambda: Sni().host_registered() and self.window(), 20, "xfce4-panel's status notifier host")
        else:
            self.programs.append(Program(["tint2", "-c", str(E2E_DIR / "tint2rc")], self.logs / "tint2.log"))
            wait_for(lambda: self.x.tray_owner() and self.window(), 20, "tint2's system tray")
        return self

    def stop(self):
        if self.kind == "trayer":
            return
        for p in reversed(self.programs):   # the panel with its plugins' processes, then xfwm4
            p.stop()
        self.programs = []
        # What the window manager leaves on the root window would place later tests' windows.
        for name in ("_NET_WORKAREA", "_NET_SUPPORTING_WM_CHECK"):
            self.x.root.delete_property(self.x.atom(name))
        self.x.d.sync()

    def window(self):
        """The bar's window (trayer's panel; the widest viewable window of the bar's class), or None."""
        if self.kind == "trayer":
            return self.x.tray_panel()
        wins = self.x.windows_of_class(self.kind, viewable_only=True)
        wins += [w for top in wins for w in self.x.children(top) if self.x.is_viewable(w)]
        rects = [(r, w) for w in wins if (r := self.x.geometry(w)) and r.height >= 20 and r.width >= 100]
        return max(rects, key=lambda rw: rw[0].width)[1] if rects else None

    def rect(self):
        return self.x.geometry(self.window())

    def icon_rect(self, pid, timeout=10.0):
        """Where the bar shows the icon of process pid: its window embedded in an XEmbed tray, or
        on xfce4-panel, which draws a StatusNotifierItem itself, what differs from the bar's
        background (its only icon)."""
        if self.kind != "xfce4-panel":
            return self.x.geometry(wait_for(lambda: self.x.embedded(self.window(), pid), timeout,
                                            f"the app's icon in {self.kind}'s tray")[0])

        def find():
            win, r = self.window(), self.rect()
            data, w = win.get_image(0, 0, r.width, r.height, 2, 0xFFFFFFFF).data, r.width   # ZPixmap, BGRX
            # Against each row's own background (its last pixel), so that borders and
            # gradients of the panel do not count; its first and last columns are left out.
            hits = [(x, y) for y in range(r.height) for x in range(1, w - 1)
                    if data[(y * w + x) * 4:(y * w + x) * 4 + 3] != data[(y * w + w - 1) * 4:(y * w + w - 1) * 4 + 3]]
            if not hits:
                return None
            xs, ys = [h[0] for h in hits], [h[1] for h in hits]
            return Rect(r.x + min(xs), r.y + min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)
        return wait_for(find, timeout, "an icon drawn in xfce4-panel")


class ScriptedWatcher:
    """org.kde.StatusNotifierWatcher played by python3-dbusmock: it records the items'
    registrations and says whether a host is registered, nothing else."""

    def __init__(self, logs, host=True):
        with open(Path(logs) / "dbusmock.log", "ab") as log:
            self.proc = dbusmock.DBusTestCase.spawn_server(WATCHER, "/StatusNotifierWatcher", WATCHER, stdout=log)
        self.mock = dbus.Interface(dbusmock.DBusTestCase.get_dbus().get_object(WATCHER, "/StatusNotifierWatcher"),
                                   dbusmock.MOCK_IFACE)
        self.mock.AddMethod(WATCHER, "RegisterStatusNotifierItem", "s", "", "")
        self.mock.AddProperties(WATCHER, {"IsStatusNotifierHostRegistered": dbus.Boolean(host),
                                          "RegisteredStatusNotifierItems": dbus.Array([], signature="s"),
                                          "ProtocolVersion": dbus.Int32(0)})

    def registered(self):
        """The items registered so far, as "service/path" keys."""
        return [key if key.startswith(":") or "/" in key else key + "/StatusNotifierItem"
                for _, method, (key, *_) in self.mock.GetCalls() if method == "RegisterStatusNotifierItem"]

    def stop(self):
        self.proc.terminate()
        self.proc.wait(5)
