"""Only one recorder runs per session: a second launch hands over to the running one."""

import time
import unittest

from harness import CLOSE, OPEN, SETTLE, App, E2ETestCase



class SecondLaunch(E2ETestCase):

    def launch_second(self, first):
        """Launches the app again with the first one's environment; returns (app, exit status,
        seconds it ran)."""
        second = App(env=first.env, name="second launch")
        self.apps.append(second)
        second.start()
        self.addCleanup(second.stop)
        rc = second.wait_exit(5)
        return second, rc, time.monotonic() - second.t_launch

    def test_second_launch_exits_at_once_and_the_running_one_opens_its_panel(self):
        first = self.launch_ready()
        icon = self.tray_icon_rect(first)
        m = first.mark()
        self.click_tray_icon(first)
        first.wait_lines(CLOSE, since=m)
        self.wait_popover_hidden(first)

        for attempt in range(2):        # the second time with the panel already open
            with self.subTest(panel="hidden" if attempt == 0 else "open"):
                m = first.mark()
                second, rc, seconds = self.launch_second(first)
                self.assertEqual(rc, 0, second.report())
                self.assertLess(seconds, 2.0, second.report())
                self.assertTrue(any(line.strip() for line in second.err_lines()),
                                f"the second launch says nothing on stderr\n{second.report()}")
                self.assertEqual(second.lines(), [], second.report())
                self.wait_popover_shown(first)
                if attempt == 0:
                    first.wait_lines(OPEN, since=m)
                self.assert_quiet(first, first.mark(), SETTLE)
                self.assertTrue(first.running())
                # One icon in the tray: the first one's, where it was.
                panel = self.x.tray_panel()
                icons = [w for w in self.x.walk(panel) if self.x.pid_of(w) in (first.pid, second.pid)
                         and self.x.is_viewable(w)]
                self.assertEqual(len(icons), 1, f"{len(icons)} icons of ours in the tray")
                self.assertEqual(self.tray_icon_rect(first), icon)
                self.assertFalse(self.x.windows_of(second.pid))

        # The running one still works as before.
        m = first.mark()
        self.click_tray_icon(first)
        first.wait_lines(CLOSE, since=m)
        self.wait_popover_hidden(first)

    def test_a_recorder_killed_earlier_does_not_stop_the_next_launch(self):
        first = self.launch_ready()
        first.send_signal(9)
        first.wait_exit(5)
        second = self.launch_ready(fresh_config=False, env={"XDG_CONFIG_HOME": first.env["XDG_CONFIG_HOME"]})
        self.tray_icon_rect(second)
        self.assertTrue(second.running())


if __name__ == "__main__":
    unittest.main()
