"""What the status icon tells without opening the panel: its image and tooltip through a
recording, on the XEmbed tray and on a StatusNotifierItem host; and the save dialog opening
in the folder of the last recording, after a relaunch too."""

import shutil
import subprocess
import tempfile
import time

from harness import CLOSE, OPEN, PAUSED, SESSION_DIR, STARTUP, E2ETestCase, wait_for
from sni_host import pick_pixmap
from test_status_bars import StatusNotifierCase

IDLE_TIP = "Registratore"


def _is_red(r, g, b):
    return r > 170 and g < 100 and b < 100


def _pixels(png, rect):
    """The (r, g, b) pixels of rect in a screenshot."""
    raw = subprocess.run(["convert", str(png), "-crop", f"{rect.width}x{rect.height}+{rect.x}+{rect.y}",
                          "+repage", "-depth", "8", "rgb:-"], capture_output=True, check=True,
                         timeout=30).stdout
    return [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]


def _argb_reds(pixmap):
    w, h, data = pixmap
    return sum(1 for i in range(0, w * h * 4, 4) if data[i] > 128 and _is_red(*data[i + 1:i + 4]))


class StatusIconOnTheTray(E2ETestCase):
    def icon_pixels(self, app, name):
        rect = self.tray_icon_rect(app)
        return _pixels(self.screenshot(name), rect)

    def dialog_folder(self, app):
        """The folder the open save dialog shows: its "Look in" box is named after it."""
        root = self.a11y.application(app.pid)
        return self.a11y.find(root, role="combo box", name_prefix="/").get_name()

    def test_the_icon_shows_recording_and_pause_and_the_dialog_reopens_in_the_last_folder(self):
        config = tempfile.mkdtemp(prefix="config-", dir=SESSION_DIR)
        env = {"XDG_CONFIG_HOME": config}
        app = self.launch_ready(fresh_config=False, env=env)
        idle = self.icon_pixels(app, "idle")
        self.assertFalse(any(_is_red(*p) for p in idle), "the idle icon shows red")

        folder = self.new_folder("takes ")
        self.start_recording(app, folder / "one.caf")
        m = app.mark()
        self.click_tray_icon(app)   # the panel closes: the tooltip's clock runs on alone
        app.wait_lines(CLOSE, since=m)
        self.wait_popover_hidden(app)
        recording = wait_for(lambda: (p := self.icon_pixels(app, "recording")) != idle and p, 5,
                             "the icon to change when recording starts")
        self.assertGreater(sum(_is_red(*p) for p in recording), 6, "no red dot on the recording icon")

        m = app.mark()
        self.click_tray_icon(app)
        app.wait_lines(OPEN, since=m)
        self.press_record_button(app, "Pause", PAUSED)
        paused = wait_for(lambda: (p := self.icon_pixels(app, "paused")) != recording and p, 5,
                          "the icon to change when paused")
        self.assertNotEqual(paused, idle)
        self.assertFalse(any(_is_red(*p) for p in paused), "the paused icon still shows red")
        self.stop_recording(app)
        wait_for(lambda: self.icon_pixels(app, "stopped") == idle, 5, "the idle icon back after stop")

        # Relaunched, the dialog opens where the recording went, until that folder is gone.
        app.stop()
        app = self.launch_ready(fresh_config=False, env=env)
        self.open_save_dialog(app)
        self.assertEqual(self.dialog_folder(app), str(folder))
        self.cancel_save_dialog(app)
        shutil.rmtree(folder)
        self.open_save_dialog(app)
        self.assertNotEqual(self.dialog_folder(app), str(folder))
        self.cancel_save_dialog(app)


class StatusIconOnStatusNotifierHost(StatusNotifierCase):
    def test_the_item_tooltip_and_icon_follow_a_recording(self):
        host = self.start_host(panel=True)
        app = self.launch()
        item = host.wait_item(pid=app.pid, timeout=5)
        app.wait_lines(STARTUP, timeout=10)
        self.wait_popover_shown(app)

        def look():
            props = host.properties(item)
            return props["ToolTip"][2], props["Status"], pick_pixmap(props["IconPixmap"], 22)

        tip, status, idle = look()
        self.assertEqual((tip, status), (IDLE_TIP, "Active"))
        self.start_recording(app, self.new_folder() / "take.caf")
        m = app.mark()
        host.activate(item, *host.panel_cell(item)[:2])
        app.wait_lines(CLOSE, since=m)
        self.wait_popover_hidden(app)
        first = wait_for(lambda: (t := look()[0]).startswith("Recording") and t, 5, "a Recording tooltip")
        later = wait_for(lambda: (t := look()[0]) != first and t, 3, "the tooltip's time to move on")
        self.assertRegex(later, r"^Recording 00 : 00 : \d\d$")
        tip, status, icon = look()
        # Qt 6.4's QSystemTrayIcon keeps the item Active: the image is what tells.
        self.assertEqual(status, "Active")
        self.assertNotEqual(icon, idle)
        self.assertGreater(_argb_reds(icon), 6, "no red dot on the recording icon")

        m = app.mark()
        host.activate(item, *host.panel_cell(item)[:2])
        app.wait_lines(OPEN, since=m)
        self.press_record_button(app, "Pause", PAUSED)
        tip = wait_for(lambda: (t := look()[0]).startswith("Paused") and t, 5, "a Paused tooltip")
        time.sleep(1.2)
        self.assertEqual(look()[0], tip, "the paused time moved on")
        self.assertEqual(_argb_reds(look()[2]), 0)
        self.stop_recording(app)
        wait_for(lambda: look()[0] == IDLE_TIP, 5, "the idle tooltip back")
        self.assertEqual(look()[2], idle)
