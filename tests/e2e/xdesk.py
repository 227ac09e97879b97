"""What the X server knows about the desktop: the tray, its icons, top-level windows.

Used by the end-to-end harness and, as a command, by desktop-session.sh:
    python3 xdesk.py tray-ready     exit 0 when a system tray owns the selection and shows its panel
    python3 xdesk.py tray-gone      exit 0 when no system tray owns the selection
    python3 xdesk.py backdrop       paints the bare desktop grey (clearer screenshots than black)
"""

import sys
from dataclasses import dataclass

from Xlib import X, display, error

_GONE = (error.BadWindow, error.BadDrawable, error.BadMatch, error.BadValue)


@dataclass(frozen=True)
class Rect:
    x: int
    y: int
    width: int
    height: int

    @property
    def right(self):
        return self.x + self.width

    @property
    def bottom(self):
        return self.y + self.height

    @property
    def center(self):
        return (self.x + self.width // 2, self.y + self.height // 2)

    def contains(self, px, py):
        return self.x <= px < self.right and self.y <= py < self.bottom

    def __str__(self):
        return f"{self.width}x{self.height}+{self.x}+{self.y}"


class XDesk:
    """A connection to $DISPLAY with the few questions the tests ask of it.

    Windows may disappear between two requests; every query treats a vanished window as
    'not there' instead of raising.
    """

    def __init__(self, name=None):
        self.d = display.Display(name)
        self.screen = self.d.screen()
        self.root = self.screen.root
        self._atoms = {}

    def close(self):
        self.d.close()

    def atom(self, name):
        if name not in self._atoms:
            self._atoms[name] = self.d.intern_atom(name)
        return self._atoms[name]

    @property
    def screen_rect(self):
        return Rect(0, 0, self.screen.width_in_pixels, self.screen.height_in_pixels)

    # --- properties ----------------------------------------------------------------------

    def pid_of(self, win):
        try:
            p = win.get_full_property(self.atom("_NET_WM_PID"), X.AnyPropertyType)
        except _GONE:
            return None
        return int(p.value[0]) if p and len(p.value) else None

    def wm_class(self, win):
        try:
            return win.get_wm_class()
        except _GONE:
            return None

    def names_of(self, win):
        """The window's titles: ICCCM WM_NAME and EWMH _NET_WM_NAME (either may be missing).

        Qt puts the application's display name after the title in _NET_WM_NAME
        ("Recorder — Registratore") and the bare title in WM_NAME.
        """
        names = []
        try:
            p = win.get_full_property(self.atom("_NET_WM_NAME"), X.AnyPropertyType)
            if p and p.value:
                v = p.value
                names.append(v.decode("utf-8", "replace") if isinstance(v, bytes) else str(v))
            v = win.get_wm_name()
            if isinstance(v, bytes):
                v = v.decode("latin-1")
            if v:
                names.append(v)
        except _GONE:
            pass
        return names

    def has_title(self, win, title):
        return any(n == title or n.startswith(title + " \u2014 ") for n in self.names_of(win))

    # --- tree ----------------------------------------------------------------------------

    def children(self, win):
        try:
            return list(win.query_tree().children)
        except _GONE:
            return []

    def walk(self, win):
        """win's descendants, depth first."""
        for c in self.children(win):
            yield c
            yield from self.walk(c)

    def toplevels(self):
        """The root's children and, under a window manager, the client windows inside its
        frames (a frame carries no WM_CLASS of its own)."""
        out = []
        for w in self.children(self.root):
            out.append(w)
            if self.wm_class(w) is None:
                out.extend(self.children(w))
        return out

    # --- state ---------------------------------------------------------------------------

    def is_viewable(self, win):
        try:
            return win.get_attributes().map_state == X.IsViewable
        except _GONE:
            return False

    def geometry(self, win):
        """win's rectangle in root (screen) coordinates, or None if it is gone."""
        try:
            g = win.get_geometry()
            t = self.root.translate_coords(win, 0, 0)
        except _GONE:
            return None
        return Rect(t.x, t.y, g.width, g.height)

    # --- system tray ---------------------------------------------------------------------

    def tray_owner(self):
        """The window owning the XEmbed system tray selection, or None."""
        o = self.d.get_selection_owner(self.atom(f"_NET_SYSTEM_TRAY_S{self.d.get_default_screen()}"))
        if o in (X.NONE, 0) or o is None:
            return None
        return o

    def tray_panel(self):
        """trayer's visible panel window (WM_CLASS panel/trayer), or None."""
        for w in self.toplevels():
            if self.wm_class(w) == ("panel", "trayer") and self.is_viewable(w):
                return w
        return None

    def tray_icons(self, pid):
        """Viewable windows of process pid embedded in the tray panel (its status icons)."""
        panel = self.tray_panel()
        if panel is None:
            return []
        return [w for w in self.walk(panel) if self.pid_of(w) == pid and self.is_viewable(w)]

    # --- top-level windows ---------------------------------------------------------------

    def windows_of(self, pid, name=None, viewable_only=False):
        """Top-level windows of process pid, optionally with a given title."""
        out = []
        for w in self.toplevels():
            if self.pid_of(w) != pid:
                continue
            if name is not None and not self.has_title(w, name):
                continue
            if viewable_only and not self.is_viewable(w):
                continue
            out.append(w)
        return out

    def windows_of_class(self, wm_class, viewable_only=True):
        return [w for w in self.toplevels()
                if (c := self.wm_class(w)) and wm_class in c
                and (not viewable_only or self.is_viewable(w))]

    def paint_backdrop(self, rgb=(0x5a, 0x66, 0x72)):
        cmap = self.screen.default_colormap
        pixel = cmap.alloc_color(*(c * 257 for c in rgb)).pixel
        self.root.change_attributes(background_pixel=pixel)
        self.root.clear_area(0, 0, 0, 0)
        self.d.sync()

    def pointer(self):
        p = self.root.query_pointer()
        return (p.root_x, p.root_y)


def _main(argv):
    if len(argv) != 2 or argv[1] not in ("tray-ready", "tray-gone", "backdrop"):
        print(__doc__, file=sys.stderr)
        return 2
    try:
        x = XDesk()
    except Exception as e:  # no display yet
        print(e, file=sys.stderr)
        return 1
    try:
        if argv[1] == "backdrop":
            x.paint_backdrop()
            return 0
        if argv[1] == "tray-ready":
            return 0 if x.tray_owner() is not None and x.tray_panel() is not None else 1
        return 0 if x.tray_owner() is None else 1
    finally:
        x.close()


if __name__ == "__main__":
    sys.exit(_main(sys.argv))
