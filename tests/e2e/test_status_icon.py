"""What the status icon tells without opening the panel (its image, tooltip and status through
a recording), and the save dialog opening in the last recording's folder after a relaunch."""

import os
import shutil
import subprocess
import tempfile
import time

from harness import CLOSE, OPEN, PAUSED, SESSION_DIR, STARTUP, E2ETestCase, wait_for
from statusbars import pick_pixmap
from test_status_bars import XfcePanelCase


def _reds(argb):
    """How many opaque, clearly red pixels ARGB32 bytes hold."""
    return sum(1 for i in range(0, len(argb), 4)
               if argb[i] > 128 and argb[i + 1] > 170 and argb[i + 2] < 100 and argb[i + 3] < 100)


class TrayIcon(E2ETestCase):
    def test_the_tray_icon_shows_a_red_dot_only_while_recording(self):
        app = self.launch_ready()

        def reds(name):
            r = self.tray_icon_rect(app)
            rgba = subprocess.run(["convert", str(self.screenshot(name)), "-crop", f"{r.width}x{r.height}+{r.x}+{r.y}",
                                   "-depth", "8", "rgba:-"], capture_output=True, check=True, timeout=30).stdout
            return _reds(bytes(rgba[i + k] for i in range(0, len(rgba), 4) for k in (3, 0, 1, 2)))

        self.assertEqual(reds("idle"), 0)
        self.start_recording(app, self.new_folder() / "take.caf")
        wait_for(lambda: reds("recording") > 6, 5, "a red dot on the tray icon")

        # The tray asks for the tooltip on hover: it reads the time of that moment.
        self.click_tray_icon(app)
        self.wait_popover_hidden(app)
        time.sleep(2.0)
        x, y = self.tray_icon_rect(app).center
        self.pointer.move(x, y)
        self.pointer.move(x + 1, y + 1)     # Qt waits for the pointer to rest inside
        tip = self.a11y.find(self.a11y.application(app.pid), role="tool tip", name_prefix="Recording",
                             showing=None, timeout=5)
        self.assertRegex(tip.get_name(), r"^Recording 00 : 00 : 0[234]$")
        self.pointer.move(0, 0)
        self.click_tray_icon(app)
        self.wait_popover_shown(app)
        self.stop_recording(app)
        wait_for(lambda: reds("stopped") == 0, 5, "the red dot gone")


class StatusIcon(XfcePanelCase):
    def launch_on(self, env):
        app = self.launch(fresh_config=False, env=env)
        item = self.sni.wait_item(app.pid, timeout=5)
        app.wait_lines(STARTUP, timeout=10)
        self.wait_popover_shown(app)
        return app, item

    def test_the_item_follows_a_recording_and_the_dialog_reopens_in_its_folder(self):
        bar = self.status_bar()
        env = {"XDG_CONFIG_HOME": tempfile.mkdtemp(prefix="config-", dir=SESSION_DIR)}
        app, item = self.launch_on(env)

        def look():
            props = self.sni.properties(item)
            return props["ToolTip"][2], props["Status"], pick_pixmap(props["IconPixmap"], 22)[2]

        def toggle(lines):
            m = app.mark()
            self.activate(item, *bar.icon_rect().center)()
            app.wait_lines(lines, since=m)

        idle = look()
        self.assertEqual(idle[:2], ("Registratore", "Active"))
        folder = self.new_folder("takes ")
        self.start_recording(app, folder / "one.caf")
        toggle(CLOSE)   # the panel's tick sleeps: the tooltip's own clock moves it on
        first = wait_for(lambda: (t := look()[0]).startswith("Recording") and t, 5, "a Recording tooltip")
        tip, status, icon = wait_for(lambda: (s := look())[0] != first and s, 3, "the time to move on")
        self.assertRegex(tip, r"^Recording 00 : 00 : \d\d$")
        self.assertEqual(status, "NeedsAttention")     # the microphone is live
        self.assertGreater(_reds(icon), 6, "no red dot on the recording icon")

        toggle(OPEN)
        self.press_record_button(app, "Pause", PAUSED)
        paused = wait_for(lambda: (s := look())[0].startswith("Paused") and s, 5, "a Paused tooltip")
        self.assertEqual(paused[1], "Active")
        self.assertEqual(_reds(paused[2]), 0)
        self.assertNotEqual(paused[2], idle[2])
        self.stop_recording(app)
        wait_for(lambda: look() == idle, 5, "the idle item back")

        # Relaunched, the dialog opens where the recording went, until that folder is gone.
        app.stop()
        app, item = self.launch_on(env)
        home = os.environ["HOME"]
        for expected in ([str(folder)], [home + "/Music", home]):
            self.open_save_dialog(app)
            # Its "Look in" box is named after the folder shown.
            shown = self.a11y.find(self.a11y.application(app.pid), role="combo box", name_prefix="/")
            self.assertIn(shown.get_name(), expected)
            self.cancel_save_dialog(app)
            shutil.rmtree(folder, ignore_errors=True)
