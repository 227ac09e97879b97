"""What the X server knows about the desktop: the tray, its icons, top-level windows.

Used by the end-to-end harness and, as a command, by desktop-session.sh:
    python3 xdesk.py tray-ready     exit 0 when a system tray owns the selection and shows its panel
    python3 xdesk.py backdrop       paints the bare desktop grey (clearer screenshots than black)
"""

import math
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

    def inside(self, other):
        return other.x <= self.x and other.y <= self.y and self.right <= other.right and self.bottom <= other.bottom

    def distance(self, px, py):
        """Pixels from point px, py to the nearest pixel of the rectangle (0 inside)."""
        return math.hypot(max(self.x - px, 0, px - (self.right - 1)), max(self.y - py, 0, py - (self.bottom - 1)))

    def __str__(self):
        return f"{self.width}x{self.height}+{self.x}+{self.y}"


class XDesk:
    """A connection to $DISPLAY with the few questions the tests ask of it. Windows may disappear
    between two requests; every query takes a vanished window as not there."""

    def __init__(self, name=None):
        self.d = display.Display(name)
        self.screen = self.d.screen()
        self.root = self.screen.root
        self.screen_rect = Rect(0, 0, self.screen.width_in_pixels, self.screen.height_in_pixels)

    def atom(self, name):
        return self.d.get_atom(name)      # cached

    @staticmethod
    def _ask(question, default=None):
        try:
            return question()
        except _GONE:
            return default

    def pid_of(self, win):
        p = self._ask(lambda: win.get_full_property(self.atom("_NET_WM_PID"), X.AnyPropertyType))
        return int(p.value[0]) if p and len(p.value) else None

    def wm_class(self, win):
        return self._ask(win.get_wm_class)

    def has_title(self, win, title):
        """Whether ICCCM's WM_NAME or EWMH's _NET_WM_NAME is title. Qt puts the application's
        display name after the title in _NET_WM_NAME ("Recorder — Registratore")."""
        net = self._ask(lambda: win.get_full_property(self.atom("_NET_WM_NAME"), X.AnyPropertyType))
        names = [net.value.decode("utf-8", "replace") if isinstance(net.value, bytes) else str(net.value)] \
            if net else []
        name = self._ask(win.get_wm_name)
        names.append(name.decode("latin-1") if isinstance(name, bytes) else name or "")
        return any(n == title or n.startswith(title + " \u2014 ") for n in names)

    def children(self, win):
        return self._ask(lambda: list(win.query_tree().children), [])

    def walk(self, win):
        """win's descendants, depth first."""
        for c in self.children(win):
            yield c
            yield from self.walk(c)

    def toplevels(self):
        """The root's children, bottom to top, and under a window manager the client windows
        inside its frames (a frame carries no WM_CLASS of its own)."""
        return [w for top in self.children(self.root)
                for w in [top] + (self.children(top) if self.wm_class(top) is None else [])]

    def is_viewable(self, win):
        return self._ask(lambda: win.get_attributes().map_state == X.IsViewable, False)

    def geometry(self, win):
        """win's rectangle in root (screen) coordinates, or None if it is gone."""
        g, t = self._ask(lambda: (win.get_geometry(), self.root.translate_coords(win, 0, 0)), (None, None))
        return Rect(t.x, t.y, g.width, g.height) if g else None

    def tray_owner(self):
        """The window owning the XEmbed system tray selection, or None."""
        o = self.d.get_selection_owner(self.atom(f"_NET_SYSTEM_TRAY_S{self.d.get_default_screen()}"))
        return None if o in (X.NONE, 0, None) else o

    def tray_panel(self):
        """trayer's visible panel window (WM_CLASS panel/trayer), or None."""
        return next(iter(self.windows_of_class(("panel", "trayer"))), None)

    def embedded(self, win, pid):
        """Viewable windows of process pid inside win (its icons in a tray)."""
        return [w for w in self.walk(win) if self.pid_of(w) == pid and self.is_viewable(w)] if win else []

    def tray_icons(self, pid):
        return self.embedded(self.tray_panel(), pid)

    def windows_of(self, pid, title=None, viewable_only=False):
        """Top-level windows of process pid, optionally with a given title."""
        return [w for w in self.toplevels() if self.pid_of(w) == pid and (title is None or self.has_title(w, title))
                and (not viewable_only or self.is_viewable(w))]

    def windows_of_class(self, wm_class, viewable_only=True):
        """Top-level windows whose WM_CLASS is wm_class (a pair) or has it as one of its names."""
        return [w for w in self.toplevels() if (c := self.wm_class(w)) and (c == wm_class or wm_class in c)
                and (not viewable_only or self.is_viewable(w))]

    def pointer(self):
        p = self.root.query_pointer()
        return (p.root_x, p.root_y)


def _main(argv):
    if argv[1:] not in (["tray-ready"], ["backdrop"]):
        print(__doc__, file=sys.stderr)
        return 2
    try:
        x = XDesk()
    except Exception as e:  # no display yet
        print(e, file=sys.stderr)
        return 1
    try:
        if argv[1] == "tray-ready":
            return 0 if x.tray_owner() is not None and x.tray_panel() is not None else 1
        pixel = x.screen.default_colormap.alloc_color(0x5a * 257, 0x66 * 257, 0x72 * 257).pixel
        x.root.change_attributes(background_pixel=pixel)
        x.root.clear_area(0, 0, 0, 0)
        x.d.sync()
        return 0
    finally:
        x.d.close()


if __name__ == "__main__":
    sys.exit(_main(sys.argv))
