"""A StatusNotifierItem host for the end-to-end tests: the D-Bus side of the status bars of
KDE Plasma, GNOME with the AppIndicator extension, XFCE, LXQt... on X11 and on Wayland.

It owns org.kde.StatusNotifierWatcher on the session bus, registers itself as the host
(so Qt's QSystemTrayIcon talks StatusNotifierItem instead of XEmbed), records the items
that register, and calls them the way a status bar does when its icon is clicked.
With panel=True it also shows, on $DISPLAY, a small panel at the screen's top-right
corner with one cell per item: a real click on a cell sends Activate (left button, on
release, as status bars do), SecondaryActivate (middle) or ContextMenu (right).

Inside a test (it runs on its own thread, with its own GLib main context and bus connection):

    host = SniHost(panel=True).start()
    item = host.wait_item(pid=app.pid)        # the app's item once it has registered
    host.properties(item)["Id"]               # Id, Title, Status, IconPixmap, Menu...
    host.activate(item, x, y)                 # what a left click on the icon sends
    host.panel_cell(item)                     # where to click for real (panel=True)
    host.stop()                               # as a status bar that quits

As a program, in a `tests/e2e/desktop-session.sh --no-tray bash` shell:

    /usr/bin/python3 tests/e2e/sni_host.py [--panel] [--no-host]   # serve until interrupted
    /usr/bin/python3 tests/e2e/sni_host.py activate [X Y]          # left-click every item

Needs Debian's python3-gi (Gio) and, for the panel, python3-xlib. Every call it makes on
the bus is bounded by a timeout.
"""

import os
import select
import sys
import threading
import time
import warnings
from dataclasses import dataclass

with warnings.catch_warnings():
    warnings.simplefilter("ignore")     # gi's importer trips ImportWarning under unittest
    import gi
    gi.require_version("Gio", "2.0")
    gi.require_version("GLib", "2.0")
    from gi.repository import Gio, GLib

WATCHER = "org.kde.StatusNotifierWatcher"
WATCHER_PATH = "/StatusNotifierWatcher"
ITEM_IFACE = "org.kde.StatusNotifierItem"
ITEM_PATH = "/StatusNotifierItem"
DBUSMENU_IFACE = "com.canonical.dbusmenu"
# Menu paths by which an item says it exports no dbusmenu.
NO_MENU_PATHS = ("", "/", "/NO_DBUSMENU")

_BUS = ("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus")

_WATCHER_XML = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem">
      <arg name="service" type="s" direction="in"/>
    </method>
    <method name="RegisterStatusNotifierHost">
      <arg name="service" type="s" direction="in"/>
    </method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
    <signal name="StatusNotifierHostUnregistered"/>
  </interface>
</node>
"""


@dataclass(frozen=True)
class Item:
    """A registered StatusNotifierItem."""
    service: str        # the bus name it is reached at (well-known or unique)
    path: str           # its object path
    owner: str          # the unique name of the connection that registered it
    pid: int            # that connection's process (0 if the bus would not tell)
    registered_at: float    # time.monotonic() of the registration

    @property
    def key(self):
        """How the watcher lists it in RegisteredStatusNotifierItems (as Plasma's does)."""
        return self.service + self.path


class SniError(AssertionError):
    """A bounded wait or call on the bus failed (an AssertionError, so tests report it as a failure)."""


class SniHost:
    """org.kde.StatusNotifierWatcher plus a host, served from a thread of its own.

    host=False serves the watcher alone: IsStatusNotifierHostRegistered stays false until
    some other host registers, as on a desktop whose status bar has not come up yet.
    """

    def __init__(self, address=None, host=True, panel=False, call_timeout=5.0, log=None,
                 work_area=True):
        self.address = address or os.environ.get("DBUS_SESSION_BUS_ADDRESS")
        if not self.address:
            raise SniError("DBUS_SESSION_BUS_ADDRESS is not set: no session bus to serve on")
        self.host = host
        self.call_timeout_ms = int(call_timeout * 1000)
        self.log = log
        self._lock = threading.Condition()
        self._items = {}            # key -> Item, in registration order
        self._hosts = set()         # services registered as hosts
        self._events = []           # (time.monotonic(), what, key): the watcher's history
        self._conn = None
        self._ctx = None
        self._loop = None
        self._thread = None
        self._ready = threading.Event()
        self._error = None
        self._host_name = None
        self._panel = Panel(self, work_area) if panel else None

    # --- lifecycle ---------------------------------------------------------------------

    def start(self, timeout=10.0):
        self._thread = threading.Thread(target=self._run, name="sni-host", daemon=True)
        self._thread.start()
        if not self._ready.wait(timeout):
            raise SniError(f"the status notifier watcher did not come up within {timeout:g}s")
        if self._error:
            self._thread.join(5)
            raise SniError(f"the status notifier watcher could not start: {self._error}")
        if self._panel:
            try:
                self._panel.start()
            except Exception:
                self.stop()
                raise
        return self

    def stop(self, timeout=10.0):
        """Leaves the bus as a status bar that quits: the items see the watcher vanish."""
        if self._panel:
            self._panel.stop(timeout)
        if self._thread is None:
            return
        if self._loop is not None and self._ctx is not None:
            def quit_loop():
                self._loop.quit()
                return False
            src = GLib.idle_source_new()
            src.set_callback(lambda *_: quit_loop())
            src.attach(self._ctx)
        self._thread.join(timeout)
        if self._thread.is_alive():
            raise SniError(f"the status notifier watcher's thread did not end within {timeout:g}s")
        self._thread = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    def _run(self):
        self._ctx = GLib.MainContext.new()
        self._ctx.push_thread_default()
        try:
            self._serve()
        except Exception as e:      # reported by start()
            self._error = f"{type(e).__name__}: {e}"
            self._ready.set()
        finally:
            if self._conn is not None:
                try:
                    self._conn.close_sync(None)
                except GLib.Error:
                    pass
            self._ctx.pop_thread_default()

    def _serve(self):
        flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
                 | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
        self._conn = Gio.DBusConnection.new_for_address_sync(self.address, flags, None, None)
        self._conn.set_exit_on_close(False)
        info = Gio.DBusNodeInfo.new_for_xml(_WATCHER_XML).interfaces[0]
        reg = self._conn.register_object(WATCHER_PATH, info, self._on_call, self._on_get_property, None)
        sub = self._conn.signal_subscribe(_BUS[0], _BUS[2], "NameOwnerChanged", _BUS[1], None,
                                          Gio.DBusSignalFlags.NONE, self._on_name_owner_changed)
        # The object exists before the name does, so no client finds the name without it.
        if self._request_name(WATCHER) != 1:
            owner = self._name_owner(WATCHER)
            raise SniError(f"{WATCHER} is already owned by {owner} (another status bar is running)")
        if self.host:
            self._host_name = f"org.kde.StatusNotifierHost-{os.getpid()}-{id(self) & 0xffff}"
            self._request_name(self._host_name)
            self._add_host(self._host_name)
        self._loop = GLib.MainLoop.new(self._ctx, False)
        self._ready.set()
        self._say(f"serving {WATCHER} on {self._conn.get_unique_name()}"
                  + (" as the host" if self.host else " without a host"))
        self._loop.run()
        # Leaving: release the names first, so clients see the status bar go.
        self._conn.signal_unsubscribe(sub)
        self._conn.unregister_object(reg)
        for name in (WATCHER, self._host_name):
            if name:
                self._bus_call("ReleaseName", GLib.Variant("(s)", (name,)))
        self._conn.flush_sync(None)

    # --- the watcher ---------------------------------------------------------------------

    def _on_call(self, conn, sender, path, iface, method, params, invocation):
        try:
            if method == "RegisterStatusNotifierItem":
                self._register_item(sender, params.unpack()[0], invocation)
            elif method == "RegisterStatusNotifierHost":
                service = params.unpack()[0]
                self._add_host(service if service.startswith((":", "org.")) else sender)
                invocation.return_value(None)
            else:
                invocation.return_dbus_error("org.freedesktop.DBus.Error.UnknownMethod", method)
        except Exception as e:
            invocation.return_dbus_error("org.freedesktop.DBus.Error.Failed", str(e))

    def _on_get_property(self, conn, sender, path, iface, prop):
        with self._lock:
            if prop == "RegisteredStatusNotifierItems":
                return GLib.Variant("as", list(self._items))
            if prop == "IsStatusNotifierHostRegistered":
                return GLib.Variant("b", bool(self._hosts))
            if prop == "ProtocolVersion":
                return GLib.Variant("i", 0)
        return None

    def _register_item(self, sender, service, invocation):
        # An item gives its bus name (its object is then /StatusNotifierItem), or its
        # object path on the caller's connection.
        if service.startswith("/"):
            bus, path = sender, service
        else:
            bus, path = service, ITEM_PATH
        owner = self._name_owner(bus)
        if not owner:
            invocation.return_dbus_error("org.freedesktop.DBus.Error.InvalidArgs",
                                         f"{bus} is not on the bus")
            return
        pid = self._bus_call("GetConnectionUnixProcessID", GLib.Variant("(s)", (owner,)))
        item = Item(bus, path, owner, pid[0] if pid else 0, time.monotonic())
        with self._lock:
            self._items.pop(item.key, None)
            self._items[item.key] = item
            self._events.append((item.registered_at, "registered", item.key))
            self._lock.notify_all()
        invocation.return_value(None)
        self._emit("StatusNotifierItemRegistered", GLib.Variant("(s)", (item.key,)))
        self._say(f"item registered: {item.key} (pid {item.pid})")

    def _add_host(self, service):
        with self._lock:
            new = service not in self._hosts
            self._hosts.add(service)
        if new:
            self._emit("StatusNotifierHostRegistered", None)

    def _on_name_owner_changed(self, conn, sender, path, iface, signal, params):
        name, _old, new = params.unpack()
        if new:
            return
        gone = []
        with self._lock:
            for key, item in list(self._items.items()):
                if name in (item.service, item.owner):
                    del self._items[key]
                    gone.append(key)
                    self._events.append((time.monotonic(), "unregistered", key))
            lost_host = name in self._hosts and name != self._host_name
            if lost_host:
                self._hosts.discard(name)
            self._lock.notify_all()
        for key in gone:
            self._emit("StatusNotifierItemUnregistered", GLib.Variant("(s)", (key,)))
            self._say(f"item unregistered: {key}")
        if lost_host and not self._hosts:
            self._emit("StatusNotifierHostUnregistered", None)

    def _emit(self, signal, params):
        try:
            self._conn.emit_signal(None, WATCHER_PATH, WATCHER, signal, params)
        except GLib.Error as e:
            self._say(f"could not emit {signal}: {e.message}")

    def _request_name(self, name):
        r = self._bus_call("RequestName", GLib.Variant("(su)", (name, 4)))   # DO_NOT_QUEUE
        return r[0] if r else 0

    def _name_owner(self, name):
        if name.startswith(":"):
            return name
        r = self._bus_call("GetNameOwner", GLib.Variant("(s)", (name,)))
        return r[0] if r else None

    def _bus_call(self, method, params):
        try:
            return self._conn.call_sync(*_BUS, method, params, None, Gio.DBusCallFlags.NONE,
                                        self.call_timeout_ms, None).unpack()
        except GLib.Error:
            return None

    def _say(self, text):
        if self.log:
            print(f"sni-host: {text}", file=self.log, flush=True)

    # --- what the tests ask ----------------------------------------------------------------

    @property
    def connection(self):
        return self._conn

    def items(self):
        with self._lock:
            return list(self._items.values())

    def events(self):
        """The watcher's history: (time.monotonic(), 'registered'|'unregistered', key)."""
        with self._lock:
            return list(self._events)

    def wait_item(self, pid=None, timeout=10.0, newer_than=None):
        """The first registered item (of process pid; registered after newer_than), polled."""
        deadline = time.monotonic() + timeout
        with self._lock:
            while True:
                for item in self._items.values():
                    if (pid is None or item.pid == pid) and (newer_than is None or item.registered_at > newer_than):
                        return item
                left = deadline - time.monotonic()
                if left <= 0:
                    break
                self._lock.wait(min(left, 0.1))
            seen = ", ".join(f"{i.key} (pid {i.pid})" for i in self._items.values()) or "none"
        raise SniError(f"no StatusNotifierItem{f' of pid {pid}' if pid else ''} registered within "
                       f"{timeout:g}s (registered: {seen})")

    def wait_gone(self, item, timeout=10.0):
        deadline = time.monotonic() + timeout
        with self._lock:
            while item.key in self._items:
                left = deadline - time.monotonic()
                if left <= 0:
                    raise SniError(f"{item.key} still registered after {timeout:g}s")
                self._lock.wait(min(left, 0.1))

    def call(self, item, iface, method, params=None, reply_type=None):
        """Calls a method of the item, bounded; returns the unpacked reply."""
        try:
            r = self._conn.call_sync(item.service, item.path, iface, method, params,
                                     GLib.VariantType.new(reply_type) if reply_type else None,
                                     Gio.DBusCallFlags.NONE, self.call_timeout_ms, None)
        except GLib.Error as e:
            raise SniError(f"{iface}.{method} on {item.key} failed: {e.message}") from None
        return r.unpack() if r is not None else None

    def properties(self, item):
        """Every org.kde.StatusNotifierItem property of the item, unpacked."""
        return self.call(item, "org.freedesktop.DBus.Properties", "GetAll",
                         GLib.Variant("(s)", (ITEM_IFACE,)), "(a{sv})")[0]

    def activate(self, item, x, y):
        """A left click on the item's icon at screen position x, y."""
        self.call(item, ITEM_IFACE, "Activate", GLib.Variant("(ii)", (int(x), int(y))))

    def secondary_activate(self, item, x, y):
        """A middle click."""
        self.call(item, ITEM_IFACE, "SecondaryActivate", GLib.Variant("(ii)", (int(x), int(y))))

    def context_menu(self, item, x, y):
        """A right click, on an item that exports no dbusmenu."""
        self.call(item, ITEM_IFACE, "ContextMenu", GLib.Variant("(ii)", (int(x), int(y))))

    def menu_layout(self, item, menu_path):
        """The item's dbusmenu as (revision, (id, properties, children)), or None if it has none."""
        if menu_path in NO_MENU_PATHS:
            return None
        menu = Item(item.service, menu_path, item.owner, item.pid, item.registered_at)
        return self.call(menu, DBUSMENU_IFACE, "GetLayout", GLib.Variant("(iias)", (0, -1, [])),
                         "(u(ia{sv}av))")

    def watcher_property(self, name):
        """A property of the watcher as the bus serves it (what the items read)."""
        r = self._conn.call_sync(WATCHER, WATCHER_PATH, "org.freedesktop.DBus.Properties", "Get",
                                 GLib.Variant("(ss)", (WATCHER, name)), GLib.VariantType.new("(v)"),
                                 Gio.DBusCallFlags.NONE, self.call_timeout_ms, None)
        return r.unpack()[0]

    # --- the panel ---------------------------------------------------------------------------

    def panel_rect(self):
        """(x, y, width, height) of the panel on screen, or None without one."""
        return self._panel.rect if self._panel else None

    def panel_cell(self, item, timeout=10.0):
        """(x, y, width, height) of the item's icon cell in the panel, once it is drawn there."""
        if not self._panel:
            raise SniError("this host shows no panel (SniHost(panel=True))")
        return self._panel.wait_cell(item.key, timeout)

    def panel_clicks(self):
        """What the panel sent: [(time.monotonic(), method, key, x, y, error or None)]."""
        return self._panel.clicks() if self._panel else []


# --- icons -----------------------------------------------------------------------------------


def pick_pixmap(pixmaps, size):
    """The IconPixmap entry (w, h, argb bytes) closest to size pixels, or None."""
    valid = [(w, h, bytes(d)) for w, h, d in pixmaps if w > 0 and h > 0 and len(d) == w * h * 4]
    if not valid:
        return None
    return min(valid, key=lambda p: (abs(p[0] - size), -p[0]))


def opaque_pixels(pixmap):
    """How many pixels of an IconPixmap entry (ARGB32, network byte order) are not transparent."""
    w, h, data = pixmap
    return sum(1 for i in range(0, w * h * 4, 4) if data[i] != 0)


def mean_colour(pixmap):
    """The mean (r, g, b) of the pixels that are not transparent, weighted by alpha."""
    w, h, data = pixmap
    total = [0, 0, 0]
    weight = 0
    for i in range(0, w * h * 4, 4):
        a = data[i]
        if a:
            weight += a
            for c in range(3):
                total[c] += data[i + 1 + c] * a
    return tuple(t / weight for t in total) if weight else None


class Panel:
    """The visible part of the status bar on X11: one cell per item, clicks become calls.

    With work_area it also does what a window manager does for a panel with a strut: it
    sets the root window's _NET_WORKAREA to the screen less the panel's strip (and removes
    it when it goes), so applications place their windows below the panel, not over it.
    """

    CELL = 24
    HEIGHT = 28
    WIDTH = 120
    BACKGROUND = (0x30, 0x30, 0x30)

    def __init__(self, host, work_area=True):
        self.host = host
        self.work_area = work_area
        self.rect = None
        self._stop = threading.Event()
        self._thread = None
        self._ready = threading.Event()
        self._error = None
        self._cells = {}        # key -> (x, y, w, h) on screen
        self._icons = {}        # key -> pixmap drawn
        self._clicks = []
        self._lock = threading.Condition()

    def start(self, timeout=10.0):
        self._thread = threading.Thread(target=self._run, name="sni-panel", daemon=True)
        self._thread.start()
        if not self._ready.wait(timeout) or self._error:
            raise SniError(f"the status bar panel did not come up: {self._error or 'timed out'}")

    def stop(self, timeout=10.0):
        self._stop.set()
        if self._thread:
            self._thread.join(timeout)
            self._thread = None

    def clicks(self):
        with self._lock:
            return list(self._clicks)

    def wait_cell(self, key, timeout):
        deadline = time.monotonic() + timeout
        with self._lock:
            while key not in self._cells:
                left = deadline - time.monotonic()
                if left <= 0:
                    raise SniError(f"the panel shows no icon for {key} after {timeout:g}s")
                self._lock.wait(min(left, 0.1))
            return self._cells[key]

    def _run(self):
        try:
            from Xlib import X, display
            self.X = X
            self.d = display.Display()
            self._create()
        except Exception as e:
            self._error = f"{type(e).__name__}: {e}"
            self._ready.set()
            return
        self._ready.set()
        try:
            self._loop()
        finally:
            try:
                if self.work_area:
                    self.d.screen().root.delete_property(self.d.intern_atom("_NET_WORKAREA"))
                self.win.destroy()
                self.d.close()
            except Exception:
                pass

    def _create(self):
        X = self.X
        screen = self.d.screen()
        self.depth = screen.root_depth
        x = screen.width_in_pixels - self.WIDTH
        self.rect = (x, 0, self.WIDTH, self.HEIGHT)
        bg = self._pixel(self.BACKGROUND)
        self.win = screen.root.create_window(
            x, 0, self.WIDTH, self.HEIGHT, 0, screen.root_depth, X.InputOutput, X.CopyFromParent,
            background_pixel=bg,
            event_mask=X.ExposureMask | X.ButtonPressMask | X.ButtonReleaseMask)
        self.win.set_wm_name("Status bar")
        self.win.set_wm_class("sni-panel", "SniPanel")
        atom = self.d.intern_atom
        self.win.change_property(atom("_NET_WM_WINDOW_TYPE"), atom("ATOM"), 32,
                                 [atom("_NET_WM_WINDOW_TYPE_DOCK")])
        self.win.change_property(atom("_NET_WM_PID"), atom("CARDINAL"), 32, [os.getpid()])
        # Reserved at the top of the screen: left, right, top, bottom, then the begin and
        # end of each side's strip (EWMH _NET_WM_STRUT_PARTIAL).
        self.win.change_property(atom("_NET_WM_STRUT_PARTIAL"), atom("CARDINAL"), 32,
                                 [0, 0, self.HEIGHT, 0, 0, 0, 0, 0, x, x + self.WIDTH - 1, 0, 0])
        if self.work_area:
            w, h = screen.width_in_pixels, screen.height_in_pixels
            screen.root.change_property(atom("_NET_WORKAREA"), atom("CARDINAL"), 32,
                                        [0, self.HEIGHT, w, h - self.HEIGHT])
        self.gc = self.win.create_gc(foreground=bg, background=bg)
        self.win.map()
        self.d.sync()

    def _pixel(self, rgb):
        r, g, b = rgb
        return (r << 16) | (g << 8) | b

    def _loop(self):
        X = self.X
        fd = self.d.fileno()
        pressed = None
        while not self._stop.is_set():
            self._sync_items()
            while self.d.pending_events():
                e = self.d.next_event()
                if e.type == X.Expose:
                    self._draw()
                elif e.type == X.ButtonPress:
                    pressed = (e.detail, self._cell_at(e.event_x, e.event_y))
                elif e.type == X.ButtonRelease:
                    key = self._cell_at(e.event_x, e.event_y)
                    if key and pressed == (e.detail, key):
                        self._clicked(e.detail, key, e.root_x, e.root_y)
                    pressed = None
            select.select([fd], [], [], 0.05)

    def _sync_items(self):
        items = self.host.items()
        keys = [i.key for i in items]
        if keys == list(self._cells):
            return
        cells = {}
        x0, y0, _, _ = self.rect
        for n, item in enumerate(items):
            # Packed from the right edge, like the tray icons of most panels.
            cx = self.WIDTH - (n + 1) * self.CELL - 2
            cells[item.key] = (x0 + cx, y0 + (self.HEIGHT - self.CELL) // 2, self.CELL, self.CELL)
            if item.key not in self._icons:
                try:
                    pix = self.host.properties(item).get("IconPixmap", [])
                except SniError:
                    pix = []
                self._icons[item.key] = pick_pixmap(pix, self.CELL)
        with self._lock:
            self._cells = cells
            self._lock.notify_all()
        self._draw()

    def _cell_at(self, x, y):
        x0, y0, _, _ = self.rect
        for key, (cx, cy, w, h) in self._cells.items():
            if cx - x0 <= x < cx - x0 + w and cy - y0 <= y < cy - y0 + h:
                return key
        return None

    def _draw(self):
        self.win.clear_area(0, 0, 0, 0)
        x0, y0, _, _ = self.rect
        for key, (cx, cy, w, h) in self._cells.items():
            pix = self._icons.get(key)
            data = self._render(pix, w, h)
            if data is not None:
                self.win.put_image(self.gc, cx - x0, cy - y0, w, h, self.X.ZPixmap, self.depth, 0, data)
        self.d.flush()

    def _render(self, pix, w, h):
        """The icon scaled (nearest pixel) into w x h over the background, as BGRX rows."""
        if self.depth not in (24, 32):
            return None
        out = bytearray()
        br, bgc, bb = self.BACKGROUND
        for y in range(h):
            for x in range(w):
                r, g, b = br, bgc, bb
                if pix:
                    pw, ph, data = pix
                    i = ((y * ph // h) * pw + (x * pw // w)) * 4
                    a = data[i] / 255
                    r = round(data[i + 1] * a + br * (1 - a))
                    g = round(data[i + 2] * a + bgc * (1 - a))
                    b = round(data[i + 3] * a + bb * (1 - a))
                out += bytes((b, g, r, 0))
        return bytes(out)

    def _clicked(self, button, key, x, y):
        method = {1: "Activate", 2: "SecondaryActivate", 3: "ContextMenu"}.get(button)
        if method is None:
            return
        item = next((i for i in self.host.items() if i.key == key), None)
        error = None
        if item is None:
            error = "no such item"
        else:
            try:
                self.host.call(item, ITEM_IFACE, method, GLib.Variant("(ii)", (x, y)))
            except SniError as e:
                error = str(e)
        with self._lock:
            self._clicks.append((time.monotonic(), method, key, x, y, error))
            self._lock.notify_all()
        self.host._say(f"{method}({x}, {y}) -> {key}" + (f": {error}" if error else ""))


# --- as a program ------------------------------------------------------------------------------


def _activate_all(argv):
    x, y = (int(argv[0]), int(argv[1])) if len(argv) >= 2 else (0, 0)
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    r = bus.call_sync(WATCHER, WATCHER_PATH, "org.freedesktop.DBus.Properties", "Get",
                      GLib.Variant("(ss)", (WATCHER, "RegisteredStatusNotifierItems")),
                      GLib.VariantType.new("(v)"), Gio.DBusCallFlags.NONE, 5000, None)
    keys = r.unpack()[0]
    for key in keys:
        slash = key.find("/")
        service, path = (key, ITEM_PATH) if slash < 0 else (key[:slash], key[slash:])
        bus.call_sync(service, path, ITEM_IFACE, "Activate", GLib.Variant("(ii)", (x, y)), None,
                      Gio.DBusCallFlags.NONE, 5000, None)
        print(f"Activate({x}, {y}) -> {key}")
    return 0 if keys else 1


def main(argv):
    if argv[1:2] == ["activate"]:
        return _activate_all(argv[2:])
    unknown = [a for a in argv[1:] if a not in ("--panel", "--no-host")]
    if unknown:
        print(__doc__, file=sys.stderr)
        return 2
    host = SniHost(host="--no-host" not in argv, panel="--panel" in argv, log=sys.stdout)
    host.start()
    stop = threading.Event()
    import signal
    for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(s, lambda *_: stop.set())
    while not stop.wait(0.5):
        pass
    host.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
