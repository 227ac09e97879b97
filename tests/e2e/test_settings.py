"""The settings popup under the panel's Settings button: the quality preset (stored, and used
by the next recording), Contact Us, Quit, and how the popup closes."""

import configparser
import re
import tempfile
import time
import unittest
from pathlib import Path

from harness import (CLOSE, PAUSED, SECONDS_PREFIX, SESSION_DIR, SETTLE, STOPPED, E2ETestCase, play,
                     recording_start, tone_wav, wait_for)

RATES = {"Low": 12000, "Medium": 24000, "High": 48000}
CODES = {"Low": 0, "Medium": 1, "High": 2}
ROWS = ["Quality : {}", "Contact Us", "Quit"]
ROW_CHOSEN = ["tableViewSelectionDidChange", "indirizzo selezionato : {}"]


def rows(quality):
    return [ROWS[0].format(quality)] + ROWS[1:]


def stored_quality(config_home):
    """The preset code in the preferences file, or None when nothing is stored."""
    path = Path(config_home) / "registratore" / "registratore.conf"
    if not path.exists():
        return None
    parser = configparser.ConfigParser()
    parser.read(path)
    value = parser.get("General", "qualitaAudio", fallback=None)
    return int(value) if value is not None else None


class SettingsPopup(E2ETestCase):

    def launch_with_config(self, config_home):
        return self.launch_ready(fresh_config=False, env={"XDG_CONFIG_HOME": str(config_home)})

    def choose_row(self, app, popup, row):
        m = app.mark()
        self.click_settings_row(popup, row)
        app.wait_lines([line.format(row) for line in ROW_CHOSEN], since=m)
        return m

    def step_quality(self, app, popup, expected):
        """Clicks the quality row; waits for the row to read the expected preset."""
        m = self.choose_row(app, popup, 0)
        app.wait_line("arrayMenu : [" + ", ".join(f'"{r}"' for r in rows(expected)) + "]", since=m)
        wait_for(lambda: self.settings_rows(popup) == rows(expected), 5,
                 lambda: f"the rows to read {rows(expected)} (they read {self.settings_rows(popup)})")

    def close_popup_inside_panel(self, app):
        """Closes the popup the way a user does, with a click beside it (on the panel's time)."""
        label = self.widget(app, "Elapsed time", role="label")
        self.click_rect(self.a11y.extents(label))
        wait_for(lambda: not self.settings_popup_rect(app), 5, "the settings popup to close")

    def record_briefly(self, app, path, seconds=1.2):
        self.start_recording(app, path)
        time.sleep(seconds)
        self.stop_recording(app)

    def test_quality_row_steps_through_presets_and_the_next_recording_uses_it(self):
        config = Path(tempfile.mkdtemp(prefix="config-", dir=SESSION_DIR))
        folder = self.new_folder()
        app = self.launch_with_config(config)
        self.assertIsNone(stored_quality(config))
        m = app.mark()
        popup = self.open_settings_popup(app)
        self.screenshot("settings-popup")

        # The popup sits under the Settings button; the log gives the button's bounds.
        button = self.a11y.extents(self.widget(app, "Settings"))
        self.assertEqual(app.lines(m)[1], f"bounds : {{{{0, 0}}, {{{button.width}, {button.height}}}}}")
        rect = self.settings_popup_rect(app)
        self.assertTrue(rect.x <= button.center[0] < rect.right and button.bottom - 2 <= rect.y <= button.bottom + 10,
                        f"popup {rect}, button {button}")
        self.assertEqual(self.settings_rows(popup), rows("Medium"))

        for expected in ("High", "Low", "Medium"):
            with self.subTest(to=expected):
                self.step_quality(app, popup, expected)
                self.assertEqual(stored_quality(config), CODES[expected])
                self.assertIsNotNone(self.settings_popup_rect(app), "the popup closed after a choice")

        self.step_quality(app, popup, "High")
        self.close_popup_inside_panel(app)
        high = folder / "at high quality.caf"
        self.record_briefly(app, high)
        self.assert_recording(high, RATES["High"])

        # The choice outlives the app: a new launch shows it and the next step is Low.
        self._stop_app(app)
        app = self.launch_with_config(config)
        popup = self.open_settings_popup(app)
        self.assertEqual(self.settings_rows(popup), rows("High"))
        self.step_quality(app, popup, "Low")
        self.close_popup_inside_panel(app)
        low = folder / "at low quality.caf"
        self.record_briefly(app, low)
        self.assert_recording(low, RATES["Low"])

    def test_an_outside_click_closes_the_popup_without_choosing(self):
        app = self.launch_ready()
        _, logo = self.start_x_client()
        popup = self.open_settings_popup(app)
        rect = self.settings_popup_rect(app)
        self.assertFalse(rect.contains(*logo.center))
        m = app.mark()
        self.click_rect(logo)
        wait_for(lambda: not self.settings_popup_rect(app), 5, "the settings popup to close")
        self.assertFalse(self.a11y.is_showing(popup))
        # The click outside also closes the panel, as any outside click does; nothing is chosen.
        app.wait_lines(CLOSE, since=m)
        self.assert_quiet(app, m + len(CLOSE), SETTLE)

    def test_contact_us_without_a_mail_program_keeps_the_app_working(self):
        app = self.launch_ready()
        popup = self.open_settings_popup(app)
        m = self.choose_row(app, popup, 1)
        app.wait_lines(ROW_CHOSEN[:1] + [ROW_CHOSEN[1].format(1), "contact us"], since=m)
        time.sleep(1.0)
        self.assertTrue(app.running(), app.report())
        # Still answering: the popup closes and the panel records.
        self.close_popup_inside_panel(app)
        path = self.new_folder() / "after contact.caf"
        self.record_briefly(app, path, seconds=0.5)
        self.assert_recording(path, RATES["Medium"])

    def test_quit_during_a_recording_completes_the_file_and_exits_0(self):
        folder = self.new_folder()
        tone = tone_wav(folder / "tone.wav", 8.0, frequency=440)
        app = self.launch_ready()
        app.expect_exit = True
        tap = self.mic_tap()
        path = folder / "cut short by quit.caf"
        t_start = self.start_recording(app, path)
        time.sleep(0.5)
        player = play(tone, wait=False)        # sounding until after the quit
        self.addCleanup(lambda: player.poll() is None and player.kill())
        time.sleep(1.5)
        popup = self.open_settings_popup(app)
        m = self.choose_row(app, popup, 2)
        times = app.wait_lines(STOPPED, since=m + len(ROW_CHOSEN))
        t_quit = app.seconds(times[0])
        rc = app.wait_exit(10)
        player.kill()
        tap.stop()
        self.assertEqual(rc, 0, app.report())
        self.assertTrue(any(line.startswith(SECONDS_PREFIX) for line in app.lines(m)), app.report())
        sound = self.assert_recording(path, RATES["Medium"])
        lost = t_quit - (recording_start(tap, sound) + sound.seconds)
        facts = (f"file {sound.seconds:.3f}s, recorded {t_quit - t_start:.3f}s, "
                 f"the last {lost * 1000:.0f} ms before Quit lost")
        print(f"\n  quit: {facts}")
        self.assertAlmostEqual(sound.seconds, t_quit - t_start, delta=0.3, msg=facts)
        self.assertLessEqual(lost, 0.15, facts)

    def test_the_popup_does_not_pause_a_recording(self):
        app = self.launch_ready()
        path = self.new_folder() / "with the popup open.caf"
        t_start = self.start_recording(app, path)
        time.sleep(1.2)
        m = app.mark()
        popup = self.open_settings_popup(app)
        t_open = time.monotonic()
        shown_at_open = self.elapsed_text(app)
        time.sleep(2.2)
        shown_later = self.elapsed_text(app)
        self.assertIsNotNone(self.settings_popup_rect(app))
        seconds = [int(re.fullmatch(r"\d\d : \d\d : (\d\d)", t).group(1)) for t in (shown_at_open, shown_later)]
        self.assertGreaterEqual(seconds[1] - seconds[0], 2,
                                f"{shown_at_open!r} then {shown_later!r} {time.monotonic() - t_open:.1f}s later")
        self.assertNotIn(PAUSED[0], app.lines(m))
        self.assertTrue(self.a11y.is_showing(popup))
        self.close_popup_inside_panel(app)
        self.widget(app, "Pause")
        t_stop, _ = self.stop_recording(app)
        sound = self.assert_recording(path, RATES["Medium"])
        self.assertAlmostEqual(sound.seconds, t_stop - t_start, delta=0.3,
                               msg=f"file {sound.seconds:.3f}s, recorded {t_stop - t_start:.3f}s")


if __name__ == "__main__":
    unittest.main()
