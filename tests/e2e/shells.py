"""The desktops most users run, for the desktop tests: GNOME Shell 43 with the AppIndicator
extension and KDE Plasma 5.27, each a Wayland compositor nested in the test's X display, with
the Xwayland it starts. xdotool and screenshots on the test's display reach them; their
accessible trees (AT-SPI) tell where our icon and the shell's menu entries are.

    desktop = GnomeShell(logs).start()
    app = ui.launch(env=desktop.app_env())     # as the session starts it: no platform chosen
    desktop.icon_rect(a11y)                      # our icon in the top bar / the system tray
    desktop.bar()                                # where its top bar / panel is
"""

import os
import re
import shutil
import time
from pathlib import Path

from gi.repository import GLib

from harness import REPO, SESSION_DIR, Program, app_binary, run, tail, wait_for
from statusbars import Sni
from xdesk import Rect

APP_NAME = "Registratore"       # the item's title, which shells show as the icon's name
APP_ID = "org.registratore.Registratore"    # its desktop file's name
APPINDICATOR = "ubuntu-appindicators@ubuntu.com"
SCREEN = (1280, 800)            # the nested desktops' output
KACTIVITYMANAGERD = "/usr/lib/x86_64-linux-gnu/libexec/kactivitymanagerd"
# KDE's daemon of modules (the status notifier watcher among them): Plasma 6 on Debian 13, 5 on 12.
KDED = "kded6" if shutil.which("kded6") else "kded5"
# weston's backends: libweston-10 on Debian 12, libweston-14 on Debian 13.
WESTON_MODULES = max((p for p in Path("/usr/lib/x86_64-linux-gnu").glob("libweston-*") if p.is_dir()),
                     default=Path("/nonexistent"), key=lambda p: p.name)
QT_WAYLAND_PLUGIN = Path("/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so")


def _xwayland_of(parent):
    """(display, auth file or None) of the Xwayland that process parent started, or None."""
    for stat in Path("/proc").glob("[0-9]*/stat"):
        try:
            fields = stat.read_text().rsplit(")", 1)[1].split()
            args = (stat.parent / "cmdline").read_bytes().decode().split("\0")
        except (OSError, IndexError):
            continue
        if int(fields[1]) == parent and args[0].endswith("Xwayland"):
            auth = args[args.index("-auth") + 1] if "-auth" in args else None
            return next(a for a in args if re.fullmatch(r":\d+", a)), auth
    return None


def _display_held_by(pid):
    """The X display whose lock file process pid holds, or None."""
    for lock in Path("/tmp").glob(".X*-lock"):
        try:
            if int(lock.read_text().strip()) == pid:
                return ":" + lock.name[2:-5]
        except (OSError, ValueError):
            continue
    return None


class WaylandDesktop:
    """A nested Wayland desktop: started, asked about, stopped with every program it ran."""

    name = ""
    programs_needed = ()
    entry_role = None       # the role of the entries of our icon's menu, where a click opens it

    def __init__(self, logs):
        self.logs = Path(logs)
        self.socket = f"wl-{self.name}-{os.getpid()}"
        self.programs = []
        self.xwayland = {}

    @classmethod
    def missing(cls):
        """What this machine lacks to run the desktop, or None."""
        absent = [p for p in cls.programs_needed if not shutil.which(p) and not Path(p).exists()]
        return f"missing {', '.join(absent)} (scripts/install-deps.sh test)" if absent else None

    def run(self, cmd, log, env=None):
        program = Program(cmd, self.logs / log, {"WAYLAND_DISPLAY": None, **(env or {})})
        self.programs.append(program)
        return program

    def attach_xwayland(self, compositor, timeout=30):
        def started():
            # KWin 6 starts its Xwayland at the first X client: the display it holds is poked.
            if (found := _xwayland_of(compositor.proc.pid)) is None and (lazy := _display_held_by(compositor.proc.pid)):
                run(["xdpyinfo", "-display", lazy], check=False)
            return found
        display, auth = wait_for(started, timeout, f"{self.name}'s Xwayland")
        self.xwayland = {"DISPLAY": display, **({"XAUTHORITY": auth} if auth else {})}
        wait_for(lambda: run(["xdpyinfo"], check=False, env={**os.environ, **self.xwayland}).returncode == 0,
                 timeout, f"{self.name}'s Xwayland to answer")

    def xprop(self, name):
        """A property of the Xwayland's root window, as integers (empty when it has none)."""
        r = run(["xprop", "-root", name], check=False, env={**os.environ, **self.xwayland})
        return [int(v) for v in re.findall(r"-?\d+", r.stdout.partition("=")[2])]

    def app_env(self):
        """The environment the session gives its programs; no window system is chosen."""
        return {"WAYLAND_DISPLAY": self.socket, "XDG_SESSION_TYPE": "wayland", "QT_QPA_PLATFORM": None,
                "XDG_CURRENT_DESKTOP": self.desktop_name, **self.xwayland}

    def stop(self):
        for program in reversed(self.programs):
            program.stop()
        self.programs = []

    def bar(self, timeout=30):
        """The status bar: the strip of the screen its work area leaves out (top, else bottom)."""
        def strip():
            area = self.xprop("_NET_WORKAREA")[:4]
            if len(area) < 4 or area[3] == SCREEN[1]:
                return None
            x, y, w, h = area
            return Rect(0, 0, w, y) if y > 0 else Rect(0, y + h, w, SCREEN[1] - y - h)
        return wait_for(strip, timeout, f"{self.name}'s bar in the work area")

    def accessible(self, a11y, name, role, timeout=20.0):
        """A showing accessible of the shell's, by name and role. The shell's tree is large: only
        what shows is searched, as the shell's bridge has cached it (asked afresh, it may not
        answer)."""
        def find():
            a11y.pump()
            pid = self.shell.proc.pid
            level = [a for a in a11y.children(a11y.Atspi.get_desktop(0)) if a11y.safely(a.get_process_id) == pid]
            while level:
                for acc in level:
                    if acc.get_name() == name and a11y.has_role(acc, role):
                        return acc
                level = [child for acc in level for child in a11y.children(acc) if a11y.is_showing(child)]
            return None
        return wait_for(find, timeout, f"{role} {name!r} of {self.name}'s shell")

    def has_status_bar(self):
        return Sni().has_owner("org.kde.StatusNotifierWatcher")

    def icon_rect(self, a11y):
        return a11y.extents(self.accessible(a11y, APP_NAME, self.icon_role))

    def errors(self):
        """What the shell logged about our item or its menu (its JS errors on GNOME)."""
        text = (self.logs / self.shell_log).read_text(errors="replace")
        return [line for line in text.splitlines() if re.search(self.error_pattern, line)]


class GnomeShell(WaylandDesktop):
    """gnome-shell --nested --wayland. It exits at start without a system bus of its own (it
    finds /run/systemd/seats), starts in the overview (Escape leaves it), and reads the
    extension's settings from the session's dconf."""

    name = "gnome"
    desktop_name = "GNOME"
    programs_needed = ("gnome-shell", "dbus-daemon", "gsettings", "Xwayland")
    icon_role = "menu"
    entry_role = "label"
    shell_log = "gnome-shell.log"
    error_pattern = r"JS ERROR|appindicator|StatusNotifier|registratore"

    def start(self):
        bus = Path(SESSION_DIR) / "system_bus_socket"
        self.run(["dbus-daemon", "--session", "--nofork", "--nopidfile", f"--address=unix:path={bus}"],
                 "system-bus.log")
        wait_for(bus.exists, 10, "the shell's system bus")
        self.set_extension(True)
        # Our desktop file, so that the shell knows the app's name and icon; GIO takes it only
        # when its command is on the PATH.
        apps, bin = Path(os.environ["XDG_DATA_HOME"]) / "applications", Path(SESSION_DIR) / "bin"
        for folder in (apps, bin):
            folder.mkdir(parents=True, exist_ok=True)
        # The build's translated entry beside the binary, else its English template.
        entry = Path(app_binary()).parent / "desktop-data" / f"{APP_ID}.desktop"
        if not entry.exists():
            entry = REPO / f"resources/desktop/{APP_ID}.desktop.in"
        shutil.copy(entry, apps / f"{APP_ID}.desktop")
        (bin / "registratore").unlink(missing_ok=True)
        (bin / "registratore").symlink_to(app_binary())
        # Unsafe mode lets the test ask the shell which application each window belongs to.
        self.shell = self.run(["gnome-shell", "--nested", "--wayland", "--unsafe-mode",
                               f"--wayland-display={self.socket}"],
                              self.shell_log, {"DBUS_SYSTEM_BUS_ADDRESS": f"unix:path={bus}",
                                               "PATH": f"{bin}:{os.environ['PATH']}",
                                               "LIBGL_ALWAYS_SOFTWARE": "1", "NO_AT_BRIDGE": None,
                                               "MUTTER_DEBUG_DUMMY_MODE_SPECS": "%dx%d" % SCREEN})
        self.attach_xwayland(self.shell)
        wait_for(lambda: Sni().has_owner("org.gnome.Shell"), 30, "gnome-shell on the session bus")
        time.sleep(1.0)
        Program(["xdotool", "key", "Escape"], self.logs / "xdotool.log").proc.wait(10)  # the overview
        # The tests move the pointer by warping it (xdotool mousemove). Until a pointer device
        # has sent an event, the X server reports a warp as the logical pointer's motion, which
        # mutter never passes on to Wayland clients: Xwayland would keep the pointer where it
        # last entered one of its windows, and place the next click there. So first one motion
        # through the XTEST device, as a mouse gives.
        Program(["xdotool", "mousemove_relative", "--", "1", "0"], self.logs / "xdotool.log").proc.wait(10)
        return self

    def window_apps(self):
        """The desktop files of the windows the shell knows, by the windows' titles. The top bar
        named the focused one's application on GNOME 43; GNOME 44 removed that menu."""
        windows = Sni().call("org.gnome.Shell", "/org/gnome/Shell/Introspect", "org.gnome.Shell.Introspect",
                             "GetWindows", None, "(a{ta{sv}})")[0]
        return {w.get("title", ""): w.get("app-id", "") for w in windows.values()}

    def set_extension(self, enabled):
        for key, value in (("disable-user-extensions", "false"),
                           ("enabled-extensions", f"['{APPINDICATOR}']" if enabled else "[]")):
            Program(["gsettings", "set", "org.gnome.shell", key, value], self.logs / "gsettings.log").proc.wait(10)

    def stop(self):
        super().stop()
        # A shell that did not end by itself leaves Xwayland's lock files behind.
        for lock in Path("/tmp").glob(".X*-lock"):
            if lock.read_text().strip() == str(self.shell.proc.pid):
                display = lock.name[2:-5]
                lock.unlink(missing_ok=True)
                Path(f"/tmp/.X11-unix/X{display}").unlink(missing_ok=True)


class KdePlasma(WaylandDesktop):
    """kwin_wayland nested with --x11-display and its Xwayland, then kactivitymanagerd (without
    it plasmashell stops), kded (the status notifier watcher) and plasmashell. The packaged
    kwin_wayland carries file capabilities that make it fail here ("Operation not permitted");
    a copy carries none."""

    name = "kde"
    desktop_name = "KDE"
    programs_needed = ("kwin_wayland", "plasmashell", KDED, KACTIVITYMANAGERD, "Xwayland")
    icon_role = "push button"
    shell_log = "plasmashell.log"
    error_pattern = r"(?i)statusnotifier|dbusmenu|registratore"

    def start(self):
        kwin = Path(SESSION_DIR) / "kwin_wayland"
        shutil.copy(shutil.which("kwin_wayland"), kwin)
        session = {"XDG_CURRENT_DESKTOP": "KDE", "KDE_FULL_SESSION": "true", "KDE_SESSION_VERSION": KDED[-1]}
        compositor = self.run([str(kwin), "--x11-display", os.environ["DISPLAY"], "--xwayland", "--socket", self.socket,
                               "--width", str(SCREEN[0]), "--height", str(SCREEN[1])], "kwin.log", session)
        wait_for((Path(os.environ["XDG_RUNTIME_DIR"]) / self.socket).exists, 30, "kwin_wayland's socket")
        self.attach_xwayland(compositor)
        clients = {**session, "WAYLAND_DISPLAY": self.socket, "QT_QPA_PLATFORM": "wayland",
                   "XDG_SESSION_TYPE": "wayland"}
        self.run([KACTIVITYMANAGERD], "kactivitymanagerd.log", clients)
        self.run([KDED], f"{KDED}.log", clients)
        self.shell = self.run(["plasmashell", "--no-respawn"], self.shell_log, clients)
        # kded's watcher may not answer yet while it starts: that is "not yet", not a failure.
        wait_for(lambda: self.has_status_bar() and Sni().host_registered(), 60, "plasmashell's system tray")
        if KDED == "kded6":
            # Plasma 6's panel floats until a window comes near, and then reserves a pixel more of
            # the screen: what the work area says would change under the recorder as it opens.
            Sni().call("org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell", "evaluateScript",
                       GLib.Variant("(s)", ("panels().forEach(function (p) { p.floating = false; })",)), "(s)")
        return self


class Weston:
    """A weston compositor for the app alone: headless, or nested in the test's X display (its x11
    backend, which has a seat)."""

    def __init__(self, backend="headless"):
        self.backend, self.socket, self.program = backend, f"wl-e2e-{os.getpid()}-{backend}", None
        self.log = SESSION_DIR / f"weston-{backend}.log"

    @staticmethod
    def missing(backend):
        """What this machine lacks to run the app on weston, or None."""
        if not shutil.which("weston"):
            return "weston is not installed (Debian package weston)"
        if not (WESTON_MODULES / f"{backend}-backend.so").exists():
            return f"weston's {backend} backend is missing ({WESTON_MODULES})"
        if not QT_WAYLAND_PLUGIN.exists():
            return f"Qt's Wayland platform plugin is missing: {QT_WAYLAND_PLUGIN} (Debian package qt6-wayland)"
        return None

    def start(self):
        self.program = Program(["weston", f"--backend={self.backend}-backend.so", f"--socket={self.socket}",
                                "--idle-time=0", "--no-config", "--width=1280", "--height=800", f"--log={self.log}",
                                *(["--use-pixman", "--output-count=1"] if self.backend == "x11" else [])],
                               env={"WAYLAND_DISPLAY": None})
        socket = Path(os.environ["XDG_RUNTIME_DIR"]) / self.socket
        wait_for(lambda: socket.exists() or not self.program.running(), 20,
                 f"weston ({self.backend}) to listen on {socket}")
        assert self.program.running(), \
            f"weston ({self.backend}) exited with {self.program.proc.returncode}:\n{tail(self.log, 30)}"
        return self

    def stop(self):
        if self.program:
            self.program.stop()

    def client_env(self):
        """The environment of a Wayland client of this compositor (and of no X server)."""
        return {"WAYLAND_DISPLAY": self.socket, "QT_QPA_PLATFORM": "wayland", "XDG_SESSION_TYPE": "wayland",
                "DISPLAY": None}
