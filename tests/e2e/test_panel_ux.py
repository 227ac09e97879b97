"""What the user sees of the panel: long messages read whole, buttons that stay legible under
the pointer, and a settings menu a screen reader announces."""

import subprocess
import time
import unittest

import test_status_bars as bars
from harness import CLOSE, CREATE_FAILED, OPEN, STARTUP, E2ETestCase, Rect, wait_for

PANEL = (39, 39, 39)
LONG_NAME = "a recording whose name is long enough to run the message over several lines.caf"


def pixels(png, rect):
    """The (r, g, b) rows of rect in a screenshot."""
    raw = subprocess.run(["convert", str(png), "-crop", f"{rect.width}x{rect.height}+{rect.x}+{rect.y}",
                          "+repage", "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    px = [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]
    return [px[r * rect.width:(r + 1) * rect.width] for r in range(rect.height)]


def luma(p):
    return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]


class FocusEvents:
    """Focus changes on the accessibility bus, as a screen reader receives them."""

    def __init__(self, a11y):
        self.a11y, self.seen = a11y, []

        def on_event(event):
            try:
                if event.detail1:
                    self.seen.append((event.source.get_process_id(), event.source.get_name(),
                                      event.source.get_role_name()))
            except Exception:
                pass        # the sender is already gone
        self.listener = a11y.Atspi.EventListener.new(on_event)
        self.listener.register("object:state-changed:focused")

    def wait(self, pid, name, timeout=5.0):
        def announced():
            context = self.a11y.GLib.MainContext.default()
            while context.iteration(False):
                pass
            return next((s for s in self.seen if s[0] == pid and s[1] == name), None)
        return wait_for(announced, timeout, lambda: f"a focus event on {name!r}; seen {self.seen}")


class PanelUx(E2ETestCase):

    def rect_of(self, app, name, role="push button"):
        return self.a11y.extents(self.widget(app, name, role=role))

    def show_long_message(self, app):
        blocker = self.new_folder() / "not a folder"
        blocker.write_text("")
        m = app.mark()
        self.open_save_dialog(app)
        self.type_into_file_dialog(app, blocker / LONG_NAME)
        app.wait_line(CREATE_FAILED, since=m)
        return self.widget(app, "Message", role="label")

    def assert_message_fits(self, app, label, panel_before):
        panel = wait_for(lambda: (r := self.popover_rect(app)) and r.height > panel_before.height and r, 5,
                         lambda: f"the panel to grow from {panel_before} ({self.popover_rect(app)})")
        time.sleep(0.3)
        shot = self.screenshot(f"message-{app.pid}")
        panel = self.popover_rect(app)
        text = self.a11y.extents(label)
        level = self.a11y.extents(self.widget(app, "Input level", role=None))
        facts = f"message {text}, level bar {level}, panel {panel}"
        self.assertIn(LONG_NAME, self.a11y.text(label) or "")
        self.assertTrue(panel.x <= text.x and text.right <= panel.right and panel.y <= text.y
                        and text.bottom <= panel.bottom, facts)
        self.assertGreaterEqual(text.y, level.bottom, facts)
        self.assertGreaterEqual(text.height, 3 * 14, f"not wrapped over three lines: {facts}")
        # The panel's last rows are its own colour: no text is cut by its bottom edge.
        bottom = pixels(shot, Rect(text.x, panel.bottom - 3, text.width, 3))
        self.assertTrue(all(luma(p) < 80 for row in bottom for p in row), facts)

    def test_a_long_message_wraps_and_the_panel_fits_it(self):
        app = self.launch_ready()
        before = self.popover_rect(app)
        self.assert_message_fits(app, self.show_long_message(app), before)
        # Record clears the message: the panel shrinks back.
        self.open_save_dialog(app)
        self.cancel_save_dialog(app)
        wait_for(lambda: self.popover_rect(app).height == before.height, 5,
                 lambda: f"the panel to shrink back to {before} ({self.popover_rect(app)})")

        with self.subTest("in the window shown without a status bar"):
            self._stop_app(app)
            self.tray.stop()
            self.addCleanup(self.tray.start)
            app = self.launch()
            before = self.wait_popover_shown(app, timeout=20)
            self.assert_message_fits(app, self.show_long_message(app), before)

    def assert_tinted(self, app, name, hovered):
        """The button's background is the panel's, lightly tinted under the pointer, and its white
        icon stands out of it."""
        button = self.rect_of(app, name)
        time.sleep(0.3)
        rows = pixels(self.screenshot(f"{name}-{'hovered' if hovered else 'left'}"), button)
        edge = rows[button.height // 2][2]      # inside the button, beside its icon
        facts = f"{name} {button}: background {edge}"
        self.assertLess(luma(edge), 90, f"a light fill hides the icon: {facts}")
        if hovered:
            self.assertGreater(luma(edge), luma(PANEL) + 6, f"no hover tint: {facts}")
        else:
            self.assertLess(abs(luma(edge) - luma(PANEL)), 4, f"a tint stays after the pointer left: {facts}")
        white = sum(1 for row in rows for p in row if min(p) > 200)
        self.assertGreater(white, 40, f"the icon does not show: {facts}")

    def test_buttons_keep_their_icon_under_the_pointer(self):
        app = self.launch_ready()
        away = self.rect_of(app, "Elapsed time", role="label").center
        for name in ("Record", "Stop", "Settings"):
            with self.subTest(button=name):
                self.pointer.move(*self.rect_of(app, name).center)
                self.assert_tinted(app, name, hovered=True)
                self.pointer.move(*away)
                self.assert_tinted(app, name, hovered=False)
        with self.subTest("the settings menu closed with Escape after the pointer left"):
            self.open_settings_popup(app)
            self.pointer.move(*away)
            self.pointer.key("Escape")
            wait_for(lambda: not self.settings_popup_rect(app), 5, "the settings popup to close")
            self.assert_tinted(app, "Settings", hovered=False)

    def test_the_settings_menu_is_announced_row_by_row(self):
        focus = FocusEvents(self.a11y)
        self.addCleanup(lambda: focus.listener.deregister("object:state-changed:focused"))
        app = self.launch_ready()
        self.open_settings_popup(app)
        rows = ["Quality : Medium", "Contact Us", "Quit"]
        self.assertEqual(focus.wait(app.pid, rows[0])[2], "table cell")
        for row in rows[1:]:
            self.pointer.key("Down")
            self.assertEqual(focus.wait(app.pid, row)[2], "table cell")
        self.pointer.key("Escape")
        wait_for(lambda: not self.settings_popup_rect(app), 5, "the settings popup to close")
        warnings = [line for line in app.err_lines() if "accessib" in line.lower()]
        self.assertEqual(warnings, [], app.report())


class PopoverBesideTheBar(bars.StatusNotifierCase):
    """A StatusNotifierItem bar that gives no icon geometry, on a desktop without a work area."""

    def test_the_popover_opens_below_the_bar_clear_of_the_icon(self):
        host = self.start_host(panel=True, work_area=False)
        app = self.launch()
        item = host.wait_item(pid=app.pid, timeout=5)
        app.wait_lines(STARTUP, timeout=10)
        bar, cell = Rect(*host.panel_rect()), Rect(*host.panel_cell(item))
        for how, expected in (("at launch", None), ("closed from the icon", CLOSE), ("opened from it", OPEN)):
            if expected:
                m = app.mark()
                self.click_rect(cell)
                app.wait_lines(expected, since=m)
            if expected == CLOSE:
                self.wait_popover_hidden(app)
                continue
            pop = self.wait_popover_shown(app)
            self.screenshot(how.replace(" ", "-"))
            where = f"{how}: popover {pop}, bar {bar}, icon {cell}"
            self.assertFalse(pop.contains(*cell.center), where)
            self.assertTrue(bar.bottom <= pop.y <= bar.bottom + 4, where)


if __name__ == "__main__":
    unittest.main()
