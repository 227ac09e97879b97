"""The status icon on real status bars besides trayer: xfce4-panel 4.18, whose systray plugin
hosts StatusNotifierItems over D-Bus as KDE Plasma, GNOME's AppIndicator extension and LXQt
do, on X11 (with xfwm4 for the work area, and once without a window manager) and for a
Wayland client; tint2 as a second XEmbed tray. A scripted watcher (python3-dbusmock) plays
the status bars no real one can be held as: one that comes up after the app, one without a host.

On Wayland the app runs on weston: the headless backend for what needs no input, and
weston nested in the test's X display (its x11 backend) for the one test that needs a
seat, because the headless backend has none (see WaylandFocus).
"""

import math
import os
import shutil
import signal
import subprocess
import sys
import time
import unittest
from pathlib import Path

from harness import (CLOSE, FALLBACK_SENTENCE, NO_BAR_WAIT, OPEN, POPOVER_NAME, SAVE_DIALOG_TITLE, SESSION_DIR, SETTLE,
                     STARTUP, E2ETestCase, speak, wait_for)
from statusbars import ScriptedWatcher, Sni, StatusBar, mean_colour, opaque_pixels, pick_pixmap
from shells import APP_NAME, SCREEN, GnomeShell, KdePlasma
from xdesk import Rect

CLICK_CLEARANCE = 24    # how far from a click the popover opens when no bar is known there
RECORDER_MENU = ["Registratore", "Record", "Stop", "Open Recorder", None, "Quality : Medium", "Contact Us", "Quit"]

WESTON = shutil.which("weston")
WESTON_MODULES = Path("/usr/lib/x86_64-linux-gnu/libweston-10")
QT_WAYLAND_PLUGIN = Path("/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so")


class _XEmbedTrayKeptAway:
    """Stands in for the harness' trayer in these classes, so that E2ETestCase.setUp does
    not bring it back between tests: here the status bars are the tests' own."""

    def running(self):
        return True

    def start(self, timeout=20.0):
        pass

    def stop(self, timeout=10.0):
        pass


class StatusNotifierCase(E2ETestCase):
    """Base: no trayer on the desktop while the tests of the class run."""

    tray = _XEmbedTrayKeptAway()
    _trayer_was_running = False
    sni = None

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        trayer = E2ETestCase.tray
        cls._trayer_was_running = trayer.running()
        if cls._trayer_was_running:
            trayer.stop()
        cls.sni = Sni()

    @classmethod
    def tearDownClass(cls):
        if cls._trayer_was_running:
            E2ETestCase.tray.start()
        super().tearDownClass()

    def status_bar(self, kind="xfce4-panel", wm=True):
        bar = StatusBar(self.x, self.artefacts, kind, wm).start()
        self.addCleanup(bar.stop)
        return bar

    def scripted_watcher(self, host=True):
        watcher = ScriptedWatcher(self.artefacts, host)
        self.addCleanup(watcher.stop)
        return watcher

    def settle(self, app, since, why=""):
        """Asserts that nothing more is written for a while after position since."""
        time.sleep(SETTLE)
        extra = app.lines(since)
        if extra:
            self.fail(f"unexpected output {extra!r}{': ' + why if why else ''}\n{app.report()}")

    def assert_no_fallback(self, app):
        said = [line for line in app.err_lines() if FALLBACK_SENTENCE in line]
        self.assertEqual(said, [], f"the app fell back to its window\n{app.report()}")

    def fallback_sentence(self, app, timeout=NO_BAR_WAIT + 5):
        return app.wait_err(lambda line: FALLBACK_SENTENCE in line, timeout=timeout)


def _distance(rect, x, y):
    """Pixels from point x, y to the nearest pixel of rect (0 inside)."""
    dx = max(rect.x - x, 0, x - (rect.right - 1))
    dy = max(rect.y - y, 0, y - (rect.bottom - 1))
    return math.hypot(dx, dy)


def _luminance(rgb):
    r, g, b = (c / 255 for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


class XfcePanelCase(StatusNotifierCase):
    """X11 with xfce4-panel across the top of the screen (and xfwm4 reserving its strip)."""

    def launch_with_bar(self):
        bar = self.status_bar()
        app = self.launch()
        item = self.sni.wait_item(app.pid, timeout=5)
        return bar, app, item

    def launch_open(self):
        bar, app, item = self.launch_with_bar()
        app.wait_lines(STARTUP, timeout=10)
        self.wait_popover_shown(app)
        return bar, app, item

    def work_area(self, bar):
        screen = self.x.screen_rect
        return Rect(0, bar.rect().bottom, screen.width, screen.height - bar.rect().bottom)

    def toggle(self, app, expected, do, why=""):
        m = app.mark()
        do()
        app.wait_lines(expected, since=m)
        self.settle(app, m + len(expected), why)
        return self.wait_popover_hidden(app) if expected == CLOSE else self.wait_popover_shown(app)

    def activate(self, item, x, y):
        return lambda: self.sni.item_call(item, "Activate", x, y)

    def assert_on_screen(self, rect, area, what):
        self.assertTrue(rect.x >= area.x and rect.y >= area.y and rect.right <= area.right
                        and rect.bottom <= area.bottom, f"{what}: popover {rect} not within {area}")

    def assert_item(self, item, app):
        """The item's properties: its id and title, an icon that shows on any bar, its menu."""
        self.assertLessEqual(item.registered_at - app.t_launch, 3.0, "registered late")
        props = self.sni.properties(item)
        summary = {k: v for k, v in props.items() if "Pixmap" not in k}
        self.assertEqual(props["Id"], "registratore", summary)
        # Qt puts the application name in Title; hosts show the tooltip's title on hover.
        self.assertIn(props["Title"], ("registratore", "Registratore"), summary)
        self.assertEqual(props["ToolTip"][2], "Registratore", summary)
        self.assertEqual(props["Status"], "Active", summary)
        pixmap = pick_pixmap(props.get("IconPixmap", []), 22)
        self.assertTrue(pixmap or props.get("IconName"), f"the item has no icon: {summary}")
        if pixmap:
            opaque = opaque_pixels(pixmap)
            self.assertGreater(opaque, pixmap[0] * pixmap[1] // 10,
                               f"the {pixmap[0]}x{pixmap[1]} icon is almost empty ({opaque} pixels)")
            # A status bar draws the pixmap as it is: an icon all dark vanishes on a dark
            # bar, one all light on a light bar.
            lum = _luminance(mean_colour(pixmap))
            self.assertTrue(0.15 < lum < 0.85, f"icon mean luminance {lum:.2f}")
        # The recorder's menu, for the status bars that open it on a click (GNOME's extension);
        # not a menu item, so the others still activate it on a left click.
        self.assertFalse(props["ItemIsMenu"], summary)
        self.assertEqual(self.sni.menu_labels(item, props["Menu"]), RECORDER_MENU, summary)
        return props



class StatusNotifierOnX11(XfcePanelCase):

    def test_item_registers_with_icon_and_menu_and_popover_opens_under_the_bar(self):
        bar, app, item = self.launch_with_bar()
        self.assert_item(item, app)
        # The status bar shows it as a status notifier item, not as an embedded X window,
        # and the app does not use its window either.
        icon = bar.icon_rect()
        self.assertEqual([w for w in self.x.walk(bar.window()) if self.x.pid_of(w) == app.pid], [])
        t_ready, t_open = app.wait_lines(STARTUP, timeout=10)
        self.assertTrue(0.8 <= t_ready <= 3.0, app.report())
        pop = self.wait_popover_shown(app, timeout=3)
        self.screenshot("popover-at-launch")
        self.assert_no_fallback(app)
        self.assertEqual(app.lines(), STARTUP, app.report())
        # Not anchored to an icon it cannot locate: the work area's top-right corner,
        # below the bar, not over the icon.
        area = self.work_area(bar)
        self.assert_on_screen(pop, area, "at launch")
        self.assertGreaterEqual(pop.right, area.right - 4, f"popover {pop}, work area {area}")
        self.assertLessEqual(pop.y, area.y + 4, f"popover {pop}, work area {area}")
        self.assertFalse(pop.contains(*icon.center), f"popover {pop} covers the icon {icon}")

    def test_activate_toggles_and_reopens_beside_the_pointer(self):
        bar, app, item = self.launch_open()
        area = self.work_area(bar)
        # Where the user clicked; the status bar's coordinates and the pointer agree.
        for px, py in ((640, 300), (1275, 795), (30, 600)):
            self.pointer.move(px, py)
            self.toggle(app, CLOSE, self.activate(item, px, py))
            pop = self.toggle(app, OPEN, self.activate(item, px, py))
            self.screenshot(f"reopened-at-{px}-{py}")
            where = f"popover {pop}, pointer {px},{py}"
            # Beside the click, never over it: the next click there must reach the icon.
            self.assertFalse(pop.contains(px, py), where)
            self.assertLessEqual(_distance(pop, px, py), CLICK_CLEARANCE + 4, where)
            self.assert_on_screen(pop, area, where)
            if px - pop.width // 2 >= 0 and px + pop.width // 2 <= area.right:
                self.assertLessEqual(abs(pop.center[0] - px), 2, f"not centred on the pointer: {where}")

    def test_middle_and_right_click_do_nothing(self):
        bar, app, item = self.launch_open()
        for shown in (True, False):
            with self.subTest(popover_shown=shown):
                if not shown:
                    self.toggle(app, CLOSE, self.activate(item, 640, 300))
                m = app.mark()
                self.sni.item_call(item, "SecondaryActivate", 640, 300)
                self.sni.item_call(item, "ContextMenu", 640, 300)
                self.assert_quiet(app, m, SETTLE)
                self.assertEqual(self.popover_rect(app) is not None, shown)

    def test_clicking_the_icon_in_the_bar_closes_and_reopens(self):
        # The real thing: a press and release on the icon in the status bar, which sends
        # Activate. To the app's outside-click monitor the press is a click in another
        # application; the icon's click must still close the popover once, not close it and
        # open it again.
        bar, app, item = self.launch_open()
        icon, panel = bar.icon_rect(), bar.rect()
        for cycle in range(2):
            self.toggle(app, CLOSE, lambda: self.click_rect(icon),
                        why="the click on the icon closed the popover and opened it again (its press "
                            "was taken for a click outside, then the status bar's Activate toggled it)")
            pop = self.toggle(app, OPEN, lambda: self.click_rect(icon))
            self.screenshot(f"opened-from-the-bar-{cycle}")
            # Just under the bar, around the icon it was opened from.
            where = f"cycle {cycle}: popover {pop}, icon {icon}, bar {panel}"
            self.assertTrue(pop.x <= icon.center[0] < pop.right, where)
            self.assertGreaterEqual(pop.y, panel.bottom, where)
            self.assertLessEqual(pop.y, panel.bottom + 4, where)

    def test_item_comes_back_when_the_status_bar_restarts(self):
        bar, app, item = self.launch_open()
        bar.stop()
        self.assertTrue(app.running(), app.report())
        time.sleep(0.5)
        bar = self.status_bar()
        again = self.sni.wait_item(app.pid, timeout=10)
        self.assertEqual(self.sni.properties(again)["Id"], "registratore")
        self.pointer.move(640, 300)
        self.toggle(app, CLOSE, self.activate(again, 640, 300))
        self.toggle(app, OPEN, self.activate(again, 640, 300))
        self.assert_no_fallback(app)

    def test_status_bar_that_comes_up_a_second_after_the_app_is_taken(self):
        # At login the recorder may start before the desktop's status bar: the app waits
        # for one for a few seconds and must take it when it comes within that wait.
        app = self.launch()
        time.sleep(1.0)
        watcher = self.scripted_watcher(host=True)
        try:
            item = self.sni.wait_item(app.pid, timeout=NO_BAR_WAIT + 2, keys=watcher.registered)
        except AssertionError as e:
            raise AssertionError(f"{e}: the app did not take the status bar that came up 1 s after "
                                 f"it started, within its {NO_BAR_WAIT:g} s wait\n{app.report()}") from None
        app.wait_lines(STARTUP, timeout=10)
        self.wait_popover_shown(app)
        self.assert_no_fallback(app)
        self.assertTrue(self.sni.properties(item)["Id"])

    def test_watcher_without_host_is_no_status_bar(self):
        # A watcher with no host shows no icon: the panel must open in a window instead.
        self.scripted_watcher(host=False)
        self.assertFalse(self.sni.watcher_property("IsStatusNotifierHostRegistered"))
        app = self.launch()
        reason = self.fallback_sentence(app)
        rect = self.wait_popover_shown(app, timeout=5)
        self.assertTrue(reason.strip())
        screen = self.x.screen_rect
        self.assertTrue(rect.x >= 0 and rect.y >= 0 and rect.right <= screen.right
                        and rect.bottom <= screen.bottom, f"window {rect} off screen {screen}")
        for name in ("Record", "Stop", "Settings"):
            with self.subTest(button=name):
                self.widget(app, name)


class StatusNotifierWithoutWindowManager(XfcePanelCase):
    """xfce4-panel alone: nothing tells the app the work area and the item gives no icon
    geometry, so the popover finds the bar itself: below it, wholly on screen, and never over
    the icon, so that the next click on the icon still reaches it."""

    def test_popover_below_the_bar_clear_of_the_icon(self):
        bar = self.status_bar(wm=False)
        app = self.launch()
        self.sni.wait_item(app.pid, timeout=5)
        app.wait_lines(STARTUP, timeout=10)
        panel, icon = bar.rect(), bar.icon_rect()
        shown = [self.wait_popover_shown(app)]              # at launch, then from the icon
        self.screenshot("popover-without-window-manager")
        for lines in (CLOSE, OPEN):
            m = app.mark()
            self.click_rect(icon)
            app.wait_lines(lines, since=m)
        shown.append(self.wait_popover_shown(app))
        screen = self.x.screen_rect
        self.assertGreaterEqual(shown[0].right, screen.right - 4, f"popover {shown[0]}, screen {screen}")
        for pop in shown:
            where = f"popover {pop}, bar {panel}, icon {icon}"
            self.assert_on_screen(pop, screen, where)
            self.assertFalse(pop.contains(*icon.center), where)
            self.assertTrue(panel.bottom <= pop.y <= panel.bottom + 4, where)


class XEmbedOnTint2(StatusNotifierCase):
    """tint2's system tray, a second XEmbed tray (it shows its panel only under a window manager)."""

    def test_icon_in_tint2_toggles_the_popover_under_it(self):
        bar = self.status_bar("tint2")
        app = self.launch()
        icon = wait_for(lambda: [self.x.geometry(w) for w in self.x.walk(bar.window())
                                 if self.x.pid_of(w) == app.pid and self.x.is_viewable(w)], 10,
                        "the app's icon in tint2's tray")[0]
        app.wait_lines(STARTUP, timeout=10)
        panel = bar.rect()
        for expected in (CLOSE, OPEN, CLOSE, OPEN):
            m = app.mark()
            self.click_rect(icon)
            app.wait_lines(expected, since=m)
            self.assert_quiet(app, m + len(expected), SETTLE)
        pop = self.wait_popover_shown(app)
        where = f"popover {pop}, icon {icon}, bar {panel}"
        self.assertTrue(pop.x <= icon.center[0] < pop.right, where)
        self.assertGreaterEqual(pop.y, panel.bottom, where)
        self.assertLessEqual(pop.y, panel.bottom + 4, where)


# --- Wayland ---------------------------------------------------------------------------------


class Weston:
    """A weston compositor of the test's own: headless, or nested in the test's X display."""

    def __init__(self, backend="headless", width=1280, height=800):
        self.backend = backend
        self.socket = f"wl-e2e-{os.getpid()}-{backend}"
        self.size = (width, height)
        self.log = Path(SESSION_DIR) / f"weston-{backend}.log"
        self.proc = None

    @staticmethod
    def missing(backend="headless"):
        """What this machine lacks to run the app on weston, or None."""
        if not WESTON:
            return "weston is not installed (Debian package weston)"
        if not (WESTON_MODULES / f"{backend}-backend.so").exists():
            return f"weston's {backend} backend is missing ({WESTON_MODULES})"
        if not QT_WAYLAND_PLUGIN.exists():
            return f"Qt's Wayland platform plugin is missing: {QT_WAYLAND_PLUGIN} (Debian package qt6-wayland)"
        if not os.environ.get("XDG_RUNTIME_DIR"):
            return "XDG_RUNTIME_DIR is not set"
        return None

    @property
    def socket_path(self):
        return Path(os.environ["XDG_RUNTIME_DIR"]) / self.socket

    def start(self, timeout=20.0):
        cmd = [WESTON, f"--backend={self.backend}-backend.so", f"--socket={self.socket}",
               "--idle-time=0", "--no-config", f"--width={self.size[0]}", f"--height={self.size[1]}",
               f"--log={self.log}"]
        if self.backend == "x11":
            cmd += ["--use-pixman", "--output-count=1"]
        env = dict(os.environ)
        env.pop("WAYLAND_DISPLAY", None)
        self.proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.STDOUT, env=env, start_new_session=True)
        try:
            wait_for(lambda: self.socket_path.exists() or self.proc.poll() is not None, timeout,
                     f"weston ({self.backend}) to listen on {self.socket_path}")
            if self.proc.poll() is not None:
                raise AssertionError(f"weston ({self.backend}) exited with {self.proc.returncode}:\n{self.tail()}")
        except AssertionError:
            self.stop()
            raise
        return self

    def stop(self):
        if self.proc is None:
            return
        for sig, wait in ((signal.SIGTERM, 5), (signal.SIGKILL, 5)):
            try:
                os.killpg(self.proc.pid, sig)   # weston and the shell clients it started
            except ProcessLookupError:
                break
            try:
                self.proc.wait(wait)
                break
            except subprocess.TimeoutExpired:
                continue
        self.proc = None

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def tail(self, lines=30):
        try:
            return "\n".join(self.log.read_text(errors="replace").splitlines()[-lines:])
        except OSError:
            return "(no weston log)"

    def client_env(self):
        """The environment of a Wayland client of this compositor (and of no X server)."""
        env = dict(os.environ, WAYLAND_DISPLAY=self.socket, QT_QPA_PLATFORM="wayland",
                   XDG_SESSION_TYPE="wayland")
        env.pop("DISPLAY", None)
        return env


class WaylandCase(StatusNotifierCase):
    backend = "headless"
    weston = None

    @classmethod
    def setUpClass(cls):
        missing = Weston.missing(cls.backend)
        if missing:
            print(f"\n{cls.__name__}: skipped: {missing}", file=sys.stderr, flush=True)
            raise unittest.SkipTest(missing)
        super().setUpClass()
        try:
            cls.weston = Weston(cls.backend).start()
        except BaseException:
            super().tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        if cls.weston:
            cls.weston.stop()
            cls.weston = None
        super().tearDownClass()

    def setUp(self):
        super().setUp()
        if not self.weston.running():
            self.fail(f"weston is gone:\n{self.weston.tail()}")

    def launch_wayland(self):
        return self.launch(env=self.weston.client_env())

    # Qt cannot tell a Wayland client where its windows are: only shown or hidden, by the
    # accessibility tree.

    def popover_accessibles(self, app):
        root = self.a11y.application(app.pid, timeout=10)
        return self.a11y.find_all(root, name=POPOVER_NAME)

    def popover_state(self, app, state):
        return any(self.a11y.is_showing(a) if state == "showing" else self._has(a, state)
                   for a in self.popover_accessibles(app))

    def _has(self, acc, state):
        try:
            return acc.get_state_set().contains(getattr(self.a11y.Atspi.StateType, state.upper()))
        except Exception:
            return False

    def wait_popover(self, app, shown, timeout=10.0):
        wait_for(lambda: self.popover_state(app, "showing") == shown, timeout,
                 lambda: f"the {POPOVER_NAME!r} window to be {'shown' if shown else 'hidden'}\n{app.report()}")

    def toggle(self, app, expected, do):
        m = app.mark()
        do()
        app.wait_lines(expected, since=m)
        self.settle(app, m + len(expected))
        self.wait_popover(app, expected != CLOSE)


class StatusNotifierOnWayland(WaylandCase):
    """Qt's Wayland platform on headless weston, with the StatusNotifierItem status bar."""

    def test_item_registers_popover_opens_and_activate_toggles(self):
        self.status_bar(wm=False)
        app = self.launch_wayland()
        item = self.sni.wait_item(app.pid, timeout=5)
        props = self.sni.properties(item)
        self.assertEqual(props["Id"], "registratore")
        self.assertTrue(pick_pixmap(props.get("IconPixmap", []), 22) or props.get("IconName"),
                        "the item has no icon")
        self.assertEqual(self.sni.menu_labels(item, props["Menu"]), RECORDER_MENU)
        t_ready, _ = app.wait_lines(STARTUP, timeout=10)
        self.assertTrue(0.8 <= t_ready <= 3.0, app.report())
        self.wait_popover(app, True)
        self.assert_no_fallback(app)
        for cycle in range(2):
            with self.subTest(cycle=cycle):
                self.toggle(app, CLOSE, lambda: self.sni.item_call(item, "Activate", 1200, 10))
                self.toggle(app, OPEN, lambda: self.sni.item_call(item, "Activate", 1200, 10))
        for name in ("Record", "Stop", "Settings"):
            with self.subTest(button=name):
                self.widget(app, name)
        m = app.mark()
        self.sni.item_call(item, "ContextMenu", 1200, 10)
        self.assert_quiet(app, m, SETTLE)
        self.assertTrue(self.popover_state(app, "showing"))

    def test_without_status_bar_the_panel_opens_in_a_window(self):
        # GNOME without the AppIndicator extension: no watcher on the bus at all.
        app = self.launch_wayland()
        reason = self.fallback_sentence(app)
        self.assertTrue(reason.strip())
        self.wait_popover(app, True, timeout=10)
        for name in ("Record", "Stop", "Settings"):
            with self.subTest(button=name):
                self.widget(app, name)


class WaylandFocus(WaylandCase):
    """Losing activation to another Wayland client closes the popover (no global mouse
    monitor exists on Wayland).

    Headless weston cannot show it: its backend creates no wl_seat, so no client ever has
    keyboard focus or the xdg 'activated' state, and none can take it from another. Weston's
    x11 backend, nested in the test's X display, has a seat; a newly mapped window of
    another client is activated there, as on any desktop.
    """
    backend = "x11"

    def other_client(self):
        p = subprocess.Popen(["weston-flower"], env=self.weston.client_env(), stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)

        def stop():
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait(5)
        self.addCleanup(stop)
        return p

    def test_another_client_taking_focus_closes_the_popover(self):
        if not shutil.which("weston-flower"):
            self.skipTest("weston-flower is missing (Debian package weston)")
        self.status_bar(wm=False)
        app = self.launch_wayland()
        item = self.sni.wait_item(app.pid, timeout=5)
        app.wait_lines(STARTUP, timeout=10)
        self.wait_popover(app, True)
        wait_for(lambda: self.popover_state(app, "active"), 5, "the popover to be the active window")

        m = app.mark()
        first = self.other_client()
        app.wait_lines(CLOSE, since=m)
        self.wait_popover(app, False)
        self.assert_quiet(app, m + len(CLOSE), SETTLE)

        # While hidden, focus moving between other clients writes nothing.
        m = app.mark()
        self.other_client()
        self.assert_quiet(app, m, 1.5)
        self.assertFalse(self.popover_state(app, "showing"))

        # The icon opens it again, active, and the next client to take focus closes it.
        self.toggle(app, OPEN, lambda: self.sni.item_call(item, "Activate", 990, 10))
        wait_for(lambda: self.popover_state(app, "active"), 5, "the reopened popover to be active")
        first.terminate()
        m = app.mark()
        self.other_client()
        app.wait_lines(CLOSE, since=m)
        self.wait_popover(app, False)
        self.assert_quiet(app, m + len(CLOSE), SETTLE)


# --- the desktops most users run: GNOME Shell and KDE Plasma on Wayland ------------------------


NEAR_ICON = 150     # how far from its icon the recorder may open, in pixels
SPEECH = "one two three four five, this is a test of the recorder"


class WaylandDesktopCase(StatusNotifierCase):
    """The recorder as a new user meets it on GNOME Shell with the AppIndicator extension and
    on KDE Plasma, both on Wayland (shells.py): one case, which each subclass runs on its
    desktop. They run under their own ctest labels (E2E_DESKTOP=gnome or kde, conftest.py).
    The app gets the session's environment, as a desktop starts it: its windows go through
    Xwayland, so our windows are found through the accessibility bus."""

    desktop_class = None
    desktop = None

    @classmethod
    def setUpClass(cls):
        missing = cls.desktop_class.missing()
        if missing:
            raise unittest.SkipTest(missing)
        super().setUpClass()
        try:
            cls.desktop = cls.desktop_class(SESSION_DIR).start()
        except BaseException:
            super().tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        if cls.desktop:
            cls.desktop.stop()
        super().tearDownClass()

    def recorder_rect(self, app, name=POPOVER_NAME):
        """Where the app's window of that name shows, or None."""
        shown = [self.a11y.extents(w) for w in self.a11y.find_all(self.a11y.application(app.pid), name=name)
                 if self.a11y.is_showing(w)]
        return shown[0] if shown else None

    def save_dialog_rect(self, app):
        return self.recorder_rect(app, SAVE_DIALOG_TITLE)

    def toggle(self, app, lines, do):
        m = app.mark()
        do()
        app.wait_lines(lines, since=m)
        shown = lines == OPEN
        return wait_for(lambda: (self.recorder_rect(app) if shown else not self.recorder_rect(app)), 10,
                        lambda: f"the recorder {'shown' if shown else 'hidden'}\n{app.report()}")

    def click_icon(self, icon):
        """One click on our icon: the panel opens, or the icon's menu, whose entry opens it."""
        self.click_rect(icon)
        if self.desktop.entry_role:
            entry = self.a11y.extents(self.desktop.accessible(self.a11y, "Open Recorder", self.desktop.entry_role))
            self.assertLessEqual(_distance(entry, *icon.center), NEAR_ICON, f"menu entry {entry}, icon {icon}")
            self.click_rect(entry)

    def test_one_click_gives_the_recorder_at_the_icon_and_a_click_elsewhere_closes_it(self):
        app = self.launch(env=self.desktop.app_env())
        item = self.sni.wait_item(app.pid, timeout=10)
        app.wait_lines(STARTUP, timeout=10)
        props = self.sni.properties(item)
        self.assertEqual(props["IconAccessibleDesc"], "Registratore")
        self.assertEqual(self.sni.menu_labels(item, props["Menu"]), RECORDER_MENU)
        bar = self.desktop.bar()
        bar_spot = (bar.x + bar.width * 2 // 5, bar.y + bar.height // 2)   # an empty part of the bar
        for how, outside in (("at launch", (400, 400)), ("from the icon", bar_spot)):
            # Where our icon is now: the bar may have made room for its microphone-in-use indicator.
            icon = self.desktop.icon_rect(self.a11y)
            pop = wait_for(lambda: self.recorder_rect(app), 10, "the recorder at launch") if how == "at launch" \
                else self.toggle(app, OPEN, lambda: self.click_icon(icon))
            self.screenshot(f"{self.desktop.name}-{how.replace(' ', '-')}")
            where = f"{how}: recorder {pop}, icon {icon}, bar {bar}"
            print(f"\n  {self.desktop.name}, {how}: {_distance(pop, *icon.center):.0f} px from the icon; {where}")
            self.assertLessEqual(_distance(pop, *icon.center), NEAR_ICON, where)
            self.assertTrue(pop.bottom <= bar.y or pop.y >= bar.bottom, f"over the bar: {where}")
            if how == "at launch":
                # The first click, on Record in the recorder that opened by itself, starts a
                # recording, which has the spoken words.
                path = self.new_folder() / "from the status bar.caf"
                self.start_recording(app, path)
                seconds = speak(SPEECH)
                self.stop_recording(app)
                sound = self.assert_recording(path, 24000)
                self.assertGreaterEqual(sound.loud_seconds(-35.0), 0.4 * seconds, f"{sound.seconds:.2f} s recorded")
            self.toggle(app, CLOSE, lambda: self.click_at(*outside))
        if self.desktop.name == "kde":      # not in the taskbar
            self.assertRaises(AssertionError, self.desktop.accessible, self.a11y, f"{POPOVER_NAME} \u2014 {APP_NAME}",
                              "push button", timeout=2)

        # The item leaves the status bar cleanly; the shell said nothing about it meanwhile, nor
        # Qt's D-Bus about the item's or its menu's signals.
        app.stop()
        time.sleep(1.5)
        self.assertEqual(self.desktop.errors(), [])
        self.assertEqual([line for line in app.err_lines() if "QDBus" in line or "Cannot relay" in line], [],
                         app.report())


class OnGnomeShell(WaylandDesktopCase):
    desktop_class = GnomeShell

    def test_without_the_extension_the_panel_opens_in_a_window(self):
        self.desktop.set_extension(False)
        self.addCleanup(self.desktop.set_extension, True)
        wait_for(lambda: not self.desktop.has_status_bar(), 10, "the extension's watcher to go")
        app = self.launch(env=self.desktop.app_env())
        self.fallback_sentence(app)
        window = wait_for(lambda: self.recorder_rect(app), 10, "the recorder's window")
        self.assertTrue(window.x >= 0 and window.bottom <= SCREEN[1] and window.y >= self.desktop.bar().bottom,
                        f"window {window}")
        # The top bar names the application after its desktop file.
        self.desktop.accessible(self.a11y, APP_NAME, "menu")


class OnKdePlasma(WaylandDesktopCase):
    desktop_class = KdePlasma


if __name__ == "__main__":
    unittest.main()
