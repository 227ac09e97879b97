"""Recording from the panel on a real desktop: the save dialog, the file, the sound in it,
pausing, failures to create the file, and the app ending during a recording."""

import datetime
import os
import re
import signal
import subprocess
import time
import unittest
from pathlib import Path

from harness import (CANCELED, CLOSE, CLOSE_REFUSED, CREATE_FAILED, MIC2_SINK, MIC_SINK, PAUSED,
                     RECORD_PRESSED, RECORDING_STARTED, RESUMED, SECONDS_PREFIX, STOPPED,
                     E2ETestCase, decode, play, run, set_default_source, speech_wav, tone_wav,
                     wait_for)

MEDIUM_RATE = 24000
ZERO = "00 : 00 : 00"
SETTLE = 0.8
SPEECH = "one two three four five, this is a test of the recorder"
LOUD_DB = -35.0         # espeak-ng speech and the test tones are far above this
SILENT_DB = -70.0       # the virtual microphone delivers exact zeros when nothing plays


def shown_seconds(text):
    m = re.fullmatch(r"(\d\d) : (\d\d) : (\d\d)", text)
    if not m:
        raise AssertionError(f"the elapsed time reads {text!r}, not HH : MM : SS")
    h, mi, s = map(int, m.groups())
    return h * 3600 + mi * 60 + s


def new_caf_files(folder, before):
    return sorted(p for p in Path(folder).rglob("*.caf") if p not in before)


class Recording(E2ETestCase):

    def wait_next_tick(self, app, timeout=3.0):
        """Waits until the elapsed time shows a new second; returns (text, monotonic time)."""
        first = self.elapsed_text(app)
        text = wait_for(lambda: (t := self.elapsed_text(app)) != first and t, timeout,
                        f"the elapsed time to move on from {first!r}", interval=0.02)
        return text, time.monotonic()

    def test_record_pause_resume_stop_keeps_the_spoken_words(self):
        folder = self.new_folder()
        path = folder / "interview with the mayor.caf"
        speech, speech_seconds = speech_wav(SPEECH)
        pause_tone = tone_wav(folder / "pause-tone.wav", 1.0, frequency=1000)
        resume_tone = tone_wav(folder / "resume-tone.wav", 0.6, frequency=440)

        app = self.launch_ready()
        m = app.mark()
        t_start = self.start_recording(app, path)
        self.assertTrue(path.exists(), "the file exists as soon as the recording starts")
        play(speech)
        time.sleep(0.5)

        # The time shown follows the recording, in whole seconds.
        text, t_tick = self.wait_next_tick(app)
        recorded = t_tick - t_start
        self.assertTrue(shown_seconds(text) <= recorded <= shown_seconds(text) + 1.3,
                        f"{text!r} shown {recorded:.2f}s after the start")

        t_pause = self.press_record_button(app, "Pause", PAUSED)
        self.widget(app, "Record")
        time.sleep(0.4)
        frozen = self.elapsed_text(app)
        play(pause_tone)        # while paused: must not reach the file
        time.sleep(0.3)
        self.assertEqual(self.elapsed_text(app), frozen, "the time moved while paused")

        t_resume = self.press_record_button(app, "Record", RESUMED)
        self.widget(app, "Pause")
        play(resume_tone)
        time.sleep(0.6)
        # Stop right after the time shown moves on, so the last second shown is exact.
        last_shown, _ = self.wait_next_tick(app)
        t_stop, seconds_field = self.stop_recording(app)

        self.widget(app, "Record")
        self.assertEqual(self.elapsed_text(app), ZERO)
        self.assertEqual(app.lines(m), RECORD_PRESSED + RECORDING_STARTED + PAUSED + RESUMED + STOPPED
                         + [f"{SECONDS_PREFIX}{seconds_field}"], app.report())

        sound = self.assert_recording(path, MEDIUM_RATE)
        expected = (t_stop - t_start) - (t_resume - t_pause)
        facts = (f"file {sound.seconds:.3f}s, expected {expected:.3f}s (started {t_start:.3f}, paused "
                 f"{t_pause:.3f}, resumed {t_resume:.3f}, stopped {t_stop:.3f}), last shown {last_shown!r}")
        print(f"\n  recording: {facts}")
        self.assertAlmostEqual(sound.seconds, expected, delta=0.3, msg=facts)
        self.assertLessEqual(abs(sound.seconds - shown_seconds(last_shown)), 1.0, facts)
        self.assertIn(seconds_field, {int(sound.seconds + d) % 60 for d in (-0.3, 0, 0.3)}, facts)

        # Before the pause: the speech, loud; after it, silence up to the pause.
        before_pause = t_pause - t_start
        speech_level = sound.dbfs(0, speech_seconds)
        self.assertGreater(speech_level, LOUD_DB, f"speech at {speech_level:.1f} dBFS; {facts}")
        self.assertGreaterEqual(sound.loud_seconds(LOUD_DB, end=speech_seconds + 0.2),
                                0.4 * speech_seconds, f"too little of the speech is in the file; {facts}")
        self.assertLess(sound.dbfs(speech_seconds + 0.25, before_pause - 0.05), SILENT_DB, facts)
        # After the resume: the 440 Hz tone only, never the 1000 Hz one played while paused.
        after = [(t, db) for t, db in sound.levels(0.05) if t >= before_pause and db > LOUD_DB]
        self.assertTrue(after, f"nothing loud after the resume; {facts}")
        loud_from, loud_to = after[0][0], after[-1][0] + 0.05
        self.assertAlmostEqual(loud_to - loud_from, 0.6, delta=0.2, msg=f"loud {loud_from:.2f}-{loud_to:.2f}s")
        self.assertAlmostEqual(sound.frequency(loud_from + 0.05, loud_to - 0.05), 440, delta=25,
                               msg="the sound after the resume is not the resume tone alone")
        self.assertLess(sound.dbfs(sound.seconds - 0.3), SILENT_DB, "the end of the file is not silent")

    def test_a_tone_started_at_confirming_is_at_the_start_of_the_file(self):
        folder = self.new_folder()
        path = folder / "first words.caf"
        tone = tone_wav(folder / "tone.wav", 2.0, frequency=440)
        app = self.launch_ready()
        self.open_save_dialog(app)
        self.type_into_file_dialog(app, path, accept=False)
        m = app.mark()
        t_confirm = time.monotonic()
        self.pointer.key("Return")
        player = play(tone, wait=False)
        self.addCleanup(lambda: player.poll() is None and player.kill())
        t_started = app.seconds(app.wait_lines(RECORDING_STARTED, since=m)[1])
        player.wait(10)
        t_stop, _ = self.stop_recording(app)

        sound = self.assert_recording(path, MEDIUM_RATE)
        onset = sound.first_loud(-30.0, window=0.002)
        self.assertIsNotNone(onset, "the tone is not in the file")
        # Where the file starts, measured back from its end at Stop.
        file_start = t_stop - sound.seconds
        facts = (f"tone onset {onset * 1000:.0f} ms into the file; file starts "
                 f"{(file_start - t_confirm) * 1000:.0f} ms after Return, confirm → first sound in the file "
                 f"{(file_start + onset - t_confirm) * 1000:.0f} ms; app said started "
                 f"{(t_started - t_confirm) * 1000:.0f} ms after Return; file {sound.seconds:.3f}s")
        print(f"\n  first sound: {facts}")
        self.assertLessEqual(onset, 0.1, facts)
        self.assertLessEqual(file_start - t_confirm, 0.3, facts)
        # All of the tone (2 s) is there, started inside the file.
        self.assertGreaterEqual(sound.loud_seconds(-30.0, window=0.01), 1.9, facts)

    def test_cancel_leaves_no_file_and_the_panel_ready(self):
        home = Path(os.environ["HOME"])
        before = set(home.rglob("*.caf"))
        app = self.launch_ready()
        m = app.mark()
        field = self.open_save_dialog(app)
        self.screenshot("save-dialog")

        proposed = self.a11y.text(field)
        found = re.fullmatch(r"Recording on (\d\d-\d\d-\d\d \d{6})", proposed or "")
        self.assertIsNotNone(found, f"proposed name {proposed!r}")
        when = datetime.datetime.strptime(found.group(1), "%d-%m-%y %H%M%S")
        self.assertLess(abs((datetime.datetime.now() - when).total_seconds()), 60, proposed)
        root = self.a11y.application(app.pid)
        filters = [c.get_name() for c in self.a11y.find_all(root, role="combo box", showing=True)
                   if "*." in (c.get_name() or "")]
        self.assertEqual(len(filters), 1, self.a11y.dump(root))
        self.assertEqual(re.findall(r"\*\.\w+", filters[0]), ["*.caf"], filters)

        self.cancel_save_dialog(app)
        self.assertEqual(app.lines(m), RECORD_PRESSED + CANCELED, app.report())
        self.assert_quiet(app, app.mark(), SETTLE)
        self.widget(app, "Record")
        self.assertEqual(self.elapsed_text(app), ZERO)
        self.assertIsNone(self.message_text(app))
        self.assertEqual(new_caf_files(home, before), [])
        self.assertEqual(list(Path(os.environ["E2E_SESSION_DIR"]).rglob("Recording on*")), [])
        # Stop in the ready state does nothing but say so.
        m = app.mark()
        self.click_widget(app, "Stop")
        app.wait_lines(["stop"], since=m)
        self.assert_quiet(app, m + 1, SETTLE)

    def test_an_existing_file_is_replaced_only_after_yes(self):
        folder = self.new_folder()
        path = folder / "already here.caf"
        path.write_bytes(b"an earlier recording")
        app = self.launch_ready()
        self.open_save_dialog(app)
        m = app.mark()
        self.type_into_file_dialog(app, path)
        root = self.a11y.application(app.pid)
        no = self.a11y.find(root, name="No", role="push button")
        self.screenshot("replace-question")
        self.click_rect(self.a11y.extents(no))
        # Back in the dialog, nothing written.
        self.a11y.find(root, role="text", name_prefix="File name")
        self.assert_quiet(app, m, SETTLE)
        self.assertIsNotNone(self.save_dialog_rect(app))
        self.assertEqual(path.read_bytes(), b"an earlier recording")

        self.type_into_file_dialog(app, path, confirm_overwrite=True)
        app.wait_lines(RECORDING_STARTED, since=m)
        time.sleep(1.0)
        self.stop_recording(app)
        sound = self.assert_recording(path, MEDIUM_RATE)
        self.assertGreater(sound.seconds, 0.8)

    def test_a_file_that_cannot_be_created_is_reported_and_the_panel_stays_usable(self):
        folder = self.new_folder()
        not_a_folder = folder / "notes.txt"
        not_a_folder.write_text("a file, not a folder\n")
        read_only = folder / "read-only disk"
        read_only.mkdir()
        mounted = run(["mount", "-t", "tmpfs", "-o", "ro,size=1m", "tmpfs", str(read_only)],
                      check=False).returncode == 0
        if mounted:
            self.addCleanup(run, ["umount", "-l", str(read_only)], check=False)
        places = {"under a regular file": not_a_folder / "take one.caf",
                  "on a read-only file system": read_only / "take one.caf",
                  "inside /proc": Path("/proc/registratore take one.caf")}

        app = self.launch_ready()
        for where, path in places.items():
            with self.subTest(where=where):
                if where == "on a read-only file system" and not mounted:
                    self.skipTest("cannot mount a read-only tmpfs here")
                m = app.mark()
                self.open_save_dialog(app)
                self.type_into_file_dialog(app, path)
                i, _ = app.wait_line(CREATE_FAILED, since=m)
                app.wait_line(RECORDING_STARTED[0], since=i + 1)
                lines = app.lines(m)
                reason = lines[lines.index(CREATE_FAILED) + 1]
                self.assertTrue(reason.strip() and reason != RECORDING_STARTED[0], app.report())
                self.assertNotIn(RECORDING_STARTED[1], lines)
                wait_for(lambda: not self.save_dialog_rect(app), 10, "the save dialog to close")
                self.widget(app, "Record")
                message = wait_for(lambda: self.message_text(app), 5, "a message in the panel")
                self.screenshot(f"cannot-create-{where.replace(' ', '-')}")
                self.assertFalse(path.exists())
                self.assertIsNotNone(self.popover_rect(app))
                self.assertEqual(self.elapsed_text(app), ZERO)
                self.assert_quiet(app, app.mark(), SETTLE)
                self.assertTrue(message.strip(), message)
                # The panel is usable: Record opens the dialog again.
                self.open_save_dialog(app)
                self.cancel_save_dialog(app)
                self.widget(app, "Record")
        # And a recording to a good place still works afterwards.
        good = folder / "take two.caf"
        self.start_recording(app, good)
        self.assertIsNone(self.message_text(app))
        time.sleep(1.0)
        self.stop_recording(app)
        self.assert_recording(good, MEDIUM_RATE)

    def test_outside_click_while_the_save_dialog_is_up_is_refused(self):
        app = self.launch_ready()
        _, logo = self.start_x_client()
        self.open_save_dialog(app)
        dialog = self.save_dialog_rect(app)
        pop = self.popover_rect(app)
        self.assertFalse(dialog.contains(*logo.center) or pop.contains(*logo.center),
                         f"xlogo {logo} under the dialog {dialog} or the popover {pop}")
        m = app.mark()
        self.click_rect(logo)
        app.wait_lines([CLOSE_REFUSED], since=m)
        self.assert_quiet(app, m + 1, SETTLE)
        self.assertIsNotNone(self.popover_rect(app), "the popover closed under the save dialog")
        self.assertIsNotNone(self.save_dialog_rect(app))
        self.screenshot("outside-click-refused")

        self.cancel_save_dialog(app)
        m = app.mark()
        self.click_rect(logo)
        app.wait_lines(CLOSE, since=m)
        self.wait_popover_hidden(app)

    def record_tone_then_signal(self, sig):
        folder = self.new_folder()
        path = folder / f"ended by {sig.name}.caf"
        tone = tone_wav(folder / "tone.wav", 6.0, frequency=440)
        app = self.launch_ready()
        player = play(tone, wait=False)     # keeps sounding through the whole recording
        self.addCleanup(lambda: player.poll() is None and player.kill())
        t_start = self.start_recording(app, path)
        time.sleep(3.0)
        m = app.mark()
        t_signal = app.send_signal(sig)
        rc = app.wait_exit(10)
        return app, path, t_signal - t_start, rc, m

    def test_killed_mid_recording_leaves_a_playable_file(self):
        app, path, recorded, rc, _ = self.record_tone_then_signal(signal.SIGKILL)
        self.assertEqual(rc, -signal.SIGKILL)
        sound = self.assert_recording(path, MEDIUM_RATE)
        facts = f"file {sound.seconds:.3f}s after {recorded:.3f}s of recording"
        print(f"\n  SIGKILL: {facts}")
        self.assertAlmostEqual(sound.seconds, recorded, delta=0.6, msg=facts)
        self.assertGreater(sound.dbfs(0, sound.seconds), -20, f"the tone is not in the file; {facts}")

    def test_sigterm_mid_recording_completes_the_file_and_exits_0(self):
        app, path, recorded, rc, m = self.record_tone_then_signal(signal.SIGTERM)
        self.assertEqual(rc, 0, app.report())
        self.assertEqual(app.lines(m)[:len(STOPPED)], STOPPED, app.report())
        self.assertTrue(any(line.startswith(SECONDS_PREFIX) for line in app.lines(m)), app.report())
        sound = self.assert_recording(path, MEDIUM_RATE)
        facts = f"file {sound.seconds:.3f}s after {recorded:.3f}s of recording"
        print(f"\n  SIGTERM: {facts}")
        self.assertAlmostEqual(sound.seconds, recorded, delta=0.3, msg=facts)
        self.assertGreater(sound.dbfs(0, sound.seconds), -20, f"the tone is not in the file; {facts}")


class DefaultInput(E2ETestCase):
    """The recording takes the desktop's default input at the moment the user confirms."""

    def setUp(self):
        super().setUp()
        self.addCleanup(set_default_source, "vmic")

    def record_while_both_inputs_sound(self, app, path, before_confirm=None):
        folder = path.parent
        on_mic = tone_wav(folder / "vmic.wav", 4.0, frequency=1000)
        on_mic2 = tone_wav(folder / "vmic2.wav", 4.0, frequency=440)
        self.open_save_dialog(app)
        self.type_into_file_dialog(app, path, accept=False)
        if before_confirm:
            before_confirm()
        players = [play(on_mic, MIC_SINK, wait=False), play(on_mic2, MIC2_SINK, wait=False)]
        for p in players:
            self.addCleanup(lambda p=p: p.poll() is None and p.kill())
        m = app.mark()
        self.pointer.key("Return")
        app.wait_lines(RECORDING_STARTED, since=m)
        time.sleep(2.0)
        self.stop_recording(app)
        for p in players:
            p.wait(10)
        sound = self.assert_recording(path, MEDIUM_RATE)
        return sound.frequency(0.2, sound.seconds - 0.2), sound

    def test_records_the_default_input_chosen_before_record(self):
        set_default_source("vmic2")
        app = self.launch_ready()
        hz, sound = self.record_while_both_inputs_sound(app, self.new_folder() / "second mic.caf")
        self.assertGreater(sound.dbfs(0.2, sound.seconds - 0.2), -20)
        self.assertAlmostEqual(hz, 440, delta=25, msg="the file does not hold vmic2's tone")

    def test_records_the_default_input_chosen_while_the_dialog_is_up(self):
        app = self.launch_ready()
        hz, sound = self.record_while_both_inputs_sound(app, self.new_folder() / "switched mic.caf",
                                                        before_confirm=lambda: set_default_source("vmic2"))
        self.assertGreater(sound.dbfs(0.2, sound.seconds - 0.2), -20)
        self.assertAlmostEqual(hz, 440, delta=25, msg="the file does not hold vmic2's tone")


if __name__ == "__main__":
    unittest.main()
