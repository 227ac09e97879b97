"""What the user sees of the panel: long messages read whole, buttons legible under the pointer,
a settings menu a screen reader announces, and a popover clear of the status icon."""

import subprocess
import time

from harness import CREATE_FAILED, E2ETestCase, Rect, wait_for

PANEL_LUMA = 39
LONG_NAME = "a recording whose name is long enough to run the message over several lines.caf"


def pixels(png, r):
    """The (r, g, b) rows of rectangle r in a screenshot."""
    raw = subprocess.run(["convert", str(png), "-crop", f"{r.width}x{r.height}+{r.x}+{r.y}", "+repage",
                          "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    px = [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]
    return [px[y * r.width:(y + 1) * r.width] for y in range(r.height)]


def luma(p):
    return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]


class PanelUx(E2ETestCase):

    def rect_of(self, app, name, role="push button"):
        return self.a11y.extents(self.widget(app, name, role=role))

    def assert_long_message_fits(self, app, before):
        blocker = self.new_folder() / "not a folder"
        blocker.write_text("")
        m = app.mark()
        self.open_save_dialog(app)
        self.type_into_file_dialog(app, blocker / LONG_NAME)
        app.wait_line(CREATE_FAILED, since=m)
        label = self.widget(app, "Message", role="label")
        wait_for(lambda: self.popover_rect(app).height > before.height, 5, "the panel to grow")
        time.sleep(0.3)
        shot, panel = self.screenshot(f"message-{app.pid}"), self.popover_rect(app)
        text, level = self.a11y.extents(label), self.rect_of(app, "Input level", role=None)
        facts = f"message {text}, level bar {level}, panel {panel}"
        self.assertIn(LONG_NAME, self.a11y.text(label) or "")
        self.assertTrue(panel.x <= text.x and text.right <= panel.right and text.bottom <= panel.bottom, facts)
        self.assertGreaterEqual(text.y, level.bottom, facts)
        self.assertGreaterEqual(text.height, 3 * 14, f"not wrapped over three lines: {facts}")
        # The panel's last rows are its own colour: no text is cut by its bottom edge.
        edge = pixels(shot, Rect(text.x, panel.bottom - 3, text.width, 3))
        self.assertTrue(all(luma(p) < 80 for row in edge for p in row), facts)

    def test_a_long_message_wraps_and_the_panel_fits_it(self):
        app = self.launch_ready()
        before = self.popover_rect(app)
        self.assert_long_message_fits(app, before)
        self.open_save_dialog(app)         # Record clears the message: the panel shrinks back
        self.cancel_save_dialog(app)
        wait_for(lambda: self.popover_rect(app).height == before.height, 5, "the panel to shrink back")
        with self.subTest("in the window shown without a status bar"):
            self._stop_app(app)
            self.tray.stop()
            self.addCleanup(self.tray.start)
            app = self.launch()
            self.assert_long_message_fits(app, self.wait_popover_shown(app, timeout=20))

    def assert_tint(self, app, name, hovered):
        button = self.rect_of(app, name)
        time.sleep(0.3)
        rows = pixels(self.screenshot(f"{name}-{'hovered' if hovered else 'left'}"), button)
        beside_icon = luma(rows[button.height // 2][2])
        facts = f"{name} {button}: background luma {beside_icon:.0f}"
        self.assertLess(beside_icon, 90, f"a light fill hides the icon: {facts}")
        if hovered:
            self.assertGreater(beside_icon, PANEL_LUMA + 6, f"no hover tint: {facts}")
        else:
            self.assertLess(abs(beside_icon - PANEL_LUMA), 4, f"the tint stays after the pointer left: {facts}")
        self.assertGreater(sum(min(p) > 200 for row in rows for p in row), 40, f"no white icon: {facts}")

    def test_buttons_keep_their_icon_under_the_pointer(self):
        app = self.launch_ready()
        away = self.rect_of(app, "Elapsed time", role="label").center
        for name in ("Record", "Stop", "Settings"):
            with self.subTest(button=name):
                self.pointer.move(*self.rect_of(app, name).center)
                self.assert_tint(app, name, hovered=True)
                self.pointer.move(*away)
                self.assert_tint(app, name, hovered=False)
        with self.subTest("the settings menu closed with Escape after the pointer left"):
            self.open_settings_popup(app)
            self.pointer.move(*away)
            self.pointer.key("Escape")
            wait_for(lambda: not self.settings_popup_rect(app), 5, "the settings popup to close")
            self.assert_tint(app, "Settings", hovered=False)

    def test_the_settings_menu_is_announced_row_by_row(self):
        seen, event = [], "object:state-changed:focused"     # as a screen reader receives them
        listener = self.a11y.Atspi.EventListener.new(lambda e: e.detail1 and seen.append(
            (e.source.get_process_id(), e.source.get_name(), e.source.get_role_name())))
        listener.register(event)
        self.addCleanup(listener.deregister, event)

        def announced(pid, name):
            while self.a11y.GLib.MainContext.default().iteration(False):
                pass
            return (pid, name, "table cell") in seen

        app = self.launch_ready()
        self.open_settings_popup(app)
        for key, row in ((None, "Quality : Medium"), ("Down", "Contact Us"), ("Down", "Quit")):
            if key:
                self.pointer.key(key)
            wait_for(lambda: announced(app.pid, row), 5, lambda: f"a focus event on {row!r}; seen {seen}")
        self.pointer.key("Escape")
        wait_for(lambda: not self.settings_popup_rect(app), 5, "the settings popup to close")
        self.assertEqual([line for line in app.err_lines() if "accessib" in line.lower()], [], app.report())
