"""The status icon and its popover on a real X desktop (trayer as the tray host)."""

import unittest

from harness import CLOSE, OPEN, SETTLE, STARTUP, E2ETestCase



class StatusIconAndPopover(E2ETestCase):

    def launch_open(self):
        app = self.launch()
        app.wait_lines(STARTUP, timeout=10)
        self.wait_popover_shown(app)
        return app

    def toggle_with_icon(self, app, expected):
        m = app.mark()
        self.click_tray_icon(app)
        app.wait_lines(expected, since=m)
        if expected == CLOSE:
            self.wait_popover_hidden(app)
        else:
            self.wait_popover_shown(app)
        self.assert_quiet(app, m + len(expected), SETTLE)

    def test_launch_shows_icon_then_opens_popover_after_about_a_second(self):
        app = self.launch()
        self.tray_icon_rect(app, timeout=5)
        t_ready, t_open = app.wait_lines(STARTUP, timeout=10)
        self.assertGreaterEqual(t_ready, 0.8, app.report())
        self.assertLessEqual(t_ready, 3.0, app.report())
        self.assertLessEqual(t_open - t_ready, 1.0, app.report())
        self.wait_popover_shown(app, timeout=3)
        self.assertEqual(app.lines(), STARTUP, app.report())

    def test_popover_sits_under_the_icon_and_holds_the_panel(self):
        app = self.launch_open()
        icon = self.tray_icon_rect(app)
        panel = self.x.geometry(self.x.tray_panel())
        pop = self.popover_rect(app)
        screen = self.x.screen_rect
        self.screenshot("popover-open")
        where = f"popover {pop}, icon {icon}, tray panel {panel}, screen {screen}"

        # Just below the tray panel, not over it and not far down the screen.
        self.assertGreaterEqual(pop.y, panel.bottom - 2, where)
        self.assertLessEqual(pop.y, panel.bottom + 40, where)
        # Horizontally under the icon: the icon's centre lies over the popover's span.
        icon_x = icon.center[0]
        self.assertTrue(pop.x - 16 <= icon_x <= pop.right + 16, where)
        # Whole on screen even though the icon is at the right edge.
        self.assertTrue(pop.x >= 0 and pop.y >= 0 and pop.right <= screen.right
                        and pop.bottom <= screen.bottom, where)

        root = self.a11y.application(app.pid)
        window = self.a11y.find(root, name="Recorder")
        self.assertEqual(self.a11y.extents(window), pop, self.a11y.dump(root))
        for name in ("Record", "Stop", "Settings"):
            with self.subTest(button=name):
                button = self.widget(app, name)
                r = self.a11y.extents(button)
                self.assertTrue(pop.contains(*r.center), f"{name} at {r} outside {where}")
        self.assertEqual(self.elapsed_text(app), "00 : 00 : 00")

    def test_icon_click_closes_and_next_click_reopens(self):
        app = self.launch_open()
        for cycle in range(2):
            with self.subTest(cycle=cycle):
                self.toggle_with_icon(app, CLOSE)
                self.toggle_with_icon(app, OPEN)

    def test_click_inside_popover_keeps_it_open(self):
        app = self.launch_open()
        m = app.mark()
        label = self.widget(app, "Elapsed time", role="label")
        self.click_rect(self.a11y.extents(label))
        self.assert_quiet(app, m, SETTLE)
        self.assertIsNotNone(self.popover_rect(app))

    def test_left_or_right_click_on_another_client_closes(self):
        app = self.launch_open()
        _, logo = self.start_x_client()
        pop = self.popover_rect(app)
        self.assertFalse(pop.contains(*logo.center), f"xlogo {logo} under the popover {pop}")
        for button in (1, 3):
            with self.subTest(button=button):
                if self.popover_rect(app) is None:
                    self.toggle_with_icon(app, OPEN)
                m = app.mark()
                self.click_rect(logo, button=button)
                app.wait_lines(CLOSE, since=m)
                self.wait_popover_hidden(app)
                self.assert_quiet(app, m + len(CLOSE), SETTLE)

    def test_clicks_elsewhere_while_hidden_write_nothing(self):
        app = self.launch_open()
        _, logo = self.start_x_client()
        self.toggle_with_icon(app, CLOSE)
        m = app.mark()
        self.click_rect(logo, button=1)
        self.click_rect(logo, button=3)
        self.click_at(640, 700, button=1)   # bare desktop
        self.assert_quiet(app, m, SETTLE)
        self.assertEqual(self.popover_windows(app), [])
        # And the icon still works afterwards.
        self.toggle_with_icon(app, OPEN)


class WithoutTrayHost(E2ETestCase):

    def test_panel_opens_in_an_ordinary_window_and_says_why(self):
        self.tray.stop()
        self.addCleanup(self.tray.start)
        app = self.launch()
        reason = app.wait_err(lambda line: line.strip() and not line.startswith("qt."), timeout=20)
        rect = self.wait_popover_shown(app, timeout=20)
        self.screenshot("no-tray-window")
        screen = self.x.screen_rect
        self.assertTrue(rect.x >= 0 and rect.y >= 0 and rect.right <= screen.right
                        and rect.bottom <= screen.bottom, f"window {rect} off screen {screen}")
        self.assertTrue(reason.strip(), app.report())
        for name in ("Record", "Stop", "Settings"):
            with self.subTest(button=name):
                self.widget(app, name)
        self.assertEqual(self.elapsed_text(app), "00 : 00 : 00")


if __name__ == "__main__":
    unittest.main()
